// Start-up and shut-down of the module as an extension module: its
// templates, strings and bitmaps join the host's resource chain.
#include "afxwin.h"

static AFX_EXTENSION_MODULE s_veilgateModule = { FALSE, NULL, NULL };

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(s_veilgateModule, hInstance))
            return FALSE;
        new CDynLinkLibrary(s_veilgateModule);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(s_veilgateModule);
    }
    return TRUE;
}
