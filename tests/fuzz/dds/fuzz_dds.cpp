// Feeds arbitrary bytes to the DDS reader and checks the shape of what it accepts, then asks the
// texture loader for one more level than the file has, which makes the missing level.
#include "platform/d3dx/dds_reader.h"
#include "platform/d3dx/texture_image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    dds::Image image;
    std::string error;
    if (!dds::Decode({data, size}, image, error))
        return 0;
    if (image.surfaces.size() != std::size_t{image.faces} * image.levels)
        __builtin_trap();
    for (const dds::Surface &s : image.surfaces)
        if (s.texels.size() != std::size_t{s.width} * s.height * 4)
            __builtin_trap();
    texture_image::Image more;
    if (!texture_image::Load({data, size}, image.levels + 1, more, error) ||
        more.levels > texture_image::FullChainLength(image.width, image.height))
        __builtin_trap();
    return 0;
}
