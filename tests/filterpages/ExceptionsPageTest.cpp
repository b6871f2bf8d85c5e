// The exceptions page in a real sheet, with the definition dialog run from
// its Add buttons.
#include <gtest/gtest.h>
#include "VeilgateExPage.h"
#include "vggEditPrivilege.h"
#include "FakeResolver.h"
#include "ModalDriver.h"
#include "resource.h"
#include <algorithm>
#include <map>

namespace {

using Texts = std::vector<std::string>;

Texts Items(const CStringList& list)
{
    Texts texts;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        texts.push_back((LPCTSTR)list.GetNext(pos));
    return texts;
}

void Fill(CStringList& list, const Texts& texts)
{
    for (const std::string& t : texts)
        list.AddTail(t.c_str());
}

bool ListBoxOrder(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
}

// The page is last, as in the editor's sheet; another page stands before it.
struct ExceptionsSheet : ::testing::Test
{
    CStringList allowed, denied;
    VeilgateExPage page{ &allowed, &denied };
    vggEditPrivilege before{ 1 };
    CPropertySheet sheet{ "HTTP Proxy" };
    ModalDriver driver;
    HWND hSheet = NULL, hPage = NULL;

    // Queues act for the moment the exceptions page is up.
    void WhenUp(std::function<void()> act)
    {
        driver.onWindow("HTTP Proxy", [this, act](HWND h) {
            hSheet = h;
            ShowPage(1);
            act();
        });
    }
    // Queues a click on one of the Add buttons and fill for the dialog it
    // opens; fill ends the dialog.
    void Define(int addButton, std::function<void(HWND)> fill)
    {
        driver.then([this, addButton] {
            PostMessageA(hPage, WM_COMMAND, MAKEWPARAM(addButton, BN_CLICKED), (LPARAM)Item(addButton));
            return true;
        });
        driver.onWindow("Define Exception(s)", fill);
    }
    // Queues the answers to n message boxes, then act once they are gone.
    void AnswerAndThen(int n, std::function<void()> act)
    {
        for (int i = 0; i < n; ++i)
            driver.answerMessageBox();
        driver.then([act] {
            if (FindMessageBox() != NULL || FindThreadWindow("Define Exception(s)") != NULL)
                return false;
            act();
            return true;
        });
    }
    // Runs the sheet through the queued steps and closes it with button.
    void Run(int button = PSBTN_OK)
    {
        driver.then([this, button] {
            PostMessageA(hSheet, PSM_PRESSBUTTON, button, 0);
            return true;
        });
        sheet.AddPage(&before);
        sheet.AddPage(&page);
        driver.run([this] { return sheet.DoModal(); });
        EXPECT_EQ("", driver.failure());
    }
    void ShowPage(int index)
    {
        SendMessageA(hSheet, PSM_SETCURSEL, index, 0);
        if (index == 1)
            hPage = (HWND)SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    }
    HWND Item(int id) const { return GetDlgItem(hPage, id); }
    Texts Allowed() const { return ListBoxItems(Item(IDC_ALLOWED_EX_LIST)); }
    Texts Denied() const { return ListBoxItems(Item(IDC_DENIED_EX_LIST)); }
};

// Fills the dialog with one URL.
std::function<void(HWND)> Url(const char* url)
{
    return [url](HWND h) {
        SendDlgItemMessageA(h, IDC_TYPE, CB_SETCURSEL, 3, 0);
        SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_TYPE, CBN_SELCHANGE), (LPARAM)GetDlgItem(h, IDC_TYPE));
        SetDlgItemTextA(h, IDC_URL, url);
        PostMessageA(h, WM_COMMAND, IDOK, 0);
    };
}

// Fills the dialog with the addresses a name resolves to.
std::function<void(HWND)> Lookup(const char* name)
{
    return [name](HWND h) {
        SetDlgItemTextA(h, IDC_LOOKUP_NAME, name);
        SendMessageA(GetDlgItem(h, IDC_LOOKUP), BM_CLICK, 0, 0);
        PostMessageA(h, WM_COMMAND, IDOK, 0);
    };
}

// Counts, per list box, the entries added while it was drawing.
struct RedrawWatch
{
    static HHOOK hook;
    static std::map<HWND, bool> redrawOff;
    static int addsWhileDrawing;
    static int adds;

    RedrawWatch()
    {
        redrawOff.clear();
        addsWhileDrawing = adds = 0;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, OnMessage, NULL, GetCurrentThreadId());
    }
    ~RedrawWatch() { UnhookWindowsHookEx(hook); }

    static LRESULT CALLBACK OnMessage(int code, WPARAM w, LPARAM l)
    {
        const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(l);
        int id = GetDlgCtrlID(m->hwnd);
        if (code == HC_ACTION && (id == IDC_ALLOWED_EX_LIST || id == IDC_DENIED_EX_LIST)) {
            if (m->message == WM_SETREDRAW)
                redrawOff[m->hwnd] = m->wParam == FALSE;
            else if (m->message == LB_ADDSTRING || m->message == LB_INSERTSTRING) {
                ++adds;
                if (!redrawOff[m->hwnd])
                    ++addsWhileDrawing;
            }
        }
        return CallNextHookEx(hook, code, w, l);
    }
};
HHOOK RedrawWatch::hook = NULL;
std::map<HWND, bool> RedrawWatch::redrawOff;
int RedrawWatch::addsWhileDrawing = 0;
int RedrawWatch::adds = 0;

} // namespace

TEST_F(ExceptionsSheet, ListsShowSortedAndComeBackSortedWhenThePageIsLeft)
{
    Fill(allowed, { "www.example.com", "10.1.2.3", "Beta.example.com", "alpha.example.com:8080 " });
    Fill(denied, { "zeta.example.net", "Alpha.example.net /ads/*" });
    Texts shown, afterRemove, keptUntilLeft, afterLeaving;
    WhenUp([&] {
        shown = Allowed();
        SendMessageA(Item(IDC_ALLOWED_EX_LIST), LB_SETCURSEL, 0, 0);
        ClickButton(hPage, IDC_ALLOWED_EX_REMOVE);
        afterRemove = Allowed();
        keptUntilLeft = Items(allowed);
        ShowPage(0);
        afterLeaving = Items(allowed);
        ShowPage(1);
    });
    Run();
    EXPECT_EQ((Texts{ "10.1.2.3", "alpha.example.com:8080 ", "Beta.example.com", "www.example.com" }), shown);
    EXPECT_EQ((Texts{ "alpha.example.com:8080 ", "Beta.example.com", "www.example.com" }), afterRemove);
    EXPECT_EQ(4u, keptUntilLeft.size()) << "the editor's list changes only when the page is left";
    EXPECT_EQ(afterRemove, afterLeaving);
    EXPECT_EQ(afterRemove, Items(allowed));
    EXPECT_EQ((Texts{ "Alpha.example.net /ads/*", "zeta.example.net" }), Items(denied));
}

TEST_F(ExceptionsSheet, RemovingSelectsTheEntryThatFollowedAndAsksForASelection)
{
    Fill(allowed, { "a.example.com", "b.example.com", "c.example.com" });
    Fill(denied, { "x.example.com" });
    int afterMiddle = -2, afterLast = -2;
    HWND focus = NULL, list = NULL;
    Texts left;
    WhenUp([&] {
        list = Item(IDC_ALLOWED_EX_LIST);
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        SetFocus(Item(IDC_ALLOWED_EX_ADD));
        ClickButton(hPage, IDC_ALLOWED_EX_REMOVE);
        afterMiddle = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
        focus = GetFocus();
        ClickButton(hPage, IDC_ALLOWED_EX_REMOVE);
        afterLast = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
        left = Allowed();
        PostMessageA(hPage, WM_COMMAND, MAKEWPARAM(IDC_ALLOWED_EX_REMOVE, BN_CLICKED), (LPARAM)Item(IDC_ALLOWED_EX_REMOVE));
    });
    AnswerAndThen(1, [&] {
        PostMessageA(hPage, WM_COMMAND, MAKEWPARAM(IDC_DENIED_EX_REMOVE, BN_CLICKED), (LPARAM)Item(IDC_DENIED_EX_REMOVE));
    });
    AnswerAndThen(1, [] {});
    Run();
    EXPECT_EQ(1, afterMiddle) << "the former third entry";
    EXPECT_EQ(LB_ERR, afterLast) << "nothing follows the last entry";
    EXPECT_EQ(list, focus) << "the list has the focus after a removal";
    EXPECT_EQ(Texts{ "a.example.com" }, left);
    EXPECT_EQ((Texts{ "You need to select an allowed URL exception first!",
                      "You need to select an denied URL exception first!" }),
              driver.messages());
    EXPECT_EQ(Texts{ "a.example.com" }, Items(allowed));
    EXPECT_EQ(Texts{ "x.example.com" }, Items(denied));
}

TEST_F(ExceptionsSheet, AnEntryOfTheOtherListOrInAnotherLetterCaseIsNotAddedAgain)
{
    Fill(allowed, { "www.example.com" });
    Fill(denied, { "ads.example.net" });
    Texts allowedAfter, deniedAfter;
    WhenUp([] {});
    Define(IDC_ALLOWED_EX_ADD, Url("WWW.Example.COM"));
    AnswerAndThen(1, [] {});
    Define(IDC_ALLOWED_EX_ADD, Url("ADS.example.net"));
    AnswerAndThen(1, [] {});
    Define(IDC_DENIED_EX_ADD, Url("www.example.com"));
    AnswerAndThen(1, [] {});
    Define(IDC_DENIED_EX_ADD, Url("new.example.net"));
    AnswerAndThen(0, [&] {
        allowedAfter = Allowed();
        deniedAfter = Denied();
    });
    Run();
    EXPECT_EQ((Texts{ "These exceptions are already listed: WWW.Example.COM ",
                      "The following exceptions already exist in the denied exceptions list: ADS.example.net ",
                      "The following exceptions already exist in the allowed exceptions list: www.example.com " }),
              driver.messages());
    EXPECT_EQ(Texts{ "www.example.com" }, allowedAfter);
    EXPECT_EQ((Texts{ "ads.example.net", "new.example.net" }), deniedAfter);
    EXPECT_EQ(deniedAfter, Items(denied));
}

TEST_F(ExceptionsSheet, ALookupAddsWhatIsNewAndReportsTheRestOnce)
{
    // Three addresses, one already allowed: two are added, one reported.
    FakeResolver resolver({ "10.0.0.1", "10.0.0.2", "10.0.0.3" });
    Fill(allowed, { "10.0.0.2" });
    Texts added;
    WhenUp([] {});
    Define(IDC_ALLOWED_EX_ADD, Lookup("three.example.com"));
    AnswerAndThen(1, [&] { added = Allowed(); });
    Run();
    EXPECT_EQ(Texts{ "These exceptions are already listed: 10.0.0.2 " }, driver.messages());
    EXPECT_EQ((Texts{ "10.0.0.1", "10.0.0.2", "10.0.0.3" }), added);
}

TEST_F(ExceptionsSheet, ATextTwiceInOneResultIsAddedOnceAndBothMessagesFollowInOrder)
{
    FakeResolver resolver({ "10.0.0.9", "10.0.0.1", "10.0.0.9", "10.0.0.7", "10.0.0.1" });
    Fill(allowed, { "10.0.0.1" });
    WhenUp([] {});
    Define(IDC_DENIED_EX_ADD, Lookup("many.example.com"));
    AnswerAndThen(2, [] {});
    Run();
    EXPECT_EQ((Texts{ "These exceptions are already listed: 10.0.0.9 ",
                      "The following exceptions already exist in the allowed exceptions list: 10.0.0.1 10.0.0.1 " }),
              driver.messages());
    EXPECT_EQ((Texts{ "10.0.0.7", "10.0.0.9" }), Items(denied));
    EXPECT_EQ(Texts{ "10.0.0.1" }, Items(allowed));
}

TEST_F(ExceptionsSheet, ThousandsOfEntriesFillWithoutDrawingAndSurviveOkExactly)
{
    Texts allow, deny;
    for (int i = 0; i < 5000; ++i) {
        char text[64];
        snprintf(text, sizeof text, "10.%d.%d.%d:%d /path%d/*", i / 65536, (i / 256) % 256, i % 256, 8000 + i % 100, i);
        allow.push_back(text);
        snprintf(text, sizeof text, i % 2 ? "Host%04d.Example.net" : "host%04d.example.NET /ads/*", i);
        deny.push_back(text);
    }
    Fill(allowed, allow);
    Fill(denied, deny);
    RedrawWatch watch;
    WhenUp([&] {
        ShowPage(0);
        ShowPage(1);
        ShowPage(0);
        ShowPage(1);
    });
    Run();
    EXPECT_EQ(30000, RedrawWatch::adds) << "filled on opening and on each return to the page";
    EXPECT_EQ(0, RedrawWatch::addsWhileDrawing);

    Texts allowAfter = Items(allowed), denyAfter = Items(denied);
    EXPECT_TRUE(std::is_sorted(allowAfter.begin(), allowAfter.end(), ListBoxOrder));
    EXPECT_TRUE(std::is_sorted(denyAfter.begin(), denyAfter.end(), ListBoxOrder));
    std::sort(allow.begin(), allow.end());
    std::sort(deny.begin(), deny.end());
    std::sort(allowAfter.begin(), allowAfter.end());
    std::sort(denyAfter.begin(), denyAfter.end());
    EXPECT_TRUE(allow == allowAfter);
    EXPECT_TRUE(deny == denyAfter);
}
