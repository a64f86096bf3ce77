#include "game/mars_ship.h"

#include "game/laser.h"
#include "game/spaceship.h"
#include "platform/win32/random.h"
#include "world_calls.h"
#include "world_device_fixture.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kStep = 1.0f / 30.0f;
constexpr float kPi = 3.14159265f;

// How many draws of the shared generator lie between two of its states.
int DrawsBetween(std::uint32_t before, std::uint32_t after) {
    for (int draws = 0; draws < 10000; ++draws, before = before * 214013u + 2531011u)
        if (before == after)
            return draws;
    return -1;
}

// Nose along +z turned by `yaw` radians about the vertical: 0 faces +z, pi/2 faces +x.
D3DXQUATERNION Facing(float yaw) {
    D3DXQUATERNION q;
    const D3DXVECTOR3 up(0, 1, 0);
    return *D3DXQuaternionRotationAxis(&q, &up, yaw);
}

float Length(const D3DXVECTOR3 &v) {
    return D3DXVec3Length(&v);
}

class MarsShipTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        seams::SetRandomState(1);
        ships.Spawn(0);
        lasers.Update(0.1f); // every gun ready
        D3DXMatrixIdentity(&playerRotation);
    }
    void TearDown() override { seams::ResetAll(); }

    void Place(DWORD i, D3DXVECTOR3 position, float yaw, float speed = 0.0f) {
        ships.records[i].active = 1;
        ships.records[i].position = position;
        ships.records[i].orientation = Facing(yaw);
        ships.records[i].speed = speed;
    }
    void Update(bool alive = true, D3DXVECTOR3 player = {0, 0, 0}, float playerSpeed = 0.0f) {
        ships.Update(kStep, player, &playerRotation, &lasers, nullptr, playerSpeed, 1.0f, alive);
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

    const int z = crt::rand() % 50 - 25, y = crt::rand() % 50 - 25, x = crt::rand() % 50 - 25;
    seams::SetRandomState(start);
    ships.Spawn(3);
    EXPECT_EQ(DrawsBetween(start, seams::RandomState()), 21);
    const D3DXVECTOR3 direction{float(x), float(y), float(z)};
    D3DXVECTOR3 expected;
    D3DXVec3Normalize(&expected, &direction);
    EXPECT_EQ(ships.records[0].position, expected * 240.0f);
    for (DWORD i = 0; i < 3; ++i) {
        EXPECT_TRUE(ships.records[i].active);
        EXPECT_NEAR(Length(ships.records[i].position), 240.0f, 1e-3f);
        const D3DXQUATERNION q = ships.records[i].orientation;
        EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, 1e-6f);
    }
    EXPECT_FALSE(ships.records[3].active);

    const std::uint32_t before = seams::RandomState();
    ships.Spawn(1000);
    EXPECT_EQ(DrawsBetween(before, seams::RandomState()), 56);
    for (const MarsShipRecord &ship : ships.records)
        EXPECT_TRUE(ship.active && ship.health == 1.0f && ship.speed == 0.0f);
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
    EXPECT_EQ(ShotsOf(6), 0);
    EXPECT_EQ(ShotsOf(7), 0);
    // Each shot costs the shooter a little speed.
    EXPECT_LT(ships.records[2].speed, ships.records[5].speed);

    lasers.Update(0.1f);
    Update(false, {0, 0, 0}, 1.0f);
    EXPECT_EQ(ShotsOf(3), 1);
    EXPECT_FALSE(ships.fire);
}

TEST_F(MarsShipTest, ChasesThePointBehindThePlayer) {
    Place(0, {60, 40, -220}, kPi / 2); // far off, flying across the player's track
    const D3DXVECTOR3 station(0, 0, -64);
    const float start = Length(ships.records[0].position - station);
    float nearest = start;
    for (int i = 0; i < 30 * 30; ++i) {
        Update(false);
        nearest = std::min(nearest, Length(ships.records[0].position - station));
    }
    EXPECT_LT(nearest, 40.0f) << "from " << start;
}

TEST_F(MarsShipTest, BreaksOffBeforeRammingThePlayer) {
    // The player a little right of the nose: the chase alone would yaw right.
    Place(0, {0, 0, -30}, 0.0f);
    Update(true, {5, 0, 0});
    EXPECT_TRUE(ships.yawRight);
    EXPECT_FALSE(ships.yawLeft);

    Place(0, {0, 0, -18}, 0.0f);
    Update(true, {5, 0, 0});
    EXPECT_TRUE(ships.rollLeft && ships.yawLeft && ships.pitchDown);
    EXPECT_FALSE(ships.rollRight || ships.yawRight || ships.pitchUp);
}

TEST_F(MarsShipTest, BlastsWrapAndTheNearestShip) {
    EXPECT_EQ(ships.GetNearestDistance({0, 0, 0}), 10000.0f);
    Place(1, {300, 0, 0}, 0.0f);
    Place(4, {0, 0, 50}, 0.0f);
    Update(false);
    EXPECT_NEAR(ships.records[1].position.x, -294.0f, 1e-3f);
    EXPECT_FLOAT_EQ(ships.GetNearestDistance({0, 0, 0}), 50.0f);
    ships.records[4].active = 0;
    EXPECT_NEAR(ships.GetNearestDistance({0, 0, 0}), 294.0f, 1e-3f);

    ships.records[1].position = {0, 0, 0};
    EXPECT_FALSE(ships.Damage(1, {64, 0, 0}, 1));
    EXPECT_EQ(ships.records[1].health, 1.0f);
    EXPECT_FALSE(ships.Damage(1, {0, 60, 0}, 1));
    EXPECT_FLOAT_EQ(ships.records[1].health, 1.0f - 4.0f / 64.0f * 0.5f);
    ships.records[1].health = 1.0f;
    EXPECT_TRUE(ships.Damage(1, {0, 0, 0}, 4));
    EXPECT_FLOAT_EQ(ships.records[1].health, 0.875f);
    EXPECT_FALSE(ships.Damage(8, {0, 0, 0}, 1));
}

class MarsShipDrawTest : public world_test::WorldDeviceTest {
protected:
    void SetUp() override {
        WorldDeviceTest::SetUp();
        for (MeshObj *mesh : {static_cast<MeshObj *>(&ships), &flame, &targetMark, &leadMark})
            mesh->device = m_device;
        ASSERT_EQ(ships.Load("marsship.x"), S_OK);
        ASSERT_EQ(flame.Load("flare2.x"), S_OK);
        ASSERT_EQ(targetMark.Load("targt.x"), S_OK);
        ASSERT_EQ(leadMark.Load("targ2.x"), S_OK);
        ships.flameMesh = &flame;
        ships.targetMarkMesh = &targetMark;
        ships.leadMarkMesh = &leadMark;
        ships.Spawn(0);
    }
    void TearDown() override {
        for (MeshObj *mesh : {static_cast<MeshObj *>(&ships), &flame, &targetMark, &leadMark})
            mesh->ReleaseResources();
        WorldDeviceTest::TearDown();
    }
    MarsShip ships;
    MeshObj flame, targetMark, leadMark;
};

TEST_F(MarsShipDrawTest, DrawsHullFlameAndMarksWithOneDrawPerShipInView) {
    // Flying away to the right: the flame shows at the tail, the lead mark ahead to the right.
    for (DWORD i : {0u, 3u, 7u}) {
        ships.records[i].active = 1;
        ships.records[i].orientation = Facing(kPi / 4);
        ships.records[i].speed = 0.3f;
    }
    ships.records[0].position = {0, 0, 16};
    ships.records[3].position = {900, 0, 16}; // far out of view
    ships.records[7].position = {0, 0, 10};
    ships.records[7].active = 0;
    // A narrow lens so that the two-unit hull fills a good part of the frame, lit from the eye.
    LookAlongZ();
    D3DXMATRIX view, projection;
    m_device->GetTransform(D3DTS_VIEW, &view);
    D3DXMatrixPerspectiveFovLH(&projection, kPi / 8, float(kWidth) / kHeight, 0.5f, 1000.f);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    m_viewProjection = view * projection;
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    m_device->SetLight(0, &light);
    m_device->LightEnable(0, TRUE);
    m_device->SetRenderState(D3DRS_LIGHTING, TRUE);

    const std::uint32_t start = seams::RandomState();
    seams::StartDeviceCallLog();
    Begin();
    ships.Render(&m_viewProjection);
    EXPECT_EQ(DrawsBetween(start, seams::RandomState()), 1);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DXMATRIX playerRotation;
    D3DXMatrixIdentity(&playerRotation);
    ships.RenderTargetMarks(&m_viewProjection, kStep, {0, 0, 0}, &playerRotation, 0.0f);
    End("mars_ship");
    EXPECT_EQ(world_test::CountCalls("DrawIndexedPrimitive"), int(ships.materialCount) + 1 + 2);
    const auto lit = LitPixels();
    ASSERT_GT(lit.count, 150);
    EXPECT_NEAR((lit.top + lit.bottom) / 2, 60, 6);
    // The lead point lies 1.4 units ahead of the ship, to its right on the screen.
    EXPECT_GT(lit.right, 80 + 25);
    // The flame glows full red and orange at the tail, left of the centre: the hull's rust and
    // slits stay far darker in red.
    int flame = 0;
    for (int y = 50; y < 70; ++y)
        for (int x = 60; x < 80; ++x)
            flame += At(x, y).r > 240 && At(x, y).g > 100;
    EXPECT_GT(flame, 5);
}

} // namespace
