#include "MimeTypeSelectDlg.h"
#include "NewMimeTypeDlg.h"
#include "SortedFill.h"
#include "resource.h"
#include <vector>

BEGIN_MESSAGE_MAP(MimeTypeSelectDlg, CDialog)
    ON_BN_CLICKED(IDC_NEW_MIME_TYPE, OnNewType)
    ON_LBN_DBLCLK(IDC_MIME_TYPE_LIST, OnOK)
    ON_LBN_SELCHANGE(IDC_MIME_TYPE_LIST, ShowDetails)
END_MESSAGE_MAP()

MimeTypeSelectDlg::MimeTypeSelectDlg(CWnd* pParent, const CString& catalogueDir)
    : CDialog(IDD_SELECT_MIME_TYPE, pParent), m_catalogueDir(catalogueDir)
{
}

void MimeTypeSelectDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MIME_TYPE_LIST, m_typeList);
    DDX_Text(pDX, IDC_MIME_TYPE, m_detailType);
    DDX_Text(pDX, IDC_MIME_DESCRIPTION, m_detailDescription);
}

BOOL MimeTypeSelectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadMimeCatalogue(m_catalogueDir, m_catalogue);
    FillTypeList();
    m_typeList.SetSel(0);
    m_typeList.SetCaretIndex(0);
    ShowDetails();
    return TRUE;
}

void MimeTypeSelectDlg::FillTypeList()
{
    // Catalogues run to thousands of lines: filled in order at once rather
    // than searched into place row by row.
    CStringArray types;
    types.SetSize(m_catalogue.GetSize());
    for (int i = 0; i < m_catalogue.GetSize(); ++i)
        types[i] = m_catalogue[i].m_type;
    m_typeList.ResetContent();
    FillSortedList(m_typeList, types);
}

void MimeTypeSelectDlg::ShowDetails()
{
    int focus = m_typeList.GetCaretIndex();
    if (focus < 0 || focus >= m_typeList.GetCount())
        return;
    CString type;
    m_typeList.GetText(focus, type);
    const MimeTypeEntry* entry = FindMimeType(m_catalogue, type);
    if (entry == NULL)
        return;
    m_detailType = entry->m_type;
    m_detailDescription = entry->m_description;
    UpdateData(FALSE);
}

void MimeTypeSelectDlg::OnNewType()
{
    NewMimeTypeDlg dlg(this, m_catalogueDir);
    if (dlg.DoModal() != IDOK)
        return;
    LoadMimeCatalogue(m_catalogueDir, m_catalogue);
    FillTypeList();
}

void MimeTypeSelectDlg::OnOK()
{
    int count = m_typeList.GetSelCount();
    if (count <= 0) {
        AfxMessageBox(IDS_MAKE_SELECTION);
        GotoDlgCtrl(&m_typeList);
        return;
    }
    std::vector<int> rows(count);
    count = m_typeList.GetSelItems(count, rows.data());
    CString type;
    for (int i = 0; i < count; ++i) {
        m_typeList.GetText(rows[i], type);
        m_chosenTypes.Add(type);
    }
    CDialog::OnOK();
}
