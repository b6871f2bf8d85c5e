// quolla.cpp - the configuration library over one JSON document.
#include "quolla.h"

#include "JsonValue.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Text travels as UTF-8 in the file and as the ANSI code page in CStrings;
// both directions go through UTF-16.
std::string recode(const char* text, int length, UINT from, UINT to)
{
    if (length <= 0)
        return std::string();
    const int wide = MultiByteToWideChar(from, 0, text, length, NULL, 0);
    if (wide <= 0)
        return std::string();
    std::vector<WCHAR> buffer(wide);
    MultiByteToWideChar(from, 0, text, length, buffer.data(), wide);
    const int narrow = WideCharToMultiByte(to, 0, buffer.data(), wide, NULL, 0, NULL, NULL);
    if (narrow <= 0)
        return std::string();
    std::string out(narrow, '\0');
    WideCharToMultiByte(to, 0, buffer.data(), wide, &out[0], narrow, NULL, NULL);
    return out;
}

// A text outside the ANSI code page cannot be held in a CString without
// loss. So that such a value still goes back to the file as it was when
// nobody changed it, each lossy reading remembers its original; writing the
// same lossy text restores it. Two originals that read the same are never
// guessed between.
struct LossyReadings
{
    std::map<std::string, std::string> original;  // lossy ANSI text -> UTF-8
    std::set<std::string> ambiguous;
};

LossyReadings& lossyReadings()
{
    static LossyReadings readings;
    return readings;
}

// ASCII is the same in UTF-8 and in every ANSI code page.
bool isAscii(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if ((unsigned char)text[i] >= 0x80)
            return false;
    return true;
}

std::string toUtf8(const CString& s)
{
    std::string text(s, s.GetLength());
    // A lossy reading is often plain ASCII ("?"), so look it up first.
    LossyReadings& lossy = lossyReadings();
    if (!lossy.original.empty()) {
        auto it = lossy.original.find(text);
        if (it != lossy.original.end())
            return it->second;
    }
    if (isAscii(text.data(), text.size()))
        return text;
    return recode(s, s.GetLength(), CP_ACP, CP_UTF8);
}

CString fromUtf8(const std::string& s)
{
    if (isAscii(s.data(), s.size()))
        return CString(s.data(), (int)s.size());
    const std::string ansi = recode(s.data(), (int)s.size(), CP_UTF8, CP_ACP);
    if (recode(ansi.data(), (int)ansi.size(), CP_ACP, CP_UTF8) != s) {
        LossyReadings& lossy = lossyReadings();
        if (!lossy.ambiguous.count(ansi)) {
            auto inserted = lossy.original.emplace(ansi, s);
            if (!inserted.second && inserted.first->second != s) {
                lossy.original.erase(inserted.first);
                lossy.ambiguous.insert(ansi);
            }
        }
    }
    return CString(ansi.data(), (int)ansi.size());
}

CString bytes(const std::string& s)
{
    return CString(s.data(), (int)s.size());
}

CString systemMessage(DWORD code)
{
    char text[512];
    CString message;
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0, text,
                       sizeof text, NULL))
        message = text;
    message.TrimRight();
    if (message.IsEmpty())
        message.Format("system error %lu", (unsigned long)code);
    return message;
}

std::string quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

/////////////////////////////////////////////////////////////////////////////
// Shapes of stored values

enum class Shape { Int, String, StringList, Bool, Servers, Groups };

struct Field
{
    const char* name;
    Shape shape;
};

const Field kServerFields[] = {
    { "address", Shape::String }, { "port", Shape::Int }, { "position", Shape::Int },
};

const Field kGroupFields[] = {
    { "opMask", Shape::String },     { "schedule", Shape::String },      { "nonOpMask", Shape::String },
    { "reserved", Shape::String },   { "members", Shape::StringList },   { "nonOpBlockAll", Shape::Bool },
    { "opBlockAll", Shape::Bool },
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
        const bool servers = shape == Shape::Servers;
        const Field* fields = servers ? kServerFields : kGroupFields;
        const size_t fieldCount = servers ? sizeof kServerFields / sizeof *kServerFields
                                          : sizeof kGroupFields / sizeof *kGroupFields;
        for (const auto& member : v.members()) {
            const json::Value& record = member.second;
            const std::string context = std::string(servers ? ": server " : ": group ") + quoted(member.first);
            if (record.kind() != json::Kind::Object) {
                fault.line = record.line();
                fault.what = context + " must be an object";
                return false;
            }
            for (size_t i = 0; i < fieldCount; ++i) {
                const json::Value* field = record.find(fields[i].name);
                if (!field) {
                    fault.line = record.line();
                    fault.what = context + " has no field " + quoted(fields[i].name);
                    return false;
                }
                Fault inner;
                if (!checkShape(fields[i].shape, *field, inner)) {
                    fault.line = inner.line;
                    fault.what = context + " field " + quoted(fields[i].name) + inner.what;
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

bool checkDocument(const json::Value& doc, Fault& fault)
{
    const json::Value* services = doc.find("services");
    if (doc.kind() != json::Kind::Object || !services || services->kind() != json::Kind::Object) {
        fault.line = services ? services->line() : doc.line();
        fault.what = "the document must be an object with a \"services\" object";
        return false;
    }
    for (const auto& service : services->members()) {
        const std::string ofService = " of service " + quoted(service.first);
        if (service.second.kind() != json::Kind::Object) {
            fault.line = service.second.line();
            fault.what = "service " + quoted(service.first) + " must be an object";
            return false;
        }
        for (const auto& section : service.second.members()) {
            const std::string inSection = " in section " + quoted(section.first) + ofService;
            if (section.second.kind() != json::Kind::Object) {
                fault.line = section.second.line();
                fault.what = "section " + quoted(section.first) + ofService + " must be an object";
                return false;
            }
            for (const KnownKey& known : kKnownKeys) {
                const json::Value* value = section.second.find(known.key);
                if (section.first == known.section && value && !checkShape(known.shape, *value, fault)) {
                    fault.what = "key " + quoted(known.key) + inSection + fault.what;
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

json::Value stringArray(const CStringArray& strings)
{
    json::Value array = json::Value::makeArray();
    for (int i = 0; i < strings.GetSize(); ++i)
        array.append(json::Value::makeString(toUtf8(strings[i])));
    return array;
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
    CString path;
    bool opened = false;

    json::Value* section(const CString& sectionName, const CString& serviceName)
    {
        if (!opened)
            return NULL;
        json::Value* service = doc.find("services")->find(toUtf8(serviceName));
        return service ? service->find(toUtf8(sectionName)) : NULL;
    }
};

namespace {

bool saveDocument(BeachImpl& beach, CString& error)
{
    if (!beach.opened) {
        error = "no document has been opened, so there is nothing to save";
        return false;
    }
    const CString temporary = beach.path + ".new";
    const std::string text = json::write(beach.doc);
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD failure = ERROR_SUCCESS;
    if (file == INVALID_HANDLE_VALUE) {
        failure = GetLastError();
    } else {
        DWORD written = 0;
        if (!WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL) || !FlushFileBuffers(file))
            failure = GetLastError();
        else if (written != text.size())
            failure = ERROR_WRITE_FAULT;
        CloseHandle(file);
        if (failure == ERROR_SUCCESS
            && !MoveFileExA(temporary, beach.path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            failure = GetLastError();
        if (failure != ERROR_SUCCESS)
            DeleteFileA(temporary);
    }
    if (failure == ERROR_SUCCESS)
        return true;
    error = beach.path + ": cannot save the file: " + systemMessage(failure);
    return false;
}

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
            held<CString>(value) = fromUtf8(stored->asString());
            return true;
        case Shape::StringList: {
            CStringList* list = held<CStringList*>(value);
            if (!list)
                return false;
            list->RemoveAll();
            for (const json::Value& item : stored->items())
                list->AddTail(fromUtf8(item.asString()));
            return true;
        }
        case Shape::Servers: {
            QuoVGServerIpMap& map = held<QuoVGServerIpMap>(value);
            map.RemoveAll();
            for (const auto& member : stored->members()) {
                const json::Value& r = member.second;
                map.SetAt(fromUtf8(member.first),
                          new QuoVGServerIp(fromUtf8(r.find("address")->asString()),
                                            (int)r.find("port")->asInt(), (int)r.find("position")->asInt()));
            }
            return true;
        }
        case Shape::Groups: {
            QuoSievexMap& map = held<QuoSievexMap>(value);
            map.RemoveAll();
            for (const auto& member : stored->members()) {
                const json::Value& r = member.second;
                QuoSievex* group = new QuoSievex;
                group->opMask = fromUtf8(r.find("opMask")->asString());
                group->schedule = fromUtf8(r.find("schedule")->asString());
                group->nonOpMask = fromUtf8(r.find("nonOpMask")->asString());
                group->reserved = fromUtf8(r.find("reserved")->asString());
                for (const json::Value& name : r.find("members")->items())
                    group->members.Add(fromUtf8(name.asString()));
                group->nonOpBlockAll = r.find("nonOpBlockAll")->asBool();
                group->opBlockAll = r.find("opBlockAll")->asBool();
                map.SetAt(fromUtf8(member.first), group);
            }
            return true;
        }
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
        case Shape::Servers: {
            const QuoVGServerIpMap& map = held<QuoVGServerIpMap>(value);
            v = json::Value::makeObject();
            CString name;
            QuoVGServerIp* server;
            for (POSITION pos = map.GetStartPosition(); pos;) {
                map.GetNextAssoc(pos, name, server);
                if (server == NULL)
                    continue;  // an empty slot has nothing to store
                json::Value r = json::Value::makeObject();
                r.set("address", json::Value::makeString(toUtf8(server->address)));
                r.set("port", json::Value::makeInt(server->port));
                r.set("position", json::Value::makeInt(server->position));
                v.set(toUtf8(name), std::move(r));
            }
            break;
        }
        case Shape::Groups: {
            const QuoSievexMap& map = held<QuoSievexMap>(value);
            v = json::Value::makeObject();
            CString name;
            QuoSievex* group;
            for (POSITION pos = map.GetStartPosition(); pos;) {
                map.GetNextAssoc(pos, name, group);
                if (group == NULL)
                    continue;
                json::Value r = json::Value::makeObject();
                r.set("opMask", json::Value::makeString(toUtf8(group->opMask)));
                r.set("schedule", json::Value::makeString(toUtf8(group->schedule)));
                r.set("nonOpMask", json::Value::makeString(toUtf8(group->nonOpMask)));
                r.set("reserved", json::Value::makeString(toUtf8(group->reserved)));
                r.set("members", stringArray(group->members));
                r.set("nonOpBlockAll", json::Value::makeBool(group->nonOpBlockAll));
                r.set("opBlockAll", json::Value::makeBool(group->opBlockAll));
                v.set(toUtf8(name), std::move(r));
            }
            break;
        }
        case Shape::Bool:
            return false;
        }
        section->set(toUtf8(key), std::move(v));
        return true;
    }

    bool delProp(const CString& key) override
    {
        json::Value* section = m_beach->section(m_section, m_service);
        return section && section->erase(toUtf8(key));
    }

    bool submit() override
    {
        CString error;
        return saveDocument(*m_beach, error);
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
        error = path + ": cannot read the file: " + systemMessage(failure);
        return false;
    }
    return openText(bytes(text), path, error);
}

bool Beach::openText(const CString& utf8Text, const CString& name, CString& error)
{
    json::Value doc;
    json::ParseError parseError;
    Fault fault;
    if (!json::parse(std::string(utf8Text, utf8Text.GetLength()), doc, parseError)) {
        fault.line = parseError.line;
        fault.what = parseError.message;
    } else if (checkDocument(doc, fault)) {
        m_impl->doc = std::move(doc);
        m_impl->path = name;
        m_impl->opened = true;
        return true;
    }
    CString line;
    line.Format(": line %d: ", fault.line);
    error = name + line + fromUtf8(fault.what);
    return false;
}

bool Beach::save(CString& error)
{
    return saveDocument(*m_impl, error);
}

CString Beach::text() const
{
    return m_impl->opened ? bytes(json::write(m_impl->doc)) : CString();
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
