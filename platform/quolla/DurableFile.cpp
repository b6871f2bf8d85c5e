#include "DurableFile.h"

#include <cstring>

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

bool replaceFile(const std::string& path, const std::string& bytes, std::string& reason, const Steps& steps)
{
    const std::string target = finalPath(path);
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason = std::string("it is a folder") + kUnchanged;
        return false;
    }
    // Renaming over a read-only file works on some systems; its mark says no.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        reason = std::string("it is read-only") + kUnchanged;
        return false;
    }

    // Names of our own beside the target, so that no other file is touched.
    const std::string side = target + "." + std::to_string(GetCurrentProcessId());
    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD failure = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = side + (attempt ? "-" + std::to_string(attempt) : std::string()) + ".new";
        file = steps.create(temporary.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        failure = file == INVALID_HANDLE_VALUE ? lastError() : ERROR_SUCCESS;
        if (failure != ERROR_FILE_EXISTS && failure != ERROR_ALREADY_EXISTS)
            break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        reason = systemMessage(failure) + kUnchanged;
        return false;
    }

    DWORD written = 0;
    if (!steps.write(file, bytes.data(), (DWORD)bytes.size(), &written, NULL))
        failure = lastError();
    else if (written != bytes.size())
        failure = ERROR_WRITE_FAULT;
    else if (!steps.flush(file))
        failure = lastError();
    CloseHandle(file);

    const DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (failure == ERROR_SUCCESS && !steps.replace(temporary.c_str(), target.c_str(), flags | MOVEFILE_REPLACE_EXISTING)) {
        failure = lastError();
        // A file someone holds open cannot be renamed over (Wine, and Windows
        // without POSIX semantics, refuse it even when the holder shares
        // deletion), but it can be renamed. So the old file steps aside, the
        // new one takes its name, and the old one goes; a reader keeps the
        // old bytes. For that instant the name is missing, but both files
        // are whole under their side names.
        const std::string aside = side + ".old";
        if ((failure == ERROR_ACCESS_DENIED || failure == ERROR_SHARING_VIOLATION)
            && steps.replace(target.c_str(), aside.c_str(), flags)) {
            if (steps.replace(temporary.c_str(), target.c_str(), flags)) {
                failure = ERROR_SUCCESS;
                DeleteFileA(aside.c_str());
            } else {
                failure = lastError();
                if (!steps.replace(aside.c_str(), target.c_str(), flags)) {
                    reason = systemMessage(failure) + "; the old file is now " + aside + " and the new one " +
                             temporary;
                    return false;
                }
            }
        }
    }
    if (failure == ERROR_SUCCESS)
        return true;

    reason = systemMessage(failure) + kUnchanged;
    if (!DeleteFileA(temporary.c_str()))
        reason += "; the unfinished copy " + temporary + " could not be removed";
    return false;
}

}  // namespace durable
