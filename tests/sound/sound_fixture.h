// Common ground of the sound-manager tests: an initialised sound manager under the virtual clock
// with the mix, trace lines and pop-ups captured, and WAV files written to a temporary folder.
#pragma once

#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "sound/sound.h"
#include "sound/sound_manager.h"
#include "tests/platform/dsound/audio_analysis.h"
#include "tests/sound/wav_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::UseVirtualClock(1'000'000);
        seams::CaptureDebugOutput(true);
        seams::CaptureMessageBoxes(true);
        ASSERT_EQ(m_manager.Initialize(nullptr, DSSCL_PRIORITY, 2, 22050, 16), S_OK);
        seams::CaptureSoundOutput(true);
    }

    void TearDown() override {
        for (CSound *sound : m_sounds)
            delete sound;
        seams::ResetAll();
        seams::ClearFailures();
        seams::TakeDebugOutput();
        seams::TakeMessageBoxes();
        seams::CaptureDebugOutput(false);
        seams::CaptureMessageBoxes(false);
        seams::UseRealClock();
    }

    static std::vector<std::uint8_t> Bytes16(const std::vector<std::int16_t> &samples) {
        std::vector<std::uint8_t> bytes(samples.size() * 2);
        std::memcpy(bytes.data(), samples.data(), bytes.size());
        return bytes;
    }

    // A mono 16-bit 22050 Hz WAV file of these samples.
    std::string ToneFile(const std::string &name, const std::vector<std::int16_t> &samples) {
        return File(name, wavtest::Wav(wavtest::Format{}, Bytes16(samples)));
    }

    std::string File(const std::string &name, const wavtest::Bytes &bytes) {
        const auto path = m_folder / name;
        wavtest::WriteFile(path, bytes);
        return path.string();
    }

    CSound *Make(const std::string &path, DWORD flags = 0, DWORD buffers = 5) {
        CSound *sound = nullptr;
        EXPECT_EQ(m_manager.Create(&sound, path.c_str(), flags, GUID_NULL, buffers), S_OK);
        if (sound)
            m_sounds.push_back(sound);
        return sound;
    }

    // Advances the virtual clock by `frames` output frames (22050 Hz) and returns the mix.
    std::vector<std::int16_t> Run(LONGLONG frames) {
        seams::TakeSoundOutput();
        Advance(frames);
        return seams::TakeSoundOutput().samples;
    }

    // The mixer started counting at tick 0, when the manager was initialised; waits inside the
    // code under test (Sleep) move the clock too.
    void Advance(LONGLONG frames) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const LONGLONG target = now.QuadPart * 22050 / 1'000'000 + frames;
        const LONGLONG ticks = (target * 1'000'000 + 22049) / 22050;
        seams::AdvanceVirtualClockTicks(ticks - now.QuadPart);
        seams::SyncSoundMixer();
    }

    // The call texts of the "dsutil" trace lines since the last call.
    static std::vector<std::string> Traces() {
        std::vector<std::string> calls;
        const std::string text = seams::TakeDebugOutput();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(start, end - start);
            const std::size_t colon = line.find("): ");
            const std::size_t code = line.rfind(" hr=");
            if (line.rfind("dsutil(", 0) == 0 && colon != std::string::npos &&
                code != std::string::npos)
                calls.push_back(line.substr(colon + 3, code - colon - 3));
            start = end + 1;
        }
        return calls;
    }

    SoundManager m_manager;
    std::vector<CSound *> m_sounds;
    wavtest::TempFolder m_folder;
};
