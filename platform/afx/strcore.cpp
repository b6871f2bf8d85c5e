// CString: the reference-counted string of the framework layer.
#include "afx.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <ctype.h>
#include <new>

// The empty string: one shared, never-freed buffer.
static struct { CStringData head; char nul; } s_nilData = { { -1, 0, 0 }, 0 };
static LPTSTR const s_pchNil = s_nilData.head.data();

static bool IsNil(const CStringData* p) { return p == &s_nilData.head; }

void CString::Init() { m_pchData = s_pchNil; }

CString::CString() { Init(); }

CString::CString(const CString& stringSrc)
{
    CStringData* src = stringSrc.GetData();
    if (src->nRefs >= 0 && !IsNil(src)) {
        m_pchData = stringSrc.m_pchData;
        __atomic_add_fetch(&src->nRefs, 1, __ATOMIC_RELAXED);
    } else {
        Init();
        *this = stringSrc.m_pchData;
    }
}

// A move takes the buffer over as it is, locked or not: a pointer handed
// out by LockBuffer stays good, now in the new owner's hands.
CString::CString(CString&& stringSrc) noexcept
{
    m_pchData = stringSrc.m_pchData;
    stringSrc.Init();
}

CString::CString(TCHAR ch, int nRepeat)
{
    Init();
    if (nRepeat >= 1) {
        AllocBuffer(nRepeat);
        memset(m_pchData, ch, nRepeat);
    }
}

CString::CString(LPCSTR lpsz)
{
    Init();
    // A string resource number passed as a pointer, as the classic API allows.
    if (lpsz != NULL && HIWORD((ULONG_PTR)lpsz) == 0) {
        LoadString(LOWORD((ULONG_PTR)lpsz));
        return;
    }
    int nLen = lpsz ? (int)strlen(lpsz) : 0;
    if (nLen != 0) {
        AllocBuffer(nLen);
        memcpy(m_pchData, lpsz, nLen);
    }
}

CString::CString(LPCSTR lpch, int nLength)
{
    Init();
    if (nLength != 0 && lpch != NULL) {
        AllocBuffer(nLength);
        memcpy(m_pchData, lpch, nLength);
    }
}

CString::~CString() { Release(); }

// Buffers of up to 512 characters come from pools of fixed-size slots, as
// in the classic framework: a list of short strings then costs one heap
// block per few dozen strings, not one each. Slots freed go back to their
// pool for the next string; the pools' memory is kept until the process
// ends. Any thread may take and return slots.
namespace {

class FixedAlloc
{
public:
    constexpr FixedAlloc(int nChars, int nPerBlock) : m_nChars(nChars), m_nPerBlock(nPerBlock) {}
    int Chars() const { return m_nChars; }

    void* Alloc()
    {
        Lock();
        if (m_pFree == NULL) {
            // Only this block's own allocation can throw: release first.
            Unlock();
            char* block = (char*)::operator new((size_t)SlotSize() * m_nPerBlock);
            Lock();
            for (int i = m_nPerBlock - 1; i >= 0; --i) {
                Slot* slot = (Slot*)(block + (size_t)i * SlotSize());
                slot->pNext = m_pFree;
                m_pFree = slot;
            }
        }
        Slot* slot = m_pFree;
        m_pFree = slot->pNext;
        Unlock();
        return slot;
    }

    void Free(void* p)
    {
        Slot* slot = (Slot*)p;
        Lock();
        slot->pNext = m_pFree;
        m_pFree = slot;
        Unlock();
    }

private:
    struct Slot { Slot* pNext; };
    // Header, characters and terminator, rounded up to keep slots aligned.
    int SlotSize() const { return (int)((sizeof(CStringData) + m_nChars + 1 + 7) & ~(size_t)7); }

    const int m_nChars;
    const int m_nPerBlock;
    Slot* m_pFree = NULL;
    LONG m_lock = 0;

    // Held for a few instructions at a time: waiting threads yield.
    void Lock()
    {
        while (__atomic_exchange_n(&m_lock, 1, __ATOMIC_ACQUIRE) != 0)
            Sleep(0);
    }
    void Unlock() { __atomic_store_n(&m_lock, 0, __ATOMIC_RELEASE); }
};

// Constant-initialised: strings made while other modules start up find
// them ready.
FixedAlloc s_alloc64(64, 64), s_alloc128(128, 64), s_alloc256(256, 32), s_alloc512(512, 32);
FixedAlloc* const s_pools[] = { &s_alloc64, &s_alloc128, &s_alloc256, &s_alloc512 };

// A buffer for at least nLen characters, holding none yet, referenced once.
CStringData* NewData(int nLen)
{
    CStringData* p = NULL;
    int nAlloc = nLen;
    for (FixedAlloc* pool : s_pools) {
        if (nLen <= pool->Chars()) {
            p = (CStringData*)pool->Alloc();
            nAlloc = pool->Chars();
            break;
        }
    }
    if (p == NULL)
        p = (CStringData*)::operator new(sizeof(CStringData) + nLen + 1);
    p->nRefs = 1;
    p->nDataLength = 0;
    p->nAllocLength = nAlloc;
    p->data()[0] = '\0';
    return p;
}

void FreeData(CStringData* p)
{
    // A pool's buffers have exactly its size; larger ones came from the heap.
    for (FixedAlloc* pool : s_pools) {
        if (p->nAllocLength == pool->Chars()) {
            pool->Free(p);
            return;
        }
    }
    ::operator delete(p);
}

} // namespace

void CString::AllocBuffer(int nLen)
{
    ASSERT(nLen >= 0);
    if (nLen == 0) {
        Init();
        return;
    }
    CStringData* p = NewData(nLen);
    p->data()[nLen] = '\0';
    p->nDataLength = nLen;
    m_pchData = p->data();
}

void CString::Release()
{
    CStringData* p = GetData();
    if (!IsNil(p)) {
        if (p->nRefs == -1 || __atomic_sub_fetch(&p->nRefs, 1, __ATOMIC_ACQ_REL) <= 0)
            FreeData(p);
        Init();
    }
}

void CString::Empty()
{
    if (GetData()->nDataLength == 0)
        return;
    if (GetData()->nRefs >= 0)
        Release();
    else
        *this = "";
}

void CString::CopyBeforeWrite()
{
    CStringData* p = GetData();
    if (p->nRefs > 1) {
        AllocBuffer(p->nDataLength);
        memcpy(m_pchData, p->data(), p->nDataLength + 1);
        __atomic_sub_fetch(&p->nRefs, 1, __ATOMIC_ACQ_REL);
    }
}

void CString::AllocBeforeWrite(int nLen)
{
    CStringData* p = GetData();
    if (p->nRefs > 1 || nLen > p->nAllocLength || IsNil(p)) {
        Release();
        AllocBuffer(nLen);
    }
}

void CString::AssignCopy(int nSrcLen, LPCTSTR lpszSrcData)
{
    if (nSrcLen == 0) {
        Empty();
        return;
    }
    CStringData* p = GetData();
    UINT_PTR src = (UINT_PTR)lpszSrcData, own = (UINT_PTR)m_pchData;
    if (!IsNil(p) && src >= own && src <= own + (UINT_PTR)p->nAllocLength) {
        // The source lies in our own buffer, which reallocating would free:
        // take a copy and adopt it.
        CString copy(lpszSrcData, nSrcLen);
        Release();
        m_pchData = copy.m_pchData;
        copy.Init();
        return;
    }
    AllocBeforeWrite(nSrcLen);
    memcpy(m_pchData, lpszSrcData, nSrcLen);
    GetData()->nDataLength = nSrcLen;
    m_pchData[nSrcLen] = '\0';
}

const CString& CString::operator=(const CString& stringSrc)
{
    if (m_pchData == stringSrc.m_pchData)
        return *this;
    CStringData* src = stringSrc.GetData();
    if ((GetData()->nRefs < 0 && !IsNil(GetData())) || src->nRefs < 0) {
        AssignCopy(src->nDataLength, stringSrc.m_pchData);
    } else {
        Release();
        m_pchData = stringSrc.m_pchData;
        __atomic_add_fetch(&src->nRefs, 1, __ATOMIC_RELAXED);
    }
    return *this;
}

const CString& CString::operator=(CString&& stringSrc) noexcept
{
    if (this != &stringSrc) {
        Release();
        m_pchData = stringSrc.m_pchData;
        stringSrc.Init();
    }
    return *this;
}

const CString& CString::operator=(LPCSTR lpsz)
{
    AssignCopy(lpsz ? (int)strlen(lpsz) : 0, lpsz);
    return *this;
}

const CString& CString::operator=(TCHAR ch)
{
    AssignCopy(1, &ch);
    return *this;
}

void CString::ConcatInPlace(int nSrcLen, LPCTSTR lpszSrcData)
{
    if (nSrcLen == 0)
        return;
    CStringData* p = GetData();
    int nOld = p->nDataLength;
    if (p->nRefs > 1 || IsNil(p) || nOld + nSrcLen > p->nAllocLength) {
        // Grow geometrically so that repeated appends stay linear.
        int nNew = nOld + nSrcLen;
        int nAlloc = IsNil(p) ? nNew : nNew + nNew / 2;
        CStringData* q = NewData(nAlloc);
        memcpy(q->data(), m_pchData, nOld);
        memcpy(q->data() + nOld, lpszSrcData, nSrcLen);
        q->nDataLength = nNew;
        q->data()[nNew] = '\0';
        Release();
        m_pchData = q->data();
    } else {
        memmove(m_pchData + nOld, lpszSrcData, nSrcLen);
        p->nDataLength = nOld + nSrcLen;
        m_pchData[p->nDataLength] = '\0';
    }
}

const CString& CString::operator+=(const CString& string)
{
    ConcatInPlace(string.GetLength(), string.m_pchData);
    return *this;
}

const CString& CString::operator+=(TCHAR ch)
{
    ConcatInPlace(1, &ch);
    return *this;
}

const CString& CString::operator+=(LPCTSTR lpsz)
{
    ConcatInPlace(lpsz ? (int)strlen(lpsz) : 0, lpsz);
    return *this;
}

CString AFXAPI operator+(const CString& s1, const CString& s2) { CString r(s1); r += s2; return r; }
CString AFXAPI operator+(const CString& s, TCHAR ch) { CString r(s); r += ch; return r; }
CString AFXAPI operator+(TCHAR ch, const CString& s) { CString r(ch); r += s; return r; }
CString AFXAPI operator+(const CString& s, LPCTSTR lpsz) { CString r(s); r += lpsz; return r; }
CString AFXAPI operator+(LPCTSTR lpsz, const CString& s) { CString r(lpsz); r += s; return r; }

TCHAR CString::GetAt(int nIndex) const
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    return m_pchData[nIndex];
}

void CString::SetAt(int nIndex, TCHAR ch)
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    CopyBeforeWrite();
    m_pchData[nIndex] = ch;
}

int CString::Compare(LPCTSTR lpsz) const { return strcmp(m_pchData, lpsz ? lpsz : ""); }
int CString::CompareNoCase(LPCTSTR lpsz) const { return _stricmp(m_pchData, lpsz ? lpsz : ""); }
int CString::Collate(LPCTSTR lpsz) const { return strcoll(m_pchData, lpsz ? lpsz : ""); }

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength() - nFirst); }

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst > GetLength())
        nFirst = GetLength();
    if (nFirst + nCount > GetLength())
        nCount = GetLength() - nFirst;
    if (nFirst == 0 && nCount == GetLength())
        return *this;
    return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return CString(m_pchData, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return CString(m_pchData + GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCTSTR lpszCharSet) const
{
    return Left((int)strspn(m_pchData, lpszCharSet));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const
{
    return Left((int)strcspn(m_pchData, lpszCharSet));
}

void CString::MakeUpper() { CopyBeforeWrite(); CharUpperBuffA(m_pchData, GetLength()); }
void CString::MakeLower() { CopyBeforeWrite(); CharLowerBuffA(m_pchData, GetLength()); }

void CString::MakeReverse()
{
    CopyBeforeWrite();
    for (int i = 0, j = GetLength() - 1; i < j; ++i, --j) {
        char c = m_pchData[i];
        m_pchData[i] = m_pchData[j];
        m_pchData[j] = c;
    }
}

int CString::Replace(TCHAR chOld, TCHAR chNew)
{
    int n = 0;
    if (chOld == chNew)
        return 0;
    for (int i = 0; i < GetLength(); ++i) {
        if (m_pchData[i] == chOld) {
            if (n++ == 0)
                CopyBeforeWrite();
            m_pchData[i] = chNew;
        }
    }
    return n;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew)
{
    int nOld = lpszOld ? (int)strlen(lpszOld) : 0;
    if (nOld == 0)
        return 0;
    int nNew = lpszNew ? (int)strlen(lpszNew) : 0;
    CString result;
    int n = 0;
    const char* p = m_pchData;
    const char* hit;
    while ((hit = strstr(p, lpszOld)) != NULL) {
        result.ConcatInPlace((int)(hit - p), p);
        result.ConcatInPlace(nNew, lpszNew);
        p = hit + nOld;
        ++n;
    }
    if (n != 0) {
        result += p;
        *this = result;
    }
    return n;
}

int CString::Remove(TCHAR chRemove)
{
    int n = 0;
    for (int i = 0; i < GetLength(); ++i)
        if (m_pchData[i] == chRemove)
            ++n;
    if (n == 0)
        return 0;
    CopyBeforeWrite();
    char* d = m_pchData;
    for (const char* s = m_pchData; *s; ++s)
        if (*s != chRemove)
            *d++ = *s;
    *d = '\0';
    GetData()->nDataLength -= n;
    return n;
}

int CString::Insert(int nIndex, TCHAR ch)
{
    char buf[2] = { ch, 0 };
    if (ch == 0)
        return GetLength();
    return Insert(nIndex, buf);
}

int CString::Insert(int nIndex, LPCTSTR pstr)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nIndex > GetLength())
        nIndex = GetLength();
    CString result(m_pchData, nIndex);
    result += pstr;
    result += m_pchData + nIndex;
    *this = result;
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex < 0)
        nIndex = 0;
    int nLen = GetLength();
    if (nCount > 0 && nIndex < nLen) {
        if (nCount > nLen - nIndex)
            nCount = nLen - nIndex;
        CopyBeforeWrite();
        memmove(m_pchData + nIndex, m_pchData + nIndex + nCount, nLen - nIndex - nCount + 1);
        GetData()->nDataLength = nLen - nCount;
    }
    return GetLength();
}

static bool IsSpaceChar(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void CString::TrimRight()
{
    int n = GetLength();
    while (n > 0 && IsSpaceChar(m_pchData[n - 1]))
        --n;
    if (n != GetLength())
        *this = Left(n);
}

void CString::TrimRight(TCHAR chTarget)
{
    int n = GetLength();
    while (n > 0 && m_pchData[n - 1] == chTarget)
        --n;
    if (n != GetLength())
        *this = Left(n);
}

void CString::TrimRight(LPCTSTR lpszTargets)
{
    int n = GetLength();
    while (n > 0 && strchr(lpszTargets, m_pchData[n - 1]) != NULL)
        --n;
    if (n != GetLength())
        *this = Left(n);
}

void CString::TrimLeft()
{
    int n = 0;
    while (n < GetLength() && IsSpaceChar(m_pchData[n]))
        ++n;
    if (n != 0)
        *this = Mid(n);
}

void CString::TrimLeft(TCHAR chTarget)
{
    int n = 0;
    while (n < GetLength() && m_pchData[n] == chTarget)
        ++n;
    if (n != 0)
        *this = Mid(n);
}

void CString::TrimLeft(LPCTSTR lpszTargets)
{
    int n = 0;
    while (n < GetLength() && strchr(lpszTargets, m_pchData[n]) != NULL)
        ++n;
    if (n != 0)
        *this = Mid(n);
}

int CString::Find(TCHAR ch) const { return Find(ch, 0); }

int CString::Find(TCHAR ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= GetLength())
        return -1;
    const char* p = strchr(m_pchData + nStart, ch);
    return p ? (int)(p - m_pchData) : -1;
}

int CString::Find(LPCTSTR lpszSub) const { return Find(lpszSub, 0); }

int CString::Find(LPCTSTR lpszSub, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart > GetLength())
        return -1;
    const char* p = strstr(m_pchData + nStart, lpszSub);
    return p ? (int)(p - m_pchData) : -1;
}

int CString::ReverseFind(TCHAR ch) const
{
    const char* p = strrchr(m_pchData, ch);
    return p ? (int)(p - m_pchData) : -1;
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const
{
    const char* p = strpbrk(m_pchData, lpszCharSet);
    return p ? (int)(p - m_pchData) : -1;
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList)
{
    va_list args;
    va_copy(args, argList);
    int n = vsnprintf(NULL, 0, lpszFormat, args);
    va_end(args);
    if (n < 0)
        n = 0;
    CString result;
    if (n > 0) {
        result.AllocBuffer(n);
        va_copy(args, argList);
        vsnprintf(result.m_pchData, n + 1, lpszFormat, args);
        va_end(args);
    }
    *this = result;
}

void CString::FormatVarArgs(LPCTSTR lpszFormat, ...)
{
    va_list argList;
    va_start(argList, lpszFormat);
    FormatV(lpszFormat, argList);
    va_end(argList);
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    CStringData* p = GetData();
    if (p->nRefs > 1 || nMinBufLength > p->nAllocLength || IsNil(p)) {
        int nOld = p->nDataLength;
        int nAlloc = nMinBufLength > nOld ? nMinBufLength : nOld;
        CStringData* q = NewData(nAlloc);
        q->nDataLength = nOld;
        memcpy(q->data(), m_pchData, nOld + 1);
        Release();
        m_pchData = q->data();
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    CopyBeforeWrite();
    if (nNewLength == -1)
        nNewLength = (int)strlen(m_pchData);
    ASSERT(nNewLength <= GetData()->nAllocLength);
    if (IsNil(GetData()))
        return;
    GetData()->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    GetBuffer(nNewLength);
    if (!IsNil(GetData())) {
        GetData()->nDataLength = nNewLength;
        m_pchData[nNewLength] = '\0';
    }
    return m_pchData;
}

void CString::FreeExtra()
{
    if (GetData()->nDataLength != GetData()->nAllocLength) {
        CString copy(m_pchData, GetLength());
        *this = copy;
    }
}

LPTSTR CString::LockBuffer()
{
    LPTSTR p = GetBuffer(0);
    if (!IsNil(GetData()))
        GetData()->nRefs = -1;
    return p;
}

void CString::UnlockBuffer()
{
    if (!IsNil(GetData()))
        GetData()->nRefs = 1;
}

void AFXAPI AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString)
{
    CString result;
    for (const char* p = lpszFormat; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            int i = p[1] - '1';
            if (i < nString && rglpsz[i] != NULL)
                result += rglpsz[i];
            ++p;
        } else {
            result += *p;
        }
    }
    rString = result;
}

void AFXAPI AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1)
{
    CString fmt;
    fmt.LoadString(nIDS);
    AfxFormatStrings(rString, fmt, &lpsz1, 1);
}

void AFXAPI AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString fmt;
    fmt.LoadString(nIDS);
    LPCTSTR args[2] = { lpsz1, lpsz2 };
    AfxFormatStrings(rString, fmt, args, 2);
}
