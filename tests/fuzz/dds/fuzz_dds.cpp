// Feeds arbitrary bytes to the DDS reader and checks the shape of what it accepts.
#include "platform/d3dx/dds_reader.h"

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
    return 0;
}
