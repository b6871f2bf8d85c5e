#include "AddressDialog.h"
#include "ModalDriver.h"

static INT_PTR CALLBACK TestDlgProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

AddressDialog::AddressDialog(LPCTSTR mask, LPCTSTR address)
{
    m_hDlg = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ADDRESS_TEST), NULL, TestDlgProc, 0);
    m_hEdit = GetDlgItem(m_hDlg, IDC_ADDRESS);
    // The order of the real dialogs' initialisation.
    m_control.AttachEdit(IDC_ADDRESS, CWnd::FromHandle(m_hDlg));
    m_control.SetMask(mask);
    m_control.SetAddress(address);
    SetFocus(m_hEdit);
    caret(0);
}

AddressDialog::~AddressDialog() { DestroyWindow(m_hDlg); }

std::string AddressDialog::state() const
{
    DWORD s = 0, e = 0;
    SendMessageA(m_hEdit, EM_GETSEL, (WPARAM)&s, (LPARAM)&e);
    std::string text = WindowText(m_hEdit);
    if (s == e)
        return text + "|" + std::to_string(s);
    return text + "[" + std::to_string(s) + "," + std::to_string(e) + ")";
}

void AddressDialog::type(const char* keys) const
{
    for (; *keys; ++keys)
        TypeChar(m_hEdit, *keys);
}

void AddressDialog::press(UINT vk) const { PressKey(m_hEdit, vk); }

LPARAM AddressDialog::pointAt(int index) const
{
    LRESULT pos = SendMessageA(m_hEdit, EM_POSFROMCHAR, index, 0);
    return MAKELPARAM(LOWORD(pos) + 1, HIWORD(pos) + 2);
}

void AddressDialog::drag(int from, int to) const
{
    SendMessageA(m_hEdit, WM_LBUTTONDOWN, MK_LBUTTON, pointAt(from));
    SendMessageA(m_hEdit, WM_MOUSEMOVE, MK_LBUTTON, pointAt(to));
    SendMessageA(m_hEdit, WM_LBUTTONUP, 0, pointAt(to));
}
