// The cockpit seen from the pilot's eye at (0, 0.4, -0.3): canopy frame and dashboard on one atlas
// with a matching light map (second UV set), glass, gun sight, speed bar, side consoles, the
// station's add-on display and the pinned photo. Subset numbers are fixed by the drawing order.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/hull_paint.h"
#include "tools/mediagen/noise.h"

#include <cmath>

namespace mediagen {

namespace {

enum Subset {
    kGlass,
    kPhoto,
    kFrame,
    kDash,
    kConsoleL,
    kConsoleR,
    kHousing,
    kBracket,
    kScreen,
    kSight,
    kSpeed
};

// The frame and dashboard atlas covers this rectangle of the virtual screen plane.
constexpr float kAtlasX0 = -1.2f, kAtlasX1 = 1.2f, kAtlasY0 = -0.35f, kAtlasY1 = 1.15f;

float atlasU(float x) {
    return (x - kAtlasX0) / (kAtlasX1 - kAtlasX0);
}
float atlasV(float y) {
    return (kAtlasY1 - y) / (kAtlasY1 - kAtlasY0);
}

struct UvRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

// A convex outline on the virtual screen (x right, y up) placed at depth z(x, y), wound so the
// pilot sees it. Atlas subsets take their UVs from the screen position; others from `rect`
// spread over the outline's bounding box.
void panel(Mesh &m, std::vector<Point> pts, const std::function<float(float, float)> &z, int subset,
           bool atlas, UvRect rect = {}) {
    float area = 0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const auto &a = pts[i];
        const auto &b = pts[(i + 1) % pts.size()];
        area += a[0] * b[1] - b[0] * a[1];
    }
    // Clockwise seen from the eye (x right, y up) has negative area.
    if (area > 0) {
        std::reverse(pts.begin(), pts.end());
    }
    float minX = pts[0][0], maxX = minX, minY = pts[0][1], maxY = minY;
    for (const auto &p : pts) {
        minX = std::min(minX, p[0]), maxX = std::max(maxX, p[0]);
        minY = std::min(minY, p[1]), maxY = std::max(maxY, p[1]);
    }
    std::vector<std::uint32_t> idx;
    for (const auto &p : pts) {
        Vertex v;
        v.p = {p[0], p[1], z(p[0], p[1])};
        if (atlas) {
            v.u = atlasU(p[0]);
            v.v = atlasV(p[1]);
        } else {
            v.u = rect.u0 + (p[0] - minX) / (maxX - minX) * (rect.u1 - rect.u0);
            v.v = rect.v0 + (maxY - p[1]) / (maxY - minY) * (rect.v1 - rect.v0);
        }
        v.u2 = v.u;
        v.v2 = v.v;
        idx.push_back(m.addVertex(v));
    }
    for (std::size_t i = 1; i + 1 < idx.size(); ++i) {
        m.addTriangle(idx[0], idx[i], idx[i + 1], subset);
    }
}

float frameDepth(float x, float) {
    return 1.0f + 0.06f * std::fabs(x);
}
// The dashboard leans toward the pilot: its top edge at 0.95, its bottom at 0.85.
float dashDepth(float, float y) {
    return 0.85f + 0.1f * (y + 0.32f) / 0.38f;
}
float flatDepth(float) {
    return 0.9f;
}

// Pixel position of a screen-plane point in a 512 x 512 atlas.
Point px(float x, float y) {
    return {atlasU(x) * 512, atlasV(y) * 512};
}

struct Lamp {
    float x, y, r;
    Color colour;
};

// Lamps and dials sit in the strip of dashboard the pilot sees (y from -0.14 to 0.06).
const Lamp kLamps[] = {
    {-0.46f, -0.02f, 0.012f, hex(0x40ff70)}, {-0.42f, -0.02f, 0.012f, hex(0x40ff70)},
    {-0.38f, -0.02f, 0.012f, hex(0xffb020)}, {-0.34f, -0.02f, 0.012f, hex(0xff3020)},
    {0.06f, -0.035f, 0.010f, hex(0x40ff70)}, {0.1f, -0.035f, 0.010f, hex(0x40ff70)},
    {-0.1f, -0.035f, 0.010f, hex(0xffb020)}, {-0.06f, -0.035f, 0.010f, hex(0xffb020)},
    {0.0f, -0.1f, 0.014f, hex(0xff3020)},    {-0.5f, -0.1f, 0.01f, hex(0x40c0ff)},
    {0.55f, -0.1f, 0.01f, hex(0x40c0ff)},
};

// Instrument dials on the dashboard: centre and radius in screen units.
const float kDials[][3] = {{-0.24f, -0.075f, 0.05f}, {-0.1f, -0.1f, 0.035f}, {0.1f, -0.1f, 0.035f}};

Canvas bodyTexture() {
    const int s = 512;
    Canvas c(s, s, {0, 0, 0, 1});
    // Bright enough that a quarter of it (the emissive fill alone) still reads.
    PanelStyle frame{hex(0x8c98a8), hex(0x2c3138, 1), 40, 0.05f, 0.08f};
    PaintPanels(c, 0, 0, s, s, frame, 601);
    // Dashboard region below y = 0.06 in a darker, matte finish.
    Point a = px(kAtlasX0, 0.06f), b = px(kAtlasX1, kAtlasY0);
    c.fillRect(a[0], a[1], b[0], b[1], hex(0x4a525e));
    PanelStyle dash{hex(0x5a6470), hex(0x22262c, 1), 48, 0.04f, 0.06f};
    PaintPanels(c, a[0], a[1] + 2, b[0], b[1], dash, 602);
    c.line(a[0], a[1] + 1, b[0], a[1] + 1, 3, hex(0xc8d2dc));
    for (const auto &d : kDials) {
        Point p = px(d[0], d[1]);
        float r = d[2] / (kAtlasX1 - kAtlasX0) * s;
        c.fillCircle(p[0], p[1], r + 3, hex(0x9aa4b0));
        c.fillCircle(p[0], p[1], r, hex(0x101418));
        for (int k = 0; k < 9; ++k) {
            float ang = kPi * (0.75f + k * 0.1875f);
            c.line(p[0] + std::cos(ang) * r * 0.75f, p[1] + std::sin(ang) * r * 0.75f,
                   p[0] + std::cos(ang) * r * 0.92f, p[1] + std::sin(ang) * r * 0.92f, 1.2f,
                   hex(0xd0d8e0));
        }
        c.line(p[0], p[1], p[0] + r * 0.6f, p[1] - r * 0.5f, 1.5f, hex(0xffb020));
    }
    for (const auto &l : kLamps) {
        Point p = px(l.x, l.y);
        c.fillCircle(p[0], p[1], l.r / 2.4f * s + 1.5f, hex(0x202428));
        c.fillCircle(p[0], p[1], l.r / 2.4f * s, scale(l.colour, 0.35f));
    }
    // The HUD's radar and gauge sit over the upper corners: keep them dark and plain there.
    c.shade([&](float x, float y) {
        Color k = c.get(static_cast<int>(x), static_cast<int>(y));
        float sx = kAtlasX0 + x / s * (kAtlasX1 - kAtlasX0),
              sy = kAtlasY1 - y / s * (kAtlasY1 - kAtlasY0);
        float corner = smoothstep(0.35f, 0.6f, std::fabs(sx)) * smoothstep(0.45f, 0.7f, sy);
        return scale(k, 1.0f - 0.6f * corner);
    });
    // Bevels along the canopy opening.
    c.line(px(-0.84f, 0.06f)[0], px(-0.84f, 0.06f)[1], px(-0.64f, 0.84f)[0], px(-0.64f, 0.84f)[1],
           3, hex(0xd8e0ea));
    c.line(px(0.84f, 0.06f)[0], px(0.84f, 0.06f)[1], px(0.64f, 0.84f)[0], px(0.64f, 0.84f)[1], 3,
           hex(0xd8e0ea));
    c.line(px(-0.64f, 0.84f)[0], px(-0.64f, 0.84f)[1], px(0.64f, 0.84f)[0], px(0.64f, 0.84f)[1], 3,
           hex(0xd8e0ea));
    return c;
}

Canvas lightsTexture() {
    const int s = 512;
    Canvas c(s, s, {0, 0, 0, 1});
    for (const auto &l : kLamps) {
        Point p = px(l.x, l.y);
        float r = l.r / 2.4f * s;
        for (int k = 6; k >= 1; --k) {
            c.fillCircle(p[0], p[1], r * (0.6f + 0.35f * k), scale(l.colour, 0.12f * (7 - k)));
        }
        c.fillCircle(p[0], p[1], r * 0.6f, mix(l.colour, rgb(1, 1, 1), 0.5f));
    }
    // Thin edge strips along the canopy opening and the dashboard lip.
    Color strip = hex(0x2f8fb0);
    c.line(px(-0.82f, 0.08f)[0], px(-0.82f, 0.08f)[1], px(-0.66f, 0.8f)[0], px(-0.66f, 0.8f)[1], 2,
           strip);
    c.line(px(0.82f, 0.08f)[0], px(0.82f, 0.08f)[1], px(0.66f, 0.8f)[0], px(0.66f, 0.8f)[1], 2,
           strip);
    Point a = px(-0.7f, 0.055f), b = px(0.7f, 0.055f);
    c.line(a[0], a[1], b[0], b[1], 2, scale(strip, 0.8f));
    // Dial faces glow faintly.
    for (const auto &d : kDials) {
        Point p = px(d[0], d[1]);
        float r = d[2] / 2.4f * s;
        c.strokeCircle(p[0], p[1], r * 0.85f, 2, hex(0x30a060));
    }
    return c;
}

Canvas glassTexture() {
    Canvas c(512, 512, {0, 0, 0, 1});
    c.shade([](float x, float y) {
        float ex = std::min(x, 512 - x) / 256, ey = std::min(y, 512 - y) / 256;
        float edge = std::exp(-std::min(ex, ey) * 9.0f);
        // Two faint diagonal reflection streaks.
        float d1 = std::fabs((x - 120) - (512 - y) * 0.6f),
              d2 = std::fabs((x - 380) - (512 - y) * 0.6f);
        float streak = 0.05f * std::exp(-d1 / 10) + 0.03f * std::exp(-d2 / 22);
        float v = 0.1f * edge + streak;
        return rgb(v * 0.6f, v * 0.85f, v);
    });
    return c;
}

Canvas consoleTexture() {
    Canvas c(256, 256, {0, 0, 0, 1});
    PanelStyle style{hex(0x48505a), hex(0x1e2227, 1), 40, 0.05f, 0.08f};
    PaintPanels(c, 0, 0, 256, 256, style, 611);
    // A small screen and rows of toggle switches.
    c.fillRect(40, 40, 150, 110, hex(0x0a1a12));
    for (int i = 0; i < 6; ++i) {
        c.line(46, 50 + i * 10, 46 + 90 * std::fabs(std::sin(i * 1.7f)), 50 + i * 10, 2,
               hex(0x38c070));
    }
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 6; ++i) {
            float x = 40 + i * 30, y = 150 + j * 40;
            c.fillRect(x, y, x + 16, y + 24, hex(0x22262c));
            c.fillRect(x + 5, y + 3 + (i + j) % 2 * 10, x + 11, y + 11 + (i + j) % 2 * 10,
                       hex(0xd0d6dc));
        }
    }
    return c;
}

Canvas upgradeTexture() {
    Canvas c(256, 256, {0, 0, 0, 1});
    // Left half: housing metal; right top: the screen; right bottom: the bracket.
    PanelStyle metal{hex(0x7c8490), hex(0x262a30, 1), 36, 0.04f, 0.08f};
    PaintPanels(c, 0, 0, 128, 256, metal, 621);
    c.fillRect(128, 0, 256, 128, hex(0x041008));
    for (int r = 1; r < 4; ++r) {
        c.strokeCircle(192, 64, r * 18.0f, 1.5f, hex(0x30d070));
    }
    c.line(192, 4, 192, 124, 1, hex(0x30d070, 0.6f));
    c.line(132, 64, 252, 64, 1, hex(0x30d070, 0.6f));
    c.line(192, 64, 240, 24, 2.5f, hex(0x80ffa0));
    c.fillCircle(170, 88, 3, hex(0xffd040));
    c.fillCircle(215, 40, 3, hex(0xff5040));
    PanelStyle bracket{hex(0x9aa2ac), hex(0x30343a, 1), 30, 0.03f, 0.05f};
    PaintPanels(c, 128, 128, 256, 256, bracket, 622);
    return c;
}

Canvas sightTexture() {
    Canvas c(128, 128, {0, 0, 0, 1});
    Canvas glow(128, 128, {0, 0, 0, 1});
    Color green = hex(0x50ff90);
    c.strokeCircle(64, 64, 40, 2.5f, green);
    c.fillCircle(64, 64, 2.5f, green);
    for (int k = 0; k < 4; ++k) {
        float a = k * kPi / 2;
        c.line(64 + std::cos(a) * 18, 64 + std::sin(a) * 18, 64 + std::cos(a) * 34,
               64 + std::sin(a) * 34, 2.5f, green);
    }
    // Soft bloom around the lines, black at the border.
    Mask m(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            Color k = c.get(x, y);
            m.at(x, y) = k.g;
        }
    }
    Mask b = m.blurred(6);
    c.shade([&](float x, float y) {
        int ix = static_cast<int>(x), iy = static_cast<int>(y);
        float v = m.get(ix, iy), g = b.get(ix, iy) * 0.6f;
        float edge = (ix == 0 || iy == 0 || ix == 127 || iy == 127) ? 0.0f : 1.0f;
        return rgb((0.3f * v + 0.2f * g) * edge, (v + g) * edge, (0.55f * v + 0.35f * g) * edge);
    });
    return c;
}

Canvas speedTexture() {
    Canvas c(128, 16, {0, 0, 0, 1});
    c.shade([](float, float y) {
        float d = std::fabs(y - 8) / 8;
        float v = std::exp(-d * d * 6);
        return rgb(0.2f * v + 0.6f * v * v * v, 0.9f * v, 0.6f * v);
    });
    return c;
}

} // namespace

Mesh BuildCockpit() {
    Mesh m;
    m.hasUv2 = true;
    m.hasNormals = false;
    const char *textures[11] = {"cockpit-glass.jpg",   "photo.jpg",           "cockpit-body.jpg",
                                "cockpit-body.jpg",    "cockpit-console.jpg", "cockpit-console.jpg",
                                "cockpit-upgrade.jpg", "cockpit-upgrade.jpg", "cockpit-upgrade.jpg",
                                "cockpit-sight.jpg",   "cockpit-speed.jpg"};
    for (auto *t : textures) {
        m.materials.push_back({1.0f, t});
    }
    // Canopy frame: top bar with a gently curved lower edge, and two slanted pillars.
    const int steps = 8;
    for (int i = 0; i < steps; ++i) {
        float x0 = -1.2f + 2.4f * i / steps, x1 = -1.2f + 2.4f * (i + 1) / steps;
        auto lower = [](float x) { return 0.84f - 0.03f * (x / 1.2f) * (x / 1.2f); };
        panel(m, {{x0, 1.12f}, {x1, 1.12f}, {x1, lower(x1)}, {x0, lower(x0)}}, frameDepth, kFrame,
              true);
    }
    panel(m, {{-1.2f, 0.82f}, {-0.66f, 0.82f}, {-0.84f, 0.04f}, {-1.2f, 0.04f}}, frameDepth, kFrame,
          true);
    panel(m, {{0.66f, 0.82f}, {1.2f, 0.82f}, {1.2f, 0.04f}, {0.84f, 0.04f}}, frameDepth, kFrame,
          true);
    // Dashboard across the bottom.
    for (int i = 0; i < steps; ++i) {
        float x0 = -1.2f + 2.4f * i / steps, x1 = -1.2f + 2.4f * (i + 1) / steps;
        auto top = [](float x) { return 0.06f - 0.03f * (x / 1.2f) * (x / 1.2f); };
        panel(m, {{x0, top(x0)}, {x1, top(x1)}, {x1, -0.32f}, {x0, -0.32f}}, dashDepth, kDash,
              true);
    }
    // Glass over the canopy opening.
    panel(
        m, {{-0.84f, 0.05f}, {-0.66f, 0.84f}, {0.66f, 0.84f}, {0.84f, 0.05f}},
        [](float, float) { return 1.06f; }, kGlass, false);
    // Gun sight at the screen centre and the speed bar, symmetric about x = 0.
    panel(
        m, {{-0.05f, 0.45f}, {0.05f, 0.45f}, {0.05f, 0.35f}, {-0.05f, 0.35f}},
        [](float, float) { return 1.0f; }, kSight, false);
    panel(
        m, {{-0.16f, 0.025f}, {0.16f, 0.025f}, {0.16f, 0.005f}, {-0.16f, 0.005f}},
        [](float, float) { return 0.93f; }, kSpeed, false);
    // Side consoles in the lower corners.
    panel(
        m, {{-1.2f, 0.12f}, {-0.8f, 0.12f}, {-0.5f, -0.05f}, {-0.5f, -0.34f}, {-1.2f, -0.34f}},
        [](float x, float) { return 0.86f + 0.04f * (x + 1.2f); }, kConsoleL, false);
    panel(
        m, {{0.8f, 0.12f}, {1.2f, 0.12f}, {1.2f, -0.34f}, {0.5f, -0.34f}, {0.5f, -0.05f}},
        [](float x, float) { return 0.86f + 0.04f * (1.2f - x); }, kConsoleR, false);
    // Station add-on: housing, its screen, and a bracket on top.
    auto flat = [](float, float) { return flatDepth(0); };
    panel(m, {{0.22f, 0.04f}, {0.46f, 0.04f}, {0.46f, -0.14f}, {0.22f, -0.14f}}, flat, kHousing,
          false, {0, 0, 0.5f, 1});
    panel(m, {{0.24f, 0.02f}, {0.44f, 0.02f}, {0.44f, -0.12f}, {0.24f, -0.12f}},
          [](float, float) { return 0.895f; }, kScreen, false, {0.5f, 0, 1, 0.5f});
    panel(m, {{0.29f, 0.07f}, {0.39f, 0.07f}, {0.41f, 0.04f}, {0.27f, 0.04f}},
          [](float, float) { return 0.89f; }, kBracket, false, {0.5f, 0.5f, 1, 1});
    // The photo, pinned slightly askew in the lower right of the canopy.
    {
        float cx = 0.63f, cy = 0.15f, hw = 0.075f, hh = 0.056f, a = -0.12f;
        auto rot = [&](float x, float y) -> Point {
            return {cx + x * std::cos(a) - y * std::sin(a), cy + x * std::sin(a) + y * std::cos(a)};
        };
        std::vector<Point> card = {rot(-hw, hh), rot(hw, hh), rot(hw, -hh), rot(-hw, -hh)};
        panel(
            m, card, [](float, float) { return 0.99f; }, kPhoto, false);
        // UVs follow the card's own axes, not its tilted bounding box.
        std::size_t base = m.vertices.size() - 4;
        // panel() keeps the order when already clockwise: top-left, top-right, bottom-right,
        // bottom-left.
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int k = 0; k < 4; ++k) {
            m.vertices[base + k].u = m.vertices[base + k].u2 = uv[k][0];
            m.vertices[base + k].v = m.vertices[base + k].v2 = uv[k][1];
        }
    }
    // Lit subsets need normals; every panel faces the pilot.
    m.computeSmoothNormals();
    return m;
}

void MakeCockpit(Output &out) {
    out.mesh("cockpit.x", BuildCockpit());
    out.jpeg("cockpit-body.jpg", bodyTexture());
    out.jpeg("cockpit-lights.jpg", lightsTexture());
    out.jpeg("cockpit-glass.jpg", glassTexture());
    out.jpeg("cockpit-console.jpg", consoleTexture());
    out.jpeg("cockpit-upgrade.jpg", upgradeTexture());
    out.jpeg("cockpit-sight.jpg", sightTexture());
    out.jpeg("cockpit-speed.jpg", speedTexture());
}

} // namespace mediagen
