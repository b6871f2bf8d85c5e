// VeilgateExPage: the exceptions page. It lists the editor's allowed and
// denied exceptions in two sorted list boxes, adds entries made by the
// exception definition dialog (never one that either list already holds)
// and removes single entries. The editor's lists change only through the
// data exchange: when the page is left or the sheet confirmed on it.
#pragma once

#include "afxdlgs.h"
#include "VeilgateApi.h"

class VG_API VeilgateExPage : public CPropertyPage
{
public:
    // The editor's two lists, edited in place.
    VeilgateExPage(CStringList* pAllowed, CStringList* pDenied);

    CStringList* m_pAllowed;
    CStringList* m_pDenied;
    CListBox m_allowedList;
    CListBox m_deniedList;

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual BOOL OnInitDialog() override;

    // Runs the definition dialog for one side (0 allowed, 1 denied) and adds
    // its entries to that side's list box, reporting those already there
    // and those of the other side.
    void AddExceptions(int denySide);
    void RemoveSelected(CListBox& list, LPCTSTR lpszNoSelection);

// Message map and handlers
    void OnAddAllowed();
    void OnAddDenied();
    void OnRemoveAllowed();
    void OnRemoveDenied();
    DECLARE_MESSAGE_MAP()
};
