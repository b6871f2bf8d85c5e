// The console run as a separate process on a copy of the sample document:
// start it, find its sheet, read its tabs, wait for its exit code.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "quolla.h"

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::string BinFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\'));
}

struct Found { DWORD pid; HWND hwnd; const char* caption; };

inline BOOL CALLBACK FindWindowOf(HWND h, LPARAM l)
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
        DeleteFileA((folder + "\\mimetypes.usr").c_str());
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

    HWND WaitForSheet() { return WaitForWindow("HTTP Proxy"); }
    // A visible top-level window of the console with this caption.
    HWND WaitForWindow(const char* caption)
    {
        for (int i = 0; i < 1000; ++i) {
            Found f = { process.dwProcessId, NULL, caption };
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&f));
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
