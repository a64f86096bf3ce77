// Overlay meshes and pictures: radar disc and dots, health gauge, target marks, the two darkening
// quads and the caption quad.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"

#include <cmath>

namespace mediagen {

namespace {

Canvas radar() {
    const int s = 128;
    Canvas c(s, s);
    const float cx = 64, cy = 64;
    // A dark scope inside the circle, nothing outside. It is nearly opaque: a star behind it
    // must not pass for a blip.
    c.fillCircle(cx, cy, 62.5f, rgb(0.015f, 0.05f, 0.045f, 0.92f));
    Color line = hex(0x5affb0, 0.55f);
    c.strokeCircle(cx, cy, 61, 1.2f, line);                // range ring: the wrap distance
    c.strokeCircle(cx, cy, 31, 1.0f, hex(0x5affb0, 0.3f)); // half range
    c.line(cx, 6, cx, s - 6, 1.0f, hex(0x5affb0, 0.25f));
    c.line(6, cy, s - 6, cy, 1.0f, hex(0x5affb0, 0.25f));
    c.strokeCircle(cx, cy, 62.2f, 1.2f,
                   hex(0xb0ffe0, 0.9f)); // bright rim, clear of the edge texels
    // Small wedge at the top marks "ahead".
    c.fillPolygon({{cx - 4, 4}, {cx + 4, 4}, {cx, 10}}, hex(0xb0ffe0, 0.8f));
    return c;
}

// A blip: a disc as large as the dot can be drawn, solid to a soft last texel, so even the
// smallest dot carries more light than any star. The outer texels stay clear (the texture wraps).
Canvas dot(Color colour) {
    Canvas c(16, 16);
    c.shade([&](float x, float y) {
        float a = clamp01(7.0f - std::hypot(x - 8, y - 8));
        return Color{colour.r, colour.g, colour.b, a};
    });
    return c;
}

// The gauge's picture area: texture rows 10-63, under the lives caption's rows 0-9, which the gauge
// quad leaves out. The bars are drawn with their texture cut to the health share from the bottom
// up, so a bar reads true only when its fill spans the whole area at one width.
constexpr int kGaugeTop = 10;
constexpr float kFillTop = 11, kFillBottom = 62, kFillLeft = 3, kFillRight = 125;

// The ship seen from above, nose up, inside the picture area.
std::vector<Point> shipOutline() {
    return {{64, 12}, {70, 24}, {72, 34}, {104, 48}, {106, 55}, {76, 54}, {74, 60},
            {54, 60}, {52, 54}, {22, 55}, {24, 48},  {56, 34},  {58, 24}};
}

Canvas gauge(bool frame, Color fill) {
    Canvas c(128, 64);
    auto outline = shipOutline();
    if (frame) {
        // A thin frame round the picture area, then the silhouette outline.
        Color edge = hex(0xa0e8ff, 0.8f);
        c.line(2, kGaugeTop + 0.5f, 126, kGaugeTop + 0.5f, 1, edge);
        c.line(2, kFillBottom + 0.5f, 126, kFillBottom + 0.5f, 1, edge);
        c.line(2.5f, kGaugeTop, 2.5f, kFillBottom + 1, 1, edge);
        c.line(125.5f, kGaugeTop, 125.5f, kFillBottom + 1, 1, edge);
        c.fillPolygon(outline, rgb(0.05f, 0.1f, 0.15f, 0.45f));
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const auto &a = outline[i];
            const auto &b = outline[(i + 1) % outline.size()];
            c.line(a[0], a[1], b[0], b[1], 1.4f, hex(0xd0f4ff, 0.95f));
        }
    } else {
        // A level across the frame, its height the health share; the ship shows through it a
        // shade lighter so the gauge keeps its emblem at any level.
        c.fillRect(kFillLeft, kFillTop, kFillRight, kFillBottom,
                   {fill.r * 0.8f, fill.g * 0.8f, fill.b * 0.8f, 0.85f});
        c.fillPolygon(outline, [&](float, float y) {
            // Vertical sheen so the emblem reads as a volume.
            float k = 0.95f + 0.15f * std::sin(y * 0.35f);
            return Color{std::min(1.0f, fill.r * k), std::min(1.0f, fill.g * k),
                         std::min(1.0f, fill.b * k), 0.85f};
        });
    }
    // Rows 0-9 stay empty (the lives caption lies there) and the outer rows stay transparent.
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (y < kGaugeTop || y == 63 || x == 0 || x == 127) {
                c.set(x, y, {0, 0, 0, 0});
            }
        }
    }
    return c;
}

Canvas brackets() {
    const int s = 128;
    Canvas c(s, s);
    Color green = hex(0x50ff70, 0.9f);
    const float a = 8, b = s - 8, l = 30, w = 5;
    for (int k = 0; k < 4; ++k) {
        float x = (k & 1) ? b : a, y = (k & 2) ? b : a;
        float dx = (k & 1) ? -1.0f : 1.0f, dy = (k & 2) ? -1.0f : 1.0f;
        c.fillRect(std::min(x, x + dx * l), std::min(y, y + dy * w), std::max(x, x + dx * l),
                   std::max(y, y + dy * w), green);
        c.fillRect(std::min(x, x + dx * w), std::min(y, y + dy * l), std::max(x, x + dx * w),
                   std::max(y, y + dy * l), green);
    }
    return c;
}

Canvas lead() {
    const int s = 64;
    Canvas c(s, s);
    Color amber = hex(0xffb830, 0.9f);
    std::vector<Point> outer = {{32, 6}, {58, 32}, {32, 58}, {6, 32}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto &p = outer[i];
        const auto &q = outer[(i + 1) % 4];
        c.line(p[0], p[1], q[0], q[1], 4, amber);
    }
    c.fillCircle(32, 32, 4, amber);
    return c;
}

Canvas blackSquare(float alpha) {
    return Canvas(8, 8, {0, 0, 0, alpha});
}

Mesh texturedQuad(float half, const std::string &texture, bool doubleSided, float alpha = 1.0f) {
    Mesh m = UnitQuad(half, half);
    m.materials.push_back({alpha, texture});
    if (doubleSided) {
        m.makeDoubleSided();
    }
    return m;
}

} // namespace

void MakeHud(Output &out) {
    // Radar disc, radius 0.5, planar UVs, front toward -z.
    Mesh disc;
    const int segments = 40;
    auto centre = disc.addVertex({0, 0, 0}, 0.5f, 0.5f);
    std::vector<std::uint32_t> rim;
    for (int i = 0; i < segments; ++i) {
        float a = 2 * kPi * i / segments;
        float x = 0.5f * std::cos(a), y = 0.5f * std::sin(a);
        rim.push_back(disc.addVertex({x, y, 0}, x + 0.5f, 0.5f - y));
    }
    // Seen from -z the angle grows counter-clockwise, so each triangle runs centre, i + 1, i.
    for (int i = 0; i < segments; ++i) {
        disc.addTriangle(centre, rim[(i + 1) % segments], rim[i], 0);
    }
    disc.materials.push_back({1.0f, ""});
    out.mesh("radar.x", disc);

    // Gauge quad with its origin at the middle of its bottom edge, showing the pictures' rows from
    // the picture area's top down at one pixel a texel: its height is that area's share of the
    // 64 rows, so a bar cut to a share of the gauge's height is that share of the area.
    Mesh gaugeQuad;
    const float top = 1.0f - kGaugeTop / 64.0f;
    auto a = gaugeQuad.addVertex({-0.5f, top, 0}, 0, 1 - top);
    auto b = gaugeQuad.addVertex({0.5f, top, 0}, 1, 1 - top);
    auto c = gaugeQuad.addVertex({0.5f, 0, 0}, 1, 1);
    auto d = gaugeQuad.addVertex({-0.5f, 0, 0}, 0, 1);
    gaugeQuad.addQuad(a, b, c, d, 0);
    gaugeQuad.materials.push_back({1.0f, ""});
    out.mesh("ShipHealth.x", gaugeQuad);

    Mesh caption = UnitQuad();
    caption.materials.push_back({1.0f, ""});
    out.mesh("textasset.x", caption);

    out.mesh("targt.x", texturedQuad(4, "targt.png", true));
    out.mesh("targ2.x", texturedQuad(2, "targ2.png", true));
    out.mesh("black.x", texturedQuad(0.5f, "black.png", false, 128 / 255.0f));
    out.mesh("black2.x", texturedQuad(0.5f, "black2.png", false, 140 / 255.0f));

    out.png("radar.png", radar());
    out.png("radardot0.png", dot(hex(0xfff4c8)));
    out.png("radardot1.png", dot(hex(0x50ff60)));
    out.png("radardot2.png", dot(hex(0xff5040)));
    out.png("radardot3.png", dot(rgb(1, 1, 1)));
    out.png("shiph.png", gauge(true, {}));
    out.png("health-full.png", gauge(false, hex(0x40f0c8)));
    out.png("health-lose.png", gauge(false, hex(0xff5a28)));
    out.png("targt.png", brackets());
    out.png("targ2.png", lead());
    out.png("black.png", blackSquare(128 / 255.0f));
    out.png("black2.png", blackSquare(140 / 255.0f));
}

} // namespace mediagen
