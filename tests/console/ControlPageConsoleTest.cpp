// The controls page end to end: the console on a copy of the sample, its
// server list driven from this process as a person would, the file read back.
#include "ConsoleFixture.h"
#include "resource.h"
#include "ModalDriver.h"

namespace {

using Strings = std::vector<std::string>;

class ConsoleControls : public Console
{
protected:
    HWND sheet = NULL;

    void SetUp() override
    {
        Console::SetUp();
        Start(StandardArgs());
        sheet = WaitForSheet();
        ASSERT_NE(nullptr, sheet);
    }
    // GetWindowText does not ask a window of another process for its text.
    static std::string EditText(HWND edit)
    {
        char text[1024] = "";
        SendMessageA(edit, WM_GETTEXT, sizeof text, (LPARAM)text);
        return text;
    }
    // Shows the page that holds the server list.
    HWND ControlsPage() { return ShowPage(sheet, PageIndex(sheet, "Veilgate Controls")); }
    // Add..., the address typed key by key, the port, OK.
    void AddServer(HWND page, const char* address, const char* port)
    {
        PostMessageA(GetDlgItem(page, IDC_ADD_SERVER), BM_CLICK, 0, 0);
        HWND dialog = WaitForWindow("Veilgate Server IP");
        ASSERT_NE(nullptr, dialog);
        HWND edit = GetDlgItem(dialog, IDC_SERVER_VALUE);
        SendMessageA(edit, EM_SETSEL, 0, 0);
        for (const char* p = address; *p; ++p)
            TypeChar(edit, *p);
        SetDlgItemTextA(dialog, IDC_SERVER_PORT, port);
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }
    // The list belongs to the console: its row rectangle is fetched through
    // memory of that process, then the row is clicked.
    void ClickRow(HWND list, int row)
    {
        SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
        RECT r = { LVIR_BOUNDS, 0, 0, 0 };
        void* remote = VirtualAllocEx(process.hProcess, NULL, sizeof r, MEM_COMMIT, PAGE_READWRITE);
        WriteProcessMemory(process.hProcess, remote, &r, sizeof r, NULL);
        SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)remote);
        ReadProcessMemory(process.hProcess, remote, &r, sizeof r, NULL);
        VirtualFreeEx(process.hProcess, remote, 0, MEM_RELEASE);
        LPARAM at = MAKELPARAM(r.left + 10, (r.top + r.bottom) / 2);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
    }
    // Adds 10.0.0.9:8081 after the sample's three servers and moves it to the top.
    void AddServerAndMoveItToTheTop()
    {
        HWND page = ControlsPage();
        ASSERT_NE(nullptr, page);
        HWND list = GetDlgItem(page, IDC_SERVER_LIST);
        AddServer(page, "10.0.0.9", "8081");
        ASSERT_TRUE(PumpUntil([list]() { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 4; }));
        ClickRow(list, 3);
        HWND up = GetDlgItem(page, IDC_UP);
        ASSERT_TRUE(PumpUntil([up]() { return IsWindowEnabled(up) != FALSE; }));
        for (int i = 0; i < 3; ++i)
            SendMessageA(up, BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowEnabled(up));
    }
    // "key=address:port@position" of the stored "ip_port", in file order.
    Strings StoredServers() const
    {
        Beach beach;
        CString error;
        EXPECT_TRUE(beach.open(document.c_str(), error)) << (LPCTSTR)error;
        Quolla* section = beach.digQuolla("sievex", "http-proxy");
        QuoValOf<QuoVGServerIpMap> servers;
        EXPECT_TRUE(section != NULL && section->getProp("ip_port", servers));
        beach.tossQuolla(section);
        Strings entries;
        POSITION pos = servers.value.GetStartPosition();
        while (pos != NULL) {
            CString key;
            QuoVGServerIp* s;
            servers.value.GetNextAssoc(pos, key, s);
            entries.push_back(std::string(key) + "=" + (LPCTSTR)s->address + ":" + std::to_string(s->port) + "@" +
                              std::to_string(s->position));
        }
        return entries;
    }
};

} // namespace

TEST_F(ConsoleControls, ServerAddedAndMovedToTheTopIsStoredFirst)
{
    AddServerAndMoveItToTheTop();
    ASSERT_EQ(0u, Press(sheet, PSBTN_OK));
    EXPECT_EQ((Strings{ "00=10.0.0.9:8081@0", "01=10.0.0.5:5003@1", "02=10.0.0.6:5003@2", "03=192.168.10.20:4005@3" }),
              StoredServers());
}

TEST_F(ConsoleControls, CancelAfterChangingTheServersLeavesTheFileByteForByte)
{
    std::string before = ReadFile(document);
    AddServerAndMoveItToTheTop();
    ASSERT_EQ(1u, Press(sheet, PSBTN_CANCEL));
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(ConsoleControls, DenyMessageIsEditedInDisplayFormAndStoredEscaped)
{
    HWND edit = GetDlgItem(ControlsPage(), IDC_DENY_MESSAGE);
    EXPECT_EQ("Access to this site is blocked by company policy.\r\n<b>Questions?</b> Call the help desk on 4357.",
              EditText(edit));
    SetWindowTextA(edit, "Blocked.\r\n%d sites left\r\n\r\n<i>Sorry</i>\r\n");
    ASSERT_EQ(0u, Press(sheet, PSBTN_OK));
    EXPECT_NE(std::string::npos, ReadFile(document).find("\"denymsg\": \"Blocked.\\n%%d sites left\\n\\n%<i>Sorry</i>\""));
}
