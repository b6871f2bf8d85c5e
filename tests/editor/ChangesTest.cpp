// The changes between two documents in the sheet's words: one pair of
// documents per line form, and the readings under which stored values that
// differ show alike.
#include "EditorFixture.h"
#include "VeilgateChanges.h"
#include "VeilgateSettings.h"
#include <vector>

namespace {

// A group with both its switches off, and fields of its own after them.
std::string Group(const std::string& name, const std::string& fields = "")
{
    return "\"" + name + "\": { \"nonOpBlockAll\": false, \"opBlockAll\": false" +
           (fields.empty() ? "" : ", " + fields) + " }";
}

std::string Rules(const std::string& groups)
{
    return "\"sievex\": { \"rules\": { " + groups + " } }";
}

// A server record from "address:port".
std::string Server(const std::string& key, const std::string& server, int position)
{
    const size_t colon = server.find(':');
    return "\"" + key + "\": { \"address\": \"" + server.substr(0, colon) + "\", \"port\": " +
           server.substr(colon + 1) + ", \"position\": " + std::to_string(position) + " }";
}

std::string Servers(const std::string& records)
{
    return "\"sievex\": { \"ip_port\": { " + records + " } }";
}

// The stored form of the default schedule with some shown hours flipped.
std::string StoredSchedule(std::initializer_list<int> flipped)
{
    std::string shown = (LPCTSTR)VgSettings::DefaultSchedule();
    for (int position : flipped)
        shown[position] = shown[position] == '1' ? '0' : '1';
    return std::string(shown.rbegin(), shown.rend());
}

std::string Changes(const std::string& before, const std::string& after)
{
    Beach a, b;
    CString error;
    auto document = [](const std::string& sections) {
        return "{ \"services\": { \"http-proxy\": { " + sections + " } } }";
    };
    EXPECT_TRUE(a.openText(document(before).c_str(), "before.json", error, VgSettings::StoreSchema()))
        << (LPCTSTR)error;
    EXPECT_TRUE(b.openText(document(after).c_str(), "after.json", error, VgSettings::StoreSchema()))
        << (LPCTSTR)error;
    CStringArray lines;
    VgChanges::Compare(a, b, "http-proxy", lines);
    std::string text;
    for (int i = 0; i < lines.GetSize(); ++i)
        text += std::string((LPCTSTR)lines[i]) + "\n";
    return text;
}

struct Pair
{
    const char* what;
    std::string before, after, expected;
};

} // namespace

TEST(Changes, EachLineFormForAPairOfDocuments)
{
    const std::string mask40(40, '0');
    const std::vector<Pair> pairs = {
        { "switches read on or off, whatever their number",
          R"("proxy_http": { "remove_cookies": 7, "log_access": 0 })",
          R"("proxy_http": { "remove_cookies": 1, "log_access": 1 })",
          "Settings: Log accounting/auditing information: off -> on\n" },
        { "a number with its unit; an absent key reads as its default",
          R"("proxy_http": { })", R"("proxy_http": { "idle_timeout": 300 })",
          "Settings: Idle timeout: 600 -> 300 seconds\n" },
        { "the caching proxy", R"("proxy_http": { "proxy_server": "10.0.0.1:8080" })",
          R"("proxy_http": { "proxy_server": "" })", "Settings: Use Caching Proxy Server: 10.0.0.1:8080 -> off\n" },
        { "entry lines as the page lists them: order, blank lines and leading blanks are none",
          R"("proxy_http": { "safe_content": "text/html\nimage/gif", "unsafe_patterns": "*.exe" })",
          R"("proxy_http": { "safe_content": "image/gif\n\n  text/html\ntext/xml", "unsafe_patterns": "" })",
          "Safe Content: Allow only safe content types: + text/xml\n"
          "Safe Content: Deny unsafe path patterns: - *.exe\n" },
        { "servers gone and new; the rest kept their order",
          Servers(Server("00", "10.0.0.5:5003", 0) + ", " + Server("01", "10.0.0.6:5004", 1)),
          Servers(Server("00", "10.0.0.6:5004", 0) + ", " + Server("01", "10.0.0.7:5003", 1)),
          "Veilgate Controls: Veilgate Servers: - 10.0.0.5:5003\n"
          "Veilgate Controls: Veilgate Servers: + 10.0.0.7:5003\n" },
        { "servers in a new order, which their positions give and not their keys",
          Servers(Server("00", "10.0.0.5:5003", 0) + ", " + Server("01", "10.0.0.6:5004", 1)),
          Servers(Server("00", "10.0.0.5:5003", 1) + ", " + Server("01", "10.0.0.6:5004", 0)),
          "Veilgate Controls: Veilgate Servers: 10.0.0.5:5003, 10.0.0.6:5004 -> 10.0.0.6:5004, 10.0.0.5:5003\n" },
        { "the deny message as shown: first changed line, lines changed in all",
          R"("sievex": { "denymsg": "One\n%<b>Two</b>\nThree\nFour" })",
          R"("sievex": { "denymsg": "One\n\n  %<b>2</b>\nThree\n4\nFive" })",
          "Veilgate Controls: Message for blocked user: line 2: <b>Two</b> -> <b>2</b> (3 lines changed)\n" },
        { "a deny message where there was none", R"("sievex": { })", R"("sievex": { "denymsg": "Blocked" })",
          "Veilgate Controls: Message for blocked user: line 1: (none) -> Blocked (1 line changed)\n" },
        { "exceptions, sorted on their page", R"("sievex": { "urls_allow": [ "b.example", "a.example" ] })",
          R"("sievex": { "urls_allow": [ "a.example", "c.example", "b.example" ] })",
          "VG: Exceptions: Allowed Exceptions: + c.example\n" },
        { "categories per period; a short or absent mask allows the rest; block all",
          Rules(Group("Zeta", R"("nonOpMask": "1")")),
          Rules("\"Zeta\": { \"nonOpBlockAll\": false, \"opBlockAll\": true, \"opMask\": \"" + mask40.substr(4) +
                "1000\", \"nonOpMask\": \"" + mask40 + "\" }"),
          "VG: Operational Privileges (group Zeta): Denied Categories: + Gambling\n"
          "VG: Operational Privileges (group Zeta): Block all outgoing Web access: off -> on\n"
          "VG: Non-operational Privileges (group Zeta): Denied Categories: - Streaming Media\n" },
        { "runs of hours by day; an absent schedule is the default",
          Rules(Group("Zeta")),
          Rules(Group("Zeta", "\"schedule\": \"" + StoredSchedule({ 31, 32, 167 }) + "\"")),
          "VG: Schedule (group Zeta): Monday 07:00-08:59: operational -> non-operational\n"
          "VG: Schedule (group Zeta): Saturday 23:00-23:59: non-operational -> operational\n" },
        { "groups by name, and members, which no page shows",
          Rules(Group("Zeta", R"("members": [ "ann" ])") + ", " + Group("Old")),
          Rules(Group("New") + ", " + Group("Zeta", R"("members": [ "bob", "ann" ])")),
          "Groups: - Old\nGroups: + New\nGroup Zeta: members: + bob\n" },
        { "what the editor does not own is no change",
          R"("proxy_http": { "x": 1 }, "other": { "idle_timeout": 1 }, )" +
              Rules(Group("Zeta", R"("reserved": "a", "colour": "red")")),
          R"("proxy_http": { "x": 2 }, "other": { "idle_timeout": 2 }, )" +
              Rules(Group("Zeta", R"("reserved": "b", "colour": "blue")")),
          "" },
        { "a section left out reads as its defaults", R"("proxy_http": { })",
          R"("proxy_http": { }, "sievex": { "activate": 0, "allowbypass": 1, "rules": { } })",
          "Veilgate Controls: Allow Veilgate Server Bypass: off -> on\n" },
    };
    for (const Pair& pair : pairs)
        EXPECT_EQ(pair.expected, Changes(pair.before, pair.after)) << pair.what;
}
