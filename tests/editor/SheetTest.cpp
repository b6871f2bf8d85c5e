// EditVeilgate end to end: the sheet, OK, Cancel and the two write-backs.
#include "EditorFixture.h"
#include "ModalDriver.h"

namespace {

// An active filter needs a server, or the controls page refuses OK.
#define ONE_SERVER "\"ip_port\": { \"00\": { \"address\": \"10.0.0.5\", \"port\": 5003, \"position\": 0 } },"

const char kTwoGroups[] =
    ONE_SERVER "\"activate\": 1, \"allowbypass\": 0, \"denymsg\": \"Blocked\","
    "\"urls_allow\": [ \"10.1.2.3\" ], \"urls_deny\": [],"
    "\"rules\": {"
    " \"First\": { \"opMask\": \"0000000000000000000000000000000000000001\", \"schedule\": \"\","
    "   \"nonOpMask\": \"\", \"reserved\": \"\", \"members\": [ \"ann\" ], \"nonOpBlockAll\": false,"
    "   \"opBlockAll\": true },"
    " \"Second\": { \"opMask\": \"\", \"schedule\": \"\", \"nonOpMask\": \"\", \"reserved\": \"\","
    "   \"members\": [], \"nonOpBlockAll\": false, \"opBlockAll\": false } }";

struct Sheet : ::testing::Test
{
    TempFolder folder;
    Beach beach;
    std::string file = folder.path("doc.json");
    ProbePage probe;
    ExtraPages pages{ &probe };
    ModalDriver driver;
    std::string before;

    void Open(const std::string& text)
    {
        folder.write("doc.json", text);
        before = text;
        CString error;
        ASSERT_TRUE(beach.open(file.c_str(), error)) << (LPCTSTR)error;
    }
    int Edit(TestVeilgate& editor, int saveAll)
    {
        driver.start();
        int result = editor.EditVeilgate(folder.path("").c_str(), "http-proxy", saveAll);
        driver.stop();
        EXPECT_EQ("", driver.failure());
        return result;
    }
    // Shows the probe page (the last one) first, so that it takes part in OK.
    void Press(int button)
    {
        driver.onWindow("HTTP Proxy", [button](HWND h) {
            HWND tab = (HWND)SendMessageA(h, PSM_GETTABCONTROL, 0, 0);
            PostMessageA(h, PSM_SETCURSEL, SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0) - 1, 0);
            PostMessageA(h, PSM_PRESSBUTTON, button, 0);
        });
    }
    template <class T>
    bool Stored(const char* key, QuoValOf<T>& value) { return StoredValue(beach, key, value); }
};

} // namespace

TEST_F(Sheet, CancelWritesNothingAndReturnsZero)
{
    Open(ServiceDocument(kTwoGroups));
    TestVeilgate editor(nullptr, &beach);
    probe.onApply = [&editor]() { editor.m_activate = 0; };
    Press(PSBTN_CANCEL);
    EXPECT_EQ(0, Edit(editor, 1));
    EXPECT_EQ(before, folder.read("doc.json"));
    QuoValOf<int> activate;
    ASSERT_TRUE(Stored("activate", activate));
    EXPECT_EQ(1, activate.value);
}

TEST_F(Sheet, CancelAfterARefusedOkLeavesTheDocumentAsItWas)
{
    Open(ServiceDocument(kTwoGroups));
    const CString text = beach.text();
    TestVeilgate editor(nullptr, &beach);
    // The proxy pages, before the probe, have written their section by then.
    bool written = false;
    probe.onApply = [&]() { written = beach.text() != text; };
    probe.refusals = 1;
    Press(PSBTN_OK);
    driver.onWindow("HTTP Proxy", [](HWND h) { PostMessageA(h, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); });
    EXPECT_EQ(0, Edit(editor, 1));
    EXPECT_EQ(0, probe.refusals);
    EXPECT_TRUE(written);
    EXPECT_STREQ(text, beach.text());
    EXPECT_FALSE(beach.isModified());
}

TEST_F(Sheet, OkWithFullSaveWritesAndCommitsTheSection)
{
    Open(ServiceDocument(kTwoGroups));
    TestVeilgate editor(nullptr, &beach);
    probe.onApply = [&editor]() {
        editor.m_activate = 0;
        editor.m_urlsDeny.AddTail("192.168.0.0/16");
    };
    Press(PSBTN_OK);
    EXPECT_EQ(1, Edit(editor, 1));
    std::string after = folder.read("doc.json");
    EXPECT_NE(before, after);
    EXPECT_NE(std::string::npos, after.find("\"activate\": 0"));
    EXPECT_NE(std::string::npos, after.find("192.168.0.0/16"));
}

TEST_F(Sheet, TheGroupReadLastIsEditedAndTheOtherKeptAsItWas)
{
    Open(ServiceDocument(kTwoGroups));
    TestVeilgate editor(nullptr, &beach);
    CString editedName;
    probe.onApply = [&editedName]() {
        editedName = g_currentGroup->m_name;
        g_currentGroup->m_members.AddTail("zed");
    };
    Press(PSBTN_OK);
    EXPECT_EQ(1, Edit(editor, 1));
    EXPECT_STREQ("Second", editedName);
    QuoValOf<QuoSievexMap> rules;
    ASSERT_TRUE(Stored("rules", rules));
    QuoSievex *first = nullptr, *second = nullptr;
    ASSERT_TRUE(rules.value.Lookup("First", first));
    ASSERT_TRUE(rules.value.Lookup("Second", second));
    EXPECT_STREQ("0000000000000000000000000000000000000001", first->opMask);
    EXPECT_TRUE(first->opBlockAll);
    EXPECT_STREQ("ann", first->members[0]);
    ASSERT_EQ(1, second->members.GetSize());
    EXPECT_STREQ("zed", second->members[0]);
}

TEST_F(Sheet, ExceptionsOnlyWritesJustTheTwoListsAndDoesNotCommit)
{
    Open(ServiceDocument(kTwoGroups));
    TestVeilgate editor(nullptr, &beach);
    probe.onApply = [&editor]() {
        editor.m_activate = 0;
        editor.m_denyMessage = "changed";
        editor.m_urlsAllow.AddTail("10.9.9.9:8080 ");
        editor.m_urlsDeny.AddTail("10.6.6.6");
    };
    Press(PSBTN_OK);
    EXPECT_EQ(1, Edit(editor, 0));
    EXPECT_EQ(before, folder.read("doc.json"));  // not committed: the console saves it
    EXPECT_TRUE(beach.isModified());
    QuoValOf<int> activate;
    ASSERT_TRUE(Stored("activate", activate));
    EXPECT_EQ(1, activate.value);
    QuoValOf<CString> deny;
    ASSERT_TRUE(Stored("denymsg", deny));
    EXPECT_STREQ("Blocked", deny.value);
    CStringList allow;
    QuoValOf<CStringList*> allowValue(&allow);
    ASSERT_TRUE(Stored("urls_allow", allowValue));
    ASSERT_EQ(2, allow.GetCount());
    EXPECT_STREQ("10.9.9.9:8080 ", allow.GetTail());
    CStringList denied;
    QuoValOf<CStringList*> deniedValue(&denied);
    ASSERT_TRUE(Stored("urls_deny", deniedValue));
    ASSERT_EQ(1, denied.GetCount());
    EXPECT_STREQ("10.6.6.6", denied.GetHead());
}

TEST_F(Sheet, FullSaveWithoutSectionSaysSoAndStillReturnsOne)
{
    Open(ServiceDocument("", false));
    TestVeilgate editor(nullptr, &beach);
    Press(PSBTN_OK);
    driver.answerMessageBox();
    EXPECT_EQ(1, Edit(editor, 1));
    ASSERT_EQ(1u, driver.messages().size());
    EXPECT_EQ("Cannot find Veilgate information (no quolla)", driver.messages()[0]);
    EXPECT_EQ(before, folder.read("doc.json"));
}

TEST_F(Sheet, ExceptionsOnlyWithoutSectionIsSilent)
{
    Open(ServiceDocument("", false));
    TestVeilgate editor(nullptr, &beach);
    Press(PSBTN_OK);
    EXPECT_EQ(1, Edit(editor, 0));
    EXPECT_TRUE(driver.messages().empty());
    EXPECT_EQ(nullptr, beach.digQuolla("sievex", "http-proxy"));
}

TEST_F(Sheet, SectionWithoutGroupsKeepsTheWorkingGroupUnderItsOwnName)
{
    Open(ServiceDocument(ONE_SERVER "\"activate\": 1"));
    TestVeilgate editor(nullptr, &beach);
    probe.onApply = []() { g_currentGroup->m_members.AddTail("amy"); };
    Press(PSBTN_OK);
    EXPECT_EQ(1, Edit(editor, 1));
    QuoValOf<QuoSievexMap> rules;
    ASSERT_TRUE(Stored("rules", rules));
    QuoSievex* group = nullptr;
    ASSERT_TRUE(rules.value.Lookup(Veilgate::s_defaultGroupName, group));
    ASSERT_EQ(1, group->members.GetSize());
    EXPECT_STREQ("amy", group->members[0]);
    EXPECT_STREQ(CString('0', 40), group->opMask);
    CString reversed = VeilgateGroup::DefaultSchedule();
    reversed.MakeReverse();
    EXPECT_STREQ(reversed, group->schedule);
}

TEST_F(Sheet, SheetIsCaptionedHttpProxyWithoutApplyButton)
{
    Open(ServiceDocument(kTwoGroups));
    TestVeilgate editor(nullptr, &beach);
    bool applyVisible = true;
    driver.onWindow("HTTP Proxy", [&applyVisible](HWND h) {
        HWND apply = GetDlgItem(h, 0x3021);
        applyVisible = apply != NULL && IsWindowVisible(apply);
        PostMessageA(h, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    EXPECT_EQ(0, Edit(editor, 1));
    EXPECT_FALSE(applyVisible);
}

TEST(Module, JoinsTheResourceChainWhenLoaded)
{
    HMODULE module = GetModuleHandleA("veilgate.dll");
    ASSERT_NE(nullptr, module);
    // The privileges page's template, found by number from the host.
    EXPECT_EQ(module, AfxFindResourceHandle(MAKEINTRESOURCEA(5006), RT_DIALOG));
    // The host comes first: its own template of a number hides the module's.
    EXPECT_EQ(GetModuleHandleA(NULL), AfxFindResourceHandle(MAKEINTRESOURCEA(300), RT_DIALOG));
}

// Two editors on one module share the working group pointer: each edits a
// group of its own, whatever the other did to the pointer.
TEST_F(Sheet, AnEditorEditsItsOwnDefaultGroupWhateverAnotherDidToTheWorkingGroup)
{
    Open(ServiceDocument(ONE_SERVER "\"activate\": 1"));
    probe.onApply = [] { g_currentGroup->m_members.AddTail("zed"); };
    auto storedDefault = [this]() {
        QuoValOf<QuoSievexMap> rules;
        QuoSievex* group = nullptr;
        EXPECT_TRUE(Stored("rules", rules) && rules.value.Lookup(Veilgate::s_defaultGroupName, group));
        return group ? CString(group->members.GetSize() ? group->members[0] : "") : CString("none");
    };
    {
        // The other one, made later and still alive, points the working
        // group at its own default group.
        TestVeilgate editor(nullptr, &beach);
        TestVeilgate other(nullptr, &beach);
        VeilgateGroup* othersGroup = g_currentGroup;
        Press(PSBTN_OK);
        EXPECT_EQ(1, Edit(editor, 1));
        EXPECT_EQ(0, othersGroup->m_members.GetCount());
        EXPECT_STREQ("zed", storedDefault());
    }
    Open(ServiceDocument(ONE_SERVER "\"activate\": 1"));
    {
        // The other one is gone, and the working group with it.
        TestVeilgate editor(nullptr, &beach);
        delete new TestVeilgate(nullptr, &beach);
        Press(PSBTN_OK);
        EXPECT_EQ(1, Edit(editor, 1));
        EXPECT_STREQ("zed", storedDefault());
    }
}
