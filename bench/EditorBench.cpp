// The store and the editor on a large document (5,000 allowed and 5,000
// denied exceptions, 200 servers, 50 groups): opening and saving it beside
// reading and writing the same bytes raw; loading and saving the filter
// settings; checking it as --check does, beside opening it; opening the
// "HTTP Proxy" sheet to its first idle moment beside
// an empty property sheet of seven pages. Its entries are all sound, as in a
// real policy, so the check reports nothing.
#include "BenchSupport.h"
#include "afxdlgs.h"
#include "quolla.h"
#include "VeilgateSettings.h"
#include "Veilgate.h"
#include "VeilgateCheck.h"
#include <stdio.h>

namespace {

CString Mask(int seed, int length)
{
    CString s('0', length);
    for (int i = 0; i < length; ++i)
        if ((i * 7 + seed) % 5 == 0)
            s.SetAt(i, '1');
    return s;
}

// Builds the large document through the store itself.
void MakeLargeDocument(const std::string& path)
{
    Beach beach;
    CString error;
    beach.openText("{ \"services\": { \"http-proxy\": { \"proxy_http\": {}, \"sievex\": {} } } }",
                   path.c_str(), error);
    Quolla* section = beach.digQuolla("sievex", "http-proxy");
    CStringList allow, deny;
    for (int i = 0; i < 5000; ++i) {
        CString entry;
        entry.Format("10.%d.%d.%d:%d /path%d/*", i / 65536, (i / 256) % 256, i % 256, 8000 + i % 100, i);
        allow.AddTail(entry);
        entry.Format("192.%d.%d.0/24", 168 + i / 256, i % 256);
        deny.AddTail(entry + (i % 2 ? "" : " /ads/*"));
    }
    section->setProp("urls_allow", QuoValOf<CStringList*>(&allow));
    section->setProp("urls_deny", QuoValOf<CStringList*>(&deny));
    QuoValOf<QuoVGServerIpMap> servers;
    for (int i = 0; i < 200; ++i) {
        CString key, address;
        key.Format("%02d", i);
        address.Format("10.200.%d.%d", i / 256, i % 256);
        servers.value.SetAt(key, new QuoVGServerIp(address, 5003, i));
    }
    section->setProp("ip_port", servers);
    QuoValOf<QuoSievexMap> rules;
    for (int i = 0; i < 50; ++i) {
        QuoSievex* g = new QuoSievex;
        g->opMask = Mask(i, 40);
        g->nonOpMask = Mask(i + 1, 40);
        g->schedule = Mask(i + 2, 168);
        for (int m = 0; m < 20; ++m) {
            CString member;
            member.Format("user%d-%d", i, m);
            g->members.Add(member);
        }
        CString name;
        name.Format("Group %02d", i);
        rules.value.SetAt(name, g);
    }
    section->setProp("rules", rules);
    section->setProp("activate", QuoValOf<int>(1));
    beach.tossQuolla(section);
    if (!beach.save(error))
        fprintf(stderr, "vgbench: %s\n", (LPCTSTR)error);
}

class BenchVeilgate : public Veilgate
{
public:
    using Veilgate::Veilgate;
    using Veilgate::LoadVeilgate;
    using Veilgate::SaveVeilgate;
};

} // namespace

void BenchEditor()
{
    std::string path = TempPath("vgbench-large.json");
    MakeLargeDocument(path);
    std::string bytes = ReadRaw(path);
    printf("large document: %u bytes; median of %d runs\n\n", (unsigned)bytes.size(), kRuns);

    Beach beach;
    CString error;
    // What --check does with it: the store's faults, then the sheet's rules,
    // in a document of its own, as the console opens one; beside opening it
    // again and opening it in a new document, in turn.
    VgFindingArray findings;
    const std::string folder = TempPath("");
    const std::vector<double> opens = TimeInTurn({
        [&] { beach.open(path.c_str(), error, VgSettings::StoreSchema()); },
        [&] { Beach().open(path.c_str(), error, VgSettings::StoreSchema()); },
        [&] { VgCheck::CheckDocument(path.c_str(), "", folder.c_str(), findings, error); },
    });
    const double open = opens[0], fresh = opens[1], check = opens[2];
    double readRaw = Time([&] { ReadRaw(path); });
    Row("open large document (parse, check, convert)", open, "floor: read the same bytes", readRaw);
    Row("check large document (--check)", check, "beside: open large document", open);
    Row("check large document (--check)", check, "beside: open it in a new document", fresh);

    double save = Time([&] { beach.save(error); });
    double writeRaw = Time([&] { WriteRaw(path, bytes); });
    Row("save large document (durable replace)", save, "floor: write the same bytes, same replace", writeRaw);

    double load = Time([&] {
        BenchVeilgate editor(nullptr, &beach);
        editor.LoadVeilgate("http-proxy");
    });
    double loadSave = Time([&] {
        BenchVeilgate editor(nullptr, &beach);
        editor.LoadVeilgate("http-proxy");
        editor.SaveVeilgate("http-proxy");
    });
    Row("filter settings: load", load, "floor: read the same bytes", readRaw);
    Row("filter settings: load and save", loadSave, "floor: read and write the same bytes", readRaw + writeRaw);

    double sheet = TimeToFirstIdle([&] {
        BenchVeilgate editor(nullptr, &beach);
        editor.EditVeilgate(TempPath("").c_str(), "http-proxy", 1);
    });
    double emptySheet = TimeToFirstIdle([] {
        CPropertyPage pages[7];
        CPropertySheet floorSheet("Empty sheet");
        floorSheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        for (CPropertyPage& page : pages) {
            page.m_psp.pszTemplate = MAKEINTRESOURCEA(300);
            floorSheet.AddPage(&page);
        }
        floorSheet.EnableStackedTabs(FALSE);
        floorSheet.DoModal();
    });
    Row("HTTP Proxy sheet to first idle (large doc)", sheet, "floor: empty seven-page sheet", emptySheet);

    DeleteFileA(path.c_str());
}
