// Veilgate: reading and writing the "sievex" section.
#include "Veilgate.h"
#include "VeilgateSettings.h"

using namespace VgSettings;

CString Veilgate::vgStringToProp(CString text)
{
    return StoredMessage(text);
}

CString Veilgate::vgPropToString(CString text)
{
    return DisplayMessage(text);
}

int Veilgate::LoadVeilgate(CString serviceName)
{
    m_section = m_document->digQuolla(kFilterSection, serviceName);
    if (m_section == NULL)
        return 0;

    m_activate = Describe(Activate).defaultNumber;
    QuoValOf<int> activate;
    if (m_section->getProp(KeyName(Activate), activate))
        m_activate = activate.value != 0 ? 1 : 0;

    m_bypassAllowed = Describe(AllowBypass).defaultNumber;
    QuoValOf<int> bypass;
    if (m_section->getProp(KeyName(AllowBypass), bypass))
        m_bypassAllowed = bypass.value != 0 ? 1 : 0;

    m_denyMessage = Describe(DenyMessage).defaultText;
    QuoValOf<CString> denyMessage;
    if (m_section->getProp(KeyName(DenyMessage), denyMessage))
        m_denyMessage = vgPropToString(denyMessage.value);

    QuoValOf<CStringList*> allow(&m_urlsAllow);
    m_section->getProp(KeyName(UrlsAllow), allow);
    QuoValOf<CStringList*> deny(&m_urlsDeny);
    m_section->getProp(KeyName(UrlsDeny), deny);

    QuoValOf<QuoSievexMap> rules;
    if (m_section->getProp(KeyName(Rules), rules)) {
        POSITION pos = rules.value.GetStartPosition();
        while (pos != NULL) {
            CString name;
            QuoSievex* pStored;
            rules.value.GetNextAssoc(pos, name, pStored);

            VeilgateGroup* pGroup = new VeilgateGroup;
            g_currentGroup = pGroup;
            pGroup->m_name = name;
            pGroup->m_nonOpBlockAll = pStored->nonOpBlockAll ? 1 : 0;
            pGroup->m_opBlockAll = pStored->opBlockAll ? 1 : 0;
            pGroup->m_opMask = pStored->opMask;
            pGroup->m_nonOpMask = pStored->nonOpMask;
            pGroup->m_schedule = pStored->schedule.IsEmpty() ? VeilgateGroup::DefaultSchedule()
                                                             : ReversedSchedule(pStored->schedule);
            for (int i = 0; i < pStored->members.GetSize(); ++i)
                pGroup->m_members.AddTail(pStored->members[i]);
            m_groups.AddTail(pGroup);
        }
    }

    m_section->getProp(KeyName(Servers), m_servers);
    m_document->tossQuolla(m_section);
    return 1;
}

int Veilgate::SaveVeilgate(CString serviceName)
{
    m_section = m_document->digQuolla(kFilterSection, serviceName);
    if (m_section == NULL) {
        ::MessageBoxA(AfxGetSafeOwner(NULL), "Cannot find Veilgate information (no quolla)",
                      AfxGetAppName(), MB_OK);
        return 0;
    }

    m_section->setProp(KeyName(Servers), m_servers);
    m_section->setProp(KeyName(Activate), QuoValOf<int>(m_activate));
    m_section->setProp(KeyName(AllowBypass), QuoValOf<int>(m_bypassAllowed));
    m_section->setProp(KeyName(DenyMessage), QuoValOf<CString>(vgStringToProp(m_denyMessage)));
    m_section->setProp(KeyName(UrlsAllow), QuoValOf<CStringList*>(&m_urlsAllow));
    m_section->setProp(KeyName(UrlsDeny), QuoValOf<CStringList*>(&m_urlsDeny));

    QuoValOf<QuoSievexMap> rules;
    for (POSITION pos = m_groups.GetHeadPosition(); pos != NULL;) {
        VeilgateGroup* pGroup = static_cast<VeilgateGroup*>(m_groups.GetNext(pos));
        g_currentGroup = pGroup;
        QuoSievex* pStored = new QuoSievex;
        pStored->opMask = pGroup->m_opMask;
        pStored->schedule = ReversedSchedule(pGroup->m_schedule);
        pStored->nonOpMask = pGroup->m_nonOpMask;
        for (POSITION m = pGroup->m_members.GetHeadPosition(); m != NULL;)
            pStored->members.Add(pGroup->m_members.GetNext(m));
        pStored->nonOpBlockAll = pGroup->m_nonOpBlockAll != 0;
        pStored->opBlockAll = pGroup->m_opBlockAll != 0;
        rules.value.SetAt(pGroup->m_name, pStored);  // a later namesake replaces an earlier one
    }
    m_section->setProp(KeyName(Rules), rules);

    m_section->submit();
    m_document->tossQuolla(m_section);
    return 1;
}
