// Text layout for DrawTextA: glyph atlas contents, alignment, lines, clipping and extents, and a
// rendered line written out to look at.
#include "platform/d3dx/text_layout.h"
#include "platform/image/image.h"
#include "tests/build_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>

namespace {

class TextLayout : public ::testing::Test {
protected:
    void SetUp() override {
        LOGFONTA font{};
        font.lfHeight = 20;
        font.lfWeight = FW_BOLD;
        font.lfQuality = ANTIALIASED_QUALITY;
        std::strcpy(font.lfFaceName, "Arial");
        std::string error;
        m_face = fonts::FontFace::Open(font, &error);
        ASSERT_NE(m_face, nullptr) << error;
        m_atlas = std::make_unique<fonts::GlyphAtlas>(*m_face);
    }

    int Advance(const char *text) {
        int width = 0;
        for (const char *c = text; *c; ++c)
            width += m_atlas->Glyph(static_cast<unsigned char>(*c)).advance;
        return width;
    }

    int Layout(const char *text, RECT rect, DWORD format, INT count = -1) {
        return fonts::LayoutText(*m_atlas, text, count, &rect, format, &m_quads);
    }

    std::unique_ptr<fonts::FontFace> m_face;
    std::unique_ptr<fonts::GlyphAtlas> m_atlas;
    std::vector<fonts::GlyphQuad> m_quads;
};

TEST_F(TextLayout, AtlasHoldsEachCharacterOnceAsRendered) {
    const fonts::AtlasGlyph &first = m_atlas->Glyph(U'W');
    EXPECT_EQ(m_atlas->Changed().right, first.atlas.right);
    m_atlas->ClearChanged();
    EXPECT_EQ(&m_atlas->Glyph(U'W'), &first);
    EXPECT_EQ(m_atlas->Changed().right, 0) << "not drawn again";

    fonts::GlyphBitmap rendered;
    ASSERT_TRUE(m_face->Render(U'W', &rendered));
    ASSERT_EQ(first.atlas.right - first.atlas.left, rendered.width);
    ASSERT_EQ(first.atlas.bottom - first.atlas.top, rendered.height);
    for (int y = 0; y < rendered.height; ++y)
        for (int x = 0; x < rendered.width; ++x)
            ASSERT_EQ(m_atlas->Coverage()[(first.atlas.top + y) * m_atlas->Width() +
                                          first.atlas.left + x],
                      rendered.coverage[y * rendered.width + x]);

    // Many characters: none overlaps another.
    std::vector<RECT> placed;
    for (char32_t c = 0x21; c < 0x17F; ++c) {
        const RECT r = m_atlas->Glyph(c).atlas;
        if (r.right <= r.left)
            continue;
        EXPECT_LE(r.right, m_atlas->Width());
        EXPECT_LE(r.bottom, m_atlas->Height());
        for (const RECT &other : placed)
            ASSERT_TRUE(r.right <= other.left || other.right <= r.left || r.bottom <= other.top ||
                        other.bottom <= r.top);
        placed.push_back(r);
    }
    EXPECT_GT(placed.size(), 300u);
}

TEST_F(TextLayout, LeftTopLineSitsOnTheAscent) {
    const RECT box = {10, 20, 400, 100};
    EXPECT_EQ(Layout("Hi", box, DT_LEFT | DT_TOP | DT_SINGLELINE), 20);
    ASSERT_EQ(m_quads.size(), 2u);
    const fonts::AtlasGlyph &h = m_atlas->Glyph(U'H');
    EXPECT_EQ(m_quads[0].screen.left, 10 + h.left);
    EXPECT_EQ(m_quads[0].screen.top, 20 + m_face->Ascent() - h.top);
    EXPECT_EQ(m_quads[1].screen.left, 10 + h.advance + m_atlas->Glyph(U'i').left);
    // Quads show their glyph one to one.
    for (const auto &quad : m_quads) {
        EXPECT_EQ(quad.screen.right - quad.screen.left, quad.atlas.right - quad.atlas.left);
        EXPECT_EQ(quad.screen.bottom - quad.screen.top, quad.atlas.bottom - quad.atlas.top);
    }
}

TEST_F(TextLayout, CentredAndRightAlignedLinesLandWhereTheyShould) {
    const char *text = "Score 0042";
    const int width = Advance(text);
    const RECT box = {100, 0, 501, 50};
    const fonts::AtlasGlyph &s = m_atlas->Glyph(U'S');
    const fonts::AtlasGlyph &last = m_atlas->Glyph(U'2');

    Layout(text, box, DT_CENTER | DT_SINGLELINE);
    ASSERT_FALSE(m_quads.empty());
    const int centredLeft = 100 + (401 - width) / 2;
    EXPECT_EQ(m_quads.front().screen.left, centredLeft + s.left);
    EXPECT_EQ(m_quads.back().screen.left, centredLeft + width - last.advance + last.left);

    Layout(text, box, DT_RIGHT | DT_SINGLELINE);
    EXPECT_EQ(m_quads.front().screen.left, 501 - width + s.left);
    EXPECT_EQ(m_quads.back().screen.left, 501 - last.advance + last.left);
}

TEST_F(TextLayout, VerticalPlacementAndItsReturnValue) {
    const RECT box = {0, 100, 300, 200};
    const fonts::AtlasGlyph &x = m_atlas->Glyph(U'x');
    EXPECT_EQ(Layout("x", box, DT_VCENTER | DT_SINGLELINE), 40 + 20);
    EXPECT_EQ(m_quads[0].screen.top, 140 + m_face->Ascent() - x.top);
    EXPECT_EQ(Layout("x", box, DT_BOTTOM | DT_SINGLELINE), 100);
    EXPECT_EQ(m_quads[0].screen.top, 180 + m_face->Ascent() - x.top);
}

TEST_F(TextLayout, LinesBreakAtCarriageReturnsAndLineFeedsUnlessSingleLine) {
    const RECT box = {0, 0, 300, 200};
    EXPECT_EQ(Layout("A\nB\r\nC\rD", box, DT_LEFT), 4 * 20);
    ASSERT_EQ(m_quads.size(), 4u);
    for (int line = 1; line < 4; ++line)
        EXPECT_EQ(m_quads[line].screen.top - m_quads[0].screen.top,
                  line * 20 + m_atlas->Glyph(U'A').top - m_atlas->Glyph(U'A' + line).top);
    EXPECT_EQ(m_quads[3].screen.left, m_atlas->Glyph(U'D').left);

    EXPECT_EQ(Layout("A\nB", box, DT_LEFT | DT_SINGLELINE), 20);
    ASSERT_EQ(m_quads.size(), 2u);
    EXPECT_EQ(m_quads[1].screen.left, Advance("A") + m_atlas->Glyph(U'B').left)
        << "a line break inside a single line takes no room";
}

TEST_F(TextLayout, CalcRectMeasuresWithoutPlacing) {
    RECT box = {5, 7, 6, 8};
    EXPECT_EQ(
        fonts::LayoutText(*m_atlas, "Wide line\nx", -1, &box, DT_CALCRECT | DT_CENTER, &m_quads),
        40);
    EXPECT_TRUE(m_quads.empty());
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 7);
    EXPECT_EQ(box.right, 5 + Advance("Wide line"));
    EXPECT_EQ(box.bottom, 7 + 40);
}

TEST_F(TextLayout, ClippedToTheRectangleUnlessNoClip) {
    const RECT box = {0, 0, 30, 10};
    Layout("WWWWWW", box, DT_LEFT | DT_SINGLELINE);
    ASSERT_FALSE(m_quads.empty());
    for (const auto &quad : m_quads) {
        EXPECT_GE(quad.screen.left, 0);
        EXPECT_LE(quad.screen.right, 30);
        EXPECT_LE(quad.screen.bottom, 10);
        EXPECT_EQ(quad.screen.right - quad.screen.left, quad.atlas.right - quad.atlas.left);
        EXPECT_EQ(quad.screen.bottom - quad.screen.top, quad.atlas.bottom - quad.atlas.top);
    }
    const fonts::AtlasGlyph &w = m_atlas->Glyph(U'W');
    EXPECT_EQ(m_quads[0].atlas.top, w.atlas.top) << "the top of the first glyph is kept";
    EXPECT_LT(m_quads[0].atlas.bottom, w.atlas.bottom) << "its bottom is cut";

    Layout("WWWWWW", box, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    ASSERT_EQ(m_quads.size(), 6u);
    EXPECT_GT(m_quads.back().screen.right, 30);
    EXPECT_GT(m_quads.back().screen.bottom, 10);
}

TEST_F(TextLayout, CountsAndMissingArguments) {
    const RECT box = {0, 0, 300, 50};
    Layout("Hello", box, DT_SINGLELINE, 3);
    EXPECT_EQ(m_quads.size(), 3u);
    EXPECT_EQ(Layout("Hello", box, DT_SINGLELINE, 0), 0);
    EXPECT_TRUE(m_quads.empty());
    EXPECT_EQ(Layout("", box, DT_SINGLELINE), 0);
    EXPECT_EQ(fonts::LayoutText(*m_atlas, nullptr, -1, nullptr, 0, &m_quads), 0);
    RECT rect = box;
    EXPECT_EQ(fonts::LayoutText(*m_atlas, nullptr, -1, &rect, 0, &m_quads), 0);
    EXPECT_EQ(fonts::LayoutText(*m_atlas, "x", -1, nullptr, 0, &m_quads), 0);
    EXPECT_EQ(fonts::LayoutText(*m_atlas, "x", -1, &rect, 0, nullptr), 20) << "measure only";
}

TEST_F(TextLayout, RectanglesAtTheEndsOfTheRangeDoNotWrapAround) {
    constexpr LONG kMin = std::numeric_limits<LONG>::min(), kMax = std::numeric_limits<LONG>::max();
    Layout("Mid", {kMin, kMin, kMax, kMax}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ASSERT_EQ(m_quads.size(), 3u);
    EXPECT_LT(std::abs(m_quads[0].screen.left + Advance("Mid") / 2), 40) << "about the middle";
    EXPECT_LT(std::abs(m_quads[0].screen.top), 40);

    // Text that would start past the largest coordinate is simply not shown.
    Layout("Gone", {kMax - 2, 0, kMax, 50}, DT_LEFT | DT_NOCLIP | DT_SINGLELINE);
    for (const auto &quad : m_quads)
        EXPECT_GT(quad.screen.right, quad.screen.left);
    EXPECT_LE(m_quads.size(), 1u);

    RECT box = {kMax - 5, kMax - 5, kMax, kMax};
    EXPECT_EQ(fonts::LayoutText(*m_atlas, "Wide", -1, &box, DT_CALCRECT, nullptr), 20);
    EXPECT_EQ(box.right, kMax);
    EXPECT_EQ(box.bottom, kMax);
}

TEST_F(TextLayout, AnsiBytesAreWindowsCodePageCharacters) {
    const RECT box = {0, 0, 300, 50};
    Layout("\x80\xE9", box, DT_SINGLELINE); // euro sign, e acute
    ASSERT_EQ(m_quads.size(), 2u);
    const fonts::AtlasGlyph &euro = m_atlas->Glyph(U'\u20AC');
    const fonts::AtlasGlyph &acute = m_atlas->Glyph(U'\u00E9');
    EXPECT_EQ(m_quads[0].atlas.left, euro.atlas.left);
    EXPECT_EQ(m_quads[0].atlas.top, euro.atlas.top);
    EXPECT_EQ(m_quads[1].atlas.left, acute.atlas.left);
    EXPECT_EQ(m_quads[1].atlas.top, acute.atlas.top);
}

// Draws the quads as white text over a dark ground, as the text font will through the device.
TEST_F(TextLayout, RenderedLineLooksRight) {
    constexpr int kWidth = 420, kHeight = 80;
    image::Rgba8Image picture;
    picture.width = kWidth;
    picture.height = kHeight;
    picture.pixels.resize(kWidth * kHeight * 4);
    for (std::size_t i = 0; i < picture.pixels.size(); i += 4) {
        picture.pixels[i] = 16;
        picture.pixels[i + 1] = 24;
        picture.pixels[i + 2] = 48;
        picture.pixels[i + 3] = 255;
    }
    const RECT box = {10, 10, kWidth - 10, kHeight - 10};
    Layout("Tarvos \xA9 Score 00012345 \x80", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ASSERT_FALSE(m_quads.empty());
    long inked = 0;
    for (const auto &quad : m_quads) {
        for (LONG y = quad.screen.top; y < quad.screen.bottom; ++y) {
            for (LONG x = quad.screen.left; x < quad.screen.right; ++x) {
                const std::uint8_t a =
                    m_atlas->Coverage()[(quad.atlas.top + y - quad.screen.top) * m_atlas->Width() +
                                        quad.atlas.left + x - quad.screen.left];
                std::uint8_t *p = &picture.pixels[(y * kWidth + x) * 4];
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<std::uint8_t>(p[c] + (255 - p[c]) * a / 255);
                inked += a > 128;
            }
        }
    }
    EXPECT_GT(inked, 500);
    // Pixels stay within the box, around its middle row.
    for (const auto &quad : m_quads) {
        EXPECT_GE(quad.screen.left, box.left);
        EXPECT_LE(quad.screen.right, box.right);
        EXPECT_GE(quad.screen.top, 25);
        EXPECT_LE(quad.screen.bottom, 55);
    }

    test_support::KeepFrame(picture, "text_line");
}

} // namespace
