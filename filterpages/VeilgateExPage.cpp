#include "VeilgateExPage.h"
#include "VeilgateExceptionDialog.h"
#include "SortedFill.h"
#include "resource.h"
#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

/////////////////////////////////////////////////////////////////////////////
// ExceptionList

namespace {

CString Listed(LPCTSTR lpszPrefix, const CStringArray& entries)
{
    CString message = lpszPrefix;
    for (int i = 0; i < entries.GetSize(); ++i)
        message += entries[i] + " ";
    return message;
}

std::wstring Wide(const CString& text)
{
    std::wstring wide(text.GetLength(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), &wide[0], (int)wide.size()));
    return wide;
}

} // namespace

BOOL ExceptionList::SameEntry(const CString& a, const CString& b)
{
    std::wstring wa = Wide(a), wb = Wide(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), (int)wa.size(), wb.c_str(),
                          (int)wb.size()) == CSTR_EQUAL;
}

CString ExceptionList::AlreadyListedMessage(const CStringArray& entries)
{
    return Listed("These exceptions are already listed: ", entries);
}

CString ExceptionList::OtherListMessage(int denySide, const CStringArray& entries)
{
    return Listed(denySide ? "The following exceptions already exist in the allowed exceptions list: "
                           : "The following exceptions already exist in the denied exceptions list: ",
                  entries);
}

namespace {

// Printable ASCII alone: no character the comparison ignores, none that
// expands or stands for another, and letters whose case is all that tells
// them from their other case.
bool IsPlain(const CString& text)
{
    for (LPCTSTR p = text; *p != '\0'; ++p)
        if (*p < 0x20 || *p > 0x7E)
            return false;
    return true;
}

char Fold(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? ch + ('a' - 'A') : ch;
}

bool SameFolded(const CString& a, const CString& b)
{
    if (a.GetLength() != b.GetLength())
        return false;
    for (LPCTSTR p = a, q = b; *p != '\0'; ++p, ++q)
        if (Fold(*p) != Fold(*q))
            return false;
    return true;
}

// FNV-1a, then mixed down: the index takes the low bits, which FNV alone
// leaves to the low bits of the characters, so that entries differing in a
// digit or two would crowd into a few runs of slots.
uint32_t FoldedHash(const CString& text)
{
    uint32_t hash = 2166136261u;
    for (LPCTSTR p = text; *p != '\0'; ++p)
        hash = (hash ^ (unsigned char)Fold(*p)) * 16777619u;
    hash ^= hash >> 16;
    hash *= 0x85ebca6bu;
    hash ^= hash >> 13;
    hash *= 0xc2b2ae35u;
    hash ^= hash >> 16;
    return hash;
}

// Plain texts of one list, found by their folds: indexes into the list in
// one array (open addressing), where a set of strings would allocate for
// each entry. Each slot keeps its text's hash, so that growing needs no text
// and a probe compares texts only when their hashes agree.
class FoldIndex
{
public:
    explicit FoldIndex(const std::vector<CString>& texts) : m_texts(texts) {}
    // hash: FoldedHash(text).
    bool Contains(const CString& text, uint32_t hash) const
    {
        if (m_slots.empty())
            return false;
        for (size_t i = hash & (m_slots.size() - 1);; i = (i + 1) & (m_slots.size() - 1)) {
            const Slot& slot = m_slots[i];
            if (slot.index < 0)
                return false;
            if (slot.hash == hash && SameFolded(m_texts[slot.index], text))
                return true;
        }
    }
    // Indexes texts[index], which stays in place.
    void Insert(int index, uint32_t hash)
    {
        Reserve(1);
        Place(Slot{ index, hash });
        ++m_count;
    }
    // Makes room for more texts, so that the index is not regrown on the
    // way; the slots stay at most half full.
    void Reserve(size_t more)
    {
        if (2 * (m_count + more) <= m_slots.size())
            return;
        size_t size = std::max<size_t>(64, m_slots.size());
        while (size < 2 * (m_count + more))
            size *= 2;
        std::vector<Slot> old(size);
        old.swap(m_slots);
        for (const Slot& held : old)
            if (held.index >= 0)
                Place(held);
    }
    void Clear()
    {
        m_slots.clear();
        m_count = 0;
    }
    // Trades entries with an index of another list, each keeping its list.
    void SwapEntries(FoldIndex& other)
    {
        m_slots.swap(other.m_slots);
        std::swap(m_count, other.m_count);
    }

private:
    struct Slot
    {
        int32_t index = -1;  // -1: empty
        uint32_t hash = 0;
    };
    const std::vector<CString>& m_texts;
    std::vector<Slot> m_slots;
    size_t m_count = 0;

    void Place(const Slot& slot)
    {
        size_t i = slot.hash & (m_slots.size() - 1);
        while (m_slots[i].index >= 0)
            i = (i + 1) & (m_slots.size() - 1);
        m_slots[i] = slot;
    }
};

// Two plain texts have the same list box key exactly when they are the same
// text once folded to small letters. Made sure of once against the system's
// own keys: each printable character against every other, and the hyphen,
// the apostrophe and the blank, which the comparison weighs apart from the
// letters, where a sort might have ignored them.
bool FoldsFindAsKeysDo()
{
    static const bool agree = [] {
        std::string keys[0x7F];
        for (int ch = 0x20; ch < 0x7F; ++ch)
            keys[ch] = ListBoxKey(CString((TCHAR)ch));
        for (int a = 0x20; a < 0x7F; ++a)
            for (int b = a + 1; b < 0x7F; ++b)
                if ((keys[a] == keys[b]) != (Fold((char)a) == Fold((char)b)))
                    return false;
        static const char* const kApart[][2] = {
            { "coop", "co-op" }, { "co-op", "coo-p" }, { "ab", "a'b" }, { "ab", "a b" }, { "a-b", "a--b" },
            { "a b", "a  b" }, { "a-b", "a'b" }, { "ab ", "ab" }, { "a /b", "a/b" },
        };
        for (const auto& pair : kApart)
            if (ListBoxKey(pair[0]) == ListBoxKey(pair[1]))
                return false;
        return true;
    }();
    return agree;
}

} // namespace

// Entries are found by an index of either list: while every entry of both
// is plain, of their folded texts; from the first one that is not, of their
// list box keys, which are equal exactly when the list box's exact search
// takes the texts for each other. A fold costs a fraction of a key, which
// the system makes; the keys that order the list are made only when it is
// asked for.
class ExceptionList::BatchState
{
public:
    std::vector<CString> own;  // the list, then the entries added
    std::vector<CString> other;
    FoldIndex ownFolds{ own }, otherFolds{ other };
    std::unordered_set<std::string> ownKeys, otherKeys;
    bool keyed = !FoldsFindAsKeysDo();
    int added = 0;

    // Indexes the text last appended to a list.
    void IndexLast(bool ownSide)
    {
        const std::vector<CString>& list = ownSide ? own : other;
        if (!keyed && !IsPlain(list.back()))
            SwitchToKeys();
        else if (keyed)
            (ownSide ? ownKeys : otherKeys).insert(ListBoxKey(list.back()));
        else
            (ownSide ? ownFolds : otherFolds).Insert((int)list.size() - 1, FoldedHash(list.back()));
    }
    void SwitchToKeys()
    {
        keyed = true;
        ownFolds.Clear();
        otherFolds.Clear();
        for (const CString& text : own)
            ownKeys.insert(ListBoxKey(text));
        for (const CString& text : other)
            otherKeys.insert(ListBoxKey(text));
    }
};

ExceptionList::Batch::Batch(const CStringList& own, const CStringList& other) : m_state(new BatchState)
{
    m_state->own.reserve(own.GetCount());
    m_state->other.reserve(other.GetCount());
    // A list the page did not fill may hold one entry twice: both are kept.
    for (POSITION pos = own.GetHeadPosition(); pos != NULL;) {
        m_state->own.push_back(own.GetNext(pos));
        m_state->IndexLast(true);
    }
    for (POSITION pos = other.GetHeadPosition(); pos != NULL;) {
        m_state->other.push_back(other.GetNext(pos));
        m_state->IndexLast(false);
    }
}

ExceptionList::Batch::~Batch()
{
    delete m_state;
}

ExceptionList::Batch::Outcome ExceptionList::Batch::Add(const CString& entry)
{
    BatchState& state = *m_state;
    if (!state.keyed && !IsPlain(entry))
        state.SwitchToKeys();
    if (state.keyed) {
        std::string key = ListBoxKey(entry);
        if (state.otherKeys.count(key))
            return InOtherList;
        if (state.ownKeys.count(key))
            return AlreadyListed;
        state.ownKeys.insert(std::move(key));
        state.own.push_back(entry);
    } else {
        const uint32_t hash = FoldedHash(entry);
        if (state.otherFolds.Contains(entry, hash))
            return InOtherList;
        if (state.ownFolds.Contains(entry, hash))
            return AlreadyListed;
        state.own.push_back(entry);
        state.ownFolds.Insert((int)state.own.size() - 1, hash);
    }
    ++state.added;
    return Added;
}

void ExceptionList::Batch::Reserve(int nEntries)
{
    BatchState& state = *m_state;
    state.own.reserve(state.own.size() + nEntries);
    if (!state.keyed)
        state.ownFolds.Reserve(nEntries);
}

void ExceptionList::Batch::TurnToOtherList()
{
    BatchState& state = *m_state;
    state.own.swap(state.other);
    state.ownFolds.SwapEntries(state.otherFolds);
    state.ownKeys.swap(state.otherKeys);
    state.added = 0;
}

int ExceptionList::Batch::AddedCount() const
{
    return m_state->added;
}

void ExceptionList::Batch::Result(CStringList& own) const
{
    struct Keyed
    {
        std::string key;
        const CString* text;
    };
    std::vector<Keyed> order;
    order.reserve(m_state->own.size());
    for (const CString& text : m_state->own)
        order.push_back({ ListBoxKey(text), &text });
    std::stable_sort(order.begin(), order.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    own.RemoveAll();
    for (const Keyed& item : order)
        own.AddTail(*item.text);
}

/////////////////////////////////////////////////////////////////////////////
// VeilgateExPage

namespace {

void FillList(CListBox& list, const CStringList& entries)
{
    list.ResetContent();
    FillSortedList(list, entries);
}

void ReadList(const CListBox& list, CStringList& entries)
{
    entries.RemoveAll();
    CString text;
    int nCount = list.GetCount();
    for (int i = 0; i < nCount; ++i) {
        list.GetText(i, text);
        entries.AddTail(text);
    }
}

} // namespace

BEGIN_MESSAGE_MAP(VeilgateExPage, CPropertyPage)
    ON_BN_CLICKED(IDC_ALLOWED_EX_ADD, OnAddAllowed)
    ON_BN_CLICKED(IDC_DENIED_EX_ADD, OnAddDenied)
    ON_BN_CLICKED(IDC_ALLOWED_EX_REMOVE, OnRemoveAllowed)
    ON_BN_CLICKED(IDC_DENIED_EX_REMOVE, OnRemoveDenied)
END_MESSAGE_MAP()

VeilgateExPage::VeilgateExPage(CStringList* pAllowed, CStringList* pDenied)
    : CPropertyPage(IDD_VG_EXCEPTIONS), m_pAllowed(pAllowed), m_pDenied(pDenied)
{
    ASSERT(pAllowed != NULL && pDenied != NULL);
}

void VeilgateExPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ALLOWED_EX_LIST, m_allowedList);
    DDX_Control(pDX, IDC_DENIED_EX_LIST, m_deniedList);
    if (pDX->m_bSaveAndValidate) {
        ReadList(m_allowedList, *m_pAllowed);
        ReadList(m_deniedList, *m_pDenied);
    } else {
        FillList(m_allowedList, *m_pAllowed);
        FillList(m_deniedList, *m_pDenied);
    }
}

BOOL VeilgateExPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    return TRUE;
}

void VeilgateExPage::AddExceptions(int denySide)
{
    VeilgateExceptionDialog dialog(NULL, denySide);
    if (dialog.DoModal() != IDOK)
        return;

    CListBox& own = denySide ? m_deniedList : m_allowedList;
    CListBox& other = denySide ? m_allowedList : m_deniedList;
    // Each entry is looked up in the lists as they stand, so one added a
    // moment ago counts as already listed when it comes again.
    CStringArray alreadyListed, inOtherList;
    for (int i = 0; i < dialog.m_entries.GetSize(); ++i) {
        const CString& entry = dialog.m_entries[i];
        if (other.FindStringExact(-1, entry) != LB_ERR)
            inOtherList.Add(entry);
        else if (own.FindStringExact(-1, entry) != LB_ERR)
            alreadyListed.Add(entry);
        else
            own.AddString(entry);
    }

    if (alreadyListed.GetSize() > 0)
        AfxMessageBox(ExceptionList::AlreadyListedMessage(alreadyListed), MB_OK);
    if (inOtherList.GetSize() > 0)
        AfxMessageBox(ExceptionList::OtherListMessage(denySide, inOtherList), MB_OK);
}

void VeilgateExPage::RemoveSelected(CListBox& list, LPCTSTR lpszNoSelection)
{
    int nSelected = list.GetCurSel();
    if (nSelected == LB_ERR) {
        AfxMessageBox(lpszNoSelection, MB_OK);
        return;
    }
    list.DeleteString(nSelected);
    list.SetFocus();
    // The entry that followed moves up into the index; after the last, none.
    list.SetCurSel(nSelected);
}

void VeilgateExPage::OnAddAllowed() { AddExceptions(0); }
void VeilgateExPage::OnAddDenied() { AddExceptions(1); }

void VeilgateExPage::OnRemoveAllowed()
{
    RemoveSelected(m_allowedList, "You need to select an allowed URL exception first!");
}

void VeilgateExPage::OnRemoveDenied()
{
    RemoveSelected(m_deniedList, "You need to select an denied URL exception first!");
}
