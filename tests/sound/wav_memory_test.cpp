// Sample images held by the caller: slices, the end of the image, rewinding, and that the
// caller's format and image stay the caller's.
#include "sound/wav_file.h"
#include "tests/sound/wav_fixture.h"

namespace wavtest {
namespace {

class WavMemory : public WavTest {};

WAVEFORMATEX MonoPcm() {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = 22050;
    f.nAvgBytesPerSec = 44100;
    f.nBlockAlign = 2;
    f.wBitsPerSample = 16;
    return f;
}

TEST_F(WavMemory, SlicesFollowEachOtherAndStopAtTheImageEnd) {
    const Bytes image = Samples(100);
    WAVEFORMATEX format = MonoPcm();
    WavFile wav;
    ASSERT_EQ(wav.OpenFromMemory(image.data(), 100, &format, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.m_pwfx, &format);
    EXPECT_EQ(wav.GetSize(), 100u);

    BYTE buffer[100] = {};
    DWORD got = 0;
    ASSERT_EQ(wav.Read(buffer, 60, &got), S_OK);
    EXPECT_EQ(got, 60u);
    ASSERT_EQ(wav.Read(buffer + 60, 60, &got), S_OK);
    EXPECT_EQ(got, 40u) << "the rest, not the first slice again";
    EXPECT_EQ(Bytes(buffer, buffer + 100), image);
    ASSERT_EQ(wav.Read(buffer, 10, &got), S_OK);
    EXPECT_EQ(got, 0u);

    ASSERT_EQ(wav.ResetFile(), S_OK);
    ASSERT_EQ(wav.Read(buffer, 0xFFFFFFFFu, &got), S_OK);
    EXPECT_EQ(got, 100u) << "a request that would wrap the address range stops at the end";
    EXPECT_TRUE(Traces().empty());
}

TEST_F(WavMemory, ArgumentsAndWritingAreRefused) {
    const Bytes image = Samples(10);
    WAVEFORMATEX format = MonoPcm();
    WavFile wav;
    BYTE buffer[10];
    DWORD got = 0;
    EXPECT_EQ(wav.OpenFromMemory(nullptr, 10, &format, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.Read(buffer, 10, &got), CO_E_NOTINITIALIZED);

    ASSERT_EQ(wav.OpenFromMemory(image.data(), 10, &format, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.Read(nullptr, 10, &got), E_INVALIDARG);
    EXPECT_EQ(wav.Read(buffer, 4, nullptr), S_OK) << "the count is optional here";
    UINT wrote = 0;
    EXPECT_EQ(wav.Write(1, buffer, &wrote), E_NOTIMPL);

    WavFile writer;
    EXPECT_EQ(writer.OpenFromMemory(image.data(), 10, &format, WAVEFILE_WRITE), E_NOTIMPL);
    EXPECT_EQ(writer.Write(1, buffer, &wrote), E_NOTIMPL);
    EXPECT_TRUE(Traces().empty());
}

// The sanitizer build turns a wrong free of the caller's format or a lost file format into a
// failure here.
TEST_F(WavMemory, SwitchingBetweenFilesAndImagesKeepsOwnershipStraight) {
    const Bytes image = Samples(10);
    const std::string path = File("s.wav", Wav(Format{}, Samples(30)));
    WAVEFORMATEX format = MonoPcm();
    {
        WavFile wav;
        ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
        ASSERT_EQ(wav.OpenFromMemory(image.data(), 10, &format, WAVEFILE_READ), S_OK);
        EXPECT_EQ(wav.GetSize(), 10u);
        EXPECT_EQ(wav.m_pwfx, &format);
    }
    {
        WavFile wav;
        ASSERT_EQ(wav.OpenFromMemory(image.data(), 10, &format, WAVEFILE_READ), S_OK);
        EXPECT_EQ(wav.Open(nullptr, nullptr, WAVEFILE_READ), E_INVALIDARG);
        EXPECT_EQ(wav.m_pwfx, nullptr);
        ASSERT_EQ(wav.OpenFromMemory(image.data(), 10, &format, WAVEFILE_READ), S_OK);
        ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
        EXPECT_NE(wav.m_pwfx, &format);
        EXPECT_EQ(wav.GetSize(), 30u);
    }
    EXPECT_EQ(format.nSamplesPerSec, 22050u);
}

} // namespace
} // namespace wavtest
