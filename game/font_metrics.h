// The bitmap font's width table: 256 bytes, the width in pixels (0 to 127) of each character's
// glyph. Read apart from the font so that the reader can be checked on its own.
#pragma once

#include "platform/win32/types.h"

// The largest glyph width a table may give.
constexpr BYTE kMaxGlyphWidth = 127;

// Reads the table at `path` into `widths`; true only when it is whole and every width is in
// range. A missing, short or out-of-range table says so on the debug output and leaves `widths`
// as it was.
bool ReadFontMetrics(const char *path, BYTE (&widths)[256]);
