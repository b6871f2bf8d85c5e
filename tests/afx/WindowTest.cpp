// The framework's windows as the module relies on them: message maps,
// data exchange failures, and the property sheet's OK, Cancel and refusal.
#include <gtest/gtest.h>
#include "afxdlgs.h"
#include "afxres.h"
#include "ModalDriver.h"
#include "testres.h"

namespace {

class NumberPage : public CPropertyPage
{
public:
    NumberPage() : CPropertyPage(IDD_TEST_PAGE_A) {}
    int m_number = 5;
    CString m_name = "start";
    int m_flag = 0;
    int applied = 0, resets = 0, clicks = 0, inits = 0;
    BOOL refuse = FALSE;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NUMBER, m_number);
        DDV_MinMaxInt(pDX, m_number, 0, 1000);
        DDX_Text(pDX, IDC_NAME, m_name);
        DDX_Check(pDX, IDC_FLAG, m_flag);
    }
    BOOL OnInitDialog() override { ++inits; return CPropertyPage::OnInitDialog(); }
    BOOL OnApply() override
    {
        ++applied;
        return refuse ? FALSE : CPropertyPage::OnApply();
    }
    void OnReset() override { ++resets; }
    void OnPush() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NumberPage, CPropertyPage)
    ON_BN_CLICKED(IDC_PUSH, OnPush)
END_MESSAGE_MAP()

class SecondPage : public CPropertyPage
{
public:
    SecondPage() : CPropertyPage(IDD_TEST_PAGE_B) {}
    int applied = 0;
    BOOL refuse = FALSE;  // as the module's pages refuse: showing themselves
    BOOL OnApply() override
    {
        ++applied;
        if (refuse)
            GetSheet()->SetActivePage(this);
        return !refuse;
    }
};

HWND CurrentPage(HWND hSheet) { return (HWND)SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0); }

void SetItemText(HWND hSheet, int id, const char* text)
{
    SetWindowTextA(GetDlgItem(CurrentPage(hSheet), id), text);
}

void Press(HWND hSheet, int button) { PostMessageA(hSheet, PSM_PRESSBUTTON, button, 0); }

struct SheetFixture : ::testing::Test
{
    NumberPage first;
    SecondPage second;
    CPropertySheet sheet{ "Test Sheet" };
    ModalDriver driver;

    void SetUp() override
    {
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        sheet.EnableStackedTabs(FALSE);
    }
    INT_PTR Run()
    {
        driver.start();
        INT_PTR result = sheet.DoModal();
        driver.stop();
        EXPECT_EQ("", driver.failure());
        return result;
    }
};

} // namespace

TEST_F(SheetFixture, OkAppliesShownPagesAndReturnsIdok)
{
    driver.onWindow("Test Sheet", [](HWND h) {
        SetItemText(h, IDC_NUMBER, "42");
        SetItemText(h, IDC_NAME, "changed");
        Press(h, PSBTN_OK);
    });
    EXPECT_EQ(IDOK, Run());
    EXPECT_EQ(42, first.m_number);
    EXPECT_STREQ("changed", first.m_name);
    EXPECT_EQ(1, first.applied);
    EXPECT_EQ(0, second.applied);  // never shown, never applied
    EXPECT_EQ(NULL, first.m_hWnd); // detached when the window went
}

TEST_F(SheetFixture, CancelKeepsMembersAndResetsShownPages)
{
    driver.onWindow("Test Sheet", [](HWND h) {
        SetItemText(h, IDC_NUMBER, "42");
        Press(h, PSBTN_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, Run());
    EXPECT_EQ(5, first.m_number);
    EXPECT_EQ(1, first.resets);
    EXPECT_EQ(0, first.applied);
}

TEST_F(SheetFixture, RefusedApplyKeepsTheSheetOpen)
{
    first.refuse = TRUE;
    bool stillOpen = false;
    driver.onWindow("Test Sheet", [](HWND h) { Press(h, PSBTN_OK); })
        .then([this]() { return first.applied == 1; })
        .onWindow("Test Sheet", [&stillOpen](HWND h) {
            stillOpen = IsWindowVisible(h) != FALSE;
            Press(h, PSBTN_CANCEL);
        });
    EXPECT_EQ(IDCANCEL, Run());
    EXPECT_TRUE(stillOpen);
}

TEST_F(SheetFixture, BadNumberShowsTheFrameworkMessageAndKeepsThePage)
{
    HWND focusAfterFailure = NULL;
    HWND numberEdit = NULL;
    driver.onWindow("Test Sheet", [](HWND h) {
              SetItemText(h, IDC_NUMBER, "12x");
              Press(h, PSBTN_OK);
          })
        .answerMessageBox()
        .onWindow("Test Sheet", [&](HWND h) {
            numberEdit = GetDlgItem(CurrentPage(h), IDC_NUMBER);
            focusAfterFailure = GetFocus();
            SetItemText(h, IDC_NUMBER, " 1001 ");
            Press(h, PSBTN_OK);
        })
        .answerMessageBox()
        .onWindow("Test Sheet", [](HWND h) {
            SetItemText(h, IDC_NUMBER, "7");
            Press(h, PSBTN_OK);
        });
    EXPECT_EQ(IDOK, Run());
    ASSERT_EQ(2u, driver.messages().size());
    EXPECT_EQ("Please enter an integer.", driver.messages()[0]);
    EXPECT_EQ("Please enter an integer between 0 and 1000.", driver.messages()[1]);
    EXPECT_EQ(numberEdit, focusAfterFailure);
    EXPECT_EQ(7, first.m_number);
}

TEST_F(SheetFixture, LeavingAPageWithBadDataIsRefused)
{
    int pageAfter = -1;
    driver.onWindow("Test Sheet", [](HWND h) {
              SetItemText(h, IDC_NUMBER, "");
              PostMessageA(h, PSM_SETCURSEL, 1, 0);
          })
        .answerMessageBox()
        .onWindow("Test Sheet", [&pageAfter](HWND h) {
            pageAfter = (int)SendMessageA((HWND)SendMessageA(h, PSM_GETTABCONTROL, 0, 0), TCM_GETCURSEL, 0, 0);
            Press(h, PSBTN_CANCEL);
        });
    EXPECT_EQ(IDCANCEL, Run());
    EXPECT_EQ(0, pageAfter);
    EXPECT_EQ("Please enter an integer.", driver.messages().at(0));
}

TEST_F(SheetFixture, SheetHasNoApplyButtonAndOneRowOfTabs)
{
    bool applyVisible = true;
    LONG_PTR tabStyle = 0;
    driver.onWindow("Test Sheet", [&](HWND h) {
        HWND apply = GetDlgItem(h, 0x3021);
        applyVisible = apply != NULL && IsWindowVisible(apply);
        tabStyle = GetWindowLongPtrA((HWND)SendMessageA(h, PSM_GETTABCONTROL, 0, 0), GWL_STYLE);
        Press(h, PSBTN_CANCEL);
    });
    Run();
    EXPECT_FALSE(applyVisible);
    EXPECT_EQ(0, tabStyle & TCS_MULTILINE);
}

TEST_F(SheetFixture, MessageMapRoutesButtonClicksToTheHandler)
{
    driver.onWindow("Test Sheet", [](HWND h) {
        ClickButton(CurrentPage(h), IDC_PUSH);
        ClickButton(CurrentPage(h), IDC_PUSH);
        Press(h, PSBTN_CANCEL);
    });
    Run();
    EXPECT_EQ(2, first.clicks);
    EXPECT_EQ(1, first.inits);
}

TEST(ResourceChain, FindsHostStringsThenTheLayersOwn)
{
    CString s;
    EXPECT_TRUE(s.LoadString(IDS_TEST_TITLE));
    EXPECT_STREQ("Title from the host", s);
    EXPECT_TRUE(s.LoadString(AFX_IDP_PARSE_INT_RANGE));
    EXPECT_STREQ("Please enter an integer between %1 and %2.", s);
    EXPECT_FALSE(s.LoadString(54321));
    EXPECT_STREQ("", s);
}

TEST(SimpleScanInt, AcceptsBlanksAroundADecimalNumberOnly)
{
    int v = 0;
    EXPECT_TRUE(AfxSimpleScanInt("  600 ", v));
    EXPECT_EQ(600, v);
    EXPECT_TRUE(AfxSimpleScanInt("-5", v));
    EXPECT_EQ(-5, v);
    EXPECT_FALSE(AfxSimpleScanInt("", v));
    EXPECT_FALSE(AfxSimpleScanInt("1,500", v));
    EXPECT_FALSE(AfxSimpleScanInt("12x", v));
    EXPECT_FALSE(AfxSimpleScanInt("99999999999", v));
}

namespace {

// The focus and every window above it shown: a focus left on a hidden page
// makes the dialog manager spin for good on the next character key, so no
// key is sent unless this holds.
bool FocusShown()
{
    HWND hFocus = GetFocus();
    return hFocus != NULL && IsWindowVisible(hFocus);
}

struct FocusSheet : SheetFixture
{
    HWND hSheet = NULL;
    std::vector<std::string> typed;  // page B's field after each change

    // Clicks the tab of page B, as a mouse would.
    void ClickSecondTab() const
    {
        HWND hTab = (HWND)SendMessageA(hSheet, PSM_GETTABCONTROL, 0, 0);
        RECT r;
        SendMessageA(hTab, TCM_GETITEMRECT, 1, (LPARAM)&r);
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(hTab, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(hTab, WM_LBUTTONUP, 0, at);
    }

    // From the push button of page A, the page is changed to B by change;
    // then a character key goes through the sheet's own loop.
    void Change(const char* who, std::function<void()> change)
    {
        driver
            .then([this]() {
                hSheet = FindThreadWindow("Test Sheet");
                if (hSheet == NULL || FindMessageBox() != NULL)
                    return false;
                SendMessageA(hSheet, PSM_SETCURSEL, 0, 0);
                SetWindowTextA(GetDlgItem(second.m_hWnd, IDC_NAME), "");
                SetFocus(GetDlgItem(CurrentPage(hSheet), IDC_PUSH));
                return true;
            })
            .then([change]() { change(); return true; })
            .then([this]() { return CurrentPage(hSheet) == second.m_hWnd; })
            .then([this, who]() {
                if (!FocusShown()) {
                    ADD_FAILURE() << who << ": the focus stayed on a hidden window";
                    SetFocus(GetDlgItem(second.m_hWnd, IDC_NAME));
                }
                PostMessageA(GetFocus(), WM_CHAR, 'q', 1);
                return true;
            })
            .then([this]() {
                typed.push_back(WindowText(GetDlgItem(second.m_hWnd, IDC_NAME)));
                return true;
            });
    }
};

} // namespace

TEST_F(FocusSheet, FocusLeavesThePageLeftWhoeverChangesIt)
{
    second.refuse = TRUE;
    Change("a host's PSM_SETCURSEL", [this]() { SendMessageA(hSheet, PSM_SETCURSEL, 1, 0); });
    Change("a click on a tab", [this]() { ClickSecondTab(); });
    Change("a page refusing OK", [this]() { Press(hSheet, PSBTN_OK); });
    driver.then([this]() {
        Press(hSheet, PSBTN_CANCEL);
        return true;
    });
    Run();
    // A click leaves the focus on the tab, which takes no characters.
    EXPECT_EQ((std::vector<std::string>{ "q", "", "q" }), typed);
}
