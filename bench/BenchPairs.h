// Pairings of the benchmarks: each names our run and the reference run doing the same
// work; after all runs one line per pairing gives both times and ours ÷ reference as
// throughput (above 1: ours is faster), by real time and by CPU time.
#pragma once

struct CBenchPair
{
    CBenchPair(const char* pLabel, const char* pOurs, const char* pReference);
};

// After benchmark::Initialize: every benchmark run, then the pairings' lines.
void RunBenchmarksAndPairs();

#define KORVEL_BENCH_PAIR_JOIN2(a, b) a##b
#define KORVEL_BENCH_PAIR_JOIN(a, b) KORVEL_BENCH_PAIR_JOIN2(a, b)
// Run names as the benchmark prints them, arguments included ("BM_VornMD5/65536").
#define KORVEL_BENCH_PAIR(label, ours, reference)                                                            \
    static const CBenchPair KORVEL_BENCH_PAIR_JOIN(g_BenchPair, __LINE__)(label, ours, reference)
