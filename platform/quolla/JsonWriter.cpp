// JsonWriter.cpp - writing the JSON model: the pretty printer, and the
// writer that gives back the parsed text wherever the tree still holds it.
#include "JsonValue.h"
#include "JsonUtf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <stdexcept>

namespace json {

namespace {

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
