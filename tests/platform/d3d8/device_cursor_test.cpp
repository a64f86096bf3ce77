// The device cursor: an A8R8G8B8 image with its hot spot inside it is taken; anything else is
// refused and the image set before stays.
#include "tests/platform/d3d8/pipeline_fixture.h"

namespace {

using DeviceCursorTest = pipeline_test::PipelineTest;

TEST_F(DeviceCursorTest, TakesAnArgbImageWithItsHotSpotInsideAndRefusesTheRest) {
    image::Rgba8Image cursor;
    POINT hotSpot{};
    EXPECT_FALSE(seams::DeviceCursorImage(m_device, cursor, hotSpot)) << "no image yet";
    IDirect3DSurface8 *image = nullptr, *opaque = nullptr;
    ASSERT_EQ(m_device->CreateImageSurface(16, 8, D3DFMT_A8R8G8B8, &image), S_OK);
    ASSERT_EQ(m_device->CreateImageSurface(16, 8, D3DFMT_X8R8G8B8, &opaque), S_OK);
    ASSERT_EQ(m_device->SetCursorProperties(15, 7, image), S_OK);

    EXPECT_EQ(m_device->SetCursorProperties(0, 0, opaque), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetCursorProperties(16, 0, image), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetCursorProperties(0, 8, image), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetCursorProperties(0, 0, nullptr), D3DERR_INVALIDCALL);
    ASSERT_TRUE(seams::DeviceCursorImage(m_device, cursor, hotSpot));
    EXPECT_EQ(cursor.width, 16u);
    EXPECT_EQ(cursor.height, 8u);
    EXPECT_EQ(hotSpot.x, 15) << "a refused image leaves the last one";
    EXPECT_EQ(hotSpot.y, 7);
    // Shown and hidden with or without a display that offers colour cursors.
    m_device->ShowCursor(TRUE);
    m_device->ShowCursor(FALSE);
    opaque->Release();
    image->Release();
}

} // namespace
