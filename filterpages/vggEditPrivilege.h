// vggEditPrivilege: the category privileges page. The sheet holds two of
// them, one for operational and one for non-operational hours; each edits a
// category mask and a block-all flag that the editor object hands in before
// the sheet opens and reads back after OK.
#pragma once

#include "afxdlgs.h"
#include "VeilgateApi.h"
#include "TipListBox.h"
#include "VeilgateSettings.h"

class VG_API vggEditPrivilege : public CPropertyPage
{
    DECLARE_DYNCREATE(vggEditPrivilege)
public:
    // Non-zero: the operational hours' page; zero (also the page made by
    // dynamic creation): the non-operational one.
    explicit vggEditPrivilege(int operational = 0);

    // Category mask (see VeilgateSettings.h): "1" = denied.
    CString m_mask;
    int m_blockAll;
    TipListBox m_allowedList;
    TipListBox m_deniedList;

// Operations
    // A short mask reads as allowed where it ends.
    void FillCategoryLists(const CString& mask);
    // Built from the Denied list alone; always VgSettings::CategoryCount characters.
    CString BuildCategoryMask() const;
    // The category controls are enabled exactly when block-all is unchecked.
    void UpdateCategoryControls();
    void MoveSelected(CListBox& source, CListBox& destination);
    void MoveAll(CListBox& source, CListBox& destination);

protected:
    void DoDataExchange(CDataExchange* pDX) override;

// Message map and handlers
    void OnDenySelected();
    void OnDenyAll();
    void OnAllowAll();
    void OnAllowSelected();
    DECLARE_MESSAGE_MAP()
};
