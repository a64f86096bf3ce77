// Enumeration of adapters, devices and modes over adapters a test describes: filtering, merging,
// sorting, the choice of the starting mode, depth formats, vertex-processing trials and the
// choice of a reference device with its warning.
#include "d3d_app_test_support.h"

namespace {

d3d8::DeviceTypeInfo deviceType(DWORD caps2, DWORD devCaps, std::vector<D3DFORMAT> formats) {
    d3d8::DeviceTypeInfo info;
    info.available = true;
    info.caps.Caps2 = caps2;
    info.caps.DevCaps = devCaps;
    info.displayFormats = std::move(formats);
    info.depthFormats = {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8};
    return info;
}

d3d8::AdapterInfo adapter(std::vector<D3DDISPLAYMODE> modes, D3DFORMAT desktop = D3DFMT_X8R8G8B8) {
    d3d8::AdapterInfo info;
    info.description = "test adapter";
    info.desktop = {1024, 768, 60, desktop};
    info.modes = std::move(modes);
    info.hal = deviceType(D3DCAPS2_CANRENDERWINDOWED, D3DDEVCAPS_HWTRANSFORMANDLIGHT,
                          {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5});
    return info;
}

class EnumerationTest : public FrameworkTest {
protected:
    HRESULT enumerate(std::vector<d3d8::AdapterInfo> adapters) {
        seams::OverrideD3D8Adapters(std::move(adapters));
        app.m_pD3D = Direct3DCreate8(D3D_SDK_VERSION);
        EXPECT_NE(app.m_pD3D, nullptr);
        return app.EnumerateDevices();
    }
    void TearDown() override {
        if (app.m_pD3D)
            app.m_pD3D->Release();
        app.m_pD3D = nullptr;
        FrameworkTest::TearDown();
    }
    const DeviceRecord &device(DWORD a = 0, DWORD d = 0) { return app.m_adapters[a].devices[d]; }

    TestApp app;
};

TEST_F(EnumerationTest, SmallModesAreDroppedRefreshRatesMergedAndModesSorted) {
    d3d8::AdapterInfo info = adapter({{800, 600, 60, D3DFMT_X8R8G8B8},
                                      {800, 600, 85, D3DFMT_X8R8G8B8},
                                      {640, 480, 60, D3DFMT_R5G6B5},
                                      {640, 399, 60, D3DFMT_R5G6B5},
                                      {639, 480, 60, D3DFMT_R5G6B5},
                                      {1024, 768, 60, D3DFMT_R5G6B5},
                                      {640, 480, 60, D3DFMT_X8R8G8B8},
                                      {640, 480, 75, D3DFMT_R5G6B5}});
    ASSERT_EQ(enumerate({info}), S_OK);
    ASSERT_EQ(app.m_dwAdapterCount, 1u);
    ASSERT_EQ(app.m_adapters[0].dwDeviceCount, 1u); // no reference device on this machine
    const DeviceRecord &hal = device();
    EXPECT_STREQ(hal.strDescription, "HAL");
    ASSERT_EQ(hal.dwModeCount, 4u);
    // Format descending (23 before 22), then width, then height.
    EXPECT_EQ(hal.modes[0].format, D3DFMT_R5G6B5);
    EXPECT_EQ(hal.modes[0].dwWidth, 640u);
    EXPECT_EQ(hal.modes[1].dwWidth, 1024u);
    EXPECT_EQ(hal.modes[2].format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(hal.modes[2].dwWidth, 640u);
    EXPECT_EQ(hal.modes[3].dwWidth, 800u);
    for (DWORD m = 0; m < hal.dwModeCount; ++m) {
        EXPECT_EQ(hal.modes[m].dwBehavior, D3DCREATE_HARDWARE_VERTEXPROCESSING);
        EXPECT_EQ(hal.modes[m].depthStencilFormat, D3DFMT_D16);
    }
    EXPECT_TRUE(hal.bCanRenderWindowed);
    EXPECT_TRUE(hal.bWindowed);
    EXPECT_TRUE(app.m_bWindowed);
    EXPECT_EQ(app.m_adapters[0].uOrdinal, 0u);
    EXPECT_STREQ(app.m_adapters[0].identifier.Description, "test adapter");
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

TEST_F(EnumerationTest, AnAdapterWithOnlySmallModesIsNotCounted) {
    EXPECT_EQ(
        enumerate({adapter({{640, 399, 60, D3DFMT_X8R8G8B8}, {320, 240, 60, D3DFMT_R5G6B5}})}),
        AppError::NoCompatibleDevice);
    EXPECT_EQ(app.m_dwAdapterCount, 0u);
}

TEST_F(EnumerationTest, WantedModeAbsentFallsBackToSixteenBitSixFortyByFourEighty) {
    app.m_wantedFullScreenMode = {800, 600, 0, D3DFMT_X8R8G8B8};
    app.m_dwChosenModeIndex = 77;
    ASSERT_EQ(enumerate({adapter({{640, 480, 60, D3DFMT_X8R8G8B8},
                                  {640, 480, 60, D3DFMT_R5G6B5},
                                  {1024, 768, 60, D3DFMT_X8R8G8B8}})}),
              S_OK);
    const DeviceRecord &hal = device();
    ASSERT_LT(hal.dwCurrentMode, hal.dwModeCount);
    EXPECT_EQ(hal.modes[hal.dwCurrentMode].format, D3DFMT_R5G6B5);
    EXPECT_EQ(hal.modes[hal.dwCurrentMode].dwWidth, 640u);
    EXPECT_EQ(app.m_dwChosenModeIndex, hal.dwCurrentMode);
    EXPECT_EQ(app.m_wantedFullScreenMode.Format, D3DFMT_R5G6B5);
}

TEST_F(EnumerationTest, WantedModeFoundIsTheCurrentMode) {
    app.m_wantedFullScreenMode = {1024, 768, 0, D3DFMT_X8R8G8B8};
    ASSERT_EQ(enumerate({adapter({{640, 480, 60, D3DFMT_R5G6B5},
                                  {1024, 768, 60, D3DFMT_X8R8G8B8},
                                  {800, 600, 60, D3DFMT_X8R8G8B8}})}),
              S_OK);
    EXPECT_EQ(device().dwCurrentMode, 2u);
    EXPECT_EQ(app.m_dwChosenModeIndex, 2u);
    EXPECT_EQ(app.m_wantedFullScreenMode.Format, D3DFMT_X8R8G8B8);
}

TEST_F(EnumerationTest, NoMatchAndNoSixFortyLeavesModeZeroAndTheChosenIndexAlone) {
    app.m_wantedFullScreenMode = {1600, 1200, 0, D3DFMT_R5G6B5};
    app.m_dwChosenModeIndex = 5;
    ASSERT_EQ(
        enumerate({adapter({{800, 600, 60, D3DFMT_X8R8G8B8}, {1024, 768, 60, D3DFMT_R5G6B5}})}),
        S_OK);
    EXPECT_EQ(device().dwCurrentMode, 0u);
    EXPECT_EQ(device().modes[0].format, D3DFMT_R5G6B5); // the largest format's smallest mode
    EXPECT_EQ(app.m_dwChosenModeIndex, 5u);
}

TEST_F(EnumerationTest, DepthFormatsFollowTheMinimumBitsAndTheDepthFlag) {
    d3d8::AdapterInfo info = adapter({{640, 480, 60, D3DFMT_X8R8G8B8}});
    info.hal.depthFormats = {D3DFMT_D24S8, D3DFMT_D32, D3DFMT_D16};
    app.m_dwMinStencilBits = 1;
    ASSERT_EQ(enumerate({info}), S_OK);
    EXPECT_EQ(device().modes[0].depthStencilFormat, D3DFMT_D24S8);

    D3DFORMAT depth = D3DFMT_UNKNOWN;
    app.m_dwMinStencilBits = 0;
    EXPECT_TRUE(app.PickDepthStencilFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, &depth));
    EXPECT_EQ(depth, D3DFMT_D16);
    app.m_dwMinDepthBits = 32;
    EXPECT_TRUE(app.PickDepthStencilFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, &depth));
    EXPECT_EQ(depth, D3DFMT_D32);
    app.m_dwMinStencilBits = 1;
    depth = D3DFMT_A8R8G8B8;
    EXPECT_FALSE(app.PickDepthStencilFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, &depth));
    EXPECT_EQ(depth, D3DFMT_A8R8G8B8); // untouched on failure
}

TEST_F(EnumerationTest, WithoutDepthBufferNoDepthFormatIsChosenOrNeeded) {
    d3d8::AdapterInfo info = adapter({{640, 480, 60, D3DFMT_X8R8G8B8}});
    info.hal.depthFormats.clear();
    app.m_bUseDepthBuffer = FALSE;
    ASSERT_EQ(enumerate({info}), S_OK);
    ASSERT_EQ(device().dwModeCount, 1u);
    EXPECT_EQ(device().modes[0].depthStencilFormat, D3DFMT_UNKNOWN);
}

TEST_F(EnumerationTest, NoDepthFormatLeavesTheFormatUnconfirmed) {
    d3d8::AdapterInfo info = adapter({{640, 480, 60, D3DFMT_X8R8G8B8}});
    info.hal.depthFormats.clear();
    EXPECT_EQ(enumerate({info}), AppError::NoCompatibleDevice);
}

TEST_F(EnumerationTest, VertexProcessingTrialsRunInOrderUntilOneIsAccepted) {
    d3d8::AdapterInfo info = adapter({{640, 480, 60, D3DFMT_X8R8G8B8}});
    info.hal.caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE;
    app.rejectBehavior = D3DCREATE_PUREDEVICE | D3DCREATE_MIXED_VERTEXPROCESSING;
    ASSERT_EQ(enumerate({info}), S_OK);
    ASSERT_EQ(app.trials.size(), 2u);
    EXPECT_EQ(app.trials[0].behavior, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE);
    EXPECT_EQ(app.trials[1].behavior, D3DCREATE_HARDWARE_VERTEXPROCESSING);
    EXPECT_EQ(device().modes[0].dwBehavior, D3DCREATE_HARDWARE_VERTEXPROCESSING);

    // Hardware processing refused altogether: mixed, then software.
    app.trials.clear();
    app.rejectBehavior = D3DCREATE_HARDWARE_VERTEXPROCESSING;
    app.m_pD3D->Release();
    ASSERT_EQ(enumerate({info}), S_OK);
    ASSERT_EQ(app.trials.size(), 3u);
    EXPECT_EQ(app.trials[2].behavior, D3DCREATE_MIXED_VERTEXPROCESSING);
    EXPECT_EQ(device().modes[0].dwBehavior, D3DCREATE_MIXED_VERTEXPROCESSING);

    // Without hardware transform and lighting only software processing is tried.
    app.trials.clear();
    app.rejectBehavior = 0;
    info.hal.caps.DevCaps = 0;
    app.m_pD3D->Release();
    ASSERT_EQ(enumerate({info}), S_OK);
    ASSERT_EQ(app.trials.size(), 1u);
    EXPECT_EQ(app.trials[0].behavior, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
}

TEST_F(EnumerationTest, HardwareWindowedOnlyOutsideTheDesktopFormatSwitchesToReference) {
    d3d8::AdapterInfo info = adapter({{640, 480, 60, D3DFMT_R5G6B5}});
    info.hal.displayFormats = {D3DFMT_R5G6B5}; // the desktop format fails the device check
    info.ref = deviceType(D3DCAPS2_CANRENDERWINDOWED, 0, {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5});
    ASSERT_EQ(enumerate({info}), S_OK);
    ASSERT_EQ(app.m_adapters[0].dwDeviceCount, 2u);
    EXPECT_FALSE(device(0, 0).bCanRenderWindowed);
    EXPECT_TRUE(device(0, 1).bCanRenderWindowed);
    EXPECT_EQ(app.m_adapters[0].dwCurrentDevice, 1u);
    auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Your Direct3D hardware accelerator cannot\nrender into a window with "
                             "the current\ndesktop display settings." +
                                 kSwitchSentence);
    EXPECT_EQ(boxes[0].caption, "Tarvos test");
    EXPECT_EQ(boxes[0].type, MB_ICONEXCLAMATION);
}

TEST_F(EnumerationTest, ReferenceWarningsNameWhatTheHardwareLacks) {
    struct Case {
        const char *name;
        d3d8::DeviceTypeInfo hal;
        std::string text;
    };
    const d3d8::DeviceTypeInfo none;
    d3d8::DeviceTypeInfo unaccepted = deviceType(D3DCAPS2_CANRENDERWINDOWED, 0, {D3DFMT_X8R8G8B8});
    unaccepted.depthFormats.clear(); // passes the device check, keeps no mode
    const Case cases[] = {
        {"no hardware", none, "No hardware-accelerated Direct3D devices\nwere found."},
        {"no modes", unaccepted,
         "This program requires functionality that is\nnot available on your Direct3D "
         "hardware\naccelerator."},
        {"never windowed", deviceType(0, 0, {D3DFMT_X8R8G8B8}),
         "Your Direct3D hardware accelerator cannot\nrender into a window."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        d3d8::AdapterInfo info = adapter({{640, 480, 60, D3DFMT_X8R8G8B8}});
        info.hal = c.hal;
        info.ref = deviceType(D3DCAPS2_CANRENDERWINDOWED, 0, {D3DFMT_X8R8G8B8});
        if (app.m_pD3D)
            app.m_pD3D->Release();
        ASSERT_EQ(enumerate({info}), S_OK);
        auto boxes = seams::TakeMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.text + kSwitchSentence);
    }
}

TEST_F(EnumerationTest, NoWindowCapableDeviceCannotRunWindowed) {
    d3d8::AdapterInfo info = adapter({{640, 480, 60, D3DFMT_X8R8G8B8}});
    info.hal.caps.Caps2 = 0;
    EXPECT_EQ(enumerate({info}), AppError::CannotRunWindowed);
    EXPECT_EQ(app.m_dwAdapterCount, 1u);
}

TEST_F(EnumerationTest, SkippedAdaptersKeepTheOrdinalsOfTheOnesKept) {
    d3d8::AdapterInfo useless = adapter({{320, 200, 60, D3DFMT_X8R8G8B8}});
    d3d8::AdapterInfo good = adapter({{640, 480, 60, D3DFMT_X8R8G8B8}});
    good.description = "second";
    ASSERT_EQ(enumerate({useless, good}), S_OK);
    ASSERT_EQ(app.m_dwAdapterCount, 1u);
    EXPECT_STREQ(app.m_adapters[0].identifier.Description, "second");
    EXPECT_EQ(app.m_adapters[0].uOrdinal, 1u);
    EXPECT_EQ(app.m_dwCurrentAdapter, 0u);
}

TEST_F(EnumerationTest, MoreModesAndFormatsThanTheRecordsHoldAreDropped) {
    std::vector<D3DDISPLAYMODE> modes;
    for (UINT i = 0; i < 400; ++i)
        modes.push_back({640 + i, 480, 60, i % 2 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8});
    for (INT f = 1; f < 40; ++f)
        modes.push_back({800, 600, 60, static_cast<D3DFORMAT>(200 + f)});
    ASSERT_EQ(enumerate({adapter(modes)}), S_OK);
    EXPECT_LE(device().dwModeCount, kMaxModesPerDevice);
    EXPECT_EQ(device().dwModeCount, 100u); // 100 display modes held, all in confirmed formats
}

} // namespace
