// Font files found at run time and read with FreeType.
#include "platform/d3dx/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <system_error>

namespace fonts {
namespace {

// Heights beyond this are refused rather than rendered into glyphs of megabytes.
constexpr double kMaxEmPixels = 1024.0;
// What a record of height 0 gets: GDI's "some default height".
constexpr double kDefaultEmPixels = 12.0;
constexpr LONG kBoldFrom = 600;

struct Family {
    const char *regular;
    const char *bold;
};
constexpr Family kLiberationSans = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"};
constexpr Family kDejaVuSans = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"};

std::filesystem::path findFile(const std::filesystem::path &root, const char *name) {
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(
        root, std::filesystem::directory_options::skip_permission_denied, ec);
    for (; !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->path().filename() == name && it->is_regular_file(ec))
            return it->path();
    }
    return {};
}

} // namespace

struct FontFace::Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Library() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

std::filesystem::path FindFaceFile(const std::string &faceName, LONG weight,
                                   const std::filesystem::path &root, std::string *error) {
    const bool arial = strcasecmp(faceName.c_str(), "Arial") == 0;
    const bool bold = weight >= kBoldFrom;
    const Family &first = arial ? kLiberationSans : kDejaVuSans;
    const Family &second = arial ? kDejaVuSans : kLiberationSans;
    const std::array<const char *, 4> candidates = {bold ? first.bold : first.regular,
                                                    bold ? second.bold : second.regular,
                                                    first.regular, second.regular};
    for (const char *name : candidates) {
        std::filesystem::path found = findFile(root, name);
        if (!found.empty())
            return found;
    }
    if (error)
        *error = "no Liberation Sans or DejaVu Sans font under " + root.string();
    return {};
}

std::unique_ptr<FontFace> FontFace::Open(const LOGFONTA &font, std::string *error,
                                         const std::filesystem::path &root) {
    auto fail = [&](const std::string &why) -> std::unique_ptr<FontFace> {
        if (error)
            *error = why;
        return nullptr;
    };
    // The record's name may fill its whole field without a terminator.
    const std::string faceName(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    const std::filesystem::path file = FindFaceFile(faceName, font.lfWeight, root, error);
    if (file.empty())
        return nullptr;

    std::unique_ptr<FontFace> face(new FontFace);
    face->m_file = file;
    face->m_library = std::make_unique<Library>();
    Library &ft = *face->m_library;
    if (FT_Init_FreeType(&ft.library) != 0)
        return fail("FreeType did not start");
    if (FT_New_Face(ft.library, file.c_str(), 0, &ft.face) != 0 || !FT_IS_SCALABLE(ft.face))
        return fail("cannot read the font file " + file.string());

    // GDI measures a cell by the font's Windows ascent and descent; other fonts by their own.
    double ascentUnits = ft.face->ascender;
    double descentUnits = -ft.face->descender;
    if (const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(ft.face, FT_SFNT_OS2));
        os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
    }
    const double unitsPerEm = ft.face->units_per_EM;
    if (unitsPerEm <= 0 || ascentUnits + descentUnits <= 0)
        return fail("the font file " + file.string() + " has no usable metrics");

    // Negative: the character (em) height; positive: the cell height, ascent plus descent.
    const double height = std::abs(static_cast<double>(font.lfHeight));
    double emPixels = kDefaultEmPixels;
    if (font.lfHeight < 0)
        emPixels = height;
    else if (font.lfHeight > 0)
        emPixels = height * unitsPerEm / (ascentUnits + descentUnits);
    if (emPixels > kMaxEmPixels)
        return fail("a font height of " + std::to_string(font.lfHeight) + " is too large");
    face->m_emPixels = emPixels;

    const auto em26dot6 = static_cast<FT_F26Dot6>(std::lround(emPixels * 64.0));
    if (FT_Set_Char_Size(ft.face, 0, std::max<FT_F26Dot6>(em26dot6, 1), 72, 72) != 0)
        return fail("cannot size the font file " + file.string());

    face->m_ascent = static_cast<int>(std::lround(ascentUnits * emPixels / unitsPerEm));
    face->m_descent = font.lfHeight > 0
                          ? static_cast<int>(font.lfHeight) - face->m_ascent
                          : static_cast<int>(std::lround(descentUnits * emPixels / unitsPerEm));
    return face;
}

FontFace::~FontFace() = default;

bool FontFace::Render(char32_t character, GlyphBitmap *glyph) {
    FT_Face face = m_library->face;
    if (FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap &bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0 && bitmap.width > 0)
        return false;
    glyph->width = static_cast<int>(bitmap.width);
    glyph->height = static_cast<int>(bitmap.rows);
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph->coverage.assign(static_cast<std::size_t>(glyph->width) * glyph->height, 0);
    for (int row = 0; row < glyph->height; ++row) {
        // A negative pitch stores the rows bottom first.
        const std::ptrdiff_t stride = std::abs(bitmap.pitch);
        const std::ptrdiff_t stored = bitmap.pitch < 0 ? glyph->height - 1 - row : row;
        const unsigned char *source = bitmap.buffer + stored * stride;
        std::memcpy(glyph->coverage.data() + static_cast<std::size_t>(row) * glyph->width, source,
                    static_cast<std::size_t>(glyph->width));
    }
    return true;
}

} // namespace fonts
