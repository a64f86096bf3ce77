// Texture images ready for a texture creator: a PNG, JPEG or DDS file (told apart by its content)
// decoded to 32-bit texels with the mip levels asked for, each face with its levels.
#pragma once

#include "platform/d3dx/dds_reader.h"

#include <cstdint>
#include <span>
#include <string>

namespace texture_image {

// Faces and levels of A8R8G8B8 texels (the same layout the DDS reader produces).
using Image = dds::Image;

// Levels to make: 0 asks for the file's own levels for DDS files and for the full chain down to
// 1 x 1 for pictures; any other count is cut to what the size allows. Levels the file lacks are
// made by averaging each 2 x 2 block of the level above. A file wider or taller than `maxSide`
// is refused from its header, before its texels are decoded.
bool Load(std::span<const std::uint8_t> file, std::uint32_t levels, Image &out, std::string &error,
          std::uint32_t maxSide = dds::kMaxDimension);

// A cube map: a file of six square faces with their own levels; anything else is refused.
bool LoadCubeMap(std::span<const std::uint8_t> file, Image &out, std::string &error,
                 std::uint32_t maxSide = dds::kMaxDimension);

// The number of levels of a full chain for a size: 1 + log2 of the larger side.
std::uint32_t FullChainLength(std::uint32_t width, std::uint32_t height);

// The next smaller level of `source` (halved sides, at least 1).
dds::Surface HalveSurface(const dds::Surface &source);

} // namespace texture_image
