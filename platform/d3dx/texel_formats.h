// A8R8G8B8 texels (the decoders' layout) written in the formats a texture can hold.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx/dds_reader.h"

#include <cstddef>
#include <cstdint>

namespace texels {

// True for the formats StoreLevel writes.
bool Storable(D3DFORMAT format);

// Writes one level, rows `pitch` bytes apart. Formats without alpha drop it.
void StoreLevel(const dds::Surface &level, D3DFORMAT format, std::uint8_t *destination,
                std::size_t pitch);

} // namespace texels
