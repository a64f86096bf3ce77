// Decodes DDS files of uncompressed mask-described RGB(A) formats into 32-bit texels.
#include "platform/d3dx/dds_reader.h"

#include "platform/image/image.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace dds {

namespace {

std::uint32_t U32(std::span<const std::uint8_t> data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | (static_cast<std::uint32_t>(data[at + 1]) << 8) |
           (static_cast<std::uint32_t>(data[at + 2]) << 16) |
           (static_cast<std::uint32_t>(data[at + 3]) << 24);
}

// One colour channel: where its bits lie and how to widen them to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    bool Set(std::uint32_t m) {
        mask = m;
        if (m == 0)
            return true;
        shift = std::countr_zero(m);
        max = m >> shift;
        // The bits must be one contiguous run.
        return (max & (max + 1)) == 0;
    }
    std::uint8_t Extract(std::uint32_t pixel, std::uint8_t absent) const {
        if (mask == 0)
            return absent;
        const std::uint32_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

// The byte offset of the file position header fields, after the 4-byte magic.
constexpr std::size_t kFlags = 8, kHeight = 12, kWidth = 16, kDepth = 24, kMipCount = 28,
                      kPixelFormat = 76, kCaps2 = 112;

} // namespace

bool Decode(std::span<const std::uint8_t> data, Image &out, std::string &error,
            std::uint32_t maxSide) {
    out = Image{};
    const std::size_t headerEnd = 4 + kHeaderSize;
    if (data.size() < headerEnd || U32(data, 0) != kMagic) {
        error = "not a DDS file";
        return false;
    }
    if (U32(data, 4) != kHeaderSize || U32(data, kPixelFormat) != kPixelFormatSize) {
        error = "malformed DDS header";
        return false;
    }
    const std::uint32_t flags = U32(data, kFlags);
    const std::uint32_t height = U32(data, kHeight);
    const std::uint32_t width = U32(data, kWidth);
    const std::uint32_t caps2 = U32(data, kCaps2);
    const std::uint32_t pixelFlags = U32(data, kPixelFormat + 4);
    const std::uint32_t bitCount = U32(data, kPixelFormat + 12);

    if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) {
        error = "DDS size out of range";
        return false;
    }
    if (width > maxSide || height > maxSide) {
        error = image::SizeLimitError(width, height, maxSide);
        return false;
    }
    if ((caps2 & kCaps2Volume) || ((flags & kFlagDepth) && U32(data, kDepth) > 1)) {
        error = "volume DDS textures are not supported";
        return false;
    }
    if (pixelFlags & kPixelFourCC) {
        error = "compressed or FourCC DDS formats are not supported";
        return false;
    }
    if (!(pixelFlags & kPixelRgb) || (bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        error = "unsupported DDS pixel format";
        return false;
    }
    Channel r, g, b, a;
    const std::uint32_t limit = bitCount == 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1;
    const std::uint32_t masks[4] = {
        U32(data, kPixelFormat + 16), U32(data, kPixelFormat + 20), U32(data, kPixelFormat + 24),
        (pixelFlags & kPixelAlphaPixels) ? U32(data, kPixelFormat + 28) : 0};
    if (!r.Set(masks[0]) || !g.Set(masks[1]) || !b.Set(masks[2]) || !a.Set(masks[3]) ||
        ((masks[0] | masks[1] | masks[2] | masks[3]) & ~limit) || (masks[0] & masks[1]) ||
        (masks[0] & masks[2]) || (masks[1] & masks[2]) ||
        ((masks[0] | masks[1] | masks[2]) & masks[3]) || (masks[0] | masks[1] | masks[2]) == 0) {
        error = "malformed DDS channel masks";
        return false;
    }

    std::uint32_t levels = (flags & kFlagMipMapCount) ? U32(data, kMipCount) : 1;
    if (levels == 0)
        levels = 1;
    const std::uint32_t maxLevels = std::bit_width(width > height ? width : height);
    if (levels > maxLevels) {
        error = "more DDS mip levels than the size allows";
        return false;
    }
    const bool cube = (caps2 & kCaps2CubeMap) != 0;
    if (cube && ((caps2 & kCaps2AllFaces) != kCaps2AllFaces || width != height)) {
        error = "partial or non-square DDS cube maps are not supported";
        return false;
    }
    const std::uint32_t faces = cube ? 6 : 1;

    // Everything must be in the file before anything is allocated.
    const std::uint32_t bytesPerPixel = bitCount / 8;
    std::uint64_t needed = 0;
    for (std::uint32_t level = 0; level < levels; ++level) {
        const std::uint64_t w = std::max<std::uint32_t>(1, width >> level);
        const std::uint64_t h = std::max<std::uint32_t>(1, height >> level);
        needed += w * h * bytesPerPixel;
    }
    needed *= faces;
    if (needed > data.size() - headerEnd) {
        error = "truncated DDS data";
        return false;
    }

    out.width = width;
    out.height = height;
    out.levels = levels;
    out.faces = faces;
    out.cubeMap = cube;
    out.hasAlpha = a.mask != 0;
    out.surfaces.reserve(std::size_t{faces} * levels);
    std::size_t at = headerEnd;
    for (std::uint32_t face = 0; face < faces; ++face)
        for (std::uint32_t level = 0; level < levels; ++level) {
            Surface s;
            s.width = std::max<std::uint32_t>(1, width >> level);
            s.height = std::max<std::uint32_t>(1, height >> level);
            const std::size_t count = std::size_t{s.width} * s.height;
            s.texels.resize(count * 4);
            for (std::size_t i = 0; i < count; ++i, at += bytesPerPixel) {
                std::uint32_t pixel = 0;
                for (std::uint32_t k = 0; k < bytesPerPixel; ++k)
                    pixel |= static_cast<std::uint32_t>(data[at + k]) << (8 * k);
                std::uint8_t *t = &s.texels[i * 4];
                t[0] = b.Extract(pixel, 0);
                t[1] = g.Extract(pixel, 0);
                t[2] = r.Extract(pixel, 0);
                t[3] = a.Extract(pixel, 255);
            }
            out.surfaces.push_back(std::move(s));
        }
    return true;
}

} // namespace dds
