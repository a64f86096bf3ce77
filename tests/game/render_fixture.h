// A device on a hidden window, working in the generated media folder, for drawing the game's
// objects: a fixed camera, frames kept as PNGs under test-frames/, and coarse image measures.
#pragma once

#include "platform/d3dx/d3dx8.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace game_test {

inline std::filesystem::path BinaryDir() {
    const char *binary = std::getenv("TARVOS_BINARY_DIR");
    return binary ? std::filesystem::path(binary) : std::filesystem::current_path();
}

// The bright pixels of a frame: how many, their bounding box and their mean colour.
struct BrightArea {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    double r = 0, g = 0, b = 0;
    int Width() const { return count ? right - left + 1 : 0; }
    int Height() const { return count ? bottom - top + 1 : 0; }
    double CentreX() const { return (left + right) / 2.0; }
    double CentreY() const { return (top + bottom) / 2.0; }
};

class RenderTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 320;
    static constexpr UINT kHeight = 240;

    void SetUp() override {
        seams::ResetAll();
        seams::SetRandomState(1);
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(BinaryDir() / "media");
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "game render test";
        RegisterClassA(&wc);
        m_window =
            CreateWindowExA(0, "game render test", "game render test", WS_VISIBLE | WS_CAPTION, 0,
                            0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
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
            EXPECT_EQ(m_device->Release(), 0u) << "an object kept a device resource";
        }
        if (m_d3d)
            m_d3d->Release();
        if (m_window)
            DestroyWindow(m_window);
        std::filesystem::current_path(m_previousFolder);
        seams::ResetAll();
    }

    // A camera at the origin looking along +z, 90 degrees vertically, 4:3.
    void LookAlongZ() {
        D3DXMATRIX view, projection;
        const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
        m_viewProjection = view * projection;
        m_device->SetTransform(D3DTS_VIEW, &view);
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
    }

    // Pixel space for overlays: one unit one pixel, origin at the centre, y up.
    void OverlaySpace() {
        D3DXMATRIX identity, projection;
        D3DXMatrixIdentity(&identity);
        D3DXMatrixOrthoLH(&projection, static_cast<float>(kWidth), static_cast<float>(kHeight),
                          0.0f, 1000.0f);
        m_device->SetTransform(D3DTS_VIEW, &identity);
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
    }

    void Begin(D3DCOLOR clear = 0xFF000000) {
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0),
                  S_OK);
        ASSERT_EQ(m_device->BeginScene(), S_OK);
    }

    // Ends the scene, reads the back buffer and keeps it as test-frames/<name>.png.
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

    const std::uint8_t *At(int x, int y) const {
        return &m_frame.pixels[(static_cast<size_t>(y) * m_frame.width + x) * 4];
    }

    // Pixels whose brightest channel exceeds `threshold`.
    BrightArea Bright(int threshold = 40) const {
        BrightArea area;
        for (int y = 0; y < static_cast<int>(m_frame.height); ++y)
            for (int x = 0; x < static_cast<int>(m_frame.width); ++x) {
                const std::uint8_t *p = At(x, y);
                if (std::max({p[0], p[1], p[2]}) <= threshold)
                    continue;
                ++area.count;
                area.left = std::min(area.left, x);
                area.right = std::max(area.right, x);
                area.top = std::min(area.top, y);
                area.bottom = std::max(area.bottom, y);
                area.r += p[0];
                area.g += p[1];
                area.b += p[2];
            }
        if (area.count) {
            area.r /= area.count;
            area.g /= area.count;
            area.b /= area.count;
        }
        return area;
    }

    std::filesystem::path m_previousFolder;
    HWND m_window = nullptr;
    IDirect3D8 *m_d3d = nullptr;
    IDirect3DDevice8 *m_device = nullptr;
    D3DXMATRIX m_viewProjection;
    image::Rgba8Image m_frame;
};

} // namespace game_test
