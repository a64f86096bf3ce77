// The satellite the player protects: a gold-foil body, two long solar wings along x, a dish and an
// antenna, all within radius 3.7.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/noise.h"

#include <cmath>

namespace mediagen {

namespace {

void bodyUv(Vec3 p, Vec3 n, float &u, float &v) {
    // Box projection: the foil is uniform, so any continuous mapping will do.
    if (std::fabs(n.x) > 0.5f) {
        u = p.z * 0.9f + 0.5f, v = 0.5f - p.y * 0.9f;
    } else if (std::fabs(n.y) > 0.5f) {
        u = p.x * 0.9f + 0.5f, v = 0.5f - p.z * 0.9f;
    } else {
        u = p.x * 0.9f + 0.5f, v = 0.5f - p.y * 0.9f;
    }
}

void panelUv(Vec3 p, Vec3 n, float &u, float &v) {
    // Each wing shows the cell grid twice along its length; edges map to the frame colour.
    if (std::fabs(n.y) > 0.5f) {
        u = (std::fabs(p.x) - 0.75f) / 1.4f;
        v = 0.5f - p.z / 1.1f;
    } else {
        u = 0.01f, v = 0.01f;
    }
}

Canvas foilTexture() {
    Canvas c(256, 256, {0, 0, 0, 1});
    Noise n(911);
    c.shade([&](float x, float y) {
        // Crinkled foil: sharp ridges of brightness over a gold base.
        float r = n.ridged(Vec3{x / 30, y / 30, 0.5f}, 4);
        float f = n.fbm(Vec3{x / 12, y / 12, 3}, 3);
        float k = 0.55f + 0.6f * r * r + 0.15f * f;
        return rgb(0.95f * k, 0.72f * k, 0.28f * k);
    });
    // Tape seams.
    for (int i = 1; i < 4; ++i) {
        c.fillRect(i * 64 - 2, 0, i * 64 + 2, 256, hex(0x8a6a30, 0.7f));
    }
    return c;
}

Canvas panelTexture() {
    Canvas c(256, 256, hex(0xb8bcc4));
    const int cols = 8, rows = 6;
    float m = 6, cw = (256 - 2 * m) / cols, ch = (256 - 2 * m) / rows;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < cols; ++i) {
            float x0 = m + i * cw + 1.5f, y0 = m + j * ch + 1.5f;
            float x1 = x0 + cw - 3, y1 = y0 + ch - 3;
            c.fillPolygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, [&](float, float y) {
                float t = (y - y0) / (y1 - y0);
                return mix(hex(0x2a4c9a), hex(0x0e1f4a), t);
            });
            // Fine cell lines.
            for (float yy = y0 + 6; yy < y1; yy += 6) {
                c.line(x0, yy, x1, yy, 0.6f, hex(0x6f86b8, 0.5f));
            }
        }
    }
    return c;
}

} // namespace

Mesh BuildSatellite() {
    Mesh m;
    m.materials.push_back({1.0f, "satellite-body.jpg"});
    m.materials.push_back({1.0f, "satellite-panel.jpg"});
    // Booms and the two wings.
    Mesh side;
    side.append(Box({0.45f, -0.03f, -0.03f}, {0.78f, 0.03f, 0.03f}, 0, bodyUv));
    side.append(Box({0.75f, -0.02f, -0.55f}, {3.5f, 0.02f, 0.55f}, 1, panelUv));
    side.mirrorX();
    // Dish on top, facing up, on a short mast; an antenna on the opposite side.
    Mesh mast = Cylinder(0.04f, 0.04f, 0.5f, 0.75f, 8, true, 0, bodyUv);
    Mesh dish = Cylinder(0.06f, 0.6f, 0.75f, 1.0f, 20, true, 0, bodyUv);
    Mesh antenna = Cylinder(0.02f, 0.005f, 0.5f, 1.6f, 6, true, 0, bodyUv);
    // Cylinders run along +z: turn the mast and dish to +y and the antenna to -y (proper
    // rotations).
    auto toUp = [](Vec3 p) { return Vec3{p.x, p.z, -p.y}; };
    auto toDown = [](Vec3 p) { return Vec3{p.x, -p.z, p.y}; };
    mast.transform(toUp);
    dish.transform(toUp);
    antenna.transform(toDown);
    m.append(Box({-0.45f, -0.5f, -0.45f}, {0.45f, 0.5f, 0.45f}, 0, bodyUv));
    m.append(side);
    m.append(mast);
    m.append(dish);
    m.append(antenna);
    m.computeNormals(40.0f);
    return m;
}

void MakeSatellite(Output &out) {
    out.mesh("satellite.x", BuildSatellite());
    out.jpeg("satellite-body.jpg", foilTexture());
    out.jpeg("satellite-panel.jpg", panelTexture());
}

} // namespace mediagen
