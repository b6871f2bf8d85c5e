// afxwin.h - windows, dialogs, message maps, data exchange and the module
// chain of the framework layer.
//
//   CPoint, CSize, CRect, CCmdTarget, CWnd, CDialog, CDataExchange,
//   CButton, CEdit, CStatic, CListBox, CDC, CClientDC, CPaintDC, CGdiObject,
//   CFont, CBitmap, CWaitCursor, AFX_EXTENSION_MODULE, CDynLinkLibrary
#pragma once

#include "afx.h"
#include <commctrl.h>

/////////////////////////////////////////////////////////////////////////////
// Geometry

class CSize : public SIZE
{
public:
    CSize() { cx = cy = 0; }
    CSize(int x, int y) { cx = x; cy = y; }
    CSize(SIZE s) { cx = s.cx; cy = s.cy; }
    bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
};

class CPoint : public POINT
{
public:
    CPoint() { x = y = 0; }
    CPoint(int ix, int iy) { x = ix; y = iy; }
    CPoint(POINT p) { x = p.x; y = p.y; }
    explicit CPoint(LPARAM dwPoint) { x = (short)LOWORD(dwPoint); y = (short)HIWORD(dwPoint); }
    bool operator==(POINT p) const { return x == p.x && y == p.y; }
    bool operator!=(POINT p) const { return !(*this == p); }
};

class CRect : public RECT
{
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) { left = r.left; top = r.top; right = r.right; bottom = r.bottom; }
    CRect(POINT pt, SIZE sz) { left = pt.x; top = pt.y; right = pt.x + sz.cx; bottom = pt.y + sz.cy; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(this); }
    CPoint& BottomRight() { return *(reinterpret_cast<CPoint*>(this) + 1); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }
    void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
    bool operator==(const RECT& r) const { return ::EqualRect(this, &r) != 0; }
};

/////////////////////////////////////////////////////////////////////////////
// Message maps
//
// Each class has a static table of entries. An entry's thunk is a plain
// function made by a template for the handler's signature; it casts the
// target down to the handler's class and calls the member. Dispatch walks
// the class's table, then its base class's, and so on.

class CCmdTarget;
class CWnd;
class CDC;
class CFont;
class CBitmap;

typedef LRESULT (*AFX_PTHUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;   // window message
    UINT nCode;      // control notification code, or 0
    UINT nID;        // first control id, or 0
    UINT nLastID;    // last control id of a range
    AFX_PTHUNK pfn;  // 0 ends the table
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

template <class F> struct AfxHandlerClass;
template <class C, class R, class... A> struct AfxHandlerClass<R (C::*)(A...)> { typedef C type; };
#define AFX_TARGET(F) static_cast<typename AfxHandlerClass<decltype(F)>::type*>(p)

template <auto F> LRESULT AfxThunk_v(CCmdTarget* p, WPARAM, LPARAM) { (AFX_TARGET(F)->*F)(); return 0; }
template <auto F> LRESULT AfxThunk_Notify(CCmdTarget* p, WPARAM, LPARAM l)
{ LRESULT r = 0; (AFX_TARGET(F)->*F)(reinterpret_cast<NMHDR*>(l), &r); return r; }
template <auto F> LRESULT AfxThunk_lwl(CCmdTarget* p, WPARAM w, LPARAM l) { return (AFX_TARGET(F)->*F)(w, l); }
template <auto F> LRESULT AfxThunk_vKey(CCmdTarget* p, WPARAM w, LPARAM l)
{ (AFX_TARGET(F)->*F)((UINT)w, (UINT)LOWORD(l), (UINT)HIWORD(l)); return 0; }
template <auto F> LRESULT AfxThunk_vPoint(CCmdTarget* p, WPARAM w, LPARAM l)
{ (AFX_TARGET(F)->*F)((UINT)w, CPoint(l)); return 0; }
template <auto F> LRESULT AfxThunk_vTimer(CCmdTarget* p, WPARAM w, LPARAM) { (AFX_TARGET(F)->*F)((UINT_PTR)w); return 0; }
LRESULT AfxThunkFocusHelper(CCmdTarget* p, WPARAM w, void (*call)(CCmdTarget*, CWnd*));
template <auto F> LRESULT AfxThunk_vWnd(CCmdTarget* p, WPARAM w, LPARAM);
template <auto F> LRESULT AfxThunk_vSize(CCmdTarget* p, WPARAM w, LPARAM l)
{ (AFX_TARGET(F)->*F)((UINT)w, (short)LOWORD(l), (short)HIWORD(l)); return 0; }
template <auto F> LRESULT AfxThunk_bDC(CCmdTarget* p, WPARAM w, LPARAM);
template <auto F> LRESULT AfxThunk_vScroll(CCmdTarget* p, WPARAM w, LPARAM l);
template <auto F> LRESULT AfxThunk_bSetCursor(CCmdTarget* p, WPARAM w, LPARAM l);
template <auto F> LRESULT AfxThunk_uGetDlgCode(CCmdTarget* p, WPARAM, LPARAM) { return (AFX_TARGET(F)->*F)(); }
template <auto F> LRESULT AfxThunk_iCreate(CCmdTarget* p, WPARAM, LPARAM l)
{ return (AFX_TARGET(F)->*F)(reinterpret_cast<LPCREATESTRUCT>(l)); }
template <auto F> LRESULT AfxThunk_iVKeyToItem(CCmdTarget* p, WPARAM w, LPARAM l);

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)sizeof(ThisClass); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, (AFX_PTHUNK)0 } \
        }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

#define ON_COMMAND(id, memberFxn) { WM_COMMAND, 0, (UINT)(id), (UINT)(id), &AfxThunk_v<&ThisClass::memberFxn> },
#define ON_CONTROL(code, id, memberFxn) { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), &AfxThunk_v<&ThisClass::memberFxn> },
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn) \
    { WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), &AfxThunk_Notify<&ThisClass::memberFxn> },
#define ON_MESSAGE(message, memberFxn) { (UINT)(message), 0, 0, 0, &AfxThunk_lwl<&ThisClass::memberFxn> },

#define ON_WM_MOUSEMOVE() { WM_MOUSEMOVE, 0, 0, 0, &AfxThunk_vPoint<&ThisClass::OnMouseMove> },
#define ON_WM_LBUTTONDOWN() { WM_LBUTTONDOWN, 0, 0, 0, &AfxThunk_vPoint<&ThisClass::OnLButtonDown> },
#define ON_WM_LBUTTONUP() { WM_LBUTTONUP, 0, 0, 0, &AfxThunk_vPoint<&ThisClass::OnLButtonUp> },
#define ON_WM_LBUTTONDBLCLK() { WM_LBUTTONDBLCLK, 0, 0, 0, &AfxThunk_vPoint<&ThisClass::OnLButtonDblClk> },
#define ON_WM_TIMER() { WM_TIMER, 0, 0, 0, &AfxThunk_vTimer<&ThisClass::OnTimer> },
#define ON_WM_KEYDOWN() { WM_KEYDOWN, 0, 0, 0, &AfxThunk_vKey<&ThisClass::OnKeyDown> },
#define ON_WM_CHAR() { WM_CHAR, 0, 0, 0, &AfxThunk_vKey<&ThisClass::OnChar> },
#define ON_WM_KILLFOCUS() { WM_KILLFOCUS, 0, 0, 0, &AfxThunk_vWnd<&ThisClass::OnKillFocus> },
#define ON_WM_SETFOCUS() { WM_SETFOCUS, 0, 0, 0, &AfxThunk_vWnd<&ThisClass::OnSetFocus> },
#define ON_WM_CREATE() { WM_CREATE, 0, 0, 0, &AfxThunk_iCreate<&ThisClass::OnCreate> },
#define ON_WM_DESTROY() { WM_DESTROY, 0, 0, 0, &AfxThunk_v<&ThisClass::OnDestroy> },
#define ON_WM_PAINT() { WM_PAINT, 0, 0, 0, &AfxThunk_v<&ThisClass::OnPaint> },
#define ON_WM_SIZE() { WM_SIZE, 0, 0, 0, &AfxThunk_vSize<&ThisClass::OnSize> },
#define ON_WM_ERASEBKGND() { WM_ERASEBKGND, 0, 0, 0, &AfxThunk_bDC<&ThisClass::OnEraseBkgnd> },
#define ON_WM_VSCROLL() { WM_VSCROLL, 0, 0, 0, &AfxThunk_vScroll<&ThisClass::OnVScroll> },
#define ON_WM_HSCROLL() { WM_HSCROLL, 0, 0, 0, &AfxThunk_vScroll<&ThisClass::OnHScroll> },
#define ON_WM_SETCURSOR() { WM_SETCURSOR, 0, 0, 0, &AfxThunk_bSetCursor<&ThisClass::OnSetCursor> },
#define ON_WM_GETDLGCODE() { WM_GETDLGCODE, 0, 0, 0, &AfxThunk_uGetDlgCode<&ThisClass::OnGetDlgCode> },
#define ON_WM_VKEYTOITEM() { WM_VKEYTOITEM, 0, 0, 0, &AfxThunk_iVKeyToItem<&ThisClass::OnVKeyToItem> },

class AFX_CORE_API CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() {}
    // Finds the handler for a message in this class's map chain.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
    DECLARE_MESSAGE_MAP()
};

/////////////////////////////////////////////////////////////////////////////
// CWnd

class CDataExchange;
class CListBox;

class AFX_CORE_API CWnd : public CCmdTarget
{
    DECLARE_DYNCREATE(CWnd)
public:
    HWND m_hWnd = NULL;

    CWnd() {}
    virtual ~CWnd();

// Attributes
    HWND GetSafeHwnd() const { return this == NULL ? NULL : m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }
    static CWnd* PASCAL FromHandle(HWND hWnd);           // temporary object if not attached
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);  // NULL if not attached
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    DWORD GetStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

    void SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const { return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount); }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = NULL, BOOL bSigned = TRUE) const
    { return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned); }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }

    CFont* GetFont() const;
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);

    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* PASCAL GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* PASCAL GetCapture() { return FromHandle(::GetCapture()); }

    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE)
    { return ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw); }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = NULL, LPCRECT lpClipRect = NULL)
    { ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect); }

    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint); }
    void MoveWindow(LPCRECT r, BOOL bRepaint = TRUE) { MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, bRepaint); }
    BOOL SetWindowPos(const CWnd* pAfter, int x, int y, int cx, int cy, UINT nFlags)
    { return ::SetWindowPos(m_hWnd, pAfter ? pAfter->m_hWnd : NULL, x, y, cx, cy, nFlags); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, NULL, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessageA(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    void CenterWindow(CWnd* pAlternateOwner = NULL);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessageA(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::PostMessageA(m_hWnd, message, wParam, lParam); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam); }

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = NULL)
    { return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

    CDC* GetDC();
    int ReleaseDC(CDC* pDC);

    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK);

// Operations
    // A NULL class name creates the window with the framework's own window
    // class: no background brush, the arrow cursor, double clicks.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                          HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = NULL);
    virtual BOOL DestroyWindow();
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Adds the items of the dialog initialisation data (RT_DLGINIT) of that
    // name to the child controls. TRUE also when there is none.
    BOOL ExecuteDlgInit(LPCTSTR lpszResourceName);

// Overridables
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PreSubclassWindow();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void PostNcDestroy();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

// Default message handlers: each passes the current message on.
    LRESULT Default();
    void OnMouseMove(UINT nFlags, CPoint point) { Default(); }
    void OnLButtonDown(UINT nFlags, CPoint point) { Default(); }
    void OnLButtonUp(UINT nFlags, CPoint point) { Default(); }
    void OnLButtonDblClk(UINT nFlags, CPoint point) { Default(); }
    void OnTimer(UINT_PTR nIDEvent) { Default(); }
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    void OnKillFocus(CWnd* pNewWnd) { Default(); }
    void OnSetFocus(CWnd* pOldWnd) { Default(); }
    int OnCreate(LPCREATESTRUCT lpCreateStruct) { return (int)Default(); }
    void OnDestroy() { Default(); }
    void OnPaint() { Default(); }
    void OnSize(UINT nType, int cx, int cy) { Default(); }
    BOOL OnEraseBkgnd(CDC* pDC) { return (BOOL)Default(); }
    void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) { Default(); }
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) { Default(); }
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) { return (BOOL)Default(); }
    UINT OnGetDlgCode() { return (UINT)Default(); }
    // The list box's own handling of the key (what DefWindowProc answers).
    // Not Default(): a dialog manager hands back its procedure's FALSE,
    // which the list box reads as "act on row 0".
    int OnVKeyToItem(UINT nKey, CListBox* pListBox, UINT nIndex) { return -1; }

    // Window procedure of every window the layer owns.
    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    WNDPROC m_pfnSuper = NULL;  // the window procedure we subclassed
    virtual WNDPROC* GetSuperWndProcAddr() { return &m_pfnSuper; }
    DECLARE_MESSAGE_MAP()
};

template <auto F> LRESULT AfxThunk_vWnd(CCmdTarget* p, WPARAM w, LPARAM)
{ (AFX_TARGET(F)->*F)(CWnd::FromHandle((HWND)w)); return 0; }
template <auto F> LRESULT AfxThunk_vScroll(CCmdTarget* p, WPARAM w, LPARAM l)
{ (AFX_TARGET(F)->*F)((UINT)LOWORD(w), (UINT)(short)HIWORD(w), CWnd::FromHandle((HWND)l)); return 0; }
template <auto F> LRESULT AfxThunk_bSetCursor(CCmdTarget* p, WPARAM w, LPARAM l)
{ return (AFX_TARGET(F)->*F)(CWnd::FromHandle((HWND)w), (UINT)LOWORD(l), (UINT)HIWORD(l)); }

// Window creation hook: the next window created on this thread is attached
// to pWnd and subclassed before it receives its first message.
AFX_CORE_API void AFXAPI AfxHookWindowCreate(CWnd* pWnd);
AFX_CORE_API BOOL AFXAPI AfxUnhookWindowCreate();

/////////////////////////////////////////////////////////////////////////////
// GDI wrappers, as far as the pages need them

class AFX_CORE_API CGdiObject : public CObject
{
    DECLARE_DYNAMIC(CGdiObject)
public:
    HGDIOBJ m_hObject = NULL;
    HGDIOBJ GetSafeHandle() const { return this == NULL ? NULL : m_hObject; }
    BOOL DeleteObject();
    virtual ~CGdiObject();
    // A wrapper that does not own the object, one per handle (NULL for
    // none); kept until the process ends. Likewise CFont's and CBitmap's.
    static CGdiObject* PASCAL FromHandle(HGDIOBJ hObject);
};

class AFX_CORE_API CFont : public CGdiObject
{
    DECLARE_DYNAMIC(CFont)
public:
    operator HFONT() const { return (HFONT)m_hObject; }
    static CFont* PASCAL FromHandle(HFONT hFont);
};

class AFX_CORE_API CBitmap : public CGdiObject
{
    DECLARE_DYNAMIC(CBitmap)
public:
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
    static CBitmap* PASCAL FromHandle(HBITMAP hBitmap);
    // From the first module of the resource chain that holds it.
    BOOL LoadBitmap(UINT nIDResource);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
};

class AFX_CORE_API CDC : public CObject
{
    DECLARE_DYNAMIC(CDC)
public:
    HDC m_hDC = NULL;
    CDC() {}
    // Deletes a context made with CreateCompatibleDC (the derived classes
    // release theirs first).
    virtual ~CDC();
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return this == NULL ? NULL : m_hDC; }
    BOOL CreateCompatibleDC(CDC* pDC) { m_hDC = ::CreateCompatibleDC(pDC->GetSafeHdc()); return m_hDC != NULL; }
    BOOL DeleteDC();
    CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap)
    { return CBitmap::FromHandle((HBITMAP)::SelectObject(m_hDC, pBitmap->GetSafeHandle())); }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    CGdiObject* SelectStockObject(int nIndex)
    { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex))); }
    int SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
    CPoint SetWindowOrg(int x, int y);
    int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
    void DPtoLP(LPRECT lpRect) const { ::DPtoLP(m_hDC, (LPPOINT)lpRect, 2); }
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) { return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    { return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, dwRop); }
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat)
    { return ::DrawTextA(m_hDC, str, str.GetLength(), lpRect, nFormat); }
    // One-pixel frame just inside the rectangle: top and left in one colour,
    // bottom and right in the other. Leaves the background colour changed.
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
    CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    BOOL TextOut(int x, int y, const CString& str) { return ::TextOutA(m_hDC, x, y, str, str.GetLength()); }
};

class AFX_CORE_API CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC();
protected:
    HWND m_hWnd;
};

class AFX_CORE_API CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    PAINTSTRUCT m_ps;
protected:
    HWND m_hWnd;
};

/////////////////////////////////////////////////////////////////////////////
// Controls

class AFX_CORE_API CStatic : public CWnd
{
    DECLARE_DYNAMIC(CStatic)
};

class AFX_CORE_API CButton : public CWnd
{
    DECLARE_DYNAMIC(CButton)
public:
    int GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck); }
};

class AFX_CORE_API CEdit : public CWnd
{
    DECLARE_DYNAMIC(CEdit)
public:
    void GetSel(int& nStartChar, int& nEndChar) const;
    DWORD GetSel() const { return (DWORD)SendMessage(EM_GETSEL); }
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE)
    { SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText); }
    void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, nChars); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)SendMessage(EM_SETREADONLY, bReadOnly); }
};

class AFX_CORE_API CListBox : public CWnd
{
    DECLARE_DYNAMIC(CListBox)
public:
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }
    int SetCurSel(int nSelect) { return (int)SendMessage(LB_SETCURSEL, nSelect); }
    int GetSel(int nIndex) const { return (int)SendMessage(LB_GETSEL, nIndex); }
    int SetSel(int nIndex, BOOL bSelect = TRUE) { return (int)SendMessage(LB_SETSEL, bSelect, nIndex); }
    int GetSelCount() const { return (int)SendMessage(LB_GETSELCOUNT); }
    int GetSelItems(int nMaxItems, LPINT rgIndex) const
    { return (int)SendMessage(LB_GETSELITEMS, nMaxItems, (LPARAM)rgIndex); }
    int GetText(int nIndex, LPTSTR lpszBuffer) const { return (int)SendMessage(LB_GETTEXT, nIndex, (LPARAM)lpszBuffer); }
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const { return (int)SendMessage(LB_GETTEXTLEN, nIndex); }
    int GetTopIndex() const { return (int)SendMessage(LB_GETTOPINDEX); }
    int SetTopIndex(int nIndex) { return (int)SendMessage(LB_SETTOPINDEX, nIndex); }
    DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(LB_GETITEMDATA, nIndex); }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) { return (int)SendMessage(LB_SETITEMDATA, nIndex, (LPARAM)dwItemData); }
    int GetItemRect(int nIndex, LPRECT lpRect) const { return (int)SendMessage(LB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
    int GetItemHeight(int nIndex) const { return (int)SendMessage(LB_GETITEMHEIGHT, nIndex); }
    int GetCaretIndex() const { return (int)SendMessage(LB_GETCARETINDEX); }
    int SetCaretIndex(int nIndex, BOOL bScroll = TRUE) { return (int)SendMessage(LB_SETCARETINDEX, nIndex, bScroll); }
    // Reserves room for nItems more entries of nBytes of text in all.
    int InitStorage(int nItems, UINT nBytes) { return (int)SendMessage(LB_INITSTORAGE, nItems, nBytes); }
    // Index of the entry nearest to pt; bOutside is set when pt is outside every entry.
    UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const;
    int AddString(LPCTSTR lpszItem) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)lpszItem); }
    int InsertString(int nIndex, LPCTSTR lpszItem) { return (int)SendMessage(LB_INSERTSTRING, nIndex, (LPARAM)lpszItem); }
    int DeleteString(UINT nIndex) { return (int)SendMessage(LB_DELETESTRING, nIndex); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int FindString(int nStartAfter, LPCTSTR lpszItem) const { return (int)SendMessage(LB_FINDSTRING, nStartAfter, (LPARAM)lpszItem); }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const { return (int)SendMessage(LB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind); }
    int SelectString(int nStartAfter, LPCTSTR lpszItem) { return (int)SendMessage(LB_SELECTSTRING, nStartAfter, (LPARAM)lpszItem); }
    void SetHorizontalExtent(int cxExtent) { SendMessage(LB_SETHORIZONTALEXTENT, cxExtent); }
};

template <auto F> LRESULT AfxThunk_iVKeyToItem(CCmdTarget* p, WPARAM w, LPARAM l)
{ return (AFX_TARGET(F)->*F)((UINT)LOWORD(w), static_cast<CListBox*>(CWnd::FromHandle((HWND)l)), (UINT)HIWORD(w)); }

/////////////////////////////////////////////////////////////////////////////
// Dialogs

class AFX_CORE_API CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);

    virtual INT_PTR DoModal();
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    void EndDialog(int nResult);
    void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->m_hWnd, 1); }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // TRUE for a popup whose template leaves its place open (at 0, 0, not
    // aligned to the screen, not centred by the system): it is centred over
    // its owner before OnInitDialog.
    virtual BOOL CheckAutoCenter();

    LPCTSTR m_lpszTemplateName = NULL;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = NULL;

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
protected:
    static INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

/////////////////////////////////////////////////////////////////////////////
// Dialog data exchange

class AFX_CORE_API CDataExchange
{
public:
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = NULL;
    BOOL m_bEditLastControl = FALSE;

    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Focuses the last prepared control (selecting an edit's text) and throws.
    [[noreturn]] void Fail();
};

AFX_CORE_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
AFX_CORE_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
AFX_CORE_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
AFX_CORE_API void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
AFX_CORE_API void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
AFX_CORE_API void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
AFX_CORE_API void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
AFX_CORE_API void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
AFX_CORE_API void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
AFX_CORE_API void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

// The text-to-integer rule of DDX_Text: blanks around a base-10 number, nothing else.
AFX_CORE_API BOOL AFXAPI AfxSimpleScanInt(LPCTSTR lpszText, int& value);

/////////////////////////////////////////////////////////////////////////////
// Message boxes, wait cursor, application identity

AFX_CORE_API int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
AFX_CORE_API int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
AFX_CORE_API LPCTSTR AFXAPI AfxGetAppName();
AFX_CORE_API void AFXAPI AfxSetAppName(LPCTSTR lpszAppName);
// The owner of a dialog or message box: the top-level window of hParent;
// without one, the window this thread works in (its last active popup).
AFX_CORE_API HWND AFXAPI AfxGetSafeOwner(HWND hParent = NULL);

class AFX_CORE_API CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    void Restore();
    static int PASCAL GetWaitCount();
};

/////////////////////////////////////////////////////////////////////////////
// Modules and the resource chain

struct AFX_EXTENSION_MODULE
{
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};

// A module on the resource chain: searched after the host, in load order.
class AFX_CORE_API CDynLinkLibrary : public CCmdTarget
{
    DECLARE_DYNAMIC(CDynLinkLibrary)
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state);
    virtual ~CDynLinkLibrary();
    HMODULE m_hModule;
    HMODULE m_hResource;
    CDynLinkLibrary* m_pNextDLL;
};

AFX_CORE_API BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
AFX_CORE_API void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);
AFX_CORE_API HINSTANCE AFXAPI AfxGetResourceHandle();
AFX_CORE_API void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);
AFX_CORE_API HINSTANCE AFXAPI AfxGetInstanceHandle();
// First module of the chain (host, extension modules, the layer itself)
// that holds the resource.
AFX_CORE_API HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
// Loads string nID from the first module of the chain that has it.
AFX_CORE_API int AFXAPI AfxLoadString(UINT nID, LPTSTR lpszBuf, UINT nMaxBuf);
