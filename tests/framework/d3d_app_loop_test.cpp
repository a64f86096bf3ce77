// The running application: the loop headless from start-up to WM_CLOSE, frames and the frame-rate
// text, device loss inside the loop, nested pauses, Alt+Enter, resizes and the window messages.
#include "d3d_app_test_support.h"
#include "framework/app_timer.h"

#include <filesystem>

#include <unistd.h>

namespace {

class LoopTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        m_glBefore = seams::LiveGlObjects();
    }
    void TearDown() override {
        if (IsWindow(app.m_hWnd))
            SendMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
        seams::OnMessageQueueEmpty(nullptr);
        FrameworkTest::TearDown();
        EXPECT_EQ(seams::LiveGlObjects(), m_glBefore);
    }
    void start() { ASSERT_EQ(app.Startup(GetModuleHandleA(nullptr)), S_OK); }
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(app.m_hWnd, message, wParam, lParam);
    }

    TestApp app;
    int m_glBefore = 0;
};

TEST_F(LoopTest, HeadlessApplicationPresentsFramesAndEndsThroughCloseWithExitCodeZero) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tarvos-loop-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    seams::CaptureFrames(folder.string(), {3});
    app.clearColour = D3DCOLOR_XRGB(0x20, 0x40, 0xC0);
    app.closeAfterRenders = 5;
    start();
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(seams::PresentCount(), 5u);
    EXPECT_EQ(app.updates, 5);
    EXPECT_EQ(app.count("FinalShutdown"), 1);
    EXPECT_FALSE(IsWindow(app.m_hWnd));
    EXPECT_EQ(app.m_pDevice, nullptr);
    EXPECT_EQ(app.m_pD3D, nullptr);
    EXPECT_NEAR(app.m_fElapsedTime, 1.0f / 60.0f, 1e-4f);

    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(image::ReadFileBytes((folder / "frame-3.png").string(), bytes, error)) << error;
    image::Rgba8Image frame;
    ASSERT_TRUE(image::DecodePng(bytes, frame, error)) << error;
    EXPECT_EQ(frame.width, 320u);
    EXPECT_EQ(frame.height, 240u);
    EXPECT_EQ(frame.pixels[0], 0x20);
    EXPECT_EQ(frame.pixels[1], 0x40);
    EXPECT_EQ(frame.pixels[2], 0xC0);
    std::filesystem::remove_all(folder);
}

TEST_F(LoopTest, FrameRateTextIsBuiltOnTheFirstFrameThenAboutOnceASecond) {
    start();
    ASSERT_EQ(app.Frame(), S_OK);
    EXPECT_STREQ(app.m_strFrameRateText, "0.00 fps");
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(app.Frame(), S_OK);
    EXPECT_STREQ(app.m_strFrameRateText, "0.00 fps"); // half a second: not rebuilt yet
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(app.Frame(), S_OK);
    EXPECT_NEAR(app.m_fFrameRate, 60.0f, 8.0f);
}

TEST_F(LoopTest, NothingIsDrawnWhileNoTimePassesAndFrameMoving) {
    start();
    app.secondsPerFrame = 0.0;
    ASSERT_EQ(app.Frame(), S_OK);
    EXPECT_EQ(app.renders, 0);
    app.m_bFrameMoving = FALSE;
    ASSERT_EQ(app.Frame(), S_OK);
    EXPECT_EQ(app.renders, 1);
    EXPECT_EQ(app.updates, 0);
}

TEST_F(LoopTest, LostDeviceSkipsFramesUntilItIsResetInTheLoop) {
    start();
    ASSERT_EQ(app.Frame(), S_OK);
    app.takeSteps();
    seams::InjectDeviceLoss(2);
    ASSERT_EQ(app.Frame(), S_OK);
    ASSERT_EQ(app.Frame(), S_OK);
    EXPECT_EQ(app.renders, 1);
    ASSERT_EQ(app.Frame(), S_OK); // not reset yet: this call resets and draws nothing
    EXPECT_EQ(app.renders, 1);
    const std::vector<std::string> expected = {"ReleaseDeviceResources", "LoadDeviceResources"};
    EXPECT_EQ(app.takeSteps(), expected);
    ASSERT_EQ(app.Frame(), S_OK);
    EXPECT_EQ(app.renders, 2);

    // Any other cooperative-level failure ends the loop with exit code 0.
    seams::InjectFailure("TestCooperativeLevel", 1, E_FAIL);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.count("FinalShutdown"), 1);
}

TEST_F(LoopTest, FailedFrameClosesTheWindow) {
    start();
    app.failures["UpdateFrame"] = E_FAIL;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.renders, 0);
    EXPECT_FALSE(IsWindow(app.m_hWnd));
}

TEST_F(LoopTest, NestedPausesStopTheTimerOnceAndOnlyTheLastResumeRestartsIt) {
    start();
    app.SetPaused(TRUE);
    const float stoppedAt = AppTimer(TimerCommand::AppTime);
    app.SetPaused(TRUE);
    seams::AdvanceVirtualClock(1.0);
    app.SetPaused(FALSE);
    EXPECT_FALSE(app.m_bReady);
    EXPECT_FLOAT_EQ(AppTimer(TimerCommand::AppTime), stoppedAt);
    app.SetPaused(FALSE);
    EXPECT_TRUE(app.m_bReady);
    seams::AdvanceVirtualClock(0.25);
    EXPECT_FLOAT_EQ(AppTimer(TimerCommand::AppTime), stoppedAt + 0.25f);

    // An unpaired resume is ignored instead of leaving the application not ready.
    app.SetPaused(FALSE);
    EXPECT_EQ(app.m_nPauseCount, 0);
    EXPECT_TRUE(app.m_bReady);
    app.SetPaused(TRUE);
    EXPECT_FALSE(app.m_bReady);
    app.SetPaused(FALSE);
    EXPECT_TRUE(app.m_bReady);
}

TEST_F(LoopTest, WithFrameMovingOffPausesNeverTouchTheTimer) {
    start();
    app.m_bFrameMoving = FALSE;
    const float before = AppTimer(TimerCommand::AppTime);
    app.SetPaused(TRUE);
    seams::AdvanceVirtualClock(1.0);
    EXPECT_FLOAT_EQ(AppTimer(TimerCommand::AppTime), before + 1.0f);
    app.SetPaused(FALSE);
    EXPECT_FLOAT_EQ(AppTimer(TimerCommand::AppTime), before + 1.0f);
}

TEST_F(LoopTest, AltEnterSwitchesThroughTheAcceleratorAndDoesNothingWhileMinimisedOrPaused) {
    start();
    // Minimised: the switch is ignored.
    send(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_FALSE(app.m_bActive);
    app.takeSteps();
    EXPECT_EQ(send(WM_COMMAND, kToggleWindowedCommand), 0);
    EXPECT_TRUE(app.m_bWindowed);
    send(WM_SIZE, SIZE_RESTORED);
    EXPECT_TRUE(app.m_bActive);
    // Paused: ignored too.
    app.SetPaused(TRUE);
    EXPECT_EQ(send(WM_COMMAND, kToggleWindowedCommand), 0);
    EXPECT_TRUE(app.m_bWindowed);
    app.SetPaused(FALSE);
    EXPECT_TRUE(app.takeSteps().empty());

    // Alt+Enter pressed on the window reaches the switch through the loop's accelerators.
    int presses = 0;
    const int before = app.count("LoadDeviceResources");
    EXPECT_EQ(app.Run([&] {
        if (presses < 2) {
            ++presses;
            seams::InjectKey(app.m_hWnd, 0x0D /* VK_RETURN */, true, true);
            seams::InjectKey(app.m_hWnd, 0x0D, false, true);
        } else {
            PostMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
        }
    }),
              0);
    EXPECT_EQ(app.count("LoadDeviceResources") - before, 2); // one reset each way
}

TEST_F(LoopTest, ResizeResetsOnlyWhenTheClientSizeChanged) {
    start();
    app.takeSteps();
    send(WM_ENTERSIZEMOVE);
    EXPECT_FALSE(app.m_bReady);
    send(WM_EXITSIZEMOVE);
    EXPECT_TRUE(app.m_bReady);
    EXPECT_TRUE(app.takeSteps().empty());

    send(WM_ENTERSIZEMOVE);
    RECT rc = app.m_rcWindow;
    SetWindowPos(app.m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left + 80,
                 rc.bottom - rc.top + 40, SWP_NOZORDER);
    send(WM_EXITSIZEMOVE);
    EXPECT_TRUE(app.m_bReady);
    const std::vector<std::string> expected = {"ReleaseDeviceResources", "LoadDeviceResources"};
    EXPECT_EQ(app.takeSteps(), expected);
    EXPECT_EQ(app.m_backBufferDesc.Width, 400u);
    EXPECT_EQ(app.m_backBufferDesc.Height, 280u);

    // A reset that fails shows its box and closes.
    seams::InjectFailure("Reset", 1, D3DERR_INVALIDCALL);
    send(WM_ENTERSIZEMOVE);
    SetWindowPos(app.m_hWnd, nullptr, rc.left, rc.top, 300, 300, SWP_NOZORDER);
    EXPECT_EQ(send(WM_EXITSIZEMOVE), 0);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, ExitText("Could not reset the Direct3D device."));
    EXPECT_FALSE(IsWindow(app.m_hWnd));
}

TEST_F(LoopTest, CloseArrivingTwiceShutsDownOnce) {
    start();
    EXPECT_EQ(send(WM_CLOSE), 0);
    EXPECT_EQ(send(WM_CLOSE), 0);
    EXPECT_EQ(app.count("FinalShutdown"), 1);
    EXPECT_EQ(app.count("DestroyDeviceResources"), 1);
    EXPECT_EQ(app.Run(), 0); // the quit request is still queued
}

TEST_F(LoopTest, CloseCommandClosesTheWindow) {
    start();
    EXPECT_EQ(send(WM_COMMAND, kCloseCommand), 0);
    EXPECT_FALSE(IsWindow(app.m_hWnd));
}

TEST_F(LoopTest, FullScreenSwallowsSystemCommandsAndOwnsTheCursorAndHitTests) {
    start();
    MINMAXINFO info{};
    send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 100);
    EXPECT_EQ(info.ptMinTrackSize.y, 100);
    EXPECT_EQ(send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), TRUE);
    EXPECT_EQ(send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND), TRUE);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MOVE), DefWindowProcA(app.m_hWnd, WM_SYSCOMMAND, SC_MOVE, 0));
    EXPECT_EQ(send(WM_SETCURSOR), DefWindowProcA(app.m_hWnd, WM_SETCURSOR, 0, 0));
    send(WM_ACTIVATEAPP, 1);
    EXPECT_TRUE(app.m_bLastActivateApp);

    ASSERT_EQ(send(WM_COMMAND, kToggleWindowedCommand), 0);
    ASSERT_FALSE(app.m_bWindowed);
    for (WPARAM command : {SC_SIZE, SC_MOVE, SC_MAXIMIZE, SC_KEYMENU, SC_MONITORPOWER})
        EXPECT_EQ(send(WM_SYSCOMMAND, command), 1);
    EXPECT_EQ(send(WM_NCHITTEST), HTCLIENT);
    EXPECT_EQ(send(WM_SETCURSOR), TRUE);
    send(WM_MOUSEMOVE);
    ASSERT_EQ(send(WM_COMMAND, kToggleWindowedCommand), 0);
    EXPECT_TRUE(app.m_bWindowed);
}

TEST_F(LoopTest, PaintWhileNotReadyInAWindowRendersAndPresents) {
    start();
    const unsigned presents = seams::PresentCount();
    send(WM_PAINT);
    EXPECT_EQ(app.renders, 0);
    app.SetPaused(TRUE);
    send(WM_PAINT);
    EXPECT_EQ(app.renders, 1);
    EXPECT_EQ(seams::PresentCount(), presents + 1);
    app.SetPaused(FALSE);
}

TEST_F(LoopTest, MinimisedApplicationWaitsForMessagesAndRunsNoFrames) {
    start();
    int step = 0;
    int rendersWhileMinimised = -1;
    BOOL activeWhileMinimised = TRUE;
    EXPECT_EQ(app.Run([&] {
        ++step;
        if (step == 1)
            seams::InjectMessage(app.m_hWnd, WM_SIZE, SIZE_MINIMIZED, 0);
        else if (step == 2) {
            rendersWhileMinimised = app.renders;
            activeWhileMinimised = app.m_bActive;
            seams::InjectMessage(app.m_hWnd, WM_SIZE, SIZE_RESTORED, 0);
        } else if (step == 5)
            PostMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
    }),
              0);
    EXPECT_EQ(rendersWhileMinimised, 0);
    EXPECT_FALSE(activeWhileMinimised);
    EXPECT_EQ(app.renders, 2); // the two empty looks after the restore
    EXPECT_EQ(step, 5);
}

} // namespace
