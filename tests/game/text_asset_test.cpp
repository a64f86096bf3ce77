// Captions: their pictures, placement, size and fade, drawn with the generated media.
#include "game/text_asset.h"

#include "render_fixture.h"

#include <limits>
#include <string>

TEST(TextAsset, FadeLevelTruncatesAndNeverWraps) {
    EXPECT_EQ(TextAsset::FadeLevel(0.5f), 127u);
    EXPECT_EQ(TextAsset::FadeLevel(0.0f), 0u);
    EXPECT_EQ(TextAsset::FadeLevel(0.999f), 254u);
    EXPECT_EQ(TextAsset::FadeLevel(-0.5f), 0u) << "a negative fade is black, not a bright grey";
    EXPECT_EQ(TextAsset::FadeLevel(std::numeric_limits<float>::quiet_NaN()), 0u);
}

TEST(TextAsset, CaptionFilesFollowTheirIds) {
    EXPECT_STREQ(TextAsset::kFiles[static_cast<int>(CaptionId::Title)], "title.png");
    EXPECT_STREQ(TextAsset::kFiles[static_cast<int>(CaptionId::Wave1)], "wave1.png");
    EXPECT_STREQ(TextAsset::kFiles[static_cast<int>(CaptionId::Lives3)], "lives3.png");
    EXPECT_STREQ(TextAsset::kFiles[static_cast<int>(CaptionId::TimeRemaining)],
                 "timeremaining.png");
    EXPECT_EQ(static_cast<int>(CaptionId::TimeRemaining), TextAsset::kCaptionCount - 1);
}

class CaptionRender : public game_test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure())
            return;
        m_captions.device = m_device;
        m_captions.LoadResources();
        OverlaySpace();
        // The frame's overlay baseline: unlit, translucent, texture colour and alpha.
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    }
    void TearDown() override {
        m_captions.ReleaseResources();
        RenderTest::TearDown();
    }

    // Bright pixels within a screen rectangle and outside it.
    std::pair<int, int> BrightInside(int left, int top, int right, int bottom) const {
        int inside = 0, outside = 0;
        for (int y = 0; y < static_cast<int>(kHeight); ++y)
            for (int x = 0; x < static_cast<int>(kWidth); ++x) {
                const std::uint8_t *p = At(x, y);
                if (std::max({p[0], p[1], p[2]}) < 50)
                    continue;
                (x >= left && x < right && y >= top && y < bottom ? inside : outside)++;
            }
        return {inside, outside};
    }

    TextAsset m_captions;
};

TEST_F(CaptionRender, LoadsEveryPictureAndReloadsAfterRelease) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_NE(m_captions.mesh, nullptr);
        ASSERT_NE(m_captions.textures, nullptr);
        for (int i = 0; i < TextAsset::kCaptionCount; ++i)
            EXPECT_NE(m_captions.textures[i], nullptr) << TextAsset::kFiles[i];
        m_captions.ReleaseResources();
        EXPECT_EQ(m_captions.textures, nullptr);
        EXPECT_EQ(m_captions.mesh, nullptr);
        m_captions.LoadResources();
    }
}

TEST_F(CaptionRender, DrawsAtItsCentreAndSize) {
    // Overlay (−80, 60) is screen (80, 60); 128 x 32 pixels around it.
    Begin();
    m_captions.Render(CaptionId::Paused, -80.0f, 60.0f, 128.0f, 32.0f, 1.0f);
    End("caption-paused");
    const auto [inside, outside] = BrightInside(16, 44, 144, 76);
    EXPECT_GT(inside, 150);
    EXPECT_EQ(outside, 0);
}

TEST_F(CaptionRender, FadeDarkensTheColourOnly) {
    seams::StartDeviceCallLog();
    Begin();
    m_captions.Render(CaptionId::Title, 0.0f, 60.0f, 256.0f, 32.0f, 1.0f);
    m_captions.Render(CaptionId::Title, 0.0f, -60.0f, 256.0f, 32.0f, 0.5f);
    End("caption-fade");
    double full = 0, faded = 0;
    for (int y = 0; y < static_cast<int>(kHeight); ++y)
        for (int x = 0; x < static_cast<int>(kWidth); ++x) {
            const std::uint8_t *p = At(x, y);
            (y < static_cast<int>(kHeight) / 2 ? full : faded) += p[0] + p[1] + p[2];
        }
    ASSERT_GT(full, 0.0);
    EXPECT_NEAR(faded / full, 0.5, 0.12);
    // Full brightness leaves the texture factor and the colour argument alone.
    const std::vector<std::string> calls = seams::DeviceCallTexts();
    int factorSets = 0;
    for (const std::string &call : calls)
        factorSets += call.rfind("SetRenderState(60,", 0) == 0;
    EXPECT_EQ(factorSets, 1);
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        "SetRenderState(60, " + std::to_string(0x7F7F7F) + ")"),
              calls.end());
}

TEST_F(CaptionRender, FullPageCoversTheScreenAtAnyAspect) {
    // The credits picture is 4:3 transparent text; drawn at the frame's size, the untextured quad
    // of a missing picture shows exactly what it covers.
    m_captions.textures[static_cast<int>(CaptionId::Credits)]->Release();
    m_captions.textures[static_cast<int>(CaptionId::Credits)] = nullptr;
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Begin();
    m_captions.Render(CaptionId::Credits, 0.0f, 0.0f, static_cast<float>(kWidth),
                      static_cast<float>(kHeight), 1.0f);
    End("caption-full-page");
    const auto [inside, outside] = BrightInside(0, 0, kWidth, kHeight);
    EXPECT_EQ(inside, static_cast<int>(kWidth * kHeight));
    EXPECT_EQ(outside, 0);
}

TEST_F(CaptionRender, WithoutTheQuadNothingIsDrawnAndPicturesStillLoad) {
    m_captions.ReleaseResources();
    const std::filesystem::path media = std::filesystem::current_path();
    const std::filesystem::path folder = game_test::BinaryDir() / "test-frames" / "no-quad";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(media / "title.png", folder / "title.png",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::current_path(folder);
    m_captions.LoadResources();
    EXPECT_EQ(m_captions.mesh, nullptr);
    ASSERT_NE(m_captions.textures, nullptr);
    EXPECT_NE(m_captions.textures[0], nullptr);
    EXPECT_EQ(m_captions.textures[1], nullptr);
    seams::StartDeviceCallLog();
    m_captions.Render(CaptionId::Title, 0, 0, 100, 100, 0.5f);
    m_captions.Render(static_cast<CaptionId>(28), 0, 0, 100, 100, 1.0f);
    EXPECT_TRUE(seams::DeviceCalls().empty());
}
