// Feeds arbitrary bytes to the shared JPEG decoder, and loads what it accepts as a texture
// with its mip chain.
#include "tests/fuzz/picture_checks.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    return fuzz_checks::CheckPicture(data, size, image::DecodeJpeg);
}
