// Gradient noise over a seeded permutation table; fractal sums and cell noise on top of it.
#include "tools/mediagen/noise.h"

#include "tools/mediagen/rng.h"

#include <cmath>
#include <limits>

namespace mediagen {

namespace {

const float kGradients[12][3] = {{1, 1, 0}, {-1, 1, 0}, {1, -1, 0}, {-1, -1, 0},
                                 {1, 0, 1}, {-1, 0, 1}, {1, 0, -1}, {-1, 0, -1},
                                 {0, 1, 1}, {0, -1, 1}, {0, 1, -1}, {0, -1, -1}};

float fade(float t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

} // namespace

Noise::Noise(std::uint32_t seed) {
    Rng rng(seed);
    for (int i = 0; i < 256; ++i) {
        m_perm[i] = static_cast<std::uint8_t>(i);
    }
    for (int i = 255; i > 0; --i) {
        int j = rng.below(i + 1);
        std::uint8_t t = m_perm[i];
        m_perm[i] = m_perm[j];
        m_perm[j] = t;
    }
    for (int i = 0; i < 256; ++i) {
        m_perm[256 + i] = m_perm[i];
    }
}

std::uint32_t Noise::hash(int x, int y, int z) const {
    return m_perm[(m_perm[(m_perm[x & 255] + y) & 255] + z) & 255];
}

float Noise::gradient(Vec3 p) const {
    float fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy), iz = static_cast<int>(fz);
    float x = p.x - fx, y = p.y - fy, z = p.z - fz;
    auto corner = [&](int dx, int dy, int dz) {
        const float *g = kGradients[hash(ix + dx, iy + dy, iz + dz) % 12];
        return g[0] * (x - dx) + g[1] * (y - dy) + g[2] * (z - dz);
    };
    float u = fade(x), v = fade(y), w = fade(z);
    float x00 = mix(corner(0, 0, 0), corner(1, 0, 0), u);
    float x10 = mix(corner(0, 1, 0), corner(1, 1, 0), u);
    float x01 = mix(corner(0, 0, 1), corner(1, 0, 1), u);
    float x11 = mix(corner(0, 1, 1), corner(1, 1, 1), u);
    return mix(mix(x00, x10, v), mix(x01, x11, v), w);
}

float Noise::fbm(Vec3 p, int octaves, float gain) const {
    float sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * gradient(p);
        norm += amp;
        amp *= gain;
        // Rotate-ish offset between octaves so lattice artefacts do not line up.
        p = Vec3{p.x * 2.03f + 17.1f, p.y * 2.01f - 9.7f, p.z * 1.97f + 3.3f};
    }
    return sum / norm * 1.6f;
}

float Noise::ridged(Vec3 p, int octaves) const {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        float n = 1.0f - std::fabs(gradient(p));
        sum += amp * n * n;
        norm += amp;
        amp *= 0.5f;
        p = Vec3{p.x * 2.03f + 5.1f, p.y * 2.01f + 1.7f, p.z * 1.97f - 8.3f};
    }
    return sum / norm;
}

void Noise::worley(Vec3 p, float &f1, float &f2, Vec3 *nearest) const {
    int ix = static_cast<int>(std::floor(p.x));
    int iy = static_cast<int>(std::floor(p.y));
    int iz = static_cast<int>(std::floor(p.z));
    f1 = f2 = std::numeric_limits<float>::max();
    for (int dz = -1; dz <= 1; ++dz) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                int cx = ix + dx, cy = iy + dy, cz = iz + dz;
                std::uint32_t h = hash(cx, cy, cz);
                Vec3 f{cx + (h & 255) / 255.0f, cy + hash(cx + 31, cy, cz) / 255.0f,
                       cz + hash(cx, cy + 57, cz) / 255.0f};
                float d = length(f - p);
                if (d < f1) {
                    f2 = f1;
                    f1 = d;
                    if (nearest) {
                        *nearest = f;
                    }
                } else if (d < f2) {
                    f2 = d;
                }
            }
        }
    }
}

} // namespace mediagen
