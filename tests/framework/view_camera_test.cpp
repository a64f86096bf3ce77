// The view camera's matrices: view, billboard and projection kept in step with its setters.
#include "framework/view_camera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectMatrix(const D3DXMATRIX &actual, const D3DXMATRIX &expected) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], kTolerance) << "at " << r << "," << c;
}

void ExpectVector(const D3DXVECTOR3 &actual, float x, float y, float z) {
    EXPECT_NEAR(actual.x, x, kTolerance);
    EXPECT_NEAR(actual.y, y, kTolerance);
    EXPECT_NEAR(actual.z, z, kTolerance);
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

TEST(ViewCamera, StartsAtTheOriginLookingDownZ) {
    const ViewCamera camera;
    ExpectMatrix(*camera.GetViewMatrix(), Identity());
    ExpectMatrix(*camera.GetBillboardMatrix(), Identity());
    ExpectVector(*camera.GetViewDir(), 0, 0, 1);
    ExpectVector(*camera.GetCross(), -1, 0, 0);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 1000.0f);
    ExpectMatrix(*camera.GetProjMatrix(), projection);
    EXPECT_FLOAT_EQ(camera.GetFarPlane(), 1000.0f);
}

TEST(ViewCamera, BillboardUndoesTheViewTurnButNotItsTranslation) {
    ViewCamera camera;
    const D3DXVECTOR3 eye(5, 2, 0), at(0, 2, 0), up(0, 1, 0);
    camera.SetView(&eye, &at, &up);
    ExpectVector(*camera.GetViewDir(), -1, 0, 0);
    ExpectVector(*camera.GetCross(), 0, 0, -1);

    D3DXMATRIX rotationOnly = *camera.GetViewMatrix();
    rotationOnly._41 = rotationOnly._42 = rotationOnly._43 = 0.0f;
    ExpectMatrix(*camera.GetBillboardMatrix() * rotationOnly, Identity());
    EXPECT_EQ(camera.GetBillboardMatrix()->_41, 0.0f);
    EXPECT_EQ(camera.GetBillboardMatrix()->_42, 0.0f);
    EXPECT_EQ(camera.GetBillboardMatrix()->_43, 0.0f);
    // A billboard's local +z is the camera's forward, so a quad drawn with it is seen face-on.
    D3DXVECTOR3 forward;
    const D3DXVECTOR3 localZ(0, 0, 1);
    D3DXVec3TransformCoord(&forward, &localZ, camera.GetBillboardMatrix());
    ExpectVector(forward, -1, 0, 0);
}

TEST(ViewCamera, ViewThatCannotBeInvertedKeepsTheLastBillboard) {
    ViewCamera camera;
    const D3DXVECTOR3 eye(5, 0, 0), at(0, 0, 0), up(0, 1, 0);
    camera.SetView(&eye, &at, &up);
    const D3DXMATRIX before = *camera.GetBillboardMatrix();
    camera.SetView(&at, &at, &up); // eye on the look-at point
    ExpectMatrix(*camera.GetBillboardMatrix(), before);
    ExpectVector(*camera.GetViewDir(), 0, 0, 0);
}

TEST(ViewCamera, ProjectionFollowsItsSetter) {
    ViewCamera camera;
    camera.SetProjection(1.0f, 16.0f / 9.0f, 0.5f, 200.0f);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 1.0f, 16.0f / 9.0f, 0.5f, 200.0f);
    ExpectMatrix(*camera.GetProjMatrix(), projection);
    EXPECT_FLOAT_EQ(camera.GetAspect(), 16.0f / 9.0f);
    EXPECT_FLOAT_EQ(camera.GetNearPlane(), 0.5f);
    EXPECT_FLOAT_EQ(camera.GetFOV(), 1.0f);
}

} // namespace
