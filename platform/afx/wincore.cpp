// CCmdTarget, CWnd: handle maps, subclassing, message dispatch.
#include "afxwin.h"
#include <algorithm>
#include <map>
#include <vector>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)

// The framework runs on the user-interface thread only.
static std::map<HWND, CWnd*> s_permanent;
static std::map<HWND, CWnd*> s_temporary;
static int s_dispatchDepth = 0;
static MSG s_lastMsg;

static void DeleteTemporaries()
{
    std::map<HWND, CWnd*> temps;
    temps.swap(s_temporary);
    for (auto& t : temps) {
        t.second->m_hWnd = NULL;
        delete t.second;
    }
}

/////////////////////////////////////////////////////////////////////////////
// Message maps

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, 0, (AFX_PTHUNK)0 } };
    static const AFX_MSGMAP map = { NULL, &entries[0] };
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map != NULL;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != NULL; ++e)
            if (e->nMessage == nMessage && e->nCode == nCode && e->nID <= nID && nID <= e->nLastID)
                return e;
    }
    return NULL;
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

/////////////////////////////////////////////////////////////////////////////
// Handle maps

CWnd::~CWnd()
{
    if (m_hWnd != NULL && s_permanent.count(m_hWnd) && s_permanent[m_hWnd] == this) {
        // A window object dies before its window: put the window procedure
        // back so that later messages do not reach a dead object.
        if (m_pfnSuper != NULL)
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        s_permanent.erase(m_hWnd);
    }
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    auto it = s_permanent.find(hWnd);
    return it == s_permanent.end() ? NULL : it->second;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    if (CWnd* p = FromHandlePermanent(hWnd))
        return p;
    auto it = s_temporary.find(hWnd);
    if (it != s_temporary.end())
        return it->second;
    CWnd* p = new CWnd;
    p->m_hWnd = hWnd;
    s_temporary[hWnd] = p;
    if (s_dispatchDepth == 0) {
        // Outside message dispatch nobody cleans up after us; keep the
        // temporaries from piling up across long-running calls.
        if (s_temporary.size() > 256) {
            s_temporary.erase(hWnd);
            DeleteTemporaries();
            s_temporary[hWnd] = p;
        }
    }
    return p;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    ASSERT(m_hWnd == NULL && hWndNew != NULL);
    if (hWndNew == NULL)
        return FALSE;
    auto it = s_temporary.find(hWndNew);
    if (it != s_temporary.end()) {
        it->second->m_hWnd = NULL;
        delete it->second;
        s_temporary.erase(it);
    }
    s_permanent[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h != NULL) {
        auto it = s_permanent.find(h);
        if (it != s_permanent.end() && it->second == this)
            s_permanent.erase(it);
    }
    m_hWnd = NULL;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)&CWnd::AfxWndProc);
    if (old != &CWnd::AfxWndProc)
        *GetSuperWndProcAddr() = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, nID);
    return hWndControl != NULL && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper != NULL)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = NULL;
    return Detach();
}

void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}
void CWnd::DoDataExchange(CDataExchange*) {}
BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

/////////////////////////////////////////////////////////////////////////////
// Creation hook

static HHOOK s_hHookOldCbtFilter = NULL;
static CWnd* s_pWndInit = NULL;

static LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && s_pWndInit != NULL) {
        CWnd* pWnd = s_pWndInit;
        s_pWndInit = NULL;
        pWnd->SubclassWindow((HWND)wParam);
    }
    return CallNextHookEx(s_hHookOldCbtFilter, code, wParam, lParam);
}

void AFXAPI AfxHookWindowCreate(CWnd* pWnd)
{
    if (s_hHookOldCbtFilter == NULL)
        s_hHookOldCbtFilter = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, NULL, ::GetCurrentThreadId());
    s_pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate()
{
    if (s_hHookOldCbtFilter != NULL) {
        ::UnhookWindowsHookEx(s_hHookOldCbtFilter);
        s_hHookOldCbtFilter = NULL;
    }
    if (s_pWndInit != NULL) {
        s_pWndInit = NULL;
        return FALSE;  // the hooked window was never created
    }
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// Dispatch

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == NULL)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    MSG saved = s_lastMsg;
    s_lastMsg.hwnd = hWnd;
    s_lastMsg.message = message;
    s_lastMsg.wParam = wParam;
    s_lastMsg.lParam = lParam;
    ++s_dispatchDepth;

    LRESULT result;
    if (message == WM_SETCURSOR && CWaitCursor::GetWaitCount() > 0) {
        ::SetCursor(::LoadCursor(NULL, IDC_WAIT));
        result = TRUE;
    } else {
        result = pWnd->WindowProc(message, wParam, lParam);
    }

    if (message == WM_NCDESTROY) {
        // The window is gone: detach and let the object clean up.
        WNDPROC super = pWnd->m_pfnSuper;
        if (super != NULL && (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == &CWnd::AfxWndProc)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)super);
        pWnd->m_pfnSuper = NULL;
        pWnd->Detach();
        pWnd->PostNcDestroy();
    }

    --s_dispatchDepth;
    s_lastMsg = saved;
    if (s_dispatchDepth == 0)
        DeleteTemporaries();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        LRESULT r = 0;
        if (OnNotify(wParam, lParam, &r)) {
            *pResult = r;
            return TRUE;
        }
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0);
    if (e == NULL)
        return FALSE;
    *pResult = e->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    // Menu and accelerator commands arrive with code 0 or 1 and no control.
    if (lParam == 0 && nCode == 1)
        nCode = 0;
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_COMMAND, nCode, nID);
    if (e == NULL)
        return FALSE;
    e->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_NOTIFY, (UINT)pNMHDR->code, (UINT)pNMHDR->idFrom);
    if (e == NULL)
        return FALSE;
    *pResult = e->pfn(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(s_lastMsg.message, s_lastMsg.wParam, s_lastMsg.lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Operations

// The framework's window class, for windows that paint all of themselves:
// no background brush, so nothing is erased before a paint.
static LPCTSTR AfxDefaultWndClass()
{
    static const char szClass[] = "AfxWnd42";
    static ATOM atom = 0;
    if (atom == 0) {
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = szClass;
        atom = ::RegisterClassA(&wc);
    }
    return szClass;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (lpszClassName == NULL)
        lpszClassName = AfxDefaultWndClass();
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight,
                                  hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
    AfxUnhookWindowCreate();
    return hWnd != NULL;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == NULL)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD dwStyle = GetStyle();
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, dwNew);
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBufferSetLength(n), n + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    if (hWnd != NULL) {
        int n = ::GetWindowTextLengthA(hWnd);
        ::GetWindowTextA(hWnd, rString.GetBufferSetLength(n), n + 1);
        rString.ReleaseBuffer();
    }
    return rString.GetLength();
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, (LPPOINT)lpRect);
    ::ClientToScreen(m_hWnd, ((LPPOINT)lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, (LPPOINT)lpRect);
    ::ScreenToClient(m_hWnd, ((LPPOINT)lpRect) + 1);
}

// Over the owner when it is on the screen, else over the work area; kept
// inside the work area of the owner's monitor either way.
void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    HWND hOwner = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (hOwner != NULL && (!::IsWindowVisible(hOwner) || ::IsIconic(hOwner)))
        hOwner = NULL;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(hOwner ? hOwner : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT rcArea = monitor.rcWork, rcWnd;
    if (hOwner != NULL)
        ::GetWindowRect(hOwner, &rcArea);
    ::GetWindowRect(m_hWnd, &rcWnd);
    int cx = rcWnd.right - rcWnd.left, cy = rcWnd.bottom - rcWnd.top;
    int x = (rcArea.left + rcArea.right - cx) / 2;
    int y = (rcArea.top + rcArea.bottom - cy) / 2;
    x = std::max((int)monitor.rcWork.left, std::min(x, (int)monitor.rcWork.right - cx));
    y = std::max((int)monitor.rcWork.top, std::min(y, (int)monitor.rcWork.bottom - cy));
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption ? lpszCaption : "Error", nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

/////////////////////////////////////////////////////////////////////////////
// Controls

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD s = 0, e = 0;
    ::SendMessageA(m_hWnd, EM_GETSEL, (WPARAM)&s, (LPARAM)&e);
    nStartChar = (int)s;
    nEndChar = (int)e;
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    SendMessage(EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll)
        SendMessage(EM_SCROLLCARET);
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    int n = GetTextLen(nIndex);
    if (n == LB_ERR) {
        rString.Empty();
        return;
    }
    GetText(nIndex, rString.GetBufferSetLength(n));
    rString.ReleaseBuffer();
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const
{
    DWORD dw = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    bOutside = HIWORD(dw) != 0;
    return LOWORD(dw);
}
