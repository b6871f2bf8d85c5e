// What changed, told by the console in the sheet's words: after OK for the
// edits made in the sheet, and by --diff for two documents.
#include "ConsoleFixture.h"
#include "resource.h"

TEST_F(Console, OkPrintsExactlyTheEditsMade)
{
    Start(StandardArgs());
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, PageIndex(sheet, "Settings"));
    SendMessageA(GetDlgItem(page, IDC_REMOVE_COOKIES), BM_CLICK, 0, 0);

    page = ShowPage(sheet, PageIndex(sheet, "VG: Operational Privileges"));
    HWND allowed = GetDlgItem(page, IDC_ALLOWED_LIST);
    int news = (int)SendMessageA(allowed, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "News");
    ASSERT_GE(news, 0);
    SendMessageA(allowed, LB_SETSEL, TRUE, news);
    SendMessageA(GetDlgItem(page, IDC_DENY_SELECTED), BM_CLICK, 0, 0);

    page = ShowPage(sheet, PageIndex(sheet, "VG: Schedule"));
    HWND grid = GetDlgItem(page, IDC_SCHEDULE_GRID);
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 3));  // Sunday 00:00
    SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(50, 3));

    ASSERT_EQ(0u, Press(sheet, PSBTN_OK));
    EXPECT_EQ("Settings: Remove cookies: off -> on\n"
              "VG: Schedule (group Everyone): Sunday 00:00-00:59: non-operational -> operational\n"
              "VG: Operational Privileges (group Everyone): Denied Categories: + News\n",
              Output());
}

TEST_F(Console, CancelPrintsNothingAndOkWithoutEditsSaysSo)
{
    EXPECT_EQ(1u, OpenAndPress(StandardArgs(), PSBTN_CANCEL));
    EXPECT_EQ("", Output());
    EXPECT_EQ(0u, OpenAndPress(StandardArgs(), PSBTN_OK));
    EXPECT_EQ("No changes.\n", Output());
}

namespace {

class ConsoleDiff : public Console
{
protected:
    std::string other;

    void SetUp() override
    {
        Console::SetUp();
        other = folder + "\\other.json";
    }
    DWORD Diff(const std::string& args) { return Run("--diff " + args); }
    std::string Quoted(const std::string& path) { return "\"" + path + "\""; }
};

} // namespace

TEST_F(ConsoleDiff, ADocumentAndItselfAreEqual)
{
    EXPECT_EQ(0u, Diff(Quoted(document) + " " + Quoted(document)));
    EXPECT_EQ("", Output());
    EXPECT_EQ("", Errors());
}

TEST_F(ConsoleDiff, EveryServiceOfEitherDocumentIsComparedUnlessOneIsNamed)
{
    // A service only the new document has reads as all defaults before;
    // the other tool's service differs only in values the editor does not own.
    std::string text = Replaced(ReadFile(document), "\"remove_cookies\": 0", "\"remove_cookies\": 1");
    text = Replaced(text, "\"allow_put\": 0", "\"allow_put\": 1");
    text = Replaced(text, "\"ftp-proxy\": {",
                    "\"web-proxy\": { \"proxy_http\": { \"idle_timeout\": 60 } },\n    \"ftp-proxy\": {");
    WriteText(other, text);
    const std::string documents = Quoted(document) + " " + Quoted(other);

    EXPECT_EQ(1u, Diff(documents));
    EXPECT_EQ("http-proxy: Settings: Remove cookies: off -> on\n"
              "web-proxy: Settings: Idle timeout: 600 -> 60 seconds\n",
              Output());
    EXPECT_EQ(1u, Diff(documents + " --service web-proxy"));
    EXPECT_EQ("web-proxy: Settings: Idle timeout: 600 -> 60 seconds\n", Output());
    EXPECT_EQ(0u, Diff(documents + " --service ftp-proxy"));
}

TEST_F(ConsoleDiff, UsageAndDocumentErrorsExitTwoAndPrintNothing)
{
    WriteText(other, "{ \"services\": { \"http-proxy\": { \"sievex\": { \"activate\": \"yes\" } } } }");
    const std::pair<std::string, const char*> cases[] = {
        { Quoted(document), "--diff needs two documents" },
        { Quoted(document) + " " + Quoted(folder + "\\missing.json"), "missing.json" },
        { Quoted(document) + " " + Quoted(other), "key \"activate\"" },
        { Quoted(document) + " " + Quoted(document) + " --service nowhere", "no service \"nowhere\"" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(2u, Diff(c.first)) << c.first;
        EXPECT_EQ("", Output()) << c.first;
        EXPECT_NE(std::string::npos, Errors().find(c.second)) << Errors();
    }
}
