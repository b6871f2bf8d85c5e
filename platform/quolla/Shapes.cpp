// Shapes.cpp - the shapes of stored values and their checks.
#include "Shapes.h"
#include "TextConversion.h"
#include "quolla.h"

#include <climits>
#include <cmath>
#include <stdio.h>
#include <algorithm>
#include <string_view>

namespace quo {

namespace {

const Field kServerFields[] = {
    { "address", Shape::String, true }, { "port", Shape::Int, true }, { "position", Shape::Int, true },
};

// A group may leave out its texts and members: they read as empty.
const Field kGroupFields[] = {
    { "opMask", Shape::String, false },       { "schedule", Shape::String, false },
    { "nonOpMask", Shape::String, false },    { "reserved", Shape::String, false },
    { "members", Shape::StringList, false },  { "nonOpBlockAll", Shape::Bool, true },
    { "opBlockAll", Shape::Bool, true },
};

const char* mustBe(Shape shape)
{
    switch (shape) {
    case Shape::Int: return " must be an integer";
    case Shape::String: return " must be a string";
    case Shape::StringList: return " must be an array of strings";
    case Shape::Bool: return " must be true or false";
    case Shape::Servers: return " must be an object of servers";
    case Shape::Groups: return " must be an object of groups";
    }
    return "";
}

// Where and why a value does not have its shape; `what` continues the

bool isInt32(const json::Value& v)
{
    return v.kind() == json::Kind::Int && v.asInt() >= INT_MIN && v.asInt() <= INT_MAX;
}

// Fills fault for a text that is not holdable; what names it.
bool refuseText(const std::string& text, int line, const std::string& what, Fault& fault)
{
    fault.line = line;
    if (text.find('\0') != std::string::npos) {
        fault.what = what + " must not contain U+0000";
    } else {
        char codePage[64];
        sprintf(codePage, " holds text that the code page (%u) cannot hold", GetACP());
        fault.what = what + codePage;
    }
    return false;
}


}  // namespace

Record recordOf(Shape shape)
{
    if (shape == Shape::Servers)
        return { kServerFields, sizeof kServerFields / sizeof *kServerFields, "server" };
    return { kGroupFields, sizeof kGroupFields / sizeof *kGroupFields, "group" };
}

bool checkShape(Shape shape, const json::Value& v, Fault& fault)
{
    switch (shape) {
    case Shape::Int: {
        if (isInt32(v))
            return true;
        // A whole number too large for 64 bits reads as a real, and one too
        // large for a double as an infinity.
        const double real = v.asReal();
        const char* range = " must be an integer from -2147483648 to 2147483647";
        if (v.kind() == json::Kind::Real && !std::isfinite(real)) {
            fault.line = v.line();
            fault.what = std::string(" holds a number out of range; it") + range;
            return false;
        }
        if (v.kind() == json::Kind::Int || (v.kind() == json::Kind::Real && std::fabs(real) >= 0x1p63)) {
            fault.line = v.line();
            fault.what = range;
            return false;
        }
        break;
    }
    case Shape::String:
        if (v.kind() == json::Kind::String)
            return true;
        break;
    case Shape::Bool:
        if (v.kind() == json::Kind::Bool)
            return true;
        break;
    case Shape::StringList:
        if (v.kind() != json::Kind::Array)
            break;
        for (const json::Value& item : v.items()) {
            if (item.kind() != json::Kind::String) {
                fault.line = item.line();
                fault.what = mustBe(shape);
                return false;
            }
        }
        return true;
    case Shape::Servers:
    case Shape::Groups: {
        if (v.kind() != json::Kind::Object)
            break;
        const Record record = recordOf(shape);
        for (const auto& member : v.members()) {
            const json::Value& r = member.second;
            auto context = [&] { return std::string(": ") + record.noun + " " + json::quote(member.first); };
            if (r.kind() != json::Kind::Object) {
                fault.line = r.line();
                fault.what = context() + " must be an object";
                return false;
            }
            for (size_t i = 0; i < record.count; ++i) {
                const Field& f = record.fields[i];
                const json::Value* field = r.find(f.name);
                if (!field && f.required) {
                    fault.line = r.line();
                    fault.what = context() + " has no field " + json::quote(f.name);
                    return false;
                }
                Fault inner;
                if (field && !checkShape(f.shape, *field, inner)) {
                    fault.line = inner.line;
                    fault.what = context() + " field " + json::quote(f.name) + inner.what;
                    return false;
                }
            }
        }
        return true;
    }
    }
    fault.line = v.line();
    fault.what = mustBe(shape);
    return false;
}

const Member* repeatedKey(const json::Value& object)
{
    // Sorted, equal keys stand side by side in the file's order.
    const auto& members = object.members();
    std::vector<std::pair<std::string_view, size_t>> keys;
    keys.reserve(members.size());
    for (size_t i = 0; i < members.size(); ++i)
        keys.emplace_back(members[i].first, i);
    std::sort(keys.begin(), keys.end());
    size_t repeat = members.size();
    for (size_t i = 1; i < keys.size(); ++i)
        if (keys[i].first == keys[i - 1].first)
            repeat = std::min(repeat, keys[i].second);
    return repeat < members.size() ? &members[repeat] : nullptr;
}

const Member* repeatedRecordKey(Shape shape, const json::Value& v)
{
    if ((shape != Shape::Servers && shape != Shape::Groups) || v.kind() != json::Kind::Object)
        return nullptr;
    if (const Member* record = repeatedKey(v))
        return record;
    const Record record = recordOf(shape);
    auto fieldOf = [&record](const std::string& key) {
        for (size_t i = 0; i < record.count; ++i)
            if (key == record.fields[i].name)
                return (int)i;
        return -1;
    };
    for (const Member& m : v.members())
        if (const Member* field = repeatedKey(m.second, fieldOf))
            return field;
    return nullptr;
}

// Every text of a known key, record names included, must reach the editor
// as it stands. Runs on values that have their shape.
bool checkTexts(Shape shape, const json::Value& v, Fault& fault)
{
    switch (shape) {
    case Shape::String:
        return holdable(v.asString()) || refuseText(v.asString(), v.line(), "", fault);
    case Shape::StringList:
        for (const json::Value& item : v.items())
            if (!holdable(item.asString()))
                return refuseText(item.asString(), item.line(), "", fault);
        return true;
    case Shape::Servers:
    case Shape::Groups: {
        const Record record = recordOf(shape);
        for (const auto& member : v.members()) {
            if (!holdable(member.first)) {
                // The key's line is found again only on this rare path.
                return refuseText(member.first, v.keyLine(member.first),
                                  std::string(": the ") + (shape == Shape::Servers ? "key" : "name") + " of " +
                                      record.noun + " " + json::quote(member.first),
                                  fault);
            }
            for (size_t i = 0; i < record.count; ++i) {
                const json::Value* field = member.second.find(record.fields[i].name);
                Fault inner;
                if (field && !checkTexts(record.fields[i].shape, *field, inner)) {
                    fault.line = inner.line;
                    fault.what = std::string(": ") + record.noun + " " + json::quote(member.first) + " field " +
                                 json::quote(record.fields[i].name) + inner.what;
                    return false;
                }
            }
        }
        return true;
    }
    case Shape::Int:
    case Shape::Bool:
        break;
    }
    return true;
}

bool shapeOfKind(const CString& typeName, Shape& shape)
{
    static const struct { LPCTSTR name; Shape shape; } kinds[] = {
        { QuoTypeName<int>::name(), Shape::Int },
        { QuoTypeName<CString>::name(), Shape::String },
        { QuoTypeName<CStringList*>::name(), Shape::StringList },
        { QuoTypeName<QuoVGServerIpMap>::name(), Shape::Servers },
        { QuoTypeName<QuoSievexMap>::name(), Shape::Groups },
    };
    for (const auto& kind : kinds) {
        if (typeName == kind.name) {
            shape = kind.shape;
            return true;
        }
    }
    return false;
}

}  // namespace quo
