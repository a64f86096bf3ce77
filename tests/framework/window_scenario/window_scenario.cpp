// The test application in a real window, driven the way a player would: Alt+Enter there and back
// fifty times, a resize that resets the device, a device loss and its recovery, then the close
// button; nothing of the device layer may be left behind. Runs headless and on an X server.
#include "../d3d_app_test_support.h"
#include "tests/desktop_user.h"

#include <cstdlib>
#include <filesystem>

namespace {

constexpr BYTE kReturnKey = 0x0D;

class WindowScenario : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        seams::CaptureMessageBoxes(true);
        m_glBefore = seams::LiveGlObjects();
    }
    void TearDown() override {
        if (IsWindow(app.m_hWnd))
            SendMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(seams::TakeMessageBoxes().empty());
        seams::CaptureMessageBoxes(false);
        seams::ResetAll();
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
        EXPECT_EQ(seams::LiveGlObjects(), m_glBefore);
    }

    TestApp app;
    int m_glBefore = 0;
};

TEST_F(WindowScenario, CapturedFrameShowsTheClearColour) {
    const char *folder = std::getenv("TARVOS_CAPTURE_DIR");
    if (!folder)
        GTEST_SKIP() << "TARVOS_CAPTURE_DIR is not set";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    app.clearColour = D3DCOLOR_XRGB(0xE0, 0x70, 0x10);
    app.closeAfterRenders = 6;
    ASSERT_EQ(app.Startup(GetModuleHandleA(nullptr)), S_OK);
    EXPECT_EQ(app.RunMessageLoop(), 0);

    for (const char *name : {"frame-2.png", "frame-5.png"}) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        const std::string path = (std::filesystem::path(folder) / name).string();
        ASSERT_TRUE(image::ReadFileBytes(path, bytes, error)) << error;
        image::Rgba8Image frame;
        ASSERT_TRUE(image::DecodePng(bytes, frame, error)) << error;
        ASSERT_EQ(frame.width, 320u);
        ASSERT_EQ(frame.height, 240u);
        for (size_t i = 0; i < frame.pixels.size(); i += 4) {
            ASSERT_EQ(frame.pixels[i], 0xE0) << path;
            ASSERT_EQ(frame.pixels[i + 1], 0x70) << path;
            ASSERT_EQ(frame.pixels[i + 2], 0x10) << path;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder) / "frame-3.png"));
}

TEST_F(WindowScenario, AltEnterFiftyTimesResizeLossAndCloseLeaveNothingBehind) {
    ASSERT_EQ(app.Startup(GetModuleHandleA(nullptr)), S_OK);
    ASSERT_TRUE(app.m_bWindowed);

    enum class Stage { Toggling, Resizing, Losing, Closing } stage = Stage::Toggling;
    int switches = 0;
    BOOL lastWindowed = app.m_bWindowed;
    int framesInStage = 0;
    int resetsBeforeLoss = 0;
    UINT widthBeforeResize = 0;
    app.onFrame = [&] {
        ++framesInStage;
        if (app.m_bWindowed != lastWindowed) {
            lastWindowed = app.m_bWindowed;
            ++switches;
            framesInStage = 0;
        }
        switch (stage) {
        case Stage::Toggling:
            if (switches == 100) {
                stage = Stage::Resizing;
                framesInStage = 0;
                widthBeforeResize = app.m_backBufferDesc.Width;
                RECT rc = app.m_rcWindow;
                SetWindowPos(app.m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left + 96,
                             rc.bottom - rc.top + 48, SWP_NOZORDER);
                // A desktop reports the drag as a move-size loop; headless there is none.
                PostMessageA(app.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
                PostMessageA(app.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
            } else if (framesInStage == 2) {
                seams::InjectKey(app.m_hWnd, kReturnKey, true, true);
                seams::InjectKey(app.m_hWnd, kReturnKey, false, true);
            }
            break;
        case Stage::Resizing:
            if (app.m_backBufferDesc.Width != widthBeforeResize) {
                stage = Stage::Losing;
                framesInStage = 0;
                resetsBeforeLoss = app.count("ReleaseDeviceResources");
                seams::InjectDeviceLoss(3);
            }
            break;
        case Stage::Losing:
            if (app.count("ReleaseDeviceResources") > resetsBeforeLoss && framesInStage > 2) {
                stage = Stage::Closing;
                PostMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
            }
            break;
        case Stage::Closing:
            break;
        }
        ASSERT_LT(app.renders, 20000) << "the scenario did not finish";
    };
    EXPECT_EQ(app.RunMessageLoop(), 0);
    EXPECT_EQ(switches, 100);
    EXPECT_TRUE(app.m_bWindowed);
    EXPECT_EQ(app.m_backBufferDesc.Width, widthBeforeResize + 96);
    EXPECT_EQ(app.m_backBufferDesc.Height, 240u + 48u);
    EXPECT_EQ(app.count("PrepareDeviceResources"), 1); // every change was a reset
    EXPECT_EQ(app.count("FinalShutdown"), 1);
    EXPECT_FALSE(IsWindow(app.m_hWnd));
}

TEST_F(WindowScenario, AWindowSizedPastTheDisplayKeepsDrawingThenComesBack) {
    ASSERT_EQ(app.Startup(GetModuleHandleA(nullptr)), S_OK);
    SDL_Window *sdl = win32::SdlWindowOf(app.m_hWnd);
    const int sizes[][2] = {{1500, 1150}, {400, 300}}; // the test displays are smaller
    int stage = 0, framesAtSize = -1;
    app.onFrame = [&] {
        ASSERT_LT(app.renders, 20000) << "stuck at size " << stage;
        if (stage == 2)
            return;
        const int width = sizes[stage][0], height = sizes[stage][1];
        if (framesAtSize < 0) {
            // The user drags the frame: through the window manager on a desktop; headless, where
            // there is none, the new size and the size-move loop around it come straight.
            framesAtSize = 0;
            if (test_support::XWindowOf(sdl).first)
                return test_support::UserConfigures(sdl, CWWidth | CWHeight, width, height);
            SDL_SetWindowSize(sdl, width, height);
            PostMessageA(app.m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
            PostMessageA(app.m_hWnd, WM_EXITSIZEMOVE, 0, 0);
        } else if (app.m_backBufferDesc.Width == UINT(width) &&
                   app.m_backBufferDesc.Height == UINT(height) && ++framesAtSize == 3) {
            framesAtSize = -1;
            if (++stage == 2)
                PostMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
        }
    };
    EXPECT_EQ(app.RunMessageLoop(), 0);
    EXPECT_EQ(stage, 2);
}

} // namespace
