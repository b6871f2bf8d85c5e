#include "JsonValue.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <unordered_set>

namespace json {

namespace {

const int kMaxDepth = 512;

// Length of the well-formed UTF-8 sequence starting at p, or 0 if the bytes
// there are not one (overlong forms, surrogates and code points above
// U+10FFFF included).
size_t utf8SequenceLength(const char* p, const char* end)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(p[i]); };
    auto cont = [&](size_t i, unsigned lo = 0x80, unsigned hi = 0xBF) {
        return p + i < end && byte(i) >= lo && byte(i) <= hi;
    };
    const unsigned b = byte(0);
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return cont(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const bool second = b == 0xE0 ? cont(1, 0xA0) : b == 0xED ? cont(1, 0x80, 0x9F) : cont(1);
        return second && cont(2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const bool second = b == 0xF0 ? cont(1, 0x90) : b == 0xF4 ? cont(1, 0x80, 0x8F) : cont(1);
        return second && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

void appendUtf8(std::string& out, unsigned long cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void writeString(std::string& out, const std::string& s)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            const size_t n = utf8SequenceLength(p, end);
            if (n == 0) {
                out += "\xEF\xBF\xBD";
                ++p;
            } else {
                out.append(p, n);
                p += n;
            }
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 0xF];
            } else {
                out += static_cast<char>(c);
            }
        }
        ++p;
    }
    out += '"';
}

std::string quoted(const std::string& s)
{
    std::string out;
    writeString(out, s);
    return out;
}

void writeReal(std::string& out, double d)
{
    if (!std::isfinite(d)) {
        out += "null";
        return;
    }
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, d);
    const std::string text(buf, res.ptr);
    out += text;
    // Keep it a Real when read back.
    if (text.find_first_of(".e") == std::string::npos)
        out += ".0";
}

void writeValue(std::string& out, const Value& v, int indent)
{
    const auto newline = [&](int level) {
        out += '\n';
        out.append(static_cast<size_t>(level) * 2, ' ');
    };
    switch (v.kind()) {
    case Kind::Null: out += "null"; break;
    case Kind::Bool: out += v.asBool() ? "true" : "false"; break;
    case Kind::Int: out += std::to_string(v.asInt()); break;
    case Kind::Real: writeReal(out, v.asReal()); break;
    case Kind::String: writeString(out, v.asString()); break;
    case Kind::Array:
        if (v.items().empty()) {
            out += "[]";
            break;
        }
        out += '[';
        for (size_t i = 0; i < v.items().size(); ++i) {
            if (i)
                out += ',';
            newline(indent + 1);
            writeValue(out, v.items()[i], indent + 1);
        }
        newline(indent);
        out += ']';
        break;
    case Kind::Object:
        if (v.members().empty()) {
            out += "{}";
            break;
        }
        out += '{';
        for (size_t i = 0; i < v.members().size(); ++i) {
            if (i)
                out += ',';
            newline(indent + 1);
            writeString(out, v.members()[i].first);
            out += ": ";
            writeValue(out, v.members()[i].second, indent + 1);
        }
        newline(indent);
        out += '}';
        break;
    }
}

}  // namespace

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
    if (kind_ != Kind::Array)
        throw std::logic_error("json::Value::append on a non-array");
    v.keyLine_ = 0;
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
    if (kind_ != Kind::Object)
        throw std::logic_error("json::Value::set on a non-object");
    if (Value* existing = find(key)) {
        // The key is still where it was in the file.
        v.keyLine_ = existing->keyLine_;
        *existing = std::move(v);
        return *existing;
    }
    v.keyLine_ = 0;
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
    if (a.kind() != b.kind())
        return false;
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

// ---------------------------------------------------------------------------
// Parser

class Parser {
public:
    explicit Parser(const std::string& text)
        : begin_(text.data()), p_(text.data()), end_(text.data() + text.size())
    {
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            begin_ = p_ = p_ + 3;
    }

    bool run(Value& out, ParseError& error)
    {
        Value root;
        skipWhitespace();
        bool ok = parseValue(root);
        if (ok) {
            skipWhitespace();
            ok = p_ == end_ || fail(p_, "unexpected text after the value");
        }
        if (!ok) {
            error = error_;
            return false;
        }
        out = std::move(root);
        return true;
    }

private:
    const char* begin_;
    const char* p_;
    const char* end_;
    int line_ = 1;
    int depth_ = 0;
    ParseError error_;

    bool fail(const char* at, std::string message)
    {
        // Errors are rare: find the position by rescanning rather than
        // tracking columns all along. Columns count characters, not bytes.
        int line = 1;
        int column = 1;
        for (const char* q = begin_; q < at; ++q) {
            if (*q == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(*q) & 0xC0) != 0x80) {
                ++column;
            }
        }
        error_.line = line;
        error_.column = column;
        error_.message = std::move(message);
        return false;
    }

    bool failEnd() { return fail(end_, "unexpected end of text"); }

    void skipWhitespace()
    {
        for (; p_ < end_; ++p_) {
            if (*p_ == '\n')
                ++line_;
            else if (*p_ != ' ' && *p_ != '\t' && *p_ != '\r')
                break;
        }
    }

    bool parseValue(Value& v)
    {
        if (p_ == end_)
            return failEnd();
        v.line_ = line_;
        switch (*p_) {
        case '{': return parseObject(v);
        case '[': return parseArray(v);
        case '"': v.kind_ = Kind::String; return parseString(v.string_);
        case 't': v.kind_ = Kind::Bool; v.bool_ = true; return parseWord("true");
        case 'f': v.kind_ = Kind::Bool; return parseWord("false");
        case 'n': return parseWord("null");
        default:
            if (*p_ == '-' || (*p_ >= '0' && *p_ <= '9'))
                return parseNumber(v);
            return fail(p_, "expected a value");
        }
    }

    bool parseWord(const char* word)
    {
        const char* start = p_;
        for (const char* w = word; *w; ++w, ++p_) {
            if (p_ == end_)
                return failEnd();
            if (*p_ != *w)
                return fail(start, "expected a value");
        }
        return true;
    }

    bool enter()
    {
        if (++depth_ > kMaxDepth)
            return fail(p_, "nesting deeper than " + std::to_string(kMaxDepth) + " levels");
        ++p_;
        skipWhitespace();
        return true;
    }

    bool parseArray(Value& v)
    {
        v.kind_ = Kind::Array;
        if (!enter())
            return false;
        if (p_ < end_ && *p_ == ']') {
            ++p_;
            --depth_;
            return true;
        }
        for (;;) {
            v.items_.emplace_back();
            if (!parseValue(v.items_.back()))
                return false;
            skipWhitespace();
            if (p_ == end_)
                return failEnd();
            if (*p_ == ']')
                break;
            if (*p_ != ',')
                return fail(p_, "expected ',' or ']'");
            ++p_;
            skipWhitespace();
        }
        ++p_;
        --depth_;
        return true;
    }

    bool parseObject(Value& v)
    {
        v.kind_ = Kind::Object;
        if (!enter())
            return false;
        if (p_ < end_ && *p_ == '}') {
            ++p_;
            --depth_;
            return true;
        }
        std::unordered_set<std::string> seen;
        for (;;) {
            if (p_ == end_)
                return failEnd();
            if (*p_ != '"')
                return fail(p_, "expected a string key");
            const char* keyStart = p_;
            const int keyLine = line_;
            std::string key;
            if (!parseString(key))
                return false;
            if (!seen.insert(key).second)
                return fail(keyStart, "duplicate key " + quoted(key));
            skipWhitespace();
            if (p_ == end_)
                return failEnd();
            if (*p_ != ':')
                return fail(p_, "expected ':'");
            ++p_;
            skipWhitespace();
            v.members_.emplace_back(std::move(key), Value());
            Value& member = v.members_.back().second;
            member.keyLine_ = keyLine;
            if (!parseValue(member))
                return false;
            skipWhitespace();
            if (p_ == end_)
                return failEnd();
            if (*p_ == '}')
                break;
            if (*p_ != ',')
                return fail(p_, "expected ',' or '}'");
            ++p_;
            skipWhitespace();
        }
        ++p_;
        --depth_;
        return true;
    }

    bool parseHex4(const char* at, unsigned long& cp)
    {
        if (end_ - at < 4)
            return fail(at, "invalid escape");
        cp = 0;
        for (int i = 0; i < 4; ++i) {
            static const std::string digits = "0123456789abcdef";
            const size_t d = digits.find(static_cast<char>(std::tolower(static_cast<unsigned char>(at[i]))));
            if (d == std::string::npos)
                return fail(at + i, "invalid escape");
            cp = cp * 16 + static_cast<unsigned long>(d);
        }
        return true;
    }

    // Called with p_ on '\\'; leaves p_ after the escape.
    bool parseEscape(std::string& out)
    {
        const char* start = p_;
        if (++p_ == end_)
            return fail(start, "unterminated string");
        const char c = *p_++;
        switch (c) {
        case '"': out += '"'; return true;
        case '\\': out += '\\'; return true;
        case '/': out += '/'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'u': break;
        default: return fail(start, "invalid escape");
        }
        unsigned long cp;
        if (!parseHex4(p_, cp))
            return false;
        p_ += 4;
        if (cp >= 0xDC00 && cp <= 0xDFFF)
            return fail(start, "unpaired surrogate");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            unsigned long low = 0;
            if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u')
                return fail(start, "unpaired surrogate");
            if (!parseHex4(p_ + 2, low))
                return false;
            if (low < 0xDC00 || low > 0xDFFF)
                return fail(start, "unpaired surrogate");
            p_ += 6;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(out, cp);
        return true;
    }

    // Called with p_ on the opening quote.
    bool parseString(std::string& out)
    {
        const char* open = p_++;
        for (;;) {
            const char* run = p_;
            while (p_ < end_ && *p_ != '"' && *p_ != '\\' && static_cast<unsigned char>(*p_) >= 0x20
                   && static_cast<unsigned char>(*p_) < 0x80)
                ++p_;
            out.append(run, p_);
            // A newline inside a string is almost always a missing closing
            // quote, so report that at the place it opened.
            if (p_ == end_ || *p_ == '\n' || *p_ == '\r')
                return fail(open, "unterminated string");
            const unsigned char c = static_cast<unsigned char>(*p_);
            if (c == '"') {
                ++p_;
                return true;
            }
            if (c == '\\') {
                if (!parseEscape(out))
                    return false;
            } else if (c < 0x20) {
                return fail(p_, "control character in string");
            } else {
                const size_t n = utf8SequenceLength(p_, end_);
                if (n == 0)
                    return fail(p_, "invalid UTF-8");
                out.append(p_, n);
                p_ += n;
            }
        }
    }

    bool parseNumber(Value& v)
    {
        const char* start = p_;
        auto digits = [&] {
            const char* from = p_;
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
                ++p_;
            return p_ - from;
        };
        if (*p_ == '-')
            ++p_;
        if (p_ < end_ && *p_ == '0')
            ++p_;
        else if (digits() == 0)
            return p_ == end_ ? failEnd() : fail(p_, "invalid number");
        bool integral = true;
        if (p_ < end_ && *p_ == '.') {
            ++p_;
            integral = false;
            if (digits() == 0)
                return p_ == end_ ? failEnd() : fail(p_, "invalid number");
        }
        if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
            ++p_;
            integral = false;
            if (p_ < end_ && (*p_ == '+' || *p_ == '-'))
                ++p_;
            if (digits() == 0)
                return p_ == end_ ? failEnd() : fail(p_, "invalid number");
        }
        if (integral) {
            const auto res = std::from_chars(start, p_, v.int_);
            if (res.ec == std::errc()) {
                v.kind_ = Kind::Int;
                return true;
            }
        }
        // from_chars is locale independent, unlike strtod.
        const auto res = std::from_chars(start, p_, v.real_);
        if (res.ec != std::errc() || res.ptr != p_)
            return fail(start, "number out of range");
        v.kind_ = Kind::Real;
        return true;
    }
};

bool parse(const std::string& utf8Text, Value& out, ParseError& error)
{
    return Parser(utf8Text).run(out, error);
}

std::string write(const Value& v)
{
    std::string out;
    writeValue(out, v, 0);
    out += '\n';
    return out;
}

}  // namespace json
