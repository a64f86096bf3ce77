#include "game/debris.h"
#include "game/skybox.h"

#include "platform/win32/random.h"
#include "world_calls.h"
#include "world_device_fixture.h"

#include <cmath>

namespace {

using world_test::CountCalls;
using world_test::Logged;

class SkyboxTest : public world_test::WorldDeviceTest {};

TEST_F(SkyboxTest, CoversTheViewAroundTheViewpointWithMirroredAddressing) {
    Skybox sky;
    sky.device = m_device;
    ASSERT_EQ(sky.Load("skybox.x"), S_OK);
    EXPECT_EQ(sky.materialCount, 6u);
    LookAlongZ(100.0f, -20.0f, 40.0f);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    seams::StartDeviceCallLog();
    Begin();
    sky.Render(D3DXVECTOR3(100.0f, -20.0f, 40.0f));
    End("skybox_view");
    EXPECT_EQ(CountCalls("DrawIndexedPrimitive"), 6);
    // Mirror (2) on U, V, W while drawing, wrap (1) afterwards.
    for (int state : {13, 14, 25}) {
        EXPECT_TRUE(Logged("SetTextureStageState(0, " + std::to_string(state) + ", 2)"));
    }
    std::string lastStageState;
    for (const std::string &call : seams::DeviceCallTexts())
        if (call.rfind("SetTextureStageState", 0) == 0)
            lastStageState = call;
    EXPECT_EQ(lastStageState, "SetTextureStageState(0, 25, 1)");
    EXPECT_FLOAT_EQ(sky.scaling._11, 10.0f);
    EXPECT_FLOAT_EQ(sky.translation._41, 100.0f);
    sky.ReleaseResources();
    // Seen from its centre the sky fills the whole frame.
    EXPECT_EQ(LitPixels(0).count, int(kWidth * kHeight));
}

class DebrisTest : public world_test::WorldDeviceTest {};

TEST_F(DebrisTest, ScatterPlacesWholeCoordinatesInDrawOrder) {
    Debris debris;
    seams::SetRandomState(1);
    const int x0 = crt::rand() % 64 - 32, y0 = crt::rand() % 64 - 32, z0 = crt::rand() % 64 - 32;
    seams::SetRandomState(1);
    debris.Scatter();
    EXPECT_EQ(debris.pieces[0], D3DXVECTOR3(float(x0), float(y0), float(z0)));
    for (const D3DXVECTOR3 &p : debris.pieces)
        for (float c : {p.x, p.y, p.z}) {
            EXPECT_EQ(c, std::floor(c));
            EXPECT_GE(c, -32.0f);
            EXPECT_LE(c, 31.0f);
        }
    // Sixteen pieces, three draws each.
    seams::SetRandomState(1);
    for (int i = 0; i < 48; ++i)
        crt::rand();
    const int next = crt::rand();
    seams::SetRandomState(1);
    debris.Scatter();
    EXPECT_EQ(crt::rand(), next);
}

TEST_F(DebrisTest, PiecesBeyondReachJumpToTheOtherSideOfTheShip) {
    Debris debris;
    for (D3DXVECTOR3 &p : debris.pieces)
        p = D3DXVECTOR3(5, 5, 5);
    debris.pieces[0] = D3DXVECTOR3(0, 0, 64.0f);
    debris.pieces[1] = D3DXVECTOR3(0, 0, 64.5f);
    debris.Update(D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(debris.pieces[0], D3DXVECTOR3(0, 0, 64.0f));
    EXPECT_NEAR(debris.pieces[1].z, -63.21f, 1e-4f);
    EXPECT_EQ(debris.pieces[2], D3DXVECTOR3(5, 5, 5));
}

TEST_F(DebrisTest, DrawsThePiecesInView) {
    Debris debris;
    debris.device = m_device;
    ASSERT_EQ(debris.Load("debris.x"), S_OK);
    for (D3DXVECTOR3 &p : debris.pieces)
        p = D3DXVECTOR3(500, 0, 5); // far outside the view
    debris.pieces[3] = D3DXVECTOR3(-0.5f, 0, 2);
    debris.pieces[9] = D3DXVECTOR3(0.5f, 0, 2);
    LookAlongZ();
    seams::StartDeviceCallLog();
    Begin();
    debris.Render(&m_viewProjection);
    End("debris_pieces");
    EXPECT_EQ(CountCalls("DrawIndexedPrimitive"), 2 * int(debris.materialCount));
    debris.ReleaseResources();
    const auto left = LitPixels(30, 0, 0, kWidth / 2, kHeight);
    const auto right = LitPixels(30, kWidth / 2, 0, kWidth, kHeight);
    // Each chip (radius 0.2 at 2 units) is about 12 px across, 15 px either side of centre.
    EXPECT_GT(left.count, 20);
    EXPECT_GT(right.count, 20);
    EXPECT_NEAR((left.left + left.right) / 2, 65, 4);
    EXPECT_NEAR((right.left + right.right) / 2, 95, 4);
}

} // namespace
