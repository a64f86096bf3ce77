// Texture images from PNG, JPEG and DDS files: format told by content, alpha kept or made opaque,
// mip chains made or cut as asked.
#include "platform/d3dx/texture_image.h"

#include "dds_writer.h"
#include "platform/image/image.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> Picture(bool png, std::uint32_t w, std::uint32_t h) {
    image::Rgba8Image img;
    img.width = w;
    img.height = h;
    img.hasAlpha = png;
    img.pixels.resize(std::size_t{w} * h * 4);
    for (std::uint32_t i = 0; i < w * h; ++i) {
        img.pixels[i * 4] = 200;                                   // red
        img.pixels[i * 4 + 1] = static_cast<std::uint8_t>(i * 10); // green varies
        img.pixels[i * 4 + 2] = 20;                                // blue
        img.pixels[i * 4 + 3] = i % 2 ? 0 : 255;                   // alternate transparent texels
    }
    std::vector<std::uint8_t> out;
    std::string error;
    const bool ok =
        png ? image::EncodePng(img, true, out, error) : image::EncodeJpeg(img, 100, out, error);
    EXPECT_TRUE(ok) << error;
    return out;
}

TEST(TextureImage, PngKeepsAlphaAndGetsAFullChain) {
    texture_image::Image image;
    std::string error;
    ASSERT_TRUE(texture_image::Load(Picture(true, 4, 2), 0, image, error)) << error;
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_EQ(image.faces, 1u);
    ASSERT_EQ(image.levels, 3u); // 4 x 2, 2 x 1, 1 x 1
    const dds::Surface &top = image.At(0, 0);
    // Texel 1: B, G, R, A in memory.
    EXPECT_EQ(top.texels[4], 20);
    EXPECT_EQ(top.texels[5], 10);
    EXPECT_EQ(top.texels[6], 200);
    EXPECT_EQ(top.texels[7], 0);
    // Level 1 texel 0 averages texels 0, 1, 4, 5 of level 0: green 0, 10, 40, 50.
    const dds::Surface &mid = image.At(0, 1);
    EXPECT_EQ(mid.width, 2u);
    EXPECT_EQ(mid.height, 1u);
    EXPECT_EQ(mid.texels[1], 25);
    EXPECT_EQ(mid.texels[3], 128); // two opaque, two clear
    EXPECT_EQ(image.At(0, 2).width, 1u);

    // A single level when asked (the font), and never more levels than the size allows.
    ASSERT_TRUE(texture_image::Load(Picture(true, 4, 2), 1, image, error));
    EXPECT_EQ(image.levels, 1u);
    ASSERT_TRUE(texture_image::Load(Picture(true, 4, 2), 9, image, error));
    EXPECT_EQ(image.levels, 3u);
}

TEST(TextureImage, JpegIsOpaque) {
    texture_image::Image image;
    std::string error;
    ASSERT_TRUE(texture_image::Load(Picture(false, 3, 5), 0, image, error)) << error;
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_EQ(image.levels, 3u); // 3 x 5, 1 x 2, 1 x 1
    EXPECT_EQ(image.At(0, 1).width, 1u);
    EXPECT_EQ(image.At(0, 1).height, 2u);
    for (std::size_t i = 3; i < image.At(0, 0).texels.size(); i += 4)
        ASSERT_EQ(image.At(0, 0).texels[i], 255);
}

TEST(TextureImage, DdsKeepsItsLevelsUnlessAskedOtherwise) {
    const auto cube = testing_dds::DdsWriter::Write(
        4, 4, 2, true, testing_dds::Format{},
        [](int face, int level, int, int) { return 0xFF000000u | (face << 16) | (level << 8); });
    texture_image::Image image;
    std::string error;
    ASSERT_TRUE(texture_image::Load(cube, 0, image, error)) << error;
    EXPECT_TRUE(image.cubeMap);
    EXPECT_EQ(image.levels, 2u);

    // Asking for the full chain makes the third level of every face from its second.
    ASSERT_TRUE(texture_image::Load(cube, 3, image, error)) << error;
    ASSERT_EQ(image.levels, 3u);
    for (std::uint32_t face = 0; face < 6; ++face) {
        const dds::Surface &made = image.At(face, 2);
        EXPECT_EQ(made.width, 1u);
        EXPECT_EQ(made.texels[2], face); // red carries the face
        EXPECT_EQ(made.texels[1], 1);    // green carries the level it came from
    }
    ASSERT_TRUE(texture_image::Load(cube, 1, image, error));
    EXPECT_EQ(image.surfaces.size(), 6u);
}

TEST(TextureImage, RefusesWhatIsNotAPicture) {
    texture_image::Image image;
    std::string error;
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(texture_image::Load(text, 0, image, error));
    EXPECT_EQ(error, "unknown image format");
    auto png = Picture(true, 4, 4);
    png.resize(png.size() / 2);
    EXPECT_FALSE(texture_image::Load(png, 0, image, error));
    EXPECT_TRUE(image.surfaces.empty());
    EXPECT_FALSE(texture_image::Load({}, 0, image, error));
}

} // namespace
