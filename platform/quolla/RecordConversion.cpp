// RecordConversion.cpp - servers and groups between their stored objects
// and the library's records.
#include "RecordConversion.h"

namespace quo {

namespace {

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

}  // namespace

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

}  // namespace quo
