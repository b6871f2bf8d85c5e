#include "SymbolicLink.h"

#include <windows.h>

namespace {

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The host's name of a Windows path under Wine, or "" elsewhere.
std::string unixName(const std::string& path)
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

// Runs one of the host's programs under Wine and waits for it.
bool runHost(std::string command)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

// Wine may report a Unix program done before it has run.
bool settles(const std::string& path, bool present)
{
    for (int i = 0; i < 200 && exists(path) != present; ++i)
        Sleep(10);
    return exists(path) == present;
}

}  // namespace

bool MakeSymbolicLink(const std::string& link, const std::string& target)
{
    typedef BOOLEAN(WINAPI * CreateLinkFn)(LPCSTR, LPCSTR, DWORD);
    const CreateLinkFn create = reinterpret_cast<CreateLinkFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA"));
    const DWORD allowUnprivileged = 0x2;
    if (create && create(link.c_str(), target.c_str(), allowUnprivileged) && exists(link))
        return true;

    const std::string unixLink = unixName(link);
    if (unixLink.empty())
        return false;
    std::string unixTarget = target.size() > 1 && target[1] == ':' ? unixName(target) : target;
    for (char& c : unixTarget)
        if (c == '\\')
            c = '/';
    return runHost("Z:\\bin\\ln -s \"" + unixTarget + "\" \"" + unixLink + "\"") && settles(link, true);
}

void RemoveSymbolicLink(const std::string& link)
{
    const std::string unixLink = unixName(link);
    if (unixLink.empty())
        DeleteFileA(link.c_str());
    else if (runHost("Z:\\bin\\rm -f \"" + unixLink + "\""))
        settles(link, false);
}
