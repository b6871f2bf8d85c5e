// The category privileges page, driven in a real sheet.
#include <gtest/gtest.h>
#include "vggEditPrivilege.h"
#include "resource.h"
#include "PageSheet.h"
#include <algorithm>

namespace {

using Names = std::vector<std::string>;

Names Sorted(Names names)
{
    std::sort(names.begin(), names.end());
    return names;
}

Names CategoryTable()
{
    Names names;
    for (int k = 0; k < VgSettings::CategoryCount; ++k)
        names.push_back((LPCTSTR)VgSettings::CategoryName(k));
    return names;
}

const Names kTable = CategoryTable();

struct PrivilegeSheet : PageSheet
{
    vggEditPrivilege operational{ 1 }, nonOperational;

    // Runs act with the first page up, then closes the sheet with button.
    void Run(std::function<void()> act, int button = PSBTN_OK)
    {
        RunSheet({ &operational, &nonOperational }, act, button);
    }
    HWND Item(int id) const { return GetDlgItem(page, id); }
    Names Allowed() const { return ListBoxItems(Item(IDC_ALLOWED_LIST)); }
    Names Denied() const { return ListBoxItems(Item(IDC_DENIED_LIST)); }
    void Select(int id, std::initializer_list<int> indices)
    {
        for (int i : indices)
            SendMessageA(Item(id), LB_SETSEL, TRUE, i);
    }
};

} // namespace

TEST_F(PrivilegeSheet, DefaultMaskAllowsEveryCategoryAlphabetically)
{
    Names allowed, denied;
    Run([&] { allowed = Allowed(), denied = Denied(); });
    EXPECT_EQ(Sorted(kTable), Sorted(allowed));
    EXPECT_TRUE(std::is_sorted(allowed.begin(), allowed.end(), [](const std::string& a, const std::string& b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    }));
    EXPECT_TRUE(denied.empty());
    EXPECT_EQ(CString('0', 40), operational.m_mask);
}

TEST_F(PrivilegeSheet, MaskListsCategoriesInReverseTableOrder)
{
    const std::string z(40, '0');
    struct { std::string mask; Names denied; std::string rebuilt; } cases[] = {
        { "1" + z.substr(1), { "Streaming Media" }, "1" + z.substr(1) },
        { z.substr(1) + "1", { "Sports" }, z.substr(1) + "1" },
        { z.substr(10) + "1" + z.substr(31), { "Job Search & Career Development" }, z.substr(10) + "1" + z.substr(31) },
        { std::string(40, '1'), Sorted(kTable), std::string(40, '1') },
        { "2x Y" + z.substr(5) + "1", { "Sports" }, z.substr(1) + "1" },  // only "1" denies
        { std::string(39, '1'), Sorted(Names(kTable.begin() + 1, kTable.end())), std::string(39, '1') + "0" },
        { "", {}, z },
    };
    Run([&] {
        for (const auto& c : cases) {
            operational.FillCategoryLists(c.mask.c_str());
            EXPECT_EQ(c.denied, Sorted(Denied())) << c.mask;
            EXPECT_EQ(40u, Allowed().size() + Denied().size()) << c.mask;
            EXPECT_STREQ(c.rebuilt.c_str(), operational.BuildCategoryMask()) << c.mask;
            // The check passes exactly the masks the page shows and stores as they were.
            CString reason;
            EXPECT_EQ(c.mask.empty() || c.rebuilt == c.mask, VgSettings::CheckCategoryMask(c.mask.c_str(), reason))
                << c.mask;
        }
    });
}

TEST_F(PrivilegeSheet, ShortStoredMasksAreWrittenBackFull)
{
    operational.m_mask = "1";
    nonOperational.m_mask = "";
    Run([&] { ShowPage(1); });
    EXPECT_EQ("1" + CString('0', 39), operational.m_mask);
    EXPECT_EQ(CString('0', 40), nonOperational.m_mask);
}

TEST_F(PrivilegeSheet, MoveButtonsMoveExactlyTheChosenEntriesAndTheSplitSurvivesATabSwitch)
{
    Names before, allowed, denied;
    Run([&] {
        before = Allowed();
        ClickButton(page, IDC_DENY_SELECTED);  // nothing selected
        Select(IDC_ALLOWED_LIST, { 1, 4, 30 });
        ClickButton(page, IDC_DENY_SELECTED);
        allowed = Allowed(), denied = Denied();
        ShowPage(1);
        ShowPage(0);
        EXPECT_EQ(allowed, Allowed());
        EXPECT_EQ(denied, Denied());

        Select(IDC_DENIED_LIST, { 0 });
        ClickButton(page, IDC_DENY_ALL);
        EXPECT_TRUE(Allowed().empty());
        EXPECT_EQ(1, SendMessageA(Item(IDC_DENIED_LIST), LB_GETSELCOUNT, 0, 0)) << "selection kept";
        ClickButton(page, IDC_ALLOW_SELECTED);
        ClickButton(page, IDC_ALLOW_ALL);
        EXPECT_TRUE(Denied().empty());
        Select(IDC_ALLOWED_LIST, { 39 });
        ClickButton(page, IDC_DENY_SELECTED);
    });
    Names expected = before;
    for (int i : { 30, 4, 1 })
        expected.erase(expected.begin() + i);
    EXPECT_EQ(expected, allowed);
    EXPECT_EQ(Sorted({ before[1], before[4], before[30] }), denied);
    CString mask('0', 40);
    mask.SetAt(39 - (std::find(kTable.begin(), kTable.end(), before.back()) - kTable.begin()), '1');
    EXPECT_EQ(mask, operational.m_mask);
}

TEST_F(PrivilegeSheet, BlockAllDisablesTheCategoryControlsAndKeepsTheMask)
{
    const int controls[] = { IDC_BLOCK_GROUP, IDC_ALLOWED_LIST, IDC_DENIED_LIST, IDC_ALLOWED_LABEL,
                             IDC_DENIED_LABEL, IDC_DENY_SELECTED, IDC_DENY_ALL, IDC_ALLOW_ALL, IDC_ALLOW_SELECTED };
    operational.m_mask = "1";
    Run([&] {
        for (int round = 0; round < 3; ++round) {
            ClickButton(page, IDC_BLOCK_ALL);
            for (int id : controls)
                EXPECT_EQ(round != 1, !IsWindowEnabled(Item(id))) << id << " round " << round;
            EXPECT_TRUE(IsWindowEnabled(Item(IDC_BLOCK_ALL)));
            EXPECT_EQ(Names{ "Streaming Media" }, Denied());
        }
    });
    EXPECT_EQ(1, operational.m_blockAll);
    EXPECT_EQ("1" + CString('0', 39), operational.m_mask);
}

TEST_F(PrivilegeSheet, KeysAndClicksOnAnEmptiedListAreHarmless)
{
    const UINT keys[] = { VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_SPACE };
    Run([&] {
        for (int index : { 0, 1 }) {
            ShowPage(index);
            for (int id : { IDC_ALLOWED_LIST, IDC_DENIED_LIST }) {
                // ">>" or "<<" empties the list; a click in it, then Space.
                ClickButton(page, id == IDC_ALLOWED_LIST ? IDC_DENY_ALL : IDC_ALLOW_ALL);
                HWND list = Item(id);
                ASSERT_EQ(0, SendMessageA(list, LB_GETCOUNT, 0, 0));
                SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
                SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
                EXPECT_EQ(list, GetFocus());
                TypeChar(list, ' ');
                for (UINT vk : keys)
                    PressKey(list, vk);
                TypeChar(list, 'S');
                // Filled again, the list works as before: Space selects the first entry.
                ClickButton(page, id == IDC_ALLOWED_LIST ? IDC_ALLOW_ALL : IDC_DENY_ALL);
                EXPECT_EQ(0, SendMessageA(list, LB_GETSELCOUNT, 0, 0));
                TypeChar(list, ' ');
                EXPECT_EQ(1, SendMessageA(list, LB_GETSEL, 0, 0)) << "page " << index << " list " << id;
            }
        }
    }, PSBTN_CANCEL);
}

TEST(PrivilegePage, CaptionsAndDynamicCreation)
{
    vggEditPrivilege operational(1);
    EXPECT_STREQ("VG: Operational Privileges", operational.m_psp.pszTitle);
    CRuntimeClass* rc = CRuntimeClass::FromName("vggEditPrivilege");
    ASSERT_NE(nullptr, rc);
    CObject* object = rc->CreateObject();
    ASSERT_TRUE(object->IsKindOf(RUNTIME_CLASS(vggEditPrivilege)));
    EXPECT_STREQ("VG: Non-operational Privileges", static_cast<vggEditPrivilege*>(object)->m_psp.pszTitle);
    EXPECT_EQ(0, static_cast<vggEditPrivilege*>(object)->m_blockAll);
    delete object;
}
