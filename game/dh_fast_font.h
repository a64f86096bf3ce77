// The bitmap font of the menus and the HUD: 256 glyphs in a 16 x 16 texture grid, with an optional
// width table for proportional spacing, each string drawn as one batch of screen-space quads.
#pragma once

#include "platform/d3dx/d3dx8.h"

class dhFastFont {
public:
    static constexpr int kMaxChars = 80;
    static constexpr UINT kVertexCount = 481;
    static constexpr DWORD kFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;

    struct Vertex {
        float x, y, z, rhw;
        float u, v;
    };
    static_assert(sizeof(Vertex) == 24);

    dhFastFont(IDirect3DDevice8 *device, const char *textureFile, const char *widthFile);
    ~dhFastFont();

    dhFastFont(const dhFastFont &) = delete;
    dhFastFont &operator=(const dhFastFont &) = delete;

    void load(IDirect3DDevice8 *device, const char *textureFile, const char *widthFile);
    HRESULT init(const char *widthFile);
    // Draws `text` with its first glyph's top-left corner at screen pixel (x, y), tinted by
    // `colour`; only the first 80 characters show.
    void drawText(const char *text, float x, float y, D3DCOLOR colour);
    void release();

    void setRenderStates();
    // Each fills the vertex buffer for the string and returns the number of characters laid out.
    int buildFixedQuads(const char *text, float x, float y, Vertex *vertices);
    int buildProportionalQuads(const char *text, float x, float y, Vertex *vertices);
    Vertex *buildFixedGlyph(unsigned char c, float x, float y, Vertex *vertices);
    Vertex *buildProportionalGlyph(unsigned char c, float x, float y, Vertex *vertices);
    static Vertex *setVertex(Vertex *vertex, float x, float y, float u, float v);

    IDirect3DTexture8 *texture = nullptr;
    IDirect3DDevice8 *device = nullptr;
    IDirect3DVertexBuffer8 *vertexBuffer = nullptr;
    UINT textureWidth = 0;
    UINT textureHeight = 0;
    float cellWidth = 0.0f;
    float cellHeight = 0.0f;
    BYTE widths[256] = {};
    bool ready = false;
    bool proportional = false;

private:
    Vertex *emitQuad(float x, float y, float w, float left, float right, float top,
                     Vertex *vertices);
};
