// IpMaskEdit on a real edit control of a dialog, typed into and clicked the
// way a person would, with the message boxes answered by a ModalDriver.
#include <gtest/gtest.h>
#include "AddressDialog.h"
#include "ModalDriver.h"

#include <functional>

namespace {

const char kPlain[] = "###.###.###.###";
const char kNet[] = "###.###.###.###/##";

// Runs act while a driver stands ready to answer message boxes; returns the
// texts of those that came up.
std::vector<std::string> Messages(const std::function<void()>& act)
{
    ModalDriver driver;
    driver.answerMessageBox().answerMessageBox().answerMessageBox();
    driver.start();
    act();
    driver.stop();
    EXPECT_EQ("", driver.failure());
    return driver.messages();
}

std::string OutOfRange(int value, int lowest, int highest)
{
    return std::to_string(value) + " is not a valid entry. Please specify a number between " +
           std::to_string(lowest) + " and " + std::to_string(highest) + ".";
}

TEST(IpMaskEditWindow, ShowsTheStoredAddressFieldByFieldAndReadsItBackWithoutBlanks)
{
    AddressDialog plain(kPlain, "192.168.1.1");
    EXPECT_EQ("192.168.1  .1  ", WindowText(plain.edit()));
    CString address;
    plain.control().GetAddressText(address);
    EXPECT_STREQ("192.168.1.1", address);
    EXPECT_STREQ("SECMaskEdit", plain.control().GetRuntimeClass()->m_lpszClassName);

    AddressDialog network(kNet, "10.0.0.0/8");
    EXPECT_EQ("10 .0  .0  .0  /8 ", WindowText(network.edit()));
}

TEST(IpMaskEditWindow, AFieldsThirdDigitChecksItAndStepsOverTheDot)
{
    AddressDialog dlg(kPlain, "");
    EXPECT_TRUE(Messages([&] { dlg.type("192"); }).empty());
    EXPECT_EQ("192.   .   .   |4", dlg.state());
    AddressDialog zeros(kPlain, "");
    EXPECT_TRUE(Messages([&] { zeros.type("001"); }).empty()) << "001 reads as 1";
    EXPECT_EQ("001.   .   .   |4", zeros.state());
}

TEST(IpMaskEditWindow, AnOctetOutOfRangeIsReportedAndSelected)
{
    AddressDialog dlg(kPlain, "");
    std::vector<std::string> shown = Messages([&] { dlg.type("224"); });
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(OutOfRange(224, 1, 223), shown[0]);
    EXPECT_EQ("224.   .   .   [0,3)", dlg.state());
    EXPECT_EQ(dlg.edit(), GetFocus());
}

TEST(IpMaskEditWindow, ADotChecksTheFieldsTypedAndJumpsToTheNextField)
{
    AddressDialog dlg(kPlain, "");
    EXPECT_TRUE(Messages([&] { dlg.type("."); }).empty());
    EXPECT_EQ("   .   .   .   |0", dlg.state()) << "a dot in front of an empty field does nothing";
    EXPECT_TRUE(Messages([&] { dlg.type("1.2.3."); }).empty());
    EXPECT_EQ("1  .2  .3  .   |12", dlg.state());

    AddressDialog empty(kPlain, "");
    empty.caret(1);
    std::vector<std::string> shown = Messages([&] { empty.type("."); });
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Please specify a number between 1 and 223.", shown[0]);
    EXPECT_EQ("   .   .   .   [0,3)", empty.state());
}

TEST(IpMaskEditWindow, ASlashChecksTheFourFieldsAndJumpsToThePrefix)
{
    AddressDialog dlg(kNet, "10.1.2.3");
    dlg.caret(13);
    EXPECT_TRUE(Messages([&] { dlg.type("/"); }).empty());
    EXPECT_EQ("10 .1  .2  .3  /  |16", dlg.state());

    AddressDialog open(kNet, "10.1.2");
    open.caret(13);
    std::vector<std::string> shown = Messages([&] { open.type("/"); });
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Please specify a number between 0 and 255.", shown[0]);
    EXPECT_EQ("10 .1  .2  .   /  [12,15)", open.state());
}

TEST(IpMaskEditWindow, ThePrefixIsCheckedAtItsSecondDigit)
{
    for (const char* prefix : { "07", "31" }) {
        AddressDialog dlg(kNet, "10.0.0.0");
        dlg.caret(16);
        std::vector<std::string> shown = Messages([&] { dlg.type(prefix); });
        ASSERT_EQ(1u, shown.size()) << prefix;
        EXPECT_EQ(OutOfRange(atoi(prefix), 8, 30), shown[0]);
        EXPECT_EQ(std::string("10 .0  .0  .0  /") + prefix + "[16,18)", dlg.state());
    }
    for (const char* prefix : { "08", "30" }) {
        AddressDialog dlg(kNet, "10.0.0.0");
        dlg.caret(16);
        EXPECT_TRUE(Messages([&] { dlg.type(prefix); }).empty()) << prefix;
        EXPECT_TRUE(dlg.control().IsValidAddress()) << prefix;
    }
    AddressDialog single(kNet, "10.0.0.0");
    single.caret(16);
    EXPECT_TRUE(Messages([&] { single.type("7"); }).empty());
    EXPECT_FALSE(single.control().IsValidAddress());
    EXPECT_FALSE(AddressDialog(kNet, "0.0.0.0/8").control().IsValidAddress()) << "a first octet 0";
}

TEST(IpMaskEditWindow, BackspaceAndDeleteRemoveOneCharacterOrBlankTheSelection)
{
    AddressDialog dlg(kPlain, "192.168.1.1");
    dlg.caret(4);
    dlg.press(VK_BACK);
    EXPECT_EQ("192.168.1  .1  |3", dlg.state()) << "only steps back over the dot";
    dlg.caret(5);
    dlg.press(VK_BACK);
    EXPECT_EQ("192.68 .1  .1  |4", dlg.state());
    dlg.caret(0);
    dlg.press(VK_BACK);
    EXPECT_EQ("192.68 .1  .1  |0", dlg.state());
    dlg.select(0, 2);
    dlg.press(VK_DELETE);
    EXPECT_EQ("  2.68 .1  .1  |0", dlg.state());
    dlg.caret(12);
    dlg.press(VK_DELETE);
    EXPECT_EQ("  2.68 .1  .   |12", dlg.state());

    AddressDialog last(kPlain, "1.2.3.45");
    last.caret(14);
    last.press(VK_BACK);
    EXPECT_EQ("1  .2  .3  .4  |13", last.state()) << "inside the last field the base removes the digit";
}

TEST(IpMaskEditWindow, ADigitTypedIntoAFullFieldMovesOnlyThatFieldsLastDigitOn)
{
    AddressDialog dlg(kPlain, "192. 68.100.123");
    dlg.caret(2);
    EXPECT_TRUE(Messages([&] { dlg.type("5"); }).empty());
    EXPECT_EQ("195.268.100.123|4", dlg.state());
}

TEST(IpMaskEditWindow, AMouseSelectionIsKeptInsideTheFieldItStartsFrom)
{
    AddressDialog dlg(kNet, "192.168.100.200/24");
    dlg.drag(1, 9);
    EXPECT_EQ("192.168.100.200/24[1,3)", dlg.state());
    dlg.drag(9, 1);
    EXPECT_EQ("192.168.100.200/24[8,9)", dlg.state());
    dlg.drag(2, 0);
    EXPECT_EQ("192.168.100.200/24[0,2)", dlg.state());
    dlg.drag(17, 13);
    EXPECT_EQ("192.168.100.200/24[16,17)", dlg.state());
}

TEST(IpMaskEditWindow, LeavingRewritesAValidAddressWithoutLeadingZeros)
{
    AddressDialog dlg(kPlain, "010.001.002.003");
    EXPECT_EQ("010.001.002.003", WindowText(dlg.edit()));
    SetFocus(dlg.other());
    EXPECT_EQ("10 .1  .2  .3  ", WindowText(dlg.edit()));
}

TEST(IpMaskEditWindow, LeavingKeepsAnInvalidAddressAndReturningRestoresTheSelection)
{
    AddressDialog dlg(kPlain, "300.01.2.3");
    dlg.select(4, 6);
    EXPECT_TRUE(Messages([&] { SetFocus(dlg.other()); }).empty());
    EXPECT_EQ("300.01 .2  .3  ", WindowText(dlg.edit()));
    SetFocus(dlg.edit());
    EXPECT_EQ("300.01 .2  .3  [4,6)", dlg.state());
}

}  // namespace
