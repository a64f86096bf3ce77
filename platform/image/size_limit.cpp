// The one refusal text for pictures larger than their reader was allowed to decode.
#include "platform/image/image.h"

namespace image {

std::string SizeLimitError(std::uint32_t width, std::uint32_t height, std::uint32_t maxSide) {
    return std::to_string(width) + " x " + std::to_string(height) +
           " is larger than the largest side allowed, " + std::to_string(maxSide);
}

} // namespace image
