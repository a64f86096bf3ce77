// The menu music path: classes made through COM, a WAV segment loaded and played looping through
// the mixer, restarts that never layer, stop, close-down and the failures the game survives.
#include "platform/dmusic/dmusic.h"
#include "platform/dmusic/segment.h"
#include "platform/dsound/dsound.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "tests/platform/dsound/audio_analysis.h"
#include "tests/sound/wav_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class Music : public ::testing::Test {
protected:
    void SetUp() override {
        seams::UseVirtualClock(1'000'000);
        CoInitialize(nullptr);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &m_ds, nullptr), DS_OK); // the game's sound device
        m_ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
        IDirectSoundBuffer *primary = nullptr;
        m_ds->CreateSoundBuffer(&desc, &primary, nullptr);
        WAVEFORMATEX output{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
        primary->SetFormat(&output);
        primary->Release();
        seams::CaptureSoundOutput(true);

        m_loop.resize(4410); // a 0.2 s loop of a numbered ramp: order and restarts show
        for (std::size_t i = 0; i < m_loop.size(); ++i)
            m_loop[i] = static_cast<std::int16_t>(100 + i);
        wavtest::Format stereo;
        stereo.channels = 2;
        wavtest::Bytes data;
        for (std::int16_t v : m_loop)
            for (int channel = 0; channel < 2; ++channel) {
                data.push_back(static_cast<std::uint8_t>(v));
                data.push_back(static_cast<std::uint8_t>(v >> 8));
            }
        wavtest::WriteFile(m_folder / "menuloop.wav", wavtest::Wav(stereo, data));
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
        seams::TakeMusicCalls();
    }

    void TearDown() override {
        if (m_segment)
            m_segment->Release();
        if (m_performance)
            m_performance->Release();
        if (m_loader)
            m_loader->Release();
        m_ds->Release();
        CoUninitialize();
        std::filesystem::current_path(m_previous);
        seams::ResetAll();
        seams::ClearFailures();
        seams::UseRealClock();
    }

    // As the game sets the music up.
    HRESULT SetUpMusic(const char *name = "menuloop.wav") {
        CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                         reinterpret_cast<void **>(&m_loader));
        CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC,
                         IID_IDirectMusicPerformance8, reinterpret_cast<void **>(&m_performance));
        if (!m_loader || !m_performance)
            return E_FAIL;
        m_performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_DYNAMIC_MONO, 64,
                                 DMUS_AUDIOF_ALL, nullptr);
        WCHAR wide[MAX_PATH] = {};
        for (std::size_t i = 0; name[i]; ++i)
            wide[i] = static_cast<WCHAR>(name[i]);
        const HRESULT hr =
            m_loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, wide,
                                         reinterpret_cast<void **>(&m_segment));
        if (SUCCEEDED(hr))
            m_segment->Download(m_performance);
        return hr;
    }

    HRESULT Start() {
        return m_performance->PlaySegmentEx(m_segment, nullptr, nullptr, 0, 0, nullptr, nullptr,
                                            nullptr);
    }

    std::vector<double> Left(double seconds) {
        seams::TakeSoundOutput();
        seams::AdvanceVirtualClock(seconds);
        return audio_test::Channel(seams::TakeSoundOutput().samples, 2, 0);
    }

    IDirectSound8 *m_ds = nullptr;
    IDirectMusicLoader8 *m_loader = nullptr;
    IDirectMusicPerformance8 *m_performance = nullptr;
    IDirectMusicSegment8 *m_segment = nullptr;
    std::vector<std::int16_t> m_loop;
    wavtest::TempFolder m_folder;
    std::filesystem::path m_previous;
};

TEST_F(Music, SegmentLoopsThroughTheMixerSampleForSample) {
    ASSERT_EQ(SetUpMusic(), S_OK);
    ASSERT_EQ(Start(), S_OK);
    EXPECT_TRUE(seams::MusicPlaying());
    const auto left = Left(1.0);
    ASSERT_EQ(left.size(), 22050u);
    for (std::size_t i = 0; i < left.size(); ++i)
        ASSERT_EQ(std::lround(left[i] * 32768.0), m_loop[i % m_loop.size()]) << "frame " << i;
    EXPECT_EQ(seams::TakeMusicCalls(), (std::vector<std::string>{"InitAudio", "PlaySegmentEx"}));
}

TEST_F(Music, ASecondStartRestartsInsteadOfLayering) {
    ASSERT_EQ(SetUpMusic(), S_OK);
    Start();
    Left(0.05);
    ASSERT_EQ(Start(), S_OK);
    const auto left = Left(0.01);
    EXPECT_EQ(std::lround(left[0] * 32768.0), m_loop[0]) << "from the start, one copy only";
    EXPECT_EQ(std::lround(left[10] * 32768.0), m_loop[10]);
}

// The voice plays the segment's own samples rather than a copy; a loss of every sound buffer
// takes them from the voice only, so the tune plays whole again once the performance starts over.
TEST_F(Music, TheVoiceSharesTheSegmentsSamplesAndALossLeavesThemWhole) {
    ASSERT_EQ(SetUpMusic(), S_OK);
    ASSERT_EQ(Start(), S_OK);
    const auto *segment = dmusic::AsSegment(m_segment);
    ASSERT_NE(segment, nullptr);
    EXPECT_EQ(segment->SharedSamples().use_count(), 2) << "the segment's and the voice's";
    seams::LoseSoundBuffers();
    EXPECT_EQ(segment->SharedSamples().use_count(), 1);
    m_performance->CloseDown();
    m_performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_DYNAMIC_MONO, 64,
                             DMUS_AUDIOF_ALL, nullptr);
    ASSERT_EQ(Start(), S_OK);
    const auto left = Left(0.05);
    for (std::size_t i = 0; i < left.size(); ++i)
        ASSERT_EQ(std::lround(left[i] * 32768.0), m_loop[i % m_loop.size()]) << "frame " << i;
}

TEST_F(Music, StopSilencesAndCloseDownEndsThePerformance) {
    ASSERT_EQ(SetUpMusic(), S_OK);
    Start();
    Left(0.1);
    ASSERT_EQ(m_performance->Stop(nullptr, nullptr, 0, 0), S_OK);
    EXPECT_FALSE(seams::MusicPlaying());
    EXPECT_EQ(audio_test::Peak(Left(0.1)), 0.0);
    Start();
    EXPECT_TRUE(seams::MusicPlaying());
    ASSERT_EQ(m_performance->CloseDown(), S_OK);
    EXPECT_FALSE(seams::MusicPlaying());
    EXPECT_EQ(audio_test::Peak(Left(0.1)), 0.0);
    EXPECT_EQ(Start(), DMUS_E_NOT_INIT);
    EXPECT_EQ(seams::TakeMusicCalls(),
              (std::vector<std::string>{"InitAudio", "PlaySegmentEx", "Stop", "PlaySegmentEx",
                                        "CloseDown", "PlaySegmentEx"}));
}

TEST_F(Music, AMissingOrBrokenFileLeavesNoSegment) {
    EXPECT_TRUE(FAILED(SetUpMusic("nothere.wav")));
    EXPECT_EQ(m_segment, nullptr);
    wavtest::WriteFile(m_folder / "broken.wav", wavtest::Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0});
    WCHAR wide[MAX_PATH] = {'b', 'r', 'o', 'k', 'e', 'n', '.', 'w', 'a', 'v'};
    EXPECT_EQ(m_loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, wide,
                                           reinterpret_cast<void **>(&m_segment)),
              DMUS_E_UNSUPPORTED_STREAM);
    EXPECT_EQ(m_segment, nullptr);
}

TEST_F(Music, AnExtensiblePcmLoopPlaysAndBrokenHeadersAreTracedAndRefused) {
    using namespace wavtest;
    Format stereo;
    stereo.channels = 2;
    stereo.tag = WAVE_FORMAT_EXTENSIBLE;
    const Bytes pcm = ReadFile(m_folder / "menuloop.wav");
    const Bytes data(pcm.begin() + 44, pcm.end()); // the canonical header is 44 bytes
    WriteFile(
        m_folder / "menuloop.wav",
        Riff(Join({Chunk("fmt ", FormatBody(stereo, ExtensibleExtra(16))), Chunk("data", data)})));
    seams::CaptureDebugOutput(true);
    ASSERT_EQ(SetUpMusic(), S_OK);
    ASSERT_EQ(Start(), S_OK);
    const auto left = Left(0.1);
    for (std::size_t i = 0; i < left.size(); ++i)
        ASSERT_EQ(std::lround(left[i] * 32768.0), m_loop[i]) << "frame " << i;
    m_segment->Release();
    m_segment = nullptr;

    Bytes tagZero;
    Put16(tagZero, 0);
    stereo.tag = 0;
    WriteFile(m_folder / "zero.wav",
              Riff(Join({Chunk("fmt ", FormatBody(stereo, tagZero)), Chunk("data", data)})));
    WCHAR wide[MAX_PATH] = {'z', 'e', 'r', 'o', '.', 'w', 'a', 'v'};
    EXPECT_EQ(m_loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, wide,
                                           reinterpret_cast<void **>(&m_segment)),
              DMUS_E_UNSUPPORTED_STREAM);
    EXPECT_EQ(m_segment, nullptr);
    EXPECT_EQ(seams::TakeDebugOutput(), "dmusic: zero.wav: format tag 0 names no format\n");
    seams::CaptureDebugOutput(false);
}

TEST_F(Music, ClassesAreMadeThroughComAndItsFailuresLeaveNull) {
    seams::InjectFailure("CoCreateInstance", seams::kFailAlways, E_OUTOFMEMORY);
    EXPECT_EQ(SetUpMusic(), E_FAIL);
    EXPECT_EQ(m_loader, nullptr);
    EXPECT_EQ(m_performance, nullptr);
    seams::ClearFailures();
    ASSERT_EQ(SetUpMusic(), S_OK);
    IDirectMusicPerformance *base = nullptr;
    ASSERT_EQ(m_performance->QueryInterface(IID_IDirectMusicPerformance,
                                            reinterpret_cast<void **>(&base)),
              S_OK);
    EXPECT_EQ(base->Release(), 1u);
}

} // namespace
