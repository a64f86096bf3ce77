#include "game/laser.h"

#include "world_device_fixture.h"

#include <algorithm>

namespace {

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

class LaserTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        // A resource load restarts the gates; no device is needed for the pool's behaviour.
        for (int gun = 0; gun < Laser::kGuns; ++gun) {
            laser.timeSinceShot[gun] = 0.0f;
            laser.muzzleSide[gun] = 1;
        }
    }
    Laser laser;
    D3DXMATRIX rotation = Identity();
};

TEST_F(LaserTest, GunsCoolDownSeparately) {
    EXPECT_FALSE(laser.Fire(0, 0, 0, &rotation, 0, 0)); // just loaded: not ready
    laser.Update(0.05f);
    EXPECT_FALSE(laser.Fire(0, 0, 0, &rotation, 0, 0));
    laser.Update(0.05f);
    EXPECT_TRUE(laser.Fire(0, 0, 0, &rotation, 0, 0));
    EXPECT_FALSE(laser.Fire(0, 0, 0, &rotation, 0, 0)); // no update between
    EXPECT_TRUE(laser.Fire(0, 0, 0, &rotation, 0, 1));  // gun 1 has its own gate
    laser.Update(0.1f);
    EXPECT_TRUE(laser.Fire(0, 0, 0, &rotation, 0, 0));
    EXPECT_EQ(std::count_if(std::begin(laser.shots), std::end(laser.shots),
                            [](const LaserShot &s) { return s.active == 1; }),
              3);
    // Clearing the pool leaves the gates alone.
    laser.Update(0.2f);
    laser.Clear();
    EXPECT_EQ(laser.shots[0].active, 0);
    EXPECT_TRUE(laser.Fire(0, 0, 0, &rotation, 0, 0));
    // Guns outside 0..15 have no gate and never fire.
    laser.Update(1.0f);
    EXPECT_FALSE(laser.Fire(0, 0, 0, &rotation, 0, 16));
    EXPECT_FALSE(laser.Fire(0, 0, 0, &rotation, 0, -1));
}

TEST_F(LaserTest, ShotsAlternateSidesAndFlyByTheShootersSpeed) {
    D3DXMATRIX turned; // the shooter faces +x: its nose is +x, its right side -z
    D3DXMatrixRotationY(&turned, 3.14159265f / 2);
    laser.Update(0.1f);
    ASSERT_TRUE(laser.Fire(10, 0, 0, &turned, 0.0f, 0));
    const LaserShot &first = laser.shots[0];
    const LaserShot &second = laser.shots[1];
    EXPECT_NEAR(first.position.x, 11.0f, 1e-5f);
    EXPECT_NEAR(first.position.z, -0.4f, 1e-5f);
    EXPECT_EQ(first.travelled, 0.0f);
    laser.Update(0.1f);
    EXPECT_NEAR(first.position.x, 21.0f, 1e-4f);
    ASSERT_TRUE(laser.Fire(10, 0, 0, &turned, 1.0f, 0));
    EXPECT_NEAR(second.position.x, 11.0f, 1e-5f);
    EXPECT_NEAR(second.position.z, 0.4f, 1e-5f);
    EXPECT_NEAR(first.speed, 100.0f, 1e-3f);
    EXPECT_NEAR(second.speed, 150.0f, 1e-3f);
    EXPECT_NEAR(second.velocity.x, 150.0f, 1e-3f);
    EXPECT_EQ(first.gun, 0);

    laser.Update(0.5f);
    EXPECT_NEAR(second.position.x, 11.0f + 75.0f, 1e-3f);
    EXPECT_NEAR(second.travelled, 75.0f, 1e-3f);
}

TEST_F(LaserTest, ShotsExpireTheUpdateAfterPassingTheirRange) {
    laser.Update(0.1f);
    ASSERT_TRUE(laser.Fire(0, 0, 0, &rotation, 0.0f, 0));
    LaserShot &shot = laser.shots[0];
    shot.travelled = 374.5f;
    laser.Update(0.1f); // 384.5: past the range, but judged before the move
    EXPECT_EQ(shot.active, 1);
    EXPECT_NEAR(shot.travelled, 384.5f, 1e-3f);
    laser.Update(0.01f);
    EXPECT_EQ(shot.active, 0);
}

TEST_F(LaserTest, AFullPoolReusesTheFarthestShot) {
    for (DWORD i = 0; i < laser.GetMaxShots(); ++i) {
        laser.shots[i].active = 1;
        laser.shots[i].travelled = 5.0f;
        laser.shots[i].gun = 3;
    }
    laser.Update(0.1f); // moves nothing: the shots have no velocity
    ASSERT_TRUE(laser.Fire(0, 0, 0, &rotation, 0.0f, 0));
    EXPECT_EQ(laser.shots[0].gun, 0) << "equal distances give way from slot 0";
    laser.shots[0].travelled = 5.0f;
    laser.shots[0].speed = 0.0f;
    laser.shots[0].velocity = D3DXVECTOR3(0, 0, 0);
    laser.shots[77].travelled = 9.0f;
    laser.shots[200].travelled = 9.0f;
    laser.Update(0.1f);
    ASSERT_TRUE(laser.Fire(0, 0, 0, &rotation, 0.0f, 0));
    EXPECT_EQ(laser.shots[77].gun, 0);
    EXPECT_EQ(laser.shots[77].travelled, 0.0f);
    EXPECT_EQ(laser.shots[200].gun, 3);
}

class LaserDrawTest : public world_test::WorldDeviceTest {};

TEST_F(LaserDrawTest, ShotsDrawWithTheirOwnersTexture) {
    Laser laser;
    laser.device = m_device;
    laser.LoadResources();
    ASSERT_NE(laser.mesh, nullptr);
    ASSERT_NE(laser.playerTexture, nullptr);
    ASSERT_NE(laser.marsTexture, nullptr);
    D3DXMATRIX rotation = Identity();
    laser.Update(0.1f);
    // The player's shot on the left, an enemy's on the right, one behind the viewer.
    ASSERT_TRUE(laser.Fire(-2, 0, -5, &rotation, 0.0f, 0));
    ASSERT_TRUE(laser.Fire(2, 0, -5, &rotation, 0.0f, 2));
    laser.Update(0.1f);
    // Far off to the side: outside the view test's margin.
    ASSERT_TRUE(laser.Fire(300, 0, 5, &rotation, 0.0f, 0));
    for (LaserShot &shot : laser.shots)
        shot.velocity = D3DXVECTOR3(0, 0, 0); // keep them where they were fired

    LookAlongZ();
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    seams::StartDeviceCallLog();
    Begin();
    laser.Render(&m_viewProjection, &rotation);
    End("laser_shots");
    const auto calls = seams::DeviceCallTexts();
    EXPECT_EQ(
        std::count_if(calls.begin(), calls.end(),
                      [](const std::string &c) { return c.rfind("DrawIndexedPrimitive", 0) == 0; }),
        2);
    laser.ReleaseResources();
    EXPECT_EQ(laser.mesh, nullptr);
    EXPECT_EQ(laser.playerTexture, nullptr);

    const auto left = LitPixels(30, 0, 0, kWidth / 2, kHeight);
    const auto right = LitPixels(30, kWidth / 2, 0, kWidth, kHeight);
    ASSERT_GT(left.count, 20);
    ASSERT_GT(right.count, 20);
    // The player's shot at x = -1.6, z = 6 after its first flight: 80 - 1.6 / 8 * 80 = 64 px.
    EXPECT_NEAR((left.left + left.right) / 2, 64, 5);
    EXPECT_NEAR((left.top + left.bottom) / 2, 60, 5);
    // Different textures: the two sprites do not share a colour balance.
    const double lr = double(left.r) / left.count, lb = double(left.b) / left.count;
    const double rr = double(right.r) / right.count, rb = double(right.b) / right.count;
    EXPECT_GT(std::abs((lr - lb) - (rr - rb)), 20.0);
}

} // namespace

TEST_F(LaserDrawTest, LoadingTwiceWithoutAReleaseLeaksNothing) {
    auto deviceReferences = [&] {
        m_device->AddRef();
        return m_device->Release();
    };
    const ULONG before = deviceReferences();
    Laser laser;
    laser.device = m_device;
    laser.LoadResources();
    ASSERT_NE(laser.mesh, nullptr);
    laser.LoadResources();
    ASSERT_NE(laser.mesh, nullptr);
    laser.ReleaseResources();
    EXPECT_EQ(deviceReferences(), before);
}
