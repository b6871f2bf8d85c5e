// Temporary GDI wrappers, CBitmap, and the drawing side of CDC: memory
// contexts, origins, block transfers.
#include "afxwin.h"
#include <map>

IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)

// Temporary wrappers: one per handle and wrapper class, never owning the
// object. The objects selected out of a context or asked of a window are few
// (the stock ones, mostly), so they are simply kept.
template <class TYPE> static TYPE* TemporaryWrapper(HGDIOBJ hObject)
{
    struct CTemporary : TYPE { ~CTemporary() { this->m_hObject = NULL; } };
    static std::map<HGDIOBJ, CTemporary*> s_temporary;
    if (hObject == NULL)
        return NULL;
    CTemporary*& p = s_temporary[hObject];
    if (p == NULL) {
        p = new CTemporary;
        p->m_hObject = hObject;
    }
    return p;
}

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject) { return TemporaryWrapper<CGdiObject>(hObject); }
CFont* PASCAL CFont::FromHandle(HFONT hFont) { return TemporaryWrapper<CFont>(hFont); }
CBitmap* PASCAL CBitmap::FromHandle(HBITMAP hBitmap) { return TemporaryWrapper<CBitmap>(hBitmap); }

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    LPCTSTR lpszName = MAKEINTRESOURCEA(nIDResource);
    m_hObject = ::LoadBitmapA(AfxFindResourceHandle(lpszName, RT_BITMAP), lpszName);
    return m_hObject != NULL;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    m_hObject = ::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight);
    return m_hObject != NULL;
}

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == NULL)
        return FALSE;
    BOOL bResult = ::DeleteDC(m_hDC);
    m_hDC = NULL;
    return bResult;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old = { 0, 0 };
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    int x = lpRect->left, y = lpRect->top;
    int cx = lpRect->right - x, cy = lpRect->bottom - y;
    CRect top(x, y, x + cx - 1, y + 1), left(x, y, x + 1, y + cy - 1);
    CRect right(x + cx - 1, y, x + cx, y + cy), bottom(x, y + cy - 1, x + cx, y + cy);
    FillSolidRect(top, clrTopLeft);
    FillSolidRect(left, clrTopLeft);
    FillSolidRect(right, clrBottomRight);
    FillSolidRect(bottom, clrBottomRight);
}
