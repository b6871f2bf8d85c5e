#include "VeilgateServerIpDialog.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(VeilgateServerIpDialog, CDialog)
    ON_CBN_SELCHANGE(IDC_TYPE, OnSelchangeType)
END_MESSAGE_MAP()

VeilgateServerIpDialog::VeilgateServerIpDialog(CWnd* pParent)
    : CDialog(IDD_VG_SERVER_IP, pParent), m_nType(0), m_nPort(5003)
{
}

UINT VeilgateServerIpDialog::CheckAddress(const CString& address)
{
    return IpEdit::IsValidAddress(IpEdit::kPlainMask, address) ? 0 : IDS_VG_INVALID_ADDRESS;
}

void VeilgateServerIpDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_TYPE, m_nType);
}

BOOL VeilgateServerIpDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    UpdateData(FALSE);
    m_editAddress.AttachEdit(IDC_SERVER_VALUE, this);
    m_editAddress.SetMask(IpEdit::kPlainMask);
    m_editAddress.SetAddress(m_strAddress);
    SetDlgItemInt(IDC_SERVER_PORT, m_nPort, TRUE);
    GetDlgItem(IDC_SERVER_VALUE)->ShowWindow(SW_SHOW);
    UpdateData(TRUE);
    return TRUE;
}

void VeilgateServerIpDialog::OnSelchangeType()
{
    UpdateData(TRUE);
    if (m_nType == 0) {
        GetDlgItem(IDC_SERVER_VALUE)->ShowWindow(SW_SHOW);
        m_editAddress.SetMask(IpEdit::kPlainMask);
    }
}

void VeilgateServerIpDialog::OnOK()
{
    UpdateData(TRUE);
    if (m_nType == 0) {
        if (!m_editAddress.IsValidAddress()) {
            GetDlgItem(IDC_SERVER_VALUE)->SetFocus();
            AfxMessageBox(IDS_VG_INVALID_ADDRESS, MB_OK);
            return;
        }
        // Enter confirms without the field losing the focus, which is when
        // the field drops leading zeros ("010" would read as octal to the
        // filter server): rewrite it here as leaving it would.
        m_editAddress.NormalizeShownAddress();
        m_editAddress.GetAddressText(m_strAddress);
        // 0 when empty or beyond a signed 32-bit number.
        m_nPort = (int)GetDlgItemInt(IDC_SERVER_PORT, NULL, TRUE);
    }
    CDialog::OnOK();
}
