// FreeType glyph rasterising. Fonts come from the system's DejaVu set; the paths are fixed so the
// output never depends on what else happens to be installed.
#include "tools/mediagen/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>

namespace mediagen {

namespace {

const char *const kFontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf",
};

// Moves `pen` by the font's kerning between the previous glyph and this one, when it has any.
void addKerning(FT_Face face, FT_UInt previous, FT_UInt index, float &pen) {
    if (previous && FT_HAS_KERNING(face)) {
        FT_Vector k;
        FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &k);
        pen += k.x / 64.0f;
    }
}

} // namespace

struct TextRenderer::Impl {
    FT_Library library = nullptr;
    FT_Face faces[4] = {};
    bool ok = false;

    FT_Face face(FontFace f, float px) const {
        FT_Face fc = faces[static_cast<int>(f)];
        FT_Set_Char_Size(fc, 0, static_cast<FT_F26Dot6>(std::lround(px * 64)), 72, 72);
        return fc;
    }
};

TextRenderer::TextRenderer() : m_impl(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&m_impl->library) != 0) {
        return;
    }
    m_impl->ok = true;
    for (int i = 0; i < 4; ++i) {
        if (FT_New_Face(m_impl->library, kFontPaths[i], 0, &m_impl->faces[i]) != 0) {
            std::fprintf(stderr, "mediagen: cannot open font %s\n", kFontPaths[i]);
            m_impl->ok = false;
        }
    }
}

TextRenderer::~TextRenderer() {
    for (auto *f : m_impl->faces) {
        if (f) {
            FT_Done_Face(f);
        }
    }
    if (m_impl->library) {
        FT_Done_FreeType(m_impl->library);
    }
}

bool TextRenderer::ok() const {
    return m_impl->ok;
}

float TextRenderer::measure(FontFace f, const std::string &text, float px, float tracking) const {
    FT_Face face = m_impl->face(f, px);
    float w = 0;
    FT_UInt previous = 0;
    for (unsigned char c : text) {
        FT_UInt index = FT_Get_Char_Index(face, c);
        addKerning(face, previous, index, w);
        FT_Load_Glyph(face, index, FT_LOAD_DEFAULT);
        w += face->glyph->advance.x / 64.0f + tracking;
        previous = index;
    }
    return text.empty() ? 0 : w - tracking;
}

float TextRenderer::capHeight(FontFace f, float px) const {
    FT_Face face = m_impl->face(f, px);
    FT_Load_Char(face, 'H', FT_LOAD_DEFAULT);
    return face->glyph->metrics.horiBearingY / 64.0f;
}

void TextRenderer::draw(Mask &mask, FontFace f, const std::string &text, float px, float x,
                        float baseline, float tracking) const {
    FT_Face face = m_impl->face(f, px);
    float pen = x;
    FT_UInt previous = 0;
    for (unsigned char c : text) {
        FT_UInt index = FT_Get_Char_Index(face, c);
        addKerning(face, previous, index, pen);
        // Sub-pixel pen position through the outline transform keeps spacing even.
        float whole = std::floor(pen);
        FT_Vector delta{static_cast<FT_Pos>(std::lround((pen - whole) * 64)), 0};
        FT_Set_Transform(face, nullptr, &delta);
        FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL);
        FT_Set_Transform(face, nullptr, nullptr);
        const FT_Bitmap &bm = face->glyph->bitmap;
        int ox = static_cast<int>(whole) + face->glyph->bitmap_left;
        int oy = static_cast<int>(std::lround(baseline)) - face->glyph->bitmap_top;
        for (unsigned r = 0; r < bm.rows; ++r) {
            for (unsigned col = 0; col < bm.width; ++col) {
                int mx = ox + static_cast<int>(col), my = oy + static_cast<int>(r);
                if (mx < 0 || my < 0 || mx >= mask.width || my >= mask.height) {
                    continue;
                }
                float v = bm.buffer[r * bm.pitch + col] / 255.0f;
                mask.at(mx, my) = std::max(mask.at(mx, my), v);
            }
        }
        pen += face->glyph->advance.x / 64.0f + tracking;
        previous = index;
    }
}

TextRenderer::GlyphBox TextRenderer::glyph(FontFace f, char c, float px) const {
    FT_Face face = m_impl->face(f, px);
    FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL);
    return {face->glyph->bitmap_left, static_cast<int>(face->glyph->bitmap.width),
            face->glyph->bitmap_top, static_cast<int>(face->glyph->bitmap.rows),
            face->glyph->advance.x / 64.0f};
}

} // namespace mediagen
