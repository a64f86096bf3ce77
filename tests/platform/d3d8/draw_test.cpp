// Buffers, vertex formats and draws on a real device: where geometry lands, which side is culled,
// what unlit vertices look like, indexed and user-memory draws, refused ranges, reference counts,
// and Reset's return to the default states.
#include "pipeline_fixture.h"

#include <cstring>
#include <vector>

using namespace pipeline_test;

namespace {

// A rectangle at depth z from (x0, y0) to (x1, y1), as two triangles clockwise on screen.
std::vector<ColourVertex> rectangle(float x0, float y0, float x1, float y1, float z, DWORD c) {
    return {{x0, y1, z, c}, {x1, y1, z, c}, {x0, y0, z, c},
            {x0, y0, z, c}, {x1, y1, z, c}, {x1, y0, z, c}};
}

IDirect3DVertexBuffer8 *makeBuffer(IDirect3DDevice8 *device, const std::vector<ColourVertex> &v,
                                   D3DPOOL pool = D3DPOOL_MANAGED) {
    IDirect3DVertexBuffer8 *vb = nullptr;
    const UINT bytes = static_cast<UINT>(v.size() * sizeof(ColourVertex));
    EXPECT_EQ(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, kColourFvf, pool, &vb), S_OK);
    BYTE *data = nullptr;
    EXPECT_EQ(vb->Lock(0, 0, &data, 0), S_OK);
    std::memcpy(data, v.data(), bytes);
    EXPECT_EQ(vb->Unlock(), S_OK);
    return vb;
}

} // namespace

TEST_F(PipelineTest, UnlitVertexColoursLandWhereTheTransformsPutThem) {
    LookAlongZ();
    ASSERT_EQ(m_device->SetRenderState(D3DRS_LIGHTING, FALSE), S_OK);
    // Left half red, upper right quarter green (world y up is screen top).
    std::vector<ColourVertex> v = rectangle(-10, -10, 0, 10, 10, 0xFFFF0000);
    const auto green = rectangle(0, 0, 10, 10, 10, 0xFF00FF00);
    v.insert(v.end(), green.begin(), green.end());
    IDirect3DVertexBuffer8 *vb = makeBuffer(m_device, v);
    Begin();
    ASSERT_EQ(m_device->SetVertexShader(kColourFvf), S_OK);
    ASSERT_EQ(m_device->SetStreamSource(0, vb, sizeof(ColourVertex)), S_OK);
    ASSERT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 4), S_OK);
    End("unlit_vertex_colours");
    EXPECT_TRUE(Near(At(16, 16), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(16, 48), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(48, 16), {0, 255, 0}, 0));
    EXPECT_TRUE(Near(At(48, 48), {0, 0, 0}, 0));
    vb->Release();
}

TEST_F(PipelineTest, CounterClockwiseTrianglesAreCulledByDefault) {
    LookAlongZ();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Clockwise on screen on the left, the same triangle wound the other way on the right.
    const ColourVertex v[6] = {{-10, 10, 10, 0xFFFFFFFF},  {-1, 10, 10, 0xFFFFFFFF},
                               {-10, -10, 10, 0xFFFFFFFF}, {1, 10, 10, 0xFFFFFFFF},
                               {1, -10, 10, 0xFFFFFFFF},   {10, 10, 10, 0xFFFFFFFF}};
    Begin();
    m_device->SetVertexShader(kColourFvf);
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(ColourVertex)), S_OK);
    End("cull_default");
    EXPECT_TRUE(Near(At(8, 8), {255, 255, 255}, 0));
    EXPECT_TRUE(Near(At(40, 8), {0, 0, 0}, 0));

    ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW), S_OK);
    Begin();
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(ColourVertex));
    End("cull_clockwise");
    EXPECT_TRUE(Near(At(8, 8), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(40, 8), {255, 255, 255}, 0));
}

TEST_F(PipelineTest, UnlitVerticesWithoutColourAreOpaqueWhiteNotTheMaterial) {
    LookAlongZ();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DMATERIAL8 red{};
    red.Diffuse = red.Ambient = {1, 0, 0, 1};
    ASSERT_EQ(m_device->SetMaterial(&red), S_OK);
    const float v[6][3] = {{-10, 10, 10},  {10, 10, 10}, {-10, -10, 10},
                           {-10, -10, 10}, {10, 10, 10}, {10, -10, 10}};
    Begin();
    ASSERT_EQ(m_device->SetVertexShader(D3DFVF_XYZ), S_OK);
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, 12), S_OK);
    End("unlit_white");
    EXPECT_TRUE(Near(At(32, 32), {255, 255, 255}, 0));
}

TEST_F(PipelineTest, IndexedDrawsHonourStartIndexAndBaseVertex) {
    LookAlongZ();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Vertices 0..3 are a decoy; the blue quad starts at vertex 4.
    std::vector<ColourVertex> v = {{-10, 10, 10, 0xFFFF0000},  {10, 10, 10, 0xFFFF0000},
                                   {-10, -10, 10, 0xFFFF0000}, {10, -10, 10, 0xFFFF0000},
                                   {0, 10, 10, 0xFF0000FF},    {10, 10, 10, 0xFF0000FF},
                                   {0, -10, 10, 0xFF0000FF},   {10, -10, 10, 0xFF0000FF}};
    IDirect3DVertexBuffer8 *vb = makeBuffer(m_device, v);
    IDirect3DIndexBuffer8 *ib = nullptr;
    ASSERT_EQ(m_device->CreateIndexBuffer(18, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), S_OK);
    const std::uint16_t indices[9] = {9, 9, 9, 0, 1, 2, 2, 1, 3}; // first three are skipped
    BYTE *data = nullptr;
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), S_OK);
    std::memcpy(data, indices, sizeof indices);
    ASSERT_EQ(ib->Unlock(), S_OK);
    Begin();
    m_device->SetVertexShader(kColourFvf);
    m_device->SetStreamSource(0, vb, sizeof(ColourVertex));
    ASSERT_EQ(m_device->SetIndices(ib, 4), S_OK);
    ASSERT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 2), S_OK);
    // Index 9 + base 4 is past the stream: refused before anything is read.
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3DERR_INVALIDCALL);
    End("indexed");
    EXPECT_TRUE(Near(At(16, 32), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(48, 32), {0, 0, 255}, 0));

    const std::uint16_t up[6] = {0, 1, 2, 2, 1, 3};
    Begin();
    ASSERT_EQ(m_device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, up, D3DFMT_INDEX16,
                                               v.data(), sizeof(ColourVertex)),
              S_OK);
    End("indexed_user_memory");
    EXPECT_TRUE(Near(At(16, 32), {255, 0, 0}, 0));
    // A user-memory draw leaves no stream or indices bound.
    EXPECT_EQ(m_device->BeginScene(), S_OK);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->EndScene(), S_OK);
    ib->Release();
    vb->Release();
}

TEST_F(PipelineTest, DrawsOutsideTheirBuffersOrScenesAreRefused) {
    LookAlongZ();
    IDirect3DVertexBuffer8 *vb = makeBuffer(m_device, rectangle(-1, -1, 1, 1, 10, 0xFFFFFFFF));
    m_device->SetVertexShader(kColourFvf);
    m_device->SetStreamSource(0, vb, sizeof(ColourVertex));
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL); // no scene
    Begin();
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), S_OK);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0), S_OK); // nothing to draw
    EXPECT_EQ(m_device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), 0, 1), D3DERR_INVALIDCALL);
    BYTE *data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), S_OK);
    EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL); // already locked
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);
    ASSERT_EQ(vb->Unlock(), S_OK);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Lock(100, 100, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(m_device->EndScene(), S_OK);

    // Formats, states and values Direct3D 8 does not define.
    EXPECT_EQ(m_device->SetVertexShader(D3DFVF_NORMAL), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_NORMAL), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(11), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetRenderState(D3DRS_SRCBLEND, 14), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTextureStageState(0, D3DTSS_COLOROP, 27), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTextureStageState(0, D3DTSS_COLORARG1, 6), D3DERR_INVALIDCALL);
    const D3DMATRIX id = Identity();
    EXPECT_EQ(m_device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(4), &id),
              D3DERR_INVALIDCALL);
    D3DLIGHT8 light{};
    light.Type = static_cast<D3DLIGHTTYPE>(4);
    EXPECT_EQ(m_device->SetLight(0, &light), D3DERR_INVALIDCALL);
    DWORD value = 0;
    EXPECT_EQ(m_device->GetRenderState(D3DRS_SRCBLEND, &value), S_OK);
    EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_ONE)); // refused values left the state alone
    IDirect3DVertexBuffer8 *none = reinterpret_cast<IDirect3DVertexBuffer8 *>(1);
    EXPECT_EQ(m_device->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &none), D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    vb->Release();
}

TEST_F(PipelineTest, ResourcesCountOnTheDeviceExactlyAndBindingsDoNot) {
    IDirect3DVertexBuffer8 *vb = makeBuffer(m_device, rectangle(-1, -1, 1, 1, 10, 0));
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    EXPECT_EQ(m_device->AddRef(), 4u); // the program's, the buffer's and the texture's
    EXPECT_EQ(m_device->Release(), 3u);
    m_device->SetStreamSource(0, vb, sizeof(ColourVertex));
    m_device->SetTexture(0, texture);
    IDirect3DSurface8 *level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), S_OK);
    // Released while bound: they go at once, and their bindings with them.
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(texture->Release(), 1u); // the level surface still holds the texture
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(level->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(level->Release(), 0u);
    EXPECT_EQ(m_device->AddRef(), 2u);
    EXPECT_EQ(m_device->Release(), 1u);
    LookAlongZ();
    Begin();
    m_device->SetVertexShader(kColourFvf);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);
    m_device->EndScene();
}

TEST_F(PipelineTest, ResetRefusesWhileDefaultPoolResourcesLiveAndRestoresDefaults) {
    IDirect3DVertexBuffer8 *vb = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(11544, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kScreenFvf,
                                           D3DPOOL_DEFAULT, &vb),
              S_OK);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetRenderState(D3DRS_ZBIAS, 16);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {0, 0, 1};
    light.Range = 1000;
    m_device->SetLight(2, &light);
    m_device->LightEnable(2, TRUE);
    D3DMATRIX scaled = Identity();
    scaled._22 = 0.5f;
    m_device->SetTransform(D3DTS_TEXTURE0, &scaled);

    D3DPRESENT_PARAMETERS pp = Presentation();
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_INVALIDCALL);
    vb->Release();
    ASSERT_EQ(m_device->Reset(&pp), S_OK);

    DWORD value = 0;
    m_device->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, 1u);
    m_device->GetRenderState(D3DRS_ZBIAS, &value);
    EXPECT_EQ(value, 0u);
    m_device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, 1u);
    m_device->GetRenderState(D3DRS_TEXTUREFACTOR, &value);
    EXPECT_EQ(value, 0xFFFFFFFFu);
    m_device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_DISABLE));
    m_device->GetTextureStageState(1, D3DTSS_TEXCOORDINDEX, &value);
    EXPECT_EQ(value, 1u);
    m_device->GetTextureStageState(0, D3DTSS_ALPHAOP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_SELECTARG1));
    BOOL enabled = TRUE;
    EXPECT_EQ(m_device->GetLightEnable(2, &enabled), D3DERR_INVALIDCALL); // lights forgotten
    D3DMATRIX m{};
    m_device->GetTransform(D3DTS_TEXTURE0, &m);
    EXPECT_EQ(m._22, 1.0f);
    D3DVIEWPORT8 vp{};
    m_device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, kWidth);
    EXPECT_EQ(vp.MaxZ, 1.0f);
}

TEST_F(PipelineTest, SettingALightLeavesItOffAndEnablingAnUnsetLightGivesTheDefault) {
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_POINT;
    light.Range = 10;
    light.Attenuation0 = 1;
    ASSERT_EQ(m_device->SetLight(0, &light), S_OK);
    BOOL enabled = TRUE;
    ASSERT_EQ(m_device->GetLightEnable(0, &enabled), S_OK);
    EXPECT_FALSE(enabled);
    ASSERT_EQ(m_device->LightEnable(5, TRUE), S_OK);
    D3DLIGHT8 got{};
    ASSERT_EQ(m_device->GetLight(5, &got), S_OK);
    EXPECT_EQ(got.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(got.Direction.z, 1.0f);
    EXPECT_EQ(got.Diffuse.r, 1.0f);
}

TEST_F(PipelineTest, StripsFansAndLinesUseTheirOwnVertexCounts) {
    LookAlongZ();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetVertexShader(kColourFvf);
    // A strip of two triangles over the left half, a fan of two over the right half.
    const ColourVertex strip[4] = {{-10, 10, 10, 0xFFFF0000},
                                   {0, 10, 10, 0xFFFF0000},
                                   {-10, -10, 10, 0xFFFF0000},
                                   {0, -10, 10, 0xFFFF0000}};
    const ColourVertex fan[4] = {{0, 10, 10, 0xFF0000FF},
                                 {10, 10, 10, 0xFF0000FF},
                                 {10, -10, 10, 0xFF0000FF},
                                 {0, -10, 10, 0xFF0000FF}};
    const ColourVertex line[2] = {{-10, 0.05f, 10, 0xFF00FF00}, {10, 0.05f, 10, 0xFF00FF00}};
    Begin();
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(ColourVertex)), S_OK);
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(ColourVertex)), S_OK);
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(ColourVertex)), S_OK);
    End("strip_fan_line");
    EXPECT_TRUE(Near(At(8, 56), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(30, 8), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(34, 56), {0, 0, 255}, 0));
    EXPECT_TRUE(Near(At(60, 8), {0, 0, 255}, 0));
    int green = 0;
    for (int y = 28; y < 36; ++y)
        green += At(20, y).g == 255 ? 1 : 0;
    EXPECT_EQ(green, 1); // the line is one pixel wide
}
