// The device life cycle of the application object on real devices: creation and the fall-back to
// the reference device, reset with frame-moving off, the windowed/full-screen switch, the
// fall-back to a window, leaked references and shutdown.
#include "d3d_app_test_support.h"
#include "framework/app_timer.h"

namespace {

d3d8::DeviceTypeInfo referenceDevice(DWORD caps2 = D3DCAPS2_CANRENDERWINDOWED) {
    d3d8::DeviceTypeInfo ref = seams::StandardD3D8Adapter().hal;
    ref.caps.Caps2 = caps2;
    ref.caps.DevCaps = 0; // software vertex processing only
    return ref;
}

class DeviceLifeTest : public FrameworkTest {
protected:
    void TearDown() override {
        if (IsWindow(app.m_hWnd))
            SendMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
        FrameworkTest::TearDown();
    }
    HRESULT start() { return app.Startup(GetModuleHandleA(nullptr)); }
    const DeviceRecord &currentDevice() {
        const AdapterRecord &a = app.m_adapters[app.m_dwCurrentAdapter];
        return a.devices[a.dwCurrentDevice];
    }
    TestApp app;
};

TEST_F(DeviceLifeTest, FailedHardwareCreationSwitchesToTheReferenceDevice) {
    d3d8::AdapterInfo info = seams::StandardD3D8Adapter();
    info.ref = referenceDevice();
    info.ref.caps.PrimitiveMiscCaps = D3DPMISCCAPS_NULLREFERENCE;
    seams::OverrideD3D8Adapters({info});
    seams::InjectFailure("CreateDevice", 1, D3DERR_OUTOFVIDEOMEMORY);
    ASSERT_EQ(start(), S_OK);
    EXPECT_EQ(currentDevice().deviceType, D3DDEVTYPE_REF);
    EXPECT_STREQ(app.m_strDeviceText, "REF (sw vp)");
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Not enough video memory." + kSwitchSentence);
    // The reduced reference device warns and goes on.
    EXPECT_EQ(boxes[1].text,
              "Warning: Nothing will be rendered.\nThe reference rendering device was selected, "
              "but your\ncomputer only has a reduced-functionality reference device\ninstalled.  "
              "Install the full reference device to\nrender with it.\n");
    EXPECT_EQ(boxes[1].type, MB_ICONEXCLAMATION);
    EXPECT_NE(app.m_pDevice, nullptr);
}

TEST_F(DeviceLifeTest, HardwareFailureOnTheSecondAdapterUsesTheFirstAdaptersReferenceDevice) {
    d3d8::AdapterInfo first = seams::StandardD3D8Adapter();
    first.hal.available = false;
    first.ref = referenceDevice(0); // cannot render windowed: not chosen by enumeration
    d3d8::AdapterInfo second = seams::StandardD3D8Adapter();
    second.description = "second";
    seams::OverrideD3D8Adapters({first, second});
    app.failures["PrepareDeviceResources"] = E_FAIL;
    ASSERT_EQ(app.m_dwCurrentAdapter, 0u);
    // The hardware device of the second adapter loads its resources and fails; the first
    // adapter's reference device is then tried, fails the same way, and start-up gives up.
    EXPECT_EQ(start(), E_FAIL);
    EXPECT_EQ(app.m_dwCurrentAdapter, 0u);
    EXPECT_EQ(currentDevice().deviceType, D3DDEVTYPE_REF);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].type, MB_ICONEXCLAMATION);
    EXPECT_EQ(boxes[1].type, MB_ICONHAND);
    EXPECT_EQ(app.count("PrepareDeviceResources"), 2);
    EXPECT_EQ(app.count("DestroyDeviceResources"), 2);
}

TEST_F(DeviceLifeTest, ResetWithFrameMovingOffRunsExactlyOneUpdateOnAStoppedClock) {
    ASSERT_EQ(start(), S_OK);
    app.m_bFrameMoving = FALSE;
    app.takeSteps();
    ASSERT_EQ(app.ResetDevice(), S_OK);
    const std::vector<std::string> expected = {"ReleaseDeviceResources", "LoadDeviceResources"};
    EXPECT_EQ(app.takeSteps(), expected);
    EXPECT_TRUE(app.m_bSingleStep);
    const float frozen = AppTimer(TimerCommand::AppTime);
    seams::AdvanceVirtualClock(2.0);
    EXPECT_FLOAT_EQ(AppTimer(TimerCommand::AppTime), frozen);

    ASSERT_EQ(app.AdvanceFrame(), S_OK);
    ASSERT_EQ(app.AdvanceFrame(), S_OK);
    EXPECT_EQ(app.updates, 1);
    EXPECT_EQ(app.renders, 2);
    EXPECT_FALSE(app.m_bSingleStep);
    EXPECT_FLOAT_EQ(app.m_fElapsedTime, 0.0f);
}

TEST_F(DeviceLifeTest, SwitchingToFullScreenAndBackResetsTheDeviceEachWay) {
    ASSERT_EQ(start(), S_OK);
    app.takeSteps();
    ASSERT_EQ(app.ToggleWindowedMode(), S_OK);
    EXPECT_FALSE(app.m_bWindowed);
    EXPECT_TRUE(app.m_bReady);
    EXPECT_EQ(app.m_backBufferDesc.Width, 640u);
    EXPECT_EQ(app.m_backBufferDesc.Format, D3DFMT_R5G6B5);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(app.m_hWnd, GWL_STYLE)), kFullScreenStyle);
    EXPECT_TRUE(app.m_bWantedWindowed); // a switch never changes the wanted flag

    ASSERT_EQ(app.ToggleWindowedMode(), S_OK);
    EXPECT_TRUE(app.m_bWindowed);
    EXPECT_EQ(app.m_backBufferDesc.Width, 320u);
    EXPECT_EQ(app.m_backBufferDesc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(app.m_hWnd, GWL_STYLE)), app.m_dwWindowStyle);
    const std::vector<std::string> expected = {"ReleaseDeviceResources", "LoadDeviceResources",
                                               "ReleaseDeviceResources", "LoadDeviceResources"};
    EXPECT_EQ(app.takeSteps(), expected);
}

TEST_F(DeviceLifeTest, FullScreenWithTheShowCursorFlagGivesTheDeviceTheClassCursor) {
    auto cursorCalls = [] {
        int n = 0;
        for (const std::string &call : seams::DeviceCallTexts())
            n += call.rfind("SetCursorProperties(", 0) == 0;
        seams::StopDeviceCallLog();
        return n;
    };
    app.m_bShowCursorWhenFullScreen = TRUE;
    seams::StartDeviceCallLog();
    ASSERT_EQ(start(), S_OK);
    EXPECT_EQ(cursorCalls(), 0) << "a windowed device keeps the system pointer";

    seams::StartDeviceCallLog();
    ASSERT_EQ(app.ToggleWindowedMode(), S_OK);
    ASSERT_FALSE(app.m_bWindowed);
    EXPECT_EQ(cursorCalls(), 1) << "the reset into full screen";
    image::Rgba8Image cursor;
    POINT hotSpot{-1, -1};
    ASSERT_TRUE(seams::DeviceCursorImage(app.m_pDevice, cursor, hotSpot));
    // The class cursor is the arrow: its tip is the hot spot, its body white, its edge black
    // (the watermark lightens the top-left corner), and around it the image is clear.
    EXPECT_EQ(cursor.width, 32u);
    EXPECT_EQ(cursor.height, 32u);
    EXPECT_EQ(hotSpot.x, 0);
    EXPECT_EQ(hotSpot.y, 0);
    auto texel = [&](int x, int y) {
        const std::uint8_t *p = &cursor.pixels[(std::size_t(y) * cursor.width + x) * 4];
        return std::uint32_t(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2];
    };
    EXPECT_EQ(texel(1, 2), 0xFFFFFFFFu);
    EXPECT_EQ(texel(0, 10), 0xFF000000u);
    EXPECT_EQ(texel(0, 0), 0xFF808080u);
    EXPECT_EQ(texel(20, 20), 0u);

    seams::StartDeviceCallLog();
    ASSERT_EQ(app.ResetDevice(), S_OK);
    EXPECT_EQ(cursorCalls(), 1) << "every reset in full screen";
}

TEST_F(DeviceLifeTest, SwitchFromFullScreenOnADeviceThatCannotRenderWindowedFallsBack) {
    app.m_bWantedWindowed = false;
    ASSERT_EQ(start(), S_OK);
    ASSERT_FALSE(app.m_bWindowed);
    app.m_adapters[0].devices[0].bCanRenderWindowed = FALSE;
    app.takeSteps();
    // No device can render windowed: the fall-back fails and nothing is torn down.
    EXPECT_EQ(app.ToggleWindowedMode(), E_FAIL);
    EXPECT_TRUE(app.takeSteps().empty());
    EXPECT_NE(app.m_pDevice, nullptr);
}

TEST_F(DeviceLifeTest, FallBackRecreatesTheDeviceWithTheWantedPresentation) {
    app.m_bWantedWindowed = false;
    ASSERT_EQ(start(), S_OK);
    app.takeSteps();
    ASSERT_EQ(app.FallBackToWindowed(), S_OK);
    // Creation copies the wanted flag over the windowed one: full screen again.
    EXPECT_FALSE(app.m_bWindowed);
    EXPECT_TRUE(app.m_bReady);
    const std::vector<std::string> expected = {"ReleaseDeviceResources", "DestroyDeviceResources",
                                               "PrepareDeviceResources", "LoadDeviceResources"};
    EXPECT_EQ(app.takeSteps(), expected);
    EXPECT_EQ(seams::LiveD3D8Objects(), 3); // Direct3D, device, back-buffer surface
}

TEST_F(DeviceLifeTest, LeakedDeviceReferenceShowsItsErrorAndTheCloseReleasesAgain) {
    ASSERT_EQ(start(), S_OK);
    app.takeSteps();
    seams::InjectFailure("DeviceRelease");
    EXPECT_EQ(app.FallBackToWindowed(), AppError::NonZeroReferenceCount);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, ExitText("A D3D object has a non-zero reference\ncount (meaning "
                                      "things were not properly\ncleaned up)."));
    const std::vector<std::string> expected = {"ReleaseDeviceResources", "DestroyDeviceResources",
                                               "ReleaseDeviceResources", "DestroyDeviceResources",
                                               "FinalShutdown"};
    EXPECT_EQ(app.takeSteps(), expected);
    EXPECT_FALSE(IsWindow(app.m_hWnd));
    EXPECT_EQ(app.m_pDevice, nullptr);
    EXPECT_EQ(seams::LiveD3D8Objects(), 0);
}

TEST_F(DeviceLifeTest, ShutdownWithoutADeviceStillRunsFinalShutdown) {
    app.m_pD3D = Direct3DCreate8(D3D_SDK_VERSION); // as after a failed re-creation
    EXPECT_EQ(app.ShutdownDevice(), S_OK);
    EXPECT_EQ(app.m_pD3D, nullptr);
    const std::vector<std::string> expected = {"FinalShutdown"};
    EXPECT_EQ(app.takeSteps(), expected);
    app.failures["FinalShutdown"] = E_FAIL;
    EXPECT_EQ(app.ShutdownDevice(), E_FAIL);
}

TEST_F(DeviceLifeTest, DeviceTextNamesThePureDeviceAndCutsALongDescription) {
    d3d8::AdapterInfo info = seams::StandardD3D8Adapter();
    info.hal.caps.DevCaps |= D3DDEVCAPS_PUREDEVICE;
    info.description = std::string(200, 'x');
    seams::OverrideD3D8Adapters({info});
    ASSERT_EQ(start(), S_OK);
    EXPECT_EQ(app.m_dwBehaviorFlags, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE);
    const std::string text = app.m_strDeviceText;
    EXPECT_EQ(text.size(), 89u);
    EXPECT_EQ(text.substr(0, 19), "HAL (pure hw vp): x");
}

} // namespace
