// The schedule page in a real sheet, and the module's pictures.
#include <gtest/gtest.h>
#include "vggEditSchedule.h"
#include "vggEditPrivilege.h"
#include "VeilgateGroup.h"
#include "resource.h"
#include "PageSheet.h"
#include "PixelSupport.h"

namespace {

struct ScheduleSheet : PageSheet
{
    vggEditSchedule schedule;
    vggEditPrivilege other;

    // Runs act with the schedule page up, then closes the sheet with button.
    void Run(std::function<void()> act, int button = PSBTN_OK) { RunSheet({ &schedule, &other }, act, button); }
    HWND Grid() const { return GetDlgItem(page, IDC_SCHEDULE_GRID); }
    void ClickGrid(int x, int y)
    {
        SendMessageA(Grid(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(Grid(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // The page's picture controls, in template order.
    std::vector<HWND> Pictures() const
    {
        std::vector<HWND> found;
        for (HWND h = GetWindow(page, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT))
            if ((GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
                found.push_back(h);
        return found;
    }
    static RECT Within(HWND parent, HWND h)
    {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(NULL, parent, (LPPOINT)&r, 2);
        return r;
    }
    static POINT ClientOrigin(HWND h)
    {
        POINT p = { 0, 0 };
        ClientToScreen(h, &p);
        return p;
    }
};

} // namespace

TEST_F(ScheduleSheet, GridTakesTheFramesPlaceUnderAHeaderThatLinesUpWithItsColumns)
{
    Run([&] {
        EXPECT_EQ(NULL, GetDlgItem(page, IDC_SCHEDULE_FRAME));
        ASSERT_NE(nullptr, Grid());
        RECT frame = { 7, 28, 0, 0 };
        MapDialogRect(page, &frame);
        RECT grid = Within(page, Grid());
        EXPECT_EQ(frame.left, grid.left);
        EXPECT_EQ(frame.top, grid.top);

        std::vector<HWND> pictures = Pictures();
        ASSERT_EQ(3u, pictures.size());
        HWND header = pictures[0];
        // The header's picture sits over the grid's client area pixel for
        // pixel, so the rule at x = 47 meets the first day column; it ends
        // above the grid.
        EXPECT_EQ(ClientOrigin(Grid()).x, ClientOrigin(header).x);
        EXPECT_LE(Within(page, header).bottom, grid.top);
        Pixels shown = Pixels::OfClient(header);
        ASSERT_EQ(182, shown.width);
        ASSERT_EQ(29, shown.height);
        EXPECT_TRUE(shown.SameAs(Pixels::OfBitmap(IDB_SCHEDULE_HEADER), 0, 0, 0, 0, 182, 29));

        // The legend shows the grid's own two pictures, left of their texts.
        EXPECT_TRUE(Pixels::OfClient(pictures[1]).SameAs(Pixels::OfBitmap(IDB_OPERATIONAL_HOUR), 0, 0, 0, 0, 17, 14));
        EXPECT_TRUE(Pixels::OfClient(pictures[2]).SameAs(Pixels::OfBitmap(IDB_NONOPERATIONAL_HOUR), 0, 0, 0, 0, 17, 14));
        RECT text = { 147, 7, 0, 0 };
        MapDialogRect(page, &text);
        EXPECT_LE(Within(page, pictures[1]).right, text.left);

        // The default week has no operational hour.
        Pixels cells = Pixels::OfClient(Grid());
        Pixels nonOperational = Pixels::OfBitmap(IDB_NONOPERATIONAL_HOUR);
        for (int column = 0; column < 7; ++column)
            for (int row = 0; row < 13; ++row)
                EXPECT_TRUE(cells.SameAs(nonOperational, 47 + 17 * column, 14 * row, 0, 0, 17, 14));

        for (HWND h = GetWindow(page, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT))
            EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) << GetDlgCtrlID(h);
    });
    EXPECT_EQ(CString('0', 168), schedule.m_mask);
}

TEST_F(ScheduleSheet, MaskReachesTheGridAndComesBackWhenThePageIsLeft)
{
    schedule.m_mask = VeilgateGroup::DefaultSchedule();
    CString seen, afterLeaving, afterReturning;
    Run([&] {
        seen = schedule.m_grid.GetMask();
        ClickGrid(47, 0);  // Sunday 00:00
        ShowPage(1);
        afterLeaving = schedule.m_mask;
        ShowPage(0);
        afterReturning = schedule.m_grid.GetMask();
        ClickGrid(64, 13 * 14 - 1);  // Monday 12:00, operational: switched off
    });
    CString expected = VeilgateGroup::DefaultSchedule();
    EXPECT_EQ(expected, seen);
    expected.SetAt(0, '1');
    EXPECT_EQ(expected, afterLeaving);
    EXPECT_EQ(expected, afterReturning);
    expected.SetAt(24 + 12, '0');
    EXPECT_EQ(expected, schedule.m_mask) << "taken back on OK while the page is up";
}

TEST_F(ScheduleSheet, ShortStoredScheduleIsShownAndWrittenBackFull)
{
    schedule.m_mask = "1";
    Run([&] {});
    EXPECT_EQ("1" + CString('0', 167), schedule.m_mask);
    // The check refuses what the page pads, and a character it would draw
    // as a "0" without being one.
    CString reason;
    EXPECT_FALSE(VgSettings::CheckSchedule("1", reason));
    EXPECT_TRUE(VgSettings::CheckSchedule(schedule.m_mask, reason));
    EXPECT_EQ(ScheduleLayout::CellImage('0'), ScheduleLayout::CellImage('2'));
    EXPECT_FALSE(VgSettings::CheckSchedule(CString('2', 168), reason));
}

TEST(SchedulePage, IsRegisteredForDynamicCreation)
{
    CRuntimeClass* pClass = CRuntimeClass::FromName("vggEditSchedule");
    ASSERT_NE(nullptr, pClass);
    CObject* pObject = pClass->CreateObject();
    ASSERT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CPropertyPage)));
    EXPECT_EQ(CString('0', 168), static_cast<vggEditSchedule*>(pObject)->m_mask);
    delete pObject;
}

/////////////////////////////////////////////////////////////////////////////
// Pictures

namespace {

const BITMAPINFOHEADER* StoredBitmap(UINT nID)
{
    HMODULE module = GetModuleHandleA("veilgate.dll");
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(nID), RT_BITMAP);
    return res ? (const BITMAPINFOHEADER*)LockResource(LoadResource(module, res)) : nullptr;
}

} // namespace

TEST(SchedulePictures, StoredAtTheirSizesAndColourDepths)
{
    struct { UINT id; int width, height, bits; } pictures[] = {
        { IDB_SCHEDULE_HEADER, 182, 29, 8 },
        { IDB_OPERATIONAL_HOUR, 17, 14, 4 },
        { IDB_NONOPERATIONAL_HOUR, 17, 14, 4 },
    };
    for (const auto& p : pictures) {
        const BITMAPINFOHEADER* bih = StoredBitmap(p.id);
        ASSERT_NE(nullptr, bih) << p.id;
        EXPECT_EQ(p.width, bih->biWidth) << p.id;
        EXPECT_EQ(p.height, std::abs(bih->biHeight)) << p.id;
        EXPECT_EQ(p.bits, bih->biBitCount) << p.id;
    }
}

TEST(SchedulePictures, HourCellsAreRaisedFramesAroundTheirFields)
{
    const COLORREF grey = RGB(128, 128, 128), black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    const COLORREF silver = RGB(192, 192, 192), teal = RGB(0, 128, 128), green = RGB(0, 255, 0);
    struct { UINT id; COLORREF field, highlight, shadow; } cells[] = {
        { IDB_OPERATIONAL_HOUR, green, silver, teal },
        { IDB_NONOPERATIONAL_HOUR, teal, grey, grey },
    };
    for (const auto& c : cells) {
        Pixels p = Pixels::OfBitmap(c.id);
        EXPECT_EQ(c.field, p.At(8, 7)) << c.id;
        EXPECT_EQ(grey, p.At(0, 6)) << c.id;
        EXPECT_EQ(grey, p.At(8, 0)) << c.id;
        EXPECT_EQ(black, p.At(16, 6)) << c.id;
        EXPECT_EQ(black, p.At(8, 13)) << c.id;
        EXPECT_EQ(white, p.At(16, 0)) << c.id;
        EXPECT_EQ(white, p.At(0, 13)) << c.id;
        // Dotted: every other pixel inside the edges.
        EXPECT_EQ(c.highlight, p.At(5, 1)) << c.id;
        EXPECT_EQ(c.field, p.At(6, 1)) << c.id;
        EXPECT_EQ(c.highlight, p.At(1, 5)) << c.id;
        EXPECT_EQ(c.shadow, p.At(6, 12)) << c.id;
        EXPECT_EQ(c.field, p.At(7, 12)) << c.id;
        EXPECT_EQ(c.shadow, p.At(15, 5)) << c.id;
    }
}

TEST(SchedulePictures, HeaderRulesRiseFromTheColumnBoundariesOverABlueToGreenGround)
{
    Pixels p = Pixels::OfBitmap(IDB_SCHEDULE_HEADER);
    const COLORREF white = RGB(255, 255, 255);
    for (int boundary = 47; boundary <= 166; boundary += 17)
        for (int k = 0; k < 29 && boundary + k < 182; ++k) {
            EXPECT_EQ(white, p.At(boundary + k, 28 - k)) << "rule from " << boundary << ", row " << 28 - k;
            EXPECT_NE(white, p.At(boundary + k - 1, 28 - k)) << "left of the rule from " << boundary;
        }
    COLORREF left = p.At(2, 2), right = p.At(179, 26);
    EXPECT_GT(GetBValue(left), GetGValue(left));
    EXPECT_GT(GetGValue(right), GetBValue(right));
}

TEST(ModulePictures, EveryIconAndBitmapLoadsByNumberThroughTheResourceChain)
{
    HMODULE module = GetModuleHandleA("veilgate.dll");
    for (UINT id : { IDI_HTTP_PROXY, IDI_ALLOWED, IDI_DENIED, IDI_SCHEDULE, IDI_CATEGORIES, IDI_EXCEPTION,
                     IDI_FILTER_SERVER, IDI_GROUP }) {
        EXPECT_EQ(module, AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_GROUP_ICON)) << id;
        for (int size : { 16, 32 }) {
            HICON icon = (HICON)LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0);
            EXPECT_NE(nullptr, icon) << id << " at " << size;
            DestroyIcon(icon);
        }
    }
    for (UINT id : { IDB_ALLOWED, IDB_DENIED, IDB_SCHEDULE, IDB_FILTER }) {
        EXPECT_EQ(module, AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP)) << id;
        EXPECT_EQ(16, Pixels::OfBitmap(id).width) << id;
    }
}
