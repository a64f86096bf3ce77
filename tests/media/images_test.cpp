// Pictures loaded through the texture loader with the levels the game asks for: sizes,
// transparency where the drawing code needs it, the font's cell rules and width table, the
// explosion's animation and the cube map's faces and levels.
#include "tests/media/media_loaders.h"

#include <algorithm>
#include <cstring>
#include <map>

using namespace mediatest;

namespace {

void ExpectSize(const std::string &name, std::uint32_t w, std::uint32_t h) {
    auto img = LoadPicture(name);
    EXPECT_EQ(img.width, w) << name;
    EXPECT_EQ(img.height, h) << name;
}

float Brightness(const Picture &img, std::uint32_t face = 0) {
    const auto &texels = img.Texels(face);
    double sum = 0;
    for (std::size_t i = 0; i < texels.size(); i += 4) {
        sum += texels[i] + texels[i + 1] + texels[i + 2];
    }
    return static_cast<float>(sum / (texels.size() / 4 * 3 * 255.0));
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
        auto img = LoadPicture(l.name);
        int minX = 9999, maxX = -1, maxY = -1;
        for (std::uint32_t y = 0; y < img.height; ++y) {
            for (std::uint32_t x = 0; x < img.width; ++x) {
                if (img.At(x, y).a > 100) { // the text itself, not its faint rim
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
        auto img = LoadPicture(n);
        int minX = 9999, maxX = -1;
        for (std::uint32_t y = 0; y < img.height; ++y) {
            for (std::uint32_t x = 0; x < img.width; ++x) {
                if (img.At(x, y).a > 100) {
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
        auto img = LoadPicture(n);
        ASSERT_EQ(img.width, 128u);
        ASSERT_EQ(img.height, 64u);
        // Rows 0-9 lie under the lives caption; the bars wrap, so their edge rows stay clear.
        for (std::uint32_t x = 0; x < 128; ++x) {
            for (std::uint32_t y = 0; y < 10; ++y) {
                EXPECT_EQ(img.At(x, y).a, 0) << n << " " << x << "," << y;
            }
            EXPECT_EQ(img.At(x, 63).a, 0) << n;
        }
    }
    // The two bars cover the same texels.
    auto full = LoadPicture("health-full.png"), lose = LoadPicture("health-lose.png");
    ASSERT_EQ(full.Texels().size(), lose.Texels().size());
    for (std::size_t i = 3; i < full.Texels().size(); i += 4) {
        EXPECT_EQ(full.Texels()[i] > 0, lose.Texels()[i] > 0);
    }
    // A bar is drawn cut to the health share of the picture area (rows 10-63) from the bottom
    // up, so it reads true only as a level: one width in every row from the area's top to its
    // bottom.
    std::vector<int> inked;
    for (std::uint32_t y = 0; y < 64; ++y) {
        int n = 0;
        for (std::uint32_t x = 0; x < 128; ++x) {
            n += full.At(x, y).a > 0;
        }
        if (n > 0) {
            EXPECT_EQ(n, 122) << "row " << y;
            inked.push_back(static_cast<int>(y));
        }
    }
    ASSERT_FALSE(inked.empty());
    EXPECT_LE(inked.front(), 11);
    EXPECT_GE(inked.back(), 61);
    EXPECT_EQ(inked.back() - inked.front() + 1, static_cast<int>(inked.size()));
    auto radar = LoadPicture("radar.png");
    EXPECT_EQ(radar.At(0, 0).a, 0);
    EXPECT_EQ(radar.At(127, 127).a, 0);
    for (const char *n : {"radar.png", "radardot0.png", "targt.png", "targ2.png", "smoke.png"}) {
        auto img = LoadPicture(n);
        for (std::uint32_t i = 0; i < img.width; ++i) {
            EXPECT_EQ(img.At(i, 0).a, 0) << n;
            EXPECT_EQ(img.At(0, i).a, 0) << n;
            EXPECT_EQ(img.At(i, img.height - 1).a, 0) << n;
            EXPECT_EQ(img.At(img.width - 1, i).a, 0) << n;
        }
    }
}

namespace {

float Luma(const std::uint8_t *bgra) {
    return (0.114f * bgra[0] + 0.587f * bgra[1] + 0.299f * bgra[2]) / 255;
}

// The light a dot adds at the middle of its disc (additive: colour times alpha) when drawn
// `diameter` pixels across, read from its levels as the device's trilinear filter reads them.
float DotLight(const Picture &dot, float diameter) {
    const float lod = std::clamp(std::log2(dot.width / diameter), 0.0f, dot.image.levels - 1.0f);
    auto centre = [&](std::uint32_t level) {
        // The four texels round the middle of an even-sized level; the one texel of a 1 x 1 level.
        const auto &s = dot.image.At(0, level);
        const std::uint32_t lo = s.width > 1 ? s.width / 2 - 1 : 0, hi = s.width / 2 + 0;
        float sum = 0;
        int n = 0;
        for (std::uint32_t y = lo; y <= std::min(hi, s.height - 1); ++y) {
            for (std::uint32_t x = lo; x <= std::min(hi, s.width - 1); ++x, ++n) {
                const std::uint8_t *t = &s.texels[(y * s.width + x) * 4];
                sum += Luma(t) * t[3] / 255;
            }
        }
        return sum / n;
    };
    const auto level = static_cast<std::uint32_t>(lod);
    const float next = centre(std::min(level + 1, dot.image.levels - 1));
    return centre(level) + (next - centre(level)) * (lod - level);
}

} // namespace

// The radar's disc lies over the sky, and its dots are added over the disc 4.8 pixels across for
// the largest bodies and satellites, 3.6 for Mars ships and down to 1.6 for the smallest bodies,
// white for what lies ahead of the ship and grey 64 for what lies behind. Inside its range ring the
// disc must be dark enough that the brightest star behind it shows as no more than a faint glint,
// and every dot must fill its disc and add clearly more light than that glint at each size drawn.
TEST(Images, RadarDiscHidesTheStarsAndItsDotsOutshineThem) {
    float star = 0;
    for (const char *face :
         {"sky_px.jpg", "sky_nx.jpg", "sky_py.jpg", "sky_ny.jpg", "sky_pz.jpg", "sky_nz.jpg"}) {
        const auto sky = LoadPicture(face);
        for (std::size_t i = 0; i < sky.Texels().size(); i += 4) {
            star = std::max(star, Luma(&sky.Texels()[i]));
        }
    }
    auto radar = LoadPicture("radar.png");
    int clearest = 255;
    for (std::uint32_t y = 0; y < radar.height; ++y) {
        for (std::uint32_t x = 0; x < radar.width; ++x) {
            if (std::hypot(x + 0.5f - 64, y + 0.5f - 64) < 60) {
                clearest = std::min(clearest, radar.At(x, y).a);
            }
        }
    }
    const float glint = star * (1 - clearest / 255.0f);
    EXPECT_LE(glint, 0.1f) << "brightest sky texel " << star << ", scope alpha " << clearest;
    const std::pair<int, std::vector<float>> dots[] = {
        {0, {4.8f, 2.4f, 1.6f}}, {1, {4.8f}}, {2, {3.6f}}};
    for (const auto &[kind, sizes] : dots) {
        auto dot = LoadPicture("radardot" + std::to_string(kind) + ".png");
        int solid = 0, inside = 0;
        for (std::uint32_t y = 0; y < dot.height; ++y) {
            for (std::uint32_t x = 0; x < dot.width; ++x) {
                if (std::hypot(x + 0.5f - 8, y + 0.5f - 8) < 8) {
                    ++inside;
                    solid += dot.At(x, y).a >= 128;
                }
            }
        }
        EXPECT_GE(solid, inside * 6 / 10) << "radardot" << kind << " is a dot within its disc";
        for (float diameter : sizes) {
            const float light = DotLight(dot, diameter);
            EXPECT_GE(light, 4 * glint) << "radardot" << kind << " ahead at " << diameter;
            EXPECT_GE(light * 64 / 255, 1.5f * glint) << "radardot" << kind << " behind";
        }
    }
}

TEST(Images, DarkeningSquaresCarryTheirAmountInAlpha) {
    for (auto [name, alpha] : std::map<std::string, int>{{"black.png", 128}, {"black2.png", 140}}) {
        auto img = LoadPicture(name);
        EXPECT_EQ(img.width, 8u);
        EXPECT_TRUE(img.image.hasAlpha) << name;
        for (std::uint32_t y = 0; y < img.height; ++y) {
            for (std::uint32_t x = 0; x < img.width; ++x) {
                EXPECT_EQ(img.At(x, y).Sum(), 0) << name;
                EXPECT_EQ(img.At(x, y).a, alpha) << name;
            }
        }
    }
}

TEST(Images, SpriteGlowsAreBlackAtTheirEdges) {
    const std::map<std::string, std::uint32_t> sizes = {
        {"shockwave.jpg", 256}, {"laser.jpg", 64},  {"marslaser.jpg", 64},
        {"flame.jpg", 64},      {"flame2.jpg", 64}, {"cockpit-sight.jpg", 128}};
    for (const auto &[name, size] : sizes) {
        auto img = LoadPicture(name);
        ASSERT_EQ(img.width, size) << name;
        ASSERT_EQ(img.height, size) << name;
        for (std::uint32_t i = 0; i < size; i += 3) {
            for (auto p : {img.At(i, 0), img.At(0, i)}) {
                EXPECT_LT(p.Sum(), 30) << name << " at " << i;
            }
        }
    }
    // A shot has a hot centre but no white disc: drawn 2 units across just ahead of the pilot's
    // eye, a saturated core would fill a good part of the view.
    for (const char *name : {"laser.jpg", "marslaser.jpg"}) {
        auto shot = LoadPicture(name);
        EXPECT_GT(shot.At(32, 32).Sum(), 600) << name;
        int white = 0;
        for (std::uint32_t y = 0; y < 64; ++y) {
            for (std::uint32_t x = 0; x < 64; ++x) {
                auto p = shot.At(x, y);
                white += std::min({p.r, p.g, p.b}) > 230;
            }
        }
        EXPECT_LT(white, 20) << name;
        // Far away a shot is a few pixels, the texture's average: it must still show.
        double light = 0;
        for (std::uint32_t y = 0; y < 64; ++y) {
            for (std::uint32_t x = 0; x < 64; ++x) {
                auto p = shot.At(x, y);
                light += std::max({p.r, p.g, p.b}) / 255.0 / (64 * 64);
            }
        }
        EXPECT_GT(light, 0.12) << name;
    }
}

TEST(Images, SmokeAddsOnlyADimHaze) {
    // Drawn additively (colour times alpha added) and piled up around a damaged ship: each puff
    // may add little, or the trail glows white over the ship.
    auto img = LoadPicture("smoke.png");
    int most = 0;
    for (std::uint32_t y = 0; y < 64; ++y) {
        for (std::uint32_t x = 0; x < 64; ++x) {
            auto p = img.At(x, y);
            most = std::max(most, std::max({p.r, p.g, p.b}) * p.a / 255);
        }
    }
    EXPECT_GT(most, 20);
    EXPECT_LT(most, 50);
}

TEST(Images, ExplosionAnimatesFromFlashToBlackInsideItsEllipse) {
    std::vector<float> level;
    for (int i = 1; i <= 60; ++i) {
        auto img = LoadPicture("explosion" + std::to_string(i) + ".jpg");
        ASSERT_EQ(img.width, 256u);
        ASSERT_EQ(img.height, 256u);
        level.push_back(Brightness(img));
        // Nothing outside the ellipse of semi-axes 0.31 w by 0.42 h (JPEG noise aside).
        for (std::uint32_t y = 0; y < 256; y += 4) {
            for (std::uint32_t x = 0; x < 256; x += 4) {
                float nx = (x + 0.5f - 128) / (0.31f * 256), ny = (y + 0.5f - 128) / (0.42f * 256);
                if (nx * nx + ny * ny > 1.1f) {
                    ASSERT_LT(img.At(x, y).Sum(), 24) << "frame " << i << " at " << x << "," << y;
                }
            }
        }
    }
    // The core of the first frames is white-hot; the fire then fades away.
    auto first = LoadPicture("explosion1.jpg");
    // It cools and thins all over: the middle stays its brightest part and never empties into a
    // ring around a hole.
    for (int i = 31; i <= 56; ++i) {
        auto img = LoadPicture("explosion" + std::to_string(i) + ".jpg");
        double inner = 0, ring = 0;
        int innerCount = 0, ringCount = 0;
        for (std::uint32_t y = 0; y < 256; ++y) {
            for (std::uint32_t x = 0; x < 256; ++x) {
                float nx = (x + 0.5f - 128) / (0.31f * 256), ny = (y + 0.5f - 128) / (0.42f * 256);
                float q = std::sqrt(nx * nx + ny * ny);
                if (q < 0.3f) {
                    inner += img.At(x, y).Sum(), ++innerCount;
                } else if (q > 0.45f && q < 0.75f) {
                    ring += img.At(x, y).Sum(), ++ringCount;
                }
            }
        }
        EXPECT_GT(inner / innerCount, 2 * ring / ringCount) << "frame " << i;
    }
    // And it dims steadily to the end instead of going out early.
    for (int i = 30; i + 4 < 60; ++i) {
        EXPECT_GT(level[i], level[i + 4]) << "frame " << i + 1;
    }
    EXPECT_GT(level[49], 0.01f);
    EXPECT_GT(first.At(128, 128).b, 200);
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
    auto px = LoadPicture("sky_px.jpg"), pz = LoadPicture("sky_pz.jpg"),
         py = LoadPicture("sky_py.jpg");
    double diffSide = 0, diffTop = 0;
    for (std::uint32_t y = 0; y < 1024; ++y) {
        // +Z's right column meets +X's left column.
        auto a = pz.At(1023, y), b = px.At(0, y);
        diffSide += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
    for (std::uint32_t x = 0; x < 1024; ++x) {
        // +Z's top row meets +Y's bottom row.
        auto a = pz.At(x, 0), b = py.At(x, 1023);
        diffTop += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
    EXPECT_LT(diffSide / 1024 / 3, 4.0);
    EXPECT_LT(diffTop / 1024 / 3, 4.0);
    // The sun sits toward +z, where the world lights come from.
    EXPECT_GT(Brightness(pz), Brightness(LoadPicture("sky_nz.jpg")) * 1.2f);
}

TEST(Font, AtlasAndWidthTableFollowTheCellRules) {
    // The font is one level of A8R8G8B8, the format the texture loader always produces.
    auto img = LoadPicture("font.png", 1);
    ASSERT_TRUE(img.ok);
    ASSERT_EQ(img.width, 256u);
    ASSERT_EQ(img.height, 256u);
    EXPECT_TRUE(img.image.hasAlpha);
    auto widths = ReadWidthTable();
    for (int c = 0; c < 256; ++c) {
        EXPECT_GE(widths[c], 1) << c;
        EXPECT_LE(widths[c], 15) << c;
        // Slider parts join their neighbours: steps on both sides, the end caps inward. The knob
        // is a question mark standing clear of both edges, so "???" stays three marks. A glyph's
        // first pixel on screen takes half of the last column of the cell to its left, so that
        // column carries the lead-in of a glyph that joins on its left.
        auto joinsLeft = [](int k) { return k == '=' || k == '>'; };
        bool joinsRight = c == '=' || c == '<';
        int cx = (c % 16) * 16, cy = (c / 16) * 16;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                int a = img.At(cx + x, cy + y).a;
                bool leadIn = x == 15 && joinsLeft(c + 1) && y >= 7 && y <= 8;
                bool outside = y == 0 || y == 15 || (x == 0 && !joinsLeft(c)) ||
                               (x >= widths[c] - (joinsRight ? 0 : 1) && !leadIn);
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
        left = std::max(left, img.At(('=' % 16) * 16, ('=' / 16) * 16 + y).a);
        right = std::max(right, img.At(('=' % 16) * 16 + widths['='] - 1, ('=' / 16) * 16 + y).a);
    }
    EXPECT_GT(left, 200);
    EXPECT_GT(right, 200);
}

TEST(Font, SliderTrackRunsUnbrokenAsTheDeviceSamplesIt) {
    // The device samples every glyph pixel between two texel columns (its pixel centres sit on
    // whole coordinates), so the first pixel of a glyph takes half of the last column of the cell
    // to its left. Along the track row of "<=====" and "=====>" (either side of the knob, a
    // question mark that the track stops at) no pixel may dip.
    auto img = LoadPicture("font.png", 1);
    ASSERT_TRUE(img.ok);
    auto widths = ReadWidthTable();
    std::vector<float> row;
    for (char c : std::string("<==========>")) {
        int cx = (c % 16) * 16, cy = (c / 16) * 16;
        for (int x = 0; x < widths[static_cast<unsigned char>(c)]; ++x) {
            float a = 0;
            for (int dx : {-1, 0}) {
                for (int dy : {-1, 0}) {
                    a += img.At(cx + x + dx, cy + 8 + dy).a / 4.0f;
                }
            }
            row.push_back(a);
        }
    }
    // From the left post's track to the right post's.
    for (std::size_t x = 5; x + 5 < row.size(); ++x) {
        EXPECT_GT(row[x], 0.75f * 255) << "pixel " << x;
    }
}

TEST(CubeMap, HeaderDescribesSixMippedA8R8G8B8Faces) {
    // The header words the file promises (the loader itself only needs some of them).
    auto bytes = ReadMedia("cubemap.dds");
    ASSERT_GE(bytes.size(), 128u);
    std::uint32_t h[32];
    std::memcpy(h, bytes.data(), sizeof h);
    EXPECT_EQ(h[0], dds::kMagic);
    EXPECT_EQ(h[1], dds::kHeaderSize);
    EXPECT_EQ(h[2], dds::kFlagCaps | dds::kFlagHeight | dds::kFlagWidth | dds::kFlagPitch |
                        dds::kFlagPixelFormat | dds::kFlagMipMapCount);
    EXPECT_EQ(h[5], 512u); // pitch
    EXPECT_EQ(h[19], dds::kPixelFormatSize);
    EXPECT_EQ(h[20], dds::kPixelRgb | dds::kPixelAlphaPixels);
    EXPECT_EQ(h[22], 32u);
    EXPECT_EQ(h[23], 0x00FF0000u);
    EXPECT_EQ(h[24], 0x0000FF00u);
    EXPECT_EQ(h[25], 0x000000FFu);
    EXPECT_EQ(h[26], 0xFF000000u);
    EXPECT_EQ(h[27], dds::kCapsComplex | dds::kCapsTexture | dds::kCapsMipMap);
    EXPECT_EQ(h[28], dds::kCaps2CubeMap | dds::kCaps2AllFaces);

    // Loaded as the cube texture creator loads it: size, levels and format from the file.
    auto cube = LoadPicture("cubemap.dds");
    ASSERT_TRUE(cube.ok);
    EXPECT_TRUE(cube.image.cubeMap);
    EXPECT_TRUE(cube.image.hasAlpha);
    ASSERT_EQ(cube.image.faces, 6u);
    EXPECT_EQ(cube.width, 128u);
    EXPECT_EQ(cube.height, 128u);
    ASSERT_EQ(cube.image.levels, 8u);
    std::size_t texels = 0;
    for (std::uint32_t level = 0; level < 8; ++level) {
        EXPECT_EQ(cube.image.At(5, level).width, 128u >> level);
        EXPECT_EQ(cube.image.At(5, level).height, 128u >> level);
        texels += std::size_t{128u >> level} * (128u >> level);
    }
    // Every level of every face is in the file itself, and nothing follows them.
    EXPECT_EQ(bytes.size(), 128 + 6 * texels * 4);
    // Opaque everywhere; +Z is the bright face, and it is bright above and dark below.
    for (std::uint32_t face = 0; face < 6; ++face) {
        for (std::uint32_t level = 0; level < 8; ++level) {
            const auto &t = cube.image.At(face, level).texels;
            for (std::size_t i = 3; i < t.size(); i += 4) {
                ASSERT_EQ(t[i], 255) << "face " << face << " level " << level;
            }
        }
    }
    EXPECT_GT(Brightness(cube, 4), Brightness(cube, 5));
    EXPECT_GT(Brightness(cube, 2), Brightness(cube, 3));
}

TEST(CubeMap, FacesMeetWithoutSeamsAtEveryLevel) {
    auto cube = LoadPicture("cubemap.dds");
    ASSERT_TRUE(cube.ok);
    // The texel a direction falls on, by the cube texture's face and orientation rules.
    auto lookup = [&](float x, float y, float z, std::uint32_t level) {
        float ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z), ma, sc, tc;
        std::uint32_t face;
        if (ax >= ay && ax >= az) {
            face = x > 0 ? 0 : 1, ma = ax, sc = x > 0 ? -z : z, tc = -y;
        } else if (ay >= az) {
            face = y > 0 ? 2 : 3, ma = ay, sc = x, tc = y > 0 ? z : -z;
        } else {
            face = z > 0 ? 4 : 5, ma = az, sc = z > 0 ? x : -x, tc = -y;
        }
        const auto &s = cube.image.At(face, level);
        auto at = [&](float v) {
            return std::min<std::uint32_t>(s.width - 1, std::uint32_t((v / ma + 1) / 2 * s.width));
        };
        const std::uint8_t *t = &s.texels[(std::size_t(at(tc)) * s.width + at(sc)) * 4];
        return t[0] + t[1] + t[2];
    };
    // Along every cube edge, the texels on its two sides differ little more than neighbours do
    // inside a face: the faces are filtered apart, so a sharp feature on an edge shows as a seam
    // on the chrome hull.
    for (std::uint32_t level = 0; level < 5; ++level) {
        const float size = float(128 >> level);
        for (int edge = 0; edge < 12; ++edge) {
            double across = 0, within = 0;
            // The edge along one axis where two faces (outward axes u and v) meet.
            int axis = edge / 4, u = (axis + 1) % 3, v = (axis + 2) % 3;
            float su = (edge & 1) ? 1.0f : -1.0f, sv = (edge & 2) ? 1.0f : -1.0f, e = 1 / size;
            for (int i = 0; i < int(size); ++i) {
                // Points just either side of the edge, and one a texel further in.
                float p[3] = {}, q[3] = {}, r[3] = {};
                p[axis] = q[axis] = r[axis] = (i + 0.5f) / size * 2 - 1;
                p[u] = su, p[v] = sv * (1 - e);
                q[u] = su * (1 - e), q[v] = sv;
                r[u] = su, r[v] = sv * (1 - 3 * e);
                int a = lookup(p[0], p[1], p[2], level), b = lookup(q[0], q[1], q[2], level),
                    c = lookup(r[0], r[1], r[2], level);
                across += std::abs(a - b);
                within += std::abs(a - c);
            }
            EXPECT_LT(across / size, 2.0 * within / size + 6)
                << "level " << level << " edge " << edge;
        }
    }
}
