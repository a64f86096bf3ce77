// The enemy ship: a wide diamond hull with two forward mandibles, drooping blade wings and one
// engine bell at (0, 0, -0.55); rust armour with glowing slits. Everything within radius 1.0.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/hull_paint.h"

#include <cmath>

namespace mediagen {

namespace {

void marsUv(Vec3 p, Vec3 n, float &u, float &v) {
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (az > ax && az > ay) {
        u = 0.85f + p.x * 0.5f;
        v = 0.85f - p.y * 0.5f;
    } else if (ay >= ax * 0.8f) {
        u = 0.5f + p.x / 1.9f;
        v = 0.5f * (0.5f - p.z / 1.9f);
    } else {
        u = 0.5f - p.z / 1.9f;
        v = 0.5f + 0.3f * (0.5f - p.y / 0.6f);
    }
}

Canvas marsTexture() {
    const int s = 256;
    Canvas c(s, s, {0, 0, 0, 1});
    PanelStyle armour{hex(0x8a3a22), hex(0x2a0f08, 1), 22, 0.12f, 0.18f};
    PaintPanels(c, 0, 0, s, s, armour, 77);
    // Hazard-yellow glowing slits across the top and along the sides.
    for (int i = 0; i < 5; ++i) {
        float y = s * (0.12f + i * 0.07f);
        c.fillRect(s * 0.44f, y, s * 0.56f, y + 2.5f, hex(0xffd23a));
    }
    for (int i = 0; i < 6; ++i) {
        float x = s * (0.25f + i * 0.08f);
        c.fillRect(x, s * 0.66f, x + 9, s * 0.675f, hex(0xffc21a));
    }
    // Dark scorched edge near the tail of the top view.
    c.shade([&](float x, float y) {
        Color k = c.get(static_cast<int>(x), static_cast<int>(y));
        float burn = y < s * 0.5f ? smoothstep(s * 0.36f, s * 0.5f, y) * 0.45f : 0.0f;
        return scale(k, 1.0f - burn);
    });
    // Engine bell patch: dark metal with an orange throat.
    c.fillRect(s * 0.7f, s * 0.7f, s, s, hex(0x2b2220));
    c.fillCircle(s * 0.85f, s * 0.85f, 18, hex(0xff7a1a));
    c.fillCircle(s * 0.85f, s * 0.85f, 8, hex(0xffe08a));
    return c;
}

std::vector<std::array<float, 2>> diamond() {
    return {{1, 0},  {0.35f, 0.55f},   {0, 1},  {-0.35f, 0.55f},
            {-1, 0}, {-0.35f, -0.55f}, {0, -1}, {0.35f, -0.55f}};
}

} // namespace

Mesh BuildMarsShip() {
    Mesh m;
    m.materials.push_back({1.0f, "marshull.jpg"});
    m.append(Loft(diamond(),
                  {{0.55f, 0, 0, 0.02f, 0.02f},
                   {0.4f, 0, 0, 0.16f, 0.08f},
                   {0.1f, 0, 0.01f, 0.3f, 0.15f},
                   {-0.25f, 0, 0.01f, 0.26f, 0.14f},
                   {-0.45f, 0, 0, 0.13f, 0.1f}},
                  false, true, 0, marsUv));
    // Engine bell ending on the nozzle point.
    m.append(Cylinder(0.09f, 0.13f, -0.42f, -0.55f, 12, true, 0, marsUv));
    Mesh side;
    // Mandible: a thin tapered prong reaching forward of the hull.
    side.append(Loft(diamond(),
                     {{0.85f, 0.3f, -0.02f, 0.01f, 0.01f},
                      {0.6f, 0.29f, 0, 0.05f, 0.04f},
                      {0.1f, 0.24f, 0, 0.08f, 0.06f},
                      {-0.15f, 0.2f, 0, 0.05f, 0.05f}},
                     false, true, 0, marsUv));
    // Blade wing, drooping 25 degrees outward.
    Mesh wing = ExtrudeXZ({{0.2f, 0.0f}, {0.72f, -0.32f}, {0.7f, -0.5f}, {0.2f, -0.38f}}, -0.02f,
                          0.02f, 0, marsUv);
    const float droop = -0.44f;
    for (auto &v : wing.vertices) {
        Vec3 p = v.p;
        float x = p.x - 0.2f;
        v.p = {0.2f + x * std::cos(droop) - p.y * std::sin(droop),
               x * std::sin(droop) + p.y * std::cos(droop), p.z};
    }
    side.append(wing);
    side.mirrorX();
    m.append(side);
    // Dorsal spine.
    Mesh spine =
        ExtrudeXZ({{0.0f, 0.25f}, {0.18f, -0.3f}, {0.0f, -0.42f}}, -0.015f, 0.015f, 0, marsUv);
    for (auto &v : spine.vertices) {
        Vec3 p = v.p;
        v.p = {p.y, 0.1f + p.x, p.z};
        float u, vv;
        marsUv(v.p, {1, 0, 0}, u, vv);
        v.u = v.u2 = u;
        v.v = v.v2 = vv;
    }
    spine.flipWinding();
    m.append(spine);
    m.computeNormals(35.0f);
    return m;
}

void MakeMarsShip(Output &out) {
    out.mesh("marsship.x", BuildMarsShip());
    out.jpeg("marshull.jpg", marsTexture());
}

} // namespace mediagen
