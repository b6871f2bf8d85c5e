// VeilgateControlPage: the "Veilgate Controls" page. It switches the web
// filter on and off, keeps the ordered list of filter servers, and edits
// the bypass permission and the message a blocked user sees.
//
// The three bound values belong to the editor object and are written by
// the data exchange. The server list edits a copy of the editor's server
// map, which the page rebuilds from the list when the sheet is confirmed:
// the server in row i (top row 0) is stored under the key "%02d" of i with
// position i.
#pragma once

#include "afxdlgs.h"
#include "afxcmn.h"
#include "quolla.h"
#include "VeilgateApi.h"

class VG_API VeilgateControlPage : public CPropertyPage
{
public:
    VeilgateControlPage(CString* denyMessage, int* activate, int* bypass);

    // The most characters the deny message holds in its display form (CR LF
    // line ends counted): the platform's default limit of what a person may
    // type into an edit. The field stops typing and pasting there. Under
    // Wine, word wrapping takes time that grows with the square of a
    // paragraph's length: a much longer message would keep the page from
    // showing for seconds, or for good.
    enum { DenyMessageLimit = 32767 };

    CListCtrl m_listServers;
    QuoValOf<QuoVGServerIpMap> m_serverMap;  // owns its entries
    CString* m_pDenyMsg;                     // display form, CR LF lines
    int* m_pActivate;
    int* m_pBypass;

// Operations
    // One row per entry of m_serverMap, in ascending order of position.
    void FillServerList();
    // m_serverMap rebuilt from the rows, top to bottom.
    void StoreServerList();
    // Edit follows the selection, Up and Down its place in the list. Also
    // the handler of a click in the list.
    void UpdateButtons(NMHDR* pNMHDR = NULL, LRESULT* pResult = NULL);

    // The map key of the server in row nRow: "00", "01", ... "100".
    static CString ServerKey(int nRow);
    // The row selected after row nRemoved was removed and nRemaining rows
    // are left: the one above it, or the last one when the top row went;
    // -1 when the list is empty.
    static int SelectionAfterRemoval(int nRemoved, int nRemaining);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Refuses an active filter without servers.
    BOOL OnApply() override;

    int SelectedRow() const { return m_listServers.GetNextItem(-1, LVNI_SELECTED); }
    void SelectRow(int nRow);
    void InsertRow(int nRow, LPCTSTR lpszAddress, LPCTSTR lpszPort);
    // Rows nUpper and nUpper + 1 change places.
    void SwapRows(int nUpper);

// Message map and handlers
    void OnAddServer();
    void OnRemoveServer();
    void OnActivate();
    void OnMoveServerUp();
    void OnMoveServerDown();
    void OnEditServer();
    // The buttons follow the selection however it changes.
    void OnServerItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};
