#include "VeilgateExPage.h"
#include "VeilgateExceptionDialog.h"
#include "SortedFill.h"
#include "resource.h"
#include <algorithm>
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

// Entries are found by their list box keys, which are equal exactly when
// the list box's exact search takes the texts for each other. Each key is
// made once and kept once: a hundred thousand of them cost a measurable
// part of an import.
class ExceptionList::BatchState
{
public:
    struct Keyed
    {
        const std::string* key;  // in ownKeys, whose elements stay in place
        CString text;
    };
    std::vector<Keyed> own;
    std::unordered_multiset<std::string> ownKeys;
    std::unordered_set<std::string> otherKeys;
    int added = 0;
};

ExceptionList::Batch::Batch(const CStringList& own, const CStringList& other) : m_state(new BatchState)
{
    m_state->own.reserve(own.GetCount());
    m_state->ownKeys.reserve(own.GetCount());
    m_state->otherKeys.reserve(other.GetCount());
    // A list the page did not fill may hold one entry twice: both are kept.
    for (POSITION pos = own.GetHeadPosition(); pos != NULL;) {
        const CString& text = own.GetNext(pos);
        m_state->own.push_back({ &*m_state->ownKeys.insert(ListBoxKey(text)), text });
    }
    for (POSITION pos = other.GetHeadPosition(); pos != NULL;)
        m_state->otherKeys.insert(ListBoxKey(other.GetNext(pos)));
}

ExceptionList::Batch::~Batch()
{
    delete m_state;
}

ExceptionList::Batch::Outcome ExceptionList::Batch::Add(const CString& entry)
{
    std::string key = ListBoxKey(entry);
    if (m_state->otherKeys.count(key))
        return InOtherList;
    if (m_state->ownKeys.count(key))
        return AlreadyListed;
    m_state->own.push_back({ &*m_state->ownKeys.insert(std::move(key)), entry });
    ++m_state->added;
    return Added;
}

int ExceptionList::Batch::AddedCount() const
{
    return m_state->added;
}

void ExceptionList::Batch::Result(CStringList& own) const
{
    std::vector<const BatchState::Keyed*> order;
    order.reserve(m_state->own.size());
    for (const BatchState::Keyed& item : m_state->own)
        order.push_back(&item);
    std::stable_sort(order.begin(), order.end(),
                     [](const BatchState::Keyed* a, const BatchState::Keyed* b) { return *a->key < *b->key; });
    own.RemoveAll();
    for (const BatchState::Keyed* item : order)
        own.AddTail(item->text);
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
