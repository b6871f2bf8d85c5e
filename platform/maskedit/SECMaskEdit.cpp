#include "SECMaskEdit.h"

#include <string.h>

/////////////////////////////////////////////////////////////////////////////
// MaskText

namespace
{
const TCHAR kDigitPos = '#';
const TCHAR kBlank = ' ';

bool IsDigit(TCHAR ch) { return ch >= '0' && ch <= '9'; }

void Order(const CString& mask, int& nStart, int& nEnd)
{
    int n = mask.GetLength();
    if (nStart > nEnd) {
        int t = nStart;
        nStart = nEnd;
        nEnd = t;
    }
    nStart = nStart < 0 ? 0 : (nStart > n ? n : nStart);
    nEnd = nEnd < 0 ? 0 : (nEnd > n ? n : nEnd);
}

int NextLiteralPos(const CString& mask, int nPos)
{
    for (int i = nPos < 0 ? 0 : nPos; i < mask.GetLength(); ++i)
        if (mask[i] != kDigitPos)
            return i;
    return -1;
}

// Blanks the digit positions in [nStart, nEnd).
void BlankRange(const CString& mask, CString& text, int nStart, int nEnd)
{
    for (int i = nStart; i < nEnd; ++i)
        if (MaskText::IsDigitPos(mask, i))
            text.SetAt(i, kBlank);
}

// Removes the character at digit position nPos; the rest of its run of
// digit positions moves left and a blank fills the run's end.
void RemoveFromRun(const CString& mask, CString& text, int nPos)
{
    int nRunEnd = nPos;
    while (MaskText::IsDigitPos(mask, nRunEnd))
        ++nRunEnd;
    for (int i = nPos; i + 1 < nRunEnd; ++i)
        text.SetAt(i, text[i + 1]);
    text.SetAt(nRunEnd - 1, kBlank);
}

int StepOverLiterals(const CString& mask, int nPos)
{
    while (nPos < mask.GetLength() && !MaskText::IsDigitPos(mask, nPos))
        ++nPos;
    return nPos;
}

MaskEdit Result(const CString& text, int nStart, int nEnd)
{
    MaskEdit r;
    r.bHandled = TRUE;
    r.text = text;
    r.nSelStart = nStart;
    r.nSelEnd = nEnd;
    return r;
}
} // namespace

BOOL MaskText::IsDigitPos(const CString& mask, int nPos)
{
    return nPos >= 0 && nPos < mask.GetLength() && mask[nPos] == kDigitPos;
}

int MaskText::NextDigitPos(const CString& mask, int nPos)
{
    for (int i = nPos < 0 ? 0 : nPos; i < mask.GetLength(); ++i)
        if (mask[i] == kDigitPos)
            return i;
    return -1;
}

int MaskText::PrevDigitPos(const CString& mask, int nPos)
{
    for (int i = nPos >= mask.GetLength() ? mask.GetLength() - 1 : nPos; i >= 0; --i)
        if (mask[i] == kDigitPos)
            return i;
    return -1;
}

CString MaskText::BlankText(const CString& mask)
{
    CString text = mask;
    text.Replace(kDigitPos, kBlank);
    return text;
}

CString MaskText::LayData(const CString& mask, LPCTSTR lpszData)
{
    CString text = BlankText(mask);
    LPCTSTR p = lpszData != NULL ? lpszData : "";
    for (int i = 0; i < mask.GetLength() && *p != '\0'; ++i) {
        if (mask[i] != kDigitPos)
            continue;
        text.SetAt(i, IsDigit(*p) ? *p : kBlank);
        ++p;
    }
    return text;
}

CString MaskText::ReadData(const CString& mask, const CString& text)
{
    CString data;
    for (int i = 0; i < mask.GetLength() && i < text.GetLength(); ++i)
        if (mask[i] == kDigitPos)
            data += text[i];
    return data;
}

CString MaskText::Conform(const CString& mask, LPCTSTR lpszText)
{
    LPCTSTR src = lpszText != NULL ? lpszText : "";
    int n = mask.GetLength();
    bool bShaped = (int)strlen(src) == n;
    for (int i = 0; bShaped && i < n; ++i)
        if (mask[i] != kDigitPos && src[i] != mask[i])
            bShaped = false;
    if (bShaped) {
        CString text(src);
        for (int i = 0; i < n; ++i)
            if (mask[i] == kDigitPos && !IsDigit(text[i]))
                text.SetAt(i, kBlank);
        return text;
    }
    CString blank = BlankText(mask);
    MaskEdit r = Paste(mask, blank, 0, 0, src);
    return r.bHandled ? r.text : blank;
}

MaskEdit MaskText::TypeChar(const CString& mask, const CString& textIn, int nStart, int nEnd, TCHAR ch)
{
    Order(mask, nStart, nEnd);
    CString text = Conform(mask, textIn);
    if (IsDigit(ch)) {
        int q = NextDigitPos(mask, nStart);
        if (q < 0)
            return MaskEdit();
        BlankRange(mask, text, nStart, nEnd);
        text.SetAt(q, ch);
        int nCaret = StepOverLiterals(mask, q + 1);
        return Result(text, nCaret, nCaret);
    }
    if (ch == kDigitPos)
        return MaskEdit();
    int i = NextLiteralPos(mask, nEnd);
    if (i < 0 || mask[i] != ch)
        return MaskEdit();
    // At the start of an empty or filled run the separator would skip the
    // whole run; it only closes a run that has been started.
    if (IsDigitPos(mask, nEnd) && !IsDigitPos(mask, nEnd - 1))
        return MaskEdit();
    int nCaret = StepOverLiterals(mask, i + 1);
    return Result(text, nCaret, nCaret);
}

MaskEdit MaskText::ClearSelection(const CString& mask, const CString& textIn, int nStart, int nEnd)
{
    Order(mask, nStart, nEnd);
    if (nStart == nEnd)
        return MaskEdit();
    CString text = Conform(mask, textIn);
    BlankRange(mask, text, nStart, nEnd);
    return Result(text, nStart, nStart);
}

MaskEdit MaskText::DeleteKey(const CString& mask, const CString& textIn, int nStart, int nEnd)
{
    Order(mask, nStart, nEnd);
    if (nStart != nEnd)
        return ClearSelection(mask, textIn, nStart, nEnd);
    int q = NextDigitPos(mask, nStart);
    if (q < 0)
        return MaskEdit();
    CString text = Conform(mask, textIn);
    RemoveFromRun(mask, text, q);
    return Result(text, nStart, nStart);
}

MaskEdit MaskText::BackspaceKey(const CString& mask, const CString& textIn, int nStart, int nEnd)
{
    Order(mask, nStart, nEnd);
    if (nStart != nEnd)
        return ClearSelection(mask, textIn, nStart, nEnd);
    int q = PrevDigitPos(mask, nStart - 1);
    if (q < 0)
        return MaskEdit();
    CString text = Conform(mask, textIn);
    RemoveFromRun(mask, text, q);
    return Result(text, q, q);
}

MaskEdit MaskText::Paste(const CString& mask, const CString& textIn, int nStart, int nEnd, LPCTSTR lpszPaste)
{
    Order(mask, nStart, nEnd);
    CString text = Conform(mask, textIn);
    BlankRange(mask, text, nStart, nEnd);

    int p = nStart;
    bool bPlaced = false, bJumped = false, bEndsInRun = false;
    for (LPCTSTR s = lpszPaste != NULL ? lpszPaste : ""; *s != '\0'; ++s) {
        TCHAR ch = *s;
        // A literal standing right at the caret is matched first: the mask's
        // own literals may be blanks too.
        if (p < mask.GetLength() && mask[p] != kDigitPos && mask[p] == ch) {
            ++p;
            bPlaced = bJumped = true;
            bEndsInRun = false;
        } else if (IsDigit(ch) || ch == kBlank) {
            int q = NextDigitPos(mask, p);
            if (q < 0)
                break;
            text.SetAt(q, ch);
            p = q + 1;
            bPlaced = bEndsInRun = true;
        } else if (ch != kDigitPos) {
            int i = NextLiteralPos(mask, p);
            if (i >= 0 && mask[i] == ch) {
                BlankRange(mask, text, p, i);
                p = i + 1;
                bPlaced = bJumped = true;
                bEndsInRun = false;
            }
        }
    }
    if (!bPlaced)
        return MaskEdit();
    if (bJumped && bEndsInRun)
        for (int i = p; IsDigitPos(mask, i); ++i)
            text.SetAt(i, kBlank);
    return Result(text, p, p);
}

int MaskText::ClickCaret(const CString& mask, const CString& text, int nPos)
{
    int n = mask.GetLength() < text.GetLength() ? mask.GetLength() : text.GetLength();
    int k = nPos < 0 ? 0 : (nPos > n ? n : nPos);
    while (k > 0 && IsDigitPos(mask, k - 1) && text[k - 1] == kBlank)
        --k;
    return k;
}

/////////////////////////////////////////////////////////////////////////////
// SECMaskEdit

IMPLEMENT_DYNAMIC(SECMaskEdit, CEdit)

BEGIN_MESSAGE_MAP(SECMaskEdit, CEdit)
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(EM_REPLACESEL, OnReplaceSel)
    ON_MESSAGE(WM_PASTE, OnPaste)
    ON_MESSAGE(WM_CUT, OnCut)
    ON_MESSAGE(WM_CLEAR, OnClear)
    ON_MESSAGE(WM_UNDO, OnUndo)
    ON_MESSAGE(EM_UNDO, OnUndo)
    ON_MESSAGE(EM_CANUNDO, OnUndo)
END_MESSAGE_MAP()

SECMaskEdit::SECMaskEdit() : m_bKeyHandled(FALSE) {}

SECMaskEdit::~SECMaskEdit() {}

BOOL SECMaskEdit::AttachEdit(int nCtlID, CWnd* pParent)
{
    ASSERT(pParent != NULL && m_hWnd == NULL);
    return SubclassDlgItem(nCtlID, pParent);
}

void SECMaskEdit::PreSubclassWindow()
{
    // The window procedure is not ours yet, so WM_SETTEXT would not be shaped.
    if (IsMasked()) {
        CString text;
        GetWindowText(text);
        ::SetWindowTextA(m_hWnd, MaskText::Conform(m_strMask, text));
    }
}

void SECMaskEdit::SetMask(LPCTSTR lpszMask)
{
    m_strMask = lpszMask != NULL ? lpszMask : "";
    if (m_hWnd != NULL && IsMasked()) {
        CString text;
        GetWindowText(text);
        SetWindowText(text);
    }
}

void SECMaskEdit::SetData(LPCTSTR lpszData)
{
    if (m_hWnd == NULL)
        return;
    SetWindowText(IsMasked() ? (LPCTSTR)MaskText::LayData(m_strMask, lpszData) : lpszData);
}

void SECMaskEdit::GetData(CString& strData) const
{
    CString text;
    if (m_hWnd != NULL)
        GetWindowText(text);
    strData = IsMasked() ? MaskText::ReadData(m_strMask, text) : text;
}

void SECMaskEdit::ApplyEdit(const MaskEdit& edit)
{
    if (!edit.bHandled) {
        ::MessageBeep(MB_OK);
        return;
    }
    CString current;
    GetWindowText(current);
    if (current != edit.text)
        SetWindowText(edit.text);
    SetSel(edit.nSelStart, edit.nSelEnd);
}

void SECMaskEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    m_bKeyHandled = FALSE;
    if (!IsMasked()) {
        Default();
        return;
    }
    BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
    BOOL bCtrl = ::GetKeyState(VK_CONTROL) < 0;
    int nStart, nEnd;
    CString text;
    switch (nChar) {
    case VK_INSERT:
        // Derived controls send themselves Insert without key data around a
        // focus change, when Shift may still be held (Shift+Tab): only a real
        // key stroke pastes or copies.
        if (nRepCnt == 0 && nFlags == 0)
            return;
        if (bShift && !bCtrl)
            SendMessage(WM_PASTE);
        else if (bCtrl && !bShift)
            SendMessage(WM_COPY);
        return;
    case VK_DELETE:
        if (bShift && !bCtrl) {
            SendMessage(WM_CUT);
        } else if (!IsReadOnly()) {
            GetSel(nStart, nEnd);
            GetWindowText(text);
            ApplyEdit(MaskText::DeleteKey(m_strMask, text, nStart, nEnd));
        }
        m_bKeyHandled = TRUE;
        return;
    case VK_BACK:
        if (!IsReadOnly()) {
            GetSel(nStart, nEnd);
            GetWindowText(text);
            ApplyEdit(MaskText::BackspaceKey(m_strMask, text, nStart, nEnd));
        }
        m_bKeyHandled = TRUE;
        return;
    }
    Default();
}

void SECMaskEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!IsMasked()) {
        Default();
        return;
    }
    if (m_bKeyHandled)
        return;
    // Control characters never reach the edit control's own handling, which
    // would insert or delete text behind the mask's back.
    switch (nChar) {
    case 0x01:  // Ctrl+A
        SetSel(0, -1);
        return;
    case 0x03:  // Ctrl+C
        SendMessage(WM_COPY);
        return;
    case 0x16:  // Ctrl+V
        SendMessage(WM_PASTE);
        return;
    case 0x18:  // Ctrl+X
        SendMessage(WM_CUT);
        return;
    }
    if (nChar == '\b') {
        if (!IsReadOnly()) {
            int nStart, nEnd;
            CString text;
            GetSel(nStart, nEnd);
            GetWindowText(text);
            ApplyEdit(MaskText::BackspaceKey(m_strMask, text, nStart, nEnd));
        }
        return;
    }
    if (nChar < 0x20 || nChar == 0x7F)
        return;
    if (IsReadOnly()) {
        ::MessageBeep(MB_OK);
        return;
    }
    int nStart, nEnd;
    CString text;
    GetSel(nStart, nEnd);
    GetWindowText(text);
    ApplyEdit(MaskText::TypeChar(m_strMask, text, nStart, nEnd, (TCHAR)nChar));
}

void SECMaskEdit::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!IsMasked()) {
        Default();
        return;
    }
    // The edit control places the caret first and takes the focus after;
    // taking it before lets a focus handler's selection give way to the click.
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    Default();
    if (nFlags & MK_SHIFT)
        return;
    int nStart, nEnd;
    GetSel(nStart, nEnd);
    if (nStart != nEnd)
        return;
    CString text;
    GetWindowText(text);
    int nCaret = MaskText::ClickCaret(m_strMask, text, nStart);
    if (nCaret != nStart)
        SetSel(nCaret, nCaret);
}

LRESULT SECMaskEdit::OnSetText(WPARAM, LPARAM lParam)
{
    if (!IsMasked())
        return Default();
    CString text = MaskText::Conform(m_strMask, reinterpret_cast<LPCTSTR>(lParam));
    return DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>((LPCTSTR)text));
}

void SECMaskEdit::InsertText(LPCTSTR lpszText)
{
    int nStart, nEnd;
    CString text;
    GetSel(nStart, nEnd);
    GetWindowText(text);
    ApplyEdit(MaskText::Paste(m_strMask, text, nStart, nEnd, lpszText));
}

void SECMaskEdit::ClearSel()
{
    int nStart, nEnd;
    GetSel(nStart, nEnd);
    if (nStart == nEnd)
        return;
    CString text;
    GetWindowText(text);
    ApplyEdit(MaskText::ClearSelection(m_strMask, text, nStart, nEnd));
}

LRESULT SECMaskEdit::OnReplaceSel(WPARAM, LPARAM lParam)
{
    if (!IsMasked())
        return Default();
    InsertText(reinterpret_cast<LPCTSTR>(lParam));
    return 0;
}

LRESULT SECMaskEdit::OnPaste(WPARAM, LPARAM)
{
    if (!IsMasked())
        return Default();
    if (IsReadOnly() || !::OpenClipboard(m_hWnd))
        return 0;
    CString clip;
    if (HANDLE hData = ::GetClipboardData(CF_TEXT)) {
        if (LPCSTR p = static_cast<LPCSTR>(::GlobalLock(hData))) {
            clip = p;
            ::GlobalUnlock(hData);
        }
    }
    ::CloseClipboard();
    if (!clip.IsEmpty())
        InsertText(clip);
    return 0;
}

LRESULT SECMaskEdit::OnCut(WPARAM, LPARAM)
{
    if (!IsMasked())
        return Default();
    SendMessage(WM_COPY);
    if (!IsReadOnly())
        ClearSel();
    return 0;
}

LRESULT SECMaskEdit::OnClear(WPARAM, LPARAM)
{
    if (!IsMasked())
        return Default();
    if (!IsReadOnly())
        ClearSel();
    return 0;
}

LRESULT SECMaskEdit::OnUndo(WPARAM, LPARAM)
{
    // The edit control's undo buffer would restore text of another shape.
    return IsMasked() ? 0 : Default();
}
