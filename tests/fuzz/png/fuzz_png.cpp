// Feeds arbitrary bytes to the shared PNG decoder.
#include "platform/image/image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    image::Rgba8Image out;
    std::string error;
    if (image::DecodePng({data, size}, out, error) &&
        out.pixels.size() != std::size_t{out.width} * out.height * 4)
        __builtin_trap();
    return 0;
}
