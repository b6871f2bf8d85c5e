// The merge of two saves of one document of 100,000 allowed exceptions,
// each side with 1,000 changes of its own (500 entries taken out, 500 put
// in), beside opening the three versions it starts from.
#include "BenchSupport.h"
#include "quolla.h"
#include "VeilgateMerge.h"
#include "VeilgateSettings.h"
#include <stdio.h>

namespace {

const int kEntries = 100000;
const int kChanges = 500;  // taken out and as many put in, per side

// The document, its allowed list without the entries from..from+kChanges
// and with as many new ones named after side.
std::string Document(int from, const char* side)
{
    std::string text = "{\n  \"services\": {\n    \"http-proxy\": {\n      \"sievex\": {\n"
                       "        \"activate\": 1,\n        \"urls_allow\": [";
    char entry[64];
    bool first = true;
    auto add = [&](const char* e) {
        text += std::string(first ? "\n" : ",\n") + "          \"" + e + "\"";
        first = false;
    };
    for (int i = 0; i < kEntries; ++i) {
        if (i >= from && i < from + kChanges)
            continue;
        snprintf(entry, sizeof entry, "host%06d.example.net /path%d/*", i, i % 100);
        add(entry);
    }
    for (int i = 0; side != NULL && i < kChanges; ++i) {
        snprintf(entry, sizeof entry, "%s%04d.example.org", side, i);
        add(entry);
    }
    return text + "\n        ]\n      }\n    }\n  }\n}\n";
}

} // namespace

void BenchMerge()
{
    const CString texts[3] = { Document(-kChanges, NULL).c_str(), Document(1000, "mine").c_str(),
                               Document(50000, "theirs").c_str() };
    std::vector<double> opening, merging;
    for (int run = 0; run < kRuns; ++run) {
        Beach base, mine, theirs;
        Beach* documents[3] = { &base, &mine, &theirs };
        CString error, merged;
        CStringArray conflicts;
        const double t0 = Now();
        for (int i = 0; i < 3; ++i)
            documents[i]->openText(texts[i], "bench.json", error, VgSettings::StoreSchema());
        const double t1 = Now();
        if (!VgMerge::Merge(base, mine, theirs, merged, conflicts))
            printf("merge: %d conflicts\n", (int)conflicts.GetSize());
        const double t2 = Now();
        opening.push_back(t1 - t0);
        merging.push_back(t2 - t1);
    }
    Row("merge: 100,000 exceptions, 1,000 changes a side", Median(merging), "beside: open the three versions",
        Median(opening));
}
