// The schedule through the console: an hour toggled in the grid of a real
// console process reaches the document, stored reversed, or nothing does.
#include "ConsoleFixture.h"
#include "resource.h"

namespace {

class ConsoleSchedule : public Console
{
protected:
    std::string before;

    void SetUp() override
    {
        Console::SetUp();
        before = ReadFile(document);
    }
    // Opens the sheet on the schedule and clicks Sunday 00:00 in the grid;
    // returns the sheet, or NULL with the failure recorded.
    HWND OpenAndToggleSundayMidnight()
    {
        Start(StandardArgs());
        HWND sheet = WaitForSheet();
        EXPECT_NE(nullptr, sheet);
        HWND page = sheet ? ShowPage(sheet, PageIndex(sheet, "VG: Schedule")) : NULL;
        HWND grid = GetDlgItem(page, IDC_SCHEDULE_GRID);
        EXPECT_NE(nullptr, grid);
        if (grid == NULL)
            return NULL;
        SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 3));
        SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(50, 3));
        return sheet;
    }
    // Where the working group's stored schedule (the last one in the
    // sample) begins in the file.
    size_t WorkingSchedule() const
    {
        const std::string key = "\"schedule\": \"";
        size_t at = before.rfind(key);
        return at == std::string::npos ? at : at + key.size();
    }
};

} // namespace

TEST_F(ConsoleSchedule, SundayMidnightSwitchedOnIsStoredAsTheLastCharacter)
{
    size_t schedule = WorkingSchedule();
    ASSERT_NE(std::string::npos, schedule);
    ASSERT_EQ('0', before[schedule + 167]);
    ASSERT_EQ('"', before[schedule + 168]);

    HWND sheet = OpenAndToggleSundayMidnight();
    ASSERT_NE(nullptr, sheet);
    ASSERT_EQ(0u, Press(sheet, PSBTN_OK));

    // Only that character changes in the whole file.
    std::string expected = before;
    expected[schedule + 167] = '1';
    EXPECT_EQ(expected, ReadFile(document));
}

TEST_F(ConsoleSchedule, CancelAfterAToggleLeavesTheFileByteForByte)
{
    HWND sheet = OpenAndToggleSundayMidnight();
    ASSERT_NE(nullptr, sheet);
    ASSERT_EQ(1u, Press(sheet, PSBTN_CANCEL));
    EXPECT_EQ(before, ReadFile(document));
}
