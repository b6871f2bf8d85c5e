#include "VeilgateGroup.h"
#include "VeilgateSettings.h"

VeilgateGroup* g_currentGroup = NULL;

VeilgateGroup::VeilgateGroup() { Reset(); }

CString VeilgateGroup::DefaultSchedule()
{
    return VgSettings::DefaultSchedule();
}

void VeilgateGroup::Reset()
{
    m_name.Empty();
    m_members.RemoveAll();
    m_nonOpBlockAll = 0;
    m_opBlockAll = 0;
    m_nonOpMask = CString('0', VgSettings::CategoryCount);
    m_opMask = CString('0', VgSettings::CategoryCount);
    m_schedule = DefaultSchedule();
}
