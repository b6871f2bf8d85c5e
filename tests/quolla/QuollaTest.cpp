#include "QuollaFixture.h"

#include <cstdio>

namespace {

// Unknown services, sections and keys ride along with the known ones.
const char kDoc[] =
    "{\"services\": {\"mail\": {\"smtp\": {\"port\": 25, \"relays\": [1, {\"x\": null}]}},\n"
    " \"http-proxy\": {\"proxy_http\": {\"remove_cookies\": 1, \"future\": 2.5, \"proxy_server\": \"p\"},\n"
    "  \"sievex\": {\"activate\": 1, \"odd\": [1], \"big\": 4294967296,\n"
    "   \"ip_port\": {\"01\": {\"address\": \"10.0.0.6\", \"port\": 5004, \"position\": 1},\n"
    "               \"00\": {\"address\": \"10.0.0.5\", \"port\": 5003, \"position\": 0}},\n"
    "   \"denymsg\": \"Denied\", \"urls_allow\": [\"b.example\", \"a.example\"],\n"
    "   \"rules\": {\"Zeta\": {\"opMask\": \"01\", \"schedule\": \"s\", \"nonOpMask\": \"10\", \"reserved\": \"\",\n"
    "                        \"members\": [\"carol\", \"alice\"], \"nonOpBlockAll\": false, \"opBlockAll\": true},\n"
    "             \"Alpha\": {\"opMask\": \"\", \"schedule\": \"\", \"nonOpMask\": \"\", \"reserved\": \"r\",\n"
    "                         \"members\": [], \"nonOpBlockAll\": true, \"opBlockAll\": false}}}}}}\n";

}  // namespace

TEST_F(QuollaTest, WritingBackWhatWasReadKeepsEveryOrder)
{
    const CString path = file("doc.json");
    writeFile(path, kDoc);
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.open(path, error, Schema())) << (LPCTSTR)error;
    const CString untouched = beach.text();
    Quolla* q = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(q);
    QuoValOf<int> activate;
    QuoValOf<CString> denymsg;
    CStringList urls;
    QuoValOf<CStringList*> urlsAllow(&urls);
    QuoValOf<QuoVGServerIpMap> servers;
    QuoValOf<QuoSievexMap> rules;
    QuoVal* values[] = { &rules, &urlsAllow, &denymsg, &servers, &activate };
    const char* keys[] = { "rules", "urls_allow", "denymsg", "ip_port", "activate" };
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(q->getProp(keys[i], *values[i])) << keys[i];
        ASSERT_TRUE(q->setProp(keys[i], *values[i])) << keys[i];
    }
    EXPECT_EQ(keysOf(servers.value), (Names{ "01", "00" }));
    EXPECT_EQ(keysOf(rules.value), (Names{ "Zeta", "Alpha" }));
    EXPECT_EQ(listOf(urls), (Names{ "b.example", "a.example" }));
    EXPECT_TRUE(q->submit());
    EXPECT_EQ(readFile(path), (LPCTSTR)untouched);
    EXPECT_EQ(folder(), Names{ "doc.json" });
    EXPECT_TRUE(beach.tossQuolla(q));
    EXPECT_EQ(q, nullptr);
}

TEST_F(QuollaTest, EveryKindRoundTripsThroughTheFile)
{
    const CString path = file("doc.json");
    writeFile(path, kDoc);
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.open(path, error, Schema())) << (LPCTSTR)error;
    Quolla* q = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(q);
    CStringList urls;
    urls.AddTail("x \"quoted\"\n");
    QuoValOf<QuoVGServerIpMap> servers;
    servers.value.SetAt("b", new QuoVGServerIp("10.9.9.9", 65535, 3));
    servers.value.SetAt("a", new QuoVGServerIp("", -1, INT_MIN));
    QuoValOf<QuoSievexMap> rules;
    QuoSievex group;
    group.opMask = "1";
    group.schedule = "2";
    group.nonOpMask = "3";
    group.reserved = "4";
    group.members.Add("dave");
    group.members.Add("");
    group.nonOpBlockAll = true;
    rules.value.SetAt("New", new QuoSievex(group));
    EXPECT_TRUE(q->setProp("activate", QuoValOf<int>(INT_MAX)));
    EXPECT_TRUE(q->setProp("allowbypass", QuoValOf<int>(INT_MIN)));
    EXPECT_TRUE(q->setProp("denymsg", QuoValOf<CString>("")));
    EXPECT_TRUE(q->setProp("urls_deny", QuoValOf<CStringList*>(&urls)));
    EXPECT_TRUE(q->setProp("ip_port", servers));
    EXPECT_TRUE(q->setProp("rules", rules));
    ASSERT_TRUE(q->submit());
    beach.tossQuolla(q);

    ASSERT_TRUE(beach.open(path, error, Schema())) << (LPCTSTR)error;
    q = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(q);
    QuoValOf<int> max, min;
    QuoValOf<CString> empty("stale");
    CStringList back;
    QuoValOf<CStringList*> backList(&back);
    QuoValOf<QuoVGServerIpMap> s2;
    QuoValOf<QuoSievexMap> r2;
    EXPECT_TRUE(q->getProp("activate", max) && q->getProp("allowbypass", min) && q->getProp("denymsg", empty)
                && q->getProp("urls_deny", backList) && q->getProp("ip_port", s2) && q->getProp("rules", r2));
    EXPECT_EQ(max.value, INT_MAX);
    EXPECT_EQ(min.value, INT_MIN);
    EXPECT_EQ(empty.value, "");
    EXPECT_EQ(listOf(back), Names{ "x \"quoted\"\n" });
    ASSERT_EQ(keysOf(s2.value), (Names{ "b", "a" }));
    QuoVGServerIp *b = nullptr, *a = nullptr;
    s2.value.Lookup("b", b);
    s2.value.Lookup("a", a);
    EXPECT_EQ(b->address, "10.9.9.9");
    EXPECT_TRUE(b->port == 65535 && b->position == 3 && a->address == "" && a->port == -1 && a->position == INT_MIN);
    ASSERT_EQ(keysOf(r2.value), Names{ "New" });
    QuoSievex* g = nullptr;
    r2.value.Lookup("New", g);
    EXPECT_EQ(g->opMask + g->schedule + g->nonOpMask + g->reserved, "1234");
    ASSERT_EQ(g->members.GetSize(), 2);
    EXPECT_TRUE(g->members[0] == "dave" && g->members[1] == "" && g->nonOpBlockAll && !g->opBlockAll);
    beach.tossQuolla(q);
}

TEST_F(QuollaTest, SetPropReplacesInPlaceAndAppendsNewKeys)
{
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText("{\"services\":{\"s\":{\"proxy_http\":{\"a\":1,\"log_access\":0,\"z\":[]}}}}",
                               file("d.json"), error, Schema()));
    Quolla* q = beach.digQuolla("proxy_http", "s");
    ASSERT_TRUE(q);
    EXPECT_TRUE(q->setProp("log_access", QuoValOf<int>(7)));
    EXPECT_TRUE(q->setProp("new", QuoValOf<CString>("n")));
    EXPECT_TRUE(q->setProp("a", QuoValOf<CString>("now a string")));
    EXPECT_TRUE(q->delProp("z"));
    EXPECT_FALSE(q->delProp("z"));
    // The document keeps its one-line layout.
    EXPECT_STREQ(beach.text(), "{\"services\":{\"s\":{\"proxy_http\":{\"a\":\"now a string\",\"log_access\":7,"
                               "\"new\":\"n\"}}}}");
    beach.tossQuolla(q);
}

TEST_F(QuollaTest, GetPropLeavesTheHolderAloneUnlessTheShapeFits)
{
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText(kDoc, "d.json", error, Schema())) << (LPCTSTR)error;
    Quolla* q = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(q);
    QuoValOf<int> i(42);
    EXPECT_FALSE(q->getProp("missing", i));
    EXPECT_FALSE(q->getProp("denymsg", i));
    EXPECT_FALSE(q->getProp("big", i));
    EXPECT_EQ(i.value, 42);
    CStringList list;
    list.AddTail("kept");
    QuoValOf<CStringList*> l(&list);
    EXPECT_FALSE(q->getProp("odd", l));
    EXPECT_FALSE(q->getProp("denymsg", l));
    EXPECT_EQ(listOf(list), Names{ "kept" });
    QuoValOf<QuoSievexMap> rules;
    rules.value.SetAt("kept", new QuoSievex);
    EXPECT_FALSE(q->getProp("ip_port", rules));
    EXPECT_EQ(keysOf(rules.value), Names{ "kept" });
    beach.tossQuolla(q);
}

TEST_F(QuollaTest, GetPropEmptiesListsAndMapsBeforeFilling)
{
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText(kDoc, "d.json", error, Schema()));
    Quolla* q = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(q);
    CStringList list;
    QuoValOf<CStringList*> l(&list);
    QuoValOf<QuoVGServerIpMap> servers;
    servers.value.SetAt("stale", new QuoVGServerIp);
    QuoValOf<QuoSievexMap> rules;
    rules.value.SetAt("stale", new QuoSievex);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(q->getProp("urls_allow", l));
        EXPECT_TRUE(q->getProp("ip_port", servers));
        EXPECT_TRUE(q->getProp("rules", rules));
    }
    EXPECT_EQ(listOf(list), (Names{ "b.example", "a.example" }));
    EXPECT_EQ(keysOf(servers.value), (Names{ "01", "00" }));
    EXPECT_EQ(keysOf(rules.value), (Names{ "Zeta", "Alpha" }));
    QuoSievex* zeta;
    ASSERT_TRUE(rules.value.Lookup("Zeta", zeta));
    EXPECT_EQ(zeta->members.GetSize(), 2);
    beach.tossQuolla(q);
}

TEST_F(QuollaTest, HandlesFollowTheDocumentByName)
{
    Beach beach;
    CString error;
    EXPECT_EQ(beach.digQuolla("sievex", "http-proxy"), nullptr);
    ASSERT_TRUE(beach.openText(kDoc, "d.json", error, Schema()));
    EXPECT_EQ(beach.digQuolla("sievex", "nope"), nullptr);
    EXPECT_EQ(beach.digQuolla("nope", "http-proxy"), nullptr);
    EXPECT_EQ(beach.digQuolla("sievex", "mail"), nullptr);
    Quolla* q = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->sectionName(), "sievex");
    EXPECT_EQ(q->serviceName(), "http-proxy");
    ASSERT_TRUE(beach.openText("{\"services\":{\"http-proxy\":{\"sievex\":{\"activate\":9}}}}", "e.json", error, Schema()));
    QuoValOf<int> i;
    EXPECT_TRUE(q->getProp("activate", i));
    EXPECT_EQ(i.value, 9);
    ASSERT_TRUE(beach.openText("{\"services\":{}}", "f.json", error, Schema()));
    EXPECT_FALSE(q->getProp("activate", i));
    EXPECT_FALSE(q->setProp("activate", i));
    beach.tossQuolla(q);
}

TEST_F(QuollaTest, MalformedDocumentsAreRefusedWithFileLineAndKey)
{
    const std::string head = "{\"services\": {\"http-proxy\": {\"sievex\": {\n";
    const std::string tail = "\n}}}}";
    const std::string lead = "d.json: line 2: key ";
    const std::string ofSievex = " in section \"sievex\" of service \"http-proxy\"";
    const struct { std::string text, message; } cases[] = {
        { "{\"services\": {\n  \"x\": {,}\n}}", "d.json: line 2: expected a string key" },
        { "[]", "d.json: line 1: the document must be an object with a \"services\" object" },
        { "{\"services\": {\"a\":\n 1}}", "d.json: line 2: service \"a\" must be an object" },
        { "{\"services\": {\"a\": {\"b\":\n \"\"}}}", "d.json: line 2: section \"b\" of service \"a\" must be an object" },
        { head + "\"activate\": \"1\"" + tail, lead + "\"activate\"" + ofSievex + " must be an integer" },
        { head + "\"activate\": 2147483648" + tail,
          lead + "\"activate\"" + ofSievex + " must be an integer from -2147483648 to 2147483647" },
        { head + "\"activate\": 9223372036854775808" + tail,
          lead + "\"activate\"" + ofSievex + " must be an integer from -2147483648 to 2147483647" },
        { head + "\"activate\": -1e400" + tail, lead + "\"activate\"" + ofSievex +
          " holds a number out of range; it must be an integer from -2147483648 to 2147483647" },
        { head + "\"activate\": 1e-400" + tail, lead + "\"activate\"" + ofSievex + " must be an integer" },
        { "{\"services\": {\"s\": {\"proxy_http\": {\"safe_content\":\n []}}}}",
          "d.json: line 2: key \"safe_content\" in section \"proxy_http\" of service \"s\" must be a string" },
        { head + "\"urls_allow\": [\"a\",\n 7]" + tail, "d.json: line 3: key \"urls_allow\"" + ofSievex + " must be an array of strings" },
        { head + "\"rules\": {\"Everyone\": {\"opMask\": \"\", \"schedule\": \"\", \"nonOpMask\": \"\", \"reserved\": \"\","
                 " \"members\": [], \"nonOpBlockAll\": false, \"opBlockAll\": 1}}" + tail,
          lead + "\"rules\"" + ofSievex + ": group \"Everyone\" field \"opBlockAll\" must be true or false" },
        { head + "\"ip_port\": {\"00\": {\"address\": \"a\", \"position\": 0}}" + tail,
          lead + "\"ip_port\"" + ofSievex + ": server \"00\" has no field \"port\"" },
        // A record over several lines: the field's own line, or the record's
        // where a field is missing.
        { head + "\"rules\": {\n \"G\": {\n  \"opMask\": \"\",\n  \"opBlockAll\": 1,\n  \"nonOpBlockAll\": false\n }\n}" + tail,
          "d.json: line 5: key \"rules\"" + ofSievex + ": group \"G\" field \"opBlockAll\" must be true or false" },
        { head + "\"rules\": {\n \"G\": {\n  \"opBlockAll\": true\n }\n}" + tail,
          "d.json: line 3: key \"rules\"" + ofSievex + ": group \"G\" has no field \"nonOpBlockAll\"" },
        { head + "\"rules\": {\"G\": {\n\"nonOpBlockAll\": true, \"opBlockAll\": false,\n\"members\": [\"a\",\n 1]}}" + tail,
          "d.json: line 5: key \"rules\"" + ofSievex + ": group \"G\" field \"members\" must be an array of strings" },
    };
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText(kDoc, "good.json", error, Schema()));
    const CString before = beach.text();
    for (const auto& c : cases) {
        error.Empty();
        EXPECT_FALSE(beach.openText(c.text.c_str(), "d.json", error, Schema())) << c.text;
        EXPECT_EQ((LPCTSTR)error, c.message);
    }
    EXPECT_EQ(beach.text(), before);
    EXPECT_EQ(beach.path(), "good.json");

    const CString missing = file("missing.json");
    EXPECT_FALSE(beach.open(missing, error, Schema()));
    EXPECT_EQ(error.Find(missing + ": cannot read the file: "), 0) << (LPCTSTR)error;
    EXPECT_GT(error.GetLength(), missing.GetLength() + 24);
}

TEST_F(QuollaTest, FailedSaveLeavesTheOldFileAsItWas)
{
    CString error;
    Beach never;
    EXPECT_FALSE(never.save(error));
    EXPECT_FALSE(error.IsEmpty());

    Beach beach;
    const CString noFolder = file("no-such-folder\\d.json");
    ASSERT_TRUE(beach.openText(kDoc, noFolder, error, Schema()));
    EXPECT_FALSE(beach.save(error));
    EXPECT_EQ(error.Find(noFolder + ": cannot save the file: "), 0) << (LPCTSTR)error;

    const CString directory = file("dir.json");
    ASSERT_TRUE(CreateDirectoryA(directory, NULL));
    ASSERT_TRUE(beach.openText(kDoc, directory, error, Schema()));
    EXPECT_FALSE(beach.save(error));
    EXPECT_EQ(error.Find(directory + ": cannot save the file: "), 0) << (LPCTSTR)error;
    EXPECT_EQ(folder(), Names{ "dir.json" });

    const CString path = file("doc.json");
    writeFile(path, kDoc);
    ASSERT_TRUE(beach.open(path, error, Schema()));
    Quolla* q = beach.digQuolla("sievex", "http-proxy");
    ASSERT_TRUE(q->setProp("activate", QuoValOf<int>(0)));
    // Another program holds the file open without sharing it.
    HANDLE held = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(q->submit());
    EXPECT_FALSE(beach.save(error));
    EXPECT_EQ(error.Find(path + ": cannot save the file: "), 0) << (LPCTSTR)error;
    CloseHandle(held);
    EXPECT_EQ(readFile(path), kDoc);
    EXPECT_EQ(folder(), (Names{ "dir.json", "doc.json" }));
    beach.tossQuolla(q);
}

TEST_F(QuollaTest, TextIsUtf8InTheFileAndTheCodePageInMemory)
{
    char cafe[16] = {}, creme[16] = {};
    BOOL lossy = FALSE, lossy2 = FALSE;
    WideCharToMultiByte(CP_ACP, 0, L"Caf\u00e9", -1, cafe, sizeof cafe, NULL, &lossy);
    WideCharToMultiByte(CP_ACP, 0, L"Cr\u00e8me", -1, creme, sizeof creme, NULL, &lossy2);
    if (lossy || lossy2)
        GTEST_SKIP() << "the code page has no accented letters";
    const CString path = file("doc.json");
    writeFile(path, "{\"services\":{\"s\":{\"sievex\":{\"denymsg\":\"Caf\xC3\xA9\"}}}}");
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.open(path, error, Schema()));
    Quolla* q = beach.digQuolla("sievex", "s");
    QuoValOf<CString> text;
    EXPECT_TRUE(q->getProp("denymsg", text));
    EXPECT_EQ(text.value, cafe);
    EXPECT_TRUE(q->setProp(creme, QuoValOf<CString>(creme)));
    EXPECT_TRUE(q->submit());
    EXPECT_NE(readFile(path).find("\"Cr\xC3\xA8me\":\"Cr\xC3\xA8me\""), std::string::npos) << readFile(path);
    beach.tossQuolla(q);
}

TEST(QuoPtrMap, KeepsInsertionOrderThroughReplaceAndRemove)
{
    QuoVGServerIpMap map;
    Names expected;
    for (int i = 0; i < 20; ++i) {
        char key[8];
        sprintf(key, "k%02d", 19 - i);
        map.SetAt(key, new QuoVGServerIp("", i, i));
        expected.push_back(key);
    }
    map.SetAt("k10", new QuoVGServerIp("again", 0, 0));
    EXPECT_TRUE(map.RemoveKey("k19"));
    EXPECT_FALSE(map.RemoveKey("k19"));
    expected.erase(expected.begin());
    EXPECT_EQ(keysOf(map), expected);
    QuoVGServerIp* v;
    ASSERT_TRUE(map.Lookup("k10", v));
    EXPECT_EQ(v->address, "again");
    ASSERT_TRUE(map.Lookup("k00", v));
    EXPECT_EQ(v->port, 19);
    EXPECT_FALSE(map.Lookup("K00", v));
}

TEST_F(QuollaTest, KnownTextHoldsOneServicesKnownValuesAsTheyStandAndNothingElse)
{
    Beach beach;
    CString error;
    ASSERT_TRUE(beach.openText("{\"services\":{\"a\":{\"proxy_http\":{\"log_access\":1,\"other\":[1,2]},"
                               "\"proxy_ftp\":{\"x\":1},\"sievex\":{\"urls_deny\":[\"h\"]}},"
                               "\"b\":{\"proxy_http\":{\"log_access\":0}}},\"tools\":{\"big\":\"text\"}}",
                               "d.json", error, Schema()))
        << (LPCTSTR)error;
    Quolla* q = beach.digQuolla("proxy_http", "a");
    ASSERT_TRUE(q);
    q->setProp("idle_timeout", QuoValOf<int>(300));
    beach.tossQuolla(q);

    Beach known;
    ASSERT_TRUE(known.openText(beach.knownText("a"), "known.json", error, Schema())) << (LPCTSTR)error;
    CStringArray names;
    known.getServiceNames(names);
    ASSERT_EQ(1, names.GetSize());
    EXPECT_STREQ("a", names[0]);
    EXPECT_EQ(std::string::npos, std::string(known.knownText("a")).find("other"));
    EXPECT_EQ(NULL, known.digQuolla("proxy_ftp", "a"));
    q = known.digQuolla("proxy_http", "a");
    ASSERT_TRUE(q);
    QuoValOf<int> logAccess, idle;
    EXPECT_TRUE(q->getProp("log_access", logAccess));
    EXPECT_EQ(1, logAccess.value);
    EXPECT_TRUE(q->getProp("idle_timeout", idle));
    EXPECT_EQ(300, idle.value);
    known.tossQuolla(q);
}
