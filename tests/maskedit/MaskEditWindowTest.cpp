// SECMaskEdit on a real edit control of a modeless dialog, driven with the
// messages that keyboard, mouse and clipboard produce.
#include <gtest/gtest.h>
#include "SECMaskEdit.h"
#include "MaskEditTest.h"
#include "ModalDriver.h"

#include <string>

namespace {

const char kIp[] = "###.###.###.###";
const char kPhone[] = "(###) ###-####";

INT_PTR CALLBACK TestDlgProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// "text|caret" or "text[start,end)": what a person sees in the control.
std::string State(HWND hEdit)
{
    DWORD s = 0, e = 0;
    SendMessageA(hEdit, EM_GETSEL, (WPARAM)&s, (LPARAM)&e);
    std::string text = WindowText(hEdit);
    if (s == e)
        return text + "|" + std::to_string(s);
    return text + "[" + std::to_string(s) + "," + std::to_string(e) + ")";
}

void Type(HWND hEdit, const char* keys)
{
    for (; *keys; ++keys)
        TypeChar(hEdit, *keys);
}

void SetClipboardText(HWND hOwner, const char* text)
{
    ASSERT_TRUE(OpenClipboard(hOwner));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    strcpy(static_cast<char*>(GlobalLock(h)), text);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
}

std::string ClipboardText(HWND hOwner)
{
    std::string text;
    if (OpenClipboard(hOwner)) {
        if (HANDLE h = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
    }
    return text;
}

// A derived control that takes Backspace over completely, as an address
// control does: it clears the text and marks the key as handled.
class ClearingEdit : public SECMaskEdit
{
protected:
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        if (nChar == VK_BACK) {
            SetData("");
            m_bKeyHandled = TRUE;
            return;
        }
        SECMaskEdit::OnKeyDown(nChar, nRepCnt, nFlags);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ClearingEdit, SECMaskEdit)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class MaskEditWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hDlg = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MASKEDIT_TEST), NULL,
                                    TestDlgProc, 0);
        ASSERT_NE(m_hDlg, nullptr);
        m_hEdit = GetDlgItem(m_hDlg, IDC_MASKED);
        SetFocus(m_hEdit);
    }
    void TearDown() override
    {
        m_edit.reset();
        DestroyWindow(m_hDlg);
    }
    SECMaskEdit& Attach(const char* mask, SECMaskEdit* edit = new SECMaskEdit)
    {
        m_edit.reset(edit);
        EXPECT_TRUE(m_edit->AttachEdit(IDC_MASKED, CWnd::FromHandle(m_hDlg)));
        m_edit->SetMask(mask);
        return *m_edit;
    }
    void Caret(int pos) { SendMessageA(m_hEdit, EM_SETSEL, pos, pos); }
    void Select(int start, int end) { SendMessageA(m_hEdit, EM_SETSEL, start, end); }

    HWND m_hDlg = NULL;
    HWND m_hEdit = NULL;
    std::unique_ptr<SECMaskEdit> m_edit;
};

TEST_F(MaskEditWindow, TypingFillsTheDigitPositionsAndRefusesEverythingElse)
{
    Attach(kPhone);
    EXPECT_EQ("(   )    -    |0", State(m_hEdit));
    Type(m_hEdit, "555x123-4567 ");
    EXPECT_EQ("(555) 123-4567|14", State(m_hEdit));
    Caret(1);
    Type(m_hEdit, "9");
    EXPECT_EQ("(955) 123-4567|2", State(m_hEdit)) << "typing overwrites";
}

TEST_F(MaskEditWindow, SetTextSetDataAndSetMaskKeepTheShape)
{
    SECMaskEdit& edit = Attach("");
    SetWindowTextA(m_hEdit, "10.1");
    edit.SetMask(kIp);
    EXPECT_EQ("10 .1  .   .   ", WindowText(m_hEdit));
    SetWindowTextA(m_hEdit, "10.1.2.3");
    EXPECT_EQ("10 .1  .2  .3  ", WindowText(m_hEdit));
    edit.SetData("1234");
    EXPECT_EQ("123.4  .   .   ", WindowText(m_hEdit));
    CString data;
    edit.GetData(data);
    EXPECT_STREQ("1234        ", data);
    EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(SECMaskEdit)));
}

TEST_F(MaskEditWindow, BackspaceAndDeleteRemoveOneDigitEach)
{
    Attach(kIp).SetData("123456");
    Caret(5);
    PressKey(m_hEdit, VK_BACK);
    EXPECT_EQ("123.56 .   .   |4", State(m_hEdit)) << "the key's \"\\b\" must not remove a second digit";
    Caret(0);
    PressKey(m_hEdit, VK_DELETE);
    EXPECT_EQ("23 .56 .   .   |0", State(m_hEdit));
    Select(1, 5);
    PressKey(m_hEdit, VK_DELETE);
    EXPECT_EQ("2  . 6 .   .   |1", State(m_hEdit));
    SendMessageA(m_hEdit, WM_KEYDOWN, VK_INSERT, 0);
    PressKey(m_hEdit, VK_INSERT);
    Type(m_hEdit, "5");
    EXPECT_EQ("25 . 6 .   .   |2", State(m_hEdit)) << "Insert leaves the control overwriting";
}

TEST_F(MaskEditWindow, ADerivedControlsHandledKeySuppressesItsCharacterUntilTheNextKeyDown)
{
    Attach(kIp, new ClearingEdit).SetData("123");
    Caret(3);
    PressKey(m_hEdit, VK_BACK);
    EXPECT_EQ("   .   .   .   ", WindowText(m_hEdit));
    SendMessageA(m_hEdit, WM_CHAR, '7', 1);
    EXPECT_EQ("   .   .   .   ", WindowText(m_hEdit)) << "still ignored before the next key-down";
    Caret(0);
    TypeChar(m_hEdit, '7');
    EXPECT_EQ("7  .   .   .   ", WindowText(m_hEdit));
}

TEST_F(MaskEditWindow, ClipboardOperationsBlankOrFillDigitPositions)
{
    Attach(kIp).SetData("123456789012");
    SetClipboardText(m_hDlg, "10.1.2.3");
    Select(0, 15);
    SendMessageA(m_hEdit, WM_PASTE, 0, 0);
    EXPECT_EQ("10 .1  .2  .3  |13", State(m_hEdit));

    Select(0, 6);
    SendMessageA(m_hEdit, WM_CHAR, 0x18, 1);  // Ctrl+X
    EXPECT_EQ("   .   .2  .3  |0", State(m_hEdit));
    EXPECT_EQ("10 .1 ", ClipboardText(m_hDlg));

    Caret(8);
    SendMessageA(m_hEdit, WM_CHAR, 0x16, 1);  // Ctrl+V
    EXPECT_EQ("   .   .10 .1  |14", State(m_hEdit)) << "pasted fields start at the caret's field";

    Select(8, 10);
    SendMessageA(m_hEdit, WM_CLEAR, 0, 0);
    SendMessageA(m_hEdit, EM_REPLACESEL, FALSE, (LPARAM)"77");
    SendMessageA(m_hEdit, WM_UNDO, 0, 0);
    EXPECT_EQ("   .   .77 .1  |10", State(m_hEdit));
}

TEST_F(MaskEditWindow, AClickOnBlanksPutsTheCaretAfterTheFieldsDigitsAndTakesTheFocus)
{
    Attach(kIp).SetData("1  23");
    SetFocus(GetDlgItem(m_hDlg, IDC_OTHER));
    LRESULT pos = SendMessageA(m_hEdit, EM_POSFROMCHAR, 2, 0);
    LPARAM at = MAKELPARAM(LOWORD(pos) + 1, HIWORD(pos) + 2);
    SendMessageA(m_hEdit, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(m_hEdit, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(m_hEdit, GetFocus());
    EXPECT_EQ("1  .23 .   .   |1", State(m_hEdit));
}

}  // namespace
