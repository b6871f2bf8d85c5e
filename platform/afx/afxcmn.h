// afxcmn.h - wrappers of the common controls (comctl32).
//
//   CImageList
//
// Each wrapper is thin: one message to the control per method.
#pragma once

#include "afxwin.h"
#include <commctrl.h>

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
