// afxcmn.h - wrappers of the common controls (comctl32).
//
//   CListCtrl
//
// Each wrapper is thin: one message to the control per method.
#pragma once

#include "afxwin.h"
#include <commctrl.h>

/////////////////////////////////////////////////////////////////////////////
// CListCtrl: the list view

class AFX_CORE_API CListCtrl : public CWnd
{
    DECLARE_DYNAMIC(CListCtrl)
public:
// Attributes
    DWORD GetExtendedStyle() const { return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE); }
    DWORD SetExtendedStyle(DWORD dwNewStyle)
    { return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle); }
    int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }
    // The next item after nItem (-1: from the top) with the LVNI_* flags, or -1.
    int GetNextItem(int nItem, int nFlags) const { return (int)SendMessage(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)); }
    UINT GetItemState(int nItem, UINT nMask) const { return (UINT)SendMessage(LVM_GETITEMSTATE, nItem, nMask); }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;

// Operations
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    int InsertItem(int nItem, LPCTSTR lpszItem);
    BOOL DeleteItem(int nItem) { return (BOOL)SendMessage(LVM_DELETEITEM, nItem); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(LVM_DELETEALLITEMS); }
    // The item after nStart (-1: from the top) that matches, or -1.
    int FindItem(LVFINDINFOA* pFindInfo, int nStart = -1) const
    { return (int)SendMessage(LVM_FINDITEMA, nStart, (LPARAM)pFindInfo); }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK) { return (BOOL)SendMessage(LVM_ENSUREVISIBLE, nItem, bPartialOK); }
};
