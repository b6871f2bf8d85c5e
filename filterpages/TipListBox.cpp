#include "TipListBox.h"
#include <vector>

namespace {
const UINT_PTR kTipTimer = 1;
const UINT kTipTimerMs = 80;
}

BEGIN_MESSAGE_MAP(TipListBox, CListBox)
    ON_WM_KEYDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

TipListBox::TipListBox() : m_hWndTip(NULL)
{
    memset(&m_toolInfo, 0, sizeof m_toolInfo);
}

TipListBox::~TipListBox()
{
    DestroyTip();
}

// A popup created with a child window as owner is owned by the child's
// top-level window, so the tip dies with the sheet or dialog, not with the
// list box; a list box that goes first takes its tip along here.
void TipListBox::DestroyTip()
{
    if (m_hWndTip != NULL && ::IsWindow(m_hWndTip))
        ::DestroyWindow(m_hWndTip);
    m_hWndTip = NULL;
}

void TipListBox::PreSubclassWindow()
{
    CListBox::PreSubclassWindow();
    DestroyTip();  // left from an earlier window of this object

    m_hWndTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  m_hWnd, NULL, AfxGetInstanceHandle(), NULL);

    memset(&m_toolInfo, 0, sizeof m_toolInfo);
    // 44 bytes on 32-bit Windows: the record every version of the common
    // controls accepts; sizeof gives the longer record of newer versions.
    m_toolInfo.cbSize = TTTOOLINFOA_V2_SIZE;
    m_toolInfo.uFlags = TTF_TRACK | TTF_TRANSPARENT;
    m_toolInfo.hwnd = m_hWnd;

    ::SendMessageA(m_hWndTip, TTM_SETMAXTIPWIDTH, 0, 32767);
    ::SendMessageA(m_hWndTip, TTM_ADDTOOLA, 0, (LPARAM)&m_toolInfo);
    // -1 above and below: the tip is no taller than the entry it covers.
    RECT margin = { 0, -1, 0, -1 };
    ::SendMessageA(m_hWndTip, TTM_SETMARGIN, 0, (LPARAM)&margin);
    ::SendMessageA(m_hWndTip, WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
}

BOOL TipListBox::IsItemSelected(int nIndex) const
{
    int nCount = GetSelCount();
    if (nCount <= 0)
        return FALSE;
    std::vector<int> selected(nCount);
    nCount = GetSelItems(nCount, selected.data());
    for (int i = 0; i < nCount; ++i)
        if (selected[i] == nIndex)
            return TRUE;
    return FALSE;
}

// A key on an empty list has no entry to move to or select. Wine's list box
// answers Space on an empty multiple-selection list by reading the selection
// of entry 0, which emptying the list has released, and the process dies
// (Windows does nothing); arrow keys there make the missing entry 0 its
// selected one. So the list's own key handling only sees lists with entries.
void TipListBox::OnKeyDown(UINT, UINT, UINT)
{
    if (GetCount() > 0)
        Default();
}

void TipListBox::HideTip()
{
    ::SendMessageA(m_hWndTip, TTM_TRACKACTIVATE, FALSE, (LPARAM)&m_toolInfo);
}

void TipListBox::OnMouseMove(UINT nFlags, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        HideTip();
    } else {
        BOOL bOutside = TRUE;
        UINT nIndex = ItemFromPoint(point, bOutside);
        if (!bOutside && nIndex < (UINT)GetCount()) {
            CString text;
            GetText((int)nIndex, text);
            CRect item;
            GetItemRect((int)nIndex, &item);
            ClientToScreen(&item);

            CSize extent;
            {
                CClientDC dc(this);
                HGDIOBJ hOldFont = dc.SelectObject((HGDIOBJ)SendMessage(WM_GETFONT));
                extent = dc.GetTextExtent(text);
                dc.SelectObject(hOldFont);
            }

            // The list box insets its text a little; 3 pixels allow for that.
            if (extent.cx > item.Width() - 3) {
                m_toolInfo.lpszText = (LPSTR)(LPCTSTR)text;
                ::SendMessageA(m_hWndTip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&m_toolInfo);
                m_toolInfo.lpszText = NULL;
                ::SendMessageA(m_hWndTip, TTM_TRACKPOSITION, 0, MAKELPARAM(item.left, item.top));
                ::SendMessageA(m_hWndTip, TTM_TRACKACTIVATE, TRUE, (LPARAM)&m_toolInfo);
                SetTimer(kTipTimer, kTipTimerMs);
                BOOL bSelected = IsItemSelected((int)nIndex);
                ::SendMessageA(m_hWndTip, TTM_SETTIPBKCOLOR,
                               ::GetSysColor(bSelected ? COLOR_HIGHLIGHT : COLOR_INFOBK), 0);
                ::SendMessageA(m_hWndTip, TTM_SETTIPTEXTCOLOR,
                               ::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_INFOTEXT), 0);
            } else {
                HideTip();
            }
        }
    }
    Default();
}

// The list box gets no message when the pointer leaves it, so the timer
// watches for that while a tip is up.
void TipListBox::OnTimer(UINT_PTR nIDEvent)
{
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(cursor) || !IsWindowVisible()) {
        KillTimer(kTipTimer);
        HideTip();
    }
    // Other timers belong to the list box itself (scrolling while dragging).
    if (nIDEvent != kTipTimer)
        Default();
}
