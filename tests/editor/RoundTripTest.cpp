// Documents full of what the editor does not own, edited through the real
// editor: after OK the file differs from the one it was in exactly the
// value that was edited.
#include "EditorFixture.h"
#include "ModalDriver.h"
#include "resource.h"

#include <random>
#include <utility>
#include <vector>

namespace {

// What a document's known values are; everything else comes from the seed.
struct Known
{
    int activate = 1;
    bool sundayMidnightToggled = false;  // in the working group's schedule
};

typedef std::vector<std::pair<std::string, std::string>> Members;  // key, JSON text

// Writes one random document per seed, in one of several layouts, with
// unknown values of every JSON form around and inside the known ones.
class DocumentMaker
{
public:
    explicit DocumentMaker(unsigned seed) : m_random(seed)
    {
        static const char* const layouts[][3] = {
            { "\n", "  ", ": " }, { "\r\n", "    ", ": " }, { "\n", "\t", " : " }, { "", "", ":" }, { " ", "", ": " },
        };
        const auto& layout = layouts[pick(5)];
        m_lineEnd = layout[0];
        m_unit = layout[1];
        m_colon = layout[2];
    }

    std::string document(const Known& known)
    {
        Members sievex = {
            { "activate", std::to_string(known.activate) },
            { "allowbypass", "0" },
            { "denymsg", "\"Blocked by policy\"" },
            { "urls_allow", list({ "\"10.1.2.3\"", "\"www.example.com/news:80 /daily/*\"" }, 4) },
            { "urls_deny", list({ "\"192.168.200.0/24\"" }, 4) },
            { "ip_port", servers() },
            { "rules", groups(known.sundayMidnightToggled) },
        };
        mixIn(sievex, 3);
        // Every key the settings page writes on OK, so that writing them back
        // unchanged leaves the file as it was.
        Members proxy = {
            { "remove_client_info", "0" }, { "remove_cookies", "1" }, { "javaapplets", "0" },
            { "activexapplets", "1" }, { "deny_submissions", "0" }, { "remove_unknown_headers", "0" },
            { "log_access", "1" }, { "idle_timeout", "600" }, { "require_content_type", "0" },
            { "proxy_server", "\"10.0.0.1:8080\"" },
        };
        mixIn(proxy, 3);
        Members service = { { "proxy_http", object(proxy, 3) }, { "sievex", object(sievex, 3) } };
        mixIn(service, 2, 2, [this] { return section(3); });
        Members services = { { "http-proxy", object(service, 2) } };
        mixIn(services, 1, 2, [this] {
            Members sections(pick(3));
            for (auto& s : sections)
                s = { unknownKey(), section(3) };
            return object(sections, 2);
        });
        Members top = { { "services", object(services, 1) } };
        mixIn(top, 0);
        return object(top, 0) + (pick(2) ? m_lineEnd : "");
    }

private:
    std::mt19937 m_random;
    std::string m_lineEnd, m_unit, m_colon;
    int m_names = 0;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    std::string indent(int depth) const
    {
        std::string s = m_lineEnd;
        for (int i = 0; i < depth; ++i)
            s += m_unit;
        return s;
    }

    std::string object(const Members& members, int depth) const
    {
        if (members.empty())
            return "{}";
        std::string out = "{";
        for (size_t i = 0; i < members.size(); ++i)
            out += (i ? "," : "") + indent(depth + 1) + "\"" + members[i].first + "\"" + m_colon + members[i].second;
        return out + indent(depth) + "}";
    }

    std::string list(const std::vector<std::string>& items, int depth) const
    {
        if (items.empty())
            return "[]";
        std::string out = "[";
        for (size_t i = 0; i < items.size(); ++i)
            out += (i ? "," : "") + indent(depth + 1) + items[i];
        return out + indent(depth) + "]";
    }

    // A key of its own: plain, accented or in another script.
    std::string unknownKey()
    {
        static const char* const stems[] = { "x_note", "x_\xC3\xA9t\xC3\xA9", "x_\xE6\xB3\xA8\xE9\x87\x88",
                                             "x_\\u00fcber", "x_\xD0\xB7\xD0\xB0\xD0\xBC" };
        return std::string(stems[pick(5)]) + "_" + std::to_string(++m_names);
    }

    std::string unknownValue(int depth)
    {
        static const char* const numbers[] = {
            "123456789012345678901234567890", "9223372036854775808", "-9223372036854775809", "1.10", "1E2",
            "-0", "0.0", "1e400", "-1e-400", "2.5e+3", "1E-7", "100.000", "42", "-7",
        };
        static const char* const texts[] = {
            "\"\\u00e9t\\u00e9\"", "\"\xE4\xB8\xAD\xE6\x96\x87\"", "\"\xD0\x96\"", "\"\xF0\x9F\x98\x80\"",
            "\"\\ud83d\\ude00\"", "\"a\\/b\"", "\"tab\\tline\\n\"", "\"\\u0000\"", "\"\"",
            "\"\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7\"", "\"\xCE\xB5\xCE\xBB\"",
        };
        static const char* const words[] = { "true", "false", "null" };
        switch (pick(depth > 6 ? 3 : 5)) {
        case 0: return numbers[pick(sizeof numbers / sizeof *numbers)];
        case 1: return texts[pick(sizeof texts / sizeof *texts)];
        case 2: return words[pick(3)];
        case 3: {
            std::vector<std::string> items(pick(4));
            for (std::string& item : items)
                item = unknownValue(depth + 1);
            return list(items, depth);
        }
        default: {
            Members members(pick(4));
            for (auto& member : members)
                member = { unknownKey(), unknownValue(depth + 1) };
            return object(members, depth);
        }
        }
    }

    // Up to `most` unknown members at random places among the known ones;
    // services and sections are objects, anything else goes below them.
    void mixIn(Members& members, int depth, int most = 3, std::function<std::string()> value = nullptr)
    {
        for (int n = pick(most + 1); n > 0; --n) {
            const int at = pick((int)members.size() + 1);
            members.insert(members.begin() + at, { unknownKey(), value ? value() : unknownValue(depth + 1) });
        }
    }

    std::string section(int depth)
    {
        Members keys(pick(3));
        for (auto& key : keys)
            key = { unknownKey(), unknownValue(depth + 1) };
        return object(keys, depth);
    }

    std::string servers()
    {
        Members records;
        for (int i = 0, count = 1 + pick(3); i < count; ++i) {
            Members fields = { { "address", "\"10.0.0." + std::to_string(5 + i) + "\"" },
                               { "port", std::to_string(5003 + i) },
                               { "position", std::to_string(i) } };
            mixIn(fields, 5, 2);
            records.push_back({ "0" + std::to_string(i), object(fields, 5) });
        }
        return object(records, 4);
    }

    std::string groups(bool sundayMidnightToggled)
    {
        static const char* const names[] = { "Staff", "\xC3\x89quipe", "Everyone" };
        Members records;
        const int count = 1 + pick(3);
        for (int i = 0; i < count; ++i) {
            std::string mask(40, '0'), schedule(168, '0');
            for (char& c : mask)
                c = pick(4) ? '0' : '1';
            for (char& c : schedule)
                c = pick(3) ? '0' : '1';
            // The group read last is the one edited; the schedule is stored
            // reversed, so Sunday 00:00 is its last hour.
            if (i == count - 1 && sundayMidnightToggled)
                schedule.back() = schedule.back() == '1' ? '0' : '1';
            Members fields = { { "opMask", "\"" + mask + "\"" },
                               { "schedule", "\"" + schedule + "\"" },
                               { "nonOpMask", "\"" + std::string(mask.rbegin(), mask.rend()) + "\"" },
                               { "reserved", "\"\"" },
                               { "members", list({ "\"ann\"", "\"b\xC3\xB8rre\"" }, 6) },
                               { "nonOpBlockAll", pick(2) ? "true" : "false" },
                               { "opBlockAll", pick(2) ? "true" : "false" } };
            mixIn(fields, 5, 2);
            records.push_back({ names[i], object(fields, 5) });
        }
        return object(records, 4);
    }
};

// Opens the document, runs the sheet with the edit in the probe page's
// OK, and returns the file as saved. With toggleSundayMidnight the schedule
// page is shown and its first cell clicked before OK.
std::string EditThroughTheSheet(const std::string& text, const std::function<void(TestVeilgate&)>& edit,
                                bool toggleSundayMidnight = false)
{
    TempFolder folder;
    folder.write("doc.json", text);
    Beach beach;
    CString error;
    if (!beach.open(folder.path("doc.json").c_str(), error)) {
        ADD_FAILURE() << (LPCTSTR)error << "\n" << text;
        return "";
    }
    TestVeilgate editor(nullptr, &beach);
    ProbePage probe;
    ExtraPages pages(&probe);
    probe.onApply = [&]() { edit(editor); };
    ModalDriver driver;
    driver.onWindow("HTTP Proxy", [toggleSundayMidnight](HWND sheet) {
        // Only the pages shown take part in OK: the settings page (shown
        // first), the probe page and, when asked, the schedule page.
        if (toggleSundayMidnight) {
            SendMessageA(sheet, PSM_SETCURSEL, SheetPageIndex(sheet, "VG: Schedule"), 0);
            HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
            HWND grid = GetDlgItem(page, IDC_SCHEDULE_GRID);
            // The first cell right of the hour labels: Sunday, 00:00.
            PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 7));
            PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(55, 7));
        }
        PostMessageA(sheet, PSM_SETCURSEL, SheetPageIndex(sheet, "Probe"), 0);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    driver.start();
    EXPECT_EQ(1, editor.EditVeilgate(folder.path("").c_str(), "http-proxy", 1));
    driver.stop();
    EXPECT_EQ("", driver.failure());
    return folder.read("doc.json");
}

} // namespace

TEST(RoundTrip, EveryByteTheEditorDoesNotOwnSurvivesAnEdit)
{
    for (unsigned seed = 1; seed <= 24; ++seed) {
        Known before, switchedOff, rescheduled;
        switchedOff.activate = 0;
        rescheduled.sundayMidnightToggled = true;
        const std::string original = DocumentMaker(seed).document(before);

        EXPECT_EQ(EditThroughTheSheet(original, [](TestVeilgate& e) { e.m_activate = 0; }),
                  DocumentMaker(seed).document(switchedOff))
            << "seed " << seed << ", \"activate\" switched off, from\n" << original;

        EXPECT_EQ(EditThroughTheSheet(original, [](TestVeilgate&) {}, true),
                  DocumentMaker(seed).document(rescheduled))
            << "seed " << seed << ", working group's Sunday 00:00 toggled, from\n" << original;
    }
}
