// The masked edit's text rules, without a window.
#include <gtest/gtest.h>
#include "SECMaskEdit.h"

namespace {

const CString kIp("###.###.###.###");
const CString kPhone("(###) ###-####");  // a literal blank at 5

// "text|caret" or "text[start,end)" for readable failures.
std::string Show(const MaskEdit& r)
{
    if (!r.bHandled)
        return "refused";
    std::string s = (LPCTSTR)r.text;
    if (r.nSelStart == r.nSelEnd)
        return s + "|" + std::to_string(r.nSelStart);
    return s + "[" + std::to_string(r.nSelStart) + "," + std::to_string(r.nSelEnd) + ")";
}

TEST(MaskData, NonDigitsBecomeBlanksAndExtraDataIsDropped)
{
    EXPECT_STREQ("1 3.   .   .   ", MaskText::LayData(kIp, "1x3"));
    EXPECT_STREQ("123.456.789.012", MaskText::LayData(kIp, "1234567890123456"));
}

TEST(MaskConform, KeepsAShapedTextAndLaysAnyOtherIn)
{
    EXPECT_STREQ("1 2.   .   .  9", MaskText::Conform(kIp, "1a2.   .   .  9"));
    EXPECT_STREQ("10 .1  .2  .3  ", MaskText::Conform(kIp, "10.1.2.3"));
    EXPECT_STREQ("(555) 123-4567", MaskText::Conform(kPhone, "5551234567"));
    EXPECT_STREQ("   .   .   .   ", MaskText::Conform(kIp, "abc"));
    EXPECT_STREQ("   .   .   .   ", MaskText::Conform(kIp, NULL));
}

TEST(MaskTyping, OverwritesDigitPositionsAndStepsOverLiterals)
{
    CString t("12 .   .   .   ");
    EXPECT_EQ("123.   .   .   |4", Show(MaskText::TypeChar(kIp, t, 2, 2, '3')));
    EXPECT_EQ("12 .7  .   .   |5", Show(MaskText::TypeChar(kIp, t, 3, 3, '7'))) << "caret on a literal";
    EXPECT_EQ("(123) 4  -    |6", Show(MaskText::TypeChar(kPhone, "(12 ) 4  -    ", 3, 3, '3')))
        << "the caret skips \") \"";
    EXPECT_EQ("(19 )   6-7890|3", Show(MaskText::TypeChar(kPhone, "(123) 456-7890", 8, 2, '9')))
        << "a selection is blanked first";
    EXPECT_EQ("12 .   .   .  9|15", Show(MaskText::TypeChar(kIp, t, 14, 14, '9')));
    EXPECT_EQ("refused", Show(MaskText::TypeChar(kIp, t, 15, 15, '9')));
    EXPECT_EQ("refused", Show(MaskText::TypeChar(kIp, t, 1, 1, 'a')));
}

TEST(MaskTyping, ALiteralJumpsOnlyOutOfAStartedRun)
{
    EXPECT_EQ("12 .   .   .   |4", Show(MaskText::TypeChar(kIp, "12 .   .   .   ", 2, 2, '.')));
    EXPECT_EQ("refused", Show(MaskText::TypeChar(kIp, "12 .   .   .   ", 4, 4, '.')));
    EXPECT_EQ("refused", Show(MaskText::TypeChar(kIp, "12 .   .   .   ", 2, 2, '-')));
    EXPECT_EQ("(1  ) 2  -    |10", Show(MaskText::TypeChar(kPhone, "(1  ) 2  -    ", 7, 7, '-')));
}

TEST(MaskDeleting, RemovesOneDigitAndClosesUpItsRun)
{
    CString t("123.456.789.012");
    EXPECT_EQ("13 .456.789.012|1", Show(MaskText::DeleteKey(kIp, t, 1, 1)));
    EXPECT_EQ("123.56 .789.012|3", Show(MaskText::DeleteKey(kIp, t, 3, 3))) << "steps over the literal";
    EXPECT_EQ("12 .456.789.012|2", Show(MaskText::BackspaceKey(kIp, t, 3, 3)));
    EXPECT_EQ("123.56 .789.012|4", Show(MaskText::BackspaceKey(kIp, t, 5, 5)));
    EXPECT_EQ("12 .456.789.012|2", Show(MaskText::BackspaceKey(kIp, t, 4, 4))) << "skips back over \".\"";
    EXPECT_EQ("refused", Show(MaskText::BackspaceKey(kIp, t, 0, 0)));
    EXPECT_EQ("refused", Show(MaskText::DeleteKey(kIp, t, 15, 15)));
}

TEST(MaskDeleting, ASelectionBecomesBlankButKeepsItsLiterals)
{
    CString t("123.456.789.012");
    EXPECT_EQ("12 .  6.789.012|2", Show(MaskText::DeleteKey(kIp, t, 2, 6)));
    EXPECT_EQ("12 .  6.789.012|2", Show(MaskText::BackspaceKey(kIp, t, 6, 2)));
    EXPECT_EQ("12 .  6.789.012|2", Show(MaskText::ClearSelection(kIp, t, 2, 6)));
    EXPECT_EQ("refused", Show(MaskText::ClearSelection(kIp, t, 2, 2)));
}

TEST(MaskPasting, LaysDigitsFromTheCaretAndFollowsPastedLiterals)
{
    CString t("123.456.789.012");
    EXPECT_EQ("199.956.789.012|5", Show(MaskText::Paste(kIp, t, 1, 1, "9a99")));
    EXPECT_EQ("10 .1  .2  .3  |13", Show(MaskText::Paste(kIp, t, 0, 0, "10.1.2.3\r\n")));
    EXPECT_EQ("123.7  .   .012|5", Show(MaskText::Paste(kIp, t, 4, 11, "7")))
        << "the selection is blanked first";
    EXPECT_EQ("(555) 123-4567|14", Show(MaskText::Paste(kPhone, MaskText::BlankText(kPhone), 0, 0, "(555) 123-4567")));
    EXPECT_EQ("refused", Show(MaskText::Paste(kIp, t, 0, 0, "abc")));
    EXPECT_EQ("123.456.789.019|15", Show(MaskText::Paste(kIp, t, 14, 14, "9999"))) << "stops at the end";
}

TEST(MaskClicking, ABlankTailSendsTheCaretBackToTheLastDigit)
{
    CString t("1  .23 .   .   ");
    EXPECT_EQ(1, MaskText::ClickCaret(kIp, t, 3));
    EXPECT_EQ(1, MaskText::ClickCaret(kIp, t, 2));
    EXPECT_EQ(6, MaskText::ClickCaret(kIp, t, 7));
    EXPECT_EQ(8, MaskText::ClickCaret(kIp, t, 10));
    EXPECT_EQ(5, MaskText::ClickCaret(kIp, t, 5));
    EXPECT_EQ(15, MaskText::ClickCaret(kIp, "123.456.789.012", 99));
}

}  // namespace
