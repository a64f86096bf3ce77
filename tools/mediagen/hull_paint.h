// Painting helpers for hard-surface textures: panel grids with offset seams, rivets, grime.
#pragma once

#include "tools/mediagen/canvas.h"
#include "tools/mediagen/noise.h"
#include "tools/mediagen/rng.h"

namespace mediagen {

struct PanelStyle {
    Color base;
    Color seam;      // panel line colour
    float cell = 32; // nominal panel size in pixels
    float variation; // brightness variation between panels
    float grime;     // strength of the noise grime
};

// Fills the rectangle with panels of slightly varying tone, dark seams and rivets along them.
void PaintPanels(Canvas &c, float x0, float y0, float x1, float y1, const PanelStyle &style,
                 std::uint32_t seed);

} // namespace mediagen
