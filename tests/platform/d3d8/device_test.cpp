// The device on a real window through the offscreen video driver: creation and its refusals,
// back buffer, Clear, Present, capture, loss and Reset, and exact reference counts.
#include "platform/d3d8/device.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "tests/platform/d3d8/headless_device.h"
#include "tests/platform/win32/window_event.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace {

D3DPRESENT_PARAMETERS windowed(HWND window, UINT w, UINT h, bool depth = true) {
    return headless::WindowedPresentation(window, w, h, D3DFMT_X8R8G8B8, depth);
}

D3DPRESENT_PARAMETERS fullScreen(HWND window, UINT w, UINT h, D3DFORMAT format) {
    D3DPRESENT_PARAMETERS pp = windowed(window, w, h);
    pp.Windowed = FALSE;
    pp.BackBufferFormat = format;
    return pp;
}

std::uint32_t pixel(const image::Rgba8Image &img, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t *p = &img.pixels[(static_cast<size_t>(y) * img.width + x) * 4];
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        m_glBefore = seams::LiveGlObjects();
        m_window = headless::OpenWindow("device test", 320, 240);
        ASSERT_NE(m_window, nullptr);
        m_d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_d3d, nullptr);
    }
    void TearDown() override {
        if (m_device) {
            EXPECT_EQ(m_device->Release(), 0u);
        }
        EXPECT_EQ(m_d3d->Release(), 0u);
        DestroyWindow(m_window);
        seams::ResetAll();
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
        EXPECT_EQ(seams::LiveGlObjects(), m_glBefore);
    }
    HRESULT create(D3DPRESENT_PARAMETERS pp,
                   DWORD behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING) {
        return m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, behaviour, &pp, &m_device);
    }
    image::Rgba8Image read() {
        image::Rgba8Image img;
        EXPECT_TRUE(seams::ReadBackBuffer(m_device, img));
        return img;
    }

    int m_glBefore = 0;
    HWND m_window = nullptr;
    IDirect3D8 *m_d3d = nullptr;
    IDirect3DDevice8 *m_device = nullptr;
};

TEST(PresentArea, ThePictureKeepsItsShapeAndOnlyTheBarsBesideItAreLeftToClear) {
    const auto rect = [](const RECT &r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.right) + "," + std::to_string(r.bottom);
    };
    const auto bars = [&](const d3d8::PresentArea &a) {
        std::string out;
        for (const RECT &b : a.bars)
            out += rect(b) + " ";
        return out;
    };
    // Filling the window: nothing to clear.
    d3d8::PresentArea same = d3d8::FitPicture(640, 480, 640, 480);
    EXPECT_EQ(rect(same.picture), "0,0,640,480");
    EXPECT_TRUE(same.bars.empty());
    EXPECT_TRUE(d3d8::FitPicture(640, 480, 1280, 960).bars.empty());
    // 4:3 on a 5:4 screen: rows below and above.
    d3d8::PresentArea letterbox = d3d8::FitPicture(640, 480, 1280, 1024);
    EXPECT_EQ(rect(letterbox.picture), "0,32,1280,992");
    EXPECT_EQ(bars(letterbox), "0,0,1280,32 0,992,1280,1024 ");
    // 5:4 on a 16:9 screen: columns beside.
    d3d8::PresentArea pillarbox = d3d8::FitPicture(1280, 1024, 1920, 1080);
    EXPECT_EQ(rect(pillarbox.picture), "285,0,1635,1080");
    EXPECT_EQ(bars(pillarbox), "0,0,285,1080 1635,0,1920,1080 ");
    // A window restored a little larger than the picture it shows, and one far smaller.
    EXPECT_EQ(rect(d3d8::FitPicture(1272, 997, 1280, 1024).picture), "0,10,1280,1013");
    EXPECT_EQ(rect(d3d8::FitPicture(16384, 16384, 3, 1).picture), "1,0,2,1");
}

TEST_F(DeviceTest, ClearsThePresentedBackBufferOfTheRequestedSize) {
    ASSERT_EQ(create(windowed(m_window, 200, 100)), S_OK);
    IDirect3DSurface8 *backBuffer = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(backBuffer->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Width, 200u);
    EXPECT_EQ(desc.Height, 100u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(backBuffer->Release(), 0u);

    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                              D3DCOLOR_XRGB(10, 200, 30), 1.0f, 0),
              S_OK);
    image::Rgba8Image img = read();
    ASSERT_EQ(img.width, 200u);
    EXPECT_EQ(pixel(img, 0, 0), 0x0AC81Eu);
    EXPECT_EQ(pixel(img, 199, 99), 0x0AC81Eu);

    // Rectangles count from the top-left corner, clipped to the back buffer.
    const D3DRECT rects[] = {{0, 0, 10, 5}, {190, 90, 400, 400}};
    ASSERT_EQ(m_device->Clear(2, rects, D3DCLEAR_TARGET, D3DCOLOR_XRGB(255, 0, 0), 1.0f, 0), S_OK);
    img = read();
    EXPECT_EQ(pixel(img, 0, 0), 0xFF0000u);
    EXPECT_EQ(pixel(img, 9, 4), 0xFF0000u);
    EXPECT_EQ(pixel(img, 10, 5), 0x0AC81Eu);
    EXPECT_EQ(pixel(img, 0, 99), 0x0AC81Eu);
    EXPECT_EQ(pixel(img, 199, 99), 0xFF0000u);

    const unsigned before = seams::PresentCount();
    EXPECT_EQ(m_device->BeginScene(), S_OK);
    EXPECT_EQ(m_device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->EndScene(), S_OK);
    EXPECT_EQ(m_device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(seams::PresentCount(), before + 1);
}

TEST_F(DeviceTest, ClearRefusesBuffersTheDeviceDoesNotHave) {
    ASSERT_EQ(create(windowed(m_window, 64, 64, false)), S_OK);
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), S_OK);
}

TEST_F(DeviceTest, CreationRefusalsLeaveTheOutPointerNull) {
    IDirect3DDevice8 *device = reinterpret_cast<IDirect3DDevice8 *>(0x1);
    D3DPRESENT_PARAMETERS pp = windowed(m_window, 64, 64);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  nullptr, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    // Two vertex-processing kinds at once, pure without hardware processing.
    device = reinterpret_cast<IDirect3DDevice8 *>(0x1);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window,
                                  D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                      D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &pp, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window,
                                  D3DCREATE_PUREDEVICE | D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                  &device),
              D3DERR_INVALIDCALL);
    // A windowed back buffer in another format than the desktop's; a full-screen size that is
    // not a display mode; a depth format the device lacks; no reference device.
    D3DPRESENT_PARAMETERS bad = pp;
    bad.BackBufferFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  &bad, &device),
              D3DERR_INVALIDCALL);
    bad = fullScreen(m_window, 641, 480, D3DFMT_R5G6B5);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  &bad, &device),
              D3DERR_INVALIDCALL);
    bad = pp;
    bad.AutoDepthStencilFormat = D3DFMT_D32;
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  &bad, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_REF, m_window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &pp, &device),
              D3DERR_NOTAVAILABLE);
    seams::InjectFailure("CreateDevice", 1, D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  &pp, &device),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  &(bad = windowed(nullptr, 64, 64)), &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(seams::LiveD3D8Objects(), 1); // only the Direct3D object
}

TEST_F(DeviceTest, ResetRefusesWhileTheBackBufferIsHeldAndResizesAfterwards) {
    ASSERT_EQ(create(windowed(m_window, 100, 100)), S_OK);
    IDirect3DSurface8 *backBuffer = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    D3DPRESENT_PARAMETERS pp = windowed(m_window, 300, 150);
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_INVALIDCALL);
    // A refused reset leaves the device waiting for one that works.
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    backBuffer->Release();

    ASSERT_EQ(m_device->Reset(&pp), S_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), S_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(1, 2, 3), 1.0f, 0), S_OK);
    image::Rgba8Image img = read();
    EXPECT_EQ(img.width, 300u);
    EXPECT_EQ(img.height, 150u);
    EXPECT_EQ(pixel(img, 299, 149), 0x010203u);

    seams::InjectFailure("Reset", 1, D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_device->Reset(&pp), S_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), S_OK);
}

TEST_F(DeviceTest, InjectedLossIsLostThenNotResetUntilReset) {
    ASSERT_EQ(create(windowed(m_window, 64, 64)), S_OK);
    seams::InjectDeviceLoss(2);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    D3DPRESENT_PARAMETERS pp = windowed(m_window, 64, 64);
    EXPECT_EQ(m_device->Reset(&pp), S_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), S_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
}

TEST_F(DeviceTest, FullScreenDeviceIsLostWhileItsWindowIsOutOfFocus) {
    ASSERT_EQ(create(fullScreen(m_window, 640, 480, D3DFMT_R5G6B5)), S_OK);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(m_device->GetDisplayMode(&mode), S_OK);
    EXPECT_EQ(mode.Width, 640u);
    EXPECT_EQ(mode.Format, D3DFMT_R5G6B5);
    EXPECT_TRUE(SDL_GetWindowFlags(win32::SdlWindowOf(m_window)) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(m_device->TestCooperativeLevel(), S_OK);

    test_events::PushWindowEvent(m_window, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS pp = fullScreen(m_window, 640, 480, D3DFMT_R5G6B5);
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_DEVICELOST);
    test_events::PushWindowEvent(m_window, SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(m_device->Reset(&pp), S_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), S_OK);

    // Back to a window: the window leaves full screen and the display mode is the desktop's.
    pp = windowed(m_window, 320, 240);
    ASSERT_EQ(m_device->Reset(&pp), S_OK);
    EXPECT_FALSE(SDL_GetWindowFlags(win32::SdlWindowOf(m_window)) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    D3DDISPLAYMODE desktop{};
    m_d3d->GetAdapterDisplayMode(0, &desktop);
    ASSERT_EQ(m_device->GetDisplayMode(&mode), S_OK);
    EXPECT_EQ(mode.Width, desktop.Width);
    // A window that loses the focus does not lose its device.
    test_events::PushWindowEvent(m_window, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), S_OK);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST_F(DeviceTest, ReferencesAreCountedExactly) {
    ASSERT_EQ(create(windowed(m_window, 32, 32)), S_OK);
    EXPECT_EQ(m_device->AddRef(), 2u);
    EXPECT_EQ(m_device->Release(), 1u);

    // A surface the program holds keeps its device alive.
    IDirect3DSurface8 *backBuffer = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    EXPECT_EQ(backBuffer->AddRef(), 2u);
    EXPECT_EQ(backBuffer->Release(), 1u);
    EXPECT_EQ(m_device->Release(), 1u);
    IDirect3DDevice8 *owner = nullptr;
    ASSERT_EQ(backBuffer->GetDevice(&owner), S_OK);
    EXPECT_EQ(owner->Release(), 1u);
    EXPECT_EQ(backBuffer->Release(), 0u); // frees the device with it
    m_device = nullptr;
    EXPECT_EQ(seams::LiveD3D8Objects(), 1);

    // An injected leak: the release keeps its reference, a later one frees the device.
    ASSERT_EQ(create(windowed(m_window, 32, 32)), S_OK);
    seams::InjectFailure("DeviceRelease");
    EXPECT_EQ(m_device->Release(), 1u);
    EXPECT_EQ(m_device->Release(), 0u);
    m_device = nullptr;
}

TEST_F(DeviceTest, ADeviceThatOutlivesItsWindowRefusesWorkAndStillFreesEverything) {
    ASSERT_EQ(create(windowed(m_window, 32, 32)), S_OK);
    DestroyWindow(m_window);
    seams::CaptureDebugOutput(true);
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_NE(seams::TakeDebugOutput().find("no longer exists"), std::string::npos);
    seams::CaptureDebugOutput(false);
    // The fixture's release checks that the GL objects are accounted for.
}

TEST_F(DeviceTest, CapturesTheListedPresentsAsPngFiles) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tarvos-capture-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    // The folder is made with the first picture, parents and all.
    seams::CaptureFrames((folder / "run").string(), {2, 4});
    ASSERT_EQ(create(windowed(m_window, 40, 30)), S_OK);
    const D3DCOLOR colours[] = {D3DCOLOR_XRGB(255, 0, 0), D3DCOLOR_XRGB(0, 0, 255),
                                D3DCOLOR_XRGB(0, 255, 0)};
    for (D3DCOLOR colour : colours) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
        ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "run" / "frame-1.png"));
    EXPECT_FALSE(std::filesystem::exists(folder / "run" / "frame-3.png"));
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(image::ReadFileBytes((folder / "run" / "frame-2.png").string(), bytes, error))
        << error;
    image::Rgba8Image img;
    ASSERT_TRUE(image::DecodePng(bytes, img, error)) << error;
    EXPECT_EQ(img.width, 40u);
    EXPECT_EQ(img.height, 30u);
    EXPECT_EQ(pixel(img, 20, 15), 0x0000FFu);
    std::filesystem::remove_all(folder);
}

} // namespace
