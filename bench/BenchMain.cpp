// The main of every benchmark program that has no main of its own.
#include "bench/BenchPairs.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RunBenchmarksAndPairs();
    benchmark::Shutdown();
    return 0;
}
