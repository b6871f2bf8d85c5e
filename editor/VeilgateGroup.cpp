#include "VeilgateGroup.h"

VeilgateGroup* g_currentGroup = NULL;

VeilgateGroup::VeilgateGroup() { Reset(); }

CString VeilgateGroup::DefaultSchedule()
{
    CString schedule('0', VG_SCHEDULE_HOURS);
    // Monday (day 1) to Friday (day 5), 07:00 to 18:59.
    for (int day = 1; day <= 5; ++day)
        for (int hour = 7; hour < 19; ++hour)
            schedule.SetAt(day * 24 + hour, '1');
    return schedule;
}

void VeilgateGroup::Reset()
{
    m_name.Empty();
    m_members.RemoveAll();
    m_nonOpBlockAll = 0;
    m_opBlockAll = 0;
    m_nonOpMask = CString('0', VG_CATEGORY_COUNT);
    m_opMask = CString('0', VG_CATEGORY_COUNT);
    m_schedule = DefaultSchedule();
}
