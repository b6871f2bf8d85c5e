// The MIME type catalogue at 10,000 lines (9,000 in the base file, 1,000 in
// the user file): loading it, and opening the selection dialog on it to its
// first idle moment, beside reading the same two files raw.
#include "BenchSupport.h"
#include "MimeCatalogue.h"
#include "MimeTypeSelectDlg.h"
#include <stdio.h>

namespace {

void WriteCatalogue(const std::string& path, int first, int count)
{
    std::string text;
    char line[160];
    for (int i = first; i < first + count; ++i) {
        // Types arrive unsorted, as in a catalogue kept by hand.
        int n = (i * 7919) % 10000;
        sprintf(line, "application/x-bench-%05d\tBenchmark type number %d of the catalogue\r\n", n, n);
        text += line;
    }
    WriteRaw(path, text);
}

} // namespace

void BenchMime()
{
    std::string folder = TempPath("vgbench-mime");
    CreateDirectoryA(folder.c_str(), NULL);
    std::string base = folder + "\\mimetypes", user = folder + "\\mimetypes.usr";
    WriteCatalogue(base, 0, 9000);
    WriteCatalogue(user, 9000, 1000);
    printf("\nMIME type catalogue: 10,000 lines; median of %d runs\n\n", kRuns);

    double raw = Time([&] {
        ReadRaw(base);
        ReadRaw(user);
    });
    MimeCatalogue catalogue;
    double load = Time([&] { LoadMimeCatalogue(folder.c_str(), catalogue); });
    Row("load catalogue (10,000 lines)", load, "floor: read the same two files", raw);

    double open = TimeToFirstIdle([&] {
        MimeTypeSelectDlg dlg(NULL, folder.c_str());
        dlg.DoModal();
    });
    Row("Select MIME Type dialog to first idle", open, "floor: read the same two files", raw);

    DeleteFileA(base.c_str());
    DeleteFileA(user.c_str());
    RemoveDirectoryA(folder.c_str());
}
