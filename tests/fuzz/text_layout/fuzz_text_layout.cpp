// Lays out arbitrary text in arbitrary rectangles with arbitrary format flags. Input: left, top,
// right, bottom and the flags as little-endian 32-bit values, then the text bytes.
#include "platform/d3dx/text_layout.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

fonts::GlyphAtlas *sharedAtlas() {
    static std::unique_ptr<fonts::FontFace> face = [] {
        LOGFONTA font{};
        font.lfHeight = 20;
        font.lfWeight = FW_BOLD;
        std::strcpy(font.lfFaceName, "Arial");
        return fonts::FontFace::Open(font, nullptr);
    }();
    static std::unique_ptr<fonts::GlyphAtlas> atlas =
        face ? std::make_unique<fonts::GlyphAtlas>(*face) : nullptr;
    return atlas.get();
}

std::int32_t word(const std::uint8_t *p) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, sizeof v);
    return static_cast<std::int32_t>(v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fonts::GlyphAtlas *atlas = sharedAtlas();
    if (!atlas || size < 20)
        return 0;
    RECT rect = {word(data), word(data + 4), word(data + 8), word(data + 12)};
    const RECT given = rect;
    const auto format = static_cast<DWORD>(word(data + 16));
    const auto *text = reinterpret_cast<const char *>(data + 20);
    const INT count = static_cast<INT>(size - 20);

    std::vector<fonts::GlyphQuad> quads;
    const int height = fonts::LayoutText(*atlas, text, count, &rect, format, &quads);
    // A height is never negative; an offset to the bottom of text placed above an upside-down
    // rectangle may be.
    if (height < 0 && !(format & (DT_VCENTER | DT_BOTTOM)))
        __builtin_trap();
    for (const auto &quad : quads) {
        // Every quad shows a whole, same-sized part of the atlas.
        if (quad.screen.right - quad.screen.left != quad.atlas.right - quad.atlas.left ||
            quad.screen.bottom - quad.screen.top != quad.atlas.bottom - quad.atlas.top ||
            quad.atlas.left < 0 || quad.atlas.top < 0 || quad.atlas.right > atlas->Width() ||
            quad.atlas.bottom > atlas->Height() || quad.atlas.right <= quad.atlas.left)
            __builtin_trap();
        // Clipped quads stay inside the rectangle.
        if (!(format & DT_NOCLIP) &&
            (quad.screen.left < given.left || quad.screen.top < given.top ||
             quad.screen.right > given.right || quad.screen.bottom > given.bottom))
            __builtin_trap();
    }
    return 0;
}
