// Saving: the old file is replaced in one step or not at all, whatever fails
// and whoever is reading it. (Links: the console's tests.)
#include "DurableFile.h"
#include "HostFile.h"
#include "QuollaFixture.h"

#include <sddl.h>

namespace {

const char kOld[] = "{\"services\": {\"s\": {\"sievex\": {\"activate\": 1}}}}";
const char kNew[] = "{\"services\": {\"s\": {\"sievex\": {\"activate\": 0}}}}";

// Opens path and changes "activate" to 0.
void openAndEdit(Beach& beach, const CString& path)
{
    CString error;
    ASSERT_TRUE(beach.open(path, error, Schema())) << (LPCTSTR)error;
    EXPECT_FALSE(beach.isModified());
    Quolla* q = beach.digQuolla("sievex", "s");
    ASSERT_TRUE(q);
    EXPECT_TRUE(q->setProp("activate", QuoValOf<int>(0)));
    beach.tossQuolla(q);
    EXPECT_TRUE(beach.isModified());
}

// Stand-ins for the steps of a replacement, each failing as a full disk would.
HANDLE WINAPI failCreate(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    SetLastError(ERROR_DISK_FULL);
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI failWrite(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED)
{
    *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// Half the bytes reach the new file, then the disk is full.
BOOL WINAPI failWriteHalfway(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED)
{
    WriteFile(file, data, size / 2, written, NULL);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// Reports success for half the bytes, as a short write does.
BOOL WINAPI writeShort(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED)
{
    return WriteFile(file, data, size / 2, written, NULL);
}

BOOL WINAPI failFlush(HANDLE)
{
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

BOOL WINAPI failReplace(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// The target is in use, and stays so.
BOOL WINAPI failReplaceInUse(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
}

// The target is in use; it can be renamed aside and back, but the new file
// cannot take its name.
int g_renames = 0;
BOOL WINAPI failReplaceAfterStepAside(LPCSTR from, LPCSTR to, DWORD flags)
{
    ++g_renames;
    if (g_renames == 1)
        SetLastError(ERROR_ACCESS_DENIED);
    else if (std::string(from).find(".new") != std::string::npos)
        SetLastError(ERROR_DISK_FULL);
    else
        return MoveFileExA(from, to, flags);
    return FALSE;
}

}  // namespace

TEST_F(QuollaTest, FailureAtEachStepOfTheReplacementLeavesTheOldFile)
{
    const CString path = file("doc.json");
    writeFile(path, kOld);
    const std::string unchanged = "; the file was left as it was";
    const std::string diskFull = durable::systemMessage(ERROR_DISK_FULL) + unchanged;
    struct Case { const char* step; durable::Steps steps; std::string reason; };
    Case cases[] = {
        { "creating the new file", {}, diskFull },
        { "writing it", {}, diskFull },
        { "writing it, half done", {}, diskFull },
        { "a short write", {}, durable::systemMessage(ERROR_WRITE_FAULT) + unchanged },
        { "flushing it", {}, diskFull },
        { "replacing the old file", {}, diskFull },
        { "replacing the old file in use", {}, durable::systemMessage(ERROR_SHARING_VIOLATION) + unchanged },
        { "taking the place of the old file in use", {}, diskFull },
    };
    cases[0].steps.create = failCreate;
    cases[1].steps.write = failWrite;
    cases[2].steps.write = failWriteHalfway;
    cases[3].steps.write = writeShort;
    cases[4].steps.flush = failFlush;
    cases[5].steps.replace = failReplace;
    cases[6].steps.replace = failReplaceInUse;
    cases[7].steps.replace = failReplaceAfterStepAside;
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_FALSE(durable::replaceFile((LPCTSTR)path, kNew, reason, c.steps)) << c.step;
        EXPECT_EQ(reason, c.reason) << c.step;
        EXPECT_EQ(readFile(path), kOld) << c.step;
        EXPECT_EQ(folder(), Names{ "doc.json" }) << c.step << ": a side file was left behind";
    }
    EXPECT_EQ(g_renames, 4) << "the old file was not put back";
    std::string reason;
    EXPECT_TRUE(durable::replaceFile((LPCTSTR)path, kNew, reason));
    EXPECT_EQ(readFile(path), kNew);
    EXPECT_EQ(folder(), Names{ "doc.json" });
}

TEST_F(QuollaTest, AReaderOfTheOldFileKeepsReadingTheOldBytes)
{
    const CString path = file("doc.json");
    writeFile(path, kOld);
    // A file of the same name as the new file's is not the store's to touch.
    writeFile(file("doc.json.new"), "someone else's");
    Beach beach;
    openAndEdit(beach, path);
    HANDLE reader = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                OPEN_EXISTING, 0, NULL);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    CString error;
    EXPECT_TRUE(beach.save(error)) << (LPCTSTR)error;
    EXPECT_FALSE(beach.isModified());
    char seen[128] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(reader, seen, sizeof seen - 1, &got, NULL));
    CloseHandle(reader);
    EXPECT_STREQ(seen, kOld) << "the save wrote into the file in place";
    EXPECT_EQ(readFile(path), kNew);
    EXPECT_EQ(readFile(file("doc.json.new")), "someone else's");
    EXPECT_EQ(folder(), (Names{ "doc.json", "doc.json.new" }));
}

TEST_F(QuollaTest, AReadOnlyFileIsNotReplaced)
{
    const CString path = file("doc.json");
    writeFile(path, kOld);
    Beach beach;
    openAndEdit(beach, path);
    ASSERT_TRUE(SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY));
    Quolla* q = beach.digQuolla("sievex", "s");
    EXPECT_FALSE(q->submit());
    beach.tossQuolla(q);
    CString error;
    EXPECT_FALSE(beach.save(error));
    EXPECT_EQ(error, path + ": cannot save the file: it is read-only; the file was left as it was");
    EXPECT_TRUE(beach.isModified());
    EXPECT_EQ(readFile(path), kOld);
    EXPECT_NE(GetFileAttributesA(path) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(folder(), Names{ "doc.json" });
}

namespace {

// A second save of the same file, started while the first is between its
// check of the file and its replacing step.
struct Rival
{
    CString path;
    std::string readBefore, reason, kept;
    bool saved = false;
    HANDLE thread = NULL;
} g_rival;

DWORD WINAPI rivalSave(LPVOID)
{
    g_rival.saved = durable::replaceFile((LPCTSTR)g_rival.path, "rival", g_rival.reason, durable::Steps(),
                                         &g_rival.readBefore, &g_rival.kept);
    return 0;
}

BOOL WINAPI replaceWhileARivalStarts(LPCSTR from, LPCSTR to, DWORD flags)
{
    if (!g_rival.thread) {
        g_rival.thread = CreateThread(NULL, 0, rivalSave, NULL, 0, NULL);
        // It waits for its turn; without turns it would be done by now.
        WaitForSingleObject(g_rival.thread, 500);
    }
    return MoveFileExA(from, to, flags);
}

}  // namespace

TEST_F(QuollaTest, ASaveStartedWhileAnotherReplacesTheFileWaitsItsTurnAndKeepsItsVersionBeside)
{
    const CString path = file("doc.json");
    writeFile(path, kOld);
    g_rival.path = path;
    g_rival.readBefore = kOld;
    durable::Steps steps;
    steps.replace = replaceWhileARivalStarts;
    std::string reason, kept;
    const std::string readBefore = kOld;
    EXPECT_TRUE(durable::replaceFile((LPCTSTR)path, kNew, reason, steps, &readBefore, &kept)) << reason;
    ASSERT_NE(g_rival.thread, (HANDLE)NULL);
    WaitForSingleObject(g_rival.thread, INFINITE);
    CloseHandle(g_rival.thread);
    EXPECT_FALSE(g_rival.saved);
    EXPECT_EQ(readFile(path), kNew);
    EXPECT_EQ(readFile(g_rival.kept.c_str()), "rival");
    EXPECT_EQ(g_rival.reason, "it changed since it was read; it was left as it is, and the new version was kept as " +
                                  g_rival.kept);
    EXPECT_EQ(folder().size(), 2u) << "a side file was left behind";
}

namespace {

const SECURITY_INFORMATION kDescribed =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// A file's security descriptor as text, the same for equal descriptors.
std::string descriptorOf(const CString& path)
{
    DWORD size = 0;
    GetFileSecurityA(path, kDescribed, NULL, 0, &size);
    std::string bytes(size, '\0');
    if (!size || !GetFileSecurityA(path, kDescribed, (PSECURITY_DESCRIPTOR)&bytes[0], size, &size))
        return "unreadable";
    LPSTR text = NULL;
    ConvertSecurityDescriptorToStringSecurityDescriptorA((PSECURITY_DESCRIPTOR)&bytes[0], SDDL_REVISION_1, kDescribed,
                                                         &text, NULL);
    const std::string result = text ? text : "";
    LocalFree(text);
    return result;
}

// What the side file of the replacement under way holds of protection,
// seen as its bytes are written.
struct SideSeen
{
    CString target;
    std::string descriptor, mode;
    DWORD marks = 0;
} g_side;

BOOL WINAPI writeAndLookAtTheSide(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED)
{
    const CString path = g_side.target + "." + std::to_string(GetCurrentProcessId()).c_str() + ".new";
    g_side.descriptor = descriptorOf(path);
    g_side.mode = HostMode((LPCTSTR)path);
    g_side.marks = GetFileAttributesA(path);
    return WriteFile(file, data, size, written, NULL);
}

// Opens the new file to everyone, as a host that keeps no protection would.
BOOL WINAPI carryNothingAndOpenToEveryone(LPCSTR, LPCSTR to)
{
    SECURITY_DESCRIPTOR open;
    InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&open, TRUE, NULL, FALSE);
    return SetFileSecurityA(to, DACL_SECURITY_INFORMATION, &open);
}

}  // namespace

TEST_F(QuollaTest, AReplacedFileKeepsItsProtectionAndItsNewVersionIsNeverOpenToMore)
{
    const CString path = file("doc.json");
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    g_side.target = path;
    // Under Wine the descriptor is the Unix mode's (the group's rights are not in it).
    for (const char* mode : { "600", "640", "644" }) {
        writeFile(path, kOld);
        if (!SetHostMode((LPCTSTR)path, mode))
            mode = "";
        ASSERT_TRUE(SetFileAttributesA(path, marks));
        const std::string before = descriptorOf(path);
        durable::Steps steps;
        steps.write = writeAndLookAtTheSide;
        std::string reason;
        EXPECT_TRUE(durable::replaceFile((LPCTSTR)path, kNew, reason, steps)) << reason;
        EXPECT_EQ(readFile(path), kNew);
        EXPECT_EQ(descriptorOf(path), before) << mode;
        EXPECT_EQ(g_side.descriptor, before) << mode << ": the new file was open to others while it was written";
        EXPECT_EQ(HostMode((LPCTSTR)path), mode);
        EXPECT_EQ(g_side.mode, mode);
        EXPECT_EQ(GetFileAttributesA(path) & ~FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, marks) << mode;
        EXPECT_EQ(g_side.marks & ~FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, marks) << mode;
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    }

    // A version kept beside a file changed meanwhile is the file's own.
    writeFile(path, kOld);
    SetHostMode((LPCTSTR)path, "600");
    const std::string before = descriptorOf(path);
    const std::string readBefore = "what it held before";
    std::string reason, kept;
    EXPECT_FALSE(durable::replaceFile((LPCTSTR)path, kNew, reason, durable::Steps(), &readBefore, &kept));
    ASSERT_FALSE(kept.empty()) << reason;
    EXPECT_EQ(descriptorOf(kept.c_str()), before);
    if (!HostMode((LPCTSTR)path).empty())
        EXPECT_EQ(HostMode(kept), "600");
}

TEST_F(QuollaTest, ANewVersionThatWouldBeOpenToMoreDoesNotTakeTheFilesPlace)
{
    const CString path = file("doc.json");
    writeFile(path, kOld);
    SetHostMode((LPCTSTR)path, "600");
    const std::string before = descriptorOf(path);
    durable::Steps steps;
    steps.carryHost = carryNothingAndOpenToEveryone;
    std::string reason;
    EXPECT_FALSE(durable::replaceFile((LPCTSTR)path, kNew, reason, steps));
    EXPECT_EQ(reason, "its protection could not be given to the new file, which would be open to more than it is; "
                      "the file was left as it was");
    EXPECT_EQ(readFile(path), kOld);
    EXPECT_EQ(descriptorOf(path), before);
    EXPECT_EQ(folder(), Names{ "doc.json" });
}
