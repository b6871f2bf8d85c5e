// The policy console's stand-in: opens a configuration document, lets the
// HTTP proxy editor edit one service, and saves the document after OK.
//
//   console.exe --document FILE --service NAME [--data-folder DIR]
//               [--exceptions-only] [--screenshots DIR]
//
// Modes without the sheet (ConsoleModes.h) are chosen by their first
// option, in kModes.
//
// Exit codes: 0 OK (the document saved), 1 Cancel (nothing written), 2 usage
// or document error (nothing written) or a failed save (the file left as it
// was; the message names it). A save that another save came before is
// merged with it; only when the two conflict is it refused (2).
//
// The manifest asks for the UTF-8 code page, so that texts in any script
// reach the editor as they stand in the document.
#include "afxwin.h"
#include "quolla.h"
#include "Veilgate.h"
#include "Screenshots.h"
#include "ConsoleModes.h"
#include "ConsoleSupport.h"
#include "VeilgateMerge.h"
#include "DurableFile.h"
#include <shellapi.h>
#include <stdio.h>
#include <new>
#include <string>
#include <vector>

namespace {

// The console's member picker; the editor keeps it but never calls it.
int PickMembers(CStringList&, CWnd*) { return 0; }

// The arguments as the system holds them, in characters, turned into the
// process code page (UTF-8 under the console's manifest). False, naming the
// argument, if the code page has no room for one of its characters.
bool Arguments(std::vector<std::string>& args, std::string& error)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == NULL) {
        error = "cannot read the command line";
        return false;
    }
    for (int i = 1; i < count; ++i) {
        const int length = (int)wcslen(wide[i]);
        BOOL lossy = FALSE;
        const BOOL utf8 = GetACP() == CP_UTF8;
        std::string arg(length * 4, '\0');
        arg.resize(WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide[i], length, &arg[0],
                                       (int)arg.size(), NULL, utf8 ? NULL : &lossy));
        if (lossy) {
            error = "argument " + std::to_string(i) + " holds characters that the code page (" +
                    std::to_string(GetACP()) + ") cannot hold";
            LocalFree(wide);
            return false;
        }
        args.push_back(arg);
    }
    LocalFree(wide);
    return true;
}

// The folder for the screenshots, made if need be, before the sheet opens.
bool MakeFolder(const CString& folder, std::string& error)
{
    if (CreateDirectoryA(folder, NULL))
        return true;
    const DWORD failure = GetLastError();
    const DWORD attributes = GetFileAttributesA(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    error = std::string("cannot make the screenshots folder ") + (LPCTSTR)folder + ": ";
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        error += "a file has that name";
        return false;
    }
    error += durable::systemMessage(failure);
    return false;
}

// Opens the document and runs the editor on it; saves after OK.
int Edit(const CString& document, const CString& service, const CString& dataFolder, const CString& screenshots,
         bool exceptionsOnly)
{
    AfxSetAppName("Policy Console");

    Beach beach;
    if (int code = OpenService(beach, document, service))
        return code;
    CString error;
    // Edits that could not be saved are not begun; screenshots only read.
    if (screenshots.IsEmpty() && !beach.canSave(error))
        return Fail((LPCTSTR)(error + "; it was not opened for editing"));

    if (!screenshots.IsEmpty()) {
        std::string reason;
        if (!MakeFolder(screenshots, reason))
            return Fail(reason);
        StartScreenshots("HTTP Proxy", (LPCTSTR)screenshots);
    }

    // What OK changes is told against the service's values as they were
    // read; the rest of the document, which may be large, is not copied.
    const CString before = beach.knownText(service);
    // A save that another came before is merged with it.
    VgMerge::SaveMerger merger;
    beach.setMerger(&merger);
    int confirmed;
    {
        Veilgate editor(PickMembers, &beach);
        confirmed = editor.EditVeilgate(dataFolder, service, exceptionsOnly ? 0 : 1);
    }

    if (!screenshots.IsEmpty()) {
        Say("console: " + std::to_string(ScreenshotsWritten()) + " screenshots written to " +
            (LPCTSTR)screenshots + "\n");
        if (!ScreenshotError().empty())
            return Fail(ScreenshotError());
    }
    if (!confirmed)
        return 1;
    // The editor's full save has already made the document durable; what it
    // leaves unsaved (the exceptions-only write-back, or a failed commit)
    // is saved here, once.
    if (beach.isModified() && !beach.save(error)) {
        Fail((LPCTSTR)error);
        SayConflicts("console: conflict: ", merger.conflicts);
        return 2;
    }
    if (merger.merged)
        PrintMergedChanges(before, merger.mineText, beach, service);
    else
        PrintSavedChanges(before, beach, service);
    return 0;
}

int Run(const std::vector<std::string>& args)
{
    CString document, service, dataFolder, screenshots;
    bool exceptionsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        CString* value = arg == "--document" ? &document
                         : arg == "--service" ? &service
                         : arg == "--data-folder" ? &dataFolder
                         : arg == "--screenshots" ? &screenshots
                         : NULL;
        if (value != NULL) {
            if (i + 1 == args.size())
                return Usage(arg + " needs a value");
            if (args[++i].empty())
                return Usage(arg + " needs a value; an empty one was given");
            *value = args[i].c_str();
        } else if (arg == "--exceptions-only") {
            exceptionsOnly = true;
        } else {
            return Usage("unexpected argument \"" + arg + "\"");
        }
    }
    if (document.IsEmpty() || service.IsEmpty())
        return Usage("--document and --service are required");
    if (dataFolder.IsEmpty())
        dataFolder = FolderOf(document);
    // The document is saved at the very end, so memory that runs out on
    // the way leaves the file as it was.
    try {
        return Edit(document, service, dataFolder, screenshots, exceptionsOnly);
    } catch (const std::bad_alloc&) {
        return Fail(std::string((LPCTSTR)document) + ": out of memory; the file was left as it was");
    }
}

} // namespace

// The modes without the sheet, by the option that chooses them; each is in
// a file of its own.
static const struct
{
    const char* option;
    ConsoleMode run;
} kModes[] = {
    { "--export-exceptions", ExportExceptions },
    { "--import-exceptions", ImportExceptions },
    { "--diff", DiffMode },
    { "--merge", MergeMode },
    { "--check", CheckMode },
};

int main()
{
    std::vector<std::string> args;
    std::string error;
    if (!Arguments(args, error))
        return Usage(error);
    for (const auto& mode : kModes)
        for (const std::string& arg : args)
            if (arg == mode.option)
                return mode.run(args);
    return Run(args);
}
