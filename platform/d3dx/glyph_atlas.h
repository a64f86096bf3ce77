// Rendered characters packed on shelves into one 8-bit coverage picture that a text font uploads
// as a texture; each character is rendered once.
#pragma once

#include "platform/d3dx/font_face.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace fonts {

// Where a character lies in the atlas and how it sits on the pen.
struct AtlasGlyph {
    RECT atlas{}; // empty for a character with no pixels (a space) or no room left
    int left = 0;
    int top = 0;
    int advance = 0;
};

class GlyphAtlas {
public:
    static constexpr int kWidth = 512;
    static constexpr int kMaxHeight = 4096;

    explicit GlyphAtlas(FontFace &face) : m_face(face) {}

    // The character, rendered and packed on first use.
    const AtlasGlyph &Glyph(char32_t character);

    FontFace &Face() const { return m_face; }
    int Width() const { return kWidth; }
    int Height() const { return m_height; }
    // Coverage, Width() x Height(), rows top first.
    const std::vector<std::uint8_t> &Coverage() const { return m_coverage; }
    // The part of the picture drawn since the last ClearChanged (empty when none), so that an
    // uploaded copy is brought up to date by that part alone.
    const RECT &Changed() const { return m_changed; }
    void ClearChanged() { m_changed = RECT{}; }

private:
    bool place(int width, int height, RECT *where);
    void markChanged(const RECT &rect);

    FontFace &m_face;
    std::unordered_map<char32_t, AtlasGlyph> m_glyphs;
    std::vector<std::uint8_t> m_coverage;
    int m_height = 0;
    int m_shelfX = 0;
    int m_shelfY = 0;
    int m_shelfHeight = 0;
    RECT m_changed{};
};

} // namespace fonts
