// vggEditSchedule: the schedule page. It hosts the schedule grid in place of
// a placeholder frame, under a header that names the days, and exchanges
// the schedule mask with it: the editor object hands the mask in before the
// sheet opens and reads it back after OK.
#pragma once

#include "afxdlgs.h"
#include "VeilgateApi.h"
#include "ScheduleGrid.h"

class VG_API vggEditSchedule : public CPropertyPage
{
    DECLARE_DYNCREATE(vggEditSchedule)
public:
    vggEditSchedule();

    // 168 characters, position = day * 24 + hour, day 0 = Sunday,
    // "1" = operational. Up to date after the page has been left.
    CString m_mask;
    ScheduleGrid m_grid;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void FitHeader(int nGridTop);

// Message map and handlers
    DECLARE_MESSAGE_MAP()
};
