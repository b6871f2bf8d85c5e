// Replacing a file's content so that a crash or a failure leaves either the
// old bytes or the new ones in its place, never a torn file.
#pragma once

#include <windows.h>

#include <string>

namespace durable {

// Gives the file to the permissions the host keeps of the file from beside
// their security descriptors: under Wine the Unix owner, group and mode
// (where the group cannot be from's, to's group gets no rights); on Windows
// there are none, and it does nothing.
BOOL WINAPI carryHostPermissions(LPCSTR from, LPCSTR to);

// The file operations of one replacement, in the order they are made. A test
// swaps one for a failing stand-in to see that the old file survives it.
struct Steps
{
    HANDLE(WINAPI* create)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = CreateFileA;
    BOOL(WINAPI* carryHost)(LPCSTR from, LPCSTR to) = carryHostPermissions;
    BOOL(WINAPI* write)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = WriteFile;
    BOOL(WINAPI* flush)(HANDLE) = FlushFileBuffers;
    BOOL(WINAPI* replace)(LPCSTR, LPCSTR, DWORD) = MoveFileExA;
};

// The file that path reaches in the end, through symbolic links and
// junctions; path itself when there is no such file (yet).
std::string finalPath(const std::string& path);

// Writes bytes to a new file beside the file path reaches, flushes it to the
// disk and puts it in that file's place in one step, so a link on the way
// stays a link. A read-only file or a folder is not replaced. On failure:
// false, the old file as it was, the new one removed, and reason says why
// and that the file was left as it was (a phrase without the path); in the
// one case where a failure could not put the old file back, it says where
// both files are.
//
// With readBefore, the file must still hold exactly those bytes (what was
// read of it) as its place is taken. If it does not, someone changed it
// since: it is left as it is, the new bytes are kept beside it under a name
// of their own (never an existing file's), keptAs gives it and reason says
// so. Replacements of one file by the processes of this machine take
// turns between that check and the replacing step, so none comes between.
//
// The new file is "<file>.<pid>.new" (or "<file>.<pid>-<n>.new"), held open
// until it has taken the file's place. It is made with the file's protection
// (security descriptor: owner, group, access list; under Wine the Unix
// permissions too), its hidden, system, archive and not-indexed marks and
// its creation time, so that it is never open to anyone the file is not
// open to, and the file keeps all of them; so does a version kept beside.
// Where the owner or group cannot be carried over, the new file is taken
// only if its access list grants no one more than the file's did; a file
// whose descriptor cannot be read is not replaced. A file that does not
// exist yet gets the folder's default. Such files that a replacement killed
// on the way left behind, and that nobody holds, are removed first.
bool replaceFile(const std::string& path, const std::string& bytes, std::string& reason,
                 const Steps& steps = Steps(), const std::string* readBefore = NULL, std::string* keptAs = NULL);

// Whether a file could take the place of the file path reaches now, found
// without changing anything that stays: false, with the reason, for a
// folder, a read-only file, and a folder or volume where no file can be made.
bool canReplace(const std::string& path, std::string& reason);

// Reads a whole file of at most limit bytes into bytes.
//   Done      read whole
//   Folder    the path names a folder
//   TooLarge  the file says it is larger (declared), or gave more than
//             limit bytes though it said less (declared no more than limit:
//             a device that never ends, a file that grows)
//   Failed    it could not be opened or read, or the memory ran out
//             (failure says why)
enum class Reading { Done, Folder, TooLarge, Failed };
Reading readFile(const std::string& path, size_t limit, std::string& bytes, unsigned long long& declared,
              DWORD& failure);

// The system's text for an error code, without the full stop and line end.
std::string systemMessage(DWORD code);

}  // namespace durable
