// A modeless test dialog with an address control and a second edit to move
// the focus to; the dialog manager restores the focus after a message box,
// as in the real dialogs.
#pragma once

#define IDD_ADDRESS_TEST 100
#define IDC_ADDRESS 1001
#define IDC_OTHER 1002

#ifndef RC_INVOKED
#include "IpMaskEdit.h"
#include <string>

class AddressDialog
{
public:
    AddressDialog(LPCTSTR mask, LPCTSTR address);
    ~AddressDialog();

    HWND edit() const { return m_hEdit; }
    HWND other() const { return GetDlgItem(m_hDlg, IDC_OTHER); }
    IpMaskEdit& control() { return m_control; }

    // "text|caret" or "text[start,end)".
    std::string state() const;
    void caret(int pos) const { select(pos, pos); }
    void select(int start, int end) const { SendMessageA(m_hEdit, EM_SETSEL, start, end); }
    void type(const char* keys) const;
    void press(UINT vk) const;
    // Left button down at character from, moved to character to, released there.
    void drag(int from, int to) const;
    void click(int at) const { drag(at, at); }

private:
    LPARAM pointAt(int index) const;
    HWND m_hDlg;
    HWND m_hEdit;
    IpMaskEdit m_control;
};
#endif
