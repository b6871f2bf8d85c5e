// Shapes.h - the shapes that stored values must have, by the kind of the
// holder they are read into, and the checks that open() makes of them.
#pragma once

#include "afx.h"
#include "JsonValue.h"

#include <cstddef>
#include <string>

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
// Every text of a value, record names included, must reach the editor as
// it stands. Runs on values that have their shape.
bool checkTexts(Shape shape, const json::Value& v, Fault& fault);

}  // namespace quo
