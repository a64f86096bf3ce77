// Conversion of B, G, R, A texels into the stored texture formats, reducing each channel to its
// bit count with rounding.
#include "platform/d3dx/texel_formats.h"

#include <cstring>

namespace texels {

namespace {

unsigned reduce(std::uint8_t value, unsigned bits) {
    const unsigned top = (1u << bits) - 1;
    return (value * top + 127) / 255;
}

std::uint16_t pack16(const std::uint8_t *t, D3DFORMAT format) {
    const std::uint8_t b = t[0], g = t[1], r = t[2], a = t[3];
    switch (format) {
    case D3DFMT_R5G6B5:
        return static_cast<std::uint16_t>((reduce(r, 5) << 11) | (reduce(g, 6) << 5) |
                                          reduce(b, 5));
    case D3DFMT_X1R5G5B5:
        return static_cast<std::uint16_t>(0x8000 | (reduce(r, 5) << 10) | (reduce(g, 5) << 5) |
                                          reduce(b, 5));
    case D3DFMT_A1R5G5B5:
        return static_cast<std::uint16_t>(((a >= 128) << 15) | (reduce(r, 5) << 10) |
                                          (reduce(g, 5) << 5) | reduce(b, 5));
    default: // D3DFMT_A4R4G4B4
        return static_cast<std::uint16_t>((reduce(a, 4) << 12) | (reduce(r, 4) << 8) |
                                          (reduce(g, 4) << 4) | reduce(b, 4));
    }
}

} // namespace

// Every colour format the device knows is one StoreLevel writes.
bool Storable(D3DFORMAT format) {
    return D3DColorFormatBits(format) != 0;
}

// The format is chosen once per level, not per texel: the 32-bit formats are the decoders' own
// layout and go row by row.
void StoreLevel(const dds::Surface &level, D3DFORMAT format, std::uint8_t *destination,
                std::size_t pitch) {
    const std::size_t rowBytes = static_cast<std::size_t>(level.width) * 4;
    for (std::uint32_t y = 0; y < level.height; ++y) {
        const std::uint8_t *source = &level.texels[y * rowBytes];
        std::uint8_t *row = destination + y * pitch;
        switch (format) {
        case D3DFMT_A8R8G8B8:
            std::memcpy(row, source, rowBytes);
            break;
        case D3DFMT_X8R8G8B8:
            std::memcpy(row, source, rowBytes);
            for (std::uint32_t x = 0; x < level.width; ++x)
                row[x * 4 + 3] = 0xFF;
            break;
        case D3DFMT_R8G8B8:
            for (std::uint32_t x = 0; x < level.width; ++x, source += 4)
                std::memcpy(row + x * 3, source, 3);
            break;
        default:
            for (std::uint32_t x = 0; x < level.width; ++x, source += 4) {
                const std::uint16_t value = pack16(source, format);
                std::memcpy(row + x * 2, &value, 2);
            }
        }
    }
}

} // namespace texels
