// Oscillators, filters, envelopes, reverb, levels and the WAV encoder.
#include "tools/mediagen/audio.h"

#include "tools/mediagen/vec.h"

#include <algorithm>
#include <cmath>

namespace mediagen {

namespace {

double fraction(double x) {
    return x - std::floor(x);
}

// PolyBLEP residual that removes most aliasing from a step at phase 0.
double blep(double t, double dt) {
    if (dt <= 0) {
        return 0;
    }
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0;
}

} // namespace

float Sine(double phase) {
    return static_cast<float>(std::sin(2.0 * M_PI * fraction(phase)));
}

float Saw(double phase, double dt) {
    double t = fraction(phase);
    return static_cast<float>(2.0 * t - 1.0 - blep(t, dt));
}

float Square(double phase, double dt, float duty) {
    double t = fraction(phase);
    double v = t < duty ? 1.0 : -1.0;
    v += blep(t, dt);
    v -= blep(fraction(t + 1.0 - duty), dt);
    return static_cast<float>(v);
}

float Triangle(double phase) {
    double t = fraction(phase);
    return static_cast<float>(t < 0.5 ? 4 * t - 1 : 3 - 4 * t);
}

double LoopFrequency(double hz, double seconds) {
    double cycles = std::max(1.0, std::round(hz * seconds));
    return cycles / seconds;
}

void Biquad::set(Type type, double hz, double q, double gainDb, int rate) {
    hz = std::clamp(hz, 10.0, rate * 0.49);
    double w = 2 * M_PI * hz / rate;
    double cw = std::cos(w), sw = std::sin(w);
    double alpha = sw / (2 * q);
    double a0 = 1, b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    switch (type) {
    case Type::LowPass:
        b0 = (1 - cw) / 2, b1 = 1 - cw, b2 = (1 - cw) / 2;
        a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
    case Type::HighPass:
        b0 = (1 + cw) / 2, b1 = -(1 + cw), b2 = (1 + cw) / 2;
        a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
    case Type::BandPass:
        b0 = alpha, b1 = 0, b2 = -alpha;
        a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
    case Type::Peak: {
        double A = std::pow(10.0, gainDb / 40);
        b0 = 1 + alpha * A, b1 = -2 * cw, b2 = 1 - alpha * A;
        a0 = 1 + alpha / A, a1 = -2 * cw, a2 = 1 - alpha / A;
        break;
    }
    }
    m_b0 = b0 / a0, m_b1 = b1 / a0, m_b2 = b2 / a0, m_a1 = a1 / a0, m_a2 = a2 / a0;
}

float Biquad::process(float x) {
    double y = m_b0 * x + m_b1 * m_x1 + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
    m_x2 = m_x1, m_x1 = x, m_y2 = m_y1, m_y1 = y;
    return static_cast<float>(y);
}

void OnePole::setLowPass(double hz, int rate) {
    m_a = 1.0 - std::exp(-2 * M_PI * hz / rate);
}

float OnePole::process(float x) {
    m_y += m_a * (x - m_y);
    return static_cast<float>(m_y);
}

Reverb::Reverb(float roomSeconds, float damping, int variant)
    : m_feedback(0.0f), m_damping(damping) {
    const int combs[4] = {1116, 1188, 1277, 1356};
    const int allpasses[2] = {556, 441};
    float scale = roomSeconds / 0.06f * kSampleRate / 44100.0f;
    for (int i = 0; i < 4; ++i) {
        m_comb[i].buffer.assign(static_cast<std::size_t>((combs[i] + variant * 23) * scale) + 1, 0);
    }
    for (int i = 0; i < 2; ++i) {
        m_allpass[i].buffer.assign(
            static_cast<std::size_t>((allpasses[i] + variant * 11) * 0.5f) + 1, 0);
    }
    m_feedback = 0.84f;
}

float Reverb::process(float x) {
    float out = 0;
    for (auto &c : m_comb) {
        float y = c.buffer[c.pos];
        c.filter = y * (1 - m_damping) + c.filter * m_damping;
        c.buffer[c.pos] = x + c.filter * m_feedback;
        c.pos = (c.pos + 1) % c.buffer.size();
        out += y;
    }
    out *= 0.25f;
    for (auto &a : m_allpass) {
        float b = a.buffer[a.pos];
        float y = -out + b;
        a.buffer[a.pos] = out + b * 0.5f;
        a.pos = (a.pos + 1) % a.buffer.size();
        out = y;
    }
    return out;
}

float Adsr(float t, float attack, float decay, float sustain, float release, float hold) {
    if (t < 0) {
        return 0;
    }
    auto level = [&](float u) {
        if (u < attack) {
            return u / attack;
        }
        if (u < attack + decay) {
            return 1 - (1 - sustain) * (u - attack) / decay;
        }
        return sustain;
    };
    if (t < hold) {
        return level(t);
    }
    float r = (t - hold) / release;
    return r >= 1 ? 0 : level(hold) * (1 - r) * (1 - r);
}

float Percussive(float t, float attack, float tau) {
    if (t < 0) {
        return 0;
    }
    if (t < attack) {
        return t / attack;
    }
    return std::exp(-(t - attack) / tau);
}

NoiseSource::NoiseSource(std::uint64_t seed, std::size_t period) : m_rng(seed) {
    for (std::size_t i = 0; i < period; ++i) {
        m_table.push_back(m_rng.signedUnit());
    }
}

float NoiseSource::white() {
    if (m_table.empty()) {
        return m_rng.signedUnit();
    }
    float v = m_table[m_pos];
    m_pos = (m_pos + 1) % m_table.size();
    return v;
}

float PeakDb(const Sound &s) {
    float peak = 1e-9f;
    for (float v : s.samples) {
        peak = std::max(peak, std::fabs(v));
    }
    return 20 * std::log10(peak);
}

float RmsDb(const Sound &s) {
    double sum = 1e-18;
    for (float v : s.samples) {
        sum += static_cast<double>(v) * v;
    }
    return static_cast<float>(10 * std::log10(sum / std::max<std::size_t>(1, s.samples.size())));
}

void NormalizePeak(Sound &s, float dbfs) {
    float gain = std::pow(10.0f, (dbfs - PeakDb(s)) / 20);
    for (auto &v : s.samples) {
        v *= gain;
    }
}

void NormalizeRms(Sound &s, float dbfs) {
    float gain = std::pow(10.0f, (dbfs - RmsDb(s)) / 20);
    const float knee = 0.8f, ceiling = 0.94f;
    for (auto &v : s.samples) {
        float x = v * gain;
        float a = std::fabs(x);
        if (a > knee) {
            // Soft limiter: smooth approach to the ceiling instead of a hard clip.
            a = knee + (ceiling - knee) * std::tanh((a - knee) / (ceiling - knee));
            x = x < 0 ? -a : a;
        }
        v = x;
    }
}

void FadeEnds(Sound &s, float inSeconds, float outSeconds) {
    std::size_t n = s.frames();
    std::size_t fin = static_cast<std::size_t>(inSeconds * s.rate);
    std::size_t fout = static_cast<std::size_t>(outSeconds * s.rate);
    for (std::size_t i = 0; i < n; ++i) {
        float g = 1;
        if (i < fin) {
            g = static_cast<float>(i) / fin;
        }
        if (i + fout >= n && fout > 0) {
            g = std::min(g, static_cast<float>(n - 1 - i) / fout);
        }
        for (int c = 0; c < s.channels; ++c) {
            s.samples[i * s.channels + c] *= g;
        }
    }
}

void RemoveSubsonic(Sound &s, bool loop) {
    const std::size_t frames = s.frames();
    for (int c = 0; c < s.channels; ++c) {
        // Fourth-order Butterworth: two sections with the pole pairs' Q.
        Biquad a, b;
        a.set(Biquad::Type::HighPass, 30, 0.5412);
        b.set(Biquad::Type::HighPass, 30, 1.3066);
        std::vector<float> out(frames);
        for (int pass = loop ? 0 : 1; pass < 2; ++pass) {
            for (std::size_t i = 0; i < frames; ++i) {
                out[i] = b.process(a.process(s.samples[i * s.channels + c]));
            }
        }
        for (std::size_t i = 0; i < frames; ++i) {
            s.samples[i * s.channels + c] = out[i];
        }
    }
}

void Master(Sound &s, float dbfs, bool rms, bool loop) {
    RemoveSubsonic(s, loop);
    if (rms) {
        NormalizeRms(s, dbfs);
    } else {
        NormalizePeak(s, dbfs);
    }
    if (!loop) {
        FadeEnds(s, 0.0f, 0.005f);
    }
}

std::vector<std::uint8_t> EncodeWav(const Sound &s, std::uint64_t ditherSeed) {
    Rng rng(ditherSeed);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(s.samples.size() * 2);
    std::vector<std::uint8_t> out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto tag = [&](const char *t) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>(t[i]));
        }
    };
    tag("RIFF");
    u32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(static_cast<std::uint16_t>(s.channels));
    u32(static_cast<std::uint32_t>(s.rate));
    u32(static_cast<std::uint32_t>(s.rate * s.channels * 2));
    u16(static_cast<std::uint16_t>(s.channels * 2));
    u16(16);
    tag("data");
    u32(dataBytes);
    for (float v : s.samples) {
        float dither = (rng.uniform() - rng.uniform());
        float x = std::clamp(v * 32767.0f + dither, -32768.0f, 32767.0f);
        auto q = static_cast<std::int16_t>(std::lround(x));
        u16(static_cast<std::uint16_t>(q));
    }
    return out;
}

} // namespace mediagen
