// CheckRange and AddressMath.
#include <gtest/gtest.h>
#include "AddressMath.h"
#include "CheckRange.h"

namespace {

TEST(CheckRange, AcceptsANumberInRangeAndNamesTheProblemOtherwise)
{
    CString message("stale");
    EXPECT_TRUE(CheckRange(" 7  ", 0, 255, message));
    EXPECT_STREQ("", message);
    EXPECT_TRUE(CheckRange("12ab", 0, 255, message)) << "read as atoi reads it";
    EXPECT_FALSE(CheckRange("   ", 0, 255, message));
    EXPECT_STREQ("Please specify a number between 0 and 255.", message);
    EXPECT_FALSE(CheckRange("300", 1, 223, message));
    EXPECT_STREQ("300 is not a valid entry. Please specify a number between 1 and 223.", message);
    EXPECT_FALSE(CheckRange("0", 1, 223, message)) << "a zero is a number, not an empty entry";
    EXPECT_STREQ("0 is not a valid entry. Please specify a number between 1 and 223.", message);
}

TEST(AddressMathSplit, SkipsEmptyTokensAndReplacesThePreviousParts)
{
    AddressMath math;
    CStringArray parts;
    parts.Add("old");
    EXPECT_EQ(3, math.SplitText("/10..1/24/", "./", parts));
    ASSERT_EQ(3, parts.GetSize());
    EXPECT_STREQ("10", parts[0]);
    EXPECT_STREQ("1", parts[1]);
    EXPECT_STREQ("24", parts[2]);
    EXPECT_EQ(0, math.SplitText("...", ".", parts));
    EXPECT_EQ(0, parts.GetSize());
    EXPECT_EQ(-1, math.SplitText(NULL, ".", parts));
}

TEST(AddressMathNetmask, BuildsTheMaskOfAPrefixFrom0To32)
{
    AddressMath math;
    const char* cases[][2] = { { "20", "255.255.240.0" }, { "0", "0.0.0.0" }, { "32", "255.255.255.255" },
                               { "8", "255.0.0.0" }, { "31", "255.255.255.254" } };
    for (const auto& c : cases) {
        CString mask;
        EXPECT_TRUE(math.PrefixToNetmask(c[0], mask)) << c[0];
        EXPECT_STREQ(c[1], mask) << c[0];
    }
    CString untouched("keep");
    EXPECT_FALSE(math.PrefixToNetmask("33", untouched));
    EXPECT_FALSE(math.PrefixToNetmask("-1", untouched));
    EXPECT_STREQ("keep", untouched);
}

TEST(AddressMathMask, AndsTheOctetsOrFailsWithoutFourParts)
{
    AddressMath math;
    CString result;
    EXPECT_TRUE(math.MaskAddress("10.1.2.3", "255.255.240.0", result));
    EXPECT_STREQ("10.1.0.0", result);
    result = "keep";
    EXPECT_FALSE(math.MaskAddress("10.1.2", "255.255.255.0", result));
    EXPECT_FALSE(math.MaskAddress("10.1.2.3", "", result));
    EXPECT_STREQ("keep", result);
}

TEST(AddressMathNetwork, ComparesTheMaskedAddressWithTheTextAsWritten)
{
    AddressMath math;
    EXPECT_TRUE(math.IsNetworkAddress("10.1.2.0/24"));
    EXPECT_FALSE(math.IsNetworkAddress("10.1.2.3/24"));
    EXPECT_TRUE(math.IsNetworkAddress("192.168.0.0/16"));
    EXPECT_FALSE(math.IsNetworkAddress("10.1.2.0/33"));
    EXPECT_FALSE(math.IsNetworkAddress("010.1.2.0/24"));
    EXPECT_FALSE(math.IsNetworkAddress("10.1.2.0"));
}

}  // namespace
