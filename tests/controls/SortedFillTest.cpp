// FillSortedList: the list box ends as one string at a time would leave it,
// but for the order among strings that differ only in case: there the list
// box's own search decides by where it happens to look first.
#include <gtest/gtest.h>
#include "SortedFill.h"
#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

struct SortedListBox
{
    CListBox box;
    SortedListBox()
    {
        box.Attach(CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_SORT | LBS_NOTIFY, 0, 0, 100, 100, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL));
    }
    ~SortedListBox() { DestroyWindow(box.Detach()); }
    // The items; those equal but for case as one, and the exact texts apart.
    std::vector<std::string> Items(std::vector<std::string>* exact = nullptr) const
    {
        std::vector<std::string> items;
        CString text;
        for (int i = 0; i < box.GetCount(); ++i) {
            box.GetText(i, text);
            if (exact)
                exact->push_back((LPCTSTR)text);
            text.MakeLower();
            items.push_back((LPCTSTR)text);
        }
        if (exact)
            std::sort(exact->begin(), exact->end());
        return items;
    }
};

TEST(FillSortedList, EndsAsAddingOneStringAtATimeWould)
{
    const char* pieces[] = { "10.1.2.3", "10.1.2.30", "10.1.2.4:8080 ", "www.Example.com", "www.example.org",
                             "", "_under", "~tilde", "-dash", "a b", "Zeta", "ZETA", "zeta", "\xC3\xA9t\xC3\xA9", "192.168.0.0/24" };
    std::mt19937 random(13);
    CStringList entries;
    CStringArray same;
    for (int i = 0; i < 400; ++i) {
        CString entry = pieces[random() % (sizeof pieces / sizeof *pieces)];
        entry += pieces[random() % (sizeof pieces / sizeof *pieces)];
        entries.AddTail(entry);
        same.Add(entry);
    }
    SortedListBox oneByOne, filled, fromArray;
    for (POSITION pos = entries.GetHeadPosition(); pos != NULL;)
        oneByOne.box.AddString(entries.GetNext(pos));
    FillSortedList(filled.box, entries);
    FillSortedList(fromArray.box, same);
    std::vector<std::string> given, kept;
    EXPECT_EQ(oneByOne.Items(&given), filled.Items(&kept));
    EXPECT_EQ(given, kept);
    EXPECT_EQ(oneByOne.Items(), fromArray.Items());

    // Strings added later still find their places.
    filled.box.AddString("10.1.2.35");
    oneByOne.box.AddString("10.1.2.35");
    EXPECT_EQ(oneByOne.Items(), filled.Items());
}

} // namespace
