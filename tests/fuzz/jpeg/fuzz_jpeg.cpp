// Feeds arbitrary bytes to the shared JPEG decoder, and loads what it accepts as a texture
// with its mip chain.
#include "platform/d3dx/texture_image.h"
#include "platform/image/image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    image::Rgba8Image out;
    std::string error;
    if (!image::DecodeJpeg({data, size}, out, error))
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
