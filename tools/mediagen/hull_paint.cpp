// Panelled hull surfaces: rows of panels whose seams are offset row to row like real plating.
#include "tools/mediagen/hull_paint.h"

#include <cmath>

namespace mediagen {

void PaintPanels(Canvas &c, float x0, float y0, float x1, float y1, const PanelStyle &style,
                 std::uint32_t seed) {
    Rng rng(seed);
    Noise noise(seed + 5);
    // Panel rows with random heights, each row split at random widths.
    float y = y0;
    while (y < y1 - 1) {
        float h = std::min(y1 - y, style.cell * rng.range(0.6f, 1.4f));
        float x = x0;
        while (x < x1 - 1) {
            float w = std::min(x1 - x, style.cell * rng.range(0.7f, 2.0f));
            float tone = 1.0f + style.variation * rng.signedUnit();
            float px0 = x, py0 = y, px1 = x + w, py1 = y + h;
            c.fillPolygon({{px0, py0}, {px1, py0}, {px1, py1}, {px0, py1}},
                          [&](float fx, float fy) {
                              float g = noise.fbm(Vec3{fx / 40, fy / 40, seed * 0.1f}, 4);
                              float k = tone * (1.0f + style.grime * g);
                              // Slight shading toward the panel's lower edge reads as relief.
                              k *= 1.0f - 0.08f * (fy - py0) / (py1 - py0);
                              return Color{style.base.r * k, style.base.g * k, style.base.b * k, 1};
                          });
            c.line(px0, py0, px1, py0, 1.2f, style.seam);
            c.line(px0, py0, px0, py1, 1.2f, style.seam);
            // Highlight just inside the seam.
            c.line(px0 + 1, py0 + 1.5f, px1 - 1, py0 + 1.5f, 0.8f, {1, 1, 1, 0.12f});
            if (rng.uniform() < 0.6f) {
                for (float rx = px0 + 4; rx < px1 - 2; rx += 7) {
                    c.fillCircle(rx, py0 + 4, 0.9f, scale(style.seam, 1.2f));
                }
            }
            x += w;
        }
        y += h;
    }
}

} // namespace mediagen
