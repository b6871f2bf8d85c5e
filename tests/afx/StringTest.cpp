#include <gtest/gtest.h>
#include "afx.h"
#include <string.h>
#include <vector>

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

TEST(CStringMoves, TakeTheBufferOverAndLeaveTheSourceEmpty)
{
    CString a("moved along");
    LPCTSTR buffer = a;
    CString b(static_cast<CString&&>(a));
    EXPECT_EQ(buffer, (LPCTSTR)b);
    EXPECT_TRUE(a.IsEmpty());
    a = static_cast<CString&&>(b);
    EXPECT_EQ(buffer, (LPCTSTR)a);
    EXPECT_EQ(1, a.GetRefCount());

    // A locked buffer moves with its lock: the pointer handed out stays good.
    LPTSTR locked = a.LockBuffer();
    CString c(static_cast<CString&&>(a));
    EXPECT_EQ(locked, (LPCTSTR)c);
    EXPECT_EQ(-1, c.GetRefCount());
    CString d = c;
    EXPECT_NE((LPCTSTR)c, (LPCTSTR)d);
    c.UnlockBuffer();
    EXPECT_EQ(1, c.GetRefCount());

    // A growing vector moves its strings, buffers and all.
    std::vector<CString> v;
    v.push_back(CString("first"));
    LPCTSTR first = v[0];
    for (int i = 0; i < 100; ++i)
        v.push_back(CString('x', i));
    EXPECT_EQ(first, (LPCTSTR)v[0]);
}

// Short buffers come from pools of fixed slots: lengths at each slot's edge
// and across it, built by appends and buffers, on two threads at once.
TEST(CStringBuffers, KeepTheirTextsAtEveryLengthOnTwoThreads)
{
    struct Worker
    {
        static DWORD WINAPI Run(void* arg)
        {
            const char fill = *(const char*)arg;
            int wrong = 0;
            for (int round = 0; round < 200; ++round) {
                std::vector<CString> held;
                for (int len : { 1, 63, 64, 65, 127, 128, 129, 255, 256, 257, 511, 512, 513, 2000 }) {
                    CString grown;
                    for (int i = 0; i < len; ++i)
                        grown += fill;
                    CString buffered;
                    memset(buffered.GetBuffer(len), fill, len);
                    buffered.ReleaseBuffer(len);
                    wrong += grown != CString(fill, len) || buffered != grown;
                    held.push_back(grown);
                }
                for (size_t i = 0; i < held.size(); ++i)
                    wrong += held[i].SpanIncluding(CString(fill)) != held[i];
            }
            return wrong;
        }
    };
    static const char fills[2] = { 'a', 'b' };
    HANDLE other = CreateThread(NULL, 0, Worker::Run, (void*)&fills[1], 0, NULL);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(0u, Worker::Run((void*)&fills[0]));
    WaitForSingleObject(other, INFINITE);
    DWORD code = 1;
    GetExitCodeThread(other, &code);
    CloseHandle(other);
    EXPECT_EQ(0u, code);
}
