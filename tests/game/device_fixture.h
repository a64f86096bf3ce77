// The headless device every drawing test of the game's objects uses: a hidden window, a real
// device with a depth buffer, the generated media folder as working folder while the test runs, and
// each checked frame kept as test-frames/<name>.png.
#pragma once

#include "platform/d3dx/d3dx8.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "tests/build_folder.h"
#include "tests/platform/d3d8/headless_device.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace game_test {

using test_support::BinaryDir;
using test_support::KeepFrame;

template <UINT Width, UINT Height> class DeviceTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = Width;
    static constexpr UINT kHeight = Height;

    void SetUp() override {
        seams::ResetAll();
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(BinaryDir() / "media");
        m_window = headless::OpenWindow("game device test", kWidth, kHeight);
        ASSERT_NE(m_window, nullptr);
        m_d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_d3d, nullptr);
        ASSERT_EQ(headless::CreateWindowedDevice(m_d3d, m_window, kWidth, kHeight, &m_device),
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
        KeepFrame(m_frame, name);
    }

    std::filesystem::path m_previousFolder;
    HWND m_window = nullptr;
    IDirect3D8 *m_d3d = nullptr;
    IDirect3DDevice8 *m_device = nullptr;
    D3DXMATRIX m_viewProjection;
    image::Rgba8Image m_frame;
};

} // namespace game_test
