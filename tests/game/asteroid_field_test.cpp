#include "game/asteroid_field.h"
#include "game/spaceship.h"

#include "platform/win32/random.h"
#include "world_device_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

std::vector<int> Draws(std::uint32_t state, int count) {
    seams::SetRandomState(state);
    std::vector<int> draws;
    for (int i = 0; i < count; ++i)
        draws.push_back(crt::rand());
    return draws;
}

// The generator has advanced exactly `count` draws since state 1.
void ExpectDrawsUsed(int count) {
    const int next = crt::rand();
    EXPECT_EQ(next, Draws(1, count + 1).back()) << "expected " << count << " draws";
}

float Length(const D3DXVECTOR3 &v) {
    return D3DXVec3Length(&v);
}

class AsteroidFieldTest : public ::testing::Test {
protected:
    void SetUp() override { seams::ResetAll(); }
    void TearDown() override { seams::ResetAll(); }
    AsteroidField field;
};

TEST_F(AsteroidFieldTest, WaveFieldPlacesBodiesOnTheSphereInDrawOrder) {
    const std::vector<int> d = Draws(1, 12);
    seams::SetRandomState(1);
    field.InitAttractField(); // the wave field must free every earlier body
    seams::SetRandomState(1);
    field.InitField(3);
    ExpectDrawsUsed(36);
    for (DWORD i = 0; i < field.GetMaxBodies(); ++i)
        EXPECT_EQ(field.bodies[i].active, i < 3 ? 1 : 0) << "slot " << i;
    for (DWORD i = 0; i < 3; ++i) {
        const AsteroidBody &b = field.bodies[i];
        EXPECT_NEAR(Length(b.position), 128.0f, 1e-3f);
        EXPECT_EQ(b.sizeClass, 1u);
        EXPECT_GE(b.mesh, 0);
        EXPECT_LT(b.mesh, 4);
        for (float v : {b.velocity.x, b.velocity.y, b.velocity.z}) {
            EXPECT_EQ(v, std::floor(v));
            EXPECT_GE(v, -25.0f);
            EXPECT_LE(v, 24.0f);
        }
        for (float a : {b.rotationAxis.x, b.rotationAxis.y, b.rotationAxis.z}) {
            EXPECT_GE(a, -0.25f);
            EXPECT_LE(a, 0.245f);
        }
    }
    // Slot 0 from the first twelve draws: direction z, y, x; velocity z, y, x; axis z, y, x;
    // mesh; angle; spin.
    const AsteroidBody &b = field.bodies[0];
    D3DXVECTOR3 dir(float((d[2] % 256 - 128) / 128.0), float((d[1] % 256 - 128) / 128.0),
                    float((d[0] % 256 - 128) / 128.0));
    D3DXVECTOR3 expected;
    D3DXVec3Normalize(&expected, &dir);
    expected *= 128.0f;
    EXPECT_EQ(b.position, expected);
    EXPECT_EQ(b.velocity,
              D3DXVECTOR3(float(d[5] % 50 - 25), float(d[4] % 50 - 25), float(d[3] % 50 - 25)));
    EXPECT_EQ(b.rotationAxis.z, float((d[6] % 100 - 50) / 200.0));
    EXPECT_EQ(b.rotationAxis.x, float((d[8] % 100 - 50) / 200.0));
    EXPECT_EQ(b.mesh, d[9] % 4);
    EXPECT_EQ(b.angle, float(d[10] % 6));
    EXPECT_EQ(b.spin, float((d[11] % 100 - 50) / 300.0));
}

TEST_F(AsteroidFieldTest, AttractFieldFillsSixtyFourBodiesAheadOfTheViewer) {
    const std::vector<int> d = Draws(1, 11);
    seams::SetRandomState(1);
    field.InitAttractField();
    ExpectDrawsUsed(704);
    for (DWORD i = 0; i < field.GetMaxBodies(); ++i) {
        const AsteroidBody &b = field.bodies[i];
        ASSERT_EQ(b.active, i < 64 ? 1 : 0) << "slot " << i;
        if (!b.active)
            continue;
        EXPECT_GE(b.position.x, -32.0f);
        EXPECT_LE(b.position.x, 31.0f);
        EXPECT_GE(b.position.y, -32.0f);
        EXPECT_LE(b.position.y, 31.0f);
        EXPECT_GE(b.position.z, 64.0f);
        EXPECT_LE(b.position.z, 319.0f);
        EXPECT_EQ(b.velocity.x, 0.0f);
        EXPECT_EQ(b.velocity.y, 0.0f);
        EXPECT_LE(b.velocity.z, -20.0f);
        EXPECT_GE(b.velocity.z, -69.0f);
        EXPECT_GE(b.sizeClass, 1u);
        EXPECT_LE(b.sizeClass, 5u);
    }
    const AsteroidBody &b = field.bodies[0];
    EXPECT_EQ(b.position,
              D3DXVECTOR3(float(d[2] % 64 - 32), float(d[1] % 64 - 32), float(d[0] % 256 + 64)));
    EXPECT_EQ(b.velocity.z, float(-(d[3] % 50 + 20)));
    EXPECT_EQ(b.mesh, d[7] % 4);
    EXPECT_EQ(b.sizeClass, DWORD(d[8] % 5 + 1));
    EXPECT_EQ(b.angle, float(d[9] % 6));
}

TEST_F(AsteroidFieldTest, AddBodyTakesTheFirstFreeSlotAndAFullPoolDropsThePiece) {
    field.InitField(5);
    field.bodies[2].active = 0;
    const std::vector<int> d = Draws(1, 9);
    seams::SetRandomState(1);
    field.AddBody(1.0f, 2.0f, 3.0f, 2);
    ExpectDrawsUsed(9);
    const AsteroidBody &b = field.bodies[2];
    EXPECT_EQ(b.active, 1);
    EXPECT_EQ(b.position, D3DXVECTOR3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(b.sizeClass, 2u);
    EXPECT_EQ(b.velocity,
              D3DXVECTOR3(float(d[2] % 50 - 25), float(d[1] % 50 - 25), float(d[0] % 50 - 25)));
    EXPECT_EQ(b.mesh, d[6] % 4);
    EXPECT_EQ(field.bodies[5].active, 0);

    for (AsteroidBody &body : field.bodies)
        body.active = 1;
    const AsteroidBody before = field.bodies[255];
    seams::SetRandomState(1);
    field.AddBody(9.0f, 9.0f, 9.0f, 3);
    ExpectDrawsUsed(0);
    EXPECT_EQ(field.bodies[255].position, before.position);
}

TEST_F(AsteroidFieldTest, OversizedWaveCountFillsThePoolOnly) {
    field.InitField(300);
    for (const AsteroidBody &b : field.bodies)
        EXPECT_EQ(b.active, 1);
}

TEST_F(AsteroidFieldTest, BodiesBeyondReachWrapToTheOppositeSideOfTheShip) {
    field.InitField(0);
    AsteroidBody &near = field.bodies[0];
    near = AsteroidBody{};
    near.active = 1;
    near.sizeClass = 1;
    near.position = D3DXVECTOR3(10.0f, 0.0f, 256.0f);
    AsteroidBody &far = field.bodies[1];
    far = near;
    far.position = D3DXVECTOR3(10.0f, 0.0f, 256.5f);

    EXPECT_TRUE(field.Update(0.5f, 10.0f, 0.0f, 0.0f));
    EXPECT_EQ(near.position, D3DXVECTOR3(10.0f, 0.0f, 256.0f));
    EXPECT_NEAR(far.position.z, -251.37f, 1e-3f);
    EXPECT_EQ(far.position.x, 10.0f);
}

TEST_F(AsteroidFieldTest, SpinWrapsTheAngleAndVelocityIsPerSecond) {
    field.InitField(0);
    AsteroidBody &b = field.bodies[0];
    b = AsteroidBody{};
    b.active = 1;
    b.sizeClass = 1;
    b.angle = 6.2f;
    b.spin = 0.16f;
    b.velocity = D3DXVECTOR3(2.0f, 0.0f, -4.0f);
    field.Update(0.25f, 0.0f, 0.0f, 0.0f);
    EXPECT_NEAR(b.angle, 0.0768f, 1e-4f);
    EXPECT_EQ(b.position, D3DXVECTOR3(0.5f, 0.0f, -1.0f));

    b.angle = 0.1f;
    b.spin = -0.16f;
    field.Update(0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_NEAR(b.angle, 6.2232f, 1e-4f);
}

TEST_F(AsteroidFieldTest, EmptyFieldReportsNoBodiesAndNoNearestDistance) {
    field.InitField(0);
    EXPECT_FALSE(field.Update(1.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(field.GetNearestDistance(0.0f, 0.0f, 0.0f), 10000.0f);

    field.AddBody(0.0f, 0.0f, 30.0f, 1);
    field.AddBody(0.0f, 40.0f, 0.0f, 1);
    EXPECT_FLOAT_EQ(field.GetNearestDistance(0.0f, 0.0f, 0.0f), 30.0f);
    field.bodies[0].active = 0;
    EXPECT_FLOAT_EQ(field.GetNearestDistance(0.0f, 0.0f, 0.0f), 40.0f);
}

TEST(InterceptPoint, LeadsAMovingTargetAndFallsBackToItsPosition) {
    const D3DXVECTOR3 shooter(0, 0, 0), target(0, 0, 100), still(0, 0, 0);
    const D3DXVECTOR3 shot(0, 0, 100), moving(10, 0, 0);
    EXPECT_EQ(ComputeInterceptPoint(shooter, shot, target, still, 6), target);
    EXPECT_EQ(ComputeInterceptPoint(shooter, D3DXVECTOR3(0, 0, 0), target, moving, 6), target);
    EXPECT_EQ(ComputeInterceptPoint(shooter, shot, target, moving, 0), target);
    // One step: 1 s of flight to the target, which has moved 10 units meanwhile.
    EXPECT_EQ(ComputeInterceptPoint(shooter, shot, target, moving, 1), D3DXVECTOR3(10, 0, 100));
    // Two steps: the flight to (10, 0, 100) takes a little longer.
    const D3DXVECTOR3 two = ComputeInterceptPoint(shooter, shot, target, moving, 2);
    EXPECT_NEAR(two.x, 10.0f * std::sqrt(10100.0f) / 100.0f, 1e-4f);
}

class AsteroidFieldDrawTest : public world_test::WorldDeviceTest {
protected:
    void SetUp() override {
        WorldDeviceTest::SetUp();
        field.device = m_device;
        field.LoadMeshes();
        field.InitField(0);
    }
    void TearDown() override {
        field.ReleaseMeshes();
        WorldDeviceTest::TearDown();
    }
    void Place(DWORD slot, D3DXVECTOR3 position, DWORD sizeClass) {
        AsteroidBody &b = field.bodies[slot];
        b = AsteroidBody{};
        b.active = 1;
        b.position = position;
        b.sizeClass = sizeClass;
        b.rotationAxis = D3DXVECTOR3(0.1f, 0.2f, 0.0f);
        b.angle = 1.0f;
        b.mesh = int(slot % 4);
    }
    int DrawCalls() {
        const auto calls = seams::DeviceCallTexts();
        return int(std::count_if(calls.begin(), calls.end(), [](const std::string &c) {
            return c.rfind("DrawIndexedPrimitive", 0) == 0;
        }));
    }
    AsteroidField field;
};

TEST_F(AsteroidFieldDrawTest, MeshesLoadInOrder) {
    for (MeshObj *m : field.bodyMeshes) {
        EXPECT_EQ(m->device, m_device);
        EXPECT_NE(m->mesh, nullptr);
    }
    EXPECT_NE(field.targetMark->mesh, nullptr);
    EXPECT_NE(field.leadMark->mesh, nullptr);
}

TEST_F(AsteroidFieldDrawTest, MarksStartAtThirtyTwoUnits) {
    LookAlongZ();
    D3DXMATRIX shipRotation;
    D3DXMatrixIdentity(&shipRotation);
    Place(0, D3DXVECTOR3(0, 0, 31.9f), 1);
    seams::StartDeviceCallLog();
    field.RenderTargetMarks(&m_viewProjection, 0.02f, 0, 0, 0, &shipRotation, 0.0f);
    const int tooNear = DrawCalls();
    seams::StopDeviceCallLog();
    EXPECT_EQ(tooNear, 0);

    field.bodies[0].position.z = 32.0f;
    seams::StartDeviceCallLog();
    field.RenderTargetMarks(&m_viewProjection, 0.02f, 0, 0, 0, &shipRotation, 0.0f);
    const int marked = DrawCalls();
    const int perMark = int(field.targetMark->materialCount + field.leadMark->materialCount);
    EXPECT_EQ(marked, perMark);
}

TEST_F(AsteroidFieldDrawTest, LeadMarkSitsWhereAShotWouldMeetTheBody) {
    LookAlongZ();
    D3DXMATRIX shipRotation;
    D3DXMatrixIdentity(&shipRotation);
    Place(0, D3DXVECTOR3(0, 0, 60), 1);
    field.bodies[0].velocity = D3DXVECTOR3(20, 0, 0);
    seams::StartDeviceCallLog();
    field.RenderTargetMarks(&m_viewProjection, 0.02f, 0, 0, 0, &shipRotation, 1.0f);
    // The last world transform is the lead mark's: ship rotation times its translation.
    std::string last;
    for (const std::string &call : seams::DeviceCallTexts())
        if (call.rfind("SetTransform(256,", 0) == 0)
            last = call;
    float m[16] = {};
    ASSERT_EQ(std::sscanf(last.c_str(),
                          "SetTransform(256, %f, %f, %f, %f, %f, %f, %f, %f, %f, %f, %f, %f, %f, "
                          "%f, %f, %f)",
                          &m[0], &m[1], &m[2], &m[3], &m[4], &m[5], &m[6], &m[7], &m[8], &m[9],
                          &m[10], &m[11], &m[12], &m[13], &m[14], &m[15]),
              16);
    // A shot from a ship at speed 1 flies at 150 units per second.
    const D3DXVECTOR3 lead = ComputeInterceptPoint(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 150),
                                                   D3DXVECTOR3(0, 0, 60), D3DXVECTOR3(20, 0, 0), 6);
    EXPECT_GT(lead.x, 7.0f);
    EXPECT_NEAR(m[12], lead.x, 1e-3f);
    EXPECT_NEAR(m[14], lead.z, 1e-3f);
}

TEST_F(AsteroidFieldDrawTest, MarksFrameADistantBody) {
    LookAlongZ();
    D3DXMATRIX shipRotation;
    D3DXMatrixIdentity(&shipRotation);
    Place(0, D3DXVECTOR3(0, 0, 40), 1);
    // The game's device states: trilinear filtering and two-coordinate texture transforms on
    // stage 0 (the device resources set them) and the additive-alpha blending the marks are
    // drawn with. The brackets' lines are 5 of 128 texels wide, so a 12-px mark sampled from the
    // top level alone (point, no mipmaps) misses them and shows nothing; the smaller levels
    // carry their alpha.
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    m_device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Begin();
    field.RenderTargetMarks(&m_viewProjection, 0.02f, 0, 0, 0, &shipRotation, 0.0f);
    End("asteroid_field_marks");
    // The bracket is 8 units across at 40 units, about 12 px, centred on the body.
    const auto lit = LitPixels();
    ASSERT_GT(lit.count, 20);
    EXPECT_NEAR((lit.left + lit.right) / 2, 80, 3);
    EXPECT_NEAR((lit.top + lit.bottom) / 2, 60, 3);
    EXPECT_NEAR(lit.right - lit.left, 12, 3);
    EXPECT_GT(lit.g, lit.b);
}

TEST_F(AsteroidFieldDrawTest, BodiesOutOfViewAreNotDrawn) {
    LookAlongZ();
    Place(0, D3DXVECTOR3(400, 0, 20), 1);
    Place(1, D3DXVECTOR3(0, 0, 20), 1);
    seams::StartDeviceCallLog();
    field.Render(&m_viewProjection);
    EXPECT_EQ(DrawCalls(), int(field.bodyMeshes[1]->materialCount));
}

TEST_F(AsteroidFieldDrawTest, DrawsBodiesScaledBySizeClass) {
    LookAlongZ();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // A large body on the left, a size-class-4 body (a quarter of its size) on the right.
    Place(0, D3DXVECTOR3(-10, 0, 30), 1);
    Place(1, D3DXVECTOR3(10, 0, 30), 4);
    Begin();
    field.Render(&m_viewProjection);
    End("asteroid_field_bodies");
    const auto left = LitPixels(30, 0, 0, kWidth / 2, kHeight);
    const auto right = LitPixels(30, kWidth / 2, 0, kWidth, kHeight);
    // Radius 4 at distance 30: 8 px of a 60-px half height; the small one 2 px.
    ASSERT_GT(left.count, 80);
    ASSERT_GT(right.count, 2);
    EXPECT_GT(left.count, right.count * 6);
    EXPECT_NEAR((left.left + left.right) / 2, 60, 4);
    EXPECT_NEAR((right.left + right.right) / 2, 100, 4);
    EXPECT_NEAR((left.top + left.bottom) / 2, 60, 4);
}

} // namespace
