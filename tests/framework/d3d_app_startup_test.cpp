// Start-up of the application object and the framework's error boxes: every start-up failure
// shows its own text with the exit sentence, closes what exists and leaves no Direct3D object.
#include "d3d_app_test_support.h"
#include "framework/app_timer.h"

namespace {

const std::string kGeneric =
    "Generic application error. Enable\ndebug output for detailed information.";

class StartupTest : public FrameworkTest {
protected:
    void TearDown() override {
        if (IsWindow(app.m_hWnd))
            SendMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
        FrameworkTest::TearDown();
    }
    HRESULT start() { return app.Startup(GetModuleHandleA(nullptr)); }
    TestApp app;
};

TEST_F(StartupTest, StartsWithAWindowAReadyDeviceAndARunningTimer) {
    ASSERT_EQ(start(), S_OK);
    EXPECT_EQ(g_app, &app);
    ASSERT_NE(app.m_hWnd, nullptr);
    EXPECT_EQ(app.m_hWndFocus, app.m_hWnd);
    EXPECT_TRUE(IsWindow(app.m_hWnd));
    EXPECT_EQ(app.m_dwWindowStyle, static_cast<DWORD>(GetWindowLongA(app.m_hWnd, GWL_STYLE)));
    EXPECT_EQ(app.m_rcClient.right - app.m_rcClient.left, 320);
    EXPECT_EQ(app.m_rcClient.bottom - app.m_rcClient.top, 240);
    ASSERT_NE(app.m_pDevice, nullptr);
    EXPECT_TRUE(app.m_bReady);
    EXPECT_TRUE(app.m_bActive);
    EXPECT_TRUE(app.m_bWindowed);
    EXPECT_EQ(app.m_backBufferDesc.Width, 320u);
    EXPECT_EQ(app.m_backBufferDesc.Height, 240u);
    EXPECT_EQ(app.m_presentParams.AutoDepthStencilFormat, D3DFMT_D16);
    EXPECT_EQ(app.m_dwBehaviorFlags, D3DCREATE_HARDWARE_VERTEXPROCESSING);
    D3DADAPTER_IDENTIFIER8 id{};
    app.m_pD3D->GetAdapterIdentifier(0, 0, &id);
    EXPECT_EQ(std::string(app.m_strDeviceText), std::string("HAL (hw vp): ") + id.Description);
    const std::vector<std::string> expected = {"InitOnce", "PrepareDeviceResources",
                                               "LoadDeviceResources", "OnStartupComplete"};
    EXPECT_EQ(app.takeSteps(), expected);
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
    // The timer runs from the end of start-up.
    const float started = AppTimer(TimerCommand::AppTime);
    seams::AdvanceVirtualClock(0.5);
    EXPECT_FLOAT_EQ(AppTimer(TimerCommand::AppTime) - started, 0.5f);
}

TEST_F(StartupTest, NoDirect3DObjectShowsItsTextAndExits) {
    seams::InjectFailure("Direct3DCreate8");
    EXPECT_EQ(start(), AppError::Direct3DInitFailed);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              ExitText("Could not initialize Direct3D. You may\nwant to check that the latest "
                       "version of\nDirectX is correctly installed on your\nsystem.  Also make "
                       "sure that this program\nwas compiled with header files that match\nthe "
                       "installed DirectX DLLs."));
    EXPECT_EQ(boxes[0].caption, "Tarvos test");
    EXPECT_EQ(boxes[0].type, MB_ICONHAND);
    EXPECT_EQ(app.m_hWnd, nullptr); // nothing was created, nothing to close
    EXPECT_TRUE(app.steps.empty());
}

TEST_F(StartupTest, NoCompatibleDeviceReleasesDirect3DAndExits) {
    d3d8::AdapterInfo small = seams::StandardD3D8Adapter();
    small.modes = {{320, 240, 60, D3DFMT_X8R8G8B8}};
    seams::OverrideD3D8Adapters({small});
    EXPECT_EQ(start(), AppError::NoCompatibleDevice);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, ExitText("Could not find any compatible Direct3D\ndevices."));
    EXPECT_EQ(app.m_pD3D, nullptr);
    EXPECT_EQ(app.m_hWnd, nullptr);
    EXPECT_EQ(seams::LiveD3D8Objects(), 0);
}

TEST_F(StartupTest, CannotRunWindowedExitsEvenForFullScreen) {
    app.m_bWantedWindowed = false;
    d3d8::AdapterInfo info = seams::StandardD3D8Adapter();
    info.hal.caps.Caps2 = 0;
    seams::OverrideD3D8Adapters({info});
    EXPECT_EQ(start(), AppError::CannotRunWindowed);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              ExitText("This program cannot run in a desktop\nwindow with the current display "
                       "settings.\nPlease change your desktop settings to a\n16- or 32-bit display "
                       "mode and re-run this\nprogram."));
    EXPECT_EQ(app.m_pD3D, nullptr);
}

TEST_F(StartupTest, FailingInitOnceClosesTheWindowAndReturnsItsCode) {
    const HRESULT code = MakeResult(0x80001234);
    app.failures["InitOnce"] = code;
    EXPECT_EQ(start(), code);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, ExitText(kGeneric));
    EXPECT_EQ(app.m_pD3D, nullptr);
    EXPECT_EQ(app.m_pDevice, nullptr);
    // The exit box's close message destroyed the window and asked the loop to quit.
    EXPECT_FALSE(IsWindow(app.m_hWnd));
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(app.count("FinalShutdown"), 1);
    EXPECT_EQ(app.count("ReleaseDeviceResources"), 0);
}

TEST_F(StartupTest, FailingDeviceResourcesOnTheOnlyDeviceExitWithTheirCode) {
    app.failures["LoadDeviceResources"] = E_OUTOFMEMORY;
    EXPECT_EQ(start(), E_OUTOFMEMORY);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, ExitText("Not enough memory."));
    const std::vector<std::string> expected = {"InitOnce",
                                               "PrepareDeviceResources",
                                               "LoadDeviceResources",
                                               "ReleaseDeviceResources",
                                               "DestroyDeviceResources",
                                               "FinalShutdown"};
    EXPECT_EQ(app.takeSteps(), expected);
    EXPECT_EQ(app.m_pDevice, nullptr);
}

TEST_F(StartupTest, OnStartupCompleteCannotFailStartup) {
    app.failures["OnStartupComplete"] = E_FAIL;
    EXPECT_EQ(start(), S_OK);
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

TEST_F(StartupTest, AWindowOfTheDerivedClassIsKept) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = AppWindowProc;
    wc.lpszClassName = "own window";
    RegisterClassA(&wc);
    HWND own = CreateWindowExA(0, "own window", "own", WS_VISIBLE | WS_CAPTION, 10, 10, 200, 150,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(own, nullptr);
    app.m_hWnd = own;
    ASSERT_EQ(start(), S_OK);
    EXPECT_EQ(app.m_hWnd, own);
    EXPECT_EQ(app.m_dwWindowStyle, static_cast<DWORD>(WS_VISIBLE | WS_CAPTION));
    RECT rc{};
    GetClientRect(own, &rc);
    EXPECT_EQ(app.m_rcClient.right, rc.right);
    EXPECT_EQ(app.m_backBufferDesc.Width, static_cast<UINT>(rc.right));
}

TEST_F(StartupTest, ErrorBoxesFollowTheirTableAndMode) {
    EXPECT_EQ(app.ShowError(MakeResult(0x82000002), ShowErrorMode::Warning),
              MakeResult(0x82000002));
    EXPECT_EQ(app.ShowError(AppError::DeviceResetFailed, ShowErrorMode::Exit),
              AppError::DeviceResetFailed); // no window: nothing is sent
    EXPECT_EQ(app.ShowError(D3DERR_OUTOFVIDEOMEMORY, 5), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(app.ShowError(AppError::ReducedReferenceDevice, ShowErrorMode::SwitchToReference),
              AppError::ReducedReferenceDevice);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, kGeneric);
    EXPECT_EQ(boxes[0].type, MB_ICONEXCLAMATION);
    EXPECT_EQ(boxes[1].text, ExitText("Could not reset the Direct3D device."));
    EXPECT_EQ(boxes[1].type, MB_ICONHAND);
    EXPECT_EQ(boxes[2].text, "Not enough video memory.");
    EXPECT_EQ(boxes[2].type, MB_ICONEXCLAMATION);
    // The longest text with the longest sentence is shown whole.
    EXPECT_EQ(boxes[3].text,
              "Warning: Nothing will be rendered.\nThe reference rendering device was selected, "
              "but your\ncomputer only has a reduced-functionality reference device\ninstalled.  "
              "Install the full reference device to\nrender with it.\n" +
                  kSwitchSentence);
    EXPECT_EQ(app.count("FinalShutdown"), 0);
}

} // namespace

namespace {

TEST_F(StartupTest, WindowProcedureWithoutAnApplicationObjectUsesTheDefaultHandling) {
    HWND window = nullptr;
    {
        TestApp shortLived;
        ASSERT_EQ(shortLived.Startup(GetModuleHandleA(nullptr)), S_OK);
        window = shortLived.m_hWnd;
        shortLived.ShutdownDevice();
    }
    EXPECT_EQ(g_app, nullptr); // the object that went away no longer answers for the window
    EXPECT_EQ(AppWindowProc(window, WM_NCHITTEST, 0, 0),
              DefWindowProcA(window, WM_NCHITTEST, 0, 0));
    DestroyWindow(window);
    g_app = &app;
}

} // namespace
