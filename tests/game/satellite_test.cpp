#include "game/satellite.h"

#include "platform/win32/random.h"
#include "world_calls.h"
#include "world_device_fixture.h"

namespace {

using world_test::CountCalls;

int NextDrawAfter(int draws) {
    seams::SetRandomState(1);
    for (int i = 0; i < draws; ++i)
        crt::rand();
    return crt::rand();
}

class SatelliteTest : public world_test::WorldDeviceTest {
protected:
    Satellite satellites;
};

TEST_F(SatelliteTest, SpawnPlacesAtMostEightOnTheSphere) {
    for (D3DXVECTOR3 &p : satellites.positions)
        p = D3DXVECTOR3(0, 0, 0);
    seams::SetRandomState(1);
    const int z = crt::rand() % 256 - 128, y = crt::rand() % 256 - 128, x = crt::rand() % 256 - 128;
    seams::SetRandomState(1);
    satellites.Spawn(10);
    {
        const int next = crt::rand();
        EXPECT_EQ(next, NextDrawAfter(24));
    }
    for (DWORD i = 0; i < satellites.GetMax(); ++i) {
        EXPECT_TRUE(satellites.active[i]);
        EXPECT_NEAR(D3DXVec3Length(&satellites.positions[i]), 64.0f, 1e-3f);
    }
    D3DXVECTOR3 direction(x / 128.0f, y / 128.0f, z / 128.0f), expected;
    D3DXVec3Normalize(&expected, &direction);
    EXPECT_EQ(satellites.positions[0], expected * 64.0f);

    seams::SetRandomState(1);
    satellites.Spawn(2);
    {
        const int next = crt::rand();
        EXPECT_EQ(next, NextDrawAfter(6));
    }
    EXPECT_TRUE(satellites.active[1]);
    EXPECT_FALSE(satellites.active[2]);

    seams::SetRandomState(1);
    satellites.Spawn(0);
    {
        const int next = crt::rand();
        EXPECT_EQ(next, NextDrawAfter(0));
    }
    satellites.Spawn(-3);
    for (bool a : satellites.active)
        EXPECT_FALSE(a);
}

TEST_F(SatelliteTest, EverySlotFollowsThePlayer) {
    satellites.Clear();
    for (D3DXVECTOR3 &p : satellites.positions)
        p = D3DXVECTOR3(1, 2, 3);
    satellites.positions[0] = D3DXVECTOR3(256.0f, 0, 0);
    satellites.positions[5] = D3DXVECTOR3(300.0f, 0, 0); // inactive, still moved
    satellites.Update(D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(satellites.positions[0], D3DXVECTOR3(256.0f, 0, 0));
    EXPECT_NEAR(satellites.positions[5].x, -294.0f, 1e-3f);
    EXPECT_EQ(satellites.positions[1], D3DXVECTOR3(1, 2, 3));
}

TEST_F(SatelliteTest, DrawsActiveSatellitesInViewWithoutRotation) {
    satellites.device = m_device;
    ASSERT_EQ(satellites.Load("satellite.x"), S_OK);
    satellites.Clear();
    for (D3DXVECTOR3 &p : satellites.positions)
        p = D3DXVECTOR3(0, 0, 20);
    satellites.positions[2] = D3DXVECTOR3(0, 0, 6);
    satellites.active[2] = true;
    satellites.positions[6] = D3DXVECTOR3(900, 0, 20); // out of view
    satellites.active[6] = true;
    LookAlongZ();
    m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    m_device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    seams::StartDeviceCallLog();
    Begin();
    satellites.Render(&m_viewProjection);
    End("satellite");
    EXPECT_EQ(CountCalls("DrawIndexedPrimitive"), int(satellites.materialCount));
    EXPECT_EQ(satellites.translationMatrix._43, 6.0f);
    EXPECT_EQ(satellites.translationMatrix._11, 1.0f);
    satellites.ReleaseResources();
    const auto lit = LitPixels(10);
    // The body, 0.9 units wide and 6 units away, shows about 9 px across in the middle (the
    // thin panels are seen edge-on from here).
    ASSERT_GT(lit.count, 40);
    EXPECT_NEAR((lit.left + lit.right) / 2, 80, 4);
    EXPECT_NEAR((lit.top + lit.bottom) / 2, 60, 4);
    EXPECT_NEAR(lit.right - lit.left, 9, 4);
}

} // namespace
