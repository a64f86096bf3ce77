// Sounds loaded through the sound subsystem's WAV reader (and the menu music through the music
// segment loader): format, lengths, loudness and seamless loops.
#include "tests/media/media_loaders.h"

#include "platform/dmusic/segment.h"
#include "tools/mediagen/audio.h"

#include <algorithm>
#include <cstring>
#include <map>

using namespace mediatest;

namespace {

double PeakDb(const Sound &w) {
    int peak = 1;
    for (auto s : w.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return 20 * std::log10(peak / 32768.0);
}

double RmsDb(const Sound &w) {
    double sum = 0;
    for (auto s : w.samples) {
        sum += double(s) * s;
    }
    return 10 * std::log10(sum / w.samples.size() / (32768.0 * 32768.0));
}

// Jump from the last frame to the first compared with the file's own sample-to-sample steps:
// a seamless loop's seam is an ordinary step.
void ExpectSeamless(const std::string &name) {
    Sound w = LoadSound(name);
    ASSERT_TRUE(w.ok) << name;
    std::size_t frames = w.samples.size() / w.channels();
    for (int c = 0; c < w.channels(); ++c) {
        std::vector<int> steps;
        for (std::size_t i = 1; i < frames; ++i) {
            steps.push_back(
                std::abs(w.samples[i * w.channels() + c] - w.samples[(i - 1) * w.channels() + c]));
        }
        std::sort(steps.begin(), steps.end());
        int typical = steps[steps.size() * 95 / 100];
        int seam = std::abs(w.samples[c] - w.samples[(frames - 1) * w.channels() + c]);
        EXPECT_LE(seam, typical) << name << " channel " << c;
    }
}

// 16-bit PCM at the mix rate, in the minimal file: RIFF, WAVE, a 16-byte "fmt " and "data".
void ExpectCanonicalPcm(const std::string &name, int channels) {
    SCOPED_TRACE(name);
    Sound w = LoadSound(name);
    ASSERT_TRUE(w.ok);
    // The record is packed: its fields are compared as copies, never bound by reference.
    EXPECT_EQ(+w.format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(+w.format.wBitsPerSample, 16);
    EXPECT_EQ(+w.format.nSamplesPerSec, 22050u);
    EXPECT_EQ(+w.format.nChannels, channels);
    EXPECT_EQ(+w.format.nBlockAlign, channels * 2);
    EXPECT_EQ(+w.format.nAvgBytesPerSec, 22050u * channels * 2);
    EXPECT_EQ(w.samples.size() % channels, 0u);
    EXPECT_EQ(ReadMedia(name).size(), 44 + w.samples.size() * 2);
}

} // namespace

TEST(Sounds, EveryFileIsCanonical16BitPcmAtTheMixRate) {
    const char *effects[] = {"spring.wav",        "engine.wav",      "marsshipengine.wav",
                             "marsshiplaser.wav", "enginestart.wav", "rumble.wav",
                             "explosion1.wav",    "explosion2.wav",  "laser.wav",
                             "danger.wav",        "win.wav",         "lose.wav",
                             "hit.wav",           "menuselect.wav",  "menuback.wav",
                             "stationorder.wav"};
    for (const char *n : effects) {
        ExpectCanonicalPcm(n, 1);
    }
    for (const char *n : {"menuloop.wav", "menuloop2.wav"}) {
        ExpectCanonicalPcm(n, 2);
    }
}

TEST(Sounds, MenuMusicLoadsAsASegmentWithTheSamplesTheWavReaderSees) {
    dmusic::Segment *segment = nullptr;
    ASSERT_EQ(dmusic::Segment::Load(MediaPath("menuloop.wav"), &segment), S_OK);
    Sound w = LoadSound("menuloop.wav");
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(+segment->Format().nChannels, 2);
    EXPECT_EQ(+segment->Format().nSamplesPerSec, 22050u);
    EXPECT_EQ(+segment->Format().wBitsPerSample, 16);
    ASSERT_EQ(segment->Samples().size(), w.samples.size() * 2);
    EXPECT_EQ(std::memcmp(segment->Samples().data(), w.samples.data(), segment->Samples().size()),
              0);
    segment->Release();
}

TEST(Sounds, LengthsFitTheMomentsTheyArePlayed) {
    const std::map<std::string, std::pair<double, double>> lengths = {
        {"spring.wav", {0.5, 0.9}},
        {"engine.wav", {1.0, 1.0}},
        {"marsshipengine.wav", {1.0, 2.0}},
        {"marsshiplaser.wav", {0.2, 0.3}},
        {"enginestart.wav", {5.0, 5.0}},
        {"rumble.wav", {2.0, 3.0}},
        {"explosion1.wav", {1.8, 2.2}},
        {"explosion2.wav", {0.8, 1.0}},
        {"laser.wav", {0.12, 0.2}},
        {"danger.wav", {1.0, 1.0}},
        {"win.wav", {1.8, 2.2}},
        {"lose.wav", {3.0, 4.0}},
        {"hit.wav", {0.3, 0.5}},
        {"menuselect.wav", {0.03, 0.07}},
        {"menuback.wav", {0.1, 0.15}},
        {"stationorder.wav", {5.0, 8.0}},
        {"menuloop.wav", {32, 64}},
        {"menuloop2.wav", {16, 24}}};
    for (const auto &[name, range] : lengths) {
        double s = LoadSound(name).seconds();
        EXPECT_GE(s, range.first - 0.001) << name;
        EXPECT_LE(s, range.second + 0.001) << name;
    }
}

TEST(Sounds, LevelsFollowTheMix) {
    const std::map<std::string, double> peaks = {
        {"spring.wav", -9},      {"marsshiplaser.wav", -11}, {"explosion1.wav", -12},
        {"explosion2.wav", -12}, {"laser.wav", -9},          {"danger.wav", -13},
        {"win.wav", -9},         {"lose.wav", -10},          {"hit.wav", -10},
        {"menuselect.wav", -15}, {"menuback.wav", -13}};
    for (const auto &[name, db] : peaks) {
        EXPECT_NEAR(PeakDb(LoadSound(name)), db, 0.5) << name;
    }
    const std::map<std::string, double> rms = {{"engine.wav", -29},   {"marsshipengine.wav", -29},
                                               {"rumble.wav", -29},   {"stationorder.wav", -20},
                                               {"menuloop.wav", -22}, {"menuloop2.wav", -22}};
    for (const auto &[name, db] : rms) {
        Sound w = LoadSound(name);
        EXPECT_NEAR(RmsDb(w), db, 1.0) << name;
        EXPECT_LT(PeakDb(w), -0.3) << name; // never clipped
    }
}

TEST(Sounds, TheBusiestMomentsStayBelowFullScaleWithTheEffectsAboveTheLoops) {
    auto linear = [](const std::string &name) {
        Sound w = LoadSound(name);
        std::vector<double> v(w.samples.begin(), w.samples.end());
        for (double &x : v) {
            x /= 32768.0;
        }
        return v;
    };
    auto peak = [](const std::vector<double> &v) {
        double p = 0;
        for (double x : v) {
            p = std::max(p, std::fabs(x));
        }
        return p;
    };
    // The attract: the menu music, the engine at full volume and the fly-by's lasers, however
    // their peaks happen to meet.
    EXPECT_LT(peak(linear("menuloop.wav")) + peak(linear("engine.wav")) + peak(linear("laser.wav")),
              0.95);
    // A self-destruct starts two big blasts, the menu tick and the lost-life motif in one frame,
    // over the running engine.
    std::vector<double> sum(LoadSound("explosion1.wav").samples.size(), 0.0);
    for (const char *n : {"explosion1.wav", "explosion1.wav", "menuback.wav", "lose.wav"}) {
        std::vector<double> v = linear(n);
        sum.resize(std::max(sum.size(), v.size()), 0.0);
        for (std::size_t i = 0; i < v.size(); ++i) {
            sum[i] += v[i];
        }
    }
    EXPECT_LT(peak(sum) + peak(linear("engine.wav")), 0.95);
    // Each shot and blast, over its loudest tenth of a second, stands 6 dB above every loop.
    double loops = -100;
    for (const char *n : {"engine.wav", "rumble.wav", "marsshipengine.wav"}) {
        loops = std::max(loops, RmsDb(LoadSound(n)));
    }
    for (const char *n :
         {"laser.wav", "marsshiplaser.wav", "explosion1.wav", "explosion2.wav", "hit.wav"}) {
        std::vector<double> v = linear(n);
        const std::size_t window = 2205;
        double energy = 0, loudest = 0;
        for (std::size_t i = 0; i < v.size(); ++i) {
            energy += v[i] * v[i] - (i >= window ? v[i - window] * v[i - window] : 0.0);
            loudest = std::max(loudest, energy);
        }
        EXPECT_GT(10 * std::log10(loudest / window), loops + 6) << n;
    }
}

TEST(Sounds, LoopsJoinSeamlessly) {
    for (const char *n : {"engine.wav", "marsshipengine.wav", "rumble.wav", "danger.wav",
                          "menuloop.wav", "menuloop2.wav"}) {
        ExpectSeamless(n);
    }
}

TEST(Sounds, OneShotsStartAndEndQuietly) {
    for (const char *n : {"spring.wav", "marsshiplaser.wav", "enginestart.wav", "explosion1.wav",
                          "explosion2.wav", "laser.wav", "win.wav", "lose.wav", "hit.wav",
                          "menuselect.wav", "menuback.wav", "stationorder.wav"}) {
        Sound w = LoadSound(n);
        ASSERT_TRUE(w.ok);
        EXPECT_LT(std::abs(w.samples.front()), 400) << n;
        EXPECT_LT(std::abs(w.samples.back()), 400) << n;
    }
}

TEST(Sounds, NoneCarriesAnOffsetOrEnergyBelowHearing) {
    // An offset thumps when a sound is stopped half way; drift below 16 Hz is inaudible and only
    // eats headroom. Both are measured per channel against the sound's own energy; a loop as the
    // endless repetition it is played as.
    const std::map<std::string, bool> sounds = {
        {"spring.wav", false},        {"engine.wav", true},       {"marsshipengine.wav", true},
        {"marsshiplaser.wav", false}, {"enginestart.wav", false}, {"rumble.wav", true},
        {"explosion1.wav", false},    {"explosion2.wav", false},  {"laser.wav", false},
        {"danger.wav", true},         {"win.wav", false},         {"lose.wav", false},
        {"hit.wav", false},           {"menuselect.wav", false},  {"menuback.wav", false},
        {"stationorder.wav", false},  {"menuloop.wav", true},     {"menuloop2.wav", true}};
    for (const auto &[n, loop] : sounds) {
        Sound w = LoadSound(n);
        ASSERT_TRUE(w.ok) << n;
        const int channels = w.channels();
        const std::size_t frames = w.samples.size() / channels;
        for (int c = 0; c < channels; ++c) {
            // An eighth-order Butterworth low-pass at 16 Hz: four sections with the pole pairs' Q.
            mediagen::Biquad sections[4];
            const double q[4] = {0.5098, 0.6013, 0.9000, 2.5629};
            for (int k = 0; k < 4; ++k) {
                sections[k].set(mediagen::Biquad::Type::LowPass, 16, q[k]);
            }
            double sum = 0, energy = 1e-9, low = 0;
            for (int pass = loop ? 0 : 1; pass < 2; ++pass) {
                for (std::size_t i = 0; i < frames; ++i) {
                    float x = w.samples[i * channels + c] / 32768.0f, y = x;
                    for (auto &section : sections) {
                        y = section.process(y);
                    }
                    if (pass == 1) {
                        sum += x;
                        energy += double(x) * x;
                        low += double(y) * y;
                    }
                }
            }
            EXPECT_LT(std::fabs(sum / frames), 0.002) << n << " channel " << c;
            EXPECT_LT(10 * std::log10(low / energy), -35.0) << n << " channel " << c;
        }
    }
}

TEST(Sounds, StationOrderIsHeardOverTheEngine) {
    // It plays while the engine loop runs at full volume.
    EXPECT_GT(RmsDb(LoadSound("stationorder.wav")), RmsDb(LoadSound("engine.wav")));
}
