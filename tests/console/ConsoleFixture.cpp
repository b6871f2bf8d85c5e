#include "ConsoleFixture.h"
#include "ModalDriver.h"
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

void TypeInto(HWND edit, const char* text)
{
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (; *text; ++text)
        SendMessageA(edit, WM_CHAR, (BYTE)*text, 1);
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

const char kHandWrittenEntry[] = "www.example.com/news:80 /daily/*";

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

struct Found { DWORD pid; const char* caption; HWND hwnd; HWND box; };

BOOL CALLBACK FindWindowOf(HWND h, LPARAM l)
{
    Found* f = reinterpret_cast<Found*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != f->pid || !IsWindowVisible(h))
        return TRUE;
    if (f->caption != nullptr && WindowText(h) == f->caption)
        f->hwnd = h;
    else if (f->box == NULL && IsMessageBox(h))
        f->box = h;
    return TRUE;
}

// A message box that the console shows for this long is one that no test
// waits for: the wait ends with its text.
const DWORD kBoxMs = 1000;

// Polls until the window with this caption has come (or with shown false
// gone), or until the time is up, the console has ended or shows a message
// box instead; false then, saying which.
bool AwaitWindow(const PROCESS_INFORMATION& process, const char* caption, bool shown, DWORD timeoutMs, HWND& found,
                 std::string& why)
{
    const DWORD start = GetTickCount();
    DWORD boxSince = 0;
    for (;;) {
        Found f = { process.dwProcessId, caption, NULL, NULL };
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&f));
        found = f.hwnd;
        if (caption != nullptr && (found != NULL) == shown)
            return true;
        const DWORD now = GetTickCount();
        if (f.box == NULL)
            boxSince = 0;
        else if (boxSince == 0)
            boxSince = now;
        else if (now - boxSince > kBoxMs) {
            why = "the console shows a message box \"" + MessageBoxText(f.box) + "\"";
            return false;
        }
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, 25) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &code);
            why = "the console ended with " + std::to_string(code);
            return false;
        }
        if (now - start > timeoutMs) {
            why = "the time was up after " + std::to_string(timeoutMs / 1000) + " s";
            return false;
        }
    }
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

void Console::PlantHandWrittenEntry()
{
    const std::string sample = ReadFile(document), entry = "\"www.example.com:80 /news/daily/*\"";
    ASSERT_NE(std::string::npos, sample.find(entry));
    WriteText(document, Replaced(sample, entry, "\"" + std::string(kHandWrittenEntry) + "\""));
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
    std::string why;
    if (!AwaitWindow(process, caption, shown, 60000, found, why))
        ADD_FAILURE() << "window \"" << caption << "\" " << (shown ? "did not come" : "did not go") << ": " << why
                      << "; stderr: " << Errors();
    return found;
}

HWND Console::WaitForSheet()
{
    return WaitForWindow("HTTP Proxy");
}

DWORD Console::WaitForExit()
{
    HWND none;
    std::string why;
    AwaitWindow(process, nullptr, true, 300000, none, why);
    DWORD code = 99;
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the console did not end: " << why << "; stderr: " << Errors();
        TerminateProcess(process.hProcess, code);
        WaitForSingleObject(process.hProcess, 5000);
    } else {
        GetExitCodeProcess(process.hProcess, &code);
    }
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
    return sheet != NULL ? Press(sheet, button) : WaitForExit();
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
