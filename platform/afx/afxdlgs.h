// afxdlgs.h - property pages and property sheets.
//
//   CPropertyPage, CPropertySheet
//
// The page translates the sheet's PSN_* notifications once into the
// overridables below; pages never touch the raw protocol.
#pragma once

#include "afxwin.h"
#include <prsht.h>

class CPropertySheet;

class AFX_CORE_API CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    virtual ~CPropertyPage();

    PROPSHEETPAGEA m_psp;

    void SetModified(BOOL bChanged = TRUE);
    CPropertySheet* GetSheet() const { return m_pSheet; }

// Overridables
    virtual BOOL OnSetActive();     // TRUE = accept activation
    virtual BOOL OnKillActive();    // FALSE = keep this page (data exchange failed)
    virtual BOOL OnApply();         // FALSE = refuse and stay on this page
    virtual void OnOK();            // after OnKillActive on confirmation
    virtual void OnCancel();
    virtual void OnReset();         // sheet cancelled
    virtual BOOL OnQueryCancel();   // TRUE = cancelling allowed

protected:
    void CommonConstruct(UINT nIDTemplate, UINT nIDCaption);
    // The page title, for pages that set their tab caption in code.
    void SetTitle(LPCTSTR lpszTitle);
    CString m_strCaption;
    BOOL m_bFirstSetActive = TRUE;
    CPropertySheet* m_pSheet = NULL;

    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Gives the focus to this page when it sits on a hidden window of the sheet.
    void TakeFocusFromHiddenPage();
    static INT_PTR CALLBACK AfxPageDlgProc(HWND, UINT, WPARAM, LPARAM);
    friend class CPropertySheet;
    DECLARE_MESSAGE_MAP()
};

class AFX_CORE_API CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
    virtual ~CPropertySheet();

    PROPSHEETHEADERA m_psh;

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    int GetPageCount() const { return m_pages.GetCount(); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
    HWND GetTabControl() const { return (HWND)::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0); }
    // Stacked (multi-row) tabs are the default; call with FALSE before DoModal
    // to keep the tabs in one scrolling row.
    void EnableStackedTabs(BOOL bStacked) { m_bStacked = bStacked; }
    void PressButton(int nButton) { SendMessage(PSM_PRESSBUTTON, nButton); }

    virtual INT_PTR DoModal();
    void EndDialog(int nEndID);

    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    void BuildPropPageArray();
    static int CALLBACK AfxPropSheetCallback(HWND hWnd, UINT message, LPARAM lParam);

    CPtrList m_pages;
    CString m_strCaption;
    CWnd* m_pParentWnd = NULL;
    BOOL m_bStacked = TRUE;
    int m_nModalResult = IDCANCEL;
    PROPSHEETPAGEA* m_pPageArray = NULL;
    DECLARE_MESSAGE_MAP()
};
