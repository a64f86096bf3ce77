// Reading a bitmap's pixels out as a device-independent bitmap.
#include "platform/win32/gdi_objects.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/debug_output.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int fail(const char *why) {
    OutputDebugStringA((std::string("gdi: GetDIBits: ") + why + "\n").c_str());
    return 0;
}

} // namespace

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO *info,
              UINT usage) {
    if (seams::ShouldFail("GetDIBits"))
        return 0;
    if (!win32::gdi::IsDeviceContext(dc))
        return fail("not a device context");
    win32::gdi::Bitmap source;
    if (!win32::gdi::ReadBitmap(bitmap, &source))
        return fail("not a bitmap");
    if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return fail("no bitmap information header");
    if (usage != DIB_RGB_COLORS)
        return fail("only RGB colours are given out");

    BITMAPINFOHEADER &header = info->bmiHeader;
    if (!bits) {
        // A question about the bitmap: its own format unless the caller asks for one.
        if (header.biBitCount == 0) {
            header.biWidth = source.width;
            header.biHeight = source.height;
            header.biPlanes = 1;
            header.biBitCount = source.bitsPerPixel;
            header.biCompression = BI_RGB;
        }
        const DWORD rowBytes =
            ((static_cast<DWORD>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
        header.biSizeImage = rowBytes * static_cast<DWORD>(std::abs(header.biHeight));
        return source.height;
    }
    if (header.biBitCount != 32 || header.biCompression != BI_RGB)
        return fail("only 32-bit BI_RGB pixels are given out");
    if (header.biWidth != source.width || std::abs(header.biHeight) != source.height)
        return fail("the requested size is not the bitmap's");

    const UINT height = static_cast<UINT>(source.height);
    if (start >= height)
        return 0;
    const UINT count = std::min(lines, height - start);
    const bool bottomUp = header.biHeight > 0;
    const std::size_t width = static_cast<std::size_t>(source.width);
    auto *out = static_cast<unsigned char *>(bits);
    for (UINT line = 0; line < count; ++line) {
        const UINT dibRow = start + line;
        const UINT imageRow = bottomUp ? height - 1 - dibRow : dibRow;
        std::memcpy(out + line * width * sizeof(std::uint32_t),
                    source.pixels.data() + imageRow * width, width * sizeof(std::uint32_t));
    }
    return static_cast<int>(count);
}
