#include "NewMimeTypeDlg.h"
#include "MimeCatalogue.h"
#include "resource.h"

UINT CheckNewMimeType(const CString& type, const CString& description)
{
    if (type.IsEmpty())
        return IDS_ENTER_MIME_TYPE;
    if (type.Find(' ') >= 0)
        return IDS_NO_SPACES;
    // A tab or a line break would split the catalogue line, and the page
    // reads everything after a number sign in its stored list as a remark.
    if (type.FindOneOf("\t\r\n#") >= 0)
        return IDS_MIME_TYPE_CHARACTERS;
    if (description.FindOneOf("\t\r\n") >= 0)
        return IDS_MIME_DESCRIPTION_CHARACTERS;
    return 0;
}

NewMimeTypeDlg::NewMimeTypeDlg(CWnd* pParent, const CString& catalogueDir)
    : CDialog(IDD_NEW_MIME_TYPE, pParent), m_catalogueDir(catalogueDir)
{
}

void NewMimeTypeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_MIME_DESCRIPTION, m_newDescription);
    DDX_Text(pDX, IDC_MIME_TYPE, m_newType);
}

void NewMimeTypeDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    UINT refusal = CheckNewMimeType(m_newType, m_newDescription);
    if (refusal != 0) {
        AfxMessageBox(refusal);
        GotoDlgCtrl(GetDlgItem(refusal == IDS_MIME_DESCRIPTION_CHARACTERS ? IDC_MIME_DESCRIPTION : IDC_MIME_TYPE));
        return;
    }
    if (!AppendUserMimeType(m_catalogueDir, m_newType, m_newDescription)) {
        CString message;
        AfxFormatString1(message, IDS_MIME_CATALOGUE_UNWRITABLE, UserMimeCataloguePath(m_catalogueDir));
        AfxMessageBox(message);
        GotoDlgCtrl(GetDlgItem(IDC_MIME_TYPE));
        return;
    }
    EndDialog(IDOK);
}
