// afxtempl.h - collection templates.
//
//   CArray
#pragma once

#include "afx.h"
#include <vector>

// An ordered, growable array of values; indices start at 0.
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject
{
public:
    CArray() {}

// Attributes
    int GetSize() const { return (int)m_data.size(); }
    int GetCount() const { return (int)m_data.size(); }
    int GetUpperBound() const { return (int)m_data.size() - 1; }
    BOOL IsEmpty() const { return m_data.empty(); }
    void SetSize(int nNewSize, int nGrowBy = -1) { m_data.resize(nNewSize); }

// Operations
    void RemoveAll() { m_data.clear(); }
    const TYPE& GetAt(int nIndex) const { ASSERT(nIndex >= 0 && nIndex < GetSize()); return m_data[nIndex]; }
    void SetAt(int nIndex, ARG_TYPE newElement) { ElementAt(nIndex) = newElement; }
    TYPE& ElementAt(int nIndex) { ASSERT(nIndex >= 0 && nIndex < GetSize()); return m_data[nIndex]; }
    const TYPE* GetData() const { return m_data.data(); }
    int Add(ARG_TYPE newElement)
    {
        m_data.push_back(newElement);
        return GetUpperBound();
    }
    void RemoveAt(int nIndex, int nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }
    const TYPE& operator[](int nIndex) const { return GetAt(nIndex); }

private:
    std::vector<TYPE> m_data;
};
