// Small hostile files that claim large contents fail at once: PNG chunks longer than the data,
// JPEG sizes far beyond what the data could hold, and damaged JPEG scans.
#include "platform/image/image.h"

#include <gtest/gtest.h>

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

} // namespace
