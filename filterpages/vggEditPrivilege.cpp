#include "vggEditPrivilege.h"
#include "resource.h"
#include <vector>

IMPLEMENT_DYNCREATE(vggEditPrivilege, CPropertyPage)

namespace {

// Sorted list boxes repaint on every insertion and deletion; under Wine that
// makes even a few dozen moves visibly slow.
class RedrawOff
{
public:
    RedrawOff(CListBox& a, CListBox& b) : m_a(a), m_b(b)
    {
        m_a.SetRedraw(FALSE);
        m_b.SetRedraw(FALSE);
    }
    ~RedrawOff()
    {
        m_a.SetRedraw(TRUE);
        m_b.SetRedraw(TRUE);
        m_a.Invalidate();
        m_b.Invalidate();
    }
private:
    CListBox& m_a;
    CListBox& m_b;
};

} // namespace

BEGIN_MESSAGE_MAP(vggEditPrivilege, CPropertyPage)
    ON_BN_CLICKED(IDC_BLOCK_ALL, UpdateCategoryControls)
    ON_BN_CLICKED(IDC_DENY_SELECTED, OnDenySelected)
    ON_BN_CLICKED(IDC_DENY_ALL, OnDenyAll)
    ON_BN_CLICKED(IDC_ALLOW_ALL, OnAllowAll)
    ON_BN_CLICKED(IDC_ALLOW_SELECTED, OnAllowSelected)
END_MESSAGE_MAP()

vggEditPrivilege::vggEditPrivilege(int operational)
    : CPropertyPage(IDD_VG_PRIVILEGES, operational ? IDS_OPERATIONAL_PRIVILEGES : IDS_NONOPERATIONAL_PRIVILEGES),
      m_mask('0', VgSettings::CategoryCount), m_blockAll(0)
{
}

void vggEditPrivilege::FillCategoryLists(const CString& mask)
{
    {
        RedrawOff quiet(m_allowedList, m_deniedList);
        m_allowedList.ResetContent();
        m_deniedList.ResetContent();
        for (int pos = 0; pos < VgSettings::CategoryCount; ++pos) {
            bool denied = pos < mask.GetLength() && mask[pos] == '1';
            (denied ? m_deniedList : m_allowedList).AddString(VgSettings::CategoryName(VgSettings::CategoryPosition(pos)));
        }
    }
    UpdateCategoryControls();
}

CString vggEditPrivilege::BuildCategoryMask() const
{
    CString mask('0', VgSettings::CategoryCount);
    CString text;
    for (int i = 0; i < m_deniedList.GetCount(); ++i) {
        m_deniedList.GetText(i, text);
        for (int k = 0; k < VgSettings::CategoryCount; ++k)
            if (text == VgSettings::CategoryName(k))
                mask.SetAt(VgSettings::CategoryPosition(k), '1');
    }
    return mask;
}

void vggEditPrivilege::UpdateCategoryControls()
{
    static const int categoryControls[] = {
        IDC_BLOCK_GROUP, IDC_ALLOWED_LIST, IDC_DENIED_LIST, IDC_ALLOWED_LABEL, IDC_DENIED_LABEL,
        IDC_DENY_SELECTED, IDC_ALLOW_SELECTED, IDC_DENY_ALL, IDC_ALLOW_ALL,
    };
    BOOL bEnable = IsDlgButtonChecked(IDC_BLOCK_ALL) != BST_CHECKED;
    for (int id : categoryControls)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), bEnable);
}

void vggEditPrivilege::MoveSelected(CListBox& source, CListBox& destination)
{
    int nSelected = source.GetSelCount();
    if (nSelected <= 0)
        return;
    std::vector<int> selected(nSelected);
    nSelected = source.GetSelItems(nSelected, selected.data());

    RedrawOff quiet(source, destination);
    CString text;
    for (int i = 0; i < nSelected; ++i) {
        source.GetText(selected[i], text);
        destination.AddString(text);
    }
    // Indices ascend, and each deletion shifts the later entries up by one.
    for (int i = 0; i < nSelected; ++i)
        source.DeleteString(selected[i] - i);
}

void vggEditPrivilege::MoveAll(CListBox& source, CListBox& destination)
{
    RedrawOff quiet(source, destination);
    CString text;
    while (source.GetCount() > 0) {
        source.GetText(0, text);
        source.DeleteString(0);
        destination.AddString(text);
    }
    source.ResetContent();
}

void vggEditPrivilege::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_BLOCK_ALL, m_blockAll);
    DDX_Control(pDX, IDC_ALLOWED_LIST, m_allowedList);
    DDX_Control(pDX, IDC_DENIED_LIST, m_deniedList);
    if (pDX->m_bSaveAndValidate)
        m_mask = BuildCategoryMask();
    else
        FillCategoryLists(m_mask);
    UpdateCategoryControls();
}

void vggEditPrivilege::OnDenySelected() { MoveSelected(m_allowedList, m_deniedList); }
void vggEditPrivilege::OnDenyAll() { MoveAll(m_allowedList, m_deniedList); }
void vggEditPrivilege::OnAllowAll() { MoveAll(m_deniedList, m_allowedList); }
void vggEditPrivilege::OnAllowSelected() { MoveSelected(m_deniedList, m_allowedList); }
