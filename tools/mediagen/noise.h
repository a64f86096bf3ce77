// Seeded 3D gradient noise and the fractal sums built on it (fBm, ridged), plus Worley cells.
#pragma once

#include "tools/mediagen/vec.h"

#include <cstdint>

namespace mediagen {

class Noise {
public:
    explicit Noise(std::uint32_t seed);

    // Gradient noise in about [-1, 1].
    float gradient(Vec3 p) const;
    // Sum of `octaves` gradient layers, each twice the frequency and `gain` the amplitude.
    float fbm(Vec3 p, int octaves, float gain = 0.5f) const;
    // Ridged sum in [0, 1]: sharp crests where the noise crosses zero.
    float ridged(Vec3 p, int octaves) const;
    // Distance to the nearest and second-nearest feature point of a jittered unit grid.
    void worley(Vec3 p, float &f1, float &f2, Vec3 *nearest = nullptr) const;

private:
    std::uint32_t hash(int x, int y, int z) const;
    std::uint8_t m_perm[512];
};

} // namespace mediagen
