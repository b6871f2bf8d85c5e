// A person at the sheet, played from a seed: each act is one piece of input
// a person could give to the window that has the input (the sheet, a dialog
// on it or a message box), posted as the mouse and keyboard would post it:
// a click on an enabled control or a tab, a drag over the schedule grid,
// characters and keys into the control with the focus, a choice in an open
// drop-down list. The same seed on the same windows gives the same acts.
#pragma once

#include <windows.h>
#include <random>
#include <string>

class Walker
{
public:
    explicit Walker(unsigned seed) : m_random(seed) {}

    // One act; false, doing nothing, while no window of the thread has the
    // input. What was done goes into did.
    bool act(std::string& did);
    // Works towards the end of the session: answers boxes, cancels
    // dialogs, then presses OK (or Cancel) on the sheet; after three OKs
    // that did not close it, Cancel.
    void finish(bool ok, std::string& did);
    void newSession() { m_finishing = 0; }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(int percent) { return pick(100) < percent; }

private:
    void click(HWND control, std::string& did);
    void type(HWND focus, std::string& did);
    void press(HWND focus, std::string& did);
    void releaseControl();

    std::mt19937 m_random;
    int m_finishing = 0;  // ticks spent finishing
    bool m_controlDown = false;
};
