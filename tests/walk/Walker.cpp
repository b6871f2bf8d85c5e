#include "Walker.h"
#include "ModalDriver.h"
#include "resource.h"
#include <commctrl.h>
#include <prsht.h>
#include <vector>

namespace {

// "Button 1010 "&Add..."", for the account of what was done.
std::string Named(HWND h)
{
    std::string text = ClassOf(h) + " " + std::to_string(GetDlgCtrlID(h));
    const std::string caption = WindowText(h);
    return caption.empty() || ClassOf(h) == "Edit" ? text : text + " \"" + caption.substr(0, 40) + "\"";
}

void PostMouse(HWND h, UINT message, WPARAM keys, POINT p)
{
    PostMessageA(h, message, keys, MAKELPARAM(p.x, p.y));
}

void PostClick(HWND h, POINT p, WPARAM keys = 0, bool twice = false)
{
    PostMouse(h, WM_MOUSEMOVE, keys, p);
    PostMouse(h, WM_LBUTTONDOWN, MK_LBUTTON | keys, p);
    PostMouse(h, WM_LBUTTONUP, keys, p);
    if (twice) {
        PostMouse(h, WM_LBUTTONDBLCLK, MK_LBUTTON | keys, p);
        PostMouse(h, WM_LBUTTONUP, keys, p);
    }
}

// A key goes down and up; the message loop's TranslateMessage makes the
// character of Space, Backspace, Enter, Escape and Tab, as it would.
void PostKey(HWND h, UINT vk)
{
    const LPARAM l = KeyData(vk);
    PostMessageA(h, WM_KEYDOWN, vk, l);
    PostMessageA(h, WM_KEYUP, vk, l | 0xC0000000);
}

POINT Middle(HWND h)
{
    RECT r;
    GetClientRect(h, &r);
    return POINT{ r.right / 2, r.bottom / 2 };
}

struct Found { std::vector<HWND> windows; HWND top; bool sheet; };

// Enabled all the way up to the window with the input.
bool Enabled(HWND h, HWND top)
{
    for (; h != NULL && h != top; h = GetParent(h))
        if (!IsWindowEnabled(h))
            return false;
    return true;
}

BOOL CALLBACK Collect(HWND h, LPARAM l)
{
    Found& f = *reinterpret_cast<Found*>(l);
    const std::string cls = ClassOf(h);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    const int id = GetDlgCtrlID(h);
    const bool sheetButton =
        f.sheet && GetParent(h) == f.top && (id == IDOK || id == IDCANCEL || id == IDHELP || id == 0x3021);
    if (!IsWindowVisible(h) || !Enabled(h, f.top) || sheetButton || cls == "#32770" || cls == "Static" ||
        (cls == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX))
        return TRUE;
    f.windows.push_back(h);
    return TRUE;
}

HWND DroppedList()
{
    return FirstThreadWindow([](HWND h) { return ClassOf(h) == "ComboLBox"; });
}

bool IsSheet(HWND h) { return SendMessageA(h, PSM_GETTABCONTROL, 0, 0) != 0; }

// The focus if it is in the window with the input; else that window.
HWND KeyTarget(HWND top)
{
    HWND focus = GetFocus();
    return focus != NULL && (focus == top || IsChild(top, focus)) ? focus : top;
}

// A list item's middle, or (item == count) the blank below the last one.
POINT ListPoint(HWND list, int item, int count)
{
    RECT r = {};
    if (item < count && SendMessageA(list, LB_GETITEMRECT, item, (LPARAM)&r) != LB_ERR)
        return POINT{ (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    GetClientRect(list, &r);
    return POINT{ r.right / 2, r.bottom - 2 };
}

} // namespace

void Walker::releaseControl()
{
    if (!m_controlDown)
        return;
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_LCONTROL] = 0;
    SetKeyboardState(state);
    m_controlDown = false;
}

bool Walker::act(std::string& did)
{
    releaseControl();
    if (HWND dropped = DroppedList()) {
        const int count = (int)SendMessageA(dropped, LB_GETCOUNT, 0, 0);
        const int item = pick(count + 1);
        PostClick(dropped, ListPoint(dropped, item, count));
        did = "chose row " + std::to_string(item) + " of the drop-down list";
        return true;
    }
    HWND top = ActiveModalWindow();
    if (top == NULL)
        return false;
    if (IsMessageBox(top)) {
        Found f{ {}, top, false };
        EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&f));
        if (f.windows.empty() || chance(20)) {
            press(KeyTarget(top), did);
        } else {
            HWND button = f.windows[pick((int)f.windows.size())];
            PostClick(button, Middle(button));
            did = "clicked " + Named(button);
        }
        did += " in the message box \"" + MessageBoxText(top) + "\"";
        return true;
    }
    Found f{ {}, top, IsSheet(top) };
    EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&f));
    HWND focus = KeyTarget(top);
    const int roll = pick(100);
    if (roll < 50 && !f.windows.empty())
        click(f.windows[pick((int)f.windows.size())], did);
    else if (roll < 80)
        type(focus, did);
    else
        press(focus, did);
    did += " in \"" + WindowText(top) + "\"";
    return true;
}

void Walker::click(HWND control, std::string& did)
{
    const std::string cls = ClassOf(control);
    RECT client;
    GetClientRect(control, &client);
    const WPARAM keys = chance(15) ? MK_CONTROL : chance(15) ? MK_SHIFT : 0;
    did = "clicked " + Named(control);
    if (GetDlgCtrlID(control) == IDC_SCHEDULE_GRID) {
        const int how = pick(100);
        auto anywhere = [&] { return POINT{ pick(client.right + 20) - 10, pick(client.bottom + 20) - 10 }; };
        if (how < 15) {
            static const int codes[] = { SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_THUMBTRACK, SB_TOP,
                                         SB_BOTTOM };
            const int code = codes[pick(7)];
            PostMessageA(control, WM_VSCROLL, MAKEWPARAM(code, pick(12)), 0);
            PostMessageA(control, WM_VSCROLL, SB_ENDSCROLL, 0);
            did = "scrolled the grid (" + std::to_string(code) + ")";
            return;
        }
        POINT p = anywhere();
        PostMouse(control, WM_LBUTTONDOWN, MK_LBUTTON, p);
        const int moves = how < 50 ? 0 : 1 + pick(6);
        for (int i = 0; i < moves; ++i) {
            // Mostly a few pixels on, sometimes a jump.
            p = chance(70) ? POINT{ p.x + pick(21) - 10, p.y + pick(21) - 10 } : anywhere();
            PostMouse(control, WM_MOUSEMOVE, MK_LBUTTON, p);
        }
        PostMouse(control, WM_LBUTTONUP, 0, p);
        did = (moves ? "dragged over the grid with " + std::to_string(moves) + " moves to " : "clicked the grid at ") +
              std::to_string(p.x) + "," + std::to_string(p.y);
        return;
    }
    if (cls == "ListBox") {
        const int count = (int)SendMessageA(control, LB_GETCOUNT, 0, 0);
        const int first = (int)SendMessageA(control, LB_GETTOPINDEX, 0, 0);
        const int item = count == 0 ? 0 : first + pick(count - first + 1);
        const bool twice = chance(10);
        PostClick(control, ListPoint(control, item, count), keys, twice);
        did += (twice ? " twice" : "") + std::string(" on row ") + std::to_string(item) + " of " +
               std::to_string(count) + (keys ? " with a modifier" : "");
    } else if (cls == "SysListView32") {
        const int count = (int)SendMessageA(control, LVM_GETITEMCOUNT, 0, 0);
        const int item = pick(count + 1);
        RECT r = {};
        r.left = LVIR_BOUNDS;
        POINT p{ client.right / 2, client.bottom - 3 };
        if (item < count && SendMessageA(control, LVM_GETITEMRECT, item, (LPARAM)&r))
            p = POINT{ r.left + 10, (r.top + r.bottom) / 2 };
        const bool twice = chance(10);
        PostClick(control, p, keys, twice);
        did += (twice ? " twice" : "") + std::string(" on row ") + std::to_string(item) + " of " +
               std::to_string(count);
    } else if (cls == "SysTabControl32") {
        const int tab = pick((int)SendMessageA(control, TCM_GETITEMCOUNT, 0, 0));
        RECT r = {};
        SendMessageA(control, TCM_GETITEMRECT, tab, (LPARAM)&r);
        PostClick(control, POINT{ (r.left + r.right) / 2, (r.top + r.bottom) / 2 });
        did = "clicked tab " + std::to_string(tab);
    } else if (cls == "msctls_updown32") {
        const bool up = chance(50);
        PostClick(control, POINT{ client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4 });
        did += up ? " up" : " down";
    } else if (cls == "Edit") {
        PostClick(control, POINT{ pick(client.right + 1), client.bottom / 2 });
    } else {
        PostClick(control, Middle(control));
    }
}

void Walker::type(HWND focus, std::string& did)
{
    // What people type into these fields, and what slips in besides.
    static const char* const pieces[] = {
        "0", "1", "5", "9", ".", "/", ":", "*", " ", "-", "#", "a", "Z", "x", "10.0.0.", "192.168.1.1", "255",
        "256", "1000", "1001", "99999", "8080", "www.example.com", "/ads/*", "text/", "application/x-", "%d",
        "\xE9", "\t", "<b>", "abcdefghijklmnopqrstuvwxyz0123456789abcdefghij",
    };
    std::string text;
    const bool edit = ClassOf(focus) == "Edit";
    for (int i = 0, n = edit ? 1 + pick(3) : 1; i < n; ++i)
        text += edit ? pieces[pick(sizeof pieces / sizeof *pieces)] : std::string(1, "aAdDvVbBx 1"[pick(11)]);
    for (char c : text)
        PostMessageA(focus, WM_CHAR, (BYTE)c, 1);
    did = "typed \"" + text + "\" into " + Named(focus);
}

void Walker::press(HWND focus, std::string& did)
{
    const UINT kControl = 0x10000;
    static const struct { UINT vk; const char* name; int weight; } keys[] = {
        { VK_TAB, "Tab", 12 },  { VK_SPACE, "Space", 12 }, { VK_LEFT, "Left", 6 },     { VK_RIGHT, "Right", 6 },
        { VK_UP, "Up", 8 },     { VK_DOWN, "Down", 8 },    { VK_HOME, "Home", 5 },     { VK_END, "End", 5 },
        { VK_BACK, "Backspace", 10 }, { VK_DELETE, "Delete", 8 }, { VK_PRIOR, "Page Up", 3 },
        { VK_NEXT, "Page Down", 3 }, { VK_RETURN, "Enter", 3 }, { VK_ESCAPE, "Escape", 2 },
        { VK_TAB | kControl, "Ctrl+Tab", 3 }, { VK_NEXT | kControl, "Ctrl+Page Down", 1 },
        { VK_PRIOR | kControl, "Ctrl+Page Up", 1 },
    };
    int total = 0;
    for (const auto& k : keys)
        total += k.weight;
    int roll = pick(total);
    for (const auto& k : keys) {
        if ((roll -= k.weight) < 0) {
            // The key state says Ctrl is down until the next act: posted
            // keys do not change it.
            if (k.vk & kControl) {
                BYTE state[256];
                GetKeyboardState(state);
                state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
                SetKeyboardState(state);
                m_controlDown = true;
            }
            PostKey(focus, k.vk & ~kControl);
            did = std::string("pressed ") + k.name + " in " + Named(focus);
            return;
        }
    }
}

void Walker::finish(bool ok, std::string& did)
{
    releaseControl();
    // Every few ticks, so that what the last press brought up is there.
    if (m_finishing++ % 8 != 0)
        return;
    if (HWND dropped = DroppedList()) {
        PostKey(GetFocus() ? GetFocus() : dropped, VK_ESCAPE);
        did = "closed the drop-down list";
        return;
    }
    HWND top = ActiveModalWindow();
    if (top == NULL)
        return;
    int id = IDCANCEL;
    if (IsMessageBox(top)) {
        id = GetDlgItem(top, IDCANCEL) ? IDCANCEL : GetDlgItem(top, IDNO) ? IDNO : IDOK;
    } else if (IsSheet(top) && ok && m_finishing < 8 * 3) {
        // People end with Enter as often as with a click on OK.
        if (chance(50)) {
            PostKey(KeyTarget(top), VK_RETURN);
            did = "pressed Enter to end \"" + WindowText(top) + "\"";
            return;
        }
        id = IDOK;
    }
    HWND button = GetDlgItem(top, id);
    if (button != NULL && IsWindowEnabled(button))
        PostClick(button, Middle(button));
    else
        PostMessageA(top, WM_COMMAND, id, 0);
    did = "pressed " + std::to_string(id) + " to end " +
          (IsMessageBox(top) ? "the message box \"" + MessageBoxText(top) : "\"" + WindowText(top)) + "\"";
}
