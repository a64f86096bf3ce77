// PNG chunk lengths are checked against the data before decoding, so a tiny file that claims a
// huge chunk fails at once instead of having hundreds of megabytes allocated for it.
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

TEST(PngChunks, AChunkLongerThanTheFileIsRefusedBeforeDecoding) {
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

TEST(PngChunks, AFileWithoutItsEndChunkIsRefusedAndAWholeOneDecodes) {
    std::vector<std::uint8_t> file = SmallPng();
    image::Rgba8Image out;
    std::string error;
    ASSERT_TRUE(image::DecodePng(file, out, error)) << error;
    file.resize(file.size() - 12); // drop IEND
    EXPECT_FALSE(image::DecodePng(file, out, error));
}

} // namespace
