// What the document keeps that the store does not own, what a record may
// leave out, and which texts are refused because the editor could not hold
// them as they stand.
#include "QuollaFixture.h"

namespace {

// Unknown values of every kind and place, numbers in forms a double would
// not give back, and records with fields the store does not know.
const char kUnknowns[] =
    "{\n"
    "  \"version\": 123456789012345678901234567890,\n"
    "  \"services\": {\n"
    "    \"mail\": {\"smtp\": {\"limit\": 9223372036854775808, \"ratio\": 1.10, \"scale\": 1E2, \"zero\": -0}},\n"
    "    \"http-proxy\": {\n"
    "      \"proxy_http\": {\"idle_timeout\": 600, \"future\": [1.10, {\"x\": \"\\u00e9\\/\"}]},\n"
    "      \"sievex\": {\n"
    "        \"activate\": 1,\n"
    "        \"odd\": -0,\n"
    "        \"ip_port\": {\n"
    "          \"00\": {\"address\": \"10.0.0.5\", \"port\": 5003, \"position\": 0, \"weight\": 1.50},\n"
    "          \"01\": {\"address\": \"10.0.0.6\", \"port\": 5003, \"position\": 1, \"note\": \"goes with it\"}\n"
    "        },\n"
    "        \"rules\": {\n"
    "          \"G\": {\"opMask\": \"1\", \"schedule\": \"s\", \"nonOpMask\": \"0\", \"reserved\": \"\", "
    "\"members\": [\"ann\"], \"nonOpBlockAll\": false, \"opBlockAll\": true, \"since\": 1E2}\n"
    "        }\n"
    "      }\n"
    "    }\n"
    "  },\n"
    "  \"trailer\": [1e400, -0.0e0]\n"
    "}";

bool codePageHolds(const wchar_t* text)
{
    char out[16];
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, out, sizeof out, NULL, &lossy);
    return GetACP() == CP_UTF8 || !lossy;
}

}  // namespace

TEST_F(QuollaTest, EditsChangeOnlyTheirOwnTextAndRecordsKeepUnknownFields)
{
    const CString path = file("doc.json");
    writeFile(path, kUnknowns);
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.open(path, error, Schema())) << (LPCTSTR)error;
    EXPECT_STREQ(beach.text(), kUnknowns);
    Quolla* q = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(q);

    QuoValOf<QuoVGServerIpMap> servers;
    ASSERT_TRUE(q->getProp("ip_port", servers));
    QuoVGServerIp* first = nullptr;
    ASSERT_TRUE(servers.value.Lookup("00", first));
    first->port = 8080;
    servers.value.RemoveKey("01");
    servers.value.SetAt("02", new QuoVGServerIp("10.0.0.7", 5005, 1));
    QuoValOf<QuoSievexMap> rules;
    ASSERT_TRUE(q->getProp("rules", rules));
    QuoSievex* g = nullptr;
    ASSERT_TRUE(rules.value.Lookup("G", g));
    g->members.Add("bob");
    QuoSievex* h = new QuoSievex;
    h->opBlockAll = true;
    rules.value.SetAt("H", h);

    EXPECT_TRUE(q->setProp("activate", QuoValOf<int>(0)));
    EXPECT_TRUE(q->setProp("ip_port", servers));
    EXPECT_TRUE(q->setProp("rules", rules));
    EXPECT_TRUE(q->submit());
    beach.tossQuolla(q);

    // The edited values change; the records keep their unknown fields; the
    // new ones are laid out like their neighbours; nothing else moves.
    std::string expected = kUnknowns;
    const auto change = [&expected](const std::string& from, const std::string& to) {
        const size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    change("\"activate\": 1", "\"activate\": 0");
    change("\"port\": 5003, \"position\": 0", "\"port\": 8080, \"position\": 0");
    change("          \"01\": {\"address\": \"10.0.0.6\", \"port\": 5003, \"position\": 1, \"note\": \"goes with it\"}\n",
           "          \"02\": {\n"
           "            \"address\": \"10.0.0.7\",\n"
           "            \"port\": 5005,\n"
           "            \"position\": 1\n"
           "          }\n");
    change("\"members\": [\"ann\"]", "\"members\": [\"ann\", \"bob\"]");
    change("\"since\": 1E2}\n", "\"since\": 1E2},\n"
                                "          \"H\": {\n"
                                "            \"opMask\": \"\",\n"
                                "            \"schedule\": \"\",\n"
                                "            \"nonOpMask\": \"\",\n"
                                "            \"reserved\": \"\",\n"
                                "            \"members\": [],\n"
                                "            \"nonOpBlockAll\": false,\n"
                                "            \"opBlockAll\": true\n"
                                "          }\n");
    EXPECT_EQ(readFile(path), expected);
}

TEST_F(QuollaTest, GroupsMayLeaveOutTheirTextsAndMembers)
{
    Beach beach;
    CString error;
    const char doc[] = "{\"services\": {\"s\": {\"sievex\": {\"rules\": {\"G\": "
                       "{\"nonOpBlockAll\": true, \"opBlockAll\": false, \"extra\": 1}}}}}}";
    ASSERT_TRUE(beach.openText(doc, "d.json", error, Schema())) << (LPCTSTR)error;
    Quolla* q = beach.digQuolla("sievex", "s");
    QuoValOf<QuoSievexMap> rules;
    ASSERT_TRUE(q->getProp("rules", rules));
    QuoSievex* g = nullptr;
    ASSERT_TRUE(rules.value.Lookup("G", g));
    EXPECT_EQ(g->opMask + g->schedule + g->nonOpMask + g->reserved, "");
    EXPECT_EQ(g->members.GetSize(), 0);
    EXPECT_TRUE(g->nonOpBlockAll);
    // Written back, the group has every field, the unknown one first as it stood.
    ASSERT_TRUE(q->setProp("rules", rules));
    EXPECT_STREQ(beach.text(), "{\"services\": {\"s\": {\"sievex\": {\"rules\": {\"G\": {\"nonOpBlockAll\": true, "
                               "\"opBlockAll\": false, \"extra\": 1, \"opMask\": \"\", \"schedule\": \"\", "
                               "\"nonOpMask\": \"\", \"reserved\": \"\", \"members\": []}}}}}}");
    beach.tossQuolla(q);
}

TEST_F(QuollaTest, KnownTextsTheEditorCannotHoldAreRefusedNamingTheKey)
{
    const std::string head = "{\"services\": {\"http-proxy\": {\"sievex\": {\n";
    const std::string tail = "\n}}}}";
    const std::string ofSievex = " in section \"sievex\" of service \"http-proxy\"";
    const std::string server = "{\"address\": \"a\", \"port\": 1, \"position\": 0}";
    const std::string group = "{\"nonOpBlockAll\": true, \"opBlockAll\": false}";
    struct Case { std::string text, message; };
    std::vector<Case> cases = {
        { head + "\"denymsg\": \"a\\u0000b\"" + tail,
          "d.json: line 2: key \"denymsg\"" + ofSievex + " must not contain U+0000" },
        // Two keys a CString would cut to the same "0".
        { head + "\"ip_port\": {\n\"0\\u00001\": " + server + ",\n\"0\\u00002\": " + server + "}" + tail,
          "d.json: line 3: key \"ip_port\"" + ofSievex + ": the key of server \"0\\u00001\" must not contain U+0000" },
        { head + "\"ip_port\": {\"00\": {\n\"address\": \"10.1\\u0000.2.3\", \"port\": 1, \"position\": 0}}" + tail,
          "d.json: line 3: key \"ip_port\"" + ofSievex + ": server \"00\" field \"address\" must not contain U+0000" },
        { head + "\"urls_deny\": [\"a\",\n \"\\u0000\"]" + tail,
          "d.json: line 3: key \"urls_deny\"" + ofSievex + " must not contain U+0000" },
    };
    const std::string codePage = " holds text that the code page (" + std::to_string(GetACP()) + ") cannot hold";
    if (!codePageHolds(L"\u4e2d\u6587")) {
        const std::string zhong = "\xE4\xB8\xAD", wen = "\xE6\x96\x87";
        cases.push_back({ head + "\"rules\": {\n\"" + zhong + "\": " + group + ",\n\"" + wen + "\": " + group + "}" + tail,
                          "d.json: line 3: key \"rules\"" + ofSievex + ": the name of group \"\\u4e2d\"" + codePage });
        cases.push_back({ head + "\"urls_allow\": [\"a.example\",\n \"" + zhong + ".example\"]" + tail,
                          "d.json: line 3: key \"urls_allow\"" + ofSievex + codePage });
        cases.push_back({ head + "\"rules\": {\"G\": {\n\"nonOpBlockAll\": true, \"opBlockAll\": false,\n"
                                 "\"members\": [\n\"ann\",\n\"" + wen + "\"]}}" + tail,
                          "d.json: line 6: key \"rules\"" + ofSievex + ": group \"G\" field \"members\"" + codePage });
        cases.push_back({ "{\"services\": {\"s\": {\"proxy_http\": {\n\"proxy_server\": \"" + zhong + "\"}}}}",
                          "d.json: line 2: key \"proxy_server\" in section \"proxy_http\" of service \"s\"" + codePage });
    }
    Beach beach;
    CString error;
    for (const Case& c : cases) {
        error.Empty();
        EXPECT_FALSE(beach.openText(c.text.c_str(), "d.json", error, Schema())) << c.text;
        EXPECT_EQ((LPCTSTR)error, c.message);
    }

    // What the store does not own may hold anything; reading it as a text
    // fails rather than hand out something else.
    const std::string unknowns = "{\"services\": {\"\xE4\xB8\xAD\": {\"x\": {\"y\": \"\\u0000\"}},"
                                 " \"s\": {\"sievex\": {\"note\": \"\xE4\xB8\xAD\\u0000\", \"list\": [\"\\u0000\"]}}}}";
    ASSERT_TRUE(beach.openText(unknowns.c_str(), "d.json", error, Schema())) << (LPCTSTR)error;
    Quolla* q = beach.digQuolla("sievex", "s");
    QuoValOf<CString> note("kept");
    EXPECT_FALSE(q->getProp("note", note));
    EXPECT_EQ(note.value, "kept");
    CStringList list;
    list.AddTail("kept");
    QuoValOf<CStringList*> listValue(&list);
    EXPECT_FALSE(q->getProp("list", listValue));
    EXPECT_EQ(listOf(list), Names{ "kept" });
    beach.tossQuolla(q);
    EXPECT_STREQ(beach.text(), unknowns.c_str());
}
