// Feeds arbitrary bytes to the bitmap font as its width table (a file kept in memory), then lays
// out every character code proportionally with the table it accepted: a table is refused, or
// every glyph advances by its width and stays within its cell row.
#include "game/dh_fast_font.h"
#include "game/font_metrics.h"
#include "platform/test_seams.h"
#include "tests/fuzz/memory_file.h"
#include "tests/fuzz/quiet_traces.h"

#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzzing::QuietTraces();
    static fuzzing::MemoryFile file;
    file.Fill(data, size);

    // Without a device the font loads nothing and lays text out into the caller's vertices.
    dhFastFont font(nullptr, nullptr, nullptr);
    BYTE before[256];
    std::memcpy(before, font.widths, sizeof before);
    const bool read = ReadFontMetrics(file.Path().c_str(), font.widths);
    seams::TakeDebugOutput();
    if (!read) {
        if (std::memcmp(before, font.widths, sizeof before) != 0)
            __builtin_trap();
        return 0;
    }
    if (size < 256)
        __builtin_trap();
    font.proportional = true;
    font.cellWidth = font.cellHeight = 16.0f;

    char text[dhFastFont::kMaxChars + 1] = {};
    dhFastFont::Vertex vertices[dhFastFont::kVertexCount];
    for (int start = 1; start < 256; start += dhFastFont::kMaxChars) {
        for (int i = 0; i < dhFastFont::kMaxChars; ++i)
            text[i] = static_cast<char>(start + i <= 255 ? start + i : 1);
        const int count = font.buildProportionalQuads(text, 0.0f, 0.0f, vertices);
        float left = 0.0f;
        for (int i = 0; i < count; ++i) {
            const dhFastFont::Vertex *quad = vertices + 6 * i;
            const float width = font.widths[static_cast<unsigned char>(text[i])];
            if (width > kMaxGlyphWidth || quad[0].x != left || quad[2].x != left + width ||
                !std::isfinite(quad[2].u) || quad[2].u - quad[0].u > 127.0f / 256.0f + 1e-6f)
                __builtin_trap();
            left += width;
        }
    }
    return 0;
}
