// The DDS reader: 2-D textures and cube maps with mip chains in each supported mask format, and
// refusal of malformed, truncated and oversized files.
#include "platform/d3dx/dds_reader.h"

#include "dds_writer.h"

#include <gtest/gtest.h>

namespace {

using testing_dds::DdsWriter;
using testing_dds::Format;

std::uint32_t Texel(const dds::Surface &s, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t *t = &s.texels[(y * s.width + x) * 4];
    return t[0] | (t[1] << 8) | (t[2] << 16) | (static_cast<std::uint32_t>(t[3]) << 24);
}

TEST(DdsReader, Reads2DTextureWithItsMipChain) {
    // Level 0 is 8 x 2: each texel encodes its level and position.
    const auto file = DdsWriter::Write(8, 2, 4, false, Format{}, [](int, int level, int x, int y) {
        return 0x80000000u | (level << 16) | (y << 8) | x;
    });
    dds::Image image;
    std::string error;
    ASSERT_TRUE(dds::Decode(file, image, error)) << error;
    EXPECT_EQ(image.width, 8u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.levels, 4u);
    EXPECT_EQ(image.faces, 1u);
    EXPECT_FALSE(image.cubeMap);
    EXPECT_TRUE(image.hasAlpha);
    ASSERT_EQ(image.surfaces.size(), 4u);
    const std::uint32_t widths[] = {8, 4, 2, 1}, heights[] = {2, 1, 1, 1};
    for (std::uint32_t level = 0; level < 4; ++level) {
        const dds::Surface &s = image.At(0, level);
        EXPECT_EQ(s.width, widths[level]);
        EXPECT_EQ(s.height, heights[level]);
        EXPECT_EQ(Texel(s, s.width - 1, s.height - 1),
                  0x80000000u | (level << 16) | ((s.height - 1) << 8) | (s.width - 1));
    }
    // Without the mip-count flag there is one level, whatever the count field says.
    auto single = file;
    DdsWriter::Patch(single, 8,
                     dds::kFlagCaps | dds::kFlagWidth | dds::kFlagHeight | dds::kFlagPixelFormat);
    ASSERT_TRUE(dds::Decode(single, image, error)) << error;
    EXPECT_EQ(image.levels, 1u);
}

TEST(DdsReader, ReadsCubeFacesInFileOrder) {
    // 4 x 4 faces with the full chain of three levels; each face a colour of its own.
    const auto file = DdsWriter::Write(4, 4, 3, true, Format{}, [](int face, int level, int, int) {
        return 0xFF000000u | (face * 40u << 16) | (level * 100u);
    });
    dds::Image image;
    std::string error;
    ASSERT_TRUE(dds::Decode(file, image, error)) << error;
    EXPECT_TRUE(image.cubeMap);
    EXPECT_EQ(image.faces, 6u);
    EXPECT_EQ(image.levels, 3u);
    ASSERT_EQ(image.surfaces.size(), 18u);
    for (std::uint32_t face = 0; face < 6; ++face)
        for (std::uint32_t level = 0; level < 3; ++level) {
            const dds::Surface &s = image.At(face, level);
            EXPECT_EQ(s.width, 4u >> level);
            EXPECT_EQ(Texel(s, 0, 0), 0xFF000000u | (face * 40u << 16) | (level * 100u));
        }
}

TEST(DdsReader, WidensEveryMaskFormatToEightBitChannels) {
    struct Case {
        const char *what;
        Format format;
        std::uint32_t pixel;
        std::uint32_t expected; // A8R8G8B8
        bool alpha;
    } cases[] = {
        {"X8R8G8B8", {32, 0xFF0000, 0xFF00, 0xFF, 0}, 0x00123456, 0xFF123456, false},
        {"A8B8G8R8", {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000}, 0x80563412, 0x80123456, true},
        {"R8G8B8", {24, 0xFF0000, 0xFF00, 0xFF, 0}, 0xABCDEF, 0xFFABCDEF, false},
        {"R5G6B5", {16, 0xF800, 0x07E0, 0x001F, 0}, 0xF81F, 0xFFFF00FF, false},
        {"R5G6B5 mid", {16, 0xF800, 0x07E0, 0x001F, 0}, 0x0400, 0xFF008200, false},
        {"A1R5G5B5", {16, 0x7C00, 0x03E0, 0x001F, 0x8000}, 0x83E0, 0xFF00FF00, true},
        {"A4R4G4B4", {16, 0x0F00, 0x00F0, 0x000F, 0xF000}, 0x7A50, 0x77AA5500, true},
    };
    for (const Case &c : cases) {
        const auto file =
            DdsWriter::Write(2, 2, 1, false, c.format, [&](int, int, int, int) { return c.pixel; });
        dds::Image image;
        std::string error;
        ASSERT_TRUE(dds::Decode(file, image, error)) << c.what << ": " << error;
        EXPECT_EQ(Texel(image.At(0, 0), 1, 1), c.expected) << c.what;
        EXPECT_EQ(image.hasAlpha, c.alpha) << c.what;
    }
}

TEST(DdsReader, RefusesMalformedTruncatedAndOversizedFiles) {
    const auto good =
        DdsWriter::Write(4, 4, 3, true, Format{}, [](int, int, int, int) { return 1u; });
    dds::Image image;
    std::string error;
    ASSERT_TRUE(dds::Decode(good, image, error));

    // Every cut short of the whole data fails.
    for (std::size_t n = 0; n < good.size(); ++n) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + n);
        EXPECT_FALSE(dds::Decode(cut, image, error)) << n;
        EXPECT_TRUE(image.surfaces.empty());
    }

    struct Case {
        const char *what;
        std::size_t offset;
        std::uint32_t value;
        const char *reason;
    } cases[] = {
        {"magic", 0, 0x12345678, "not a DDS"},
        {"header size", 4, 100, "header"},
        {"zero width", 16, 0, "size"},
        {"huge height", 12, 1u << 20, "size"},
        {"mips beyond 1 x 1", 28, 4, "mip levels"},
        {"FourCC", 80, dds::kPixelFourCC, "FourCC"},
        {"bit count", 88, 12, "pixel format"},
        {"split mask", 92, 0x00F0F000, "masks"},
        {"overlapping masks", 96, 0x00FF0000, "masks"},
        {"mask past the pixel", 88, 16, "masks"},
        {"five faces", 112, dds::kCaps2CubeMap | 0x7C00, "cube"},
        {"volume", 112, dds::kCaps2Volume, "volume"},
    };
    for (const Case &c : cases) {
        auto bad = good;
        DdsWriter::Patch(bad, c.offset, c.value);
        EXPECT_FALSE(dds::Decode(bad, image, error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }

    // A header that claims the largest size with no data fails before allocating anything.
    auto huge = DdsWriter::Write(1, 1, 1, false, Format{}, [](int, int, int, int) { return 0u; });
    DdsWriter::Patch(huge, 12, dds::kMaxDimension);
    DdsWriter::Patch(huge, 16, dds::kMaxDimension);
    EXPECT_FALSE(dds::Decode(huge, image, error));
    EXPECT_NE(error.find("truncated"), std::string::npos) << error;
}

} // namespace
