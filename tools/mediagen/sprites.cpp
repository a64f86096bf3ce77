// Additive sprites and their quads: the 60-frame explosion, the shock ring, laser and engine glows,
// the smoke puff, and the explosion and flare meshes they are drawn on.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/noise.h"

#include <cmath>
#include <string>

namespace mediagen {

namespace {

// Black body ramp: black, deep red, orange, yellow, white.
Color fireColour(float heat) {
    heat = clamp01(heat);
    const Color stops[] = {
        rgb(0, 0, 0),           rgb(0.35f, 0.03f, 0.01f), rgb(0.8f, 0.18f, 0.02f),
        rgb(1.0f, 0.5f, 0.08f), rgb(1.0f, 0.85f, 0.35f),  rgb(1, 1, 0.92f)};
    float f = heat * 5;
    int i = std::min(4, static_cast<int>(f));
    return mix(stops[i], stops[i + 1], f - i);
}

Canvas explosionFrame(const Noise &noise, int frame) {
    const int s = 256;
    float t = frame / 59.0f;
    // The fireball grows fast and then drifts outward; it is hottest at the start and cools.
    float radius = 0.55f + 0.45f * (1 - std::exp(-t * 8.0f));
    float flash = std::exp(-frame / 2.2f);
    float heat = 0.4f + 0.85f * std::exp(-t * 3.0f) + 0.3f * flash;
    // As it cools the cloud thins: the thin parts go first, so it breaks into drifting wisps
    // that dim away all over, rather than leaving a shell.
    float thin = 0.7f * smoothstep(0.3f, 1.0f, t);
    float fade = 1.0f - 0.92f * smoothstep(0.58f, 1.0f, t);
    Canvas c(s, s, {0, 0, 0, 1});
    c.shade([&](float x, float y) {
        // Pre-compressed horizontally: the quad is stretched 4:3 on screen.
        float nx = (x - s / 2.0f) / (0.31f * s), ny = (y - s / 2.0f) / (0.42f * s);
        float q = std::sqrt(nx * nx + ny * ny);
        if (q >= 1.0f) {
            return rgb(0, 0, 0);
        }
        // Turbulence scales with the fireball so the billows grow with it.
        Vec3 p{nx / radius * 1.9f, ny / radius * 1.9f, t * 1.8f};
        Vec3 warp{noise.fbm(p + Vec3{5.2f, 1.3f, 0}, 3), noise.fbm(p + Vec3{1.7f, 9.2f, 0}, 3), 0};
        float n = noise.fbm(p + warp * 0.6f, 5);
        float billow = noise.ridged(p * 1.6f + Vec3{3, 1, 0} + warp * 0.4f, 3);
        float edge = radius * (0.87f + 0.2f * n);
        float body = smoothstep(edge, edge * 0.45f, q);
        float density = clamp01(body * (0.55f + 0.45f * billow + 0.35f * n));
        density = clamp01((density - thin) / (1.0f - thin));
        float h = density * heat * (1.12f - 0.4f * q / radius);
        Color col = fireColour(h * fade * 1.4f);
        // The first frames are a white-hot flash filling the core.
        float core = flash * smoothstep(radius * 0.9f, 0.0f, q);
        col.r += core;
        col.g += core * 0.95f;
        col.b += core * 0.8f;
        // Keep the ellipse boundary black whatever the noise does.
        float limit = smoothstep(1.0f, 0.9f, q);
        return rgb(std::min(1.0f, col.r) * limit, std::min(1.0f, col.g) * limit,
                   std::min(1.0f, col.b) * limit);
    });
    return c;
}

Canvas shockwave() {
    const int s = 256;
    Canvas c(s, s, {0, 0, 0, 1});
    c.shade([&](float x, float y) {
        float r = std::hypot(x - s / 2.0f, y - s / 2.0f) / (s / 2.0f);
        float ring = std::exp(-std::pow((r - 0.955f) / 0.022f, 2.0f));
        float glow = smoothstep(0.45f, 0.95f, r) * smoothstep(1.0f, 0.95f, r) * 0.35f;
        float v = (ring + glow) * smoothstep(1.0f, 0.985f, r);
        return rgb(0.7f * v, 0.85f * v, v);
    });
    return c;
}

// Round glow: white core of `coreRadius`, tinted halo to `haloRadius` (fractions of the width).
Canvas glow(int s, float coreRadius, float haloRadius, Color halo, Color core) {
    Canvas c(s, s, {0, 0, 0, 1});
    c.shade([&](float x, float y) {
        float r = std::hypot(x - s / 2.0f, y - s / 2.0f) / s;
        float k = smoothstep(coreRadius + 0.02f, coreRadius - 0.02f, r);
        float h = std::exp(-std::pow(r / (haloRadius * 0.5f), 2.0f)) * 0.85f +
                  0.05f / (1 + std::pow(r / 0.05f, 2.0f));
        h *= smoothstep(0.5f, haloRadius, r);
        Color out{halo.r * h + core.r * k, halo.g * h + core.g * k, halo.b * h + core.b * k, 1};
        float edge = smoothstep(0.5f, 0.47f, r);
        return rgb(std::min(1.0f, out.r) * edge, std::min(1.0f, out.g) * edge,
                   std::min(1.0f, out.b) * edge);
    });
    return c;
}

// A shot: a pin-point hot centre inside a soft coloured glow, no flat white disc, so the newest
// shot just ahead of the pilot's eye reads as a bolt of light rather than a white plate.
Canvas shotGlow(int s, Color halo, Color hot) {
    Canvas c(s, s, {0, 0, 0, 1});
    c.shade([&](float x, float y) {
        float r = std::hypot(x - s / 2.0f, y - s / 2.0f) / s;
        float centre = 0.8f * std::exp(-std::pow(r / 0.045f, 2.0f));
        // The glow keeps the old disc's total light, so shots far away stay as bright.
        float h = 0.75f * std::exp(-std::pow(r / 0.2f, 2.0f)) +
                  0.25f * std::exp(-std::pow(r / 0.34f, 2.0f));
        float edge = smoothstep(0.5f, 0.44f, r);
        return rgb(std::min(1.0f, halo.r * h + hot.r * centre) * edge,
                   std::min(1.0f, halo.g * h + hot.g * centre) * edge,
                   std::min(1.0f, halo.b * h + hot.b * centre) * edge);
    });
    return c;
}

// A smoke puff for additive blending: it can only brighten, so it is a dim, dusky, wispy haze
// (colour times alpha stays low) that several puffs can overlap without glowing white.
Canvas smoke() {
    const int s = 64;
    Noise noise(707);
    Canvas c(s, s);
    c.shade([&](float x, float y) {
        float nx = (x - s / 2.0f) / (s / 2.0f), ny = (y - s / 2.0f) / (s / 2.0f);
        float r = std::sqrt(nx * nx + ny * ny);
        float n = noise.fbm(Vec3{nx * 2.2f, ny * 2.2f, 0.3f}, 4);
        float wisp = noise.ridged(Vec3{nx * 3.5f + 7, ny * 3.5f, 1.1f}, 3);
        float puff = smoothstep(0.95f, 0.15f, r + 0.3f * n);
        float a = 0.34f * puff * (0.45f + 0.55f * wisp) * (0.8f + 0.4f * n);
        if (x < 1 || y < 1 || x > s - 1 || y > s - 1) {
            a = 0;
        }
        // Grey with a brown cast, a little warmer toward the middle where it is fresh.
        float g = 0.34f + 0.08f * n;
        float warm = 0.05f * smoothstep(0.6f, 0.0f, r);
        return rgb(g + warm * 1.4f, g * 0.95f + warm * 0.6f, g * 0.88f, clamp01(a));
    });
    return c;
}

Mesh flareMesh(const std::string &texture) {
    Mesh m = UnitQuad();
    m.materials.push_back({1.0f, texture});
    m.makeDoubleSided();
    return m;
}

} // namespace

void MakeSprites(Output &out) {
    // Explosion: subset 0 the sprite quad, subset 1 a square of half-size 1 lying in the xz plane.
    Mesh explosion = UnitQuad();
    Mesh ring = UnitQuad(1.0f, 1.0f, 1);
    ring.transform([](Vec3 p) { return Vec3{p.x, 0, p.y}; });
    explosion.append(ring);
    explosion.materials = {{1.0f, ""}, {1.0f, ""}};
    explosion.makeDoubleSided();
    out.mesh("explosion.x", explosion);
    out.mesh("flare.x", flareMesh("flame.jpg"));
    out.mesh("flare2.x", flareMesh("flame2.jpg"));

    Noise noise(808);
    for (int i = 0; i < 60; ++i) {
        out.jpeg("explosion" + std::to_string(i + 1) + ".jpg", explosionFrame(noise, i));
    }
    out.jpeg("shockwave.jpg", shockwave());
    out.jpeg("laser.jpg", shotGlow(64, hex(0x30ffc0), rgb(1, 1, 1)));
    out.jpeg("marslaser.jpg", shotGlow(64, hex(0xff4a14), rgb(1, 0.95f, 0.85f)));
    out.jpeg("flame.jpg", glow(64, 0.07f, 0.42f, hex(0x3a8cff), rgb(0.9f, 0.95f, 1)));
    out.jpeg("flame2.jpg", glow(64, 0.07f, 0.42f, hex(0xff5a18), rgb(1, 0.9f, 0.6f)));
    out.png("smoke.png", smoke());
}

} // namespace mediagen
