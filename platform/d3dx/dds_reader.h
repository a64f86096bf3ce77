// Our DDS reader: 2-D textures and cube maps with their mip chains, from uncompressed RGB(A) pixel
// formats described by bit masks (32, 24 and 16 bits per pixel), decoded to 32-bit texels for
// the texture creators. Hostile input is refused with a reason before anything is allocated.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dds {

// One level of one face: texels of 4 bytes in memory order B, G, R, A (A8R8G8B8), rows top first.
struct Surface {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> texels;
};

struct Image {
    std::uint32_t width = 0;  // level 0
    std::uint32_t height = 0; // level 0
    std::uint32_t levels = 0; // mip levels per face, at least 1
    std::uint32_t faces = 0;  // 1, or 6 for a cube map
    bool cubeMap = false;
    bool hasAlpha = false; // the file's pixel format carries alpha
    // Face-major: surfaces[face * levels + level]. Cube faces in the file's order:
    // +X, -X, +Y, -Y, +Z, -Z.
    std::vector<Surface> surfaces;

    const Surface &At(std::uint32_t face, std::uint32_t level) const {
        return surfaces[face * levels + level];
    }
};

constexpr std::uint32_t kMaxDimension = 16384;

// Header constants of the format, for writers and tests.
constexpr std::uint32_t kMagic = 0x20534444; // "DDS "
constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;
constexpr std::uint32_t kFlagCaps = 0x1;
constexpr std::uint32_t kFlagHeight = 0x2;
constexpr std::uint32_t kFlagWidth = 0x4;
constexpr std::uint32_t kFlagPitch = 0x8;
constexpr std::uint32_t kFlagPixelFormat = 0x1000;
constexpr std::uint32_t kFlagMipMapCount = 0x20000;
constexpr std::uint32_t kFlagDepth = 0x800000;
constexpr std::uint32_t kPixelAlphaPixels = 0x1;
constexpr std::uint32_t kPixelFourCC = 0x4;
constexpr std::uint32_t kPixelRgb = 0x40;
constexpr std::uint32_t kCapsComplex = 0x8;
constexpr std::uint32_t kCapsTexture = 0x1000;
constexpr std::uint32_t kCapsMipMap = 0x400000;
constexpr std::uint32_t kCaps2CubeMap = 0x200;
constexpr std::uint32_t kCaps2AllFaces = 0xFC00;
constexpr std::uint32_t kCaps2Volume = 0x200000;

// False with a short reason on anything malformed, truncated, oversized or unsupported; a file
// wider or taller than `maxSide` is refused from its header, before anything is allocated.
bool Decode(std::span<const std::uint8_t> data, Image &out, std::string &error,
            std::uint32_t maxSide = kMaxDimension);

} // namespace dds
