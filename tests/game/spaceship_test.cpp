#include "game/spaceship.h"

#include "platform/win32/random.h"
#include "world_calls.h"
#include "world_device_fixture.h"

#include <cmath>

namespace {

using world_test::CountCalls;

int NextDrawAfter(std::uint32_t state, int draws) {
    seams::SetRandomState(state);
    for (int i = 0; i < draws; ++i)
        crt::rand();
    return crt::rand();
}

class SpaceshipTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        seams::SetRandomState(1);
        ship.Reset();
    }
    void TearDown() override { seams::ResetAll(); }
    Spaceship ship;
};

TEST_F(SpaceshipTest, ResetDrawsFourNumbersForAUnitOrientation) {
    seams::SetRandomState(1);
    const int w = crt::rand() % 3 - 1, z = crt::rand() % 3 - 1, y = crt::rand() % 3 - 1,
              x = crt::rand() % 3 - 1;
    ship.health = 0.1f;
    ship.speed = 3.0f;
    ship.SetPosition(4, 5, 6);
    seams::SetRandomState(1);
    ship.Reset();
    const int next = crt::rand();
    EXPECT_EQ(next, NextDrawAfter(1, 4));
    EXPECT_EQ(ship.GetPosition(), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(ship.health, 1.0f);
    EXPECT_EQ(ship.speed, 0.0f);
    const D3DXQUATERNION q = ship.GetOrientation();
    EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, 1e-6f);
    const float n = std::sqrt(float(w * w + x * x + y * y + z * z));
    if (n > 0) {
        EXPECT_FLOAT_EQ(q.w, w / n);
        EXPECT_FLOAT_EQ(q.x, x / n);
    }

    // A start whose four draws are all 0 has no direction: the ship faces about z instead.
    std::uint32_t state = 1;
    for (;; ++state) {
        seams::SetRandomState(state);
        bool allZero = true;
        for (int i = 0; i < 4; ++i)
            allZero = allZero && crt::rand() % 3 == 1;
        if (allZero)
            break;
    }
    seams::SetRandomState(state);
    ship.Reset();
    EXPECT_EQ(ship.GetOrientation(), D3DXQUATERNION(0, 0, 1, 0));
}

TEST_F(SpaceshipTest, BlastsHurtWithinSixtyFourUnits) {
    ship.SetPosition(0, 0, 0);
    EXPECT_FALSE(ship.Damage(D3DXVECTOR3(64, 0, 0), 1));
    EXPECT_EQ(ship.health, 1.0f);
    EXPECT_FALSE(ship.Damage(D3DXVECTOR3(0, 60, 0), 1));
    EXPECT_FLOAT_EQ(ship.health, 1.0f - 4.0f / 64.0f * 0.5f);
    ship.health = 1.0f;
    EXPECT_TRUE(ship.Damage(D3DXVECTOR3(0, 0, 0), 1));
    EXPECT_FLOAT_EQ(ship.health, 0.5f);
    EXPECT_TRUE(ship.Damage(D3DXVECTOR3(0, 0, 0), 4));
    EXPECT_FLOAT_EQ(ship.health, 0.375f);
    // Health is not clamped; a zero divisor counts as one.
    EXPECT_TRUE(ship.Damage(D3DXVECTOR3(0, 0, 0), 0));
    EXPECT_FLOAT_EQ(ship.health, -0.125f);
    EXPECT_FALSE(ship.Damage(D3DXVECTOR3(0, 0, 500), 1));
    EXPECT_FLOAT_EQ(ship.health, -0.125f);
}

TEST_F(SpaceshipTest, SpeedIsPerUpdateAndDampedByElapsedTime) {
    ship.SetOrientation(D3DXQUATERNION(0, 0, 0, 1)); // nose along +z
    ship.acceleration = 0.5f;
    ship.Update(0.1f, false, 1.0f, false);
    EXPECT_EQ(ship.GetPosition(), D3DXVECTOR3(0, 0, 0));
    EXPECT_FLOAT_EQ(ship.speed, 0.5f * 0.9f);
    EXPECT_FLOAT_EQ(ship.acceleration, 0.5f * 0.9f);
    ship.Update(0.1f, false, 1.0f, false);
    EXPECT_NEAR(ship.GetPosition().z, 0.45f, 1e-6f);
    ship.SlowDown();
    EXPECT_NEAR(ship.speed, (0.45f + 0.45f) * 0.9f - 0.01f, 1e-6f);
}

TEST_F(SpaceshipTest, BadlyDamagedShipsKeepTurning) {
    ship.SetOrientation(D3DXQUATERNION(0, 0, 0, 1));
    ship.health = 0.2f;
    ship.yawRate = ship.pitchRate = ship.rollRate = 1.0f;
    ship.Update(0.1f, false, 1.0f, false);
    EXPECT_FLOAT_EQ(ship.yawRate, 0.95f);
    EXPECT_FLOAT_EQ(ship.rollRate, 0.95f);
    ship.health = 0.21f;
    ship.pitchRate = 1.0f;
    ship.Update(0.1f, false, 1.0f, false);
    EXPECT_FLOAT_EQ(ship.pitchRate, 0.55f);
}

TEST_F(SpaceshipTest, InvertedPitchTurnsTheNoseTheOtherWay) {
    auto noseAfterPitch = [&](bool invert) {
        ship.SetOrientation(D3DXQUATERNION(0, 0, 0, 1));
        ship.yawRate = ship.rollRate = 0.0f;
        ship.pitchRate = 0.2f;
        ship.Update(0.0f, invert, 0.5f, false);
        D3DXMATRIX m;
        const D3DXQUATERNION q = ship.GetOrientation();
        D3DXMatrixRotationQuaternion(&m, &q);
        const D3DXVECTOR3 nose(0, 0, 1);
        D3DXVECTOR3 f;
        D3DXVec3TransformCoord(&f, &nose, &m);
        return f;
    };
    const D3DXVECTOR3 normal = noseAfterPitch(false), inverted = noseAfterPitch(true);
    // RotationX(+0.1) turns +z toward -y; the inverted stick toward +y.
    EXPECT_NEAR(normal.y, -std::sin(0.1f), 1e-5f);
    EXPECT_NEAR(inverted.y, std::sin(0.1f), 1e-5f);
}

TEST_F(SpaceshipTest, ShakeFollowsTheRunningTime) {
    ship.SetPosition(1, 2, 3);
    ship.Update(0.5f, false, 1.0f, false);
    const D3DXVECTOR3 shake = ship.GetShakeOffset();
    EXPECT_NEAR(shake.x, 1 + std::sin(1.23f * 0.5f) / 20, 1e-6f);
    EXPECT_NEAR(shake.z, 3 + std::sin(2.19f * 0.5f) / 20, 1e-6f);
    EXPECT_NEAR(ship.wobble.y, std::sin(1.55f * 0.5f) / 60, 1e-6f);
}

class SpaceshipDrawTest : public world_test::WorldDeviceTest {
protected:
    void SetUp() override {
        WorldDeviceTest::SetUp();
        ship.device = m_device;
        seams::SetRandomState(1);
        ship.Reset();
        ASSERT_EQ(ship.Load("ship.x"), S_OK);
        D3DSURFACE_DESC desc{};
        ship.LoadReflection(&desc);
        flame.device = m_device;
        ASSERT_EQ(flame.Load("flare.x"), S_OK);
        ship.flameMesh = &flame;
        ship.SetOrientation(D3DXQUATERNION(0, 0, 0, 1));
        ship.SetPosition(0, 0, 4);
        D3DXMatrixIdentity(&rotation);
    }
    void TearDown() override {
        flame.ReleaseResources();
        ship.ReleaseResources();
        ship.ReleaseReflection();
        EXPECT_EQ(ship.effect, nullptr);
        WorldDeviceTest::TearDown();
    }
    // Nose up, so that the viewer along +z sees the hull's whole top.
    void NoseUp() {
        D3DXQUATERNION q;
        const D3DXVECTOR3 axis(1, 0, 0);
        D3DXQuaternionRotationAxis(&q, &axis, -3.14159265f / 2);
        ship.SetOrientation(q);
        D3DXMatrixRotationQuaternion(&rotation, &q);
    }
    D3DXMATRIX View() {
        D3DXMATRIX v;
        m_device->GetTransform(D3DTS_VIEW, &v);
        return v;
    }
    Spaceship ship;
    MeshObj flame;
    D3DXMATRIX rotation;
};

TEST_F(SpaceshipDrawTest, HeadlightFollowsTheNose) {
    ship.SetHeadlight(true);
    D3DLIGHT8 light{};
    ASSERT_EQ(m_device->GetLight(2, &light), S_OK);
    BOOL enabled = FALSE;
    m_device->GetLightEnable(2, &enabled);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(light.Type, D3DLIGHT_SPOT);
    EXPECT_EQ(light.Range, 256.0f);
    EXPECT_FLOAT_EQ(light.Phi, 0.7f);
    EXPECT_FLOAT_EQ(light.Position.z, 5.0f);
    ship.speed = 2.0f;
    ship.Update(0.0f, false, 1.0f, true);
    ASSERT_EQ(m_device->GetLight(2, &light), S_OK);
    EXPECT_FLOAT_EQ(light.Position.z, 7.0f);
    EXPECT_FLOAT_EQ(light.Direction.z, 1.0f);
    EXPECT_EQ(light.Range, 256.0f);
    ship.SetHeadlight(false);
    m_device->GetLightEnable(2, &enabled);
    EXPECT_FALSE(enabled);
}

TEST_F(SpaceshipDrawTest, PlainLookDrawsTheHullAndTwoFlames) {
    LookAlongZ();
    NoseUp();
    ship.speed = 0.5f;
    const D3DXMATRIX view = View();
    D3DXMATRIX proj;
    m_device->GetTransform(D3DTS_PROJECTION, &proj);
    seams::SetRandomState(1);
    seams::StartDeviceCallLog();
    Begin();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    ship.Render(&view, &proj, &rotation, false);
    End("spaceship_plain");
    EXPECT_EQ(CountCalls("DrawIndexedPrimitive"), 3);
    EXPECT_EQ(CountCalls("SetTransform(16,"), 0);
    const int next = crt::rand();
    EXPECT_EQ(next, NextDrawAfter(1, 2)) << "one draw per flame";
    const auto lit = LitPixels();
    // The hull (radius under 0.95) at 4 units: at most about 30 px across.
    ASSERT_GT(lit.count, 100);
    EXPECT_NEAR((lit.left + lit.right) / 2, 80, 6);
    EXPECT_NEAR((lit.top + lit.bottom) / 2, 60, 10);
    EXPECT_LT(lit.right - lit.left, 40);
}

TEST_F(SpaceshipDrawTest, ReflectiveLookDrawsThroughTheEffectWhenTheCubeTextureLoaded) {
    ASSERT_NE(ship.effect, nullptr);
    ASSERT_NE(ship.reflectionMesh, nullptr);
    LookAlongZ();
    NoseUp();
    const D3DXMATRIX view = View();
    D3DXMATRIX proj;
    m_device->GetTransform(D3DTS_PROJECTION, &proj);
    seams::StartDeviceCallLog();
    Begin();
    ship.Render(&view, &proj, &rotation, true);
    End("spaceship_reflective");
    if (!ship.cubeTexture) {
        // Without the cube texture only the plain look exists.
        EXPECT_EQ(CountCalls("SetTransform(16,"), 0);
        return;
    }
    EXPECT_EQ(CountCalls("SetTransform(16,"), 2);
    const std::string reflective = "DrawIndexedPrimitive(4, 0, " +
                                   std::to_string(ship.reflectionMesh->GetNumVertices()) + ", 0, " +
                                   std::to_string(ship.reflectionMesh->GetNumFaces()) + ")";
    EXPECT_TRUE(world_test::Logged(reflective));
    // The hull shows the dark sky it mirrors: faint, but covering the hull's shape.
    const auto chrome = LitPixels(5);
    EXPECT_GT(chrome.count, 100);
    EXPECT_NEAR((chrome.left + chrome.right) / 2, 80, 6);

    // With the cube texture gone the reflection option falls back to the plain look.
    ship.cubeTexture->Release();
    ship.cubeTexture = nullptr;
    seams::StopDeviceCallLog();
    seams::StartDeviceCallLog();
    Begin();
    ship.Render(&view, &proj, &rotation, true);
    End("spaceship_no_cube");
    EXPECT_EQ(CountCalls("SetTransform(16,"), 0);
    // The hull and two flames, which at rest have size 0.
    EXPECT_EQ(CountCalls("DrawIndexedPrimitive"), 3);
}

} // namespace
