// The GDI wrappers handed out for handles the caller does not own: one per
// handle, of the class asked for, and none for no handle.
#include <gtest/gtest.h>
#include "afxwin.h"

TEST(GdiTemporaries, OneWrapperPerHandleOfTheClassAskedFor)
{
    HGDIOBJ hFont = ::GetStockObject(ANSI_VAR_FONT);
    CFont* pFont = CFont::FromHandle((HFONT)hFont);
    ASSERT_NE(nullptr, pFont);
    EXPECT_EQ(hFont, pFont->m_hObject);
    EXPECT_TRUE(pFont->IsKindOf(RUNTIME_CLASS(CFont)));
    EXPECT_EQ(pFont, CFont::FromHandle((HFONT)hFont));
    EXPECT_NE(pFont, CFont::FromHandle((HFONT)::GetStockObject(SYSTEM_FONT)));

    EXPECT_EQ(nullptr, CGdiObject::FromHandle(NULL));
    EXPECT_EQ(nullptr, CFont::FromHandle(NULL));
    EXPECT_EQ(nullptr, CBitmap::FromHandle(NULL));
}

TEST(GdiTemporaries, SelectingHandsBackWhatWasSelectedBefore)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 8, 8));

    CBitmap* pOriginal = dc.SelectObject(&bitmap);
    ASSERT_NE(nullptr, pOriginal);
    EXPECT_TRUE(pOriginal->IsKindOf(RUNTIME_CLASS(CBitmap)));
    EXPECT_EQ(OBJ_BITMAP, (DWORD)::GetObjectType(pOriginal->m_hObject));
    CBitmap* pOurs = dc.SelectObject(pOriginal);
    ASSERT_NE(nullptr, pOurs);
    EXPECT_EQ(bitmap.m_hObject, pOurs->m_hObject);
    EXPECT_NE(&bitmap, pOurs);  // a wrapper of its own, not the owner

    CFont* pFirst = CFont::FromHandle((HFONT)::GetStockObject(ANSI_VAR_FONT));
    CGdiObject* pOldFont = dc.SelectStockObject(ANSI_VAR_FONT);
    ASSERT_NE(nullptr, pOldFont);
    EXPECT_EQ(OBJ_FONT, (DWORD)::GetObjectType(pOldFont->m_hObject));
    EXPECT_EQ(pFirst, dc.SelectObject(CFont::FromHandle((HFONT)pOldFont->m_hObject)));
}

TEST(GdiTemporaries, AWindowsFontIsNoneUntilOneIsSet)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ(nullptr, wnd.GetFont());
    CFont* pFont = CFont::FromHandle((HFONT)::GetStockObject(ANSI_VAR_FONT));
    wnd.SetFont(pFont, FALSE);
    EXPECT_EQ(pFont, wnd.GetFont());
    wnd.DestroyWindow();
}
