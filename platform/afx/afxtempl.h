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
    int GetUpperBound() const { return (int)m_data.size() - 1; }

// Operations
    void RemoveAll() { m_data.clear(); }
    const TYPE& GetAt(int nIndex) const { ASSERT(nIndex >= 0 && nIndex < GetSize()); return m_data[nIndex]; }
    TYPE& ElementAt(int nIndex) { ASSERT(nIndex >= 0 && nIndex < GetSize()); return m_data[nIndex]; }
    int Add(ARG_TYPE newElement)
    {
        m_data.push_back(newElement);
        return GetUpperBound();
    }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }
    const TYPE& operator[](int nIndex) const { return GetAt(nIndex); }

private:
    std::vector<TYPE> m_data;
};
