// Benchmark of the editor's hot paths, each beside the platform's own floor
// measured in the same run. Prints the median of several runs of each. Not
// a test: nothing fails. Names given on the command line (editor, controls,
// exceptions, schedule, mime, store, merge, check) run only those parts.
#include "BenchSupport.h"
#include <string.h>

int main(int argc, char** argv)
{
    static const struct {
        const char* name;
        void (*run)();
    } parts[] = {
        {"editor", BenchEditor},     {"controls", BenchControls}, {"exceptions", BenchExceptions},
        {"schedule", BenchSchedule}, {"mime", BenchMime},         {"store", BenchStore},
        {"merge", BenchMerge},       {"check", BenchCheckRuns},
    };
    int ran = 0;
    for (const auto& part : parts) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i)
            wanted |= strcmp(argv[i], part.name) == 0;
        if (wanted) {
            part.run();
            ++ran;
        }
    }
    if (ran == 0) {
        fprintf(stderr, "vgbench: no such part; the parts are:");
        for (const auto& part : parts)
            fprintf(stderr, " %s", part.name);
        fprintf(stderr, "\n");
        return 2;
    }
    return 0;
}
