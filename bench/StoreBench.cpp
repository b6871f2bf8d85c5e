// The store on documents of 100,000 records: 100,000 servers in "ip_port"
// and 100,000 groups in "rules", each laid out as an administrator's file
// would be. Opening reads the records (the file parsed and checked, the map
// filled in the file's order); saving stores the map again and replaces the
// file. Each beside the platform's floor: reading or writing the same bytes.
#include "BenchSupport.h"
#include "quolla.h"
#include "VeilgateSettings.h"
#include "VeilgateCheck.h"
#include <psapi.h>
#include <stdio.h>

namespace {

const int kRecords = 100000;
const int kRecordRuns = 5;

std::string Servers()
{
    std::string text;
    for (int i = 0; i < kRecords; ++i) {
        char record[160];
        snprintf(record, sizeof record,
                 "%s\n          \"s%06d\": {\n            \"address\": \"10.%d.%d.%d\",\n"
                 "            \"port\": %d,\n            \"position\": %d\n          }",
                 i ? "," : "", i, i / 65536, (i / 256) % 256, i % 256, 5000 + i % 1000, i);
        text += record;
    }
    return text;
}

std::string Groups()
{
    const std::string mask(40, '0');
    const std::string schedule(168, '1');
    std::string text;
    for (int i = 0; i < kRecords; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Group %06d", i);
        text += std::string(i ? "," : "") + "\n          \"" + name + "\": {\n" +
                "            \"opMask\": \"" + mask + "\",\n" +
                "            \"schedule\": \"" + schedule + "\",\n" +
                "            \"nonOpMask\": \"" + mask + "\",\n" +
                "            \"reserved\": \"\",\n" +
                "            \"members\": [\n              \"user" + std::to_string(i) + "\"\n            ],\n" +
                "            \"nonOpBlockAll\": false,\n            \"opBlockAll\": " + (i % 2 ? "true" : "false") +
                "\n          }";
    }
    return text;
}

std::string Document(const char* key, const std::string& records)
{
    return "{\n  \"services\": {\n    \"http-proxy\": {\n      \"proxy_http\": {},\n      \"sievex\": {\n"
           "        \"activate\": 1,\n        \"" + std::string(key) + "\": {" + records +
           "\n        }\n      }\n    }\n  }\n}\n";
}

// Memory the process holds now, in bytes.
double Held()
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return (double)memory.WorkingSetSize;
}

// Memory an open document holds beside the size of its text.
void MemoryRow(const char* what, const std::string& bytes, int values)
{
    const std::string path = TempPath("vgbench-memory.json");
    WriteRaw(path, bytes);
    const double before = Held();
    {
        Beach beach;
        CString error;
        if (!beach.open(path.c_str(), error, VgSettings::StoreSchema()))
            fprintf(stderr, "vgbench: %s\n", (LPCTSTR)error);
        const double held = Held() - before;
        printf("%-44s %6.1f MB held for %5.1f MB of text", what, held / 1048576, bytes.size() / 1048576.0);
        if (values)
            printf(", %.0f bytes a value", (held - bytes.size()) / values);
        printf("\n");
    }
    DeleteFileA(path.c_str());
}

template <class Map>
void BenchRecords(const char* what, const char* key, const std::string& records)
{
    const std::string path = TempPath("vgbench-records.json");
    const std::string bytes = Document(key, records);
    WriteRaw(path, bytes);

    Beach beach;
    CString error;
    QuoValOf<Map> map;
    const double open = Time([&] {
        if (!beach.open(path.c_str(), error, VgSettings::StoreSchema()))
            fprintf(stderr, "vgbench: %s\n", (LPCTSTR)error);
        Quolla* section = beach.digQuolla("sievex", "http-proxy");
        if (!section || !section->getProp(key, map) || map.value.GetCount() != kRecords)
            fprintf(stderr, "vgbench: the %s did not read back\n", what);
        beach.tossQuolla(section);
    }, kRecordRuns);
    const double readRaw = Time([&] { ReadRaw(path); }, kRecordRuns);
    // The console opens a document once, in a Beach of its own, as the
    // check does; that open costs several times the repeated opens of one
    // Beach measured above, so the check stands beside it.
    const double fresh = Time([&] {
        Beach once;
        QuoValOf<Map> held;
        if (!once.open(path.c_str(), error, VgSettings::StoreSchema()))
            fprintf(stderr, "vgbench: %s\n", (LPCTSTR)error);
        Quolla* section = once.digQuolla("sievex", "http-proxy");
        if (section)
            section->getProp(key, held);
        once.tossQuolla(section);
    }, kRecordRuns);
    // The console's --check of the same file: the store's check of every
    // value, then the sheet's rules on each record, with their lines.
    VgFindingArray findings;
    const double check = Time([&] {
        if (!VgCheck::CheckDocument(path.c_str(), "", ".", findings, error))
            fprintf(stderr, "vgbench: %s\n", (LPCTSTR)error);
    }, kRecordRuns);
    const double save = Time([&] {
        Quolla* section = beach.digQuolla("sievex", "http-proxy");
        section->setProp(key, map);
        beach.tossQuolla(section);
        if (!beach.save(error))
            fprintf(stderr, "vgbench: %s\n", (LPCTSTR)error);
    }, kRecordRuns);
    if (ReadRaw(path) != bytes)
        fprintf(stderr, "vgbench: the %s did not come back as they were\n", what);
    const double writeRaw = Time([&] { WriteRaw(path, bytes); }, kRecordRuns);

    char row[96];
    snprintf(row, sizeof row, "open, read %d %s (%u MB)", kRecords, what, (unsigned)(bytes.size() >> 20));
    Row(row, open, "floor: read the same bytes", readRaw);
    snprintf(row, sizeof row, "check them (%d warning%s)", (int)findings.GetSize(), findings.GetSize() == 1 ? "" : "s");
    Row(row, check, "beside: open, read them in a new document", fresh);
    snprintf(row, sizeof row, "store and save %d %s", kRecords, what);
    Row(row, save, "floor: write the same bytes, same replace", writeRaw);
    DeleteFileA(path.c_str());
}

} // namespace

void BenchStore()
{
    printf("\nthe store on 100,000 records; median of %d runs\n\n", kRecordRuns);
    const std::string servers = Servers(), groups = Groups();
    BenchRecords<QuoVGServerIpMap>("servers", "ip_port", servers);
    BenchRecords<QuoSievexMap>("groups", "rules", groups);

    // Each server is four values (the record and its fields), each group
    // ten (the record, seven fields, the members and one member).
    printf("\nmemory of an open document\n\n");
    MemoryRow("100,000 servers", Document("ip_port", servers), kRecords * 4);
    MemoryRow("100,000 groups", Document("rules", groups), kRecords * 10);
    std::string zeros = "{\"services\": {\"http-proxy\": {\"sievex\": {\"history\": [";
    while (zeros.size() < Beach::maxDocumentBytes - 16)
        zeros += "0,";
    MemoryRow("64 MB of another tool's values", zeros + "0]}}}}", 0);
}
