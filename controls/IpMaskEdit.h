// IpMaskEdit.h - edit control for an IPv4 address, optionally with a prefix.
//
//   IpEdit      the control's text rules, over plain values
//   IpMaskEdit  the control: applies them to its window
//
// The control runs under one of two masks ("#" a digit position):
//
//   plain    "###.###.###.###"      fields 0-3 at 0, 4, 8, 12
//   network  "###.###.###.###/##"   the same, and the prefix, field 4, at 16
//
// Each octet owns three characters, blank (a space) where unfilled; the
// field start L of the last field is 12 (plain) or 16 (network). The rules
// below keep every "." and "/" at its position.
#pragma once

#include "SECMaskEdit.h"
#include "VeilgateApi.h"

namespace IpEdit
{
    inline constexpr LPCTSTR kPlainMask = "###.###.###.###";
    inline constexpr LPCTSTR kNetworkMask = "###.###.###.###/##";

    // 12 for the plain mask, 16 for the network mask, 0 for any other.
    VG_API int LastFieldStart(LPCTSTR lpszMask);

    // The digit-position data of a dotted address: each field before a "."
    // or "/" is padded with blanks to three characters and the separators
    // are dropped; 10.1.20.3/24 gives "10 1  20 3  24".
    VG_API CString AddressToData(LPCTSTR lpszAddress);

    // Numbers of the fields without blanks or leading zeros, rejoined:
    // "010.001.020.003" gives "10.1.20.3/" (a "/" follows the fourth number).
    VG_API CString NormalizeAddress(LPCTSTR lpszText);

    // Whether an address, as typed in dotted form or as the control shows
    // it, is one the control under this mask accepts: laid into the mask as
    // SetAddress lays it, it keeps every digit where it was written (no
    // field wider than the mask's, no field more than the mask has, nothing
    // but digits) and every field is in range, the prefix under the network
    // mask included. A text the control would lay out differently, such as
    // 1000.1.1.1, is not taken for the address that layout would show.
    VG_API BOOL IsValidAddress(const CString& mask, LPCTSTR lpszAddress);
    // The address as the control gives it once left, without blanks or
    // leading zeros: "010.001.002.003" gives "10.1.2.3".
    VG_API CString ConfirmedAddress(const CString& mask, LPCTSTR lpszAddress);

    // What a key does to the text: the text the control is rewritten with
    // (already in the mask's shape) and the caret. bApplies is FALSE when
    // the key is left to the masked-edit base.
    struct Rewrite
    {
        BOOL bApplies = FALSE;
        CString text;
        int nCaret = 0;
    };

    // Delete while the selection ends at or before L; Backspace while it
    // ends at or before L + 1. Without a selection one character goes and
    // the rest of its field moves left; a selection's digits become blank.
    VG_API Rewrite DeleteKey(const CString& mask, const CString& text, int nStart, int nEnd);
    VG_API Rewrite BackspaceKey(const CString& mask, const CString& text, int nStart, int nEnd);

    // A digit typed over a selection that ends at or before L, or at a caret
    // p < length - 2 when one of the positions p, p + 1, p + 2 is blank: the
    // digit goes in at the caret and the characters up to that blank move one
    // position to the right, a field's last digit across the separator into
    // the next field.
    VG_API Rewrite Digit(const CString& mask, const CString& text, int nStart, int nEnd, TCHAR ch);

    // "." or "/" at selection end nEnd: the caret position it jumps to once
    // the fields up to nField pass the check (nField -1: no check), or -1
    // when the key is left to the base.
    VG_API int SeparatorKey(TCHAR ch, int nEnd, int& nField);

    // The field checked after a character typed at selection end nEnd, or -1.
    VG_API int CompletionField(int nEnd);

    // The first field out of range, checking from nLastField down to 0, or
    // -1 when all pass. Field 4 exists only under the network mask.
    VG_API int FailingField(const CString& text, int nLastField, BOOL bNetworkMask, CString& strMessage);
    // The characters selected when a field fails.
    VG_API void FieldSelection(int nField, int& nStart, int& nEnd);

    // Keeps a mouse selection [nStart, nEnd) made from nAnchor inside one
    // field. TRUE with the selection to set, FALSE to leave it alone.
    VG_API BOOL ClipSelection(const CString& text, int nStart, int nEnd, int nAnchor, BOOL bNetworkMask,
                              int& nNewStart, int& nNewEnd);
}

/////////////////////////////////////////////////////////////////////////////
// IpMaskEdit
//
// A dialog attaches it to an edit control, sets one of the two masks and
// then the stored address; it reads the address back with GetAddressText
// after IsValidAddress. Fields are range-checked as they are completed or
// left with "." or "/", with a message box; leaving the control rewrites a
// valid address without leading zeros.

class VG_API IpMaskEdit : public SECMaskEdit
{
public:
    IpMaskEdit();

// Attributes
    virtual void SetMask(LPCTSTR lpszMask) override;
    // Takes a dotted address (as SetAddress); digit-position data passes unchanged.
    virtual void SetData(LPCTSTR lpszAddress) override;
    void SetAddress(LPCTSTR lpszAddress) { SetData(lpszAddress); }
    // The window text without blanks: 10.1.20.3/24.
    void GetAddressText(CString& strResult) const;
    int GetLastFieldStart() const { return m_lastFieldStart; }

// Operations
    BOOL IsValidAddress();
    // TRUE when fields nLastField down to 0 of lpszText are in range. On a
    // failure with bMessages the message is shown and the field selected.
    BOOL ValidateFields(int nLastField, LPCTSTR lpszText, BOOL bMessages);
    static void NormalizeAddress(CString& strText) { strText = IpEdit::NormalizeAddress(strText); }
    // Rewrites the shown address without leading zeros, as leaving the
    // control does; a dialog confirmed with Enter calls it itself.
    void NormalizeShownAddress();

protected:
    int m_lastFieldStart;
    int m_anchor;          // selection start when the left button went down
    int m_savedSelStart;   // selection when the focus was lost
    int m_savedSelEnd;

    BOOL UsesFieldRules() const { return m_lastFieldStart != 0 && !IsReadOnly(); }
    void ApplyRewrite(const IpEdit::Rewrite& rewrite);

// Message map and handlers
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKillFocus(CWnd* pNewWnd);
    void OnSetFocus(CWnd* pOldWnd);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
