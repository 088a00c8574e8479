#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelMath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

static_assert(sizeof(CKorvelMatrix4RH) == 64, "sixteen floats, nothing else");
static_assert(std::is_trivially_copyable<CKorvelMatrix4RH>::value, "copied element by element");

static const float kPiF = KE_PI;

namespace
{
void ExpectVec(const CKorvelVector3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

CKorvelMatrix4RH Numbered()
{
    CKorvelMatrix4RH m;
    for (int i = 0; i < 16; ++i)
        m.m[i] = static_cast<float>(i * 3 % 7) - 2.5f + 0.25f * i;
    return m;
}

CKorvelMatrix4RH Product(const CKorvelMatrix4RH& a, const CKorvelMatrix4RH& b)
{
    CKorvelMatrix4RH r;
    r.Mul(a, b);
    return r;
}

// fShift 1 compares elements near zero absolutely.
void ExpectFloatEq(const CKorvelMatrix4RH& a, const CKorvelMatrix4RH& b, float fShift = 0.0f)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(a.m[i] + fShift, b.m[i] + fShift) << i;
}

// Bit for bit: a signed zero or a changed NaN counts as a difference.
bool SameBits(const CKorvelMatrix4RH& a, const CKorvelMatrix4RH& b)
{
    for (int i = 0; i < 16; ++i)
    {
        uint32_t uA = 0, uB = 0;
        memcpy(&uA, &a.m[i], sizeof(uA));
        memcpy(&uB, &b.m[i], sizeof(uB));
        if (uA != uB)
            return false;
    }
    return true;
}
} // namespace

TEST(CKorvelMatrix4RH, IdentityScaleAndNormals)
{
    CKorvelMatrix4RH m = Numbered();
    m.Identity();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], i % 5 == 0 ? 1.0f : 0.0f);
    m = Numbered();
    m.Scale(2.0f, 3.0f, 4.0f);
    CKorvelVector3 v(1, 1, 1);
    m.TransformCoord(v);
    ExpectVec(v, 2, 3, 4);
    EXPECT_EQ(m.m[3] + m.m[12] + m.m[14], 0.0f);
    EXPECT_EQ(m.m[15], 1.0f);

    // Normal transforms ignore translation.
    m.RotateZ(kPiF / 2);
    m.m[3] = 10.0f;
    v.Set(1, 0, 0);
    m.TransformNormal(v);
    ExpectVec(v, 0, 1, 0);
    m.ChangeNormalBase(v);
    ExpectVec(v, 1, 0, 0);
}

TEST(CKorvelMatrix4RH, RotationsTurnAxesCounterClockwise)
{
    CKorvelMatrix4RH rx, ry, rz, m;
    rx.RotateX(kPiF / 2);
    ry.RotateY(kPiF / 2);
    rz.RotateZ(kPiF / 2);
    const struct
    {
        const CKorvelMatrix4RH& r;
        CKorvelVector3 from, to;
    } aCases[] = {{rz, {1, 0, 0}, {0, 1, 0}}, {rx, {0, 1, 0}, {0, 0, 1}}, {ry, {0, 0, 1}, {1, 0, 0}}};
    for (const auto& c : aCases)
    {
        CKorvelVector3 v = c.from;
        c.r.TransformCoord(v);
        ExpectVec(v, c.to.x, c.to.y, c.to.z);
    }
    // RotateXYZ is the product of the single rotations.
    rx.RotateX(0.3f);
    ry.RotateY(-1.1f);
    rz.RotateZ(2.0f);
    m.RotateXYZ(0.3f, -1.1f, 2.0f);
    ExpectFloatEq(m, Product(Product(rx, ry), rz));
}

TEST(CKorvelMatrix4RH, RotationAxisUsesAxisAsGiven)
{
    CKorvelMatrix4RH axis, z;
    axis.RotationAxis(CKorvelVector3(0, 0, 1), 0.7f);
    z.RotateZ(0.7f);
    ExpectFloatEq(axis, z, 1.0f);

    axis.RotationAxis(CKorvelVector3(0, 0, 2), 0.7f);
    EXPECT_NE(axis.m[1], z.m[1]);
    EXPECT_NE(axis.m[10], 1.0f);

    // A unit axis stays fixed under its own rotation.
    CKorvelVector3 n(1, 2, 2);
    n.Normalize();
    axis.RotationAxis(n, 1.3f);
    CKorvelVector3 v = n;
    axis.TransformCoord(v);
    ExpectVec(v, n.x, n.y, n.z);
}

TEST(CKorvelMatrix4RH, RigidInverseUndoesTransform)
{
    CKorvelMatrix4RH m, n;
    m.RotateZ(0.6f);
    m.m[3] = 5.0f;
    m.m[7] = 7.0f;
    n = m;
    n.Inverse();
    CKorvelMatrix4RH r;
    r.RotateXYZ(0.4f, 1.0f, -0.2f);
    r.m[3] = -3.0f;
    r.m[7] = 2.0f;
    r.m[11] = 9.0f;
    CKorvelMatrix4RH rInv = r;
    rInv.Inverse();

    for (const CKorvelVector3& p : {CKorvelVector3(1, 2, 3), CKorvelVector3(-4, 0.5f, 8)})
    {
        CKorvelVector3 v = p, byBase = p, byInverse = p;
        m.TransformCoord(v);
        n.TransformCoord(v);
        ExpectVec(v, p.x, p.y, p.z);
        m.ChangeCoordBase(byBase);
        n.TransformCoord(byInverse);
        ExpectVec(byBase, byInverse.x, byInverse.y, byInverse.z);

        v = p;
        r.TransformCoord(v);
        rInv.TransformCoord(v);
        ExpectVec(v, p.x, p.y, p.z);
    }
    EXPECT_EQ(n.m[12] + n.m[13] + n.m[14], 0.0f);
    EXPECT_EQ(n.m[15], 1.0f);
}

TEST(CKorvelMatrix4RH, MulIsSafeWhenTheResultIsAnOperand)
{
    CKorvelMatrix4RH a = Numbered(), b, ab, sq = Product(a, a);
    b.RotateXYZ(0.1f, 0.2f, 0.3f);
    b.m[3] = 4.0f;
    ab = Product(a, b);

    CKorvelMatrix4RH m = a;
    m.Mul(m, m);
    EXPECT_TRUE(SameBits(m, sq));
    m = a;
    m.Mul(m, b);
    EXPECT_TRUE(SameBits(m, ab));
    m = b;
    m.Mul(a, m);
    EXPECT_TRUE(SameBits(m, ab));
    m = a;
    EXPECT_EQ(&(m * b), &m) << "the product operator assigns to its left operand";
    EXPECT_TRUE(SameBits(m, ab));

    // Element (r, c) is row r of a times column c of b.
    CKorvelMatrix4RH s, t;
    s.Scale(2, 3, 4);
    t.Identity();
    t.m[3] = 1.0f;
    EXPECT_EQ(Product(s, t).m[3], 2.0f);
    EXPECT_EQ(Product(t, s).m[3], 1.0f);
}

TEST(CKorvelMatrix4RH, Mul3x3KeepsTheOtherSevenElements)
{
    CKorvelMatrix4RH m = Numbered(), keep = m, a, b;
    a.RotateX(0.4f);
    b.RotateZ(-0.9f);
    m.Mul3x3(a, b);
    for (int i : {3, 7, 11, 12, 13, 14, 15})
        EXPECT_EQ(m.m[i], keep.m[i]) << i;
    CKorvelMatrix4RH full = Product(a, b);
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10})
        EXPECT_FLOAT_EQ(m.m[i], full.m[i]) << i;
    m.Mul3x3(m, m);
    CKorvelMatrix4RH sq = Product(full, full);
    EXPECT_FLOAT_EQ(m.m[6], sq.m[6]);
}

TEST(CKorvelMatrix4RH, FrustumAndPerspectiveUseGlOrder)
{
    CKorvelMatrix4RH m = Numbered();
    m.Frustum(0.0f, 2.0f, 0.0f, 4.0f, 1.0f, 10.0f);
    EXPECT_FLOAT_EQ(m.m[0], 1.0f);
    EXPECT_FLOAT_EQ(m.m[5], 0.5f);
    EXPECT_FLOAT_EQ(m.m[8], 1.0f);
    EXPECT_FLOAT_EQ(m.m[9], 1.0f);
    EXPECT_FLOAT_EQ(m.m[10], -11.0f / 9.0f);
    EXPECT_EQ(m.m[11], -1.0f);
    EXPECT_FLOAT_EQ(m.m[14], -20.0f / 9.0f);
    for (int i : {1, 2, 3, 4, 6, 7, 12, 13, 15})
        EXPECT_EQ(m.m[i], 0.0f) << i;

    m.MakePerspective(kPiF / 2, 1.0f, 1.0f, 100.0f);
    EXPECT_NEAR(m.m[0], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[5], 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(m.m[10], -101.0f / 99.0f);
    EXPECT_EQ(m.m[15], 0.0f);
    m.MakePerspective(kPiF / 2, 2.0f, 1.0f, 100.0f);
    EXPECT_NEAR(m.m[0], 0.5f, 1e-6f);
}

TEST(CKorvelMatrix4RH, LookAtMovesEyeToOriginFacingMinusZ)
{
    CKorvelMatrix4RH m = Numbered(), def = Numbered();
    CKorvelVector3 eye(3, 4, 5), target(3, 4, -1);
    m.MakeLookAt(eye, target, CKorvelVector3(0, 1, 0));
    def.MakeLookAt(eye, target);
    EXPECT_TRUE(SameBits(m, def));
    // Stored in GL order: x' = m0 x + m4 y + m8 z + m12, and so on.
    auto apply = [&](const CKorvelVector3& p)
    {
        return CKorvelVector3(m.m[0] * p.x + m.m[4] * p.y + m.m[8] * p.z + m.m[12],
                              m.m[1] * p.x + m.m[5] * p.y + m.m[9] * p.z + m.m[13],
                              m.m[2] * p.x + m.m[6] * p.y + m.m[10] * p.z + m.m[14]);
    };
    ExpectVec(apply(eye), 0, 0, 0);
    ExpectVec(apply(target), 0, 0, -6);
    ExpectVec(apply(CKorvelVector3(4, 4, 5)), 1, 0, 0);
    EXPECT_EQ(m.m[3] + m.m[7] + m.m[11], 0.0f);
    EXPECT_EQ(m.m[15], 1.0f);

    // Looking along +x with +z up: side = fwd x up = -y.
    m.MakeLookAt(CKorvelVector3(0, 0, 0), CKorvelVector3(2, 0, 0), CKorvelVector3(0, 0, 1));
    ExpectVec(apply(CKorvelVector3(0, -1, 0)), 1, 0, 0);
    ExpectVec(apply(CKorvelVector3(0, 0, 1)), 0, 1, 0);
}
