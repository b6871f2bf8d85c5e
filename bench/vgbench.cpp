// Benchmark of the editor's hot paths, each beside the platform's own floor
// measured in the same run. Prints the median of several runs of each. Not
// a test: nothing fails.
#include "BenchSupport.h"

int main()
{
    BenchEditor();
    BenchControls();
    BenchExceptions();
    BenchSchedule();
    BenchMime();
    BenchStore();
    BenchMerge();
    BenchCheckRuns();
    return 0;
}
