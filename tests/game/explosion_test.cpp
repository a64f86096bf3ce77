// The explosion pool, its timing, the view test, and blasts drawn with the generated media.
#include "game/age_grey.h"
#include "game/explosion.h"
#include "game/is_in_view.h"

#include "render_fixture.h"

#include "platform/win32/random.h"

#include <cmath>
#include <limits>
#include <string>

namespace {

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

int LiveCount(const Explosion &pool) {
    int live = 0;
    for (const ExplosionRecord &slot : pool.explosions)
        live += slot.active == 1;
    return live;
}

} // namespace

TEST(Explosion, AddTakesTheLowestFreeSlotWithOneRandomDraw) {
    seams::SetRandomState(1);
    Explosion pool;
    pool.Add(1, 2, 3, 2, true);
    const ExplosionRecord &first = pool.explosions[0];
    EXPECT_EQ(first.active, 1);
    EXPECT_TRUE(first.shockWave);
    EXPECT_EQ(first.age, 0.0f);
    EXPECT_EQ(first.position, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(first.sizeClass, 2);
    seams::SetRandomState(1);
    EXPECT_EQ(first.rotation, static_cast<float>(crt::rand() % 6));
}

TEST(Explosion, FullPoolDropsTheBlastWithoutDrawingAndReusesTheFirstFreedSlot) {
    seams::SetRandomState(1);
    Explosion pool;
    for (DWORD i = 0; i < Explosion::kMaxExplosions; ++i)
        pool.Add(static_cast<float>(i), 0, 0, 1, false);
    const int next = crt::rand();
    seams::SetRandomState(1);
    for (DWORD i = 0; i < Explosion::kMaxExplosions; ++i)
        crt::rand();
    pool.Add(99, 0, 0, 1, false);
    EXPECT_EQ(crt::rand(), next) << "a dropped blast drew a random number";
    EXPECT_EQ(LiveCount(pool), 32);
    for (const ExplosionRecord &slot : pool.explosions)
        EXPECT_NE(slot.position.x, 99.0f);

    pool.explosions[5].active = 0;
    pool.explosions[9].active = 0;
    pool.Add(77, 0, 0, 3, false);
    EXPECT_EQ(pool.explosions[5].position.x, 77.0f);
    EXPECT_EQ(pool.explosions[9].active, 0);
}

TEST(Explosion, LivesUntilItsAgePassesTwoSeconds) {
    Explosion pool;
    pool.Add(0, 0, 0, 1, false);
    pool.Update(1.5f);
    pool.Update(0.5f);
    EXPECT_EQ(pool.explosions[0].age, 2.0f);
    EXPECT_EQ(pool.explosions[0].active, 1) << "exactly two seconds is still live";
    pool.Update(0.001f);
    EXPECT_EQ(pool.explosions[0].active, 0);
    // A freed slot no longer ages.
    const float age = pool.explosions[0].age;
    pool.Update(1.0f);
    EXPECT_EQ(pool.explosions[0].age, age);
}

TEST(Explosion, ClearFreesEverySlot) {
    Explosion pool;
    for (int i = 0; i < 10; ++i)
        pool.Add(0, 0, 0, 1, true);
    pool.Clear();
    EXPECT_EQ(LiveCount(pool), 0);
}

TEST(Explosion, FrameAndGreyFollowTheAge) {
    EXPECT_EQ(Explosion::FrameForAge(0.0f), 0);
    EXPECT_EQ(Explosion::FrameForAge(1.0f), 30);
    EXPECT_EQ(Explosion::FrameForAge(1.99f), 59);
    EXPECT_EQ(Explosion::FrameForAge(2.05f), 59);
    EXPECT_EQ(Explosion::FrameForAge(-1.0f), 0);
    EXPECT_EQ(Explosion::FrameForAge(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(Explosion::FrameForAge(1e30f), 59);
    EXPECT_EQ(GreyForAge(0.0f), 255);
    EXPECT_EQ(GreyForAge(0.5f), 191);
    EXPECT_EQ(GreyForAge(2.0f), 0);
    EXPECT_EQ(GreyForAge(-3.0f), 255);
}

TEST(IsInView, StrictBoundsAndNothingBehindTheViewer) {
    // With the identity as view-projection the point is its own clip position.
    const D3DXMATRIX identity = Identity();
    D3DXVECTOR3 p(0, 0, 0.5f);
    EXPECT_TRUE(IsInView(&p, &identity, 0.0f));
    // At z 0.5 and radius 1 the margin is 1.5: the edge lies at 2.5.
    p = D3DXVECTOR3(2.5f, 0, 0.5f);
    EXPECT_FALSE(IsInView(&p, &identity, 1.0f));
    p = D3DXVECTOR3(2.49f, -2.49f, 0.5f);
    EXPECT_TRUE(IsInView(&p, &identity, 1.0f));
    p = D3DXVECTOR3(0, 2.5f, 0.5f);
    EXPECT_FALSE(IsInView(&p, &identity, 1.0f));
    p = D3DXVECTOR3(0, 0, 0.0f);
    EXPECT_FALSE(IsInView(&p, &identity, 100.0f));
    p = D3DXVECTOR3(0, 0, -0.1f);
    EXPECT_FALSE(IsInView(&p, &identity, 1000.0f));
    // Beyond the far plane still counts while z stays positive; the margin vanishes at z 1.
    p = D3DXVECTOR3(0.9f, 0, 5.0f);
    EXPECT_TRUE(IsInView(&p, &identity, 0.0f));
    p = D3DXVECTOR3(1.0f, 0, 1.0f);
    EXPECT_FALSE(IsInView(&p, &identity, 50.0f));
    p = D3DXVECTOR3(std::numeric_limits<float>::quiet_NaN(), 0, 0.5f);
    EXPECT_FALSE(IsInView(&p, &identity, 1.0f));
}

TEST(IsInView, UsesTheViewProjectionAndTheRadius) {
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2.0f, 1.0f, 1.0f, 100.0f);
    D3DXVECTOR3 ahead(0, 0, 10), behind(0, 0, -10), wide(30, 0, 10);
    EXPECT_TRUE(IsInView(&ahead, &projection, 0.1f));
    EXPECT_FALSE(IsInView(&behind, &projection, 1000.0f));
    EXPECT_FALSE(IsInView(&wide, &projection, 0.1f));
    EXPECT_TRUE(IsInView(&wide, &projection, 100.0f));
}

class ExplosionRender : public game_test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure())
            return;
        m_pool.device = m_device;
        m_pool.LoadResources();
        LookAlongZ();
        // The renderer's baseline for blasts: unlit, additive colour, depth test without writes.
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR);
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    }
    void TearDown() override {
        m_pool.ReleaseResources();
        RenderTest::TearDown();
    }

    void Draw(const std::string &name) {
        Begin();
        const D3DXMATRIX orientation = Identity();
        m_pool.Render(&m_viewProjection, &orientation);
        End(name);
    }

    // Translations of the world transforms set while drawing.
    std::vector<D3DXVECTOR3> WorldPositions() {
        std::vector<D3DXVECTOR3> positions;
        for (const d3d8::DeviceCall &call : seams::DeviceCalls())
            if (call.method == "SetTransform" && call.arguments.size() == 17 &&
                call.arguments[0] == std::to_string(static_cast<int>(D3DTS_WORLD)))
                positions.emplace_back(std::stof(call.arguments[13]), std::stof(call.arguments[14]),
                                       std::stof(call.arguments[15]));
        return positions;
    }

    Explosion m_pool;
};

TEST_F(ExplosionRender, LoadsEveryFrameAndTheRing) {
    ASSERT_NE(m_pool.mesh, nullptr);
    ASSERT_NE(m_pool.frameTextures, nullptr);
    for (int i = 0; i < Explosion::kFrameCount; ++i)
        EXPECT_NE(m_pool.frameTextures[i], nullptr) << "frame " << i;
    EXPECT_NE(m_pool.shockWaveTexture, nullptr);
    m_pool.ReleaseResources();
    EXPECT_EQ(m_pool.mesh, nullptr);
    EXPECT_EQ(m_pool.frameTextures, nullptr);
    m_pool.ReleaseResources(); // twice is harmless
}

TEST_F(ExplosionRender, FireballFillsItsQuadAtTheBlast) {
    // A class-1 sprite is 32 x 24 units; at 40 units with a 90-degree view its quad is 96 pixels
    // wide, and the young fire fills a part of it.
    m_pool.Add(0, 0, 40, 1, false);
    m_pool.explosions[0].rotation = 0.0f;
    m_pool.Update(0.4f);
    Draw("explosion-fireball");
    const game_test::BrightArea fire = Bright();
    ASSERT_GT(fire.count, 1000);
    EXPECT_NEAR(fire.CentreX(), kWidth / 2.0, 20);
    EXPECT_NEAR(fire.CentreY(), kHeight / 2.0, 20);
    EXPECT_LE(fire.Width(), 96);
    EXPECT_GT(fire.Width(), 20);
    EXPECT_GT(fire.r, fire.b) << "the fireball is warm";
    const std::uint8_t *corner = At(2, 2);
    EXPECT_LT(corner[0] + corner[1] + corner[2], 30);
}

TEST_F(ExplosionRender, SmallerClassDrawsSmaller) {
    m_pool.Add(-10, 0, 40, 1, false);
    m_pool.Add(10, 0, 40, 4, false);
    m_pool.explosions[0].rotation = m_pool.explosions[1].rotation = 0.0f;
    m_pool.Update(0.4f);
    Draw("explosion-two-classes");
    // Split the frame at the middle and compare the halves' bright areas.
    int left = 0, right = 0;
    for (int y = 0; y < static_cast<int>(kHeight); ++y)
        for (int x = 0; x < static_cast<int>(kWidth); ++x) {
            const std::uint8_t *p = At(x, y);
            if (std::max({p[0], p[1], p[2]}) > 40)
                (x < static_cast<int>(kWidth) / 2 ? left : right)++;
        }
    EXPECT_GT(left, 4 * right);
    EXPECT_GT(right, 20);
}

TEST_F(ExplosionRender, RingGrowsAroundItsOwnBlast) {
    // Two blasts: the first's sprite is far out of view to the side; only its ring reaches in.
    m_pool.Add(-10, 0, 60, 1, false);
    m_pool.Add(200, 0, 60, 1, true);
    m_pool.Update(0.5f);
    seams::StartDeviceCallLog();
    Draw("explosion-ring");
    const std::vector<D3DXVECTOR3> positions = WorldPositions();
    ASSERT_EQ(positions.size(), 2u) << "sprite of the first blast, ring of the second";
    EXPECT_EQ(positions[0], D3DXVECTOR3(-10, 0, 60));
    EXPECT_EQ(positions[1], D3DXVECTOR3(200, 0, 60)) << "the ring is centred on its own blast";
    bool greySet = false;
    for (const std::string &text : seams::DeviceCallTexts())
        greySet |= text == "SetRenderState(60, " + std::to_string(0xBFBFBF) + ")";
    EXPECT_TRUE(greySet) << "ring grey 191 at age 0.5";
}

TEST_F(ExplosionRender, WithoutMediaNothingIsDrawnAndNothingFails) {
    m_pool.ReleaseResources();
    std::filesystem::current_path(game_test::BinaryDir());
    m_pool.LoadResources();
    EXPECT_EQ(m_pool.mesh, nullptr);
    EXPECT_EQ(m_pool.shockWaveTexture, nullptr);
    m_pool.Add(0, 0, 40, 1, true);
    Draw("explosion-no-media");
    EXPECT_EQ(Bright().count, 0);
}

TEST_F(ExplosionRender, RingSeenFromAboveHasItsRadius) {
    // Looking down on a class-4 blast at age 0.5: ring radius 20 units, the sprite edge-on.
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye(0, 100, 60), at(0, 0, 60), up(0, 0, 1);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
    m_viewProjection = view * projection;
    m_device->SetTransform(D3DTS_VIEW, &view);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    m_pool.Add(0, 0, 60, 4, true);
    m_pool.Update(0.5f);
    Draw("explosion-ring-from-above");
    // 40 units across at 100 units with a visible height of 200 units: 48 pixels.
    const game_test::BrightArea ring = Bright(30);
    ASSERT_GT(ring.count, 40);
    EXPECT_NEAR(ring.Width(), 48, 8);
    EXPECT_NEAR(ring.Height(), 48, 8);
    EXPECT_NEAR(ring.CentreX(), kWidth / 2.0, 4);
    EXPECT_NEAR(ring.CentreY(), kHeight / 2.0, 4);
    EXPECT_GE(ring.b, ring.r) << "the ring is blue-white";
}
