// Dialog initialisation data: the items of list and combo boxes that a
// template carries in a resource of type RT_DLGINIT under its own name.
#include "afxwin.h"

#ifndef RT_DLGINIT
#define RT_DLGINIT MAKEINTRESOURCE(240)
#endif

BOOL CWnd::ExecuteDlgInit(LPCTSTR lpszResourceName)
{
    if (lpszResourceName == NULL)
        return TRUE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_DLGINIT);
    HRSRC hResource = hInst != NULL ? ::FindResourceA(hInst, lpszResourceName, RT_DLGINIT) : NULL;
    if (hResource == NULL)
        return TRUE;
    HGLOBAL hData = ::LoadResource(hInst, hResource);
    return hData != NULL && ExecuteDlgInit(::LockResource(hData));
}

// The data is a run of entries ended by a zero control id:
//   WORD control id, WORD message, DWORD length, then length bytes.
// The messages carry their 16-bit numbers (0x401 add a list box string,
// 0x403 add a combo box string); the bytes are the string with its NUL.
BOOL CWnd::ExecuteDlgInit(LPVOID lpResource)
{
    if (lpResource == NULL)
        return TRUE;
    const BYTE* p = static_cast<const BYTE*>(lpResource);
    BOOL bSuccess = TRUE;
    for (;;) {
        WORD nIDC, nMsg;
        DWORD dwLen;
        memcpy(&nIDC, p, sizeof nIDC);
        if (nIDC == 0)
            break;
        memcpy(&nMsg, p + 2, sizeof nMsg);
        memcpy(&dwLen, p + 4, sizeof dwLen);
        p += 8;
        UINT nMessage = nMsg == 0x0401 ? LB_ADDSTRING : nMsg == 0x0403 ? CB_ADDSTRING : nMsg;
        if (nMessage == LB_ADDSTRING || nMessage == CB_ADDSTRING) {
            LRESULT r = ::SendDlgItemMessageA(m_hWnd, nIDC, nMessage, 0, (LPARAM)p);
            if (r == LB_ERR || r == LB_ERRSPACE)
                bSuccess = FALSE;
        }
        p += dwLen;
    }
    return bSuccess;
}
