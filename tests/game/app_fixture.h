// The real game application started headless in a 640 x 480 window: a virtual clock, a settings
// store in a temporary folder, only scripted messages, and the generated media (or another folder)
// as working folder. Tear-down closes the window and proves nothing of the device is left.
#pragma once

#include "game/asteroid_game.h"
#include "tests/framework/app_test_seams.h"
#include "tests/game/device_fixture.h"

#include <algorithm>
#include <memory>

#include <unistd.h>

namespace game_test {

class AppTest : public ::testing::Test {
protected:
    virtual std::filesystem::path Folder() { return BinaryDir() / "media"; }

    void SetUp() override {
        test_support::UseApplicationTestSeams();
        m_scratch = std::filesystem::temp_directory_path() /
                    ("tarvos-" + std::to_string(getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_scratch / "empty");
        seams::UseRegistryRoot(m_scratch.string());
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(Folder());
        app = std::make_unique<CMyD3DApplication>();
        app->m_bWantedWindowed = true;
        app->m_dwCreationWidth = 640;
        app->m_dwCreationHeight = 480;
        ASSERT_EQ(app->Startup(GetModuleHandleA(nullptr)), S_OK);
    }

    void TearDown() override {
        if (app && IsWindow(app->m_hWnd))
            SendMessageA(app->m_hWnd, WM_CLOSE, 0, 0);
        app.reset();
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
        EXPECT_EQ(seams::LiveGlObjects(), 0);
        std::filesystem::current_path(m_previousFolder);
        std::filesystem::remove_all(m_scratch);
        seams::CaptureMessageBoxes(false);
        seams::CaptureDebugOutput(false);
        seams::UseRealClock();
        seams::ResetAll();
    }

    // The references the device holds for everything made on it (the framework's own included).
    ULONG DeviceReferences() {
        app->m_pDevice->AddRef();
        return app->m_pDevice->Release();
    }

    // Draws the current state, logging the device calls; keeps the picture as app-<name>.png.
    HRESULT Draw(const std::string &name = "") {
        seams::StartDeviceCallLog();
        const HRESULT hr = app->RenderFrame();
        seams::StopDeviceCallLog();
        m_calls = seams::DeviceCallTexts();
        EXPECT_TRUE(seams::ReadBackBuffer(app->m_pDevice, m_frame));
        if (!name.empty())
            KeepFrame(m_frame, "app-" + name);
        return hr;
    }

    // Whether the last frame drew with `texture` on stage 0.
    bool Bound(const void *texture) const {
        const std::string call = "SetTexture(0, " + d3d8::LogArgument(texture) + ")";
        return texture && std::find(m_calls.begin(), m_calls.end(), call) != m_calls.end();
    }

    // Mean and peak of the brightest channel over rows y0..y1 of the last picture.
    double Brightness(int y0, int y1, int *peak = nullptr) const {
        double sum = 0;
        int top = 0;
        for (size_t i = size_t(y0) * m_frame.width * 4; i < size_t(y1) * m_frame.width * 4;
             i += 4) {
            const int level =
                std::max({m_frame.pixels[i], m_frame.pixels[i + 1], m_frame.pixels[i + 2]});
            sum += level;
            top = std::max(top, level);
        }
        if (peak)
            *peak = top;
        return sum / ((y1 - y0) * double(m_frame.width));
    }

    std::unique_ptr<CMyD3DApplication> app;
    image::Rgba8Image m_frame;
    std::vector<std::string> m_calls;
    std::filesystem::path m_previousFolder, m_scratch;
};

} // namespace game_test
