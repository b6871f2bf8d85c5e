// Drives modal windows from inside their own message loops.
//
// A test queues steps, then starts the modal operation (DoModal, a message
// box, EditVeilgate). A timer runs the first queued step on every tick until
// the step reports that it is done, then moves to the next; the modal loops
// dispatch the timer, so the steps run while the window is up. The timer
// belongs to a window of its own: a fault in a step then reaches the
// program's fault filter, which a timer without a window would not let it.
// Steps act by posting messages, never by sending, so that a step never
// blocks inside a nested modal loop of its own making.
//
// If a step has not finished within the time limit, the driver records the
// failure, closes every window of the thread and lets the test fail instead
// of hanging.
#pragma once

#include <windows.h>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

class ModalDriver
{
public:
    using Step = std::function<bool()>;  // true when the step is done

    explicit ModalDriver(DWORD timeoutMs = 30000);
    ~ModalDriver();

    ModalDriver& then(Step step);
    // Waits for a message box, records its text and presses the button.
    ModalDriver& answerMessageBox(int button = IDOK);
    // Waits for a top-level window of this thread with this caption, then runs act.
    ModalDriver& onWindow(const std::string& caption, std::function<void(HWND)> act);

    void start();
    void stop();
    // start, the modal operation, stop; the operation's result.
    INT_PTR run(const std::function<INT_PTR()>& modal);
    // Forgets the steps, the messages and any failure, for another run.
    void reset();
    bool finished() const { return m_next >= m_steps.size(); }
    const std::string& failure() const { return m_failure; }
    // Texts of the message boxes answered, in order.
    const std::vector<std::string>& messages() const { return m_messages; }

    // Whether a driver runs, and whether a step of it waits for something.
    static bool Running() { return s_active != nullptr; }
    static bool StepPending();

private:
    static LRESULT CALLBACK TimerWindowProc(HWND, UINT, WPARAM, LPARAM);
    void tick();

    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_ticking = false;
    DWORD m_timeoutMs;
    DWORD m_stepStarted = 0;
    std::string m_failure;
    std::vector<std::string> m_messages;
    static std::atomic<ModalDriver*> s_active;
};

// The first visible top-level window of this thread, from the top, for
// which holds; NULL when there is none.
HWND FirstThreadWindow(const std::function<bool(HWND)>& which);
// Visible top-level window of this thread with this caption, or NULL.
HWND FindThreadWindow(const std::string& caption);
// The message box of this thread that is up, or NULL.
HWND FindMessageBox();
// Whether a window (of any process) is a message box.
bool IsMessageBox(HWND hWnd);
// The modal window of this thread that has the input: the first enabled
// visible dialog (message boxes and sheets included) from the top, or NULL.
HWND ActiveModalWindow();
// The text of a message box.
std::string MessageBoxText(HWND hBox);
// Window text and class name of any window.
std::string WindowText(HWND hWnd);
std::string ClassOf(HWND hWnd);
// A window that only receives messages, of a class of its own.
HWND MessageWindow(const char* className, WNDPROC proc);
// Runs the message loop until pred holds or the time is up.
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 30000);
// Sends a character or key to a window the way the keyboard would.
void TypeChar(HWND hWnd, char ch);
void PressKey(HWND hWnd, UINT vk);
// The key data of a key-down of vk: one repeat, its scan code, the
// extended bit of the keys of the cursor block.
LPARAM KeyData(UINT vk);
// The texts of a list box's items, top to bottom.
std::vector<std::string> ListBoxItems(HWND hList);
// The index of the sheet's tab with this caption, or -1.
int SheetPageIndex(HWND hSheet, const std::string& caption);
// Clicks a button through its parent, as a mouse click would notify it.
void ClickButton(HWND hDlg, int id);
