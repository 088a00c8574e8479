// Copying one 800x600 32-bit frame: our loop against the C library's memcpy.
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstring>
#include <vector>

static const size_t kFramePixels = size_t{800} * 600;

static void BM_FrameCopyLoop(benchmark::State& state)
{
    std::vector<uint32_t> aSrc(kFramePixels, 0x11223344u), aDst(kFramePixels);
    for (auto _ : state)
    {
        for (size_t i = 0; i < kFramePixels; ++i)
            aDst[i] = aSrc[i];
        benchmark::DoNotOptimize(aDst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kFramePixels * 4);
}
BENCHMARK(BM_FrameCopyLoop);

static void BM_FrameCopyMemcpy(benchmark::State& state)
{
    std::vector<uint32_t> aSrc(kFramePixels, 0x11223344u), aDst(kFramePixels);
    for (auto _ : state)
    {
        memcpy(aDst.data(), aSrc.data(), kFramePixels * 4);
        benchmark::DoNotOptimize(aDst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kFramePixels * 4);
}
BENCHMARK(BM_FrameCopyMemcpy);
