// The player's ship: a lofted fuselage with canopy, two engine nacelles whose nozzles sit at
// (+-0.35, 0, -0.6), swept wings and twin fins; one subset and one hull texture.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/hull_paint.h"

#include <cmath>

namespace mediagen {

namespace {

constexpr float kLength = 1.7f; // span of the planar projections

// Atlas: top view in the upper half, side view in the lower half, small patches for the canopy
// glass and the nozzle ends in the lower right corner.
void hullUv(Vec3 p, Vec3 n, float &u, float &v) {
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (az > ax && az > ay) {
        if (n.z < 0 && p.z < -0.55f && std::fabs(std::fabs(p.x) - 0.35f) < 0.1f) {
            // A nacelle's end: the nozzle patch, centred on the nozzle.
            u = 0.775f + (std::fabs(p.x) - 0.35f) * 0.6f;
            v = 0.925f - p.y * 0.6f;
        } else {
            // Edges and end plates facing fore or aft: a strip of side plating, by x and y.
            u = 0.5f + p.x / kLength;
            v = 0.5f + 0.28f * (0.5f - p.y / 0.5f);
        }
    } else if (ay >= ax * 0.8f) {
        // The top view; underneath it is mirrored, so markings read the right way from below.
        u = 0.5f + (n.y >= 0 ? p.x : -p.x) / kLength;
        v = 0.5f * (0.5f - p.z / kLength);
    } else {
        u = 0.5f - p.z / kLength;
        v = 0.5f + 0.28f * (0.5f - p.y / 0.5f);
    }
}

// UVs from a finished part's own outward faces, so a mirrored copy reads its own side of the atlas.
void mapFromFaces(Mesh &part, const std::function<void(Vec3, Vec3, float &, float &)> &uv) {
    std::vector<bool> done(part.vertices.size(), false);
    for (std::size_t f = 0; f < part.faces.size(); ++f) {
        Vec3 n = normalize(part.faceNormal(f));
        for (auto i : part.faces[f]) {
            if (!done[i]) {
                Vertex &vx = part.vertices[i];
                uv(vx.p, n, vx.u, vx.v);
                vx.u2 = vx.u;
                vx.v2 = vx.v;
                done[i] = true;
            }
        }
    }
}

void glassUv(Vec3 p, Vec3, float &u, float &v) {
    u = 0.925f + p.x * 0.45f;
    v = 0.925f - p.z * 0.15f;
}

std::vector<std::array<float, 2>> octagon(float flat) {
    // A flattened octagon: broad top and belly, chamfered shoulders.
    return {{1, flat},   {flat, 1},   {-flat, 1}, {-1, flat},
            {-1, -flat}, {-flat, -1}, {flat, -1}, {1, -flat}};
}

Canvas hullTexture(const TextRenderer &text) {
    const int s = 512;
    Canvas c(s, s, {0, 0, 0, 1});
    PanelStyle top{hex(0xb8c4d0), hex(0x4a5360, 1), 34, 0.05f, 0.06f};
    PaintPanels(c, 0, 0, s, s * 0.5f, top, 41);
    PanelStyle side{hex(0xa9b6c4), hex(0x434b57, 1), 30, 0.05f, 0.06f};
    PaintPanels(c, 0, s * 0.5f, s, s * 0.85f, side, 42);
    PaintPanels(c, 0, s * 0.85f, s * 0.7f, s, side, 43);
    // Centre stripe along the fuselage (top view, x = 0) and wing stripes near the tips.
    float cx = s * 0.5f;
    c.fillRect(cx - 7, 10, cx + 7, s * 0.5f - 10, hex(0x2a5fa8, 0.9f));
    c.fillRect(cx - 2, 10, cx + 2, s * 0.5f - 10, hex(0xe8eef5, 0.9f));
    for (int side_ = -1; side_ <= 1; side_ += 2) {
        float x = cx + side_ * s * 0.40f;
        c.fillRect(x - 6, s * 0.30f, x + 6, s * 0.42f, hex(0xd9792b, 0.9f));
        // Chevrons pointing forward on the wing roots.
        float wx = cx + side_ * s * 0.2f;
        for (int k = 0; k < 3; ++k) {
            float y = s * 0.22f + k * 10;
            c.line(wx - 12, y + 8, wx, y, 3, hex(0x2a5fa8, 0.8f));
            c.line(wx, y, wx + 12, y + 8, 3, hex(0x2a5fa8, 0.8f));
        }
    }
    // Hull number on both wings (top view), reading nose-up.
    for (int side_ = -1; side_ <= 1; side_ += 2) {
        Mask number(s, s);
        float w = text.measure(FontFace::CondensedBold, "TV-07", 18);
        float cxw = cx + side_ * s * 0.3f;
        text.draw(number, FontFace::CondensedBold, "TV-07", 18, cxw - w / 2, s * 0.35f);
        c.drawMask(number, 0, 0, hex(0x2a3f66, 0.85f));
    }
    // Side stripe along the hull and a row of small ports.
    c.fillRect(0, s * 0.64f, s, s * 0.655f, hex(0x2a5fa8, 0.9f));
    for (int i = 0; i < 8; ++i) {
        float x = s * 0.3f + i * 14;
        c.fillRect(x, s * 0.60f, x + 7, s * 0.615f, hex(0x1a2635));
    }
    // Glass patch: deep blue with a sky reflection toward its top.
    c.shade([&](float x, float y) -> Color {
        if (x < s * 0.85f || y < s * 0.85f) {
            return c.get(static_cast<int>(x), static_cast<int>(y));
        }
        float t = (y - s * 0.85f) / (s * 0.15f);
        return mix(hex(0x9fd0ff), hex(0x0b1830), smoothstep(0.0f, 0.7f, t));
    });
    // Nozzle patch: dark ring, hot core.
    float nx = s * 0.775f, ny = s * 0.925f;
    c.fillRect(s * 0.7f, s * 0.85f, s * 0.85f, s, hex(0x30343a));
    c.fillCircle(nx, ny, 26, hex(0x15171a));
    c.fillCircle(nx, ny, 14, hex(0x6fb8ff));
    c.fillCircle(nx, ny, 7, hex(0xe8f4ff));
    return c;
}

} // namespace

Mesh BuildShip() {
    Mesh m;
    m.materials.push_back({1.0f, "shiphull.jpg"});
    // Fuselage from the nose tip to the tail.
    Mesh fuselage = Loft(octagon(0.45f),
                         {{0.85f, 0, 0, 0.01f, 0.01f},
                          {0.65f, 0, -0.005f, 0.07f, 0.045f},
                          {0.35f, 0, 0, 0.13f, 0.09f},
                          {0.0f, 0, 0, 0.17f, 0.12f},
                          {-0.35f, 0, 0, 0.16f, 0.11f},
                          {-0.52f, 0, 0, 0.12f, 0.08f}},
                         false, true, 0, hullUv);
    mapFromFaces(fuselage, hullUv);
    m.append(fuselage);
    // Canopy bubble on the upper front.
    Mesh canopy = Loft(octagon(0.6f),
                       {{0.5f, 0, 0.08f, 0.01f, 0.01f},
                        {0.38f, 0, 0.1f, 0.06f, 0.05f},
                        {0.15f, 0, 0.12f, 0.075f, 0.065f},
                        {-0.05f, 0, 0.11f, 0.06f, 0.05f},
                        {-0.15f, 0, 0.09f, 0.01f, 0.01f}},
                       false, false, 0, glassUv);
    m.append(canopy);
    // One side's nacelle, wing and fin; the other side is its mirror image.
    Mesh side;
    std::vector<std::array<float, 2>> circle;
    for (int i = 0; i < 12; ++i) {
        float a = 2 * kPi * i / 12;
        circle.push_back({std::cos(a), std::sin(a)});
    }
    side.append(Loft(circle,
                     {{0.12f, 0.35f, 0, 0.01f, 0.01f},
                      {0.02f, 0.35f, 0, 0.07f, 0.07f},
                      {-0.1f, 0.35f, 0, 0.09f, 0.09f},
                      {-0.5f, 0.35f, 0, 0.09f, 0.09f},
                      {-0.6f, 0.35f, 0, 0.075f, 0.075f}},
                     false, true, 0, hullUv));
    side.append(ExtrudeXZ({{0.12f, 0.3f}, {0.75f, -0.22f}, {0.75f, -0.38f}, {0.12f, -0.45f}},
                          -0.022f, 0.022f, 0, hullUv));
    // Fin: outline drawn in x (as height) and z, then turned upright and canted outward.
    Mesh fin = ExtrudeXZ({{0.0f, -0.18f}, {0.22f, -0.42f}, {0.22f, -0.55f}, {0.0f, -0.55f}},
                         -0.012f, 0.012f, 0, hullUv);
    for (auto &v : fin.vertices) {
        Vec3 p = v.p;
        float h = p.x;
        v.p = {0.35f + p.y + h * 0.25f, 0.06f + h, p.z};
    }
    // Swapping the x and y roles mirrors the part: restore outward winding.
    fin.flipWinding();
    side.append(fin);
    side.mirrorX();
    mapFromFaces(side, hullUv);
    m.append(side);
    m.computeNormals(35.0f);
    return m;
}

void MakeShip(Output &out, const TextRenderer &text) {
    out.mesh("ship.x", BuildShip());
    out.jpeg("shiphull.jpg", hullTexture(text));
}

} // namespace mediagen
