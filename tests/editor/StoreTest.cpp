// Loading and saving the "sievex" section through the real store.
#include "EditorFixture.h"

namespace {

struct Store : ::testing::Test
{
    TempFolder folder;
    Beach beach;
    std::string file = folder.path("doc.json");

    void Open(const std::string& text)
    {
        folder.write("doc.json", text);
        CString error;
        ASSERT_TRUE(beach.open(file.c_str(), error)) << (LPCTSTR)error;
    }
    // The stored value of one key, as the store reads it.
    template <class T>
    bool Stored(const char* key, QuoValOf<T>& value) { return StoredValue(beach, key, value); }
};

std::string Schedule(std::initializer_list<int> hours)
{
    std::string s(168, '0');
    for (int h : hours)
        s[h] = '1';
    return s;
}

} // namespace

TEST_F(Store, MissingSectionLeavesTheDefaults)
{
    Open(ServiceDocument("", false));
    TestVeilgate editor(nullptr, &beach);
    EXPECT_EQ(0, editor.LoadVeilgate("http-proxy"));
    EXPECT_EQ(0, editor.m_activate);
    EXPECT_EQ(0, editor.m_bypassAllowed);
    EXPECT_STREQ("", editor.m_denyMessage);
    EXPECT_EQ(0, editor.m_groups.GetCount());
    EXPECT_EQ(0, editor.m_servers.value.GetCount());
    ASSERT_NE(nullptr, g_currentGroup);
    EXPECT_STREQ(CString('0', 40), g_currentGroup->m_opMask);
    EXPECT_STREQ(CString('0', 40), g_currentGroup->m_nonOpMask);
    EXPECT_EQ(Schedule({}).size(), (size_t)g_currentGroup->m_schedule.GetLength());
    EXPECT_STREQ(VeilgateGroup::DefaultSchedule(), g_currentGroup->m_schedule);
}

TEST_F(Store, DefaultScheduleIsMondayToFridaySevenToSeven)
{
    CString s = VeilgateGroup::DefaultSchedule();
    ASSERT_EQ(168, s.GetLength());
    for (int pos = 0; pos < 168; ++pos) {
        int day = pos / 24, hour = pos % 24;
        bool operational = day >= 1 && day <= 5 && hour >= 7 && hour < 19;
        EXPECT_EQ(operational ? '1' : '0', s[pos]) << "position " << pos;
    }
}

TEST_F(Store, LoadsEveryKeyAndNormalisesSwitches)
{
    Open(ServiceDocument(
        "\"ip_port\": { \"00\": { \"address\": \"10.0.0.5\", \"port\": 5003, \"position\": 0 } },"
        "\"activate\": 7, \"allowbypass\": -1,"
        "\"denymsg\": \"%<b>No</b>\\nCall us\","
        "\"urls_allow\": [ \"10.1.2.3:8080 \", \" spaced \" ], \"urls_deny\": [ \"10.0.0.0/8\" ],"
        "\"rules\": { \"Staff\": { \"opMask\": \"1\", \"schedule\": \"\", \"nonOpMask\": \"\","
        "  \"reserved\": \"junk\", \"members\": [ \"bob\", \"alice\" ], \"nonOpBlockAll\": true,"
        "  \"opBlockAll\": false } }"));
    TestVeilgate editor(nullptr, &beach);
    EXPECT_EQ(1, editor.LoadVeilgate("http-proxy"));
    EXPECT_EQ(1, editor.m_activate);
    EXPECT_EQ(1, editor.m_bypassAllowed);
    EXPECT_STREQ("<b>No</b>\r\nCall us", editor.m_denyMessage);
    EXPECT_STREQ(" spaced ", editor.m_urlsAllow.GetTail());
    EXPECT_STREQ("10.1.2.3:8080 ", editor.m_urlsAllow.GetHead());
    ASSERT_EQ(1, editor.m_groups.GetCount());
    VeilgateGroup* staff = editor.Group(0);
    EXPECT_EQ(staff, g_currentGroup);
    EXPECT_STREQ("Staff", staff->m_name);
    EXPECT_STREQ("1", staff->m_opMask);   // masks are taken as stored
    EXPECT_STREQ("", staff->m_nonOpMask);
    EXPECT_STREQ(VeilgateGroup::DefaultSchedule(), staff->m_schedule);  // empty schedule
    EXPECT_EQ(1, staff->m_nonOpBlockAll);
    EXPECT_STREQ("bob", staff->m_members.GetHead());
    QuoVGServerIp* server = nullptr;
    ASSERT_TRUE(editor.m_servers.value.Lookup("00", server));
    EXPECT_STREQ("10.0.0.5", server->address);
    EXPECT_EQ(5003, server->port);
}

TEST_F(Store, KeysMissingFromTheSectionReadAsTheirDefaultsAfterAnotherLoad)
{
    Open(ServiceDocument("\"activate\": 1, \"allowbypass\": 1, \"denymsg\": \"x\""));
    TestVeilgate editor(nullptr, &beach);
    ASSERT_EQ(1, editor.LoadVeilgate("http-proxy"));
    ASSERT_EQ(1, editor.m_bypassAllowed);
    CString error;
    ASSERT_TRUE(beach.openText(ServiceDocument("\"urls_allow\": []").c_str(), "other.json", error));
    EXPECT_EQ(1, editor.LoadVeilgate("http-proxy"));
    EXPECT_EQ(0, editor.m_activate);
    EXPECT_EQ(0, editor.m_bypassAllowed);
    EXPECT_STREQ("", editor.m_denyMessage);
}

TEST_F(Store, AGroupLeavingOutItsTextsAndMembersLoadsWithEmptyMasksAndTheDefaultSchedule)
{
    Open(ServiceDocument("\"rules\": { \"Lean\": { \"nonOpBlockAll\": false, \"opBlockAll\": true } }"));
    TestVeilgate editor(nullptr, &beach);
    EXPECT_EQ(1, editor.LoadVeilgate("http-proxy"));
    ASSERT_EQ(1, editor.m_groups.GetCount());
    VeilgateGroup* lean = editor.Group(0);
    EXPECT_STREQ("Lean", lean->m_name);
    EXPECT_STREQ("", lean->m_opMask);
    EXPECT_STREQ("", lean->m_nonOpMask);
    EXPECT_STREQ(VeilgateGroup::DefaultSchedule(), lean->m_schedule);
    EXPECT_EQ(0, lean->m_members.GetCount());
    EXPECT_EQ(1, lean->m_opBlockAll);
}

TEST_F(Store, SaveWritesEveryKeyWithTheScheduleReversed)
{
    Open(ServiceDocument("\"activate\": 7, \"rules\": { \"G\": { \"opMask\": \"\", \"schedule\": \"\","
                         "\"nonOpMask\": \"\", \"reserved\": \"x\", \"members\": [], \"nonOpBlockAll\": false,"
                         "\"opBlockAll\": false } }"));
    TestVeilgate editor(nullptr, &beach);
    editor.LoadVeilgate("http-proxy");
    g_currentGroup->m_schedule = Schedule({ 0 }).c_str();  // Sunday 00:00 only
    g_currentGroup->m_opBlockAll = 1;
    editor.m_denyMessage = "<i>x</i>\r\nsecond";
    EXPECT_EQ(1, editor.SaveVeilgate("http-proxy"));

    QuoValOf<int> activate;
    ASSERT_TRUE(Stored("activate", activate));
    EXPECT_EQ(1, activate.value);
    QuoValOf<CString> deny;
    ASSERT_TRUE(Stored("denymsg", deny));
    EXPECT_STREQ("%<i>x</i>\nsecond", deny.value);
    QuoValOf<QuoSievexMap> rules;
    ASSERT_TRUE(Stored("rules", rules));
    QuoSievex* g = nullptr;
    ASSERT_TRUE(rules.value.Lookup("G", g));
    EXPECT_EQ(std::string(167, '0') + "1", (LPCTSTR)g->schedule);
    EXPECT_STREQ("", g->reserved);
    EXPECT_TRUE(g->opBlockAll);

    // submit() made it durable, so the console has nothing left to save,
    // and a fresh document reads the same.
    EXPECT_FALSE(beach.isModified());
    Beach again;
    CString error;
    ASSERT_TRUE(again.open(file.c_str(), error));
    TestVeilgate reread(nullptr, &again);
    reread.LoadVeilgate("http-proxy");
    EXPECT_STREQ(Schedule({ 0 }).c_str(), reread.Group(0)->m_schedule);
}

TEST_F(Store, EmptyStoredScheduleIsWrittenBackAsTheReversedDefault)
{
    Open(ServiceDocument("\"rules\": { \"G\": { \"opMask\": \"\", \"schedule\": \"\", \"nonOpMask\": \"\","
                         "\"reserved\": \"\", \"members\": [], \"nonOpBlockAll\": false, \"opBlockAll\": false } }"));
    TestVeilgate editor(nullptr, &beach);
    editor.LoadVeilgate("http-proxy");
    editor.SaveVeilgate("http-proxy");
    QuoValOf<QuoSievexMap> rules;
    ASSERT_TRUE(Stored("rules", rules));
    QuoSievex* g = nullptr;
    ASSERT_TRUE(rules.value.Lookup("G", g));
    CString expected = VeilgateGroup::DefaultSchedule();
    expected.MakeReverse();
    EXPECT_STREQ(expected, g->schedule);
}

TEST_F(Store, GroupsWithOneNameAreWrittenOnceTheLaterWins)
{
    Open(ServiceDocument("\"activate\": 0"));
    TestVeilgate editor(nullptr, &beach);
    editor.LoadVeilgate("http-proxy");
    for (const char* mask : { "first", "second" }) {
        VeilgateGroup* g = new VeilgateGroup;
        g->m_name = "Twin";
        g->m_opMask = mask;
        editor.m_groups.AddTail(g);
    }
    editor.SaveVeilgate("http-proxy");
    QuoValOf<QuoSievexMap> rules;
    ASSERT_TRUE(Stored("rules", rules));
    EXPECT_EQ(1, rules.value.GetCount());
    QuoSievex* g = nullptr;
    ASSERT_TRUE(rules.value.Lookup("Twin", g));
    EXPECT_STREQ("second", g->opMask);
}

TEST_F(Store, SavingWithoutGroupsWritesAnEmptyRulesMap)
{
    Open(ServiceDocument("\"activate\": 1"));
    TestVeilgate editor(nullptr, &beach);
    editor.LoadVeilgate("http-proxy");
    editor.SaveVeilgate("http-proxy");
    QuoValOf<QuoSievexMap> rules;
    ASSERT_TRUE(Stored("rules", rules));
    EXPECT_EQ(0, rules.value.GetCount());
}

TEST_F(Store, ExceptionEntriesAndServerOrderPassThroughUnchanged)
{
    Open(ServiceDocument(
        "\"ip_port\": { \"01\": { \"address\": \"b\", \"port\": 2, \"position\": 1 },"
        "               \"00\": { \"address\": \"a\", \"port\": 1, \"position\": 0 } },"
        "\"urls_allow\": [ \"z \", \"  a\", \"10.1.2.3 /images/*\" ], \"urls_deny\": []"));
    TestVeilgate editor(nullptr, &beach);
    editor.LoadVeilgate("http-proxy");
    editor.SaveVeilgate("http-proxy");
    QuoValOf<CStringList*> allow(new CStringList);
    ASSERT_TRUE(Stored("urls_allow", allow));
    ASSERT_EQ(3, allow.value->GetCount());
    EXPECT_STREQ("z ", allow.value->GetHead());
    EXPECT_STREQ("  a", allow.value->GetAt(allow.value->FindIndex(1)));
    delete allow.value;
    QuoValOf<QuoVGServerIpMap> servers;
    ASSERT_TRUE(Stored("ip_port", servers));
    POSITION pos = servers.value.GetStartPosition();
    CString key;
    QuoVGServerIp* s;
    servers.value.GetNextAssoc(pos, key, s);
    EXPECT_STREQ("01", key);  // the store's order, which is the file's
}

TEST_F(Store, SaveWithoutSectionWritesNothing)
{
    // The message box of this path is covered by the sheet tests.
    Open(ServiceDocument("", false));
    std::string before = folder.read("doc.json");
    TestVeilgate editor(nullptr, &beach);
    editor.LoadVeilgate("http-proxy");
    EXPECT_EQ(before, folder.read("doc.json"));
}

TEST_F(Store, CopyServerInfoMapReplacesTheDestination)
{
    TestVeilgate editor(nullptr, nullptr);
    QuoValOf<QuoVGServerIpMap> source, destination;
    source.value.SetAt("00", new QuoVGServerIp("10.0.0.1", 80, 0));
    source.value.SetAt("01", nullptr);
    destination.value.SetAt("07", new QuoVGServerIp("old", 1, 7));
    editor.CopyServerInfoMap(&source, &destination);
    EXPECT_EQ(1, destination.value.GetCount());
    QuoVGServerIp* copy = nullptr;
    ASSERT_TRUE(destination.value.Lookup("00", copy));
    QuoVGServerIp* original = nullptr;
    source.value.Lookup("00", original);
    EXPECT_NE(original, copy);
    EXPECT_STREQ("10.0.0.1", copy->address);
    EXPECT_EQ(80, copy->port);
}

TEST_F(Store, DestroyingTheEditorNeverLeavesTheWorkingGroupDangling)
{
    {
        TestVeilgate editor(nullptr, nullptr);
        EXPECT_NE(nullptr, g_currentGroup);
    }
    EXPECT_EQ(nullptr, g_currentGroup);
}
