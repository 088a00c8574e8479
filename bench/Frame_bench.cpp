// Frame copies through the software surface's Draw, against memcpy of exactly the same rows.
// Two cases: a whole 800x600 32-bit frame onto an equal one, and an inset window of it
// drawn row by row; the reference copies exactly the bytes that Draw writes.
#include "KorvelGraphics/KorvelSurface.h"
#include "bench/BenchPairs.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

namespace
{
const int kWidth = 800, kHeight = 600;
const int kInset = 16; // the window leaves this margin on every side

struct sFRAMES
{
    CKorvelSurface src, dst;
    SKE_SURFACEDESC srcDesc = {}, dstDesc = {};
    uint8_t* pSrc = nullptr;
    uint8_t* pDst = nullptr;
    sFRAMES()
    {
        SKE_SURFACEDESC d = {kWidth, kHeight, 0, KE_SURFACE_ARGB8888, 0, 0};
        src.Create(nullptr, d);
        dst.Create(nullptr, d);
        src.Fill(0xFF336699, nullptr);
        pSrc = static_cast<uint8_t*>(src.Lock(&srcDesc, 1));
        pDst = static_cast<uint8_t*>(dst.Lock(&dstDesc, 1));
    }
    ~sFRAMES()
    {
        src.Shutdown();
        dst.Shutdown();
    }
};

void Report(benchmark::State& state, int iWidth, int iHeight)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * iWidth * iHeight * 4);
}

const CKorvelRect<int> kWindow(kInset, kInset, kWidth - kInset, kHeight - kInset);
const int kWindowWidth = kWidth - 2 * kInset, kWindowHeight = kHeight - 2 * kInset;
} // namespace

static void BM_FrameDrawKorvel(benchmark::State& state)
{
    sFRAMES f;
    for (auto _ : state)
    {
        f.dst.Draw(0, 0, f.src, nullptr, 0);
        benchmark::ClobberMemory();
    }
    Report(state, kWidth, kHeight);
}
BENCHMARK(BM_FrameDrawKorvel);

static void BM_FrameMemcpy(benchmark::State& state)
{
    sFRAMES f;
    const size_t uBytes = static_cast<size_t>(f.dstDesc.iPitch) * kHeight;
    for (auto _ : state)
    {
        memcpy(f.pDst, f.pSrc, uBytes);
        benchmark::ClobberMemory();
    }
    Report(state, kWidth, kHeight);
}
BENCHMARK(BM_FrameMemcpy);
KORVEL_BENCH_PAIR("800x600 frame copy vs memcpy", "BM_FrameDrawKorvel", "BM_FrameMemcpy");

static void BM_WindowDrawKorvel(benchmark::State& state)
{
    sFRAMES f;
    for (auto _ : state)
    {
        f.dst.Draw(kInset, kInset, f.src, &kWindow, 0);
        benchmark::ClobberMemory();
    }
    Report(state, kWindowWidth, kWindowHeight);
}
BENCHMARK(BM_WindowDrawKorvel);

static void BM_WindowMemcpyRows(benchmark::State& state)
{
    sFRAMES f;
    const size_t uOffset = static_cast<size_t>(kInset) * f.dstDesc.iPitch + static_cast<size_t>(kInset) * 4;
    for (auto _ : state)
    {
        for (int y = 0; y < kWindowHeight; ++y)
            memcpy(f.pDst + uOffset + static_cast<size_t>(y) * f.dstDesc.iPitch,
                   f.pSrc + uOffset + static_cast<size_t>(y) * f.srcDesc.iPitch,
                   static_cast<size_t>(kWindowWidth) * 4);
        benchmark::ClobberMemory();
    }
    Report(state, kWindowWidth, kWindowHeight);
}
BENCHMARK(BM_WindowMemcpyRows);
KORVEL_BENCH_PAIR("768x568 window copy by rows vs memcpy", "BM_WindowDrawKorvel", "BM_WindowMemcpyRows");
