// afx.h - core of the framework layer: objects, run-time classes, exceptions,
// strings and collections.
//
//   CObject, CRuntimeClass, CException, CUserException,
//   CString, CStringList, CObList, CPtrList, CStringArray, CMapStringToPtr
//
// The layer follows the classic framework's names and semantics so that the
// module's code reads like ordinary code of that framework. ANSI only.
#pragma once

#ifndef STRICT
#define STRICT
#endif
#include <windows.h>
#include <stddef.h>
#include <type_traits>

#ifdef AFX_BUILDING_LAYER
#define AFX_CORE_API __declspec(dllexport)
#else
#define AFX_CORE_API __declspec(dllimport)
#endif

#ifndef AFXAPI
#define AFXAPI __stdcall
#endif
#ifndef PASCAL
#define PASCAL __stdcall
#endif

#ifdef NDEBUG
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#else
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__))
#define VERIFY(f) ASSERT(f)
#endif
#define ASSERT_VALID(p) ASSERT((p) != NULL)
#define TRACE(...) ((void)0)

AFX_CORE_API void AFXAPI AfxAssertFailedLine(LPCSTR file, int line);

struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

class CObject;

/////////////////////////////////////////////////////////////////////////////
// Run-time class information and dynamic creation

struct AFX_CORE_API CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (PASCAL* m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;   // chain of registered classes

    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    // Finds a class registered for dynamic creation by its name.
    static CRuntimeClass* PASCAL FromName(LPCSTR lpszClassName);
};

// Registers a class in the chain of known classes at static-construction time.
struct AFX_CORE_API AFX_CLASSINIT
{
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
    // Unregisters the class when its module unloads.
    ~AFX_CLASSINIT();
    CRuntimeClass* m_pClass;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass* PASCAL GetThisClass(); \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* PASCAL CreateObject();

#define _IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew) \
    CRuntimeClass* PASCAL class_name::GetThisClass() { \
        static CRuntimeClass rc = { #class_name, (int)sizeof(class_name), 0xFFFF, \
            pfnNew, RUNTIME_CLASS(base_class_name), NULL }; \
        return &rc; } \
    CRuntimeClass* class_name::GetRuntimeClass() const { return GetThisClass(); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    _IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, NULL)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* PASCAL class_name::CreateObject() { return new class_name; } \
    _IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject) \
    static const AFX_CLASSINIT _init_##class_name(class_name::GetThisClass());

class AFX_CORE_API CObject
{
public:
    static CRuntimeClass* PASCAL GetThisClass();
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
protected:
    CObject() {}
private:
    CObject(const CObject&) = delete;
    void operator=(const CObject&) = delete;
};

/////////////////////////////////////////////////////////////////////////////
// Exceptions. Thrown by pointer, as the framework does; the catcher deletes.

class AFX_CORE_API CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    CException() {}
    void Delete() { delete this; }
};

// Thrown after the user has been told what went wrong (data exchange failures).
class AFX_CORE_API CUserException : public CException
{
    DECLARE_DYNAMIC(CUserException)
};

[[noreturn]] AFX_CORE_API void AFXAPI AfxThrowUserException();

/////////////////////////////////////////////////////////////////////////////
// CString: reference-counted, copy-on-write string of ANSI characters

struct CStringData
{
    long nRefs;          // -1 while locked: never shared
    int nDataLength;
    int nAllocLength;
    char* data() { return reinterpret_cast<char*>(this + 1); }
};

class AFX_CORE_API CString
{
public:
    CString();
    CString(const CString& stringSrc);
    // Takes the buffer over and leaves the source empty.
    CString(CString&& stringSrc) noexcept;
    CString(TCHAR ch, int nRepeat = 1);
    CString(LPCSTR lpsz);
    CString(LPCSTR lpch, int nLength);
    ~CString();

    int GetLength() const { return GetData()->nDataLength; }
    BOOL IsEmpty() const { return GetData()->nDataLength == 0; }
    void Empty();
    TCHAR GetAt(int nIndex) const;
    TCHAR operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, TCHAR ch);
    operator LPCTSTR() const { return m_pchData; }

    const CString& operator=(const CString& stringSrc);
    const CString& operator=(CString&& stringSrc) noexcept;
    const CString& operator=(TCHAR ch);
    const CString& operator=(LPCSTR lpsz);
    const CString& operator+=(const CString& string);
    const CString& operator+=(TCHAR ch);
    const CString& operator+=(LPCTSTR lpsz);

    friend AFX_CORE_API CString AFXAPI operator+(const CString& s1, const CString& s2);
    friend AFX_CORE_API CString AFXAPI operator+(const CString& s, TCHAR ch);
    friend AFX_CORE_API CString AFXAPI operator+(TCHAR ch, const CString& s);
    friend AFX_CORE_API CString AFXAPI operator+(const CString& s, LPCTSTR lpsz);
    friend AFX_CORE_API CString AFXAPI operator+(LPCTSTR lpsz, const CString& s);

    int Compare(LPCTSTR lpsz) const;
    int CompareNoCase(LPCTSTR lpsz) const;
    int Collate(LPCTSTR lpsz) const;

    CString Mid(int nFirst, int nCount) const;
    CString Mid(int nFirst) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR lpszCharSet) const;
    CString SpanExcluding(LPCTSTR lpszCharSet) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();
    int Replace(TCHAR chOld, TCHAR chNew);
    int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);
    int Remove(TCHAR chRemove);
    int Insert(int nIndex, TCHAR ch);
    int Insert(int nIndex, LPCTSTR pstr);
    int Delete(int nIndex, int nCount = 1);

    void TrimRight();
    void TrimRight(TCHAR chTarget);
    void TrimRight(LPCTSTR lpszTargets);
    void TrimLeft();
    void TrimLeft(TCHAR chTarget);
    void TrimLeft(LPCTSTR lpszTargets);

    int Find(TCHAR ch) const;
    int Find(TCHAR ch, int nStart) const;
    int Find(LPCTSTR lpszSub) const;
    int Find(LPCTSTR lpszSub, int nStart) const;
    int ReverseFind(TCHAR ch) const;
    int FindOneOf(LPCTSTR lpszCharSet) const;

    // A CString handed to '...' travels by hidden reference under GCC and
    // prints garbage, so Format refuses class-type arguments at compile time:
    // write (LPCTSTR)str.
    template <class... Args>
    void Format(LPCTSTR lpszFormat, Args... args)
    {
        static_assert(!(std::is_class<Args>::value || ...),
                      "pass strings to Format as (LPCTSTR)");
        FormatVarArgs(lpszFormat, args...);
    }
    template <class... Args>
    void Format(UINT nFormatID, Args... args)
    {
        static_assert(!(std::is_class<Args>::value || ...),
                      "pass strings to Format as (LPCTSTR)");
        CString strFormat;
        strFormat.LoadString(nFormatID);
        FormatVarArgs(strFormat, args...);
    }
    void FormatV(LPCTSTR lpszFormat, va_list argList);

    BOOL LoadString(UINT nID);

    LPTSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);
    LPTSTR GetBufferSetLength(int nNewLength);
    void FreeExtra();
    LPTSTR LockBuffer();
    void UnlockBuffer();

    // Reference count of the shared buffer (-1 when locked); for tests.
    long GetRefCount() const { return GetData()->nRefs; }

protected:
    LPTSTR m_pchData;

    CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }
    void Init();
    void AllocBuffer(int nLen);
    void AssignCopy(int nSrcLen, LPCTSTR lpszSrcData);
    void ConcatInPlace(int nSrcLen, LPCTSTR lpszSrcData);
    void CopyBeforeWrite();
    void AllocBeforeWrite(int nLen);
    void Release();
    void FormatVarArgs(LPCTSTR lpszFormat, ...);
};

inline bool operator==(const CString& s1, const CString& s2) { return s1.Compare(s2) == 0; }
inline bool operator==(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) == 0; }
inline bool operator==(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
inline bool operator!=(const CString& s1, const CString& s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) != 0; }
inline bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
inline bool operator<(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) < 0; }
inline bool operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
inline bool operator>(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) > 0; }
inline bool operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
inline bool operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }

// Replaces %1 (and %2) in the string resource nIDS.
AFX_CORE_API void AFXAPI AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
AFX_CORE_API void AFXAPI AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2);
AFX_CORE_API void AFXAPI AfxFormatStrings(CString& rString, LPCTSTR lpszFormat,
                                          LPCTSTR const* rglpsz, int nString);

/////////////////////////////////////////////////////////////////////////////
// Lists: doubly linked, iterated from GetHeadPosition with GetNext.

class AFX_CORE_API CPtrList : public CObject
{
    DECLARE_DYNAMIC(CPtrList)
protected:
    struct CNode { CNode* pNext; CNode* pPrev; void* data; };
public:
    CPtrList() {}
    ~CPtrList();

    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    void*& GetHead();
    void* GetHead() const;
    void*& GetTail();
    void* GetTail() const;
    void* RemoveHead();
    void* RemoveTail();
    POSITION AddHead(void* newElement);
    POSITION AddTail(void* newElement);
    void RemoveAll();
    POSITION GetHeadPosition() const { return (POSITION)m_pNodeHead; }
    POSITION GetTailPosition() const { return (POSITION)m_pNodeTail; }
    void*& GetNext(POSITION& rPosition);
    void* GetNext(POSITION& rPosition) const;
    void*& GetPrev(POSITION& rPosition);
    void* GetPrev(POSITION& rPosition) const;
    void*& GetAt(POSITION position);
    void* GetAt(POSITION position) const;
    void SetAt(POSITION pos, void* newElement);
    void RemoveAt(POSITION position);
    POSITION InsertBefore(POSITION position, void* newElement);
    POSITION InsertAfter(POSITION position, void* newElement);
    POSITION Find(void* searchValue, POSITION startAfter = NULL) const;
    POSITION FindIndex(int nIndex) const;

protected:
    CNode* m_pNodeHead = NULL;
    CNode* m_pNodeTail = NULL;
    int m_nCount = 0;
};

// A list of object pointers; RemoveAll drops the nodes, not the objects.
class AFX_CORE_API CObList : public CPtrList
{
    DECLARE_DYNAMIC(CObList)
public:
    CObject*& GetHead() { return (CObject*&)CPtrList::GetHead(); }
    CObject* GetHead() const { return (CObject*)CPtrList::GetHead(); }
    CObject*& GetTail() { return (CObject*&)CPtrList::GetTail(); }
    CObject* GetTail() const { return (CObject*)CPtrList::GetTail(); }
    CObject* RemoveHead() { return (CObject*)CPtrList::RemoveHead(); }
    CObject* RemoveTail() { return (CObject*)CPtrList::RemoveTail(); }
    POSITION AddHead(CObject* p) { return CPtrList::AddHead(p); }
    POSITION AddTail(CObject* p) { return CPtrList::AddTail(p); }
    CObject*& GetNext(POSITION& pos) { return (CObject*&)CPtrList::GetNext(pos); }
    CObject* GetNext(POSITION& pos) const { return (CObject*)CPtrList::GetNext(pos); }
    CObject*& GetPrev(POSITION& pos) { return (CObject*&)CPtrList::GetPrev(pos); }
    CObject* GetPrev(POSITION& pos) const { return (CObject*)CPtrList::GetPrev(pos); }
    CObject*& GetAt(POSITION pos) { return (CObject*&)CPtrList::GetAt(pos); }
    CObject* GetAt(POSITION pos) const { return (CObject*)CPtrList::GetAt(pos); }
    void SetAt(POSITION pos, CObject* p) { CPtrList::SetAt(pos, p); }
    POSITION InsertBefore(POSITION pos, CObject* p) { return CPtrList::InsertBefore(pos, p); }
    POSITION InsertAfter(POSITION pos, CObject* p) { return CPtrList::InsertAfter(pos, p); }
    POSITION Find(CObject* p, POSITION startAfter = NULL) const { return CPtrList::Find(p, startAfter); }
};

class AFX_CORE_API CStringList : public CObject
{
    DECLARE_DYNAMIC(CStringList)
protected:
    struct CNode { CNode* pNext; CNode* pPrev; CString data; };
public:
    // Nodes are taken from blocks of nBlockSize, kept until the list is empty.
    explicit CStringList(int nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    ~CStringList();
    CStringList(const CStringList&) = delete;
    CStringList& operator=(const CStringList&) = delete;

    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    CString& GetHead();
    const CString& GetHead() const;
    CString& GetTail();
    const CString& GetTail() const;
    CString RemoveHead();
    CString RemoveTail();
    POSITION AddHead(LPCTSTR newElement);
    POSITION AddTail(LPCTSTR newElement);
    // Shares the string's buffer, as a copy of a CString does.
    POSITION AddTail(const CString& newElement);
    // Takes the string's buffer over.
    POSITION AddTail(CString&& newElement);
    void AddTail(const CStringList* pNewList);
    void RemoveAll();
    POSITION GetHeadPosition() const { return (POSITION)m_pNodeHead; }
    POSITION GetTailPosition() const { return (POSITION)m_pNodeTail; }
    CString& GetNext(POSITION& rPosition);
    const CString& GetNext(POSITION& rPosition) const;
    CString& GetPrev(POSITION& rPosition);
    const CString& GetPrev(POSITION& rPosition) const;
    CString& GetAt(POSITION position);
    const CString& GetAt(POSITION position) const;
    void SetAt(POSITION pos, LPCTSTR newElement);
    void RemoveAt(POSITION position);
    POSITION InsertBefore(POSITION position, LPCTSTR newElement);
    POSITION InsertAfter(POSITION position, LPCTSTR newElement);
    // Exact, case-sensitive match.
    POSITION Find(LPCTSTR searchValue, POSITION startAfter = NULL) const;
    POSITION FindIndex(int nIndex) const;

protected:
    CNode* NewNode(CNode* pPrev, CNode* pNext);  // its string empty
    CNode* NewNode(CNode* pPrev, CNode* pNext, const CString& value);
    POSITION LinkTail(CNode* p);
    void FreeNode(CNode* pNode);
    CNode* m_pNodeHead = NULL;
    CNode* m_pNodeTail = NULL;
    int m_nCount = 0;
    CNode* m_pNodeFree = NULL;
    struct CBlock* m_pBlocks = NULL;
    int m_nBlockSize;
};

/////////////////////////////////////////////////////////////////////////////
// CStringArray

class AFX_CORE_API CStringArray : public CObject
{
    DECLARE_DYNAMIC(CStringArray)
public:
    CStringArray() {}
    ~CStringArray();

    int GetSize() const { return m_nSize; }
    int GetCount() const { return m_nSize; }
    int GetUpperBound() const { return m_nSize - 1; }
    void SetSize(int nNewSize, int nGrowBy = -1);
    void RemoveAll() { SetSize(0); }
    void FreeExtra();
    const CString& GetAt(int nIndex) const;
    void SetAt(int nIndex, LPCTSTR newElement);
    CString& ElementAt(int nIndex);
    const CString* GetData() const { return m_pData; }
    void SetAtGrow(int nIndex, LPCTSTR newElement);
    void SetAtGrow(int nIndex, const CString& newElement);
    int Add(LPCTSTR newElement);
    // Shares the string's buffer, as a copy of a CString does.
    int Add(const CString& newElement);
    int Append(const CStringArray& src);
    void Copy(const CStringArray& src);
    CString& operator[](int nIndex) { return ElementAt(nIndex); }
    const CString& operator[](int nIndex) const { return GetAt(nIndex); }
    void InsertAt(int nIndex, LPCTSTR newElement, int nCount = 1);
    void RemoveAt(int nIndex, int nCount = 1);

protected:
    CString* m_pData = NULL;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;
};

/////////////////////////////////////////////////////////////////////////////
// CMapStringToPtr: hashed map with the classic layout (hash h*33+ch over
// signed chars, 17 buckets by default, new entries at the head of their
// bucket), so its enumeration order is the one older code has seen.

class AFX_CORE_API CMapStringToPtr : public CObject
{
    DECLARE_DYNAMIC(CMapStringToPtr)
protected:
    struct CAssoc { CAssoc* pNext; UINT nHashValue; CString key; void* value; };
public:
    CMapStringToPtr() {}
    ~CMapStringToPtr();

    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    BOOL Lookup(LPCTSTR key, void*& rValue) const;
    BOOL LookupKey(LPCTSTR key, LPCTSTR& rKey) const;
    void*& operator[](LPCTSTR key);
    void SetAt(LPCTSTR key, void* newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(LPCTSTR key);
    void RemoveAll();
    POSITION GetStartPosition() const { return (m_nCount == 0) ? NULL : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& rNextPosition, CString& rKey, void*& rValue) const;
    UINT GetHashTableSize() const { return m_nHashTableSize; }
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);
    UINT HashKey(LPCTSTR key) const;

protected:
    CAssoc* GetAssocAt(LPCTSTR key, UINT& nHash) const;
    CAssoc** m_pHashTable = NULL;
    UINT m_nHashTableSize = 17;
    int m_nCount = 0;
};
