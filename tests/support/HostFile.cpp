#include "HostFile.h"

#include <windows.h>

namespace {

// Runs a command of the host's shell, with the Unix name of path as $1, and
// waits for it; false when it failed or is not under Wine.
bool runOnHost(const char* command, const std::string& path)
{
    typedef LONG(WINAPI * SpawnFn)(char* const argv[], int wait);  // a system call: stdcall
    const SpawnFn spawn = reinterpret_cast<SpawnFn>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp"));
    std::string name = UnixName(path);
    if (!spawn || name.empty())
        return false;
    char* argv[] = { (char*)"/bin/sh", (char*)"-c", (char*)command, (char*)"sh", &name[0], NULL };
    return spawn(argv, 1) == 0;
}

}  // namespace

std::string UnixName(const std::string& path)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    const UnixNameFn fn = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!fn)
        return std::string();
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* name = fn(wide);
    if (!name)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::string HostMode(const std::string& path)
{
    const std::string answer = path + ".mode";
    DeleteFileA(answer.c_str());
    const std::string command = "stat -c %a \"$1\" > \"$1.mode\"";
    if (!runOnHost(command.c_str(), path))
        return std::string();
    char mode[16] = {};
    DWORD got = 0;
    HANDLE file = CreateFileA(answer.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    ReadFile(file, mode, sizeof mode - 1, &got, NULL);
    CloseHandle(file);
    std::string result(mode, got);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

bool SetHostMode(const std::string& path, const std::string& mode)
{
    const std::string command = "chmod " + mode + " \"$1\"";
    return runOnHost(command.c_str(), path);
}
