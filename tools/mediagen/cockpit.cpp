// The cockpit seen from the pilot's eye at (0, 0.4, -0.3): a windscreen frame (two pillars rising
// from a coaming, closed by a roof bar above the view), side instrument panels and console ledges
// along the coaming, the glass, gun sight, speed bar, the station's overhead display and the
// pinned photo. Subset numbers are fixed by the drawing order.
//
// Everything is authored where it appears on the reference plane z = 1 (x right, y up; the view
// spans y -0.14 ... 0.94 and x +-0.72 at 4:3) and placed along the eye's rays at its own depth. The
// game draws its HUD in the corners and along the bottom (health gauge and lives, radar, time,
// score, the cheat label) and sways the whole cockpit by up to 0.087 against the eye, so the
// cockpit keeps out of those places at every back-buffer size, nothing of it comes into or goes out
// of view with the sway, and whatever meets a screen edge runs far past it.
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

constexpr float kEyeY = 0.4f, kEyeZ = -0.3f, kPlaneDistance = 1.3f;

// A point seen at (x, y) on the reference plane, placed at depth z on the same ray from the eye.
Vec3 onRay(float x, float y, float z) {
    float k = (z - kEyeZ) / kPlaneDistance;
    return {x * k, kEyeY + (y - kEyeY) * k, z};
}

// Windscreen frame: pillars leaning in toward the roof bar, standing on the coaming.
constexpr float kSillBottom = 0.105f, kSillTop = 0.178f;
constexpr float kRoofBottom = 1.06f, kRoofTop = 1.14f;
constexpr float kPillarHalf = 0.024f, kFillet = 0.035f;
// Side panels and console ledges run far past the widest screen; their instruments stay within
// |x| 0.54, which every screen from 5:4 to 21:9 shows whatever the sway.
constexpr float kPanelTop = 0.38f, kPanelOuterTop = 0.32f, kDetailEdge = 0.54f, kFar = 2.25f;
constexpr float kLedgeInner = 0.335f, kLedgeTop = 0.19f;
// The speed bar's slot in the coaming.
constexpr float kBarHalf = 0.16f, kBarBottom = 0.128f, kBarTop = 0.152f;

float pillarCentre(float y) {
    return 0.30f - 0.06f * (y - 0.1f);
}
float pillarInner(float y) {
    return pillarCentre(y) - kPillarHalf;
}
float pillarOuter(float y) {
    return pillarCentre(y) + kPillarHalf;
}

// An atlas region of "cockpit-body.jpg" and "cockpit-lights.jpg" (pixels of 512) and the part of
// the reference plane it covers, so painting and UVs agree.
struct Region {
    float px0, py0, px1, py1;
    float x0, x1, yTop, yBottom;
    Point pixel(float x, float y) const {
        return {px0 + (x - x0) / (x1 - x0) * (px1 - px0),
                py0 + (yTop - y) / (yTop - yBottom) * (py1 - py0)};
    }
    Point uv(float x, float y) const {
        Point p = pixel(x, y);
        return {p[0] / 512, p[1] / 512};
    }
    Point plane(float px, float py) const {
        return {x0 + (px - px0) / (px1 - px0) * (x1 - x0),
                yTop - (py - py0) / (py1 - py0) * (yTop - yBottom)};
    }
    bool contains(float px, float py) const {
        return px >= px0 && px < px1 && py >= py0 && py < py1;
    }
    // The scale of the region in pixels per reference-plane unit.
    float scale() const { return (px1 - px0) / (x1 - x0); }
};
const Region kFrameRegion{256, 0, 512, 512, -0.35f, 0.35f, 1.2f, 0.05f};
const Region kLeftRegion{0, 0, 128, 256, -0.56f, -0.29f, 0.47f, 0.09f};
const Region kRightRegion{128, 0, 256, 256, 0.29f, 0.56f, 0.47f, 0.09f};
// Beyond the instruments both sides share one plain strip (by |x|).
const Region kOuterRegion{0, 256, 256, 320, 0.5f, 2.3f, 0.47f, 0.09f};

struct UvRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

struct Part {
    int subset;
    std::function<float(float, float)> depth;
    std::function<Point(float, float)> uv;
    Vec3 normal{0, 0, -1};
    // Set for parts whose normal depends on where the point is.
    std::function<Vec3(float, float)> normalAt;
};

// UVs spread over the bounding box of the outline, into `rect`.
std::function<Point(float, float)> boxUv(const std::vector<Point> &pts, UvRect rect) {
    float minX = pts[0][0], maxX = minX, minY = pts[0][1], maxY = minY;
    for (const Point &p : pts) {
        minX = std::min(minX, p[0]), maxX = std::max(maxX, p[0]);
        minY = std::min(minY, p[1]), maxY = std::max(maxY, p[1]);
    }
    return [=](float x, float y) -> Point {
        return {rect.u0 + (x - minX) / (maxX - minX) * (rect.u1 - rect.u0),
                rect.v0 + (maxY - y) / (maxY - minY) * (rect.v1 - rect.v0)};
    };
}

std::function<float(float, float)> at(float z) {
    return [z](float, float) { return z; };
}

Vertex vertexAt(const Part &part, Point p) {
    Vertex v;
    v.p = onRay(p[0], p[1], part.depth(p[0], p[1]));
    Point uv = part.uv(p[0], p[1]);
    v.u = v.u2 = uv[0];
    v.v = v.v2 = uv[1];
    v.n = normalize(part.normalAt ? part.normalAt(p[0], p[1]) : part.normal);
    return v;
}

// A triangle wound clockwise as the pilot sees it; one with no area is left out.
void facingEye(Mesh &m, std::uint32_t a, std::uint32_t b, std::uint32_t c, int subset) {
    const Vec3 eye{0, kEyeY, kEyeZ};
    Vec3 pa = m.vertices[a].p, pb = m.vertices[b].p, pc = m.vertices[c].p;
    Vec3 n = cross(pb - pa, pc - pa);
    if (length(n) < 1e-7f) {
        return;
    }
    if (dot(n, (pa + pb + pc) * (1.0f / 3) - eye) > 0) {
        std::swap(b, c);
    }
    m.addTriangle(a, b, c, subset);
}

// A convex outline; points on a straight run between their neighbours are left out.
void polygon(Mesh &m, const std::vector<Point> &pts, const Part &part) {
    std::vector<std::uint32_t> idx;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Point &a = pts[(i + pts.size() - 1) % pts.size()], &p = pts[i],
                    &b = pts[(i + 1) % pts.size()];
        if (std::fabs((p[0] - a[0]) * (b[1] - a[1]) - (p[1] - a[1]) * (b[0] - a[0])) > 1e-9f) {
            idx.push_back(m.addVertex(vertexAt(part, p)));
        }
    }
    for (std::size_t i = 1; i + 1 < idx.size(); ++i) {
        facingEye(m, idx[0], idx[i], idx[i + 1], part.subset);
    }
}

void rectPolygon(Mesh &m, const std::vector<Point> &pts, int subset, float z, UvRect rect,
                 Vec3 normal = {0, 0, -1}) {
    polygon(m, pts, {subset, at(z), boxUv(pts, rect), normal, {}});
}

// A closed band between two loops of matched points: neighbouring quads share their vertices, so
// it has no cracks however it is moved.
void band(Mesh &m, const std::vector<Point> &inner, const std::vector<Point> &outer,
          const Part &part) {
    std::vector<std::uint32_t> in, out;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        in.push_back(m.addVertex(vertexAt(part, inner[i])));
        out.push_back(m.addVertex(vertexAt(part, outer[i])));
    }
    for (std::size_t i = 0; i < inner.size(); ++i) {
        std::size_t j = (i + 1) % inner.size();
        facingEye(m, in[i], in[j], out[j], part.subset);
        facingEye(m, in[i], out[j], out[i], part.subset);
    }
}

// The window opening, clockwise from the coaming's left end, and for each of its points the point
// of the frame's outer edge across from it.
void windscreenLoops(std::vector<Point> &inner, std::vector<Point> &outer) {
    const int filletSteps = 5;
    const float cornerY = kSillTop + kFillet;
    const float cornerX = pillarInner(cornerY) - kFillet;
    const Point outerFoot{pillarOuter(kSillBottom), kSillBottom};
    for (float x : {-cornerX, 0.0f, cornerX}) {
        inner.push_back({x, kSillTop});
        outer.push_back({x, kSillBottom});
    }
    // The fillet up into the right pillar, all of it across from the frame's outer corner.
    for (int i = 1; i < filletSteps; ++i) {
        float a = -kPi / 2 + kPi / 2 * i / filletSteps;
        inner.push_back({cornerX + kFillet * std::cos(a), cornerY + kFillet * std::sin(a)});
        outer.push_back(outerFoot);
    }
    // Pillar points stay clear of the screen's top edge, so none of them shows or hides with the
    // sway.
    for (float y : {cornerY, 0.5f, 0.8f, kRoofBottom}) {
        inner.push_back({pillarInner(y), y});
        outer.push_back(y == kRoofBottom ? Point{pillarOuter(kRoofTop), kRoofTop}
                                         : Point{pillarOuter(y), y});
    }
    // The roof bar back to the left, the left pillar down and its fillet: the mirror image.
    for (std::size_t i = inner.size(); i-- > 3;) {
        inner.push_back({-inner[i][0], inner[i][1]});
        outer.push_back({-outer[i][0], outer[i][1]});
    }
}

float frameDepth(float, float y) {
    return 1.0f + 0.1f * (y - 0.1f);
}

float panelDepth(float x, float) {
    return 0.92f + 0.06f * (std::fabs(x) - 0.3f);
}

// ---- Painting ----

// Brushed, slightly mottled metal: the colour at a point of the reference plane.
Color metal(const Noise &noise, float x, float y, Color base) {
    float n = noise.fbm(Vec3{x * 9, y * 9, 0.5f}, 4);
    float streak = noise.gradient(Vec3{x * 60, y * 3, 2.0f});
    return scale(base, 0.92f + 0.1f * n + 0.03f * streak);
}

struct Lamp {
    float x, y, r;
    Color colour;
};
struct Dial {
    float x, y, r;
};

// The instruments of the side panels, mirrored left and right.
const Dial kDials[] = {{0.393f, 0.288f, 0.045f}};
const Lamp kLamps[] = {
    {0.467f, 0.297f, 0.0075f, hex(0x40ff70)}, {0.493f, 0.297f, 0.0075f, hex(0x40ff70)},
    {0.519f, 0.297f, 0.0075f, hex(0xffb020)}, {0.467f, 0.333f, 0.0075f, hex(0x40c0ff)},
    {0.493f, 0.333f, 0.0075f, hex(0xffb020)}, {0.519f, 0.333f, 0.0075f, hex(0xff3020)}};
// Small bar-graph screens under the lamps.
constexpr float kScreenX0 = 0.455f, kScreenX1 = 0.53f, kScreenY0 = 0.205f, kScreenY1 = 0.268f;

void paintPanel(Canvas &c, const Region &r, float side, std::uint32_t seed) {
    PanelStyle style{hex(0x7f8a97), hex(0x2a3038, 1), 30, 0.04f, 0.06f};
    PaintPanels(c, r.px0, r.py0, r.px1, r.py1, style, seed);
    auto P = [&](float x, float y) { return r.pixel(side * x, y); };
    const float k = r.scale();
    // A bevelled lip along the top edge.
    Point a = P(0.29f, kPanelTop), b = P(0.56f, kPanelTop - 0.005f);
    c.line(a[0], a[1] + 2, b[0], b[1] + 2, 3, hex(0xc9d2dc));
    for (const Dial &d : kDials) {
        Point p = P(d.x, d.y);
        float rad = d.r * k;
        c.fillCircle(p[0], p[1], rad + 4, hex(0x3a4048));
        c.strokeCircle(p[0], p[1], rad + 2.5f, 2, hex(0xb8c2cc));
        c.fillCircle(p[0], p[1], rad, hex(0x0c1014));
        for (int t = 0; t < 11; ++t) {
            float ang = kPi * (0.75f + t * 0.15f);
            float r0 = t % 5 == 0 ? 0.68f : 0.78f;
            c.line(p[0] + std::cos(ang) * rad * r0, p[1] + std::sin(ang) * rad * r0,
                   p[0] + std::cos(ang) * rad * 0.9f, p[1] + std::sin(ang) * rad * 0.9f, 1.3f,
                   hex(0xd8e0e8));
        }
        float needle = kPi * (side > 0 ? 1.1f : 1.6f);
        c.line(p[0], p[1], p[0] + std::cos(needle) * rad * 0.8f,
               p[1] + std::sin(needle) * rad * 0.8f, 2, hex(0xffb020));
        c.fillCircle(p[0], p[1], 2.5f, hex(0x9aa4ae));
    }
    for (const Lamp &l : kLamps) {
        Point p = P(l.x, l.y);
        c.fillCircle(p[0], p[1], l.r * k + 2, hex(0x1c2026));
        c.fillCircle(p[0], p[1], l.r * k, scale(l.colour, 0.45f));
    }
    Point s0 = P(kScreenX0, kScreenY1), s1 = P(kScreenX1, kScreenY0);
    float x0 = std::min(s0[0], s1[0]), x1 = std::max(s0[0], s1[0]);
    c.fillRect(x0 - 2, s0[1] - 2, x1 + 2, s1[1] + 2, hex(0x3a4048));
    c.fillRect(x0, s0[1], x1, s1[1], hex(0x06140c));
    for (int i = 0; i < 5; ++i) {
        float y = s0[1] + 4 + i * (s1[1] - s0[1] - 6) / 5;
        float len = (x1 - x0 - 6) * (0.35f + 0.6f * std::fabs(std::sin(seed + i * 1.9f)));
        c.line(x0 + 3, y, x0 + 3 + len, y, 2.0f, hex(0x3cd080));
    }
}

Canvas bodyTexture() {
    const int s = 512;
    Canvas c(s, s, {0, 0, 0, 1});
    // The frame: pillars with a bright inner bevel, the coaming with its lip and the speed slot.
    Noise noise(601);
    const Color frameBase = hex(0x8c97a4);
    c.shade([&](float px, float py) {
        if (!kFrameRegion.contains(px, py)) {
            return rgb(0.3f, 0.32f, 0.35f);
        }
        Point q = kFrameRegion.plane(px, py);
        float x = q[0], y = q[1], ax = std::fabs(x);
        Color col = metal(noise, x, y, frameBase);
        if (y > kSillTop + 0.004f && y < kRoofBottom - 0.004f) {
            // Across the pillar: 0 at the window, 1 at the outside.
            float t = (ax - pillarInner(y)) / (2 * kPillarHalf);
            float shade = 1.1f - 0.35f * smoothstep(0.2f, 1.0f, t);
            shade *= 1.0f + 0.25f * smoothstep(0.14f, 0.02f, t);
            shade *= 1.0f - 0.45f * smoothstep(0.08f, 0.0f, std::fabs(t - 0.62f));
            col = scale(col, shade);
            // Rivets down the pillar.
            float along = std::fmod(y + 10.0f, 0.055f) / 0.055f;
            float dr = std::hypot((t - 0.35f) * 2 * kPillarHalf, (along - 0.5f) * 0.055f);
            if (dr < 0.0045f) {
                col = scale(col, dr < 0.003f ? 1.25f : 0.6f);
            }
        } else if (y <= kSillTop + 0.004f) {
            float v = (y - kSillBottom) / (kSillTop - kSillBottom);
            float shade =
                0.95f + 0.35f * smoothstep(0.8f, 0.95f, v) - 0.25f * smoothstep(0.3f, 0.0f, v);
            col = scale(col, shade);
            if (ax < kBarHalf + 0.012f && y > kBarBottom - 0.01f && y < kBarTop + 0.01f) {
                bool inside =
                    ax < kBarHalf + 0.004f && y > kBarBottom - 0.003f && y < kBarTop + 0.003f;
                col = inside ? hex(0x06080a) : scale(col, 0.55f);
                // Scale ticks along the slot's lower rim.
                float tick = std::fmod(ax + 10.0f, 0.032f);
                if (!inside && y < kBarBottom - 0.004f && tick < 0.004f) {
                    col = hex(0xd6dde6);
                }
            }
        }
        return col;
    });
    paintPanel(c, kLeftRegion, -1, 602);
    paintPanel(c, kRightRegion, 1, 603);
    // The far parts: plain plating with horizontal grooves.
    PanelStyle plain{hex(0x7a8592), hex(0x2a3038, 1), 36, 0.04f, 0.06f};
    PaintPanels(c, kOuterRegion.px0, kOuterRegion.py0, kOuterRegion.px1, kOuterRegion.py1, plain,
                604);
    Point lip = kOuterRegion.pixel(0.5f, kPanelTop);
    c.fillRect(kOuterRegion.px0, lip[1], kOuterRegion.px1, lip[1] + 3, hex(0xc0c9d3));
    return c;
}

Canvas lightsTexture() {
    const int s = 512;
    // A soft cabin floodlight over every panel, so the cockpit reads with the sun behind it.
    Canvas c(s, s, rgb(0.11f, 0.125f, 0.15f));
    for (const Region *r : {&kLeftRegion, &kRightRegion}) {
        float side = r == &kLeftRegion ? -1.0f : 1.0f;
        auto P = [&](float x, float y) { return r->pixel(side * x, y); };
        const float k = r->scale();
        for (const Lamp &l : kLamps) {
            Point p = P(l.x, l.y);
            for (int g = 5; g >= 1; --g) {
                c.fillCircle(p[0], p[1], l.r * k * (0.7f + 0.35f * g),
                             scale(l.colour, 0.1f * (6 - g)));
            }
            c.fillCircle(p[0], p[1], l.r * k * 0.7f, mix(l.colour, rgb(1, 1, 1), 0.45f));
        }
        for (const Dial &d : kDials) {
            Point p = P(d.x, d.y);
            c.strokeCircle(p[0], p[1], d.r * k * 0.84f, 2.2f, hex(0x2a8050));
        }
        Point s0 = P(kScreenX0, kScreenY1), s1 = P(kScreenX1, kScreenY0);
        c.fillRect(std::min(s0[0], s1[0]), s0[1], std::max(s0[0], s1[0]), s1[1], hex(0x0c3018));
    }
    // Thin edge lights down the pillars' window side and along the coaming's lip.
    Color strip = hex(0x2f90b8);
    for (float side : {-1.0f, 1.0f}) {
        Point a = kFrameRegion.pixel(side * (pillarInner(0.24f) + 0.004f), 0.24f);
        Point b = kFrameRegion.pixel(side * (pillarInner(1.0f) + 0.004f), 1.0f);
        c.line(a[0], a[1], b[0], b[1], 1.6f, strip);
    }
    Point a = kFrameRegion.pixel(-0.25f, kSillTop - 0.006f),
          b = kFrameRegion.pixel(0.25f, kSillTop - 0.006f);
    c.line(a[0], a[1], b[0], b[1], 1.6f, scale(strip, 0.8f));
    // The speed slot's rim glows faintly.
    Point s0 = kFrameRegion.pixel(-kBarHalf - 0.004f, kBarTop + 0.003f),
          s1 = kFrameRegion.pixel(kBarHalf + 0.004f, kBarBottom - 0.003f);
    c.fillRect(s0[0], s0[1], s1[0], s1[1], hex(0x0a1a14));
    return c;
}

Canvas glassTexture() {
    Canvas c(256, 256, {0, 0, 0, 1});
    c.shade([](float x, float y) {
        // A faint tint gathering toward the frame and two soft reflection streaks.
        float ex = std::min(x, 256 - x) / 128, ey = std::min(y, 256 - y) / 128;
        float edge = std::exp(-std::min(ex, ey) * 7.0f);
        float d1 = std::fabs((x - 60) - (256 - y) * 0.5f),
              d2 = std::fabs((x - 190) - (256 - y) * 0.5f);
        float streak = 0.035f * std::exp(-d1 / 6) + 0.02f * std::exp(-d2 / 14);
        float v = 0.06f * edge + streak;
        return rgb(v * 0.6f, v * 0.85f, v);
    });
    return c;
}

Canvas consoleTexture() {
    Canvas c(256, 256, {0, 0, 0, 1});
    // Upper half: the ledge in view, with switches and indicators; lower half: its plain far end.
    PanelStyle style{hex(0x6f7a86), hex(0x262b31, 1), 40, 0.04f, 0.06f};
    PaintPanels(c, 0, 0, 256, 128, style, 611);
    PaintPanels(c, 0, 128, 256, 256, style, 612);
    c.fillRect(0, 0, 256, 5, hex(0xc4ccd6));
    c.fillRect(0, 128, 256, 133, hex(0xc4ccd6));
    for (int i = 0; i < 7; ++i) {
        float x = 20 + i * 32;
        c.fillRect(x, 34, x + 16, 74, hex(0x20252b));
        float up = (i * 5 + 1) % 3 == 0 ? 0.0f : 18.0f;
        c.fillRect(x + 5, 40 + up, x + 11, 52 + up, hex(0xe0e6ec));
        c.fillCircle(x + 8, 92, 4, i % 3 == 0 ? hex(0x3ad070) : hex(0xd09030));
    }
    return c;
}

Canvas upgradeTexture() {
    Canvas c(256, 256, {0, 0, 0, 1});
    // Left half: housing metal; right top: the screen; right bottom: the bracket.
    PanelStyle metal{hex(0x8a939e), hex(0x262a30, 1), 36, 0.04f, 0.08f};
    PaintPanels(c, 0, 0, 128, 256, metal, 621);
    // The screen: ship systems status, a grid with three bar graphs and a trace.
    c.fillRect(128, 0, 256, 128, hex(0x041008));
    for (int i = 1; i < 8; ++i) {
        c.line(128 + i * 16, 4, 128 + i * 16, 124, 1, hex(0x1a4028));
        c.line(132, i * 16, 252, i * 16, 1, hex(0x1a4028));
    }
    const float levels[3] = {0.8f, 0.55f, 0.9f};
    for (int b = 0; b < 3; ++b) {
        float x = 140 + b * 22;
        c.fillRect(x, 118 - 100 * levels[b], x + 14, 118, hex(0x38d070));
    }
    for (int i = 0; i < 40; ++i) {
        float x0 = 206 + i, x1 = 207 + i;
        float y0 = 64 + 22 * std::sin(i * 0.45f), y1 = 64 + 22 * std::sin((i + 1) * 0.45f);
        c.line(x0, y0, x1, y1, 2, hex(0x90ffb0));
    }
    PanelStyle bracket{hex(0xa0a8b2), hex(0x30343a, 1), 30, 0.03f, 0.05f};
    PaintPanels(c, 128, 128, 256, 256, bracket, 622);
    return c;
}

Canvas sightTexture() {
    Canvas c(128, 128, {0, 0, 0, 1});
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
            m.at(x, y) = c.get(x, y).g;
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
    m.hasNormals = true;
    const char *textures[11] = {"cockpit-glass.jpg",   "photo.jpg",           "cockpit-body.jpg",
                                "cockpit-body.jpg",    "cockpit-console.jpg", "cockpit-console.jpg",
                                "cockpit-upgrade.jpg", "cockpit-upgrade.jpg", "cockpit-upgrade.jpg",
                                "cockpit-sight.jpg",   "cockpit-speed.jpg"};
    for (auto *t : textures) {
        m.materials.push_back({1.0f, t});
    }
    // Windscreen frame: one closed band, the coaming facing up, the pillars toward the window.
    std::vector<Point> inner, outer;
    windscreenLoops(inner, outer);
    band(m, inner, outer,
         {kFrame,
          frameDepth,
          [](float x, float y) { return kFrameRegion.uv(x, y); },
          {},
          [](float x, float y) {
              if (y < kSillTop + kFillet * 0.5f) {
                  return Vec3{0, 0.55f, -1};
              }
              return Vec3{x > 0 ? -0.4f : 0.4f, 0, -1};
          }});
    // Side panels from the pillars outward; each overlaps its pillar's outer edge a little. The
    // instruments are near the pillar, plain plating beyond.
    for (float side : {-1.0f, 1.0f}) {
        const Region &detail = side < 0 ? kLeftRegion : kRightRegion;
        const Vec3 facing{-0.45f * side, 0.15f, -1};
        Part near{
            kDash, panelDepth, [&detail](float x, float y) { return detail.uv(x, y); }, facing, {}};
        Part far{kDash,
                 panelDepth,
                 [](float x, float y) { return kOuterRegion.uv(std::fabs(x), y); },
                 facing,
                 {}};
        float innerBottom = pillarOuter(kSillBottom) - 0.004f,
              innerTop = pillarOuter(kPanelTop) - 0.004f;
        polygon(m,
                {{side * innerBottom, kSillBottom},
                 {side * kDetailEdge, kSillBottom},
                 {side * kDetailEdge, kPanelTop - 0.008f},
                 {side * innerTop, kPanelTop}},
                near);
        polygon(m,
                {{side * kDetailEdge, kSillBottom},
                 {side * kFar, kSillBottom},
                 {side * kFar, kPanelOuterTop},
                 {side * kDetailEdge, kPanelTop - 0.008f}},
                far);
    }
    // Glass over the windscreen opening.
    rectPolygon(m, inner, kGlass, 1.18f, {});
    // Gun sight at the screen centre and the speed bar in its slot, symmetric about x = 0.
    rectPolygon(m, {{-0.05f, 0.45f}, {0.05f, 0.45f}, {0.05f, 0.35f}, {-0.05f, 0.35f}}, kSight, 1.0f,
                {});
    rectPolygon(m,
                {{-kBarHalf, kBarTop},
                 {kBarHalf, kBarTop},
                 {kBarHalf, kBarBottom},
                 {-kBarHalf, kBarBottom}},
                kSpeed, 0.97f, {});
    // Console ledges along the coaming outside the pillars: switches where they are seen.
    for (float side : {-1.0f, 1.0f}) {
        int subset = side < 0 ? kConsoleL : kConsoleR;
        const Vec3 up{0, 0.6f, -0.8f};
        std::vector<Point> near = {{side * kLedgeInner, kLedgeTop},
                                   {side * kDetailEdge, kLedgeTop},
                                   {side * kDetailEdge, kSillBottom},
                                   {side * kLedgeInner, kSillBottom}};
        rectPolygon(m, near, subset, 0.88f, {0, 0, 1, 0.5f}, up);
        rectPolygon(m,
                    {{side * kDetailEdge, kLedgeTop},
                     {side * kFar, kLedgeTop},
                     {side * kFar, kSillBottom},
                     {side * kDetailEdge, kSillBottom}},
                    subset, 0.88f, {0, 0.5f, 1, 1}, up);
    }
    // The station's add-on: an overhead display hanging from the roof bar on a bracket.
    rectPolygon(m, {{-0.115f, 0.828f}, {0.115f, 0.828f}, {0.115f, 0.715f}, {-0.115f, 0.715f}},
                kHousing, 0.93f, {0, 0, 0.5f, 1});
    rectPolygon(m, {{-0.1f, 0.815f}, {0.1f, 0.815f}, {0.1f, 0.728f}, {-0.1f, 0.728f}}, kScreen,
                0.925f, {0.5f, 0, 1, 0.5f});
    rectPolygon(m, {{-0.03f, 1.2f}, {0.03f, 1.2f}, {0.03f, 0.822f}, {-0.03f, 0.822f}}, kBracket,
                0.935f, {0.5f, 0.5f, 1, 1});
    // The photo, pinned askew to the right pillar.
    {
        float cx = 0.31f, cy = 0.5f, hw = 0.062f, hh = 0.047f, a = -0.14f;
        auto rot = [&](float x, float y) -> Point {
            return {cx + x * std::cos(a) - y * std::sin(a), cy + x * std::sin(a) + y * std::cos(a)};
        };
        std::vector<Point> card = {rot(-hw, hh), rot(hw, hh), rot(hw, -hh), rot(-hw, -hh)};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        int k = 0;
        polygon(m, card,
                {kPhoto,
                 at(0.95f),
                 [&](float, float) -> Point {
                     // The card's own axes, corner by corner in the order given.
                     Point p{uv[k][0], uv[k][1]};
                     k = (k + 1) % 4;
                     return p;
                 },
                 {0, 0, -1},
                 {}});
    }
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
