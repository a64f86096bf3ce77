// The bitmap font: loading the glyph texture and width table, and laying strings out as quads.
#include "game/dh_fast_font.h"
#include "game/font_metrics.h"
#include "game/release_interface.h"

#include <cstring>

dhFastFont::dhFastFont(IDirect3DDevice8 *device, const char *textureFile, const char *widthFile) {
    load(device, textureFile, widthFile);
}

dhFastFont::~dhFastFont() {
    release();
}

void dhFastFont::load(IDirect3DDevice8 *newDevice, const char *textureFile, const char *widthFile) {
    device = newDevice;
    if (!device || !textureFile)
        return;
    if (FAILED(D3DXCreateTextureFromFileExA(device, textureFile, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                            D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                            D3DX_DEFAULT, 0, nullptr, nullptr, &texture))) {
        texture = nullptr;
        return;
    }
    if (SUCCEEDED(init(widthFile)))
        ready = true;
}

HRESULT dhFastFont::init(const char *widthFile) {
    D3DSURFACE_DESC desc{};
    const HRESULT described = texture->GetLevelDesc(0, &desc);
    if (FAILED(described))
        return described;
    textureWidth = desc.Width;
    textureHeight = desc.Height;
    cellWidth = static_cast<float>(textureWidth) / 16.0f;
    cellHeight = static_cast<float>(textureHeight) / 16.0f;

    // Without a usable width table the font lays text out with fixed widths.
    proportional = widthFile && ReadFontMetrics(widthFile, widths);

    return device->CreateVertexBuffer(kVertexCount * sizeof(Vertex),
                                      D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kFvf, D3DPOOL_DEFAULT,
                                      &vertexBuffer);
}

void dhFastFont::setRenderStates() {
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTexture(0, texture);
    device->SetStreamSource(0, vertexBuffer, sizeof(Vertex));
    device->SetVertexShader(kFvf);
}

void dhFastFont::drawText(const char *text, float x, float y, D3DCOLOR colour) {
    if (!ready)
        return;
    setRenderStates();
    device->SetRenderState(D3DRS_TEXTUREFACTOR, colour);
    BYTE *data = nullptr;
    if (SUCCEEDED(vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD)) && data) {
        Vertex *vertices = reinterpret_cast<Vertex *>(data);
        const char *safeText = text ? text : "";
        const int count = proportional ? buildProportionalQuads(safeText, x, y, vertices)
                                       : buildFixedQuads(safeText, x, y, vertices);
        vertexBuffer->Unlock();
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(2 * count));
    }
    device->SetTexture(0, nullptr);
}

int dhFastFont::buildFixedQuads(const char *text, float x, float y, Vertex *vertices) {
    const int count = static_cast<int>(strnlen(text, kMaxChars));
    for (int i = 0; i < count; ++i)
        vertices = buildFixedGlyph(static_cast<unsigned char>(text[i]),
                                   x + static_cast<float>(i) * cellWidth, y, vertices);
    return count;
}

int dhFastFont::buildProportionalQuads(const char *text, float x, float y, Vertex *vertices) {
    const int count = static_cast<int>(strnlen(text, kMaxChars));
    float left = x;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            left += static_cast<float>(widths[static_cast<unsigned char>(text[i - 1])]);
        vertices = buildProportionalGlyph(static_cast<unsigned char>(text[i]), left, y, vertices);
    }
    return count;
}

dhFastFont::Vertex *dhFastFont::emitQuad(float x, float y, float w, float left, float right,
                                         float top, Vertex *vertices) {
    const float h = cellHeight;
    const float bottom = top + 1.0f / 16.0f;
    vertices = setVertex(vertices, x, y + h, left, bottom);
    vertices = setVertex(vertices, x, y, left, top);
    vertices = setVertex(vertices, x + w, y, right, top);
    vertices = setVertex(vertices, x, y + h, left, bottom);
    vertices = setVertex(vertices, x + w, y, right, top);
    return setVertex(vertices, x + w, y + h, right, bottom);
}

dhFastFont::Vertex *dhFastFont::buildFixedGlyph(unsigned char c, float x, float y,
                                                Vertex *vertices) {
    const float left = static_cast<float>(c % 16) / 16.0f;
    const float top = static_cast<float>(c / 16) / 16.0f;
    return emitQuad(x, y, cellWidth, left, left + 1.0f / 16.0f, top, vertices);
}

dhFastFont::Vertex *dhFastFont::buildProportionalGlyph(unsigned char c, float x, float y,
                                                       Vertex *vertices) {
    const float left = static_cast<float>(c % 16) / 16.0f;
    const float top = static_cast<float>(c / 16) / 16.0f;
    const float w = static_cast<float>(widths[c]);
    return emitQuad(x, y, w, left, left + (w / cellWidth) / 16.0f, top, vertices);
}

dhFastFont::Vertex *dhFastFont::setVertex(Vertex *vertex, float x, float y, float u, float v) {
    *vertex = Vertex{x, y, 0.0f, 1.0f, u, v};
    return vertex + 1;
}

void dhFastFont::release() {
    ReleaseInterface(texture);
    ReleaseInterface(vertexBuffer);
    ready = false;
}
