// The store on hostile and huge documents: every kind of damage to the
// sample, files too large to be documents, memory that runs out, and
// documents of 100,000 records. Each either opens, giving back exactly the
// bytes it read, or is refused with the file's name and the reason.
#include "JsonValue.h"
#include "QuollaFixture.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

namespace {

std::string sample()
{
    return readFile(EXAMPLES_DIR "/http-proxy.json");
}

CString bytesOf(const std::string& text)
{
    return CString(text.data(), (int)text.size());
}

// Lines end with LF, CR LF or a lone CR.
int linesOf(const std::string& text)
{
    int lines = 1;
    for (size_t i = 0; i < text.size(); ++i)
        lines += text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
    return lines;
}

// Reads every key the editor reads, each into its own kind of holder.
void readEveryKey(Beach& beach)
{
    for (const char* name : { "sievex", "proxy_http" }) {
        Quolla* section = beach.digQuolla(name, "http-proxy");
        if (!section)
            continue;
        QuoValOf<int> number;
        QuoValOf<CString> text;
        CStringList list;
        QuoValOf<CStringList*> texts(&list);
        QuoValOf<QuoVGServerIpMap> servers;
        QuoValOf<QuoSievexMap> groups;
        for (const char* key : { "activate", "allowbypass", "idle_timeout", "remove_cookies", "log_access" })
            section->getProp(key, number);
        for (const char* key : { "denymsg", "proxy_server", "safe_content", "unsafe_patterns" })
            section->getProp(key, text);
        section->getProp("urls_allow", texts);
        section->getProp("urls_deny", texts);
        section->getProp("ip_port", servers);
        section->getProp("rules", groups);
        beach.tossQuolla(section);
    }
}

// Opened, the document gives back its own bytes; refused, the message
// names the file and a line the text has.
void expectOpensOrIsRefusedWithItsLine(const std::string& text, const std::string& what)
{
    Beach beach;
    CString error;
    if (beach.openText(bytesOf(text), "sample.json", error, Schema())) {
        readEveryKey(beach);
        const CString back = beach.text();
        EXPECT_TRUE(std::string(back, back.GetLength()) == text) << what;
        return;
    }
    int line = 0;
    char reason = 0;
    EXPECT_EQ(2, sscanf(error, "sample.json: line %d: %c", &line, &reason)) << what << ": " << (LPCTSTR)error;
    EXPECT_GE(line, 1) << what << ": " << (LPCTSTR)error;
    EXPECT_LE(line, linesOf(text)) << what << ": " << (LPCTSTR)error;
}

std::string servers(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char record[128];
        sprintf(record, "%s\n   \"s%06d\": {\"address\": \"10.0.%d.%d\", \"port\": %d, \"position\": %d}", i ? "," : "",
                count - i, i / 256 % 256, i % 256, 5000 + i % 1000, i);
        text += record;
    }
    return "{\"services\": {\"http-proxy\": {\"sievex\": {\"ip_port\": {" + text + "\n}}}}}\n";
}

}  // namespace

// A fixed seed: the same damage every run.
TEST(HostileDocument, EveryDamageToTheSampleOpensOrIsRefusedWithItsLine)
{
    const std::string text = sample();
    ASSERT_GT(text.size(), 1000u);
    std::mt19937 random(13);
    auto at = [&](size_t size) { return std::uniform_int_distribution<size_t>(0, size)(random); };
    int cases = 0;
    auto check = [&](const std::string& damaged, const std::string& what) {
        expectOpensOrIsRefusedWithItsLine(damaged, what);
        ++cases;
    };

    for (size_t length = 0; length < text.size(); ++length)
        check(text.substr(0, length), "cut to " + std::to_string(length) + " bytes");
    for (int i = 0; i < 2000; ++i) {
        std::string damaged = text;
        const size_t where = at(text.size() - 1);
        damaged[where] = (char)std::uniform_int_distribution<int>(0, 255)(random);
        check(damaged, "byte " + std::to_string(where) + " set to " + std::to_string((unsigned char)damaged[where]));
    }
    const char* tokens[] = { "{", "}", "[", "]", ":", ",", "\"", "\\", "\"k\":", "\"activate\": 1,", "true", "false",
                             "null", "0", "-1", "-0", "1.5", "1e400", "-1e400", "1e-400", "9223372036854775808",
                             "2147483648", "\"\\u0000\"", "\"\\ud800\"", "\"\\u00e9\"", "\xFF", "\xC3", "\xE4\xB8\xAD",
                             " ", "\n", "\r", "\r\n", "\t", "\x01", "\0" };
    for (const char* token : tokens) {
        const std::string piece = *token ? token : std::string(1, '\0');
        for (int i = 0; i < 60; ++i) {
            const size_t where = at(text.size());
            check(text.substr(0, where) + piece + text.substr(where),
                  json::quote(piece) + " at " + std::to_string(where));
        }
    }
    // Nesting just within and beyond the limit, and far beyond it.
    for (const std::string& nest : { std::string(505, '[') + std::string(505, ']'), std::string(600, '['),
                                     std::string(100000, '['), [] {
                                         std::string s;
                                         for (int i = 0; i < 1000; ++i)
                                             s += "{\"a\":";
                                         return s;
                                     }() }) {
        for (int i = 0; i < 20; ++i) {
            const size_t where = at(text.size());
            check(text.substr(0, where) + nest + text.substr(where), "nesting at " + std::to_string(where));
        }
    }
    std::string cr = text, crlf;
    std::replace(cr.begin(), cr.end(), '\n', '\r');
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    check(cr, "lone CR line ends");
    check(crlf, "CR LF line ends");
    EXPECT_GT(cases, 6500);
}

TEST(HostileDocument, DeepNestingIsKeptWhereTheStoreDoesNotLookAndRefusedDeeper)
{
    // 500 levels under a key of another tool, and as a whole section read
    // on demand: the stack holds them, and they come back as they were.
    const std::string nest = std::string(500, '[') + "1" + std::string(500, ']');
    const std::string text = "{\"services\": {\"http-proxy\": {\"sievex\": {\"future\": " + nest +
                             "}, \"other\": {\"deep\": " + nest + "}}}}";
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText(bytesOf(text), "deep.json", error, Schema())) << (LPCTSTR)error;
    Quolla* other = beach.digQuolla("other", "http-proxy");
    ASSERT_TRUE(other);
    QuoValOf<int> number;
    EXPECT_FALSE(other->getProp("deep", number));
    EXPECT_TRUE(other->setProp("added", QuoValOf<int>(1)));
    beach.tossQuolla(other);
    EXPECT_STREQ(beach.text(), ("{\"services\": {\"http-proxy\": {\"sievex\": {\"future\": " + nest +
                                "}, \"other\": {\"deep\": " + nest + ",\"added\": 1}}}}").c_str());

    const std::string deeper = "{\"services\": {\"http-proxy\": {\"sievex\": {\"future\":\n" +
                               std::string(100000, '[') + "}}}}";
    EXPECT_FALSE(beach.openText(bytesOf(deeper), "deep.json", error, Schema()));
    EXPECT_STREQ("deep.json: line 2: nesting deeper than 512 levels", error);
}

// What the store does not own is kept as text at open; asked for, it is
// read like any other value.
TEST(HostileDocument, ValuesTheStoreDoesNotOwnAreReadWhenAskedFor)
{
    const char text[] = "{\"services\": {\"mail\": {\"smtp\": {\"relays\": [\"a\", \"b\"], \"port\": 25}},\n"
                        " \"http-proxy\": {\"sievex\": {\"names\": [\"x\"], \"level\": 3, \"map\": {\"00\": "
                        "{\"address\": \"10.0.0.5\", \"port\": 1, \"position\": 0}}}}}}";
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText(text, "d.json", error, Schema())) << (LPCTSTR)error;
    Quolla* smtp = beach.digQuolla("smtp", "mail");
    ASSERT_TRUE(smtp);
    CStringList list;
    QuoValOf<CStringList*> relays(&list);
    ASSERT_TRUE(smtp->getProp("relays", relays));
    EXPECT_EQ(listOf(list), (Names{ "a", "b" }));
    QuoValOf<int> port;
    EXPECT_TRUE(smtp->getProp("port", port));
    EXPECT_EQ(25, port.value);
    beach.tossQuolla(smtp);

    Quolla* sievex = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(sievex);
    QuoValOf<CStringList*> names(&list);
    EXPECT_TRUE(sievex->getProp("names", names));
    EXPECT_EQ(listOf(list), (Names{ "x" }));
    QuoValOf<QuoVGServerIpMap> map;
    EXPECT_TRUE(sievex->getProp("map", map));
    EXPECT_EQ(keysOf(map.value), (Names{ "00" }));
    // Set to what it holds, a value keeps its text.
    EXPECT_TRUE(sievex->setProp("names", names));
    EXPECT_TRUE(sievex->setProp("map", map));
    beach.tossQuolla(sievex);
    EXPECT_STREQ(text, beach.text());
}

// The largest document there may be: what the store does not own costs no
// more than its text, however many values it holds. A byte more is too
// large. (Files, folders and devices: the console's tests.)
TEST(HostileDocument, ADocumentAtTheLimitOfValuesOfAnotherToolOpensAndNoLarger)
{
    const std::string head = "{\"services\": {\"http-proxy\": {\"sievex\": {\"activate\": 1, \"zeros\": [";
    const std::string tail = "0]}}}}";
    std::string text;
    text.reserve(Beach::maxDocumentBytes);
    text = head;
    while (text.size() + 2 + tail.size() <= Beach::maxDocumentBytes)
        text += "0,";
    text += std::string(Beach::maxDocumentBytes - tail.size() - text.size(), ' ') + tail;
    ASSERT_EQ((size_t)Beach::maxDocumentBytes, text.size());
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText(bytesOf(text), "zeros.json", error, Schema())) << (LPCTSTR)error;
    Quolla* sievex = beach.digQuolla("sievex", "http-proxy");
    EXPECT_TRUE(sievex->setProp("activate", QuoValOf<int>(0)));
    beach.tossQuolla(sievex);
    text[head.find("1, \"zeros\"")] = '0';
    const CString back = beach.text();
    EXPECT_TRUE(std::string(back, back.GetLength()) == text);

    EXPECT_FALSE(beach.openText(bytesOf(text + " "), "larger.json", error, Schema()));
    EXPECT_STREQ("larger.json: too large: 67108865 bytes, limit 67108864", error);
    EXPECT_STREQ("zeros.json", beach.path());
}

#ifndef _WIN64
// Memory that runs out while reading says so, with the line; the store is
// left as it was. The address space is filled but for a little, so that
// the known list of a modest document cannot be held.
TEST(HostileDocument, MemoryThatRunsOutIsReportedWithTheLine)
{
    std::string list;
    for (int i = 0; i < 2000000; ++i)
        list += "\"\",";
    const std::string text = "{\"services\": {\"http-proxy\": {\"sievex\": {\n\"activate\": 1,\n\"urls_allow\": [" + list +
                             "\"\"]}}}}";
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText("{\"services\": {}}", "small.json", error, Schema()));

    std::vector<void*> taken;
    for (SIZE_T chunk = 64 << 20; chunk >= 1 << 16; chunk /= 2)
        while (void* p = VirtualAlloc(NULL, chunk, MEM_RESERVE, PAGE_NOACCESS))
            taken.push_back(p);
    ASSERT_FALSE(taken.empty());
    // One stretch of 64 MB is left: room for the text, not for its values.
    VirtualFree(taken.front(), 0, MEM_RELEASE);
    taken.erase(taken.begin());
    const bool refused = !beach.openText(bytesOf(text), "many.json", error, Schema());
    for (void* p : taken)
        VirtualFree(p, 0, MEM_RELEASE);
    EXPECT_TRUE(refused);
    EXPECT_STREQ("many.json: out of memory while reading line 3", error);
    EXPECT_STREQ("{\"services\": {}}", beach.text());
    EXPECT_STREQ("small.json", beach.path());
}
#endif

// Not timed here: that is the benchmark's. Order and bytes are.
TEST_F(QuollaTest, AHundredThousandRecordsKeepTheirOrderAndTheirBytes)
{
    const std::string text = servers(100000);
    const CString path = file("many.json");
    writeFile(path, text);
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.open(path, error, Schema())) << (LPCTSTR)error;
    Quolla* sievex = beach.digQuolla("sievex", "http-proxy");
    QuoValOf<QuoVGServerIpMap> map;
    ASSERT_TRUE(sievex->getProp("ip_port", map));
    const Names keys = keysOf(map.value);
    ASSERT_EQ(100000u, keys.size());
    EXPECT_EQ("s100000", keys.front());
    EXPECT_EQ("s050000", keys[50000]);
    EXPECT_EQ("s000001", keys.back());
    QuoVGServerIp* server = nullptr;
    ASSERT_TRUE(map.value.Lookup("s000001", server));
    EXPECT_EQ(99999, server->position);

    EXPECT_TRUE(sievex->setProp("ip_port", map));
    ASSERT_TRUE(beach.save(error)) << (LPCTSTR)error;
    EXPECT_TRUE(readFile(path) == text);

    // One record gone from the middle, one added at the end.
    EXPECT_TRUE(map.value.RemoveKey("s050000"));
    map.value.SetAt("new", new QuoVGServerIp("10.9.9.9", 80, 100000));
    EXPECT_TRUE(sievex->setProp("ip_port", map));
    beach.tossQuolla(sievex);
    ASSERT_TRUE(beach.save(error)) << (LPCTSTR)error;
    std::string expected = text;
    const size_t gone = expected.find(",\n   \"s050000\"");
    expected.erase(gone, expected.find(",\n", gone + 1) - gone);
    expected.insert(expected.rfind("\n}}}}}"),
                    ",\n   \"new\": {\n      \"address\": \"10.9.9.9\",\n      \"port\": 80,\n"
                    "      \"position\": 100000\n   }");
    const std::string actual = readFile(path);
    EXPECT_TRUE(actual == expected) << actual.substr(actual.size() - 300);
}
