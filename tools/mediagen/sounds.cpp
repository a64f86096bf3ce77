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
    // A rock bursting: a sharp crack over a heavy thud, the body breaking up in a falling
    // low-passed crunch, then a crumble of chunks and grit that thins out.
    NoiseSource noise(16);
    Rng rng(17);
    Sound s = mono(0.95f);
    Biquad crack, crunch, crunch2;
    crack.set(Biquad::Type::HighPass, 250, 0.7);
    double thud = 0;
    for (std::size_t i = 0; i < s.samples.size(); ++i) {
        float t = i / kRate;
        float v = crack.process(noise.white()) * Percussive(t, 0.0004f, 0.018f) * 1.3f;
        float f = 45 + 75 * std::exp(-t * 14);
        thud += f / kRate;
        v += Sine(thud) * Percussive(t, 0.002f, 0.16f) * 1.1f;
        float cutoff = 300 + 2600 * std::exp(-t * 9);
        crunch.set(Biquad::Type::LowPass, cutoff, 0.9);
        crunch2.set(Biquad::Type::LowPass, cutoff * 1.3f, 0.7);
        v += crunch2.process(crunch.process(noise.white())) * Percussive(t, 0.003f, 0.22f) * 1.6f;
        s.samples[i] = v;
    }
    // Chunks: short low resonances; grit: brighter grains, both thinning out over the tail.
    for (int g = 0; g < 90; ++g) {
        bool chunk = g < 24;
        float start = 0.02f + 0.72f * std::pow(rng.uniform(), chunk ? 1.3f : 1.8f);
        float len = chunk ? rng.range(0.04f, 0.09f) : rng.range(0.012f, 0.04f);
        Biquad bp;
        bp.set(Biquad::Type::BandPass, chunk ? rng.range(110, 380) : rng.range(400, 2400),
               chunk ? 3.0 : 2.2);
        float amp = rng.range(0.4f, 1.0f) * (1.0f - start) * (chunk ? 3.2f : 1.4f);
        std::size_t a = static_cast<std::size_t>(start * kRate);
        for (std::size_t k = 0;
             k < static_cast<std::size_t>(len * kRate) && a + k < s.samples.size(); ++k) {
            float u = k / kRate;
            s.samples[a + k] += bp.process(noise.white()) * amp * Percussive(u, 0.001f, len * 0.4f);
        }
    }
    Reverb room(0.05f, 0.5f, 3);
    for (auto &v : s.samples) {
        v += 0.3f * room.process(v);
    }
    FadeEnds(s, 0.0f, 0.12f);
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

// One syllable of the radio voice: an optional consonant, then a vowel gliding from the previous
// one's formants, on a glottal buzz whose pitch follows the phrase's intonation.
struct Syllable {
    int vowel;     // index into kFormants
    int consonant; // 0 none, 1 stop, 2 hiss, 3 hum
    float length;  // seconds of the vowel
    float pitch;   // Hz at its start
    float stress;  // 0 .. 1

    float consonantLength() const {
        return consonant == 0 ? 0.0f : (consonant == 2 ? 0.07f : 0.04f);
    }
};

// The first three formants of the voice's vowels, in Hz.
constexpr float kFormants[][3] = {{730, 1090, 2440}, {270, 2290, 3010}, {300, 870, 2240},
                                  {530, 1840, 2480}, {570, 840, 2410},  {490, 1350, 1690},
                                  {660, 1720, 2410}};

// Station control's words, each syllable with the second it starts at: three phrases of two to
// four words of one to three syllables, each phrase falling in pitch like a command. `end` is the
// time the last phrase has faded.
std::vector<std::pair<float, Syllable>> radioScript(float &end) {
    Rng rng(20);
    const int phrases[3][4] = {{2, 3, 1, 0}, {1, 2, 2, 3}, {3, 1, 2, 0}};
    std::vector<std::pair<float, Syllable>> script;
    float t = 0.42f;
    for (const auto &phrase : phrases) {
        int words = 0;
        while (words < 4 && phrase[words] > 0) {
            ++words;
        }
        int total = 0;
        for (int w = 0; w < words; ++w) {
            total += phrase[w];
        }
        int n = 0;
        for (int w = 0; w < words; ++w) {
            for (int k = 0; k < phrase[w]; ++k, ++n) {
                Syllable sy;
                sy.vowel = rng.below(7);
                sy.consonant = rng.below(4);
                sy.stress = k == 0 ? 1.0f : 0.35f;
                sy.length = rng.range(0.09f, 0.15f) * (k == 0 ? 1.25f : 1.0f);
                // Declining through the phrase, a lift on each word's first syllable.
                sy.pitch = 138 - 30.0f * n / total + 14 * sy.stress;
                script.push_back({t, sy});
                t += sy.consonantLength() + sy.length + 0.035f;
            }
            t += rng.range(0.05f, 0.09f);
        }
        t += 0.38f;
    }
    end = t;
    return script;
}

// The voice's sources and filters, kept from syllable to syllable so that the formants glide from
// one vowel into the next.
class RadioVoice {
public:
    explicit RadioVoice(NoiseSource &noise) : m_noise(noise) {
        m_hissBand.set(Biquad::Type::BandPass, 3000, 1.2);
        m_tilt.setLowPass(900);
    }

    // Speaks one syllable into `s` from sample `a` on.
    void speak(Sound &s, std::size_t a, const Syllable &sy) {
        const float lead = sy.consonantLength();
        std::size_t n = static_cast<std::size_t>((lead + sy.length + 0.03f) * kRate);
        for (std::size_t k = 0; k < n && a + k < s.samples.size(); ++k) {
            float u = k / kRate;
            float v = u < lead ? consonant(sy, u / lead) : vowel(sy, u - lead);
            s.samples[a + k] += v * 1.6f;
        }
        for (int i = 0; i < 3; ++i) {
            m_formants[i] = kFormants[sy.vowel][i];
        }
    }

private:
    // The consonant at `c`, 0 to 1 through it.
    float consonant(const Syllable &sy, float c) {
        if (sy.consonant == 1) {
            // Stop: a short closure, then a burst.
            return c > 0.6f ? m_hissBand.process(m_noise.white()) * (1 - c) * 1.2f : 0.0f;
        }
        if (sy.consonant == 2) {
            return m_hissBand.process(m_noise.white()) * std::sin(kPi * c) * 0.35f;
        }
        m_glottal += 110.0 / kRate;
        return Sine(m_glottal) * 0.35f * std::sin(kPi * c);
    }

    // The vowel `w` seconds in: a buzz through three band-passes gliding to the vowel's formants.
    float vowel(const Syllable &sy, float w) {
        float glide = smoothstep(0.0f, 0.045f, w);
        const float *target = kFormants[sy.vowel];
        float fr[3];
        for (int i = 0; i < 3; ++i) {
            fr[i] = m_formants[i] + (target[i] - m_formants[i]) * glide;
        }
        m_f1.set(Biquad::Type::BandPass, fr[0], 6);
        m_f2.set(Biquad::Type::BandPass, fr[1], 9);
        m_f3.set(Biquad::Type::BandPass, fr[2], 12);
        float hz = sy.pitch * (1.0f - 0.12f * w / sy.length);
        m_glottal += hz / kRate;
        float src = m_tilt.process(Saw(m_glottal, hz / kRate)) * 3.0f + 0.04f * m_noise.white();
        float env =
            smoothstep(0.0f, 0.012f, w) * smoothstep(sy.length + 0.03f, sy.length - 0.01f, w);
        return (1.0f * m_f1.process(src) + 0.7f * m_f2.process(src) + 0.35f * m_f3.process(src)) *
               env * (0.75f + 0.25f * sy.stress);
    }

    NoiseSource &m_noise;
    Biquad m_f1, m_f2, m_f3, m_hissBand;
    OnePole m_tilt;
    double m_glottal = 0;
    float m_formants[3] = {500, 1500, 2500};
};

// The carrier's squelch as it opens or closes: a burst of band-passed noise.
void squelch(Sound &s, NoiseSource &noise, float at, float dur) {
    Biquad bp;
    bp.set(Biquad::Type::BandPass, 2000, 0.7);
    std::size_t a = static_cast<std::size_t>(at * kRate);
    for (std::size_t k = 0; k < static_cast<std::size_t>(dur * kRate) && a + k < s.samples.size();
         ++k) {
        float u = k / kRate;
        s.samples[a + k] += 0.45f * bp.process(noise.white()) * smoothstep(0.0f, 0.008f, u) *
                            smoothstep(dur, dur * 0.6f, u);
    }
}

// The two-tone beep that ends the message.
void endBeep(Sound &s, float at) {
    for (int tone = 0; tone < 2; ++tone) {
        std::size_t a = static_cast<std::size_t>((at + tone * 0.09f) * kRate);
        float hz = tone == 0 ? 1050.0f : 1400.0f;
        for (std::size_t k = 0; k < static_cast<std::size_t>(0.085f * kRate); ++k) {
            float u = k / kRate;
            s.samples[a + k] +=
                0.32f * Sine(hz * u) * smoothstep(0.0f, 0.004f, u) * smoothstep(0.085f, 0.075f, u);
        }
    }
}

// The transmission: band-limited, compressed and lightly driven, a faint hiss while the carrier
// is keyed (until `close`, when its squelch begins).
void transmit(Sound &s, NoiseSource &noise, float close) {
    Biquad hp, lp, presence;
    hp.set(Biquad::Type::HighPass, 320, 0.7);
    lp.set(Biquad::Type::LowPass, 3000, 0.8);
    presence.set(Biquad::Type::Peak, 1600, 1.0, 5);
    float level = 0;
    const float threshold = 0.08f, attack = 1 - std::exp(-1 / (0.0005f * kRate)),
                release = 1 - std::exp(-1 / (0.12f * kRate));
    for (std::size_t i = 0; i < s.samples.size(); ++i) {
        float ti = i / kRate;
        float open = smoothstep(0.0f, 0.03f, ti) * smoothstep(close + 0.3f, close + 0.2f, ti);
        float v = s.samples[i] + 0.008f * noise.white() * open;
        v = presence.process(lp.process(hp.process(v)));
        // A compressor (4:1 above the threshold, fast attack, slow release) evens the syllables
        // out like a radio's voice channel without pumping the pauses up.
        float a = std::fabs(v);
        level += (a - level) * (a > level ? attack : release);
        float gain = level > threshold ? std::pow(level / threshold, -0.75f) : 1.0f;
        s.samples[i] = std::tanh(v * gain * 2.0f);
    }
}

Sound stationOrder() {
    // Station control's order over the radio: the carrier opens with a squelch, a clipped voice
    // speaks three short phrases with a falling, commanding intonation, a two-tone end beep, and
    // the squelch closes. All of it through the narrow, compressed band of a transmission.
    NoiseSource noise(19);
    float spoken = 0;
    const auto script = radioScript(spoken);
    const float close = spoken + 0.05f;
    Sound s = mono(close + 0.45f);
    RadioVoice voice(noise);
    for (const auto &[start, sy] : script) {
        voice.speak(s, static_cast<std::size_t>(start * kRate), sy);
    }
    squelch(s, noise, 0.0f, 0.22f);
    endBeep(s, close - 0.24f);
    squelch(s, noise, close, 0.3f);
    transmit(s, noise, close);
    FadeEnds(s, 0.004f, 0.05f);
    return s;
}

} // namespace

void MakeSounds(Output &out) {
    struct Effect {
        const char *name;
        Sound sound;
        float level; // dBFS: peak, or RMS when `rms`
        bool rms;
        bool loop;
    };
    // The mix: the mixer adds every voice at its own volume and clips the sum, so levels are set
    // for the worst moments the game has. The loops are a bed well under everything (the engine
    // runs at full volume through play, the rumble and the Mars-ship engine near full when their
    // source is close); the one-shots stand 6 dB and more above it; the menu music (-22 dB RMS)
    // leaves room for the attract's engine and laser, and the self-destruct's two big blasts,
    // started in one frame with the menu tick and the lost-life motif, stay clear of full scale.
    Effect effects[] = {
        {"spring.wav", spring(), -9, false, false},
        {"engine.wav", engine(), -29, true, true},
        {"marsshipengine.wav", marsEngine(), -29, true, true},
        {"marsshiplaser.wav", marsLaser(), -11, false, false},
        {"enginestart.wav", engineStart(), -8, false, false},
        {"rumble.wav", rumble(), -29, true, true},
        {"explosion1.wav", explosionBig(), -12, false, false},
        {"explosion2.wav", explosionRock(), -12, false, false},
        {"laser.wav", laser(), -9, false, false},
        {"danger.wav", danger(), -13, false, true},
        {"win.wav", win(), -9, false, false},
        {"lose.wav", lose(), -10, false, false},
        {"hit.wav", hit(), -10, false, false},
        {"menuselect.wav", menuSelect(), -15, false, false},
        {"menuback.wav", menuBack(), -13, false, false},
        // Played over the engine loop at full volume: the order stands well above it.
        {"stationorder.wav", stationOrder(), -20, true, false},
    };
    for (auto &e : effects) {
        Master(e.sound, e.level, e.rms, e.loop);
        out.wav(e.name, e.sound);
    }
}

} // namespace mediagen
