// console.exe --check --document FILE [--service NAME] [--data-folder DIR]
//
// Checks a document as the store and the sheet would, one GNU diagnostic a
// line on stdout, then a summary line. Opens no window and writes nothing.
// Exit codes: 0 no problems, 1 warnings only, 2 an error, or a usage error.
#include "ConsoleModes.h"
#include "ConsoleSupport.h"
#include "VeilgateCheck.h"
#include <new>

int CheckMode(const std::vector<std::string>& args)
{
    CString document, service, dataFolder;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        CString* value = arg == "--document" ? &document
                         : arg == "--service" ? &service
                         : arg == "--data-folder" ? &dataFolder
                         : NULL;
        if (arg == "--check")
            continue;
        if (value == NULL)
            return Usage("unexpected argument \"" + arg + "\" with --check");
        if (i + 1 == args.size())
            return Usage(arg + " needs a value");
        if (args[++i].empty())
            return Usage(arg + " needs a value; an empty one was given");
        *value = args[i].c_str();
    }
    if (document.IsEmpty())
        return Usage("--check needs --document");
    if (dataFolder.IsEmpty())
        dataFolder = FolderOf(document);

    VgFindingArray findings;
    CString error;
    try {
        if (!VgCheck::CheckDocument(document, service, dataFolder, findings, error))
            return Fail((LPCTSTR)error);
    } catch (const std::bad_alloc&) {
        return Fail(std::string((LPCTSTR)document) + ": out of memory while checking it");
    }
    std::string out;
    for (int i = 0; i < findings.GetSize(); ++i)
        out += std::string((LPCTSTR)VgCheck::FormatFinding(document, findings[i])) + "\n";
    out += std::string((LPCTSTR)VgCheck::Summary(document, findings)) + "\n";
    Print(out);
    return VgCheck::ExitCode(findings);
}
