// A WAV file longer than its buffer streamed through notifications comes out whole and in order,
// once or looping; a lost buffer is refilled from the start; played bytes survive the wrap.
#include "sound/streaming_sound.h"
#include "tests/sound/sound_fixture.h"

using namespace audio_test;

namespace {

constexpr DWORD kSections = 4;
constexpr DWORD kSectionBytes = 2048; // 1024 frames of 16-bit mono

class StreamingSound : public SoundManagerTest {
protected:
    void SetUp() override {
        SoundManagerTest::SetUp();
        m_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    }
    void TearDown() override {
        delete m_stream;
        CloseHandle(m_event);
        SoundManagerTest::TearDown();
    }

    // Samples that never repeat within the file, so order and gaps show.
    static std::vector<std::int16_t> Numbered(std::size_t count) {
        std::vector<std::int16_t> samples(count);
        for (std::size_t i = 0; i < count; ++i)
            samples[i] = static_cast<std::int16_t>(i + 1);
        return samples;
    }

    void Open(const std::vector<std::int16_t> &samples) {
        const std::string path = ToneFile("stream.wav", samples);
        ASSERT_EQ(m_manager.CreateStreaming(&m_stream, path.c_str(), 0, GUID_NULL, kSections,
                                            kSectionBytes, m_event),
                  S_OK);
    }

    // Plays in steps of 64 frames, handling every notification, and returns the left channel.
    std::vector<std::int16_t> Stream(LONGLONG frames, BOOL looped) {
        std::vector<std::int16_t> left;
        for (LONGLONG done = 0; done < frames; done += 64) {
            const auto mixed = Run(64);
            for (std::size_t i = 0; i < mixed.size(); i += 2)
                left.push_back(mixed[i]);
            if (WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0) {
                EXPECT_EQ(m_stream->HandleNotification(looped), S_OK);
            }
        }
        return left;
    }

    HANDLE m_event = nullptr;
    CStreamingSound *m_stream = nullptr;
};

TEST_F(StreamingSound, PlaysAFileLongerThanItsBufferWholeAndThenStops) {
    const auto file = Numbered(10000); // about 2.4 buffers
    Open(file);
    ASSERT_EQ(m_stream->Play(0, DSBPLAY_LOOPING), DS_OK);
    const auto heard = Stream(16384, FALSE);
    ASSERT_GE(heard.size(), file.size());
    for (std::size_t i = 0; i < file.size(); ++i)
        ASSERT_EQ(heard[i], file[i]) << "frame " << i;
    for (std::size_t i = file.size(); i < heard.size(); ++i)
        ASSERT_EQ(heard[i], 0) << "silence after the end, frame " << i;
    EXPECT_FALSE(m_stream->IsPlaying()) << "stopped once the whole file was played";
}

TEST_F(StreamingSound, LoopingWrapsToTheFileStartWithoutAGap) {
    const auto file = Numbered(5000);
    Open(file);
    m_stream->Play(0, DSBPLAY_LOOPING);
    const auto heard = Stream(16000, TRUE);
    for (std::size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], file[i % file.size()]) << "frame " << i;
    EXPECT_TRUE(m_stream->IsPlaying());
}

TEST_F(StreamingSound, AShortFileIsFollowedBySilenceAndStops) {
    const auto file = Numbered(3000); // shorter than the 4096-frame buffer
    Open(file);
    m_stream->Play(0, DSBPLAY_LOOPING);
    const auto heard = Stream(8192, FALSE);
    for (std::size_t i = 0; i < file.size(); ++i)
        ASSERT_EQ(heard[i], file[i]) << "frame " << i;
    for (std::size_t i = file.size(); i < heard.size(); ++i)
        ASSERT_EQ(heard[i], 0) << "frame " << i;
    EXPECT_FALSE(m_stream->IsPlaying());
}

TEST_F(StreamingSound, ANotificationThatFindsTheBufferLostRefillsItFromTheFileStartOnly) {
    const auto file = Numbered(20000);
    Open(file);
    m_stream->Play(0, DSBPLAY_LOOPING);
    Stream(6000, FALSE);
    seams::LoseSoundBuffers();
    EXPECT_EQ(m_stream->HandleNotification(FALSE), S_OK);
    IDirectSoundBuffer *buffer = m_stream->GetBuffer(0);
    void *p1 = nullptr;
    DWORD n1 = 0;
    ASSERT_EQ(buffer->Lock(0, kSections * kSectionBytes, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    ASSERT_EQ(n1, kSections * kSectionBytes);
    EXPECT_EQ(std::memcmp(p1, file.data(), n1), 0);
    buffer->Unlock(p1, n1, nullptr, 0);
}

TEST_F(StreamingSound, RestartPlaysTheFileFromItsStartWithNoStaleData) {
    const auto file = Numbered(20000);
    Open(file);
    m_stream->Play(0, DSBPLAY_LOOPING);
    Stream(6000, FALSE);
    m_stream->Stop();
    EXPECT_EQ(m_stream->RestartStream(), DS_OK);
    m_stream->Play(0, DSBPLAY_LOOPING);
    const auto heard = Stream(12000, FALSE);
    for (std::size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], file[i]) << "frame " << i;
}

TEST_F(StreamingSound, EightBitDataIsPaddedWithItsOwnSilenceOrRepeatedOnRequest) {
    wavtest::Format eightBit;
    eightBit.bits = 8;
    const wavtest::Bytes data = wavtest::Samples(3000);
    const std::string path = File("short8.wav", wavtest::Wav(eightBit, data));
    ASSERT_EQ(m_manager.CreateStreaming(&m_stream, path.c_str(), 0, GUID_NULL, kSections,
                                        kSectionBytes, m_event),
              S_OK);
    IDirectSoundBuffer *buffer = m_stream->GetBuffer(0);
    auto contents = [buffer] {
        void *p1 = nullptr;
        DWORD n1 = 0;
        EXPECT_EQ(buffer->Lock(0, kSections * kSectionBytes, &p1, &n1, nullptr, nullptr, 0), DS_OK);
        const auto *bytes = static_cast<const std::uint8_t *>(p1);
        std::vector<std::uint8_t> copy(bytes, bytes + n1);
        buffer->Unlock(p1, n1, nullptr, 0);
        return copy;
    };
    auto filled = contents();
    ASSERT_EQ(filled.size(), kSections * kSectionBytes);
    for (std::size_t i = 0; i < filled.size(); ++i)
        ASSERT_EQ(filled[i], i < data.size() ? data[i] : 128) << "byte " << i;

    ASSERT_EQ(m_stream->FillBufferWithSound(buffer, TRUE), S_OK);
    filled = contents();
    for (std::size_t i = 0; i < filled.size(); ++i)
        ASSERT_EQ(filled[i], data[i % data.size()]) << "byte " << i;
}

TEST_F(StreamingSound, AFileWithNoDataEndsALoopedRefillInsteadOfRereadingForever) {
    const std::string path = File("empty.wav", wavtest::Wav(wavtest::Format{}, {}));
    ASSERT_EQ(m_manager.CreateStreaming(&m_stream, path.c_str(), 0, GUID_NULL, kSections,
                                        kSectionBytes, m_event),
              S_OK);
    EXPECT_EQ(m_stream->HandleNotification(TRUE), S_OK);
    EXPECT_EQ(m_stream->FillBufferWithSound(m_stream->GetBuffer(0), TRUE), S_OK);
    m_stream->Play(0, DSBPLAY_LOOPING);
    EXPECT_EQ(Peak(Channel(Run(4096), 2, 0)), 0.0);
}

TEST_F(StreamingSound, CreationChecksItsArguments) {
    const std::string path = ToneFile("stream.wav", Numbered(100));
    CStreamingSound *stream = nullptr;
    EXPECT_EQ(m_manager.CreateStreaming(&stream, path.c_str(), 0, GUID_NULL, 4, 2048, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(m_manager.CreateStreaming(&stream, nullptr, 0, GUID_NULL, 4, 2048, m_event),
              E_INVALIDARG);
    // A section table larger than a buffer can be: refused, not wrapped to a small buffer.
    EXPECT_EQ(
        m_manager.CreateStreaming(&stream, path.c_str(), 0, GUID_NULL, 0x10000, 0x10000, m_event),
        E_INVALIDARG);
    EXPECT_EQ(m_manager.CreateStreaming(&stream, (m_folder / "none.wav").c_str(), 0, GUID_NULL, 4,
                                        2048, m_event),
              E_INVALIDARG);
    EXPECT_EQ(stream, nullptr);
    Traces();
    EXPECT_EQ(seams::TakeMessageBoxes().size(), 0u) << "bad formats and arguments: no pop-up";
}

} // namespace
