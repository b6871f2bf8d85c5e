// SECMaskEdit.h - masked edit control.
//
//   MaskText     the text rules of a mask, over plain values
//   MaskEdit     the result of one rule: new text and selection
//   SECMaskEdit  an edit control that applies them to its window
//
// Mask syntax: "#" is a digit position; every other character is a literal
// that stands in the text at its own position and cannot be typed over. An
// unfilled digit position reads as a space. The window text of a masked
// control therefore always has the mask's length, every literal in place, and
// a digit or a space at every digit position.
//
// Positions are character indexes into the text; a caret at p sits before
// character p, so the carets of a text of length n run from 0 to n.
#pragma once

#include "afxwin.h"

#ifdef SEC_BUILDING_MASKEDIT
#define SEC_API __declspec(dllexport)
#else
#define SEC_API __declspec(dllimport)
#endif

// Outcome of a text rule. When bHandled is FALSE the input does not apply
// (a letter in a digit position, Backspace at the start) and nothing changes.
struct MaskEdit
{
    BOOL bHandled = FALSE;
    CString text;
    int nSelStart = 0;
    int nSelEnd = 0;
};

namespace MaskText
{
    SEC_API BOOL IsDigitPos(const CString& mask, int nPos);
    // First digit position at or after nPos, or -1.
    SEC_API int NextDigitPos(const CString& mask, int nPos);
    // Last digit position at or before nPos, or -1.
    SEC_API int PrevDigitPos(const CString& mask, int nPos);
    // The mask with every digit position blank.
    SEC_API CString BlankText(const CString& mask);
    // Lays data characters into the digit positions from left to right,
    // skipping literals; characters beyond the last position are dropped,
    // positions beyond the data stay blank, non-digits become blanks.
    SEC_API CString LayData(const CString& mask, LPCTSTR lpszData);
    // The characters of the digit positions.
    SEC_API CString ReadData(const CString& mask, const CString& text);
    // Brings any text into the mask's shape. A text that already has the
    // shape keeps its digits; any other text is laid in as a paste at 0.
    SEC_API CString Conform(const CString& mask, LPCTSTR lpszText);

    // Keyboard rules; nStart <= nEnd is the selection, equal for a caret.
    // A digit overwrites the first digit position at or after the caret (the
    // selection is blanked first) and the caret steps over the literals that
    // follow. A literal character jumps past the next literal when it is the
    // same character, unless the caret is at the start of a run of digit
    // positions. Anything else is refused.
    SEC_API MaskEdit TypeChar(const CString& mask, const CString& text, int nStart, int nEnd, TCHAR ch);
    // Delete and Backspace remove one digit, and the rest of its run of digit
    // positions moves left; literals are stepped over. With a selection, its
    // digit positions become blank.
    SEC_API MaskEdit DeleteKey(const CString& mask, const CString& text, int nStart, int nEnd);
    SEC_API MaskEdit BackspaceKey(const CString& mask, const CString& text, int nStart, int nEnd);
    // Cut and clear: the selection's digit positions become blank.
    SEC_API MaskEdit ClearSelection(const CString& mask, const CString& text, int nStart, int nEnd);
    // Paste: the selection is blanked, then digits and spaces of the pasted
    // text are laid into digit positions from the caret on. A literal of the
    // pasted text that matches the next literal of the mask closes the
    // current run (its remaining positions become blank) and continues after
    // it, so "10.1.2.3" fills four fields. A pasted text that carried such a
    // literal also blanks the rest of the run it ends in. Other characters
    // are dropped.
    SEC_API MaskEdit Paste(const CString& mask, const CString& text, int nStart, int nEnd, LPCTSTR lpszPaste);
    // Where a click at nPos leaves the caret: on a blank tail of a run it
    // moves left to just after the run's last filled position.
    SEC_API int ClickCaret(const CString& mask, const CString& text, int nPos);
}

/////////////////////////////////////////////////////////////////////////////
// SECMaskEdit
//
// Attach it to an edit control of a dialog, then set the mask and the data.
// Without a mask it behaves as a plain edit control. Typing always
// overwrites: Insert without modifiers does nothing (Shift+Insert pastes,
// Ctrl+Insert copies, Shift+Delete cuts). Undo is not offered. Any text set
// with WM_SETTEXT or EM_REPLACESEL is brought into the mask's shape.

class SEC_API SECMaskEdit : public CEdit
{
    DECLARE_DYNAMIC(SECMaskEdit)
public:
    SECMaskEdit();
    virtual ~SECMaskEdit();

// Operations
    BOOL AttachEdit(int nCtlID, CWnd* pParent);

// Attributes
    // Sets the mask; the window's text is brought into its shape.
    virtual void SetMask(LPCTSTR lpszMask);
    const CString& GetMask() const { return m_strMask; }
    // The characters for the digit positions, left to right, spaces for blanks.
    virtual void SetData(LPCTSTR lpszData);
    virtual void GetData(CString& strData) const;

protected:
    CString m_strMask;
    // Set when a key-down has been handled completely, so that the character
    // message the same key produces (Backspace's "\b") is ignored. Cleared at
    // every key-down.
    BOOL m_bKeyHandled;

    BOOL IsMasked() const { return !m_strMask.IsEmpty(); }
    BOOL IsReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
    // Writes the text (when it differs) and the selection of a rule's result.
    void ApplyEdit(const MaskEdit& edit);

// Message map and handlers
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnLButtonDown(UINT nFlags, CPoint point);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnReplaceSel(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
    LRESULT OnCut(WPARAM wParam, LPARAM lParam);
    LRESULT OnClear(WPARAM wParam, LPARAM lParam);
    LRESULT OnUndo(WPARAM wParam, LPARAM lParam);
    virtual void PreSubclassWindow() override;
    DECLARE_MESSAGE_MAP()

private:
    void InsertText(LPCTSTR lpszText);
    void ClearSel();
};
