// JsonValue.cpp - the JSON document model: values, their members and items.
#include "JsonValue.h"

#include <stdexcept>

namespace json {

// ---------------------------------------------------------------------------
// Value

Value::Value() = default;

Value Value::makeBool(bool b) { Value v(Kind::Bool); v.bool_ = b; return v; }
Value Value::makeInt(long long i) { Value v(Kind::Int); v.int_ = i; return v; }
Value Value::makeReal(double d) { Value v(Kind::Real); v.real_ = d; return v; }
Value Value::makeString(std::string utf8) { Value v(Kind::String); v.string_ = std::move(utf8); return v; }
Value Value::makeArray() { return Value(Kind::Array); }
Value Value::makeObject() { return Value(Kind::Object); }

bool Value::asBool() const { return kind_ == Kind::Bool && bool_; }
long long Value::asInt() const { return kind_ == Kind::Int ? int_ : 0; }

double Value::asReal() const
{
    if (kind_ == Kind::Int)
        return static_cast<double>(int_);
    return kind_ == Kind::Real ? real_ : 0.0;
}

const std::string& Value::asString() const
{
    static const std::string empty;
    return kind_ == Kind::String ? string_ : empty;
}

void Value::append(Value v)
{
    if (kind_ == Kind::Null)
        kind_ = Kind::Array;
    if (kind_ != Kind::Array || !built_)
        throw std::logic_error("json::Value::append on a non-array or an unbuilt one");
    v.keyLine_ = 0;
    v.leadBegin_ = v.leadEnd_ = 0;
    items_.push_back(std::move(v));
}

const Value* Value::find(const std::string& key) const
{
    for (const auto& m : members_)
        if (m.first == key)
            return &m.second;
    return nullptr;
}

Value* Value::find(const std::string& key)
{
    return const_cast<Value*>(static_cast<const Value*>(this)->find(key));
}

Value& Value::set(const std::string& key, Value v)
{
    if (kind_ == Kind::Null)
        kind_ = Kind::Object;
    if (kind_ != Kind::Object || !built_)
        throw std::logic_error("json::Value::set on a non-object or an unbuilt one");
    if (Value* existing = find(key)) {
        if (*existing == v)
            return *existing;
        // The key is still where it was in the file.
        v.keyLine_ = existing->keyLine_;
        v.leadBegin_ = existing->leadBegin_;
        v.leadEnd_ = existing->leadEnd_;
        *existing = std::move(v);
        return *existing;
    }
    // A lead read elsewhere names another key.
    v.keyLine_ = 0;
    v.leadBegin_ = v.leadEnd_ = 0;
    members_.emplace_back(key, std::move(v));
    return members_.back().second;
}

bool Value::erase(const std::string& key)
{
    for (auto it = members_.begin(); it != members_.end(); ++it) {
        if (it->first == key) {
            members_.erase(it);
            return true;
        }
    }
    return false;
}

int Value::keyLine(const std::string& key) const
{
    const Value* v = find(key);
    return v ? v->keyLine_ : 0;
}

bool operator==(const Value& a, const Value& b)
{
    if (a.kind() != b.kind() || a.built() != b.built())
        return false;
    if (!a.built())
        return a.begin_ == b.begin_ && a.end_ == b.end_;
    switch (a.kind()) {
    case Kind::Null: return true;
    case Kind::Bool: return a.asBool() == b.asBool();
    case Kind::Int: return a.asInt() == b.asInt();
    case Kind::Real: return a.asReal() == b.asReal();
    case Kind::String: return a.asString() == b.asString();
    case Kind::Array: return a.items() == b.items();
    case Kind::Object: return a.members() == b.members();
    }
    return false;
}

}  // namespace json
