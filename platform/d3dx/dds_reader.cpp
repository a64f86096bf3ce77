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

// What the header says of the picture, before its pixel format.
struct Header {
    std::uint32_t flags = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t caps2 = 0;
};

// How a pixel is stored: its size and where each channel lies in it.
struct PixelFormat {
    std::uint32_t bytesPerPixel = 0;
    Channel r, g, b, a;
};

// The magic, the structure sizes, the size of the picture against `maxSide`, and no volume.
bool readHeader(std::span<const std::uint8_t> data, std::uint32_t maxSide, Header &header,
                std::string &error) {
    if (data.size() < 4 + kHeaderSize || U32(data, 0) != kMagic) {
        error = "not a DDS file";
        return false;
    }
    if (U32(data, 4) != kHeaderSize || U32(data, kPixelFormat) != kPixelFormatSize) {
        error = "malformed DDS header";
        return false;
    }
    header.flags = U32(data, kFlags);
    header.height = U32(data, kHeight);
    header.width = U32(data, kWidth);
    header.caps2 = U32(data, kCaps2);
    if (header.width == 0 || header.height == 0 || header.width > kMaxDimension ||
        header.height > kMaxDimension) {
        error = "DDS size out of range";
        return false;
    }
    if (header.width > maxSide || header.height > maxSide) {
        error = image::SizeLimitError(header.width, header.height, maxSide);
        return false;
    }
    if ((header.caps2 & kCaps2Volume) || ((header.flags & kFlagDepth) && U32(data, kDepth) > 1)) {
        error = "volume DDS textures are not supported";
        return false;
    }
    return true;
}

// An uncompressed RGB(A) format of 16, 24 or 32 bits whose channel masks are contiguous runs
// within the pixel that do not overlap.
bool readPixelFormat(std::span<const std::uint8_t> data, PixelFormat &format, std::string &error) {
    const std::uint32_t pixelFlags = U32(data, kPixelFormat + 4);
    const std::uint32_t bitCount = U32(data, kPixelFormat + 12);
    if (pixelFlags & kPixelFourCC) {
        error = "compressed or FourCC DDS formats are not supported";
        return false;
    }
    if (!(pixelFlags & kPixelRgb) || (bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        error = "unsupported DDS pixel format";
        return false;
    }
    const std::uint32_t limit = bitCount == 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1;
    const std::uint32_t masks[4] = {
        U32(data, kPixelFormat + 16), U32(data, kPixelFormat + 20), U32(data, kPixelFormat + 24),
        (pixelFlags & kPixelAlphaPixels) ? U32(data, kPixelFormat + 28) : 0};
    if (!format.r.Set(masks[0]) || !format.g.Set(masks[1]) || !format.b.Set(masks[2]) ||
        !format.a.Set(masks[3]) || ((masks[0] | masks[1] | masks[2] | masks[3]) & ~limit) ||
        (masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2]) ||
        ((masks[0] | masks[1] | masks[2]) & masks[3]) || (masks[0] | masks[1] | masks[2]) == 0) {
        error = "malformed DDS channel masks";
        return false;
    }
    format.bytesPerPixel = bitCount / 8;
    return true;
}

// One level of one face from the pixels at `at`, which the caller knows the data holds.
Surface readSurface(std::span<const std::uint8_t> data, std::size_t &at, std::uint32_t width,
                    std::uint32_t height, const PixelFormat &format) {
    Surface s;
    s.width = width;
    s.height = height;
    const std::size_t count = std::size_t{width} * height;
    s.texels.resize(count * 4);
    for (std::size_t i = 0; i < count; ++i, at += format.bytesPerPixel) {
        std::uint32_t pixel = 0;
        for (std::uint32_t k = 0; k < format.bytesPerPixel; ++k)
            pixel |= static_cast<std::uint32_t>(data[at + k]) << (8 * k);
        std::uint8_t *t = &s.texels[i * 4];
        t[0] = format.b.Extract(pixel, 0);
        t[1] = format.g.Extract(pixel, 0);
        t[2] = format.r.Extract(pixel, 0);
        t[3] = format.a.Extract(pixel, 255);
    }
    return s;
}

// The faces (one, or the six of a whole square cube map) and their mip chains, once the data is
// known to hold every one of them.
bool readFacesAndLevels(std::span<const std::uint8_t> data, const Header &header,
                        const PixelFormat &format, Image &out, std::string &error) {
    std::uint32_t levels = (header.flags & kFlagMipMapCount) ? U32(data, kMipCount) : 1;
    if (levels == 0)
        levels = 1;
    if (levels >
        static_cast<std::uint32_t>(std::bit_width(std::max(header.width, header.height)))) {
        error = "more DDS mip levels than the size allows";
        return false;
    }
    const bool cube = (header.caps2 & kCaps2CubeMap) != 0;
    if (cube &&
        ((header.caps2 & kCaps2AllFaces) != kCaps2AllFaces || header.width != header.height)) {
        error = "partial or non-square DDS cube maps are not supported";
        return false;
    }
    const std::uint32_t faces = cube ? 6 : 1;
    // Everything must be in the file before anything is allocated.
    std::uint64_t needed = 0;
    for (std::uint32_t level = 0; level < levels; ++level)
        needed += std::uint64_t{std::max<std::uint32_t>(1, header.width >> level)} *
                  std::max<std::uint32_t>(1, header.height >> level) * format.bytesPerPixel;
    if (needed * faces > data.size() - (4 + kHeaderSize)) {
        error = "truncated DDS data";
        return false;
    }
    out.width = header.width;
    out.height = header.height;
    out.levels = levels;
    out.faces = faces;
    out.cubeMap = cube;
    out.hasAlpha = format.a.mask != 0;
    out.surfaces.reserve(std::size_t{faces} * levels);
    std::size_t at = 4 + kHeaderSize;
    for (std::uint32_t face = 0; face < faces; ++face)
        for (std::uint32_t level = 0; level < levels; ++level)
            out.surfaces.push_back(
                readSurface(data, at, std::max<std::uint32_t>(1, header.width >> level),
                            std::max<std::uint32_t>(1, header.height >> level), format));
    return true;
}

} // namespace

bool Decode(std::span<const std::uint8_t> data, Image &out, std::string &error,
            std::uint32_t maxSide) {
    out = Image{};
    Header header;
    PixelFormat format;
    return readHeader(data, maxSide, header, error) && readPixelFormat(data, format, error) &&
           readFacesAndLevels(data, header, format, out, error);
}

} // namespace dds
