// Audio toolkit for the sound effects and music: oscillators, envelopes, filters, a small reverb,
// loudness normalisation and loop-safe rendering helpers.
#pragma once

#include "tools/mediagen/rng.h"

#include <cstdint>
#include <vector>

namespace mediagen {

constexpr int kSampleRate = 22050;

// Interleaved float samples in [-1, 1].
struct Sound {
    int channels = 1;
    int rate = kSampleRate;
    std::vector<float> samples;

    std::size_t frames() const { return samples.size() / channels; }
};

// Band-limited oscillators (polyBLEP) over a phase in cycles.
float Sine(double phase);
float Saw(double phase, double increment);
float Square(double phase, double increment, float duty = 0.5f);
float Triangle(double phase);

// The nearest frequency with a whole number of cycles in `seconds`: loops then join in phase.
double LoopFrequency(double hz, double seconds);

// RBJ biquad; coefficients may be changed per sample for sweeps.
class Biquad {
public:
    enum class Type { LowPass, HighPass, BandPass, Peak };
    void set(Type type, double hz, double q, double gainDb = 0, int rate = kSampleRate);
    float process(float x);

private:
    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

class OnePole {
public:
    void setLowPass(double hz, int rate = kSampleRate);
    float process(float x);

private:
    double m_a = 1, m_y = 0;
};

// Schroeder reverb: four combs into two all-passes; `variant` detunes the delays per channel.
class Reverb {
public:
    Reverb(float roomSeconds, float damping, int variant);
    float process(float x);

private:
    struct Line {
        std::vector<float> buffer;
        std::size_t pos = 0;
        float filter = 0;
    };
    Line m_comb[4];
    Line m_allpass[2];
    float m_feedback, m_damping;
};

// Attack-decay-sustain-release envelope value at time t for a note held `hold` seconds.
float Adsr(float t, float attack, float decay, float sustain, float release, float hold);
// 0 before t = 0, then exp(-t / tau) after a short linear attack.
float Percussive(float t, float attack, float tau);

// White noise with a periodic option: the same sequence repeats every `period` samples.
class NoiseSource {
public:
    explicit NoiseSource(std::uint64_t seed, std::size_t period = 0);
    float white();

private:
    Rng m_rng;
    std::vector<float> m_table;
    std::size_t m_pos = 0;
};

// Scales every sample so the peak sits at `dbfs`.
void NormalizePeak(Sound &s, float dbfs);
// Scales so the RMS level sits at `dbfs`, then limits peaks softly below -0.5 dBFS.
void NormalizeRms(Sound &s, float dbfs);
float PeakDb(const Sound &s);
float RmsDb(const Sound &s);
// Short fades at both ends so one-shot sounds start and stop without clicks.
void FadeEnds(Sound &s, float inSeconds, float outSeconds);
// Takes out DC and everything below the audible range (a steep high-pass at 30 Hz): an offset
// thumps when a sound stops half way and drift only eats headroom. A loop is filtered as an
// endless repetition of itself, so it still joins seamlessly.
void RemoveSubsonic(Sound &s, bool loop);
// The last step of every sound: free of subsonic energy, then levelled to `dbfs` (peak, or RMS
// when `rms`, softly limited); a one-shot also ends in a short fade.
void Master(Sound &s, float dbfs, bool rms, bool loop);

// Canonical 16-bit PCM RIFF file, TPDF-dithered with a fixed seed.
std::vector<std::uint8_t> EncodeWav(const Sound &s, std::uint64_t ditherSeed);

} // namespace mediagen
