// Text layout as GDI draws it: whole pixels, advances without kerning, lines one cell apart.
#include "platform/d3dx/text_layout.h"

#include "platform/win32/text_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace fonts {
namespace {

std::u16string decode(LPCSTR text, INT count) {
    const std::size_t length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
    if (length == 0)
        return {};
    std::u16string wide(length, u'\0');
    const int converted = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length),
                                              wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(std::max(converted, 0)));
    return wide;
}

// Lines at CR, LF or CR LF; a single-line call keeps them in its one line.
std::vector<std::u16string> splitLines(const std::u16string &text, bool singleLine) {
    std::vector<std::u16string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (!singleLine && (c == u'\r' || c == u'\n')) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            lines.emplace_back();
            continue;
        }
        lines.back().push_back(c);
    }
    return lines;
}

// Control characters take no room and show nothing.
bool isShown(char16_t c) {
    return c >= 0x20;
}

constexpr std::int64_t kLongMin = std::numeric_limits<LONG>::min();
constexpr std::int64_t kLongMax = std::numeric_limits<LONG>::max();

LONG clampLong(std::int64_t value) {
    return static_cast<LONG>(std::clamp(value, kLongMin, kLongMax));
}

std::int64_t lineWidth(GlyphAtlas &atlas, const std::u16string &line) {
    std::int64_t width = 0;
    for (const char16_t c : line)
        if (isShown(c))
            width += atlas.Glyph(c).advance;
    return width;
}

// The part of `quad` inside `clip`, or false when none is.
bool clipQuad(const RECT &clip, GlyphQuad *quad) {
    const LONG left = std::max(quad->screen.left, clip.left);
    const LONG top = std::max(quad->screen.top, clip.top);
    const LONG right = std::min(quad->screen.right, clip.right);
    const LONG bottom = std::min(quad->screen.bottom, clip.bottom);
    if (left >= right || top >= bottom)
        return false;
    quad->atlas.left += left - quad->screen.left;
    quad->atlas.top += top - quad->screen.top;
    quad->atlas.right -= quad->screen.right - right;
    quad->atlas.bottom -= quad->screen.bottom - bottom;
    quad->screen = {left, top, right, bottom};
    return true;
}

} // namespace

int LayoutText(GlyphAtlas &atlas, LPCSTR text, INT count, RECT *rect, DWORD format,
               std::vector<GlyphQuad> *quads) {
    if (quads)
        quads->clear();
    if (!text || !rect)
        return 0;
    const std::u16string wide = decode(text, count);
    if (wide.empty())
        return 0;

    // Positions are worked out in 64 bits: a rectangle near the ends of the 32-bit range, or a
    // very long text, must not wrap around into some other place on the screen.
    const FontFace &face = atlas.Face();
    const std::vector<std::u16string> lines = splitLines(wide, (format & DT_SINGLELINE) != 0);
    std::vector<std::int64_t> widths;
    std::int64_t widest = 0;
    for (const auto &line : lines) {
        widths.push_back(lineWidth(atlas, line));
        widest = std::max(widest, widths.back());
    }
    const std::int64_t lineHeight = face.LineHeight();
    const std::int64_t textHeight = lineHeight * static_cast<std::int64_t>(lines.size());
    const std::int64_t left = rect->left, top0 = rect->top, right = rect->right,
                       bottom = rect->bottom;

    if (format & DT_CALCRECT) {
        rect->right = clampLong(left + widest);
        rect->bottom = clampLong(top0 + textHeight);
        return clampLong(textHeight);
    }

    std::int64_t top = top0;
    if (format & DT_BOTTOM)
        top = bottom - textHeight;
    else if (format & DT_VCENTER)
        top = top0 + (bottom - top0 - textHeight) / 2;

    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::int64_t x = left;
        if (format & DT_RIGHT)
            x = right - widths[i];
        else if (format & DT_CENTER)
            x = left + (right - left - widths[i]) / 2;
        const std::int64_t baseline =
            top + static_cast<std::int64_t>(i) * lineHeight + face.Ascent();
        for (const char16_t c : lines[i]) {
            if (!isShown(c))
                continue;
            const AtlasGlyph &glyph = atlas.Glyph(c);
            const LONG glyphWidth = glyph.atlas.right - glyph.atlas.left;
            const LONG glyphHeight = glyph.atlas.bottom - glyph.atlas.top;
            const std::int64_t glyphLeft = x + glyph.left;
            const std::int64_t glyphTop = baseline - glyph.top;
            // A glyph beyond what a RECT can hold cannot be on any screen.
            const bool representable = glyphLeft >= kLongMin && glyphTop >= kLongMin &&
                                       glyphLeft + glyphWidth <= kLongMax &&
                                       glyphTop + glyphHeight <= kLongMax;
            if (quads && glyphWidth > 0 && glyphHeight > 0 && representable) {
                GlyphQuad quad;
                quad.screen.left = static_cast<LONG>(glyphLeft);
                quad.screen.top = static_cast<LONG>(glyphTop);
                quad.screen.right = quad.screen.left + glyphWidth;
                quad.screen.bottom = quad.screen.top + glyphHeight;
                quad.atlas = glyph.atlas;
                if ((format & DT_NOCLIP) || clipQuad(*rect, &quad))
                    quads->push_back(quad);
            }
            x += glyph.advance;
        }
    }
    if (format & (DT_VCENTER | DT_BOTTOM))
        return clampLong(top - top0 + textHeight);
    return clampLong(textHeight);
}

} // namespace fonts
