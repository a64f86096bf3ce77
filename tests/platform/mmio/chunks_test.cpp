// RIFF chunk navigation: created chunks get their sizes and pad bytes on ascent, searches find
// chunks by identifier and form type inside their parent, and damaged sizes end a search.
#include "platform/mmio/mmio.h"
#include "tests/sound/wav_builder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using wavtest::Bytes;
using wavtest::Chunk;
using wavtest::Join;
using wavtest::Riff;
using wavtest::Samples;

class MmioChunks : public ::testing::Test {
protected:
    HMMIO OpenMemory(Bytes &image, DWORD flags = MMIO_READ) {
        MMIOINFO info{};
        info.fccIOProc = FOURCC_MEM;
        info.cchBuffer = static_cast<LONG>(image.size());
        info.pchBuffer = reinterpret_cast<HPSTR>(image.data());
        return mmioOpenA(nullptr, &info, flags);
    }
    wavtest::TempFolder m_folder;
};

TEST_F(MmioChunks, CreatedChunksGetTheirSizesAndPadBytes) {
    const std::string path = (m_folder / "c.riff").string();
    HMMIO h = mmioOpenA(path.c_str(), nullptr, MMIO_ALLOCBUF | MMIO_CREATE | MMIO_READWRITE);
    ASSERT_NE(h, nullptr);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('T', 'E', 'S', 'T');
    ASSERT_EQ(mmioCreateChunk(h, &riff, MMIO_CREATERIFF), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.ckid, FOURCC_RIFF);
    EXPECT_EQ(riff.dwDataOffset, 8u);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 12) << "after the form type";

    MMCKINFO list{};
    list.fccType = mmioFOURCC('I', 'N', 'F', 'O');
    ASSERT_EQ(mmioCreateChunk(h, &list, MMIO_CREATELIST), MMSYSERR_NOERROR);
    MMCKINFO odd{};
    odd.ckid = mmioFOURCC('o', 'd', 'd', ' ');
    odd.cksize = 1234; // a wrong guess, corrected on ascent
    ASSERT_EQ(mmioCreateChunk(h, &odd, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioWrite(h, "abc", 3), 3);
    ASSERT_EQ(mmioAscend(h, &odd, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(odd.cksize, 3u);
    ASSERT_EQ(mmioAscend(h, &list, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(list.cksize, 4u + 8 + 4);
    MMCKINFO even{};
    even.ckid = mmioFOURCC('e', 'v', 'e', 'n');
    ASSERT_EQ(mmioCreateChunk(h, &even, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioWrite(h, "wxyz", 4), 4);
    ASSERT_EQ(mmioAscend(h, &even, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioAscend(h, &riff, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);

    const Bytes expected = Riff(Join({Riff(Chunk("odd ", Bytes{'a', 'b', 'c'}), "INFO"),
                                      Chunk("even", Bytes{'w', 'x', 'y', 'z'})}),
                                "TEST");
    Bytes listFixed = expected;
    // Riff() writes "RIFF" for the nested list; the file has "LIST" there.
    std::copy_n("LIST", 4, listFixed.begin() + 12);
    EXPECT_EQ(wavtest::ReadFile(path), listFixed);
}

TEST_F(MmioChunks, SearchesFindChunksAndFormsInsideTheirParent) {
    Bytes info = Chunk("LIST", Join({Bytes{'I', 'N', 'F', 'O'}, Chunk("name", Samples(3))}));
    Bytes image =
        Join({Riff(Join({Chunk("aaaa", Samples(5)), info, Chunk("want", Samples(6))}), "FORM"),
              Chunk("want", Samples(2))});
    HMMIO h = OpenMemory(image);
    ASSERT_NE(h, nullptr);

    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('F', 'O', 'R', 'M');
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.dwDataOffset, 8u);

    MMCKINFO list{};
    list.fccType = mmioFOURCC('I', 'N', 'F', 'O');
    ASSERT_EQ(mmioDescend(h, &list, &riff, MMIO_FINDLIST), MMSYSERR_NOERROR);
    MMCKINFO name{};
    ASSERT_EQ(mmioDescend(h, &name, &list, 0), MMSYSERR_NOERROR) << "the first chunk inside";
    EXPECT_EQ(name.ckid, mmioFOURCC('n', 'a', 'm', 'e'));
    EXPECT_EQ(name.cksize, 3u);
    ASSERT_EQ(mmioAscend(h, &name, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), static_cast<LONG>(name.dwDataOffset + 4))
        << "past the pad byte";
    ASSERT_EQ(mmioAscend(h, &list, 0), MMSYSERR_NOERROR);

    MMCKINFO want{};
    want.ckid = mmioFOURCC('w', 'a', 'n', 't');
    ASSERT_EQ(mmioDescend(h, &want, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(want.cksize, 6u);
    char got[6];
    ASSERT_EQ(mmioRead(h, got, 6), 6);
    EXPECT_EQ(Bytes(got, got + 6), Samples(6));
    ASSERT_EQ(mmioAscend(h, &want, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioDescend(h, &want, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND)
        << "the later one lies outside the parent";
    EXPECT_EQ(mmioSeek(h, 0, SEEK_SET), 0);
    MMCKINFO missing{};
    missing.ckid = mmioFOURCC('n', 'o', 'n', 'e');
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioDescend(h, &missing, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
    EXPECT_EQ(mmioDescend(h, &missing, &riff, MMIO_FINDCHUNK | MMIO_FINDLIST), MMSYSERR_INVALFLAG);
    mmioClose(h, 0);
}

TEST_F(MmioChunks, SizesPastTheParentOrTheImageEndTheSearch) {
    const struct {
        const char *what;
        Bytes image;
    } cases[] = {
        {"header cut short", Bytes{'R', 'I', 'F', 'F', 4, 0}},
        {"body past the image", Chunk("RIFF", Samples(10), 11)},
        {"size near 4 GiB", Chunk("RIFF", Samples(10), 0xFFFFFFFF)},
    };
    for (auto c : cases) {
        HMMIO h = OpenMemory(c.image);
        ASSERT_NE(h, nullptr);
        MMCKINFO ck{};
        EXPECT_EQ(mmioDescend(h, &ck, nullptr, 0), MMIOERR_CHUNKNOTFOUND) << c.what;
        mmioClose(h, 0);
    }

    Bytes nested = Riff(Join({Chunk("big ", Samples(4), 40), Chunk("want", Samples(2))}));
    HMMIO h = OpenMemory(nested);
    MMCKINFO riff{};
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, 0), MMSYSERR_NOERROR);
    MMCKINFO want{};
    want.ckid = mmioFOURCC('w', 'a', 'n', 't');
    EXPECT_EQ(mmioDescend(h, &want, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
    mmioClose(h, 0);
}

TEST_F(MmioChunks, ChunksCannotBeCreatedInAReadOnlyFile) {
    Bytes image = Samples(32);
    HMMIO h = OpenMemory(image);
    MMCKINFO ck{};
    ck.ckid = mmioFOURCC('d', 'a', 't', 'a');
    EXPECT_EQ(mmioCreateChunk(h, &ck, 0), MMIOERR_CANNOTWRITE);
    EXPECT_EQ(image, Samples(32));
    mmioClose(h, 0);
}

} // namespace
