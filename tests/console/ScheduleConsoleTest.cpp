// The schedule through the console: an hour toggled in the grid of a real
// console process reaches the document, stored reversed, or nothing does.
#include <gtest/gtest.h>
#include <windows.h>
#include <prsht.h>
#include <fstream>
#include <sstream>
#include <string>
#include "resource.h"

namespace {

class ConsoleSchedule : public ::testing::Test
{
protected:
    std::string folder, document, before;
    PROCESS_INFORMATION process = {};

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "vgschedule-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), NULL);
        document = folder + "\\http-proxy.json";
        ASSERT_TRUE(CopyFileA(EXAMPLES_DIR "/http-proxy.json", document.c_str(), FALSE));
        CopyFileA(EXAMPLES_DIR "/mimetypes", (folder + "\\mimetypes").c_str(), FALSE);
        before = Document();
    }
    void TearDown() override
    {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 99);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        DeleteFileA(document.c_str());
        DeleteFileA((folder + "\\mimetypes").c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string Document() const
    {
        std::ifstream in(document, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    // Starts the console on the copy and returns its sheet.
    HWND OpenSheet()
    {
        char exe[MAX_PATH];
        GetModuleFileNameA(NULL, exe, MAX_PATH);
        std::string bin(exe);
        bin.erase(bin.find_last_of('\\'));
        std::string cmd = "\"" + bin + "\\console.exe\" --document \"" + document + "\" --service http-proxy";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &process))
            return NULL;
        for (int i = 0; i < 1000; ++i) {
            HWND sheet = NULL;
            while ((sheet = FindWindowExA(NULL, sheet, NULL, "HTTP Proxy")) != NULL) {
                DWORD pid = 0;
                GetWindowThreadProcessId(sheet, &pid);
                if (pid == process.dwProcessId && IsWindowVisible(sheet))
                    return sheet;
            }
            if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
                break;
        }
        return NULL;
    }
    // Shows each page in turn until the one holding the grid is up.
    HWND ShowGrid(HWND sheet)
    {
        for (int index = 0; index < 7; ++index) {
            if (!SendMessageA(sheet, PSM_SETCURSEL, index, 0))
                break;
            HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
            if (HWND grid = GetDlgItem(page, IDC_SCHEDULE_GRID))
                return grid;
        }
        return NULL;
    }
    DWORD Close(HWND sheet, int button)
    {
        PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
        DWORD code = 99;
        if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    // Opens the sheet on the schedule and clicks Sunday 00:00 in the grid;
    // returns the sheet, or NULL with the failure recorded.
    HWND OpenAndToggleSundayMidnight()
    {
        HWND sheet = OpenSheet();
        EXPECT_NE(nullptr, sheet);
        HWND grid = sheet ? ShowGrid(sheet) : NULL;
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
    ASSERT_EQ(0u, Close(sheet, PSBTN_OK));

    // Only that character changes in the whole file.
    std::string expected = before;
    expected[schedule + 167] = '1';
    EXPECT_EQ(expected, Document());
}

TEST_F(ConsoleSchedule, CancelAfterAToggleLeavesTheFileByteForByte)
{
    HWND sheet = OpenAndToggleSundayMidnight();
    ASSERT_NE(nullptr, sheet);
    ASSERT_EQ(1u, Close(sheet, PSBTN_CANCEL));
    EXPECT_EQ(before, Document());
}
