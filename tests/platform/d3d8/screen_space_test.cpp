// Pre-transformed vertices land on exact pixels (integer coordinates are pixel centres), texels
// map one to one onto pixels the usual way, and a 16-bit back buffer draws the same scenes.
#include "pipeline_fixture.h"

#include <cstring>

using namespace pipeline_test;

namespace {

// A screen rectangle from (x0, y0) to (x1, y1) with texture coordinates 0..1, as a list.
void screenQuad(ScreenVertex (&v)[6], float x0, float y0, float x1, float y1, DWORD colour) {
    const ScreenVertex a{x0, y0, 0, 1, colour, 0, 0}, b{x1, y0, 0, 1, colour, 1, 0},
        c{x0, y1, 0, 1, colour, 0, 1}, d{x1, y1, 0, 1, colour, 1, 1};
    v[0] = a;
    v[1] = b;
    v[2] = c;
    v[3] = c;
    v[4] = b;
    v[5] = d;
}

} // namespace

TEST_F(PipelineTest, PretransformedQuadsCoverExactlyTheirPixels) {
    m_device->SetVertexShader(kScreenFvf);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    // Transforms and lighting do not touch screen vertices.
    D3DMATRIX squash = Identity();
    squash._11 = 0.1f;
    m_device->SetTransform(D3DTS_WORLD, &squash);
    ScreenVertex v[6];
    screenQuad(v, 10, 10, 20, 20, 0xFFFFFFFF);
    Begin();
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(ScreenVertex)), S_OK);
    End("screen_quad_edges");
    EXPECT_TRUE(Near(At(10, 10), {255, 255, 255}, 0));
    EXPECT_TRUE(Near(At(19, 19), {255, 255, 255}, 0));
    EXPECT_TRUE(Near(At(9, 10), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(10, 9), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(20, 19), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(19, 20), {0, 0, 0}, 0));
}

TEST_F(PipelineTest, TextQuadTexelsLandOnExactPixels) {
    // A 4x1 glyph strip: red, green, blue, white texels, with alpha as a font would carry.
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(4, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    const DWORD texels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    std::memcpy(locked.pBits, texels, sizeof texels);
    ASSERT_EQ(texture->UnlockRect(0), S_OK);
    // The font's states: texture times factor, blended by alpha.
    m_device->SetTexture(0, texture);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_TEX1);
    // Texel i's centre sits on pixel 10 + i when the quad starts half a pixel before it.
    struct {
        float x, y, z, rhw, u, v;
    } v[6] = {{9.5f, 4.5f, 0, 1, 0, 0}, {13.5f, 4.5f, 0, 1, 1, 0}, {9.5f, 8.5f, 0, 1, 0, 1},
              {9.5f, 8.5f, 0, 1, 0, 1}, {13.5f, 4.5f, 0, 1, 1, 0}, {13.5f, 8.5f, 0, 1, 1, 1}};
    Begin();
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, 24), S_OK);
    End("text_texels");
    EXPECT_TRUE(Near(At(9, 6), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(10, 6), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(11, 6), {0, 255, 0}, 0));
    EXPECT_TRUE(Near(At(12, 6), {0, 0, 255}, 0));
    EXPECT_TRUE(Near(At(13, 6), {255, 255, 255}, 0));
    EXPECT_TRUE(Near(At(14, 6), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(10, 4), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(10, 5), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(10, 8), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(10, 9), {0, 0, 0}, 0));
    texture->Release();
}

TEST_F(PipelineTest, SixteenBitBackBufferDrawsTheSameScene) {
    // A desktop in 16-bit colour, so that a window gets a 16-bit back buffer.
    m_device->Release();
    m_device = nullptr;
    m_d3d->Release();
    d3d8::AdapterInfo adapter = seams::StandardD3D8Adapter();
    adapter.desktop.Format = D3DFMT_R5G6B5;
    seams::OverrideD3D8Adapters({adapter});
    m_d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(m_d3d, nullptr);
    ASSERT_EQ(Create(D3DFMT_R5G6B5), S_OK);
    IDirect3DSurface8 *back = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), S_OK);
    D3DSURFACE_DESC desc{};
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
    back->Release();

    LookAlongZ();
    m_device->SetRenderState(D3DRS_AMBIENT, 0x000F0F0F);
    D3DMATERIAL8 material{};
    material.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    material.Ambient = {1, 1, 1, 1};
    m_device->SetMaterial(&material);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    light.Direction = {0.0f, -0.6f, 0.8f};
    light.Range = 1000;
    m_device->SetLight(0, &light);
    m_device->LightEnable(0, TRUE);
    struct {
        float x, y, z, nx, ny, nz;
    } v[6] = {{-20, 20, 10, 0, 0, -1},  {20, 20, 10, 0, 0, -1}, {-20, -20, 10, 0, 0, -1},
              {-20, -20, 10, 0, 0, -1}, {20, 20, 10, 0, 0, -1}, {20, -20, 10, 0, 0, -1}};
    m_device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
    Begin();
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, 24), S_OK);
    End("sixteen_bit_lit");
    // (15 + 204, 15 + 102, 15 + 51) within what 5 and 6 bits keep.
    EXPECT_TRUE(Near(At(32, 32), {219, 117, 66}, 9));
}
