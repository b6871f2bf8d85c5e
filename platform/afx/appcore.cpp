// Module state: the resource chain, message boxes, the wait cursor.
#include "afxwin.h"
#include "afxres.h"

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

static HINSTANCE s_hLayerModule = NULL;   // this DLL
static HINSTANCE s_hResourceHandle = NULL; // the host, unless set
static CDynLinkLibrary* s_pFirstDLL = NULL;
static CString* s_pAppName = NULL;

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        s_hLayerModule = hInstance;
        static INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_WIN95_CLASSES };
        ::InitCommonControlsEx(&icc);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        delete s_pAppName;
        s_pAppName = NULL;
    }
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// Extension modules

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_pNextDLL(NULL)
{
    CDynLinkLibrary** pp = &s_pFirstDLL;
    while (*pp != NULL)
        pp = &(*pp)->m_pNextDLL;
    *pp = this;
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    for (CDynLinkLibrary** pp = &s_pFirstDLL; *pp != NULL; pp = &(*pp)->m_pNextDLL) {
        if (*pp == this) {
            *pp = m_pNextDLL;
            break;
        }
    }
}

BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (state.bInitialized)
        return TRUE;
    if (hModule == NULL)
        return FALSE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL)
{
    if (!state.bInitialized)
        return;
    for (CDynLinkLibrary* p = s_pFirstDLL; p != NULL;) {
        CDynLinkLibrary* next = p->m_pNextDLL;
        if (p->m_hModule == state.hModule)
            delete p;
        p = next;
    }
    state.bInitialized = FALSE;
}

HINSTANCE AFXAPI AfxGetResourceHandle()
{
    return s_hResourceHandle ? s_hResourceHandle : ::GetModuleHandleA(NULL);
}

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource) { s_hResourceHandle = hInstResource; }

HINSTANCE AFXAPI AfxGetInstanceHandle() { return ::GetModuleHandleA(NULL); }

HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    HINSTANCE hHost = AfxGetResourceHandle();
    if (::FindResourceA(hHost, lpszName, lpszType) != NULL)
        return hHost;
    for (CDynLinkLibrary* p = s_pFirstDLL; p != NULL; p = p->m_pNextDLL)
        if (p->m_hResource != NULL && ::FindResourceA(p->m_hResource, lpszName, lpszType) != NULL)
            return p->m_hResource;
    if (::FindResourceA(s_hLayerModule, lpszName, lpszType) != NULL)
        return s_hLayerModule;
    return hHost;
}

int AFXAPI AfxLoadString(UINT nID, LPTSTR lpszBuf, UINT nMaxBuf)
{
    // A string block can exist in several modules with different members:
    // ask each module in chain order for the string itself.
    int n = ::LoadStringA(AfxGetResourceHandle(), nID, lpszBuf, nMaxBuf);
    for (CDynLinkLibrary* p = s_pFirstDLL; n == 0 && p != NULL; p = p->m_pNextDLL)
        if (p->m_hResource != NULL)
            n = ::LoadStringA(p->m_hResource, nID, lpszBuf, nMaxBuf);
    if (n == 0)
        n = ::LoadStringA(s_hLayerModule, nID, lpszBuf, nMaxBuf);
    if (n == 0 && nMaxBuf > 0)
        lpszBuf[0] = '\0';
    return n;
}

BOOL CString::LoadString(UINT nID)
{
    char buf[1024];
    int n = AfxLoadString(nID, buf, sizeof buf);
    if (n == 0) {
        Empty();
        return FALSE;
    }
    *this = CString(buf, n);
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// Message boxes

void AFXAPI AfxSetAppName(LPCTSTR lpszAppName)
{
    if (s_pAppName == NULL)
        s_pAppName = new CString;
    *s_pAppName = lpszAppName;
}

LPCTSTR AFXAPI AfxGetAppName()
{
    if (s_pAppName == NULL || s_pAppName->IsEmpty()) {
        CString name;
        if (!name.LoadString(AFX_IDS_APP_TITLE)) {
            char path[MAX_PATH];
            ::GetModuleFileNameA(NULL, path, MAX_PATH);
            name = path;
            name = name.Mid(name.ReverseFind('\\') + 1);
            int dot = name.ReverseFind('.');
            if (dot > 0)
                name = name.Left(dot);
        }
        AfxSetAppName(name);
    }
    return *s_pAppName;
}

namespace {

BOOL CALLBACK FindFrontWindow(HWND hWnd, LPARAM lParam)
{
    LONG_PTR style = ::GetWindowLongPtrA(hWnd, GWL_STYLE);
    if ((style & WS_VISIBLE) && !(style & WS_DISABLED) && (style & WS_CAPTION) == WS_CAPTION) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

// While another program is in front, this thread has no active window; its
// modal loops leave only their own window enabled, so the first enabled,
// visible window with a caption (top of the z-order first) is the one the
// user works in. Tool tips and menus have no caption.
HWND FrontThreadWindow()
{
    HWND hWnd = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindFrontWindow, reinterpret_cast<LPARAM>(&hWnd));
    return hWnd;
}

} // namespace

HWND AFXAPI AfxGetSafeOwner(HWND hParent)
{
    HWND hWnd = hParent;
    if (hWnd == NULL) {
        hWnd = ::GetActiveWindow();
        if (hWnd != NULL && ::GetWindowThreadProcessId(hWnd, NULL) != ::GetCurrentThreadId())
            hWnd = NULL;
        if (hWnd == NULL)
            hWnd = FrontThreadWindow();
    }
    // A popup cannot be owned by a child window: its top-level window owns it.
    while (hWnd != NULL && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    if (hParent == NULL && hWnd != NULL)
        hWnd = ::GetLastActivePopup(hWnd);
    return hWnd;
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        }
    }
    return ::MessageBoxA(AfxGetSafeOwner(NULL), lpszText, AfxGetAppName(), nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}

/////////////////////////////////////////////////////////////////////////////
// Wait cursor: counted, and re-applied on WM_SETCURSOR while counted.

static int s_nWaitCount = 0;
static HCURSOR s_hcurRestore = NULL;

CWaitCursor::CWaitCursor()
{
    HCURSOR hWait = ::LoadCursor(NULL, IDC_WAIT);
    HCURSOR hPrev = ::SetCursor(hWait);
    if (s_nWaitCount++ == 0)
        s_hcurRestore = hPrev;
}

CWaitCursor::~CWaitCursor()
{
    if (--s_nWaitCount <= 0) {
        s_nWaitCount = 0;
        ::SetCursor(s_hcurRestore ? s_hcurRestore : ::LoadCursor(NULL, IDC_ARROW));
    }
}

void CWaitCursor::Restore()
{
    if (s_nWaitCount > 0)
        ::SetCursor(::LoadCursor(NULL, IDC_WAIT));
}

int PASCAL CWaitCursor::GetWaitCount() { return s_nWaitCount; }

/////////////////////////////////////////////////////////////////////////////
// GDI

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CDC, CObject)

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == NULL)
        return FALSE;
    BOOL b = ::DeleteObject(m_hObject);
    m_hObject = NULL;
    return b;
}

CGdiObject::~CGdiObject() { DeleteObject(); }

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle((HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessageA(m_hWnd, WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), bRedraw);
}

CDC* CWnd::GetDC()
{
    CDC* pDC = new CDC;
    pDC->m_hDC = ::GetDC(m_hWnd);
    return pDC;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    int n = ::ReleaseDC(m_hWnd, pDC->m_hDC);
    pDC->m_hDC = NULL;  // released, not to be deleted
    delete pDC;
    return n;
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return CFont::FromHandle((HFONT)::SelectObject(m_hDC, pFont->GetSafeHandle()));
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size = { 0, 0 };
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
    return CSize(size);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, NULL, 0, NULL);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : NULL) { m_hDC = ::GetDC(m_hWnd); }
CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, m_hDC); m_hDC = NULL; }

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); m_hDC = NULL; }
