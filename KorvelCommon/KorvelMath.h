// Small numeric toolkit: 2D/3D float vectors and static maths helpers.
// Both players' devices replay the same physics, so everything here is plain
// 32-bit float arithmetic in a fixed evaluation order (the build disables
// contraction and fast-math).
//
// Sections: CKorvelMath (static helpers) - CKorvelVector2 - CKorvelVector3.
#pragma once

#include <cmath>

// Pi as the nearest float, and a full turn; every angle constant derives from these.
constexpr float KE_PI = 3.14159265f;
constexpr float KE_TWO_PI = 2.0f * KE_PI;
constexpr float KE_HALF_PI = 0.5f * KE_PI; // 1.5707964f

class CKorvelMath
{
public:
    CKorvelMath() {}
    ~CKorvelMath() {}

    static int Abs(int v);
    static long long Abs64(long long v);
    static float Fabs(float v) { return v < 0.0f ? -v : v; }

    static float Sin(float v);
    static float Cos(float v);
    static float Tan(float v);
    static float ASin(float v);
    static float ACos(float v);
    static float ATan(float v);
    static float ATan2(float y, float x);
    // Inline: vector lengths sit in the physics' inner loops.
    static float Sqrt(float v) { return sqrtf(v); }
    static float Pow(float base, float exponent);
    static float Exp(float v);
    static float Log(float v);

    static int IsPowerOfTwo(unsigned int v);

    // Truncates toward zero; out-of-range values saturate and NaN gives 0
    // (a plain cast would be undefined there).
    static int TruncToInt(float v);

    // 24.8 fixed point: v stands for v / 256.
    static int FPDiv(int a, int b);
    static int FPSqrt(int v);
    static int FPPow(int a, int b);

    typedef int (*PFN_COMPARE)(void* first, int i, int j);
    typedef void (*PFN_SWAP)(void* first, void* second, int i, int j);

    // Sorts [low, high] so that elements comparing >= 0 against a pivot come
    // before it: a compare of "element i minus element j" sorts descending.
    static void QuickSort(int* first, void* second, int low, int high, PFN_COMPARE compare, PFN_SWAP swap);
    static int Partition(int* first, void* second, int low, int high, PFN_COMPARE compare, PFN_SWAP swap);
};

class CKorvelVector2
{
public:
    float x, y;

    CKorvelVector2() {}
    CKorvelVector2(float fx, float fy) : x(fx), y(fy) {}
    CKorvelVector2(const CKorvelVector2& a) = default;
    CKorvelVector2(const CKorvelVector2* p) : x(p ? p->x : 0.0f), y(p ? p->y : 0.0f) {}

    CKorvelVector2& operator=(const CKorvelVector2& a) = default;
    void Set(const CKorvelVector2& a)
    {
        x = a.x;
        y = a.y;
    }
    void Set(float fx, float fy)
    {
        x = fx;
        y = fy;
    }

    void Add(const CKorvelVector2& a)
    {
        x += a.x;
        y += a.y;
    }
    void Sub(const CKorvelVector2& a)
    {
        x -= a.x;
        y -= a.y;
    }
    void Add(const CKorvelVector2& a, const CKorvelVector2& b)
    {
        x = a.x + b.x;
        y = a.y + b.y;
    }
    void Sub(const CKorvelVector2& a, const CKorvelVector2& b)
    {
        x = a.x - b.x;
        y = a.y - b.y;
    }
    void Mul(const CKorvelVector2& a, const CKorvelVector2& b)
    {
        x = a.x * b.x;
        y = a.y * b.y;
    }
    void CreateBetweenVectors(const CKorvelVector2& a, const CKorvelVector2& b) { Sub(b, a); }

    void Scale(float f)
    {
        x *= f;
        y *= f;
    }
    void Mul(float f) { Scale(f); }
    void Div(float f) { Scale(1.0f / f); }

    float Dot(const CKorvelVector2& a) const { return x * a.x + y * a.y; }
    float LengthSq() const { return x * x + y * y; }
    float Length() const { return CKorvelMath::Sqrt(LengthSq()); }
    float Normalize() { return SetLength(1.0f); }
    float SetLength(float f);
    void Lerp(const CKorvelVector2& a, const CKorvelVector2& b, float t)
    {
        x = a.x + t * (b.x - a.x);
        y = a.y + t * (b.y - a.y);
    }
    int IsEqual(const CKorvelVector2& a, float tolerance) const;
    int GetLargestIndex() const { return CKorvelMath::Fabs(x) > CKorvelMath::Fabs(y) ? 0 : 1; }
    static CKorvelVector2* New() { return new CKorvelVector2; }

    void Rotate(float angle);
    // Angle from the -y axis, decreasing towards +x. Replaces y == 0 by 0.00001
    // in the vector itself so that it never divides by zero.
    float GetAngle();
    void CubicInterpolate(const CKorvelVector2& a, const CKorvelVector2& b, const CKorvelVector2& c,
                          const CKorvelVector2& d, float t);
    void HermiteInterpolate(const CKorvelVector2& a, const CKorvelVector2& b, const CKorvelVector2& c,
                            const CKorvelVector2& d, float t, float tension, float bias);
};

class CKorvelVector3
{
public:
    float x, y, z;

    CKorvelVector3() {}
    CKorvelVector3(float fx, float fy, float fz) : x(fx), y(fy), z(fz) {}
    CKorvelVector3(const CKorvelVector3& a) = default;
    CKorvelVector3(const CKorvelVector3* p) : x(p ? p->x : 0.0f), y(p ? p->y : 0.0f), z(p ? p->z : 0.0f) {}

    CKorvelVector3& operator=(const CKorvelVector3& a) = default;
    void Set(const CKorvelVector3& a)
    {
        x = a.x;
        y = a.y;
        z = a.z;
    }
    void Set(float fx, float fy, float fz)
    {
        x = fx;
        y = fy;
        z = fz;
    }

    void Add(const CKorvelVector3& a)
    {
        x += a.x;
        y += a.y;
        z += a.z;
    }
    void Sub(const CKorvelVector3& a)
    {
        x -= a.x;
        y -= a.y;
        z -= a.z;
    }
    void Add(const CKorvelVector3& a, const CKorvelVector3& b)
    {
        x = a.x + b.x;
        y = a.y + b.y;
        z = a.z + b.z;
    }
    void Sub(const CKorvelVector3& a, const CKorvelVector3& b)
    {
        x = a.x - b.x;
        y = a.y - b.y;
        z = a.z - b.z;
    }
    void Mul(const CKorvelVector3& a, const CKorvelVector3& b)
    {
        x = a.x * b.x;
        y = a.y * b.y;
        z = a.z * b.z;
    }
    void CreateBetweenVectors(const CKorvelVector3& a, const CKorvelVector3& b) { Sub(b, a); }

    void Scale(float f)
    {
        x *= f;
        y *= f;
        z *= f;
    }
    void Mul(float f) { Scale(f); }
    void Div(float f) { Scale(1.0f / f); }

    float Dot(const CKorvelVector3& a) const { return x * a.x + y * a.y + z * a.z; }
    float LengthSq() const { return x * x + y * y + z * z; }
    float Length() const { return CKorvelMath::Sqrt(LengthSq()); }
    float Normalize() { return SetLength(1.0f); }
    float SetLength(float f);
    void Lerp(const CKorvelVector3& a, const CKorvelVector3& b, float t)
    {
        x = a.x + t * (b.x - a.x);
        y = a.y + t * (b.y - a.y);
        z = a.z + t * (b.z - a.z);
    }
    int IsEqual(const CKorvelVector3& a, float tolerance) const;
    int GetLargestIndex() const;
    static CKorvelVector3* New() { return new CKorvelVector3; }

    // Right-handed; a and b are read whole first, so this may be either.
    void Cross(const CKorvelVector3& a, const CKorvelVector3& b);
};
