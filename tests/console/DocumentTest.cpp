// The console and the document on disk: texts in any script, refusals at
// open, and saves that say what reached the disk.
#include "ConsoleFixture.h"
#include "HostFile.h"
#include "SymbolicLink.h"
#include "resource.h"

namespace {

// Switches "block all" on the page shown, then presses OK.
void SwitchBlockAllAndConfirm(HWND sheet)
{
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    SendMessageA(GetDlgItem(page, IDC_BLOCK_ALL), BM_CLICK, 0, 0);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
}

// Makes a folder read-only for as long as it lives, on the host's side: Wine
// keeps no read-only mark on a folder, and a folder's permissions do not
// stop a superuser, but an immutable one does. Where none of that can be
// done (not under Wine, or the host will not), made() is false.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const std::string& folder) : m_folder(folder)
    {
        typedef char*(CDECL * UnixName)(LPCWSTR);
        const auto unixName = (UnixName)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
        std::wstring wide(folder.begin(), folder.end());
        char* name = unixName ? unixName(wide.c_str()) : NULL;
        if (name != NULL) {
            m_unix = name;
            HeapFree(GetProcessHeap(), 0, name);
        }
        host("chmod a-w '" + m_unix + "'; chattr +i '" + m_unix + "'");
        HANDLE probe = CreateFileA((folder + "\\probe").c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                   FILE_FLAG_DELETE_ON_CLOSE, NULL);
        m_made = probe == INVALID_HANDLE_VALUE;
        if (!m_made)
            CloseHandle(probe);
    }
    ~ReadOnlyFolder() { host("chattr -i '" + m_unix + "'; chmod u+w '" + m_unix + "'"); }
    bool made() const { return m_made; }

private:
    // Runs a command of the host's shell and waits for it.
    void host(const std::string& command)
    {
        typedef LONG(WINAPI * Spawn)(char* const argv[], int wait);  // a system call: stdcall
        const auto spawn = (Spawn)GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp");
        std::string line = command + " 2>/dev/null";
        char* argv[] = { (char*)"/bin/sh", (char*)"-c", &line[0], NULL };
        if (spawn && !m_unix.empty())
            spawn(argv, 1);
    }

    std::string m_folder, m_unix;
    bool m_made = false;
};

} // namespace

TEST_F(Console, NamesInAnyScriptComeBackAsTheyWere)
{
    // Two groups and two exceptions that a legacy code page would both read
    // as "?", and a message in Cyrillic.
    std::string text = ReadFile(document);
    text = Replaced(text, "\"Staff\"", "\"\xE4\xB8\xAD\"");
    text = Replaced(text, "\"Everyone\"", "\"\xE6\x96\x87\"");
    text = Replaced(text, "\"10.1.2.3\"", "\"\xE4\xB8\xAD.example\"");
    text = Replaced(text, "\"10.1.2.4:8080 \"", "\"\xE6\x96\x87.example\"");
    text = Replaced(text, "Access to this site", "\xD0\x94\xD0\xBE\xD1\x81\xD1\x82\xD1\x83\xD0\xBF");
    WriteText(document, text);
    EXPECT_EQ(0u, OpenAndPress(StandardArgs(), PSBTN_OK)) << Errors();
    EXPECT_EQ(text, ReadFile(document));
    EXPECT_EQ("", Errors());
}

TEST_F(Console, TextsTheEditorCouldNotHoldAreRefusedNamingTheKey)
{
    std::string text = ReadFile(document);
    text = Replaced(text, "\"01\": {", "\"0\\u00001\": {");
    WriteText(document, text);
    EXPECT_EQ(2u, Run(StandardArgs()));
    EXPECT_EQ("console: " + document + ": line 27: key \"ip_port\" in section \"sievex\" of service \"http-proxy\": "
              "the key of server \"0\\u00001\" must not contain U+0000\n",
              Errors());
    EXPECT_EQ(text, ReadFile(document));
}

TEST_F(Console, ADocumentThatCouldNotBeSavedIsRefusedBeforeTheSheet)
{
    const std::string before = ReadFile(document);
    const std::string notOpened = "; it was not opened for editing\n";
    ASSERT_TRUE(SetFileAttributesA(document.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(2u, Run(StandardArgs() + " --exceptions-only"));
    EXPECT_EQ("console: " + document + ": cannot save the file: it is read-only" + notOpened, Errors());
    // Screenshots only read it.
    EXPECT_EQ(1u, Run(StandardArgs() + " --screenshots \"" + folder + "\\shots\""));
    EXPECT_NE(std::string::npos, Errors().find("7 screenshots written")) << Errors();
    EXPECT_EQ(before, ReadFile(document));
    EXPECT_NE(0u, GetFileAttributesA(document.c_str()) & FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(SetFileAttributesA(document.c_str(), FILE_ATTRIBUTE_NORMAL));
    ReadOnlyFolder readOnly(folder);
    if (!readOnly.made())
        GTEST_SKIP() << "no folder can be made read-only here";
    EXPECT_EQ(2u, Run(StandardArgs()));
    const std::string errors = Errors();
    EXPECT_EQ(0u, errors.find("console: " + document + ": cannot save the file: no file can be made in its folder: "))
        << errors;
    EXPECT_EQ(errors.size() - notOpened.size(), errors.rfind(notOpened)) << errors;
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, AFailedSaveSaysSoAndLeavesTheFileAsItWas)
{
    const std::string before = ReadFile(document);
    Start(StandardArgs());
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);
    // Another program holds the document open and lets nobody rename or
    // delete it: every write the console tries fails.
    HANDLE held = CreateFileA(document.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ShowPage(sheet, PageIndex(sheet, "VG: Non-operational Privileges"));
    SwitchBlockAllAndConfirm(sheet);
    EXPECT_EQ(2u, WaitForExit());
    CloseHandle(held);
    const std::string errors = Errors();
    EXPECT_EQ(0u, errors.find("console: " + document + ": cannot save the file: ")) << errors;
    EXPECT_NE(std::string::npos, errors.find("; the file was left as it was\n")) << errors;
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, EverySaveKeepsWhoMayReadTheDocument)
{
    const std::string list = folder + "\\list.txt";
    int imports = 0;
    for (const char* mode : { "600", "640", "644" }) {
        if (!SetHostMode(document, mode))
            GTEST_SKIP() << "Unix permissions are Wine's";
        Start(StandardArgs());
        HWND sheet = WaitForSheet();
        ASSERT_NE(nullptr, sheet);
        ShowPage(sheet, PageIndex(sheet, "VG: Non-operational Privileges"));
        SwitchBlockAllAndConfirm(sheet);
        EXPECT_EQ(0u, WaitForExit()) << Errors();
        EXPECT_EQ(mode, HostMode(document)) << "after OK";

        EXPECT_EQ(0u, OpenAndPress(StandardArgs() + " --exceptions-only", PSBTN_OK)) << Errors();
        EXPECT_EQ(mode, HostMode(document)) << "after OK on the exceptions alone";

        WriteText(list, "10.9.0." + std::to_string(++imports) + "\n");
        EXPECT_EQ(0u, Run(StandardArgs() + " --import-exceptions allowed \"" + list + "\"")) << Errors();
        EXPECT_EQ(mode, HostMode(document)) << "after an import";
    }
    // An export over an existing file keeps that file's permissions.
    ASSERT_TRUE(SetHostMode(list, "600"));
    EXPECT_GE(1u, Run(StandardArgs() + " --export-exceptions denied \"" + list + "\"")) << Errors();
    EXPECT_NE("10.9.0.3\n", ReadFile(list));
    EXPECT_EQ("600", HostMode(list));
}

TEST_F(Console, ADocumentReachedThroughALinkIsSavedWhereItLeads)
{
    const std::string real = folder + "\\real";
    CreateDirectoryA(real.c_str(), NULL);
    ASSERT_TRUE(MoveFileA(document.c_str(), (real + "\\http-proxy.json").c_str()));
    const std::string link = document;
    if (!MakeSymbolicLink(link, "real\\http-proxy.json"))
        GTEST_SKIP() << "no symbolic links here";
    document = real + "\\http-proxy.json";

    Start("--document \"" + link + "\" --service http-proxy --data-folder \"" + folder + "\"");
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);
    ShowPage(sheet, PageIndex(sheet, "VG: Non-operational Privileges"));
    SwitchBlockAllAndConfirm(sheet);
    EXPECT_EQ(0u, WaitForExit()) << Errors();
    EXPECT_TRUE(StoredWorkingGroup().nonOpBlockAll);
    // Still a link: what is written to the real document shows through it.
    WriteText(document, "later");
    EXPECT_EQ("later", ReadFile(link));
    RemoveSymbolicLink(link);
}

namespace {

// Two consoles on one document, both with the sheet up; the first saves first.
class TwoConsoles : public Console
{
protected:
    PROCESS_INFORMATION later = {};
    HWND first = NULL, second = NULL;

    void TearDown() override
    {
        if (later.hProcess)
            TerminateProcess(later.hProcess, 99);
        Console::TearDown();
    }
    void OpenBoth()
    {
        Start(StandardArgs());
        first = WaitForSheet();
        std::swap(process, later);
        streamsTag = "-later";
        Start(StandardArgs());
        second = WaitForSheet();
        std::swap(process, later);
        ASSERT_TRUE(first && second);
    }
    // The first one's edit, saved; then the second one's turn.
    void FirstSaves(void (*edit)(HWND))
    {
        edit(first);
        EXPECT_EQ(0u, Press(first, PSBTN_OK));
        std::swap(process, later);
    }
    static void TypeIdleTimeout(HWND sheet, const char* text)
    {
        HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
        TypeInto(GetDlgItem(page, IDC_IDLE_TIMEOUT), text);
    }
};

} // namespace

TEST_F(TwoConsoles, EditsOfDifferentValuesAreMergedIntoTheLaterSave)
{
    ASSERT_NO_FATAL_FAILURE(OpenBoth());
    ShowPage(first, PageIndex(first, "VG: Non-operational Privileges"));
    FirstSaves([](HWND sheet) { SendMessageA(GetDlgItem((HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0),
                                                        IDC_BLOCK_ALL), BM_CLICK, 0, 0); });
    TypeIdleTimeout(second, "300");
    EXPECT_EQ(0u, Press(second, PSBTN_OK)) << Errors();
    EXPECT_EQ("Settings: Idle timeout: 600 -> 300 seconds\n"
              "From the other save: VG: Non-operational Privileges (group Everyone): Block all outgoing Web access: "
              "off -> on\n",
              Output());
    EXPECT_TRUE(StoredWorkingGroup().nonOpBlockAll);
    EXPECT_NE(std::string::npos, ReadFile(document).find("\"idle_timeout\": 300"));
    WIN32_FIND_DATAA found;
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((document + ".*.mine").c_str(), &found));
}

TEST_F(TwoConsoles, OfConflictingEditsTheLaterSaveIsKeptBesideWhatTheEarlierOneSaved)
{
    const std::string before = ReadFile(document);
    ASSERT_NO_FATAL_FAILURE(OpenBoth());
    FirstSaves([](HWND sheet) { TypeIdleTimeout(sheet, "300"); });
    const std::string saved = ReadFile(document);

    TypeIdleTimeout(second, "900");
    EXPECT_EQ(2u, Press(second, PSBTN_OK));
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((document + ".*.mine").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find) << Errors();
    const std::string kept = folder + "\\" + found.cFileName;
    EXPECT_FALSE(FindNextFileA(find, &found)) << "kept twice";
    FindClose(find);
    EXPECT_EQ("console: " + document + ": cannot save the file: it changed since it was read; it was left as it "
              "is, and the new version was kept as " + kept + "\n"
              "console: conflict: http-proxy: Settings: Idle timeout: 600 -> 900 / 300 seconds\n",
              Errors());
    EXPECT_NE(before, saved);
    EXPECT_EQ(saved, ReadFile(document));
    EXPECT_NE(std::string::npos, ReadFile(kept).find("\"idle_timeout\": 900"));
}

TEST_F(Console, ASaveRemovesWhatKilledSavesLeftButNotWhatARunningOneHolds)
{
    Start("--bogus");
    const std::string ended = std::to_string(process.dwProcessId);
    EXPECT_EQ(2u, WaitForExit());
    const std::string killed = document + "." + ended + ".new", killedToo = document + "." + ended + "-2.new";
    const std::string others = document + ".new";
    const std::string held = document + "." + std::to_string(GetCurrentProcessId()) + ".new";
    WriteText(killed, "{ torn");
    WriteText(killedToo, "{ torn");
    WriteText(others, "someone else's");
    // As a running save holds its new file.
    HANDLE holding = CreateFileA(held.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holding);
    DWORD written = 0;
    WriteFile(holding, "half", 4, &written, NULL);

    EXPECT_EQ(0u, OpenAndPress(StandardArgs(), PSBTN_OK)) << Errors();
    CloseHandle(holding);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(killed.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(killedToo.c_str()));
    EXPECT_EQ("half", ReadFile(held));
    EXPECT_EQ("someone else's", ReadFile(others));
}
