// SafeContentPage: the "Safe Content" page. Edits the safe content types
// (picked from the MIME type catalogue) with the switch that allows only
// them, and the unsafe path patterns with the switch that denies them. It
// reads and writes its four keys of the service's "proxy_http" section
// through its own section handle.
#pragma once

#include "afxdlgs.h"
#include "quolla.h"
#include "VeilgateApi.h"

// The entries of a stored list: split at any run of separator characters;
// each entry loses its leading white space and everything from a number
// sign on (a remark); entries left empty are dropped.
VG_API void ParseListText(LPCTSTR text, LPCTSTR separators, CStringArray& entries);

// Why a typed path pattern cannot be stored: 0 when it can, else the string
// of the message that says why.
VG_API UINT CheckPattern(const CString& pattern);

class VG_API SafeContentPage : public CPropertyPage
{
public:
    SafeContentPage(Beach* document, const CString& serviceName, const CString& catalogueDir);
    ~SafeContentPage() override;

    CString m_catalogueDir;
    CListBox m_safeTypesList;
    CButton m_removeTypeButton;
    CButton m_addTypeButton;
    int m_allowOnlySafe;
    int m_denyUnsafePatterns;
    CString m_newPattern;
    CListBox m_patternList;
    Beach* m_document;
    Quolla* m_section;

// Operations
    void FillListFromText(LPCTSTR text, CListBox& list, LPCTSTR separators);
    CString JoinListText(const CListBox& list, LPCTSTR separator) const;
    void EnableSafeTypeControls(BOOL bEnable);
    void EnablePatternControls(BOOL bEnable);
    void UpdateRemoveTypeButton();
    void UpdateRemovePatternButton();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

// Message map and handlers
    void OnAddSafeType();
    void OnRemoveSafeType();
    int OnVKeyToItem(UINT nKey, CListBox* pListBox, UINT nIndex);
    void OnAllowOnlySafe();
    void OnDestroy();
    void OnAddPattern();
    void OnRemovePattern();
    void OnDenyUnsafePatterns();
    DECLARE_MESSAGE_MAP()

private:
    // Deletes the selected row and selects the row that takes its place.
    static void RemoveSelectedRow(CListBox& list);
    void ReleaseSection();
};
