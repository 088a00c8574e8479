// Surface blend and 565 conversion vs pixman on the same layers; the blend's names say its rounding.
// Both sides work on the same 800x600 layer and destination.
// Blend: ours (Draw with the source-alpha flag) computes s + (d x (255 - a)) >> 8 per colour
// channel and keeps the destination's alpha; pixman's OVER rounds all four channels exactly
// (d x (255 - a) / 255). The engine has no blend kernel with pixman's exact rounding, so
// there is no pairing of equal rounding. Items are pixels: the rate column is pixels/s.
#include "KorvelGraphics/KorvelSurface.h"
#include "bench/BenchPairs.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>

namespace
{
const int kWidth = 800, kHeight = 600;

// A sprite-like layer: a third clear, a third opaque, a third soft edges, premultiplied.
uint32_t LayerPixel(int x, int y)
{
    uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    h ^= h >> 13;
    uint32_t a = (x / 40 + y / 30) % 3 == 0 ? 0 : ((x / 40 + y / 30) % 3 == 1 ? 255 : (h >> 24));
    uint32_t r = ((h & 0xFF) * a) / 255, g = (((h >> 8) & 0xFF) * a) / 255,
             b = (((h >> 16) & 0xFF) * a) / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

struct sLAYERS
{
    CKorvelSurface layer, dst32, dst565;
    sLAYERS()
    {
        SKE_SURFACEDESC d32 = {kWidth, kHeight, 0, KE_SURFACE_ARGB8888, 0, 0};
        SKE_SURFACEDESC d16 = {kWidth, kHeight, 0, KE_SURFACE_RGB565, 0, 0};
        layer.Create(nullptr, d32);
        dst32.Create(nullptr, d32);
        dst565.Create(nullptr, d16);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                layer.SetPixel(x, y, LayerPixel(x, y));
        dst32.Fill(0xFF336699, nullptr);
        dst565.Fill(0xFF336699, nullptr);
    }
    ~sLAYERS()
    {
        layer.Shutdown();
        dst32.Shutdown();
        dst565.Shutdown();
    }
};

pixman_image_t* Wrap(CKorvelSurface& s, pixman_format_code_t format)
{
    SKE_SURFACEDESC d;
    void* p = s.Lock(&d, 1);
    return pixman_image_create_bits(format, d.iWidth, d.iHeight, static_cast<uint32_t*>(p), d.iPitch);
}

void Report(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}
} // namespace

static void BM_Blend8888Korvel_Shift8KeepDstAlpha(benchmark::State& state)
{
    sLAYERS s;
    for (auto _ : state)
    {
        s.dst32.Draw(0, 0, s.layer, nullptr, KE_DRAW_SRCALPHA);
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_Blend8888Korvel_Shift8KeepDstAlpha)->Unit(benchmark::kMicrosecond);

static void BM_Blend8888Pixman_ExactOver(benchmark::State& state)
{
    sLAYERS s;
    pixman_image_t* src = Wrap(s.layer, PIXMAN_a8r8g8b8);
    pixman_image_t* dst = Wrap(s.dst32, PIXMAN_a8r8g8b8);
    for (auto _ : state)
    {
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    Report(state);
}
BENCHMARK(BM_Blend8888Pixman_ExactOver)->Unit(benchmark::kMicrosecond);
KORVEL_BENCH_PAIR("blend 8888 (ours >>8, pixman exact: differ)", "BM_Blend8888Korvel_Shift8KeepDstAlpha",
                  "BM_Blend8888Pixman_ExactOver");

static void BM_Convert8888To565Korvel(benchmark::State& state)
{
    sLAYERS s;
    for (auto _ : state)
    {
        s.dst565.Draw(0, 0, s.layer, nullptr, 0);
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_Convert8888To565Korvel)->Unit(benchmark::kMicrosecond);

static void BM_Convert8888To565Pixman(benchmark::State& state)
{
    sLAYERS s;
    pixman_image_t* src = Wrap(s.layer, PIXMAN_a8r8g8b8);
    pixman_image_t* dst = Wrap(s.dst565, PIXMAN_r5g6b5);
    for (auto _ : state)
    {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    Report(state);
}
BENCHMARK(BM_Convert8888To565Pixman)->Unit(benchmark::kMicrosecond);
KORVEL_BENCH_PAIR("convert 8888 -> 565 vs pixman", "BM_Convert8888To565Korvel", "BM_Convert8888To565Pixman");
