// Choosing the font file for a GDI font record, and its size and glyphs at GDI heights.
#include "platform/d3dx/font_face.h"
#include "platform/d3dx/text_font.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>

namespace fs = std::filesystem;

namespace {

LOGFONTA Record(LONG height, LONG weight, const char *face) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfQuality = ANTIALIASED_QUALITY;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

std::unique_ptr<fonts::FontFace> OpenOrFail(const LOGFONTA &font) {
    std::string error;
    auto face = fonts::FontFace::Open(font, &error);
    EXPECT_NE(face, nullptr) << error;
    return face;
}

// A folder of fonts of our choosing, to see what happens when some or all are missing.
class FontFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvos-fonts-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
    }
    void TearDown() override { fs::remove_all(m_root); }
    void Install(const char *name) {
        const fs::path found = fonts::FindFaceFile(
            std::strncmp(name, "Liberation", 10) == 0 ? "Arial" : "Other",
            std::strstr(name, "Bold") ? FW_BOLD : FW_NORMAL, fonts::kSystemFontRoot, nullptr);
        ASSERT_EQ(found.filename(), name);
        fs::create_directories(m_root / "nested");
        fs::copy_file(found, m_root / "nested" / name);
    }
    fs::path m_root;
};

TEST(FontChoice, ArialIsLiberationSansAndOthersAreDejaVu) {
    std::string error;
    EXPECT_EQ(fonts::FindFaceFile("Arial", FW_BOLD, fonts::kSystemFontRoot, &error).filename(),
              "LiberationSans-Bold.ttf");
    EXPECT_EQ(fonts::FindFaceFile("ARIAL", FW_NORMAL, fonts::kSystemFontRoot, &error).filename(),
              "LiberationSans-Regular.ttf");
    EXPECT_EQ(fonts::FindFaceFile("Arial", 600, fonts::kSystemFontRoot, &error).filename(),
              "LiberationSans-Bold.ttf");
    EXPECT_EQ(fonts::FindFaceFile("Arial", 500, fonts::kSystemFontRoot, &error).filename(),
              "LiberationSans-Regular.ttf");
    EXPECT_EQ(
        fonts::FindFaceFile("Courier New", FW_BOLD, fonts::kSystemFontRoot, &error).filename(),
        "DejaVuSans-Bold.ttf");
    EXPECT_EQ(fonts::FindFaceFile("", 0, fonts::kSystemFontRoot, &error).filename(),
              "DejaVuSans.ttf");
    EXPECT_EQ(
        fonts::FindFaceFile("Arial Black", FW_NORMAL, fonts::kSystemFontRoot, &error).filename(),
        "DejaVuSans.ttf")
        << "only the exact name is Arial";
}

TEST_F(FontFolder, MissingFilesFallBackToTheOtherFamilyThenRegular) {
    Install("DejaVuSans.ttf");
    std::string error;
    EXPECT_EQ(fonts::FindFaceFile("Arial", FW_BOLD, m_root, &error).filename(), "DejaVuSans.ttf");
    Install("LiberationSans-Regular.ttf");
    EXPECT_EQ(fonts::FindFaceFile("Arial", FW_BOLD, m_root, &error).filename(),
              "LiberationSans-Regular.ttf");
    EXPECT_EQ(fonts::FindFaceFile("Tahoma", FW_BOLD, m_root, &error).filename(), "DejaVuSans.ttf");
}

TEST_F(FontFolder, NoFontsIsAClearFailure) {
    std::string error;
    EXPECT_TRUE(fonts::FindFaceFile("Arial", FW_BOLD, m_root, &error).empty());
    EXPECT_NE(error.find(m_root.string()), std::string::npos) << error;
    error.clear();
    EXPECT_EQ(fonts::FontFace::Open(Record(20, FW_BOLD, "Arial"), &error, m_root), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fonts::FontFace::Open(Record(20, FW_BOLD, "Arial"), nullptr, m_root / "absent"),
              nullptr);
}

TEST_F(FontFolder, AFileThatIsNoFontIsRefused) {
    fs::create_directories(m_root);
    std::FILE *file = std::fopen((m_root / "DejaVuSans.ttf").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("not a font at all", file);
    std::fclose(file);
    std::string error;
    EXPECT_EQ(fonts::FontFace::Open(Record(20, FW_NORMAL, "Tahoma"), &error, m_root), nullptr);
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}

TEST(FontSize, PositiveHeightIsTheCellNegativeTheCharacter) {
    const auto cell = OpenOrFail(Record(20, FW_BOLD, "Arial"));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->LineHeight(), 20);
    EXPECT_EQ(cell->Ascent(), 16);
    EXPECT_NEAR(cell->EmPixels(), 17.9, 0.1) << "the cell is about 1.12 em for this face";

    const auto character = OpenOrFail(Record(-20, FW_BOLD, "Arial"));
    ASSERT_NE(character, nullptr);
    EXPECT_DOUBLE_EQ(character->EmPixels(), 20.0);
    EXPECT_EQ(character->LineHeight(), 22);

    const auto small = OpenOrFail(Record(12, FW_BOLD, "Arial"));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->LineHeight(), 12);

    const auto fallback = OpenOrFail(Record(0, FW_NORMAL, "Arial"));
    ASSERT_NE(fallback, nullptr);
    EXPECT_GT(fallback->LineHeight(), 0);
}

TEST(FontSize, AbsurdHeightsAreRefused) {
    std::string error;
    EXPECT_EQ(
        fonts::FontFace::Open(Record(std::numeric_limits<LONG>::min(), FW_NORMAL, "Arial"), &error),
        nullptr);
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_EQ(fonts::FontFace::Open(Record(100000, FW_NORMAL, "Arial"), &error), nullptr);
}

TEST(FontSize, FaceNameFillingTheWholeFieldIsReadWithinIt) {
    LOGFONTA font = Record(12, FW_NORMAL, "");
    std::memset(font.lfFaceName, 'A', LF_FACESIZE); // no terminator
    const auto face = OpenOrFail(font);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->File().filename(), "DejaVuSans.ttf");
}

TEST(FontGlyphs, ShapesAndAdvancesMatchTheFace) {
    const auto face = OpenOrFail(Record(-20, FW_NORMAL, "Arial"));
    ASSERT_NE(face, nullptr);
    fonts::GlyphBitmap h;
    ASSERT_TRUE(face->Render(U'H', &h));
    // Capital height is 0.69 em; 'H' is 0.72 em wide and sits on the baseline.
    EXPECT_NEAR(h.top, 14, 1);
    EXPECT_NEAR(h.height, 14, 1);
    EXPECT_NEAR(h.advance, 14, 1);
    EXPECT_EQ(h.coverage.size(), static_cast<std::size_t>(h.width * h.height));
    int inked = 0;
    for (std::uint8_t c : h.coverage)
        inked += c > 128;
    EXPECT_GT(inked, 2 * h.height) << "two stems at least";

    // Figures share one width, so that scores do not jitter.
    int figureAdvance = -1;
    for (char32_t digit = U'0'; digit <= U'9'; ++digit) {
        fonts::GlyphBitmap glyph;
        ASSERT_TRUE(face->Render(digit, &glyph));
        if (figureAdvance < 0)
            figureAdvance = glyph.advance;
        EXPECT_EQ(glyph.advance, figureAdvance) << static_cast<char>(digit);
    }
    EXPECT_EQ(figureAdvance, 11);

    fonts::GlyphBitmap space;
    ASSERT_TRUE(face->Render(U' ', &space));
    EXPECT_GT(space.advance, 0);
    EXPECT_TRUE(space.coverage.empty());
}

TEST(TextFontFromHandle, GameFontsOpenAndBadHandlesFail) {
    HFONT large = CreateFontA(20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0,
                              ANTIALIASED_QUALITY, 0, "Arial");
    std::unique_ptr<fonts::TextFont> font;
    ASSERT_EQ(fonts::TextFont::Create(large, &font), S_OK);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->Face().File().filename(), "LiberationSans-Bold.ttf");
    EXPECT_EQ(font->Record().lfHeight, 20);
    RECT box = {0, 0, 0, 0};
    EXPECT_EQ(font->Layout("Go", -1, &box, DT_CALCRECT, nullptr), 20);
    EXPECT_GT(box.right, 10);
    // The font outlives its handle: it keeps a copy of the record.
    EXPECT_TRUE(DeleteObject(large));
    EXPECT_EQ(font->Layout("Go", -1, &box, DT_CALCRECT, nullptr), 20);

    EXPECT_EQ(fonts::TextFont::Create(large, &font), E_INVALIDARG) << "deleted";
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(fonts::TextFont::Create(nullptr, &font), E_INVALIDARG);
    EXPECT_EQ(fonts::TextFont::Create(nullptr, nullptr), E_POINTER);
    HFONT huge = CreateFontA(-5000, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 4, 0, "Arial");
    EXPECT_EQ(fonts::TextFont::Create(huge, &font), E_FAIL);
    EXPECT_TRUE(DeleteObject(huge));
}

} // namespace
