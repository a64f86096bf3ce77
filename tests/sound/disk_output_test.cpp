// The real audio path end to end: with SDL's disk driver the device thread mixes a played WAV
// into a file, which must hold exactly the file's samples.
#include "tests/sound/sound_fixture.h"

#include <stdlib.h>

namespace {

TEST(AudioOutput, APlayedWavReachesTheDeviceSampleForSample) {
    wavtest::TempFolder folder;
    const std::string output = (folder / "device.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);

    std::vector<std::int16_t> ramp(5512); // a quarter second, no sample zero
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::int16_t>(1000 + 3 * i);
    std::vector<std::uint8_t> data(ramp.size() * 2);
    std::memcpy(data.data(), ramp.data(), data.size());
    const auto wavPath = folder / "ramp.wav";
    wavtest::WriteFile(wavPath, wavtest::Wav(wavtest::Format{}, data));

    {
        SoundManager manager;
        ASSERT_EQ(manager.Initialize(nullptr, DSSCL_PRIORITY, 2, 22050, 16), S_OK);
        CSound *sound = nullptr;
        ASSERT_EQ(manager.Create(&sound, wavPath.c_str(), 0, GUID_NULL, 1), S_OK);
        ASSERT_EQ(sound->Play(0, 0), DS_OK);
        // The device consumes in real time; allow far more than the quarter second it needs.
        for (int waited = 0; sound->IsPlaying() && waited < 20000; waited += 10)
            Sleep(10);
        EXPECT_FALSE(sound->IsPlaying());
        Sleep(100); // let the device write out what was mixed
        delete sound;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");

    const wavtest::Bytes written = wavtest::ReadFile(output);
    std::vector<std::int16_t> samples(written.size() / 2);
    std::memcpy(samples.data(), written.data(), samples.size() * 2);
    std::size_t start = 0;
    while (start < samples.size() && samples[start] == 0)
        ++start;
    ASSERT_LE(start + ramp.size() * 2, samples.size()) << "the device got the whole sound";
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ASSERT_EQ(samples[start + 2 * i], ramp[i]) << "left, frame " << i;
        ASSERT_EQ(samples[start + 2 * i + 1], ramp[i]) << "right, frame " << i;
    }
    for (std::size_t i = start + ramp.size() * 2; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], 0) << "silence after the sound";
}

} // namespace
