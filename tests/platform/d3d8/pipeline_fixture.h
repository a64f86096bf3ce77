// A device on a hidden window for the drawing-pipeline tests, with helpers to read pixels back and
// to keep each checked frame as a PNG under test-frames/ in the build folder.
#pragma once

#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "tests/build_folder.h"
#include "tests/platform/d3d8/headless_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

namespace pipeline_test {

struct Rgb {
    int r, g, b;
};

inline ::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance &&
        std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << actual.r << ", " << actual.g << ", " << actual.b << "), expected ("
           << expected.r << ", " << expected.g << ", " << expected.b << ") within " << tolerance;
}

struct ColourVertex {
    float x, y, z;
    DWORD colour;
};
constexpr DWORD kColourFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct ScreenVertex {
    float x, y, z, rhw;
    DWORD colour;
    float u, v;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

inline D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

class PipelineTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 64;

    void SetUp() override {
        seams::ResetAll();
        m_glBefore = seams::LiveGlObjects();
        m_window = headless::OpenWindow("pipeline test", kWidth, kHeight);
        ASSERT_NE(m_window, nullptr);
        m_d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_d3d, nullptr);
        ASSERT_EQ(Create(D3DFMT_X8R8G8B8), S_OK);
    }

    void TearDown() override {
        if (m_device) {
            EXPECT_EQ(m_device->Release(), 0u) << "a resource or binding kept the device alive";
        }
        EXPECT_EQ(m_d3d->Release(), 0u);
        DestroyWindow(m_window);
        seams::ResetAll();
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
        EXPECT_EQ(seams::LiveGlObjects(), m_glBefore);
    }

    HRESULT Create(D3DFORMAT format) {
        if (m_device) {
            m_device->Release();
            m_device = nullptr;
        }
        return headless::CreateWindowedDevice(m_d3d, m_window, kWidth, kHeight, &m_device, format);
    }

    // The presentation the device was created with, for a Reset to the same buffers.
    D3DPRESENT_PARAMETERS Presentation() const {
        return headless::WindowedPresentation(m_window, kWidth, kHeight);
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
        test_support::KeepFrame(m_frame, name);
    }

    Rgb At(int x, int y) const {
        const std::uint8_t *p = &m_frame.pixels[(static_cast<size_t>(y) * m_frame.width + x) * 4];
        return {p[0], p[1], p[2]};
    }

    // A camera at the origin looking along +z with a 90-degree field of view.
    void LookAlongZ() {
        const float zn = 1.0f, zf = 100.0f;
        D3DMATRIX proj{};
        proj._11 = 1.0f;
        proj._22 = 1.0f;
        proj._33 = zf / (zf - zn);
        proj._34 = 1.0f;
        proj._43 = -zn * zf / (zf - zn);
        const D3DMATRIX id = Identity();
        ASSERT_EQ(m_device->SetTransform(D3DTS_PROJECTION, &proj), S_OK);
        ASSERT_EQ(m_device->SetTransform(D3DTS_VIEW, &id), S_OK);
        ASSERT_EQ(m_device->SetTransform(D3DTS_WORLD, &id), S_OK);
    }

    HWND m_window = nullptr;
    IDirect3D8 *m_d3d = nullptr;
    IDirect3DDevice8 *m_device = nullptr;
    image::Rgba8Image m_frame;
    int m_glBefore = 0;
};

} // namespace pipeline_test
