// The graphics objects behind GDI handles, kept in one table so that a stale or foreign handle is
// recognised instead of followed. Internal to the GDI code.
#pragma once

#include "platform/win32/gdi.h"

#include <cstdint>
#include <vector>

namespace win32::gdi {

// Pixels are 0xAARRGGBB, rows top to bottom. A one-bit bitmap holds only 0 and 0x00FFFFFF.
struct Bitmap {
    LONG width = 0;
    LONG height = 0;
    WORD bitsPerPixel = 32;
    std::vector<std::uint32_t> pixels;
};

HBITMAP CreateBitmapObject(Bitmap bitmap);
// A copy of the bitmap behind the handle; false for anything else.
bool ReadBitmap(HBITMAP handle, Bitmap *out);
// Whether the handle is a live memory or window device context.
bool IsDeviceContext(HDC dc);

} // namespace win32::gdi
