// Test helper: writes DDS files of a given mask format, so tests can check what the reader makes
// of each layout.
#pragma once

#include "platform/d3dx/dds_reader.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace testing_dds {

struct Format {
    std::uint32_t bits = 32;
    std::uint32_t r = 0x00FF0000, g = 0x0000FF00, b = 0x000000FF, a = 0xFF000000;
};

class DdsWriter {
public:
    // `pixel(face, level, x, y)` gives the raw pixel value, written little-endian in bits/8 bytes.
    using PixelFn = std::function<std::uint32_t(int, int, int, int)>;

    static std::vector<std::uint8_t> Write(std::uint32_t width, std::uint32_t height,
                                           std::uint32_t levels, bool cube, const Format &f,
                                           const PixelFn &pixel) {
        std::vector<std::uint8_t> out;
        auto put = [&](std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        };
        put(dds::kMagic);
        put(dds::kHeaderSize);
        put(dds::kFlagCaps | dds::kFlagHeight | dds::kFlagWidth | dds::kFlagPitch |
            dds::kFlagPixelFormat | (levels > 1 ? dds::kFlagMipMapCount : 0));
        put(height);
        put(width);
        put(width * f.bits / 8);
        put(0);
        put(levels);
        for (int i = 0; i < 11; ++i)
            put(0);
        put(dds::kPixelFormatSize);
        put(dds::kPixelRgb | (f.a ? dds::kPixelAlphaPixels : 0));
        put(0);
        put(f.bits);
        put(f.r);
        put(f.g);
        put(f.b);
        put(f.a);
        put(dds::kCapsTexture | (levels > 1 || cube ? dds::kCapsComplex : 0) |
            (levels > 1 ? dds::kCapsMipMap : 0));
        put(cube ? dds::kCaps2CubeMap | dds::kCaps2AllFaces : 0);
        put(0);
        put(0);
        put(0);
        for (int face = 0; face < (cube ? 6 : 1); ++face)
            for (std::uint32_t level = 0; level < levels; ++level) {
                const std::uint32_t w = std::max(1u, width >> level);
                const std::uint32_t h = std::max(1u, height >> level);
                for (std::uint32_t y = 0; y < h; ++y)
                    for (std::uint32_t x = 0; x < w; ++x) {
                        const std::uint32_t v = pixel(face, static_cast<int>(level),
                                                      static_cast<int>(x), static_cast<int>(y));
                        for (std::uint32_t k = 0; k < f.bits / 8; ++k)
                            out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
                    }
            }
        return out;
    }

    // Overwrites the 32-bit header field at byte `offset` (counted from the file start).
    static void Patch(std::vector<std::uint8_t> &file, std::size_t offset, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
};

} // namespace testing_dds
