// console.exe --diff OLD NEW [--service NAME]: what differs between two
// documents, in the words of the sheet, one line per change, each after
// the name of its service. Like diff: 0 when they do not differ, 1 when
// they do, 2 for a usage or document error. Writes nothing, opens no window.
//
// And after OK in the sheet mode: what the save changed.
#include "ConsoleModes.h"
#include "ConsoleSupport.h"
#include "VeilgateChanges.h"
#include "VeilgateSettings.h"
#include <new>

namespace {

int Diff(const CString& oldPath, const CString& newPath, const CString& service)
{
    Beach before, after;
    CString error;
    if (!before.open(oldPath, error, VgSettings::StoreSchema()) ||
        !after.open(newPath, error, VgSettings::StoreSchema()))
        return Fail((LPCTSTR)error);

    CStringArray services;
    if (service.IsEmpty()) {
        VgChanges::AddServices(before, services);
        VgChanges::AddServices(after, services);
    } else if (before.hasService(service) || after.hasService(service)) {
        services.Add(service);
    } else {
        return Fail(std::string("there is no service \"") + (LPCTSTR)service + "\" in " + (LPCTSTR)oldPath +
                    " or " + (LPCTSTR)newPath);
    }

    std::string out;
    for (int i = 0; i < services.GetSize(); ++i) {
        CStringArray lines;
        VgChanges::Compare(before, after, services[i], lines);
        for (int j = 0; j < lines.GetSize(); ++j)
            out += std::string((LPCTSTR)services[i]) + ": " + (LPCTSTR)lines[j] + "\n";
    }
    Print(out);
    return out.empty() ? 0 : 1;
}

} // namespace

int DiffMode(const std::vector<std::string>& args)
{
    CString oldPath, newPath, service;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--diff" && oldPath.IsEmpty()) {
            if (i + 2 >= args.size())
                return Usage("--diff needs two documents");
            oldPath = args[++i].c_str();
            newPath = args[++i].c_str();
            if (oldPath.IsEmpty() || newPath.IsEmpty())
                return Usage("--diff needs two documents; an empty name was given");
        } else if (arg == "--service" && service.IsEmpty()) {
            if (i + 1 == args.size() || args[i + 1].empty())
                return Usage("--service needs a value");
            service = args[++i].c_str();
        } else {
            return Usage("unexpected argument \"" + arg + "\" with --diff");
        }
    }
    try {
        return Diff(oldPath, newPath, service);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory while comparing the documents");
    }
}

namespace {

// The changes of the service from before (a text of the document) to
// after, one line each with the prefix; false, said on stderr, when they
// cannot be told. The document is saved already: whatever happens here,
// it stays so.
bool ChangesSince(const CString& before, Beach& after, const CString& service, const std::string& prefix,
                  std::string& out)
{
    try {
        Beach old;
        CString error;
        if (!old.openText(before, after.path(), error, VgSettings::StoreSchema())) {
            Say("console: the document was saved; what changed cannot be told: " + std::string((LPCTSTR)error) +
                "\n");
            return false;
        }
        CStringArray lines;
        VgChanges::Compare(old, after, service, lines);
        for (int i = 0; i < lines.GetSize(); ++i)
            out += prefix + (LPCTSTR)lines[i] + "\n";
        return true;
    } catch (const std::bad_alloc&) {
        Say("console: the document was saved; what changed cannot be told: out of memory\n");
        return false;
    }
}

} // namespace

void PrintSavedChanges(const CString& before, Beach& saved, const CString& service)
{
    std::string out;
    if (ChangesSince(before, saved, service, "", out))
        Print(out.empty() ? "No changes.\n" : out);
}

void PrintMergedChanges(const CString& before, const CString& mine, Beach& saved, const CString& service)
{
    Beach own;
    CString error;
    std::string out;
    if (!own.openText(mine, saved.path(), error, VgSettings::StoreSchema())) {
        Say("console: the document was saved; what changed cannot be told: " + std::string((LPCTSTR)error) + "\n");
        return;
    }
    if (!ChangesSince(before, own, service, "", out))
        return;
    if (out.empty())
        out = "No changes.\n";
    // What the merge took from the other save: what the saved document
    // holds beyond this editor's own.
    ChangesSince(mine, saved, service, "From the other save: ", out);
    Print(out);
}
