// Document.cpp - the document (Beach) and its sections (Quolla) over one
// JSON file.
#include "quolla.h"

#include "DurableFile.h"
#include "JsonValue.h"
#include "RecordConversion.h"
#include "Shapes.h"
#include "TextConversion.h"

#include <algorithm>
#include <new>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace quo;

namespace {

bool isKnownKey(const QuoSchema* schema, const std::string& section, const std::string* key)
{
    for (int i = 0; schema && i < schema->count; ++i)
        if (section == schema->keys[i].section && (!key || *key == schema->keys[i].key))
            return true;
    return false;
}

// What open() builds: the way down to the sections the schema knows, and
// their known keys whole. The rest is checked but stays text until asked
// for, so that whatever other tools keep in the document costs no memory.
json::BuildRule builtAtOpen(const QuoSchema* schema)
{
    return [schema](const std::vector<std::string>& keys) {
        switch (keys.size()) {
        case 0: return json::Build::Members;  // the document
        case 1: return keys[0] == "services" ? json::Build::Members : json::Build::Nothing;
        case 2: return json::Build::Members;  // a service
        case 3: return isKnownKey(schema, keys[2], NULL) ? json::Build::Members : json::Build::Nothing;
        case 4: return isKnownKey(schema, keys[2], &keys[3]) ? json::Build::Everything : json::Build::Nothing;
        }
        return json::Build::Nothing;
    };
}

// One refused value, as checkDocument finds it.
struct Found
{
    int line = 0;
    std::string service, section, key;
    std::string what;     // continues the sentence that names the key
    std::string message;  // the whole sentence
};

// The reason alone, without what joins it to the key's name.
std::string reasonOf(const std::string& what)
{
    size_t from = 0;
    while (from < what.size() && (what[from] == ' ' || what[from] == ':'))
        ++from;
    return what.substr(from);
}

// The owner's rule on a text that has its shape and can be held.
bool checkRule(const QuoKeyShape& known, Shape shape, const json::Value& v, Fault& fault)
{
    CString text, reason;
    if (!known.rule || shape != Shape::String || !fromUtf8(v.asString(), text) || known.rule(text, reason))
        return true;
    fault.line = v.line();
    fault.what = " " + std::string(reason, reason.GetLength());
    return false;
}

// The first entry of the schema for this section; -1 when it knows none.
int knownSection(const QuoSchema* schema, const std::string& section)
{
    for (int i = 0; schema && i < schema->count; ++i)
        if (section == schema->keys[i].section)
            return i;
    return -1;
}

std::string duplicate(const Member& m)
{
    return "duplicate key " + json::quote(m.first);
}

// Checks the document's frame and every known value. With all false it
// stops at the first fault; otherwise it goes on past faults of values.
// False when the frame itself is not a document: nothing can be read.
// `reading` follows the value being checked, for a report of memory that
// runs out on the way. A key given twice is a fault only where the editor
// reads (services, its sections, its keys, their records and fields):
// which of the two would it read? Elsewhere JSON allows it.
bool checkDocument(const json::Value& doc, const QuoSchema* schema, bool all, std::vector<Found>& faults,
                   int& reading)
{
    const json::Value* services = doc.find("services");
    const Member* twice =
        repeatedKey(doc, [](const std::string& key) { return key == "services" ? 0 : -1; });
    if (doc.kind() != json::Kind::Object || !services || services->kind() != json::Kind::Object || twice) {
        Found f;
        f.line = twice ? twice->second.keyLine() : services ? services->line() : doc.line();
        f.what = f.message = twice ? duplicate(*twice) : "the document must be an object with a \"services\" object";
        faults.push_back(f);
        return false;
    }
    auto frameFault = [&](int line, const std::string& message) {
        Found f;
        f.line = line;
        f.what = f.message = message;
        faults.push_back(f);
        return !all;
    };
    auto keyFault = [&](int line, const std::string& service, const std::string& section, const char* key,
                        const std::string& what, const std::string& message) {
        Found f;
        f.line = line;
        f.service = service;
        f.section = section;
        f.key = key;
        f.what = what;
        f.message = message;
        faults.push_back(f);
        return !all;
    };
    if (const Member* again = repeatedKey(*services))
        if (frameFault(again->second.keyLine(), duplicate(*again)))
            return true;
    for (const auto& service : services->members()) {
        const std::string ofService = " of service " + json::quote(service.first);
        if (service.second.kind() != json::Kind::Object) {
            if (frameFault(service.second.line(), "service " + json::quote(service.first) + " must be an object"))
                return true;
            continue;
        }
        std::vector<bool> sectionSeen(schema ? schema->count : 0);
        for (const auto& section : service.second.members()) {
            const std::string inSection = " in section " + json::quote(section.first) + ofService;
            const int first = knownSection(schema, section.first);
            if (first >= 0 && sectionSeen[first]) {
                if (frameFault(section.second.keyLine(), duplicate(section)))
                    return true;
                continue;
            }
            if (first >= 0)
                sectionSeen[first] = true;
            if (section.second.kind() != json::Kind::Object) {
                if (frameFault(section.second.line(),
                               "section " + json::quote(section.first) + ofService + " must be an object"))
                    return true;
                continue;
            }
            for (int i = first; i >= 0 && i < schema->count; ++i) {
                const QuoKeyShape& known = schema->keys[i];
                Shape shape;
                if (section.first != known.section || !shapeOfKind(known.typeName, shape))
                    continue;
                const Member* value = NULL;
                const Member* again = NULL;
                for (const Member& m : section.second.members()) {
                    if (m.first != known.key)
                        continue;
                    if (value) {
                        again = &m;
                        break;
                    }
                    value = &m;
                }
                if (!value)
                    continue;
                reading = value->second.line();
                const Member* inner = again ? again : repeatedRecordKey(shape, value->second);
                if (inner) {
                    if (keyFault(inner->second.keyLine(), service.first, section.first, known.key, duplicate(*inner),
                                 duplicate(*inner)))
                        return true;
                    continue;
                }
                Fault fault;
                if (!checkShape(shape, value->second, fault) || !checkTexts(shape, value->second, fault)
                    || !checkRule(known, shape, value->second, fault)) {
                    if (keyFault(fault.line, service.first, section.first, known.key, reasonOf(fault.what),
                                 "key " + json::quote(known.key) + inSection + fault.what))
                        return true;
                }
            }
        }
    }
    return true;
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

}  // namespace


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
    const QuoSchema* schema = NULL;  // the keys the document was opened with
    bool modified = false;
    bool damaged = false;  // an edit failed half way: the tree is not to be saved
    bool inspected = false;  // opened for a check, faults and all: never saved
    std::set<std::string> absent;  // places of known values with faults, when inspected
    // What the file holds unless someone changed it: text, as read from
    // path, until a save writes `written`. Nothing for a text opened from
    // memory.
    bool fromFile = false;
    bool saved = false;
    std::string written;
    // Edits so far (setProp, delProp), and a save refused because the file
    // changed, made with the edits counted then: it kept its version beside
    // the file, so the same edits are not kept twice.
    unsigned edits = 0;
    CString refused;
    unsigned refusedAt = 0;
    QuoMerger* merger = NULL;  // not owned
    // Edits held to be taken back: each section as it stood before its
    // first change since holdEdits().
    struct Held
    {
        std::string service, section;
        json::Value before;
    };
    bool holding = false;
    bool modifiedWhenHeld = false;
    std::vector<Held> held;

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

    // The section an edit is about to change; its first change while edits
    // are held keeps a copy of it as it stands.
    json::Value* changing(const CString& sectionName, const CString& serviceName)
    {
        json::Value* s = section(sectionName, serviceName);
        if (!s || !holding)
            return s;
        const std::string service = toUtf8(serviceName), name = toUtf8(sectionName);
        for (const Held& h : held)
            if (h.service == service && h.section == name)
                return s;
        held.push_back(Held{ service, name, *s });
        return s;
    }

    void changed()
    {
        modified = true;
        ++edits;
    }

    void hold()
    {
        held.clear();
        holding = opened;
        modifiedWhenHeld = modified;
    }

    // A save while edits are held wrote them: taken back, the document
    // differs from the file.
    void takeBack()
    {
        edits += !held.empty();
        for (Held& h : held) {
            json::Value* service = doc.find("services")->find(h.service);
            json::Value* s = service ? service->find(h.section) : NULL;
            if (s)
                *s = std::move(h.before);
        }
        if (holding)
            modified = modifiedWhenHeld;
        held.clear();
        holding = false;
    }

    // A value left as text at open, built now that it is asked for.
    void build(json::Value& v)
    {
        json::ParseError error;
        if (!json::expand(v, text, error, json::Keys::MayRepeat))
            throw std::bad_alloc();
    }

    // With faults NULL, the first fault refuses the document. Otherwise
    // every fault is listed and the document opens unless nothing of it can
    // be read; the values with faults then read as absent.
    bool open(std::string bytes, const CString& name, CString& error, const QuoSchema* schema,
              QuoFaultArray* faults, bool readFromFile)
    {
        if (bytes.size() > Beach::maxDocumentBytes) {
            error = tooLarge(name, std::to_string(bytes.size()));
            return false;
        }
        json::Value read;
        json::ParseError parseError;
        std::vector<Found> found;
        int reading = 0;
        bool exhausted = false;
        bool readable = false;
        bool kept = false;
        if (!json::parse(bytes, read, parseError, builtAtOpen(schema), json::Keys::MayRepeat)) {
            Found f;
            f.line = reading = parseError.line;
            f.what = f.message = parseError.message;
            found.push_back(f);
            exhausted = parseError.outOfMemory;
        } else {
            try {
                readable = checkDocument(read, schema, faults != NULL, found, reading);
                if (readable && (found.empty() || faults != NULL)) {
                    doc = std::move(read);
                    text = std::move(bytes);
                    path = name;
                    opened = true;
                    this->schema = schema;
                    modified = false;
                    damaged = false;
                    inspected = faults != NULL;
                    fromFile = readFromFile;
                    saved = false;
                    written = std::string();
                    refused.Empty();
                    held.clear();
                    holding = false;
                    kept = true;
                    absent.clear();
                    for (const Found& f : found)
                        if (!f.key.empty())
                            absent.insert(placeOf(f.service, f.section, f.key));
                }
            } catch (const std::bad_alloc&) {
                exhausted = true;
            }
        }
        if (exhausted) {
            read = json::Value();
            error.Format("%s: out of memory while reading line %d", (LPCTSTR)name, reading);
            return false;
        }
        if (faults != NULL) {
            std::stable_sort(found.begin(), found.end(),
                             [](const Found& x, const Found& y) { return x.line < y.line; });
            for (const Found& f : found) {
                QuoFault fault;
                fault.line = f.line;
                fault.service = messageText(f.service);
                fault.section = messageText(f.section);
                fault.key = messageText(f.key);
                fault.what = messageText(f.what);
                fault.message = messageText(f.message);
                faults->Add(fault);
            }
        }
        if (kept)
            return true;
        read = json::Value();
        error.Format("%s: line %d: %s", (LPCTSTR)name, found.front().line, (LPCTSTR)messageText(found.front().message));
        return false;
    }

    static std::string placeOf(const std::string& service, const std::string& section, const std::string& key)
    {
        return service + '\0' + section + '\0' + key;
    }

    bool isAbsent(const CString& service, const CString& section, const CString& key) const
    {
        return !absent.empty() && absent.count(placeOf(toUtf8(service), toUtf8(section), toUtf8(key)));
    }

    bool save(CString& error)
    {
        if (!opened) {
            error = "no document has been opened, so there is nothing to save";
            return false;
        }
        std::string reason;
        if (inspected) {
            error = path + ": cannot save the file: it was opened for a check only; the file was left as it was";
            return false;
        }
        if (damaged) {
            error = path + ": cannot save the file: an edit ran out of memory half way; the file was left as it was";
            return false;
        }
        if (!refused.IsEmpty() && refusedAt == edits) {
            error = refused;
            return false;
        }
        std::string keptAs;
        try {
            std::string bytes = json::write(doc, text);
            const std::string* expected = fromFile ? (saved ? &written : &text) : NULL;
            std::string theirs;
            if (expected != NULL && merger != NULL && changedOnDisk(*expected, theirs))
                return saveMerged(*expected, bytes, theirs, error);
            if (durable::replaceFile(std::string(path, path.GetLength()), bytes, reason, durable::Steps(),
                                     expected, &keptAs)) {
                modified = false;
                modifiedWhenHeld = holding;  // see takeBack()
                saved = true;
                written = std::move(bytes);
                refused.Empty();
                return true;
            }
        } catch (const std::bad_alloc&) {
            reason = "out of memory; the file was left as it was";
        }
        error = path + ": cannot save the file: " + messageText(reason);
        if (!keptAs.empty()) {
            refused = error;
            refusedAt = edits;
        }
        return false;
    }

    // Whether the file no longer holds expected; theirs then holds what it does.
    bool changedOnDisk(const std::string& expected, std::string& theirs) const
    {
        unsigned long long declared;
        DWORD failure;
        return durable::readFile((LPCTSTR)path, Beach::maxDocumentBytes, theirs, declared, failure) ==
                   durable::Reading::Done &&
               theirs != expected;
    }

    // The file changed since expected: the merger's document of both saves
    // takes its place, provided the file still holds theirs, and is this
    // document from then on. Saves in conflict are refused as without a
    // merger: the file stays, this document is kept beside it.
    bool saveMerged(const std::string& expected, const std::string& mine, const std::string& theirs,
                    CString& error)
    {
        CString merged;
        std::string reason, keptAs;
        const std::string file(path, path.GetLength());
        const bool settled = merger->merge(bytes(expected), bytes(mine), bytes(theirs), merged);
        const std::string result = settled ? std::string(merged, merged.GetLength()) : mine;
        if (durable::replaceFile(file, result, reason, durable::Steps(), settled ? &theirs : &expected, &keptAs)) {
            const CString name = path;
            CString unused;
            if (!open(result, name, unused, schema, NULL, true)) {
                modified = false;
                saved = true;
                written = result;
            }
            return true;
        }
        error = path + ": cannot save the file: " + messageText(reason);
        if (!keptAs.empty()) {
            refused = error;
            refusedAt = edits;
        }
        return false;
    }

    bool canSave(CString& error) const
    {
        std::string reason;
        if (!opened)
            error = "no document has been opened, so there is nothing to save";
        else if (inspected)
            error = path + ": cannot save the file: it was opened for a check only";
        else if (!durable::canReplace(std::string(path, path.GetLength()), reason))
            error = path + ": cannot save the file: " + messageText(reason);
        return opened && !inspected && reason.empty();
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
        if (m_beach->isAbsent(m_service, m_section, key))
            return false;
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
            // Texts that are held as they stand (the usual case) go
            // straight into the list; otherwise all are converted first, so
            // that a list that cannot be read is left as it was.
            const std::vector<json::Value>& storedItems = stored->items();
            bool asTheyStand = true;
            for (size_t i = 0; i < storedItems.size() && asTheyStand; ++i)
                asTheyStand = heldAsItStands(storedItems[i].asString());
            if (asTheyStand) {
                list->RemoveAll();
                for (const json::Value& item : storedItems)
                    list->AddTail(bytes(item.asString()));
                return true;
            }
            std::vector<CString> items(storedItems.size());
            for (size_t i = 0; i < items.size(); ++i)
                if (!fromUtf8(storedItems[i].asString(), items[i]))
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
        json::Value* section = m_beach->changing(m_section, m_service);
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
        m_beach->changed();
        return true;
    }

    bool delProp(const CString& key) override
    {
        json::Value* section = m_beach->changing(m_section, m_service);
        if (!section || !section->erase(toUtf8(key)))
            return false;
        m_beach->changed();
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

// The file's bytes, up to the size limit.
static bool readDocumentFile(const CString& path, std::string& text, CString& error)
{
    unsigned long long declared;
    DWORD failure;
    switch (durable::readFile((LPCTSTR)path, Beach::maxDocumentBytes, text, declared, failure)) {
    case durable::Reading::Done:
        return true;
    case durable::Reading::Folder:
        error = path + ": cannot read the file: it is a folder";
        break;
    case durable::Reading::TooLarge:
        error = tooLarge(path, declared > Beach::maxDocumentBytes ? std::to_string(declared)
                                                                   : "more than " + std::to_string((int)Beach::maxDocumentBytes));
        break;
    case durable::Reading::Failed:
        error = path + ": cannot read the file: " + messageText(durable::systemMessage(failure));
        break;
    }
    return false;
}

static bool copyText(const CString& utf8Text, const CString& name, std::string& text, CString& error)
{
    try {
        text.assign(utf8Text, utf8Text.GetLength());
    } catch (const std::bad_alloc&) {
        error = name + ": out of memory while reading line 1";
        return false;
    }
    return true;
}

bool Beach::open(const CString& path, CString& error, const QuoSchema* schema)
{
    std::string text;
    return readDocumentFile(path, text, error) && m_impl->open(std::move(text), path, error, schema, NULL, true);
}

bool Beach::openText(const CString& utf8Text, const CString& name, CString& error, const QuoSchema* schema)
{
    std::string text;
    return copyText(utf8Text, name, text, error) && m_impl->open(std::move(text), name, error, schema, NULL, false);
}

bool Beach::inspect(const CString& path, CString& error, const QuoSchema* schema, QuoFaultArray& faults)
{
    std::string text;
    return readDocumentFile(path, text, error) && m_impl->open(std::move(text), path, error, schema, &faults, true);
}

bool Beach::inspectText(const CString& utf8Text, const CString& name, CString& error, const QuoSchema* schema,
                        QuoFaultArray& faults)
{
    std::string text;
    return copyText(utf8Text, name, text, error) && m_impl->open(std::move(text), name, error, schema, &faults, false);
}

bool Beach::save(CString& error)
{
    return m_impl->save(error);
}

bool Beach::canSave(CString& error) const
{
    return m_impl->canSave(error);
}

void Beach::holdEdits()
{
    m_impl->hold();
}

void Beach::takeBackEdits()
{
    m_impl->takeBack();
}

void Beach::keepEdits()
{
    m_impl->held.clear();
    m_impl->holding = false;
}

bool Beach::isModified() const
{
    return m_impl->modified;
}

CString Beach::text() const
{
    return m_impl->opened ? bytes(json::write(m_impl->doc, m_impl->text)) : CString();
}

CString Beach::knownText(const CString& serviceName) const
{
    if (!m_impl->opened)
        return CString();
    const std::string name = toUtf8(serviceName);
    const json::Value* stored = m_impl->doc.find("services")->find(name);
    json::Value service = json::Value::makeObject();
    for (size_t i = 0; stored && i < stored->members().size(); ++i) {
        const auto& section = stored->members()[i];
        if (section.second.kind() != json::Kind::Object || !isKnownKey(m_impl->schema, section.first, NULL))
            continue;
        json::Value known = json::Value::makeObject();
        for (const auto& key : section.second.members())
            if (isKnownKey(m_impl->schema, section.first, &key.first))
                known.set(key.first, key.second);  // built whole at open, or set since
        service.set(section.first, std::move(known));
    }
    json::Value services = json::Value::makeObject();
    services.set(name, std::move(service));
    json::Value doc = json::Value::makeObject();
    doc.set("services", std::move(services));
    return bytes(json::write(doc));
}

CString Beach::foreignText() const
{
    if (!m_impl->opened)
        return CString();
    // The known values step out of the tree while it is copied, so that
    // lists of many entries are not copied only to be dropped.
    struct Known
    {
        std::string service, section, key;
        json::Value value;
    };
    auto at = [](json::Value& doc, const Known& k) {
        return doc.find("services")->find(k.service)->find(k.section);
    };
    std::vector<Known> known;
    for (auto& service : m_impl->doc.find("services")->members()) {
        if (service.second.kind() != json::Kind::Object || !service.second.built())
            continue;
        for (auto& section : service.second.members()) {
            if (section.second.kind() != json::Kind::Object || !isKnownKey(m_impl->schema, section.first, NULL))
                continue;
            for (auto& key : section.second.members()) {
                if (isKnownKey(m_impl->schema, section.first, &key.first)) {
                    known.push_back(Known{ service.first, section.first, key.first, json::Value() });
                    std::swap(known.back().value, key.second);
                }
            }
        }
    }
    auto putBack = [&] {
        for (Known& k : known)
            std::swap(k.value, *at(m_impl->doc, k)->find(k.key));
    };
    json::Value doc;
    try {
        doc = m_impl->doc;
    } catch (...) {
        putBack();
        throw;
    }
    putBack();
    for (const Known& k : known)
        at(doc, k)->erase(k.key);
    return bytes(json::write(doc, m_impl->text));
}

void Beach::setMerger(QuoMerger* merger)
{
    m_impl->merger = merger;
}

QuoMerger::~QuoMerger() {}

CString Beach::path() const
{
    return m_impl->path;
}

bool Beach::hasService(const CString& serviceName) const
{
    return m_impl->opened && m_impl->doc.find("services")->find(toUtf8(serviceName)) != NULL;
}

void Beach::getServiceNames(CStringArray& names) const
{
    names.RemoveAll();
    if (!m_impl->opened)
        return;
    for (const auto& service : m_impl->doc.find("services")->members())
        names.Add(messageText(service.first));
}

int Beach::lineOf(const CString& serviceName, const CString& sectionName, const CString& key, LPCTSTR member,
                  LPCTSTR field, int item) const
{
    const json::Value* v = m_impl->section(sectionName, serviceName);
    v = v ? v->find(toUtf8(key)) : NULL;
    if (v && member)
        v = v->find(toUtf8(member));
    if (v && field)
        v = v->find(toUtf8(field));
    if (v && item >= 0)
        v = item < (int)v->items().size() ? &v->items()[item] : NULL;
    return v ? v->line() : 0;
}

void Beach::recordLines(const CString& serviceName, const CString& sectionName, const CString& key, LPCTSTR field,
                        CArray<int, int>& lines) const
{
    lines.RemoveAll();
    const json::Value* map = m_impl->section(sectionName, serviceName);
    map = map ? map->find(toUtf8(key)) : NULL;
    if (!map || map->kind() != json::Kind::Object)
        return;
    const std::string name = field ? toUtf8(field) : std::string();
    for (const auto& record : map->members()) {
        const json::Value* v = field ? record.second.find(name) : &record.second;
        lines.Add(v ? v->line() : 0);
    }
}

Quolla* Beach::digQuolla(const CString& sectionName, const CString& serviceName)
{
    const json::Value* section = m_impl->section(sectionName, serviceName);
    if (!section || section->kind() != json::Kind::Object)
        return NULL;
    return new QuollaSection(m_impl, sectionName, serviceName);
}

bool Beach::tossQuolla(Quolla*& section)
{
    delete section;
    section = NULL;
    return true;
}
