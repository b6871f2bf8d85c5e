// console.exe --merge BASE MINE THEIRS [-o OUT]: the two edits of one
// document, MINE and THEIRS, made from BASE, merged by what their values
// mean (VgMerge), as git's merge driver for policy files.
//
// Prints nothing on success and writes the merged document to OUT (by
// default MINE, as git expects). Exit codes: 0 merged; 1 conflicts, each
// on stderr in the sheet's words, nothing written; 2 a usage or document
// error.
#include "ConsoleModes.h"
#include "ConsoleSupport.h"
#include "DurableFile.h"
#include "VeilgateMerge.h"
#include "VeilgateSettings.h"
#include <new>

namespace {

int Merge(const CString paths[3], const CString& out)
{
    Beach base, mine, theirs;
    Beach* documents[] = { &base, &mine, &theirs };
    CString error;
    for (int i = 0; i < 3; ++i)
        if (!documents[i]->open(paths[i], error, VgSettings::StoreSchema()))
            return Fail((LPCTSTR)error);

    CString merged;
    CStringArray conflicts;
    if (!VgMerge::Merge(base, mine, theirs, merged, conflicts)) {
        SayConflicts("conflict: ", conflicts);
        return 1;
    }
    std::string reason;
    if (!durable::replaceFile((LPCTSTR)out, std::string(merged, merged.GetLength()), reason))
        return Fail(std::string((LPCTSTR)out) + ": cannot save the file: " + reason);
    return 0;
}

} // namespace

int MergeMode(const std::vector<std::string>& args)
{
    CString paths[3], out;
    bool documents = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--merge" && !documents) {
            if (i + 3 >= args.size())
                return Usage("--merge needs three documents");
            for (CString& path : paths) {
                path = args[++i].c_str();
                if (path.IsEmpty())
                    return Usage("--merge needs three documents; an empty name was given");
            }
            documents = true;
        } else if (arg == "-o" && out.IsEmpty()) {
            if (i + 1 == args.size() || args[i + 1].empty())
                return Usage("-o needs a value");
            out = args[++i].c_str();
        } else {
            return Usage("unexpected argument \"" + arg + "\" with --merge");
        }
    }
    try {
        return Merge(paths, out.IsEmpty() ? paths[1] : out);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory while merging the documents");
    }
}
