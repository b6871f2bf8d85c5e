// Veilgate: the editor object that the console constructs and calls.
//
// The console constructs it with its configuration document and calls
// EditVeilgate, which loads the service's "sievex" section into the editing
// copy held here, runs the "HTTP Proxy" property sheet and, after OK,
// writes the copy back.
#pragma once

#include "afxwin.h"
#include "quolla.h"
#include "VeilgateApi.h"
#include "VeilgateGroup.h"

class CPropertySheet;

// The console's member picker: fills the list with the names the user
// chose; non-zero when the user chose.
typedef int (*VGGETMEMBERFN)(CStringList& names, CWnd* pParent);

class VG_API Veilgate
{
public:
    Veilgate(VGGETMEMBERFN fGetMember, Beach* document);
    virtual ~Veilgate();

    // Edits one HTTP proxy service. dataFolder holds the MIME type
    // catalogue; saveAll non-zero writes the whole "sievex" section after
    // OK, zero only the two exception lists. 1 after OK, else 0.
    int EditVeilgate(CString dataFolder, CString serviceName, int saveAll);

    // Deny message: display form (CR LF lines) to stored form and back.
    CString vgStringToProp(CString text);
    CString vgPropToString(CString text);

    static VGGETMEMBERFN m_fGetMember;

    // Name given to the working group when the section held no group, so
    // that a full save stores the administrator's choices.
    static const char s_defaultGroupName[];

protected:
    int LoadVeilgate(CString serviceName);
    int SaveVeilgate(CString serviceName);
    void CopyServerInfoMap(QuoValOf<QuoVGServerIpMap>* source, QuoValOf<QuoVGServerIpMap>* destination);

    Quolla* m_section;
    Beach* m_document;
    CString m_denyMessage;
    int m_bypassAllowed;
    int m_activate;
    CObList m_groups;  // of VeilgateGroup, owned
    CStringList m_urlsAllow;
    CStringList m_urlsDeny;
    QuoValOf<QuoVGServerIpMap> m_servers;

private:
    // The group made by the constructor; owned here until it joins m_groups.
    VeilgateGroup* m_defaultGroup;

    bool OwnsWorkingGroup() const;

    Veilgate(const Veilgate&) = delete;
    Veilgate& operator=(const Veilgate&) = delete;
};

// Test seam: called with the sheet after the module's own pages are added,
// so that test programs can add pages of their own. NULL in production.
typedef void (*VGEXTRAPAGESFN)(CPropertySheet& sheet);
VG_API void VgSetExtraPagesHook(VGEXTRAPAGESFN fn);
