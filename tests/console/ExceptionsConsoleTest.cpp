// The exceptions page through the console: a denied exception defined in
// the dialog reaches the document after OK and nothing does after Cancel.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "quolla.h"
#include "resource.h"

namespace {

using Texts = std::vector<std::string>;

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct WindowOf { DWORD pid; const char* caption; HWND found; };

BOOL CALLBACK FindWindowOf(HWND h, LPARAM l)
{
    WindowOf* w = reinterpret_cast<WindowOf*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char text[64] = "";
    GetWindowTextA(h, text, sizeof text);
    if (pid == w->pid && IsWindowVisible(h) && strcmp(text, w->caption) == 0) {
        w->found = h;
        return FALSE;
    }
    return TRUE;
}

class ExceptionsConsole : public ::testing::Test
{
protected:
    std::string folder, document;
    PROCESS_INFORMATION process = {};

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "vgexceptions-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), NULL);
        document = folder + "\\http-proxy.json";
        ASSERT_TRUE(CopyFileA(EXAMPLES_DIR "/http-proxy.json", document.c_str(), FALSE));
    }
    void TearDown() override
    {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 99);
            Close();
        }
        DeleteFileA(document.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    void Close()
    {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
    }
    void Start()
    {
        char exe[MAX_PATH];
        GetModuleFileNameA(NULL, exe, MAX_PATH);
        std::string bin = exe;
        bin.resize(bin.find_last_of('\\'));
        std::string cmd = "\"" + bin + "\\console.exe\" --document \"" + document + "\" --service http-proxy";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        ASSERT_TRUE(CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &process));
    }
    // Waits until the console shows a window with this caption (or until it is gone: found false).
    HWND Await(const char* caption, bool found = true)
    {
        for (int i = 0; i < 1000; ++i) {
            WindowOf w = { process.dwProcessId, caption, NULL };
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&w));
            if ((w.found != NULL) == found)
                return w.found;
            if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
                break;
        }
        ADD_FAILURE() << "window \"" << caption << "\" " << (found ? "did not come" : "did not go");
        return NULL;
    }
    DWORD Exit()
    {
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
            return 99;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        Close();
        return code;
    }
    // Opens the exceptions page (the last tab) and defines a host with port
    // and pattern on the denied side; the sheet stays up.
    HWND DefineDeniedHost()
    {
        Start();
        HWND sheet = Await("HTTP Proxy");
        if (sheet == NULL)
            return NULL;
        HWND tab = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
        SendMessageA(sheet, PSM_SETCURSEL, SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0) - 1, 0);
        HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DENIED_EX_ADD, BN_CLICKED),
                     (LPARAM)GetDlgItem(page, IDC_DENIED_EX_ADD));

        HWND dialog = Await("Define Exception(s)");
        if (dialog == NULL)
            return NULL;
        HWND type = GetDlgItem(dialog, IDC_TYPE);
        SendMessageA(type, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TYPE, CBN_SELCHANGE), (LPARAM)type);
        HWND host = GetDlgItem(dialog, IDC_HOST_ADDRESS);
        for (const char* p = "10.9.8.7"; *p; ++p)
            SendMessageA(host, WM_CHAR, (BYTE)*p, 1);
        SendMessageA(GetDlgItem(dialog, IDC_EX_PORT_CHECK), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_EX_PORT), WM_SETTEXT, 0, (LPARAM) "8080");
        SendMessageA(GetDlgItem(dialog, IDC_EX_PATTERN_CHECK), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_EX_PATTERN), WM_SETTEXT, 0, (LPARAM) "/ads/*");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        Await("Define Exception(s)", false);
        return sheet;
    }
    Texts Stored(const char* key)
    {
        Beach beach;
        CString error;
        EXPECT_TRUE(beach.open(document.c_str(), error)) << (LPCTSTR)error;
        Quolla* section = beach.digQuolla("sievex", "http-proxy");
        CStringList list;
        QuoValOf<CStringList*> value(&list);
        EXPECT_TRUE(section != nullptr && section->getProp(key, value)) << key;
        beach.tossQuolla(section);
        Texts texts;
        for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
            texts.push_back((LPCTSTR)list.GetNext(pos));
        return texts;
    }
};

} // namespace

TEST_F(ExceptionsConsole, ADeniedHostWithPortAndPatternIsStoredAsItsEntryText)
{
    Texts allowBefore = Stored("urls_allow");
    HWND sheet = DefineDeniedHost();
    ASSERT_NE(nullptr, sheet);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_EQ(0u, Exit());
    EXPECT_EQ((Texts{ "10.9.8.7:8080 /ads/*", "172.16.5.9", "192.168.200.0/24", "203.0.113.7:6667 ",
                      "games.example.net" }),
              Stored("urls_deny"));
    EXPECT_EQ(allowBefore, Stored("urls_allow"));
}

TEST_F(ExceptionsConsole, CancelAfterDefiningLeavesTheFileByteForByte)
{
    std::string before = Contents(document);
    HWND sheet = DefineDeniedHost();
    ASSERT_NE(nullptr, sheet);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_EQ(1u, Exit());
    EXPECT_EQ(before, Contents(document));
}
