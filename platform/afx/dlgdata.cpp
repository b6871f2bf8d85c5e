// Dialog data exchange and validation.
#include "afxwin.h"
#include "afxres.h"
#include <stdio.h>

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    ASSERT(hWndCtrl != NULL);
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl != NULL) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

BOOL AFXAPI AfxSimpleScanInt(LPCTSTR lpszText, int& value)
{
    const char* p = lpszText;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = (*p++ == '-');
    if (*p < '0' || *p > '9')
        return FALSE;
    long long n = 0;
    while (*p >= '0' && *p <= '9') {
        n = n * 10 + (*p++ - '0');
        if (n > 2147483648LL)
            return FALSE;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p != '\0')
        return FALSE;
    if (negative)
        n = -n;
    if (n > 2147483647LL)
        return FALSE;
    value = (int)n;
    return TRUE;
}

// Writes the text only when it differs, so that loading does not flicker.
static void SetWindowTextIfChanged(HWND hWnd, LPCTSTR lpszNew)
{
    CString old;
    int n = ::GetWindowTextLengthA(hWnd);
    ::GetWindowTextA(hWnd, old.GetBufferSetLength(n), n + 1);
    old.ReleaseBuffer();
    if (old != lpszNew)
        ::SetWindowTextA(hWnd, lpszNew);
}

static CString GetWindowTextOf(HWND hWnd)
{
    CString s;
    int n = ::GetWindowTextLengthA(hWnd);
    ::GetWindowTextA(hWnd, s.GetBufferSetLength(n), n + 1);
    s.ReleaseBuffer();
    return s;
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!AfxSimpleScanInt(GetWindowTextOf(hWndCtrl), value)) {
            AfxMessageBox(AFX_IDP_PARSE_INT);
            pDX->Fail();
        }
    } else {
        char buf[32];
        snprintf(buf, sizeof buf, "%d", value);
        SetWindowTextIfChanged(hWndCtrl, buf);
    }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int n;
        CString text = GetWindowTextOf(hWndCtrl);
        if (!AfxSimpleScanInt(text, n) || n < 0) {
            AfxMessageBox(AFX_IDP_PARSE_UINT);
            pDX->Fail();
        }
        value = (UINT)n;
    } else {
        char buf[32];
        snprintf(buf, sizeof buf, "%u", value);
        SetWindowTextIfChanged(hWndCtrl, buf);
    }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = GetWindowTextOf(hWndCtrl);
    else
        SetWindowTextIfChanged(hWndCtrl, value);
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0);
    else
        ::SendMessageA(hWndCtrl, BM_SETCHECK, (WPARAM)value, 0);
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int iButton = 0;
    do {
        if (::SendMessageA(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0) != 0)
                    value = iButton;
            } else {
                ::SendMessageA(hWndCtrl, BM_SETCHECK, iButton == value, 0);
            }
            ++iButton;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl != NULL && !(::GetWindowLongPtrA(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(hWndCtrl, CB_SETCURSEL, (WPARAM)index, 0);
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(hWndCtrl, LB_SETCURSEL, (WPARAM)index, 0);
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == NULL) {
        HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
        rControl.SubclassWindow(hWndCtrl);
    }
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char szMin[32], szMax[32];
    snprintf(szMin, sizeof szMin, "%d", minVal);
    snprintf(szMax, sizeof szMax, "%d", maxVal);
    CString prompt;
    AfxFormatString2(prompt, AFX_IDP_PARSE_INT_RANGE, szMin, szMax);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_INT_RANGE);
    pDX->Fail();
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
        char szT[32];
        snprintf(szT, sizeof szT, "%d", nChars);
        CString prompt;
        AfxFormatString1(prompt, AFX_IDP_PARSE_STRING_SIZE, szT);
        AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
        pDX->Fail();
    } else if (pDX->m_hWndLastControl != NULL && pDX->m_bEditLastControl) {
        ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, nChars, 0);
    }
}
