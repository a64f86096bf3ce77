// Shelf packing: glyphs go left to right along a shelf as tall as its tallest glyph; a full shelf
// starts a new one below, and the picture grows downward by doubling.
#include "platform/d3dx/glyph_atlas.h"

#include "platform/win32/debug_output.h"

#include <algorithm>
#include <cstring>

namespace fonts {
namespace {

// One empty pixel around each glyph keeps filtering from bleeding a neighbour in.
constexpr int kPadding = 1;

} // namespace

bool GlyphAtlas::place(int width, int height, RECT *where) {
    const int paddedWidth = width + kPadding;
    const int paddedHeight = height + kPadding;
    if (paddedWidth > kWidth)
        return false;
    if (m_shelfX + paddedWidth > kWidth) {
        m_shelfY += m_shelfHeight;
        m_shelfX = 0;
        m_shelfHeight = 0;
    }
    const int bottom = m_shelfY + std::max(m_shelfHeight, paddedHeight);
    if (bottom > kMaxHeight)
        return false;
    if (bottom > m_height) {
        int grown = std::max(m_height, 64);
        while (grown < bottom)
            grown *= 2;
        m_height = std::min(grown, kMaxHeight);
        m_coverage.resize(static_cast<std::size_t>(kWidth) * m_height, 0);
    }
    where->left = m_shelfX;
    where->top = m_shelfY;
    where->right = m_shelfX + width;
    where->bottom = m_shelfY + height;
    m_shelfX += paddedWidth;
    m_shelfHeight = std::max(m_shelfHeight, paddedHeight);
    return true;
}

void GlyphAtlas::markChanged(const RECT &rect) {
    if (m_changed.right <= m_changed.left) {
        m_changed = rect;
        return;
    }
    m_changed.left = std::min(m_changed.left, rect.left);
    m_changed.top = std::min(m_changed.top, rect.top);
    m_changed.right = std::max(m_changed.right, rect.right);
    m_changed.bottom = std::max(m_changed.bottom, rect.bottom);
}

const AtlasGlyph &GlyphAtlas::Glyph(char32_t character) {
    if (const auto it = m_glyphs.find(character); it != m_glyphs.end())
        return it->second;

    AtlasGlyph entry;
    GlyphBitmap bitmap;
    if (m_face.Render(character, &bitmap)) {
        entry.left = bitmap.left;
        entry.top = bitmap.top;
        entry.advance = bitmap.advance;
        if (bitmap.width > 0 && bitmap.height > 0) {
            if (place(bitmap.width, bitmap.height, &entry.atlas)) {
                for (int row = 0; row < bitmap.height; ++row)
                    std::memcpy(m_coverage.data() +
                                    static_cast<std::size_t>(entry.atlas.top + row) * kWidth +
                                    entry.atlas.left,
                                bitmap.coverage.data() +
                                    static_cast<std::size_t>(row) * bitmap.width,
                                static_cast<std::size_t>(bitmap.width));
                markChanged(entry.atlas);
            } else {
                OutputDebugStringA("fonts: the glyph atlas is full; a character is left out\n");
            }
        }
    }
    return m_glyphs.emplace(character, entry).first->second;
}

} // namespace fonts
