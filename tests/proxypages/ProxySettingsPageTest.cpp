// The proxy settings page, driven in a real sheet over a document in memory.
#include <gtest/gtest.h>
#include "ProxySettingsPage.h"
#include "vggEditPrivilege.h"
#include "resource.h"
#include "ModalDriver.h"
#include <memory>

namespace {

const char kRangeMessage[] = "Please enter an integer between 0 and 1000.";
const char kServerMessage[] = "You must enter a valid IP address and port for the Proxy server.";
const char kPortMessage[] = "The port number you entered is invalid.  Please enter a port number between 0 and 65536.";

// Each check box with the key that stores it.
const struct { int id; const char* key; } kSwitches[] = {
    { IDC_REMOVE_CLIENT_INFO, "remove_client_info" }, { IDC_REMOVE_COOKIES, "remove_cookies" },
    { IDC_DENY_JAVA, "javaapplets" }, { IDC_DENY_ACTIVEX, "activexapplets" },
    { IDC_DENY_SUBMISSIONS, "deny_submissions" }, { IDC_REMOVE_UNKNOWN_HEADERS, "remove_unknown_headers" },
    { IDC_LOG_ACCESS, "log_access" }, { IDC_REQUIRE_CONTENT_TYPE, "require_content_type" },
};

struct SettingsSheet : ::testing::Test
{
    std::unique_ptr<Beach> document;
    std::unique_ptr<ProxySettingsPage> page;
    std::unique_ptr<vggEditPrivilege> other;
    std::unique_ptr<CPropertySheet> sheet;
    std::unique_ptr<ModalDriver> driver;
    HWND hSheet = NULL, hPage = NULL;
    CString before;

    // A fresh sheet on a service whose "proxy_http" holds these members; no
    // section at all when withSection is false.
    void Open(const std::string& members, bool withSection = true)
    {
        sheet.reset();
        page.reset();
        document = std::make_unique<Beach>();
        std::string sections = withSection ? "\"proxy_http\": {" + members + "}" : "\"sievex\": {}";
        CString error;
        ASSERT_TRUE(document->openText(("{ \"services\": { \"http-proxy\": {" + sections + "} } }").c_str(),
                                       "doc", error)) << (LPCTSTR)error;
        before = document->text();
        page = std::make_unique<ProxySettingsPage>(document.get(), "http-proxy");
        other = std::make_unique<vggEditPrivilege>();
        sheet = std::make_unique<CPropertySheet>("HTTP Proxy");
        sheet->AddPage(page.get());
        sheet->AddPage(other.get());
        driver = std::make_unique<ModalDriver>();
    }
    // Runs act once the sheet is up and enabled, with hPage the page shown.
    ModalDriver& When(std::function<void()> act)
    {
        return driver->onWindow("HTTP Proxy", [this, act](HWND h) {
            hSheet = h;
            hPage = (HWND)SendMessageA(h, PSM_GETCURRENTPAGEHWND, 0, 0);
            act();
        });
    }
    void Press(int button) { PostMessageA(hSheet, PSM_PRESSBUTTON, button, 0); }
    INT_PTR Run()
    {
        driver->start();
        INT_PTR result = sheet->DoModal();
        driver->stop();
        EXPECT_EQ("", driver->failure());
        return result;
    }
    HWND Item(int id) const { return GetDlgItem(hPage, id); }
    std::string Text(int id) const { return WindowText(Item(id)); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Type(int id, const char* text) const
    {
        SendMessageA(Item(id), EM_SETSEL, 0, -1);
        PressKey(Item(id), VK_DELETE);
        for (; *text; ++text)
            TypeChar(Item(id), *text);
    }
    int Stored(const char* key)
    {
        QuoValOf<int> value(-1);
        Quolla* section = document->digQuolla("proxy_http", "http-proxy");
        EXPECT_TRUE(section && section->getProp(key, value)) << key;
        document->tossQuolla(section);
        return value.value;
    }
    std::string StoredServer()
    {
        QuoValOf<CString> value("(absent)");
        Quolla* section = document->digQuolla("proxy_http", "http-proxy");
        if (section)
            section->getProp("proxy_server", value);
        document->tossQuolla(section);
        return (LPCTSTR)value.value;
    }
};

} // namespace

TEST(ProxyServerRules, SplitCheckAndFormat)
{
    CString address, port;
    struct { const char* text; const char* address; const char* port; } splits[] = {
        { "10.0.0.1:8080", "10.0.0.1", "8080" }, { "a:b:c", "a", "b:c" }, { "8080", "", "8080" },
    };
    for (const auto& s : splits) {
        ProxySettingsPage::SplitProxyServer(s.text, address, port);
        EXPECT_STREQ(s.address, address) << s.text;
        EXPECT_STREQ(s.port, port) << s.text;
    }
    struct { BOOL use, valid; const char* port; UINT expected; const char* trimmed; } checks[] = {
        { TRUE, TRUE, " 8080 ", 0, "8080" },
        { TRUE, TRUE, "65536", 0, "65536" },
        { TRUE, TRUE, "65537", IDS_PROXY_PORT_INVALID, "65537" },
        { TRUE, TRUE, "      ", IDS_PROXY_SERVER_INVALID, "" },
        { TRUE, FALSE, "80", IDS_PROXY_SERVER_INVALID, "80" },
        { TRUE, FALSE, "99999", IDS_PROXY_SERVER_INVALID, "99999" },
        { FALSE, FALSE, "", 0, "" },
        { FALSE, FALSE, "65537 ", IDS_PROXY_PORT_INVALID, "65537 " },  // checked, not trimmed
    };
    for (const auto& c : checks) {
        port = c.port;
        EXPECT_EQ(c.expected, ProxySettingsPage::CheckProxyServer(c.use, c.valid, port)) << c.port;
        EXPECT_STREQ(c.trimmed, port) << c.port;
    }
    EXPECT_STREQ("10.0.0.1:80", ProxySettingsPage::FormatProxyServer(TRUE, "10.0.0.1", "0080 "));
    EXPECT_STREQ("", ProxySettingsPage::FormatProxyServer(FALSE, "10.0.0.1", "80"));
}

TEST_F(SettingsSheet, EmptySectionShowsDefaultsAndOkWritesThemWithoutCachingProxy)
{
    Open("");
    int lower = -1, upper = -1;
    When([&] {
        for (const auto& s : kSwitches)
            EXPECT_FALSE(Checked(s.id)) << s.key;
        EXPECT_EQ("600", Text(IDC_IDLE_TIMEOUT));
        EXPECT_FALSE(Checked(IDC_USE_CACHING_PROXY));
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_PROXY_ADDRESS)));
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_PROXY_PORT)));
        EXPECT_EQ(Item(IDC_IDLE_TIMEOUT), page->m_idleSpin.GetBuddy()->m_hWnd);
        page->m_idleSpin.GetRange(lower, upper);
        Press(PSBTN_OK);
    });
    EXPECT_EQ(IDOK, Run());
    EXPECT_EQ(0, lower);
    EXPECT_EQ(1000, upper);
    for (const auto& s : kSwitches)
        EXPECT_EQ(0, Stored(s.key)) << s.key;
    EXPECT_EQ(600, Stored("idle_timeout"));
    EXPECT_EQ("", StoredServer());
    EXPECT_EQ(nullptr, page->m_section) << "the handle goes with the page window";
}

TEST_F(SettingsSheet, EachSwitchLoadsFromAndSavesToItsOwnKey)
{
    for (const auto& on : kSwitches) {
        Open("\"" + std::string(on.key) + "\": 1, \"idle_timeout\": 30");
        When([&] {
            for (const auto& s : kSwitches)
                EXPECT_EQ(s.id == on.id, Checked(s.id)) << on.key << " shown on " << s.key;
            Press(PSBTN_OK);
        });
        EXPECT_EQ(IDOK, Run());
        for (const auto& s : kSwitches)
            EXPECT_EQ(s.id == on.id, Stored(s.key)) << on.key << " stored as " << s.key;
        EXPECT_EQ(30, Stored("idle_timeout"));
    }
}

TEST_F(SettingsSheet, StoredCachingProxyFillsBothFieldsAndTheLargestPortIsWrittenBack)
{
    Open("\"proxy_server\": \"10.0.0.1:8080\"");
    When([&] {
        EXPECT_TRUE(Checked(IDC_USE_CACHING_PROXY));
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_PROXY_ADDRESS)));
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_PROXY_PORT)));
        CString address;
        page->m_proxyAddressEdit.GetAddressText(address);
        EXPECT_STREQ("10.0.0.1", address);
        EXPECT_EQ("8080  ", Text(IDC_PROXY_PORT));
        Type(IDC_PROXY_PORT, "65536");
        Press(PSBTN_OK);
    });
    EXPECT_EQ(IDOK, Run());
    EXPECT_EQ("10.0.0.1:65536", StoredServer());
}

TEST_F(SettingsSheet, AnAddressConfirmedWithEnterIsStoredWithoutLeadingZeros)
{
    Open("\"proxy_server\": \"\"");
    When([&] {
        ClickButton(hPage, IDC_USE_CACHING_PROXY);
        Type(IDC_PROXY_PORT, "8080");
        SetFocus(Item(IDC_PROXY_ADDRESS));
        Type(IDC_PROXY_ADDRESS, "010.000.000.001");
        EXPECT_EQ("010.000.000.001", Text(IDC_PROXY_ADDRESS));
        // Enter goes to the focused field; the sheet turns it into OK.
        PostMessageA(Item(IDC_PROXY_ADDRESS), WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_EQ(IDOK, Run());
    EXPECT_EQ("10.0.0.1:8080", StoredServer());
}

TEST_F(SettingsSheet, EmptyProxyServerIsOffAndUncheckingWritesTheEmptyText)
{
    for (const char* stored : { "", "10.0.0.1:8080" }) {
        Open("\"proxy_server\": \"" + std::string(stored) + "\"");
        When([&] {
            EXPECT_EQ(*stored != '\0', Checked(IDC_USE_CACHING_PROXY)) << stored;
            if (Checked(IDC_USE_CACHING_PROXY))
                ClickButton(hPage, IDC_USE_CACHING_PROXY);
            EXPECT_FALSE(IsWindowEnabled(Item(IDC_PROXY_PORT))) << stored;
            Press(PSBTN_OK);
        });
        EXPECT_EQ(IDOK, Run());
        EXPECT_EQ("", StoredServer()) << stored;
    }
}

// Each refusal is made with another page showing: it brings this page back,
// focuses the field to correct and writes nothing.
TEST_F(SettingsSheet, RefusedEntriesWriteNothingAndKeepTheSheetOnThisPage)
{
    struct Case { const char* server; bool toggle; const char* port; const char* message; int focus; };
    const Case cases[] = {
        // Also with the proxy off; its disabled port field cannot take the focus.
        { "10.0.0.1:65537", true, nullptr, kPortMessage, IDC_USE_CACHING_PROXY },
        { "10.0.0.1:8080", false, "65537", kPortMessage, IDC_PROXY_PORT },
        { "10.0.0.1:8080", false, "", kServerMessage, IDC_PROXY_PORT },     // the port left blank
        { "", true, nullptr, kServerMessage, IDC_PROXY_ADDRESS },          // no address
    };
    for (const Case& c : cases) {
        Open("\"proxy_server\": \"" + std::string(c.server) + "\"");
        HWND shownPage = NULL, settings = NULL, focusParent = NULL;
        int focus = 0;
        When([&] {
            settings = hPage;
            if (c.toggle)
                ClickButton(hPage, IDC_USE_CACHING_PROXY);
            if (c.port)
                Type(IDC_PROXY_PORT, c.port);
            SendMessageA(hSheet, PSM_SETCURSEL, 1, 0);
            Press(PSBTN_OK);
        }).answerMessageBox();
        When([&] {
            shownPage = hPage;
            focus = GetDlgCtrlID(GetFocus());
            focusParent = GetParent(GetFocus());
            Press(PSBTN_CANCEL);
        });
        EXPECT_EQ(IDCANCEL, Run()) << c.server;
        ASSERT_EQ(1u, driver->messages().size()) << c.server;
        EXPECT_EQ(c.message, driver->messages()[0]) << c.server;
        EXPECT_EQ(settings, shownPage) << c.server;
        EXPECT_EQ(settings, focusParent) << c.server;
        EXPECT_EQ(c.focus, focus) << c.server;
        EXPECT_STREQ(before, document->text()) << c.server;
    }
}

TEST_F(SettingsSheet, StoredTimeoutAboveRangeIsShownAndRefusedUntilCorrected)
{
    Open("\"idle_timeout\": 1500");
    driver->answerMessageBox();  // already while the page opens
    When([&] {
        EXPECT_EQ("1500", Text(IDC_IDLE_TIMEOUT));
        Press(PSBTN_OK);
    }).answerMessageBox();
    When([&] {
        Type(IDC_IDLE_TIMEOUT, "1000");
        Press(PSBTN_OK);
    });
    EXPECT_EQ(IDOK, Run());
    EXPECT_EQ((std::vector<std::string>{ kRangeMessage, kRangeMessage }), driver->messages());
    EXPECT_EQ(1000, Stored("idle_timeout"));
}

TEST_F(SettingsSheet, ArrowsKeepTheTimeoutWithinRange)
{
    Open("");
    std::vector<std::string> seen;
    When([&] {
        for (const char* start : { "999", "1" }) {
            Type(IDC_IDLE_TIMEOUT, start);
            UINT key = start[0] == '9' ? VK_UP : VK_DOWN;
            for (int i = 0; i < 2; ++i) {
                PressKey(Item(IDC_IDLE_TIMEOUT), key);
                seen.push_back(Text(IDC_IDLE_TIMEOUT));
            }
        }
        Press(PSBTN_OK);
    });
    EXPECT_EQ(IDOK, Run());
    EXPECT_EQ((std::vector<std::string>{ "1000", "1000", "0", "0" }), seen);
    EXPECT_EQ(0, Stored("idle_timeout"));
}

TEST_F(SettingsSheet, ServiceWithoutSectionShowsDefaultsAndOkCreatesNothing)
{
    Open("", false);
    std::string timeout;
    When([&] {
        timeout = Text(IDC_IDLE_TIMEOUT);
        ClickButton(hPage, IDC_REMOVE_COOKIES);
        Press(PSBTN_OK);
    });
    EXPECT_EQ(IDOK, Run());
    EXPECT_EQ("600", timeout);
    EXPECT_EQ(nullptr, document->digQuolla("proxy_http", "http-proxy"));
    EXPECT_STREQ(before, document->text());
}
