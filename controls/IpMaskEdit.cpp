#include "IpMaskEdit.h"

#include "CheckRange.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

/////////////////////////////////////////////////////////////////////////////
// IpEdit

namespace
{
struct FieldRule
{
    int nPos, nWidth, nLowest, nHighest, nSelStart, nSelEnd;
};

// Indexed by field number.
const FieldRule kFields[5] = {
    { 0, 3, 1, 223, 0, 3 },
    { 4, 3, 0, 255, 4, 7 },
    { 8, 3, 0, 255, 8, 11 },
    { 12, 3, 0, 255, 12, 15 },
    { 16, 2, 8, 30, 16, 18 },
};

bool IsSeparator(TCHAR ch) { return ch == '.' || ch == '/'; }

void Order(int& nStart, int& nEnd)
{
    if (nStart > nEnd) {
        int t = nStart;
        nStart = nEnd;
        nEnd = t;
    }
}

// After a digit the caret steps over the separator that closes a full field.
int CaretAfter(int nPos)
{
    int nCaret = nPos + 1;
    return (nCaret == 3 || nCaret == 7 || nCaret == 11 || nCaret == 15) ? nCaret + 1 : nCaret;
}

// The text the base lays out when the control is rewritten with x.
CString Relay(const CString& mask, const CString& x)
{
    return MaskText::LayData(mask, IpEdit::AddressToData(x));
}

// Blanks the selected characters except the separators. A separator turned
// blank would join two fields into one of seven characters, and the re-laid
// text would move every later digit one position to the right and lose the
// last one.
CString BlankSelection(const CString& text, int nStart, int nEnd)
{
    CString x = text;
    for (int i = nStart; i < nEnd && i < x.GetLength(); ++i)
        if (!IsSeparator(x[i]))
            x.SetAt(i, ' ');
    return x;
}

IpEdit::Rewrite Result(const CString& mask, const CString& x, int nCaret)
{
    IpEdit::Rewrite r;
    r.bApplies = TRUE;
    r.text = Relay(mask, x);
    r.nCaret = nCaret;
    return r;
}
} // namespace

int IpEdit::LastFieldStart(LPCTSTR lpszMask)
{
    LPCTSTR mask = lpszMask != NULL ? lpszMask : "";
    if (strcmp(mask, kPlainMask) == 0)
        return 12;
    if (strcmp(mask, kNetworkMask) == 0)
        return 16;
    return 0;
}

// The text rules below run for every line of an imported list: they build
// their texts in std::string, which holds an address without the heap.
CString IpEdit::AddressToData(LPCTSTR lpszAddress)
{
    std::string data;
    int nCount = 0;
    for (LPCTSTR p = lpszAddress != NULL ? lpszAddress : ""; *p != '\0'; ++p) {
        if (IsSeparator(*p)) {
            for (; nCount < 3; ++nCount)
                data += ' ';
            nCount = 0;
        } else {
            data += *p;
            ++nCount;
        }
    }
    return CString(data.c_str(), (int)data.size());
}

CString IpEdit::NormalizeAddress(LPCTSTR lpszText)
{
    LPCTSTR p = lpszText != NULL ? lpszText : "";
    std::string result;
    int nPieces = 0;
    while (*p != '\0') {
        LPCTSTR start = p;
        while (*p != '\0' && !IsSeparator(*p))
            ++p;
        if (p > start) {
            char number[16];
            snprintf(number, sizeof number, "%d", atoi(std::string(start, p - start).c_str()));
            result += number;
            if (nPieces < 3)
                result += '.';
            else if (nPieces == 3)
                result += '/';
            ++nPieces;
        }
        if (*p != '\0')
            ++p;
    }
    return CString(result.c_str(), (int)result.size());
}

BOOL IpEdit::IsValidAddress(const CString& mask, LPCTSTR lpszAddress)
{
    LPCTSTR written = lpszAddress != NULL ? lpszAddress : "";
    CString shown = Relay(mask, written);
    // Blanks aside, the laid text must be the written one.
    for (LPCTSTR a = written, b = shown;; ++a, ++b) {
        while (*a == ' ')
            ++a;
        while (*b == ' ')
            ++b;
        if (*a != *b)
            return FALSE;
        if (*a == '\0')
            break;
    }
    CString message;
    return FailingField(shown, 4, LastFieldStart(mask) == 16, message) < 0;
}

CString IpEdit::ConfirmedAddress(const CString& mask, LPCTSTR lpszAddress)
{
    CString text = Relay(mask, NormalizeAddress(lpszAddress));
    text.Remove(' ');
    return text;
}

IpEdit::Rewrite IpEdit::DeleteKey(const CString& mask, const CString& text, int nStart, int nEnd)
{
    Order(nStart, nEnd);
    int L = LastFieldStart(mask);
    if (L == 0 || nEnd > L || nStart < 0)
        return Rewrite();
    if (nStart < nEnd)
        return Result(mask, BlankSelection(text, nStart, nEnd), nStart);
    return Result(mask, text.Left(nStart) + text.Mid(nStart + 1), nStart);
}

IpEdit::Rewrite IpEdit::BackspaceKey(const CString& mask, const CString& text, int nStart, int nEnd)
{
    Order(nStart, nEnd);
    int L = LastFieldStart(mask);
    if (L == 0 || nEnd > L + 1 || nStart < 0)
        return Rewrite();
    if (nStart < nEnd)
        return Result(mask, BlankSelection(text, nStart, nEnd), nStart);
    if (nStart == 0)
        return Result(mask, text, 0);
    return Result(mask, text.Left(nStart - 1) + text.Mid(nStart), nStart - 1);
}

IpEdit::Rewrite IpEdit::Digit(const CString& mask, const CString& text, int nStart, int nEnd, TCHAR ch)
{
    Order(nStart, nEnd);
    int L = LastFieldStart(mask);
    int nLength = text.GetLength();
    if (L == 0 || nStart < 0 || nLength != mask.GetLength())
        return Rewrite();

    if (nStart < nEnd && nEnd <= L) {
        int nFirst = -1, nSecond = -1;
        for (int i = nStart; i < nEnd; ++i) {
            if (IsSeparator(text[i]))
                continue;
            if (nFirst < 0)
                nFirst = i;
            else if (nSecond < 0)
                nSecond = i;
        }
        // A selection of separators only is typed into like a caret at its end.
        if (nFirst >= 0) {
            CString x = BlankSelection(text, nStart, nEnd);
            x.SetAt(nFirst, ch);
            // With two digits selected, the digit after them closes up
            // behind the new one: selecting "12" of 123 and typing 5 gives 53_.
            if (nEnd - nStart == 2 && nSecond >= 0 && nEnd < nLength && !IsSeparator(text[nEnd])) {
                x.SetAt(nSecond, text[nEnd]);
                x.SetAt(nEnd, ' ');
            }
            return Result(mask, x, CaretAfter(nFirst));
        }
        nStart = nEnd;
    }
    if (nStart != nEnd)
        return Rewrite();

    int p = nEnd;
    if (p >= nLength - 2)
        return Rewrite();
    int nBlank = -1;
    for (int i = p; i <= p + 2 && nBlank < 0; ++i)
        if (text[i] == ' ')
            nBlank = i;
    if (nBlank < 0)
        return Rewrite();

    // The characters from the caret to the blank move one position to the
    // right, jumping a separator in between; the blank is used up.
    CString x = text;
    int nTo = nBlank;
    for (int nFrom = nBlank - 1; nFrom >= p; --nFrom) {
        if (IsSeparator(text[nFrom]))
            continue;
        x.SetAt(nTo, text[nFrom]);
        nTo = nFrom;
    }
    // A caret just before a separator types into the field after it.
    int nAt = IsSeparator(text[p]) ? p + 1 : p;
    x.SetAt(nAt, ch);
    return Result(mask, x, CaretAfter(nAt));
}

int IpEdit::SeparatorKey(TCHAR ch, int nEnd, int& nField)
{
    nField = -1;
    if (ch == '.') {
        switch (nEnd) {
        case 0:
            return 0;
        case 1: case 2: case 4:
            nField = 0;
            return 4;
        case 5: case 6: case 8:
            nField = 1;
            return 8;
        case 9: case 10: case 12:
            nField = 2;
            return 12;
        }
    } else if (ch == '/') {
        if (nEnd == 13 || nEnd == 14 || nEnd == 16) {
            nField = 3;
            return 16;
        }
    }
    return -1;
}

int IpEdit::CompletionField(int nEnd)
{
    switch (nEnd) {
    case 2: case 3:
        return 0;
    case 6:
        return 1;
    case 10:
        return 2;
    case 12: case 14:
        return 3;
    case 17:
        return 4;
    }
    return -1;
}

int IpEdit::FailingField(const CString& text, int nLastField, BOOL bNetworkMask, CString& strMessage)
{
    strMessage.Empty();
    int nFirst = nLastField > 4 ? 4 : nLastField;
    if (nFirst == 4 && !bNetworkMask)
        nFirst = 3;
    for (int f = nFirst; f >= 0; --f) {
        const FieldRule& rule = kFields[f];
        char field[4] = "";
        if (rule.nPos < text.GetLength())
            strncpy(field, (LPCTSTR)text + rule.nPos, rule.nWidth);
        if (!CheckRange(field, rule.nLowest, rule.nHighest, strMessage))
            return f;
    }
    return -1;
}

void IpEdit::FieldSelection(int nField, int& nStart, int& nEnd)
{
    ASSERT(nField >= 0 && nField <= 4);
    nStart = kFields[nField].nSelStart;
    nEnd = kFields[nField].nSelEnd;
}

BOOL IpEdit::ClipSelection(const CString& text, int nStart, int nEnd, int nAnchor, BOOL bNetworkMask,
                           int& nNewStart, int& nNewEnd)
{
    if (nStart == 0 && nEnd == text.GetLength()) {
        nNewStart = nStart;
        nNewEnd = nEnd;
        return TRUE;
    }
    if (nStart == nAnchor) {
        // A click or a drag to the right ends where the start's field ends.
        int q = text.Find('.', nStart);
        if (q < 0 && bNetworkMask)
            q = text.Find('/', nStart);
        if (q < 0 || q >= nEnd)
            return FALSE;
        nNewStart = nStart;
        nNewEnd = q;
        return TRUE;
    }
    // A drag to the left begins where the anchor's field begins.
    CString before = text.Left(nAnchor);
    int q = bNetworkMask ? before.ReverseFind('/') : -1;
    if (q < 0)
        q = before.ReverseFind('.');
    if (q < 0 || q + 1 <= nStart)
        return FALSE;
    nNewStart = q + 1;
    nNewEnd = nAnchor;
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// IpMaskEdit

BEGIN_MESSAGE_MAP(IpMaskEdit, SECMaskEdit)
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_KILLFOCUS()
    ON_WM_SETFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

IpMaskEdit::IpMaskEdit() : m_lastFieldStart(0), m_anchor(0), m_savedSelStart(0), m_savedSelEnd(0) {}

void IpMaskEdit::SetMask(LPCTSTR lpszMask)
{
    m_lastFieldStart = IpEdit::LastFieldStart(lpszMask);
    SECMaskEdit::SetMask(lpszMask);
}

void IpMaskEdit::SetData(LPCTSTR lpszAddress)
{
    SECMaskEdit::SetData(IpEdit::AddressToData(lpszAddress));
}

void IpMaskEdit::GetAddressText(CString& strResult) const
{
    GetWindowText(strResult);
    strResult.Remove(' ');
}

void IpMaskEdit::NormalizeShownAddress()
{
    CString text;
    GetWindowText(text);
    NormalizeAddress(text);
    SetAddress(text);
}

BOOL IpMaskEdit::IsValidAddress()
{
    CString text;
    GetWindowText(text);
    return IpEdit::IsValidAddress(m_strMask, text);
}

BOOL IpMaskEdit::ValidateFields(int nLastField, LPCTSTR lpszText, BOOL bMessages)
{
    CString message;
    int nFailed = IpEdit::FailingField(lpszText != NULL ? lpszText : "", nLastField, m_lastFieldStart == 16, message);
    if (nFailed < 0)
        return TRUE;
    if (bMessages) {
        AfxMessageBox(message, MB_OK);
        int nStart, nEnd;
        IpEdit::FieldSelection(nFailed, nStart, nEnd);
        SetSel(nStart, nEnd);
    }
    return FALSE;
}

void IpMaskEdit::ApplyRewrite(const IpEdit::Rewrite& rewrite)
{
    SetAddress(rewrite.text);
    SetSel(rewrite.nCaret, rewrite.nCaret);
}

void IpMaskEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (UsesFieldRules() && (nChar == VK_DELETE || nChar == VK_BACK)) {
        int nStart, nEnd;
        CString text;
        GetSel(nStart, nEnd);
        GetWindowText(text);
        IpEdit::Rewrite r = nChar == VK_DELETE ? IpEdit::DeleteKey(m_strMask, text, nStart, nEnd)
                                               : IpEdit::BackspaceKey(m_strMask, text, nStart, nEnd);
        if (r.bApplies) {
            ApplyRewrite(r);
            m_bKeyHandled = TRUE;
            return;
        }
    }
    SECMaskEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void IpMaskEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!UsesFieldRules()) {
        SECMaskEdit::OnChar(nChar, nRepCnt, nFlags);
        return;
    }
    int nStart, nEnd;
    CString text;
    GetSel(nStart, nEnd);
    GetWindowText(text);

    BOOL bHandled = FALSE;
    if (nChar >= '0' && nChar <= '9') {
        IpEdit::Rewrite r = IpEdit::Digit(m_strMask, text, nStart, nEnd, (TCHAR)nChar);
        if (r.bApplies) {
            ApplyRewrite(r);
            bHandled = TRUE;
        }
    }
    if (m_bKeyHandled)
        return;

    if (nChar == '.' || nChar == '/') {
        int nField;
        int nCaret = IpEdit::SeparatorKey((TCHAR)nChar, nEnd, nField);
        if (nCaret >= 0) {
            GetWindowText(text);
            if (nField < 0 || ValidateFields(nField, text, TRUE)) {
                if (nCaret > text.GetLength())
                    nCaret = text.GetLength();
                SetSel(nCaret, nCaret);
            }
            return;
        }
    }

    if (!bHandled)
        SECMaskEdit::OnChar(nChar, nRepCnt, nFlags);

    int nField = IpEdit::CompletionField(nEnd);
    if (nField >= 0) {
        GetWindowText(text);
        ValidateFields(nField, text, TRUE);
    }
}

void IpMaskEdit::OnKillFocus(CWnd* pNewWnd)
{
    GetSel(m_savedSelStart, m_savedSelEnd);
    if (m_lastFieldStart != 0 && IsValidAddress())
        NormalizeShownAddress();
    SendMessage(WM_KEYDOWN, VK_INSERT, 0);
    Default();
}

void IpMaskEdit::OnSetFocus(CWnd* pOldWnd)
{
    CString data;
    GetData(data);
    data.Remove(' ');
    if (!data.IsEmpty())
        SetSel(m_savedSelStart, m_savedSelEnd);
    SendMessage(WM_KEYDOWN, VK_INSERT, 0);
    Default();
}

void IpMaskEdit::OnLButtonDown(UINT nFlags, CPoint point)
{
    SECMaskEdit::OnLButtonDown(nFlags, point);
    int nEnd;
    GetSel(m_anchor, nEnd);
}

void IpMaskEdit::OnLButtonUp(UINT nFlags, CPoint point)
{
    Default();
    if (m_lastFieldStart == 0)
        return;
    int nStart, nEnd, nNewStart, nNewEnd;
    CString text;
    GetSel(nStart, nEnd);
    GetWindowText(text);
    if (IpEdit::ClipSelection(text, nStart, nEnd, m_anchor, m_lastFieldStart == 16, nNewStart, nNewEnd))
        SetSel(nNewStart, nNewEnd);
}
