#include "ProxySettingsPage.h"
#include "resource.h"
#include <stdlib.h>

namespace {

// The switches and the time-out of "proxy_http", in the order they are read
// and written.
struct IntKey
{
    LPCTSTR key;
    int ProxySettingsPage::*member;
};

const IntKey kIntKeys[] = {
    { "remove_client_info", &ProxySettingsPage::m_removeClientInfo },
    { "remove_cookies", &ProxySettingsPage::m_removeCookies },
    { "javaapplets", &ProxySettingsPage::m_denyJava },
    { "activexapplets", &ProxySettingsPage::m_denyActiveX },
    { "deny_submissions", &ProxySettingsPage::m_denySubmissions },
    { "remove_unknown_headers", &ProxySettingsPage::m_removeUnknownHeaders },
    { "log_access", &ProxySettingsPage::m_logAccess },
    { "idle_timeout", &ProxySettingsPage::m_idleTimeout },
    { "require_content_type", &ProxySettingsPage::m_requireContentType },
};

const char kProxyServerKey[] = "proxy_server";
const char kPortMask[] = "######";

} // namespace

BEGIN_MESSAGE_MAP(ProxySettingsPage, CPropertyPage)
    ON_BN_CLICKED(IDC_USE_CACHING_PROXY, UpdateCachingControls)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

ProxySettingsPage::ProxySettingsPage(Beach* document, CString serviceName)
    : CPropertyPage(IDD_PROXY_SETTINGS),
      m_denySubmissions(0), m_logAccess(0), m_removeClientInfo(0), m_removeCookies(0),
      m_removeUnknownHeaders(0), m_useCachingProxy(0), m_denyJava(0), m_idleTimeout(600),
      m_denyActiveX(0), m_requireContentType(0), m_document(document), m_section(NULL)
{
    m_section = m_document->digQuolla("proxy_http", serviceName);
}

// A page that was never shown has no window, so OnDestroy never ran.
ProxySettingsPage::~ProxySettingsPage()
{
    if (m_section != NULL)
        m_document->tossQuolla(m_section);
}

void ProxySettingsPage::SplitProxyServer(const CString& text, CString& address, CString& port)
{
    int nColon = text.Find(':');
    address = nColon < 0 ? CString() : text.Left(nColon);
    port = text.Mid(nColon + 1);
}

UINT ProxySettingsPage::CheckProxyServer(BOOL bUseCachingProxy, BOOL bAddressValid, CString& port)
{
    if (bUseCachingProxy) {
        port.TrimLeft();
        port.TrimRight();
        if (!bAddressValid || port.IsEmpty())
            return IDS_PROXY_SERVER_INVALID;
    }
    if (atoi(port) > 65536)
        return IDS_PROXY_PORT_INVALID;
    return 0;
}

CString ProxySettingsPage::FormatProxyServer(BOOL bUseCachingProxy, const CString& address, const CString& port)
{
    CString text;
    if (bUseCachingProxy)
        text.Format("%s:%d", (LPCTSTR)address, atoi(port));
    return text;
}

void ProxySettingsPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_IDLE_TIMEOUT_SPIN, m_idleSpin);
    DDX_Check(pDX, IDC_DENY_SUBMISSIONS, m_denySubmissions);
    DDX_Check(pDX, IDC_LOG_ACCESS, m_logAccess);
    DDX_Check(pDX, IDC_REMOVE_CLIENT_INFO, m_removeClientInfo);
    DDX_Check(pDX, IDC_REMOVE_COOKIES, m_removeCookies);
    DDX_Check(pDX, IDC_REMOVE_UNKNOWN_HEADERS, m_removeUnknownHeaders);
    DDX_Text(pDX, IDC_PROXY_PORT, m_proxyPort);
    DDX_Check(pDX, IDC_USE_CACHING_PROXY, m_useCachingProxy);
    DDX_Check(pDX, IDC_DENY_JAVA, m_denyJava);
    DDX_Text(pDX, IDC_IDLE_TIMEOUT, m_idleTimeout);
    DDV_MinMaxInt(pDX, m_idleTimeout, 0, 1000);
    DDX_Check(pDX, IDC_DENY_ACTIVEX, m_denyActiveX);
    DDX_Check(pDX, IDC_REQUIRE_CONTENT_TYPE, m_requireContentType);
}

BOOL ProxySettingsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();

    // A key the section does not hold keeps its member's default.
    if (m_section != NULL) {
        for (const IntKey& k : kIntKeys) {
            QuoValOf<int> value;
            if (m_section->getProp(k.key, value))
                this->*k.member = value.value;
        }
    }

    m_proxyAddressEdit.AttachEdit(IDC_PROXY_ADDRESS, this);
    m_proxyAddressEdit.SetMask(IpEdit::kPlainMask);

    // The caching proxy is in use exactly when "proxy_server" holds a text.
    QuoValOf<CString> server;
    if (m_section != NULL && m_section->getProp(kProxyServerKey, server) && !server.value.IsEmpty()) {
        m_useCachingProxy = 1;
        CString address;
        SplitProxyServer(server.value, address, m_proxyPort);
        m_proxyAddressEdit.SetAddress(address);
    } else {
        m_useCachingProxy = 0;
    }

    m_idleSpin.SetRange(0, 1000);
    m_proxyPortEdit.AttachEdit(IDC_PROXY_PORT, this);
    m_proxyPortEdit.SetMask(kPortMask);

    UpdateData(FALSE);
    UpdateCachingControls();
    return TRUE;
}

void ProxySettingsPage::UpdateCachingControls()
{
    // Reads every control back (the time-out's range check included) for the
    // state of the check box; a refused time-out does not stop the update.
    UpdateData(TRUE);
    m_proxyAddressEdit.EnableWindow(m_useCachingProxy != 0);
    m_proxyPortEdit.EnableWindow(m_useCachingProxy != 0);
}

// The framework's OnApply cannot refuse through OnOK, so the checks come
// first, here: a refused entry writes nothing and keeps the sheet open on
// this page, whichever page was showing.
BOOL ProxySettingsPage::OnApply()
{
    if (!UpdateData(TRUE))
        return Refuse(0, NULL);  // the framework has said why and focused the field
    BOOL bAddressValid = m_proxyAddressEdit.IsValidAddress();
    // Enter confirms without the field losing the focus, which is when it
    // drops leading zeros ("010" reads as octal elsewhere): rewritten here
    // as leaving it would, before anything is stored.
    if (bAddressValid)
        m_proxyAddressEdit.NormalizeShownAddress();
    UINT nIDPrompt = CheckProxyServer(m_useCachingProxy, bAddressValid, m_proxyPort);
    if (nIDPrompt == IDS_PROXY_SERVER_INVALID && !bAddressValid)
        return Refuse(nIDPrompt, &m_proxyAddressEdit);
    if (nIDPrompt != 0) {
        // A disabled port field cannot take the focus; the switch that enables it does.
        CWnd* pFocus = m_proxyPortEdit.IsWindowEnabled() ? &m_proxyPortEdit : GetDlgItem(IDC_USE_CACHING_PROXY);
        return Refuse(nIDPrompt, pFocus);
    }
    return CPropertyPage::OnApply();  // OnOK
}

BOOL ProxySettingsPage::Refuse(UINT nIDPrompt, CWnd* pFocus)
{
    CPropertySheet* pSheet = GetSheet();
    if (pSheet != NULL && pSheet->GetActivePage() != this)
        pSheet->SetActivePage(this);
    if (nIDPrompt != 0)
        AfxMessageBox(nIDPrompt);
    if (pFocus != NULL)
        GotoDlgCtrl(pFocus);
    return FALSE;
}

void ProxySettingsPage::OnOK()
{
    // Without a section there is nothing to write to, and none is created.
    if (m_section != NULL) {
        for (const IntKey& k : kIntKeys)
            m_section->setProp(k.key, QuoValOf<int>(this->*k.member));
        CString address;
        m_proxyAddressEdit.GetAddressText(address);
        m_section->setProp(kProxyServerKey,
                           QuoValOf<CString>(FormatProxyServer(m_useCachingProxy, address, m_proxyPort)));
    }
    CPropertyPage::OnOK();
}

void ProxySettingsPage::OnDestroy()
{
    CPropertyPage::OnDestroy();
    if (m_section != NULL)
        m_document->tossQuolla(m_section);
}
