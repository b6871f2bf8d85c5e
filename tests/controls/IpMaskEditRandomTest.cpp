// Random key, click, clipboard and focus sequences on both masks: the text
// keeps the mask's length, every literal stays in place and every digit
// position holds a digit or a blank.
#include <gtest/gtest.h>
#include "AddressDialog.h"
#include "ModalDriver.h"

#include <random>

namespace {

// Presses OK in every message box as soon as it is activated: the random
// run brings up hundreds and cannot wait for a driver's timer each time.
class BoxDismisser
{
public:
    BoxDismisser() { s_hook = SetWindowsHookExA(WH_CBT, Hook, NULL, GetCurrentThreadId()); }
    ~BoxDismisser() { UnhookWindowsHookEx(s_hook); }
    static int count() { return s_count; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        HWND hWnd = (HWND)wParam;
        char cls[16] = "";
        if (code == HCBT_ACTIVATE && GetClassNameA(hWnd, cls, sizeof cls) && strcmp(cls, "#32770") == 0 &&
            GetDlgItem(hWnd, 0xFFFF) != NULL) {
            PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            ++s_count;
        }
        return CallNextHookEx(s_hook, code, wParam, lParam);
    }
    static HHOOK s_hook;
    static int s_count;
};
HHOOK BoxDismisser::s_hook = NULL;
int BoxDismisser::s_count = 0;

std::string ShapeProblem(const std::string& mask, const std::string& text)
{
    if (text.size() != mask.size())
        return "length " + std::to_string(text.size());
    for (size_t i = 0; i < mask.size(); ++i) {
        bool ok = mask[i] == '#' ? (text[i] == ' ' || (text[i] >= '0' && text[i] <= '9')) : text[i] == mask[i];
        if (!ok)
            return "position " + std::to_string(i);
    }
    return "";
}

void RunRandomSession(const char* mask, unsigned seed, int steps)
{
    AddressDialog dlg(mask, "192.168.1.1/24");
    HWND hEdit = dlg.edit();
    const int len = (int)strlen(mask);
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return (int)(rng() % (unsigned)n); };
    const char keys[] = "0123456789012345./.a -";
    const UINT moves[] = { VK_LEFT, VK_RIGHT, VK_HOME, VK_END };
    std::string log;

    for (int step = 0; step < steps; ++step) {
        std::string op;
        switch (pick(12)) {
        case 0: case 1: case 2: case 3: {
            char ch = keys[pick(sizeof keys - 1)];
            op = std::string("type '") + ch + "'";
            TypeChar(hEdit, ch);
            break;
        }
        case 4:
            op = "backspace";
            PressKey(hEdit, VK_BACK);
            break;
        case 5:
            op = "delete";
            PressKey(hEdit, VK_DELETE);
            break;
        case 6: {
            UINT vk = moves[pick(4)];
            op = "move " + std::to_string(vk);
            PressKey(hEdit, vk);
            break;
        }
        case 7: {
            int s = pick(len + 1), e = pick(len + 1);
            op = "select " + std::to_string(s) + "," + std::to_string(e);
            dlg.select(s, e);
            break;
        }
        case 8: {
            int from = pick(len), to = pick(len);
            op = "drag " + std::to_string(from) + "->" + std::to_string(to);
            dlg.drag(from, to);
            break;
        }
        case 9:
            op = "focus away and back";
            SetFocus(dlg.other());
            SetFocus(hEdit);
            break;
        case 10: {
            std::string text;
            for (int n = pick(8); n > 0; --n)
                text += keys[pick(sizeof keys - 1)];
            op = "replace selection with '" + text + "'";
            SendMessageA(hEdit, EM_REPLACESEL, TRUE, (LPARAM)text.c_str());
            break;
        }
        default:
            op = "cut";
            SendMessageA(hEdit, WM_CUT, 0, 0);
            break;
        }
        log += op + "; ";
        std::string problem = ShapeProblem(mask, WindowText(hEdit));
        ASSERT_EQ("", problem) << "mask " << mask << ", seed " << seed << ", step " << step << " (" << op
                               << "), text \"" << WindowText(hEdit) << "\"\nlast operations: "
                               << log.substr(log.size() > 600 ? log.size() - 600 : 0);
        if (log.size() > 4000)
            log.erase(0, 2000);
    }
}

TEST(IpMaskEditRandom, KeysClicksAndFocusChangesKeepTheMasksShape)
{
    const unsigned kSeed = 20240611;
    BoxDismisser dismisser;
    RunRandomSession("###.###.###.###", kSeed, 2500);
    RunRandomSession("###.###.###.###/##", kSeed + 1, 2500);
    EXPECT_GT(BoxDismisser::count(), 0) << "the run never reached a field check";
}

}  // namespace
