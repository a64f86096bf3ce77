// The sky: one environment function of direction feeds the six inside faces of the sky cube and
// the reflection cube map, so faces meet without seams and the sun sits where the lights come from.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/dds_writer.h"
#include "tools/mediagen/noise.h"
#include "tools/mediagen/rng.h"

#include <array>
#include <cmath>

namespace mediagen {

namespace {

constexpr int kSkySize = 1024;
constexpr float kHalf = 5.0f;

struct SkyFace {
    const char *texture;
    Vec3 corner[4]; // top-left, top-right, bottom-right, bottom-left seen from inside
};

// Corners run clockwise as seen from the centre, so the faces are front-facing from inside.
const SkyFace kFaces[6] = {
    {"sky_px.jpg",
     {{kHalf, kHalf, kHalf},
      {kHalf, kHalf, -kHalf},
      {kHalf, -kHalf, -kHalf},
      {kHalf, -kHalf, kHalf}}},
    {"sky_nx.jpg",
     {{-kHalf, kHalf, -kHalf},
      {-kHalf, kHalf, kHalf},
      {-kHalf, -kHalf, kHalf},
      {-kHalf, -kHalf, -kHalf}}},
    {"sky_py.jpg",
     {{-kHalf, kHalf, -kHalf},
      {kHalf, kHalf, -kHalf},
      {kHalf, kHalf, kHalf},
      {-kHalf, kHalf, kHalf}}},
    {"sky_ny.jpg",
     {{-kHalf, -kHalf, kHalf},
      {kHalf, -kHalf, kHalf},
      {kHalf, -kHalf, -kHalf},
      {-kHalf, -kHalf, -kHalf}}},
    {"sky_pz.jpg",
     {{-kHalf, kHalf, kHalf},
      {kHalf, kHalf, kHalf},
      {kHalf, -kHalf, kHalf},
      {-kHalf, -kHalf, kHalf}}},
    {"sky_nz.jpg",
     {{kHalf, kHalf, -kHalf},
      {-kHalf, kHalf, -kHalf},
      {-kHalf, -kHalf, -kHalf},
      {kHalf, -kHalf, -kHalf}}},
};

// Point on a face under texture coordinate (u, v), interpolated exactly as the mesh does.
Vec3 facePoint(const SkyFace &f, float u, float v) {
    Vec3 top = lerp(f.corner[0], f.corner[1], u);
    Vec3 bottom = lerp(f.corner[3], f.corner[2], u);
    return lerp(top, bottom, v);
}

const Vec3 kSun = normalize(Vec3{0.05f, 0.12f, 1.0f});

struct Star {
    Vec3 dir;
    float brightness;
    Color tint;
};

std::vector<Star> makeStars() {
    Rng rng(1001);
    std::vector<Star> stars;
    for (int i = 0; i < 5200; ++i) {
        Vec3 d;
        do {
            d = {rng.signedUnit(), rng.signedUnit(), rng.signedUnit()};
        } while (length(d) > 1 || length(d) < 0.1f);
        float m = rng.uniform();
        float b = 0.08f + 0.9f * std::pow(m, 9.0f);
        float t = rng.uniform();
        Color tint = t < 0.2f   ? rgb(1.0f, 0.8f, 0.6f)
                     : t < 0.5f ? rgb(0.75f, 0.85f, 1.0f)
                                : rgb(1, 1, 1);
        stars.push_back({normalize(d), b, tint});
    }
    return stars;
}

// Diffuse part of the environment: dark space, two-colour nebula, warm sun halo.
Color nebula(const Noise &noise, const Noise &warp, Vec3 d) {
    Vec3 q = d * 1.7f;
    Vec3 w{warp.fbm(q + Vec3{3.1f, 0, 0}, 3), warp.fbm(q + Vec3{0, 7.3f, 0}, 3),
           warp.fbm(q + Vec3{0, 0, 1.9f}, 3)};
    float n1 = noise.fbm(q + w * 0.6f, 5);
    float n2 = noise.fbm(q * 1.9f - w * 0.4f + Vec3{11, 4, 2}, 4);
    // A broad band across the sky keeps the clouds in one region rather than everywhere.
    float band = std::exp(-std::pow(dot(d, normalize(Vec3{0.3f, 1.0f, -0.4f})) / 0.55f, 2.0f));
    float violet = smoothstep(-0.05f, 0.9f, n1) * (0.35f + 0.65f * band);
    float teal = smoothstep(0.1f, 0.9f, n2) * band;
    float dust = smoothstep(0.2f, 0.8f, noise.fbm(q * 3.3f + Vec3{5, 5, 5}, 4));
    Color c = rgb(0.006f, 0.008f, 0.016f);
    c.r += 0.24f * violet + 0.03f * teal;
    c.g += 0.06f * violet + 0.2f * teal;
    c.b += 0.36f * violet + 0.22f * teal;
    float dim = 1.0f - 0.6f * dust * (violet + teal > 0.1f ? 1.0f : 0.0f);
    c = scale(c, dim);
    float s = dot(d, kSun);
    float angle = std::acos(std::clamp(s, -1.0f, 1.0f));
    float halo = 0.55f * std::exp(-angle / 0.09f) + 0.18f * std::exp(-angle / 0.35f);
    float core = smoothstep(0.035f, 0.025f, angle);
    c.r += halo * 1.0f + core;
    c.g += halo * 0.72f + core;
    c.b += halo * 0.42f + core * 0.9f;
    return c;
}

Canvas skyFace(const SkyFace &f, const Noise &noise, const Noise &warp,
               const std::vector<Star> &stars) {
    const int n = kSkySize;
    std::vector<Color> light(static_cast<std::size_t>(n) * n);
    // Nebula at quarter resolution, bilinearly upsampled: it is smooth, and this saves time.
    const int coarse = n / 4 + 1;
    std::vector<Color> neb(static_cast<std::size_t>(coarse) * coarse);
    for (int y = 0; y < coarse; ++y) {
        for (int x = 0; x < coarse; ++x) {
            Vec3 d = normalize(facePoint(f, x * 4.0f / n, y * 4.0f / n));
            neb[static_cast<std::size_t>(y) * coarse + x] = nebula(noise, warp, d);
        }
    }
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float fx = (x + 0.5f) / 4.0f, fy = (y + 0.5f) / 4.0f;
            int ix = std::min(coarse - 2, static_cast<int>(fx));
            int iy = std::min(coarse - 2, static_cast<int>(fy));
            float tx = fx - ix, ty = fy - iy;
            auto at = [&](int a, int b) { return neb[static_cast<std::size_t>(b) * coarse + a]; };
            Color c = mix(mix(at(ix, iy), at(ix + 1, iy), tx),
                          mix(at(ix, iy + 1), at(ix + 1, iy + 1), tx), ty);
            light[static_cast<std::size_t>(y) * n + x] = c;
        }
    }
    // Stars: each is projected onto this face's plane and splatted even when its centre lies
    // just beyond the face, so a star on an edge appears whole on both faces.
    Vec3 centre = (f.corner[0] + f.corner[2]) * 0.5f;
    Vec3 normal = normalize(centre);
    Vec3 du = (f.corner[1] - f.corner[0]) * (1.0f / (2 * kHalf));
    Vec3 dv = (f.corner[3] - f.corner[0]) * (1.0f / (2 * kHalf));
    for (const Star &s : stars) {
        float k = dot(s.dir, normal);
        if (k < 0.5f) {
            continue;
        }
        Vec3 p = s.dir * (kHalf / k);
        float u = dot(p - f.corner[0], du) / (2 * kHalf);
        float v = dot(p - f.corner[0], dv) / (2 * kHalf);
        float px = u * n, py = v * n;
        float sigma = 0.55f + 1.3f * s.brightness;
        int r = static_cast<int>(std::ceil(sigma * 3 + (s.brightness > 0.5f ? 6 : 0)));
        if (px < -r || py < -r || px > n + r || py > n + r) {
            continue;
        }
        for (int y = static_cast<int>(py) - r; y <= static_cast<int>(py) + r; ++y) {
            for (int x = static_cast<int>(px) - r; x <= static_cast<int>(px) + r; ++x) {
                if (x < 0 || y < 0 || x >= n || y >= n) {
                    continue;
                }
                float dx = x + 0.5f - px, dy = y + 0.5f - py;
                float d2 = dx * dx + dy * dy;
                float g = std::exp(-d2 / (2 * sigma * sigma)) * s.brightness * 1.6f;
                if (s.brightness > 0.5f) {
                    // Bright stars get a faint halo.
                    g += 0.05f * s.brightness / (1.0f + d2 * 0.3f);
                }
                Color &c = light[static_cast<std::size_t>(y) * n + x];
                c.r += g * s.tint.r;
                c.g += g * s.tint.g;
                c.b += g * s.tint.b;
            }
        }
    }
    // A triangular dither of a level or so breaks the 8-bit steps of the sun's faint glow into
    // grain instead of rings.
    Rng dither(5000 + static_cast<std::uint64_t>(&f - kFaces));
    Canvas canvas(n, n, {0, 0, 0, 1});
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            Color c = light[static_cast<std::size_t>(y) * n + x];
            // Soft shoulder instead of a hard clip keeps the sun round and the stars crisp.
            auto tone = [&](float v) {
                return 1.0f - std::exp(-v * 1.15f) +
                       (dither.uniform() - dither.uniform()) * (1.5f / 255);
            };
            canvas.set(x, y, rgb(tone(c.r), tone(c.g), tone(c.b)));
        }
    }
    return canvas;
}

// Reflection environment for the chrome hull: a lit studio around the same space, bright enough
// in every direction that the hull reads as polished metal from any side: a pale sky dome above,
// a bright horizon, a dark but not black floor, soft light panels and the sun toward +z. The panels
// sit in the middle of cube faces, away from their edges, where the faces are filtered apart.
Color reflection(const Noise &noise, const Noise &warp, Vec3 d) {
    Color c = nebula(noise, warp, d);
    c = rgb(c.r * 1.5f, c.g * 1.5f, c.b * 1.5f);
    float up = smoothstep(-0.05f, 1.0f, d.y);
    // Dome: bluish grey, lighter overhead.
    c.r += 0.28f + 0.22f * up;
    c.g += 0.32f + 0.24f * up;
    c.b += 0.42f + 0.26f * up;
    float band =
        std::exp(-std::pow(d.y / 0.07f, 2.0f)) + 0.35f * std::exp(-std::pow(d.y / 0.25f, 2.0f));
    c.r += 0.7f * band;
    c.g += 0.75f * band;
    c.b += 0.85f * band;
    if (d.y < 0) {
        // The floor: dark blue-grey, lighter toward the horizon.
        float k = smoothstep(0.0f, -0.35f, d.y);
        c = mix(c, rgb(0.07f, 0.09f, 0.14f), k * 0.85f);
    }
    // Soft light panels: three above, one low on the floor side.
    float az = std::atan2(d.x, d.z);
    struct Panel {
        float azimuth, low, high, level;
    };
    const Panel panels[4] = {{-1.57f, 0.2f, 0.58f, 1.0f},
                             {0.35f, 0.3f, 0.6f, 0.8f},
                             {2.7f, 0.18f, 0.55f, 1.0f},
                             {1.57f, -0.45f, -0.2f, 0.5f}};
    for (const Panel &p : panels) {
        float da = std::remainder(az - p.azimuth, 2 * kPi);
        float w = smoothstep(0.2f, 0.13f, std::fabs(da)) * smoothstep(p.low, p.low + 0.05f, d.y) *
                  smoothstep(p.high, p.high - 0.05f, d.y);
        c.r += 1.1f * p.level * w;
        c.g += 1.12f * p.level * w;
        c.b += 1.15f * p.level * w;
    }
    float s = std::max(0.0f, dot(d, kSun));
    c.r += 1.6f * std::pow(s, 24.0f) + 0.3f * std::pow(s, 4.0f);
    c.g += 1.25f * std::pow(s, 24.0f) + 0.22f * std::pow(s, 4.0f);
    c.b += 0.8f * std::pow(s, 24.0f) + 0.1f * std::pow(s, 4.0f);
    return c;
}

} // namespace

Mesh BuildSkybox() {
    Mesh m;
    for (int i = 0; i < 6; ++i) {
        const SkyFace &f = kFaces[i];
        auto a = m.addVertex(f.corner[0], 0, 0);
        auto b = m.addVertex(f.corner[1], 1, 0);
        auto c = m.addVertex(f.corner[2], 1, 1);
        auto d = m.addVertex(f.corner[3], 0, 1);
        m.addQuad(a, b, c, d, i);
        m.materials.push_back({1.0f, f.texture});
    }
    return m;
}

void MakeSky(Output &out) {
    Noise noise(2002), warp(2003);
    std::vector<Star> stars = makeStars();
    out.mesh("skybox.x", BuildSkybox());
    for (const SkyFace &f : kFaces) {
        out.jpeg(f.texture, skyFace(f, noise, warp, stars), 97);
    }
    // Cube faces +X, -X, +Y, -Y, +Z, -Z with the texel-to-direction rule of cube textures.
    std::array<Canvas, 6> faces = {Canvas(128, 128), Canvas(128, 128), Canvas(128, 128),
                                   Canvas(128, 128), Canvas(128, 128), Canvas(128, 128)};
    for (int face = 0; face < 6; ++face) {
        faces[face].shade([&](float x, float y) {
            float sc = 2 * x / 128 - 1, tc = 2 * y / 128 - 1;
            Vec3 d;
            switch (face) {
            case 0:
                d = {1, -tc, -sc};
                break;
            case 1:
                d = {-1, -tc, sc};
                break;
            case 2:
                d = {sc, 1, tc};
                break;
            case 3:
                d = {sc, -1, -tc};
                break;
            case 4:
                d = {sc, -tc, 1};
                break;
            default:
                d = {-sc, -tc, -1};
                break;
            }
            Color c = reflection(noise, warp, normalize(d));
            auto tone = [](float v) { return 1.0f - std::exp(-v * 1.3f); };
            return rgb(tone(c.r), tone(c.g), tone(c.b));
        });
    }
    std::vector<std::uint8_t> dds = EncodeDdsCube(faces);
    out.bytes("cubemap.dds", dds);
}

} // namespace mediagen
