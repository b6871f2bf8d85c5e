#include "SymbolicLink.h"
#include "HostFile.h"

#include <windows.h>

namespace {

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

    const std::string unixLink = UnixName(link);
    if (unixLink.empty())
        return false;
    std::string unixTarget = target.size() > 1 && target[1] == ':' ? UnixName(target) : target;
    for (char& c : unixTarget)
        if (c == '\\')
            c = '/';
    return runHost("Z:\\bin\\ln -s \"" + unixTarget + "\" \"" + unixLink + "\"") && settles(link, true);
}

void RemoveSymbolicLink(const std::string& link)
{
    const std::string unixLink = UnixName(link);
    if (unixLink.empty())
        DeleteFileA(link.c_str());
    else if (runHost("Z:\\bin\\rm -f \"" + unixLink + "\""))
        settles(link, false);
}
