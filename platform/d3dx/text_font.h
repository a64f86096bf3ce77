// The device-free half of a text font: a GDI font handle turned into a face, its glyph atlas and
// the layout of DrawTextA calls. A device-side font uploads the atlas and draws the quads.
#pragma once

#include "platform/d3dx/text_layout.h"
#include "platform/win32/results.h"

#include <memory>

namespace fonts {

class TextFont {
public:
    // From a live font handle: E_INVALIDARG for no font or a handle that is not a font, E_FAIL
    // when no font file can serve it (one trace line says why). `*font` is null on failure.
    static HRESULT Create(HFONT handle, std::unique_ptr<TextFont> *font);

    const LOGFONTA &Record() const { return m_record; }
    const FontFace &Face() const { return *m_face; }
    const GlyphAtlas &Atlas() const { return m_atlas; }
    GlyphAtlas &Atlas() { return m_atlas; }

    // As LayoutText, characters entering the atlas as they are first met.
    int Layout(LPCSTR text, INT count, RECT *rect, DWORD format, std::vector<GlyphQuad> *quads) {
        return LayoutText(m_atlas, text, count, rect, format, quads);
    }

private:
    TextFont(const LOGFONTA &record, std::unique_ptr<FontFace> face)
        : m_record(record), m_face(std::move(face)), m_atlas(*m_face) {}

    LOGFONTA m_record;
    std::unique_ptr<FontFace> m_face;
    GlyphAtlas m_atlas;
};

} // namespace fonts
