// Lists, arrays and the string-keyed map.
#include "afx.h"
#include <string.h>
#include <new>

IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_DYNAMIC(CObList, CPtrList)
IMPLEMENT_DYNAMIC(CStringList, CObject)
IMPLEMENT_DYNAMIC(CStringArray, CObject)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)

/////////////////////////////////////////////////////////////////////////////
// CPtrList

CPtrList::~CPtrList() { RemoveAll(); }

void CPtrList::RemoveAll()
{
    for (CNode* p = m_pNodeHead; p != NULL;) {
        CNode* next = p->pNext;
        delete p;
        p = next;
    }
    m_pNodeHead = m_pNodeTail = NULL;
    m_nCount = 0;
}

void*& CPtrList::GetHead() { ASSERT(m_pNodeHead); return m_pNodeHead->data; }
void* CPtrList::GetHead() const { ASSERT(m_pNodeHead); return m_pNodeHead->data; }
void*& CPtrList::GetTail() { ASSERT(m_pNodeTail); return m_pNodeTail->data; }
void* CPtrList::GetTail() const { ASSERT(m_pNodeTail); return m_pNodeTail->data; }

POSITION CPtrList::AddHead(void* newElement)
{
    CNode* p = new CNode{ m_pNodeHead, NULL, newElement };
    if (m_pNodeHead) m_pNodeHead->pPrev = p; else m_pNodeTail = p;
    m_pNodeHead = p;
    ++m_nCount;
    return (POSITION)p;
}

POSITION CPtrList::AddTail(void* newElement)
{
    CNode* p = new CNode{ NULL, m_pNodeTail, newElement };
    if (m_pNodeTail) m_pNodeTail->pNext = p; else m_pNodeHead = p;
    m_pNodeTail = p;
    ++m_nCount;
    return (POSITION)p;
}

void* CPtrList::RemoveHead()
{
    ASSERT(m_pNodeHead);
    void* v = m_pNodeHead->data;
    RemoveAt((POSITION)m_pNodeHead);
    return v;
}

void* CPtrList::RemoveTail()
{
    ASSERT(m_pNodeTail);
    void* v = m_pNodeTail->data;
    RemoveAt((POSITION)m_pNodeTail);
    return v;
}

void*& CPtrList::GetNext(POSITION& rPosition)
{
    CNode* p = (CNode*)rPosition;
    rPosition = (POSITION)p->pNext;
    return p->data;
}
void* CPtrList::GetNext(POSITION& rPosition) const
{
    CNode* p = (CNode*)rPosition;
    rPosition = (POSITION)p->pNext;
    return p->data;
}
void*& CPtrList::GetPrev(POSITION& rPosition)
{
    CNode* p = (CNode*)rPosition;
    rPosition = (POSITION)p->pPrev;
    return p->data;
}
void* CPtrList::GetPrev(POSITION& rPosition) const
{
    CNode* p = (CNode*)rPosition;
    rPosition = (POSITION)p->pPrev;
    return p->data;
}
void*& CPtrList::GetAt(POSITION position) { return ((CNode*)position)->data; }
void* CPtrList::GetAt(POSITION position) const { return ((CNode*)position)->data; }
void CPtrList::SetAt(POSITION pos, void* newElement) { ((CNode*)pos)->data = newElement; }

void CPtrList::RemoveAt(POSITION position)
{
    CNode* p = (CNode*)position;
    if (p->pPrev) p->pPrev->pNext = p->pNext; else m_pNodeHead = p->pNext;
    if (p->pNext) p->pNext->pPrev = p->pPrev; else m_pNodeTail = p->pPrev;
    delete p;
    --m_nCount;
}

POSITION CPtrList::InsertBefore(POSITION position, void* newElement)
{
    if (position == NULL)
        return AddHead(newElement);
    CNode* old = (CNode*)position;
    CNode* p = new CNode{ old, old->pPrev, newElement };
    if (old->pPrev) old->pPrev->pNext = p; else m_pNodeHead = p;
    old->pPrev = p;
    ++m_nCount;
    return (POSITION)p;
}

POSITION CPtrList::InsertAfter(POSITION position, void* newElement)
{
    if (position == NULL)
        return AddTail(newElement);
    CNode* old = (CNode*)position;
    CNode* p = new CNode{ old->pNext, old, newElement };
    if (old->pNext) old->pNext->pPrev = p; else m_pNodeTail = p;
    old->pNext = p;
    ++m_nCount;
    return (POSITION)p;
}

POSITION CPtrList::Find(void* searchValue, POSITION startAfter) const
{
    CNode* p = startAfter ? ((CNode*)startAfter)->pNext : m_pNodeHead;
    for (; p != NULL; p = p->pNext)
        if (p->data == searchValue)
            return (POSITION)p;
    return NULL;
}

POSITION CPtrList::FindIndex(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return NULL;
    CNode* p = m_pNodeHead;
    while (nIndex--)
        p = p->pNext;
    return (POSITION)p;
}

/////////////////////////////////////////////////////////////////////////////
// CStringList

CStringList::~CStringList() { RemoveAll(); }

// A block of nodes: this header, then the nodes' raw memory.
struct CBlock
{
    CBlock* pNext;
};

CStringList::CNode* CStringList::NewNode(CNode* pPrev, CNode* pNext, const CString& value)
{
    // The copy and the block are made before the list changes: either may
    // run out of memory. Moving the copy in cannot.
    CString copy(value);
    CNode* p = NewNode(pPrev, pNext);
    p->data = static_cast<CString&&>(copy);
    return p;
}

CStringList::CNode* CStringList::NewNode(CNode* pPrev, CNode* pNext)
{
    if (m_pNodeFree == NULL) {
        const size_t header = (sizeof(CBlock) + alignof(CNode) - 1) / alignof(CNode) * alignof(CNode);
        char* memory = (char*)::operator new(header + sizeof(CNode) * m_nBlockSize);
        CBlock* block = (CBlock*)memory;
        block->pNext = m_pBlocks;
        m_pBlocks = block;
        CNode* nodes = (CNode*)(memory + header);
        for (int i = m_nBlockSize - 1; i >= 0; --i) {
            nodes[i].pNext = m_pNodeFree;
            m_pNodeFree = &nodes[i];
        }
    }
    CNode* p = m_pNodeFree;
    m_pNodeFree = p->pNext;
    p->pNext = pNext;
    p->pPrev = pPrev;
    new (&p->data) CString;
    ++m_nCount;
    return p;
}

void CStringList::FreeNode(CNode* pNode)
{
    pNode->data.~CString();
    pNode->pNext = m_pNodeFree;
    m_pNodeFree = pNode;
    if (--m_nCount == 0)
        RemoveAll();
}

void CStringList::RemoveAll()
{
    for (CNode* p = m_pNodeHead; p != NULL; p = p->pNext)
        p->data.~CString();
    while (m_pBlocks != NULL) {
        CBlock* next = m_pBlocks->pNext;
        ::operator delete(m_pBlocks);
        m_pBlocks = next;
    }
    m_pNodeHead = m_pNodeTail = m_pNodeFree = NULL;
    m_nCount = 0;
}

CString& CStringList::GetHead() { ASSERT(m_pNodeHead); return m_pNodeHead->data; }
const CString& CStringList::GetHead() const { ASSERT(m_pNodeHead); return m_pNodeHead->data; }
CString& CStringList::GetTail() { ASSERT(m_pNodeTail); return m_pNodeTail->data; }
const CString& CStringList::GetTail() const { ASSERT(m_pNodeTail); return m_pNodeTail->data; }

POSITION CStringList::AddHead(LPCTSTR newElement)
{
    CNode* p = NewNode(NULL, m_pNodeHead, newElement);
    if (m_pNodeHead) m_pNodeHead->pPrev = p; else m_pNodeTail = p;
    m_pNodeHead = p;
    return (POSITION)p;
}

POSITION CStringList::AddTail(LPCTSTR newElement)
{
    return AddTail(CString(newElement));
}

POSITION CStringList::AddTail(const CString& newElement)
{
    return LinkTail(NewNode(m_pNodeTail, NULL, newElement));
}

POSITION CStringList::AddTail(CString&& newElement)
{
    CNode* p = NewNode(m_pNodeTail, NULL);
    p->data = static_cast<CString&&>(newElement);
    return LinkTail(p);
}

POSITION CStringList::LinkTail(CNode* p)
{
    if (m_pNodeTail) m_pNodeTail->pNext = p; else m_pNodeHead = p;
    m_pNodeTail = p;
    return (POSITION)p;
}

void CStringList::AddTail(const CStringList* pNewList)
{
    for (POSITION pos = pNewList->GetHeadPosition(); pos != NULL;)
        AddTail(pNewList->GetNext(pos));
}

CString CStringList::RemoveHead()
{
    ASSERT(m_pNodeHead);
    CString v = m_pNodeHead->data;
    RemoveAt((POSITION)m_pNodeHead);
    return v;
}

CString CStringList::RemoveTail()
{
    ASSERT(m_pNodeTail);
    CString v = m_pNodeTail->data;
    RemoveAt((POSITION)m_pNodeTail);
    return v;
}

CString& CStringList::GetNext(POSITION& rPosition)
{
    CNode* p = (CNode*)rPosition;
    rPosition = (POSITION)p->pNext;
    return p->data;
}
const CString& CStringList::GetNext(POSITION& rPosition) const
{
    CNode* p = (CNode*)rPosition;
    rPosition = (POSITION)p->pNext;
    return p->data;
}
CString& CStringList::GetPrev(POSITION& rPosition)
{
    CNode* p = (CNode*)rPosition;
    rPosition = (POSITION)p->pPrev;
    return p->data;
}
const CString& CStringList::GetPrev(POSITION& rPosition) const
{
    CNode* p = (CNode*)rPosition;
    rPosition = (POSITION)p->pPrev;
    return p->data;
}
CString& CStringList::GetAt(POSITION position) { return ((CNode*)position)->data; }
const CString& CStringList::GetAt(POSITION position) const { return ((CNode*)position)->data; }
void CStringList::SetAt(POSITION pos, LPCTSTR newElement) { ((CNode*)pos)->data = newElement; }

void CStringList::RemoveAt(POSITION position)
{
    CNode* p = (CNode*)position;
    if (p->pPrev) p->pPrev->pNext = p->pNext; else m_pNodeHead = p->pNext;
    if (p->pNext) p->pNext->pPrev = p->pPrev; else m_pNodeTail = p->pPrev;
    FreeNode(p);
}

POSITION CStringList::InsertBefore(POSITION position, LPCTSTR newElement)
{
    if (position == NULL)
        return AddHead(newElement);
    CNode* old = (CNode*)position;
    CNode* p = NewNode(old->pPrev, old, newElement);
    if (old->pPrev) old->pPrev->pNext = p; else m_pNodeHead = p;
    old->pPrev = p;
    return (POSITION)p;
}

POSITION CStringList::InsertAfter(POSITION position, LPCTSTR newElement)
{
    if (position == NULL)
        return AddTail(newElement);
    CNode* old = (CNode*)position;
    CNode* p = NewNode(old, old->pNext, newElement);
    if (old->pNext) old->pNext->pPrev = p; else m_pNodeTail = p;
    old->pNext = p;
    return (POSITION)p;
}

POSITION CStringList::Find(LPCTSTR searchValue, POSITION startAfter) const
{
    CNode* p = startAfter ? ((CNode*)startAfter)->pNext : m_pNodeHead;
    for (; p != NULL; p = p->pNext)
        if (p->data == searchValue)
            return (POSITION)p;
    return NULL;
}

POSITION CStringList::FindIndex(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return NULL;
    CNode* p = m_pNodeHead;
    while (nIndex--)
        p = p->pNext;
    return (POSITION)p;
}

/////////////////////////////////////////////////////////////////////////////
// CStringArray

CStringArray::~CStringArray() { delete[] m_pData; }

void CStringArray::SetSize(int nNewSize, int nGrowBy)
{
    ASSERT(nNewSize >= 0);
    if (nGrowBy != -1)
        m_nGrowBy = nGrowBy;
    if (nNewSize == 0) {
        delete[] m_pData;
        m_pData = NULL;
        m_nSize = m_nMaxSize = 0;
    } else if (nNewSize <= m_nMaxSize) {
        for (int i = nNewSize; i < m_nSize; ++i)
            m_pData[i].Empty();
        m_nSize = nNewSize;
    } else {
        // Without a step of the caller's, the array grows by half its size,
        // so that adding n strings one at a time costs time in proportion to n.
        int grow = m_nGrowBy ? m_nGrowBy : (m_nSize / 2 < 4 ? 4 : m_nSize / 2);
        int nNewMax = nNewSize < m_nMaxSize + grow ? m_nMaxSize + grow : nNewSize;
        CString* pNew = new CString[nNewMax];
        for (int i = 0; i < m_nSize; ++i)
            pNew[i] = m_pData[i];
        delete[] m_pData;
        m_pData = pNew;
        m_nSize = nNewSize;
        m_nMaxSize = nNewMax;
    }
}

void CStringArray::FreeExtra()
{
    if (m_nSize == m_nMaxSize)
        return;
    CString* pNew = m_nSize ? new CString[m_nSize] : NULL;
    for (int i = 0; i < m_nSize; ++i)
        pNew[i] = m_pData[i];
    delete[] m_pData;
    m_pData = pNew;
    m_nMaxSize = m_nSize;
}

const CString& CStringArray::GetAt(int nIndex) const
{
    ASSERT(nIndex >= 0 && nIndex < m_nSize);
    return m_pData[nIndex];
}

void CStringArray::SetAt(int nIndex, LPCTSTR newElement)
{
    ASSERT(nIndex >= 0 && nIndex < m_nSize);
    m_pData[nIndex] = newElement;
}

CString& CStringArray::ElementAt(int nIndex)
{
    ASSERT(nIndex >= 0 && nIndex < m_nSize);
    return m_pData[nIndex];
}

void CStringArray::SetAtGrow(int nIndex, LPCTSTR newElement)
{
    SetAtGrow(nIndex, CString(newElement));
}

void CStringArray::SetAtGrow(int nIndex, const CString& newElement)
{
    if (nIndex >= m_nSize)
        SetSize(nIndex + 1);
    m_pData[nIndex] = newElement;
}

int CStringArray::Add(LPCTSTR newElement)
{
    return Add(CString(newElement));
}

int CStringArray::Add(const CString& newElement)
{
    int n = m_nSize;
    SetAtGrow(n, newElement);
    return n;
}

int CStringArray::Append(const CStringArray& src)
{
    int nOld = m_nSize;
    SetSize(m_nSize + src.m_nSize);
    for (int i = 0; i < src.m_nSize; ++i)
        m_pData[nOld + i] = src.m_pData[i];
    return nOld;
}

void CStringArray::Copy(const CStringArray& src)
{
    if (&src == this)
        return;
    SetSize(src.m_nSize);
    for (int i = 0; i < src.m_nSize; ++i)
        m_pData[i] = src.m_pData[i];
}

void CStringArray::InsertAt(int nIndex, LPCTSTR newElement, int nCount)
{
    ASSERT(nIndex >= 0 && nCount > 0);
    CString value(newElement);  // may point into this array
    int nOld = m_nSize;
    if (nIndex >= m_nSize) {
        SetSize(nIndex + nCount);
    } else {
        SetSize(m_nSize + nCount);
        for (int i = nOld - 1; i >= nIndex; --i)
            m_pData[i + nCount] = m_pData[i];
    }
    for (int i = 0; i < nCount; ++i)
        m_pData[nIndex + i] = value;
}

void CStringArray::RemoveAt(int nIndex, int nCount)
{
    ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= m_nSize);
    for (int i = nIndex; i + nCount < m_nSize; ++i)
        m_pData[i] = m_pData[i + nCount];
    for (int i = m_nSize - nCount; i < m_nSize; ++i)
        m_pData[i].Empty();
    m_nSize -= nCount;
}

/////////////////////////////////////////////////////////////////////////////
// CMapStringToPtr

CMapStringToPtr::~CMapStringToPtr() { RemoveAll(); }

UINT CMapStringToPtr::HashKey(LPCTSTR key) const
{
    UINT nHash = 0;
    while (*key)
        nHash = (nHash << 5) + nHash + (UINT)(int)(signed char)*key++;
    return nHash;
}

void CMapStringToPtr::InitHashTable(UINT hashSize, BOOL bAllocNow)
{
    ASSERT(m_nCount == 0 && hashSize > 0);
    delete[] m_pHashTable;
    m_pHashTable = NULL;
    if (bAllocNow) {
        m_pHashTable = new CAssoc*[hashSize];
        memset(m_pHashTable, 0, sizeof(CAssoc*) * hashSize);
    }
    m_nHashTableSize = hashSize;
}

void CMapStringToPtr::RemoveAll()
{
    if (m_pHashTable != NULL) {
        for (UINT i = 0; i < m_nHashTableSize; ++i) {
            for (CAssoc* p = m_pHashTable[i]; p != NULL;) {
                CAssoc* next = p->pNext;
                delete p;
                p = next;
            }
        }
        delete[] m_pHashTable;
        m_pHashTable = NULL;
    }
    m_nCount = 0;
}

CMapStringToPtr::CAssoc* CMapStringToPtr::GetAssocAt(LPCTSTR key, UINT& nHash) const
{
    nHash = HashKey(key) % m_nHashTableSize;
    if (m_pHashTable == NULL)
        return NULL;
    for (CAssoc* p = m_pHashTable[nHash]; p != NULL; p = p->pNext)
        if (p->key == key)
            return p;
    return NULL;
}

BOOL CMapStringToPtr::Lookup(LPCTSTR key, void*& rValue) const
{
    UINT nHash;
    CAssoc* p = GetAssocAt(key, nHash);
    if (p == NULL)
        return FALSE;
    rValue = p->value;
    return TRUE;
}

BOOL CMapStringToPtr::LookupKey(LPCTSTR key, LPCTSTR& rKey) const
{
    UINT nHash;
    CAssoc* p = GetAssocAt(key, nHash);
    if (p == NULL)
        return FALSE;
    rKey = p->key;
    return TRUE;
}

void*& CMapStringToPtr::operator[](LPCTSTR key)
{
    UINT nHash;
    CAssoc* p = GetAssocAt(key, nHash);
    if (p == NULL) {
        if (m_pHashTable == NULL)
            InitHashTable(m_nHashTableSize);
        p = new CAssoc{ m_pHashTable[nHash], nHash, CString(key), NULL };
        m_pHashTable[nHash] = p;
        ++m_nCount;
    }
    return p->value;
}

BOOL CMapStringToPtr::RemoveKey(LPCTSTR key)
{
    if (m_pHashTable == NULL)
        return FALSE;
    UINT nHash = HashKey(key) % m_nHashTableSize;
    for (CAssoc** pp = &m_pHashTable[nHash]; *pp != NULL; pp = &(*pp)->pNext) {
        if ((*pp)->key == key) {
            CAssoc* dead = *pp;
            *pp = dead->pNext;
            delete dead;
            --m_nCount;
            return TRUE;
        }
    }
    return FALSE;
}

void CMapStringToPtr::GetNextAssoc(POSITION& rNextPosition, CString& rKey, void*& rValue) const
{
    ASSERT(m_pHashTable != NULL && rNextPosition != NULL);
    CAssoc* p = (CAssoc*)rNextPosition;
    if (p == (CAssoc*)BEFORE_START_POSITION) {
        p = NULL;
        for (UINT b = 0; b < m_nHashTableSize && p == NULL; ++b)
            p = m_pHashTable[b];
    }
    CAssoc* next = p->pNext;
    for (UINT b = p->nHashValue + 1; next == NULL && b < m_nHashTableSize; ++b)
        next = m_pHashTable[b];
    rNextPosition = (POSITION)next;
    rKey = p->key;
    rValue = p->value;
}
