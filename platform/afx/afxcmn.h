// afxcmn.h - wrappers of the common controls (comctl32).
//
//   CSpinButtonCtrl
//
// Each wrapper is thin: one message to the control per method.
#pragma once

#include "afxwin.h"
#include <commctrl.h>

/////////////////////////////////////////////////////////////////////////////
// CSpinButtonCtrl: the up-down control (msctls_updown32)

class AFX_CORE_API CSpinButtonCtrl : public CWnd
{
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    // The up-down control takes the upper bound in the low word.
    void SetRange(int nLower, int nUpper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower)); }
    void GetRange(int& lower, int& upper) const
    {
        DWORD dw = (DWORD)SendMessage(UDM_GETRANGE);
        lower = (int)(short)HIWORD(dw);
        upper = (int)(short)LOWORD(dw);
    }
    // The position in the low word; the high word is non-zero on an error.
    int GetPos() const { return (int)SendMessage(UDM_GETPOS); }
    CWnd* GetBuddy() const { return CWnd::FromHandle((HWND)SendMessage(UDM_GETBUDDY)); }
};
