// The "Define Exception(s)" dialog, run modally and driven through its
// controls as a person would.
#include <gtest/gtest.h>
#include "VeilgateExceptionDialog.h"
#include "FakeResolver.h"
#include "ModalDriver.h"
#include "resource.h"

namespace {

using Texts = std::vector<std::string>;

const char kCaption[] = "Define Exception(s)";

struct DefineDialog : ::testing::Test
{
    ModalDriver driver;
    std::unique_ptr<VeilgateExceptionDialog> dialog;
    HWND hDlg = NULL;

    // Queues act for the moment the dialog is up.
    void WhenUp(std::function<void()> act)
    {
        driver.onWindow(kCaption, [this, act](HWND h) {
            hDlg = h;
            act();
        });
    }
    // Queues a lookup of name for the moment the dialog is up.
    void LookUpWhenUp(const char* name)
    {
        WhenUp([this, name] {
            SetText(IDC_LOOKUP_NAME, name);
            PostClick(IDC_LOOKUP);
        });
    }
    // Queues the answer to a message box, then act once the box is gone.
    void AnswerAndThen(std::function<void()> act)
    {
        driver.answerMessageBox();
        driver.then([act]() {
            if (FindMessageBox() != NULL)
                return false;
            act();
            return true;
        });
    }
    // Runs the dialog for one side through the queued steps.
    INT_PTR Run(int denySide)
    {
        dialog.reset(new VeilgateExceptionDialog(nullptr, denySide));
        INT_PTR result = driver.run([this] { return dialog->DoModal(); });
        EXPECT_EQ("", driver.failure());
        return result;
    }
    Texts Result() const
    {
        Texts entries;
        for (int i = 0; i < dialog->m_entries.GetSize(); ++i)
            entries.push_back((LPCTSTR)dialog->m_entries[i]);
        return entries;
    }
    // Runs a dialog with act, which ends it; the entries it produced.
    Texts Entries(int denySide, std::function<void()> act, INT_PTR expected = IDOK)
    {
        WhenUp(act);
        EXPECT_EQ(expected, Run(denySide));
        return Result();
    }

    HWND Item(int id) const { return GetDlgItem(hDlg, id); }
    bool Shown(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::string Text(int id) const { return WindowText(Item(id)); }
    void ChooseType(int type)
    {
        SendMessageA(Item(IDC_TYPE), CB_SETCURSEL, type, 0);
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TYPE, CBN_SELCHANGE), (LPARAM)Item(IDC_TYPE));
    }
    void Type(int id, const char* keys)
    {
        SetFocus(Item(id));
        for (; *keys; ++keys)
            TypeChar(Item(id), *keys);
    }
    void SetText(int id, const char* text) { SetWindowTextA(Item(id), text); }
    void Click(int id) { ClickButton(hDlg, id); }
    // Posted: the handler may open a message box of its own.
    void PostClick(int id) const { PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)Item(id)); }
    void Confirm() const { PostMessageA(hDlg, WM_COMMAND, IDOK, 0); }
    void Cancel() const { PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0); }
    // The port and pattern settings, as typed.
    void PortAndPattern(const char* port, const char* pattern)
    {
        if (port) {
            Click(IDC_EX_PORT_CHECK);
            SetText(IDC_EX_PORT, port);
        }
        if (pattern) {
            Click(IDC_EX_PATTERN_CHECK);
            SetText(IDC_EX_PATTERN, pattern);
        }
    }
};

const int kLookupGroup[] = { IDC_LOOKUP_LABEL, IDC_LOOKUP_NAME, IDC_LOOKUP, IDC_RESULTS_LABEL, IDC_RESULTS };
const int kHostGroup[] = { IDC_HOST_LABEL, IDC_HOST_ADDRESS };
const int kNetworkGroup[] = { IDC_NETWORK_LABEL, IDC_NETWORK_ADDRESS };
const int kUrlGroup[] = { IDC_URL_LABEL, IDC_URL };
const int kPortPatternGroup[] = { IDC_EX_PORT_CHECK, IDC_EX_PORT_LABEL, IDC_EX_PORT,
                                  IDC_EX_PATTERN_CHECK, IDC_EX_PATTERN_LABEL, IDC_EX_PATTERN };

} // namespace

TEST_F(DefineDialog, OpensOnLookupWithTheSidesCaptionsAndTheFourTypes)
{
    for (int side : { 0, 1 }) {
        Texts items;
        std::string port, pattern, portText, results;
        bool portEnabled = true, patternEnabled = true, resultsShown = false;
        int type = -1;
        Entries(side, [&] {
            for (int i = 0; i < (int)SendMessageA(Item(IDC_TYPE), CB_GETCOUNT, 0, 0); ++i) {
                char text[64] = "";
                SendMessageA(Item(IDC_TYPE), CB_GETLBTEXT, i, (LPARAM)text);
                items.push_back(text);
            }
            type = (int)SendMessageA(Item(IDC_TYPE), CB_GETCURSEL, 0, 0);
            port = Text(IDC_EX_PORT_CHECK), pattern = Text(IDC_EX_PATTERN_CHECK), portText = Text(IDC_EX_PORT);
            portEnabled = Enabled(IDC_EX_PORT), patternEnabled = Enabled(IDC_EX_PATTERN);
            resultsShown = Shown(IDC_RESULTS), results = Text(IDC_RESULTS);
            Cancel();
        }, IDCANCEL);
        EXPECT_EQ((Texts{ "Lookup Domain Name", "Host Address", "Network Address", "Enter URL" }), items);
        EXPECT_EQ(0, type);
        EXPECT_EQ(side ? "&Block a specific port:" : "&Allow a specific port:", port);
        EXPECT_EQ(side ? "Block a specific &directory pattern:" : "Allow a specific &directory pattern:", pattern);
        EXPECT_EQ("80", portText);
        EXPECT_FALSE(portEnabled);
        EXPECT_FALSE(patternEnabled);
        EXPECT_TRUE(resultsShown) << "the results field starts hidden and is shown for a lookup";
        EXPECT_EQ("", results);
    }
}

TEST_F(DefineDialog, EachTypeShowsItsOwnGroupAndTheCheckBoxesEnableTheirFields)
{
    struct { int type; const int* shown; size_t count; bool portAndPattern; } types[] = {
        { 0, kLookupGroup, std::size(kLookupGroup), false },
        { 1, kHostGroup, std::size(kHostGroup), true },
        { 2, kNetworkGroup, std::size(kNetworkGroup), true },
        { 3, kUrlGroup, std::size(kUrlGroup), true },
    };
    std::vector<const int*> groups = { kLookupGroup, kHostGroup, kNetworkGroup, kUrlGroup };
    std::vector<size_t> sizes = { std::size(kLookupGroup), std::size(kHostGroup), std::size(kNetworkGroup),
                                  std::size(kUrlGroup) };
    Entries(1, [&] {
        // Round trip through the types twice, the second time from the end.
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < 4; ++i) {
                const auto& t = types[round ? 3 - i : i];
                ChooseType(t.type);
                for (size_t g = 0; g < groups.size(); ++g)
                    for (size_t k = 0; k < sizes[g]; ++k)
                        EXPECT_EQ((int)g == t.type, Shown(groups[g][k])) << "type " << t.type << " control " << groups[g][k];
                for (int id : kPortPatternGroup)
                    EXPECT_EQ(t.portAndPattern, Shown(id)) << "type " << t.type << " control " << id;
            }
        }
        // Enabling follows the boxes, whatever is shown.
        ChooseType(0);
        Click(IDC_EX_PORT_CHECK);
        EXPECT_TRUE(Enabled(IDC_EX_PORT) && Enabled(IDC_EX_PORT_LABEL));
        EXPECT_FALSE(Enabled(IDC_EX_PATTERN) || Enabled(IDC_EX_PATTERN_LABEL));
        Click(IDC_EX_PATTERN_CHECK);
        Click(IDC_EX_PORT_CHECK);
        EXPECT_FALSE(Enabled(IDC_EX_PORT) || Enabled(IDC_EX_PORT_LABEL));
        EXPECT_TRUE(Enabled(IDC_EX_PATTERN) && Enabled(IDC_EX_PATTERN_LABEL));
        ChooseType(2);
        EXPECT_FALSE(Enabled(IDC_EX_PORT));
        EXPECT_TRUE(Enabled(IDC_EX_PATTERN));
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    }, IDCANCEL);
}

TEST_F(DefineDialog, HostNetworkAndUrlEntriesWithAndWithoutPortAndPattern)
{
    struct { int type; const char* address; const char* port; const char* pattern; const char* entry; } cases[] = {
        { 1, "10.1.2.3", nullptr, nullptr, "10.1.2.3" },
        { 1, "10.1.2.3", "8080", nullptr, "10.1.2.3:8080 " },
        { 1, "10.1.2.3", nullptr, "/images/*", "10.1.2.3 /images/*" },
        { 1, "10.1.2.3", "8080", "/images/*", "10.1.2.3:8080 /images/*" },
        { 1, "192.168.1.1", "65536", nullptr, "192.168.1.1:65536 " },
        { 2, "10.1.0.0/16", nullptr, nullptr, "10.1.0.0/16" },
        { 2, "10.1.0.0/16", "0", "", "10.1.0.0/16:0 " },
        { 2, "192.168.200.0/24", nullptr, "", "192.168.200.0/24 " },
        { 3, "www.example.com", nullptr, nullptr, "www.example.com" },
        { 3, "my_host~1%.example.com", "443", "/secure/*", "my_host~1%.example.com:443 /secure/*" },
        { 3, "Intranet", nullptr, " /a b", "Intranet  /a b" },
    };
    for (const auto& c : cases) {
        Texts entries = Entries(c.type % 2, [&] {
            ChooseType(c.type);
            int field = c.type == 1 ? IDC_HOST_ADDRESS : c.type == 2 ? IDC_NETWORK_ADDRESS : IDC_URL;
            if (c.type == 3)
                SetText(field, c.address);
            else
                Type(field, c.address);
            PortAndPattern(c.port, c.pattern);
            Confirm();
        });
        EXPECT_EQ(Texts{ c.entry }, entries) << c.entry;
    }
}

TEST_F(DefineDialog, AddressesAreReadAsTheFieldShowsThemOnceLeft)
{
    // Enter confirms without moving the focus out of the field, which is
    // where the field drops leading zeros; the entry must not depend on it.
    Texts host = Entries(0, [&] {
        ChooseType(1);
        Type(IDC_HOST_ADDRESS, "010001002003");
        Confirm();
    });
    EXPECT_EQ(Texts{ "10.1.2.3" }, host);
    Texts network = Entries(0, [&] {
        ChooseType(2);
        Type(IDC_NETWORK_ADDRESS, "01000100000016");
        Confirm();
    });
    EXPECT_EQ(Texts{ "10.1.0.0/16" }, network);
}

TEST_F(DefineDialog, RefusalsKeepTheDialogOpenWithTheFocusOnTheFieldAndTheInputAsTyped)
{
    struct Case { int type; const char* input; const char* message; int field; const char* fix; };
    const Case cases[] = {
        { 1, "", "Not a valid IP!", IDC_HOST_ADDRESS, "10.1.2.3" },
        { 1, "10.1.2", "Not a valid IP!", IDC_HOST_ADDRESS, "10.1.2.3" },
        { 2, "10.1.2.0", "Not a valid IP!", IDC_NETWORK_ADDRESS, "10.1.2.0/24" },
        { 2, "10.1.2.0/16", "You must enter a valid network address.", IDC_NETWORK_ADDRESS, "10.1.0.0/16" },
        { 3, "", "You must enter an URL!", IDC_URL, "www.example.com" },
        { 3, "www.example.com/news", "Please enter URL in the form 'www.example.com' ", IDC_URL, "news.example.com" },
        { 3, "www.example.com:80", "You entered invalid character for the URL!", IDC_URL, "www.example.com" },
        { 3, "two words", "You entered invalid character for the URL!", IDC_URL, "two-words" },
        { 3, "caf\xc3\xa9.example.com", "You entered invalid character for the URL!", IDC_URL, "cafe.example.com" },
    };
    for (const Case& c : cases) {
        driver.reset();
        std::string before, after;
        int focus = 0;
        WhenUp([&] {
            ChooseType(c.type);
            if (c.type == 3)
                SetText(c.field, c.input);
            else
                Type(c.field, c.input);
            before = Text(c.field);
            Confirm();
        });
        AnswerAndThen([&] {
            focus = GetDlgCtrlID(GetFocus());
            after = Text(c.field);
            SetText(c.field, c.fix);
            Confirm();
        });
        EXPECT_EQ(IDOK, Run(0)) << c.input;
        EXPECT_EQ(Texts{ c.message }, driver.messages()) << c.input;
        EXPECT_EQ(c.field, focus) << c.input;
        EXPECT_EQ(before, after) << c.input;
        EXPECT_EQ(Texts{ c.fix }, Result()) << c.input;
    }
}

TEST_F(DefineDialog, PortRangeIsZeroTo65536WithTheFrameworksMessages)
{
    WhenUp([&] {
        ChooseType(1);
        SetText(IDC_HOST_ADDRESS, "10.1.2.3");
        PortAndPattern("65537", nullptr);
        Confirm();
    });
    int focus = 0;
    AnswerAndThen([&] {
        focus = GetDlgCtrlID(GetFocus());
        SetText(IDC_EX_PORT, "");
        Confirm();
    });
    AnswerAndThen([&] {
        SetText(IDC_EX_PORT, "65536");
        Confirm();
    });
    EXPECT_EQ(IDOK, Run(1));
    EXPECT_EQ((Texts{ "Please enter an integer between 0 and 65536.", "Please enter an integer." }), driver.messages());
    EXPECT_EQ(IDC_EX_PORT, focus);
    EXPECT_EQ(Texts{ "10.1.2.3:65536 " }, Result());
}

TEST_F(DefineDialog, LookupWithoutANameMakesNoSocketCall)
{
    FakeResolver resolver({ "10.0.0.1" });
    LookUpWhenUp("");
    AnswerAndThen([&] { Confirm(); });
    EXPECT_EQ(IDOK, Run(0));
    EXPECT_EQ(Texts{ "You must enter an URL." }, driver.messages());
    EXPECT_TRUE(FakeResolver::calls.empty());
    EXPECT_TRUE(Result().empty()) << "OK without a lookup gives no entries";
}

TEST_F(DefineDialog, ANameWithThreeAddressesGivesThreeBareEntriesAndKeepsWhatWasTyped)
{
    FakeResolver resolver({ "10.0.0.1", "192.168.7.20", "10.0.0.3" });
    std::string results, name, pattern;
    WhenUp([&] {
        // Port and pattern set under another type do not reach looked-up entries.
        ChooseType(3);
        PortAndPattern("8080", "/x/*");
        ChooseType(0);
        SetText(IDC_LOOKUP_NAME, "three.example.com");
        SetText(IDC_EX_PATTERN, "/typed-since/*");
        Click(IDC_LOOKUP);
        results = Text(IDC_RESULTS), name = Text(IDC_LOOKUP_NAME), pattern = Text(IDC_EX_PATTERN);
        Confirm();
    });
    EXPECT_EQ(IDOK, Run(0));
    EXPECT_EQ("10.0.0.1 192.168.7.20 10.0.0.3", results);
    EXPECT_EQ("three.example.com", name);
    EXPECT_EQ("/typed-since/*", pattern);
    EXPECT_EQ((Texts{ "WSAStartup 1.1", "gethostbyname three.example.com (wait cursor)", "WSACleanup" }),
              FakeResolver::calls);
    EXPECT_EQ(0, CWaitCursor::GetWaitCount());
    EXPECT_EQ((Texts{ "10.0.0.1", "192.168.7.20", "10.0.0.3" }), Result());
}

TEST_F(DefineDialog, FailedLookupsSayWhyAndLeaveTheResultsEmpty)
{
    {
        FakeResolver unknown;
        LookUpWhenUp("nowhere.example.com");
        std::string results = "?";
        AnswerAndThen([&] {
            results = Text(IDC_RESULTS);
            Confirm();
        });
        EXPECT_EQ(IDOK, Run(0));
        EXPECT_EQ(Texts{ "The URL entered is invalid." }, driver.messages());
        EXPECT_EQ((Texts{ "WSAStartup 1.1", "gethostbyname nowhere.example.com (wait cursor)", "WSACleanup" }),
                  FakeResolver::calls);
        EXPECT_EQ("", results);
        EXPECT_TRUE(Result().empty());
    }
    {
        driver.reset();
        FakeResolver noSockets({ "10.0.0.1" }, WSASYSNOTREADY);
        LookUpWhenUp("www.example.com");
        AnswerAndThen([&] { Cancel(); });
        EXPECT_EQ(IDCANCEL, Run(0));
        EXPECT_EQ(Texts{ "Uh-oh!" }, driver.messages());
        EXPECT_EQ(Texts{ "WSAStartup 1.1" }, FakeResolver::calls);
    }
    EXPECT_EQ(0, CWaitCursor::GetWaitCount());
}

TEST_F(DefineDialog, RealLookupOfLocalhost)
{
    std::string results;
    LookUpWhenUp("localhost");
    driver.then([&] {
        results = Text(IDC_RESULTS);
        if (results.empty())
            return false;
        Confirm();
        return true;
    });
    EXPECT_EQ(IDOK, Run(0));
    EXPECT_EQ("127.0.0.1", results.substr(0, results.find(' ')));
    ASSERT_FALSE(Result().empty());
    EXPECT_EQ("127.0.0.1", Result()[0]);
}

TEST_F(DefineDialog, ALineReadWithoutTheDialogGivesWhatTheDialogGivesForItsParts)
{
    struct { const char* line; int type; const char* base; const char* port; const char* pattern; } cases[] = {
        { "10.1.2.3:8080 /images/*", 1, "10.1.2.3", "8080", "/images/*" },
        { "010.001.002.003", 1, "010.001.002.003", nullptr, nullptr },
        { "10.1.2", 1, "10.1.2", nullptr, nullptr },
        { "10.1.2:abc", 1, "10.1.2", "abc", nullptr },
        { "10.1.0.0/16 ", 2, "10.1.0.0/16", nullptr, "" },
        { "10.1.2.0/16", 2, "10.1.2.0/16", nullptr, nullptr },
        { "Intranet:443  /a b", 3, "Intranet", "443", " /a b" },
        { "www.example.com/news", 3, "www.example.com/news", nullptr, nullptr },
        { "www.example.com:65537", 3, "www.example.com", "65537", nullptr },
    };
    for (const auto& c : cases) {
        driver.reset();
        CString entry, message;
        BOOL parsed = ExceptionText::ParseEntry(c.line, entry, message);
        WhenUp([&] {
            ChooseType(c.type);
            if (c.type == 3)
                SetText(IDC_URL, c.base);
            else
                Type(c.type == 1 ? IDC_HOST_ADDRESS : IDC_NETWORK_ADDRESS, c.base);
            PortAndPattern(c.port, c.pattern);
            Confirm();
        });
        if (!parsed)
            AnswerAndThen([&] { Cancel(); });
        Run(0);
        if (parsed)
            EXPECT_EQ(Texts{ (LPCTSTR)entry }, Result()) << c.line;
        else
            EXPECT_EQ(Texts{ (LPCTSTR)message }, driver.messages()) << c.line;
    }
}
