// The checks the picture decoders' fuzz targets share: a decoded picture has the size it says,
// and one small enough to be a texture also loads with its full mip chain.
#pragma once

#include "platform/d3dx/texture_image.h"
#include "platform/image/image.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fuzz_checks {

using Decoder = bool (*)(std::span<const std::uint8_t>, image::Rgba8Image &, std::string &,
                         std::uint32_t, image::ChannelOrder);

// `decode` is the decoder under test (image::DecodePng, image::DecodeJpeg).
inline int CheckPicture(const std::uint8_t *data, std::size_t size, Decoder decode) {
    image::Rgba8Image out;
    std::string error;
    if (!decode({data, size}, out, error, image::kMaxDimension, image::ChannelOrder::Rgba))
        return 0;
    if (out.pixels.size() != std::size_t{out.width} * out.height * 4)
        __builtin_trap();
    // Pictures small enough to be textures also get their mip chain made, as a device whose
    // textures are at most 4096 texels a side loads them: larger ones are refused unread.
    if (out.pixels.size() <= (1u << 20)) {
        constexpr std::uint32_t kDeviceMaxSide = 4096;
        const bool fits = out.width <= kDeviceMaxSide && out.height <= kDeviceMaxSide;
        texture_image::Image texture;
        if (texture_image::Load({data, size}, 0, texture, error, kDeviceMaxSide) != fits ||
            (fits && texture.levels != texture_image::FullChainLength(out.width, out.height)))
            __builtin_trap();
    }
    return 0;
}

} // namespace fuzz_checks
