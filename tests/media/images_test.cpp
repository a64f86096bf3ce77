// Pictures read back with the shared decoders: sizes, transparency where the drawing code needs
// it, the font's cell rules and width table, the explosion's animation and the cube map's header.
#include "tests/media/media_readers.h"

#include <map>

using namespace mediatest;

namespace {

void ExpectSize(const std::string &name, std::uint32_t w, std::uint32_t h) {
    auto img = ReadImage(name);
    EXPECT_EQ(img.width, w) << name;
    EXPECT_EQ(img.height, h) << name;
}

float Brightness(const image::Rgba8Image &img) {
    double sum = 0;
    for (std::size_t i = 0; i < img.pixels.size(); i += 4) {
        sum += img.pixels[i] + img.pixels[i + 1] + img.pixels[i + 2];
    }
    return static_cast<float>(sum / (img.pixels.size() / 4 * 3 * 255.0));
}

} // namespace

TEST(Images, CaptionsAreTheSizeTheyAreDrawn) {
    ExpectSize("title.png", 512, 64);
    ExpectSize("zelgame.png", 512, 32);
    ExpectSize("credits.png", 640, 480);
    ExpectSize("briefing.png", 640, 480);
    for (const char *n :
         {"paused.png", "halloffame.png", "options.png", "gameover.png", "wavecleared.png",
          "tehsuck.png", "spacejunk.png", "intermission.png", "wavefailed.png"}) {
        ExpectSize(n, 256, 32);
    }
    for (int i = 1; i <= 8; ++i) {
        ExpectSize("wave" + std::to_string(i) + ".png", 256, 32);
    }
    for (int i = 0; i <= 3; ++i) {
        ExpectSize("lives" + std::to_string(i) + ".png", 128, 16);
    }
    ExpectSize("score.png", 128, 16);
    ExpectSize("nodamage.png", 256, 16);
    ExpectSize("timeremaining.png", 256, 16);
}

TEST(Images, CaptionTextStaysWhereOtherPicturesDoNotCoverIt) {
    // Ink (alpha) bounds per caption: {name, min x, max x, max y} limits from the screen layout.
    struct Limit {
        const char *name;
        int x0, x1, y1;
    };
    const Limit limits[] = {
        {"wave1.png", 0, 255, 23},       {"wave8.png", 0, 255, 23},
        {"wavecleared.png", 0, 255, 23}, {"tehsuck.png", 58, 198, 31},
        {"score.png", 0, 95, 15},        {"timeremaining.png", 130, 255, 15},
    };
    for (const auto &l : limits) {
        auto img = ReadImage(l.name);
        int minX = 9999, maxX = -1, maxY = -1;
        for (std::uint32_t y = 0; y < img.height; ++y) {
            for (std::uint32_t x = 0; x < img.width; ++x) {
                if (Pixel(img, x, y)[3] > 100) { // the text itself, not its faint rim
                    minX = std::min(minX, static_cast<int>(x));
                    maxX = std::max(maxX, static_cast<int>(x));
                    maxY = std::max(maxY, static_cast<int>(y));
                }
            }
        }
        EXPECT_GE(maxX, 0) << l.name << " has no text";
        EXPECT_GE(minX, l.x0) << l.name;
        EXPECT_LE(maxX, l.x1) << l.name;
        EXPECT_LE(maxY, l.y1) << l.name;
    }
}

TEST(Images, CentredCaptionsAreCentred) {
    for (const char *n :
         {"paused.png", "gameover.png", "title.png", "zelgame.png", "spacejunk.png"}) {
        auto img = ReadImage(n);
        int minX = 9999, maxX = -1;
        for (std::uint32_t y = 0; y < img.height; ++y) {
            for (std::uint32_t x = 0; x < img.width; ++x) {
                if (Pixel(img, x, y)[3] > 100) {
                    minX = std::min(minX, static_cast<int>(x));
                    maxX = std::max(maxX, static_cast<int>(x));
                }
            }
        }
        EXPECT_NEAR((minX + maxX) / 2.0, img.width / 2.0, 3.0) << n;
    }
}

TEST(Images, HudPicturesMatchTheGaugeAndRadarLayout) {
    ExpectSize("radar.png", 128, 128);
    for (int i = 0; i < 4; ++i) {
        ExpectSize("radardot" + std::to_string(i) + ".png", 16, 16);
    }
    for (const char *n : {"shiph.png", "health-full.png", "health-lose.png"}) {
        auto img = ReadImage(n);
        ASSERT_EQ(img.width, 128u);
        ASSERT_EQ(img.height, 64u);
        // Rows 0-9 lie under the lives caption; the bars wrap, so their edge rows stay clear.
        for (std::uint32_t x = 0; x < 128; ++x) {
            for (std::uint32_t y = 0; y < 10; ++y) {
                EXPECT_EQ(Pixel(img, x, y)[3], 0) << n << " " << x << "," << y;
            }
            EXPECT_EQ(Pixel(img, x, 63)[3], 0) << n;
        }
    }
    // The bars fill the frame's silhouette pixel for pixel.
    auto full = ReadImage("health-full.png"), lose = ReadImage("health-lose.png");
    EXPECT_EQ(full.pixels.size(), lose.pixels.size());
    for (std::size_t i = 3; i < full.pixels.size(); i += 4) {
        EXPECT_EQ(full.pixels[i] > 0, lose.pixels[i] > 0);
    }
    auto radar = ReadImage("radar.png");
    EXPECT_EQ(Pixel(radar, 0, 0)[3], 0);
    EXPECT_EQ(Pixel(radar, 127, 127)[3], 0);
    EXPECT_NEAR(Pixel(radar, 80, 50)[3], 128, 20); // translucent scope inside
    for (const char *n : {"radar.png", "radardot0.png", "targt.png", "targ2.png", "smoke.png"}) {
        auto img = ReadImage(n);
        for (std::uint32_t i = 0; i < img.width; ++i) {
            EXPECT_EQ(Pixel(img, i, 0)[3], 0) << n;
            EXPECT_EQ(Pixel(img, 0, i)[3], 0) << n;
            EXPECT_EQ(Pixel(img, i, img.height - 1)[3], 0) << n;
            EXPECT_EQ(Pixel(img, img.width - 1, i)[3], 0) << n;
        }
    }
}

TEST(Images, DarkeningSquaresCarryTheirAmountInAlpha) {
    for (auto [name, alpha] : std::map<std::string, int>{{"black.png", 128}, {"black2.png", 140}}) {
        auto img = ReadImage(name);
        EXPECT_EQ(img.width, 8u);
        for (std::size_t i = 0; i < img.pixels.size(); i += 4) {
            EXPECT_EQ(img.pixels[i], 0);
            EXPECT_EQ(img.pixels[i + 3], alpha) << name;
        }
    }
}

TEST(Images, SpriteGlowsAreBlackAtTheirEdges) {
    const std::map<std::string, std::uint32_t> sizes = {
        {"shockwave.jpg", 256}, {"laser.jpg", 64},  {"marslaser.jpg", 64},
        {"flame.jpg", 64},      {"flame2.jpg", 64}, {"cockpit-sight.jpg", 128}};
    for (const auto &[name, size] : sizes) {
        auto img = ReadImage(name);
        ASSERT_EQ(img.width, size) << name;
        ASSERT_EQ(img.height, size) << name;
        for (std::uint32_t i = 0; i < size; i += 3) {
            for (auto p : {Pixel(img, i, 0), Pixel(img, 0, i)}) {
                EXPECT_LT(p[0] + p[1] + p[2], 30) << name << " at " << i;
            }
        }
    }
    // The shot's hit radius (0.15 of the width) is the bright core.
    auto laser = ReadImage("laser.jpg");
    auto centre = Pixel(laser, 32, 32);
    EXPECT_GT(centre[0] + centre[1] + centre[2], 700);
}

TEST(Images, ExplosionAnimatesFromFlashToBlackInsideItsEllipse) {
    std::vector<float> level;
    for (int i = 1; i <= 60; ++i) {
        auto img = ReadImage("explosion" + std::to_string(i) + ".jpg");
        ASSERT_EQ(img.width, 256u);
        ASSERT_EQ(img.height, 256u);
        level.push_back(Brightness(img));
        // Nothing outside the ellipse of semi-axes 0.31 w by 0.42 h (JPEG noise aside).
        for (std::uint32_t y = 0; y < 256; y += 4) {
            for (std::uint32_t x = 0; x < 256; x += 4) {
                float nx = (x + 0.5f - 128) / (0.31f * 256), ny = (y + 0.5f - 128) / (0.42f * 256);
                if (nx * nx + ny * ny > 1.1f) {
                    auto p = Pixel(img, x, y);
                    ASSERT_LT(p[0] + p[1] + p[2], 24) << "frame " << i << " at " << x << "," << y;
                }
            }
        }
    }
    // The core of the first frames is white-hot; the fire then fades away.
    auto first = ReadImage("explosion1.jpg");
    auto core = Pixel(first, 128, 128);
    EXPECT_GT(core[2], 200);
    EXPECT_GT(level[10], level[45]);
    EXPECT_LT(level[59], 0.002f);
    EXPECT_LT(level[58], 0.01f);
}

TEST(Images, MaterialTexturesHaveTheirPlannedSizes) {
    const std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> sizes = {
        {"sky_pz.jpg", {1024, 1024}},     {"rock1.jpg", {512, 256}},
        {"shiphull.jpg", {512, 512}},     {"marshull.jpg", {256, 256}},
        {"cockpit-body.jpg", {512, 512}}, {"cockpit-lights.jpg", {512, 512}},
        {"cockpit-speed.jpg", {128, 16}}, {"photo.jpg", {256, 256}},
        {"photo-back.jpg", {128, 128}},   {"targt.png", {128, 128}},
        {"targ2.png", {64, 64}},          {"smoke.png", {64, 64}},
        {"station-wall.jpg", {512, 512}}, {"satellite-panel.jpg", {256, 256}}};
    for (const auto &[name, wh] : sizes) {
        ExpectSize(name, wh.first, wh.second);
    }
}

TEST(Images, SkyFacesMeetWithoutSeams) {
    // Along each shared cube edge, the border texels of the two faces show the same sky.
    auto px = ReadImage("sky_px.jpg"), pz = ReadImage("sky_pz.jpg"), py = ReadImage("sky_py.jpg");
    double diffSide = 0, diffTop = 0;
    for (std::uint32_t y = 0; y < 1024; ++y) {
        // +Z's right column meets +X's left column.
        auto a = Pixel(pz, 1023, y), b = Pixel(px, 0, y);
        diffSide += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
    }
    for (std::uint32_t x = 0; x < 1024; ++x) {
        // +Z's top row meets +Y's bottom row.
        auto a = Pixel(pz, x, 0), b = Pixel(py, x, 1023);
        diffTop += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
    }
    EXPECT_LT(diffSide / 1024 / 3, 4.0);
    EXPECT_LT(diffTop / 1024 / 3, 4.0);
    // The sun sits toward +z, where the world lights come from.
    EXPECT_GT(Brightness(pz), Brightness(ReadImage("sky_nz.jpg")) * 1.2f);
}

TEST(Font, AtlasAndWidthTableFollowTheCellRules) {
    auto img = ReadImage("font.png");
    ASSERT_EQ(img.width, 256u);
    ASSERT_EQ(img.height, 256u);
    auto widths = ReadMedia("font.dat");
    ASSERT_EQ(widths.size(), 256u);
    for (int c = 0; c < 256; ++c) {
        EXPECT_GE(widths[c], 1) << c;
        EXPECT_LE(widths[c], 15) << c;
        bool joins = c == '=' || c == '?';
        int cx = (c % 16) * 16, cy = (c / 16) * 16;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                int a = Pixel(img, cx + x, cy + y)[3];
                bool outside =
                    y == 0 || y == 15 || (x == 0 && !joins) || x >= widths[c] - (joins ? 0 : 1);
                if (outside) {
                    ASSERT_EQ(a, 0) << "code " << c << " at " << x << "," << y;
                }
            }
        }
    }
    // Unused codes are empty cells 8 wide; space is narrow and empty.
    EXPECT_EQ(widths[0], 8);
    EXPECT_EQ(widths[200], 8);
    EXPECT_NEAR(widths[' '], 6, 1);
    // Digits share one width so numbers do not jiggle; slider step and knob share theirs.
    for (char d = '1'; d <= '9'; ++d) {
        EXPECT_EQ(widths[static_cast<unsigned char>(d)], widths['0']);
    }
    EXPECT_EQ(widths['='], widths['?']);
    EXPECT_EQ(widths['('], widths[')']);
    // Highlighted letters are the capitals' shapes in another colour.
    for (char c = 'A'; c <= 'Z'; ++c) {
        EXPECT_EQ(widths[static_cast<unsigned char>(c)],
                  widths[static_cast<unsigned char>(c + 32)]);
    }
    // The step's track runs across its whole advance so a row of steps joins up.
    int left = 0, right = 0;
    for (int y = 1; y < 15; ++y) {
        left = std::max<int>(left, Pixel(img, ('=' % 16) * 16, ('=' / 16) * 16 + y)[3]);
        right = std::max<int>(
            right, Pixel(img, ('=' % 16) * 16 + widths['='] - 1, ('=' / 16) * 16 + y)[3]);
    }
    EXPECT_GT(left, 200);
    EXPECT_GT(right, 200);
}

TEST(CubeMap, HeaderDescribesSixMippedA8R8G8B8Faces) {
    auto b = ReadMedia("cubemap.dds");
    ASSERT_GE(b.size(), 128u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "DDS ");
    EXPECT_EQ(Le32(b, 4), 124u);
    EXPECT_EQ(Le32(b, 8), 0x1u | 0x2 | 0x4 | 0x8 | 0x1000 | 0x20000);
    EXPECT_EQ(Le32(b, 12), 128u); // height
    EXPECT_EQ(Le32(b, 16), 128u); // width
    EXPECT_EQ(Le32(b, 20), 512u); // pitch
    EXPECT_EQ(Le32(b, 28), 8u);   // mip levels
    EXPECT_EQ(Le32(b, 76), 32u);  // pixel format size
    EXPECT_EQ(Le32(b, 80), 0x41u);
    EXPECT_EQ(Le32(b, 88), 32u);
    EXPECT_EQ(Le32(b, 92), 0x00FF0000u);
    EXPECT_EQ(Le32(b, 96), 0x0000FF00u);
    EXPECT_EQ(Le32(b, 100), 0x000000FFu);
    EXPECT_EQ(Le32(b, 104), 0xFF000000u);
    EXPECT_EQ(Le32(b, 108), 0x8u | 0x1000 | 0x400000);
    EXPECT_EQ(Le32(b, 112), 0xFE00u | 0x200);
    std::size_t texels = 0;
    for (int s = 128; s >= 1; s /= 2) {
        texels += static_cast<std::size_t>(s) * s;
    }
    EXPECT_EQ(b.size(), 128 + 6 * texels * 4);
    // Opaque everywhere, and the +Z face (first texel block after +X, -X, +Y, -Y) is the bright
    // one.
    auto faceBrightness = [&](int face) {
        std::size_t at = 128 + face * texels * 4;
        double sum = 0;
        for (std::size_t i = 0; i < 128 * 128; ++i) {
            EXPECT_EQ(b[at + i * 4 + 3], 255);
            sum += b[at + i * 4] + b[at + i * 4 + 1] + b[at + i * 4 + 2];
        }
        return sum;
    };
    EXPECT_GT(faceBrightness(4), faceBrightness(5));
    EXPECT_GT(faceBrightness(2), faceBrightness(3)); // bright above, dark below
}
