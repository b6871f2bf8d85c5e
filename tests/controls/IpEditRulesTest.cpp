// The address control's text rules, without a window.
#include <gtest/gtest.h>
#include "IpMaskEdit.h"

namespace {

const CString kPlain(IpEdit::kPlainMask);
const CString kNet(IpEdit::kNetworkMask);

std::string Show(const IpEdit::Rewrite& r)
{
    return r.bApplies ? std::string((LPCTSTR)r.text) + "|" + std::to_string(r.nCaret) : "to the base";
}

CString Shown(const CString& mask, LPCTSTR address)
{
    return MaskText::LayData(mask, IpEdit::AddressToData(address));
}

TEST(IpAddressText, FieldsArePaddedToThreeAndTheLastIsNot)
{
    EXPECT_STREQ("10 1  20 3  24", IpEdit::AddressToData("10.1.20.3/24"));
    EXPECT_STREQ("10 1  20 3  24", IpEdit::AddressToData("10 1  20 3  24")) << "data passes unchanged";
    EXPECT_STREQ("10 .1  .20 .3  ", Shown(kPlain, "10.1.20.3/24")) << "the prefix is dropped";
    EXPECT_EQ(0, IpEdit::LastFieldStart("###.###"));
}

TEST(IpAddressText, NormalizingDropsBlanksAndLeadingZeros)
{
    EXPECT_STREQ("10.1.20.3/", IpEdit::NormalizeAddress("010.001.020.003"));
    EXPECT_STREQ("10.1.20.3/24", IpEdit::NormalizeAddress("10 .1  .20 .3  /24"));
    EXPECT_STREQ("0.0.1.", IpEdit::NormalizeAddress("   .  0.  1."));
    EXPECT_STREQ("", IpEdit::NormalizeAddress(""));
    EXPECT_STREQ("10 .1  .20 .3  ", Shown(kPlain, IpEdit::NormalizeAddress("010.001.020.003")));
}

// A selection over a separator must not turn it into a blank: the fields
// would run together and every later digit would move, the last one lost.
TEST(IpAddressText, AnAddressWithoutAWindowIsCheckedAsTheFieldWouldLayIt)
{
    // Lines of an imported list reach it as written; the field reaches it as shown.
    struct { const char* mask; const char* address; BOOL valid; } cases[] = {
        { IpEdit::kPlainMask, "192.168.1  .1  ", TRUE },
        { IpEdit::kPlainMask, "010.001.002.003", TRUE },
        { IpEdit::kPlainMask, "1000.1.1.1", FALSE },  // the field would lay it out as 100.01.1.1
        { IpEdit::kPlainMask, "10.1.2.3/24", FALSE },
        { IpEdit::kNetworkMask, "10.0.0.0/8", TRUE },
        { IpEdit::kNetworkMask, "10.0.0.0/300", FALSE },
        { IpEdit::kNetworkMask, "10.0.0.0", FALSE },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.valid, IpEdit::IsValidAddress(c.mask, c.address)) << c.mask << " " << c.address;
    EXPECT_STREQ("10.1.2.3", IpEdit::ConfirmedAddress(IpEdit::kPlainMask, "010.001.002.003"));
    EXPECT_STREQ("10.1.0.0/16", IpEdit::ConfirmedAddress(IpEdit::kNetworkMask, "10 .001.0  .0  /16"));
}

TEST(IpSelectionRules, KeepSeparatorsAndLaterFieldsInPlace)
{
    CString t("10 .1  .20 .3  /24");
    EXPECT_EQ("10 .1  .20 .3  / 4|14", Show(IpEdit::BackspaceKey(kNet, t, 14, 17)));
    EXPECT_EQ("10 .   .20 .3  /24|2", Show(IpEdit::DeleteKey(kNet, t, 2, 5)));
    EXPECT_EQ("107.   .20 .3  /24|4", Show(IpEdit::Digit(kNet, t, 2, 5, '7')));
    EXPECT_EQ("10 .1  .520.3  /24|9", Show(IpEdit::Digit(kNet, t, 7, 8, '5')))
        << "a selected separator alone types like a caret after it";
}

TEST(IpDigit, FillsABlankOrPushesUpToTheNextBlank)
{
    EXPECT_EQ("512.   .   .   |1", Show(IpEdit::Digit(kPlain, "12 .   .   .   ", 0, 0, '5')));
    EXPECT_EQ("to the base", Show(IpEdit::Digit(kPlain, "192.168.1  .1  ", 0, 0, '5')));
    EXPECT_EQ("to the base", Show(IpEdit::Digit(kPlain, "192.168.1  .1  ", 13, 13, '5')));
    EXPECT_EQ("10 .0  .0  .0  /8 |17", Show(IpEdit::Digit(kNet, "10 .0  .0  .0  /  ", 15, 15, '8')));
}

TEST(IpDigit, AFullFieldPushesItsLastDigitIntoTheNextFieldOnly)
{
    EXPECT_EQ("195.268.100.123|4", Show(IpEdit::Digit(kPlain, "192. 68.100.123", 2, 2, '5')));
    EXPECT_EQ("10 .1  .205.03 /24|12", Show(IpEdit::Digit(kNet, "10 .1  .200. 3 /24", 10, 10, '5')));
    EXPECT_EQ("1  .5  .   .   |5", Show(IpEdit::Digit(kPlain, "1  .   .   .   ", 3, 3, '5')))
        << "a caret before a separator types into the next field";
}

TEST(IpDigit, OverASelectionTheNewDigitLeadsTheField)
{
    CString t("123.456.789.012");
    EXPECT_EQ("53 .456.789.012|1", Show(IpEdit::Digit(kPlain, t, 0, 2, '5')));
    EXPECT_EQ("15 .456.789.012|2", Show(IpEdit::Digit(kPlain, t, 1, 3, '5')));
    EXPECT_EQ("5  .456.789.012|1", Show(IpEdit::Digit(kPlain, t, 0, 3, '5')));
    EXPECT_EQ("to the base", Show(IpEdit::Digit(kPlain, t, 12, 15, '5')));
}

TEST(IpFields, AreCheckedFromTheHighestDownAndStopAtTheFirstFailure)
{
    CString message;
    CString t("0  .300.   .1  /7 ");
    EXPECT_EQ(4, IpEdit::FailingField(t, 4, TRUE, message));
    EXPECT_STREQ("7 is not a valid entry. Please specify a number between 8 and 30.", message);
    EXPECT_EQ(2, IpEdit::FailingField(t, 4, FALSE, message)) << "no prefix under the plain mask";
    EXPECT_STREQ("Please specify a number between 0 and 255.", message);
    EXPECT_EQ(1, IpEdit::FailingField(t, 1, TRUE, message));
    EXPECT_STREQ("300 is not a valid entry. Please specify a number between 0 and 255.", message);
    EXPECT_EQ(0, IpEdit::FailingField("0  .0  .0  .0  /0 ", 0, TRUE, message));
    EXPECT_EQ(-1, IpEdit::FailingField("1  .0  .0  .0  /8 ", 4, TRUE, message));
    EXPECT_STREQ("", message);
}

TEST(IpMouse, ADragStaysInTheFieldItStartedFrom)
{
    CString t("192.168.100.200/24");
    int s = -1, e = -1;
    EXPECT_TRUE(IpEdit::ClipSelection(t, 13, 17, 13, TRUE, s, e)) << "field 3 ends at the slash";
    EXPECT_EQ(15, e);
    EXPECT_FALSE(IpEdit::ClipSelection(t, 13, 17, 13, FALSE, s, e));
    EXPECT_FALSE(IpEdit::ClipSelection(t, 5, 5, 5, TRUE, s, e)) << "a click";
    EXPECT_TRUE(IpEdit::ClipSelection(t, 0, 18, 0, TRUE, s, e));
    EXPECT_EQ(0, s);
    EXPECT_EQ(18, e);
}

}  // namespace
