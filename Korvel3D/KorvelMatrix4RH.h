// 4x4 float matrix. Element 4r+c is row r, column c of a matrix applied to
// column vectors (translation in m[3], m[7], m[11]) for the transforms,
// products, inverse, rotations and Scale. Frustum, MakePerspective and
// MakeLookAt store OpenGL's fixed-function order instead (the transpose).
// A shader multiplying a row vector by the stored floats applies a matrix of
// the first kind exactly as TransformCoord does.
#pragma once

#include "KorvelCommon/KorvelMath.h"

class CKorvelMatrix4RH
{
public:
    float m[16];

    // Leaves the elements unset: call Identity or a setter first.
    CKorvelMatrix4RH() {}
    CKorvelMatrix4RH(const CKorvelMatrix4RH& o) = default;
    CKorvelMatrix4RH& operator=(const CKorvelMatrix4RH& o) = default;
    void Set(const CKorvelMatrix4RH& o) { *this = o; }

    void Identity();
    void Scale(float sx, float sy, float sz);
    void RotateX(float angle);
    void RotateY(float angle);
    void RotateZ(float angle);
    // Rx(ax) x Ry(ay) x Rz(az) in the upper-left 3x3.
    void RotateXYZ(float ax, float ay, float az);
    // The axis is used as given, not normalised.
    void RotationAxis(const CKorvelVector3& axis, float angle);

    void Frustum(float l, float r, float b, float t, float n, float f);
    void MakePerspective(float fovy, float aspect, float n, float f);
    void MakeLookAt(const CKorvelVector3& eye, const CKorvelVector3& target, const CKorvelVector3& up);
    void MakeLookAt(const CKorvelVector3& eye, const CKorvelVector3& target);

    // this = a x b; this may be a or b.
    void Mul(const CKorvelMatrix4RH& a, const CKorvelMatrix4RH& b);
    // Multiply-assign: this = this x o, returning this.
    CKorvelMatrix4RH& operator*(const CKorvelMatrix4RH& o);
    // Upper-left 3x3 only; the other seven elements keep their values.
    void Mul3x3(const CKorvelMatrix4RH& a, const CKorvelMatrix4RH& b);

    // Inverse of a rotation plus translation (not of a general matrix).
    void Inverse();

    void TransformCoord(CKorvelVector3& v) const;
    void TransformNormal(CKorvelVector3& v) const;
    // Inverse point and direction transforms of a rigid matrix.
    void ChangeCoordBase(CKorvelVector3& v) const;
    void ChangeNormalBase(CKorvelVector3& v) const;
};
