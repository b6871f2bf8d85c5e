// A random walk through the real sheet on the sample document: sessions of
// a person's input (Walker), each ended with OK or Cancel, and after each
// the file checked: Cancel left it byte for byte; OK left everything outside
// "proxy_http" and "sievex" byte for byte, every stored value well formed,
// and the document opens again. The next session edits what the last saved.
//
// VG_WALK_SEED=S replays seed S alone; VG_WALK_STEPS caps the steps (of all
// seeds) and VG_WALK_SECONDS the time (0: none; 20 s unless set);
// VG_WALK_LOG=1 prints every step.
#include <gtest/gtest.h>
#include "FailFast.h"
#include "ModalDriver.h"
#include "TempFolder.h"
#include "Veilgate.h"
#include "VeilgateExceptionDialog.h"
#include "Walker.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

long Setting(const char* name, long otherwise)
{
    const char* value = getenv(name);
    return value != nullptr && *value ? atol(value) : otherwise;
}

// Enough of a JSON reader to find where a member's value starts and ends in
// a text the store has accepted.
class Spans
{
public:
    explicit Spans(const std::string& text) : t(text) {}

    // The text with the values of the service's two sections cut out.
    std::string outside()
    {
        std::vector<std::pair<size_t, size_t>> cuts;
        size_t service = 0;
        i = 0;
        if (!member("services") || !member("http-proxy"))
            return t;
        service = i;
        for (const char* section : { "proxy_http", "sievex" }) {
            i = service;
            if (member(section)) {
                const size_t start = i;
                value();
                cuts.push_back({ start, i });
            }
        }
        std::sort(cuts.begin(), cuts.end());
        std::string rest;
        size_t from = 0;
        for (const auto& cut : cuts) {
            rest += t.substr(from, cut.first - from) + "<section>";
            from = cut.second;
        }
        return rest + t.substr(from);
    }

private:
    const std::string& t;
    size_t i = 0;

    bool more() const { return i < t.size(); }
    void blank()
    {
        while (more() && strchr(" \t\r\n", t[i]))
            ++i;
    }
    void string()
    {
        for (++i; more() && t[i] != '"'; ++i)
            i += t[i] == '\\';
        ++i;
    }
    void value()
    {
        blank();
        if (!more())
            return;
        if (t[i] == '"')
            return string();
        if (t[i] != '{' && t[i] != '[') {
            while (more() && !strchr(",}] \t\r\n", t[i]))
                ++i;
            return;
        }
        const char close = t[i] == '{' ? '}' : ']';
        for (++i, blank(); more() && t[i] != close; blank()) {
            if (close == '}') {
                string();
                blank();
                ++i;  // the colon
            }
            value();
            blank();
            if (more() && t[i] == ',')
                ++i;
        }
        ++i;
    }
    // From the object at i to the value of its member key.
    bool member(const char* key)
    {
        blank();
        for (++i, blank(); more() && t[i] != '}'; blank()) {
            const size_t name = i;
            string();
            const bool found = t.compare(name, i - name, "\"" + std::string(key) + "\"") == 0;
            blank();
            ++i;
            if (found) {
                blank();
                return true;
            }
            value();
            blank();
            if (more() && t[i] == ',')
                ++i;
        }
        return false;
    }
};

bool Bits(const CString& text, int length)
{
    return text.GetLength() == length && text.SpanIncluding("01").GetLength() == length;
}

// Every value the sheet writes, as the store holds it after a save.
void ExpectWellFormed(Beach& beach, const std::string& where)
{
    Quolla* proxy = beach.digQuolla("proxy_http", "http-proxy");
    QuoValOf<int> idle;
    if (proxy != nullptr && proxy->getProp("idle_timeout", idle)) {
        EXPECT_TRUE(idle.value >= 0 && idle.value <= 1000) << "idle time-out " << idle.value << where;
    }
    beach.tossQuolla(proxy);

    Quolla* sievex = beach.digQuolla("sievex", "http-proxy");
    ASSERT_NE(nullptr, sievex) << where;
    QuoValOf<QuoSievexMap> rules;
    if (sievex->getProp("rules", rules)) {
        for (POSITION pos = rules.value.GetStartPosition(); pos != NULL;) {
            CString name;
            QuoSievex* group;
            rules.value.GetNextAssoc(pos, name, group);
            EXPECT_TRUE(Bits(group->opMask, 40) && Bits(group->nonOpMask, 40) && Bits(group->schedule, 168))
                << "group \"" << (LPCTSTR)name << "\": " << (LPCTSTR)group->opMask << " "
                << (LPCTSTR)group->nonOpMask << " " << (LPCTSTR)group->schedule << where;
        }
    }
    QuoValOf<QuoVGServerIpMap> servers;
    if (sievex->getProp("ip_port", servers)) {
        std::vector<int> positions;
        for (POSITION pos = servers.value.GetStartPosition(); pos != NULL;) {
            CString key;
            QuoVGServerIp* server;
            servers.value.GetNextAssoc(pos, key, server);
            CString expected;
            expected.Format("%02d", server->position);
            EXPECT_STREQ(expected, key) << "the key of the server at " << server->position << where;
            positions.push_back(server->position);
        }
        std::sort(positions.begin(), positions.end());
        for (size_t n = 0; n < positions.size(); ++n)
            EXPECT_EQ((int)n, positions[n]) << "server positions" << where;
    }
    for (const char* key : { "urls_allow", "urls_deny" }) {
        CStringList list;
        QuoValOf<CStringList*> value(&list);
        if (!sievex->getProp(key, value))
            continue;
        for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
            const CString entry = list.GetNext(pos);
            EXPECT_TRUE(!entry.IsEmpty() && entry.FindOneOf("\r\n") < 0)
                << key << " holds \"" << (LPCTSTR)entry << "\"" << where;
        }
    }
    beach.tossQuolla(sievex);
}

// Lookups answer at once, without a network: a name that starts with a
// letter is found at one address, any other is not.
int PASCAL Startup(WORD, LPWSADATA data)
{
    memset(data, 0, sizeof *data);
    return 0;
}
struct hostent* PASCAL Resolve(const char* name)
{
    static u_long address;
    static char* list[] = { reinterpret_cast<char*>(&address), NULL };
    static struct hostent entry;
    if (!isalpha((unsigned char)name[0]))
        return NULL;
    address = htonl(0x0A000000u | (unsigned char)name[0]);
    entry = { const_cast<char*>(name), NULL, AF_INET, 4, list };
    return &entry;
}
int PASCAL Cleanup() { return 0; }

// Walks one seed from the sample for up to `steps` steps or until the
// deadline (0: none), session by session; the steps done.
long WalkSeed(unsigned seed, long steps, DWORD deadline)
{
    TempFolder folder;
    const std::string file = folder.path("doc.json");
    EXPECT_TRUE(CopyFileA(EXAMPLES_DIR "/http-proxy.json", file.c_str(), FALSE));
    CopyFileA(EXAMPLES_DIR "/mimetypes", folder.path("mimetypes").c_str(), FALSE);
    Walker walker(seed);
    const bool log = Setting("VG_WALK_LOG", 0) != 0;
    long step = 0;
    for (int session = 1; step < steps && !::testing::Test::HasFailure(); ++session) {
        if (deadline != 0 && (LONG)(GetTickCount() - deadline) >= 0)
            break;
        const std::string before = folder.read("doc.json");
        Beach beach;
        CString error;
        if (!beach.open(file.c_str(), error)) {
            ADD_FAILURE() << "seed " << seed << ", session " << session << ": " << (LPCTSTR)error;
            break;
        }
        const bool ok = walker.chance(60), saveAll = walker.chance(75);
        const long acts = std::min<long>(5 + walker.pick(60), steps - step);
        std::string did;
        auto note = [&] {
            const std::string where = "walk seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + did;
            failfast::SetContext(where);
            if (log)
                printf("%s\n", where.c_str());
        };
        ModalDriver driver;
        for (long n = 0; n < acts; ++n)
            driver.then([&] {
                if (!walker.act(did))
                    return false;
                ++step;
                note();
                return true;
            });
        driver.then([&] {
            walker.finish(ok, did);
            note();
            return false;
        });
        walker.newSession();
        int result;
        {
            Veilgate editor(nullptr, &beach);
            driver.start();
            result = editor.EditVeilgate(folder.path("").c_str(), "http-proxy", saveAll);
            driver.stop();
        }
        const std::string where = "; seed " + std::to_string(seed) + ", step " + std::to_string(step) +
                                  ", session " + std::to_string(session) + (result ? " ended with OK" : " cancelled") +
                                  (saveAll ? "" : ", exceptions only") + "; last: " + did;
        EXPECT_EQ("", driver.failure()) << where;
        if (result && beach.isModified() && !beach.save(error))
            ADD_FAILURE() << (LPCTSTR)error << where;
        const std::string after = folder.read("doc.json");
        if (!result) {
            EXPECT_EQ(before, after) << "Cancel changed the file" << where;
            continue;
        }
        EXPECT_EQ(Spans(before).outside(), Spans(after).outside()) << "outside the two sections" << where;
        Beach again;
        if (!again.open(file.c_str(), error))
            ADD_FAILURE() << "the saved document does not open: " << (LPCTSTR)error << where;
        else
            ExpectWellFormed(again, where);
    }
    return step;
}

} // namespace

TEST(Walk, APersonAtTheSheetLeavesTheDocumentSound)
{
    static const ExceptionSocketCalls resolver = { &Startup, &Resolve, &Cleanup };
    VgSetExceptionSocketCalls(&resolver);
    const long replay = Setting("VG_WALK_SEED", 0);
    const long steps = Setting("VG_WALK_STEPS", replay ? 1000000 : 100000);
    const long seconds = Setting("VG_WALK_SECONDS", replay ? 0 : 20);
    const DWORD start = GetTickCount(), deadline = seconds > 0 ? start + (DWORD)seconds * 1000 : 0;
    // Every step is small: half a minute without an answer is a hang, even
    // on an emulated CPU. A walk without a budget may take as long as its
    // steps do.
    failfast::SetLimits(seconds > 0 ? (DWORD)seconds + 60 : 0, 30);
    // A seed's document grows and changes for this many steps, then the
    // next seed starts again from the sample.
    const long perSeed = replay ? steps : 400;
    long done = 0;
    unsigned seed = replay ? (unsigned)replay : 1;
    for (; done < steps && !HasFailure(); ++seed) {
        if (deadline != 0 && (LONG)(GetTickCount() - deadline) >= 0)
            break;
        done += WalkSeed(seed, std::min(perSeed, steps - done), deadline);
        if (replay)
            break;
    }
    VgSetExceptionSocketCalls(NULL);
    const double spent = (GetTickCount() - start) / 1000.0;
    printf("walk: %ld steps of seeds %ld to %u in %.1f s, %.1f steps per second\n", done, replay ? replay : 1L,
           seed - (replay ? 0 : 1), spent, spent > 0 ? done / spent : 0.0);
}
