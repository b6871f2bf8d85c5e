// Records.cpp - the library's records, its map of owned records, and the
// destructors of its abstract types.
#include "quolla.h"

#include <string>
#include <unordered_map>
#include <vector>

QuoSievex::QuoSievex(const QuoSievex& other) : nonOpBlockAll(false), opBlockAll(false)
{
    *this = other;
}

QuoSievex& QuoSievex::operator=(const QuoSievex& other)
{
    opMask = other.opMask;
    schedule = other.schedule;
    nonOpMask = other.nonOpMask;
    reserved = other.reserved;
    members.Copy(other.members);
    nonOpBlockAll = other.nonOpBlockAll;
    opBlockAll = other.opBlockAll;
    return *this;
}

// The keys and records in insertion order, and where each key stands.
class QuoPtrMapSlots
{
public:
    std::vector<CString> keys;
    std::vector<void*> values;
    std::unordered_map<std::string, int> index;
};

QuoPtrMapBase::~QuoPtrMapBase()
{
    delete m_slots;
}

int QuoPtrMapBase::GetCount() const
{
    return m_slots ? (int)m_slots->keys.size() : 0;
}

int QuoPtrMapBase::IndexOf(LPCTSTR key) const
{
    if (!m_slots)
        return -1;
    const auto at = m_slots->index.find(key);
    return at == m_slots->index.end() ? -1 : at->second;
}

void* QuoPtrMapBase::ValueAt(int index) const
{
    ASSERT(index >= 0 && index < GetCount());
    return m_slots->values[index];
}

void* QuoPtrMapBase::SetRaw(LPCTSTR key, void* value)
{
    if (!m_slots)
        m_slots = new QuoPtrMapSlots;
    const auto placed = m_slots->index.emplace(key, (int)m_slots->keys.size());
    if (!placed.second) {
        void*& slot = m_slots->values[placed.first->second];
        void* old = slot;
        slot = value;
        return old;
    }
    try {
        m_slots->keys.push_back(key);
        m_slots->values.push_back(value);
    } catch (...) {
        m_slots->index.erase(placed.first);
        m_slots->keys.resize(m_slots->values.size());
        throw;
    }
    return NULL;
}

void* QuoPtrMapBase::RemoveRaw(LPCTSTR key)
{
    const int i = IndexOf(key);
    if (i < 0)
        return NULL;
    void* removed = m_slots->values[i];
    m_slots->index.erase(key);
    m_slots->keys.erase(m_slots->keys.begin() + i);
    m_slots->values.erase(m_slots->values.begin() + i);
    for (auto& entry : m_slots->index)
        if (entry.second > i)
            --entry.second;
    return removed;
}

void QuoPtrMapBase::RemoveAllRaw()
{
    delete m_slots;
    m_slots = NULL;
}

// A position is the 1-based index of the next entry.
void QuoPtrMapBase::GetNextRaw(POSITION& pos, CString& key, void*& value) const
{
    const int i = (int)(INT_PTR)pos - 1;
    ASSERT(i >= 0 && i < GetCount());
    key = m_slots->keys[i];
    value = m_slots->values[i];
    pos = i + 1 < GetCount() ? (POSITION)(INT_PTR)(i + 2) : NULL;
}

QuoVal::~QuoVal() {}

Quolla::~Quolla() {}
