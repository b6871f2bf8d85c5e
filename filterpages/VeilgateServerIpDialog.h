// VeilgateServerIpDialog: address and port of one filter server. The
// controls page opens it empty to add a server and preset to edit one, and
// reads m_strAddress and m_nPort after OK. It checks the address; the port
// takes any number, and duplicates are the page's business.
#pragma once

#include "afxwin.h"
#include "VeilgateApi.h"
#include "IpMaskEdit.h"

class VG_API VeilgateServerIpDialog : public CDialog
{
public:
    explicit VeilgateServerIpDialog(CWnd* pParent = NULL);

    int m_nType;               // index of the type chosen; 0 = "Server IP Address"
    IpMaskEdit m_editAddress;
    CString m_strAddress;      // dotted, without blanks: 192.168.1.5
    int m_nPort;

    // Why OK refuses an address preset so (SetAddress of the address
    // field): 0 when it is taken, else the message.
    static UINT CheckAddress(const CString& address);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

// Message map and handlers
    void OnSelchangeType();
    DECLARE_MESSAGE_MAP()
};
