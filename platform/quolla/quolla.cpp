// quolla.cpp - the configuration library over one JSON document.
#include "quolla.h"

#include "DurableFile.h"
#include "JsonValue.h"

#include <memory>
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
    case Shape::Int:
        if (isInt32(v))
            return true;
        if (v.kind() == json::Kind::Int) {
            fault.line = v.line();
            fault.what = " must be an integer from -2147483648 to 2147483647";
            return false;
        }
        break;
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
            const std::string context = std::string(": ") + record.noun + " " + json::quote(member.first);
            if (r.kind() != json::Kind::Object) {
                fault.line = r.line();
                fault.what = context + " must be an object";
                return false;
            }
            for (size_t i = 0; i < record.count; ++i) {
                const Field& f = record.fields[i];
                const json::Value* field = r.find(f.name);
                if (!field && f.required) {
                    fault.line = r.line();
                    fault.what = context + " has no field " + json::quote(f.name);
                    return false;
                }
                Fault inner;
                if (field && !checkShape(f.shape, *field, inner)) {
                    fault.line = inner.line;
                    fault.what = context + " field " + json::quote(f.name) + inner.what;
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

bool checkText(const std::string& text, int line, const std::string& what, Fault& fault)
{
    CString held;
    if (fromUtf8(text, held))
        return true;
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
        return checkText(v.asString(), v.line(), "", fault);
    case Shape::StringList:
        for (const json::Value& item : v.items())
            if (!checkText(item.asString(), item.line(), "", fault))
                return false;
        return true;
    case Shape::Servers:
    case Shape::Groups: {
        const Record record = recordOf(shape);
        for (const auto& member : v.members()) {
            const std::string context = std::string(": ") + record.noun + " " + json::quote(member.first);
            if (!checkText(member.first, 0,
                           std::string(": the ") + (shape == Shape::Servers ? "key" : "name") + " of " +
                               record.noun + " " + json::quote(member.first),
                           fault)) {
                fault.line = v.keyLine(member.first);  // found again only on this rare path
                return false;
            }
            for (size_t i = 0; i < record.count; ++i) {
                const json::Value* field = member.second.find(record.fields[i].name);
                Fault inner;
                if (field && !checkTexts(record.fields[i].shape, *field, inner)) {
                    fault.line = inner.line;
                    fault.what = context + " field " + json::quote(record.fields[i].name) + inner.what;
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
                if (value && (!checkShape(known.shape, *value, fault) || !checkTexts(known.shape, *value, fault))) {
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
template <class T>
json::Value updateRecords(const json::Value* stored, const QuoPtrMap<T>& map, json::Value (*fields)(const T&))
{
    json::Value updated = stored && stored->kind() == json::Kind::Object ? *stored : json::Value::makeObject();
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

int QuoPtrMapBase::IndexOf(LPCTSTR key) const
{
    for (int i = 0; i < m_keys.GetSize(); ++i)
        if (m_keys[i] == key)
            return i;
    return -1;
}

void* QuoPtrMapBase::LookupRaw(LPCTSTR key) const
{
    const int i = IndexOf(key);
    return i < 0 ? NULL : m_values[i];
}

void* QuoPtrMapBase::SetRaw(LPCTSTR key, void* value)
{
    const int i = IndexOf(key);
    if (i >= 0) {
        void* old = m_values[i];
        m_values[i] = value;
        return old;
    }
    const int count = GetCount();
    if (count == m_capacity) {
        const int capacity = m_capacity ? m_capacity * 2 : 8;
        void** values = new void*[capacity];
        for (int j = 0; j < count; ++j)
            values[j] = m_values[j];
        delete[] m_values;
        m_values = values;
        m_capacity = capacity;
    }
    m_values[count] = value;
    m_keys.Add(key);
    return NULL;
}

void* QuoPtrMapBase::RemoveRaw(LPCTSTR key)
{
    const int i = IndexOf(key);
    if (i < 0)
        return NULL;
    void* removed = m_values[i];
    for (int j = i + 1; j < GetCount(); ++j)
        m_values[j - 1] = m_values[j];
    m_keys.RemoveAt(i);
    return removed;
}

// A position is the 1-based index of the next entry.
void QuoPtrMapBase::GetNextRaw(POSITION& pos, CString& key, void*& value) const
{
    const int i = (int)(INT_PTR)pos - 1;
    ASSERT(i >= 0 && i < GetCount());
    key = m_keys[i];
    value = m_values[i];
    pos = i + 1 < GetCount() ? (POSITION)(INT_PTR)(i + 2) : NULL;
}

QuoVal::~QuoVal() {}

Quolla::~Quolla() {}


/////////////////////////////////////////////////////////////////////////////
// The document

class BeachImpl
{
public:
    json::Value doc;
    std::string text;  // as read: what still stands in doc is written back from here
    CString path;
    bool opened = false;
    bool modified = false;

    json::Value* section(const CString& sectionName, const CString& serviceName)
    {
        if (!opened)
            return NULL;
        json::Value* service = doc.find("services")->find(toUtf8(serviceName));
        return service ? service->find(toUtf8(sectionName)) : NULL;
    }

    bool save(CString& error)
    {
        if (!opened) {
            error = "no document has been opened, so there is nothing to save";
            return false;
        }
        std::string reason;
        if (!durable::replaceFile(std::string(path, path.GetLength()), json::write(doc, text), reason)) {
            error = path + ": cannot save the file: " + messageText(reason);
            return false;
        }
        modified = false;
        return true;
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
        const json::Value* stored = section ? section->find(toUtf8(key)) : NULL;
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
            v = updateRecords(section->find(name), held<QuoVGServerIpMap>(value), serverFields);
            break;
        case Shape::Groups:
            v = updateRecords(section->find(name), held<QuoSievexMap>(value), groupFields);
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
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD failure = ERROR_SUCCESS;
    std::string text;
    if (file == INVALID_HANDLE_VALUE) {
        failure = GetLastError();
    } else {
        char chunk[16384];
        DWORD got = 0;
        BOOL read;
        while ((read = ReadFile(file, chunk, sizeof chunk, &got, NULL)) && got)
            text.append(chunk, got);
        if (!read)
            failure = GetLastError();
        CloseHandle(file);
    }
    if (failure != ERROR_SUCCESS) {
        error = path + ": cannot read the file: " + messageText(durable::systemMessage(failure));
        return false;
    }
    return openText(bytes(text), path, error);
}

bool Beach::openText(const CString& utf8Text, const CString& name, CString& error)
{
    std::string text(utf8Text, utf8Text.GetLength());
    json::Value doc;
    json::ParseError parseError;
    Fault fault;
    if (!json::parse(text, doc, parseError)) {
        fault.line = parseError.line;
        fault.what = parseError.message;
    } else if (checkDocument(doc, fault)) {
        m_impl->doc = std::move(doc);
        m_impl->text = std::move(text);
        m_impl->path = name;
        m_impl->opened = true;
        m_impl->modified = false;
        return true;
    }
    CString line;
    line.Format(": line %d: ", fault.line);
    error = name + line + messageText(fault.what);
    return false;
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
