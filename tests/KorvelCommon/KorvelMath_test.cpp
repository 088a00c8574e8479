#include "KorvelCommon/KorvelMath.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <type_traits>
#include <utility>
#include <vector>

static_assert(sizeof(CKorvelVector2) == 8 && sizeof(CKorvelVector3) == 12, "plain floats only");
static_assert(std::is_trivially_copyable<CKorvelVector2>::value, "copied by value");
static_assert(std::is_trivially_copyable<CKorvelVector3>::value, "copied by value");

static const float kPiF = KE_PI;

TEST(CKorvelVector2, NormalizeAndSetLengthLeaveNearZeroVectors)
{
    CKorvelVector2 v(3.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f); // returns the old length
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    CKorvelVector2 w(0.0f, 2.0f);
    EXPECT_FLOAT_EQ(w.SetLength(10.0f), 2.0f);
    EXPECT_FLOAT_EQ(w.y, 10.0f);

    CKorvelVector2 tiny(0.00005f, 0.0f);
    EXPECT_FLOAT_EQ(tiny.Normalize(), 0.00005f);
    EXPECT_EQ(tiny.x, 0.00005f);
    CKorvelVector2 zero(0.0f, 0.0f);
    EXPECT_EQ(zero.SetLength(3.0f), 0.0f);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    // Just outside the dead zone the vector is scaled.
    CKorvelVector2 small(0.0002f, 0.0f);
    small.Normalize();
    EXPECT_FLOAT_EQ(small.x, 1.0f);
}

TEST(CKorvelVector2, GetAngleMeasuresFromNegativeYAndNudgesZeroY)
{
    CKorvelVector2 v(1.0f, 0.0f);
    EXPECT_NEAR(v.GetAngle(), -kPiF / 2.0f, 1e-4f);
    EXPECT_EQ(v.y, 0.00001f);

    CKorvelVector2 negZero(1.0f, -0.0f);
    negZero.GetAngle();
    EXPECT_EQ(negZero.y, 0.00001f);

    CKorvelVector2 down(0.0f, -1.0f), up(0.0f, 1.0f), diag(-1.0f, -1.0f);
    EXPECT_FLOAT_EQ(down.GetAngle(), 0.0f);
    EXPECT_FLOAT_EQ(up.GetAngle(), -kPiF);
    EXPECT_FLOAT_EQ(diag.GetAngle(), kPiF / 4.0f);
}

TEST(CKorvelVector2, InterpolationsRunFromBToC)
{
    CKorvelVector2 a(0.0f, 5.0f), b(1.0f, 7.0f), c(2.0f, -3.0f), d(3.0f, 4.0f), r;
    r.CubicInterpolate(a, b, c, d, 0.0f);
    EXPECT_EQ(r.x, b.x);
    EXPECT_EQ(r.y, b.y);
    r.CubicInterpolate(a, b, c, d, 1.0f);
    EXPECT_FLOAT_EQ(r.x, c.x);
    EXPECT_FLOAT_EQ(r.y, c.y);
    r.CubicInterpolate(a, b, c, d, 0.5f);
    EXPECT_FLOAT_EQ(r.x, 1.5f); // evenly spaced points stay linear

    for (float tension : {0.0f, 0.5f, 1.0f})
    {
        r.HermiteInterpolate(a, b, c, d, 0.0f, tension, 0.3f);
        EXPECT_FLOAT_EQ(r.x, b.x);
        EXPECT_FLOAT_EQ(r.y, b.y);
        r.HermiteInterpolate(a, b, c, d, 1.0f, tension, -0.3f);
        EXPECT_FLOAT_EQ(r.x, c.x);
        EXPECT_FLOAT_EQ(r.y, c.y);
    }
    // Catmull-Rom through evenly spaced x, and zero tangents at tension 1.
    r.HermiteInterpolate(a, b, c, d, 0.5f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(r.x, 1.5f);
    r.HermiteInterpolate(a, b, c, d, 0.5f, 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(r.y, 2.0f);

    // The result may be one of the inputs.
    CKorvelVector2 b2 = b;
    b2.CubicInterpolate(a, b2, c, d, 1.0f);
    EXPECT_FLOAT_EQ(b2.x, c.x);
}

TEST(CKorvelVector2, ArithmeticRotationEqualityAndLargestIndex)
{
    CKorvelVector2 one(1.0f, 1.0f); // equality needs strictly less than the tolerance
    EXPECT_EQ(one.IsEqual(CKorvelVector2(1.005f, 0.995f), 0.01f), 1);
    EXPECT_EQ(one.IsEqual(CKorvelVector2(1.02f, 1.0f), 0.01f), 0);
    EXPECT_EQ(one.IsEqual(one, 0.0f), 0);

    CKorvelVector2 v(1.0f, 1.0f);
    v.Rotate(kPiF / 2.0f);
    EXPECT_NEAR(v.x, -1.0f, 1e-6f);
    EXPECT_NEAR(v.y, 1.0f, 1e-6f);

    CKorvelVector2 a(1.0f, 2.0f), b(4.0f, 6.0f), r;
    r.CreateBetweenVectors(a, b);
    EXPECT_EQ(r.x, 3.0f);
    EXPECT_EQ(r.y, 4.0f);
    r.Lerp(a, b, 2.0f); // t is not clamped
    EXPECT_EQ(r.x, 7.0f);
    EXPECT_EQ(r.y, 10.0f);

    EXPECT_EQ(CKorvelVector2(1.0f, -1.0f).GetLargestIndex(), 1);
    EXPECT_EQ(CKorvelVector2(-2.0f, 1.0f).GetLargestIndex(), 0);

    const CKorvelVector2* none = nullptr;
    CKorvelVector2 z(none), copy(&a);
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_EQ(z.y, 0.0f);
    EXPECT_EQ(copy.y, 2.0f);
}

TEST(CKorvelVector3, CrossNormalizeLargestIndexAndEquality)
{
    CKorvelVector3 x(1, 0, 0), y(0, 1, 0), r;
    r.Cross(x, y);
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_EQ(r.y, 0.0f);
    EXPECT_EQ(r.z, 1.0f);

    CKorvelVector3 a(1, 2, 3), b(4, 5, 6);
    a.Cross(a, b);
    EXPECT_EQ(a.x, -3.0f);
    EXPECT_EQ(a.y, 6.0f);
    EXPECT_EQ(a.z, -3.0f);
    // Normalize has the same dead zone as in two dimensions.
    CKorvelVector3 v(0.0f, 3.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
    CKorvelVector3 tiny(0.00003f, 0.00003f, 0.00003f);
    tiny.SetLength(5.0f);
    EXPECT_EQ(tiny.x, 0.00003f);

    EXPECT_EQ(CKorvelVector3(1, -1, 1).GetLargestIndex(), 0);
    EXPECT_EQ(CKorvelVector3(1, 2, -2).GetLargestIndex(), 1);
    EXPECT_EQ(CKorvelVector3(0, 0, -3).GetLargestIndex(), 2);

    EXPECT_EQ(CKorvelVector3(1, 1, 1).IsEqual(CKorvelVector3(1, 1, 1.02f), 0.01f), 0);
    EXPECT_EQ(CKorvelVector3(1, 1, 1).IsEqual(CKorvelVector3(1, 1, 1.005f), 0.01f), 1);

    const CKorvelVector3* none = nullptr;
    CKorvelVector3 z(none);
    EXPECT_EQ(z.x + z.y + z.z, 0.0f);
}

TEST(CKorvelMath, IntegerHelpersAtTheirLimits)
{
    EXPECT_EQ(CKorvelMath::Abs(-5), 5);
    EXPECT_EQ(CKorvelMath::Abs(INT_MIN), INT_MIN); // the most negative stays
    EXPECT_EQ(CKorvelMath::Abs64(-5000000000LL), 5000000000LL);
    EXPECT_EQ(CKorvelMath::Abs64(LLONG_MIN), LLONG_MIN);
    EXPECT_TRUE(std::signbit(CKorvelMath::Fabs(-0.0f))); // passes signed zero
    EXPECT_TRUE(std::isnan(CKorvelMath::Fabs(std::numeric_limits<float>::quiet_NaN())));
    EXPECT_EQ(CKorvelMath::Fabs(-2.5f), 2.5f);

    EXPECT_EQ(CKorvelMath::IsPowerOfTwo(0), 0);
    EXPECT_EQ(CKorvelMath::IsPowerOfTwo(1), 1);
    EXPECT_EQ(CKorvelMath::IsPowerOfTwo(96), 0);
    EXPECT_EQ(CKorvelMath::IsPowerOfTwo(0x80000000u), 1);

    const float kInf = std::numeric_limits<float>::infinity();
    const std::pair<float, int> kTrunc[] = {{2.9f, 2},
                                            {-2.9f, -2},
                                            {3e9f, INT_MAX},
                                            {2147483648.0f, INT_MAX},
                                            {-2147483648.0f, INT_MIN},
                                            {-1e30f, INT_MIN},
                                            {kInf, INT_MAX},
                                            {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const auto& c : kTrunc)
        EXPECT_EQ(CKorvelMath::TruncToInt(c.first), c.second) << c.first;
}

TEST(CKorvelMath, FixedPointDivideAndPow)
{
    EXPECT_EQ(CKorvelMath::FPDiv(512, 0), 0);
    EXPECT_EQ(CKorvelMath::FPDiv(0, 7), 0);
    EXPECT_EQ(CKorvelMath::FPDiv(384, 256), 384);
    EXPECT_EQ(CKorvelMath::FPDiv(77, 77), 256);
    EXPECT_EQ(CKorvelMath::FPDiv(-256, 512), -128);
    EXPECT_EQ(CKorvelMath::FPDiv(-1, 3), -85); // toward zero
    // Beyond 2^23 the 32-bit shift wraps, without trapping.
    EXPECT_EQ(CKorvelMath::FPDiv(1 << 23, 1), INT_MIN);
    EXPECT_EQ(CKorvelMath::FPDiv(1 << 23, -1), INT_MIN);

    EXPECT_EQ(CKorvelMath::FPPow(512, 512), 1024);
    EXPECT_EQ(CKorvelMath::FPPow(256 * 9, 128), 768);
    EXPECT_EQ(CKorvelMath::FPPow(256 * 100, 256 * 10), INT_MAX); // saturates
    EXPECT_EQ(CKorvelMath::FPPow(-256, 128), 0);                 // NaN
}

TEST(CKorvelMath, FixedPointSqrtMatchesFlooredRootTimes16)
{
    EXPECT_EQ(CKorvelMath::FPSqrt(-5), 0);
    EXPECT_EQ(CKorvelMath::FPSqrt(0), 0);
    EXPECT_EQ(CKorvelMath::FPSqrt(2), 16);
    EXPECT_EQ(CKorvelMath::FPSqrt(256), 256);
    EXPECT_EQ(CKorvelMath::FPSqrt(512), 352);
    EXPECT_EQ(CKorvelMath::FPSqrt(INT_MAX), 741440);
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i)
    {
        int v = static_cast<int>(rng() & 0x7FFFFFFFu);
        if (i < 2000)
            v = i * i + (i & 1) - 1; // perfect squares and their neighbours
        if (v < 0)
            continue;
        long long root = static_cast<long long>(std::sqrt(static_cast<double>(v)));
        ASSERT_EQ(CKorvelMath::FPSqrt(v), static_cast<int>(root * 16)) << v;
    }
}

namespace
{
struct sSORT_DATA
{
    std::vector<int> values;
    std::vector<int> tags;
    int compares = 0;
    int swaps = 0;
};
sSORT_DATA* g_pSort = nullptr;

int CompareDiff(void* first, int i, int j)
{
    ++g_pSort->compares;
    const int* p = static_cast<const int*>(first);
    return p[i] - p[j];
}

int CompareReverse(void* first, int i, int j)
{
    return -CompareDiff(first, i, j);
}

const char* g_pStackTop = nullptr;
size_t g_uStackUsed = 0;

int CompareMeasuringStack(void* first, int i, int j)
{
    char here;
    size_t used = reinterpret_cast<uintptr_t>(g_pStackTop) - reinterpret_cast<uintptr_t>(&here);
    if (used > g_uStackUsed)
        g_uStackUsed = used;
    return CompareDiff(first, i, j);
}

void SwapBoth(void* first, void* second, int i, int j)
{
    ++g_pSort->swaps;
    std::swap(static_cast<int*>(first)[i], static_cast<int*>(first)[j]);
    std::swap(static_cast<int*>(second)[i], static_cast<int*>(second)[j]);
}

void Fill(sSORT_DATA& d, std::vector<int> values)
{
    d.values = values;
    d.tags.resize(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        d.tags[i] = static_cast<int>(i);
    g_pSort = &d;
}

void Sort(sSORT_DATA& d, int low, int high, CKorvelMath::PFN_COMPARE compare)
{
    CKorvelMath::QuickSort(d.values.data(), d.tags.data(), low, high, compare, SwapBoth);
}
} // namespace

TEST(CKorvelMath, QuickSortWithDifferenceCompareIsDescending)
{
    sSORT_DATA d;
    std::mt19937 rng(3);
    std::vector<int> v(500);
    for (int& x : v)
        x = static_cast<int>(rng() % 50); // many duplicates
    Fill(d, v);
    Sort(d, 0, 499, CompareDiff);
    for (int i = 1; i < 500; ++i)
        ASSERT_GE(d.values[i - 1], d.values[i]);
    // The second buffer moved along with the first.
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(v[d.tags[i]], d.values[i]);

    Fill(d, v);
    Sort(d, 0, 499, CompareReverse);
    for (int i = 1; i < 500; ++i)
        ASSERT_LE(d.values[i - 1], d.values[i]);
}

TEST(CKorvelMath, QuickSortRangesAndPartition)
{
    sSORT_DATA d;
    Fill(d, {9, 1, 5, 3, 7, 0});
    Sort(d, 0, 0, CompareDiff);
    Sort(d, 4, 2, CompareDiff);
    EXPECT_EQ(d.compares + d.swaps, 0); // nothing when empty
    Sort(d, 1, 4, CompareDiff);
    EXPECT_EQ(d.values, (std::vector<int>{9, 7, 5, 3, 1, 0})); // only its range

    // Non-negative compares go before the pivot.
    Fill(d, {4, 1, 8, 4, 2, 9, 0});
    int p = CKorvelMath::Partition(d.values.data(), d.tags.data(), 0, 6, CompareDiff, SwapBoth);
    EXPECT_EQ(d.values[p], 4);
    for (int i = 0; i < p; ++i)
        EXPECT_GE(d.values[i], 4);
    for (int i = p + 1; i < 7; ++i)
        EXPECT_LT(d.values[i], 4);
}

TEST(CKorvelMath, QuickSortOfOrderedRangeKeepsStackShallow)
{
    // Ascending input is the worst case of a first-element pivot: one element
    // splits off per step. Those steps must loop, not nest.
    sSORT_DATA d;
    std::vector<int> v(3000);
    for (int i = 0; i < 3000; ++i)
        v[i] = i;
    Fill(d, v);
    char top;
    g_pStackTop = &top;
    g_uStackUsed = 0;
    CKorvelMath::QuickSort(d.values.data(), d.tags.data(), 0, 2999, CompareMeasuringStack, SwapBoth);
    g_pStackTop = nullptr;
    EXPECT_EQ(d.values.front(), 2999);
    EXPECT_EQ(d.values.back(), 0);
    EXPECT_LT(g_uStackUsed, 16u * 1024u);
}
