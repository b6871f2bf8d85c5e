// The controls page in a real sheet, driven through its controls.
#include <gtest/gtest.h>
#include "VeilgateControlPage.h"
#include "vggEditPrivilege.h"
#include "resource.h"
#include "ModalDriver.h"
#include "ServerDialogSteps.h"
#include <climits>

namespace {

using Strings = std::vector<std::string>;

const char kNoServer[] =
    "Please enter the location of your Veilgate server.  This will most likely be the same server as your log host.";

// The page in a sheet with a second page to leave it for. Steps are queued,
// then Run shows the sheet and plays them.
class ControlSheet
{
public:
    CString denyMessage;
    int activate;
    int bypass = 0;
    VeilgateControlPage page{ &denyMessage, &activate, &bypass };
    vggEditPrivilege other{ 1 };
    CPropertySheet sheet{ "HTTP Proxy" };
    ModalDriver driver;
    HWND hSheet = NULL;

    explicit ControlSheet(int active) : activate(active)
    {
        driver.onWindow("HTTP Proxy", [this](HWND h) { hSheet = h; });
    }

    // A map entry, as the editor hands it over.
    void Server(const char* key, const char* address, int port, int position)
    {
        page.m_serverMap.value.SetAt(key, new QuoVGServerIp(address, port, position));
    }
    // n servers 10.0.0.<row>, port 5000 + row, under their row keys.
    void Servers(int n)
    {
        for (int i = 0; i < n; ++i)
            Server(Key(i), ("10.0.0." + std::to_string(i)).c_str(), 5000 + i, i);
    }
    static CString Key(int row) { return VeilgateControlPage::ServerKey(row); }

    // Runs act with the sheet up, once no dialog or message box is.
    ControlSheet& Do(std::function<void()> act)
    {
        driver.then([act]() {
            if (FindThreadWindow(kServerDialogCaption) != NULL || FindMessageBox() != NULL)
                return false;
            act();
            return true;
        });
        return *this;
    }
    ControlSheet& InServerDialog(std::function<void(HWND)> act)
    {
        driver.onWindow(kServerDialogCaption, act);
        return *this;
    }
    ControlSheet& AnswerMessage()
    {
        driver.answerMessageBox();
        return *this;
    }
    ControlSheet& Press(int button)
    {
        return Do([this, button]() { PostMessageA(hSheet, PSM_PRESSBUTTON, button, 0); });
    }
    INT_PTR Run()
    {
        sheet.AddPage(&page);
        sheet.AddPage(&other);
        driver.start();
        INT_PTR result = sheet.DoModal();
        driver.stop();
        EXPECT_EQ("", driver.failure());
        return result;
    }

    HWND Item(int id) const { return GetDlgItem(page.m_hWnd, id); }
    void Click(int id) const { ClickButton(page.m_hWnd, id); }
    // Buttons that open a dialog are clicked by posting, so that the dialog
    // runs from the sheet's loop and not from inside this step.
    void PostClick(int id) const { PostMessageA(Item(id), BM_CLICK, 0, 0); }
    void ClickRow(int row) const
    {
        HWND list = Item(IDC_SERVER_LIST);
        SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);  // scrolled to, as a person would
        RECT r = { LVIR_BOUNDS, 0, 0, 0 };
        ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&r)) << "row " << row;
        LPARAM at = MAKELPARAM(r.left + 10, (r.top + r.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    }
    // "address port" per row, top first.
    Strings Rows() const
    {
        HWND list = Item(IDC_SERVER_LIST);
        Strings rows;
        for (int i = 0; i < (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); ++i) {
            char address[64] = "", port[64] = "";
            LVITEMA item = {};
            item.cchTextMax = sizeof address;
            item.pszText = address;
            SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
            item.iSubItem = 1;
            item.pszText = port;
            SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
            rows.push_back(std::string(address) + " " + port);
        }
        return rows;
    }
    // The selected rows, top first.
    std::string Selection() const
    {
        HWND list = Item(IDC_SERVER_LIST);
        std::string s;
        for (int i = 0; i < (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); ++i)
            if (SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED))
                s += (s.empty() ? "" : " ") + std::to_string(i);
        return s;
    }
    // The names of the enabled controls among the page's.
    std::string Enabled() const
    {
        static const std::pair<int, const char*> controls[] = {
            { IDC_ACTIVATE, "Activate" }, { IDC_SERVER_LIST, "List" }, { IDC_ADD_SERVER, "Add" },
            { IDC_REMOVE_SERVER, "Remove" }, { IDC_EDIT_SERVER, "Edit" }, { IDC_UP, "Up" },
            { IDC_DOWN, "Down" }, { IDC_BYPASS, "Bypass" }, { IDC_DENY_MESSAGE, "Message" },
        };
        std::string s;
        for (const auto& c : controls)
            if (IsWindowEnabled(Item(c.first)))
                s += (s.empty() ? "" : " ") + std::string(c.second);
        return s;
    }
    // The page's map as "key=address:port@position", in enumeration order.
    Strings Stored() const
    {
        Strings entries;
        POSITION pos = page.m_serverMap.value.GetStartPosition();
        while (pos != NULL) {
            CString key;
            QuoVGServerIp* s;
            page.m_serverMap.value.GetNextAssoc(pos, key, s);
            entries.push_back(std::string(key) + "=" + (LPCTSTR)s->address + ":" + std::to_string(s->port) + "@" +
                              std::to_string(s->position));
        }
        return entries;
    }
};

} // namespace

TEST(ControlPage, InactiveFilterOpensWithTheListUsableAndFollowsTheCheckBoxAfterwards)
{
    ControlSheet s(0);
    s.Servers(3);
    s.Do([&s]() {
        EXPECT_EQ("Activate List Message", s.Enabled());
        EXPECT_EQ("", s.Selection());
        s.ClickRow(1);
        EXPECT_EQ("Activate List Edit Up Down Message", s.Enabled());
        s.ClickRow(0);
        EXPECT_EQ("Activate List Edit Down Message", s.Enabled());
        s.ClickRow(2);
        EXPECT_EQ("Activate List Edit Up Message", s.Enabled());

        s.Click(IDC_ACTIVATE);
        EXPECT_EQ(1, s.activate);
        EXPECT_EQ("Activate List Add Remove Edit Up Bypass Message", s.Enabled());
        s.Click(IDC_ACTIVATE);
        EXPECT_EQ(0, s.activate);
        EXPECT_EQ("Activate Message", s.Enabled());
    }).Press(PSBTN_OK);
    EXPECT_EQ(IDOK, s.Run());
}

TEST(ControlPage, TheButtonsFollowASelectionMadeWithTheKeyboard)
{
    ControlSheet s(1);
    s.Servers(3);
    s.Do([&s]() {
        HWND list = s.Item(IDC_SERVER_LIST);
        SetFocus(list);
        struct { UINT key; const char* selected; const char* enabled; } steps[] = {
            { VK_HOME, "0", "Edit Down" },
            { VK_DOWN, "1", "Edit Up Down" },
            { VK_END, "2", "Edit Up" },
            { VK_UP, "1", "Edit Up Down" },
        };
        for (const auto& step : steps) {
            PressKey(list, step.key);
            EXPECT_EQ(step.selected, s.Selection());
            EXPECT_EQ("Activate List Add Remove " + std::string(step.enabled) + " Bypass Message", s.Enabled())
                << "after key " << step.key;
        }
    }).Press(PSBTN_CANCEL);
    s.Run();
}

TEST(ControlPage, ActiveFilterOpensWithEveryServerControlButTheSelectionsOnes)
{
    ControlSheet s(1);
    s.bypass = 1;
    s.denyMessage = "Blocked.\r\nAsk the help desk.";
    s.Servers(2);
    s.Do([&s]() {
        EXPECT_EQ("Activate List Add Remove Bypass Message", s.Enabled());
        EXPECT_EQ(BST_CHECKED, SendMessageA(s.Item(IDC_BYPASS), BM_GETCHECK, 0, 0));
        EXPECT_EQ("Blocked.\r\nAsk the help desk.", WindowText(s.Item(IDC_DENY_MESSAGE)));
        SetWindowTextA(s.Item(IDC_DENY_MESSAGE), "Go away.\r\n");
        s.Click(IDC_BYPASS);
    }).Press(PSBTN_OK);
    EXPECT_EQ(IDOK, s.Run());
    EXPECT_STREQ("Go away.\r\n", s.denyMessage);
    EXPECT_EQ(0, s.bypass);
}

TEST(ControlPage, TheDenyMessageStopsTypingAndPastingAtItsLimit)
{
    const int limit = VeilgateControlPage::DenyMessageLimit;
    ControlSheet s(0);
    // In lines: wrapping one long paragraph would take seconds.
    CString message;
    while (message.GetLength() + 80 < limit - 5)
        message += CString('a', 78) + "\r\n";
    message += CString('a', limit - 5 - message.GetLength());
    s.denyMessage = message;
    int afterPaste = 0, afterTyping = 0;
    s.Do([&]() {
        HWND edit = s.Item(IDC_DENY_MESSAGE);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, limit, limit);
        HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 11);
        memcpy(GlobalLock(text), "0123456789", 11);
        GlobalUnlock(text);
        ASSERT_TRUE(OpenClipboard(NULL));
        EmptyClipboard();
        SetClipboardData(CF_TEXT, text);
        CloseClipboard();
        SendMessageA(edit, WM_PASTE, 0, 0);
        afterPaste = GetWindowTextLengthA(edit);
        TypeChar(edit, 'x');
        afterTyping = GetWindowTextLengthA(edit);
    }).Press(PSBTN_OK);
    EXPECT_EQ(IDOK, s.Run());
    EXPECT_EQ(limit, afterPaste);
    EXPECT_EQ(limit, afterTyping);
    EXPECT_EQ(message + "01234", s.denyMessage);
}

TEST(ControlPage, ServersShowByPositionAndAreStoredUnderTheirRowKeys)
{
    ControlSheet s(1);
    // Twelve servers, handed over last first: the list orders by position.
    for (int i = 11; i >= 0; --i)
        s.Server(ControlSheet::Key(i), ("10.0.0." + std::to_string(i)).c_str(), 5000 + i, i);
    Strings rows, expected;
    s.Do([&]() { rows = s.Rows(); }).Press(PSBTN_OK);
    EXPECT_EQ(IDOK, s.Run());
    Strings stored;
    for (int i = 0; i < 12; ++i) {
        expected.push_back("10.0.0." + std::to_string(i) + " " + std::to_string(5000 + i));
        stored.push_back(std::string(ControlSheet::Key(i)) + "=10.0.0." + std::to_string(i) + ":" +
                         std::to_string(5000 + i) + "@" + std::to_string(i));
    }
    EXPECT_EQ(expected, rows);
    EXPECT_EQ(stored, s.Stored());
}

TEST(ControlPage, MovedServersAreStoredUnderTheKeysOfTheirNewRows)
{
    ControlSheet s(1);
    s.Servers(5);
    s.Do([&s]() {
        s.ClickRow(3);
        s.Click(IDC_DOWN);  // the last but one becomes the last
        EXPECT_EQ("4", s.Selection());
        EXPECT_EQ("Activate List Add Remove Edit Up Bypass Message", s.Enabled());
        for (int i = 0; i < 4; ++i)
            s.Click(IDC_UP);
        EXPECT_EQ("0", s.Selection());
        EXPECT_EQ("Activate List Add Remove Edit Down Bypass Message", s.Enabled());
        s.Click(IDC_UP);  // disabled at the top: nothing happens
        EXPECT_EQ((Strings{ "10.0.0.3 5003", "10.0.0.0 5000", "10.0.0.1 5001", "10.0.0.2 5002", "10.0.0.4 5004" }),
                  s.Rows());
    }).Press(PSBTN_OK);
    EXPECT_EQ(IDOK, s.Run());
    EXPECT_EQ((Strings{ "00=10.0.0.3:5003@0", "01=10.0.0.0:5000@1", "02=10.0.0.1:5001@2", "03=10.0.0.2:5002@3",
                        "04=10.0.0.4:5004@4" }),
              s.Stored());
}

TEST(ControlPage, RemovalSelectsTheRowAboveOrTheLastOneWhenTheTopRowWent)
{
    struct { int rows, removed; std::string selected, enabled; } cases[] = {
        { 5, 3, "2", "Edit Up Down" },
        { 5, 0, "3", "Edit Up" },
        { 1, 0, "", "" },
    };
    for (const auto& c : cases) {
        ControlSheet s(1);
        s.Servers(c.rows);
        std::string selected, enabled;
        Strings rows;
        s.Do([&]() {
            s.ClickRow(c.removed);
            s.Click(IDC_REMOVE_SERVER);
            rows = s.Rows();
            selected = s.Selection();
            // Edit, Up and Down go with the selection left behind.
            for (const char* name : { "Edit", "Up", "Down" })
                if (s.Enabled().find(name) != std::string::npos)
                    enabled += (enabled.empty() ? "" : " ") + std::string(name);
        }).Press(PSBTN_CANCEL);
        s.Run();
        EXPECT_EQ((size_t)c.rows - 1, rows.size());
        EXPECT_EQ(rows.end(), std::find(rows.begin(), rows.end(), "10.0.0." + std::to_string(c.removed) + " " +
                                                                      std::to_string(5000 + c.removed)));
        EXPECT_EQ(c.selected, selected) << "row " << c.removed << " of " << c.rows;
        EXPECT_EQ(c.enabled, enabled) << "row " << c.removed << " of " << c.rows;
    }
}

TEST(ControlPage, AddAppendsANewServerAndRefusesOneAlreadyListed)
{
    ControlSheet s(1);
    s.Server("00", "10.0.0.1", 5003, 0);
    s.Do([&s]() { s.PostClick(IDC_ADD_SERVER); })
        .InServerDialog([](HWND h) {
            EXPECT_EQ("   .   .   .   ", AddressField(h));
            EXPECT_EQ("5003", PortField(h));
            TypeAddress(h, "10.0.0.2");
            SetPort(h, "8080");
            PressDialogButton(h, IDOK);
        })
        .Do([&s]() {
            EXPECT_EQ((Strings{ "10.0.0.1 5003", "10.0.0.2 8080" }), s.Rows());
            EXPECT_EQ("", s.Selection());
            s.PostClick(IDC_ADD_SERVER);
        })
        .InServerDialog([](HWND h) {
            TypeAddress(h, "10.0.0.1");
            PressDialogButton(h, IDOK);
        })
        .AnswerMessage()
        .Do([&s]() { s.PostClick(IDC_ADD_SERVER); })
        .InServerDialog([](HWND h) {
            TypeAddress(h, "10.0.0.3");
            PressDialogButton(h, IDCANCEL);
        })
        .Press(PSBTN_OK);
    EXPECT_EQ(IDOK, s.Run());
    EXPECT_EQ((Strings{ "The Veilgate server IP address you just entered 10.0.0.1 is already in the list." }),
              s.driver.messages());
    EXPECT_EQ((Strings{ "00=10.0.0.1:5003@0", "01=10.0.0.2:8080@1" }), s.Stored());
}

TEST(ControlPage, EditReplacesTheRowInPlaceEvenWithAnAddressListedElsewhere)
{
    ControlSheet s(1);
    s.Servers(3);
    s.Do([&s]() {
         s.ClickRow(1);
         s.PostClick(IDC_EDIT_SERVER);
     })
        .InServerDialog([](HWND h) {
            EXPECT_EQ("10 .0  .0  .1  ", AddressField(h));
            EXPECT_EQ("5001", PortField(h));
            TypeAddress(h, "10.0.0.2");
            SetPort(h, "");
            PressDialogButton(h, IDOK);
        })
        .Do([&s]() {
            EXPECT_EQ((Strings{ "10.0.0.0 5000", "10.0.0.2 0", "10.0.0.2 5002" }), s.Rows());
            // The replaced row is not selected, and the buttons know it.
            EXPECT_EQ("", s.Selection());
            EXPECT_EQ("Activate List Add Remove Bypass Message", s.Enabled());
            s.ClickRow(2);
            s.PostClick(IDC_EDIT_SERVER);
        })
        .InServerDialog([](HWND h) {
            SetPort(h, "1");
            PressDialogButton(h, IDCANCEL);
        })
        .Press(PSBTN_OK);
    EXPECT_EQ(IDOK, s.Run());
    EXPECT_TRUE(s.driver.messages().empty());
    EXPECT_EQ((Strings{ "00=10.0.0.0:5000@0", "01=10.0.0.2:0@1", "02=10.0.0.2:5002@2" }), s.Stored());
}

TEST(ControlPage, ActiveFilterWithoutServersKeepsTheSheetOpenOnThisPage)
{
    ControlSheet s(1);
    s.Do([&s]() { SendMessageA(s.hSheet, PSM_SETCURSEL, 1, 0); })
        .Press(PSBTN_OK)
        .AnswerMessage()
        .Do([&s]() {
            EXPECT_TRUE(IsWindowVisible(s.hSheet));
            EXPECT_EQ(s.page.m_hWnd, (HWND)SendMessageA(s.hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            EXPECT_EQ(s.Item(IDC_ADD_SERVER), GetFocus());
            // Switched off, the filter needs no server.
            s.Click(IDC_ACTIVATE);
        })
        .Press(PSBTN_OK);
    EXPECT_EQ(IDOK, s.Run());
    EXPECT_EQ(Strings{ kNoServer }, s.driver.messages());
    EXPECT_EQ(0, s.activate);
    EXPECT_TRUE(s.Stored().empty());
}

TEST(ControlPageRules, AServersKeyIsItsPositionPrintedWithTwoDigitsAtLeast)
{
    for (int row : { 0, 7, 9, 10, 42, 99, 100, 12345, -1, -9, -10, -123, INT_MAX, INT_MIN }) {
        CString printed;
        printed.Format("%02d", row);
        EXPECT_STREQ(printed, VeilgateControlPage::ServerKey(row)) << row;
    }
}
