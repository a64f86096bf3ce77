// The cockpit's pictures: the brushed metal frame, the side panels with their instruments and the
// dark lower dashboard on one atlas, the lamps of the light map on the same layout, the glass, the
// ledges' switches, the station's display, the gun sight and the speed bar's glow.
#include "tools/mediagen/cockpit_paint.h"

#include "tools/mediagen/cockpit_layout.h"
#include "tools/mediagen/hull_paint.h"
#include "tools/mediagen/noise.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace mediagen::cockpit {

namespace {

// Brushed, slightly mottled metal: the colour at a point of the reference plane.
Color metal(const Noise &noise, float x, float y, Color base) {
    float n = noise.fbm(Vec3{x * 9, y * 9, 0.5f}, 4);
    float streak = noise.gradient(Vec3{x * 60, y * 3, 2.0f});
    return scale(base, 0.92f + 0.1f * n + 0.03f * streak);
}

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
        c.fillCircle(p[0], p[1], l.r * k, scale(hex(l.colour), 0.45f));
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

// Every texel of the lower dashboard's region from a function of (|x|, y) on the reference plane.
void shadeDash(Canvas &c, const std::function<Color(float, float)> &f) {
    const float px0 = 0, py0 = kDashRegion.py0, px1 = kDashRegion.px1, py1 = kDashRegion.py1;
    c.fillPolygon({{px0, py0}, {px1, py0}, {px1, py1}, {px0, py1}}, [&](float px, float py) {
        Point q = kDashRegion.plane(px, py);
        return f(std::fabs(q[0]), q[1]);
    });
}

// The lower dashboard: a brushed trim under the coaming's lip with a few tell-tales, then dark
// painted plating in the trim's shadow, falling darker toward the pilot's knees, with a few broad
// seams and nothing that competes with the time and score drawn over it.
void paintLowerDashboard(Canvas &c) {
    Noise noise(605);
    const float foot = pillarOuter(kSillBottom);
    shadeDash(c, [&](float x, float y) {
        if (y > kTrimTop) {
            return hex(0x1a1e23); // the groove under the lip
        }
        if (y > kTrimBottom) {
            float t = (y - kTrimBottom) / (kTrimTop - kTrimBottom);
            float k = 0.8f + 0.45f * smoothstep(0.6f, 0.9f, t) - 0.35f * smoothstep(0.25f, 0.0f, t);
            return scale(metal(noise, x, y, hex(0x737d89)), k);
        }
        Color col = metal(noise, x, y, hex(0x3f464e));
        float k = 0.8f + 0.2f * smoothstep(kDashBottom, kPlainTop, y);
        k *= 1.0f - 0.35f * smoothstep(kPlainTop - 0.02f, kTrimBottom, y);
        // Broad seams: one across, and down from each pillar's foot and further out.
        float seam = std::min({std::fabs(y - 0.02f), std::fabs(x - foot), std::fabs(x - 0.8f)});
        k *= 1.0f - 0.15f * smoothstep(0.004f, 0.0015f, seam);
        return scale(col, k);
    });
    // Flush fasteners where the seams cross and along them.
    const Point fasteners[] = {{foot, 0.02f}, {0.56f, 0.02f}, {0.8f, 0.02f},
                               {1.2f, 0.02f}, {foot, -0.16f}, {0.8f, -0.16f}};
    for (const Point &f : fasteners) {
        Point p = kDashRegion.pixel(f[0], f[1]);
        c.fillCircle(p[0], p[1], 2.2f, hex(0x2a2f35));
        c.fillCircle(p[0] - 0.3f, p[1] - 0.3f, 1.3f, hex(0x454c54));
    }
    for (const Lamp &l : kTellTales) {
        Point p = kDashRegion.pixel(l.x, l.y);
        float r = l.r * kDashRegion.scale();
        c.fillCircle(p[0], p[1], r + 1.5f, hex(0x14181c));
        c.fillCircle(p[0], p[1], r, scale(hex(l.colour), 0.4f));
    }
}

} // namespace

Canvas BodyTexture() {
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
    paintLowerDashboard(c);
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

Canvas LightsTexture() {
    const int s = 512;
    // A soft cabin floodlight over every panel, so the cockpit reads with the sun behind it.
    const Color flood = rgb(0.11f, 0.125f, 0.15f);
    Canvas c(s, s, flood);
    // Under the coaming it catches the dashboard's trim and, dimmer, its face, fading toward the
    // pilot's knees; the tell-tales glow.
    shadeDash(c, [&](float, float y) {
        if (y > kTrimTop) {
            return rgb(0, 0, 0);
        }
        float k = y > kTrimBottom ? 0.6f : 0.3f + 0.15f * smoothstep(kDashBottom, kPlainTop, y);
        return scale(flood, k);
    });
    for (const Lamp &l : kTellTales) {
        Point p = kDashRegion.pixel(l.x, l.y);
        float r = l.r * kDashRegion.scale();
        c.fillCircle(p[0], p[1], r * 1.3f, scale(hex(l.colour), 0.3f));
        c.fillCircle(p[0], p[1], r * 0.8f, mix(hex(l.colour), rgb(1, 1, 1), 0.35f));
    }
    for (const Region *r : {&kLeftRegion, &kRightRegion}) {
        float side = r == &kLeftRegion ? -1.0f : 1.0f;
        auto P = [&](float x, float y) { return r->pixel(side * x, y); };
        const float k = r->scale();
        for (const Lamp &l : kLamps) {
            Point p = P(l.x, l.y);
            for (int g = 5; g >= 1; --g) {
                c.fillCircle(p[0], p[1], l.r * k * (0.7f + 0.35f * g),
                             scale(hex(l.colour), 0.1f * (6 - g)));
            }
            c.fillCircle(p[0], p[1], l.r * k * 0.7f, mix(hex(l.colour), rgb(1, 1, 1), 0.45f));
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

Canvas GlassTexture() {
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

Canvas ConsoleTexture() {
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

Canvas UpgradeTexture() {
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

Canvas SightTexture() {
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

Canvas SpeedTexture() {
    Canvas c(128, 16, {0, 0, 0, 1});
    c.shade([](float, float y) {
        float d = std::fabs(y - 8) / 8;
        float v = std::exp(-d * d * 6);
        return rgb(0.2f * v + 0.6f * v * v * v, 0.9f * v, 0.6f * v);
    });
    return c;
}

} // namespace mediagen::cockpit
