// A real device on a hidden window for the world-object tests: the working folder is the generated
// media folder while a test runs, and each checked frame is kept as test-frames/<name>.png.
#pragma once

#include "tests/game/device_fixture.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace world_test {

struct Rgb {
    int r, g, b;
};

using game_test::BinaryDir;

inline std::filesystem::path SourceDir() {
    const char *source = std::getenv("TARVOS_SOURCE_DIR");
    return source ? std::filesystem::path(source) : std::filesystem::path(".");
}

class WorldDeviceTest : public game_test::DeviceTest<160, 120> {
protected:
    void TearDown() override {
        DeviceTest::TearDown();
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
};

} // namespace world_test
