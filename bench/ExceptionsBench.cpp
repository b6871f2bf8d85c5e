// The exception lists. The exceptions page with 5,000 allowed and 5,000
// denied entries: showing it (its list boxes filled) and leaving it (the
// lists read back), each beside the same work on two hidden sorted list
// boxes with redraw off. Then the console's import of 100,000 lines into a
// document holding 100,000 entries, beside reading and writing the same
// bytes, and the page again on the 200,000 entries it leaves.
#include "BenchSupport.h"
#include "afxdlgs.h"
#include "quolla.h"
#include "ConsoleModes.h"
#include "VeilgateExPage.h"
#include "VeilgateSettings.h"
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

namespace {

std::vector<double> s_show, s_leave;

// Flushes every paint the switch left pending, the pages' controls included.
void SwitchTo(HWND hSheet, int index)
{
    ::SendMessageA(hSheet, PSM_SETCURSEL, index, 0);
    ::RedrawWindow(hSheet, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CALLBACK MeasureOnce(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(NULL, idEvent);
    HWND hSheet = ::GetActiveWindow();
    double t0 = Now();
    SwitchTo(hSheet, 1);
    double t1 = Now();
    SwitchTo(hSheet, 0);
    double t2 = Now();
    s_show.push_back(t1 - t0);
    s_leave.push_back(t2 - t1);
    ::PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void MakeEntries(CStringList& allowed, CStringList& denied)
{
    for (int i = 0; i < 5000; ++i) {
        CString entry;
        entry.Format("10.%d.%d.%d:%d /path%d/*", i / 65536, (i / 256) % 256, i % 256, 8000 + i % 100, i);
        allowed.AddTail(entry);
        entry.Format("host%04d.example.net%s", i, i % 2 ? "" : " /ads/*");
        denied.AddTail(entry);
    }
}

HWND HiddenSortedList()
{
    return ::CreateWindowExA(0, "LISTBOX", "", WS_POPUP | WS_VSCROLL | LBS_SORT | LBS_HASSTRINGS, 0, 0, 300, 200,
                             NULL, NULL, NULL, NULL);
}

// The page shown and left, each beside its floor.
void PageRows(CStringList& allowed, CStringList& denied)
{
    s_show.clear();
    s_leave.clear();
    for (int run = 0; run < kRuns; ++run) {
        CPropertyPage before;
        before.m_psp.pszTemplate = MAKEINTRESOURCEA(300);
        VeilgateExPage page(&allowed, &denied);
        CPropertySheet sheet("HTTP Proxy");
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        sheet.AddPage(&before);
        sheet.AddPage(&page);
        ::SetTimer(NULL, 0, USER_TIMER_MINIMUM, MeasureOnce);
        sheet.DoModal();
    }

    HWND lists[2] = { HiddenSortedList(), HiddenSortedList() };
    const CStringList* sources[2] = { &allowed, &denied };
    double fill = Time([&] {
        for (int k = 0; k < 2; ++k) {
            ::SendMessageA(lists[k], WM_SETREDRAW, FALSE, 0);
            ::SendMessageA(lists[k], LB_RESETCONTENT, 0, 0);
            for (POSITION pos = sources[k]->GetHeadPosition(); pos != NULL;)
                ::SendMessageA(lists[k], LB_ADDSTRING, 0, (LPARAM)(LPCTSTR)sources[k]->GetNext(pos));
            ::SendMessageA(lists[k], WM_SETREDRAW, TRUE, 0);
        }
    });
    double read = Time([&] {
        char text[256];
        for (HWND list : lists) {
            int count = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
            for (int i = 0; i < count; ++i)
                ::SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        }
    });
    for (HWND list : lists)
        ::DestroyWindow(list);

    Row("show the exceptions page (fill both lists)", Median(s_show), "floor: fill two hidden sorted list boxes", fill);
    Row("leave the exceptions page (read both lists)", Median(s_leave), "floor: read two hidden list boxes", read);
}

const int kHeld = 50000;       // entries of each list in the document
const int kImported = 100000;  // lines of the file
const int kImportRuns = 5;

// A document whose two lists hold kHeld entries each, as the page stores them.
std::string ListsDocument()
{
    CStringList allowed, denied;
    for (int i = 0; i < kHeld; ++i) {
        CString entry;
        entry.Format("10.%d.%d.%d:%d /path%d/*", i / 65536, (i / 256) % 256, i % 256, 8000 + i % 100, i);
        allowed.AddTail(entry);
        entry.Format("host%06d.example.net%s", i, i % 2 ? "" : " /ads/*");
        denied.AddTail(entry);
    }
    const CStringList* lists[2] = { &allowed, &denied };
    std::string text = "{\n  \"services\": {\n    \"http-proxy\": {\n      \"sievex\": {\n        \"activate\": 1";
    for (int k = 0; k < 2; ++k) {
        CStringList sorted;
        ExceptionList::Batch batch(sorted, sorted);
        for (POSITION pos = lists[k]->GetHeadPosition(); pos != NULL;)
            batch.Add(lists[k]->GetNext(pos));
        batch.Result(sorted);
        text += std::string(",\n        \"") + VgSettings::KeyName(k ? VgSettings::UrlsDeny : VgSettings::UrlsAllow) +
                "\": [";
        const char* separator = "\n";
        for (POSITION pos = sorted.GetHeadPosition(); pos != NULL; separator = ",\n")
            text += std::string(separator) + "          \"" + (LPCTSTR)sorted.GetNext(pos) + "\"";
        text += "\n        ]";
    }
    return text + "\n      }\n    }\n  }\n}\n";
}

// Lines for the allowed list: hosts, networks and URLs with ports and
// patterns; one in a hundred already allowed, one in a hundred denied.
std::string ImportFile()
{
    std::string text;
    char line[96];
    for (int i = 0; i < kImported; ++i) {
        if (i % 100 == 1)
            snprintf(line, sizeof line, "10.%d.%d.%d:%d /path%d/*", i / 65536, (i / 256) % 256, i % 256,
                     8000 + i % 100, i);
        else if (i % 100 == 2)
            snprintf(line, sizeof line, "host%06d.example.net", i | 1);
        else if (i % 3 == 0)
            snprintf(line, sizeof line, "192.%d.%d.%d:%d", 168 + i / 65536, (i / 256) % 256, i % 256, 80 + i % 5);
        else if (i % 3 == 1)
            snprintf(line, sizeof line, "11.%d.%d.0/24", i / 3 / 256, i / 3 % 256);
        else
            snprintf(line, sizeof line, "site%06d.example.org /news/*", i);
        text += line;
        text += "\n";
    }
    return text;
}

// Processor time of this thread, user and kernel, in milliseconds.
double ThreadMs()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) { return (double)(((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

// The console's output goes nowhere while it is timed.
struct Quiet
{
    int saved[2];
    Quiet()
    {
        fflush(stdout);
        fflush(stderr);
        int nul = _open("NUL", _O_WRONLY);
        for (int fd = 1; fd <= 2; ++fd) {
            saved[fd - 1] = _dup(fd);
            _dup2(nul, fd);
        }
        _close(nul);
    }
    ~Quiet()
    {
        fflush(stdout);
        fflush(stderr);
        for (int fd = 1; fd <= 2; ++fd) {
            _dup2(saved[fd - 1], fd);
            _close(saved[fd - 1]);
        }
    }
};

} // namespace

void BenchExceptions()
{
    CStringList allowed, denied;
    MakeEntries(allowed, denied);
    printf("\nexceptions page, 5,000 + 5,000 entries; median of %d runs\n\n", kRuns);
    PageRows(allowed, denied);

    const std::string document = TempPath("vgbench-exceptions.json"), file = TempPath("vgbench-exceptions.txt");
    const std::string before = ListsDocument(), lines = ImportFile();
    WriteRaw(file, lines);
    const std::vector<std::string> args = { "--document", document, "--service", "http-proxy",
                                            "--import-exceptions", "allowed", file };
    printf("\nimport of %d lines into a document of %d + %d entries; median of %d runs\n\n", kImported, kHeld,
           kHeld, kImportRuns);
    // The machine is shared: the processor time beside the clock's says
    // what the import costs when it has a processor to itself.
    std::vector<double> runs, cpu;
    int code = 0;
    for (int run = 0; run < kImportRuns; ++run) {
        WriteRaw(document, before);
        Quiet quiet;
        double c0 = ThreadMs(), t0 = Now();
        code = ImportExceptions(args);
        runs.push_back(Now() - t0);
        cpu.push_back(ThreadMs() - c0);
    }
    const std::string after = ReadRaw(document);
    double io = Time([&] {
        ReadRaw(document);
        ReadRaw(file);
        WriteRaw(document, after);
    }, kImportRuns);
    Row("import the lines (read, check, merge, save)", Median(runs), "floor: read both files, write the document",
        io);
    printf("  %-42s %9.2f ms\n", "of which processor time", Median(cpu));

    Beach beach;
    CString error;
    Quolla* section = beach.open(document.c_str(), error, VgSettings::StoreSchema())
                          ? beach.digQuolla(VgSettings::kFilterSection, "http-proxy")
                          : NULL;
    CStringList imported, held;
    QuoValOf<CStringList*> allowedValue(&imported), deniedValue(&held);
    if (code != 1 || section == NULL || !section->getProp(VgSettings::KeyName(VgSettings::UrlsAllow), allowedValue) ||
        !section->getProp(VgSettings::KeyName(VgSettings::UrlsDeny), deniedValue)) {
        fprintf(stderr, "vgbench: the import did not leave its lists (exit %d) %s\n", code, (LPCTSTR)error);
        return;
    }
    beach.tossQuolla(section);
    printf("\nexceptions page on the imported document, %d + %d entries; median of %d runs\n\n",
           imported.GetCount(), held.GetCount(), kRuns);
    PageRows(imported, held);
    DeleteFileA(document.c_str());
    DeleteFileA(file.c_str());
}
