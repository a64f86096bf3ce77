// The chase camera's trail lag and its two views.
#include "game/camera.h"

#include <gtest/gtest.h>

namespace {

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

D3DXMATRIX LookAt(D3DXVECTOR3 eye, D3DXVECTOR3 at, D3DXVECTOR3 up) {
    D3DXMATRIX m;
    D3DXMatrixLookAtLH(&m, &eye, &at, &up);
    return m;
}

void ExpectNear(const D3DXVECTOR3 &a, const D3DXVECTOR3 &b) {
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
}

} // namespace

TEST(Camera, StartsWithZeroTrailAndIdentityView) {
    Camera camera;
    EXPECT_EQ(camera.GetTrailEye(), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(camera.GetTrailTarget(), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(camera.GetViewMatrix(), Identity());
}

TEST(Camera, ResetTrailFillsEveryEntryWithTheRestingPose) {
    Camera camera;
    const D3DXMATRIX rotation = Identity();
    camera.ResetTrail(D3DXVECTOR3(0, 0, 0), &rotation);
    for (int i = 0; i < Camera::kTrailLength; ++i) {
        ExpectNear(camera.trailEye[i], D3DXVECTOR3(0, 1, -4));
        ExpectNear(camera.trailTarget[i], D3DXVECTOR3(0, 1, 0));
    }
    EXPECT_EQ(camera.GetViewMatrix(), LookAt({0, 1, -4}, {0, 1, 0}, {0, 1, 0}));
}

TEST(Camera, FollowShipLagsNineSteps) {
    Camera camera;
    const D3DXMATRIX rotation = Identity();
    camera.ResetTrail(D3DXVECTOR3(0, 0, 0), &rotation);
    const D3DXMATRIX resting = camera.GetViewMatrix();
    camera.FollowShip(D3DXVECTOR3(0, 0, 10), &rotation);
    ExpectNear(camera.trailEye[9], D3DXVECTOR3(0, 1, 6));
    ExpectNear(camera.trailTarget[9], D3DXVECTOR3(0, 1, 10));
    for (int i = 0; i < 9; ++i)
        ExpectNear(camera.trailEye[i], D3DXVECTOR3(0, 1, -4));
    EXPECT_EQ(camera.GetViewMatrix(), resting);
    // Nine steps bring the moved pose to the oldest entry, and only then into the view.
    for (int i = 0; i < 8; ++i)
        camera.FollowShip(D3DXVECTOR3(0, 0, 10), &rotation);
    EXPECT_EQ(camera.GetViewMatrix(), resting);
    camera.FollowShip(D3DXVECTOR3(0, 0, 10), &rotation);
    ExpectNear(camera.GetTrailEye(), D3DXVECTOR3(0, 1, 6));
    ExpectNear(camera.GetTrailTarget(), D3DXVECTOR3(0, 1, 10));
    EXPECT_EQ(camera.GetViewMatrix(), LookAt({0, 1, 6}, {0, 1, 10}, {0, 1, 0}));
}

TEST(Camera, FollowShipUsesTheShipsAxes) {
    // A ship turned 90 degrees about y faces +x: the chase point is 4 back along -x.
    Camera camera;
    D3DXMATRIX rotation;
    D3DXMatrixRotationY(&rotation, 3.14159265f / 2.0f);
    camera.ResetTrail(D3DXVECTOR3(5, 0, 0), &rotation);
    ExpectNear(camera.GetTrailEye(), D3DXVECTOR3(1, 1, 0));
    ExpectNear(camera.GetTrailTarget(), D3DXVECTOR3(5, 1, 0));
}

TEST(Camera, SetBehindShipGivesTheCloseViewAndLeavesTheTrail) {
    Camera camera;
    const D3DXMATRIX rotation = Identity();
    camera.ResetTrail(D3DXVECTOR3(0, 0, 7), &rotation);
    const D3DXVECTOR3 eyeBefore = camera.GetTrailEye();
    const D3DXMATRIX view = camera.SetBehindShip(D3DXVECTOR3(0, 0, 0), &rotation);
    const D3DXMATRIX expected = LookAt({0, 0.4f, -0.3f}, {0, 0.4f, 1}, {0, 1, 0});
    EXPECT_EQ(view, expected);
    EXPECT_EQ(camera.GetViewMatrix(), expected);
    EXPECT_EQ(camera.GetTrailEye(), eyeBefore);
}
