// The tooltip list box on its own in a plain window, driven synchronously
// with the real pointer.
#include <gtest/gtest.h>
#include "TipListBox.h"
#include "ModalDriver.h"

namespace {

const char kLong[] = "An entry far too long for the narrow list to show";

struct TipList : ::testing::Test
{
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, NULL, NULL, NULL, NULL);
    TipListBox box;

    void SetUp() override
    {
        box.SubclassWindow(NewList());
        box.AddString("Chat");
        box.AddString(kLong);
    }
    void TearDown() override { DestroyWindow(frame); }
    HWND NewList()
    {
        HWND h = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_MULTIPLESEL,
                                 10, 10, 120, 150, frame, NULL, NULL, NULL);
        SendMessageA(h, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
        return h;
    }
    HWND Tip() const { return box.GetTipWindow(); }
    bool Shown() const { return IsWindowVisible(Tip()) != FALSE; }
    COLORREF Colour(UINT msg) const { return (COLORREF)SendMessageA(Tip(), msg, 0, 0); }
    CRect Entry(int index) const
    {
        CRect r;
        box.GetItemRect(index, &r);
        box.ClientToScreen(&r);
        return r;
    }
    // Puts the real pointer on the entry and reports the move to the list.
    void Hover(int index)
    {
        SetCursorPos(Entry(index).left + 5, Entry(index).top + 2);
        box.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, box.GetItemHeight(0) * index + 2));
    }
};

} // namespace

TEST_F(TipList, ClippedEntryShowsItsTextOverTheEntryInTheEntrysColours)
{
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ASSERT_TRUE(SendMessageA(Tip(), TTM_ENUMTOOLSA, 0, (LPARAM)&ti));
    EXPECT_EQ((UINT)(TTF_TRACK | TTF_TRANSPARENT), ti.uFlags);

    Hover(0);
    EXPECT_FALSE(Shown()) << "an entry that fits needs no tip";
    Hover(1);
    ASSERT_TRUE(Shown());
    char text[1024] = "";
    ti.lpszText = text;
    SendMessageA(Tip(), TTM_GETTEXTA, sizeof text, (LPARAM)&ti);
    EXPECT_STREQ(kLong, text);
    POINT origin = { 0, 0 };
    ClientToScreen(Tip(), &origin);
    EXPECT_EQ(Entry(1).TopLeft(), origin);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), Colour(TTM_GETTIPBKCOLOR));
    EXPECT_EQ(GetSysColor(COLOR_INFOTEXT), Colour(TTM_GETTIPTEXTCOLOR));
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(Shown()) << "the tip stays while the pointer rests on the entry";

    box.SetSel(1);
    Hover(1);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), Colour(TTM_GETTIPBKCOLOR));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), Colour(TTM_GETTIPTEXTCOLOR));
    Hover(0);
    EXPECT_FALSE(Shown());
}

TEST_F(TipList, TipGoesSoonAfterThePointerLeaves)
{
    Hover(1);
    ASSERT_TRUE(Shown());
    SetCursorPos(5, 5);
    DWORD start = GetTickCount();
    EXPECT_TRUE(PumpUntil([this] { return !Shown(); }, 10000));
    EXPECT_LE(GetTickCount() - start, 200u);
}

TEST_F(TipList, TipOwnedBeyondItsListBoxGoesWithTheObject)
{
    HWND tip;
    {
        TipListBox other;
        other.SubclassWindow(NewList());
        tip = other.GetTipWindow();
        DestroyWindow(other.m_hWnd);
        ASSERT_TRUE(IsWindow(tip));
    }
    EXPECT_FALSE(IsWindow(tip));
}
