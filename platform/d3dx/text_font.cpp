// Reading the font record behind a GDI handle and opening the face that serves it.
#include "platform/d3dx/text_font.h"

#include "platform/win32/debug_output.h"

#include <string>

namespace fonts {

HRESULT TextFont::Create(HFONT handle, std::unique_ptr<TextFont> *font) {
    if (!font)
        return E_POINTER;
    font->reset();
    LOGFONTA record{};
    if (!handle || GetObjectA(handle, sizeof record, &record) != static_cast<int>(sizeof record)) {
        OutputDebugStringA("fonts: not a font handle\n");
        return E_INVALIDARG;
    }
    std::string error;
    std::unique_ptr<FontFace> face = FontFace::Open(record, &error);
    if (!face) {
        OutputDebugStringA(("fonts: " + error + "\n").c_str());
        return E_FAIL;
    }
    font->reset(new TextFont(record, std::move(face)));
    return S_OK;
}

} // namespace fonts
