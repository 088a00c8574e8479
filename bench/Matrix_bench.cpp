// 4x4 products vs glm and 2D normalising vs box2d, on the same operands, kept opaque on both sides.
// The matrices are the same rotations for both, passed through DoNotOptimize in every run so
// that no product is folded away at compile time.
#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelMath.h"
#include "bench/BenchPairs.h"

#include <benchmark/benchmark.h>
#include <box2d/b2_math.h>
#include <glm/gtc/type_ptr.hpp>
#include <glm/mat4x4.hpp>

#include <vector>

namespace
{
// Two rotations with a translation, as a model and a view matrix are.
void RotationPair(CKorvelMatrix4RH& a, CKorvelMatrix4RH& b)
{
    a.RotateXYZ(0.1f, 0.2f, 0.3f);
    b.RotateXYZ(-0.3f, 0.5f, 0.7f);
    b.m[3] = 2.0f;
}
} // namespace

static void BM_MatrixMulKorvel(benchmark::State& state)
{
    CKorvelMatrix4RH a, b, r;
    RotationPair(a, b);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        r.Mul(a, b);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_MatrixMulKorvel);

// Ours is row-major and glm column-major: the same floats read as glm matrices are the
// transposes, so b * a in glm is the same product, element for element.
static void BM_MatrixMulGlm(benchmark::State& state)
{
    CKorvelMatrix4RH ka, kb;
    RotationPair(ka, kb);
    glm::mat4 a = glm::make_mat4(ka.m), b = glm::make_mat4(kb.m), r;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        r = b * a;
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_MatrixMulGlm);
KORVEL_BENCH_PAIR("4x4 matrix multiply vs glm", "BM_MatrixMulKorvel", "BM_MatrixMulGlm");

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
KORVEL_BENCH_PAIR("normalise 1024 2D vectors vs box2d", "BM_Normalize<CKorvelVector2>",
                  "BM_Normalize<b2Vec2>");
