// Single-precision implementations of the utility library's vector, matrix and quaternion math.
#include "platform/d3dx/math.h"

#include <cmath>

// ---- operators -----------------------------------------------------------------------------

D3DXVECTOR2 &D3DXVECTOR2::operator+=(const D3DXVECTOR2 &v) {
    x += v.x;
    y += v.y;
    return *this;
}
D3DXVECTOR2 &D3DXVECTOR2::operator-=(const D3DXVECTOR2 &v) {
    x -= v.x;
    y -= v.y;
    return *this;
}
D3DXVECTOR2 &D3DXVECTOR2::operator*=(float f) {
    x *= f;
    y *= f;
    return *this;
}
D3DXVECTOR2 &D3DXVECTOR2::operator/=(float f) {
    x /= f;
    y /= f;
    return *this;
}

D3DXVECTOR3 &D3DXVECTOR3::operator+=(const D3DXVECTOR3 &v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}
D3DXVECTOR3 &D3DXVECTOR3::operator-=(const D3DXVECTOR3 &v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}
D3DXVECTOR3 &D3DXVECTOR3::operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
}
D3DXVECTOR3 &D3DXVECTOR3::operator/=(float f) {
    x /= f;
    y /= f;
    z /= f;
    return *this;
}

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23,
                       float f24, float f31, float f32, float f33, float f34, float f41, float f42,
                       float f43, float f44) {
    _11 = f11, _12 = f12, _13 = f13, _14 = f14;
    _21 = f21, _22 = f22, _23 = f23, _24 = f24;
    _31 = f31, _32 = f32, _33 = f33, _34 = f34;
    _41 = f41, _42 = f42, _43 = f43, _44 = f44;
}

D3DXMATRIX &D3DXMATRIX::operator*=(const D3DXMATRIX &b) {
    D3DXMatrixMultiply(this, this, &b);
    return *this;
}
D3DXMATRIX &D3DXMATRIX::operator+=(const D3DXMATRIX &b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[r][c] += b.m[r][c];
    return *this;
}
D3DXMATRIX &D3DXMATRIX::operator-=(const D3DXMATRIX &b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[r][c] -= b.m[r][c];
    return *this;
}
D3DXMATRIX &D3DXMATRIX::operator*=(float f) {
    for (auto &row : m)
        for (float &v : row)
            v *= f;
    return *this;
}
D3DXMATRIX &D3DXMATRIX::operator/=(float f) {
    for (auto &row : m)
        for (float &v : row)
            v /= f;
    return *this;
}
D3DXMATRIX D3DXMATRIX::operator-() const {
    return *this * -1.0f;
}
D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX &b) const {
    D3DXMATRIX out;
    D3DXMatrixMultiply(&out, this, &b);
    return out;
}
D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX &b) const {
    D3DXMATRIX out = *this;
    return out += b;
}
D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX &b) const {
    D3DXMATRIX out = *this;
    return out -= b;
}
D3DXMATRIX D3DXMATRIX::operator*(float f) const {
    D3DXMATRIX out = *this;
    return out *= f;
}
D3DXMATRIX D3DXMATRIX::operator/(float f) const {
    D3DXMATRIX out = *this;
    return out /= f;
}
bool D3DXMATRIX::operator==(const D3DXMATRIX &b) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m[r][c] != b.m[r][c])
                return false;
    return true;
}

D3DXQUATERNION &D3DXQUATERNION::operator+=(const D3DXQUATERNION &q) {
    return *this = *this + q;
}
D3DXQUATERNION &D3DXQUATERNION::operator-=(const D3DXQUATERNION &q) {
    return *this = *this - q;
}
D3DXQUATERNION &D3DXQUATERNION::operator*=(const D3DXQUATERNION &q) {
    return *this = *this * q;
}
D3DXQUATERNION &D3DXQUATERNION::operator*=(float f) {
    return *this = *this * f;
}
D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION &q) const {
    D3DXQUATERNION out;
    D3DXQuaternionMultiply(&out, this, &q);
    return out;
}

// ---- vectors -------------------------------------------------------------------------------

float D3DXVec3LengthSq(const D3DXVECTOR3 *v) {
    return v->x * v->x + v->y * v->y + v->z * v->z;
}
float D3DXVec3Length(const D3DXVECTOR3 *v) {
    return std::sqrt(D3DXVec3LengthSq(v));
}
float D3DXVec3Dot(const D3DXVECTOR3 *a, const D3DXVECTOR3 *b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

D3DXVECTOR3 *D3DXVec3Cross(D3DXVECTOR3 *out, const D3DXVECTOR3 *a, const D3DXVECTOR3 *b) {
    const D3DXVECTOR3 r(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z,
                        a->x * b->y - a->y * b->x);
    *out = r;
    return out;
}

D3DXVECTOR3 *D3DXVec3Normalize(D3DXVECTOR3 *out, const D3DXVECTOR3 *v) {
    const float length = D3DXVec3Length(v);
    if (length == 0.0f) {
        *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        return out;
    }
    *out = *v / length;
    return out;
}

D3DXVECTOR3 *D3DXVec3TransformCoord(D3DXVECTOR3 *out, const D3DXVECTOR3 *v, const D3DXMATRIX *m) {
    const float x = v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + m->_41;
    const float y = v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + m->_42;
    const float z = v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + m->_43;
    const float w = v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + m->_44;
    *out = D3DXVECTOR3(x / w, y / w, z / w);
    return out;
}

// ---- matrices ------------------------------------------------------------------------------

D3DXMATRIX *D3DXMatrixIdentity(D3DXMATRIX *out) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX *D3DXMatrixMultiply(D3DXMATRIX *out, const D3DXMATRIX *a, const D3DXMATRIX *b) {
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] +
                        a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

namespace {
// The 2x2 minors of the lower two rows, shared by the determinant and the inverse.
struct Cofactors {
    float c[4][4];
};

Cofactors ComputeCofactors(const D3DMATRIX &a) {
    const auto &m = a.m;
    // Minors of rows 0,1 and rows 2,3 by column pair.
    const float s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const float s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const float s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const float s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const float s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const float s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    const float c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    const float c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    const float c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    const float c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    const float c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    const float c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];

    Cofactors r;
    // Adjugate (transposed cofactor matrix).
    r.c[0][0] = m[1][1] * c5 - m[1][2] * c4 + m[1][3] * c3;
    r.c[0][1] = -m[0][1] * c5 + m[0][2] * c4 - m[0][3] * c3;
    r.c[0][2] = m[3][1] * s5 - m[3][2] * s4 + m[3][3] * s3;
    r.c[0][3] = -m[2][1] * s5 + m[2][2] * s4 - m[2][3] * s3;
    r.c[1][0] = -m[1][0] * c5 + m[1][2] * c2 - m[1][3] * c1;
    r.c[1][1] = m[0][0] * c5 - m[0][2] * c2 + m[0][3] * c1;
    r.c[1][2] = -m[3][0] * s5 + m[3][2] * s2 - m[3][3] * s1;
    r.c[1][3] = m[2][0] * s5 - m[2][2] * s2 + m[2][3] * s1;
    r.c[2][0] = m[1][0] * c4 - m[1][1] * c2 + m[1][3] * c0;
    r.c[2][1] = -m[0][0] * c4 + m[0][1] * c2 - m[0][3] * c0;
    r.c[2][2] = m[3][0] * s4 - m[3][1] * s2 + m[3][3] * s0;
    r.c[2][3] = -m[2][0] * s4 + m[2][1] * s2 - m[2][3] * s0;
    r.c[3][0] = -m[1][0] * c3 + m[1][1] * c1 - m[1][2] * c0;
    r.c[3][1] = m[0][0] * c3 - m[0][1] * c1 + m[0][2] * c0;
    r.c[3][2] = -m[3][0] * s3 + m[3][1] * s1 - m[3][2] * s0;
    r.c[3][3] = m[2][0] * s3 - m[2][1] * s1 + m[2][2] * s0;
    return r;
}

float DeterminantFrom(const D3DMATRIX &a, const Cofactors &adj) {
    return a.m[0][0] * adj.c[0][0] + a.m[0][1] * adj.c[1][0] + a.m[0][2] * adj.c[2][0] +
           a.m[0][3] * adj.c[3][0];
}
} // namespace

float D3DXMatrixDeterminant(const D3DXMATRIX *m) {
    return DeterminantFrom(*m, ComputeCofactors(*m));
}

D3DXMATRIX *D3DXMatrixInverse(D3DXMATRIX *out, float *determinant, const D3DXMATRIX *m) {
    const Cofactors adj = ComputeCofactors(*m);
    const float det = DeterminantFrom(*m, adj);
    if (determinant)
        *determinant = det;
    if (det == 0.0f || !std::isfinite(det))
        return nullptr;
    const float inv = 1.0f / det;
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = adj.c[i][j] * inv;
    *out = r;
    return out;
}

D3DXMATRIX *D3DXMatrixTranslation(D3DXMATRIX *out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->_41 = x;
    out->_42 = y;
    out->_43 = z;
    return out;
}

D3DXMATRIX *D3DXMatrixScaling(D3DXMATRIX *out, float x, float y, float z) {
    *out = D3DXMATRIX(x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX *D3DXMatrixRotationX(D3DXMATRIX *out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX *D3DXMatrixRotationY(D3DXMATRIX *out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX *D3DXMatrixRotationZ(D3DXMATRIX *out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX *D3DXMatrixRotationAxis(D3DXMATRIX *out, const D3DXVECTOR3 *axis, float angle) {
    D3DXVECTOR3 a;
    D3DXVec3Normalize(&a, axis);
    // Rotating about no axis at all is no rotation: the general formula would scale by cos(angle).
    if (a.x == 0.0f && a.y == 0.0f && a.z == 0.0f)
        return D3DXMatrixIdentity(out);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    *out = D3DXMATRIX(t * a.x * a.x + c, t * a.x * a.y + s * a.z, t * a.x * a.z - s * a.y, 0,
                      t * a.x * a.y - s * a.z, t * a.y * a.y + c, t * a.y * a.z + s * a.x, 0,
                      t * a.x * a.z + s * a.y, t * a.y * a.z - s * a.x, t * a.z * a.z + c, 0, 0, 0,
                      0, 1);
    return out;
}

D3DXMATRIX *D3DXMatrixRotationQuaternion(D3DXMATRIX *out, const D3DXQUATERNION *q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    *out = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,
                      2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,
                      2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0, 0, 0, 0,
                      1);
    return out;
}

D3DXMATRIX *D3DXMatrixLookAtLH(D3DXMATRIX *out, const D3DXVECTOR3 *eye, const D3DXVECTOR3 *at,
                               const D3DXVECTOR3 *up) {
    D3DXVECTOR3 zaxis, xaxis, yaxis;
    const D3DXVECTOR3 forward = *at - *eye;
    D3DXVec3Normalize(&zaxis, &forward);
    D3DXVec3Cross(&xaxis, up, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    *out = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0, xaxis.y, yaxis.y, zaxis.y, 0, xaxis.z, yaxis.z,
                      zaxis.z, 0, -D3DXVec3Dot(&xaxis, eye), -D3DXVec3Dot(&yaxis, eye),
                      -D3DXVec3Dot(&zaxis, eye), 1);
    return out;
}

D3DXMATRIX *D3DXMatrixPerspectiveFovLH(D3DXMATRIX *out, float fovy, float aspect, float zn,
                                       float zf) {
    const float ys = 1.0f / std::tan(fovy * 0.5f);
    const float xs = ys / aspect;
    const float q = zf / (zf - zn);
    *out = D3DXMATRIX(xs, 0, 0, 0, 0, ys, 0, 0, 0, 0, q, 1, 0, 0, -zn * q, 0);
    return out;
}

D3DXMATRIX *D3DXMatrixOrthoLH(D3DXMATRIX *out, float w, float h, float zn, float zf) {
    *out = D3DXMATRIX(2.0f / w, 0, 0, 0, 0, 2.0f / h, 0, 0, 0, 0, 1.0f / (zf - zn), 0, 0, 0,
                      zn / (zn - zf), 1);
    return out;
}

// ---- quaternions ---------------------------------------------------------------------------

float D3DXQuaternionLengthSq(const D3DXQUATERNION *q) {
    return q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w;
}
float D3DXQuaternionLength(const D3DXQUATERNION *q) {
    return std::sqrt(D3DXQuaternionLengthSq(q));
}

D3DXQUATERNION *D3DXQuaternionNormalize(D3DXQUATERNION *out, const D3DXQUATERNION *q) {
    const float length = D3DXQuaternionLength(q);
    if (length == 0.0f) {
        *out = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 0.0f);
        return out;
    }
    const float inv = 1.0f / length;
    *out = *q * inv;
    return out;
}

D3DXQUATERNION *D3DXQuaternionMultiply(D3DXQUATERNION *out, const D3DXQUATERNION *q1,
                                       const D3DXQUATERNION *q2) {
    // The Hamilton product q2 q1: with row vectors the first rotation stands on the left.
    const D3DXQUATERNION &a = *q2;
    const D3DXQUATERNION &b = *q1;
    const D3DXQUATERNION r(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                           a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                           a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
                           a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
    *out = r;
    return out;
}

D3DXQUATERNION *D3DXQuaternionRotationAxis(D3DXQUATERNION *out, const D3DXVECTOR3 *axis,
                                           float angle) {
    D3DXVECTOR3 a;
    D3DXVec3Normalize(&a, axis);
    const float s = std::sin(angle * 0.5f);
    const float c = std::cos(angle * 0.5f);
    if (a.x == 0.0f && a.y == 0.0f && a.z == 0.0f) {
        *out = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
        return out;
    }
    *out = D3DXQUATERNION(a.x * s, a.y * s, a.z * s, c);
    return out;
}

D3DXQUATERNION *D3DXQuaternionRotationMatrix(D3DXQUATERNION *out, const D3DXMATRIX *m) {
    const float trace = m->_11 + m->_22 + m->_33;
    D3DXQUATERNION q;
    // Take the largest of w, x, y, z from the diagonal for a well-conditioned square root.
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f) * 2.0f; // 4w
        q = {(m->_23 - m->_32) / s, (m->_31 - m->_13) / s, (m->_12 - m->_21) / s, 0.25f * s};
    } else if (m->_11 > m->_22 && m->_11 > m->_33) {
        const float s = std::sqrt(1.0f + m->_11 - m->_22 - m->_33) * 2.0f; // 4x
        q = {0.25f * s, (m->_12 + m->_21) / s, (m->_13 + m->_31) / s, (m->_23 - m->_32) / s};
    } else if (m->_22 > m->_33) {
        const float s = std::sqrt(1.0f + m->_22 - m->_11 - m->_33) * 2.0f; // 4y
        q = {(m->_12 + m->_21) / s, 0.25f * s, (m->_23 + m->_32) / s, (m->_31 - m->_13) / s};
    } else {
        const float s = std::sqrt(1.0f + m->_33 - m->_11 - m->_22) * 2.0f; // 4z
        q = {(m->_13 + m->_31) / s, (m->_23 + m->_32) / s, 0.25f * s, (m->_12 - m->_21) / s};
    }
    *out = q;
    return out;
}
