#include "game/mars_ship.h"

#include "game/laser.h"
#include "game/spaceship.h"
#include "world_calls.h"
#include "world_device_fixture.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

// How many draws of the shared generator lie between two of its states.
int DrawsBetween(std::uint32_t before, std::uint32_t after) {
    for (int draws = 0; draws < 1000; ++draws, before = before * 214013u + 2531011u)
        if (before == after)
            return draws;
    return -1;
}

float Length(const D3DXVECTOR3 &v) {
    return D3DXVec3Length(&v);
}

class MarsShipTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        ships.Spawn(0);
        lasers.Update(0.1f); // every gun ready
        D3DXMatrixIdentity(&playerRotation);
    }
    // A ship at `position` whose nose (+z) is turned by `yaw` about the vertical: pi/2 faces +x.
    void Place(DWORD i, D3DXVECTOR3 position, float yaw, float speed = 0.0f) {
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXQuaternionRotationAxis(&ships.records[i].orientation, &up, yaw);
        ships.records[i].position = position;
        ships.records[i].speed = speed;
        ships.records[i].active = 1;
    }
    void Update(bool alive, D3DXVECTOR3 player = {0, 0, 0}, float playerSpeed = 0.0f) {
        ships.Update(1.0f / 30, player, &playerRotation, &lasers, nullptr, playerSpeed, 1.0f,
                     alive);
    }
    int ShotsOf(int gun) const {
        return int(std::count_if(std::begin(lasers.shots), std::end(lasers.shots),
                                 [&](const LaserShot &s) { return s.active && s.gun == gun; }));
    }
    MarsShip ships;
    Laser lasers;
    D3DXMATRIX playerRotation;
};

TEST_F(MarsShipTest, SpawnDrawsSevenNumbersPerShipAndNeverWritesPastTheRecords) {
    const std::uint32_t start = seams::RandomState();
    ships.Spawn(0);
    EXPECT_EQ(DrawsBetween(start, seams::RandomState()), 0);
    const float z = float(crt::rand() % 50 - 25), y = float(crt::rand() % 50 - 25),
                x = float(crt::rand() % 50 - 25);
    seams::SetRandomState(start);
    ships.Spawn(3);
    EXPECT_EQ(DrawsBetween(start, seams::RandomState()), 21);
    EXPECT_NEAR(ships.records[0].position.x * std::sqrt(x * x + y * y + z * z) / 240, x, 1e-3f);
    EXPECT_NEAR(Length(ships.records[2].position), 240.0f, 1e-3f);
    EXPECT_FALSE(ships.records[3].active);
    const std::uint32_t before = seams::RandomState();
    ships.Spawn(1000);
    EXPECT_EQ(DrawsBetween(before, seams::RandomState()), 56);
    EXPECT_TRUE(ships.records[7].active && ships.records[7].health == 1.0f);
}

TEST_F(MarsShipTest, FiresThroughItsOwnGunOnlyWhenAimedAtALivingPlayer) {
    // The player crosses along +x at 1 unit per update; a shot from 30 units away must lead it.
    D3DXMatrixRotationY(&playerRotation, kPi / 2);
    const D3DXVECTOR3 from(0, 0, -30);
    const D3DXVECTOR3 lead = ComputeInterceptPoint(from, {0, 0, 100}, {0, 0, 0}, {50, 0, 0}, 6);
    Place(2, from, std::atan2(lead.x - from.x, lead.z - from.z)); // nose on the lead point
    Place(5, from, 0.0f);                                         // nose on the player
    Place(6, {0, 0, 30}, 0.0f);                                   // the player behind it
    Update(true, {0, 0, 0}, 1.0f);
    EXPECT_EQ(ShotsOf(3), 1);
    EXPECT_EQ(ShotsOf(6) + ShotsOf(7), 0);
    EXPECT_LT(ships.records[2].speed, ships.records[5].speed) << "a shot costs speed";
    lasers.Update(0.1f);
    Update(false, {0, 0, 0}, 1.0f);
    EXPECT_EQ(ShotsOf(3), 1) << "no shots at a dead player";
}

TEST_F(MarsShipTest, ChasesThePointBehindThePlayerAndBreaksOffBeforeRamming) {
    Place(0, {60, 40, -220}, kPi / 2); // far off, flying across the player's track
    float nearest = 1e9f;
    for (int i = 0; i < 900; ++i) {
        Update(false);
        nearest = std::min(nearest, Length(ships.records[0].position - D3DXVECTOR3(0, 0, -64)));
    }
    EXPECT_LT(nearest, 40.0f);

    // The player a little right of the nose: the chase alone yaws right; close in, it breaks off.
    Place(0, {0, 0, -30}, 0.0f);
    Update(true, {5, 0, 0});
    EXPECT_TRUE(ships.yawRight && !ships.yawLeft);
    Place(0, {0, 0, -18}, 0.0f);
    Update(true, {5, 0, 0});
    EXPECT_TRUE(ships.rollLeft && ships.yawLeft && ships.pitchDown);
    EXPECT_FALSE(ships.rollRight || ships.yawRight || ships.pitchUp);
}

TEST_F(MarsShipTest, RollTrialStepsRightThenUp) {
    // A chase where the goal lies within rounding of the roll trial's distance: the trial point is
    // the ship's position stepped one unit right and then one unit up, and here it loses ground.
    const D3DXQUATERNION turn(-0x1.012476p-4f, 0x1.7e747cp-11f, 0x1.97c6d8p-6f, 0x1.fed4bcp-1f);
    D3DXMatrixRotationQuaternion(&ships.steerMatrix, &turn);
    ships.records[0].position = D3DXVECTOR3(0x1.710dc4p+6f, 0x1.66604cp+6f, -0x1.02e9p+3f);
    ships.Steer(0, D3DXVECTOR3(0x1.313d7p+7f, 0x1.5d0f88p+5f, 0x1.e4414p+6f), &playerRotation, 0.0f,
                1.0f, true);
    EXPECT_TRUE(ships.rollLeft);
    EXPECT_FALSE(ships.rollRight);
}

TEST_F(MarsShipTest, WrapsAroundThePlayerAndTakesBlasts) {
    EXPECT_EQ(ships.GetNearestDistance({0, 0, 0}), 10000.0f);
    Place(1, {300, 0, 0}, 0.0f);
    Place(4, {0, 0, 50}, 0.0f);
    Update(false);
    EXPECT_NEAR(ships.records[1].position.x, -294.0f, 1e-3f);
    EXPECT_FLOAT_EQ(ships.GetNearestDistance({0, 0, 0}), 50.0f);
    ships.records[4].active = 0;
    EXPECT_NEAR(ships.GetNearestDistance({0, 0, 0}), 294.0f, 1e-3f);

    EXPECT_FALSE(ships.Damage(1, {-294, 60, 0}, 1));
    EXPECT_FLOAT_EQ(ships.records[1].health, 1.0f - 4.0f / 64.0f * 0.5f);
    EXPECT_TRUE(ships.Damage(1, ships.records[1].position, 4));
    EXPECT_FALSE(ships.Damage(8, {0, 0, 0}, 1));
}

class MarsShipDrawTest : public world_test::WorldDeviceTest {};

TEST_F(MarsShipDrawTest, DrawsHullFlameAndMarksWithOneDrawPerShipInView) {
    MarsShip ships;
    MeshObj flame, targetMark, leadMark;
    MeshObj *meshes[4] = {&ships, &flame, &targetMark, &leadMark};
    const char *files[4] = {"marsship.x", "flare2.x", "targt.x", "targ2.x"};
    for (int i = 0; i < 4; ++i) {
        meshes[i]->device = m_device;
        ASSERT_EQ(meshes[i]->Load(files[i]), S_OK);
    }
    ships.flameMesh = &flame;
    ships.targetMarkMesh = &targetMark;
    ships.leadMarkMesh = &leadMark;
    // Flying away to the right at 16 units: the flame shows at the tail, the lead mark ahead.
    const D3DXVECTOR3 up(0, 1, 0);
    for (DWORD i : {0u, 3u}) {
        D3DXQuaternionRotationAxis(&ships.records[i].orientation, &up, kPi / 4);
        ships.records[i].speed = 0.3f;
        ships.records[i].active = 1;
    }
    ships.records[0].position = {0, 0, 16};
    ships.records[3].position = {900, 0, 16}; // out of view
    // A narrow lens so that the two-unit hull fills a good part of the frame.
    LookAlongZ();
    D3DXMATRIX view, projection;
    m_device->GetTransform(D3DTS_VIEW, &view);
    D3DXMatrixPerspectiveFovLH(&projection, kPi / 8, float(kWidth) / kHeight, 0.5f, 1000.f);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    m_viewProjection = view * projection;

    const std::uint32_t start = seams::RandomState();
    seams::StartDeviceCallLog();
    Begin();
    ships.Render(&m_viewProjection);
    EXPECT_EQ(DrawsBetween(start, seams::RandomState()), 1);
    // The cockpit view's mark states: additive alpha over everything.
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DXMATRIX playerRotation;
    ships.RenderTargetMarks(&m_viewProjection, 0, {0, 0, 0}, D3DXMatrixIdentity(&playerRotation),
                            0.0f);
    End("mars_ship");
    EXPECT_EQ(world_test::CountCalls("DrawIndexedPrimitive"), int(ships.materialCount) + 3);
    for (MeshObj *mesh : meshes)
        mesh->ReleaseResources();
    const auto lit = LitPixels();
    ASSERT_GT(lit.count, 150);
    EXPECT_NEAR((lit.top + lit.bottom) / 2, 60, 6);
    EXPECT_GT(lit.right, 80 + 25) << "the lead mark 1.4 units ahead, to the right";
    // The flame glows full red and orange left of the centre; the hull's rust stays far darker.
    int glowing = 0;
    for (int y = 50; y < 70; ++y)
        for (int x = 60; x < 80; ++x)
            glowing += At(x, y).r > 240 && At(x, y).g > 100;
    EXPECT_GT(glowing, 5);
}

} // namespace
