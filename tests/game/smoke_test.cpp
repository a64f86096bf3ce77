// The smoke pool: adding, drifting per update, ageing out, and puffs drawn with the media.
#include "game/smoke.h"

#include "render_fixture.h"

#include "platform/win32/random.h"

#include <cmath>

namespace {

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

int LiveCount(const Smoke &smoke) {
    int live = 0;
    for (const SmokePuff &puff : smoke.puffs)
        live += puff.active;
    return live;
}

} // namespace

TEST(Smoke, AddSetsEveryFieldAlongTheEmittersForwardAxis) {
    seams::SetRandomState(1);
    Smoke smoke;
    EXPECT_EQ(smoke.GetMax(), 128u);
    EXPECT_EQ(LiveCount(smoke), 0);
    D3DXMATRIX turned;
    D3DXMatrixRotationY(&turned, 3.14159265f / 2.0f); // forward becomes +x
    smoke.Add(1, 2, 3, &turned, 0.5f);
    const SmokePuff &puff = smoke.puffs[0];
    EXPECT_EQ(puff.active, 1);
    EXPECT_EQ(puff.age, 0.0f);
    EXPECT_EQ(puff.position, D3DXVECTOR3(1, 2, 3));
    EXPECT_NEAR(puff.velocity.x, 0.5f, 1e-6f);
    EXPECT_NEAR(puff.velocity.z, 0.0f, 1e-6f);
    seams::SetRandomState(1);
    EXPECT_EQ(puff.rotation, static_cast<float>(crt::rand() % 31) / 5.0f);
}

TEST(Smoke, FullPoolDropsThePuffWithoutDrawing) {
    seams::SetRandomState(1);
    Smoke smoke;
    const D3DXMATRIX identity = Identity();
    for (DWORD i = 0; i < Smoke::kMaxPuffs; ++i)
        smoke.Add(static_cast<float>(i), 0, 0, &identity, 0.0f);
    const int next = crt::rand();
    seams::SetRandomState(1);
    for (DWORD i = 0; i < Smoke::kMaxPuffs; ++i)
        crt::rand();
    smoke.Add(-1, 0, 0, &identity, 0.0f);
    EXPECT_EQ(crt::rand(), next);
    EXPECT_EQ(LiveCount(smoke), 128);
    smoke.puffs[40].active = 0;
    smoke.Add(-1, 0, 0, &identity, 0.0f);
    EXPECT_EQ(smoke.puffs[40].position.x, -1.0f);
}

TEST(Smoke, MovesPerUpdateAndSlowsWhileAlive) {
    Smoke smoke;
    const D3DXMATRIX identity = Identity();
    smoke.Add(0, 0, 0, &identity, 1.0f);
    // Movement is per update: a short and a long frame move the puff the same distance.
    smoke.Update(0.001f);
    EXPECT_FLOAT_EQ(smoke.puffs[0].position.z, 1.0f);
    smoke.Update(0.5f);
    EXPECT_FLOAT_EQ(smoke.puffs[0].position.z, 1.995f);
    for (int i = 0; i < 10; ++i)
        smoke.Update(0.01f);
    EXPECT_NEAR(smoke.puffs[0].velocity.z, std::pow(0.995f, 12), 1e-5f);
}

TEST(Smoke, StillPuffVanishesOnceItsAgePassesTwoSeconds) {
    Smoke smoke;
    const D3DXMATRIX identity = Identity();
    smoke.Add(4, 5, 6, &identity, 0.0f);
    smoke.Update(1.0f);
    smoke.Update(1.0f);
    EXPECT_EQ(smoke.puffs[0].active, 1);
    EXPECT_EQ(smoke.puffs[0].position, D3DXVECTOR3(4, 5, 6));
    smoke.Update(0.01f);
    EXPECT_EQ(smoke.puffs[0].active, 0);
}

TEST(Smoke, ClearHidesEveryPuff) {
    Smoke smoke;
    const D3DXMATRIX identity = Identity();
    for (int i = 0; i < 20; ++i)
        smoke.Add(0, 0, 0, &identity, 1.0f);
    smoke.Clear();
    EXPECT_EQ(LiveCount(smoke), 0);
}

class SmokeRender : public game_test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure())
            return;
        m_smoke.device = m_device;
        m_smoke.LoadResources();
        LookAlongZ();
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    }
    void TearDown() override {
        m_smoke.ReleaseResources();
        RenderTest::TearDown();
    }
    void Draw(const std::string &name) {
        Begin();
        const D3DXMATRIX orientation = Identity();
        m_smoke.Render(&m_viewProjection, &orientation);
        End(name);
    }
    Smoke m_smoke;
};

TEST_F(SmokeRender, PuffGrowsAndFades) {
    ASSERT_NE(m_smoke.mesh, nullptr);
    ASSERT_NE(m_smoke.texture, nullptr);
    const D3DXMATRIX identity = Identity();
    m_smoke.Add(-3, 0, 8, &identity, 0.0f);
    m_smoke.Add(3, 0, 8, &identity, 0.0f);
    m_smoke.puffs[1].age = 1.0f; // 2.5 units across, grey 127
    Draw("smoke-two-ages");
    // The young puff (0.5 units) on the left, the older (2.5 units) on the right.
    game_test::BrightArea young, old;
    int youngSum = 0, oldSum = 0;
    for (int y = 0; y < static_cast<int>(kHeight); ++y)
        for (int x = 0; x < static_cast<int>(kWidth); ++x) {
            const std::uint8_t *p = At(x, y);
            const int value = std::max({p[0], p[1], p[2]});
            if (value < 8)
                continue;
            game_test::BrightArea &area = x < static_cast<int>(kWidth) / 2 ? young : old;
            (x < static_cast<int>(kWidth) / 2 ? youngSum : oldSum) += value;
            ++area.count;
            area.left = std::min(area.left, x);
            area.right = std::max(area.right, x);
        }
    ASSERT_GT(young.count, 4);
    ASSERT_GT(old.count, 4);
    // 0.5 and 2.5 units at 8 units away with a visible width of 2 x 8 x 4/3 units.
    EXPECT_LE(young.Width(), 12);
    EXPECT_GT(old.Width(), 3 * young.Width());
    EXPECT_LE(old.Width(), 40);
    // The older puff is dimmer per pixel.
    EXPECT_LT(oldSum / old.count, youngSum / young.count);
}

TEST_F(SmokeRender, WithoutTheQuadNothingIsDrawn) {
    m_smoke.ReleaseResources();
    std::filesystem::current_path(game_test::BinaryDir());
    m_smoke.LoadResources();
    EXPECT_EQ(m_smoke.mesh, nullptr);
    EXPECT_EQ(m_smoke.texture, nullptr);
    const D3DXMATRIX identity = Identity();
    m_smoke.Add(0, 0, 8, &identity, 0.0f);
    seams::StartDeviceCallLog();
    Draw("smoke-no-media");
    EXPECT_EQ(Bright(0).count, 0);
    m_smoke.Update(0.1f);
    EXPECT_EQ(m_smoke.puffs[0].active, 1);
}
