#include "ModalDriver.h"
#include <commctrl.h>
#include <prsht.h>

std::atomic<ModalDriver*> ModalDriver::s_active{ nullptr };

namespace {
// The window whose timer runs the steps, one for the thread.
HWND TimerWindow(WNDPROC proc)
{
    static HWND window = MessageWindow("ModalDriverTimer", proc);
    return window;
}
}

HWND MessageWindow(const char* className, WNDPROC proc)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
}

ModalDriver::ModalDriver(DWORD timeoutMs) : m_timeoutMs(timeoutMs) {}

ModalDriver::~ModalDriver() { stop(); }

ModalDriver& ModalDriver::then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

ModalDriver& ModalDriver::answerMessageBox(int button)
{
    return then([this, button]() {
        HWND hBox = FindMessageBox();
        if (hBox == NULL)
            return false;
        m_messages.push_back(MessageBoxText(hBox));
        PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    });
}

ModalDriver& ModalDriver::onWindow(const std::string& caption, std::function<void(HWND)> act)
{
    return then([caption, act]() {
        HWND h = FindThreadWindow(caption);
        if (h == NULL || !IsWindowEnabled(h))
            return false;
        act(h);
        return true;
    });
}

void ModalDriver::start()
{
    s_active = this;
    m_stepStarted = GetTickCount();
    m_ticking = SetTimer(TimerWindow(TimerWindowProc), 1, 10, NULL) != 0;
}

void ModalDriver::stop()
{
    if (m_ticking) {
        KillTimer(TimerWindow(TimerWindowProc), 1);
        m_ticking = false;
    }
    ModalDriver* self = this;
    s_active.compare_exchange_strong(self, nullptr);
}

INT_PTR ModalDriver::run(const std::function<INT_PTR()>& modal)
{
    start();
    INT_PTR result = modal();
    stop();
    return result;
}

void ModalDriver::reset()
{
    stop();
    m_steps.clear();
    m_next = 0;
    m_failure.clear();
    m_messages.clear();
}

LRESULT CALLBACK ModalDriver::TimerWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_TIMER)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    if (ModalDriver* active = s_active)
        active->tick();
    return 0;
}

bool ModalDriver::StepPending()
{
    ModalDriver* active = s_active;
    return active != nullptr && !active->finished();
}

static BOOL CALLBACK CloseOne(HWND hWnd, LPARAM)
{
    if (IsWindowVisible(hWnd))
        PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void ModalDriver::tick()
{
    if (finished())
        return;
    if (m_steps[m_next]()) {
        ++m_next;
        m_stepStarted = GetTickCount();
        return;
    }
    if (GetTickCount() - m_stepStarted > m_timeoutMs) {
        m_failure = "step " + std::to_string(m_next + 1) + " of " + std::to_string(m_steps.size()) +
                    " did not happen in time";
        HWND hBox = FindMessageBox();
        if (hBox != NULL)
            m_failure += "; a message box is up: \"" + MessageBoxText(hBox) + "\"";
        m_next = m_steps.size();
        EnumThreadWindows(GetCurrentThreadId(), CloseOne, 0);
    }
}

std::string ClassOf(HWND hWnd)
{
    char cls[64] = "";
    GetClassNameA(hWnd, cls, sizeof cls);
    return cls;
}

namespace {
BOOL CALLBACK OnlyTextAndButtons(HWND hChild, LPARAM lParam)
{
    std::string cls = ClassOf(hChild);
    if (cls != "Static" && cls != "Button")
        *reinterpret_cast<bool*>(lParam) = false;
    return TRUE;
}

BOOL CALLBACK FirstOne(HWND hWnd, LPARAM lParam)
{
    auto& d = *reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(lParam);
    if (!IsWindowVisible(hWnd) || !(*d.first)(hWnd))
        return TRUE;
    d.second = hWnd;
    return FALSE;
}
} // namespace

// A message box is a dialog whose text is the static control 0xFFFF and
// that holds nothing but texts, its icon and buttons; dialogs with labels
// of id -1 hold edits or lists besides.
bool IsMessageBox(HWND hWnd)
{
    if (ClassOf(hWnd) != "#32770" || GetDlgItem(hWnd, 0xFFFF) == NULL)
        return false;
    bool plain = true;
    EnumChildWindows(hWnd, OnlyTextAndButtons, reinterpret_cast<LPARAM>(&plain));
    return plain;
}

HWND FirstThreadWindow(const std::function<bool(HWND)>& which)
{
    std::pair<const std::function<bool(HWND)>*, HWND> d{ &which, NULL };
    EnumThreadWindows(GetCurrentThreadId(), FirstOne, reinterpret_cast<LPARAM>(&d));
    return d.second;
}

HWND FindThreadWindow(const std::string& caption)
{
    return FirstThreadWindow([&caption](HWND h) { return WindowText(h) == caption; });
}

HWND ActiveModalWindow()
{
    return FirstThreadWindow([](HWND h) { return ClassOf(h) == "#32770" && IsWindowEnabled(h); });
}

HWND FindMessageBox()
{
    return FirstThreadWindow(IsMessageBox);
}

std::string WindowText(HWND hWnd)
{
    char buf[4096] = "";
    GetWindowTextA(hWnd, buf, sizeof buf);
    return buf;
}

std::string MessageBoxText(HWND hBox) { return WindowText(GetDlgItem(hBox, 0xFFFF)); }

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!pred())
            Sleep(5);
    }
    return true;
}

void TypeChar(HWND hWnd, char ch)
{
    SHORT vk = VkKeyScanA(ch);
    UINT scan = MapVirtualKeyA(LOBYTE(vk), 0);
    SendMessageA(hWnd, WM_KEYDOWN, LOBYTE(vk), 1 | (scan << 16));
    SendMessageA(hWnd, WM_CHAR, (BYTE)ch, 1 | (scan << 16));
    SendMessageA(hWnd, WM_KEYUP, LOBYTE(vk), 1 | (scan << 16) | 0xC0000000);
}

LPARAM KeyData(UINT vk)
{
    const UINT scan = MapVirtualKeyA(vk, 0);
    const bool extended = vk == VK_DELETE || vk == VK_INSERT || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_HOME ||
                          vk == VK_END || vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT;
    return 1 | (scan << 16) | (extended ? 0x01000000 : 0);
}

void PressKey(HWND hWnd, UINT vk)
{
    const LPARAM l = KeyData(vk);
    SendMessageA(hWnd, WM_KEYDOWN, vk, l);
    // Backspace produces a character message too, as the keyboard would.
    if (vk == VK_BACK)
        SendMessageA(hWnd, WM_CHAR, '\b', l);
    SendMessageA(hWnd, WM_KEYUP, vk, l | 0xC0000000);
}

std::vector<std::string> ListBoxItems(HWND hList)
{
    std::vector<std::string> items;
    int count = (int)SendMessageA(hList, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        std::vector<char> text((size_t)SendMessageA(hList, LB_GETTEXTLEN, i, 0) + 1, '\0');
        SendMessageA(hList, LB_GETTEXT, i, (LPARAM)text.data());
        items.push_back(text.data());
    }
    return items;
}

void ClickButton(HWND hDlg, int id)
{
    HWND hButton = GetDlgItem(hDlg, id);
    SendMessageA(hButton, BM_CLICK, 0, 0);
}

int SheetPageIndex(HWND hSheet, const std::string& caption)
{
    HWND tab = (HWND)SendMessageA(hSheet, PSM_GETTABCONTROL, 0, 0);
    int count = (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[128] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)&item) && caption == text)
            return i;
    }
    return -1;
}
