#include "DurableFile.h"

#include <aclapi.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace durable {

namespace {

// Vista and later; on older systems a path is taken as it stands.
typedef DWORD(WINAPI* FinalPathNameFn)(HANDLE, LPSTR, DWORD, DWORD);

FinalPathNameFn finalPathNameFn()
{
    static const FinalPathNameFn fn = reinterpret_cast<FinalPathNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA"));
    return fn;
}

// A failed call that left no error code still failed.
DWORD lastError()
{
    const DWORD code = GetLastError();
    return code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE;
}

const char kUnchanged[] = "; the file was left as it was";

bool startsWith(const std::string& s, const char* prefix)
{
    return s.compare(0, strlen(prefix), prefix) == 0;
}

}  // namespace

std::string systemMessage(DWORD code)
{
    char text[512];
    std::string message;
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0, text,
                       sizeof text, NULL))
        message = text;
    while (!message.empty() && strchr("\r\n .", message.back()))
        message.pop_back();
    if (message.empty())
        message = "system error " + std::to_string(code);
    return message;
}

std::string finalPath(const std::string& path)
{
    const FinalPathNameFn fn = finalPathNameFn();
    if (!fn)
        return path;
    // Backup semantics let a folder be opened too; no access right is needed
    // to ask for a name.
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return path;
    std::string name(MAX_PATH, '\0');
    DWORD length = fn(file, &name[0], (DWORD)name.size(), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = fn(file, &name[0], (DWORD)name.size(), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(file);
    if (length == 0 || length >= name.size())
        return path;
    name.resize(length);
    // The answer comes in the long-path form: "\\?\C:\..." or "\\?\UNC\server\...".
    if (startsWith(name, "\\\\?\\UNC\\"))
        return "\\\\" + name.substr(8);
    if (startsWith(name, "\\\\?\\"))
        return name.substr(4);
    return name;
}

namespace {

// Why a file cannot be replaced by its kind or mark; empty when it can.
std::string unreplaceable(const std::string& target)
{
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "it is a folder";
    // Renaming over a read-only file works on some systems; its mark says no.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return "it is read-only";
    return std::string();
}

typedef char*(CDECL* UnixNameFn)(LPCWSTR);
typedef LONG(WINAPI* SpawnFn)(char* const argv[], int wait);  // a system call: stdcall

// Wine's ways to the host: a path's Unix name, and running a host program.
// Both null on Windows.
UnixNameFn unixNameFn()
{
    static const UnixNameFn fn = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    return fn;
}

SpawnFn spawnFn()
{
    static const SpawnFn fn = reinterpret_cast<SpawnFn>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp"));
    return fn;
}

bool underWine()
{
    return unixNameFn() && spawnFn();
}

std::string unixName(const char* path)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, NULL, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    if (length <= 0 || !MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], length))
        return std::string();
    char* name = unixNameFn()(wide.c_str());
    if (!name)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

const SECURITY_INFORMATION kDescribed =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
const DWORD kKeptMarks =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// What a file in target's place takes over from it besides its name.
struct Protection
{
    std::string descriptor;  // self-relative; empty when there is none to keep
    DWORD marks = 0;
    FILETIME created = {};
    bool exists = false;
};

// False, with the failure, when target exists but its descriptor cannot be
// read. A file system that keeps none leaves the descriptor empty.
bool readProtection(const std::string& target, Protection& protection, DWORD& failure)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data))
        return true;  // a new file: the folder's default, as for any
    protection.exists = true;
    protection.marks = data.dwFileAttributes & kKeptMarks;
    protection.created = data.ftCreationTime;
    DWORD size = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        protection.descriptor.resize(size);
        if (GetFileSecurityA(target.c_str(), kDescribed,
                             size ? (PSECURITY_DESCRIPTOR)&protection.descriptor[0] : NULL, size, &size))
            return true;
        failure = lastError();
        if (failure == ERROR_NOT_SUPPORTED || failure == ERROR_INVALID_FUNCTION) {
            protection.descriptor.clear();
            return true;
        }
        if (failure != ERROR_INSUFFICIENT_BUFFER)
            return false;
    }
    return false;
}

PSID ownerOf(PSECURITY_DESCRIPTOR descriptor)
{
    PSID sid = NULL;
    BOOL defaulted = FALSE;
    GetSecurityDescriptorOwner(descriptor, &sid, &defaulted);
    return sid;
}

PSID groupOf(PSECURITY_DESCRIPTOR descriptor)
{
    PSID sid = NULL;
    BOOL defaulted = FALSE;
    GetSecurityDescriptorGroup(descriptor, &sid, &defaulted);
    return sid;
}

// Null for a missing or null access list: everyone may do anything.
PACL aclOf(PSECURITY_DESCRIPTOR descriptor)
{
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = NULL;
    GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted);
    return present ? acl : NULL;
}

bool sameSid(PSID a, PSID b)
{
    return a == b || (a && b && EqualSid(a, b));
}

bool sameDescriptor(PSECURITY_DESCRIPTOR a, PSECURITY_DESCRIPTOR b)
{
    const PACL aclA = aclOf(a), aclB = aclOf(b);
    return sameSid(ownerOf(a), ownerOf(b)) && sameSid(groupOf(a), groupOf(b)) &&
           (aclA == aclB || (aclA && aclB && aclA->AclSize == aclB->AclSize && memcmp(aclA, aclB, aclA->AclSize) == 0));
}

// The SID an allowing or denying entry names; null for other kinds.
PSID sidOf(const ACE_HEADER* ace)
{
    if (ace->AceType == ACCESS_ALLOWED_ACE_TYPE)
        return (PSID)&((const ACCESS_ALLOWED_ACE*)ace)->SidStart;
    if (ace->AceType == ACCESS_DENIED_ACE_TYPE)
        return (PSID)&((const ACCESS_DENIED_ACE*)ace)->SidStart;
    return NULL;
}

// What acl grants to someone who is sid and, as everyone is, Everyone. In
// the order of the entries, the first to allow or deny a right decides it.
ACCESS_MASK rightsOf(PACL acl, PSID sid, PSID everyone)
{
    GENERIC_MAPPING mapping = { FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS };
    if (!acl)
        return FILE_ALL_ACCESS;
    ACCESS_MASK granted = 0, denied = 0;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACE_HEADER* ace = NULL;
        if (!GetAce(acl, i, (LPVOID*)&ace) || (ace->AceFlags & INHERIT_ONLY_ACE))
            continue;
        const PSID named = sidOf(ace);
        if (!named || !(EqualSid(named, sid) || EqualSid(named, everyone)))
            continue;
        ACCESS_MASK mask = ((const ACCESS_ALLOWED_ACE*)ace)->Mask;
        MapGenericMask(&mask, &mapping);
        if (ace->AceType == ACCESS_ALLOWED_ACE_TYPE)
            granted |= mask & ~denied;
        else
            denied |= mask & ~granted;
    }
    return granted;
}

// Whether wider's access list grants anyone a right that narrower's does not.
bool grantsMore(PSECURITY_DESCRIPTOR wider, PSECURITY_DESCRIPTOR narrower)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = NULL;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return true;
    const PACL lists[] = { aclOf(wider), aclOf(narrower) };
    bool more = !lists[0] && lists[1];
    for (PACL list : lists) {
        for (DWORD i = 0; list && !more && i < list->AceCount; ++i) {
            ACE_HEADER* ace = NULL;
            const PSID sid = GetAce(list, i, (LPVOID*)&ace) ? sidOf(ace) : NULL;
            more = sid && (rightsOf(lists[0], sid, everyone) & ~rightsOf(lists[1], sid, everyone)) != 0;
        }
    }
    more = more || (rightsOf(lists[0], everyone, everyone) & ~rightsOf(lists[1], everyone, everyone)) != 0;
    FreeSid(everyone);
    return more;
}

// A descriptor for a new file that carries protection's, in absolute form
// so that parts of it can be left out.
class CreationDescriptor
{
public:
    // full: owner, group and access list; otherwise the access list alone
    // (the owner and group are then the creator's). Under Wine the new file
    // is made open to nobody, as its permissions come from the host.
    CreationDescriptor(const Protection& protection, bool full)
    {
        InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION);
        const PSECURITY_DESCRIPTOR source = (PSECURITY_DESCRIPTOR)protection.descriptor.data();
        if (protection.descriptor.empty())
            return;
        if (underWine()) {
            InitializeAcl(&m_nobody, sizeof m_nobody, ACL_REVISION);
            SetSecurityDescriptorDacl(&m_descriptor, TRUE, &m_nobody, FALSE);
            return;
        }
        if (full) {
            SetSecurityDescriptorOwner(&m_descriptor, ownerOf(source), FALSE);
            SetSecurityDescriptorGroup(&m_descriptor, groupOf(source), FALSE);
        }
        SetSecurityDescriptorDacl(&m_descriptor, TRUE, aclOf(source), FALSE);
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        if (GetSecurityDescriptorControl(source, &control, &revision))
            SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, control & SE_DACL_PROTECTED);
    }
    SECURITY_ATTRIBUTES* attributes()
    {
        m_attributes = { sizeof m_attributes, &m_descriptor, FALSE };
        return &m_attributes;
    }

private:
    SECURITY_DESCRIPTOR m_descriptor;
    ACL m_nobody;
    SECURITY_ATTRIBUTES m_attributes;
};

// A new file of ours beside target, named as the header says, with what
// protection holds of target (NULL: the folder's default). It is shared for
// deletion only, so that it can be renamed while it is held; whoever else
// tries to open it fails while it is held.
HANDLE createSide(const std::string& target, const Steps& steps, DWORD flags, const Protection* protection,
                  std::string& name, DWORD& failure)
{
    const bool protect = protection && !protection->descriptor.empty();
    const DWORD marks = protection ? protection->marks : 0;
    const std::string side = target + "." + std::to_string(GetCurrentProcessId());
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0, full = 1; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        name = side + (attempt ? "-" + std::to_string(attempt) : std::string()) + ".new";
        CreationDescriptor descriptor(protect ? *protection : Protection(), full != 0);
        file = steps.create(name.c_str(), GENERIC_WRITE | DELETE | READ_CONTROL, FILE_SHARE_DELETE,
                            protect ? descriptor.attributes() : NULL, CREATE_NEW,
                            (marks ? marks : FILE_ATTRIBUTE_NORMAL) | flags, NULL);
        failure = file == INVALID_HANDLE_VALUE ? lastError() : ERROR_SUCCESS;
        // Only a privileged user may give a file someone else's owner or
        // group: the file is then the creator's, with the same access list.
        if (protect && full && (failure == ERROR_INVALID_OWNER || failure == ERROR_INVALID_PRIMARY_GROUP)) {
            full = 0;
            --attempt;
        } else if (failure != ERROR_FILE_EXISTS && failure != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    return file;
}

// Completes the protection of the side file temporary, made by createSide
// and still empty: the host's permissions and the creation time. False, with
// why, when it would let anyone do more with it than with target.
bool protectSide(HANDLE file, const std::string& temporary, const std::string& target, const Protection& protection,
                 const Steps& steps, std::string& why)
{
    if (!protection.exists)
        return true;
    if (!steps.carryHost(target.c_str(), temporary.c_str())) {
        why = "its permissions could not be given to the new file: " + systemMessage(lastError());
        return false;
    }
    // Not every file system keeps a settable creation time; the descriptor
    // and the marks are what protect the file.
    SetFileTime(file, &protection.created, NULL, NULL);
    if (protection.descriptor.empty())
        return true;
    PSECURITY_DESCRIPTOR given = NULL;
    const DWORD failure = GetSecurityInfo(file, SE_FILE_OBJECT, kDescribed, NULL, NULL, NULL, NULL, &given);
    if (failure != ERROR_SUCCESS) {
        why = "the protection of the new file could not be read back: " + systemMessage(failure);
        return false;
    }
    const PSECURITY_DESCRIPTOR wanted = (PSECURITY_DESCRIPTOR)protection.descriptor.data();
    const bool wider = !sameDescriptor(given, wanted) && grantsMore(given, wanted);
    LocalFree(given);
    if (wider)
        why = "its protection could not be given to the new file, which would be open to more than it is";
    return !wider;
}

// Whether name, of a file in target's folder, is that of a side file of a
// replacement of target.
bool isSideFile(const std::string& targetName, const char* name)
{
    if (_strnicmp(name, targetName.c_str(), targetName.size()) != 0 || name[targetName.size()] != '.')
        return false;
    const char* p = name + targetName.size() + 1;
    for (int part = 0; part < 2; ++part) {
        const char* digits = p;
        while (*p >= '0' && *p <= '9')
            ++p;
        if (p == digits)
            return false;
        if (*p != '-')
            break;
        ++p;
    }
    return _stricmp(p, ".new") == 0;
}

// Removes the side files that replacements of target left behind when they
// were killed. A replacement holds its file until it is done, and a file is
// removed only through a handle that shares nothing, so one still held (its
// replacement is running) is never touched.
void removeLeftovers(const std::string& target)
{
    const size_t slash = target.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = target.substr(folder.size());
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((target + ".*.new").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !isSideFile(name, data.cFileName))
            continue;
        HANDLE leftover = CreateFileA((folder + data.cFileName).c_str(), DELETE, 0, NULL, OPEN_EXISTING,
                                      FILE_FLAG_DELETE_ON_CLOSE, NULL);
        if (leftover != INVALID_HANDLE_VALUE)
            CloseHandle(leftover);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

// Makes the replacements of one file by the processes of this machine take
// turns, from checking what the file holds to taking its place. The turn of
// a process that died passes on; one that hangs is waited for a minute at
// most, and then the check is made all the same.
class Turn
{
public:
    explicit Turn(const std::string& target)
    {
        std::string key = target;
        CharUpperBuffA(&key[0], (DWORD)key.size());
        unsigned long long hash = 14695981039346656037ull;  // FNV-1a: a name of fixed length
        for (char c : key)
            hash = (hash ^ (unsigned char)c) * 1099511628211ull;
        char name[64];
        sprintf(name, "Local\\quolla-replace-%08lx%08lx", (unsigned long)(hash >> 32), (unsigned long)hash);
        m_mutex = CreateMutexA(NULL, FALSE, name);
        const DWORD waited = m_mutex ? WaitForSingleObject(m_mutex, 60000) : WAIT_FAILED;
        m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~Turn()
    {
        if (m_owned)
            ReleaseMutex(m_mutex);
        if (m_mutex)
            CloseHandle(m_mutex);
    }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

private:
    HANDLE m_mutex;
    bool m_owned;
};

enum class Now { Same, Changed, Unreadable };

// Whether the file holds exactly bytes; a file that is gone has changed.
Now compareWith(const std::string& path, const std::string& bytes, DWORD& failure)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        failure = lastError();
        return failure == ERROR_FILE_NOT_FOUND || failure == ERROR_PATH_NOT_FOUND ? Now::Changed : Now::Unreadable;
    }
    LARGE_INTEGER size;
    Now now = GetFileSizeEx(file, &size) && (unsigned long long)size.QuadPart == bytes.size() ? Now::Same
                                                                                               : Now::Changed;
    char chunk[65536];
    size_t at = 0;
    while (now == Now::Same) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, NULL)) {
            failure = lastError();
            now = Now::Unreadable;
        } else if (got == 0) {
            now = at == bytes.size() ? Now::Same : Now::Changed;
            break;
        } else if (got > bytes.size() - at || memcmp(chunk, bytes.data() + at, got) != 0) {
            now = Now::Changed;
        }
        at += got;
    }
    CloseHandle(file);
    return now;
}

// Gives the new file a name of its own beside target, "<file>.<time>.mine",
// that no file has yet.
bool keepBeside(const std::string& temporary, const std::string& target, const Steps& steps, std::string& kept)
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    sprintf(stamp, ".%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    for (int attempt = 1; attempt <= 100; ++attempt) {
        kept = target + stamp + (attempt > 1 ? "-" + std::to_string(attempt) : std::string()) + ".mine";
        if (steps.replace(temporary.c_str(), kept.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD failure = GetLastError();
        if (failure != ERROR_ALREADY_EXISTS && failure != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

}  // namespace

Reading readFile(const std::string& path, size_t limit, std::string& bytes, unsigned long long& declared,
              DWORD& failure)
{
    declared = 0;
    failure = ERROR_SUCCESS;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Reading::Folder;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        failure = lastError();
        return Reading::Failed;
    }
    // The size said is checked first, but what is read counts: a device or
    // a growing file may give more.
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size))
        declared = (unsigned long long)size.QuadPart;
    bool overLimit = declared > limit;
    try {
        if (!overLimit)
            bytes.reserve((size_t)declared);
        char chunk[65536];
        DWORD got = 0;
        while (!overLimit) {
            if (!ReadFile(file, chunk, sizeof chunk, &got, NULL)) {
                failure = lastError();
                break;
            }
            if (got == 0)
                break;
            overLimit = bytes.size() + got > limit;
            if (!overLimit)
                bytes.append(chunk, got);
        }
    } catch (const std::bad_alloc&) {
        failure = ERROR_NOT_ENOUGH_MEMORY;
    }
    CloseHandle(file);
    return overLimit ? Reading::TooLarge : failure != ERROR_SUCCESS ? Reading::Failed : Reading::Done;
}

BOOL WINAPI carryHostPermissions(LPCSTR from, LPCSTR to)
{
    if (!underWine())
        return TRUE;
    std::string source = unixName(from), target = unixName(to);
    if (source.empty() || target.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    // The owner and group first, while the new file is open to nobody, then
    // the mode. A user may give a file only a group of their own: where it
    // cannot be from's, the group's digit of the mode is left at 0.
    static const char script[] =
        "if chown --reference=\"$1\" \"$2\" 2>/dev/null; then chmod --reference=\"$1\" \"$2\"; "
        "else m=$(stat -c %04a \"$1\") && chmod \"${m%??}0${m#???}\" \"$2\"; fi";
    char* argv[] = { (char*)"/bin/sh", (char*)"-c", (char*)script, (char*)"sh", &source[0], &target[0], NULL };
    if (spawnFn()(argv, 1) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

bool canReplace(const std::string& path, std::string& reason)
{
    const std::string target = finalPath(path);
    reason = unreplaceable(target);
    if (!reason.empty())
        return false;
    // A file made and gone again: no trace stays, even if the process dies.
    std::string probe;
    DWORD failure = ERROR_SUCCESS;
    HANDLE file = createSide(target, Steps(), FILE_FLAG_DELETE_ON_CLOSE, NULL, probe, failure);
    if (file == INVALID_HANDLE_VALUE) {
        reason = "no file can be made in its folder: " + systemMessage(failure);
        return false;
    }
    CloseHandle(file);
    return true;
}

bool replaceFile(const std::string& path, const std::string& bytes, std::string& reason, const Steps& steps,
                 const std::string* readBefore, std::string* keptAs)
{
    const std::string target = finalPath(path);
    reason = unreplaceable(target);
    if (!reason.empty()) {
        reason += kUnchanged;
        return false;
    }
    removeLeftovers(target);

    Protection protection;
    DWORD failure = ERROR_SUCCESS;
    if (!readProtection(target, protection, failure)) {
        reason = "its protection could not be read: " + systemMessage(failure) + kUnchanged;
        return false;
    }
    std::string temporary;
    HANDLE file = createSide(target, steps, 0, &protection, temporary, failure);
    if (file == INVALID_HANDLE_VALUE) {
        reason = systemMessage(failure) + kUnchanged;
        return false;
    }
    if (!protectSide(file, temporary, target, protection, steps, reason)) {
        CloseHandle(file);
        reason += kUnchanged;
        if (!DeleteFileA(temporary.c_str()))
            reason += "; the unfinished copy " + temporary + " could not be removed";
        return false;
    }

    DWORD written = 0;
    if (!steps.write(file, bytes.data(), (DWORD)bytes.size(), &written, NULL))
        failure = lastError();
    else if (written != bytes.size())
        failure = ERROR_WRITE_FAULT;
    else if (!steps.flush(file))
        failure = lastError();

    Turn turn(target);
    const Now now = failure != ERROR_SUCCESS || !readBefore ? Now::Same : compareWith(target, *readBefore, failure);
    if (now == Now::Changed) {
        std::string kept;
        const bool keptBeside = keepBeside(temporary, target, steps, kept);
        failure = keptBeside ? ERROR_SUCCESS : lastError();
        CloseHandle(file);
        reason = "it changed since it was read; it was left as it is";
        if (keptBeside) {
            reason += ", and the new version was kept as " + kept;
            if (keptAs)
                *keptAs = kept;
            return false;
        }
        reason += ", and the new version could not be kept beside it: " + systemMessage(failure);
        DeleteFileA(temporary.c_str());
        return false;
    }

    const DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (failure == ERROR_SUCCESS && !steps.replace(temporary.c_str(), target.c_str(), flags | MOVEFILE_REPLACE_EXISTING)) {
        failure = lastError();
        // A file someone holds open cannot be renamed over (Wine, and Windows
        // without POSIX semantics, refuse it even when the holder shares
        // deletion), but it can be renamed. So the old file steps aside, the
        // new one takes its name, and the old one goes; a reader keeps the
        // old bytes. For that instant the name is missing, but both files
        // are whole under their side names.
        const std::string aside = target + "." + std::to_string(GetCurrentProcessId()) + ".old";
        if ((failure == ERROR_ACCESS_DENIED || failure == ERROR_SHARING_VIOLATION)
            && steps.replace(target.c_str(), aside.c_str(), flags)) {
            if (steps.replace(temporary.c_str(), target.c_str(), flags)) {
                failure = ERROR_SUCCESS;
                DeleteFileA(aside.c_str());
            } else {
                failure = lastError();
                if (!steps.replace(aside.c_str(), target.c_str(), flags)) {
                    CloseHandle(file);
                    reason = systemMessage(failure) + "; the old file is now " + aside + " and the new one " +
                             temporary;
                    return false;
                }
            }
        }
    }
    CloseHandle(file);
    if (failure == ERROR_SUCCESS)
        return true;

    if (now == Now::Unreadable)
        reason = "it could not be read to see whether it changed since: ";
    else
        reason.clear();
    reason += systemMessage(failure) + kUnchanged;
    if (!DeleteFileA(temporary.c_str()))
        reason += "; the unfinished copy " + temporary + " could not be removed";
    return false;
}

}  // namespace durable
