// A real device on a hidden window for the world-object tests: the working folder is the generated
// media folder while a test runs, and each checked frame is kept as test-frames/<name>.png.
#pragma once

#include "platform/d3dx/d3dx8.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace world_test {

struct Rgb {
    int r, g, b;
};

inline std::filesystem::path BinaryDir() {
    const char *binary = std::getenv("TARVOS_BINARY_DIR");
    return binary ? std::filesystem::path(binary) : std::filesystem::current_path();
}

inline std::filesystem::path SourceDir() {
    const char *source = std::getenv("TARVOS_SOURCE_DIR");
    return source ? std::filesystem::path(source) : std::filesystem::path(".");
}

class WorldDeviceTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 160;
    static constexpr UINT kHeight = 120;

    void SetUp() override {
        seams::ResetAll();
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(BinaryDir() / "media");
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "world test";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(0, "world test", "world test", WS_VISIBLE | WS_CAPTION, 0, 0,
                                   kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        m_d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_d3d, nullptr);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = kWidth;
        pp.BackBufferHeight = kHeight;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = m_window;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D16;
        ASSERT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window,
                                      D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_device),
                  S_OK);
    }

    void TearDown() override {
        if (m_device) {
            EXPECT_EQ(m_device->Release(), 0u) << "a mesh or texture kept the device alive";
        }
        if (m_d3d)
            m_d3d->Release();
        if (m_window)
            DestroyWindow(m_window);
        std::filesystem::current_path(m_previousFolder);
        seams::ResetAll();
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
    }

    // A camera at `eye` looking along +z, 90-degree field of view, unlit baseline states.
    void LookAlongZ(float eyeX = 0, float eyeY = 0, float eyeZ = 0) {
        D3DXMATRIX view, proj;
        const D3DXVECTOR3 eye(eyeX, eyeY, eyeZ), at(eyeX, eyeY, eyeZ + 1), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&proj, 3.14159265f / 2, float(kWidth) / kHeight, 0.5f, 1000.f);
        m_device->SetTransform(D3DTS_VIEW, &view);
        m_device->SetTransform(D3DTS_PROJECTION, &proj);
        D3DXMatrixMultiply(&m_viewProjection, &view, &proj);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ZENABLE, TRUE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    void Begin() {
        ASSERT_EQ(
            m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0),
            S_OK);
        ASSERT_EQ(m_device->BeginScene(), S_OK);
    }

    void End(const std::string &name) {
        ASSERT_EQ(m_device->EndScene(), S_OK);
        m_frame = image::Rgba8Image{};
        ASSERT_TRUE(seams::ReadBackBuffer(m_device, m_frame));
        const std::filesystem::path folder = BinaryDir() / "test-frames";
        std::filesystem::create_directories(folder);
        std::vector<std::uint8_t> png;
        std::string error;
        ASSERT_TRUE(image::EncodePng(m_frame, false, png, error)) << error;
        ASSERT_TRUE(image::WriteFileBytes((folder / (name + ".png")).string(), png, error))
            << error;
    }

    Rgb At(int x, int y) const {
        const std::uint8_t *p = &m_frame.pixels[(static_cast<size_t>(y) * m_frame.width + x) * 4];
        return {p[0], p[1], p[2]};
    }

    // Pixels brighter than `threshold` (sum of channels) within a rectangle, and their bounds.
    struct Lit {
        int count = 0;
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
        long r = 0, g = 0, b = 0;
    };
    Lit LitPixels(int threshold = 30, int x0 = 0, int y0 = 0, int x1 = kWidth,
                  int y1 = kHeight) const {
        Lit lit;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const Rgb c = At(x, y);
                if (c.r + c.g + c.b <= threshold)
                    continue;
                ++lit.count;
                lit.left = std::min(lit.left, x);
                lit.right = std::max(lit.right, x);
                lit.top = std::min(lit.top, y);
                lit.bottom = std::max(lit.bottom, y);
                lit.r += c.r;
                lit.g += c.g;
                lit.b += c.b;
            }
        return lit;
    }

    std::filesystem::path m_previousFolder;
    HWND m_window = nullptr;
    IDirect3D8 *m_d3d = nullptr;
    IDirect3DDevice8 *m_device = nullptr;
    D3DXMATRIX m_viewProjection;
    image::Rgba8Image m_frame;
};

} // namespace world_test
