#include "vggEditSchedule.h"
#include "resource.h"
#include <algorithm>

IMPLEMENT_DYNCREATE(vggEditSchedule, CPropertyPage)

BEGIN_MESSAGE_MAP(vggEditSchedule, CPropertyPage)
END_MESSAGE_MAP()

vggEditSchedule::vggEditSchedule()
    : CPropertyPage(IDD_VG_SCHEDULE), m_mask('0', ScheduleLayout::MaskLength)
{
}

void vggEditSchedule::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate)
        m_mask = m_grid.GetMask();
    else
        m_grid.SetMask(m_mask);
}

// The loading exchange comes first, so the grid holds the mask before its
// window exists. The grid then takes the frame's top-left corner; its size
// is its own.
BOOL vggEditSchedule::OnInitDialog()
{
    CPropertyPage::OnInitDialog();

    CRect rect;
    CWnd* pFrame = GetDlgItem(IDC_SCHEDULE_FRAME);
    pFrame->GetWindowRect(&rect);
    pFrame->DestroyWindow();
    ScreenToClient(&rect);
    m_grid.Create(rect.left, rect.top, this, IDC_SCHEDULE_GRID);
    FitHeader(rect.top);
    return TRUE;
}

// The header picture (the template's first control) is drawn pixel for
// pixel over the grid's columns, so its client area must be the picture's
// size exactly: a picture control sizes its window, edge included, to the
// picture, and the system then squeezes the picture into what is left.
// Where the dialog font makes dialog units short, the header also moves up
// so as not to reach into the grid below it.
void vggEditSchedule::FitHeader(int nGridTop)
{
    HWND hHeader = ::GetWindow(m_hWnd, GW_CHILD);
    HBITMAP hBitmap = (HBITMAP)::SendMessageA(hHeader, STM_GETIMAGE, IMAGE_BITMAP, 0);
    BITMAP bm;
    if (hBitmap == NULL || !::GetObjectA(hBitmap, sizeof bm, &bm))
        return;
    CRect frame(0, 0, bm.bmWidth, bm.bmHeight);
    ::AdjustWindowRectEx(&frame, (DWORD)::GetWindowLongPtrA(hHeader, GWL_STYLE), FALSE,
                         (DWORD)::GetWindowLongPtrA(hHeader, GWL_EXSTYLE));
    CRect rect;
    ::GetWindowRect(hHeader, &rect);
    ScreenToClient(&rect);
    int top = std::min((int)rect.top, nGridTop - frame.Height() - 1);
    ::SetWindowPos(hHeader, NULL, rect.left, top, frame.Width(), frame.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}
