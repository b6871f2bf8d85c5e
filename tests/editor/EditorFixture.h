// Shared pieces of the editor tests: a document on disk, an editor with its
// protected parts opened up, and a page that the sheet can run with.
#pragma once

#include <gtest/gtest.h>
#include "Veilgate.h"
#include "afxdlgs.h"
#include "TempFolder.h"
#include <functional>
#include <string>

class TestVeilgate : public Veilgate
{
public:
    using Veilgate::Veilgate;
    using Veilgate::LoadVeilgate;
    using Veilgate::SaveVeilgate;
    using Veilgate::CopyServerInfoMap;
    using Veilgate::m_section;
    using Veilgate::m_denyMessage;
    using Veilgate::m_bypassAllowed;
    using Veilgate::m_activate;
    using Veilgate::m_groups;
    using Veilgate::m_urlsAllow;
    using Veilgate::m_urlsDeny;
    using Veilgate::m_servers;

    VeilgateGroup* Group(int index)
    {
        POSITION pos = m_groups.FindIndex(index);
        return pos ? static_cast<VeilgateGroup*>(m_groups.GetAt(pos)) : nullptr;
    }
};

// A document of one service with the given "sievex" members (JSON text
// inside the section's braces); an empty text omits the section.
std::string ServiceDocument(const std::string& sievexMembers, bool withSection = true);

// The stored value of one key of the service's "sievex" section.
template <class T>
bool StoredValue(Beach& beach, const char* key, QuoValOf<T>& value)
{
    Quolla* section = beach.digQuolla("sievex", "http-proxy");
    bool found = section != nullptr && section->getProp(key, value);
    beach.tossQuolla(section);
    return found;
}

// A plain page; the sheet needs at least one. The hook runs in OnApply,
// which refuses OK as many times as refusals says, as a page whose check
// fails does.
class ProbePage : public CPropertyPage
{
public:
    ProbePage();
    std::function<void()> onApply;
    int refusals = 0;
    BOOL OnApply() override;
};

// Installs pages for the duration of a test.
class ExtraPages
{
public:
    explicit ExtraPages(ProbePage* page);
    ~ExtraPages();
};
