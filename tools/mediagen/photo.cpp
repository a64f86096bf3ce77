// The keepsake photo: an original illustration (a figure on a beach under a ringed planet at
// sunset, lettered "BRISA") on a white-bordered card, with a paper back carrying a short note.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/noise.h"

#include <cmath>

namespace mediagen {

namespace {

// The picture is squeezed horizontally by 3/4 so it looks right on the 4:3 card.
constexpr float kSqueeze = 0.75f;

Canvas front(const TextRenderer &text) {
    const int s = 256;
    Canvas c(s, s, {1, 1, 1, 1});
    Noise noise(321);
    const float m = 12, horizon = 168;
    c.fillPolygon(
        {{m, m}, {s - m, m}, {s - m, s - m * 2.2f}, {m, s - m * 2.2f}}, [&](float x, float y) {
            if (y < horizon) {
                // Sunset sky: violet at the top through rose to gold at the horizon.
                float t = (y - m) / (horizon - m);
                Color sky = t < 0.6f ? mix(hex(0x2b2060), hex(0xc0507a), t / 0.6f)
                                     : mix(hex(0xc0507a), hex(0xffb060), (t - 0.6f) / 0.4f);
                float cloud = smoothstep(0.2f, 0.6f, noise.fbm(Vec3{x / 60, y / 14, 0}, 4)) * 0.25f;
                return mix(sky, hex(0xffd0b0), cloud * t);
            }
            if (y < horizon + 26) {
                // Sea with the sun's glitter.
                float t = (y - horizon) / 26;
                float glitter = std::exp(-std::pow((x - 150) / (10 + 30 * t), 2.0f)) *
                                (0.5f + 0.5f * std::sin(y * 2.1f + x * 0.2f));
                return mix(mix(hex(0x6a3a70), hex(0x2a2050), t), hex(0xffd080), glitter * 0.7f);
            }
            float sand = noise.fbm(Vec3{x / 8, y / 8, 3}, 2) * 0.05f;
            return scale(hex(0xc89a70), 0.9f + sand);
        });
    // Ringed planet high on the left, sun setting on the right.
    float px = 70, py = 62, pr = 30;
    c.fillPolygon(
        [&] {
            std::vector<Point> pts;
            for (int i = 0; i < 64; ++i) {
                float a = 2 * kPi * i / 64;
                pts.push_back({px + pr * kSqueeze * std::cos(a), py + pr * std::sin(a)});
            }
            return pts;
        }(),
        [&](float x, float y) {
            float band = 0.5f + 0.5f * std::sin((y - py) * 0.5f);
            float lit = clamp01(0.4f + ((x - px) / (pr * kSqueeze)) * 0.6f);
            return scale(mix(hex(0xe8c8a0), hex(0xb08870), band), 0.5f + 0.5f * lit);
        });
    for (int k = 0; k < 3; ++k) {
        std::vector<Point> ring;
        float rr = pr * (1.5f + 0.12f * k);
        for (int i = 0; i <= 64; ++i) {
            float a = 2 * kPi * i / 64;
            ring.push_back(
                {px + rr * kSqueeze * std::cos(a), py + rr * 0.28f * std::sin(a + 0.3f)});
        }
        for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
            // Skip the part of the ring behind the planet.
            float mx = (ring[i][0] + ring[i + 1][0]) / 2, my = (ring[i][1] + ring[i + 1][1]) / 2;
            bool behind = my < py && std::hypot((mx - px) / kSqueeze, my - py) < pr;
            if (!behind) {
                c.line(ring[i][0], ring[i][1], ring[i + 1][0], ring[i + 1][1], 1.6f,
                       hex(0xf0e0c0, 0.8f - 0.2f * k));
            }
        }
    }
    c.fillPolygon(
        [&] {
            std::vector<Point> pts;
            for (int i = 0; i < 48; ++i) {
                float a = kPi + kPi * i / 47;
                pts.push_back({150 + 20 * kSqueeze * std::cos(a), horizon + 20 * std::sin(a)});
            }
            return pts;
        }(),
        hex(0xfff0b0));
    // A figure standing on the sand, arms raised, in silhouette.
    Color ink = hex(0x201828);
    float fx = 96, fy = 212;
    c.fillPolygon({{fx - 3, fy}, {fx + 3, fy}, {fx + 2.5f, fy - 16}, {fx - 2.5f, fy - 16}}, ink);
    c.fillPolygon(
        {{fx - 4, fy - 16}, {fx + 4, fy - 16}, {fx + 3.5f, fy - 30}, {fx - 3.5f, fy - 30}}, ink);
    c.fillPolygon(
        [&] {
            std::vector<Point> pts;
            for (int i = 0; i < 20; ++i) {
                float a = 2 * kPi * i / 20;
                pts.push_back(
                    {fx + 4 * kSqueeze * std::cos(a) * 1.2f, fy - 35 + 4.5f * std::sin(a)});
            }
            return pts;
        }(),
        ink);
    c.line(fx - 3, fy - 28, fx - 9, fy - 42, 2.2f, ink);
    c.line(fx + 3, fy - 28, fx + 9, fy - 42, 2.2f, ink);
    // Hair streaming in the wind.
    c.line(fx + 2, fy - 37, fx + 9, fy - 35, 2, ink);
    // Hand lettering in the white lower border.
    Mask label(s, s);
    float w = text.measure(FontFace::SerifItalic, "Brisa", 26);
    text.draw(label, FontFace::SerifItalic, "Brisa", 26, (s - w) / 2, s - 7);
    c.drawMask(label, 0, 0, hex(0x2a3a80));
    return c;
}

Canvas back(const TextRenderer &text) {
    const int s = 128;
    Canvas c(s, s, {1, 1, 1, 1});
    Noise noise(654);
    c.shade([&](float x, float y) {
        float n = noise.fbm(Vec3{x / 20, y / 20, 0}, 3);
        return scale(hex(0xeee6d6), 0.95f + 0.05f * n);
    });
    Mask note(s, s);
    text.draw(note, FontFace::SerifItalic, "come home", 15, 18, 56);
    text.draw(note, FontFace::SerifItalic, "safe  - B.", 15, 30, 76);
    c.drawMask(note, 0, 0, hex(0x3a4a90, 0.8f));
    return c;
}

} // namespace

// The card's faces glow more than the neutral material: the photo spins through the lit scene, and
// a face turned from the lights shows only this share of its picture, which must still read.
constexpr float kFaceGlow = 0.7f;
// Thin as photo paper, but an edge-on card still shows as a line.
constexpr float kThickness = 0.003f;

Mesh BuildPhoto() {
    Mesh m;
    const float hw = 0.3f, hh = 0.225f, front = -kThickness / 2, back = kThickness / 2;
    // Front (subset 0) toward -z; the back (subset 1) toward +z with its image unmirrored.
    auto a = m.addVertex({-hw, hh, front}, 0, 0), b = m.addVertex({hw, hh, front}, 1, 0);
    auto c = m.addVertex({hw, -hh, front}, 1, 1), d = m.addVertex({-hw, -hh, front}, 0, 1);
    m.addQuad(a, b, c, d, 0);
    auto e = m.addVertex({hw, hh, back}, 0, 0), f = m.addVertex({-hw, hh, back}, 1, 0);
    auto g = m.addVertex({-hw, -hh, back}, 1, 1), h = m.addVertex({hw, -hh, back}, 0, 1);
    m.addQuad(e, f, g, h, 1);
    // The edge (subset 2), a strip of the paper facing outward all round. Drawn last, its neutral
    // material is the one the photo leaves set for the draws that borrow it.
    const Vec3 corners[4] = {{-hw, hh, 0}, {hw, hh, 0}, {hw, -hh, 0}, {-hw, -hh, 0}};
    for (int i = 0; i < 4; ++i) {
        Vec3 p = corners[i], q = corners[(i + 1) % 4];
        // Clockwise seen from outside: along the outline on the back, then returning on the front.
        auto ia = m.addVertex({p.x, p.y, back}, 0, 0.5f),
             ib = m.addVertex({q.x, q.y, back}, 1, 0.5f);
        auto ic = m.addVertex({q.x, q.y, front}, 1, 0.52f);
        auto id = m.addVertex({p.x, p.y, front}, 0, 0.52f);
        m.addQuad(ia, ib, ic, id, 2);
    }
    m.materials = {{1.0f, "photo.jpg", kFaceGlow},
                   {1.0f, "photo-back.jpg", kFaceGlow},
                   {1.0f, "photo-back.jpg"}};
    m.computeSmoothNormals();
    return m;
}

void MakePhoto(Output &out, const TextRenderer &text) {
    out.mesh("photo.x", BuildPhoto());
    out.jpeg("photo.jpg", front(text));
    out.jpeg("photo-back.jpg", back(text));
}

} // namespace mediagen
