#include "VeilgateExPage.h"
#include "VeilgateExceptionDialog.h"
#include "SortedFill.h"
#include "resource.h"

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
    CString alreadyListed, inOtherList;
    for (int i = 0; i < dialog.m_entries.GetSize(); ++i) {
        const CString& entry = dialog.m_entries[i];
        if (other.FindStringExact(-1, entry) != LB_ERR)
            inOtherList += entry + " ";
        else if (own.FindStringExact(-1, entry) != LB_ERR)
            alreadyListed += entry + " ";
        else
            own.AddString(entry);
    }

    if (!alreadyListed.IsEmpty())
        AfxMessageBox("These exceptions are already listed: " + alreadyListed, MB_OK);
    if (!inOtherList.IsEmpty()) {
        CString message = denySide ? "The following exceptions already exist in the allowed exceptions list: "
                                   : "The following exceptions already exist in the denied exceptions list: ";
        AfxMessageBox(message + inOtherList, MB_OK);
    }
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
