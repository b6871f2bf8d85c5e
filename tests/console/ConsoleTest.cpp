// The console end to end: a real process on a copy of the sample document,
// driven through its windows as a person would, and the file compared after.
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

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string BinFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\'));
}

struct Found { DWORD pid; HWND hwnd; };

BOOL CALLBACK FindSheetOf(HWND h, LPARAM l)
{
    Found* f = reinterpret_cast<Found*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char text[64] = "";
    GetWindowTextA(h, text, sizeof text);
    if (pid == f->pid && IsWindowVisible(h) && std::string(text) == "HTTP Proxy") {
        f->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

class Console : public ::testing::Test
{
protected:
    std::string folder;
    std::string document;
    PROCESS_INFORMATION process = {};

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int n = 0;
        folder = std::string(temp) + "vgconsole-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++n);
        CreateDirectoryA(folder.c_str(), NULL);
        document = folder + "\\http-proxy.json";
        ASSERT_TRUE(CopyFileA(EXAMPLES_DIR "/http-proxy.json", document.c_str(), FALSE));
        CopyFileA(EXAMPLES_DIR "/mimetypes", (folder + "\\mimetypes").c_str(), FALSE);
    }
    void TearDown() override
    {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 99);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        DeleteFileA(document.c_str());
        DeleteFileA((folder + "\\mimetypes").c_str());
        RemoveDirectoryA(folder.c_str());
    }

    void Start(const std::string& args)
    {
        std::string cmd = "\"" + BinFolder() + "\\console.exe\" " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        ASSERT_TRUE(CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &process));
    }
    std::string StandardArgs() { return "--document \"" + document + "\" --service http-proxy"; }

    HWND WaitForSheet()
    {
        for (int i = 0; i < 1000; ++i) {
            Found f = { process.dwProcessId, NULL };
            EnumWindows(FindSheetOf, reinterpret_cast<LPARAM>(&f));
            if (f.hwnd)
                return f.hwnd;
            if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
                return NULL;
        }
        return NULL;
    }
    DWORD WaitForExit()
    {
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
            return 99;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
        return code;
    }
    // Starts the console on the document and presses one of the sheet's buttons.
    DWORD OpenAndPress(const std::string& args, int button)
    {
        Start(args);
        HWND sheet = WaitForSheet();
        EXPECT_NE(nullptr, sheet);
        PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
        return WaitForExit();
    }
    DWORD Run(const std::string& args)
    {
        Start(args);
        return WaitForExit();
    }
    HWND ShowPage(HWND sheet, int index)
    {
        SendMessageA(sheet, PSM_SETCURSEL, index, 0);
        return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    }
    // The tab captions live in the console's process: read them through a
    // buffer allocated there.
    int PageIndex(HWND sheet, const char* caption)
    {
        HWND tab = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
        int count = (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
        const SIZE_T textSize = 128;
        char* remote = (char*)VirtualAllocEx(process.hProcess, NULL, sizeof(TCITEMA) + textSize,
                                             MEM_COMMIT, PAGE_READWRITE);
        int found = -1;
        for (int i = 0; i < count && found < 0; ++i) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = remote + sizeof(TCITEMA);
            item.cchTextMax = (int)textSize;
            WriteProcessMemory(process.hProcess, remote, &item, sizeof item, NULL);
            SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)remote);
            char text[128] = "";
            ReadProcessMemory(process.hProcess, remote + sizeof(TCITEMA), text, textSize, NULL);
            if (std::string(text) == caption)
                found = i;
        }
        VirtualFreeEx(process.hProcess, remote, 0, MEM_RELEASE);
        EXPECT_GE(found, 0) << "no page \"" << caption << "\"";
        return found;
    }
    // The working group (the group read last) as stored in the document.
    QuoSievex StoredWorkingGroup()
    {
        Beach beach;
        CString error;
        EXPECT_TRUE(beach.open(document.c_str(), error)) << (LPCTSTR)error;
        Quolla* section = beach.digQuolla("sievex", "http-proxy");
        QuoValOf<QuoSievexMap> rules;
        EXPECT_TRUE(section && section->getProp("rules", rules));
        beach.tossQuolla(section);
        QuoSievex last;
        POSITION pos = rules.value.GetStartPosition();
        while (pos) {
            CString name;
            QuoSievex* group;
            rules.value.GetNextAssoc(pos, name, group);
            last = *group;
        }
        return last;
    }
};

} // namespace

TEST_F(Console, CancelLeavesTheFileByteForByte)
{
    std::string before = ReadFile(document);
    EXPECT_EQ(1u, OpenAndPress(StandardArgs(), PSBTN_CANCEL));
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, OkWithoutChangesKeepsEverySetting)
{
    std::string before = ReadFile(document);
    EXPECT_EQ(0u, OpenAndPress(StandardArgs(), PSBTN_OK));
    // Stored forms survive the trip through their display forms unchanged,
    // and everything the editor does not own is written back as it was.
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, DeniedCategoriesAndBlockAllReachTheDocument)
{
    Start(StandardArgs());
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);

    HWND page = ShowPage(sheet, PageIndex(sheet, "VG: Operational Privileges"));
    HWND allowed = GetDlgItem(page, IDC_ALLOWED_LIST);
    // Sports (k 0), Travel (k 1) and News (k 5) are allowed in the sample's working group.
    for (const char* name : { "Sports", "Travel", "News" }) {
        int index = (int)SendMessageA(allowed, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name);
        ASSERT_GE(index, 0) << name;
        SendMessageA(allowed, LB_SETSEL, TRUE, index);
    }
    SendMessageA(GetDlgItem(page, IDC_DENY_SELECTED), BM_CLICK, 0, 0);

    page = ShowPage(sheet, PageIndex(sheet, "VG: Non-operational Privileges"));
    SendMessageA(GetDlgItem(page, IDC_BLOCK_ALL), BM_CLICK, 0, 0);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_EQ(0u, WaitForExit());

    QuoSievex group = StoredWorkingGroup();
    // The sample's working group denied k 3,14,15,16,17,18,20,22,25,29,37,39.
    std::string expected(40, '0');
    for (int k : { 3, 14, 15, 16, 17, 18, 20, 22, 25, 29, 37, 39, 0, 1, 5 })
        expected[39 - k] = '1';
    EXPECT_EQ(expected, std::string((LPCTSTR)group.opMask));
    EXPECT_TRUE(group.nonOpBlockAll);
    EXPECT_FALSE(group.opBlockAll);
}

TEST_F(Console, ExceptionsOnlySavesWithoutTouchingTheFilterSettings)
{
    std::string before = ReadFile(document);
    Start(StandardArgs() + " --exceptions-only");
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);
    HWND page = ShowPage(sheet, PageIndex(sheet, "VG: Non-operational Privileges"));
    SendMessageA(GetDlgItem(page, IDC_BLOCK_ALL), BM_CLICK, 0, 0);  // not written in this mode
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    EXPECT_EQ(0u, WaitForExit());
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, BrokenDocumentIsRefusedWithItsLineAndNothingWritten)
{
    std::string broken = "{\n  \"services\": {\n    \"http-proxy\": {\n      \"sievex\": { \"activate\": \"yes\" }\n    }\n  }\n}\n";
    { std::ofstream out(document, std::ios::binary); out << broken; }
    EXPECT_EQ(2u, Run(StandardArgs()));
    EXPECT_EQ(broken, ReadFile(document));
}

TEST_F(Console, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(2u, Run("--service http-proxy"));
    EXPECT_EQ(2u, Run(StandardArgs() + " --bogus"));
    EXPECT_EQ(2u, Run("--document \"" + folder + "\\missing.json\" --service http-proxy"));
    EXPECT_EQ(2u, Run("--document \"" + document + "\" --service no-such-service"));
}

TEST_F(Console, ScreenshotsShowEveryPageThenCancel)
{
    std::string before = ReadFile(document);
    std::string shots = folder + "\\shots";
    EXPECT_EQ(1u, Run(StandardArgs() + " --screenshots \"" + shots + "\""));
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((shots + "\\*.png").c_str(), &fd);
    std::vector<std::string> names;
    if (h != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(fd.cFileName);
            DeleteFileA((shots + "\\" + fd.cFileName).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(shots.c_str());
    // Named by tab position and caption.
    for (const char* page : { "-VG-Schedule.png", "-VG-Operational-Privileges.png" })
        EXPECT_NE(names.end(), std::find_if(names.begin(), names.end(), [page](const std::string& name) {
            return name.size() == 2 + strlen(page) && name.compare(2, std::string::npos, page) == 0;
        })) << page;
    EXPECT_EQ(before, ReadFile(document));
}
