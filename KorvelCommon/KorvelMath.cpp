// Sections: CKorvelMath wrappers - fixed point - quicksort - vectors.
#include "KorvelCommon/KorvelMath.h"

#include <climits>
#include <cmath>

// Lengths inside this band count as zero: such vectors are left as they are.
static const float kDeadZone = 0.0001f;

// Scales v to length f unless it is too short to have a direction; returns
// the old length. Normalising is f = 1: the factor 1.0f / L is the same division.
template <class V> static float RescaleOutsideDeadZone(V& v, float f)
{
    float len = v.Length();
    if (len > -kDeadZone && len < kDeadZone)
        return len;
    v.Scale(f / len);
    return len;
}

int CKorvelMath::Abs(int v)
{
    // Negate in unsigned arithmetic so INT_MIN stays itself instead of overflowing.
    return v < 0 ? static_cast<int>(0u - static_cast<unsigned int>(v)) : v;
}

long long CKorvelMath::Abs64(long long v)
{
    return v < 0 ? static_cast<long long>(0ull - static_cast<unsigned long long>(v)) : v;
}

float CKorvelMath::Sin(float v)
{
    return sinf(v);
}
float CKorvelMath::Cos(float v)
{
    return cosf(v);
}
float CKorvelMath::Tan(float v)
{
    return tanf(v);
}
float CKorvelMath::ASin(float v)
{
    return asinf(v);
}
float CKorvelMath::ACos(float v)
{
    return acosf(v);
}
float CKorvelMath::ATan(float v)
{
    return atanf(v);
}
float CKorvelMath::ATan2(float y, float x)
{
    return atan2f(y, x);
}
float CKorvelMath::Pow(float base, float exponent)
{
    return powf(base, exponent);
}
float CKorvelMath::Exp(float v)
{
    return expf(v);
}
float CKorvelMath::Log(float v)
{
    return logf(v);
}

int CKorvelMath::IsPowerOfTwo(unsigned int v)
{
    return v != 0 && (v & (v - 1)) == 0 ? 1 : 0;
}

int CKorvelMath::TruncToInt(float v)
{
    if (v != v)
        return 0;
    // 2^31 is exact as a float; anything at or above it does not fit.
    if (v >= 2147483648.0f)
        return INT_MAX;
    if (v <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(v);
}

int CKorvelMath::FPDiv(int a, int b)
{
    if (a == 0 || b == 0)
        return 0;
    if (b == 256)
        return a;
    if (a == b)
        return 256;
    // The shift wraps in 32 bits, as on the device.
    int shifted = static_cast<int>(static_cast<unsigned int>(a) << 8);
    // INT_MIN / -1 traps on x86; the device's divider yields INT_MIN.
    if (shifted == INT_MIN && b == -1)
        return INT_MIN;
    return shifted / b;
}

int CKorvelMath::FPSqrt(int v)
{
    if (v < 0)
        return 0;
    // Bit-by-bit integer square root: shifts, additions and comparisons only.
    unsigned int rem = static_cast<unsigned int>(v);
    unsigned int root = 0;
    unsigned int bit = 1u << 30;
    while (bit > rem)
        bit >>= 2;
    while (bit != 0)
    {
        if (rem >= root + bit)
        {
            rem -= root + bit;
            root = (root >> 1) + bit;
        }
        else
        {
            root >>= 1;
        }
        bit >>= 2;
    }
    // sqrt(v / 256) * 256 = sqrt(v) * 16
    return static_cast<int>(root << 4);
}

int CKorvelMath::FPPow(int a, int b)
{
    float r = powf(static_cast<float>(a) / 256.0f, static_cast<float>(b) / 256.0f);
    return TruncToInt(r * 256.0f + 0.5f);
}

int CKorvelMath::Partition(int* first, void* second, int low, int high, PFN_COMPARE compare, PFN_SWAP swap)
{
    int i = low;
    int j = high;
    for (;;)
    {
        while (compare(first, i, low) >= 0 && i < high)
            ++i;
        while (compare(first, j, low) < 0 && j > low)
            --j;
        if (i >= j)
            break;
        swap(first, second, i, j);
    }
    swap(first, second, low, j);
    return j;
}

void CKorvelMath::QuickSort(int* first, void* second, int low, int high, PFN_COMPARE compare, PFN_SWAP swap)
{
    // Recurse into the smaller part and loop on the larger one, so the stack
    // stays logarithmic even on already ordered data. The parts are disjoint,
    // so the outcome does not depend on which is done first.
    while (low < high)
    {
        int p = Partition(first, second, low, high, compare, swap);
        if (p - low < high - p)
        {
            QuickSort(first, second, low, p - 1, compare, swap);
            low = p + 1;
        }
        else
        {
            QuickSort(first, second, p + 1, high, compare, swap);
            high = p - 1;
        }
    }
}

float CKorvelVector2::SetLength(float f)
{
    return RescaleOutsideDeadZone(*this, f);
}

int CKorvelVector2::IsEqual(const CKorvelVector2& a, float tolerance) const
{
    return CKorvelMath::Fabs(x - a.x) < tolerance && CKorvelMath::Fabs(y - a.y) < tolerance ? 1 : 0;
}

void CKorvelVector2::Rotate(float angle)
{
    float s = CKorvelMath::Sin(angle);
    float c = CKorvelMath::Cos(angle);
    float ox = x;
    x = c * ox - s * y;
    y = s * ox + c * y;
}

float CKorvelVector2::GetAngle()
{
    if (y == 0.0f)
        y = 0.00001f;
    float angle = CKorvelMath::ATan(x / y);
    if (y > 0.0f)
        angle -= KE_PI;
    return angle;
}

static float Cubic1(float a, float b, float c, float d, float t)
{
    float p = d - c - a + b;
    float q = a - b - p;
    float r = c - a;
    float t2 = t * t;
    float t3 = t2 * t;
    return p * t3 + q * t2 + r * t + b;
}

void CKorvelVector2::CubicInterpolate(const CKorvelVector2& a, const CKorvelVector2& b,
                                      const CKorvelVector2& c, const CKorvelVector2& d, float t)
{
    float nx = Cubic1(a.x, b.x, c.x, d.x, t);
    float ny = Cubic1(a.y, b.y, c.y, d.y, t);
    x = nx;
    y = ny;
}

static float Hermite1(float a, float b, float c, float d, float t, float tension, float bias)
{
    float m0 =
        (b - a) * (1.0f + bias) * (1.0f - tension) / 2.0f + (c - b) * (1.0f - bias) * (1.0f - tension) / 2.0f;
    float m1 =
        (c - b) * (1.0f + bias) * (1.0f - tension) / 2.0f + (d - c) * (1.0f - bias) * (1.0f - tension) / 2.0f;
    float t2 = t * t;
    float t3 = t2 * t;
    float h0 = 2.0f * t3 - 3.0f * t2 + 1.0f;
    float h1 = t3 - 2.0f * t2 + t;
    float h2 = t3 - t2;
    float h3 = -2.0f * t3 + 3.0f * t2;
    return h0 * b + h1 * m0 + h2 * m1 + h3 * c;
}

void CKorvelVector2::HermiteInterpolate(const CKorvelVector2& a, const CKorvelVector2& b,
                                        const CKorvelVector2& c, const CKorvelVector2& d, float t,
                                        float tension, float bias)
{
    float nx = Hermite1(a.x, b.x, c.x, d.x, t, tension, bias);
    float ny = Hermite1(a.y, b.y, c.y, d.y, t, tension, bias);
    x = nx;
    y = ny;
}

float CKorvelVector3::SetLength(float f)
{
    return RescaleOutsideDeadZone(*this, f);
}

int CKorvelVector3::IsEqual(const CKorvelVector3& a, float tolerance) const
{
    return CKorvelMath::Fabs(x - a.x) < tolerance && CKorvelMath::Fabs(y - a.y) < tolerance &&
                   CKorvelMath::Fabs(z - a.z) < tolerance
               ? 1
               : 0;
}

int CKorvelVector3::GetLargestIndex() const
{
    float ax = CKorvelMath::Fabs(x), ay = CKorvelMath::Fabs(y), az = CKorvelMath::Fabs(z);
    int index = 0;
    float largest = ax;
    if (ay > largest)
    {
        index = 1;
        largest = ay;
    }
    if (az > largest)
        index = 2;
    return index;
}

void CKorvelVector3::Cross(const CKorvelVector3& a, const CKorvelVector3& b)
{
    float nx = a.y * b.z - a.z * b.y;
    float ny = a.z * b.x - a.x * b.z;
    float nz = a.x * b.y - a.y * b.x;
    x = nx;
    y = ny;
    z = nz;
}
