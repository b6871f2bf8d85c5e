// Shapes.h - the shapes that stored values must have, by the kind of the
// holder they are read into, and the checks that open() makes of them.
#pragma once

#include "afx.h"
#include "JsonValue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace quo {

enum class Shape { Int, String, StringList, Bool, Servers, Groups };

struct Field
{
    const char* name;
    Shape shape;
    bool required;
};

// The fields of the records of a map kind (Servers or Groups).
struct Record
{
    const Field* fields;
    size_t count;
    const char* noun;  // in messages
};

Record recordOf(Shape shape);

// The shape of a holder's type name ("int", "CString", ...); false for a
// name the library does not know.
bool shapeOfKind(const CString& typeName, Shape& shape);

// Where and why a value does not have its shape; `what` continues the
// sentence that names the key.
struct Fault
{
    int line = 0;
    std::string what;
};

bool checkShape(Shape shape, const json::Value& v, Fault& fault);

typedef std::pair<std::string, json::Value> Member;

// The first member of an object, in the file's order, whose key repeats an
// earlier member's key; NULL when there is none.
const Member* repeatedKey(const json::Value& object);
// The same among the keys that nameOf finds in a list of at most 64 names
// (its index there, or -1 for a key of no concern).
template <class NameOf>
const Member* repeatedKey(const json::Value& object, NameOf nameOf)
{
    uint64_t seen = 0;
    for (const Member& m : object.members()) {
        const int name = nameOf(m.first);
        if (name < 0)
            continue;
        if (seen >> name & 1)
            return &m;
        seen |= uint64_t(1) << name;
    }
    return nullptr;
}
// Within a value of a map shape, a record or a known field of a record
// given twice; NULL when none is, or the value has another shape.
const Member* repeatedRecordKey(Shape shape, const json::Value& v);
// Every text of a value, record names included, must reach the editor as
// it stands. Runs on values that have their shape.
bool checkTexts(Shape shape, const json::Value& v, Fault& fault);

}  // namespace quo
