// JsonReader.cpp - strict parsing of JSON text into the model, with line
// numbers for error reports and values left unbuilt where a reader asks.
#include "JsonValue.h"
#include "JsonUtf8.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <unordered_set>

namespace json {

namespace {

const int kMaxDepth = 512;

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

}  // namespace

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
    Parser(const std::string& text, const BuildRule* rule, Keys keys)
        : origin_(text.data()), begin_(text.data()), p_(text.data()), end_(text.data() + text.size()), rule_(rule),
          unique_(keys == Keys::Unique)
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
    bool unique_;
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
        : origin_(outer.origin_), begin_(outer.begin_), p_(at), end_(outer.end_), rule_(nullptr), unique_(false)
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

    // The end of a text that ends with a line end is on its last line, not
    // on the empty one after it.
    bool failEnd()
    {
        const char* at = end_;
        if (at > begin_ && (at[-1] == '\n' || at[-1] == '\r'))
            at -= at - begin_ >= 2 && at[-2] == '\r' && at[-1] == '\n' ? 2 : 1;
        return fail(at, "unexpected end of text");
    }

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
            if (unique_)
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
        return !unique_ || uniqueKeys(open, keysFrom);
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

bool parse(const std::string& utf8Text, Value& out, ParseError& error, const BuildRule& rule, Keys keys)
{
    // Positions are kept in 32 bits.
    if (utf8Text.size() >= UINT32_MAX) {
        error.line = error.column = 1;
        error.message = "text larger than 4 GiB";
        return false;
    }
    return Parser(utf8Text, rule ? &rule : nullptr, keys).run(out, error);
}

bool expand(Value& v, const std::string& text, ParseError& error, Keys keys)
{
    return v.built() || Parser(text, nullptr, keys).expandInto(v, error);
}

}  // namespace json
