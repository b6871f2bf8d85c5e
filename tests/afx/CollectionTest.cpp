#include <gtest/gtest.h>
#include "afx.h"
#include <string>
#include <vector>

static std::vector<std::string> Items(const CStringList& list)
{
    std::vector<std::string> out;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        out.push_back((LPCTSTR)list.GetNext(pos));
    return out;
}

TEST(CStringListOrder, KeepsInsertionOrderThroughEdits)
{
    CStringList list;
    list.AddTail("b");
    list.AddTail("c");
    list.AddHead("a");
    POSITION pos = list.Find("b");
    ASSERT_NE(nullptr, pos);
    list.InsertAfter(pos, "b2");
    list.InsertBefore(list.GetHeadPosition(), "first");
    EXPECT_EQ((std::vector<std::string>{ "first", "a", "b", "b2", "c" }), Items(list));
    list.RemoveAt(list.Find("a"));
    EXPECT_STREQ("first", list.RemoveHead());
    EXPECT_STREQ("c", list.RemoveTail());
    EXPECT_EQ((std::vector<std::string>{ "b", "b2" }), Items(list));
    EXPECT_EQ(nullptr, list.Find("B"));  // case-sensitive
    EXPECT_STREQ("b2", list.GetAt(list.FindIndex(1)));
    EXPECT_EQ(nullptr, list.FindIndex(2));
}

// Nodes come from blocks of ten: removals in the middle, refills, the list
// emptied by removals and filled again, all keep order and texts.
TEST(CStringListOrder, KeepsOrderAcrossItsBlocksOfNodes)
{
    CStringList list;
    std::vector<std::string> expected;
    for (int i = 0; i < 25; ++i) {
        list.AddTail(std::to_string(i).c_str());
        expected.push_back(std::to_string(i));
    }
    POSITION pos = list.GetHeadPosition();
    for (int i = 0; pos != NULL; ++i) {
        POSITION at = pos;
        list.GetNext(pos);
        if (i % 2 == 0)
            list.RemoveAt(at);
    }
    std::vector<std::string> odd;
    for (size_t i = 1; i < expected.size(); i += 2)
        odd.push_back(expected[i]);
    for (int i = 0; i < 7; ++i) {
        CString moved(std::to_string(100 + i).c_str());
        LPCTSTR buffer = moved;
        EXPECT_EQ(buffer, (LPCTSTR)list.GetAt(list.AddTail(static_cast<CString&&>(moved))));
        EXPECT_TRUE(moved.IsEmpty());
        odd.push_back(std::to_string(100 + i));
    }
    list.InsertBefore(list.FindIndex(3), "x");
    odd.insert(odd.begin() + 3, "x");
    EXPECT_EQ(odd, Items(list));
    EXPECT_EQ((int)odd.size(), list.GetCount());

    while (!list.IsEmpty())
        list.RemoveHead();
    EXPECT_EQ(nullptr, list.GetHeadPosition());
    list.AddTail("again");
    list.AddHead("first");
    EXPECT_EQ((std::vector<std::string>{ "first", "again" }), Items(list));
}

namespace {
struct Counted : CObject
{
    static int alive;
    Counted() { ++alive; }
    ~Counted() { --alive; }
};
int Counted::alive = 0;
}

TEST(CObListOwnership, RemoveAllDropsNodesNotObjects)
{
    CObList list;
    Counted a, b;
    list.AddTail(&a);
    list.AddTail(&b);
    list.RemoveAll();
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(2, Counted::alive);
}

TEST(CStringArrayEditing, InsertRemoveAndGrow)
{
    CStringArray arr;
    arr.Add("x");
    arr.Add("z");
    arr.InsertAt(1, "y");
    arr.SetAtGrow(5, "f");
    ASSERT_EQ(6, arr.GetSize());
    EXPECT_STREQ("y", arr[1]);
    EXPECT_STREQ("", arr[4]);
    arr.RemoveAt(0, 2);
    EXPECT_STREQ("z", arr[0]);
    EXPECT_EQ(4, arr.GetSize());
    arr.InsertAt(0, arr[0]);  // an element of the array itself
    EXPECT_STREQ("z", arr[0]);
    EXPECT_STREQ("z", arr[1]);
    CStringArray copy;
    copy.Copy(arr);
    EXPECT_EQ(arr.GetSize(), copy.GetSize());
}

TEST(CStringArrayEditing, ManyAddsShareTheirStringsAndMoveTheStorageSeldom)
{
    // A list of a million exceptions is copied one string at a time: each
    // step must not copy the whole array, nor the text.
    CStringArray array;
    const CString text = "www.example.com";
    int moves = 0;
    const CString* storage = NULL;
    for (int i = 0; i < 100000; ++i) {
        array.Add(text);
        if (array.GetData() != storage)
            ++moves, storage = array.GetData();
    }
    EXPECT_EQ(100000, array.GetSize());
    EXPECT_LT(moves, 40);
    EXPECT_EQ((LPCTSTR)text, (LPCTSTR)array[99999]);
    CStringList list;
    list.AddTail(text);
    EXPECT_EQ((LPCTSTR)text, (LPCTSTR)list.GetHead());
}

TEST(CMapStringToPtrOrder, EnumeratesBucketsInTheClassicLayout)
{
    CMapStringToPtr map;
    // 'a' = 97 and 'r' = 114 share bucket 12 of 17; 'b' is in bucket 13.
    int one = 1, two = 2, three = 3;
    map.SetAt("a", &one);
    map.SetAt("b", &two);
    map.SetAt("r", &three);
    std::vector<std::string> keys;
    for (POSITION pos = map.GetStartPosition(); pos != NULL;) {
        CString key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        keys.push_back((LPCTSTR)key);
    }
    // Later entries go to the head of their bucket.
    EXPECT_EQ((std::vector<std::string>{ "r", "a", "b" }), keys);

    void* found = NULL;
    EXPECT_TRUE(map.Lookup("b", found));
    EXPECT_EQ(&two, found);
    EXPECT_TRUE(map.RemoveKey("a"));
    EXPECT_FALSE(map.Lookup("a", found));
    EXPECT_EQ(2, map.GetCount());
    map.RemoveAll();
    EXPECT_EQ(nullptr, map.GetStartPosition());
}
