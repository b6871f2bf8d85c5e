// JSON document model for the configuration file: strict parsing with line
// numbers for error reports, a stable pretty printer whose output is meant to
// be read, diffed and edited by hand, and a writer that gives back the parsed
// text byte for byte wherever the tree still holds what was read.
//
// A reader that needs only part of a large document can leave the rest
// unbuilt: every byte is still checked, but an unbuilt array or object costs
// no more than its place in the text until expand() builds it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace json {

enum class Kind : unsigned char { Null, Bool, Int, Real, String, Array, Object };

class Value {
public:
    Value();  // Null
    static Value makeBool(bool b);
    static Value makeInt(long long i);
    static Value makeReal(double d);
    static Value makeString(std::string utf8);
    static Value makeArray();
    static Value makeObject();

    Kind kind() const { return kind_; }
    // 1-based line where the value starts in the parsed text, 0 if built in memory.
    int line() const { return line_; }
    // False for an array or object that parse() checked but left unbuilt:
    // it has no items or members until expand() builds them.
    bool built() const { return built_; }

    // Reading a value of another kind yields false / 0 / "" (asReal also
    // accepts an Int), so callers check kind() when the shape matters.
    bool asBool() const;
    long long asInt() const;
    double asReal() const;
    const std::string& asString() const;

    // Arrays. append() turns a Null into an empty array first; on any other
    // non-array kind it throws std::logic_error.
    const std::vector<Value>& items() const { return items_; }
    std::vector<Value>& items() { return items_; }
    void append(Value v);

    // Objects: members keep insertion / file order. set() turns a Null into an
    // empty object first; on any other non-object kind it throws std::logic_error.
    const std::vector<std::pair<std::string, Value>>& members() const { return members_; }
    std::vector<std::pair<std::string, Value>>& members() { return members_; }
    const Value* find(const std::string& key) const;
    Value* find(const std::string& key);
    // Replaces an existing member in place (keeping its position, its key as
    // written and its key line) or appends a new one at the end. A member
    // that already equals v is left as it stands, its text included.
    Value& set(const std::string& key, Value v);
    bool erase(const std::string& key);
    // Line of the member's key in the parsed text, 0 if unknown.
    int keyLine(const std::string& key) const;
    // Line of this value's key, for a member of an object read from text.
    int keyLine() const { return keyLine_; }

private:
    friend class Parser;
    friend class Writer;
    friend bool operator==(const Value& a, const Value& b);
    explicit Value(Kind kind) : kind_(kind) {}
    Kind kind_ = Kind::Null;
    bool built_ = true;
    int line_ = 0;
    int keyLine_ = 0;  // set on a value held by an object: the line of its key
    // Byte offsets into the parsed text, all zero for a value built in
    // memory. [begin_, end_) is the value itself. For a member or an item,
    // [leadBegin_, leadEnd_) is what stands before it back to the previous
    // one or the opening bracket: blanks, the comma, the key and the colon.
    // The lead belongs to the place, so it stays when the value is replaced.
    uint32_t begin_ = 0;
    uint32_t end_ = 0;
    uint32_t leadBegin_ = 0;
    uint32_t leadEnd_ = 0;
    union {
        long long int_ = 0;
        double real_;
        bool bool_;
    };
    std::string string_;
    std::vector<Value> items_;
    std::vector<std::pair<std::string, Value>> members_;
};

// Structural equality: kinds and contents, member order included; line
// numbers are ignored. Int 1 and Real 1.0 are different. An unbuilt value
// equals only an unbuilt value read from the same place.
bool operator==(const Value& a, const Value& b);
inline bool operator!=(const Value& a, const Value& b) { return !(a == b); }

struct ParseError {
    int line = 0;    // 1-based
    int column = 0;  // 1-based, in characters
    std::string message;  // short phrase without the position
    // The text may be sound, but the memory ran out at line and column.
    bool outOfMemory = false;
};

// How much of an array or object parse() builds.
enum class Build { Nothing, Members, Everything };
// Decides for an array or object from the keys that lead to it from the
// root (none for the root itself; an array's item adds an empty key).
// Members builds its scalars and asks again for each of its containers;
// everything below a container built whole is built whole.
typedef std::function<Build(const std::vector<std::string>& keys)> BuildRule;

// Whether an object may repeat a key. JSON allows it; a reader that does
// finds the first with find() and checks the objects it reads itself.
enum class Keys { Unique, MayRepeat };

// Parses strict JSON (no comments, trailing commas or single quotes) with an
// optional UTF-8 byte order mark. Lines end with LF, CR LF or a lone CR.
// Every number of JSON's grammar is accepted; one beyond a double's range
// reads as an infinity or zero of its sign. Nesting deeper than 512 levels
// is refused, and so, unless keys allow it, is a key repeated in an object.
// Returns false and fills error on failure; out is only assigned on
// success. Without a rule everything is built.
bool parse(const std::string& utf8Text, Value& out, ParseError& error, const BuildRule& rule = BuildRule(),
           Keys keys = Keys::Unique);

// Builds v whole, if parse() left it unbuilt, from text, the text it was
// parsed from with the same keys. Fails only when the memory runs out.
bool expand(Value& v, const std::string& text, ParseError& error, Keys keys = Keys::Unique);

// Pretty prints with 2-space indentation, ending with "\n"; v must be built
// whole (std::logic_error otherwise). Reals are written in the shortest form
// that reads back to the same double; NaN and infinities have no JSON form
// and are written as null. Bytes in strings that are not valid UTF-8 are
// written as U+FFFD so the output always parses.
std::string write(const Value& v);

// Writes v, which parse() read from text and which may have been changed
// since, giving back text's own bytes for everything still as read: numbers
// and strings as spelled, blanks, line ends, the byte order mark and what
// surrounds the root. Members and items added or replaced follow the layout
// of their neighbours. With no changes the result is text itself.
std::string write(const Value& v, const std::string& text);

// s as a JSON string literal, quotes included.
std::string quote(const std::string& s);

}  // namespace json
