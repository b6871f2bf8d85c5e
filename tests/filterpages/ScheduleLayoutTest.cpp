// The schedule grid's arithmetic, without a window.
#include <gtest/gtest.h>
#include "ScheduleGrid.h"

using namespace ScheduleLayout;

namespace {

// -1, -1 when the point is outside the cells.
std::pair<int, int> Hit(int x, int y, int topRow = 0, int width = 166, int height = 182)
{
    int column = -7, hour = -7;
    if (!HitTest(x, y, width, height, topRow, column, hour))
        return { -1, -1 };
    return { column, hour };
}

} // namespace

TEST(ScheduleLayout, HitTestFindsTheCellAtEveryEdge)
{
    struct { int x, y, topRow; std::pair<int, int> cell; } cases[] = {
        { 47, 0, 0, { 0, 0 } },      // first pixel right of the labels
        { 46, 0, 0, { -1, -1 } },    // last pixel of the labels
        { 63, 13, 0, { 0, 0 } },     // Sunday's last pixel, hour 0's last row
        { 64, 14, 0, { 1, 1 } },
        { 165, 181, 0, { 6, 12 } },  // bottom-right pixel of the client area
        { 165, 181, 11, { 6, 23 } }, // the same, scrolled to the bottom
        { 47, 0, 11, { 0, 11 } },
        { 100, -1, 0, { -1, -1 } },
        { 166, 50, 0, { -1, -1 } },
        { 100, 182, 0, { -1, -1 } },
        { -30, 50, 0, { -1, -1 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.cell, Hit(c.x, c.y, c.topRow)) << c.x << "," << c.y << " top " << c.topRow;
}

TEST(ScheduleLayout, ClientAreaLargerThanTheCellsHasNoCellsBeyondSaturdayOrTheLastHour)
{
    // A narrower scroll bar leaves room right of Saturday; a taller client
    // area, room below the last hour when scrolled to the bottom.
    EXPECT_EQ(std::make_pair(6, 0), Hit(165, 0, 0, 170, 200));
    EXPECT_EQ(std::make_pair(-1, -1), Hit(166, 0, 0, 170, 200));
    EXPECT_EQ(std::make_pair(-1, -1), Hit(169, 0, 0, 170, 200));
    EXPECT_EQ(std::make_pair(3, 23), Hit(100, 181, 11, 170, 200));
    EXPECT_EQ(std::make_pair(-1, -1), Hit(100, 182, 11, 170, 200));
    EXPECT_EQ(std::make_pair(-1, -1), Hit(100, 199, 11, 170, 200));
}

TEST(ScheduleLayout, ScrollRequestsMoveByLineOrPageAndStopAtBothEnds)
{
    struct { UINT code; int pos, from, to; } cases[] = {
        { SB_LINEUP, 0, 0, 0 },        { SB_LINEUP, 0, 5, 4 },        { SB_LINEUP, 0, 11, 10 },
        { SB_LINEDOWN, 0, 0, 1 },      { SB_LINEDOWN, 0, 10, 11 },    { SB_LINEDOWN, 0, 11, 11 },
        { SB_PAGEUP, 0, 0, 0 },        { SB_PAGEUP, 0, 11, 0 },       { SB_PAGEUP, 0, 4, 0 },
        { SB_PAGEDOWN, 0, 0, 11 },     { SB_PAGEDOWN, 0, 7, 11 },     { SB_PAGEDOWN, 0, 11, 11 },
        { SB_THUMBPOSITION, 5, 0, 5 }, { SB_THUMBPOSITION, 0, 9, 0 }, { SB_THUMBPOSITION, 11, 2, 11 },
        // Positions outside the range (sent by something other than the
        // scroll bar) are held to it.
        { SB_THUMBPOSITION, 23, 2, 11 }, { SB_THUMBPOSITION, -3, 2, 0 },
        // The thumb being dragged, and the other requests, move nothing.
        { SB_THUMBTRACK, 5, 0, 0 },    { SB_TOP, 0, 6, 6 },           { SB_BOTTOM, 0, 6, 6 },
        { SB_ENDSCROLL, 0, 6, 6 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.to, ScrollTarget(c.code, c.pos, c.from)) << "request " << c.code << " from " << c.from;
}

TEST(ScheduleLayout, VisibleHoursFollowTheTopRowAndTheHeight)
{
    struct { int topRow, height, first, last; } cases[] = {
        { 0, 182, 0, 12 }, { 11, 182, 11, 23 }, { 5, 182, 5, 17 },
        { 0, 183, 0, 13 },  // one more pixel reaches into the next row
        { 11, 400, 11, 23 }, { 0, 14, 0, 0 }, { 0, 0, 0, 0 },
    };
    for (const auto& c : cases) {
        int first = -1, last = -1;
        VisibleHours(c.topRow, c.height, first, last);
        EXPECT_EQ(c.first, first) << c.topRow << "/" << c.height;
        EXPECT_EQ(c.last, last) << c.topRow << "/" << c.height;
    }
}

TEST(ScheduleLayout, ShortMasksAreFilledWithNonOperationalHours)
{
    EXPECT_EQ(CString('0', 168), FullMask(""));
    EXPECT_EQ("1" + CString('0', 167), FullMask("1"));
    CString week = CString('1', 100) + CString('x', 68);
    EXPECT_EQ(week, FullMask(week));
    EXPECT_EQ(week + "01", FullMask(week + "01"));  // longer: kept as it is
}
