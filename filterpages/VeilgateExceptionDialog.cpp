#include "VeilgateExceptionDialog.h"
#include "AddressMath.h"
#include "afxres.h"
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

CString ExceptionText::UrlMessage(UrlCheck check)
{
    switch (check) {
    case UrlEmpty:
        return "You must enter an URL!";
    case UrlHasSlash:
        return "Please enter URL in the form 'www.example.com' ";
    case UrlBadCharacter:
        return "You entered invalid character for the URL!";
    case UrlAccepted:
        break;
    }
    return CString();
}

BOOL ExceptionText::ReadPort(const CString& text, int& nPort, CString& message)
{
    message.Empty();
    int value;
    if (!AfxSimpleScanInt(text, value)) {
        message.LoadString(AFX_IDP_PARSE_INT);
        return FALSE;
    }
    if (value < LowestPort || value > HighestPort) {
        CString lowest, highest;
        lowest.Format("%d", (int)LowestPort);
        highest.Format("%d", (int)HighestPort);
        AfxFormatString2(message, AFX_IDP_PARSE_INT_RANGE, lowest, highest);
        return FALSE;
    }
    nPort = value;
    return TRUE;
}

namespace {

const char kNotAnAddress[] = "Not a valid IP!";

// The masks as CStrings made once: a list of addresses is read line by line.
const CString& PlainMask()
{
    static const CString mask(IpEdit::kPlainMask);
    return mask;
}

const CString& NetworkMask()
{
    static const CString mask(IpEdit::kNetworkMask);
    return mask;
}

// Digits and dots only, with at least one dot; with bSlash a "/" may stand too.
bool LooksLikeAddress(const CString& text, bool bSlash)
{
    if (text.Find('.') < 0)
        return false;
    for (int i = 0; i < text.GetLength(); ++i) {
        TCHAR ch = text[i];
        if (!(ch >= '0' && ch <= '9') && ch != '.' && !(bSlash && ch == '/'))
            return false;
    }
    return true;
}

// Written as a lookup writes an address: four numbers 0 to 255 without
// leading zeros, so looked-up entries come back as they were produced.
bool IsLookedUpForm(const CString& text)
{
    u_long address = 0;
    int nParts = 0;
    for (int start = 0; start <= text.GetLength() && nParts < 5; ++nParts) {
        int dot = text.Find('.', start);
        int end = dot < 0 ? text.GetLength() : dot;
        if (end == start || end - start > 3)
            return false;
        int value = atoi(text.Mid(start, end - start));
        if (value > 255)
            return false;
        address = (address << 8) | (u_long)value;
        start = end + 1;
    }
    return nParts == 4 && ExceptionText::DottedAddress(address) == text;
}

// Digits without a leading zero ("0" itself aside), at most nDigits of
// them, read as a number and stepped over; -1 for anything else.
int PlainNumber(LPCTSTR& p, int nDigits)
{
    if (*p < '0' || *p > '9' || (*p == '0' && p[1] >= '0' && p[1] <= '9'))
        return -1;
    int value = 0;
    for (int n = 0; *p >= '0' && *p <= '9'; ++n) {
        if (n == nDigits)
            return -1;
        value = value * 10 + (*p++ - '0');
    }
    return value;
}

// An address of [p, end) as the address field gives it back once left, so
// that HostBase, or with bNetwork NetworkBase, answers it with itself: four
// numbers in the field's ranges (the first 1 to 223, the others 0 to 255),
// with bNetwork a "/" and a prefix of 8 to 30, none with a leading zero,
// and for a network no host bits set.
bool IsShownAsWritten(LPCTSTR p, LPCTSTR end, bool bNetwork)
{
    u_long address = 0;
    for (int field = 0; field < 4; ++field) {
        if (field > 0 && (p == end || *p++ != '.'))
            return false;
        const int value = PlainNumber(p, 3);
        if (value < (field == 0 ? 1 : 0) || value > (field == 0 ? 223 : 255))
            return false;
        address = (address << 8) | (u_long)value;
    }
    if (bNetwork) {
        if (p == end || *p++ != '/')
            return false;
        const int prefix = PlainNumber(p, 2);
        if (prefix < 8 || prefix > 30 || (address & (0xFFFFFFFFu >> prefix)) != 0)
            return false;
    }
    return p == end;
}

} // namespace

// A base that needs no rewrite (an address as the field shows it, or an
// accepted URL), then the port the dialog writes as ":%d " or a blank, and
// anything after that blank as the pattern, found without taking the line
// apart into texts of their own.
BOOL ExceptionText::IsWrittenAsTheDialogWrites(const CString& line)
{
    LPCTSTR base = line, end = base;
    while (*end != '\0' && *end != ':' && *end != ' ')
        ++end;
    bool address = false, slash = false, other = false;
    for (LPCTSTR p = base; p < end; ++p) {
        address |= *p == '.';
        slash |= *p == '/';
        other |= !(*p >= '0' && *p <= '9') && *p != '.' && *p != '/';
    }
    if (address && !other) {
        if (!IsShownAsWritten(base, end, slash))
            return FALSE;
    } else if (ExceptionText::CheckUrl(end == base ? CString() : CString(base, (int)(end - base))) !=
               ExceptionText::UrlAccepted) {
        return FALSE;
    }
    if (*end == ':') {
        LPCTSTR port = end + 1;
        const int value = PlainNumber(port, 5);
        return value >= ExceptionText::LowestPort && value <= ExceptionText::HighestPort && *port == ' ';
    }
    return TRUE;
}

BOOL ExceptionText::HostBase(const CString& text, CString& base, CString& message)
{
    message.Empty();
    if (!IpEdit::IsValidAddress(PlainMask(), text)) {
        message = kNotAnAddress;
        return FALSE;
    }
    base = IpEdit::ConfirmedAddress(PlainMask(), text);
    return TRUE;
}

BOOL ExceptionText::NetworkBase(const CString& text, CString& base, CString& message)
{
    message.Empty();
    if (!IpEdit::IsValidAddress(NetworkMask(), text)) {
        message = kNotAnAddress;
        return FALSE;
    }
    CString network = IpEdit::ConfirmedAddress(NetworkMask(), text);
    AddressMath math;
    if (!math.IsNetworkAddress(network)) {
        message.LoadString(IDS_INVALID_NETWORK);
        return FALSE;
    }
    base = network;
    return TRUE;
}

BOOL ExceptionText::ParseEntry(const CString& line, CString& entry, CString& message)
{
    message.Empty();
    if (IsWrittenAsTheDialogWrites(line)) {
        entry = line;
        return TRUE;
    }
    int nBaseEnd = line.FindOneOf(": ");
    if (nBaseEnd < 0)
        nBaseEnd = line.GetLength();
    CString written = line.Left(nBaseEnd);
    CString rest = line.Mid(nBaseEnd);

    BOOL bPort = !rest.IsEmpty() && rest[0] == ':';
    int nPort = 0;
    if (bPort) {
        int nPortEnd = rest.Find(' ');
        if (nPortEnd < 0)
            nPortEnd = rest.GetLength();
        if (!ReadPort(rest.Mid(1, nPortEnd - 1), nPort, message))
            return FALSE;
        rest = rest.Mid(nPortEnd);
    }
    BOOL bPattern = !rest.IsEmpty();  // it begins with the blank
    CString pattern = bPattern ? rest.Mid(1) : CString();

    CString base;
    if (!LooksLikeAddress(written, true)) {
        message = UrlMessage(CheckUrl(written));
        if (!message.IsEmpty())
            return FALSE;
        base = written;
    } else if (written.Find('/') >= 0) {
        if (!NetworkBase(written, base, message))
            return FALSE;
    } else if (!bPort && !bPattern && IsLookedUpForm(written)) {
        base = written;
    } else if (!HostBase(written, base, message)) {
        return FALSE;
    }
    entry = BuildEntry(base, bPort, nPort, bPattern, pattern);
    return TRUE;
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
    DDV_MinMaxInt(pDX, m_nPort, ExceptionText::LowestPort, ExceptionText::HighestPort);
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

CString VeilgateExceptionDialog::AddressText(const IpMaskEdit& edit) const
{
    CString text;
    edit.GetWindowText(text);
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

    CString base, message;
    switch (m_nType) {
    case TypeLookup:
        ExceptionText::SplitAtBlanks(m_strResults, m_entries);
        break;

    case TypeHost:
        if (!ExceptionText::HostBase(AddressText(m_editHost), base, message)) {
            Refuse(message, IDC_HOST_ADDRESS);
            return;
        }
        m_entries.Add(ExceptionText::BuildEntry(base, m_bPort, m_nPort, m_bPattern, m_strPattern));
        break;

    case TypeNetwork:
        if (!ExceptionText::NetworkBase(AddressText(m_editNetwork), base, message)) {
            Refuse(message, IDC_NETWORK_ADDRESS);
            return;
        }
        m_entries.Add(ExceptionText::BuildEntry(base, m_bPort, m_nPort, m_bPattern, m_strPattern));
        break;

    case TypeUrl:
        message = ExceptionText::UrlMessage(ExceptionText::CheckUrl(m_strUrl));
        if (!message.IsEmpty()) {
            Refuse(message, IDC_URL);
            return;
        }
        m_entries.Add(ExceptionText::BuildEntry(m_strUrl, m_bPort, m_nPort, m_bPattern, m_strPattern));
        break;
    }

    CDialog::OnOK();
}
