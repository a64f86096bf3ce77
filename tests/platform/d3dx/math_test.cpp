// Vector, matrix and quaternion math against hand-computed values and against each other.
#include "platform/d3dx/math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float kTol = 1e-5f;
constexpr float kPi = std::numbers::pi_v<float>;

void ExpectMatrixNear(const D3DXMATRIX &a, const D3DXMATRIX &b, float tol = kTol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], tol) << "at row " << r << " column " << c;
}

void ExpectVectorNear(const D3DXVECTOR3 &a, const D3DXVECTOR3 &b, float tol = kTol) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

TEST(Math, VectorOperatorsAndProducts) {
    D3DXVECTOR3 a(1, 2, 3), b(-4, 5, 0.5f);
    EXPECT_EQ(a + b, D3DXVECTOR3(-3, 7, 3.5f));
    EXPECT_EQ(a - b, D3DXVECTOR3(5, -3, 2.5f));
    EXPECT_EQ(-a, D3DXVECTOR3(-1, -2, -3));
    EXPECT_EQ(a * 2.0f, D3DXVECTOR3(2, 4, 6));
    EXPECT_EQ(2.0f * a, a * 2.0f);
    D3DXVECTOR3 c = a;
    c += b;
    c -= a;
    EXPECT_EQ(c, b);
    c *= 2.0f;
    EXPECT_EQ(c, D3DXVECTOR3(-8, 10, 1));

    EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), -4 + 10 + 1.5f);
    D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), z;
    EXPECT_EQ(*D3DXVec3Cross(&z, &x, &y), D3DXVECTOR3(0, 0, 1));
    // The out pointer may alias an input.
    D3DXVec3Cross(&x, &x, &y);
    EXPECT_EQ(x, D3DXVECTOR3(0, 0, 1));

    D3DXVECTOR3 v(3, 0, 4), n;
    EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 5.0f);
    ExpectVectorNear(*D3DXVec3Normalize(&n, &v), D3DXVECTOR3(0.6f, 0, 0.8f));

    // A zero vector normalises to zero, never NaN: bodies placed at the origin rely on it.
    D3DXVECTOR3 zero(0, 0, 0);
    EXPECT_EQ(*D3DXVec3Normalize(&n, &zero), zero);
}

TEST(Math, TransformCoordDividesByW) {
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXVECTOR3 v(1, 1, 1), out;
    EXPECT_EQ(*D3DXVec3TransformCoord(&out, &v, &t), D3DXVECTOR3(2, 3, 4));

    // A perspective projection puts w = z: the near plane maps to depth 0, the far one to 1.
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, kPi / 2, 1.0f, 1.0f, 100.0f);
    D3DXVECTOR3 nearPoint(0.5f, -1, 1), farPoint(0, 0, 100);
    D3DXVec3TransformCoord(&out, &nearPoint, &p);
    ExpectVectorNear(out, D3DXVECTOR3(0.5f, -1, 0));
    D3DXVec3TransformCoord(&out, &farPoint, &p);
    EXPECT_NEAR(out.z, 1.0f, kTol);

    // A point in the eye plane has w = 0: plain IEEE division, so callers see inf or NaN.
    D3DXVECTOR3 eyePlane(0, 0, 0);
    D3DXVec3TransformCoord(&out, &eyePlane, &p);
    EXPECT_TRUE(std::isnan(out.x));
}

TEST(Math, BasicMatricesHaveTheirDocumentedLayout) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 4, 5, 6);
    EXPECT_EQ(m, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1));
    D3DXMatrixScaling(&m, 2, 3, 4);
    EXPECT_EQ(m, D3DXMATRIX(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1));

    const float c = std::cos(0.3f), s = std::sin(0.3f);
    ExpectMatrixNear(*D3DXMatrixRotationX(&m, 0.3f),
                     D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1));
    ExpectMatrixNear(*D3DXMatrixRotationY(&m, 0.3f),
                     D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1));
    ExpectMatrixNear(*D3DXMatrixRotationZ(&m, 0.3f),
                     D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));

    // Left-handed: a quarter turn about y takes +z to +x.
    D3DXVECTOR3 forward(0, 0, 1), out;
    D3DXMatrixRotationY(&m, kPi / 2);
    ExpectVectorNear(*D3DXVec3TransformCoord(&out, &forward, &m), D3DXVECTOR3(1, 0, 0));

    D3DXMatrixOrthoLH(&m, 640, 480, 0, 10);
    ExpectMatrixNear(
        m, D3DXMATRIX(2.0f / 640, 0, 0, 0, 0, 2.0f / 480, 0, 0, 0, 0, 0.1f, 0, 0, 0, 0, 1));
    D3DXMatrixOrthoLH(&m, 2, 2, 1, 3);
    EXPECT_FLOAT_EQ(m._43, -0.5f);

    D3DXMatrixPerspectiveFovLH(&m, kPi / 2, 2.0f, 1.0f, 11.0f);
    EXPECT_NEAR(m._22, 1.0f, kTol);
    EXPECT_NEAR(m._11, 0.5f, kTol);
    EXPECT_FLOAT_EQ(m._33, 1.1f);
    EXPECT_FLOAT_EQ(m._34, 1.0f);
    EXPECT_FLOAT_EQ(m._43, -1.1f);
    EXPECT_FLOAT_EQ(m._44, 0.0f);
}

TEST(Math, MatrixProductsApplyTheLeftOperandFirst) {
    D3DXMATRIX s, t, st, ts;
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixTranslation(&t, 1, 0, 0);
    D3DXMatrixMultiply(&st, &s, &t);
    ts = t * s;
    D3DXVECTOR3 p(1, 0, 0), out;
    EXPECT_EQ(*D3DXVec3TransformCoord(&out, &p, &st), D3DXVECTOR3(3, 0, 0)); // scale, then move
    EXPECT_EQ(*D3DXVec3TransformCoord(&out, &p, &ts), D3DXVECTOR3(4, 0, 0)); // move, then scale
    EXPECT_EQ(st, s * t);

    // Multiply may write over either of its inputs.
    D3DXMATRIX a = s;
    D3DXMatrixMultiply(&a, &a, &t);
    EXPECT_EQ(a, st);
    a = t;
    D3DXMatrixMultiply(&a, &s, &a);
    EXPECT_EQ(a, st);
    a = s;
    a *= t;
    EXPECT_EQ(a, st);

    // Element-wise blend as the photo mesh does: ((6 - t) / 6) A + (t / 6) B.
    D3DXMATRIX A, B;
    D3DXMatrixTranslation(&A, 6, 0, 0);
    D3DXMatrixTranslation(&B, 0, 12, 0);
    const D3DXMATRIX blend = A * (4.0f / 6.0f) + (2.0f / 6.0f) * B;
    EXPECT_NEAR(blend._41, 4.0f, kTol);
    EXPECT_NEAR(blend._42, 4.0f, kTol);
    EXPECT_NEAR(blend._11, 1.0f, kTol);
    EXPECT_NEAR(blend._44, 1.0f, kTol);
    EXPECT_EQ(A - A, A * 0.0f);
}

TEST(Math, InverseUndoesAGeneralMatrixAndRefusesSingularOnes) {
    D3DXMATRIX r, s, t;
    D3DXMatrixRotationY(&r, 0.7f);
    D3DXMatrixScaling(&s, 2, 0.5f, 3);
    D3DXMatrixTranslation(&t, -3, 8, 1.5f);
    D3DXMATRIX m = s * r * t;
    m._14 = 0.25f; // not affine either
    D3DXMATRIX inv;
    float det = 0;
    ASSERT_EQ(D3DXMatrixInverse(&inv, &det, &m), &inv);
    EXPECT_NEAR(det, D3DXMatrixDeterminant(&m), kTol);
    ExpectMatrixNear(m * inv, Identity(), 1e-4f);
    ExpectMatrixNear(inv * m, Identity(), 1e-4f);
    EXPECT_NEAR(D3DXMatrixDeterminant(&s), 3.0f, kTol);

    // The inverse may be written over its input, and the determinant output is optional.
    D3DXMATRIX copy = m;
    ASSERT_NE(D3DXMatrixInverse(&copy, nullptr, &copy), nullptr);
    ExpectMatrixNear(copy, inv, 1e-5f);

    D3DXMATRIX singular;
    D3DXMatrixScaling(&singular, 1, 0, 1);
    D3DXMATRIX untouched = Identity();
    EXPECT_EQ(D3DXMatrixInverse(&untouched, &det, &singular), nullptr);
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(untouched, Identity());
}

TEST(Math, LookAtBuildsAViewThatPutsTheTargetOnPlusZ) {
    D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0), out;
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectMatrixNear(view, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1));

    D3DXVECTOR3 eye2(10, 2, 3), at2(10, 2, 13), up2(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye2, &at2, &up2);
    ExpectVectorNear(*D3DXVec3TransformCoord(&out, &at2, &view), D3DXVECTOR3(0, 0, 10));

    // Looking along +x from the origin: the target's side (+x) becomes depth, +z goes to the left.
    D3DXVECTOR3 origin(0, 0, 0), east(1, 0, 0), north(0, 0, 1);
    D3DXMatrixLookAtLH(&view, &origin, &east, &up);
    ExpectVectorNear(*D3DXVec3TransformCoord(&out, &east, &view), D3DXVECTOR3(0, 0, 1));
    ExpectVectorNear(*D3DXVec3TransformCoord(&out, &north, &view), D3DXVECTOR3(-1, 0, 0));
}

TEST(Math, AxisRotationsNormaliseTheAxisAndSurviveAZeroAxis) {
    D3DXMATRIX fromAxis, fromY;
    D3DXVECTOR3 longY(0, 0.25f, 0);
    D3DXMatrixRotationAxis(&fromAxis, &longY, 1.1f);
    ExpectMatrixNear(fromAxis, *D3DXMatrixRotationY(&fromY, 1.1f));

    // A skew, non-unit axis as the asteroid field draws them: the result is a pure rotation that
    // leaves the axis itself in place.
    D3DXVECTOR3 axis(-0.25f, 0.1f, 0.245f), out;
    D3DXMATRIX r;
    D3DXMatrixRotationAxis(&r, &axis, 2.0f);
    ExpectVectorNear(*D3DXVec3TransformCoord(&out, &axis, &r), axis);
    EXPECT_NEAR(D3DXMatrixDeterminant(&r), 1.0f, kTol);

    // All three axis draws can come out zero: no rotation, and above all no NaN.
    D3DXVECTOR3 zero(0, 0, 0);
    D3DXMatrixRotationAxis(&r, &zero, 2.0f);
    EXPECT_EQ(r, Identity());
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, &zero, 2.0f);
    EXPECT_EQ(q, D3DXQUATERNION(0, 0, 0, 1));
}

TEST(Math, QuaternionsAgreeWithMatrices) {
    D3DXQUATERNION qa, qb, q;
    D3DXVECTOR3 axisA(1, 2, -0.5f), axisB(0, 0, 3);
    D3DXQuaternionRotationAxis(&qa, &axisA, 0.9f);
    D3DXQuaternionRotationAxis(&qb, &axisB, -1.3f);
    EXPECT_NEAR(D3DXQuaternionLength(&qa), 1.0f, kTol);

    // The quaternion's matrix equals the axis rotation, in the documented element layout.
    D3DXMATRIX fromQ, fromAxis;
    D3DXMatrixRotationQuaternion(&fromQ, &qa);
    ExpectMatrixNear(fromQ, *D3DXMatrixRotationAxis(&fromAxis, &axisA, 0.9f));
    const D3DXQUATERNION u(0.1f, 0.2f, 0.3f, 0.4f); // not unit: no renormalisation is done
    D3DXMatrixRotationQuaternion(&fromQ, &u);
    EXPECT_NEAR(fromQ._11, 1 - 2 * (0.04f + 0.09f), kTol);
    EXPECT_NEAR(fromQ._12, 2 * (0.02f + 0.12f), kTol);
    EXPECT_NEAR(fromQ._13, 2 * (0.03f - 0.08f), kTol);
    EXPECT_NEAR(fromQ._32, 2 * (0.06f - 0.04f), kTol);

    // q1 then q2 as quaternions equals the matrix product in the same order.
    D3DXMATRIX ma, mb, mq;
    D3DXMatrixRotationQuaternion(&ma, &qa);
    D3DXMatrixRotationQuaternion(&mb, &qb);
    D3DXQuaternionMultiply(&q, &qa, &qb);
    ExpectMatrixNear(*D3DXMatrixRotationQuaternion(&mq, &q), ma * mb);
    EXPECT_EQ(qa * qb, q);

    // Matrix to quaternion round trips, through every branch of the extraction (trace positive,
    // and each diagonal element largest).
    const float angles[] = {0.4f, 3.0f, -2.9f, kPi};
    const D3DXVECTOR3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}, {-2, 0.5f, 0.1f}};
    for (const auto &axis : axes)
        for (float angle : angles) {
            D3DXMATRIX m, back;
            D3DXMatrixRotationAxis(&m, &axis, angle);
            D3DXQuaternionRotationMatrix(&q, &m);
            EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, 1e-4f);
            ExpectMatrixNear(*D3DXMatrixRotationQuaternion(&back, &q), m, 1e-4f);
        }
}

TEST(Math, QuaternionNormaliseKeepsZeroAtZero) {
    D3DXQUATERNION q(0, 3, 0, 4), n;
    D3DXQuaternionNormalize(&n, &q);
    EXPECT_NEAR(n.y, 0.6f, kTol);
    EXPECT_NEAR(n.w, 0.8f, kTol);
    EXPECT_FLOAT_EQ(D3DXQuaternionLength(&q), 5.0f);

    // Callers test the normalised length for exactly zero.
    const D3DXQUATERNION zero(0, 0, 0, 0);
    D3DXQuaternionNormalize(&n, &zero);
    EXPECT_EQ(n, zero);
    EXPECT_EQ(D3DXQuaternionLength(&n), 0.0f);
}

} // namespace
