#include "ConsoleFixture.h"
#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

namespace {

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), &wide[0], (int)wide.size()));
    return wide;
}

std::string BinFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\'));
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName, path = dir + "\\" + name;
            if (name == "." || name == "..")
                continue;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

struct Found { DWORD pid; const char* caption; HWND hwnd; };

BOOL CALLBACK FindWindowOf(HWND h, LPARAM l)
{
    Found* f = reinterpret_cast<Found*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char text[64] = "";
    GetWindowTextA(h, text, sizeof text);
    if (pid == f->pid && IsWindowVisible(h) && std::string(text) == f->caption) {
        f->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

// Polls for about ten seconds; false when the console ended first.
bool AwaitWindow(const PROCESS_INFORMATION& process, const char* caption, bool shown, HWND& found)
{
    for (int i = 0; i < 1000; ++i) {
        Found f = { process.dwProcessId, caption, NULL };
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&f));
        found = f.hwnd;
        if ((found != NULL) == shown)
            return true;
        if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

} // namespace

void Console::SetUp()
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

void Console::TearDown()
{
    if (process.hProcess) {
        TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    RemoveTree(folder);
}

void Console::Start(const std::string& args)
{
    Start(Widen(args));
}

void Console::Start(const std::wstring& args)
{
    std::wstring cmd = L"\"" + Widen(BinFolder()) + L"\\console.exe\" " + args;
    SECURITY_ATTRIBUTES inherited = { sizeof inherited, NULL, TRUE };
    HANDLE errors = CreateFileA((folder + "\\stderr" + streamsTag + ".txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    HANDLE output = CreateFileA((folder + "\\stdout" + streamsTag + ".txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = output;
    si.hStdError = errors;
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(L'\0');
    BOOL started = CreateProcessW(NULL, line.data(), NULL, NULL, TRUE, 0, NULL, NULL, &si, &process);
    CloseHandle(errors);
    CloseHandle(output);
    ASSERT_TRUE(started);
}

namespace {

std::string WithLineFeeds(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

} // namespace

std::string Console::Errors() const
{
    return WithLineFeeds(ReadFile(folder + "\\stderr" + streamsTag + ".txt"));
}

std::string Console::Output() const
{
    return WithLineFeeds(ReadFile(folder + "\\stdout" + streamsTag + ".txt"));
}

HWND Console::WaitForWindow(const char* caption, bool shown)
{
    HWND found = NULL;
    if (!AwaitWindow(process, caption, shown, found))
        ADD_FAILURE() << "window \"" << caption << "\" " << (shown ? "did not come" : "did not go");
    return found;
}

HWND Console::WaitForSheet()
{
    HWND sheet = NULL;
    AwaitWindow(process, "HTTP Proxy", true, sheet);
    return sheet;
}

DWORD Console::WaitForExit()
{
    // One that does not end in time is ended, so that it holds up nothing.
    DWORD code = 99;
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, code);
    else
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = {};
    return code;
}

DWORD Console::Press(HWND sheet, int button)
{
    PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
    return WaitForExit();
}

DWORD Console::OpenAndPress(const std::string& args, int button)
{
    Start(args);
    HWND sheet = WaitForSheet();
    EXPECT_NE(nullptr, sheet);
    return Press(sheet, button);
}

DWORD Console::Run(const std::string& args)
{
    Start(args);
    return WaitForExit();
}

HWND Console::ShowPage(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
}

// The tab captions live in the console's process: read them through a
// buffer allocated there.
int Console::PageIndex(HWND sheet, const char* caption)
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

QuoSievex Console::StoredWorkingGroup()
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

std::vector<std::string> Console::StoredList(const char* key)
{
    Beach beach;
    CString error;
    EXPECT_TRUE(beach.open(document.c_str(), error)) << (LPCTSTR)error;
    Quolla* section = beach.digQuolla("sievex", "http-proxy");
    CStringList list;
    QuoValOf<CStringList*> value(&list);
    EXPECT_TRUE(section != nullptr && section->getProp(key, value)) << key;
    beach.tossQuolla(section);
    std::vector<std::string> texts;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        texts.push_back((LPCTSTR)list.GetNext(pos));
    return texts;
}
