// Writing WAV files: what the writer puts on disk, and that the reader gets it back unchanged.
#include "sound/wav_file.h"
#include "tests/sound/wav_fixture.h"

#include <cstring>

namespace wavtest {
namespace {

using Strings = std::vector<std::string>;

class WavWrite : public WavTest {};

WAVEFORMATEX Pcm(WORD channels, WORD bits, DWORD rate) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

// Writes `data` in slices of `slice` bytes and closes.
void WriteWav(const std::string &path, WAVEFORMATEX &format, const Bytes &data, std::size_t slice) {
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), S_OK);
    for (std::size_t at = 0; at < data.size(); at += slice) {
        const auto n = static_cast<UINT>(std::min(slice, data.size() - at));
        UINT wrote = 0;
        ASSERT_EQ(wav.Write(n, data.data() + at, &wrote), S_OK);
        ASSERT_EQ(wrote, n);
    }
    ASSERT_EQ(wav.Close(), S_OK);
}

Bytes ReadBack(const std::string &path, WAVEFORMATEX *format) {
    WavFile wav;
    EXPECT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    if (!wav.m_pwfx)
        return {};
    std::memcpy(format, wav.m_pwfx, sizeof *format);
    Bytes data(wav.GetSize() + 1);
    data.pop_back();
    DWORD got = 0;
    EXPECT_EQ(wav.Read(data.data(), static_cast<DWORD>(data.size()), &got), S_OK);
    EXPECT_EQ(got, data.size());
    return data;
}

TEST_F(WavWrite, PcmFilesReadBackWithTheSameFormatAndData) {
    const struct {
        WORD channels, bits;
        DWORD rate;
        std::size_t bytes, slice;
    } cases[] = {
        {1, 8, 11025, 1, 1},        {1, 8, 22050, 12345, 100},   {2, 8, 22050, 9999, 4096},
        {1, 16, 22050, 20002, 777}, {2, 16, 44100, 65540, 8192}, {2, 16, 22050, 0, 1},
        {1, 16, 8000, 8193, 8193},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.channels << " ch " << c.bits << " bit " << c.bytes << " bytes");
        WAVEFORMATEX format = Pcm(c.channels, c.bits, c.rate);
        const Bytes data = Samples(c.bytes, static_cast<std::uint32_t>(c.bytes));
        const std::string path = (m_folder / "out.wav").string();
        WriteWav(path, format, data, c.slice);
        WAVEFORMATEX back{};
        EXPECT_EQ(ReadBack(path, &back), data);
        EXPECT_EQ(std::memcmp(&back, &format, sizeof(PCMWAVEFORMAT)), 0);
        EXPECT_EQ(back.cbSize, 0);
    }
    EXPECT_TRUE(Traces().empty());
}

TEST_F(WavWrite, FileHasTheHeaderChunksSizesPaddingAndAZeroFactCount) {
    WAVEFORMATEX format = Pcm(1, 8, 22050);
    const Bytes data = Samples(5);
    const std::string path = (m_folder / "layout.wav").string();
    WriteWav(path, format, data, 2);

    Bytes fmt(reinterpret_cast<const std::uint8_t *>(&format),
              reinterpret_cast<const std::uint8_t *>(&format) + 16);
    Bytes fact;
    Put32(fact, 0);
    const Bytes expected =
        Riff(Join({Chunk("fmt ", fmt), Chunk("fact", fact), Chunk("data", data)}));
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(expected.size(), 12u + 24 + 12 + 8 + 6) << "odd data is padded to an even length";
}

TEST_F(WavWrite, OtherFormatsWriteTheirExtraBytes) {
    struct {
        WAVEFORMATEX head;
        BYTE extra[3];
    } format{};
    format.head = Pcm(1, 16, 22050);
    format.head.wFormatTag = 0x55;
    format.head.cbSize = 3;
    format.extra[0] = 7;
    format.extra[1] = 8;
    format.extra[2] = 9;
    const std::string path = (m_folder / "ext.wav").string();
    WriteWav(path, format.head, Samples(64), 64);

    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.m_pwfx->wFormatTag, 0x55);
    ASSERT_EQ(wav.m_pwfx->cbSize, 3);
    const auto *extra = reinterpret_cast<const BYTE *>(wav.m_pwfx + 1);
    EXPECT_EQ(Bytes(extra, extra + 3), (Bytes{7, 8, 9}));
    EXPECT_EQ(wav.GetSize(), 64u);
}

TEST_F(WavWrite, DestroyingAWriterFinishesTheFile) {
    WAVEFORMATEX format = Pcm(2, 16, 22050);
    const std::string path = (m_folder / "dtor.wav").string();
    {
        WavFile wav;
        ASSERT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), S_OK);
        UINT wrote = 0;
        const Bytes data = Samples(100);
        ASSERT_EQ(wav.Write(100, data.data(), &wrote), S_OK);
    }
    WAVEFORMATEX back{};
    EXPECT_EQ(ReadBack(path, &back), Samples(100));
}

TEST_F(WavWrite, WriterArgumentAndStateErrors) {
    WAVEFORMATEX format = Pcm(1, 16, 22050);
    const std::string path = (m_folder / "args.wav").string();
    WavFile wav;
    EXPECT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_WRITE), E_INVALIDARG);
    UINT wrote = 9;
    const BYTE byte = 1;
    EXPECT_EQ(wav.Write(1, &byte, &wrote), CO_E_NOTINITIALIZED);
    ASSERT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), S_OK);
    EXPECT_EQ(wav.Write(1, nullptr, &wrote), E_INVALIDARG);
    EXPECT_EQ(wav.Write(1, &byte, nullptr), E_INVALIDARG);
    EXPECT_EQ(wav.Close(), S_OK);
    EXPECT_EQ(wav.Close(), CO_E_NOTINITIALIZED);
    EXPECT_TRUE(Traces().empty());
}

TEST_F(WavWrite, FileThatCannotBeCreatedIsTraced) {
    WAVEFORMATEX format = Pcm(1, 16, 22050);
    const std::string path = (m_folder / "no-such-folder" / "x.wav").string();
    WavFile wav;
    EXPECT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), E_FAIL);
    EXPECT_EQ(Traces(), Strings{"mmioOpen"});
    EXPECT_EQ(PopUps(), 1u);
}

TEST_F(WavWrite, HeaderAndDataChunkFailuresAreTracedTwice) {
    WAVEFORMATEX format = Pcm(1, 16, 22050);
    const std::string path = (m_folder / "fail.wav").string();
    {
        seams::InjectFailure("mmioCreateChunk");
        WavFile wav;
        EXPECT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), E_FAIL);
        EXPECT_EQ(Traces(), (Strings{"mmioCreateChunk", "WriteMMIO"}));
    }
    {
        seams::InjectFailure("mmioWrite");
        WavFile wav;
        EXPECT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), E_FAIL);
        EXPECT_EQ(Traces(), (Strings{"mmioWrite", "WriteMMIO"}));
    }
    {
        seams::InjectFailure("mmioGetInfo");
        WavFile wav;
        EXPECT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), E_FAIL);
        EXPECT_EQ(Traces(), (Strings{"mmioGetInfo", "ResetFile"}));
    }
    EXPECT_EQ(PopUps(), 6u);
}

TEST_F(WavWrite, FailedCloseStillClosesTheFile) {
    WAVEFORMATEX format = Pcm(1, 16, 22050);
    const std::string path = (m_folder / "close.wav").string();
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), S_OK);
    seams::InjectFailure("mmioAscend");
    EXPECT_EQ(wav.Close(), E_FAIL);
    EXPECT_EQ(Traces(), Strings{"mmioAscend"});
    EXPECT_EQ(wav.Close(), CO_E_NOTINITIALIZED) << "the handle is gone";
}

TEST_F(WavWrite, AdvanceFailureWhileWritingIsTraced) {
    WAVEFORMATEX format = Pcm(1, 16, 22050);
    const std::string path = (m_folder / "adv.wav").string();
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), &format, WAVEFILE_WRITE), S_OK);
    const Bytes data = Samples(3 * MMIO_DEFAULTBUFFER);
    seams::InjectFailure("mmioAdvance");
    UINT wrote = 0;
    EXPECT_EQ(wav.Write(static_cast<UINT>(data.size()), data.data(), &wrote), E_FAIL);
    EXPECT_LT(wrote, data.size());
    EXPECT_EQ(Traces(), Strings{"mmioAdvance"});
}

} // namespace
} // namespace wavtest
