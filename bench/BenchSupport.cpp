#include "BenchSupport.h"
#include <prsht.h>
#include <stdio.h>
#include <algorithm>

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

double Time(const std::function<void()>& fn, int count)
{
    std::vector<double> runs;
    for (int i = 0; i < count; ++i) {
        double t0 = Now();
        fn();
        runs.push_back(Now() - t0);
    }
    return Median(runs);
}

std::vector<double> TimeInTurn(const std::vector<std::function<void()>>& fns, int count)
{
    std::vector<std::vector<double>> runs(fns.size());
    for (int i = 0; i < count; ++i) {
        for (size_t f = 0; f < fns.size(); ++f) {
            double t0 = Now();
            fns[f]();
            runs[f].push_back(Now() - t0);
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& r : runs)
        medians.push_back(Median(r));
    return medians;
}

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
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

void Row(const char* what, double ms, const char* floorWhat, double floorMs)
{
    printf("%-44s %9.2f ms\n", what, ms);
    printf("  %-42s %9.2f ms   (x%.1f)\n", floorWhat, floorMs, floorMs > 0 ? ms / floorMs : 0.0);
}

namespace {

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
        HWND window = GetActiveWindow();
        PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);  // a sheet
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);           // a dialog
    }
    static LRESULT CALLBACK OnCbt(int code, WPARAM w, LPARAM l)
    {
        if (code == HCBT_ACTIVATE && timer == 0)
            timer = SetTimer(NULL, 0, USER_TIMER_MINIMUM, OnTimer);
        return CallNextHookEx(hook, code, w, l);
    }
};
double IdleProbe::start = 0;
std::vector<double> IdleProbe::samples;
HHOOK IdleProbe::hook = NULL;
UINT_PTR IdleProbe::timer = 0;

} // namespace

double TimeToFirstIdle(const std::function<void()>& open)
{
    IdleProbe::samples.clear();
    for (int i = 0; i < kRuns; ++i) {
        IdleProbe::timer = 0;
        IdleProbe::hook = SetWindowsHookExA(WH_CBT, IdleProbe::OnCbt, NULL, GetCurrentThreadId());
        IdleProbe::start = Now();
        open();
        UnhookWindowsHookEx(IdleProbe::hook);
    }
    return Median(IdleProbe::samples);
}
