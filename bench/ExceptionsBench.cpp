// The exceptions page with 5,000 allowed and 5,000 denied entries: showing
// it (its list boxes filled) and leaving it (the lists read back), each
// beside the same work on two hidden sorted list boxes with redraw off.
#include "BenchSupport.h"
#include "afxdlgs.h"
#include "VeilgateExPage.h"
#include <stdio.h>

namespace {

std::vector<double> s_show, s_leave;

// Flushes every paint the switch left pending, the pages' controls included.
void SwitchTo(HWND hSheet, int index)
{
    ::SendMessageA(hSheet, PSM_SETCURSEL, index, 0);
    ::RedrawWindow(hSheet, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CALLBACK MeasureOnce(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(NULL, idEvent);
    HWND hSheet = ::GetActiveWindow();
    double t0 = Now();
    SwitchTo(hSheet, 1);
    double t1 = Now();
    SwitchTo(hSheet, 0);
    double t2 = Now();
    s_show.push_back(t1 - t0);
    s_leave.push_back(t2 - t1);
    ::PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void MakeEntries(CStringList& allowed, CStringList& denied)
{
    for (int i = 0; i < 5000; ++i) {
        CString entry;
        entry.Format("10.%d.%d.%d:%d /path%d/*", i / 65536, (i / 256) % 256, i % 256, 8000 + i % 100, i);
        allowed.AddTail(entry);
        entry.Format("host%04d.example.net%s", i, i % 2 ? "" : " /ads/*");
        denied.AddTail(entry);
    }
}

HWND HiddenSortedList()
{
    return ::CreateWindowExA(0, "LISTBOX", "", WS_POPUP | WS_VSCROLL | LBS_SORT | LBS_HASSTRINGS, 0, 0, 300, 200,
                             NULL, NULL, NULL, NULL);
}

} // namespace

void BenchExceptions()
{
    CStringList allowed, denied;
    MakeEntries(allowed, denied);
    printf("\nexceptions page, 5,000 + 5,000 entries; median of %d runs\n\n", kRuns);

    s_show.clear();
    s_leave.clear();
    for (int run = 0; run < kRuns; ++run) {
        CPropertyPage before;
        before.m_psp.pszTemplate = MAKEINTRESOURCEA(300);
        VeilgateExPage page(&allowed, &denied);
        CPropertySheet sheet("HTTP Proxy");
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        sheet.AddPage(&before);
        sheet.AddPage(&page);
        ::SetTimer(NULL, 0, USER_TIMER_MINIMUM, MeasureOnce);
        sheet.DoModal();
    }

    HWND lists[2] = { HiddenSortedList(), HiddenSortedList() };
    const CStringList* sources[2] = { &allowed, &denied };
    double fill = Time([&] {
        for (int k = 0; k < 2; ++k) {
            ::SendMessageA(lists[k], WM_SETREDRAW, FALSE, 0);
            ::SendMessageA(lists[k], LB_RESETCONTENT, 0, 0);
            for (POSITION pos = sources[k]->GetHeadPosition(); pos != NULL;)
                ::SendMessageA(lists[k], LB_ADDSTRING, 0, (LPARAM)(LPCTSTR)sources[k]->GetNext(pos));
            ::SendMessageA(lists[k], WM_SETREDRAW, TRUE, 0);
        }
    });
    double read = Time([&] {
        char text[256];
        for (HWND list : lists) {
            int count = (int)::SendMessageA(list, LB_GETCOUNT, 0, 0);
            for (int i = 0; i < count; ++i)
                ::SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        }
    });
    for (HWND list : lists)
        ::DestroyWindow(list);

    Row("show the exceptions page (fill both lists)", Median(s_show), "floor: fill two hidden sorted list boxes", fill);
    Row("leave the exceptions page (read both lists)", Median(s_leave), "floor: read two hidden list boxes", read);
}
