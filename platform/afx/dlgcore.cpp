// CDialog: modal dialogs on templates found through the resource chain.
#include "afxwin.h"
#include "afxdlgtemplate.h"
#include "afxres.h"
#include <string.h>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
}

// The window is already subclassed by the creation hook; the dialog
// procedure only has to let the dialog manager do its default work.
INT_PTR CALLBACK CDialog::AfxDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HWND hParent = AfxGetSafeOwner(m_pParentWnd ? m_pParentWnd->m_hWnd : NULL);
    AfxHookWindowCreate(this);
    INT_PTR nResult = ::DialogBoxParamA(hInst, m_lpszTemplateName, hParent, AfxDlgProc, (LPARAM)this);
    AfxUnhookWindowCreate();
    if (m_hWnd != NULL)
        Detach();
    return nResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_lpszTemplateName = MAKEINTRESOURCEA(nIDTemplate);
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogParamA(hInst, m_lpszTemplateName, pParentWnd ? pParentWnd->m_hWnd : NULL,
                                     AfxDlgProc, (LPARAM)this);
    AfxUnhookWindowCreate();
    return hWnd != NULL;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Default();
        if (CheckAutoCenter())
            CenterWindow();
        return OnInitDialog();
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::CheckAutoCenter()
{
    DialogTemplate dlg;
    return dlg.Load(m_lpszTemplateName) && !(dlg.style & (WS_CHILD | DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE)) &&
           dlg.x == 0 && dlg.y == 0;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

// The data is a run of records, each a WORD control id, a WORD message, a
// DWORD length and that many bytes for the message's lParam, ended by a
// zero id. Messages are stored in their 16-bit numbering. Fields are read
// byte-wise: a record's length need not be even.
BOOL CWnd::ExecuteDlgInit(LPCTSTR lpszResourceName)
{
    const WORD kLbAddString16 = 0x0401, kCbAddString16 = 0x0403;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_DLGINIT);
    HRSRC hRes = hInst != NULL ? ::FindResourceA(hInst, lpszResourceName, RT_DLGINIT) : NULL;
    if (hRes == NULL)
        return TRUE;
    const BYTE* p = (const BYTE*)::LockResource(::LoadResource(hInst, hRes));
    if (p == NULL)
        return FALSE;
    const BYTE* pEnd = p + ::SizeofResource(hInst, hRes);
    BOOL bSuccess = TRUE;
    while (pEnd - p >= 2) {
        WORD nIDC, nMsg;
        DWORD dwLen;
        memcpy(&nIDC, p, sizeof nIDC);
        if (nIDC == 0 || pEnd - p < 8)
            break;
        memcpy(&nMsg, p + 2, sizeof nMsg);
        memcpy(&dwLen, p + 4, sizeof dwLen);
        p += 8;
        if (dwLen > (DWORD)(pEnd - p))
            return FALSE;
        UINT nMessage = nMsg == kLbAddString16 ? LB_ADDSTRING : nMsg == kCbAddString16 ? CB_ADDSTRING : 0;
        if (nMessage != 0) {
            CString item((LPCSTR)p, (int)strnlen((LPCSTR)p, dwLen));
            LRESULT r = ::SendDlgItemMessageA(m_hWnd, nIDC, nMessage, 0, (LPARAM)(LPCTSTR)item);
            if (r == LB_ERR || r == LB_ERRSPACE)
                bSuccess = FALSE;
        }
        p += dwLen;
    }
    return bSuccess;
}

BOOL CDialog::OnInitDialog()
{
    // The template's initialisation data fills its list and combo boxes
    // before the data exchange selects among their items.
    if (!ExecuteDlgInit(m_lpszTemplateName)) {
        EndDialog(-1);
        return FALSE;
    }
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
