// The utility library's math: vectors, row-vector matrices and quaternions in single precision,
// left-handed, with the operators and functions the program uses. Every function returns its out
// pointer so that calls can be nested.
#pragma once

#include "platform/d3d8/math_types.h"

constexpr float D3DX_PI = 3.141592654f;

struct D3DXVECTOR2 {
    float x, y;

    D3DXVECTOR2() = default;
    constexpr D3DXVECTOR2(float fx, float fy) : x(fx), y(fy) {}

    D3DXVECTOR2 &operator+=(const D3DXVECTOR2 &v);
    D3DXVECTOR2 &operator-=(const D3DXVECTOR2 &v);
    D3DXVECTOR2 &operator*=(float f);
    D3DXVECTOR2 &operator/=(float f);
    D3DXVECTOR2 operator+() const { return *this; }
    D3DXVECTOR2 operator-() const { return {-x, -y}; }
    D3DXVECTOR2 operator+(const D3DXVECTOR2 &v) const { return {x + v.x, y + v.y}; }
    D3DXVECTOR2 operator-(const D3DXVECTOR2 &v) const { return {x - v.x, y - v.y}; }
    D3DXVECTOR2 operator*(float f) const { return {x * f, y * f}; }
    D3DXVECTOR2 operator/(float f) const { return {x / f, y / f}; }
    bool operator==(const D3DXVECTOR2 &v) const { return x == v.x && y == v.y; }
    bool operator!=(const D3DXVECTOR2 &v) const { return !(*this == v); }
    operator float *() { return &x; }
    operator const float *() const { return &x; }
};
inline D3DXVECTOR2 operator*(float f, const D3DXVECTOR2 &v) {
    return v * f;
}

struct D3DXVECTOR3 : public D3DVECTOR {
    D3DXVECTOR3() = default;
    constexpr D3DXVECTOR3(float fx, float fy, float fz) : D3DVECTOR{fx, fy, fz} {}
    constexpr D3DXVECTOR3(const D3DVECTOR &v) : D3DVECTOR(v) {}

    D3DXVECTOR3 &operator+=(const D3DXVECTOR3 &v);
    D3DXVECTOR3 &operator-=(const D3DXVECTOR3 &v);
    D3DXVECTOR3 &operator*=(float f);
    D3DXVECTOR3 &operator/=(float f);
    D3DXVECTOR3 operator+() const { return *this; }
    D3DXVECTOR3 operator-() const { return {-x, -y, -z}; }
    D3DXVECTOR3 operator+(const D3DXVECTOR3 &v) const { return {x + v.x, y + v.y, z + v.z}; }
    D3DXVECTOR3 operator-(const D3DXVECTOR3 &v) const { return {x - v.x, y - v.y, z - v.z}; }
    D3DXVECTOR3 operator*(float f) const { return {x * f, y * f, z * f}; }
    D3DXVECTOR3 operator/(float f) const { return {x / f, y / f, z / f}; }
    bool operator==(const D3DXVECTOR3 &v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const D3DXVECTOR3 &v) const { return !(*this == v); }
    operator float *() { return &x; }
    operator const float *() const { return &x; }
};
inline D3DXVECTOR3 operator*(float f, const D3DXVECTOR3 &v) {
    return v * f;
}

struct D3DXVECTOR4 {
    float x, y, z, w;

    D3DXVECTOR4() = default;
    constexpr D3DXVECTOR4(float fx, float fy, float fz, float fw) : x(fx), y(fy), z(fz), w(fw) {}

    D3DXVECTOR4 operator-() const { return {-x, -y, -z, -w}; }
    D3DXVECTOR4 operator+(const D3DXVECTOR4 &v) const {
        return {x + v.x, y + v.y, z + v.z, w + v.w};
    }
    D3DXVECTOR4 operator-(const D3DXVECTOR4 &v) const {
        return {x - v.x, y - v.y, z - v.z, w - v.w};
    }
    D3DXVECTOR4 operator*(float f) const { return {x * f, y * f, z * f, w * f}; }
    bool operator==(const D3DXVECTOR4 &v) const {
        return x == v.x && y == v.y && z == v.z && w == v.w;
    }
    bool operator!=(const D3DXVECTOR4 &v) const { return !(*this == v); }
    operator float *() { return &x; }
    operator const float *() const { return &x; }
};

struct D3DXMATRIX : public D3DMATRIX {
    D3DXMATRIX() = default;
    constexpr D3DXMATRIX(const D3DMATRIX &m) : D3DMATRIX(m) {}
    D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23,
               float f24, float f31, float f32, float f33, float f34, float f41, float f42,
               float f43, float f44);

    float &operator()(UINT row, UINT col) { return m[row][col]; }
    float operator()(UINT row, UINT col) const { return m[row][col]; }
    operator float *() { return &_11; }
    operator const float *() const { return &_11; }

    D3DXMATRIX &operator*=(const D3DXMATRIX &b);
    D3DXMATRIX &operator+=(const D3DXMATRIX &b);
    D3DXMATRIX &operator-=(const D3DXMATRIX &b);
    D3DXMATRIX &operator*=(float f);
    D3DXMATRIX &operator/=(float f);
    D3DXMATRIX operator+() const { return *this; }
    D3DXMATRIX operator-() const;
    D3DXMATRIX operator*(const D3DXMATRIX &b) const;
    D3DXMATRIX operator+(const D3DXMATRIX &b) const;
    D3DXMATRIX operator-(const D3DXMATRIX &b) const;
    D3DXMATRIX operator*(float f) const;
    D3DXMATRIX operator/(float f) const;
    bool operator==(const D3DXMATRIX &b) const;
    bool operator!=(const D3DXMATRIX &b) const { return !(*this == b); }
};
inline D3DXMATRIX operator*(float f, const D3DXMATRIX &m) {
    return m * f;
}

struct D3DXQUATERNION {
    float x, y, z, w;

    D3DXQUATERNION() = default;
    constexpr D3DXQUATERNION(float fx, float fy, float fz, float fw) : x(fx), y(fy), z(fz), w(fw) {}

    D3DXQUATERNION &operator+=(const D3DXQUATERNION &q);
    D3DXQUATERNION &operator-=(const D3DXQUATERNION &q);
    D3DXQUATERNION &operator*=(const D3DXQUATERNION &q);
    D3DXQUATERNION &operator*=(float f);
    D3DXQUATERNION operator-() const { return {-x, -y, -z, -w}; }
    D3DXQUATERNION operator+(const D3DXQUATERNION &q) const {
        return {x + q.x, y + q.y, z + q.z, w + q.w};
    }
    D3DXQUATERNION operator-(const D3DXQUATERNION &q) const {
        return {x - q.x, y - q.y, z - q.z, w - q.w};
    }
    // Same order as D3DXQuaternionMultiply: this rotation first, then q.
    D3DXQUATERNION operator*(const D3DXQUATERNION &q) const;
    D3DXQUATERNION operator*(float f) const { return {x * f, y * f, z * f, w * f}; }
    bool operator==(const D3DXQUATERNION &q) const {
        return x == q.x && y == q.y && z == q.z && w == q.w;
    }
    bool operator!=(const D3DXQUATERNION &q) const { return !(*this == q); }
};
inline D3DXQUATERNION operator*(float f, const D3DXQUATERNION &q) {
    return q * f;
}

// Vectors.
float D3DXVec3Length(const D3DXVECTOR3 *v);
float D3DXVec3LengthSq(const D3DXVECTOR3 *v);
float D3DXVec3Dot(const D3DXVECTOR3 *a, const D3DXVECTOR3 *b);
D3DXVECTOR3 *D3DXVec3Cross(D3DXVECTOR3 *out, const D3DXVECTOR3 *a, const D3DXVECTOR3 *b);
// A zero vector normalises to zero rather than to NaN.
D3DXVECTOR3 *D3DXVec3Normalize(D3DXVECTOR3 *out, const D3DXVECTOR3 *v);
// (x, y, z, 1) x m, divided by the resulting w with plain IEEE division.
D3DXVECTOR3 *D3DXVec3TransformCoord(D3DXVECTOR3 *out, const D3DXVECTOR3 *v, const D3DXMATRIX *m);

// Matrices.
D3DXMATRIX *D3DXMatrixIdentity(D3DXMATRIX *out);
// a x b: a's transform is applied first. `out` may alias either input.
D3DXMATRIX *D3DXMatrixMultiply(D3DXMATRIX *out, const D3DXMATRIX *a, const D3DXMATRIX *b);
float D3DXMatrixDeterminant(const D3DXMATRIX *m);
// General inverse; returns NULL (leaving `out` untouched) when m is singular or not finite.
D3DXMATRIX *D3DXMatrixInverse(D3DXMATRIX *out, float *determinant, const D3DXMATRIX *m);
D3DXMATRIX *D3DXMatrixTranslation(D3DXMATRIX *out, float x, float y, float z);
D3DXMATRIX *D3DXMatrixScaling(D3DXMATRIX *out, float x, float y, float z);
D3DXMATRIX *D3DXMatrixRotationX(D3DXMATRIX *out, float angle);
D3DXMATRIX *D3DXMatrixRotationY(D3DXMATRIX *out, float angle);
D3DXMATRIX *D3DXMatrixRotationZ(D3DXMATRIX *out, float angle);
// The axis need not be unit length; a zero axis gives the identity (no rotation, no NaN).
D3DXMATRIX *D3DXMatrixRotationAxis(D3DXMATRIX *out, const D3DXVECTOR3 *axis, float angle);
D3DXMATRIX *D3DXMatrixRotationQuaternion(D3DXMATRIX *out, const D3DXQUATERNION *q);
D3DXMATRIX *D3DXMatrixLookAtLH(D3DXMATRIX *out, const D3DXVECTOR3 *eye, const D3DXVECTOR3 *at,
                               const D3DXVECTOR3 *up);
D3DXMATRIX *D3DXMatrixPerspectiveFovLH(D3DXMATRIX *out, float fovy, float aspect, float zn,
                                       float zf);
D3DXMATRIX *D3DXMatrixOrthoLH(D3DXMATRIX *out, float w, float h, float zn, float zf);

// Quaternions.
float D3DXQuaternionLength(const D3DXQUATERNION *q);
float D3DXQuaternionLengthSq(const D3DXQUATERNION *q);
// A zero quaternion stays zero.
D3DXQUATERNION *D3DXQuaternionNormalize(D3DXQUATERNION *out, const D3DXQUATERNION *q);
// Rotation q1 followed by rotation q2, the same order as the matrix product q1 x q2.
D3DXQUATERNION *D3DXQuaternionMultiply(D3DXQUATERNION *out, const D3DXQUATERNION *q1,
                                       const D3DXQUATERNION *q2);
// The axis need not be unit length; a zero axis gives the identity rotation.
D3DXQUATERNION *D3DXQuaternionRotationAxis(D3DXQUATERNION *out, const D3DXVECTOR3 *axis,
                                           float angle);
// The rotation part of m (assumed orthonormal) as a unit quaternion.
D3DXQUATERNION *D3DXQuaternionRotationMatrix(D3DXQUATERNION *out, const D3DXMATRIX *m);
