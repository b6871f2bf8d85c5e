// VeilgateExceptionDialog.h - the "Define Exception(s)" dialog.
//
//   ExceptionText             the entry text rules, over plain values
//   VeilgateExceptionDialog   the dialog: one batch of exceptions for the
//                             allowed or the denied list
//   ExceptionSocketCalls      the Windows Sockets calls of a host lookup
//
// An exception entry is one line of text, stored as it is:
//
//   base                 10.1.2.3, 10.1.0.0/16, a URL, or a looked-up address
//   base:port_           with the port box checked ("_" is one blank)
//   base pattern         with the pattern box checked
//   base:port_pattern    with both
//
// Looked-up addresses never carry a port or a pattern.
#pragma once

#include "afxwin.h"
#include "VeilgateApi.h"
#include "IpMaskEdit.h"
#include <winsock.h>

namespace ExceptionText
{
    // The entry for a host, network or URL: the port suffix ":%d " first,
    // then the pattern after one blank, unless the text already ends with
    // one. The pattern is taken as typed, also when it is empty.
    VG_API CString BuildEntry(const CString& base, BOOL bPort, int nPort, BOOL bPattern, const CString& pattern);

    // What a typed URL is refused for, checked from its first character:
    // letters, digits and . ? % # * ; = , - _ ~ pass; a "/" asks for the
    // plain form; anything else (a blank, a colon, non-ASCII) is refused.
    enum UrlCheck { UrlAccepted, UrlEmpty, UrlHasSlash, UrlBadCharacter };
    VG_API UrlCheck CheckUrl(const CString& url);
    // The message the dialog refuses a URL with; empty when it is accepted.
    VG_API CString UrlMessage(UrlCheck check);

    // The port field's range, both ends included.
    enum { LowestPort = 0, HighestPort = 65536 };
    // The port field's text read as the framework's data exchange reads it,
    // FALSE with the framework's own message when it would refuse it.
    VG_API BOOL ReadPort(const CString& text, int& nPort, CString& message);

    // The base of a host or network entry from the address field's text
    // (as typed or as shown): the address as the field gives it once left.
    // FALSE with "Not a valid IP!", or for a network with host bits set with
    // string 5090.
    VG_API BOOL HostBase(const CString& text, CString& base, CString& message);
    VG_API BOOL NetworkBase(const CString& text, CString& base, CString& message);

    // Reads a line as the parts the dialog builds an entry from (the base: a
    // host or looked-up address, a network, or a URL, each by the dialog's
    // rules for its type; an optional ":port"; an optional path pattern after
    // one blank) and gives the exact text the dialog would produce from them.
    // FALSE with the dialog's own message when the dialog would refuse it.
    //
    // The base ends at the first ":" or blank; a base of digits and dots is
    // an address, with a "/" a network, anything else a URL. A bare address
    // written as a lookup writes it (four numbers 0 to 255, no leading
    // zeros) is taken as looked up, unchecked; otherwise it is a host. As in
    // the dialog, a port is read before the base is checked.
    VG_API BOOL ParseEntry(const CString& line, CString& entry, CString& message);
    // Whether a line is one the dialog writes as it stands, told quickly, as
    // a list of thousands of entries is checked. FALSE does not mean it is
    // not: ParseEntry finds out the long way.
    VG_API BOOL IsWrittenAsTheDialogWrites(const CString& line);

    // Appends the non-empty pieces of a blank-separated text.
    VG_API void SplitAtBlanks(const CString& text, CStringArray& pieces);

    // An address in host byte order as dotted decimal, most significant byte first.
    VG_API CString DottedAddress(u_long address);
}

// The three Windows Sockets calls of a lookup. The dialog makes the real
// ones; a test may put its own in place to answer for a resolver.
struct ExceptionSocketCalls
{
    int (PASCAL* startup)(WORD wVersionRequested, LPWSADATA lpWSAData);
    struct hostent* (PASCAL* gethostbyname)(const char* name);
    int (PASCAL* cleanup)();
};
// NULL restores the real calls.
VG_API void VgSetExceptionSocketCalls(const ExceptionSocketCalls* pCalls);

/////////////////////////////////////////////////////////////////////////////
// VeilgateExceptionDialog
//
// The exceptions page runs it for one side and, after OK, adds m_entries to
// that side's list. The dialog only builds the entry texts; it does not
// look at the lists.

class VG_API VeilgateExceptionDialog : public CDialog
{
public:
    // The items of the type box, in order.
    enum { TypeLookup, TypeHost, TypeNetwork, TypeUrl };

    // denySide 0: allowed exceptions; 1: denied exceptions.
    VeilgateExceptionDialog(CWnd* pParent, int denySide);

    CString m_strLookupName;
    int m_nType;
    CString m_strResults;      // the addresses of the last lookup, blank-separated
    int m_bPattern;
    int m_bPort;
    CString m_strPattern;
    CString m_strUrl;
    CStringArray m_entries;    // the result after OK, in order
    IpMaskEdit m_editHost;
    IpMaskEdit m_editNetwork;
    int m_nPort;
    int m_bDenySide;

// Operations
    // Every address the name resolves to, in the order of the answer,
    // separated by single blanks; empty (after a message) when none.
    CString LookupHost(const CString& name);

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual BOOL OnInitDialog() override;
    virtual void OnOK() override;

    // The address field's text as it stands; Enter confirms without moving
    // the focus out of it, so the rewrite of focus loss may not have run.
    CString AddressText(const IpMaskEdit& edit) const;
    // Shows a refusal and puts the focus on the field concerned.
    void Refuse(LPCTSTR lpszMessage, int nIDFocus);

// Message map and handlers
    void OnSelchangeType();
    void OnLookup();
    void OnPortCheck();
    void OnPatternCheck();
    DECLARE_MESSAGE_MAP()
};
