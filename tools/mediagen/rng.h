// The generator's own deterministic random source: every asset seeds one from a fixed number, so a
// build always produces the same bytes whatever else the program or the machine does.
#pragma once

#include <cstdint>

namespace mediagen {

class Rng {
public:
    explicit Rng(std::uint64_t seed)
        : m_state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {
        next();
    }

    // SplitMix64: tiny, fast and well distributed, enough for procedural art.
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f); }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // Symmetric in [-1, 1).
    float signedUnit() { return uniform() * 2.0f - 1.0f; }

private:
    std::uint64_t m_state;
};

} // namespace mediagen
