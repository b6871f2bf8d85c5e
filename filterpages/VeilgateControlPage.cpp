#include "VeilgateControlPage.h"
#include "VeilgateServerIpDialog.h"
#include "VeilgateSettings.h"
#include "resource.h"
#include <stdlib.h>
#include <vector>

BEGIN_MESSAGE_MAP(VeilgateControlPage, CPropertyPage)
    ON_BN_CLICKED(IDC_ADD_SERVER, OnAddServer)
    ON_BN_CLICKED(IDC_REMOVE_SERVER, OnRemoveServer)
    ON_BN_CLICKED(IDC_ACTIVATE, OnActivate)
    ON_BN_CLICKED(IDC_UP, OnMoveServerUp)
    ON_BN_CLICKED(IDC_DOWN, OnMoveServerDown)
    ON_BN_CLICKED(IDC_EDIT_SERVER, OnEditServer)
    ON_NOTIFY(NM_CLICK, IDC_SERVER_LIST, UpdateButtons)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_SERVER_LIST, OnServerItemChanged)
END_MESSAGE_MAP()

namespace {

enum { ColumnAddress = 0, ColumnPort = 1 };

CString PortText(int nPort)
{
    CString text;
    text.Format("%d", nPort);
    return text;
}

void EnableItems(CWnd* pDlg, std::initializer_list<int> ids, BOOL bEnable)
{
    for (int id : ids)
        pDlg->GetDlgItem(id)->EnableWindow(bEnable);
}

} // namespace

VeilgateControlPage::VeilgateControlPage(CString* denyMessage, int* activate, int* bypass)
    : CPropertyPage(IDD_VG_CONTROLS), m_pDenyMsg(denyMessage), m_pActivate(activate), m_pBypass(bypass)
{
}

// "%02d" of nRow, written out: a check of many servers asks for one each.
CString VeilgateControlPage::ServerKey(int nRow)
{
    char digits[16];
    char* p = digits + sizeof digits;
    unsigned int n = nRow < 0 ? 0u - (unsigned int)nRow : (unsigned int)nRow;
    do {
        *--p = (char)('0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (nRow < 0)
        *--p = '-';
    else if (digits + sizeof digits - p < 2)
        *--p = '0';
    return CString(p, (int)(digits + sizeof digits - p));
}

int VeilgateControlPage::SelectionAfterRemoval(int nRemoved, int nRemaining)
{
    if (nRemaining <= 0)
        return -1;
    return nRemoved > 0 ? nRemoved - 1 : nRemaining - 1;
}

void VeilgateControlPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SERVER_LIST, m_listServers);
    DDX_Text(pDX, IDC_DENY_MESSAGE, *m_pDenyMsg);
    DDX_Check(pDX, IDC_ACTIVATE, *m_pActivate);
    DDX_Check(pDX, IDC_BYPASS, *m_pBypass);
}

BOOL VeilgateControlPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // Not left to the edit: Wine's default is 30000, Windows' 32,767.
    SendDlgItemMessage(IDC_DENY_MESSAGE, EM_LIMITTEXT, DenyMessageLimit);
    // The list stays enabled here whatever the flag; from the first click
    // on the check box on, it follows the check box like the buttons.
    EnableItems(this, { IDC_BYPASS, IDC_ADD_SERVER, IDC_REMOVE_SERVER, IDC_EDIT_SERVER }, *m_pActivate == 1);
    m_listServers.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_listServers.InsertColumn(ColumnAddress, "Server IP", LVCFMT_LEFT, 100);
    m_listServers.InsertColumn(ColumnPort, "Port", LVCFMT_LEFT, 100);
    FillServerList();
    UpdateButtons();
    return TRUE;
}

void VeilgateControlPage::FillServerList()
{
    const std::vector<const QuoVGServerIp*> servers = VgSettings::ServersInListOrder(m_serverMap.value);
    // Drawn once at the end: a list that redraws after each row takes
    // minutes over a hundred thousand.
    m_listServers.SetRedraw(FALSE);
    for (const QuoVGServerIp* pServer : servers)
        InsertRow(m_listServers.GetItemCount(), pServer->address, PortText(pServer->port));
    m_listServers.SetRedraw(TRUE);
}

void VeilgateControlPage::StoreServerList()
{
    m_serverMap.value.RemoveAll();
    for (int i = 0; i < m_listServers.GetItemCount(); ++i) {
        int nPort = atoi(m_listServers.GetItemText(i, ColumnPort));
        m_serverMap.value.SetAt(ServerKey(i), new QuoVGServerIp(m_listServers.GetItemText(i, ColumnAddress), nPort, i));
    }
}

void VeilgateControlPage::UpdateButtons(NMHDR*, LRESULT*)
{
    int nRow = SelectedRow();
    if (nRow < 0) {
        EnableItems(this, { IDC_UP, IDC_DOWN, IDC_EDIT_SERVER }, FALSE);
        return;
    }
    GetDlgItem(IDC_EDIT_SERVER)->EnableWindow(TRUE);
    GetDlgItem(IDC_UP)->EnableWindow(nRow != 0);
    GetDlgItem(IDC_DOWN)->EnableWindow(nRow != m_listServers.GetItemCount() - 1);
}

// The arrow keys, Home, End and the like move the selection without a
// click; only a change of a row's selection matters (rows also report their
// texts being set, a hundred thousand times when the list is filled).
void VeilgateControlPage::OnServerItemChanged(NMHDR* pNMHDR, LRESULT*)
{
    const NMLISTVIEW* pChange = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if ((pChange->uChanged & LVIF_STATE) && ((pChange->uNewState ^ pChange->uOldState) & LVIS_SELECTED))
        UpdateButtons();
}

void VeilgateControlPage::SelectRow(int nRow)
{
    m_listServers.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_listServers.EnsureVisible(nRow, FALSE);
}

void VeilgateControlPage::InsertRow(int nRow, LPCTSTR lpszAddress, LPCTSTR lpszPort)
{
    nRow = m_listServers.InsertItem(nRow, lpszAddress);
    m_listServers.SetItemText(nRow, ColumnPort, lpszPort);
}

void VeilgateControlPage::SwapRows(int nUpper)
{
    CString upperAddress = m_listServers.GetItemText(nUpper, ColumnAddress);
    CString upperPort = m_listServers.GetItemText(nUpper, ColumnPort);
    CString lowerAddress = m_listServers.GetItemText(nUpper + 1, ColumnAddress);
    CString lowerPort = m_listServers.GetItemText(nUpper + 1, ColumnPort);
    m_listServers.DeleteItem(nUpper + 1);
    m_listServers.DeleteItem(nUpper);
    InsertRow(nUpper, lowerAddress, lowerPort);
    InsertRow(nUpper + 1, upperAddress, upperPort);
}

void VeilgateControlPage::OnActivate()
{
    UpdateData(TRUE);
    BOOL bOn = *m_pActivate != 0;
    EnableItems(this, { IDC_ADD_SERVER, IDC_REMOVE_SERVER, IDC_SERVER_LIST, IDC_BYPASS, IDC_EDIT_SERVER }, bOn);
    if (bOn)
        UpdateButtons();
    else
        EnableItems(this, { IDC_UP, IDC_DOWN }, FALSE);
}

void VeilgateControlPage::OnAddServer()
{
    VeilgateServerIpDialog dlg;
    if (dlg.DoModal() != IDOK || dlg.m_nType != 0) {
        UpdateButtons();
        return;
    }
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = dlg.m_strAddress;
    if (m_listServers.FindItem(&find) >= 0) {
        CString message;
        message.Format(IDS_VG_SERVER_LISTED, (LPCTSTR)dlg.m_strAddress);
        AfxMessageBox(message, MB_OK);
        return;
    }
    InsertRow(m_listServers.GetItemCount(), dlg.m_strAddress, PortText(dlg.m_nPort));
    UpdateButtons();
}

void VeilgateControlPage::OnRemoveServer()
{
    int nRow = SelectedRow();
    if (nRow < 0)
        return;
    m_listServers.DeleteItem(nRow);
    int nSelect = SelectionAfterRemoval(nRow, m_listServers.GetItemCount());
    if (nSelect >= 0)
        SelectRow(nSelect);
    // After the selection, so that Edit, Up and Down serve the selected row.
    UpdateButtons();
}

void VeilgateControlPage::OnMoveServerUp()
{
    int nRow = SelectedRow();
    if (nRow <= 0)
        return;
    SwapRows(nRow - 1);
    SelectRow(nRow - 1);
    UpdateButtons();
}

void VeilgateControlPage::OnMoveServerDown()
{
    int nRow = SelectedRow();
    if (nRow < 0 || nRow >= m_listServers.GetItemCount() - 1)
        return;
    SwapRows(nRow);
    SelectRow(nRow + 1);
    UpdateButtons();
}

void VeilgateControlPage::OnEditServer()
{
    int nRow = SelectedRow();
    if (nRow < 0)
        return;
    VeilgateServerIpDialog dlg;
    dlg.m_strAddress = m_listServers.GetItemText(nRow, ColumnAddress);
    dlg.m_nPort = atoi(m_listServers.GetItemText(nRow, ColumnPort));
    if (dlg.DoModal() != IDOK)
        return;
    m_listServers.DeleteItem(nRow);
    InsertRow(nRow, dlg.m_strAddress, PortText(dlg.m_nPort));
    // The new row is not selected: Edit, Up and Down go with the selection.
    UpdateButtons();
}

UINT VeilgateControlPage::CheckActivation(int activate, int nServers)
{
    return activate != 0 && nServers == 0 ? IDS_VG_NO_SERVER : 0;
}

BOOL VeilgateControlPage::OnApply()
{
    StoreServerList();
    UINT refusal = CheckActivation(*m_pActivate, m_listServers.GetItemCount());
    if (refusal != 0) {
        // Confirmed from another page: show the page the message is about.
        CPropertySheet* pSheet = GetSheet();
        if (pSheet != NULL && pSheet->GetActivePage() != this)
            pSheet->SetActivePage(this);
        AfxMessageBox(refusal, MB_OK);
        GetDlgItem(IDC_ADD_SERVER)->SetFocus();
        return FALSE;
    }
    return CPropertyPage::OnApply();
}
