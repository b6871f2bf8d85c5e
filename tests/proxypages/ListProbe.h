// The selection of list boxes, clicks on their rows as the mouse would make
// them, and item texts; the rows themselves come from ListBoxItems.
#pragma once

#include <windows.h>
#include "ModalDriver.h"
#include <string>
#include <vector>

using Rows = std::vector<std::string>;

// Selected rows of a multiple-selection list, ascending.
inline std::vector<int> SelectedRows(HWND list)
{
    int count = (int)SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    std::vector<int> rows(count > 0 ? count : 0);
    if (count > 0)
        SendMessageA(list, LB_GETSELITEMS, count, (LPARAM)rows.data());
    return rows;
}

// A click on the middle of a row; keys may add MK_CONTROL or MK_SHIFT.
inline void ClickRow(HWND list, int row, WPARAM keys = 0, bool twice = false)
{
    RECT r;
    SendMessageA(list, LB_GETITEMRECT, row, (LPARAM)&r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, keys, at);
    if (twice) {
        SendMessageA(list, WM_LBUTTONDBLCLK, keys | MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, keys, at);
    }
}

inline std::string ItemText(HWND dlg, int id) { return WindowText(GetDlgItem(dlg, id)); }
