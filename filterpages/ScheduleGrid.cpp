#include "ScheduleGrid.h"
#include "resource.h"
#include <algorithm>

using std::max;
using std::min;

using namespace ScheduleLayout;

/////////////////////////////////////////////////////////////////////////////
// ScheduleLayout

BOOL ScheduleLayout::HitTest(int x, int y, int clientWidth, int clientHeight, int topRow, int& column, int& hour)
{
    if (x < LabelWidth || x >= clientWidth || y < 0 || y >= clientHeight)
        return FALSE;
    column = (x - LabelWidth) / ColumnWidth;
    hour = y / RowHeight + topRow;
    return column < Days && hour < Hours;
}

int ScheduleLayout::ScrollTarget(UINT nSBCode, int nThumbPos, int topRow)
{
    switch (nSBCode) {
    case SB_LINEUP:
        return topRow > 0 ? topRow - 1 : topRow;
    case SB_LINEDOWN:
        return topRow < LastTopRow ? topRow + 1 : topRow;
    case SB_PAGEUP:
        return topRow - min(topRow, (int)VisibleRows);
    case SB_PAGEDOWN:
        return topRow + min(LastTopRow - topRow, (int)VisibleRows);
    case SB_THUMBPOSITION:
        // The scroll bar keeps the thumb within the range; a position sent
        // from elsewhere is held to it, so that a row is never shown (and
        // hit) beyond the last hour.
        return max(0, min(nThumbPos, (int)LastTopRow));
    default:
        return topRow;
    }
}

void ScheduleLayout::VisibleHours(int topRow, int clientHeight, int& firstHour, int& lastHour)
{
    firstHour = topRow;
    lastHour = min(topRow + (max(clientHeight, 1) - 1) / RowHeight, Hours - 1);
}

CString ScheduleLayout::FullMask(const CString& mask)
{
    if (mask.GetLength() >= MaskLength)
        return mask;
    return mask + CString('0', MaskLength - mask.GetLength());
}

/////////////////////////////////////////////////////////////////////////////
// ScheduleGrid

BEGIN_MESSAGE_MAP(ScheduleGrid, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

ScheduleGrid::ScheduleGrid()
    : m_mask('0', MaskLength), m_topRow(0), m_dragging(0), m_lastColumn(-1), m_lastRow(-1),
      m_memDC(NULL), m_memBitmap(NULL), m_cellDC(NULL), m_cellBitmap(NULL)
{
    // Black is both the mask colour and the background, so the cells' black
    // edges come out black.
    m_images.Create(ColumnWidth, RowHeight, ILC_MASK, 0, 3);
    m_images.SetBkColor(RGB(0, 0, 0));
    CBitmap nonOperational, operational;
    nonOperational.LoadBitmap(IDB_NONOPERATIONAL_HOUR);
    m_images.Add(&nonOperational, RGB(0, 0, 0));
    operational.LoadBitmap(IDB_OPERATIONAL_HOUR);
    m_images.Add(&operational, RGB(0, 0, 0));
}

ScheduleGrid::~ScheduleGrid()
{
    DeleteOffscreen();
    m_images.DeleteImageList();
}

BOOL ScheduleGrid::Create(int x, int y, CWnd* pParentWnd, UINT nID)
{
    const DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL;
    const DWORD dwExStyle = WS_EX_CLIENTEDGE;
    // The scroll bar is as wide as the system makes it (16 or 17 pixels at
    // 96 dpi, depending on the version); the edges are added by the system's
    // own rule.
    CRect rect(0, 0, ClientWidth, ClientHeight);
    ::AdjustWindowRectEx(&rect, dwStyle, FALSE, dwExStyle);
    rect.right += ::GetSystemMetrics(SM_CXVSCROLL);
    return CreateEx(dwExStyle, NULL, "", dwStyle, x, y, rect.Width(), rect.Height(), pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID);
}

void ScheduleGrid::SetMask(const CString& mask)
{
    m_mask = FullMask(mask);
}

CString ScheduleGrid::GetMask() const
{
    return m_mask;
}

int ScheduleGrid::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_topRow = 0;  // where the scroll bar starts, also for a window made anew
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = Hours - 1;
    si.nPage = VisibleRows;
    si.nPos = 0;
    SetScrollInfo(SB_VERT, &si, TRUE);
    CreateOffscreen();
    return 0;
}

void ScheduleGrid::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    CreateOffscreen();
}

// A memory context with a bitmap of the client area's size; paints are
// drawn there and copied to the screen in one transfer.
//
// Beside it, the two cell pictures side by side, drawn once from the image
// list: a paint copies them into the cells, which costs a fraction of
// drawing each cell from the list (about 60 times less under Wine).
void ScheduleGrid::CreateOffscreen()
{
    CRect client;
    GetClientRect(&client);
    DeleteOffscreen();
    m_memBitmap = new CBitmap;
    m_memDC = new CDC;
    CClientDC dc(this);
    m_memDC->CreateCompatibleDC(&dc);
    m_memBitmap->CreateCompatibleBitmap(&dc, client.Width(), client.Height());
    m_memDC->SetMapMode(MM_TEXT);
    m_memDC->SelectStockObject(ANSI_VAR_FONT);

    m_cellBitmap = new CBitmap;
    m_cellDC = new CDC;
    m_cellDC->CreateCompatibleDC(&dc);
    m_cellBitmap->CreateCompatibleBitmap(&dc, 2 * ColumnWidth, RowHeight);
    m_cellDC->SelectObject(m_cellBitmap);
    for (int image = 0; image < 2; ++image)
        m_images.Draw(m_cellDC, image, CPoint(ColumnWidth * image, 0), ILD_NORMAL);
}

void ScheduleGrid::DeleteOffscreen()
{
    delete m_memBitmap;
    delete m_memDC;
    delete m_cellDC;  // before its bitmap, which it holds selected
    delete m_cellBitmap;
    m_memBitmap = m_cellBitmap = NULL;
    m_memDC = m_cellDC = NULL;
}

void ScheduleGrid::OnPaint()
{
    CPaintDC dc(this);
    CRect clip;
    dc.GetClipBox(&clip);
    dc.DPtoLP(&clip);

    CBitmap* pOldBitmap = m_memDC->SelectObject(m_memBitmap);
    m_memDC->PatBlt(clip.left, clip.top, clip.Width(), clip.Height(), PATCOPY);  // the white stock brush
    m_memDC->SetWindowOrg(0, RowHeight * m_topRow);
    RenderGrid();
    m_memDC->SetWindowOrg(0, 0);
    dc.BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), m_memDC, clip.left, clip.top, SRCCOPY);
    m_memDC->SelectObject(pOldBitmap);
}

// Draws the visible rows in unscrolled coordinates: the cells' pictures,
// then the hour labels in their 3-D frames.
void ScheduleGrid::RenderGrid()
{
    CRect client;
    GetClientRect(&client);
    int firstHour, lastHour;
    VisibleHours(m_topRow, client.Height(), firstHour, lastHour);

    for (int column = 0; column < Days; ++column)
        for (int hour = firstHour; hour <= lastHour; ++hour)
            m_memDC->BitBlt(LabelWidth + ColumnWidth * column, RowHeight * hour, ColumnWidth, RowHeight, m_cellDC,
                            ColumnWidth * CellImage(m_mask[column * Hours + hour]), 0, SRCCOPY);

    for (int hour = firstHour; hour <= lastHour; ++hour) {
        CString text;
        text.Format("%02d:00", hour);
        CRect rect(0, RowHeight * hour, LabelWidth, RowHeight * hour + RowHeight);
        m_memDC->SetBkColor(RGB(255, 255, 255));
        m_memDC->DrawText(text, rect, DT_CENTER | DT_VCENTER);
        m_memDC->Draw3dRect(rect, RGB(200, 200, 200), RGB(100, 100, 100));
    }
}

void ScheduleGrid::ToggleCellAt(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    int column, hour;
    if (!HitTest(point.x, point.y, client.Width(), client.Height(), m_topRow, column, hour)) {
        EndDrag();
        return;
    }
    if (column == m_lastColumn && hour == m_lastRow)
        return;
    int position = column * Hours + hour;
    m_mask.SetAt(position, Toggled(m_mask[position]));
    m_lastColumn = column;
    m_lastRow = hour;
}

void ScheduleGrid::EndDrag()
{
    m_dragging = 0;
    ::ReleaseCapture();
    m_lastColumn = m_lastRow = -1;
}

void ScheduleGrid::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_dragging = 1;
    SetCapture();
    ToggleCellAt(point);
    Invalidate(FALSE);
    CWnd::OnLButtonDown(nFlags, point);
}

void ScheduleGrid::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_dragging) {
        // A drag whose button came up unseen (the capture was taken away)
        // is over: the pointer passing by must not toggle anything.
        if (!(nFlags & MK_LBUTTON))
            EndDrag();
        else
            ToggleCellAt(point);
        Invalidate(FALSE);
    }
    CWnd::OnMouseMove(nFlags, point);
}

void ScheduleGrid::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_dragging)
        EndDrag();
    Invalidate(FALSE);
    CWnd::OnLButtonUp(nFlags, point);
}

// The contents move by whole rows; the strip uncovered is painted by the
// next WM_PAINT. The thumb being dragged moves nothing until it is let go.
void ScheduleGrid::OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar)
{
    int target = ScrollTarget(nSBCode, (int)nPos, m_topRow);
    if (target == m_topRow)
        return;
    int step = target - m_topRow;
    m_topRow = target;
    SetScrollPos(SB_VERT, m_topRow, TRUE);
    ScrollWindow(0, -RowHeight * step);
}
