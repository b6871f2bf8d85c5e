// The schedule grid as a window: mouse input, scrolling and what it draws.
#include <gtest/gtest.h>
#include "ScheduleGrid.h"
#include "resource.h"
#include "PixelSupport.h"

using namespace ScheduleLayout;

namespace {

struct Grid : ::testing::Test
{
    HWND parent = NULL;
    ScheduleGrid grid;

    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 260, 240, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(grid.Create(10, 20, CWnd::FromHandle(parent), IDC_SCHEDULE_GRID));
        UpdateWindow(parent);
    }
    void TearDown() override { DestroyWindow(parent); }

    HWND hwnd() const { return grid.m_hWnd; }
    LPARAM At(int x, int y) const { return MAKELPARAM(x, y); }
    // The middle of the cell of a day and a visible row.
    CPoint Cell(int column, int row) const { return CPoint(LabelWidth + ColumnWidth * column + 8, RowHeight * row + 7); }

    void Press(CPoint p) { SendMessageA(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(p.x, p.y)); }
    void Move(CPoint p, WPARAM keys = MK_LBUTTON) { SendMessageA(hwnd(), WM_MOUSEMOVE, keys, At(p.x, p.y)); }
    void Release(CPoint p) { SendMessageA(hwnd(), WM_LBUTTONUP, 0, At(p.x, p.y)); }
    void Click(CPoint p) { Press(p), Release(p); }
    void Scroll(UINT code, int pos = 0) { SendMessageA(hwnd(), WM_VSCROLL, MAKEWPARAM(code, pos), 0); }
    bool Captured() const { return GetCapture() == hwnd(); }

    // Positions whose character differs from an all-"0" mask.
    std::vector<int> Toggled() const
    {
        std::vector<int> on;
        CString mask = grid.GetMask();
        for (int i = 0; i < mask.GetLength(); ++i)
            if (mask[i] != '0')
                on.push_back(i);
        return on;
    }
    Pixels Client() const { return Pixels::OfClient(hwnd()); }
};

using Positions = std::vector<int>;

} // namespace

TEST_F(Grid, ClientAreaHoldsTheLabelsSevenDaysAndThirteenRowsBesideTheSystemScrollBar)
{
    RECT client, window;
    GetClientRect(hwnd(), &client);
    GetWindowRect(hwnd(), &window);
    EXPECT_EQ(166, client.right);
    EXPECT_EQ(182, client.bottom);
    EXPECT_EQ(166 + 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL), window.right - window.left);
    EXPECT_EQ(182 + 2 * GetSystemMetrics(SM_CYEDGE), window.bottom - window.top);
    EXPECT_EQ(IDC_SCHEDULE_GRID, GetDlgCtrlID(hwnd()));

    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(hwnd(), SB_VERT, &si));
    EXPECT_EQ(0, si.nMin);
    EXPECT_EQ(23, si.nMax);
    EXPECT_EQ(13u, si.nPage);
    EXPECT_EQ(0, si.nPos);
}

TEST_F(Grid, ClickTogglesTheHourUnderThePointerAndReleasesTheMouse)
{
    Click(Cell(0, 0));
    EXPECT_EQ(Positions({ 0 }), Toggled());
    Click(Cell(0, 0));
    EXPECT_EQ(Positions(), Toggled());
    EXPECT_FALSE(Captured());

    Click(CPoint(47, 3));  // first pixel of Sunday
    Click(CPoint(46, 3));  // last pixel of the labels: nothing
    EXPECT_EQ(Positions({ 0 }), Toggled());
    EXPECT_FALSE(Captured());

    Scroll(SB_PAGEDOWN);
    Click(CPoint(165, 181));  // Saturday, last visible row: 23:00
    EXPECT_EQ(Positions({ 0, 167 }), Toggled());
}

TEST_F(Grid, PressingOnTheLabelsEndsTheDragAtOnce)
{
    Press(CPoint(20, 30));
    EXPECT_FALSE(Captured());
    Move(Cell(2, 2));
    Release(Cell(2, 2));
    EXPECT_EQ(Positions(), Toggled());
}

TEST_F(Grid, DragTogglesEachCellOnEveryEntry)
{
    Press(Cell(1, 1));
    EXPECT_TRUE(Captured());
    // Still inside the first cell, an odd number of times: were each move
    // to toggle it again, it would end the other way round.
    Move(CPoint(Cell(1, 1).x + 3, Cell(1, 1).y + 2));
    Move(CPoint(Cell(1, 1).x - 5, Cell(1, 1).y - 4));
    Move(Cell(1, 1));
    Move(Cell(2, 1));
    Move(Cell(3, 1));
    Move(Cell(2, 1));  // back: flipped again
    Move(Cell(2, 2));
    Release(Cell(2, 2));
    EXPECT_FALSE(Captured());
    EXPECT_EQ(Positions({ 25, 50, 73 }), Toggled());  // Monday 01, Tuesday 02, Wednesday 01
}

TEST_F(Grid, DragEndsWhenThePointerLeavesTheCells)
{
    // Into the labels, then back over the cells with the button still down.
    Press(Cell(0, 0));
    Move(Cell(1, 0));
    Move(CPoint(30, 7));
    EXPECT_FALSE(Captured());
    Move(Cell(2, 0));
    Release(Cell(2, 0));
    EXPECT_EQ(Positions({ 0, 24 }), Toggled());

    // Out of the window (the capture delivers the move), then back.
    Press(Cell(4, 4));
    Move(CPoint(100, 200));
    EXPECT_FALSE(Captured());
    Move(Cell(5, 4));
    Release(Cell(5, 4));
    Move(Cell(6, 4));
    EXPECT_EQ(Positions({ 0, 24, 100 }), Toggled());

    // A release outside the window ends the drag without toggling there.
    Press(Cell(6, 6));
    Release(CPoint(-20, 300));
    EXPECT_FALSE(Captured());
    Move(Cell(6, 7));
    EXPECT_EQ(Positions({ 0, 24, 100, 150 }), Toggled());
}

TEST_F(Grid, PointerPassingByAfterTheCaptureWasTakenToggleNothing)
{
    Press(Cell(0, 3));
    SetCapture(parent);  // another window takes the mouse; the button-up goes there
    ReleaseCapture();
    Move(Cell(1, 3), 0);
    Move(Cell(2, 3), MK_LBUTTON);
    EXPECT_EQ(Positions({ 3 }), Toggled());
}

TEST_F(Grid, ScrollPositionAndTheRowsHitFollowEveryRequest)
{
    struct { UINT code; int pos, top; } steps[] = {
        { SB_LINEUP, 0, 0 },   { SB_LINEDOWN, 0, 1 },      { SB_THUMBTRACK, 9, 1 },
        { SB_THUMBPOSITION, 9, 9 }, { SB_PAGEDOWN, 0, 11 }, { SB_LINEDOWN, 0, 11 },
        { SB_LINEUP, 0, 10 },  { SB_PAGEUP, 0, 0 },         { SB_BOTTOM, 0, 0 },
    };
    for (const auto& s : steps) {
        Scroll(s.code, s.pos);
        EXPECT_EQ(s.top, GetScrollPos(hwnd(), SB_VERT)) << "request " << s.code;
        grid.SetMask(CString('0', 168));
        Click(Cell(6, 0));
        EXPECT_EQ(Positions({ 6 * 24 + s.top }), Toggled()) << "request " << s.code;
    }
}

TEST_F(Grid, WindowMadeAnewStartsAtTheTopRow)
{
    Scroll(SB_PAGEDOWN);
    DestroyWindow(hwnd());
    ASSERT_TRUE(grid.Create(10, 20, CWnd::FromHandle(parent), IDC_SCHEDULE_GRID));
    EXPECT_EQ(0, GetScrollPos(hwnd(), SB_VERT));
    Click(Cell(0, 0));
    EXPECT_EQ(Positions({ 0 }), Toggled());
}

TEST_F(Grid, CellsShowTheMaskAndAToggledCellShowsTheOperationalPicture)
{
    Pixels operational = Pixels::OfBitmap(IDB_OPERATIONAL_HOUR);
    Pixels nonOperational = Pixels::OfBitmap(IDB_NONOPERATIONAL_HOUR);
    ASSERT_EQ(17, operational.width);
    ASSERT_FALSE(operational.SameAs(nonOperational, 0, 0, 0, 0, 17, 14));

    // A short mask with a stray character: the rest of the week reads as
    // non-operational, the stray character too.
    grid.SetMask("1x01");
    Click(Cell(6, 12));  // Saturday 12:00, beyond the given text
    InvalidateRect(hwnd(), NULL, FALSE);
    Pixels shown = Client();
    for (int column = 0; column < 7; ++column)
        for (int row = 0; row < 13; ++row) {
            int position = column * 24 + row;
            bool on = position == 0 || position == 3 || position == 6 * 24 + 12;
            const Pixels& cell = on ? operational : nonOperational;
            EXPECT_TRUE(shown.SameAs(cell, 47 + 17 * column, 14 * row, 0, 0, 17, 14))
                << "day " << column << " hour " << row << (on ? " operational" : " non-operational");
        }
    EXPECT_EQ(168, grid.GetMask().GetLength());
    Click(Cell(0, 1));  // the stray character toggles to "0", not "1"
    EXPECT_EQ('0', grid.GetMask()[1]);

    // The hour labels: light frame at the top and left, dark at the bottom
    // and right, dark text on white inside.
    for (int row = 0; row < 13; ++row) {
        EXPECT_EQ(RGB(200, 200, 200), shown.At(0, 14 * row + 5)) << row;
        EXPECT_EQ(RGB(200, 200, 200), shown.At(20, 14 * row)) << row;
        EXPECT_EQ(RGB(100, 100, 100), shown.At(46, 14 * row + 5)) << row;
        EXPECT_EQ(RGB(100, 100, 100), shown.At(20, 14 * row + 13)) << row;
        EXPECT_GT(shown.CountDark(1, 14 * row + 1, 45, 12), 10) << row;
    }
}

TEST_F(Grid, ScrollingShowsTheRowsOfTheLaterHoursWithTheirLabels)
{
    Pixels operational = Pixels::OfBitmap(IDB_OPERATIONAL_HOUR);
    Pixels nonOperational = Pixels::OfBitmap(IDB_NONOPERATIONAL_HOUR);
    CString mask('0', 168);
    mask.SetAt(11, '1');   // Sunday 11:00
    mask.SetAt(23, '1');   // Sunday 23:00
    mask.SetAt(167, '1');  // Saturday 23:00
    grid.SetMask(mask);
    InvalidateRect(hwnd(), NULL, FALSE);
    Pixels top = Client();
    EXPECT_TRUE(top.SameAs(operational, 47, 14 * 11, 0, 0, 17, 14));

    // Line by line, each step moving what is on the screen and painting
    // the uncovered row only, then a page.
    Scroll(SB_LINEDOWN);
    Scroll(SB_LINEDOWN);
    Scroll(SB_PAGEDOWN);
    Pixels scrolled = Client();
    InvalidateRect(hwnd(), NULL, FALSE);
    Pixels repainted = Client();
    EXPECT_TRUE(scrolled.SameAs(repainted, 0, 0, 0, 0, 166, 182)) << "moved and repainted parts disagree";

    // Hour 11 is now the first row, with its label; 23 the last.
    EXPECT_TRUE(scrolled.SameAs(operational, 47, 0, 0, 0, 17, 14));
    EXPECT_TRUE(scrolled.SameAs(operational, 47, 14 * 12, 0, 0, 17, 14));
    EXPECT_TRUE(scrolled.SameAs(operational, 47 + 17 * 6, 14 * 12, 0, 0, 17, 14));
    EXPECT_TRUE(scrolled.SameAs(nonOperational, 47, 14, 0, 0, 17, 14));
    EXPECT_TRUE(scrolled.SameAs(top, 0, 0, 0, 14 * 11, 47, 14)) << "label of 11:00";
    EXPECT_FALSE(scrolled.SameAs(top, 0, 14, 0, 14 * 11, 47, 14)) << "label of 12:00";

    Scroll(SB_THUMBPOSITION, 0);
    EXPECT_TRUE(Client().SameAs(top, 0, 0, 0, 0, 166, 182));
}
