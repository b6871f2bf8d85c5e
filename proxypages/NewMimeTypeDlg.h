// NewMimeTypeDlg: "New MIME Type". Defines a type that the catalogue lacks
// and adds it, with its description, to the user catalogue.
#pragma once

#include "afxwin.h"
#include "VeilgateApi.h"

// Why a new type cannot be stored as a catalogue line: 0 when it can,
// else the string of the message that says why.
VG_API UINT CheckNewMimeType(const CString& type, const CString& description);

class VG_API NewMimeTypeDlg : public CDialog
{
public:
    NewMimeTypeDlg(CWnd* pParent, const CString& catalogueDir);

    CString m_catalogueDir;
    CString m_newDescription;
    CString m_newType;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};
