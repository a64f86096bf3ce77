// ID3DXFont: DrawTextA lays the text out with the device-free text font, keeps the glyph atlas in
// a texture (white, coverage as alpha) and draws one pre-transformed textured quad per character
// in the call's colour, with the states it needs saved before and restored after.
#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/text_font.h"
#include "platform/win32/debug_output.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

struct FontVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kFontFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

constexpr std::array<D3DRENDERSTATETYPE, 10> kRenderStates = {
    D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND,      D3DRS_DESTBLEND, D3DRS_ALPHATESTENABLE,
    D3DRS_ZENABLE,          D3DRS_ZWRITEENABLE,  D3DRS_FOGENABLE, D3DRS_CULLMODE,
    D3DRS_LIGHTING,         D3DRS_SPECULARENABLE};

struct StageState {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
};
constexpr std::array<StageState, 12> kStageStates = {{{0, D3DTSS_COLOROP},
                                                      {0, D3DTSS_COLORARG1},
                                                      {0, D3DTSS_COLORARG2},
                                                      {0, D3DTSS_ALPHAOP},
                                                      {0, D3DTSS_ALPHAARG1},
                                                      {0, D3DTSS_ALPHAARG2},
                                                      {0, D3DTSS_MINFILTER},
                                                      {0, D3DTSS_MAGFILTER},
                                                      {0, D3DTSS_MIPFILTER},
                                                      {0, D3DTSS_TEXCOORDINDEX},
                                                      {0, D3DTSS_TEXTURETRANSFORMFLAGS},
                                                      {1, D3DTSS_COLOROP}}};

class Font final : public RefCounted<ID3DXFont> {
public:
    Font(IDirect3DDevice8 *device, std::unique_ptr<fonts::TextFont> text)
        : m_device(device), m_text(std::move(text)) {
        m_device->AddRef();
    }
    ~Font() override {
        if (m_texture)
            m_texture->Release();
        m_device->Release();
    }

    HRESULT QueryInterface(REFIID iid, void **out) override {
        return AnswerQuery(iid, {IID_ID3DXFont}, out);
    }
    HRESULT GetDevice(IDirect3DDevice8 **device) override {
        if (!device)
            return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *device = m_device;
        return S_OK;
    }

    HRESULT Begin() override {
        if (m_begun)
            return D3DERR_INVALIDCALL;
        save();
        m_begun = true;
        return S_OK;
    }

    HRESULT End() override {
        if (!m_begun)
            return D3DERR_INVALIDCALL;
        restore();
        m_begun = false;
        return S_OK;
    }

    INT DrawTextA(LPCSTR text, INT count, RECT *rect, DWORD format, D3DCOLOR colour) override {
        // A font made without a face (no font file could serve it) draws nothing.
        if (!m_text)
            return 0;
        std::vector<fonts::GlyphQuad> quads;
        const int height = m_text->Layout(text, count, rect, format, &quads);
        if ((format & DT_CALCRECT) || quads.empty())
            return height;
        if (FAILED(refreshTexture()))
            return 0;
        const bool own = !m_begun;
        if (own)
            save();
        apply();
        draw(quads, colour);
        if (own)
            restore();
        return height;
    }

private:
    // Brings the texture up to date with the atlas: a new texture filled whole when the atlas has
    // grown, else only the rectangle of the characters added since, so that a new character
    // neither reads back nor sends the rest of the atlas.
    HRESULT refreshTexture() {
        fonts::GlyphAtlas &atlas = m_text->Atlas();
        const LONG width = atlas.Width();
        const LONG height = std::max(1, atlas.Height());
        RECT part = atlas.Changed();
        if (!m_texture || m_textureHeight != static_cast<UINT>(height)) {
            if (m_texture)
                m_texture->Release();
            m_texture = nullptr;
            HRESULT hr = m_device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8,
                                                 D3DPOOL_MANAGED, &m_texture);
            if (FAILED(hr))
                return hr;
            m_textureHeight = height;
            part = RECT{0, 0, width, height};
        } else if (part.right <= part.left) {
            return S_OK;
        }
        D3DLOCKED_RECT locked{};
        HRESULT hr = m_texture->LockRect(0, &locked, &part, 0);
        if (FAILED(hr))
            return hr;
        const std::vector<std::uint8_t> &coverage = atlas.Coverage();
        for (LONG y = part.top; y < part.bottom; ++y) {
            auto *row = reinterpret_cast<std::uint32_t *>(static_cast<BYTE *>(locked.pBits) +
                                                          (y - part.top) * locked.Pitch);
            for (LONG x = part.left; x < part.right; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * width + x;
                const std::uint32_t alpha = at < coverage.size() ? coverage[at] : 0;
                row[x - part.left] = (alpha << 24) | 0x00FFFFFF;
            }
        }
        m_texture->UnlockRect(0);
        atlas.ClearChanged();
        return S_OK;
    }

    void save() {
        for (std::size_t i = 0; i < kRenderStates.size(); ++i)
            m_device->GetRenderState(kRenderStates[i], &m_savedRender[i]);
        for (std::size_t i = 0; i < kStageStates.size(); ++i)
            m_device->GetTextureStageState(kStageStates[i].stage, kStageStates[i].type,
                                           &m_savedStage[i]);
    }

    // The device has no getter for the bound texture or vertex format: the texture slot is left
    // empty rather than holding the atlas, and every draw sets its own vertex format.
    void restore() {
        for (std::size_t i = 0; i < kRenderStates.size(); ++i)
            m_device->SetRenderState(kRenderStates[i], m_savedRender[i]);
        for (std::size_t i = 0; i < kStageStates.size(); ++i)
            m_device->SetTextureStageState(kStageStates[i].stage, kStageStates[i].type,
                                           m_savedStage[i]);
        m_device->SetTexture(0, nullptr);
    }

    void apply() {
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        m_device->SetRenderState(D3DRS_FOGENABLE, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        m_device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        m_device->SetTexture(0, m_texture);
        m_device->SetVertexShader(kFontFvf);
    }

    void draw(const std::vector<fonts::GlyphQuad> &quads, D3DCOLOR colour) {
        const float width = static_cast<float>(m_text->Atlas().Width());
        const float height = static_cast<float>(m_textureHeight);
        std::vector<FontVertex> vertices;
        vertices.reserve(quads.size() * 6);
        for (const fonts::GlyphQuad &quad : quads) {
            // Pixel centres sit on whole coordinates: edges half a pixel before them.
            const float left = quad.screen.left - 0.5f, right = quad.screen.right - 0.5f;
            const float top = quad.screen.top - 0.5f, bottom = quad.screen.bottom - 0.5f;
            const float u0 = quad.atlas.left / width, u1 = quad.atlas.right / width;
            const float v0 = quad.atlas.top / height, v1 = quad.atlas.bottom / height;
            const FontVertex corners[4] = {{left, top, 0, 1, colour, u0, v0},
                                           {right, top, 0, 1, colour, u1, v0},
                                           {right, bottom, 0, 1, colour, u1, v1},
                                           {left, bottom, 0, 1, colour, u0, v1}};
            for (int index : {0, 1, 2, 0, 2, 3})
                vertices.push_back(corners[index]);
        }
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(vertices.size() / 3),
                                  vertices.data(), sizeof(FontVertex));
    }

    IDirect3DDevice8 *m_device;
    std::unique_ptr<fonts::TextFont> m_text;
    IDirect3DTexture8 *m_texture = nullptr;
    UINT m_textureHeight = 0;
    bool m_begun = false;
    std::array<DWORD, kRenderStates.size()> m_savedRender{};
    std::array<DWORD, kStageStates.size()> m_savedStage{};
};

} // namespace

HRESULT D3DXCreateFont(IDirect3DDevice8 *device, HFONT font, ID3DXFont **out) {
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (!device)
        return D3DERR_INVALIDCALL;
    std::unique_ptr<fonts::TextFont> text;
    const HRESULT hr = fonts::TextFont::Create(font, &text);
    if (hr == E_INVALIDARG)
        return hr; // not a font at all
    // A font no font file can serve still makes a font object (device resources depend on it);
    // it draws nothing, and the text font has said why.
    *out = new (std::nothrow) Font(device, FAILED(hr) ? nullptr : std::move(text));
    return *out ? S_OK : E_OUTOFMEMORY;
}
