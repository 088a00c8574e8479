#include "Korvel3D/KorvelMatrix4RH.h"

#include <cstring>

void CKorvelMatrix4RH::Identity()
{
    memset(m, 0, sizeof(m));
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void CKorvelMatrix4RH::Scale(float sx, float sy, float sz)
{
    memset(m, 0, sizeof(m));
    m[0] = sx;
    m[5] = sy;
    m[10] = sz;
    m[15] = 1.0f;
}

void CKorvelMatrix4RH::RotateX(float angle)
{
    float s = CKorvelMath::Sin(angle), c = CKorvelMath::Cos(angle);
    Identity();
    m[5] = c;
    m[6] = -s;
    m[9] = s;
    m[10] = c;
}

void CKorvelMatrix4RH::RotateY(float angle)
{
    float s = CKorvelMath::Sin(angle), c = CKorvelMath::Cos(angle);
    Identity();
    m[0] = c;
    m[2] = s;
    m[8] = -s;
    m[10] = c;
}

void CKorvelMatrix4RH::RotateZ(float angle)
{
    float s = CKorvelMath::Sin(angle), c = CKorvelMath::Cos(angle);
    Identity();
    m[0] = c;
    m[1] = -s;
    m[4] = s;
    m[5] = c;
}

void CKorvelMatrix4RH::RotateXYZ(float ax, float ay, float az)
{
    CKorvelMatrix4RH rx, ry, rz;
    rx.RotateX(ax);
    ry.RotateY(ay);
    rz.RotateZ(az);
    Identity();
    Mul3x3(rx, ry);
    Mul3x3(*this, rz);
}

void CKorvelMatrix4RH::RotationAxis(const CKorvelVector3& axis, float angle)
{
    float s = CKorvelMath::Sin(angle), c = CKorvelMath::Cos(angle);
    float t = 1.0f - c;
    float x = axis.x, y = axis.y, z = axis.z;
    m[0] = c + t * x * x;
    m[1] = t * x * y - s * z;
    m[2] = t * x * z + s * y;
    m[3] = 0.0f;
    m[4] = t * x * y + s * z;
    m[5] = c + t * y * y;
    m[6] = t * y * z - s * x;
    m[7] = 0.0f;
    m[8] = t * x * z - s * y;
    m[9] = t * y * z + s * x;
    m[10] = c + t * z * z;
    m[11] = 0.0f;
    m[12] = m[13] = m[14] = 0.0f;
    m[15] = 1.0f;
}

void CKorvelMatrix4RH::Frustum(float l, float r, float b, float t, float n, float f)
{
    memset(m, 0, sizeof(m));
    m[0] = 2.0f * n / (r - l);
    m[5] = 2.0f * n / (t - b);
    m[8] = (r + l) / (r - l);
    m[9] = (t + b) / (t - b);
    m[10] = -(f + n) / (f - n);
    m[11] = -1.0f;
    m[14] = -2.0f * f * n / (f - n);
}

void CKorvelMatrix4RH::MakePerspective(float fovy, float aspect, float n, float f)
{
    float y = CKorvelMath::Tan(fovy / 2.0f) * n;
    Frustum(-y * aspect, y * aspect, -y, y, n, f);
}

void CKorvelMatrix4RH::MakeLookAt(const CKorvelVector3& eye, const CKorvelVector3& target,
                                  const CKorvelVector3& up)
{
    CKorvelVector3 fwd, side, upv;
    fwd.Sub(target, eye);
    fwd.Normalize();
    side.Cross(fwd, up);
    side.Normalize();
    upv.Cross(side, fwd);
    m[0] = side.x;
    m[4] = side.y;
    m[8] = side.z;
    m[1] = upv.x;
    m[5] = upv.y;
    m[9] = upv.z;
    m[2] = -fwd.x;
    m[6] = -fwd.y;
    m[10] = -fwd.z;
    m[12] = -side.Dot(eye);
    m[13] = -upv.Dot(eye);
    m[14] = fwd.Dot(eye);
    m[3] = m[7] = m[11] = 0.0f;
    m[15] = 1.0f;
}

void CKorvelMatrix4RH::MakeLookAt(const CKorvelVector3& eye, const CKorvelVector3& target)
{
    MakeLookAt(eye, target, CKorvelVector3(0.0f, 1.0f, 0.0f));
}

void CKorvelMatrix4RH::Mul(const CKorvelMatrix4RH& a, const CKorvelMatrix4RH& b)
{
    // Row by row, each element summed over k = 0..3 in order; the inner loop
    // over columns is what the compiler turns into vector instructions.
    float t[16];
    for (size_t r = 0; r < 4; ++r)
    {
        const float a0 = a.m[r * 4], a1 = a.m[r * 4 + 1], a2 = a.m[r * 4 + 2], a3 = a.m[r * 4 + 3];
        for (size_t c = 0; c < 4; ++c)
            t[r * 4 + c] = a0 * b.m[c] + a1 * b.m[4 + c] + a2 * b.m[8 + c] + a3 * b.m[12 + c];
    }
    memcpy(m, t, sizeof(m));
}

CKorvelMatrix4RH& CKorvelMatrix4RH::operator*(const CKorvelMatrix4RH& o)
{
    Mul(*this, o);
    return *this;
}

void CKorvelMatrix4RH::Mul3x3(const CKorvelMatrix4RH& a, const CKorvelMatrix4RH& b)
{
    float t[9];
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            t[r * 3 + c] = a.m[r * 4] * b.m[c] + a.m[r * 4 + 1] * b.m[4 + c] + a.m[r * 4 + 2] * b.m[8 + c];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r * 4 + c] = t[r * 3 + c];
}

void CKorvelMatrix4RH::Inverse()
{
    const CKorvelMatrix4RH t = *this;
    m[1] = t.m[4];
    m[2] = t.m[8];
    m[4] = t.m[1];
    m[6] = t.m[9];
    m[8] = t.m[2];
    m[9] = t.m[6];
    m[3] = -(t.m[0] * t.m[3] + t.m[4] * t.m[7] + t.m[8] * t.m[11]);
    m[7] = -(t.m[1] * t.m[3] + t.m[5] * t.m[7] + t.m[9] * t.m[11]);
    m[11] = -(t.m[2] * t.m[3] + t.m[6] * t.m[7] + t.m[10] * t.m[11]);
    m[12] = m[13] = m[14] = 0.0f;
    m[15] = 1.0f;
}

void CKorvelMatrix4RH::TransformCoord(CKorvelVector3& v) const
{
    float x = v.x, y = v.y, z = v.z;
    v.x = m[0] * x + m[1] * y + m[2] * z + m[3];
    v.y = m[4] * x + m[5] * y + m[6] * z + m[7];
    v.z = m[8] * x + m[9] * y + m[10] * z + m[11];
}

void CKorvelMatrix4RH::TransformNormal(CKorvelVector3& v) const
{
    float x = v.x, y = v.y, z = v.z;
    v.x = m[0] * x + m[1] * y + m[2] * z;
    v.y = m[4] * x + m[5] * y + m[6] * z;
    v.z = m[8] * x + m[9] * y + m[10] * z;
}

void CKorvelMatrix4RH::ChangeCoordBase(CKorvelVector3& v) const
{
    v.x -= m[3];
    v.y -= m[7];
    v.z -= m[11];
    ChangeNormalBase(v);
}

void CKorvelMatrix4RH::ChangeNormalBase(CKorvelVector3& v) const
{
    float x = v.x, y = v.y, z = v.z;
    v.x = m[0] * x + m[4] * y + m[8] * z;
    v.y = m[1] * x + m[5] * y + m[9] * z;
    v.z = m[2] * x + m[6] * y + m[10] * z;
}
