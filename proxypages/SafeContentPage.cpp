#include "SafeContentPage.h"
#include "MimeTypeSelectDlg.h"
#include "SortedFill.h"
#include "resource.h"
#include "VeilgateSettings.h"
#include <stdlib.h>
#include <string.h>

using namespace VgSettings;

namespace {

const char kLineFeed[] = "\n";

// Reads one key; FALSE leaves the value as it was. No section: nothing found.
template <class T>
BOOL ReadKey(Quolla* section, Key key, T& value)
{
    QuoValOf<T> holder;
    if (section == NULL || !section->getProp(KeyName(key), holder))
        return FALSE;
    value = holder.value;
    return TRUE;
}

// The stored lists are split at line feeds, and a number sign starts a
// remark there: an entry holding either would come back cut the next time
// the page loads.
bool ReadsBackWhole(const CString& entry)
{
    return entry.FindOneOf("#\r\n") < 0;
}

} // namespace

void ParseListText(LPCTSTR text, LPCTSTR separators, CStringArray& entries)
{
    entries.RemoveAll();
    char* copy = _strdup(text);
    if (copy == NULL)
        return;
    for (char* token = strtok(copy, separators); token != NULL; token = strtok(NULL, separators)) {
        CString entry = token;
        entry.TrimLeft();
        int remark = entry.Find('#');
        if (remark >= 0)
            entry = entry.Left(remark);
        if (!entry.IsEmpty())
            entries.Add(entry);
    }
    free(copy);
}

UINT CheckPattern(const CString& pattern)
{
    return ReadsBackWhole(pattern) ? 0 : IDS_PATTERN_CHARACTERS;
}

BEGIN_MESSAGE_MAP(SafeContentPage, CPropertyPage)
    ON_BN_CLICKED(IDC_ADD_SAFE_TYPE, OnAddSafeType)
    ON_BN_CLICKED(IDC_REMOVE_SAFE_TYPE, OnRemoveSafeType)
    ON_WM_VKEYTOITEM()
    ON_BN_CLICKED(IDC_ALLOW_ONLY_SAFE, OnAllowOnlySafe)
    ON_LBN_SELCHANGE(IDC_SAFE_TYPES, UpdateRemoveTypeButton)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_ADD_PATTERN, OnAddPattern)
    ON_BN_CLICKED(IDC_REMOVE_PATTERN, OnRemovePattern)
    ON_BN_CLICKED(IDC_DENY_UNSAFE_PATTERNS, OnDenyUnsafePatterns)
    ON_LBN_SELCHANGE(IDC_UNSAFE_PATTERNS, UpdateRemovePatternButton)
END_MESSAGE_MAP()

SafeContentPage::SafeContentPage(Beach* document, const CString& serviceName, const CString& catalogueDir)
    : CPropertyPage(IDD_SAFE_CONTENT), m_catalogueDir(catalogueDir),
      m_allowOnlySafe(Describe(DenyUnsafeContent).defaultNumber),
      m_denyUnsafePatterns(Describe(UnsafePatternsEnabled).defaultNumber), m_document(document), m_section(NULL)
{
    if (m_document != NULL)
        m_section = m_document->digQuolla(kProxySection, serviceName);
}

SafeContentPage::~SafeContentPage()
{
    // A page that was never shown has no window and so never saw WM_DESTROY.
    ReleaseSection();
}

void SafeContentPage::ReleaseSection()
{
    if (m_section != NULL)
        m_document->tossQuolla(m_section);
    m_section = NULL;
}

void SafeContentPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SAFE_TYPES, m_safeTypesList);
    DDX_Control(pDX, IDC_REMOVE_SAFE_TYPE, m_removeTypeButton);
    DDX_Control(pDX, IDC_ADD_SAFE_TYPE, m_addTypeButton);
    DDX_Check(pDX, IDC_ALLOW_ONLY_SAFE, m_allowOnlySafe);
    DDX_Check(pDX, IDC_DENY_UNSAFE_PATTERNS, m_denyUnsafePatterns);
    DDX_Control(pDX, IDC_UNSAFE_PATTERNS, m_patternList);
    DDX_Text(pDX, IDC_NEW_PATTERN, m_newPattern);
}

BOOL SafeContentPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();

    ReadKey(m_section, DenyUnsafeContent, m_allowOnlySafe);
    EnableSafeTypeControls(m_allowOnlySafe);
    CString text;
    if (ReadKey(m_section, SafeContent, text))
        FillListFromText(text, m_safeTypesList, kLineFeed);
    ReadKey(m_section, UnsafePatternsEnabled, m_denyUnsafePatterns);
    EnablePatternControls(m_denyUnsafePatterns);
    if (ReadKey(m_section, UnsafePatterns, text))
        FillListFromText(text, m_patternList, kLineFeed);

    m_removeTypeButton.EnableWindow(FALSE);
    GetDlgItem(IDC_REMOVE_PATTERN)->EnableWindow(FALSE);
    UpdateData(FALSE);
    return TRUE;
}

void SafeContentPage::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_section != NULL) {
        m_section->setProp(KeyName(DenyUnsafeContent), QuoValOf<int>(m_allowOnlySafe));
        m_section->setProp(KeyName(SafeContent), QuoValOf<CString>(JoinListText(m_safeTypesList, kLineFeed)));
        m_section->setProp(KeyName(UnsafePatterns), QuoValOf<CString>(JoinListText(m_patternList, kLineFeed)));
        m_section->setProp(KeyName(UnsafePatternsEnabled), QuoValOf<int>(m_denyUnsafePatterns));
    }
    CPropertyPage::OnOK();
}

void SafeContentPage::OnDestroy()
{
    CPropertyPage::OnDestroy();
    ReleaseSection();
}

void SafeContentPage::FillListFromText(LPCTSTR text, CListBox& list, LPCTSTR separators)
{
    CStringArray entries;
    ParseListText(text, separators, entries);
    FillSortedList(list, entries);
}

CString SafeContentPage::JoinListText(const CListBox& list, LPCTSTR separator) const
{
    CString joined, row;
    for (int i = 0; i < list.GetCount(); ++i) {
        list.GetText(i, row);
        if (!joined.IsEmpty())
            joined += separator;
        joined += row;
    }
    return joined;
}

void SafeContentPage::EnableSafeTypeControls(BOOL bEnable)
{
    m_safeTypesList.EnableWindow(bEnable);
    m_addTypeButton.EnableWindow(bEnable);
    m_removeTypeButton.EnableWindow(bEnable);
}

void SafeContentPage::EnablePatternControls(BOOL bEnable)
{
    static const int patternControls[] = { IDC_UNSAFE_PATTERNS, IDC_NEW_PATTERN, IDC_ADD_PATTERN, IDC_REMOVE_PATTERN };
    for (int id : patternControls)
        GetDlgItem(id)->EnableWindow(bEnable);
}

void SafeContentPage::UpdateRemoveTypeButton()
{
    UpdateData(TRUE);
    m_removeTypeButton.EnableWindow(m_allowOnlySafe && m_safeTypesList.GetCurSel() != LB_ERR);
}

void SafeContentPage::UpdateRemovePatternButton()
{
    UpdateData(TRUE);
    GetDlgItem(IDC_REMOVE_PATTERN)->EnableWindow(m_denyUnsafePatterns && m_patternList.GetCurSel() != LB_ERR);
}

void SafeContentPage::OnAddSafeType()
{
    MimeTypeSelectDlg dlg(this, m_catalogueDir);
    UpdateData(TRUE);
    if (dlg.DoModal() == IDOK && dlg.m_chosenTypes.GetSize() > 0) {
        int row = LB_ERR;
        BOOL bRefused = FALSE;
        for (int i = 0; i < dlg.m_chosenTypes.GetSize(); ++i) {
            const CString& type = dlg.m_chosenTypes[i];
            if (!ReadsBackWhole(type)) {
                bRefused = TRUE;
                continue;
            }
            row = m_safeTypesList.FindStringExact(-1, type);
            if (row == LB_ERR)
                row = m_safeTypesList.AddString(type);
        }
        if (bRefused)
            AfxMessageBox(IDS_MIME_TYPE_CHARACTERS);
        if (row != LB_ERR) {
            GotoDlgCtrl(&m_safeTypesList);
            m_safeTypesList.SetCurSel(row);
        }
        UpdateData(FALSE);
    }
    UpdateRemoveTypeButton();
}

void SafeContentPage::RemoveSelectedRow(CListBox& list)
{
    int row = list.GetCurSel();
    if (row == LB_ERR)
        return;
    list.DeleteString(row);
    if (list.SetCurSel(row) == LB_ERR && list.SetCurSel(row - 1) == LB_ERR)
        list.SetCurSel(0);
}

void SafeContentPage::OnRemoveSafeType()
{
    if (m_safeTypesList.GetCurSel() == LB_ERR)
        return;
    RemoveSelectedRow(m_safeTypesList);
    UpdateRemoveTypeButton();
}

void SafeContentPage::OnRemovePattern()
{
    if (m_patternList.GetCurSel() == LB_ERR)
        return;
    RemoveSelectedRow(m_patternList);
    UpdateRemovePatternButton();
}

int SafeContentPage::OnVKeyToItem(UINT nKey, CListBox* pListBox, UINT nIndex)
{
    // Delete removes the selected row from either list, as its Remove button does.
    if (nKey == VK_DELETE && pListBox != NULL) {
        if (pListBox->m_hWnd == m_safeTypesList.m_hWnd)
            OnRemoveSafeType();
        else if (pListBox->m_hWnd == m_patternList.m_hWnd)
            OnRemovePattern();
    }
    return CPropertyPage::OnVKeyToItem(nKey, pListBox, nIndex);
}

void SafeContentPage::OnAllowOnlySafe()
{
    UpdateData(TRUE);
    EnableSafeTypeControls(m_allowOnlySafe);
    UpdateRemoveTypeButton();
}

void SafeContentPage::OnDenyUnsafePatterns()
{
    UpdateData(TRUE);
    EnablePatternControls(m_denyUnsafePatterns);
    UpdateRemovePatternButton();
}

void SafeContentPage::OnAddPattern()
{
    UpdateData(TRUE);
    UINT refusal = CheckPattern(m_newPattern);
    if (refusal != 0) {
        // Kept in the edit, so that it can be corrected.
        AfxMessageBox(refusal);
        GotoDlgCtrl(GetDlgItem(IDC_NEW_PATTERN));
        return;
    }
    if (!m_newPattern.IsEmpty() && m_patternList.FindStringExact(-1, m_newPattern) == LB_ERR) {
        m_patternList.AddString(m_newPattern);
        UpdateRemovePatternButton();
        GotoDlgCtrl(GetDlgItem(IDC_NEW_PATTERN));
    }
    m_newPattern.Empty();
    UpdateData(FALSE);
}
