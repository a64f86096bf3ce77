// Byte I/O of the multimedia file functions: buffered reads and writes across buffer refills,
// seeking, the direct buffer protocol, memory images and handle checks.
#include "platform/mmio/mmio.h"
#include "platform/test_seams.h"
#include "tests/sound/wav_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using wavtest::Bytes;
using wavtest::Samples;

class MmioIo : public ::testing::Test {
protected:
    void TearDown() override { seams::ClearFailures(); }

    // Opens `path` with an I/O buffer of `bufferSize` bytes.
    static HMMIO OpenWithBuffer(const std::string &path, DWORD flags, LONG bufferSize) {
        MMIOINFO info{};
        info.cchBuffer = bufferSize;
        return mmioOpenA(path.c_str(), &info, flags | MMIO_ALLOCBUF);
    }

    wavtest::TempFolder m_folder;
};

TEST_F(MmioIo, FourCharacterCodesAreLittleEndian) {
    EXPECT_EQ(mmioFOURCC('R', 'I', 'F', 'F'), 0x46464952u);
    EXPECT_EQ(mmioFOURCC('M', 'E', 'M', ' '), 0x204D454Du);
    EXPECT_EQ(FOURCC_MEM, mmioFOURCC('M', 'E', 'M', ' '));
}

TEST_F(MmioIo, ReadsAndSeeksAcrossBufferRefills) {
    const Bytes content = Samples(1000);
    const std::string path = (m_folder / "r.bin").string();
    wavtest::WriteFile(path, content);
    HMMIO h = OpenWithBuffer(path, MMIO_READ, 16);
    ASSERT_NE(h, nullptr);

    Bytes got(300);
    ASSERT_EQ(mmioRead(h, reinterpret_cast<HPSTR>(got.data()), 300), 300);
    EXPECT_EQ(got, Bytes(content.begin(), content.begin() + 300));
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 300);
    EXPECT_EQ(mmioSeek(h, -10, SEEK_END), 990);
    ASSERT_EQ(mmioRead(h, reinterpret_cast<HPSTR>(got.data()), 300), 10);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 10), Bytes(content.end() - 10, content.end()));
    EXPECT_EQ(mmioRead(h, reinterpret_cast<HPSTR>(got.data()), 300), 0);
    EXPECT_EQ(mmioSeek(h, 5, SEEK_SET), 5);
    char byte = 0;
    ASSERT_EQ(mmioRead(h, &byte, 1), 1);
    EXPECT_EQ(static_cast<std::uint8_t>(byte), content[5]);
    EXPECT_EQ(mmioSeek(h, -6, SEEK_CUR), 0);
    EXPECT_EQ(mmioSeek(h, -1, SEEK_SET), -1);
    EXPECT_EQ(mmioWrite(h, &byte, 1), -1) << "opened for reading";
    EXPECT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
}

TEST_F(MmioIo, WritesOverwritesAndExtendsThroughTheBuffer) {
    const std::string path = (m_folder / "w.bin").string();
    HMMIO h = OpenWithBuffer(path, MMIO_CREATE | MMIO_READWRITE, 16);
    ASSERT_NE(h, nullptr);
    const Bytes first = Samples(100, 1);
    ASSERT_EQ(mmioWrite(h, reinterpret_cast<const char *>(first.data()), 100), 100);
    // Overwrite the middle, then read what follows the overwrite.
    EXPECT_EQ(mmioSeek(h, 40, SEEK_SET), 40);
    const Bytes patch = Samples(30, 2);
    ASSERT_EQ(mmioWrite(h, reinterpret_cast<const char *>(patch.data()), 30), 30);
    char rest[30];
    ASSERT_EQ(mmioRead(h, rest, 30), 30);
    EXPECT_EQ(Bytes(rest, rest + 30), Bytes(first.begin() + 70, first.end()));
    EXPECT_EQ(mmioSeek(h, 0, SEEK_END), 100);
    ASSERT_EQ(mmioWrite(h, "xy", 2), 2);
    EXPECT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);

    Bytes expected = first;
    std::copy(patch.begin(), patch.end(), expected.begin() + 40);
    expected.push_back('x');
    expected.push_back('y');
    EXPECT_EQ(wavtest::ReadFile(path), expected);
}

TEST_F(MmioIo, DirectBufferReadingWalksTheWholeFile) {
    const Bytes content = Samples(100);
    const std::string path = (m_folder / "d.bin").string();
    wavtest::WriteFile(path, content);
    HMMIO h = OpenWithBuffer(path, MMIO_READ, 7);
    ASSERT_NE(h, nullptr);
    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(h, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(info.hmmio, h);
    Bytes got;
    for (;;) {
        if (info.pchNext == info.pchEndRead) {
            ASSERT_EQ(mmioAdvance(h, &info, MMIO_READ), MMSYSERR_NOERROR);
            if (info.pchNext == info.pchEndRead)
                break; // the end of the file
            EXPECT_LE(info.pchEndRead - info.pchBuffer, 7);
        }
        got.push_back(static_cast<std::uint8_t>(*info.pchNext++));
    }
    EXPECT_EQ(got, content);
    ASSERT_EQ(mmioSetInfo(h, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 100);
    mmioClose(h, 0);
}

TEST_F(MmioIo, DirectBufferWritingNeedsTheDirtyFlag) {
    const std::string path = (m_folder / "dw.bin").string();
    HMMIO h = OpenWithBuffer(path, MMIO_CREATE | MMIO_READWRITE, 8);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(mmioWrite(h, "head", 4), 4);
    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(h, &info, 0), MMSYSERR_NOERROR);
    const Bytes body = Samples(50);
    for (std::uint8_t b : body) {
        if (info.pchNext == info.pchEndWrite) {
            info.dwFlags |= MMIO_DIRTY;
            ASSERT_EQ(mmioAdvance(h, &info, MMIO_WRITE), MMSYSERR_NOERROR);
            EXPECT_EQ(info.pchNext, info.pchBuffer);
        }
        *info.pchNext++ = static_cast<char>(b);
    }
    info.dwFlags |= MMIO_DIRTY;
    ASSERT_EQ(mmioSetInfo(h, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 54);
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(wavtest::ReadFile(path), wavtest::Join({Bytes{'h', 'e', 'a', 'd'}, body}));
}

TEST_F(MmioIo, BufferStateOutsideTheBufferIsRefused) {
    const std::string path = (m_folder / "s.bin").string();
    wavtest::WriteFile(path, Samples(20));
    HMMIO h = OpenWithBuffer(path, MMIO_READ, 64);
    ASSERT_NE(h, nullptr);
    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(h, &info, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioAdvance(h, &info, MMIO_READ), MMSYSERR_NOERROR);
    ASSERT_EQ(info.pchEndRead - info.pchNext, 20);
    MMIOINFO bad = info;
    bad.pchNext = info.pchEndRead + 1; // past what was read
    EXPECT_NE(mmioSetInfo(h, &bad, 0), MMSYSERR_NOERROR);
    bad.pchNext = info.pchBuffer - 1;
    EXPECT_NE(mmioSetInfo(h, &bad, 0), MMSYSERR_NOERROR);
    bad = info;
    bad.dwFlags |= MMIO_DIRTY; // nothing may be written to a file opened for reading
    EXPECT_NE(mmioSetInfo(h, &bad, 0), MMSYSERR_NOERROR);
    EXPECT_NE(mmioAdvance(h, &info, MMIO_WRITE), MMSYSERR_NOERROR);
    info.pchNext += 5;
    EXPECT_EQ(mmioSetInfo(h, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 5);
    mmioClose(h, 0);
}

TEST_F(MmioIo, MemoryImagesAreTheirOwnBuffer) {
    Bytes image = Samples(40);
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.cchBuffer = 40;
    info.pchBuffer = reinterpret_cast<HPSTR>(image.data());
    HMMIO h = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF | MMIO_READ);
    ASSERT_NE(h, nullptr);
    MMIOINFO state{};
    ASSERT_EQ(mmioGetInfo(h, &state, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(state.pchBuffer, info.pchBuffer);
    EXPECT_EQ(state.pchEndRead, info.pchBuffer + 40);
    EXPECT_EQ(mmioSeek(h, 41, SEEK_SET), -1) << "an image cannot grow";
    EXPECT_EQ(mmioSeek(h, 30, SEEK_SET), 30);
    char got[20];
    EXPECT_EQ(mmioRead(h, got, 20), 10);
    EXPECT_EQ(mmioRead(h, got, 20), 0);
    EXPECT_EQ(mmioWrite(h, got, 1), -1);
    ASSERT_EQ(mmioGetInfo(h, &state, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioAdvance(h, &state, MMIO_READ), MMSYSERR_NOERROR);
    EXPECT_EQ(state.pchNext, state.pchEndRead) << "nothing after the image";
    EXPECT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);

    HMMIO w = mmioOpenA(nullptr, &info, MMIO_READWRITE);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(mmioSeek(w, 38, SEEK_SET), 38);
    EXPECT_EQ(mmioWrite(w, "abcd", 4), 2) << "writes stop at the image end";
    EXPECT_EQ(image[38], 'a');
    EXPECT_EQ(image[39], 'b');
    ASSERT_EQ(mmioGetInfo(w, &state, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioAdvance(w, &state, MMIO_WRITE), MMIOERR_CANNOTEXPAND);
    mmioClose(w, 0);
}

TEST_F(MmioIo, OpenFailuresSayWhy) {
    MMIOINFO info{};
    const std::string missing = (m_folder / "none.bin").string();
    EXPECT_EQ(mmioOpenA(missing.c_str(), &info, MMIO_READ), nullptr);
    EXPECT_EQ(info.wErrorRet, MMIOERR_FILENOTFOUND);
    EXPECT_EQ(mmioOpenA(m_folder.path().c_str(), &info, MMIO_READ), nullptr) << "a folder";
    EXPECT_EQ(info.wErrorRet, MMIOERR_CANNOTOPEN);
    EXPECT_EQ(mmioOpenA(nullptr, nullptr, MMIO_READ), nullptr);
    EXPECT_EQ(mmioOpenA(missing.c_str(), nullptr, 3), nullptr);

    info = {};
    info.fccIOProc = FOURCC_MEM;
    info.cchBuffer = 10;
    EXPECT_EQ(mmioOpenA(nullptr, &info, MMIO_READ), nullptr) << "no image and no ALLOCBUF";
    EXPECT_EQ(info.wErrorRet, MMSYSERR_INVALPARAM);
    HMMIO owned = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF | MMIO_READWRITE);
    ASSERT_NE(owned, nullptr) << "an image of its own, zero-filled";
    char zero = 1;
    EXPECT_EQ(mmioRead(owned, &zero, 1), 1);
    EXPECT_EQ(zero, 0);
    mmioClose(owned, 0);

    const std::string path = (m_folder / "x.bin").string();
    wavtest::WriteFile(path, Samples(4));
    seams::InjectFailure("mmioOpen");
    EXPECT_EQ(mmioOpenA(path.c_str(), nullptr, MMIO_READ), nullptr);
}

TEST_F(MmioIo, NamesAreOpenedTheWayTheProgramWritesThem) {
    const std::string folder = m_folder.path().string();
    wavtest::WriteFile(m_folder / "Sound.WAV", Samples(3));
    for (const std::string &name : {folder + "/sound.wav", folder + "\\SOUND.wav"}) {
        HMMIO h = mmioOpenA(name.c_str(), nullptr, MMIO_READ);
        EXPECT_NE(h, nullptr) << name;
        mmioClose(h, 0);
    }
}

TEST_F(MmioIo, ClosedAndNullHandlesAreRefused) {
    const std::string path = (m_folder / "c.bin").string();
    wavtest::WriteFile(path, Samples(4));
    HMMIO h = mmioOpenA(path.c_str(), nullptr, MMIO_READ);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
    for (HMMIO bad : {h, static_cast<HMMIO>(nullptr)}) {
        char byte;
        MMIOINFO info{};
        MMCKINFO ck{};
        EXPECT_EQ(mmioClose(bad, 0), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(mmioRead(bad, &byte, 1), -1);
        EXPECT_EQ(mmioWrite(bad, &byte, 1), -1);
        EXPECT_EQ(mmioSeek(bad, 0, SEEK_SET), -1);
        EXPECT_EQ(mmioGetInfo(bad, &info, 0), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(mmioSetInfo(bad, &info, 0), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(mmioAdvance(bad, &info, MMIO_READ), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(mmioDescend(bad, &ck, nullptr, 0), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(mmioAscend(bad, &ck, 0), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(mmioCreateChunk(bad, &ck, 0), MMSYSERR_INVALHANDLE);
    }
}

} // namespace
