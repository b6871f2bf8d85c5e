#include "MimeTypeSelectDlg.h"
#include "NewMimeTypeDlg.h"
#include "resource.h"
#include <algorithm>
#include <string>
#include <utility>
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
    // Catalogues run to thousands of lines. Inserted one by one, a sorted
    // list box searches for every row's place, comparing texts through the
    // locale each time; ordered once by the locale's sort keys (the same
    // order) the rows are simply appended.
    std::vector<std::pair<std::string, int>> order;
    order.reserve(m_catalogue.GetSize());
    UINT textBytes = 0;
    for (int i = 0; i < m_catalogue.GetSize(); ++i) {
        LPCTSTR type = m_catalogue[i].m_type;
        const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
        std::string key(::LCMapStringA(LOCALE_USER_DEFAULT, flags, type, -1, NULL, 0), '\0');
        ::LCMapStringA(LOCALE_USER_DEFAULT, flags, type, -1, &key[0], (int)key.size());
        order.emplace_back(std::move(key), i);
        textBytes += m_catalogue[i].m_type.GetLength() + 1;
    }
    std::stable_sort(order.begin(), order.end());

    m_typeList.SetRedraw(FALSE);
    m_typeList.ResetContent();
    m_typeList.InitStorage((int)order.size(), textBytes);
    for (const auto& row : order)
        m_typeList.InsertString(-1, m_catalogue[row.second].m_type);
    m_typeList.SetRedraw(TRUE);
    m_typeList.Invalidate();
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
