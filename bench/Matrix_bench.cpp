// 4x4 product against glm's, and 2D normalisation against box2d's.
#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelMath.h"

#include <benchmark/benchmark.h>
#include <box2d/b2_math.h>
#include <glm/mat4x4.hpp>

#include <vector>

static void BM_MatrixMulKorvel(benchmark::State& state)
{
    CKorvelMatrix4RH a, b, r;
    a.RotateXYZ(0.1f, 0.2f, 0.3f);
    b.RotateXYZ(-0.3f, 0.5f, 0.7f);
    b.m[3] = 2.0f;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(a);
        r.Mul(a, b);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_MatrixMulKorvel);

static void BM_MatrixMulGlm(benchmark::State& state)
{
    glm::mat4 a(1.0f), b(1.0f), r;
    a[0][1] = 0.3f;
    b[3][0] = 2.0f;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(a);
        r = a * b;
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_MatrixMulGlm);

// Normalising a batch of vectors, as the physics does per step.
static const int kBatch = 1024;

template <class V> static void FillBatch(std::vector<V>& out)
{
    out.resize(kBatch);
    for (int i = 0; i < kBatch; ++i)
        out[i].Set(static_cast<float>(i % 17) - 8.0f, static_cast<float>(i % 5) + 0.5f);
}

template <class V> static void BM_Normalize(benchmark::State& state)
{
    std::vector<V> src, v;
    FillBatch(src);
    for (auto _ : state)
    {
        v = src;
        for (V& x : v)
            x.Normalize();
        benchmark::DoNotOptimize(v.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kBatch);
}
BENCHMARK_TEMPLATE(BM_Normalize, CKorvelVector2);
BENCHMARK_TEMPLATE(BM_Normalize, b2Vec2);
