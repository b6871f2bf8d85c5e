// Veilgate: construction, the server map copy and the property sheet.
#include "Veilgate.h"
#include "afxdlgs.h"
#include "VeilgateControlPage.h"
#include "VeilgateExPage.h"
#include "vggEditPrivilege.h"
#include "ProxySettingsPage.h"
#include "vggEditSchedule.h"
#include "SafeContentPage.h"
#include "VeilgateSettings.h"

VGGETMEMBERFN Veilgate::m_fGetMember = NULL;
const char Veilgate::s_defaultGroupName[] = "Default";

static VGEXTRAPAGESFN s_extraPagesHook = NULL;

void VgSetExtraPagesHook(VGEXTRAPAGESFN fn) { s_extraPagesHook = fn; }

Veilgate::Veilgate(VGGETMEMBERFN fGetMember, Beach* document)
    : m_section(NULL), m_document(document), m_bypassAllowed(0), m_activate(0)
{
    m_fGetMember = fGetMember;
    m_defaultGroup = new VeilgateGroup;
    g_currentGroup = m_defaultGroup;
}

Veilgate::~Veilgate()
{
    bool currentGone = g_currentGroup == m_defaultGroup;
    while (!m_groups.IsEmpty()) {
        VeilgateGroup* pGroup = static_cast<VeilgateGroup*>(m_groups.RemoveHead());
        currentGone = currentGone || pGroup == g_currentGroup;
        delete pGroup;
    }
    delete m_defaultGroup;
    // Never leave the module-wide pointer on a deleted group.
    if (currentGone)
        g_currentGroup = NULL;
    m_servers.value.RemoveAll();
    m_urlsAllow.RemoveAll();
    m_urlsDeny.RemoveAll();
}

void Veilgate::CopyServerInfoMap(QuoValOf<QuoVGServerIpMap>* source, QuoValOf<QuoVGServerIpMap>* destination)
{
    destination->value.RemoveAll();  // deletes the records it held
    POSITION pos = source->value.GetStartPosition();
    while (pos != NULL) {
        CString key;
        QuoVGServerIp* pServer;
        source->value.GetNextAssoc(pos, key, pServer);
        if (pServer != NULL)
            destination->value.SetAt(key, new QuoVGServerIp(*pServer));
    }
}

// The working group is module-wide: another editor on the module may have
// pointed it at a group of its own, or deleted the group it pointed to.
bool Veilgate::OwnsWorkingGroup() const
{
    return g_currentGroup != NULL && (g_currentGroup == m_defaultGroup || m_groups.Find(g_currentGroup) != NULL);
}

int Veilgate::EditVeilgate(CString dataFolder, CString serviceName, int saveAll)
{
    LoadVeilgate(serviceName);
    // Without a group of its own to edit, the sheet edits this editor's
    // default group (made anew if a save took it into the list).
    if (!OwnsWorkingGroup()) {
        if (m_defaultGroup == NULL)
            m_defaultGroup = new VeilgateGroup;
        g_currentGroup = m_defaultGroup;
    }

    CPropertySheet sheet("HTTP Proxy", NULL, 0);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;

    VeilgateControlPage controlPage(&m_denyMessage, &m_activate, &m_bypassAllowed);
    CopyServerInfoMap(&m_servers, &controlPage.m_serverMap);
    VeilgateExPage exceptionsPage(&m_urlsAllow, &m_urlsDeny);
    vggEditPrivilege operationalPage(1);
    operationalPage.m_blockAll = g_currentGroup->m_opBlockAll;
    operationalPage.m_mask = g_currentGroup->m_opMask;
    vggEditPrivilege nonOperationalPage(0);
    nonOperationalPage.m_blockAll = g_currentGroup->m_nonOpBlockAll;
    nonOperationalPage.m_mask = g_currentGroup->m_nonOpMask;
    vggEditSchedule schedulePage;
    schedulePage.m_mask = g_currentGroup->m_schedule;
    ProxySettingsPage settingsPage(m_document, serviceName);
    SafeContentPage safeContentPage(m_document, serviceName, dataFolder);

    // The tabs, left to right.
    CPropertyPage* pages[] = {
        &settingsPage,
        &safeContentPage,
        &controlPage,
        &schedulePage,
        &operationalPage,
        &nonOperationalPage,
        &exceptionsPage,
    };
    for (CPropertyPage* page : pages)
        sheet.AddPage(page);
    if (s_extraPagesHook != NULL)
        s_extraPagesHook(sheet);

    sheet.EnableStackedTabs(FALSE);
    // The proxy pages write their section while OK is processed: should a
    // later page refuse and the administrator then cancel, they are taken
    // back, so that Cancel leaves the document as it was.
    m_document->holdEdits();
    if (sheet.DoModal() != IDOK) {
        m_document->takeBackEdits();
        return 0;
    }
    m_document->keepEdits();

    if (saveAll) {
        g_currentGroup->m_opBlockAll = operationalPage.m_blockAll;
        g_currentGroup->m_opMask = operationalPage.m_mask;
        g_currentGroup->m_nonOpBlockAll = nonOperationalPage.m_blockAll;
        g_currentGroup->m_nonOpMask = nonOperationalPage.m_mask;
        g_currentGroup->m_schedule = schedulePage.m_mask;
        CopyServerInfoMap(&controlPage.m_serverMap, &m_servers);

        // A section without groups: the working group is the constructor's,
        // which no list holds. Give it a name and keep it, so that the
        // administrator's choices are stored rather than dropped.
        if (m_groups.IsEmpty() && m_defaultGroup != NULL && g_currentGroup == m_defaultGroup) {
            m_defaultGroup->m_name = s_defaultGroupName;
            m_groups.AddTail(m_defaultGroup);
            m_defaultGroup = NULL;
        }
        SaveVeilgate(serviceName);
    } else {
        m_section = m_document->digQuolla(VgSettings::kFilterSection, serviceName);
        if (m_section != NULL) {
            m_section->setProp(VgSettings::KeyName(VgSettings::UrlsAllow), QuoValOf<CStringList*>(&m_urlsAllow));
            m_section->setProp(VgSettings::KeyName(VgSettings::UrlsDeny), QuoValOf<CStringList*>(&m_urlsDeny));
            m_document->tossQuolla(m_section);
        }
    }
    return 1;
}
