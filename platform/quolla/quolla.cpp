// quolla.cpp - the configuration library over one JSON document.
#include "quolla.h"

#include "DurableFile.h"
#include "JsonValue.h"

#include <cmath>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

/////////////////////////////////////////////////////////////////////////////
// Text: UTF-8 in the file, the process code page in CStrings. Under the UTF-8
// code page (the console's manifest asks for it) both are the same bytes.

bool codePageIsUtf8()
{
    static const bool utf8 = GetACP() == CP_UTF8;
    return utf8;
}

// ASCII is the same in UTF-8 and in every code page.
bool isAscii(const std::string& text)
{
    for (char c : text)
        if ((unsigned char)c >= 0x80)
            return false;
    return true;
}

CString bytes(const std::string& s)
{
    return CString(s.data(), (int)s.size());
}

std::string toUtf8(const CString& s)
{
    std::string text(s, s.GetLength());
    if (codePageIsUtf8() || isAscii(text))
        return text;
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), NULL, 0);
    std::vector<WCHAR> buffer(wide > 0 ? wide : 1);
    MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), buffer.data(), wide);
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, NULL, 0, NULL, NULL);
    if (narrow <= 0)
        return std::string();
    std::string out(narrow, '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, &out[0], narrow, NULL, NULL);
    return out;
}

// False, and out untouched, when the text cannot be held in a CString as it
// is: the code page has no character for some of it, or it holds U+0000,
// where most users of a CString would cut it short. Such a text is never
// handed out as "?" or cut: two names would merge, and writing them back
// would lose the originals.
bool fromUtf8(const std::string& s, CString& out)
{
    if (s.find('\0') != std::string::npos)
        return false;
    if (codePageIsUtf8() || isAscii(s)) {
        out = bytes(s);
        return true;
    }
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), (int)s.size(), NULL, 0);
    if (wide <= 0)
        return false;
    std::vector<WCHAR> buffer(wide);
    MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), buffer.data(), wide);
    BOOL lossy = FALSE;
    const int narrow = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, buffer.data(), wide, NULL, 0, NULL, &lossy);
    if (narrow <= 0 || lossy)
        return false;
    std::string ansi(narrow, '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, buffer.data(), wide, &ansi[0], narrow, NULL, NULL);
    out = bytes(ansi);
    return true;
}

// A message for the administrator. Where the code page cannot hold it, the
// characters outside ASCII are written as JSON escapes, so that the key it
// names can still be found in the file.
CString messageText(const std::string& utf8)
{
    CString text;
    if (fromUtf8(utf8, text))
        return text;
    std::string escaped;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = (unsigned char)utf8[i];
        if (c < 0x80 && c != 0) {
            escaped += (char)c;
            ++i;
            continue;
        }
        const int length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        unsigned long cp = length == 1 ? c : c & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            cp = (cp << 6) | ((unsigned char)utf8[i + k] & 0x3F);
        i += length;
        char unit[16];
        if (cp >= 0x10000) {
            cp -= 0x10000;
            sprintf(unit, "\\u%04lx\\u%04lx", 0xD800 + (cp >> 10), 0xDC00 + (cp & 0x3FF));
        } else {
            sprintf(unit, "\\u%04lx", cp);
        }
        escaped += unit;
    }
    return bytes(escaped);
}

/////////////////////////////////////////////////////////////////////////////
// Shapes of stored values

enum class Shape { Int, String, StringList, Bool, Servers, Groups };

struct Field
{
    const char* name;
    Shape shape;
    bool required;
};

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

struct KnownKey
{
    const char* section;
    const char* key;
    Shape shape;
};

const KnownKey kKnownKeys[] = {
    { "sievex", "ip_port", Shape::Servers },           { "sievex", "activate", Shape::Int },
    { "sievex", "allowbypass", Shape::Int },           { "sievex", "denymsg", Shape::String },
    { "sievex", "urls_allow", Shape::StringList },     { "sievex", "urls_deny", Shape::StringList },
    { "sievex", "rules", Shape::Groups },              { "proxy_http", "remove_client_info", Shape::Int },
    { "proxy_http", "remove_cookies", Shape::Int },    { "proxy_http", "javaapplets", Shape::Int },
    { "proxy_http", "activexapplets", Shape::Int },    { "proxy_http", "deny_submissions", Shape::Int },
    { "proxy_http", "remove_unknown_headers", Shape::Int }, { "proxy_http", "log_access", Shape::Int },
    { "proxy_http", "idle_timeout", Shape::Int },      { "proxy_http", "require_content_type", Shape::Int },
    { "proxy_http", "deny_unsafe_content", Shape::Int }, { "proxy_http", "unsafe_patterns_enabled", Shape::Int },
    { "proxy_http", "proxy_server", Shape::String },   { "proxy_http", "safe_content", Shape::String },
    { "proxy_http", "unsafe_patterns", Shape::String },
};

struct Record
{
    const Field* fields;
    size_t count;
    const char* noun;  // in messages
};

Record recordOf(Shape shape)
{
    if (shape == Shape::Servers)
        return { kServerFields, sizeof kServerFields / sizeof *kServerFields, "server" };
    return { kGroupFields, sizeof kGroupFields / sizeof *kGroupFields, "group" };
}

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
// sentence that names the key.
struct Fault
{
    int line = 0;
    std::string what;
};

bool isInt32(const json::Value& v)
{
    return v.kind() == json::Kind::Int && v.asInt() >= INT_MIN && v.asInt() <= INT_MAX;
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

// Whether a text reaches the editor as it stands.
bool holdable(const std::string& text)
{
    if (text.find('\0') != std::string::npos)
        return false;
    CString held;
    return codePageIsUtf8() || isAscii(text) || fromUtf8(text, held);
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

bool isKnownKey(const std::string& section, const std::string* key)
{
    for (const KnownKey& known : kKnownKeys)
        if (section == known.section && (!key || *key == known.key))
            return true;
    return false;
}

// What open() builds: the way down to the sections this library knows, and
// their known keys whole. The rest is checked but stays text until asked
// for, so that whatever other tools keep in the document costs no memory.
json::Build builtAtOpen(const std::vector<std::string>& keys)
{
    switch (keys.size()) {
    case 0: return json::Build::Members;  // the document
    case 1: return keys[0] == "services" ? json::Build::Members : json::Build::Nothing;
    case 2: return json::Build::Members;  // a service
    case 3: return isKnownKey(keys[2], NULL) ? json::Build::Members : json::Build::Nothing;
    case 4: return isKnownKey(keys[2], &keys[3]) ? json::Build::Everything : json::Build::Nothing;
    }
    return json::Build::Nothing;
}

bool checkDocument(const json::Value& doc, Fault& fault)
{
    const json::Value* services = doc.find("services");
    if (doc.kind() != json::Kind::Object || !services || services->kind() != json::Kind::Object) {
        fault.line = services ? services->line() : doc.line();
        fault.what = "the document must be an object with a \"services\" object";
        return false;
    }
    for (const auto& service : services->members()) {
        const std::string ofService = " of service " + json::quote(service.first);
        if (service.second.kind() != json::Kind::Object) {
            fault.line = service.second.line();
            fault.what = "service " + json::quote(service.first) + " must be an object";
            return false;
        }
        for (const auto& section : service.second.members()) {
            const std::string inSection = " in section " + json::quote(section.first) + ofService;
            if (section.second.kind() != json::Kind::Object) {
                fault.line = section.second.line();
                fault.what = "section " + json::quote(section.first) + ofService + " must be an object";
                return false;
            }
            for (const KnownKey& known : kKnownKeys) {
                const json::Value* value = section.first == known.section ? section.second.find(known.key) : NULL;
                if (!value)
                    continue;
                fault.line = value->line();  // where the memory ran out, should it
                if (!checkShape(known.shape, *value, fault) || !checkTexts(known.shape, *value, fault)) {
                    fault.what = "key " + json::quote(known.key) + inSection + fault.what;
                    return false;
                }
            }
        }
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

template <class T>
T& held(QuoVal& value)
{
    return static_cast<QuoValOf<T>&>(value).value;
}

template <class T>
const T& held(const QuoVal& value)
{
    return static_cast<const QuoValOf<T>&>(value).value;
}

/////////////////////////////////////////////////////////////////////////////
// Records: one pair of functions per kind between the stored object and the
// library's record. Reading fails when a text cannot be held.

// An optional text field reads as empty when it is left out.
bool readText(const json::Value& record, const char* field, CString& out)
{
    const json::Value* v = record.find(field);
    if (!v) {
        out.Empty();
        return true;
    }
    return fromUtf8(v->asString(), out);
}

bool readServer(const json::Value& r, QuoVGServerIp& server)
{
    server.port = (int)r.find("port")->asInt();
    server.position = (int)r.find("position")->asInt();
    return readText(r, "address", server.address);
}

json::Value serverFields(const QuoVGServerIp& server)
{
    json::Value r = json::Value::makeObject();
    r.members().reserve(3);
    r.set("address", json::Value::makeString(toUtf8(server.address)));
    r.set("port", json::Value::makeInt(server.port));
    r.set("position", json::Value::makeInt(server.position));
    return r;
}

bool readGroup(const json::Value& r, QuoSievex& group)
{
    if (!readText(r, "opMask", group.opMask) || !readText(r, "schedule", group.schedule)
        || !readText(r, "nonOpMask", group.nonOpMask) || !readText(r, "reserved", group.reserved))
        return false;
    if (const json::Value* members = r.find("members")) {
        for (const json::Value& name : members->items()) {
            CString text;
            if (!fromUtf8(name.asString(), text))
                return false;
            group.members.Add(text);
        }
    }
    group.nonOpBlockAll = r.find("nonOpBlockAll")->asBool();
    group.opBlockAll = r.find("opBlockAll")->asBool();
    return true;
}

json::Value groupFields(const QuoSievex& group)
{
    json::Value r = json::Value::makeObject();
    r.members().reserve(7);
    r.set("opMask", json::Value::makeString(toUtf8(group.opMask)));
    r.set("schedule", json::Value::makeString(toUtf8(group.schedule)));
    r.set("nonOpMask", json::Value::makeString(toUtf8(group.nonOpMask)));
    r.set("reserved", json::Value::makeString(toUtf8(group.reserved)));
    json::Value members = json::Value::makeArray();
    for (int i = 0; i < group.members.GetSize(); ++i)
        members.append(json::Value::makeString(toUtf8(group.members[i])));
    r.set("members", std::move(members));
    r.set("nonOpBlockAll", json::Value::makeBool(group.nonOpBlockAll));
    r.set("opBlockAll", json::Value::makeBool(group.opBlockAll));
    return r;
}

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

}  // namespace

/////////////////////////////////////////////////////////////////////////////
// Records and maps

QuoSievex::QuoSievex(const QuoSievex& other) : nonOpBlockAll(false), opBlockAll(false)
{
    *this = other;
}

QuoSievex& QuoSievex::operator=(const QuoSievex& other)
{
    opMask = other.opMask;
    schedule = other.schedule;
    nonOpMask = other.nonOpMask;
    reserved = other.reserved;
    members.Copy(other.members);
    nonOpBlockAll = other.nonOpBlockAll;
    opBlockAll = other.opBlockAll;
    return *this;
}

// The keys and records in insertion order, and where each key stands.
class QuoPtrMapSlots
{
public:
    std::vector<CString> keys;
    std::vector<void*> values;
    std::unordered_map<std::string, int> index;
};

QuoPtrMapBase::~QuoPtrMapBase()
{
    delete m_slots;
}

int QuoPtrMapBase::GetCount() const
{
    return m_slots ? (int)m_slots->keys.size() : 0;
}

int QuoPtrMapBase::IndexOf(LPCTSTR key) const
{
    if (!m_slots)
        return -1;
    const auto at = m_slots->index.find(key);
    return at == m_slots->index.end() ? -1 : at->second;
}

void* QuoPtrMapBase::ValueAt(int index) const
{
    ASSERT(index >= 0 && index < GetCount());
    return m_slots->values[index];
}

void* QuoPtrMapBase::SetRaw(LPCTSTR key, void* value)
{
    if (!m_slots)
        m_slots = new QuoPtrMapSlots;
    const auto placed = m_slots->index.emplace(key, (int)m_slots->keys.size());
    if (!placed.second) {
        void*& slot = m_slots->values[placed.first->second];
        void* old = slot;
        slot = value;
        return old;
    }
    try {
        m_slots->keys.push_back(key);
        m_slots->values.push_back(value);
    } catch (...) {
        m_slots->index.erase(placed.first);
        m_slots->keys.resize(m_slots->values.size());
        throw;
    }
    return NULL;
}

void* QuoPtrMapBase::RemoveRaw(LPCTSTR key)
{
    const int i = IndexOf(key);
    if (i < 0)
        return NULL;
    void* removed = m_slots->values[i];
    m_slots->index.erase(key);
    m_slots->keys.erase(m_slots->keys.begin() + i);
    m_slots->values.erase(m_slots->values.begin() + i);
    for (auto& entry : m_slots->index)
        if (entry.second > i)
            --entry.second;
    return removed;
}

void QuoPtrMapBase::RemoveAllRaw()
{
    delete m_slots;
    m_slots = NULL;
}

// A position is the 1-based index of the next entry.
void QuoPtrMapBase::GetNextRaw(POSITION& pos, CString& key, void*& value) const
{
    const int i = (int)(INT_PTR)pos - 1;
    ASSERT(i >= 0 && i < GetCount());
    key = m_slots->keys[i];
    value = m_slots->values[i];
    pos = i + 1 < GetCount() ? (POSITION)(INT_PTR)(i + 2) : NULL;
}

QuoVal::~QuoVal() {}

Quolla::~Quolla() {}


/////////////////////////////////////////////////////////////////////////////
// The document

static CString tooLarge(const CString& name, const std::string& size)
{
    return name + ": too large: " + size.c_str() + " bytes, limit " +
           std::to_string((int)Beach::maxDocumentBytes).c_str();
}

class BeachImpl
{
public:
    json::Value doc;
    std::string text;  // as read: what still stands in doc is written back from here
    CString path;
    bool opened = false;
    bool modified = false;
    bool damaged = false;  // an edit failed half way: the tree is not to be saved

    json::Value* section(const CString& sectionName, const CString& serviceName)
    {
        if (!opened)
            return NULL;
        json::Value* service = doc.find("services")->find(toUtf8(serviceName));
        json::Value* section = service ? service->find(toUtf8(sectionName)) : NULL;
        if (section)
            build(*section);
        return section;
    }

    // A value left as text at open, built now that it is asked for.
    void build(json::Value& v)
    {
        json::ParseError error;
        if (!json::expand(v, text, error))
            throw std::bad_alloc();
    }

    bool open(std::string bytes, const CString& name, CString& error)
    {
        if (bytes.size() > Beach::maxDocumentBytes) {
            error = tooLarge(name, std::to_string(bytes.size()));
            return false;
        }
        json::Value read;
        json::ParseError parseError;
        Fault fault;
        bool exhausted = false;
        if (!json::parse(bytes, read, parseError, builtAtOpen)) {
            fault.line = parseError.line;
            fault.what = parseError.message;
            exhausted = parseError.outOfMemory;
        } else {
            try {
                if (checkDocument(read, fault)) {
                    doc = std::move(read);
                    text = std::move(bytes);
                    path = name;
                    opened = true;
                    modified = false;
                    damaged = false;
                    return true;
                }
            } catch (const std::bad_alloc&) {
                exhausted = true;
            }
        }
        read = json::Value();
        if (exhausted)
            error.Format("%s: out of memory while reading line %d", (LPCTSTR)name, fault.line);
        else
            error.Format("%s: line %d: %s", (LPCTSTR)name, fault.line, (LPCTSTR)messageText(fault.what));
        return false;
    }

    bool save(CString& error)
    {
        if (!opened) {
            error = "no document has been opened, so there is nothing to save";
            return false;
        }
        std::string reason;
        if (damaged) {
            error = path + ": cannot save the file: an edit ran out of memory half way; the file was left as it was";
            return false;
        }
        try {
            if (durable::replaceFile(std::string(path, path.GetLength()), json::write(doc, text), reason)) {
                modified = false;
                return true;
            }
        } catch (const std::bad_alloc&) {
            reason = "out of memory; the file was left as it was";
        }
        error = path + ": cannot save the file: " + messageText(reason);
        return false;
    }
};

namespace {

// The tree may be replaced while a handle lives (the document can be opened
// again), so a handle keeps names only.
class QuollaSection : public Quolla
{
public:
    QuollaSection(BeachImpl* beach, const CString& section, const CString& service)
        : m_beach(beach), m_section(section), m_service(service)
    {
    }

    bool getProp(const CString& key, QuoVal& value) override
    {
        Shape shape;
        json::Value* section = m_beach->section(m_section, m_service);
        json::Value* stored = section ? section->find(toUtf8(key)) : NULL;
        if (stored)
            m_beach->build(*stored);
        Fault fault;
        if (!stored || !shapeOfKind(value.typeName(), shape) || !checkShape(shape, *stored, fault))
            return false;
        switch (shape) {
        case Shape::Int:
            held<int>(value) = (int)stored->asInt();
            return true;
        case Shape::String:
            return fromUtf8(stored->asString(), held<CString>(value));
        case Shape::StringList: {
            CStringList* list = held<CStringList*>(value);
            if (!list)
                return false;
            std::vector<CString> items(stored->items().size());
            for (size_t i = 0; i < items.size(); ++i)
                if (!fromUtf8(stored->items()[i].asString(), items[i]))
                    return false;
            list->RemoveAll();
            for (const CString& item : items)
                list->AddTail(item);
            return true;
        }
        case Shape::Servers:
            return readRecords(*stored, held<QuoVGServerIpMap>(value), readServer);
        case Shape::Groups:
            return readRecords(*stored, held<QuoSievexMap>(value), readGroup);
        case Shape::Bool:
            break;
        }
        return false;
    }

    bool setProp(const CString& key, const QuoVal& value) override
    {
        Shape shape;
        json::Value* section = m_beach->section(m_section, m_service);
        if (!section || !shapeOfKind(value.typeName(), shape))
            return false;
        const std::string name = toUtf8(key);
        json::Value* existing = section->find(name);
        if (existing)
            m_beach->build(*existing);  // a value equal to it keeps its text
        json::Value v;
        switch (shape) {
        case Shape::Int:
            v = json::Value::makeInt(held<int>(value));
            break;
        case Shape::String:
            v = json::Value::makeString(toUtf8(held<CString>(value)));
            break;
        case Shape::StringList: {
            const CStringList* list = held<CStringList*>(value);
            if (!list)
                return false;
            v = json::Value::makeArray();
            for (POSITION pos = list->GetHeadPosition(); pos;)
                v.append(json::Value::makeString(toUtf8(list->GetNext(pos))));
            break;
        }
        case Shape::Servers:
        case Shape::Groups:
            // The stored records are moved into their replacement: should
            // that fail half way, the document is no longer whole.
            try {
                if (shape == Shape::Servers)
                    v = updateRecords(existing, held<QuoVGServerIpMap>(value), serverFields);
                else
                    v = updateRecords(existing, held<QuoSievexMap>(value), groupFields);
            } catch (...) {
                m_beach->damaged = true;
                throw;
            }
            break;
        case Shape::Bool:
            return false;
        }
        section->set(name, std::move(v));
        m_beach->modified = true;
        return true;
    }

    bool delProp(const CString& key) override
    {
        json::Value* section = m_beach->section(m_section, m_service);
        if (!section || !section->erase(toUtf8(key)))
            return false;
        m_beach->modified = true;
        return true;
    }

    bool submit() override
    {
        CString error;
        return m_beach->save(error);
    }

    CString sectionName() const override { return m_section; }
    CString serviceName() const override { return m_service; }

private:
    BeachImpl* m_beach;
    CString m_section;
    CString m_service;
};

}  // namespace

/////////////////////////////////////////////////////////////////////////////
// Beach

Beach::Beach() : m_impl(new BeachImpl) {}

Beach::~Beach() { delete m_impl; }

bool Beach::open(const CString& path, CString& error)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = path + ": cannot read the file: it is a folder";
        return false;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + ": cannot read the file: " + messageText(durable::systemMessage(GetLastError()));
        return false;
    }
    // The size said is checked first, but what is read counts: a device or
    // a growing file may give more.
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        size.QuadPart = 0;
    if (size.QuadPart > maxDocumentBytes) {
        CloseHandle(file);
        error = tooLarge(path, std::to_string(size.QuadPart));
        return false;
    }
    std::string text;
    DWORD failure = ERROR_SUCCESS;
    bool overLimit = false;
    try {
        text.reserve((size_t)size.QuadPart);
        char chunk[65536];
        DWORD got = 0;
        while (!overLimit) {
            if (!ReadFile(file, chunk, sizeof chunk, &got, NULL)) {
                failure = GetLastError();
                break;
            }
            if (got == 0)
                break;
            overLimit = text.size() + got > maxDocumentBytes;
            if (!overLimit)
                text.append(chunk, got);
        }
    } catch (const std::bad_alloc&) {
        failure = ERROR_NOT_ENOUGH_MEMORY;
    }
    CloseHandle(file);
    if (overLimit) {
        error = tooLarge(path, "more than " + std::to_string((int)maxDocumentBytes));
        return false;
    }
    if (failure != ERROR_SUCCESS) {
        error = path + ": cannot read the file: " + messageText(durable::systemMessage(failure));
        return false;
    }
    return m_impl->open(std::move(text), path, error);
}

bool Beach::openText(const CString& utf8Text, const CString& name, CString& error)
{
    std::string text;
    try {
        text.assign(utf8Text, utf8Text.GetLength());
    } catch (const std::bad_alloc&) {
        error = name + ": out of memory while reading line 1";
        return false;
    }
    return m_impl->open(std::move(text), name, error);
}

bool Beach::save(CString& error)
{
    return m_impl->save(error);
}

bool Beach::isModified() const
{
    return m_impl->modified;
}

CString Beach::text() const
{
    return m_impl->opened ? bytes(json::write(m_impl->doc, m_impl->text)) : CString();
}

CString Beach::path() const
{
    return m_impl->path;
}

bool Beach::hasService(const CString& serviceName) const
{
    return m_impl->opened && m_impl->doc.find("services")->find(toUtf8(serviceName)) != NULL;
}

Quolla* Beach::digQuolla(const CString& sectionName, const CString& serviceName)
{
    if (!m_impl->section(sectionName, serviceName))
        return NULL;
    return new QuollaSection(m_impl, sectionName, serviceName);
}

bool Beach::tossQuolla(Quolla*& section)
{
    delete section;
    section = NULL;
    return true;
}
