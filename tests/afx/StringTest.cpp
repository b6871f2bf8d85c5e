#include <gtest/gtest.h>
#include "afx.h"

TEST(CStringCopies, ShareOneBufferUntilWritten)
{
    CString a("policy");
    CString b = a;
    EXPECT_EQ((LPCTSTR)a, (LPCTSTR)b);
    EXPECT_EQ(2, a.GetRefCount());
    b.SetAt(0, 'P');
    EXPECT_STREQ("policy", a);
    EXPECT_STREQ("Policy", b);
    EXPECT_EQ(1, a.GetRefCount());

    // Appending to a shared string must not touch the other copy.
    CString c = a;
    c += " editor";
    EXPECT_STREQ("policy", a);
    EXPECT_STREQ("policy editor", c);
}

TEST(CStringCopies, LockedBufferIsNeverShared)
{
    CString a("locked");
    a.LockBuffer();
    CString b = a;
    EXPECT_NE((LPCTSTR)a, (LPCTSTR)b);
    EXPECT_EQ(-1, a.GetRefCount());
    a.UnlockBuffer();
    EXPECT_EQ(1, a.GetRefCount());
}

TEST(CStringCopies, SelfAssignmentAndAssignmentFromOwnBuffer)
{
    CString a("abcdef");
    a = a;
    EXPECT_STREQ("abcdef", a);
    a = (LPCTSTR)a + 2;
    EXPECT_STREQ("cdef", a);
    a += a;
    EXPECT_STREQ("cdefcdef", a);
}

TEST(CStringExtraction, ClampsOutOfRangeArguments)
{
    CString s("proxy");
    EXPECT_STREQ("proxy", s.Left(99));
    EXPECT_STREQ("", s.Left(-1));
    EXPECT_STREQ("xy", s.Right(2));
    EXPECT_STREQ("proxy", s.Right(10));
    EXPECT_STREQ("oxy", s.Mid(2));
    EXPECT_STREQ("ox", s.Mid(2, 2));
    EXPECT_STREQ("", s.Mid(9));
    EXPECT_STREQ("y", s.Mid(4, 50));
}

TEST(CStringSearch, FindsOrAnswersMinusOne)
{
    CString s("a.b.c/24");
    EXPECT_EQ(1, s.Find('.'));
    EXPECT_EQ(3, s.Find('.', 2));
    EXPECT_EQ(-1, s.Find('.', 4));
    EXPECT_EQ(-1, s.Find('.', 99));
    EXPECT_EQ(5, s.Find("/24"));
    EXPECT_EQ(-1, s.Find("/25"));
    EXPECT_EQ(3, s.ReverseFind('.'));
    EXPECT_EQ(1, s.FindOneOf("/."));
}

TEST(CStringTrim, RemovesWhiteSpaceOrTheGivenCharacters)
{
    CString s(" \t\nvalue \r\n");
    s.TrimLeft();
    EXPECT_STREQ("value \r\n", s);
    s.TrimRight();
    EXPECT_STREQ("value", s);

    CString crs("line\r\r\r");
    crs.TrimRight('\r');
    EXPECT_STREQ("line", crs);

    CString set("\r\n\r\ntext\n\r");
    set.TrimRight("\r\n");
    set.TrimLeft("\r\n");
    EXPECT_STREQ("text", set);
}

TEST(CStringEditing, ReplaceRemoveInsertDelete)
{
    CString s("10 .1 .2");
    EXPECT_EQ(2, s.Remove(' '));
    EXPECT_STREQ("10.1.2", s);
    EXPECT_EQ(2, s.Replace(".", "::"));
    EXPECT_STREQ("10::1::2", s);
    s.Insert(0, '[');
    s.Insert(99, "]");
    EXPECT_STREQ("[10::1::2]", s);
    s.Delete(3, 2);
    EXPECT_STREQ("[101::2]", s);
    s.MakeReverse();
    EXPECT_STREQ("]2::101[", s);
}

TEST(CStringFormat, FollowsPrintf)
{
    CString s;
    s.Format("%s:%d", (LPCTSTR)CString("10.0.0.1"), 8080);
    EXPECT_STREQ("10.0.0.1:8080", s);
    s.Format("%02d", 7);
    EXPECT_STREQ("07", s);
    CString big;
    big.Format("%s", (LPCTSTR)CString('x', 5000));
    EXPECT_EQ(5000, big.GetLength());
}

TEST(CStringBuffer, GetBufferAndReleaseBuffer)
{
    CString s("abc");
    CString shared = s;
    char* p = s.GetBuffer(10);
    strcpy(p, "abcdefgh");
    s.ReleaseBuffer();
    EXPECT_STREQ("abcdefgh", s);
    EXPECT_STREQ("abc", shared);
    p = s.GetBufferSetLength(2);
    EXPECT_STREQ("ab", s);
}

TEST(CStringCompare, CaseAndOrder)
{
    CString s("Alpha");
    EXPECT_TRUE(s == "Alpha");
    EXPECT_TRUE(s != "alpha");
    EXPECT_EQ(0, s.CompareNoCase("ALPHA"));
    EXPECT_TRUE(CString("a") < CString("b"));
}

TEST(FormatStrings, ReplacesNumberedPlaceholders)
{
    CString out;
    LPCTSTR args[2] = { "0", "1000" };
    AfxFormatStrings(out, "Please enter an integer between %1 and %2.", args, 2);
    EXPECT_STREQ("Please enter an integer between 0 and 1000.", out);
}
