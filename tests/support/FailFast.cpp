#include "FailFast.h"
#include "ModalDriver.h"
#include <gtest/gtest.h>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace failfast {
namespace {

CRITICAL_SECTION g_lock;  // the test's name and context, read by every thread
std::string g_test, g_context;
std::atomic<DWORD> g_testStarted{ 0 };
std::atomic<DWORD> g_limitMs{ 0 }, g_silentMs{ 0 };  // of the running test; 0: none
std::atomic<DWORD> g_answered{ 0 };  // when the main thread last ran its message loop
std::atomic<bool> g_reporting{ false };
HANDLE g_mainThread = NULL;
HWND g_window = NULL;  // message-only, of the main thread; its timer watches the windows

struct Names { std::string test, context; };

Names Current()
{
    EnterCriticalSection(&g_lock);
    Names names{ g_test, g_context };
    LeaveCriticalSection(&g_lock);
    return names;
}

std::string ModuleAt(const void* address)
{
    char text[MAX_PATH + 32];
    HMODULE module = NULL;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            (LPCSTR)address, &module)) {
        snprintf(text, sizeof text, "%p", address);
        return text;
    }
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    const char* name = strrchr(path, '\\') ? strrchr(path, '\\') + 1 : path;
    snprintf(text, sizeof text, "%s+0x%lx", name, (unsigned long)((const char*)address - (const char*)module));
    return text;
}

std::string WhereTheMainThreadIs()
{
    CONTEXT c = {};
    c.ContextFlags = CONTEXT_CONTROL;
    if (SuspendThread(g_mainThread) == (DWORD)-1)
        return "";
    const BOOL read = GetThreadContext(g_mainThread, &c);
    ResumeThread(g_mainThread);  // the system cannot end a process with a thread held
    if (!read)
        return "";
#ifdef _WIN64
    return "; the main thread is at " + ModuleAt((const void*)c.Rip);
#else
    return "; the main thread is at " + ModuleAt((const void*)c.Eip);
#endif
}

// The same program again, on the tests after this one, with this
// program's output; its end ends this one.
void RunTheRest(const std::string& after)
{
    SetEnvironmentVariableA("VG_RESUME_AFTER", after.c_str());
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    HANDLE* handles[] = { &si.hStdInput, &si.hStdOutput, &si.hStdError };
    const DWORD which[] = { STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE };
    for (int i = 0; i < 3; ++i) {
        *handles[i] = GetStdHandle(which[i]);
        SetHandleInformation(*handles[i], HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    std::wstring line = GetCommandLineW();
    PROCESS_INFORMATION pi;
    if (CreateProcessW(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

// Reports what went wrong with the running test, runs the tests after it
// and ends the program as failed.
[[noreturn]] void GoOn(const std::string& what)
{
    if (g_reporting.exchange(true))
        Sleep(INFINITE);  // another thread is at it already
    const Names names = Current();
    printf("[  FAILED  ] %s: %s%s%s%s\n", names.test.empty() ? "(no test)" : names.test.c_str(), what.c_str(),
           names.context.empty() ? "" : "; ", names.context.c_str(),
           names.test.empty() ? "" : " (the tests after it go on in a new process)");
    fflush(stdout);
    if (!names.test.empty())
        RunTheRest(names.test);
    TerminateProcess(GetCurrentProcess(), 1);
    for (;;)
        Sleep(INFINITE);
}

LONG WINAPI OnFault(EXCEPTION_POINTERS* e)
{
    const EXCEPTION_RECORD& r = *e->ExceptionRecord;
    char text[128];
    if (r.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r.NumberParameters >= 2)
        snprintf(text, sizeof text, "access violation %s %p", r.ExceptionInformation[0] ? "writing" : "reading",
                 (void*)r.ExceptionInformation[1]);
    else
        snprintf(text, sizeof text, "exception 0x%08lX", (unsigned long)r.ExceptionCode);
    GoOn(std::string(text) + " at " + ModuleAt(r.ExceptionAddress));
}

DWORD TimeLimitMs()
{
    const char* seconds = getenv("VG_TEST_SECONDS");
    const long limit = seconds ? atol(seconds) : 0;
    return (limit > 0 ? (DWORD)limit : kTestSeconds) * 1000;
}

DWORD WINAPI Watchdog(void*)
{
    for (;;) {
        Sleep(250);
        if (Current().test.empty())
            continue;
        const DWORD now = GetTickCount();
        const DWORD silent = g_silentMs;
        if (silent != 0 && ModalDriver::Running() && now - g_answered > silent)
            GoOn("no answer to messages for " + std::to_string((now - g_answered) / 1000) + " s" +
                 WhereTheMainThreadIs());
        const DWORD limit = g_limitMs;
        if (limit != 0 && now - g_testStarted > limit)
            GoOn("still running after " + std::to_string(limit / 1000) + " s" + WhereTheMainThreadIs());
    }
}

// Watches, while the thread runs its message loop, for a window that stays
// up though no step waits for it.
struct StuckWindow
{
    HWND window = NULL, closing = NULL;
    DWORD since = 0, lastTick = 0;
    bool failed = false;

    void tick()
    {
        const DWORD now = GetTickCount();
        g_answered = now;
        // A gap means the thread was busy outside a loop: nothing stood still.
        if (now - lastTick > 1000)
            since = now;
        lastTick = now;
        HWND up = ActiveModalWindow();
        if (up == NULL || ModalDriver::StepPending()) {
            window = NULL;
            return;
        }
        if (up != window) {
            window = up;
            since = now;
        }
        if (!failed && now - since < kStuckMs)
            return;
        if (up != closing) {
            const bool box = up == FindMessageBox();
            ADD_FAILURE() << (box ? "a message box \"" + MessageBoxText(up) : "the dialog \"" + WindowText(up))
                          << "\" came up though nothing was waiting for it" << (failed ? " (after the first)" : "")
                          << "; closed it" << (Current().context.empty() ? "" : "; " + Current().context);
            closing = up;
            failed = true;
        }
        PostMessageA(up, WM_COMMAND, IDCANCEL, 0);
    }
} g_stuck;

LRESULT CALLBACK WatchWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        g_stuck.tick();
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class Listener : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo& info) override
    {
        EnterCriticalSection(&g_lock);
        g_test = std::string(info.test_suite_name()) + "." + info.name();
        g_context.clear();
        LeaveCriticalSection(&g_lock);
        g_testStarted = g_answered = GetTickCount();
        g_limitMs = TimeLimitMs();
        g_silentMs = kSilentSeconds * 1000;
        g_stuck = StuckWindow();
        SetTimer(g_window, 1, 250, NULL);
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        KillTimer(g_window, 1);
        EnterCriticalSection(&g_lock);
        g_test.clear();
        LeaveCriticalSection(&g_lock);
    }
};

// Leaves out every test up to and including the one named, in the order
// the run takes them.
void SkipThrough(const std::string& last)
{
    std::string done;
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    for (int i = 0; i < unit.total_test_suite_count(); ++i) {
        const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
        for (int j = 0; j < suite.total_test_count(); ++j) {
            const std::string name = std::string(suite.name()) + "." + suite.GetTestInfo(j)->name();
            done += (done.empty() ? "" : ":") + name;
            if (name == last) {
                std::string filter = GTEST_FLAG_GET(filter);
                GTEST_FLAG_SET(filter, filter + (filter.find('-') == std::string::npos ? "-" : ":") + done);
                return;
            }
        }
    }
}

} // namespace

void Install()
{
    InitializeCriticalSection(&g_lock);
    if (const char* after = getenv("VG_RESUME_AFTER"))
        SkipThrough(after);
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_mainThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    g_window = MessageWindow("FailFastWatch", WatchWindowProc);
    ::testing::UnitTest::GetInstance()->listeners().Append(new Listener);
    SetUnhandledExceptionFilter(OnFault);
    std::set_terminate([] { GoOn("an exception nobody caught ended the program"); });
    signal(SIGABRT, [](int) { GoOn("the program aborted"); });
    CloseHandle(CreateThread(NULL, 0, Watchdog, NULL, 0, NULL));
}

void SetLimits(DWORD testSeconds, DWORD silentSeconds)
{
    g_limitMs = testSeconds * 1000;
    g_silentMs = silentSeconds * 1000;
}

void SetContext(const std::string& where)
{
    EnterCriticalSection(&g_lock);
    g_context = where;
    LeaveCriticalSection(&g_lock);
}

} // namespace failfast
