#include "VeilgateExceptionDialog.h"
#include "AddressMath.h"
#include "resource.h"
#include <string.h>

/////////////////////////////////////////////////////////////////////////////
// ExceptionText

CString ExceptionText::BuildEntry(const CString& base, BOOL bPort, int nPort, BOOL bPattern, const CString& pattern)
{
    CString entry = base;
    if (bPort) {
        CString suffix;
        suffix.Format(":%d ", nPort);
        entry += suffix;
    }
    if (bPattern) {
        if (entry.IsEmpty() || entry[entry.GetLength() - 1] != ' ')
            entry += ' ';
        entry += pattern;
    }
    return entry;
}

ExceptionText::UrlCheck ExceptionText::CheckUrl(const CString& url)
{
    if (url.IsEmpty())
        return UrlEmpty;
    for (int i = 0; i < url.GetLength(); ++i) {
        unsigned char ch = (unsigned char)url[i];
        if (ch == '/')
            return UrlHasSlash;
        bool letterOrDigit = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
        if (!letterOrDigit && strchr(".?%#*;=,-_~", ch) == NULL)
            return UrlBadCharacter;
    }
    return UrlAccepted;
}

void ExceptionText::SplitAtBlanks(const CString& text, CStringArray& pieces)
{
    int start = 0;
    while (start < text.GetLength()) {
        int blank = text.Find(' ', start);
        int end = blank < 0 ? text.GetLength() : blank;
        if (end > start)
            pieces.Add(text.Mid(start, end - start));
        start = end + 1;
    }
}

CString ExceptionText::DottedAddress(u_long address)
{
    CString text;
    text.Format("%lu.%lu.%lu.%lu", (address >> 24) & 0xFF, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                address & 0xFF);
    return text;
}

/////////////////////////////////////////////////////////////////////////////
// Windows Sockets

static const ExceptionSocketCalls s_realCalls = { &WSAStartup, &gethostbyname, &WSACleanup };
static const ExceptionSocketCalls* s_pCalls = &s_realCalls;

void VgSetExceptionSocketCalls(const ExceptionSocketCalls* pCalls)
{
    s_pCalls = pCalls != NULL ? pCalls : &s_realCalls;
}

/////////////////////////////////////////////////////////////////////////////
// VeilgateExceptionDialog

namespace {

const unsigned kLookup = 1u << VeilgateExceptionDialog::TypeLookup;
const unsigned kHost = 1u << VeilgateExceptionDialog::TypeHost;
const unsigned kNetwork = 1u << VeilgateExceptionDialog::TypeNetwork;
const unsigned kUrl = 1u << VeilgateExceptionDialog::TypeUrl;

// The types for which each control is shown; it is hidden for the others.
const struct { int nID; unsigned types; } kShownFor[] = {
    { IDC_HOST_LABEL, kHost },
    { IDC_HOST_ADDRESS, kHost },
    { IDC_NETWORK_LABEL, kNetwork },
    { IDC_NETWORK_ADDRESS, kNetwork },
    { IDC_LOOKUP_LABEL, kLookup },
    { IDC_LOOKUP_NAME, kLookup },
    { IDC_LOOKUP, kLookup },
    { IDC_URL_LABEL, kUrl },
    { IDC_URL, kUrl },
    { IDC_EX_PORT_CHECK, kHost | kNetwork | kUrl },
    { IDC_EX_PORT_LABEL, kHost | kNetwork | kUrl },
    { IDC_EX_PORT, kHost | kNetwork | kUrl },
    { IDC_EX_PATTERN_CHECK, kHost | kNetwork | kUrl },
    { IDC_EX_PATTERN_LABEL, kHost | kNetwork | kUrl },
    { IDC_EX_PATTERN, kHost | kNetwork | kUrl },
    { IDC_RESULTS_LABEL, kLookup },
    { IDC_RESULTS, kLookup },
};

} // namespace

BEGIN_MESSAGE_MAP(VeilgateExceptionDialog, CDialog)
    ON_CBN_SELCHANGE(IDC_TYPE, OnSelchangeType)
    ON_BN_CLICKED(IDC_LOOKUP, OnLookup)
    ON_BN_CLICKED(IDC_EX_PORT_CHECK, OnPortCheck)
    ON_BN_CLICKED(IDC_EX_PATTERN_CHECK, OnPatternCheck)
END_MESSAGE_MAP()

VeilgateExceptionDialog::VeilgateExceptionDialog(CWnd* pParent, int denySide)
    : CDialog(IDD_VG_EXCEPTION, pParent),
      m_nType(TypeLookup),
      m_bPattern(0),
      m_bPort(0),
      m_nPort(80),
      m_bDenySide(denySide)
{
}

void VeilgateExceptionDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_LOOKUP_NAME, m_strLookupName);
    DDX_CBIndex(pDX, IDC_TYPE, m_nType);
    DDX_Text(pDX, IDC_RESULTS, m_strResults);
    DDX_Check(pDX, IDC_EX_PATTERN_CHECK, m_bPattern);
    DDX_Check(pDX, IDC_EX_PORT_CHECK, m_bPort);
    DDX_Text(pDX, IDC_EX_PATTERN, m_strPattern);
    DDX_Text(pDX, IDC_URL, m_strUrl);
    DDX_Text(pDX, IDC_EX_PORT, m_nPort);
    DDV_MinMaxInt(pDX, m_nPort, 0, 65536);
}

BOOL VeilgateExceptionDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_editHost.AttachEdit(IDC_HOST_ADDRESS, this);
    m_editHost.SetMask(IpEdit::kPlainMask);
    m_editNetwork.AttachEdit(IDC_NETWORK_ADDRESS, this);
    m_editNetwork.SetMask(IpEdit::kNetworkMask);
    SendDlgItemMessage(IDC_EX_PORT, EM_LIMITTEXT, 5);

    if (m_bDenySide) {
        SetDlgItemText(IDC_EX_PATTERN_CHECK, "Block a specific &directory pattern:");
        SetDlgItemText(IDC_EX_PORT_CHECK, "&Block a specific port:");
    } else {
        SetDlgItemText(IDC_EX_PATTERN_CHECK, "Allow a specific &directory pattern:");
        SetDlgItemText(IDC_EX_PORT_CHECK, "&Allow a specific port:");
    }

    OnPatternCheck();
    OnPortCheck();
    OnSelchangeType();
    return TRUE;
}

void VeilgateExceptionDialog::OnPortCheck()
{
    UpdateData(TRUE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EX_PORT_LABEL), m_bPort != 0);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EX_PORT), m_bPort != 0);
}

void VeilgateExceptionDialog::OnPatternCheck()
{
    UpdateData(TRUE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EX_PATTERN_LABEL), m_bPattern != 0);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EX_PATTERN), m_bPattern != 0);
}

void VeilgateExceptionDialog::OnSelchangeType()
{
    UpdateData(TRUE);
    unsigned type = (m_nType >= TypeLookup && m_nType <= TypeUrl) ? 1u << m_nType : 0;
    for (const auto& control : kShownFor)
        ::ShowWindow(::GetDlgItem(m_hWnd, control.nID), (control.types & type) ? SW_SHOW : SW_HIDE);
}

void VeilgateExceptionDialog::OnLookup()
{
    CString name;
    GetDlgItemText(IDC_LOOKUP_NAME, name);
    if (name.IsEmpty()) {
        AfxMessageBox("You must enter an URL.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_strResults = LookupHost(name);
    // Only the results: a full exchange into the controls would put back
    // the values of the last exchange over what has been typed since.
    SetDlgItemText(IDC_RESULTS, m_strResults);
}

CString VeilgateExceptionDialog::LookupHost(const CString& name)
{
    CWaitCursor wait;
    CString result;
    WSADATA wsaData;
    if (s_pCalls->startup(MAKEWORD(1, 1), &wsaData) != 0) {
        AfxMessageBox("Uh-oh!", MB_OK);
        return result;
    }
    struct hostent* pHost = s_pCalls->gethostbyname(name);
    if (pHost != NULL && pHost->h_addr_list != NULL) {
        for (char** ppAddress = pHost->h_addr_list; *ppAddress != NULL; ++ppAddress) {
            u_long address;
            memcpy(&address, *ppAddress, sizeof address);
            if (!result.IsEmpty())
                result += ' ';
            result += ExceptionText::DottedAddress(ntohl(address));
        }
    }
    s_pCalls->cleanup();
    if (result.IsEmpty())
        AfxMessageBox("The URL entered is invalid.", MB_OK | MB_ICONEXCLAMATION);
    return result;
}

CString VeilgateExceptionDialog::ConfirmedAddress(IpMaskEdit& edit)
{
    edit.NormalizeShownAddress();
    CString text;
    edit.GetAddressText(text);
    return text;
}

void VeilgateExceptionDialog::Refuse(LPCTSTR lpszMessage, int nIDFocus)
{
    AfxMessageBox(lpszMessage, MB_OK);
    ::SetFocus(::GetDlgItem(m_hWnd, nIDFocus));
}

void VeilgateExceptionDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;

    switch (m_nType) {
    case TypeLookup:
        ExceptionText::SplitAtBlanks(m_strResults, m_entries);
        break;

    case TypeHost:
        if (!m_editHost.IsValidAddress()) {
            Refuse("Not a valid IP!", IDC_HOST_ADDRESS);
            return;
        }
        m_entries.Add(ExceptionText::BuildEntry(ConfirmedAddress(m_editHost), m_bPort, m_nPort, m_bPattern,
                                                m_strPattern));
        break;

    case TypeNetwork: {
        if (!m_editNetwork.IsValidAddress()) {
            Refuse("Not a valid IP!", IDC_NETWORK_ADDRESS);
            return;
        }
        CString network = ConfirmedAddress(m_editNetwork);
        AddressMath math;
        if (!math.IsNetworkAddress(network)) {
            CString message;
            message.LoadString(IDS_INVALID_NETWORK);
            Refuse(message, IDC_NETWORK_ADDRESS);
            return;
        }
        m_entries.Add(ExceptionText::BuildEntry(network, m_bPort, m_nPort, m_bPattern, m_strPattern));
        break;
    }

    case TypeUrl:
        switch (ExceptionText::CheckUrl(m_strUrl)) {
        case ExceptionText::UrlEmpty:
            Refuse("You must enter an URL!", IDC_URL);
            return;
        case ExceptionText::UrlHasSlash:
            Refuse("Please enter URL in the form 'www.example.com' ", IDC_URL);
            return;
        case ExceptionText::UrlBadCharacter:
            Refuse("You entered invalid character for the URL!", IDC_URL);
            return;
        case ExceptionText::UrlAccepted:
            break;
        }
        m_entries.Add(ExceptionText::BuildEntry(m_strUrl, m_bPort, m_nPort, m_bPattern, m_strPattern));
        break;
    }

    CDialog::OnOK();
}
