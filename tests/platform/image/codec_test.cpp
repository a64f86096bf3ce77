// The shared PNG and JPEG codecs: round trips keep pixels, hostile input is refused cleanly.
#include "platform/image/image.h"

#include <gtest/gtest.h>

namespace {

image::Rgba8Image gradient(std::uint32_t w, std::uint32_t h) {
    image::Rgba8Image img;
    img.width = w;
    img.height = h;
    img.pixels.resize(w * h * 4);
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x) {
            std::uint8_t *p = &img.pixels[(y * w + x) * 4];
            p[0] = static_cast<std::uint8_t>(x * 255 / (w - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / (h - 1));
            p[2] = 128;
            p[3] = static_cast<std::uint8_t>((x + y) & 0xFF);
        }
    return img;
}

TEST(ImageCodecs, PngRoundTripKeepsEveryPixelAndAlpha) {
    const auto img = gradient(37, 19);
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(image::EncodePng(img, true, bytes, error)) << error;
    image::Rgba8Image back;
    ASSERT_TRUE(image::DecodePng(bytes, back, error)) << error;
    EXPECT_EQ(back.width, 37u);
    EXPECT_EQ(back.height, 19u);
    EXPECT_TRUE(back.hasAlpha);
    EXPECT_EQ(back.pixels, img.pixels);

    ASSERT_TRUE(image::EncodePng(img, false, bytes, error)) << error;
    ASSERT_TRUE(image::DecodePng(bytes, back, error)) << error;
    EXPECT_FALSE(back.hasAlpha);
    EXPECT_EQ(back.pixels[3], 0xFF);
    EXPECT_EQ(back.pixels[0], img.pixels[0]);
}

TEST(ImageCodecs, JpegRoundTripIsCloseAndOpaque) {
    const auto img = gradient(64, 32);
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(image::EncodeJpeg(img, 95, bytes, error)) << error;
    image::Rgba8Image back;
    ASSERT_TRUE(image::DecodeJpeg(bytes, back, error)) << error;
    ASSERT_EQ(back.width, 64u);
    ASSERT_EQ(back.height, 32u);
    for (std::size_t i = 0; i < back.pixels.size(); i += 4) {
        EXPECT_NEAR(back.pixels[i], img.pixels[i], 12);
        EXPECT_EQ(back.pixels[i + 3], 0xFF);
    }
}

TEST(ImageCodecs, TruncatedAndGarbageInputIsRefused) {
    const auto img = gradient(16, 16);
    std::vector<std::uint8_t> png, jpg;
    std::string error;
    ASSERT_TRUE(image::EncodePng(img, true, png, error));
    ASSERT_TRUE(image::EncodeJpeg(img, 80, jpg, error));
    image::Rgba8Image out;
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{7}, std::size_t{30}, png.size() / 2, png.size() - 1}) {
        std::vector<std::uint8_t> part(png.begin(), png.begin() + cut);
        EXPECT_FALSE(image::DecodePng(part, out, error)) << cut;
        EXPECT_TRUE(out.pixels.empty());
    }
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{100}, jpg.size() - 40}) {
        std::vector<std::uint8_t> part(jpg.begin(), jpg.begin() + cut);
        EXPECT_FALSE(image::DecodeJpeg(part, out, error)) << cut;
    }
    std::vector<std::uint8_t> garbage(500, 0xAB);
    EXPECT_FALSE(image::DecodePng(garbage, out, error));
    EXPECT_FALSE(image::DecodeJpeg(garbage, out, error));
}

} // namespace
