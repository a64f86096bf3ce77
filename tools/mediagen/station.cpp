// The station's docking tube along z: an octagonal tunnel seen from inside from the launch mouth at
// z = -60 to the arrival mouth at z = +8, bulkhead rings every 8 units, clamps around the origin
// and a hull plate framing the arrival mouth. Drawn unlit, so every texture carries its own
// lighting.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/hull_paint.h"
#include "tools/mediagen/noise.h"

#include <cmath>

namespace mediagen {

namespace {

constexpr float kApothem = 7.0f;
constexpr float kFront = 8.0f, kBack = -60.0f;
// The arrival mouth narrows through a collar to a smaller opening in the hull plate, so the camera
// near the docking clamps sees the opening's rim around the approaching ship. The opening is a
// short rim standing between the collar's lip and the plate, so no two surfaces face the tube
// within a hair of each other, and the plate faces only outward.
constexpr float kMouthApothem = 4.0f, kLipZ = 10.0f, kRimDepth = 0.6f, kPlateZ = kLipZ + kRimDepth;
constexpr int kWall = 0, kFloor = 1, kFrame = 2;

Vec3 octagonPoint(int i, float apothem, float z) {
    float r = apothem / std::cos(kPi / 8);
    float a = kPi / 8 + i * kPi / 4;
    return {r * std::cos(a), r * std::sin(a), z};
}

// Faces with a normal along +-y are floor and ceiling; they share the floor texture so the ship,
// which arrives upside down, sees the same kind of detail above and below.
int faceMaterial(int i) {
    return (i == 1 || i == 5) ? kFloor : kWall;
}

void addQuadUv(Mesh &m, Vec3 a, Vec3 b, Vec3 c, Vec3 d, float u0, float u1, float v0, float v1,
               int material) {
    auto ia = m.addVertex(a, u0, v0);
    auto ib = m.addVertex(b, u1, v0);
    auto ic = m.addVertex(c, u1, v1);
    auto id = m.addVertex(d, u0, v1);
    m.addQuad(ia, ib, ic, id, material);
}

void boxUv(Vec3 p, Vec3 n, float &u, float &v) {
    if (std::fabs(n.z) > 0.5f) {
        u = p.x * 0.5f, v = -p.y * 0.5f;
    } else if (std::fabs(n.x) > 0.5f) {
        u = p.z * 0.5f, v = -p.y * 0.5f;
    } else {
        u = p.x * 0.5f, v = p.z * 0.5f;
    }
}

Canvas wallTexture() {
    const int s = 512;
    Canvas c(s, s, {0, 0, 0, 1});
    PanelStyle style{hex(0x6c747c), hex(0x23272c, 1), 64, 0.06f, 0.1f};
    PaintPanels(c, 0, 0, s, s, style, 501);
    // The light strip runs along the tube in the middle of each face; its glow falls off across
    // the panels so the walls read as lit from within.
    c.shade([&](float x, float y) {
        Color k = c.get(static_cast<int>(x), static_cast<int>(y));
        float d = std::fabs(x - s * 0.5f) / (s * 0.5f);
        float light = 0.55f + 0.75f * std::exp(-d * 3.0f);
        // Darker band toward the face edges (corners of the octagon are in shadow).
        light *= 1.0f - 0.35f * smoothstep(0.7f, 1.0f, d);
        return rgb(k.r * light, k.g * light, k.b * light * 1.05f);
    });
    c.fillRect(s * 0.5f - 10, 0, s * 0.5f + 10, s, hex(0xe8f6ff));
    c.fillRect(s * 0.5f - 14, 0, s * 0.5f - 10, s, hex(0x8fa0b0));
    c.fillRect(s * 0.5f + 10, 0, s * 0.5f + 14, s, hex(0x8fa0b0));
    // Small windows near the face edges.
    for (int i = 0; i < 4; ++i) {
        float y = 40 + i * 128;
        for (float x : {60.0f, s - 100.0f}) {
            c.fillRect(x, y, x + 40, y + 60, hex(0x1a1f26));
            c.fillRect(x + 4, y + 4, x + 36, y + 56, hex(0x2c4a66));
            c.line(x + 8, y + 50, x + 30, y + 10, 3, {0.7f, 0.85f, 1.0f, 0.35f});
        }
    }
    return c;
}

Canvas floorTexture(const TextRenderer &text) {
    const int s = 512;
    Canvas c(s, s, {0, 0, 0, 1});
    PanelStyle style{hex(0x5a6068), hex(0x1c1f23, 1), 48, 0.05f, 0.12f};
    PaintPanels(c, 0, 0, s, s, style, 502);
    c.shade([&](float x, float y) {
        Color k = c.get(static_cast<int>(x), static_cast<int>(y));
        float d = std::fabs(x - s * 0.5f) / (s * 0.5f);
        float light = 0.75f + 0.45f * std::exp(-d * 2.0f);
        return scale(k, light);
    });
    // Guide lines along the tube and a painted bay number.
    for (float x : {s * 0.2f, s * 0.8f}) {
        c.fillRect(x - 6, 0, x + 6, s, hex(0xe0b020));
    }
    for (int i = 0; i < 8; ++i) {
        float y = i * 64 + 16;
        c.fillRect(s * 0.5f - 4, y, s * 0.5f + 4, y + 32, hex(0xdfe6ee, 0.85f));
    }
    Mask label(s, s);
    float w = text.measure(FontFace::SansBold, "BAY 04", 56);
    text.draw(label, FontFace::SansBold, "BAY 04", 56, (s - w) / 2 - 20, s * 0.35f);
    c.drawMask(label, 20, 0, {0.9f, 0.92f, 0.95f, 0.8f});
    return c;
}

Canvas frameTexture() {
    const int s = 512;
    Canvas c(s, s, {0, 0, 0, 1});
    PanelStyle style{hex(0x7a8088), hex(0x2a2e33, 1), 40, 0.05f, 0.1f};
    PaintPanels(c, 0, 0, s, s, style, 503);
    // Diagonal hazard stripes across the upper quarter (the bulkhead bands map there).
    c.shade([&](float x, float y) {
        Color k = c.get(static_cast<int>(x), static_cast<int>(y));
        if (y < s * 0.25f) {
            bool yellow = std::fmod(x + y, 64.0f) < 32.0f;
            return yellow ? hex(0xe8b818) : hex(0x1a1a1a);
        }
        return k;
    });
    return c;
}

// Tube walls, wound to face the axis.
void addTube(Mesh &m) {
    for (float z = kFront; z > kBack + 0.01f; z -= 4.0f) {
        float z1 = std::max(kBack, z - 4.0f);
        for (int i = 0; i < 8; ++i) {
            Vec3 a = octagonPoint(i, kApothem, z), b = octagonPoint(i + 1, kApothem, z);
            Vec3 c = octagonPoint(i + 1, kApothem, z1), d = octagonPoint(i, kApothem, z1);
            float v0 = (kFront - z) / 8.0f, v1 = (kFront - z1) / 8.0f;
            // Seen from the axis the corners must run clockwise: reverse them if they face out.
            Vec3 n = cross(b - a, c - a);
            if (dot(n, (a + c) * 0.5f - Vec3{0, 0, (z + z1) * 0.5f}) > 0) {
                addQuadUv(m, b, a, d, c, 1, 0, v0, v1, faceMaterial(i));
            } else {
                addQuadUv(m, a, b, c, d, 0, 1, v0, v1, faceMaterial(i));
            }
        }
    }
}

// Bulkhead rings: an inner face toward the axis and two faces toward +z and -z.
void addBulkheads(Mesh &m) {
    for (float z = kFront - 8.0f; z > kBack; z -= 8.0f) {
        const float depth = 0.35f, inner = kApothem - 0.6f;
        for (int i = 0; i < 8; ++i) {
            Vec3 fo0 = octagonPoint(i, kApothem, z + depth),
                 fo1 = octagonPoint(i + 1, kApothem, z + depth);
            Vec3 fi0 = octagonPoint(i, inner, z + depth),
                 fi1 = octagonPoint(i + 1, inner, z + depth);
            Vec3 bo0 = octagonPoint(i, kApothem, z - depth),
                 bo1 = octagonPoint(i + 1, kApothem, z - depth);
            Vec3 bi0 = octagonPoint(i, inner, z - depth),
                 bi1 = octagonPoint(i + 1, inner, z - depth);
            // Each band is wound toward the side it is seen from.
            auto quadFacing = [&](Vec3 a, Vec3 b, Vec3 c, Vec3 d, Vec3 toward, float u0, float u1) {
                if (dot(cross(b - a, c - a), toward) > 0) {
                    addQuadUv(m, a, b, c, d, u0, u1, 0.0f, 0.25f, kFrame);
                } else {
                    addQuadUv(m, b, a, d, c, u0, u1, 0.0f, 0.25f, kFrame);
                }
            };
            Vec3 mid = (fi0 + fi1) * 0.5f;
            quadFacing(fi0, fi1, bi1, bi0, Vec3{-mid.x, -mid.y, 0}, 0.3f, 1.0f);
            quadFacing(fo0, fo1, fi1, fi0, Vec3{0, 0, 1}, 0.3f, 1.0f);
            quadFacing(bo1, bo0, bi0, bi1, Vec3{0, 0, -1}, 0.3f, 1.0f);
        }
    }
}

// Docking clamps around the origin on all four flat sides, clear of the ship's path.
void addClamps(Mesh &m) {
    for (int k = 0; k < 4; ++k) {
        Mesh clamp = Box({-0.8f, -kApothem, -1.5f}, {0.8f, -kApothem + 1.6f, 1.5f}, kFrame, boxUv);
        float a = k * kPi / 2;
        clamp.transform([&](Vec3 p) {
            return Vec3{p.x * std::cos(a) - p.y * std::sin(a),
                        p.x * std::sin(a) + p.y * std::cos(a), p.z};
        });
        m.append(clamp);
    }
}

// Collar from the tube to the mouth, facing the axis: plain panels, a hazard-striped lip, then the
// rim through the plate.
void addCollar(Mesh &m) {
    struct Band {
        float apothem0, z0, apothem1, z1, v0, v1;
    };
    const Band bands[3] = {{kApothem, kFront, kMouthApothem + 0.5f, kLipZ - 0.4f, 0.35f, 0.95f},
                           {kMouthApothem + 0.5f, kLipZ - 0.4f, kMouthApothem, kLipZ, 0.0f, 0.25f},
                           {kMouthApothem, kLipZ, kMouthApothem, kPlateZ, 0.3f, 0.4f}};
    for (const Band &band : bands) {
        for (int i = 0; i < 8; ++i) {
            Vec3 a = octagonPoint(i, band.apothem0, band.z0),
                 b = octagonPoint(i + 1, band.apothem0, band.z0);
            Vec3 c = octagonPoint(i + 1, band.apothem1, band.z1),
                 d = octagonPoint(i, band.apothem1, band.z1);
            Vec3 mid = (a + c) * 0.5f;
            if (dot(cross(b - a, c - a), Vec3{-mid.x, -mid.y, 0}) > 0) {
                addQuadUv(m, a, b, c, d, 0.3f, 1.0f, band.v0, band.v1, kFrame);
            } else {
                addQuadUv(m, b, a, d, c, 1.0f, 0.3f, band.v0, band.v1, kFrame);
            }
        }
    }
}

// Hull plate around the arrival mouth, facing out (+z): from each side of the mouth's octagon out
// to the square edge of the plate.
Mesh hullPlate() {
    Mesh plate;
    const float half = 16.0f;
    auto toSquare = [&](float angle) {
        float c = std::cos(angle), s = std::sin(angle);
        float k = half / std::max(std::fabs(c), std::fabs(s));
        return Vec3{c * k, s * k, kPlateZ};
    };
    auto uvOf = [&](Vec3 p, float &u, float &v) {
        // One stretch of plain panelling below the hazard band.
        u = 0.3f + (p.x + half) / (2 * half) * 0.7f;
        v = 0.3f + (half - p.y) / (2 * half) * 0.7f;
    };
    for (int i = 0; i < 8; ++i) {
        Vec3 o0 = octagonPoint(i, kMouthApothem, kPlateZ),
             o1 = octagonPoint(i + 1, kMouthApothem, kPlateZ);
        float a0 = kPi / 8 + i * kPi / 4, a1 = a0 + kPi / 4, am = (a0 + a1) / 2;
        Vec3 s0 = toSquare(a0), s1 = toSquare(a1), sm = toSquare(am), om = (o0 + o1) * 0.5f;
        Vec3 quads[2][4] = {{o0, s0, sm, om}, {om, sm, s1, o1}};
        for (auto &q : quads) {
            std::uint32_t idx[4];
            for (int c = 0; c < 4; ++c) {
                float u, v;
                uvOf(q[c], u, v);
                idx[c] = plate.addVertex(q[c], u, v);
            }
            // Front toward +z: a viewer outside sees the corners clockwise.
            if (cross(q[1] - q[0], q[2] - q[0]).z > 0) {
                plate.addQuad(idx[0], idx[1], idx[2], idx[3], kFrame);
            } else {
                plate.addQuad(idx[0], idx[3], idx[2], idx[1], kFrame);
            }
        }
    }
    return plate;
}

} // namespace

Mesh BuildStation() {
    Mesh m;
    m.materials = {
        {1.0f, "station-wall.jpg"}, {1.0f, "station-floor.jpg"}, {1.0f, "station-frame.jpg"}};
    addTube(m);
    addBulkheads(m);
    addClamps(m);
    addCollar(m);
    m.append(hullPlate());
    // The station is drawn unlit, but normals keep the file's format uniform with the other hulls.
    m.computeNormals(30.0f);
    return m;
}

void MakeStation(Output &out, const TextRenderer &text) {
    out.mesh("station.x", BuildStation());
    out.jpeg("station-wall.jpg", wallTexture());
    out.jpeg("station-floor.jpg", floorTexture(text));
    out.jpeg("station-frame.jpg", frameTexture());
}

} // namespace mediagen
