// VeilgateReading.h - the values of one service as the sheet shows them,
// and how they are written for people. The comparison of two documents
// (VeilgateChanges) and the merge of three (VeilgateMerge) both read and
// word values here, so that what counts as a change, and how it reads, is
// said once.
#pragma once

#include "afx.h"
#include "quolla.h"
#include "VeilgateSettings.h"
#include <string_view>
#include <unordered_map>

namespace VgReading
{
    using namespace VgSettings;

    extern const char kArrow[];  // " -> "

    // The owned sections of one document's service; a section it lacks
    // reads as absent keys.
    class Service
    {
    public:
        Service(Beach& beach, const CString& service);
        ~Service();
        Service(const Service&) = delete;
        Service& operator=(const Service&) = delete;

        // False, the holder untouched, when the key is absent.
        bool Get(const Setting& s, QuoVal& value);
        // The key's value, or its default when absent.
        int Number(const Setting& s);
        CString Text(const Setting& s);
        // The section that holds the key; NULL when the service lacks it.
        Quolla* Section(const Setting& s) const;

    private:
        Beach& m_beach;
        Quolla* m_proxy;
        Quolla* m_filter;
    };

    // Lines "PAGE: FIELD: CHANGE" (FIELD left out when empty).
    class Lines
    {
    public:
        explicit Lines(CStringArray& out) : m_out(out) {}
        void Add(const CString& where, const CString& field, const CString& change);
        // "BEFORE -> AFTER", when they differ.
        void Change(const CString& where, const CString& field, const CString& before, const CString& after);

    private:
        CStringArray& m_out;
    };

    // The caption of each page and the label of each group field, read once.
    struct Words
    {
        CString captions[PageCount];
        CString groupLabels[GroupFieldCount];

        Words();
        CString Where(Page page) const { return page >= 0 && page < PageCount ? captions[page] : CString(); }
        CString Where(Page page, const CString& group) const { return Where(page) + " (group " + group + ")"; }
    };

    CString OnOff(bool on);
    CString NumberText(int n);
    // A caching proxy as shown: its address, or "off".
    CString ProxyText(const CString& stored);
    CString Joined(const CStringArray& items, LPCTSTR separator);

    // How often each item stands in a list. The views point into the list's
    // own texts, so that a list of a million entries is counted without
    // copies.
    typedef std::unordered_map<std::string_view, int> ItemCounts;
    inline std::string_view View(const CString& text) { return std::string_view((LPCTSTR)text, text.GetLength()); }
    ItemCounts Counts(const CStringArray& items);

    // A list's entries as its page shows them: the lines of a text (without
    // remarks and blank lines), the items of a list, or the servers as
    // "address:port" in their order (with the records, when servers is
    // given, in the same order).
    void ListEntries(Service& service, const Setting& s, CStringArray& entries,
                     QuoValOf<QuoVGServerIpMap>* servers = NULL,
                     std::vector<const QuoVGServerIp*>* ordered = NULL);

    // The deny message: "line N: OLD -> NEW (K lines changed)" of the first
    // line that differs as shown; empty when none does.
    CString MessageChange(const CString& before, const CString& after);

    // Category k as the privileges page shows it; a short mask allows the rest.
    bool Denied(const CString& mask, int category);
    // The schedule as the grid shows it, from its stored form, and whether
    // an hour of it is operational.
    CString ShownSchedule(const CString& stored);
    bool Operational(const CString& shown, int day, int hour);

    CString GroupText(const QuoSievex& group, GroupField field);
    bool GroupSwitch(const QuoSievex& group, GroupField field);
}
