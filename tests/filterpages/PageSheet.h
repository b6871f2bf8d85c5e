// A property sheet of filter pages run modally in a test: the test's act
// runs with the first page up, then a button closes the sheet.
#pragma once

#include <gtest/gtest.h>
#include "afxdlgs.h"
#include "ModalDriver.h"
#include <functional>
#include <initializer_list>

struct PageSheet : ::testing::Test
{
    CPropertySheet sheet{ "HTTP Proxy" };
    ModalDriver driver;
    HWND hSheet = NULL, page = NULL;  // page: the one up

    void RunSheet(std::initializer_list<CPropertyPage*> pages, std::function<void()> act, int button = PSBTN_OK)
    {
        for (CPropertyPage* p : pages)
            sheet.AddPage(p);
        driver.onWindow("HTTP Proxy", [&](HWND h) {
            hSheet = h;
            page = (HWND)SendMessageA(h, PSM_GETCURRENTPAGEHWND, 0, 0);
            act();
            PostMessageA(h, PSM_PRESSBUTTON, button, 0);
        });
        driver.start();
        sheet.DoModal();
        driver.stop();
        EXPECT_EQ("", driver.failure());
    }
    void ShowPage(int index)
    {
        SendMessageA(hSheet, PSM_SETCURSEL, index, 0);
        page = (HWND)SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    }
};
