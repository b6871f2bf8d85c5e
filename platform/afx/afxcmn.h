// afxcmn.h - wrappers of the common controls (comctl32).
//
//   CSpinButtonCtrl, CListCtrl, CImageList
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
    CWnd* GetBuddy() const { return CWnd::FromHandle((HWND)SendMessage(UDM_GETBUDDY)); }
};

/////////////////////////////////////////////////////////////////////////////
// CListCtrl: the list view

class AFX_CORE_API CListCtrl : public CWnd
{
    DECLARE_DYNAMIC(CListCtrl)
public:
// Attributes
    DWORD SetExtendedStyle(DWORD dwNewStyle)
    { return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle); }
    int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }
    // The next item after nItem (-1: from the top) with the LVNI_* flags, or -1.
    int GetNextItem(int nItem, int nFlags) const { return (int)SendMessage(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)); }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;

// Operations
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    int InsertItem(int nItem, LPCTSTR lpszItem);
    BOOL DeleteItem(int nItem) { return (BOOL)SendMessage(LVM_DELETEITEM, nItem); }
    // The item after nStart (-1: from the top) that matches, or -1.
    int FindItem(LVFINDINFOA* pFindInfo, int nStart = -1) const
    { return (int)SendMessage(LVM_FINDITEMA, nStart, (LPARAM)pFindInfo); }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK) { return (BOOL)SendMessage(LVM_ENSUREVISIBLE, nItem, bPartialOK); }
};

/////////////////////////////////////////////////////////////////////////////
// CImageList: image lists

class AFX_CORE_API CImageList : public CObject
{
    DECLARE_DYNAMIC(CImageList)
public:
    HIMAGELIST m_hImageList = NULL;

    CImageList() {}
    virtual ~CImageList();
    operator HIMAGELIST() const { return m_hImageList; }

// Operations
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    BOOL DeleteImageList();
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    // Adds the bitmap's images; with a mask, crMask marks the transparent pixels.
    int Add(CBitmap* pbmImage, COLORREF crMask)
    { return ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), crMask); }
    COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
    { return ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle); }
};
