// Text rendered with FreeType from the free fonts installed with the system, into coverage masks.
#pragma once

#include "tools/mediagen/canvas.h"

#include <memory>
#include <string>

namespace mediagen {

enum class FontFace { SansBold, CondensedBold, Sans, SerifItalic };

class TextRenderer {
public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer &) = delete;
    TextRenderer &operator=(const TextRenderer &) = delete;

    bool ok() const;
    // Advance width in pixels of `text` at `pixelHeight` (em size), with extra letter spacing.
    float measure(FontFace face, const std::string &text, float pixelHeight,
                  float tracking = 0) const;
    // Pixels from the baseline up to the top of capitals.
    float capHeight(FontFace face, float pixelHeight) const;
    // Draws `text` into the mask with its pen starting at (x, baseline), coverage max-combined.
    void draw(Mask &mask, FontFace face, const std::string &text, float pixelHeight, float x,
              float baseline, float tracking = 0) const;
    // Ink box of one character: left bearing, width, top (above baseline), advance.
    struct GlyphBox {
        int left, width, top, rows;
        float advance;
    };
    GlyphBox glyph(FontFace face, char c, float pixelHeight) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace mediagen
