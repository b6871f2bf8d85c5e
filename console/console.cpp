// The policy console's stand-in: opens a configuration document, lets the
// HTTP proxy editor edit one service, and saves the document after OK.
//
//   console.exe --document FILE --service NAME [--data-folder DIR]
//               [--exceptions-only] [--screenshots DIR]
//
// Exit codes: 0 OK (the document saved), 1 Cancel (nothing written), 2 usage
// or document error (nothing written) or a failed save (the file left as it
// was; the message names it).
//
// The manifest asks for the UTF-8 code page, so that texts in any script
// reach the editor as they stand in the document.
#include "afxwin.h"
#include "quolla.h"
#include "Veilgate.h"
#include "Screenshots.h"
#include <stdio.h>
#include <string>

namespace {

const char kUsage[] =
    "usage: console.exe --document FILE --service NAME [--data-folder DIR]\n"
    "                   [--exceptions-only] [--screenshots DIR]\n";

// The console's member picker; the editor keeps it but never calls it.
int PickMembers(CStringList&, CWnd*) { return 0; }

int Fail(const std::string& message)
{
    fprintf(stderr, "console: %s\n", message.c_str());
    return 2;
}

CString FolderOf(const CString& path)
{
    int slash = path.ReverseFind('\\');
    if (path.ReverseFind('/') > slash)
        slash = path.ReverseFind('/');
    return slash < 0 ? CString(".") : path.Left(slash);
}

} // namespace

int main(int argc, char** argv)
{
    CString document, service, dataFolder, screenshots;
    bool exceptionsOnly = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--document" && hasValue)
            document = argv[++i];
        else if (arg == "--service" && hasValue)
            service = argv[++i];
        else if (arg == "--data-folder" && hasValue)
            dataFolder = argv[++i];
        else if (arg == "--screenshots" && hasValue)
            screenshots = argv[++i];
        else if (arg == "--exceptions-only")
            exceptionsOnly = true;
        else {
            fputs(kUsage, stderr);
            return Fail("unexpected argument \"" + arg + "\"");
        }
    }
    if (document.IsEmpty() || service.IsEmpty()) {
        fputs(kUsage, stderr);
        return Fail("--document and --service are required");
    }
    if (dataFolder.IsEmpty())
        dataFolder = FolderOf(document);

    AfxSetAppName("Policy Console");

    Beach beach;
    CString error;
    if (!beach.open(document, error))
        return Fail((LPCTSTR)error);
    if (!beach.hasService(service))
        return Fail(std::string("there is no service \"") + (LPCTSTR)service + "\" in " + (LPCTSTR)document);

    if (!screenshots.IsEmpty()) {
        CreateDirectoryA(screenshots, NULL);
        StartScreenshots("HTTP Proxy", (LPCTSTR)screenshots);
    }

    int confirmed;
    {
        Veilgate editor(PickMembers, &beach);
        confirmed = editor.EditVeilgate(dataFolder, service, exceptionsOnly ? 0 : 1);
    }

    if (!screenshots.IsEmpty()) {
        fprintf(stderr, "console: %d screenshots written to %s\n", ScreenshotsWritten(), (LPCTSTR)screenshots);
        if (!ScreenshotError().empty())
            return Fail(ScreenshotError());
    }
    if (!confirmed)
        return 1;
    // The editor's full save has already made the document durable; what it
    // leaves unsaved (the exceptions-only write-back, or a failed commit)
    // is saved here, once.
    if (beach.isModified() && !beach.save(error))
        return Fail((LPCTSTR)error);
    return 0;
}
