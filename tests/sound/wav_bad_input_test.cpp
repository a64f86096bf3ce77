// Damaged and hostile WAV files: each is refused with a failure code and its trace lines, leaves
// the object closed, and never reads outside the file.
#include "sound/wav_file.h"
#include "tests/sound/wav_fixture.h"

namespace wavtest {
namespace {

using Strings = std::vector<std::string>;

class WavBadInput : public WavTest {
protected:
    // The trace of a refused format: its call text, then the reason, which the cases vary in.
    static std::string FormatTrace() { return "WAVEFORMATEX: *"; }

    // Opens `bytes` as a file and checks the refusal.
    void ExpectRefused(const Bytes &bytes, const Strings &traces, std::size_t popUps) {
        const std::string path = File("bad.wav", bytes);
        WavFile wav;
        EXPECT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), E_FAIL);
        Strings seen = Traces();
        for (std::size_t i = 0; i < seen.size() && i < traces.size(); ++i)
            if (traces[i] == FormatTrace() && seen[i].rfind("WAVEFORMATEX: ", 0) == 0)
                seen[i] = FormatTrace();
        EXPECT_EQ(seen, traces);
        EXPECT_EQ(PopUps(), popUps);
        BYTE buffer[16];
        DWORD got = 5;
        EXPECT_EQ(wav.Read(buffer, sizeof buffer, &got), CO_E_NOTINITIALIZED);
        EXPECT_EQ(wav.GetSize(), 0u);
        EXPECT_EQ(wav.ResetFile(), CO_E_NOTINITIALIZED);
    }
};

Format With(void (*change)(Format &)) {
    Format f;
    change(f);
    return f;
}

TEST_F(WavBadInput, NotARiffWaveFileIsRefusedWithoutPopUps) {
    const Bytes fmtAndData = Join({Chunk("fmt ", FormatBody(Format{})), Chunk("data", Samples(8))});
    ExpectRefused(Riff(fmtAndData, "AVI "), {"mmioFOURCC", "ReadMMIO"}, 0);
    ExpectRefused(Join({Chunk("LIST", Samples(4)), Riff(fmtAndData)}), {"mmioFOURCC", "ReadMMIO"},
                  0);
    Bytes wrongId = Riff(fmtAndData);
    wrongId[0] = 'r';
    ExpectRefused(wrongId, {"mmioFOURCC", "ReadMMIO"}, 0);
}

TEST_F(WavBadInput, EmptyAndTruncatedFilesAreRefused) {
    const Bytes whole = Wav(Format{}, Samples(1000));
    ExpectRefused({}, {"mmioDescend", "ReadMMIO"}, 1);
    ExpectRefused(Bytes(whole.begin(), whole.begin() + 7), {"mmioDescend", "ReadMMIO"}, 1);
    // Cut inside the samples: the RIFF chunk claims more than the file holds.
    ExpectRefused(Bytes(whole.begin(), whole.end() - 1), {"mmioDescend", "ReadMMIO"}, 1);
    ExpectRefused(Bytes(whole.begin(), whole.begin() + 30), {"mmioDescend", "ReadMMIO"}, 1);
}

TEST_F(WavBadInput, ChunkSizesPastTheirParentOrTheFileAreRefused) {
    const Bytes fmt = Chunk("fmt ", FormatBody(Format{}));
    // "data" claims more than the RIFF chunk holds.
    ExpectRefused(Riff(Join({fmt, Chunk("data", Samples(100), 101)})), {"mmioDescend", "ResetFile"},
                  2);
    ExpectRefused(Riff(Join({fmt, Chunk("data", Samples(100), 0xFFFFFFF0)})),
                  {"mmioDescend", "ResetFile"}, 2);
    // "fmt " claims more than there is.
    ExpectRefused(
        Riff(Join({Chunk("fmt ", FormatBody(Format{}), 0x7FFFFFFF), Chunk("data", Samples(10))})),
        {"mmioDescend", "ReadMMIO"}, 1);
    // A skipped chunk with an absurd size hides everything after it.
    ExpectRefused(
        Riff(Join({Chunk("LIST", Samples(4), 0xFFFFFFFF), fmt, Chunk("data", Samples(10))})),
        {"mmioDescend", "ReadMMIO"}, 1);
    // A RIFF size that wraps a 32-bit sum of offsets.
    ExpectRefused(Riff(Join({fmt, Chunk("data", Samples(10))}), "WAVE", 0xFFFFFFFC),
                  {"mmioDescend", "ReadMMIO"}, 1);
}

TEST_F(WavBadInput, MissingChunksAreRefused) {
    ExpectRefused(Riff(Chunk("fmt ", FormatBody(Format{}))), {"mmioDescend", "ResetFile"}, 2);
    ExpectRefused(Riff(Chunk("data", Samples(10))), {"mmioDescend", "ReadMMIO"}, 1);
    ExpectRefused(Riff({}), {"mmioDescend", "ReadMMIO"}, 1);
}

TEST_F(WavBadInput, ShortFormatChunksAreRefused) {
    Bytes shortBody = FormatBody(Format{});
    shortBody.resize(14);
    ExpectRefused(Riff(Join({Chunk("fmt ", shortBody), Chunk("data", Samples(10))})),
                  {"sizeof(PCMWAVEFORMAT)", "ReadMMIO"}, 1);

    // A format other than PCM whose count or extra bytes are not in its chunk: the bytes after
    // it belong to the next chunk and are not taken for the format's.
    Format adpcm;
    adpcm.tag = 2;
    adpcm.bits = 4;
    adpcm.blockAlign = 256;
    ExpectRefused(Riff(Join({Chunk("fmt ", FormatBody(adpcm)), Chunk("data", Samples(10))})),
                  {"mmioRead", "ReadMMIO"}, 1);
    Bytes extra;
    Put16(extra, 32);
    extra.resize(2 + 8);
    ExpectRefused(
        Riff(Join({Chunk("fmt ", FormatBody(adpcm, extra)), Chunk("data", Samples(100))})),
        {"mmioRead", "ReadMMIO"}, 1);
}

TEST_F(WavBadInput, UnplayableFormatsAreRefusedWithoutPopUps) {
    const Format formats[] = {
        With([](Format &f) { f.blockAlign = 0, f.channels = 0; }),
        With([](Format &f) { f.blockAlign = 3; }), // 16-bit mono frames are 2 bytes
        With([](Format &f) { f.channels = 2, f.blockAlign = 2; }),
        With([](Format &f) { f.channels = 0; }),
        With([](Format &f) { f.channels = 200; }),
        With([](Format &f) { f.rate = 0; }),
        With([](Format &f) { f.rate = 4000000000u; }),
        With([](Format &f) { f.bits = 12, f.blockAlign = 2; }),
        With([](Format &f) { f.bits = 0, f.blockAlign = 1; }),
        With([](Format &f) { f.tag = 0x55, f.blockAlign = 0; }),
    };
    for (const Format &f : formats) {
        SCOPED_TRACE(testing::Message() << "channels " << f.channels << " rate " << f.rate
                                        << " bits " << f.bits << " align " << f.blockAlign);
        Bytes fmtBody = FormatBody(f);
        if (f.tag != 1)
            Put16(fmtBody, 0);
        ExpectRefused(Riff(Join({Chunk("fmt ", fmtBody), Chunk("data", Samples(64))})),
                      {FormatTrace(), "ReadMMIO"}, 0);
    }
}

TEST_F(WavBadInput, HeadersNamingNoTrustworthyFormatAreRefusedWithTheReason) {
    Format extensible;
    extensible.tag = WAVE_FORMAT_EXTENSIBLE;
    Bytes noExtension;
    Put16(noExtension, 0);
    Bytes unknownGuid(16, 0x5A);
    const struct {
        Format format;
        Bytes extra;
        const char *reason;
    } cases[] = {
        {With([](Format &f) { f.tag = 0; }), noExtension, "format tag 0 names no format"},
        {With([](Format &f) { f.tag = 0x7777; }), noExtension, "unknown format tag"},
        {extensible, noExtension, "extensible header without its 22 extra bytes"},
        {extensible, ExtensibleExtra(16, 1, unknownGuid), "unknown extensible sub-format"},
        {extensible, ExtensibleExtra(16, 0x7777), "unknown extensible sub-format"},
        {extensible, ExtensibleExtra(24), "more valid bits than the sample container holds"},
        {extensible, ExtensibleExtra(0), "PCM samples without valid bits"},
        {With([](Format &f) { f.tag = WAVE_FORMAT_EXTENSIBLE, f.blockAlign = 3; }),
         ExtensibleExtra(16), "PCM frames are not one whole sample per channel"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        ExpectRefused(
            Riff(Join({Chunk("fmt ", FormatBody(c.format, c.extra)), Chunk("data", Samples(64))})),
            {std::string("WAVEFORMATEX: ") + c.reason, "ReadMMIO"}, 0);
    }

    // A sound one keeps its whole record: PCM in an extensible header, 12 valid bits of 16.
    const std::string path =
        File("ok.wav", Riff(Join({Chunk("fmt ", FormatBody(extensible, ExtensibleExtra(12))),
                                  Chunk("data", Samples(64))})));
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    EXPECT_EQ(wav.m_pwfx->cbSize, 22);
    EXPECT_TRUE(mmio::IsPcmWaveFormat(*wav.m_pwfx));
    EXPECT_TRUE(Traces().empty());
}

TEST_F(WavBadInput, UsualFormatsAreAccepted) {
    const Format formats[] = {
        With([](Format &f) { f.bits = 8; }),
        With([](Format &f) { f.channels = 2, f.bits = 8; }),
        With([](Format &f) { f.channels = 2, f.rate = 48000; }),
        With([](Format &f) { f.rate = 8000, f.bits = 24; }),
        With([](Format &f) { f.channels = 6, f.rate = 96000, f.bits = 32; }),
    };
    for (const Format &f : formats) {
        const std::string path = File("ok.wav", Wav(f, Samples(f.BlockAlign() * 10u)));
        WavFile wav;
        EXPECT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
        EXPECT_EQ(wav.GetSize(), f.BlockAlign() * 10u);
    }
    EXPECT_TRUE(Traces().empty());
}

TEST_F(WavBadInput, OddChunkAtTheEndWithoutItsPadByteIsRead) {
    Bytes file = Wav(Format{}, Samples(1));
    // Drop the pad byte of the 1-byte data chunk and the RIFF size with it.
    file.pop_back();
    file[4] = static_cast<std::uint8_t>(file[4] - 1);
    const std::string path = File("odd.wav", file);
    WavFile wav;
    ASSERT_EQ(wav.Open(path.c_str(), nullptr, WAVEFILE_READ), S_OK);
    BYTE byte = 0;
    DWORD got = 0;
    EXPECT_EQ(wav.Read(&byte, 1, &got), S_OK);
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(byte, Samples(1)[0]);
}

TEST_F(WavBadInput, DamagedResourceIsRefusedLikeAFile) {
    Bytes whole = Wav(Format{}, Samples(100));
    seams::AddModuleResource("cut", "WAVE", Bytes(whole.begin(), whole.end() - 10));
    WavFile wav;
    EXPECT_EQ(wav.Open("cut", nullptr, WAVEFILE_READ), E_FAIL);
    EXPECT_EQ(Traces(), (Strings{"mmioDescend", "ReadMMIO"}));
}

} // namespace
} // namespace wavtest
