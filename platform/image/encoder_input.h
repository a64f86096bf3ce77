// The check both encoders make before touching their library: a bad image fails with one reason.
#pragma once

#include "platform/image/image.h"

namespace image::detail {

inline bool EncodableImage(const Rgba8Image &image, std::string &error) {
    if (image.width == 0 || image.height == 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
        error = "image has no pixels or a wrong pixel count";
        return false;
    }
    return true;
}

} // namespace image::detail
