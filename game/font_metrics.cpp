// Reading the bitmap font's width table.
#include "game/font_metrics.h"

#include "platform/win32/debug_output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

bool ReadFontMetrics(const char *path, BYTE (&widths)[256]) {
    std::FILE *file = std::fopen(path, "rb");
    if (!file) {
        OutputDebugStringA("dhFastFont::init Error loading Font Metrics - doesn't exist\n");
        return false;
    }
    BYTE table[256] = {};
    const bool whole = std::fread(table, 1, sizeof table, file) == sizeof table;
    std::fclose(file);
    // A width past the range is not a width table's: laid out, one glyph would run on over the
    // cells after it. Such a table is as unusable as a short one.
    if (!whole || std::any_of(std::begin(table), std::end(table),
                              [](BYTE width) { return width > kMaxGlyphWidth; })) {
        OutputDebugStringA("dhFastFont::init Error loading Font Metrics\n");
        return false;
    }
    std::memcpy(widths, table, sizeof table);
    return true;
}
