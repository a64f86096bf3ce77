// The real game application started headless in a 640 x 480 window: a virtual clock, a settings
// store in a temporary folder, only scripted messages, and the generated media (or an empty
// folder) as working folder. Tear-down closes the window and proves nothing of the device is left.
#pragma once

#include "framework/app_timer.h"
#include "game/asteroid_game.h"
#include "tests/game/device_fixture.h"

#include <algorithm>
#include <memory>

#include <unistd.h>

namespace game_test {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override { StartIn(BinaryDir() / "media"); }

    void StartIn(const std::filesystem::path &folder) {
        seams::ResetAll();
        seams::CaptureMessageBoxes(true);
        seams::CaptureDebugOutput(true);
        seams::UseVirtualClock(1'000'000, 1'000'000'000'000LL);
        ResetAppTimerForTests();
        seams::ScriptMessages(true);
        m_settings = std::filesystem::temp_directory_path() /
                     ("tarvos-app-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_settings);
        seams::UseRegistryRoot(m_settings.string());
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
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
        std::filesystem::remove_all(m_settings);
        seams::TakeDebugOutput();
        seams::TakeMessageBoxes();
        seams::CaptureMessageBoxes(false);
        seams::CaptureDebugOutput(false);
        seams::UseRealClock();
        seams::ScriptMessages(false);
        seams::ResetAll();
    }

    // The references the device holds for everything made on it (the framework's own included).
    ULONG DeviceReferences() {
        app->m_pDevice->AddRef();
        return app->m_pDevice->Release();
    }

    // Draws the current state, logging the device calls, and keeps the picture as
    // test-frames/app-<name>.png.
    HRESULT Draw(const std::string &name = "") {
        seams::StartDeviceCallLog();
        const HRESULT hr = app->RenderFrame();
        seams::StopDeviceCallLog();
        m_calls = seams::DeviceCallTexts();
        m_frame = image::Rgba8Image{};
        EXPECT_TRUE(seams::ReadBackBuffer(app->m_pDevice, m_frame));
        if (!name.empty())
            KeepFrame(m_frame, "app-" + name);
        return hr;
    }

    // Whether the last frame bound `texture`, that is drew something with it.
    bool Bound(IDirect3DBaseTexture8 *texture) const {
        if (!texture)
            return false;
        const std::string call =
            "SetTexture(0, " + d3d8::LogArgument(static_cast<const void *>(texture)) + ")";
        return std::find(m_calls.begin(), m_calls.end(), call) != m_calls.end();
    }

    // Mean brightness (0..255) of a rectangle of the last picture, and its brightest pixel.
    double MeanBrightness(int x0, int y0, int x1, int y1, int *brightest = nullptr) const {
        double sum = 0;
        int peak = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t *p = &m_frame.pixels[(size_t(y) * m_frame.width + x) * 4];
                const int level = std::max({p[0], p[1], p[2]});
                sum += level;
                peak = std::max(peak, level);
            }
        if (brightest)
            *brightest = peak;
        return sum / ((x1 - x0) * (y1 - y0));
    }

    std::unique_ptr<CMyD3DApplication> app;
    image::Rgba8Image m_frame;
    std::vector<std::string> m_calls;
    std::filesystem::path m_previousFolder;
    std::filesystem::path m_settings;
};

} // namespace game_test
