#include "JsonValue.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iterator>
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

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
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

// The blanks of one member or item as written: before it (after the comma),
// between key and colon, and after the colon.
struct Gaps
{
    std::string before;
    std::string afterKey;
    std::string afterColon = " ";
};

// Where a new value goes: the indentation of its line and one level more,
// or all on one line like its neighbours.
struct Layout
{
    std::string indent;
    std::string unit = "  ";
    bool oneLine = false;
};

Layout layoutAfter(const std::string& before, const std::string& outerIndent)
{
    Layout layout;
    const size_t newline = before.find_last_of("\r\n");
    if (newline == std::string::npos) {
        layout.indent = outerIndent;
        layout.oneLine = true;
        return layout;
    }
    layout.indent = before.substr(newline + 1);
    if (layout.indent.size() > outerIndent.size() && layout.indent.compare(0, outerIndent.size(), outerIndent) == 0)
        layout.unit = layout.indent.substr(outerIndent.size());
    return layout;
}

}  // namespace

// ---------------------------------------------------------------------------
// Writer

class Writer {
public:
    // With a text, values read from it are given back as they stand there.
    // New lines end as the text's first line does.
    explicit Writer(const std::string* text) : text_(text)
    {
        const size_t end = text ? text->find_first_of("\r\n") : std::string::npos;
        if (end != std::string::npos && (*text)[end] == '\r')
            newline_ = end + 1 < text->size() && (*text)[end + 1] == '\n' ? "\r\n" : "\r";
    }

    std::string out;

    // The root with what stands before and after it in the text.
    void document(const Value& root)
    {
        if (!root.end_) {
            value(root, Layout());
            out += '\n';
            return;
        }
        out.append(*text_, 0, root.begin_);
        kept(root, Layout());
        out.append(*text_, root.end_, std::string::npos);
    }

    void value(const Value& v, const Layout& at)
    {
        if (text_ && v.end_) {
            kept(v, at);
            return;
        }
        if (!v.built())
            throw std::logic_error("json::write of an unbuilt value without its text");
        switch (v.kind()) {
        case Kind::Null: out += "null"; break;
        case Kind::Bool: out += v.asBool() ? "true" : "false"; break;
        case Kind::Int: out += std::to_string(v.asInt()); break;
        case Kind::Real: writeReal(out, v.asReal()); break;
        case Kind::String: writeString(out, v.asString()); break;
        case Kind::Array:
        case Kind::Object: {
            const bool object = v.kind() == Kind::Object;
            const size_t count = object ? v.members().size() : v.items().size();
            if (count == 0) {
                out += object ? "{}" : "[]";
                break;
            }
            Layout inner = at;
            inner.indent += at.unit;
            out += object ? '{' : '[';
            for (size_t i = 0; i < count; ++i) {
                if (i)
                    out += at.oneLine ? ", " : ",";
                if (!at.oneLine) {
                    out += newline_;
                    out += inner.indent;
                }
                if (object) {
                    writeString(out, v.members()[i].first);
                    out += ": ";
                }
                value(object ? v.members()[i].second : v.items()[i], inner);
            }
            if (!at.oneLine) {
                out += newline_;
                out += at.indent;
            }
            out += object ? '}' : ']';
            break;
        }
        }
    }

private:
    const std::string* text_;
    std::string newline_ = "\n";
    std::vector<uint32_t> lineStarts_;  // of the text, made when first needed

    // The leading blanks of the line that holds offset at. The lines are
    // indexed once, so that a document on one long line costs no more.
    std::string lineIndent(size_t at)
    {
        const std::string& t = *text_;
        if (lineStarts_.empty()) {
            lineStarts_.push_back(0);
            for (size_t i = 0; i < t.size(); ++i)
                if (t[i] == '\n' || (t[i] == '\r' && (i + 1 == t.size() || t[i + 1] != '\n')))
                    lineStarts_.push_back(static_cast<uint32_t>(i + 1));
        }
        size_t start = *(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), at) - 1);
        size_t end = start;
        while (end < at && (t[end] == ' ' || t[end] == '\t'))
            ++end;
        return t.substr(start, end - start);
    }

    // The blanks of a child's lead; the key is skipped over as written.
    Gaps gapsOf(const Value& child, bool object) const
    {
        const std::string& t = *text_;
        size_t p = child.leadBegin_;
        const size_t end = child.leadEnd_;
        while (p < end && isBlank(t[p]))
            ++p;
        size_t from = p < end && t[p] == ',' ? p + 1 : child.leadBegin_;
        Gaps gaps;
        if (!object) {
            gaps.before = t.substr(from, end - from);
            return gaps;
        }
        size_t key = from;
        while (key < end && t[key] != '"')
            ++key;
        gaps.before = t.substr(from, key - from);
        size_t q = key + 1;
        while (q < end && t[q] != '"')
            q += t[q] == '\\' ? 2 : 1;
        const size_t colon = t.find(':', q);
        gaps.afterKey = t.substr(q + 1, colon - q - 1);
        gaps.afterColon = t.substr(colon + 1, end - colon - 1);
        return gaps;
    }

    static bool isContainer(const Value& v) { return v.kind() == Kind::Array || v.kind() == Kind::Object; }

    // Whether v stands in the text as it was read: nothing in it replaced,
    // added, removed or moved.
    bool pristine(const Value& v) const
    {
        if (!v.end_)
            return false;
        if (!isContainer(v) || !v.built())
            return true;
        const bool object = v.kind() == Kind::Object;
        const size_t count = object ? v.members().size() : v.items().size();
        uint32_t next = v.begin_ + 1;  // where the next child's lead starts
        for (size_t i = 0; i < count; ++i) {
            const Value& c = object ? v.members()[i].second : v.items()[i];
            if (c.leadBegin_ != next || c.leadEnd_ != c.begin_ || !pristine(c))
                return false;
            next = c.end_;
        }
        for (; next + 1 < v.end_; ++next)
            if (!isBlank((*text_)[next]))
                return false;
        return true;
    }

    // A value read from the text: a scalar, or a container as read, is
    // copied; another container is rebuilt from its children's leads, so
    // that removed, replaced and added children change only their own part
    // of the text. Where no child shows how children are laid out, at (the
    // value's own place) tells.
    void kept(const Value& v, const Layout& at)
    {
        const std::string& t = *text_;
        if (pristine(v)) {
            out.append(t, v.begin_, v.end_ - v.begin_);
            return;
        }
        const bool object = v.kind() == Kind::Object;
        const size_t count = object ? v.members().size() : v.items().size();
        auto child = [&](size_t i) -> const Value& { return object ? v.members()[i].second : v.items()[i]; };

        // What a rebuilt child needs is worked out when one first needs it.
        std::string own;
        bool ownKnown = false;
        auto ownIndent = [&]() -> const std::string& {
            if (!ownKnown)
                own = lineIndent(v.begin_);
            ownKnown = true;
            return own;
        };
        // New children copy the blanks of the last child that has its own.
        Gaps model;
        bool modelKnown = false;
        bool modelled = false;
        auto modelGaps = [&]() -> const Gaps& {
            if (modelKnown)
                return model;
            modelKnown = true;
            model.before = at.oneLine ? std::string() : newline_ + ownIndent() + at.unit;
            for (size_t i = count; i-- > 0 && !modelled;) {
                if (child(i).leadEnd_) {
                    model = gapsOf(child(i), object);
                    modelled = true;
                }
            }
            return model;
        };
        const size_t close = v.end_ - 1;
        size_t closingGap = close;
        while (closingGap > v.begin_ + 1 && isBlank(t[closingGap - 1]))
            --closingGap;
        const bool wasEmpty = closingGap == v.begin_ + 1;

        out += t[v.begin_];
        for (size_t i = 0; i < count; ++i) {
            const Value& c = child(i);
            // Only a container rebuilt or written anew is laid out.
            const bool laidOut = isContainer(c) && c.built() && !pristine(c);
            if (c.leadEnd_) {
                size_t from = c.leadBegin_;
                size_t p = from;
                while (p < c.leadEnd_ && isBlank(t[p]))
                    ++p;
                const bool comma = p < c.leadEnd_ && t[p] == ',';
                if (i == 0 && comma)
                    from = p + 1;
                else if (i > 0 && !comma)
                    out += ',';
                out.append(t, from, c.leadEnd_ - from);
                value(c, laidOut ? layoutAfter(gapsOf(c, object).before, ownIndent()) : Layout());
            } else {
                const Gaps& gaps = modelGaps();
                if (i > 0)
                    out += ',';
                out += gaps.before;
                if (object) {
                    writeString(out, v.members()[i].first);
                    out += gaps.afterKey;
                    out += ':';
                    out += gaps.afterColon;
                }
                value(c, laidOut ? layoutAfter(gaps.before, ownIndent()) : Layout());
            }
        }
        if (wasEmpty && count > 0 && !at.oneLine && (modelGaps(), !modelled)) {
            out += newline_;
            out += ownIndent();
            out += t[close];
        } else {
            out.append(t, closingGap, v.end_ - closingGap);
        }
    }
};

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

// ---------------------------------------------------------------------------
// Parser

namespace {

// FNV-1a. An object's keys are told apart by their hashes first, so that
// checking for duplicates keeps no copy of keys that are left unbuilt.
uint64_t hashOf(const std::string& s)
{
    uint64_t h = 14695981039346656037ull;
    for (char c : s) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

}  // namespace

class Parser {
public:
    Parser(const std::string& text, const BuildRule* rule)
        : origin_(text.data()), begin_(text.data()), p_(text.data()), end_(text.data() + text.size()), rule_(rule)
    {
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            begin_ = p_ = p_ + 3;
    }

    bool run(Value& out, ParseError& error)
    {
        return guarded(error, [&] {
            Value root;
            skipWhitespace();
            bool ok = parseValue(&root, levelHere(rule_ ? Build::Members : Build::Everything));
            if (ok) {
                skipWhitespace();
                ok = p_ == end_ || fail(p_, "unexpected text after the value");
            }
            if (ok)
                out = std::move(root);
            return ok;
        });
    }

    // Builds v whole from its own text, which was read once already.
    bool expandInto(Value& v, ParseError& error)
    {
        p_ = origin_ + v.begin_;
        line_ = v.line_;
        return guarded(error, [&] {
            Value whole;
            if (!parseValue(&whole, Build::Everything))
                return false;
            v.items_ = std::move(whole.items_);
            v.members_ = std::move(whole.members_);
            v.built_ = true;
            return true;
        });
    }

private:
    const char* origin_;  // offsets count from here, byte order mark included
    const char* begin_;
    const char* p_;
    const char* end_;
    int line_ = 1;
    int depth_ = 0;
    const BuildRule* rule_;
    std::vector<std::string> path_;   // keys down to the container being asked about
    std::string key_;                 // the key being read
    std::vector<uint64_t> keyHashes_;  // of the objects open, innermost last
    // The children of the containers being built, one list a level: moved
    // into a list of their own size when their container closes, so that
    // building leaves no half-used lists behind.
    std::vector<std::vector<Value>> readItems_ = std::vector<std::vector<Value>>(kMaxDepth + 1);
    std::vector<std::vector<std::pair<std::string, Value>>> readMembers_ =
        std::vector<std::vector<std::pair<std::string, Value>>>(kMaxDepth + 1);
    ParseError error_;

    // A second reader over the same text from at, for reading an object again.
    Parser(const Parser& outer, const char* at)
        : origin_(outer.origin_), begin_(outer.begin_), p_(at), end_(outer.end_), rule_(nullptr)
    {
    }

    // Runs read; when the memory runs out on the way, what was built is gone
    // again and the error says where reading stopped.
    template <class Read>
    bool guarded(ParseError& error, Read read)
    {
        bool ok = false;
        bool exhausted = false;
        try {
            ok = read();
        } catch (const std::bad_alloc&) {
            exhausted = true;
        } catch (const std::length_error&) {
            exhausted = true;
        }
        if (exhausted) {
            path_.clear();
            keyHashes_.clear();
            keyHashes_.shrink_to_fit();
            fail(p_, "out of memory");
            error_.outOfMemory = true;
        }
        if (!ok)
            error = error_;
        return ok;
    }

    bool fail(const char* at, std::string message)
    {
        // Errors are rare: find the position by rescanning rather than
        // tracking columns all along. Columns count characters, not bytes.
        int line = 1;
        int column = 1;
        for (const char* q = begin_; q < at; ++q) {
            if (*q == '\n' || (*q == '\r' && (q + 1 == end_ || q[1] != '\n'))) {
                ++line;
                column = 1;
            } else if (*q != '\r' && (static_cast<unsigned char>(*q) & 0xC0) != 0x80) {
                ++column;
            }
        }
        error_.line = line;
        error_.column = column;
        error_.message = std::move(message);
        return false;
    }

    bool failEnd() { return fail(end_, "unexpected end of text"); }

    // A line ends with LF, CR LF or a lone CR.
    void skipWhitespace()
    {
        for (; p_ < end_; ++p_) {
            const char c = *p_;
            if (c == '\n')
                ++line_;
            else if (c == '\r')
                line_ += p_ + 1 == end_ || p_[1] != '\n';
            else if (c != ' ' && c != '\t')
                break;
        }
    }

    uint32_t offset(const char* at) const { return static_cast<uint32_t>(at - origin_); }

    // How much of the value at p_ to build, inside a container built to
    // parent; its key, if any, is on path_. Scalars are built with their
    // container.
    Build levelHere(Build parent) const
    {
        if (parent != Build::Members)
            return parent;
        if (p_ == end_ || (*p_ != '{' && *p_ != '['))
            return Build::Everything;
        return (*rule_)(path_);
    }

    // With v null the value is only checked.
    bool parseValue(Value* v, Build level)
    {
        if (v) {
            v->begin_ = offset(p_);
            v->line_ = line_;
        }
        const bool ok = parseBody(v, level);
        if (v)
            v->end_ = offset(p_);
        return ok;
    }

    bool parseBody(Value* v, Build level)
    {
        if (p_ == end_)
            return failEnd();
        switch (*p_) {
        case '{': return parseObject(v, level);
        case '[': return parseArray(v, level);
        case '"':
            if (v)
                v->kind_ = Kind::String;
            return parseString(v ? &v->string_ : nullptr);
        case 't':
            if (v) {
                v->kind_ = Kind::Bool;
                v->bool_ = true;
            }
            return parseWord("true");
        case 'f':
            if (v) {
                v->kind_ = Kind::Bool;
                v->bool_ = false;
            }
            return parseWord("false");
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

    // The container v becomes, if it is to be built; null if it is only checked.
    static Value* container(Value* v, Kind kind, Build level)
    {
        if (!v)
            return nullptr;
        v->kind_ = kind;
        v->built_ = level != Build::Nothing;
        return v->built_ ? v : nullptr;
    }

    bool parseArray(Value* v, Build level)
    {
        Value* built = container(v, Kind::Array, level);
        const bool asked = built && level == Build::Members;
        uint32_t lead = offset(p_) + 1;
        if (!enter())
            return false;
        if (p_ < end_ && *p_ == ']') {
            ++p_;
            --depth_;
            return true;
        }
        if (asked)
            path_.emplace_back();
        for (;;) {
            Value* item = nullptr;
            if (built) {
                readItems_[depth_].emplace_back();
                item = &readItems_[depth_].back();
                item->leadBegin_ = lead;
                item->leadEnd_ = offset(p_);
            }
            if (!parseValue(item, built ? levelHere(level) : Build::Nothing))
                return false;
            lead = offset(p_);
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
        if (asked)
            path_.pop_back();
        if (built)
            settle(readItems_[depth_], built->items_);
        ++p_;
        --depth_;
        return true;
    }

    template <class Child>
    static void settle(std::vector<Child>& read, std::vector<Child>& own)
    {
        own.reserve(read.size());
        std::move(read.begin(), read.end(), std::back_inserter(own));
        read.clear();
    }

    bool parseObject(Value* v, Build level)
    {
        Value* built = container(v, Kind::Object, level);
        const bool asked = built && level == Build::Members;
        const char* open = p_;
        uint32_t lead = offset(p_) + 1;
        if (!enter())
            return false;
        if (p_ < end_ && *p_ == '}') {
            ++p_;
            --depth_;
            return true;
        }
        const size_t keysFrom = keyHashes_.size();
        for (;;) {
            if (p_ == end_)
                return failEnd();
            if (*p_ != '"')
                return fail(p_, "expected a string key");
            const int keyLine = line_;
            key_.clear();
            if (!parseString(&key_))
                return false;
            keyHashes_.push_back(hashOf(key_));
            skipWhitespace();
            if (p_ == end_)
                return failEnd();
            if (*p_ != ':')
                return fail(p_, "expected ':'");
            ++p_;
            skipWhitespace();
            Value* member = nullptr;
            if (built) {
                readMembers_[depth_].emplace_back(key_, Value());
                member = &readMembers_[depth_].back().second;
                member->keyLine_ = keyLine;
                member->leadBegin_ = lead;
                member->leadEnd_ = offset(p_);
            }
            if (asked)
                path_.push_back(key_);
            if (!parseValue(member, built ? levelHere(level) : Build::Nothing))
                return false;
            if (asked)
                path_.pop_back();
            lead = offset(p_);
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
        if (built)
            settle(readMembers_[depth_], built->members_);
        ++p_;
        --depth_;
        return uniqueKeys(open, keysFrom);
    }

    // The keys of the object just read are those hashed from keysFrom on.
    bool uniqueKeys(const char* open, size_t keysFrom)
    {
        const auto first = keyHashes_.begin() + keysFrom;
        std::sort(first, keyHashes_.end());
        const bool clash = std::adjacent_find(first, keyHashes_.end()) != keyHashes_.end();
        keyHashes_.resize(keysFrom);
        return !clash || noDuplicateKey(open);
    }

    // Reads the well-formed object at open again, comparing its keys in
    // full, and fails at the first that repeats an earlier one.
    bool noDuplicateKey(const char* open)
    {
        Parser again(*this, open + 1);
        std::unordered_set<std::string> seen;
        for (;;) {
            again.skipWhitespace();
            const char* keyStart = again.p_;
            std::string key;
            again.parseString(&key);
            if (!seen.insert(key).second)
                return fail(keyStart, "duplicate key " + quote(key));
            again.skipWhitespace();
            ++again.p_;  // the colon
            again.skipWhitespace();
            again.parseValue(nullptr, Build::Nothing);
            again.skipWhitespace();
            if (*again.p_++ == '}')
                return true;
        }
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

    // Called with p_ on '\\'; leaves p_ after the escape. With out null the
    // escape is only checked.
    bool parseEscape(std::string* out)
    {
        const char* start = p_;
        if (++p_ == end_)
            return fail(start, "unterminated string");
        const char c = *p_++;
        char plain;
        switch (c) {
        case '"': plain = '"'; break;
        case '\\': plain = '\\'; break;
        case '/': plain = '/'; break;
        case 'b': plain = '\b'; break;
        case 'f': plain = '\f'; break;
        case 'n': plain = '\n'; break;
        case 'r': plain = '\r'; break;
        case 't': plain = '\t'; break;
        case 'u': plain = 0; break;
        default: return fail(start, "invalid escape");
        }
        if (plain) {
            if (out)
                *out += plain;
            return true;
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
        if (out)
            appendUtf8(*out, cp);
        return true;
    }

    // Called with p_ on the opening quote. With out null the string is only
    // checked.
    bool parseString(std::string* out)
    {
        const char* open = p_++;
        for (;;) {
            const char* run = p_;
            while (p_ < end_ && *p_ != '"' && *p_ != '\\' && static_cast<unsigned char>(*p_) >= 0x20
                   && static_cast<unsigned char>(*p_) < 0x80)
                ++p_;
            if (out)
                out->append(run, p_);
            // A line end inside a string is almost always a missing closing
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
                if (out)
                    out->append(p_, n);
                p_ += n;
            }
        }
    }

    // With v null the number is only checked.
    bool parseNumber(Value* v)
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
        if (!v)
            return true;
        if (integral) {
            const auto res = std::from_chars(start, p_, v->int_);
            if (res.ec == std::errc()) {
                v->kind_ = Kind::Int;
                return true;
            }
        }
        // from_chars is locale independent, unlike strtod. Beyond a double's
        // range it leaves the value alone: the text still stands as written.
        v->kind_ = Kind::Real;
        const auto res = std::from_chars(start, p_, v->real_);
        if (res.ec == std::errc::result_out_of_range) {
            const char* e = std::find_if(start, p_, [](char c) { return c == 'e' || c == 'E'; });
            const bool tiny = e != p_ && e[1] == '-';
            v->real_ = tiny ? 0.0 : HUGE_VAL;
            if (*start == '-')
                v->real_ = -v->real_;
        }
        return true;
    }
};

bool parse(const std::string& utf8Text, Value& out, ParseError& error, const BuildRule& rule)
{
    // Positions are kept in 32 bits.
    if (utf8Text.size() >= UINT32_MAX) {
        error.line = error.column = 1;
        error.message = "text larger than 4 GiB";
        return false;
    }
    return Parser(utf8Text, rule ? &rule : nullptr).run(out, error);
}

bool expand(Value& v, const std::string& text, ParseError& error)
{
    return v.built() || Parser(text, nullptr).expandInto(v, error);
}

std::string write(const Value& v)
{
    Writer writer(nullptr);
    writer.value(v, Layout());
    return writer.out + '\n';
}

std::string write(const Value& v, const std::string& text)
{
    Writer writer(&text);
    writer.document(v);
    return writer.out;
}

std::string quote(const std::string& s)
{
    std::string out;
    writeString(out, s);
    return out;
}

}  // namespace json
