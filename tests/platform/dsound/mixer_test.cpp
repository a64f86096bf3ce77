// What the mixer produces: exact pass-through, resampling, gain, pan, saturation and loop seams.
#include "tests/platform/dsound/audio_analysis.h"
#include "tests/platform/dsound/sound_fixture.h"

using namespace audio_test;

namespace {

class Mixer : public SoundTest {};

TEST_F(Mixer, PassesSamplesAtTheOutputRateThroughUnchangedOnBothChannels) {
    const auto tone = Sine(441.0, 22050, 2205);
    IDirectSoundBuffer *buffer = MakeTone(tone, 22050);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    const auto mixed = Run(2205 + 100);
    ASSERT_EQ(mixed.size(), (2205u + 100u) * 2);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        ASSERT_EQ(mixed[2 * i], tone[i]) << "frame " << i;
        ASSERT_EQ(mixed[2 * i + 1], tone[i]) << "frame " << i;
    }
    for (std::size_t i = tone.size() * 2; i < mixed.size(); ++i)
        ASSERT_EQ(mixed[i], 0) << "after the end, sample " << i;
}

TEST_F(Mixer, ResamplesEightBitDataToItsPitch) {
    // 8-bit unsigned at 11025 Hz: one second of a 300 Hz tone must come out at 300 Hz.
    std::vector<BYTE> bytes(11025);
    const auto tone = Sine(300.0, 11025, bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<BYTE>(128 + tone[i] / 256);
    IDirectSoundBuffer *buffer =
        MakeBuffer(bytes.data(), static_cast<DWORD>(bytes.size()), Format(11025, 1, 8));
    buffer->Play(0, 0, 0);
    const auto left = Channel(Run(22050), 2, 0);
    EXPECT_NEAR(ZeroCrossingFrequency(left, 22050), 300.0, 1.0);
    EXPECT_NEAR(Peak(left), 0.5, 0.02);
}

TEST_F(Mixer, FrequencyChangesPitchAndLength) {
    IDirectSoundBuffer *buffer = MakeTone(Sine(440.0, 22050, 22050), 22050, DSBCAPS_CTRLFREQUENCY);
    ASSERT_EQ(buffer->SetFrequency(33075), DS_OK); // 1.5 times faster
    DWORD frequency = 0;
    ASSERT_EQ(buffer->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 33075u);
    buffer->Play(0, 0, 0);
    const auto left = Channel(Run(11025), 2, 0);
    EXPECT_NEAR(ZeroCrossingFrequency(left, 22050), 660.0, 2.0);
    // One second of data at 1.5 times speed lasts 2/3 s: 14700 output frames.
    Run(3674);
    EXPECT_EQ(Status(buffer) & DSBSTATUS_PLAYING, DSBSTATUS_PLAYING);
    Run(1);
    EXPECT_EQ(Status(buffer) & DSBSTATUS_PLAYING, 0u);
    // Frequency 0 returns to the data's own rate.
    ASSERT_EQ(buffer->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    buffer->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 22050u);
}

TEST_F(Mixer, VolumeIsAnAttenuationInHundredthsOfADecibel) {
    IDirectSoundBuffer *buffer =
        MakeTone(Sine(441.0, 22050, 22050, 0.8), 22050, DSBCAPS_CTRLVOLUME);
    ASSERT_EQ(buffer->SetVolume(-600), DS_OK);
    buffer->Play(0, 0, 0);
    const auto left = Channel(Run(4410), 2, 0);
    // -6 dB is a factor of 10^(-600/2000) = 0.501.
    EXPECT_NEAR(Peak(left), 0.8 * 0.501, 0.005);
    ASSERT_EQ(buffer->SetVolume(DSBVOLUME_MIN), DS_OK);
    EXPECT_LT(Peak(Channel(Run(4410), 2, 0)), 0.0001);
}

TEST_F(Mixer, PanAttenuatesOnlyTheOppositeChannel) {
    IDirectSoundBuffer *buffer = MakeTone(Sine(441.0, 22050, 22050), 22050, DSBCAPS_CTRLPAN);
    ASSERT_EQ(buffer->SetPan(2000), DS_OK); // right: left channel -20 dB
    buffer->Play(0, 0, 0);
    const auto mixed = Run(4410);
    EXPECT_NEAR(Peak(Channel(mixed, 2, 0)), 0.05, 0.002);
    EXPECT_NEAR(Peak(Channel(mixed, 2, 1)), 0.5, 0.002);
}

TEST_F(Mixer, SumsSaturateInsteadOfWrapping) {
    std::vector<std::int16_t> loud(2205, 30000);
    MakeTone(loud, 22050)->Play(0, 0, 0);
    MakeTone(loud, 22050)->Play(0, 0, 0);
    const auto mixed = Run(2000);
    for (std::int16_t sample : mixed)
        ASSERT_EQ(sample, 32767);
}

TEST_F(Mixer, LoopSeamHasNoStepLargerThanTheToneItself) {
    // 100 Hz over 0.2 s is a whole number of periods: a seamless loop. Played at a rate that
    // does not divide the output rate, the seam is crossed between two source frames.
    const auto tone = Sine(100.0, 22050, 4410);
    IDirectSoundBuffer *buffer = MakeTone(tone, 22050, DSBCAPS_CTRLFREQUENCY);
    buffer->SetFrequency(17000);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    const auto left = Channel(Run(22050), 2, 0);
    const double ownStep = 2.0 * std::numbers::pi * 0.5 * 100.0 * (17000.0 / 22050.0) / 22050.0;
    EXPECT_LT(LargestStep(left), ownStep * 1.05);
    EXPECT_NEAR(ZeroCrossingFrequency(left, 22050), 100.0 * 17000.0 / 22050.0, 0.5);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
}

TEST_F(Mixer, FollowsTheOutputFormatOfThePrimaryBuffer) {
    SetOutput(11025, 1);
    const auto tone = Sine(441.0, 22050, 22050);
    MakeTone(tone, 22050)->Play(0, 0, 0);
    seams::TakeSoundOutput();
    seams::AdvanceVirtualClock(0.5);
    const seams::MixedSound mixed = seams::TakeSoundOutput();
    EXPECT_EQ(mixed.rate, 11025u);
    EXPECT_EQ(mixed.channels, 1);
    ASSERT_EQ(mixed.samples.size(), 5512u);
    EXPECT_NEAR(ZeroCrossingFrequency(Channel(mixed.samples, 1, 0), 11025), 441.0, 1.0);
}

} // namespace
