// The pictures behind the layer's icon and cursor handles, handed out as bitmaps.
#include "platform/win32/gdi_objects.h"
#include "platform/win32/window_internal.h"

#include "platform/seams/failure_injection.h"

#include <array>
#include <string_view>

namespace {

using win32::gdi::Bitmap;

constexpr LONG kIconSize = 32;
constexpr std::uint32_t kWhite = 0x00FFFFFF;

// Our arrow pointer: 'X' black edge, 'o' white body, ' ' see-through. Its tip is the hot spot.
constexpr std::array<std::string_view, 19> kArrow = {
    "X",         "XX",        "XoX",        "XooX",        "XoooX",        "XooooX",   "XoooooX",
    "XooooooX",  "XoooooooX", "XooooooooX", "XoooooooooX", "XooooooXXXXX", "XoooXooX", "XooXXooX",
    "XoX  XooX", "XX   XooX", "X     XooX", "      XooX",  "       XX"};

// One-bit bitmaps hold 0 or white.
Bitmap monochrome(LONG width, LONG height) {
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bitsPerPixel = 1;
    bitmap.pixels.assign(static_cast<std::size_t>(width * height), 0);
    return bitmap;
}

// A black-and-white cursor: the AND mask (set = see-through) above the XOR picture.
Bitmap arrowMask() {
    Bitmap mask = monochrome(kIconSize, kIconSize * 2);
    for (LONG y = 0; y < kIconSize; ++y) {
        for (LONG x = 0; x < kIconSize; ++x) {
            const char cell = static_cast<std::size_t>(y) < kArrow.size() &&
                                      static_cast<std::size_t>(x) < kArrow[y].size()
                                  ? kArrow[y][x]
                                  : ' ';
            mask.pixels[y * kIconSize + x] = cell == ' ' ? kWhite : 0;
            mask.pixels[(kIconSize + y) * kIconSize + x] = cell == 'o' ? kWhite : 0;
        }
    }
    return mask;
}

// A colour icon from RGBA pixels: the colour picture, and a mask set where the picture is clear.
void iconBitmaps(const std::uint32_t *rgba, Bitmap *colour, Bitmap *mask) {
    *mask = monochrome(kIconSize, kIconSize);
    colour->width = kIconSize;
    colour->height = kIconSize;
    colour->bitsPerPixel = 32;
    colour->pixels.resize(static_cast<std::size_t>(kIconSize * kIconSize));
    for (std::size_t i = 0; i < colour->pixels.size(); ++i) {
        const std::uint32_t p = rgba[i];
        const std::uint32_t r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF, a = p >> 24;
        colour->pixels[i] = (a << 24) | (r << 16) | (g << 8) | b;
        mask->pixels[i] = a == 0 ? kWhite : 0;
    }
}

// The system's application icon: a white window with a blue title bar and a black frame.
const std::uint32_t *applicationIconPixels() {
    static const auto pixels = [] {
        std::array<std::uint32_t, kIconSize * kIconSize> rgba{};
        for (LONG y = 2; y < 30; ++y) {
            for (LONG x = 1; x < 31; ++x) {
                const bool frame = y == 2 || y == 29 || x == 1 || x == 30;
                const std::uint32_t colour = frame ? 0xFF000000 : y < 8 ? 0xFFA04000 : 0xFFFFFFFF;
                rgba[y * kIconSize + x] = colour;
            }
        }
        return rgba;
    }();
    return pixels.data();
}

} // namespace

BOOL GetIconInfo(HICON icon, ICONINFO *info) {
    if (!info)
        return FALSE;
    if (seams::ShouldFail("GetIconInfo"))
        return FALSE;
    Bitmap colour, mask;
    ICONINFO result{};
    if (icon == win32::detail::ArrowCursorHandle()) {
        mask = arrowMask();
    } else if (icon == win32::detail::ProgramIconHandle()) {
        iconBitmaps(win32::detail::ProgramIconPixels(), &colour, &mask);
        result.fIcon = TRUE;
    } else if (icon == win32::detail::SystemIconHandle()) {
        iconBitmaps(applicationIconPixels(), &colour, &mask);
        result.fIcon = TRUE;
    } else {
        return FALSE;
    }
    if (result.fIcon) {
        // An icon's hot spot is its centre.
        result.xHotspot = kIconSize / 2;
        result.yHotspot = kIconSize / 2;
        result.hbmColor = win32::gdi::CreateBitmapObject(std::move(colour));
    }
    result.hbmMask = win32::gdi::CreateBitmapObject(std::move(mask));
    *info = result;
    return TRUE;
}
