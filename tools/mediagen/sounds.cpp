// The seventeen sound effects, synthesised. Loops are built periodic (whole cycles per loop,
// noise repeating with the loop, filters run over two periods) so their end leads into their start.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/audio.h"

#include <cmath>
#include <functional>

namespace mediagen {

namespace {

constexpr float kRate = static_cast<float>(kSampleRate);

Sound mono(float seconds) {
    Sound s;
    s.samples.assign(static_cast<std::size_t>(seconds * kRate), 0.0f);
    return s;
}

// One-shot: fills a buffer sample by sample from t (seconds).
Sound oneShot(float seconds, const std::function<float(float)> &f) {
    Sound s = mono(seconds);
    for (std::size_t i = 0; i < s.samples.size(); ++i) {
        s.samples[i] = f(i / kRate);
    }
    return s;
}

// Loop of `frames` samples: `f` is asked for 2 x frames samples (it must be periodic in its raw
// sources) and only the second period is kept, so filter and envelope state wraps seamlessly.
Sound loop(std::size_t frames, const std::function<float(std::size_t)> &f) {
    Sound s;
    s.samples.resize(frames);
    for (std::size_t i = 0; i < 2 * frames; ++i) {
        float v = f(i);
        if (i >= frames) {
            s.samples[i - frames] = v;
        }
    }
    return s;
}

float midiHz(float note) {
    return 440.0f * std::pow(2.0f, (note - 69) / 12);
}

Sound spring() {
    // A cartoon "boing": a sine whose pitch wobbles and settles, FM-brightened at the start.
    double phase = 0, mod = 0;
    Sound s = oneShot(0.7f, [&](float t) {
        float wobble = std::exp(-t * 5.0f) * std::sin(2 * kPi * 11.0f * t);
        float f = 190.0f * (1.0f + 0.45f * wobble) * (1.0f + 0.6f * std::exp(-t * 30));
        mod += 2.01 * f / kRate;
        float index = 2.5f * std::exp(-t * 8);
        phase += f / kRate;
        return Sine(phase + index * Sine(mod) / (2 * kPi)) * Percussive(t, 0.004f, 0.22f);
    });
    FadeEnds(s, 0.0f, 0.08f);
    return s;
}

Sound engine() {
    // 1.0 s loop: a 220 Hz buzz with a throb, and a breath of periodic noise.
    const std::size_t n = kSampleRate;
    NoiseSource noise(11, n);
    Biquad body, hiss;
    body.set(Biquad::Type::LowPass, 1800, 0.9);
    hiss.set(Biquad::Type::BandPass, 900, 0.7);
    const double f0 = LoopFrequency(220, 1.0), throb = LoopFrequency(11, 1.0);
    return loop(n, [&](std::size_t i) {
        double t = static_cast<double>(i) / kSampleRate;
        float v = 0;
        for (int h = 1; h <= 9; ++h) {
            v += Sine(f0 * h * t + 0.13 * h * h) / (h * 0.9f);
        }
        float am = 0.8f + 0.2f * Sine(throb * t);
        return body.process(v * am * 0.5f) + 0.25f * hiss.process(noise.white());
    });
}

Sound marsEngine() {
    // 2.0 s loop: two detuned saws 3 Hz apart beating, growled through a resonant low-pass.
    const std::size_t n = 2 * kSampleRate;
    Biquad lp;
    lp.set(Biquad::Type::LowPass, 700, 2.5);
    NoiseSource noise(12, n);
    Biquad grit;
    grit.set(Biquad::Type::BandPass, 300, 1.0);
    return loop(n, [&](std::size_t i) {
        double t = static_cast<double>(i) / kSampleRate;
        float v = Saw(80 * t, 80.0 / kSampleRate) + Saw(83 * t, 83.0 / kSampleRate) +
                  0.5f * Square(40 * t, 40.0 / kSampleRate, 0.3f);
        float wah = 0.75f + 0.25f * Sine(0.5 * t);
        return lp.process(v * 0.4f * wah) + 0.1f * grit.process(noise.white());
    });
}

Sound marsLaser() {
    // Harsh falling zap: a square ring-modulated by a falling sine.
    double p1 = 0, p2 = 0;
    return oneShot(0.26f, [&](float t) {
        float f = 1400 * std::exp(-t * 9) + 180;
        p1 += f / kRate;
        p2 += (f * 1.37f + 90) / kRate;
        float v = Square(p1, f / kRate) * Sine(p2);
        return v * Percussive(t, 0.002f, 0.08f);
    });
}

Sound engineStart() {
    // Starter whine, ignition thump at 1.5 s, spool-up settling into the idle's low throb at 5 s.
    NoiseSource noise(13);
    Biquad thumpFilter, rush;
    thumpFilter.set(Biquad::Type::LowPass, 300, 0.8);
    rush.set(Biquad::Type::BandPass, 600, 0.8);
    double whine = 0, eng = 0, turbine = 0;
    Sound s = oneShot(5.0f, [&](float t) {
        float v = 0;
        if (t < 1.6f) {
            float f = 260 + 700 * (t / 1.5f) * (t / 1.5f);
            whine += f / kRate;
            float env = smoothstep(0.0f, 0.2f, t) * smoothstep(1.6f, 1.45f, t);
            v += 0.35f * env * (Saw(whine, f / kRate) * 0.4f + Sine(whine * 2) * 0.6f);
        }
        if (t >= 1.5f) {
            float u = t - 1.5f;
            float thump = std::sin(2 * kPi * (55 * u - 20 * u * u)) * std::exp(-u * 7);
            v += 0.9f * thump + 0.5f * thumpFilter.process(noise.white()) * std::exp(-u * 5);
            // Spool: pitch overshoots and settles at the idle fundamental (40 Hz).
            float f = 40 + 160 * std::exp(-u * 1.4f) * smoothstep(0.0f, 0.4f, u);
            eng += f / kRate;
            float e = 0;
            for (int h = 1; h <= 7; ++h) {
                e += Sine(eng * h) / h;
            }
            v += 0.45f * smoothstep(0.0f, 0.3f, u) * e;
            v += 0.12f * rush.process(noise.white()) * std::exp(-u * 0.8f);
            // Turbine whine spooling up, then easing back as the engine settles to idle.
            float fw = 300 + 1300 * (1 - std::exp(-u * 1.3f)) - 500 * smoothstep(2.0f, 3.4f, u);
            turbine += fw / kRate;
            float level = smoothstep(0.1f, 1.2f, u) * (1 - 0.85f * smoothstep(2.2f, 3.4f, u));
            v += 0.16f * level * (Sine(turbine) + 0.3f * Sine(turbine * 2.02));
        }
        return v;
    });
    FadeEnds(s, 0.01f, 0.15f);
    return s;
}

Sound rumble() {
    // 2.5 s loop of low-passed brown noise, its level grinding slowly.
    const std::size_t n = static_cast<std::size_t>(2.5 * kSampleRate);
    NoiseSource noise(14, n);
    OnePole integrate;
    integrate.setLowPass(40);
    Biquad lp1, lp2, hp;
    lp1.set(Biquad::Type::LowPass, 150, 0.7);
    lp2.set(Biquad::Type::LowPass, 150, 0.7);
    hp.set(Biquad::Type::HighPass, 25, 0.7);
    const double grind = LoopFrequency(0.8, 2.5), grind2 = LoopFrequency(3.2, 2.5);
    return loop(n, [&](std::size_t i) {
        double t = static_cast<double>(i) / kSampleRate;
        float v = lp2.process(lp1.process(hp.process(integrate.process(noise.white()))));
        float mod = 0.7f + 0.2f * Sine(grind * t) + 0.1f * Sine(grind2 * t + 0.3);
        return v * mod;
    });
}

Sound explosionBig() {
    NoiseSource noise(15);
    Biquad lp, lp2;
    OnePole tailSmooth;
    tailSmooth.setLowPass(400);
    Reverb verb(0.09f, 0.4f, 0);
    Sound s = oneShot(2.0f, [&](float t) {
        float cutoff = 200 + 5000 * std::exp(-t * 3.5f);
        lp.set(Biquad::Type::LowPass, cutoff, 0.8);
        lp2.set(Biquad::Type::LowPass, cutoff * 1.2f, 0.7);
        float burst = lp2.process(lp.process(noise.white())) * Percussive(t, 0.003f, 0.45f);
        float thump = std::sin(2 * kPi * (62 * t - 18 * t * t)) * std::exp(-t * 4.5f);
        float v = burst * 1.2f + thump * 0.9f;
        return v + 0.6f * verb.process(v);
    });
    FadeEnds(s, 0.0f, 0.3f);
    return s;
}

Sound explosionRock() {
    // Crack, then a crumble of short band-passed noise grains.
    NoiseSource noise(16);
    Rng rng(17);
    Sound s = mono(0.95f);
    Biquad crack;
    crack.set(Biquad::Type::HighPass, 900, 0.7);
    for (std::size_t i = 0; i < s.samples.size(); ++i) {
        float t = i / kRate;
        s.samples[i] += crack.process(noise.white()) * Percussive(t, 0.0005f, 0.025f) * 1.4f;
        s.samples[i] += std::sin(2 * kPi * 90 * t) * std::exp(-t * 12) * 0.6f;
    }
    for (int g = 0; g < 70; ++g) {
        float start = 0.02f + 0.75f * std::pow(rng.uniform(), 1.6f);
        float len = rng.range(0.015f, 0.06f);
        Biquad bp;
        bp.set(Biquad::Type::BandPass, rng.range(250, 2200), 2.0);
        float amp = rng.range(0.3f, 1.0f) * (1.0f - start);
        std::size_t a = static_cast<std::size_t>(start * kRate);
        for (std::size_t k = 0;
             k < static_cast<std::size_t>(len * kRate) && a + k < s.samples.size(); ++k) {
            float u = k / kRate;
            s.samples[a + k] +=
                bp.process(noise.white()) * amp * Percussive(u, 0.001f, len * 0.35f) * 2.0f;
        }
    }
    FadeEnds(s, 0.0f, 0.1f);
    return s;
}

Sound laser() {
    double phase = 0;
    Sound s = oneShot(0.16f, [&](float t) {
        float f = 300 + 1700 * std::exp(-t * 28);
        phase += f / kRate;
        return (0.7f * Sine(phase) + 0.3f * Saw(phase, f / kRate)) * Percussive(t, 0.002f, 0.05f);
    });
    FadeEnds(s, 0.0f, 0.02f);
    return s;
}

Sound danger() {
    // 1.0 s loop: two beeps (high, low) then a rest; each beep fades in and out on its own.
    const std::size_t n = kSampleRate;
    return loop(n, [&](std::size_t i) {
        std::size_t j = i % n;
        float t = static_cast<float>(j) / kRate;
        auto beep = [&](float start, float hz) {
            float u = t - start;
            if (u < 0 || u > 0.22f) {
                return 0.0f;
            }
            float env = smoothstep(0.0f, 0.01f, u) * smoothstep(0.22f, 0.2f, u);
            return env * (Square(hz * u, hz / kRate, 0.5f) * 0.5f + Sine(hz * u) * 0.5f);
        };
        return beep(0.0f, 988) + beep(0.25f, 740);
    });
}

// Plucked square-ish note with a soft attack, for jingles.
float pluck(float t, float hz, float decay) {
    if (t < 0) {
        return 0;
    }
    float v =
        Sine(hz * t) * 0.6f + Square(hz * t, hz / kRate, 0.3f) * 0.25f + Sine(2 * hz * t) * 0.15f;
    return v * Percussive(t, 0.005f, decay);
}

Sound win() {
    // Rising major arpeggio, then the chord held.
    const float notes[] = {72, 76, 79, 84};
    Reverb verb(0.06f, 0.5f, 1);
    Sound s = oneShot(2.1f, [&](float t) {
        float v = 0;
        for (int k = 0; k < 4; ++k) {
            v += pluck(t - k * 0.12f, midiHz(notes[k]), k == 3 ? 0.6f : 0.25f);
        }
        for (int k = 0; k < 3; ++k) {
            v += 0.5f * pluck(t - 0.6f, midiHz(notes[k] + 12 * (k == 0)), 0.5f);
        }
        return v + 0.4f * verb.process(v);
    });
    FadeEnds(s, 0.0f, 0.3f);
    return s;
}

Sound lose() {
    // Falling minor motif over a low drone.
    const float notes[] = {69, 67, 64, 60, 57};
    Reverb verb(0.08f, 0.5f, 2);
    double drone = 0;
    Sound s = oneShot(3.6f, [&](float t) {
        float v = 0;
        for (int k = 0; k < 5; ++k) {
            v += pluck(t - k * 0.38f, midiHz(notes[k]), k == 4 ? 0.9f : 0.35f);
        }
        drone += midiHz(45) / kRate;
        float d = (Saw(drone, midiHz(45) / kRate) * 0.3f + Sine(drone) * 0.7f) *
                  smoothstep(0.0f, 0.5f, t) * smoothstep(3.6f, 2.6f, t) * 0.5f;
        return v + d + 0.35f * verb.process(v);
    });
    FadeEnds(s, 0.0f, 0.2f);
    return s;
}

Sound hit() {
    // Metallic clang: inharmonic partials with their own decays, plus a noise transient.
    const float partials[][3] = {{523, 1.0f, 0.25f},  {1187, 0.7f, 0.18f}, {1871, 0.5f, 0.12f},
                                 {2659, 0.4f, 0.09f}, {3511, 0.3f, 0.06f}, {797, 0.5f, 0.2f}};
    NoiseSource noise(18);
    Biquad hp;
    hp.set(Biquad::Type::HighPass, 2500, 0.7);
    Sound s = oneShot(0.45f, [&](float t) {
        float v = 0;
        for (const auto &p : partials) {
            v += p[1] * Sine(p[0] * t) * Percussive(t, 0.001f, p[2]);
        }
        return v * 0.5f + hp.process(noise.white()) * Percussive(t, 0.0005f, 0.012f);
    });
    FadeEnds(s, 0.0f, 0.05f);
    return s;
}

Sound menuSelect() {
    Sound s = oneShot(0.05f, [](float t) {
        return Sine(1320 * t) * smoothstep(0.0f, 0.004f, t) * smoothstep(0.05f, 0.02f, t);
    });
    return s;
}

Sound menuBack() {
    Sound s = oneShot(0.12f, [](float t) {
        float a = t < 0.055f
                      ? Sine(880 * t) * smoothstep(0.0f, 0.003f, t) * smoothstep(0.055f, 0.045f, t)
                      : 0.0f;
        float u = t - 0.06f;
        float b = u > 0 ? Sine(587 * u) * smoothstep(0.0f, 0.003f, u) * smoothstep(0.06f, 0.03f, u)
                        : 0.0f;
        return a + b;
    });
    return s;
}

Sound stationOrder() {
    // Radio message: squelch, formant-filtered "voice" syllables, data chirps, squelch tail; the
    // whole band-limited like a transmission.
    const float length = 6.5f;
    NoiseSource noise(19);
    Rng rng(20);
    Sound s = mono(length);
    // Squelch bursts at the start and end.
    auto squelch = [&](float start, float dur) {
        Biquad bp;
        bp.set(Biquad::Type::BandPass, 2200, 0.6);
        std::size_t a = static_cast<std::size_t>(start * kRate);
        for (std::size_t k = 0;
             k < static_cast<std::size_t>(dur * kRate) && a + k < s.samples.size(); ++k) {
            float u = k / kRate;
            s.samples[a + k] += 0.6f * bp.process(noise.white()) * smoothstep(0.0f, 0.01f, u) *
                                smoothstep(dur, dur * 0.7f, u);
        }
    };
    squelch(0.0f, 0.25f);
    // Syllables: a buzzy glottal source through two formant band-passes per vowel.
    const float vowels[][2] = {{730, 1090}, {270, 2290}, {530, 1840},
                               {570, 840},  {440, 1020}, {660, 1700}};
    float t0 = 0.35f;
    double glottal = 0;
    while (t0 < length - 1.3f) {
        int words = 2 + rng.below(4);
        for (int w = 0; w < words && t0 < length - 1.3f; ++w) {
            float dur = rng.range(0.08f, 0.2f);
            const float *v = vowels[rng.below(6)];
            Biquad f1, f2;
            f1.set(Biquad::Type::BandPass, v[0], 5);
            f2.set(Biquad::Type::BandPass, v[1], 6);
            float pitch = rng.range(105, 140);
            std::size_t a = static_cast<std::size_t>(t0 * kRate);
            for (std::size_t k = 0; k < static_cast<std::size_t>(dur * kRate); ++k) {
                float u = k / kRate;
                float hz = pitch * (1.0f - 0.15f * u / dur);
                glottal += hz / kRate;
                float src = Saw(glottal, hz / kRate) + 0.15f * noise.white();
                float env = smoothstep(0.0f, 0.015f, u) * smoothstep(dur, dur - 0.03f, u);
                s.samples[a + k] += (f1.process(src) + 0.6f * f2.process(src)) * env * 1.4f;
            }
            t0 += dur + rng.range(0.02f, 0.07f);
        }
        t0 += rng.range(0.15f, 0.35f);
        // Occasionally a burst of data chirps between phrases.
        if (rng.uniform() < 0.5f) {
            for (int c = 0; c < 4; ++c) {
                float f0 = rng.range(1200, 2400), dur = 0.04f;
                std::size_t a = static_cast<std::size_t>(t0 * kRate);
                double ph = 0;
                for (std::size_t k = 0; k < static_cast<std::size_t>(dur * kRate); ++k) {
                    float u = k / kRate;
                    ph += (f0 + 8000 * u) / kRate;
                    s.samples[a + k] += 0.35f * Square(ph, f0 / kRate) * smoothstep(dur, 0.0f, u);
                }
                t0 += dur + 0.02f;
            }
            t0 += 0.15f;
        }
    }
    squelch(length - 0.9f, 0.35f);
    // Transmission band and a little constant hiss while the channel is open.
    Biquad hp, lp;
    hp.set(Biquad::Type::HighPass, 300, 0.7);
    lp.set(Biquad::Type::LowPass, 3200, 0.7);
    for (std::size_t i = 0; i < s.samples.size(); ++i) {
        float t = i / kRate;
        float open = smoothstep(0.0f, 0.05f, t) * smoothstep(length - 0.5f, length - 0.6f, t);
        float v = s.samples[i] + 0.03f * noise.white() * open;
        v = lp.process(hp.process(v));
        s.samples[i] = std::tanh(v * 1.5f);
    }
    FadeEnds(s, 0.005f, 0.05f);
    return s;
}

} // namespace

void MakeSounds(Output &out) {
    struct Effect {
        const char *name;
        Sound sound;
        float level; // dBFS: peak, or RMS when `rms`
        bool rms;
    };
    Effect effects[] = {
        {"spring.wav", spring(), -6, false},
        {"engine.wav", engine(), -12, true},
        {"marsshipengine.wav", marsEngine(), -12, true},
        {"marsshiplaser.wav", marsLaser(), -8, false},
        {"enginestart.wav", engineStart(), -6, false},
        {"rumble.wav", rumble(), -10, true},
        {"explosion1.wav", explosionBig(), -1, false},
        {"explosion2.wav", explosionRock(), -3, false},
        {"laser.wav", laser(), -6, false},
        {"danger.wav", danger(), -9, false},
        {"win.wav", win(), -6, false},
        {"lose.wav", lose(), -6, false},
        {"hit.wav", hit(), -4, false},
        {"menuselect.wav", menuSelect(), -12, false},
        {"menuback.wav", menuBack(), -10, false},
        {"stationorder.wav", stationOrder(), -8, false},
    };
    for (auto &e : effects) {
        if (e.rms) {
            NormalizeRms(e.sound, e.level);
        } else {
            NormalizePeak(e.sound, e.level);
        }
        out.wav(e.name, e.sound);
    }
}

} // namespace mediagen
