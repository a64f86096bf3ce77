// Writes chosen presented frames to PNG files: frames are counted from 1 at each present, and
// those listed in TARVOS_CAPTURE_FRAMES (or set by a test) are written to
// TARVOS_CAPTURE_DIR/frame-<n>.png.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace d3d8 {

// Called by every successful present; `readBack` fills width, height and RGBA8 rows top to
// bottom, and is only called for a frame that is to be written.
using BackBufferReader =
    std::function<bool(std::uint32_t &width, std::uint32_t &height, std::vector<std::uint8_t> &)>;
void OnPresent(const BackBufferReader &readBack);

} // namespace d3d8
