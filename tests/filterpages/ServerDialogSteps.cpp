#include "ServerDialogSteps.h"
#include "ModalDriver.h"
#include "resource.h"

const char kServerDialogCaption[] = "Veilgate Server IP";

void TypeAddress(HWND hDlg, const char* keys)
{
    HWND hEdit = GetDlgItem(hDlg, IDC_SERVER_VALUE);
    SetFocus(hEdit);
    SetWindowTextA(hEdit, "");
    SendMessageA(hEdit, EM_SETSEL, 0, 0);
    for (; *keys; ++keys)
        TypeChar(hEdit, *keys);
}

void SetPort(HWND hDlg, const char* text) { SetDlgItemTextA(hDlg, IDC_SERVER_PORT, text); }

std::string AddressField(HWND hDlg) { return WindowText(GetDlgItem(hDlg, IDC_SERVER_VALUE)); }
std::string PortField(HWND hDlg) { return WindowText(GetDlgItem(hDlg, IDC_SERVER_PORT)); }

void PressDialogButton(HWND hDlg, int id) { PostMessageA(GetDlgItem(hDlg, id), BM_CLICK, 0, 0); }
