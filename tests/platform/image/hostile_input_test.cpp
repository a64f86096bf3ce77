// Small hostile files that claim large contents fail at once: PNG chunks longer than the data,
// JPEG sizes far beyond what the data could hold, and damaged JPEG scans.
#include "platform/image/image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

namespace {

std::vector<std::uint8_t> SmallPng() {
    image::Rgba8Image img;
    img.width = img.height = 2;
    img.pixels.assign(16, 200);
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_TRUE(image::EncodePng(img, true, out, error)) << error;
    return out;
}

TEST(HostileImages, AChunkLongerThanTheFileIsRefusedBeforeDecoding) {
    std::vector<std::uint8_t> file = SmallPng();
    // A text chunk claiming about 724 MB, placed after the header chunk.
    const std::uint8_t chunk[] = {0x2B, 0x30, 0x30, 0x25, 't', 'E', 'X', 't', 'a', 'b', 'c'};
    file.insert(file.begin() + 33, std::begin(chunk), std::end(chunk));
    image::Rgba8Image out;
    std::string error;
    EXPECT_FALSE(image::DecodePng(file, out, error));
    EXPECT_EQ(error, "truncated PNG data");
    EXPECT_TRUE(out.pixels.empty());
}

TEST(HostileImages, AFileWithoutItsEndChunkIsRefusedAndAWholeOneDecodes) {
    std::vector<std::uint8_t> file = SmallPng();
    image::Rgba8Image out;
    std::string error;
    ASSERT_TRUE(image::DecodePng(file, out, error)) << error;
    file.resize(file.size() - 12); // drop IEND
    EXPECT_FALSE(image::DecodePng(file, out, error));
}

std::vector<std::uint8_t> Jpeg(std::uint32_t w, std::uint32_t h) {
    image::Rgba8Image img;
    img.width = w;
    img.height = h;
    img.pixels.resize(std::size_t{w} * h * 4);
    for (std::size_t i = 0; i < img.pixels.size(); ++i)
        img.pixels[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_TRUE(image::EncodeJpeg(img, 90, out, error)) << error;
    return out;
}

TEST(HostileImages, AJpegClaimingMorePixelsThanItsDataCouldHoldIsRefused) {
    std::vector<std::uint8_t> file = Jpeg(16, 16);
    // Patch the frame header's height and width (after FFC0, length and precision).
    std::size_t sof = 2;
    while (sof + 9 < file.size() && !(file[sof] == 0xFF && file[sof + 1] == 0xC0))
        ++sof;
    ASSERT_LT(sof + 9, file.size());
    for (std::size_t at : {sof + 5, sof + 7}) {
        file[at] = 0x3E; // 16000
        file[at + 1] = 0x80;
    }
    image::Rgba8Image out;
    std::string error;
    EXPECT_FALSE(image::DecodeJpeg(file, out, error));
    EXPECT_EQ(error, "JPEG size too large for its data");
    EXPECT_TRUE(out.pixels.empty());
}

TEST(HostileImages, AJpegCutShortFailsAsDamaged) {
    std::vector<std::uint8_t> file = Jpeg(64, 64);
    image::Rgba8Image out;
    std::string error;
    ASSERT_TRUE(image::DecodeJpeg(file, out, error)) << error;
    file.resize(file.size() / 2);
    EXPECT_FALSE(image::DecodeJpeg(file, out, error));
    EXPECT_EQ(error, "truncated or damaged JPEG data");
    EXPECT_TRUE(out.pixels.empty());
}

void PutChunk(std::vector<std::uint8_t> &file, const char *type,
              const std::vector<std::uint8_t> &body) {
    std::vector<std::uint8_t> chunk = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        chunk[i] = static_cast<std::uint8_t>(body.size() >> (24 - 8 * i));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    const auto crc = static_cast<std::uint32_t>(crc32(0, chunk.data() + 4, 4 + body.size()));
    for (int i = 0; i < 4; ++i)
        chunk.push_back(static_cast<std::uint8_t>(crc >> (24 - 8 * i)));
    file.insert(file.end(), chunk.begin(), chunk.end());
}

// A 3 x 1 picture of palette entries 0, 1 and 2 (dark red, green, blue), with `transparency`
// as its tRNS chunk when given.
std::vector<std::uint8_t> PalettePng(const std::vector<std::uint8_t> &transparency) {
    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", {0, 0, 0, 3, 0, 0, 0, 1, 8, 3, 0, 0, 0});
    PutChunk(file, "PLTE", {128, 0, 0, 0, 255, 0, 0, 0, 255});
    if (!transparency.empty())
        PutChunk(file, "tRNS", transparency);
    const std::uint8_t row[] = {0, 0, 1, 2}; // filter 0, then the indices
    std::vector<std::uint8_t> packed(64);
    uLongf size = packed.size();
    EXPECT_EQ(compress(packed.data(), &size, row, sizeof row), Z_OK);
    packed.resize(size);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});
    return file;
}

TEST(HostileImages, ATransparencyChunkLongerThanThePaletteKeepsItsFirstEntries) {
    image::Rgba8Image out;
    std::string error;
    // One entry per palette colour, then two the palette does not have.
    ASSERT_TRUE(image::DecodePng(PalettePng({0, 128, 255, 7, 9}), out, error)) << error;
    EXPECT_TRUE(out.hasAlpha);
    EXPECT_EQ(out.pixels,
              (std::vector<std::uint8_t>{128, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255}));
    // A damaged long chunk is still left to the decoder, which drops it.
    std::vector<std::uint8_t> damaged = PalettePng({0, 128, 255, 7, 9});
    damaged[8 + 25 + 21 + 8 + 5] ^= 0xFF; // the long chunk's CRC
    ASSERT_TRUE(image::DecodePng(damaged, out, error)) << error;
    EXPECT_EQ(out.pixels[3], 255);
}

} // namespace
