// Benchmark of the editor's hot paths, each beside the platform's own floor
// measured in the same run:
//   - opening and saving a large document (5,000 allowed and 5,000 denied
//     exceptions, 200 servers, 50 groups) beside reading and writing the
//     same bytes raw;
//   - loading and saving the filter settings of that document;
//   - opening the "HTTP Proxy" sheet to its first idle moment beside an
//     empty property sheet of seven pages.
// Prints the median of several runs of each. Not a test: nothing fails.
#include "afxdlgs.h"
#include "quolla.h"
#include "Veilgate.h"
#include <stdio.h>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kRuns = 11;

double Now()
{
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * (double)t.QuadPart / (double)freq.QuadPart;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Time(const std::function<void()>& fn)
{
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        double t0 = Now();
        fn();
        runs.push_back(Now() - t0);
    }
    return Median(runs);
}

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

CString Mask(int seed, int length)
{
    CString s('0', length);
    for (int i = 0; i < length; ++i)
        if ((i * 7 + seed) % 5 == 0)
            s.SetAt(i, '1');
    return s;
}

// Builds the large document through the store itself.
void MakeLargeDocument(const std::string& path)
{
    Beach beach;
    CString error;
    beach.openText("{ \"services\": { \"http-proxy\": { \"proxy_http\": {}, \"sievex\": {} } } }",
                   path.c_str(), error);
    Quolla* section = beach.digQuolla("sievex", "http-proxy");
    CStringList allow, deny;
    for (int i = 0; i < 5000; ++i) {
        CString entry;
        entry.Format("10.%d.%d.%d:%d /path%d/*", i / 65536, (i / 256) % 256, i % 256, 8000 + i % 100, i);
        allow.AddTail(entry);
        entry.Format("192.168.%d.0/24", i % 256);
        deny.AddTail(entry + (i % 2 ? "" : " /ads/*"));
    }
    section->setProp("urls_allow", QuoValOf<CStringList*>(&allow));
    section->setProp("urls_deny", QuoValOf<CStringList*>(&deny));
    QuoValOf<QuoVGServerIpMap> servers;
    for (int i = 0; i < 200; ++i) {
        CString key, address;
        key.Format("%02d", i);
        address.Format("10.200.%d.%d", i / 256, i % 256);
        servers.value.SetAt(key, new QuoVGServerIp(address, 5003, i));
    }
    section->setProp("ip_port", servers);
    QuoValOf<QuoSievexMap> rules;
    for (int i = 0; i < 50; ++i) {
        QuoSievex* g = new QuoSievex;
        g->opMask = Mask(i, 40);
        g->nonOpMask = Mask(i + 1, 40);
        g->schedule = Mask(i + 2, 168);
        for (int m = 0; m < 20; ++m) {
            CString member;
            member.Format("user%d-%d", i, m);
            g->members.Add(member);
        }
        CString name;
        name.Format("Group %02d", i);
        rules.value.SetAt(name, g);
    }
    section->setProp("rules", rules);
    section->setProp("activate", QuoValOf<int>(1));
    beach.tossQuolla(section);
    if (!beach.save(error))
        fprintf(stderr, "vgbench: %s\n", (LPCTSTR)error);
}

std::string ReadRaw(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD size = GetFileSize(h, NULL), got = 0;
    std::string data(size, '\0');
    ReadFile(h, &data[0], size, &got, NULL);
    CloseHandle(h);
    return data;
}

// The same durable replace the store does, without the document model.
void WriteRaw(const std::string& path, const std::string& data)
{
    std::string temp = path + ".raw";
    HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(h, data.data(), (DWORD)data.size(), &written, NULL);
    FlushFileBuffers(h);
    CloseHandle(h);
    MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

class BenchVeilgate : public Veilgate
{
public:
    using Veilgate::Veilgate;
    using Veilgate::LoadVeilgate;
    using Veilgate::SaveVeilgate;
};

// Time from now to the first moment the thread is idle with a sheet up: a
// timer is dispatched only when no other message is waiting, paints
// included, so its first tick after the sheet appears marks that moment.
struct IdleProbe
{
    static double start;
    static std::vector<double> samples;
    static HHOOK hook;
    static UINT_PTR timer;

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        KillTimer(NULL, timer);
        samples.push_back(Now() - start);
        HWND sheet = GetActiveWindow();
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    }
    static LRESULT CALLBACK OnCbt(int code, WPARAM w, LPARAM l)
    {
        if (code == HCBT_ACTIVATE && timer == 0)
            timer = SetTimer(NULL, 0, USER_TIMER_MINIMUM, OnTimer);
        return CallNextHookEx(hook, code, w, l);
    }
    static double Measure(const std::function<void()>& openSheet)
    {
        samples.clear();
        for (int i = 0; i < kRuns; ++i) {
            timer = 0;
            hook = SetWindowsHookExA(WH_CBT, OnCbt, NULL, GetCurrentThreadId());
            start = Now();
            openSheet();
            UnhookWindowsHookEx(hook);
        }
        return Median(samples);
    }
};
double IdleProbe::start = 0;
std::vector<double> IdleProbe::samples;
HHOOK IdleProbe::hook = NULL;
UINT_PTR IdleProbe::timer = 0;

void Row(const char* what, double ms, const char* floorWhat, double floorMs)
{
    printf("%-44s %9.2f ms\n", what, ms);
    printf("  %-42s %9.2f ms   (x%.1f)\n", floorWhat, floorMs, floorMs > 0 ? ms / floorMs : 0.0);
}

} // namespace

int main()
{
    std::string path = TempPath("vgbench-large.json");
    MakeLargeDocument(path);
    std::string bytes = ReadRaw(path);
    printf("large document: %u bytes; median of %d runs\n\n", (unsigned)bytes.size(), kRuns);

    Beach beach;
    CString error;
    double open = Time([&] { beach.open(path.c_str(), error); });
    double readRaw = Time([&] { ReadRaw(path); });
    Row("open large document (parse, check, convert)", open, "floor: read the same bytes", readRaw);

    double save = Time([&] { beach.save(error); });
    double writeRaw = Time([&] { WriteRaw(path, bytes); });
    Row("save large document (durable replace)", save, "floor: write the same bytes, same replace", writeRaw);

    double load = Time([&] {
        BenchVeilgate editor(nullptr, &beach);
        editor.LoadVeilgate("http-proxy");
    });
    double loadSave = Time([&] {
        BenchVeilgate editor(nullptr, &beach);
        editor.LoadVeilgate("http-proxy");
        editor.SaveVeilgate("http-proxy");
    });
    Row("filter settings: load", load, "floor: read the same bytes", readRaw);
    Row("filter settings: load and save", loadSave, "floor: read and write the same bytes", readRaw + writeRaw);

    double sheet = IdleProbe::Measure([&] {
        BenchVeilgate editor(nullptr, &beach);
        editor.EditVeilgate(TempPath("").c_str(), "http-proxy", 1);
    });
    double emptySheet = IdleProbe::Measure([] {
        CPropertyPage pages[7];
        CPropertySheet floorSheet("Empty sheet");
        floorSheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        for (CPropertyPage& page : pages) {
            page.m_psp.pszTemplate = MAKEINTRESOURCEA(300);
            floorSheet.AddPage(&page);
        }
        floorSheet.EnableStackedTabs(FALSE);
        floorSheet.DoModal();
    });
    Row("HTTP Proxy sheet to first idle (large doc)", sheet, "floor: empty seven-page sheet", emptySheet);

    DeleteFileA(path.c_str());
    return 0;
}
