// CDialog: modal dialogs on templates found through the resource chain.
#include "afxwin.h"

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
        return OnInitDialog();
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
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
