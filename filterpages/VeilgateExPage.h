// VeilgateExPage: the exceptions page. It lists the editor's allowed and
// denied exceptions in two sorted list boxes, adds entries made by the
// exception definition dialog (never one that either list already holds)
// and removes single entries. The editor's lists change only through the
// data exchange: when the page is left or the sheet confirmed on it.
// ExceptionList holds the same rules for lists without the page.
#pragma once

#include "afxdlgs.h"
#include "VeilgateApi.h"

// The page's rules over plain lists, for work on a document without the page.
namespace ExceptionList
{
    // The list boxes' exact search: the whole strings compare equal without
    // regard to case in the user's locale.
    VG_API BOOL SameEntry(const CString& a, const CString& b);

    // The page's messages, each entry followed by one blank: for entries the
    // list they were added to holds already, and for entries added to the
    // side denySide (0 allowed, 1 denied) that the other list holds.
    VG_API CString AlreadyListedMessage(const CStringArray& entries);
    VG_API CString OtherListMessage(int denySide, const CStringArray& entries);

    // Entries added to one list as the page adds a batch of the definition
    // dialog's: each is looked for in the other list first, then in this
    // one, entries added earlier in the batch included (found as the list
    // boxes find them, in constant time); the rest is added. The lists are
    // taken as they stand at construction and not touched.
    class BatchState;
    class VG_API Batch
    {
    public:
        Batch(const CStringList& own, const CStringList& other);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        enum Outcome { Added, AlreadyListed, InOtherList };
        Outcome Add(const CString& entry);
        // Makes room for nEntries more, to be added without regrowing.
        void Reserve(int nEntries);
        // Goes on adding to the other list: the list added to so far, with
        // the entries added, becomes the other list, and the other list
        // the one added to, with no entries added yet.
        void TurnToOtherList();
        int AddedCount() const;
        // The list added to with the entries added, in the order the page
        // shows them (its list boxes' order; equal entries keep theirs).
        void Result(CStringList& own) const;

    private:
        BatchState* m_state;
    };
}

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
