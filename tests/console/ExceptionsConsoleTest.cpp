// The exceptions page through the console: a denied exception defined in
// the dialog reaches the document after OK, in either mode, and nothing
// does after Cancel.
#include "ConsoleFixture.h"

#include <algorithm>
#include "resource.h"

namespace {

using Texts = std::vector<std::string>;

class ExceptionsConsole : public Console
{
protected:
    // Opens the exceptions page and defines a host with port and pattern on
    // the denied side; the sheet stays up.
    HWND DefineDeniedHost(const std::string& options = "")
    {
        Start(StandardArgs() + options);
        HWND sheet = WaitForSheet();
        if (sheet == NULL)
            return NULL;
        HWND page = ShowPage(sheet, PageIndex(sheet, "VG: Exceptions"));
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DENIED_EX_ADD, BN_CLICKED),
                     (LPARAM)GetDlgItem(page, IDC_DENIED_EX_ADD));

        HWND dialog = WaitForWindow("Define Exception(s)");
        if (dialog == NULL)
            return NULL;
        HWND type = GetDlgItem(dialog, IDC_TYPE);
        SendMessageA(type, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TYPE, CBN_SELCHANGE), (LPARAM)type);
        HWND host = GetDlgItem(dialog, IDC_HOST_ADDRESS);
        for (const char* p = "10.9.8.7"; *p; ++p)
            SendMessageA(host, WM_CHAR, (BYTE)*p, 1);
        SendMessageA(GetDlgItem(dialog, IDC_EX_PORT_CHECK), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_EX_PORT), WM_SETTEXT, 0, (LPARAM) "8080");
        SendMessageA(GetDlgItem(dialog, IDC_EX_PATTERN_CHECK), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_EX_PATTERN), WM_SETTEXT, 0, (LPARAM) "/ads/*");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        WaitForWindow("Define Exception(s)", false);
        return sheet;
    }
};

} // namespace

TEST_F(ExceptionsConsole, ADeniedHostWithPortAndPatternIsStoredAsItsEntryText)
{
    const std::string sample = ReadFile(document);
    Texts allowBefore = StoredList("urls_allow");
    for (const char* options : { "", " --exceptions-only" }) {
        WriteText(document, sample);
        HWND sheet = DefineDeniedHost(options);
        ASSERT_NE(nullptr, sheet) << options;
        ASSERT_EQ(0u, Press(sheet, PSBTN_OK)) << options << Errors();
        EXPECT_EQ((Texts{ "10.9.8.7:8080 /ads/*", "172.16.5.9", "192.168.200.0/24", "203.0.113.7:6667 ",
                          "games.example.net" }),
                  StoredList("urls_deny"))
            << options;
        EXPECT_EQ(allowBefore, StoredList("urls_allow")) << options;
    }
}

TEST_F(ExceptionsConsole, CancelAfterDefiningLeavesTheFileByteForByte)
{
    std::string before = ReadFile(document);
    HWND sheet = DefineDeniedHost();
    ASSERT_NE(nullptr, sheet);
    EXPECT_EQ(1u, Press(sheet, PSBTN_CANCEL));
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(ExceptionsConsole, AnExceptionsOnlySaveAfterAnotherSaveKeepsBoth)
{
    const std::string sample = ReadFile(document);
    HWND sheet = DefineDeniedHost(" --exceptions-only");
    ASSERT_NE(nullptr, sheet);
    // Meanwhile another editor saved an allowed host and a shorter time-out.
    WriteText(document, Replaced(Replaced(sample, "\"urls_allow\": [", "\"urls_allow\": [\"10.7.7.7\","),
                                 "\"idle_timeout\": 600", "\"idle_timeout\": 300"));
    ASSERT_EQ(0u, Press(sheet, PSBTN_OK)) << Errors();
    // The order of a list is no change: the page shows it sorted.
    Texts denied = StoredList("urls_deny");
    std::sort(denied.begin(), denied.end());
    EXPECT_EQ((Texts{ "10.9.8.7:8080 /ads/*", "172.16.5.9", "192.168.200.0/24", "203.0.113.7:6667 ",
                      "games.example.net" }),
              denied);
    EXPECT_EQ("10.7.7.7", StoredList("urls_allow").front());
    EXPECT_NE(std::string::npos, ReadFile(document).find("\"idle_timeout\": 300"));
    WIN32_FIND_DATAA found;
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((document + ".*.mine").c_str(), &found));
}
