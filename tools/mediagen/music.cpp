// The two music loops, from a small sequencer: notes are rendered over two passes of the loop and
// through the reverb, and the second pass is kept, so tails wrap into the loop's start.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/audio.h"

#include <array>
#include <cmath>
#include <functional>
#include <memory>

namespace mediagen {

namespace {

float midiHz(float note) {
    return 440.0f * std::pow(2.0f, (note - 69) / 12);
}

class Sequencer {
public:
    Sequencer(std::size_t loopFrames) : m_frames(loopFrames) {
        m_left.assign(2 * loopFrames, 0.0f);
        m_right.assign(2 * loopFrames, 0.0f);
    }

    // Adds a note starting at `start` (frames within the loop) for `length` frames, in both
    // passes; `pan` -1 left to 1 right. `make` builds a fresh voice for each pass, which gets the
    // time since the note began: both passes then sound alike, so the first pass's tails are
    // exactly what the second pass would ring into the next repetition.
    void note(std::size_t start, std::size_t length, float pan,
              const std::function<std::function<float(float)>()> &make) {
        float gl = std::sqrt(0.5f * (1 - pan)), gr = std::sqrt(0.5f * (1 + pan));
        for (int pass = 0; pass < 2; ++pass) {
            auto voice = make();
            std::size_t a = start + pass * m_frames;
            for (std::size_t k = 0; k < length && a + k < 2 * m_frames; ++k) {
                float v = voice(static_cast<float>(k) / kSampleRate);
                m_left[a + k] += v * gl;
                m_right[a + k] += v * gr;
            }
        }
    }

    // Reverb per channel (slightly different rooms), then the second pass becomes the loop.
    Sound finish(float wet) {
        Reverb l(0.1f, 0.45f, 0), r(0.1f, 0.45f, 3);
        Sound s;
        s.channels = 2;
        s.samples.resize(2 * m_frames);
        for (std::size_t i = 0; i < 2 * m_frames; ++i) {
            float a = m_left[i] + wet * l.process(m_left[i]);
            float b = m_right[i] + wet * r.process(m_right[i]);
            if (i >= m_frames) {
                s.samples[2 * (i - m_frames)] = a;
                s.samples[2 * (i - m_frames) + 1] = b;
            }
        }
        return s;
    }

    std::size_t frames() const { return m_frames; }

private:
    std::size_t m_frames;
    std::vector<float> m_left, m_right;
};

// Detuned saw pad through a low-pass whose cutoff breathes with the note.
std::function<float(float)> pad(float hz, float seconds, float brightness, float detune) {
    auto lp = std::make_shared<Biquad>();
    auto phases = std::make_shared<std::array<double, 3>>(std::array<double, 3>{0.0, 0.31, 0.67});
    return [=](float t) {
        const float ratios[3] = {1.0f, 1.0f + detune, 1.0f - detune};
        float v = 0;
        for (int k = 0; k < 3; ++k) {
            double f = hz * ratios[k];
            (*phases)[k] += f / kSampleRate;
            v += Saw((*phases)[k], f / kSampleRate);
        }
        float env = Adsr(t, 0.6f, 0.8f, 0.8f, 1.2f, seconds);
        lp->set(Biquad::Type::LowPass, 300 + brightness * (0.4f + 0.6f * env), 0.8);
        return lp->process(v / 3) * env;
    };
}

std::function<float(float)> scaled(float gain, std::function<float(float)> voice) {
    return [=](float t) { return gain * voice(t); };
}

std::function<float(float)> pluck(float hz, float decay, float cutoff) {
    auto lp = std::make_shared<Biquad>();
    lp->set(Biquad::Type::LowPass, cutoff, 1.2);
    return [=](float t) {
        float v =
            Saw(hz * t, hz / kSampleRate) * 0.6f + Square(hz * t, hz / kSampleRate, 0.25f) * 0.4f;
        return lp->process(v) * Percussive(t, 0.003f, decay);
    };
}

// Soft lead: sine and a touch of triangle, vibrato arriving after the attack.
std::function<float(float)> lead(float hz, float seconds) {
    auto phase = std::make_shared<double>(0.0);
    return [=](float t) {
        float vibrato = 1.0f + 0.006f * smoothstep(0.15f, 0.4f, t) * std::sin(2 * kPi * 5.0f * t);
        *phase += hz * vibrato / kSampleRate;
        float v = Sine(*phase) * 0.8f + Triangle(*phase) * 0.2f;
        return v * Adsr(t, 0.03f, 0.2f, 0.7f, 0.35f, seconds);
    };
}

std::function<float(float)> bass(float hz, float decay) {
    return [=](float t) {
        float v = Sine(hz * t) + 0.35f * Triangle(2 * hz * t) * std::exp(-t * 6);
        return v * Percussive(t, 0.006f, decay);
    };
}

std::function<float(float)> kick() {
    return [](float t) {
        float phase = 50 * t + 60 * (1 - std::exp(-t * 30)) / 30;
        return Sine(phase) * Percussive(t, 0.002f, 0.14f);
    };
}

std::function<float(float)> hat(std::uint64_t seed) {
    auto noise = std::make_shared<NoiseSource>(seed);
    auto hp = std::make_shared<Biquad>();
    hp->set(Biquad::Type::HighPass, 6000, 0.7);
    return [=](float t) { return hp->process(noise->white()) * Percussive(t, 0.001f, 0.03f); };
}

Sound menuLoop() {
    // 98 beats a minute makes a beat exactly 13 500 frames; 16 bars: Am, F, C, G, four bars each.
    const std::size_t beat = 13500, sixteenth = beat / 4, bar = beat * 4;
    Sequencer seq(bar * 16);
    const float chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};
    const float roots[4] = {45, 41, 48, 43};
    for (int c = 0; c < 4; ++c) {
        std::size_t start = c * 4 * bar;
        for (int k = 0; k < 3; ++k) {
            seq.note(start, 4 * bar + beat * 2, -0.4f + 0.4f * k, [=] {
                return scaled(
                    0.22f, pad(midiHz(chords[c][k]), 4 * bar / float(kSampleRate), 1400, 0.006f));
            });
        }
        for (int b = 0; b < 4; ++b) {
            std::size_t barStart = start + b * bar;
            // Bass on the root, on beats 1 and 3 with a pickup.
            for (int q : {0, 2}) {
                seq.note(barStart + q * beat, beat * 2, 0,
                         [=] { return scaled(0.55f, bass(midiHz(roots[c]), 0.5f)); });
            }
            seq.note(barStart + 3 * beat + 2 * sixteenth, beat, 0,
                     [=] { return scaled(0.3f, bass(midiHz(roots[c] + 12), 0.2f)); });
            // Arpeggio in sixteenths over the chord, panned left and right in turn.
            const int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 3};
            for (int s = 0; s < 16; ++s) {
                int idx = pattern[s % 8];
                float n = idx == 3 ? chords[c][0] + 12 : chords[c][idx];
                n += 12;
                float open =
                    900 + 1800 * (0.5f + 0.5f * std::sin(2 * kPi * (c * 4 + b + s / 16.0f) / 16));
                seq.note(barStart + s * sixteenth, beat * 2, s % 2 ? 0.5f : -0.5f,
                         [=] { return scaled(0.16f, pluck(midiHz(n), 0.18f, open)); });
            }
            // Soft drums: kick on 1 and 3, hats on the off-beats.
            for (int q : {0, 2}) {
                seq.note(barStart + q * beat, beat, 0, [=] { return scaled(0.6f, kick()); });
            }
            for (int q = 0; q < 4; ++q) {
                seq.note(barStart + q * beat + 2 * sixteenth, sixteenth * 2, 0.3f,
                         [=] { return scaled(0.12f, hat(900 + c * 16 + b * 4 + q)); });
            }
        }
    }
    // A simple tune over the last twelve bars; the Am bars stay an open introduction.
    struct Note {
        int bar;
        float beat, beats, midi;
    };
    const Note tune[] = {{4, 0, 1.5f, 69},  {4, 2, 1.5f, 72},  {5, 0, 2, 65},  {5, 2, 1, 69},
                         {5, 3, 1, 67},     {6, 0, 2, 64},     {6, 2, 2, 65},  {7, 0, 3.5f, 69},
                         {8, 0, 1.5f, 67},  {8, 2, 1.5f, 64},  {9, 0, 2, 72},  {9, 2, 1, 71},
                         {9, 3, 1, 67},     {10, 0, 2, 64},    {10, 2, 2, 67}, {11, 0, 3.5f, 72},
                         {12, 0, 1.5f, 71}, {12, 2, 1.5f, 74}, {13, 0, 2, 67}, {13, 2, 1, 69},
                         {13, 3, 1, 71},    {14, 0, 2, 74},    {14, 2, 1, 72}, {14, 3, 1, 71},
                         {15, 0, 3.5f, 69}};
    for (const Note &n : tune) {
        std::size_t start = n.bar * bar + static_cast<std::size_t>(n.beat * beat);
        float seconds = n.beats * beat / float(kSampleRate);
        seq.note(start, static_cast<std::size_t>((n.beats + 1.5f) * beat), 0.2f,
                 [=] { return scaled(0.2f, lead(midiHz(n.midi), seconds)); });
    }
    return seq.finish(0.45f);
}

Sound briefingLoop() {
    // 90 beats a minute: 14 700 frames a beat, 8 bars. Dark pad over a bass ostinato.
    const std::size_t beat = 14700, eighth = beat / 2, bar = beat * 4;
    Sequencer seq(bar * 8);
    const float chords[4][3] = {{45, 52, 60}, {45, 53, 57}, {41, 48, 57}, {40, 47, 56}};
    const float roots[4] = {33, 38, 29, 28};
    for (int c = 0; c < 4; ++c) {
        std::size_t start = c * 2 * bar;
        for (int k = 0; k < 3; ++k) {
            seq.note(start, 2 * bar + beat * 2, -0.5f + 0.5f * k, [=] {
                return scaled(0.24f, pad(midiHz(chords[c][k] + 12), 2 * bar / float(kSampleRate),
                                         700, 0.004f));
            });
        }
        for (int b = 0; b < 2; ++b) {
            std::size_t barStart = start + b * bar;
            const int pattern[8] = {0, 0, 12, 0, 7, 0, 12, 10};
            for (int e = 0; e < 8; ++e) {
                seq.note(barStart + e * eighth, eighth * 2, 0, [=] {
                    return scaled(0.4f, bass(midiHz(roots[c] + 12 + pattern[e]), 0.16f));
                });
            }
            // A muted tick on each beat keeps the pulse without drums.
            for (int q = 0; q < 4; ++q) {
                seq.note(barStart + q * beat, eighth, q % 2 ? 0.4f : -0.4f,
                         [=] { return scaled(0.06f, hat(700 + c * 8 + b * 4 + q)); });
            }
        }
    }
    return seq.finish(0.6f);
}

} // namespace

// Both loops sit at -22 dB RMS, their peaks near -7 dBFS: the menu music plays under the attract's
// engine and lasers, the briefing loop under the engine start, and the sum must not clip.
void MakeMusic(Output &out) {
    Sound menu = menuLoop();
    Master(menu, -22, true, true);
    out.wav("menuloop.wav", menu);
    Sound brief = briefingLoop();
    Master(brief, -22, true, true);
    out.wav("menuloop2.wav", brief);
}

} // namespace mediagen
