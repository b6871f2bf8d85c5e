// ScheduleGrid.h - the week as a grid of hours that the administrator
// toggles by clicking and dragging.
//
//   ScheduleLayout  the grid's arithmetic, over plain values
//   ScheduleGrid    the control: draws the mask and applies the rules
//
// The schedule mask has one character per hour of the week: position
// day * 24 + hour, day 0 = Sunday, "1" = operational, anything else
// non-operational.
//
// Client coordinates, in pixels (the drawing is made unscrolled, with
// the rows shifted up by topRow rows when shown):
//
//   x 0..46    hour labels          y 14h..14h+13   hour h (row h)
//   x 47+17c   day column c,        13 rows show at a time: hours
//              17 wide, c 0..6      topRow .. topRow + 12, topRow 0..11
#pragma once

#include "afxcmn.h"
#include "VeilgateApi.h"
#include "VeilgateSettings.h"

namespace ScheduleLayout
{
    enum
    {
        Days = VgSettings::ScheduleDays,
        Hours = VgSettings::ScheduleHoursPerDay,
        MaskLength = VgSettings::ScheduleLength,
        LabelWidth = 47,
        ColumnWidth = 17,
        RowHeight = 14,
        VisibleRows = 13,           // the scroll bar's page
        LastTopRow = Hours - VisibleRows,  // 11: the scroll range 0..23 less the page
        ClientWidth = LabelWidth + Days * ColumnWidth,  // 166
        ClientHeight = VisibleRows * RowHeight,         // 182
    };

    // The cell under a client point, as day column and hour. FALSE for a
    // point on the label column, outside the client area, or beyond the
    // last column or hour (a client area larger than the cells).
    VG_API BOOL HitTest(int x, int y, int clientWidth, int clientHeight, int topRow, int& column, int& hour);

    // The top row after a scroll bar request: a line or a page up or down
    // (a page reaches either end), or where the thumb was released; other
    // requests, the thumb being dragged among them, leave it where it is.
    VG_API int ScrollTarget(UINT nSBCode, int nThumbPos, int topRow);

    // The hours whose rows reach into a client area of that height.
    VG_API void VisibleHours(int topRow, int clientHeight, int& firstHour, int& lastHour);

    // The mask at its full length: missing hours are non-operational ("0");
    // a longer mask is kept as it is.
    VG_API CString FullMask(const CString& mask);

    // Image of a mask character: 1 (operational) for "1", else 0.
    inline int CellImage(TCHAR ch) { return ch == '1' ? 1 : 0; }
    // "0" becomes "1"; any other character "0".
    inline TCHAR Toggled(TCHAR ch) { return ch == '0' ? '1' : '0'; }
}

class VG_API ScheduleGrid : public CWnd
{
public:
    ScheduleGrid();
    virtual ~ScheduleGrid();

// Operations
    // The window at (x, y) of the parent's client area, sized so that its
    // client area holds the labels, the seven days and 13 rows exactly
    // beside the system's scroll bar.
    BOOL Create(int x, int y, CWnd* pParentWnd, UINT nID);

    // Takes the mask as the grid's working copy; a short one is filled up
    // with non-operational hours. Neither repaints.
    void SetMask(const CString& mask);
    CString GetMask() const;

    // Toggles the cell under a client point, once per entry into a cell;
    // a point outside the cells ends the drag.
    void ToggleCellAt(CPoint point);

protected:
    void CreateOffscreen();
    void DeleteOffscreen();
    void RenderGrid();
    void EndDrag();

// Message map and handlers
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    DECLARE_MESSAGE_MAP()

    CString m_mask;
    int m_topRow;
    int m_dragging;
    int m_lastColumn, m_lastRow;
    CImageList m_images;     // 0 non-operational, 1 operational
    CDC* m_memDC;
    CBitmap* m_memBitmap;
    CDC* m_cellDC;           // the two pictures side by side, image 0 first
    CBitmap* m_cellBitmap;
};
