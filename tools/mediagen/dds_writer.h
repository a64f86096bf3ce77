// Uncompressed 32-bit cube maps in the DDS container, with every mip level stored.
#pragma once

#include "tools/mediagen/canvas.h"

#include <array>
#include <cstdint>
#include <vector>

namespace mediagen {

// Faces in the order +X, -X, +Y, -Y, +Z, -Z, square and of one power-of-two size.
std::vector<std::uint8_t> EncodeDdsCube(const std::array<Canvas, 6> &faces);

} // namespace mediagen
