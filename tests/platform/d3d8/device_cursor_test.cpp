// The device cursor: an A8R8G8B8 image with its hot spot inside it is taken as it is; anything
// else is refused and the image set before stays.
#include "tests/platform/d3d8/pipeline_fixture.h"

#include <cstring>

namespace {

using pipeline_test::PipelineTest;

class DeviceCursorTest : public PipelineTest {
protected:
    IDirect3DSurface8 *Image(UINT width, UINT height, D3DFORMAT format, std::uint32_t fill) {
        IDirect3DSurface8 *surface = nullptr;
        EXPECT_EQ(m_device->CreateImageSurface(width, height, format, &surface), S_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), S_OK);
        for (UINT y = 0; y < height; ++y)
            for (UINT x = 0; x < width && format == D3DFMT_A8R8G8B8; ++x)
                std::memcpy(static_cast<std::uint8_t *>(locked.pBits) + y * locked.Pitch + x * 4,
                            &fill, 4);
        surface->UnlockRect();
        return surface;
    }
};

TEST_F(DeviceCursorTest, TakesAnArgbImageWithItsHotSpotInsideAndRefusesTheRest) {
    image::Rgba8Image cursor;
    POINT hotSpot{};
    EXPECT_FALSE(seams::DeviceCursorImage(m_device, cursor, hotSpot)) << "no image yet";

    IDirect3DSurface8 *image = Image(16, 8, D3DFMT_A8R8G8B8, 0x80FF2010);
    ASSERT_EQ(m_device->SetCursorProperties(15, 7, image), S_OK);
    ASSERT_TRUE(seams::DeviceCursorImage(m_device, cursor, hotSpot));
    EXPECT_EQ(cursor.width, 16u);
    EXPECT_EQ(cursor.height, 8u);
    EXPECT_EQ(hotSpot.x, 15);
    EXPECT_EQ(hotSpot.y, 7);
    EXPECT_EQ(cursor.pixels[0], 0xFF); // red, green, blue, alpha
    EXPECT_EQ(cursor.pixels[1], 0x20);
    EXPECT_EQ(cursor.pixels[2], 0x10);
    EXPECT_EQ(cursor.pixels[3], 0x80);

    IDirect3DSurface8 *opaque = Image(16, 8, D3DFMT_X8R8G8B8, 0);
    EXPECT_EQ(m_device->SetCursorProperties(0, 0, opaque), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetCursorProperties(16, 0, image), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetCursorProperties(0, 8, image), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetCursorProperties(0, 0, nullptr), D3DERR_INVALIDCALL);
    ASSERT_TRUE(seams::DeviceCursorImage(m_device, cursor, hotSpot));
    EXPECT_EQ(hotSpot.x, 15) << "a refused image leaves the last one";
    // Shown and hidden with or without a display that offers colour cursors.
    m_device->ShowCursor(TRUE);
    m_device->ShowCursor(FALSE);
    opaque->Release();
    image->Release();
}

} // namespace
