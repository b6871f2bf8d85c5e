// MimeTypeSelectDlg: "Select MIME Type". Shows the MIME type catalogue as a
// sorted list from which one or more types are chosen, with the type and
// description of the focus row below it; "New Type..." defines a type that
// the catalogue lacks. After OK, m_chosenTypes holds the chosen types in
// list order.
#pragma once

#include "afxwin.h"
#include "VeilgateApi.h"
#include "MimeCatalogue.h"

class VG_API MimeTypeSelectDlg : public CDialog
{
public:
    MimeTypeSelectDlg(CWnd* pParent, const CString& catalogueDir);

    MimeCatalogue m_catalogue;
    CString m_catalogueDir;
    CStringArray m_chosenTypes;
    CListBox m_typeList;
    CString m_detailType;
    CString m_detailDescription;

// Operations
    // The list from the catalogue, one row per entry, sorted by the list box.
    void FillTypeList();
    // The details of the focus row's type.
    void ShowDetails();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

// Message map and handlers
    void OnNewType();
    DECLARE_MESSAGE_MAP()
};
