// The exceptions page's rules without the page, held against a real sorted
// list box: the same entries found the same, the same order.
#include <gtest/gtest.h>
#include "VeilgateExPage.h"
#include "ModalDriver.h"
#include <algorithm>

namespace {

using Texts = std::vector<std::string>;

// Texts that case, accents, composition, ignorable and wide characters make
// hard to tell apart or to order.
const Texts kTricky = {
    "www.example.com", "WWW.Example.COM", "www.example.com ", "caf\xc3\xa9", "CAF\xc3\x89", "cafe",
    "cafe\xcc\x81", "Stra\xc3\x9f" "e", "STRASSE", "a\xc2\xad" "b", "ab", "a-b", "\xef\xbd\x81" "b",
    "\xc4\xb0stanbul", "istanbul", "10.1.2.3", "10.1.2.3:80 ", "\xef\xac\x81le", "file", "_x", "~x", "#x",
};

struct SortedBox
{
    HWND hList = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, NULL,
                                 NULL, NULL, NULL);
    ~SortedBox() { DestroyWindow(hList); }
    bool Finds(const std::string& text) const
    {
        return SendMessageA(hList, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text.c_str()) != LB_ERR;
    }
};

Texts Items(const CStringList& list)
{
    Texts items;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        items.push_back((LPCTSTR)list.GetNext(pos));
    return items;
}

void Fill(CStringList& list, const Texts& texts)
{
    for (const std::string& t : texts)
        list.AddTail(t.c_str());
}

} // namespace

TEST(ExceptionList, EntriesAreTheSameWhereTheListBoxFindsOneForTheOther)
{
    for (const std::string& a : kTricky) {
        SortedBox box;
        SendMessageA(box.hList, LB_ADDSTRING, 0, (LPARAM)a.c_str());
        CStringList own, none;
        own.AddTail(a.c_str());
        for (const std::string& b : kTricky) {
            ExceptionList::Batch mine(own, none), theirs(none, own);
            bool found = box.Finds(b);
            EXPECT_EQ(found, ExceptionList::SameEntry(a.c_str(), b.c_str()) != FALSE) << a << " / " << b;
            EXPECT_EQ(found ? ExceptionList::Batch::AlreadyListed : ExceptionList::Batch::Added, mine.Add(b.c_str()))
                << a << " / " << b;
            EXPECT_EQ(found ? ExceptionList::Batch::InOtherList : ExceptionList::Batch::Added,
                      theirs.Add(b.c_str()))
                << a << " / " << b;
        }
    }
}

namespace {

// The page's steps on two real list boxes beside the batch: held texts on
// both sides, then the texts, each as the page adds it.
void ExpectBatchAddsAsListBoxes(const Texts& held, const Texts& theirs, const Texts& texts)
{
    SortedBox own, other;
    CStringList ownList, otherList;
    for (const std::string& t : held)
        SendMessageA(own.hList, LB_ADDSTRING, 0, (LPARAM)t.c_str());
    for (const std::string& t : theirs)
        SendMessageA(other.hList, LB_ADDSTRING, 0, (LPARAM)t.c_str());
    Fill(ownList, held);
    Fill(otherList, theirs);
    ExceptionList::Batch batch(ownList, otherList);

    int added = 0;
    for (const std::string& t : texts) {
        ExceptionList::Batch::Outcome page = other.Finds(t) ? ExceptionList::Batch::InOtherList
                                             : own.Finds(t) ? ExceptionList::Batch::AlreadyListed
                                                            : ExceptionList::Batch::Added;
        if (page == ExceptionList::Batch::Added) {
            SendMessageA(own.hList, LB_ADDSTRING, 0, (LPARAM)t.c_str());
            ++added;
        }
        EXPECT_EQ(page, batch.Add(t.c_str())) << t;
    }
    EXPECT_EQ(added, batch.AddedCount());

    CStringList result;
    batch.Result(result);
    EXPECT_EQ(ListBoxItems(own.hList), Items(result));
}

} // namespace

TEST(ExceptionList, ABatchAddsAsThePageAddsToItsListBoxesAndEndsInTheirOrder)
{
    // Every text twice, in reverse and in order.
    Texts texts(kTricky.rbegin(), kTricky.rend());
    texts.insert(texts.end(), kTricky.begin(), kTricky.end());
    ExpectBatchAddsAsListBoxes({ "WWW.Example.COM", "cafe", "Stra\xc3\x9f" "e" }, { "ab", "10.1.2.3" }, texts);
}

TEST(ExceptionList, PlainEntriesAreFoundAsTheListBoxFindsThemUntilOneIsNot)
{
    // Printable ASCII alone, where a sort might take the hyphen, the
    // apostrophe or a blank for nothing; then a text that is not plain.
    Texts texts;
    for (const char* t : { "co-op", "coop", "CO-OP", "co'op", "co op", "co--op", "coop ", " coop", "Co-Op",
                           "10.1.2.3:80 /a-b/*", "10.1.2.3:80 /A-B/*", "10.1.2.3:80 /ab/*", "a_b", "a~b", "A_B" })
        texts.insert(texts.end(), { t, t });
    ExpectBatchAddsAsListBoxes({ "Coop" }, { "co_op", "CO'OP" }, texts);
    texts.push_back("a\xc2\xad" "b");
    texts.push_back("ab");
    texts.push_back("COOP");
    ExpectBatchAddsAsListBoxes({ "Coop" }, { "co_op", "CO'OP" }, texts);
}

TEST(ExceptionList, ABatchTurnedToTheOtherListFindsAsANewBatchAgainstIt)
{
    // Plain texts alone, then with ones that are not, which change how the
    // batch finds entries.
    Texts plain;
    for (const std::string& t : kTricky)
        if (std::all_of(t.begin(), t.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
            plain.push_back(t);
    for (const Texts& texts : { plain, kTricky }) {
        CStringList none, first;
        ExceptionList::Batch turned(none, none);
        turned.Reserve((int)texts.size());
        for (size_t i = 0; i < texts.size(); i += 2) {
            turned.Add(texts[i].c_str());
            first.AddTail(texts[i].c_str());
        }
        turned.TurnToOtherList();
        EXPECT_EQ(0, turned.AddedCount());
        ExceptionList::Batch fresh(none, first);
        for (const std::string& t : texts)
            EXPECT_EQ(fresh.Add(t.c_str()), turned.Add(t.c_str())) << t;
        CStringList a, b;
        fresh.Result(a);
        turned.Result(b);
        EXPECT_EQ(Items(a), Items(b));
    }
}
