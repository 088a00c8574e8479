// The sorted-array map against std::map, both fed the same shuffled int keys and sizes.
// Building from those keys, then looking every key up. Sizes span the engine's real maps (tens of entries) to
// large tables.
#include "KorvelCommon/KorvelSet.h"
#include "bench/BenchPairs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

static std::vector<int> ShuffledKeys(int n)
{
    std::vector<int> keys(n);
    for (int i = 0; i < n; ++i)
        keys[i] = i * 3 + 1;
    std::shuffle(keys.begin(), keys.end(), std::mt19937(42));
    return keys;
}

static void BM_KorvelMapBuild(benchmark::State& state)
{
    std::vector<int> keys = ShuffledKeys((int)state.range(0));
    for (auto _ : state)
    {
        CKorvelMap<int, int> m;
        for (int k : keys)
            m.Add(k, k);
        benchmark::DoNotOptimize(m.m_pData);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_KorvelMapBuild)->Arg(32)->Arg(1024)->Arg(16384);

static void BM_StdMapBuild(benchmark::State& state)
{
    std::vector<int> keys = ShuffledKeys((int)state.range(0));
    for (auto _ : state)
    {
        std::map<int, int> m;
        for (int k : keys)
            m.emplace(k, k);
        benchmark::DoNotOptimize(m.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StdMapBuild)->Arg(32)->Arg(1024)->Arg(16384);

static void BM_KorvelMapFind(benchmark::State& state)
{
    std::vector<int> keys = ShuffledKeys((int)state.range(0));
    CKorvelMap<int, int> m;
    for (int k : keys)
        m.Add(k, k);
    for (auto _ : state)
    {
        long long sum = 0;
        for (int k : keys)
            sum += m.Find(k);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_KorvelMapFind)->Arg(32)->Arg(1024)->Arg(16384);

static void BM_StdMapFind(benchmark::State& state)
{
    std::vector<int> keys = ShuffledKeys((int)state.range(0));
    std::map<int, int> m;
    for (int k : keys)
        m.emplace(k, k);
    for (auto _ : state)
    {
        long long sum = 0;
        for (int k : keys)
            sum += m.find(k)->second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StdMapFind)->Arg(32)->Arg(1024)->Arg(16384);
KORVEL_BENCH_PAIR("map build 32 keys vs std::map", "BM_KorvelMapBuild/32", "BM_StdMapBuild/32");
KORVEL_BENCH_PAIR("map build 1024 keys vs std::map", "BM_KorvelMapBuild/1024", "BM_StdMapBuild/1024");
KORVEL_BENCH_PAIR("map build 16384 keys vs std::map", "BM_KorvelMapBuild/16384", "BM_StdMapBuild/16384");
KORVEL_BENCH_PAIR("map find 32 keys vs std::map", "BM_KorvelMapFind/32", "BM_StdMapFind/32");
KORVEL_BENCH_PAIR("map find 1024 keys vs std::map", "BM_KorvelMapFind/1024", "BM_StdMapFind/1024");
KORVEL_BENCH_PAIR("map find 16384 keys vs std::map", "BM_KorvelMapFind/16384", "BM_StdMapFind/16384");
