// ProxySettingsPage: the sheet's "Settings" page. It edits the proxy's own
// switches, the idle time-out and the upstream caching proxy of one service,
// reading and writing the service's "proxy_http" section through a handle
// of its own (not through the editor object's copy).
#pragma once

#include "afxdlgs.h"
#include "afxcmn.h"
#include "quolla.h"
#include "IpMaskEdit.h"
#include "VeilgateApi.h"

class VG_API ProxySettingsPage : public CPropertyPage
{
public:
    // Opens the service's "proxy_http" section; without one the page shows
    // the defaults and writes nothing.
    ProxySettingsPage(Beach* document, CString serviceName);
    virtual ~ProxySettingsPage();

    CSpinButtonCtrl m_idleSpin;
    int m_denySubmissions;
    int m_logAccess;
    int m_removeClientInfo;
    int m_removeCookies;
    int m_removeUnknownHeaders;
    CString m_proxyPort;
    int m_useCachingProxy;
    int m_denyJava;
    int m_idleTimeout;          // seconds
    int m_denyActiveX;
    int m_requireContentType;
    Beach* m_document;
    Quolla* m_section;          // NULL once released, or when the service has no such section
    IpMaskEdit m_proxyAddressEdit;
    SECMaskEdit m_proxyPortEdit;

// The rules of "proxy_server", over plain values
    // "10.0.0.1:8080" splits at its first colon; a text without a colon is
    // all port.
    static void SplitProxyServer(const CString& text, CString& address, CString& port);
    // The check made before anything is written: 0 when the entry may be
    // stored, else the message to show. With the caching proxy in use the
    // port loses its surrounding blanks and must not end up empty, and the
    // address must be valid; the port's number (atoi) may not exceed 65536,
    // whether or not the caching proxy is used.
    static UINT CheckProxyServer(BOOL bUseCachingProxy, BOOL bAddressValid, CString& port);
    // The same check of a stored "proxy_server", as the page would make it
    // at OK after loading the text into its fields; 0 for the empty text.
    static UINT CheckStoredProxyServer(const CString& text);
    // The stored text: "address:port" with the port's number, or "" when no
    // caching proxy is used.
    static CString FormatProxyServer(BOOL bUseCachingProxy, const CString& address, const CString& port);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Writes the section; OnApply has checked the entry.
    void OnOK() override;
    // FALSE (the sheet stays open, on this page) when the entry is refused.
    BOOL OnApply() override;
    BOOL Refuse(UINT nIDPrompt, CWnd* pFocus);

// Message map and handlers
    // Enables the address and port fields exactly when the caching proxy is used.
    void UpdateCachingControls();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
