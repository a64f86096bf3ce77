// The module handle and the program's built-in resources: its icon (resource 101), the stock
// arrow cursor and the stock brushes.
#include "platform/win32/window.h"
#include "platform/win32/window_internal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

// Tags of the small numbers that stand for resource handles.
constexpr std::uintptr_t kIconTag = 0x00010000;
constexpr std::uintptr_t kCursorTag = 0x00020000;
constexpr std::uintptr_t kBrushTag = 0x00030000;
constexpr std::uintptr_t kArrowId = 32512;
constexpr std::uintptr_t kApplicationIconId = 32512;

// The program's module handle: any stable non-null value serves.
HINSTANCE moduleHandle() {
    return reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000});
}

WORD resourceId(LPCSTR name) {
    return IS_INTRESOURCE(name) ? static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name)) : 0;
}

// A 16-colour picture of a cratered asteroid on a transparent ground, a laser shot passing.
std::array<std::uint32_t, 32 * 32> drawIcon() {
    // RGBA32 in memory order R, G, B, A, read as a little-endian 32-bit value.
    auto rgba = [](unsigned r, unsigned g, unsigned b, unsigned a = 255) {
        return static_cast<std::uint32_t>(r | (g << 8) | (b << 16) | (a << 24));
    };
    const std::uint32_t palette[] = {
        rgba(0, 0, 0, 0),    rgba(0, 0, 0),       rgba(64, 64, 64),    rgba(96, 88, 80),
        rgba(128, 120, 110), rgba(160, 150, 136), rgba(192, 184, 170), rgba(224, 220, 208),
        rgba(255, 255, 255), rgba(0, 0, 128),     rgba(0, 96, 192),    rgba(0, 160, 255),
        rgba(128, 224, 255), rgba(192, 64, 0),    rgba(255, 128, 0),   rgba(255, 208, 64)};
    std::array<std::uint32_t, 32 * 32> pixels{};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double dx = x + 0.5 - 16.0;
            const double dy = y + 0.5 - 16.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            int colour = 0;
            if (r < 12.5) {
                // Lit from the upper left.
                const double light = 0.5 - (dx + dy) / 36.0;
                colour = 3 + static_cast<int>(std::clamp(light, 0.0, 0.99) * 5.0);
                const double c1 = std::hypot(dx + 4, dy + 3);
                const double c2 = std::hypot(dx - 5, dy - 4);
                if (c1 < 3.0 || c2 < 2.2)
                    colour = 2;
                else if (c1 < 3.8 || c2 < 3.0)
                    colour = 7; // the lit rim of a crater
            } else if (r < 13.5) {
                colour = 1;
            }
            // A laser shot streaking past the upper right, over the rock.
            const double along = (x - 14.0) * 0.89 + (y - 1.0) * 0.45;
            const double across = -(x - 14.0) * 0.45 + (y - 1.0) * 0.89;
            if (along > 0.0 && along < 17.0 && std::abs(across) < 1.2)
                colour = along > 13.0 ? 15 : 14;
            pixels[static_cast<std::size_t>(y * 32 + x)] = palette[colour];
        }
    }
    return pixels;
}

} // namespace

namespace win32::detail {

const std::uint32_t *ProgramIconPixels() {
    static const std::array<std::uint32_t, 32 * 32> pixels = drawIcon();
    return pixels.data();
}

HICON ProgramIconHandle() {
    return reinterpret_cast<HICON>(kIconTag | kProgramIconId);
}
HICON SystemIconHandle() {
    return reinterpret_cast<HICON>(kIconTag | kApplicationIconId);
}
HCURSOR ArrowCursorHandle() {
    return reinterpret_cast<HCURSOR>(kCursorTag | kArrowId);
}
bool IsProgramIcon(HICON icon) {
    return icon == ProgramIconHandle();
}

} // namespace win32::detail

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    // Only the program's own module exists.
    return moduleName ? nullptr : moduleHandle();
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    const WORD id = resourceId(name);
    if (!instance)
        return id == kApplicationIconId ? win32::detail::SystemIconHandle() : nullptr;
    if (instance == moduleHandle() && id == kProgramIconId)
        return win32::detail::ProgramIconHandle();
    return nullptr;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (!instance && resourceId(name) == kArrowId)
        return win32::detail::ArrowCursorHandle();
    return nullptr;
}

HGDIOBJ GetStockObject(int object) {
    // WHITE_BRUSH 0 to NULL_BRUSH 5 are the stock brushes.
    if (object < 0 || object > 5)
        return nullptr;
    return reinterpret_cast<HGDIOBJ>(kBrushTag | static_cast<std::uintptr_t>(object));
}
