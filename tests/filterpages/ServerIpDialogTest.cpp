// The server address dialog, run modally and driven through its controls.
#include <gtest/gtest.h>
#include "VeilgateServerIpDialog.h"
#include "resource.h"
#include "ModalDriver.h"
#include "ServerDialogSteps.h"
#include <algorithm>

namespace {

const char kInvalidAddress[] = "Please enter a valid IP address.";
const char kBlankAddress[] = "   .   .   .   ";

struct ServerDialog : ::testing::Test
{
    VeilgateServerIpDialog dlg;
    ModalDriver driver;

    // Runs act once the dialog is up; act ends it or queues more steps.
    INT_PTR Run(std::function<void(HWND)> act)
    {
        driver.onWindow(kServerDialogCaption, act);
        driver.start();
        INT_PTR result = dlg.DoModal();
        driver.stop();
        EXPECT_EQ("", driver.failure());
        return result;
    }
    // OK is refused with the address message; the dialog stays up with the
    // focus on the address, which keeps its text; then Cancel.
    void ExpectRefusedThenCancel()
    {
        driver.answerMessageBox();
        driver.onWindow(kServerDialogCaption, [](HWND h) {
            EXPECT_EQ(GetDlgItem(h, IDC_SERVER_VALUE), GetFocus());
            PressDialogButton(h, IDCANCEL);
        });
    }
};

} // namespace

TEST_F(ServerDialog, AddStartsEmptyWithPort5003AndTheOneServerType)
{
    EXPECT_EQ(IDOK, Run([](HWND h) {
        EXPECT_EQ(kBlankAddress, AddressField(h));
        EXPECT_EQ("5003", PortField(h));
        HWND type = GetDlgItem(h, IDC_TYPE);
        ASSERT_EQ(1, SendMessageA(type, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(0, SendMessageA(type, CB_GETCURSEL, 0, 0));
        EXPECT_EQ("Server IP Address", WindowText(type));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(h, IDC_SERVER_VALUE)));
        TypeAddress(h, "192.168.1.5");
        SetPort(h, "8080");
        PressDialogButton(h, IDOK);
    }));
    EXPECT_EQ(0, dlg.m_nType);
    EXPECT_STREQ("192.168.1.5", dlg.m_strAddress);
    EXPECT_EQ(8080, dlg.m_nPort);
}

TEST_F(ServerDialog, EditShowsThePresetAndReturnsItUnchanged)
{
    dlg.m_strAddress = "10.1.2.3";
    dlg.m_nPort = 8080;
    EXPECT_EQ(IDOK, Run([](HWND h) {
        EXPECT_EQ("10 .1  .2  .3  ", AddressField(h));
        EXPECT_EQ("8080", PortField(h));
        PressDialogButton(h, IDOK);
    }));
    EXPECT_STREQ("10.1.2.3", dlg.m_strAddress);
    EXPECT_EQ(8080, dlg.m_nPort);
}

TEST_F(ServerDialog, InvalidOrIncompleteAddressesAreRefusedAndCancelKeepsThePreset)
{
    // The window text as pasted; typing would report the bad field at once.
    for (const char* text : { kBlankAddress, "0  .1  .2  .3  ", "10 .1  .2  .   ", "10 .256.2  .3  " }) {
        VeilgateServerIpDialog preset;
        preset.m_strAddress = "10.9.9.9";
        preset.m_nPort = 81;
        driver.onWindow(kServerDialogCaption, [text](HWND h) {
            SetWindowTextA(GetDlgItem(h, IDC_SERVER_VALUE), text);
            PressDialogButton(h, IDOK);
        });
        ExpectRefusedThenCancel();
        driver.start();
        EXPECT_EQ(IDCANCEL, preset.DoModal()) << text;
        driver.stop();
        EXPECT_EQ("", driver.failure()) << text;
        EXPECT_STREQ("10.9.9.9", preset.m_strAddress) << text;
        EXPECT_EQ(81, preset.m_nPort) << text;
    }
    ASSERT_EQ(4u, driver.messages().size());
    for (const std::string& message : driver.messages())
        EXPECT_EQ(kInvalidAddress, message);
}

TEST_F(ServerDialog, PortIsReadAsASignedNumberWithoutRangeCheck)
{
    struct { const char* typed; int port; } cases[] = {
        { "", 0 }, { "0", 0 }, { "70000", 70000 }, { "99999999999", 0 },
    };
    for (const auto& c : cases) {
        VeilgateServerIpDialog edit;
        edit.m_strAddress = "10.1.2.3";
        driver.onWindow(kServerDialogCaption, [&c](HWND h) {
            SetPort(h, c.typed);
            PressDialogButton(h, IDOK);
        });
        driver.start();
        EXPECT_EQ(IDOK, edit.DoModal());
        driver.stop();
        EXPECT_EQ(c.port, edit.m_nPort) << '"' << c.typed << '"';
    }
    EXPECT_EQ("", driver.failure());
}

TEST_F(ServerDialog, EnterInTheAddressFieldReturnsItWithoutLeadingZeros)
{
    EXPECT_EQ(IDOK, Run([](HWND h) {
        TypeAddress(h, "010.001.020.003");
        EXPECT_EQ("010.001.020.003", AddressField(h));
        // Enter goes to the focused field; the dialog turns it into OK.
        PostMessageA(GetDlgItem(h, IDC_SERVER_VALUE), WM_KEYDOWN, VK_RETURN, 1);
    }));
    EXPECT_STREQ("10.1.20.3", dlg.m_strAddress);
}

// A stored address the check refuses is one that OK refuses once the
// dialog is preset with it, as Edit presets it, or one the dialog shows as
// another address.
TEST(ServerDialogCheck, RefusesWhatOkRefusesOrTheFieldCannotShow)
{
    for (const char* address : { "10.1.2.3", "010.001.002.003", "10.1.2.3x", "0.1.2.3", "10.1.2.256", "10.1.2",
                                 "1000.1.2.3", "" }) {
        VeilgateServerIpDialog dlg;
        dlg.m_strAddress = address;
        std::string shown;
        ModalDriver driver;
        driver.onWindow(kServerDialogCaption, [&](HWND h) {
            shown = AddressField(h);
            PressDialogButton(h, IDOK);
        });
        // Only when OK is refused:
        driver.answerMessageBox();
        driver.onWindow(kServerDialogCaption, [](HWND h) { PressDialogButton(h, IDCANCEL); });
        const bool refusedAtOk = driver.run([&] { return dlg.DoModal(); }) == IDCANCEL;
        EXPECT_EQ(refusedAtOk ? std::vector<std::string>{ kInvalidAddress } : std::vector<std::string>{},
                  driver.messages()) << address;
        shown.erase(std::remove(shown.begin(), shown.end(), ' '), shown.end());
        EXPECT_EQ(refusedAtOk || shown != address, VeilgateServerIpDialog::CheckAddress(address) != 0) << address;
        EXPECT_EQ("", driver.failure()) << address;
    }
}
