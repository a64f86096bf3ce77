// A device on a hidden window, working in the generated media folder, for drawing the game's
// objects: a fixed camera, frames kept as PNGs under test-frames/, and coarse image measures.
#pragma once

#include "tests/game/device_fixture.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace game_test {

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

class RenderTest : public DeviceTest<320, 240> {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        seams::SetRandomState(1);
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
};

} // namespace game_test
