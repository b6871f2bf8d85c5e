// TipListBox: a list box that shows the full text of an entry too wide for
// the list in a tooltip laid exactly over the clipped entry, in the entry's
// own colours. The tip follows the pointer and disappears within 80 ms of
// the pointer leaving the list.
#pragma once

#include "afxwin.h"
#include "VeilgateApi.h"

class VG_API TipListBox : public CListBox
{
public:
    TipListBox();
    virtual ~TipListBox();

// Attributes
    // The tracking tooltip; NULL until the list box is subclassed.
    HWND GetTipWindow() const { return m_hWndTip; }
    BOOL IsItemSelected(int nIndex) const;

// Overridables
protected:
    void PreSubclassWindow() override;

// Message map and handlers
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    void HideTip();
    void DestroyTip();

    HWND m_hWndTip;
    TOOLINFOA m_toolInfo;
};
