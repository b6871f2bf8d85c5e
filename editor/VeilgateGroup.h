// VeilgateGroup: the editing copy of one filter group.
//
// The masks are texts of "0" and "1"; their encodings are described in
// VeilgateSettings.h.
#pragma once

#include "afx.h"
#include "VeilgateApi.h"

class VG_API VeilgateGroup : public CObject
{
public:
    VeilgateGroup();

    // Back to the defaults: no name, no members, nothing blocked, every
    // category allowed, Monday to Friday 07:00-18:59 operational.
    void Reset();
    static CString DefaultSchedule();

    int m_nonOpBlockAll;
    int m_opBlockAll;
    CString m_name;
    CStringList m_members;
    CString m_nonOpMask;
    CString m_opMask;
    CString m_schedule;
};

// The group the sheet edits. Module-wide, so one sheet at a time.
extern VG_API VeilgateGroup* g_currentGroup;
