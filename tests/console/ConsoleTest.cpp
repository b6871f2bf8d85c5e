// The console end to end: cancel, OK, the pages' effect on the document.
#include "ConsoleFixture.h"
#include "resource.h"
#include <algorithm>
#include <fstream>
#include <vector>

TEST_F(Console, CancelLeavesTheFileByteForByte)
{
    std::string before = ReadFile(document);
    EXPECT_EQ(1u, OpenAndPress(StandardArgs(), PSBTN_CANCEL));
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, OkWithoutChangesKeepsEverySetting)
{
    std::string before = ReadFile(document);
    EXPECT_EQ(0u, OpenAndPress(StandardArgs(), PSBTN_OK));
    // Stored forms survive the trip through their display forms unchanged,
    // and everything the editor does not own is written back as it was.
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, DeniedCategoriesAndBlockAllReachTheDocument)
{
    Start(StandardArgs());
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);

    HWND page = ShowPage(sheet, PageIndex(sheet, "VG: Operational Privileges"));
    HWND allowed = GetDlgItem(page, IDC_ALLOWED_LIST);
    // Sports (k 0), Travel (k 1) and News (k 5) are allowed in the sample's working group.
    for (const char* name : { "Sports", "Travel", "News" }) {
        int index = (int)SendMessageA(allowed, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name);
        ASSERT_GE(index, 0) << name;
        SendMessageA(allowed, LB_SETSEL, TRUE, index);
    }
    SendMessageA(GetDlgItem(page, IDC_DENY_SELECTED), BM_CLICK, 0, 0);

    page = ShowPage(sheet, PageIndex(sheet, "VG: Non-operational Privileges"));
    SendMessageA(GetDlgItem(page, IDC_BLOCK_ALL), BM_CLICK, 0, 0);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_EQ(0u, WaitForExit());

    QuoSievex group = StoredWorkingGroup();
    // The sample's working group denied k 3,14,15,16,17,18,20,22,25,29,37,39.
    std::string expected(40, '0');
    for (int k : { 3, 14, 15, 16, 17, 18, 20, 22, 25, 29, 37, 39, 0, 1, 5 })
        expected[39 - k] = '1';
    EXPECT_EQ(expected, std::string((LPCTSTR)group.opMask));
    EXPECT_TRUE(group.nonOpBlockAll);
    EXPECT_FALSE(group.opBlockAll);
}

TEST_F(Console, ExceptionsOnlySavesWithoutTouchingTheFilterSettings)
{
    std::string before = ReadFile(document);
    Start(StandardArgs() + " --exceptions-only");
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, PageIndex(sheet, "VG: Non-operational Privileges"));
    SendMessageA(GetDlgItem(page, IDC_BLOCK_ALL), BM_CLICK, 0, 0);  // not written in this mode
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    EXPECT_EQ(0u, WaitForExit());
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, BrokenDocumentIsRefusedWithItsLineAndNothingWritten)
{
    std::string broken = "{\n  \"services\": {\n    \"http-proxy\": {\n      \"sievex\": { \"activate\": \"yes\" }\n    }\n  }\n}\n";
    { std::ofstream out(document, std::ios::binary); out << broken; }
    EXPECT_EQ(2u, Run(StandardArgs()));
    EXPECT_EQ(broken, ReadFile(document));
}

TEST_F(Console, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(2u, Run("--service http-proxy"));
    EXPECT_EQ(2u, Run(StandardArgs() + " --bogus"));
    EXPECT_EQ(2u, Run("--document \"" + folder + "\\missing.json\" --service http-proxy"));
    EXPECT_EQ(2u, Run("--document \"" + document + "\" --service no-such-service"));
}

TEST_F(Console, ScreenshotsShowEveryPageThenCancel)
{
    std::string before = ReadFile(document);
    std::string shots = folder + "\\shots";
    EXPECT_EQ(1u, Run(StandardArgs() + " --screenshots \"" + shots + "\""));
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((shots + "\\*.png").c_str(), &fd);
    std::vector<std::string> names;
    if (h != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(fd.cFileName);
            DeleteFileA((shots + "\\" + fd.cFileName).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(shots.c_str());
    std::sort(names.begin(), names.end());
    // Named by tab position and caption, in the sheet's order.
    EXPECT_EQ((std::vector<std::string>{ "01-Settings.png", "02-Safe-Content.png", "03-Veilgate-Controls.png",
                                         "04-VG-Schedule.png", "05-VG-Operational-Privileges.png",
                                         "06-VG-Non-operational-Privileges.png", "07-VG-Exceptions.png" }),
              names);
    EXPECT_EQ(before, ReadFile(document));
}
