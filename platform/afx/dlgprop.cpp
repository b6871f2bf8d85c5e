// CPropertyPage and CPropertySheet over the common controls' property sheet.
#include "afxdlgs.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

/////////////////////////////////////////////////////////////////////////////
// CPropertyPage

BEGIN_MESSAGE_MAP(CPropertyPage, CDialog)
END_MESSAGE_MAP()

CPropertyPage::CPropertyPage() { CommonConstruct(0, 0); }

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) { CommonConstruct(nIDTemplate, nIDCaption); }

CPropertyPage::~CPropertyPage() {}

void CPropertyPage::CommonConstruct(UINT nIDTemplate, UINT nIDCaption)
{
    memset(&m_psp, 0, sizeof m_psp);
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
    m_psp.pfnDlgProc = AfxPageDlgProc;
    m_psp.lParam = (LPARAM)this;
    m_lpszTemplateName = m_psp.pszTemplate;
    m_nIDHelp = nIDTemplate;
    if (nIDCaption != 0 && m_strCaption.LoadString(nIDCaption)) {
        m_psp.pszTitle = m_strCaption;
        m_psp.dwFlags |= PSP_USETITLE;
    }
}

void CPropertyPage::SetTitle(LPCTSTR lpszTitle)
{
    m_strCaption = lpszTitle;
    m_psp.pszTitle = m_strCaption;
    m_psp.dwFlags |= PSP_USETITLE;
}

// The sheet creates the page window; it is subclassed here, on its first
// dialog message that carries the page object, and initialised.
INT_PTR CALLBACK CPropertyPage::AfxPageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CPropertyPage* pPage = (CPropertyPage*)((PROPSHEETPAGEA*)lParam)->lParam;
    if (CWnd::FromHandlePermanent(hWnd) == NULL)
        pPage->SubclassWindow(hWnd);
    return pPage->OnInitDialog();
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR->hwndFrom == ::GetParent(m_hWnd)) {
        switch (pNMHDR->code) {
        case PSN_SETACTIVE:
            *pResult = OnSetActive() ? 0 : -1;
            return TRUE;
        case PSN_KILLACTIVE:
            *pResult = !OnKillActive();
            return TRUE;
        case PSN_APPLY:
            *pResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
            return TRUE;
        case PSN_RESET:
            OnReset();
            return TRUE;
        case PSN_QUERYCANCEL:
            *pResult = !OnQueryCancel();
            return TRUE;
        }
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

// The sheet hides the page it leaves and shows the next one without moving
// the focus, whoever asked for the change (a tab, PSM_SETCURSEL, a refused
// apply). A focus left on a hidden control is worse than lost: the dialog
// manager's search for a mnemonic never comes back to it, and the next
// character key spins there for good.
LRESULT CPropertyPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = CDialog::WindowProc(message, wParam, lParam);
    if (message == WM_WINDOWPOSCHANGED && (reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW))
        TakeFocusFromHiddenPage();
    return lResult;
}

void CPropertyPage::TakeFocusFromHiddenPage()
{
    HWND hSheet = ::GetParent(m_hWnd);
    HWND hFocus = ::GetFocus();
    if (hFocus == NULL || !::IsWindowVisible(m_hWnd) || !::IsChild(hSheet, hFocus) || ::IsWindowVisible(hFocus))
        return;
    HWND hControl = ::GetNextDlgTabItem(m_hWnd, NULL, FALSE);
    if (hControl == NULL)
        hControl = (HWND)::SendMessageA(hSheet, PSM_GETTABCONTROL, 0, 0);
    ::SendMessageA(hSheet, WM_NEXTDLGCTL, (WPARAM)hControl, TRUE);
}

BOOL CPropertyPage::OnSetActive()
{
    // The first activation follows OnInitDialog, which has just loaded the controls.
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnOK() { SetModified(FALSE); }
void CPropertyPage::OnCancel() {}
void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }

void CPropertyPage::SetModified(BOOL bChanged)
{
    if (m_hWnd == NULL)
        return;
    HWND hSheet = ::GetParent(m_hWnd);
    ::SendMessageA(hSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, (WPARAM)m_hWnd, 0);
}

/////////////////////////////////////////////////////////////////////////////
// CPropertySheet

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
END_MESSAGE_MAP()

static CPropertySheet* s_pSheetInit = NULL;

CPropertySheet::CPropertySheet() { CommonConstruct(NULL, 0); }

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption;
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    memset(&m_psh, 0, sizeof m_psh);
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.nStartPage = iSelectPage;
    m_pParentWnd = pParentWnd;
}

CPropertySheet::~CPropertySheet() { delete[] m_pPageArray; }

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.AddTail(pPage);
    pPage->m_pSheet = this;
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    POSITION pos = m_pages.Find(pPage);
    if (pos != NULL)
        m_pages.RemoveAt(pos);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    POSITION pos = m_pages.FindIndex(nPage);
    return pos ? (CPropertyPage*)m_pages.GetAt(pos) : NULL;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    int i = 0;
    for (POSITION pos = m_pages.GetHeadPosition(); pos != NULL; ++i)
        if (m_pages.GetNext(pos) == pPage)
            return i;
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    if (m_hWnd == NULL)
        return GetPage(m_psh.nStartPage);
    HWND hPage = (HWND)::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0);
    return (CPropertyPage*)CWnd::FromHandlePermanent(hPage);
}

int CPropertySheet::GetActiveIndex() const
{
    if (m_hWnd == NULL)
        return (int)m_psh.nStartPage;
    return (int)::SendMessageA(GetTabControl(), TCM_GETCURSEL, 0, 0);
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (m_hWnd == NULL) {
        m_psh.nStartPage = nPage;
        return TRUE;
    }
    return (BOOL)::SendMessageA(m_hWnd, PSM_SETCURSEL, nPage, 0);
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText;
    if (m_hWnd != NULL)
        ::SendMessageA(m_hWnd, PSM_SETTITLEA, nStyle, (LPARAM)lpszText);
}

void CPropertySheet::BuildPropPageArray()
{
    delete[] m_pPageArray;
    int n = m_pages.GetCount();
    m_pPageArray = new PROPSHEETPAGEA[n ? n : 1];
    int i = 0;
    for (POSITION pos = m_pages.GetHeadPosition(); pos != NULL; ++i) {
        CPropertyPage* pPage = (CPropertyPage*)m_pages.GetNext(pos);
        // Templates come from the first module of the chain that has them.
        pPage->m_psp.hInstance = AfxFindResourceHandle(pPage->m_psp.pszTemplate, RT_DIALOG);
        pPage->m_bFirstSetActive = TRUE;
        m_pPageArray[i] = pPage->m_psp;
    }
    m_psh.ppsp = m_pPageArray;
    m_psh.nPages = n;
}

int CALLBACK CPropertySheet::AfxPropSheetCallback(HWND hWnd, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED && s_pSheetInit != NULL) {
        CPropertySheet* pSheet = s_pSheetInit;
        s_pSheetInit = NULL;
        pSheet->SubclassWindow(hWnd);
        pSheet->OnInitDialog();
    }
    return 0;
}

BOOL CPropertySheet::OnInitDialog()
{
    if (!m_bStacked) {
        HWND hTab = GetTabControl();
        if (hTab != NULL) {
            LONG_PTR style = ::GetWindowLongPtrA(hTab, GWL_STYLE);
            if (style & TCS_MULTILINE) {
                ::SetWindowLongPtrA(hTab, GWL_STYLE, style & ~TCS_MULTILINE);
                // The tab control recomputes its layout but does not repaint.
                ::InvalidateRect(m_hWnd, NULL, TRUE);
            }
        }
    }
    return TRUE;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
        m_nModalResult = LOWORD(wParam);
    return CWnd::OnCommand(wParam, lParam);
}

INT_PTR CPropertySheet::DoModal()
{
    BuildPropPageArray();
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.pfnCallback = AfxPropSheetCallback;
    m_psh.pszCaption = m_strCaption;
    m_psh.hInstance = AfxGetInstanceHandle();
    m_psh.hwndParent = AfxGetSafeOwner(m_pParentWnd ? m_pParentWnd->m_hWnd : NULL);
    m_nModalResult = IDCANCEL;

    s_pSheetInit = this;
    INT_PTR nResult = ::PropertySheetA(&m_psh);
    s_pSheetInit = NULL;
    if (m_hWnd != NULL)
        Detach();
    if (nResult < 0)
        return -1;
    // The common controls report a positive value only when OK ended the sheet.
    return nResult > 0 ? IDOK : IDCANCEL;
}

void CPropertySheet::EndDialog(int nEndID)
{
    m_nModalResult = nEndID;
    ::SendMessageA(m_hWnd, PSM_PRESSBUTTON, nEndID == IDOK ? PSBTN_OK : PSBTN_CANCEL, 0);
}
