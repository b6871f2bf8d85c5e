// RecordConversion.h - one pair of functions per record kind between the
// stored object and the library's record, and the maps of records read
// from and written into a stored object. Reading fails when a text cannot
// be held.
#pragma once

#include "quolla.h"
#include "JsonValue.h"
#include "TextConversion.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quo {

bool readServer(const json::Value& r, QuoVGServerIp& server);
json::Value serverFields(const QuoVGServerIp& server);
bool readGroup(const json::Value& r, QuoSievex& group);
json::Value groupFields(const QuoSievex& group);

// Reads a stored map of records into a holder. The holder is emptied and
// filled only when every record could be read.
template <class T>
bool readRecords(const json::Value& stored, QuoPtrMap<T>& map, bool (*read)(const json::Value&, T&))
{
    std::vector<std::pair<CString, std::unique_ptr<T>>> records;
    records.reserve(stored.members().size());
    for (const auto& member : stored.members()) {
        CString key;
        std::unique_ptr<T> record(new T);
        if (!fromUtf8(member.first, key) || !read(member.second, *record))
            return false;
        records.emplace_back(key, std::move(record));
    }
    map.RemoveAll();
    for (auto& record : records)
        map.SetAt(record.first, record.second.release());
    return true;
}

// The stored map updated to the holder's records, in the holder's order. A
// record that stays keeps its place in the text and the fields this library
// does not know; a record the holder no longer has goes with all its fields.
// The stored map is taken apart on the way: its replacement goes in its place.
template <class T>
json::Value updateRecords(json::Value* stored, const QuoPtrMap<T>& map, json::Value (*fields)(const T&))
{
    json::Value updated =
        stored && stored->kind() == json::Kind::Object ? std::move(*stored) : json::Value::makeObject();
    auto& members = updated.members();
    std::unordered_map<std::string, size_t> index;
    for (size_t i = 0; i < members.size(); ++i)
        index.emplace(members[i].first, i);

    std::vector<std::pair<std::string, json::Value>> records;
    records.reserve(map.GetCount());
    CString name;
    T* record;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        map.GetNextAssoc(pos, name, record);
        if (record == NULL)
            continue;  // an empty slot has nothing to store
        std::string key = toUtf8(name);
        json::Value known = fields(*record);
        auto at = index.find(key);
        if (at == index.end() || members[at->second].second.kind() != json::Kind::Object) {
            records.emplace_back(std::move(key), std::move(known));
            continue;
        }
        json::Value kept = std::move(members[at->second].second);
        for (auto& field : known.members())
            kept.set(field.first, std::move(field.second));
        records.emplace_back(std::move(key), std::move(kept));
    }
    members = std::move(records);
    return updated;
}

}  // namespace quo
