// Where the filter pages' dialogs and messages open: over the sheet that
// runs them and owned by it, whether or not another program is in front.
#include <gtest/gtest.h>
#include "VeilgateControlPage.h"
#include "VeilgateExPage.h"
#include "resource.h"
#include "ModalDriver.h"
#include "ServerDialogSteps.h"
#include <atomic>
#include <memory>
#include <thread>

namespace {

// A window of another thread in front, as another program's would be.
class OtherProgram
{
public:
    OtherProgram()
        : m_thread([this] {
              HWND h = CreateWindowExA(0, "STATIC", "Another program", WS_POPUP | WS_CAPTION | WS_VISIBLE, 900, 700,
                                       200, 100, NULL, NULL, NULL, NULL);
              SetForegroundWindow(h);
              m_up = true;
              while (!m_stop) {
                  MSG msg;
                  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
                      DispatchMessageA(&msg);
                  Sleep(5);
              }
              DestroyWindow(h);
          })
    {
    }
    ~OtherProgram()
    {
        m_stop = true;
        m_thread.join();
    }
    bool up() const { return m_up; }

private:
    std::atomic<bool> m_up{ false }, m_stop{ false };
    std::thread m_thread;
};

// Owned by the sheet and centred over it.
void ExpectOverSheet(HWND hDlg, HWND hSheet, const char* what)
{
    RECT d, s;
    GetWindowRect(hDlg, &d);
    GetWindowRect(hSheet, &s);
    EXPECT_EQ(hSheet, GetWindow(hDlg, GW_OWNER)) << what;
    EXPECT_FALSE(IsWindowEnabled(hSheet)) << what;
    EXPECT_NEAR(s.left + s.right, d.left + d.right, 2) << what;
    EXPECT_NEAR(s.top + s.bottom, d.top + d.bottom, 2) << what;
}

} // namespace

TEST(DialogPlacement, DialogsAndMessagesOpenOverTheirSheet)
{
    CString denyMessage;
    int activate = 1, bypass = 0;
    VeilgateControlPage controls(&denyMessage, &activate, &bypass);
    CStringList allowed, denied;
    VeilgateExPage exceptions(&allowed, &denied);
    CPropertySheet sheet("HTTP Proxy");
    sheet.AddPage(&controls);
    sheet.AddPage(&exceptions);
    std::unique_ptr<OtherProgram> other;
    HWND hSheet = NULL;
    auto click = [&](CPropertyPage& page, int id) {
        return [&, id]() {
            if (!IsWindowEnabled(hSheet))
                return false;
            sheet.SetActivePage(&page);
            PostMessageA(GetDlgItem(page.m_hWnd, id), BM_CLICK, 0, 0);
            return true;
        };
    };
    auto cancel = [](const char* what) {
        return [what](HWND h) {
            ExpectOverSheet(h, FindThreadWindow("HTTP Proxy"), what);
            PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
        };
    };

    ModalDriver driver;
    driver.onWindow("HTTP Proxy", [&](HWND h) {
        hSheet = h;
        // Away from the corner of the screen, where an unowned dialog lands.
        SetWindowPos(h, NULL, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    });
    driver.then(click(controls, IDC_ADD_SERVER)).onWindow(kServerDialogCaption, cancel("Add server"));
    driver.then(click(exceptions, IDC_ALLOWED_EX_ADD)).onWindow("Define Exception(s)", cancel("Add exception"));
    driver.then([&] {
        other.reset(new OtherProgram);
        return true;
    });
    // A host confirms while another program is in front: the refusal of an
    // active filter without servers is owned by the sheet all the same.
    driver.then([&] {
        if (!IsWindowEnabled(hSheet) || !other->up())
            return false;
        PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        return true;
    });
    driver.then([&] {
        HWND hBox = FindMessageBox();
        if (hBox == NULL)
            return false;
        EXPECT_EQ(hSheet, GetWindow(hBox, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(hSheet));
        PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        return true;
    });
    driver.then([&] {
        if (!IsWindowEnabled(hSheet))
            return false;
        PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return true;
    });
    driver.start();
    sheet.DoModal();
    driver.stop();
    EXPECT_EQ("", driver.failure());
}
