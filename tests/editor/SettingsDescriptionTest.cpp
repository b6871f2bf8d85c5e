// The module's description of its settings, proved against the real sheet:
// every key and record field names a page and a control that shows the
// stored value, and OK writes it back as it was.
#include "EditorFixture.h"
#include "ModalDriver.h"
#include "VeilgateSettings.h"
#include "resource.h"
#include <commctrl.h>
#include <map>

using namespace VgSettings;

namespace {

// Every owned value away from its default. The switches, each numbered,
// take bit b of their number in session b, so that two switches the
// description mixed up would show the wrong way in some session.
const char kEverything[] = R"({ "services": { "http-proxy": {
  "proxy_http": { "remove_client_info": @1, "remove_cookies": @2, "javaapplets": @3, "activexapplets": @4,
    "deny_submissions": @5, "remove_unknown_headers": @6, "log_access": @7, "idle_timeout": 321,
    "require_content_type": @8, "proxy_server": "10.0.0.1:8080", "deny_unsafe_content": @9,
    "safe_content": "image/gif\ntext/html", "unsafe_patterns_enabled": @10, "unsafe_patterns": "*.exe\n/cgi-bin/*" },
  "sievex": {
    "ip_port": { "00": { "address": "10.0.0.5", "port": 5003, "position": 0 },
                 "01": { "address": "10.0.0.6", "port": 5004, "position": 1 } },
    "activate": 1, "allowbypass": @11, "denymsg": "Blocked.\nCall 555.",
    "urls_allow": [ "10.1.2.3" ], "urls_deny": [ "10.9.8.7:8080 " ],
    "rules": { "Zeta": { "opMask": "1000000000000000000000000000000000000000",
      "schedule": "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000001",
      "nonOpMask": "0000000000000000000000000000000000000001", "reserved": "", "members": [ "ann" ],
      "nonOpBlockAll": @12, "opBlockAll": @13 } } } } } }
)";

const char* const kSwitches[] = { "remove_client_info", "remove_cookies", "javaapplets", "activexapplets",
                                  "deny_submissions", "remove_unknown_headers", "log_access",
                                  "require_content_type", "deny_unsafe_content", "unsafe_patterns_enabled",
                                  "allowbypass", "nonOpBlockAll", "opBlockAll" };
const int kSwitchCount = sizeof kSwitches / sizeof *kSwitches;

bool SwitchOn(int number, int session) { return (number >> session) & 1; }

// The document of one session, switches set.
std::string Document(int session)
{
    std::string text = kEverything;
    for (int n = kSwitchCount; n >= 1; --n) {
        const std::string token = "@" + std::to_string(n);
        const bool boolean = n > 11;
        const std::string value = SwitchOn(n, session) ? (boolean ? "true" : "1") : (boolean ? "false" : "0");
        text.replace(text.find(token), token.size(), value);
    }
    return text;
}

std::string Joined(const std::vector<std::string>& items, const char* separator)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

std::string ListViewRows(HWND list)
{
    std::vector<std::string> rows;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char address[64] = "", port[16] = "";
        LVITEMA item = {};
        item.pszText = address;
        item.cchTextMax = sizeof address;
        SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
        item.iSubItem = 1;
        item.pszText = port;
        item.cchTextMax = sizeof port;
        SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
        rows.push_back(std::string(address) + ":" + port);
    }
    return Joined(rows, " ");
}

// What a control shows, in the form the stored value is given below.
std::string Shown(HWND control, Reading reading)
{
    switch (reading) {
    case ReadSwitch:
    case ReadProxyServer:
        return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "on" : "off";
    case ReadNumber:
    case ReadMessage:
        return WindowText(control);
    case ReadEntryLines:
        return Joined(ListBoxItems(control), "\n");
    case ReadEntries:
    case ReadCategoryMask:
        return Joined(ListBoxItems(control), "|");
    case ReadServers:
        return ListViewRows(control);
    default:
        return "";
    }
}

struct Probe
{
    Page page;
    UINT field;
    Reading reading;
    std::string name;
};

} // namespace

TEST(SettingsDescription, EveryFieldShowsItsStoredValueAndOkWritesItBack)
{
    std::map<std::string, std::string> expected = {
        { "idle_timeout", "321" }, { "proxy_server", "on" }, { "safe_content", "image/gif\ntext/html" },
        { "unsafe_patterns", "*.exe\n/cgi-bin/*" }, { "ip_port", "10.0.0.5:5003 10.0.0.6:5004" },
        { "activate", "on" }, { "denymsg", "Blocked.\r\nCall 555." }, { "urls_allow", "10.1.2.3" },
        { "urls_deny", "10.9.8.7:8080 " }, { "opMask", "Streaming Media" }, { "nonOpMask", "Sports" },
    };
    std::vector<Probe> probes;
    for (int k = 0; k < KeyCount; ++k) {
        const Setting& s = Describe((Key)k);
        if (s.page != NoPage)
            probes.push_back({ s.page, s.field, s.reading, s.key });
    }
    for (int f = 0; f < GroupFieldCount; ++f) {
        const RecordField& r = DescribeGroupField((GroupField)f);
        if (r.page != NoPage && r.reading != ReadSchedule)
            probes.push_back({ r.page, r.field, r.reading, r.name });
    }
    ASSERT_EQ(expected.size() + kSwitchCount, probes.size()) << "a key or field without a probe";

    for (int session = 0; (1 << session) <= kSwitchCount; ++session) {
        SCOPED_TRACE("session " + std::to_string(session));
        for (int n = 1; n <= kSwitchCount; ++n)
            expected[kSwitches[n - 1]] = SwitchOn(n, session) ? "on" : "off";
        TempFolder folder;
        folder.write("doc.json", Document(session));
        Beach beach;
        CString error;
        ASSERT_TRUE(beach.open(folder.path("doc.json").c_str(), error, StoreSchema())) << (LPCTSTR)error;
        const std::string before = (LPCTSTR)beach.text();

        std::map<std::string, std::string> shown;
        std::vector<std::string> wrongPages;
        ModalDriver driver;
        driver.onWindow("HTTP Proxy", [&](HWND sheet) {
            for (int page = 0; page < PageCount; ++page) {
                if (SheetPageIndex(sheet, (LPCTSTR)PageCaption((Page)page)) != page)
                    wrongPages.push_back((LPCTSTR)PageCaption((Page)page));
                SendMessageA(sheet, PSM_SETCURSEL, page, 0);
                HWND hPage = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
                for (const Probe& p : probes) {
                    HWND control = p.page == page ? GetDlgItem(hPage, p.field) : NULL;
                    if (p.page == page)
                        shown[p.name] = control ? Shown(control, p.reading) : "no control " + std::to_string(p.field);
                }
            }
            PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        TestVeilgate editor(nullptr, &beach);
        driver.start();
        EXPECT_EQ(1, editor.EditVeilgate(folder.path("").c_str(), "http-proxy", 1));
        driver.stop();
        ASSERT_EQ("", driver.failure());

        EXPECT_TRUE(wrongPages.empty()) << "not at their place in the sheet: " << Joined(wrongPages, ", ");
        for (const Probe& p : probes)
            EXPECT_EQ(expected.at(p.name), shown[p.name]) << p.name;
        // Each value was shown as stored, so OK leaves the text as it was.
        EXPECT_EQ(before, (LPCTSTR)beach.text());
    }
}

TEST(SettingsDescription, LabelsAndUnitsComeFromTheTemplates)
{
    EXPECT_STREQ("Remove client connection info", Label(Describe(RemoveClientInfo)));
    EXPECT_STREQ("Idle timeout", Label(Describe(IdleTimeout)));
    EXPECT_STREQ("seconds", ControlUnit(PageSettings, Describe(IdleTimeout).field));
    EXPECT_STREQ("Use Caching Proxy Server", Label(Describe(ProxyServer)));
    EXPECT_STREQ("Allow only safe content types", Label(Describe(SafeContent)));
    EXPECT_STREQ("Veilgate Servers", Label(Describe(Servers)));
    EXPECT_STREQ("Message for blocked user", Label(Describe(DenyMessage)));
    EXPECT_STREQ("Allowed Exceptions", Label(Describe(UrlsAllow)));
    EXPECT_STREQ("Denied Exceptions", Label(Describe(UrlsDeny)));
    EXPECT_STREQ("Denied Categories", Label(DescribeGroupField(GroupOpMask)));
    EXPECT_STREQ("Block all outgoing Web access", Label(DescribeGroupField(GroupNonOpBlockAll)));
    EXPECT_STREQ("VG: Non-operational Privileges", PageCaption(DescribeGroupField(GroupNonOpMask).page));
    EXPECT_STREQ("", Label(Describe(Rules)));
}

TEST(SettingsDescription, TheStoreRefusesWhatTheDescriptionForbids)
{
    auto document = [](const std::string& sievex) {
        return "{ \"services\": { \"http-proxy\": { \"sievex\": {\n" + sievex + "\n} } } }";
    };
    Beach beach;
    CString error;
    std::string longest(DenyMessageLimit, 'x');
    EXPECT_TRUE(beach.openText(document("\"denymsg\": \"" + longest + "\"").c_str(), "d.json", error, StoreSchema()))
        << (LPCTSTR)error;
    // Shown, each line feed becomes CR LF: one line feed more is too many.
    std::string twoLines = longest.substr(2) + "\\n" + "x";
    EXPECT_FALSE(beach.openText(document("\"denymsg\": \"" + twoLines + "\"").c_str(), "d.json", error,
                                StoreSchema()));
    EXPECT_STREQ("d.json: line 2: key \"denymsg\" in section \"sievex\" of service \"http-proxy\" is 32768 "
                 "characters long as shown; the limit is 32767",
                 error);

    // A check lists every fault, in the file's order, and opens the rest.
    QuoFaultArray faults;
    ASSERT_TRUE(beach.inspectText(document("\"activate\": \"yes\",\n\"rules\": 1,\n\"allowbypass\": 1").c_str(),
                                  "d.json", error, StoreSchema(), faults));
    ASSERT_EQ(2, faults.GetSize());
    EXPECT_EQ(2, faults[0].line);
    EXPECT_STREQ("activate", faults[0].key);
    EXPECT_STREQ("must be an integer", faults[0].what);
    EXPECT_EQ(3, faults[1].line);
    EXPECT_STREQ("key \"rules\" in section \"sievex\" of service \"http-proxy\" must be an object of groups",
                 faults[1].message);
    Quolla* section = beach.digQuolla(kFilterSection, "http-proxy");
    ASSERT_TRUE(section);
    QuoValOf<int> bypass, activate;
    EXPECT_TRUE(section->getProp(KeyName(AllowBypass), bypass));
    EXPECT_FALSE(section->getProp(KeyName(Activate), activate));
    beach.tossQuolla(section);
    EXPECT_EQ(4, beach.lineOf("http-proxy", kFilterSection, KeyName(AllowBypass)));
    EXPECT_FALSE(beach.save(error));
}
