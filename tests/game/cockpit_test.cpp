#include "game/cockpit.h"

#include "platform/win32/random.h"
#include "world_calls.h"
#include "world_device_fixture.h"

namespace {

using world_test::Logged;
using world_test::SubsetsDrawn;

class CockpitTest : public world_test::WorldDeviceTest {
protected:
    void SetUp() override {
        WorldDeviceTest::SetUp();
        cockpit.device = m_device;
        ASSERT_EQ(cockpit.Load("cockpit.x"), S_OK);
        ASSERT_EQ(cockpit.materialCount, 11u);
        cockpit.LoadLightsTexture();
        ASSERT_NE(cockpit.lightsTexture, nullptr);
        D3DXMatrixIdentity(&rotation);
    }
    void TearDown() override {
        cockpit.ReleaseResources();
        EXPECT_EQ(cockpit.lightsTexture, nullptr);
        WorldDeviceTest::TearDown();
    }
    // Renders once and tells whether the light map was added on stage 1.
    bool LightsOn(float health) {
        seams::StartDeviceCallLog();
        cockpit.Render(0, 0, 0, &rotation, health, 0.5f, false, false);
        const bool on = Logged("SetTextureStageState(1, 1, 7)"); // COLOROP = ADD
        seams::StopDeviceCallLog();
        return on;
    }
    Cockpit cockpit;
    D3DXMATRIX rotation;
};

TEST_F(CockpitTest, DrawsItsPartsInOrderWithLaterWavePanelsAndTheOption) {
    seams::StartDeviceCallLog();
    cockpit.Render(0, 0, 0, &rotation, 1.0f, 0.5f, false, false);
    EXPECT_EQ(SubsetsDrawn(cockpit.mesh), (std::vector<int>{2, 3, 0, 9, 10, 4, 5}));
    seams::StopDeviceCallLog();
    seams::StartDeviceCallLog();
    cockpit.Render(0, 0, 0, &rotation, 1.0f, 0.5f, true, true);
    EXPECT_EQ(SubsetsDrawn(cockpit.mesh), (std::vector<int>{2, 3, 0, 9, 10, 4, 5, 6, 8, 7, 1}));
    // Left lit, opaque, depth-tested as usual; stage 1 off and empty.
    const auto calls = seams::DeviceCallTexts();
    EXPECT_EQ(calls.back(), "SetRenderState(23, 4)"); // ZFUNC = LESSEQUAL
    EXPECT_TRUE(Logged("SetTexture(1, NULL)"));
}

TEST_F(CockpitTest, LightsFlickerOnlyWhenBadlyDamaged) {
    seams::SetRandomState(1);
    EXPECT_TRUE(LightsOn(1.0f));
    EXPECT_FALSE(LightsOn(0.2f));
    EXPECT_FALSE(LightsOn(0.0f));
    EXPECT_FALSE(LightsOn(-0.3f));
    // None of those drew a random number; each frame at 0.1 draws one.
    seams::SetRandomState(1);
    std::vector<bool> expected;
    for (int i = 0; i < 20; ++i)
        expected.push_back(crt::rand() % 5 == 0);
    seams::SetRandomState(1);
    EXPECT_TRUE(LightsOn(1.0f));
    EXPECT_FALSE(LightsOn(0.2f));
    int on = 0;
    for (int i = 0; i < 20; ++i) {
        const bool lit = LightsOn(0.1f);
        EXPECT_EQ(lit, expected[i]) << "frame " << i;
        on += lit;
    }
    EXPECT_GT(on, 0);
    EXPECT_LT(on, 20);
}

TEST_F(CockpitTest, SpeedBarWidthIsClampedToTheUnitRange) {
    auto barWidth = [&](float gauge) {
        seams::StartDeviceCallLog();
        cockpit.Render(0, 0, 0, &rotation, 1.0f, gauge, false, false);
        // The world transform set just before the speed bar (the fifth subset drawn).
        std::string world;
        int draws = 0;
        for (const std::string &call : seams::DeviceCallTexts()) {
            if (call.rfind("SetTransform(256,", 0) == 0)
                world = call;
            if (call.rfind("DrawIndexedPrimitive", 0) == 0 && ++draws == 5)
                break;
        }
        seams::StopDeviceCallLog();
        float scale = -1;
        std::sscanf(world.c_str(), "SetTransform(256, %f", &scale);
        return scale;
    };
    EXPECT_FLOAT_EQ(barWidth(-0.5f), 0.0f);
    EXPECT_FLOAT_EQ(barWidth(0.25f), 0.25f);
    EXPECT_FLOAT_EQ(barWidth(3.0f), 1.0f);
}

TEST_F(CockpitTest, AMeshWithoutTheLaterSubsetsSkipsThem) {
    Cockpit small;
    small.device = m_device;
    ASSERT_EQ(small.Load("asteroid1.x"), S_OK); // one material only
    seams::StartDeviceCallLog();
    small.Render(0, 0, 0, &rotation, 1.0f, 0.5f, true, true);
    EXPECT_EQ(SubsetsDrawn(small.mesh), (std::vector<int>{0}));
    EXPECT_EQ(seams::DeviceCallTexts().back(), "SetRenderState(23, 4)");
    small.ReleaseResources();
}

TEST_F(CockpitTest, DrawsTheCanopyAroundTheViewer) {
    // The eye sits at (0, 0.4, -0.3) in the cockpit; look forward from there.
    LookAlongZ(0.0f, 0.4f, -0.3f);
    m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    m_device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    D3DMATERIAL8 white{};
    white.Diffuse = white.Ambient = {1, 1, 1, 1};
    m_device->SetMaterial(&white);
    Begin();
    cockpit.Render(0, 0, 0, &rotation, 1.0f, 0.7f, true, false);
    End("cockpit_view");
    const auto lit = LitPixels();
    // The frame and panels fill a good part of the view but leave the window open.
    EXPECT_GT(lit.count, int(kWidth * kHeight) / 10);
    EXPECT_LT(lit.count, int(kWidth * kHeight) * 9 / 10);
}

} // namespace
