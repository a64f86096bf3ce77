// Where the characters of a DrawTextA call land: one quad per visible character, its screen
// rectangle and the same-sized rectangle of the glyph atlas it shows.
#pragma once

#include "platform/d3dx/glyph_atlas.h"

#include <vector>

namespace fonts {

struct GlyphQuad {
    RECT screen;
    RECT atlas;
};

// Lays out `count` bytes of `text` (-1: up to its terminating zero), ANSI code page, in `rect`
// with DT_ format flags: left, centred or right per line; top, centred or bottom for the block;
// one line or lines broken at CR/LF; clipped to the rectangle unless DT_NOCLIP. DT_CALCRECT
// places nothing and instead sets the rectangle's right and bottom to the text's extent.
// Returns the text's height (with DT_VCENTER or DT_BOTTOM, from the rectangle's top to the bottom
// of the text); 0 for no text, a null text or a null rectangle.
int LayoutText(GlyphAtlas &atlas, LPCSTR text, INT count, RECT *rect, DWORD format,
               std::vector<GlyphQuad> *quads);

} // namespace fonts
