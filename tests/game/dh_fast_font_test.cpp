// The bitmap font: glyph cells, fixed and proportional layout, the width table's failures, and
// text drawn with the generated font.
#include "game/dh_fast_font.h"

#include "render_fixture.h"

#include <fstream>
#include <string>

namespace {

std::string WriteWidthTable(const std::string &name, size_t size, BYTE width) {
    const std::filesystem::path path = game_test::BinaryDir() / "test-frames" / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < size; ++i)
        out.put(static_cast<char>(i == 'W' ? 14 : width));
    return path.string();
}

int CountCalls(const std::string &text) {
    int count = 0;
    for (const std::string &call : seams::DeviceCallTexts())
        count += call == text;
    return count;
}

} // namespace

class FontTest : public game_test::RenderTest {};

TEST_F(FontTest, LoadsTheGeneratedFontProportionally) {
    seams::CaptureDebugOutput(true);
    dhFastFont font(m_device, "font.png", "font.dat");
    EXPECT_TRUE(font.ready);
    EXPECT_TRUE(font.proportional);
    EXPECT_EQ(font.textureWidth, 256u);
    EXPECT_EQ(font.cellWidth, 16.0f);
    EXPECT_EQ(font.cellHeight, 16.0f);
    EXPECT_EQ(seams::TakeDebugOutput(), "");
}

TEST_F(FontTest, FixedGlyphCellsAndAdvance) {
    dhFastFont font(m_device, "font.png", nullptr);
    ASSERT_TRUE(font.ready);
    EXPECT_FALSE(font.proportional);
    dhFastFont::Vertex v[12];
    ASSERT_EQ(font.buildFixedQuads("AB", 10.0f, 20.0f, v), 2);
    // "A" (65): column 1, row 4. Vertex order: bottom-left, top-left, top-right, bottom-left,
    // top-right, bottom-right.
    EXPECT_EQ(v[0].x, 10.0f);
    EXPECT_EQ(v[0].y, 36.0f);
    EXPECT_EQ(v[0].u, 0.0625f);
    EXPECT_EQ(v[0].v, 0.3125f);
    EXPECT_EQ(v[1].y, 20.0f);
    EXPECT_EQ(v[1].v, 0.25f);
    EXPECT_EQ(v[2].x, 26.0f);
    EXPECT_EQ(v[2].u, 0.125f);
    EXPECT_EQ(v[5].x, 26.0f);
    EXPECT_EQ(v[5].y, 36.0f);
    EXPECT_EQ(v[0].z, 0.0f);
    EXPECT_EQ(v[0].rhw, 1.0f);
    // "B" starts one cell on.
    EXPECT_EQ(v[6].x, 26.0f);
    EXPECT_EQ(v[6].u, 0.125f);
}

TEST_F(FontTest, ProportionalAdvanceIsThePreviousGlyphsWidth) {
    dhFastFont font(m_device, "font.png", WriteWidthTable("widths-256.dat", 256, 9).c_str());
    ASSERT_TRUE(font.proportional);
    dhFastFont::Vertex v[18];
    ASSERT_EQ(font.buildProportionalQuads("WAW", 5.0f, 0.0f, v), 3);
    EXPECT_EQ(v[0].x, 5.0f) << "the first glyph starts at x whatever its width";
    EXPECT_EQ(v[2].x, 19.0f) << "W is 14 wide";
    EXPECT_EQ(v[6].x, 19.0f);
    EXPECT_EQ(v[8].x, 28.0f) << "A is 9 wide";
    EXPECT_EQ(v[12].x, 28.0f);
    // The texture rectangle is as wide as the glyph: 9 of 16 texels of A's cell.
    EXPECT_FLOAT_EQ(v[8].u - v[6].u, 9.0f / 256.0f);
    // Character codes above 127 index the table as unsigned bytes.
    const char high[] = {static_cast<char>(0xE1), 'A', 0};
    ASSERT_EQ(font.buildProportionalQuads(high, 0.0f, 0.0f, v), 2);
    EXPECT_EQ(v[0].u, 1.0f / 16.0f);
    EXPECT_EQ(v[0].v, 15.0f / 16.0f);
    EXPECT_EQ(v[6].x, 9.0f);
}

TEST_F(FontTest, ShortMissingOrOutOfRangeWidthTableFallsBackToFixedLayout) {
    seams::CaptureDebugOutput(true);
    {
        dhFastFont font(m_device, "font.png", WriteWidthTable("widths-255.dat", 255, 9).c_str());
        EXPECT_TRUE(font.ready);
        EXPECT_FALSE(font.proportional);
        EXPECT_EQ(seams::TakeDebugOutput(), "dhFastFont::init Error loading Font Metrics\n");
    }
    {
        dhFastFont font(m_device, "font.png", "no-such-widths.dat");
        EXPECT_TRUE(font.ready);
        EXPECT_FALSE(font.proportional);
        EXPECT_EQ(seams::TakeDebugOutput(),
                  "dhFastFont::init Error loading Font Metrics - doesn't exist\n");
    }
    {
        // A width past 127 is no width table's; the font keeps fixed layout rather than let one
        // glyph run on over its neighbours' cells.
        dhFastFont font(m_device, "font.png", WriteWidthTable("widths-wide.dat", 256, 128).c_str());
        EXPECT_TRUE(font.ready);
        EXPECT_FALSE(font.proportional);
        EXPECT_EQ(font.widths['A'], 0) << "nothing of the refused table is kept";
        EXPECT_EQ(seams::TakeDebugOutput(), "dhFastFont::init Error loading Font Metrics\n");
    }
    {
        // A longer table is read for its first 256 bytes.
        dhFastFont font(m_device, "font.png", WriteWidthTable("widths-300.dat", 300, 9).c_str());
        EXPECT_TRUE(font.proportional);
        EXPECT_EQ(seams::TakeDebugOutput(), "");
    }
}

TEST_F(FontTest, DrawCutsLongStringsAndDrawsNothingForEmpty) {
    dhFastFont font(m_device, "font.png", "font.dat");
    ASSERT_TRUE(font.ready);
    seams::StartDeviceCallLog();
    Begin();
    font.drawText(std::string(81, 'X').c_str(), 0, 0, 0xFFFFFFFF);
    font.drawText("", 0, 0, 0xFFFFFFFF);
    font.drawText(nullptr, 0, 0, 0xFFFFFFFF);
    End("font-calls");
    const std::string list = std::to_string(static_cast<int>(D3DPT_TRIANGLELIST));
    EXPECT_EQ(CountCalls("DrawPrimitive(" + list + ", 0, 160)"), 1);
    EXPECT_EQ(CountCalls("DrawPrimitive(" + list + ", 0, 0)"), 2);
    EXPECT_EQ(CountCalls("SetTexture(0, NULL)"), 3) << "the glyph texture is unbound after each";
}

TEST_F(FontTest, MissingTextureLeavesAFontThatDrawsNothing) {
    dhFastFont font(m_device, "no-such-font.png", "font.dat");
    EXPECT_FALSE(font.ready);
    EXPECT_EQ(font.texture, nullptr);
    EXPECT_EQ(font.vertexBuffer, nullptr);
    seams::StartDeviceCallLog();
    font.drawText("NEW GAME", 0, 0, 0xFFFFFFFF);
    EXPECT_TRUE(seams::DeviceCalls().empty());
}

TEST_F(FontTest, ReleaseGivesBackTheResources) {
    dhFastFont font(m_device, "font.png", "font.dat");
    ASSERT_TRUE(font.ready);
    font.release();
    EXPECT_FALSE(font.ready);
    EXPECT_EQ(font.texture, nullptr);
    EXPECT_EQ(font.vertexBuffer, nullptr);
    font.release();
}

TEST_F(FontTest, DrawsTintedTextWhereAsked) {
    dhFastFont font(m_device, "font.png", "font.dat");
    ASSERT_TRUE(font.ready);
    Begin();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    font.drawText("NEW GAME", 40.0f, 100.0f, 0xFFFFFFFF);
    font.drawText("HALL OF FAME", 40.0f, 140.0f, 0xFFFF0000);
    End("font-text");
    int expectedWidth = 0;
    for (const char *c = "NEW GAME"; *c; ++c)
        expectedWidth += font.widths[static_cast<unsigned char>(*c)];
    // The first line is white-ish, within its cells, the second red only.
    int whiteCount = 0, redCount = 0, left = 1 << 30, right = -1, stray = 0;
    for (int y = 0; y < static_cast<int>(kHeight); ++y)
        for (int x = 0; x < static_cast<int>(kWidth); ++x) {
            const std::uint8_t *p = At(x, y);
            if (std::max({p[0], p[1], p[2]}) < 60)
                continue;
            if (y >= 100 && y < 116) {
                ++whiteCount;
                left = std::min(left, x);
                right = std::max(right, x);
            } else if (y >= 140 && y < 156) {
                ++redCount;
                EXPECT_LT(p[1], 40);
                EXPECT_LT(p[2], 40);
            } else {
                ++stray;
            }
        }
    EXPECT_GT(whiteCount, 60);
    EXPECT_GT(redCount, 60);
    EXPECT_EQ(stray, 0);
    EXPECT_GE(left, 40);
    EXPECT_LE(left, 44);
    EXPECT_LT(right, 40 + expectedWidth);
    EXPECT_GT(right, 40 + expectedWidth - 12);
}
