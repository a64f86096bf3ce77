// Reading WAV files: format records, data in slices, rewinding, chunk order and the resource and
// memory-image ways in.
#include "sound/wav_file.h"
#include "tests/sound/wav_fixture.h"

#include <cstring>

namespace wavtest {
namespace {

using Strings = std::vector<std::string>;

class WavRead : public WavTest {};

Bytes ReadAll(WavFile &wav, DWORD slice) {
    Bytes all;
    std::vector<BYTE> buffer(slice);
    for (;;) {
        DWORD got = 0;
        EXPECT_EQ(wav.Read(buffer.data(), slice, &got), S_OK);
        if (got == 0)
            break;
        all.insert(all.end(), buffer.begin(), buffer.begin() + got);
    }
    return all;
}

TEST_F(WavRead, CanonicalFileGivesItsFormatAndData) {
    Format f;
    f.channels = 2;
    f.rate = 44100;
    const Bytes data = Samples(40000);
    const std::string path = File("a.wav", Wav(f, data));

    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    ASSERT_NE(wav.m_pwfx, nullptr);
    EXPECT_EQ(wav.m_pwfx->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(wav.m_pwfx->nChannels, 2);
    EXPECT_EQ(wav.m_pwfx->nSamplesPerSec, 44100u);
    EXPECT_EQ(wav.m_pwfx->nAvgBytesPerSec, 44100u * 4);
    EXPECT_EQ(wav.m_pwfx->nBlockAlign, 4);
    EXPECT_EQ(wav.m_pwfx->wBitsPerSample, 16);
    EXPECT_EQ(wav.m_pwfx->cbSize, 0);
    EXPECT_EQ(wav.GetSize(), data.size());
    // Slices that straddle the I/O buffer's refills still join up into the file's data.
    EXPECT_EQ(ReadAll(wav, 3001), data);
    EXPECT_TRUE(Traces().empty());
}

TEST_F(WavRead, ReadsStopAtTheDataAndResetMakesItReadableAgain) {
    const Bytes data = Samples(1001);
    const std::string path = File("b.wav", Join({Wav(Format{}, data), Chunk("LIST", Samples(9))}));
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);

    std::vector<BYTE> buffer(4000, 0xEE);
    DWORD got = 0;
    ASSERT_EQ(wav.Read(buffer.data(), 1000, &got), S_OK);
    EXPECT_EQ(got, 1000u);
    ASSERT_EQ(wav.Read(buffer.data() + 1000, 3000, &got), S_OK);
    EXPECT_EQ(got, 1u) << "only what is left of the data chunk";
    EXPECT_EQ(buffer[1001], 0xEE) << "nothing of the pad byte or the next chunk";
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 1001), data);
    ASSERT_EQ(wav.Read(buffer.data(), 10, &got), S_OK);
    EXPECT_EQ(got, 0u);

    ASSERT_EQ(wav.ResetFile(), S_OK);
    EXPECT_EQ(ReadAll(wav, 77), data);
    EXPECT_EQ(wav.GetSize(), 1001u);
}

TEST_F(WavRead, ChunksInAnyOrderAndUnknownChunksAreSkipped) {
    const Bytes data = Samples(333);
    const std::string path =
        File("c.wav", Riff(Join({Chunk("LIST", Samples(17)), Chunk("data", data),
                                 Chunk("junk", Samples(5)), Chunk("fmt ", FormatBody(Format{}))})));
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.m_pwfx->nSamplesPerSec, 22050u);
    EXPECT_EQ(wav.GetSize(), 333u);
    EXPECT_EQ(ReadAll(wav, 100), data);
}

TEST_F(WavRead, LongerPcmFormatChunkGivesAnEighteenByteRecord) {
    Format f;
    f.bits = 8;
    Bytes extra;
    Put16(extra, 0x1234); // a count that PCM ignores
    const std::string path =
        File("d.wav", Riff(Join({Chunk("fmt ", FormatBody(f, extra)), Chunk("data", Samples(8))})));
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.m_pwfx->cbSize, 0);
    EXPECT_EQ(wav.m_pwfx->wBitsPerSample, 8);
    EXPECT_EQ(wav.m_pwfx->nBlockAlign, 1);
}

TEST_F(WavRead, OtherFormatsKeepTheirExtraBytes) {
    Format f;
    f.tag = 2;
    f.bits = 4;
    f.blockAlign = 256;
    Bytes extra;
    Put16(extra, 5);
    extra.insert(extra.end(), {1, 2, 3, 4, 5});
    const std::string path = File(
        "e.wav", Riff(Join({Chunk("fmt ", FormatBody(f, extra)), Chunk("data", Samples(512))})));
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.m_pwfx->wFormatTag, 2);
    ASSERT_EQ(wav.m_pwfx->cbSize, 5);
    const auto *bytes = reinterpret_cast<const BYTE *>(wav.m_pwfx + 1);
    EXPECT_EQ(Bytes(bytes, bytes + 5), (Bytes{1, 2, 3, 4, 5}));
}

TEST_F(WavRead, MissingFileTracesFindResourceWithoutPopUp) {
    WavFile wav;
    const std::string path = (m_folder / "missing.wav").string();
    EXPECT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), E_FAIL);
    EXPECT_EQ(Traces(), Strings{"FindResource"});
    EXPECT_EQ(PopUps(), 0u);
    EXPECT_EQ(wav.GetSize(), 0u);
    DWORD got = 7;
    BYTE byte = 0;
    EXPECT_EQ(wav.Read(&byte, 1, &got), CO_E_NOTINITIALIZED);
    EXPECT_EQ(wav.ResetFile(), CO_E_NOTINITIALIZED);
}

TEST_F(WavRead, ArgumentAndStateErrorsAreNotTraced) {
    WavFile wav;
    EXPECT_EQ(wav.Open(nullptr, nullptr, WAVEFILE_READ), E_INVALIDARG);
    const std::string path = File("f.wav", Wav(Format{}, Samples(10)));
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    BYTE buffer[4];
    DWORD got = 0;
    EXPECT_EQ(wav.Read(nullptr, 4, &got), E_INVALIDARG);
    EXPECT_EQ(wav.Read(buffer, 4, nullptr), E_INVALIDARG);
    UINT wrote = 0;
    EXPECT_EQ(wav.Write(4, buffer, &wrote), CO_E_NOTINITIALIZED);
    EXPECT_EQ(wav.Close(), S_OK);
    EXPECT_EQ(wav.Read(buffer, 4, &got), CO_E_NOTINITIALIZED);
    EXPECT_TRUE(Traces().empty());
    EXPECT_EQ(PopUps(), 0u);
}

TEST_F(WavRead, ReopeningReadsTheNewFile) {
    Format stereo;
    stereo.channels = 2;
    const std::string first = File("g1.wav", Wav(stereo, Samples(64, 1)));
    const std::string second = File("g2.wav", Wav(Format{}, Samples(30, 2)));
    WavFile wav;
    ASSERT_EQ(wav.Open(first.c_str(), nullptr, WAVEFILE_READ), S_OK);
    ASSERT_EQ(wav.Open(second.c_str(), nullptr, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.m_pwfx->nChannels, 1);
    EXPECT_EQ(wav.GetSize(), 30u);
    EXPECT_EQ(ReadAll(wav, 64), Samples(30, 2));
}

TEST_F(WavRead, ResourceOfEitherTypeIsReadWhenNoFileHasTheName) {
    const Bytes data = Samples(2500);
    seams::AddModuleResource("boing", "WAV", Wav(Format{}, data));
    WavFile wav;
    ASSERT_EQ(wav.Open("BOING", nullptr, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.GetSize(), data.size());
    EXPECT_EQ(ReadAll(wav, 999), data);
    EXPECT_TRUE(Traces().empty());

    seams::AddModuleResource("zap", "WAVE", Wav(Format{}, Samples(4)));
    WavFile other;
    EXPECT_EQ(other.Open("zap", nullptr, WAVEFILE_READ), S_OK);
    EXPECT_EQ(other.GetSize(), 4u);
}

TEST_F(WavRead, ResourceFailuresAreTracedWithPopUps) {
    seams::AddModuleResource("r", "WAVE", Wav(Format{}, Samples(4)));
    const struct {
        const char *point;
        const char *call;
    } cases[] = {{"LoadResource", "LoadResource"},
                 {"SizeofResource", "SizeofResource"},
                 {"LockResource", "LockResource"}};
    for (const auto &c : cases) {
        seams::InjectFailure(c.point);
        WavFile wav;
        EXPECT_EQ(wav.Open("r", nullptr, WAVEFILE_READ), E_FAIL) << c.point;
        EXPECT_EQ(Traces(), Strings{c.call});
        EXPECT_EQ(PopUps(), 1u);
    }
}

TEST_F(WavRead, DestroyingAnUnopenedObjectTouchesNothing) {
    { WavFile wav; }
    WavFile wav;
    EXPECT_EQ(wav.GetSize(), 0u);
    EXPECT_EQ(wav.Close(), S_OK);
    EXPECT_TRUE(Traces().empty());
}

TEST_F(WavRead, FailuresWhileReadingDataAreTraced) {
    const std::string path = File("h.wav", Wav(Format{}, Samples(20000)));
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    std::vector<BYTE> buffer(20000);
    DWORD got = 0;

    seams::InjectFailure("mmioGetInfo");
    EXPECT_EQ(wav.Read(buffer.data(), 10, &got), E_FAIL);
    EXPECT_EQ(Traces(), Strings{"mmioGetInfo"});

    seams::InjectFailure("mmioAdvance");
    EXPECT_EQ(wav.Read(buffer.data(), 20000, &got), E_FAIL);
    EXPECT_EQ(Traces(), Strings{"mmioAdvance"});

    ASSERT_EQ(wav.ResetFile(), S_OK);
    seams::InjectFailure("mmioSetInfo");
    EXPECT_EQ(wav.Read(buffer.data(), 10, &got), E_FAIL);
    EXPECT_EQ(Traces(), Strings{"mmioSetInfo"});
    EXPECT_EQ(PopUps(), 3u);
}

} // namespace
} // namespace wavtest
