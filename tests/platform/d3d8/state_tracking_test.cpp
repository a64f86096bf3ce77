// The pipeline sends OpenGL only what changed since it last drew. These draws change states in
// the orders that could leave a stale value behind: while another program drew, through a view
// change, across a Reset, around clears and presents, and after resources were released while
// bound and their names handed out again.
#include "pipeline_fixture.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace pipeline_test;

namespace {

// Many drivers hand a freed object name out again at once; Mesa does so only when asked, before
// its first context. Every device of this program then meets recycled names.
const bool g_namesReused = setenv("force_gl_names_reuse", "true", 1) == 0;

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

// A square of half-size h centred on (x, y) at depth z, facing the camera (normal towards -z).
std::vector<LitVertex> facingSquare(float x, float y, float h, float z) {
    const float nz = -1;
    return {{x - h, y + h, z, 0, 0, nz}, {x + h, y + h, z, 0, 0, nz}, {x - h, y - h, z, 0, 0, nz},
            {x - h, y - h, z, 0, 0, nz}, {x + h, y + h, z, 0, 0, nz}, {x + h, y - h, z, 0, 0, nz}};
}

// A screen rectangle from (x0, y0) to (x1, y1), clockwise on screen unless `reversed`.
std::vector<ScreenVertex> screenRect(float x0, float y0, float x1, float y1, DWORD colour,
                                     bool reversed = false) {
    const ScreenVertex a{x0, y0, 0.5f, 1, colour, 0, 0}, b{x1, y0, 0.5f, 1, colour, 1, 0},
        c{x0, y1, 0.5f, 1, colour, 0, 1}, d{x1, y1, 0.5f, 1, colour, 1, 1};
    if (reversed)
        return {a, c, b, c, d, b};
    return {a, b, c, c, b, d};
}

D3DMATERIAL8 matte(float r, float g, float b) {
    D3DMATERIAL8 material{};
    material.Diffuse = {r, g, b, 1.0f};
    return material;
}

class StateTrackingTest : public PipelineTest {
protected:
    template <class Vertex> void Draw(const std::vector<Vertex> &v) {
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(v.size() / 3),
                                            v.data(), sizeof(Vertex)),
                  S_OK);
    }
    // A white directional light shining along +z (onto squares facing the camera).
    void Light(float intensity) {
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {intensity, intensity, intensity, 0};
        light.Direction = {0, 0, 1};
        light.Range = 1000;
        ASSERT_EQ(m_device->SetLight(0, &light), S_OK);
        ASSERT_EQ(m_device->LightEnable(0, TRUE), S_OK);
    }
};

} // namespace

TEST_F(StateTrackingTest, EachProgramSeesEveryChangeMadeWhileAnotherDrew) {
    LookAlongZ();
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetVertexShader(kLitFvf);
    Light(1.0f);
    Begin();
    D3DMATERIAL8 red = matte(1, 0, 0), green = matte(0, 1, 0);
    m_device->SetMaterial(&red);
    Draw(facingSquare(-5, 5, 4, 10)); // top left, program without specular
    m_device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    m_device->SetMaterial(&green);
    Draw(facingSquare(5, 5, 4, 10)); // top right, program with specular
    Light(0.5f);                     // the same light type: the same program
    Draw(facingSquare(-5, -5, 4, 10));
    m_device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    Draw(facingSquare(5, -5, 4, 10)); // the first program again, after both changes
    End("tracking_programs");
    EXPECT_TRUE(Near(At(16, 16), {255, 0, 0}, 1));
    EXPECT_TRUE(Near(At(48, 16), {0, 255, 0}, 1));
    EXPECT_TRUE(Near(At(16, 48), {0, 128, 0}, 1));
    EXPECT_TRUE(Near(At(48, 48), {0, 128, 0}, 1));

    // Turned round, the camera looks at the lit side's back: lights follow the view.
    D3DMATRIX turned = Identity();
    turned._11 = turned._33 = -1;
    m_device->SetTransform(D3DTS_VIEW, &turned);
    std::vector<LitVertex> behind = facingSquare(0, 0, 10, -10);
    for (LitVertex &v : behind)
        v.nz = 1;
    Begin();
    Draw(behind);
    End("tracking_view_turned");
    EXPECT_TRUE(Near(At(32, 32), {0, 0, 0}, 1));
}

TEST_F(StateTrackingTest, ResetBringsBackTheDefaultsOpenGlWasLeftWithout) {
    m_device->SetVertexShader(kScreenFvf);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_COLORWRITEENABLE, 1); // red only
    D3DVIEWPORT8 corner{0, 0, 16, 16, 0.0f, 1.0f};
    m_device->SetViewport(&corner);
    Begin();
    Draw(screenRect(0, 0, 16, 16, 0xFFFFFFFF));
    ASSERT_EQ(m_device->EndScene(), S_OK);
    // A lit draw leaves a material and a light in the program's uniforms.
    m_device->SetVertexShader(kLitFvf);
    LookAlongZ();
    Light(1.0f);
    D3DMATERIAL8 white = matte(1, 1, 1);
    m_device->SetMaterial(&white);
    ASSERT_EQ(m_device->BeginScene(), S_OK);
    Draw(facingSquare(0, 0, 10, 10));
    ASSERT_EQ(m_device->EndScene(), S_OK);

    D3DPRESENT_PARAMETERS pp = Presentation();
    ASSERT_EQ(m_device->Reset(&pp), S_OK);
    Begin(0xFF000080);
    m_device->SetVertexShader(kScreenFvf);
    Draw(screenRect(4, 4, 28, 28, 0xFF008000));
    Draw(screenRect(36, 4, 60, 28, 0xFFFFFFFF, true)); // counter-clockwise: culled again
    // The same lit program: the default black material under the same light.
    m_device->SetVertexShader(kLitFvf);
    LookAlongZ();
    Light(1.0f);
    Draw(facingSquare(0, -5, 3, 10));
    End("tracking_after_reset");
    EXPECT_TRUE(Near(At(16, 16), {0, 128, 0}, 0));
    EXPECT_TRUE(Near(At(48, 16), {0, 0, 128}, 0));
    EXPECT_TRUE(Near(At(32, 48), {0, 0, 0}, 0));
}

TEST_F(StateTrackingTest, ClearsAndPresentsKeepTheWriteMasksTheStatesAsk) {
    m_device->SetVertexShader(kScreenFvf);
    m_device->SetRenderState(D3DRS_COLORWRITEENABLE, 2); // green only
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Begin();
    Draw(screenRect(0, 0, 64, 64, 0xFFFFFFFF));
    ASSERT_EQ(m_device->EndScene(), S_OK);
    ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    Begin(); // the clear writes every channel and depth
    // Without depth writes the far rectangle drawn later still covers the near one.
    std::vector<ScreenVertex> near = screenRect(8, 8, 56, 56, 0xFFFFFFFF);
    std::vector<ScreenVertex> far = screenRect(8, 8, 32, 56, 0xFF000000);
    for (ScreenVertex &v : near)
        v.z = 0.2f;
    for (ScreenVertex &v : far)
        v.z = 0.8f;
    Draw(near);
    Draw(far);
    End("tracking_write_masks");
    EXPECT_TRUE(Near(At(48, 32), {0, 255, 0}, 0));
    EXPECT_TRUE(Near(At(16, 32), {0, 0, 0}, 0));
}

TEST_F(StateTrackingTest, ResourcesMadeAfterOthersWereReleasedDrawThemselves) {
    ASSERT_TRUE(g_namesReused);
    LookAlongZ();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Stage 1 multiplies by its texture; stage 0 passes the vertex colour.
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    m_device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    auto texture = [&](DWORD colour) {
        IDirect3DTexture8 *t = nullptr;
        EXPECT_EQ(m_device->CreateTexture(1, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t), S_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(t->LockRect(0, &locked, nullptr, 0), S_OK);
        std::memcpy(locked.pBits, &colour, 4);
        EXPECT_EQ(t->UnlockRect(0), S_OK);
        return t;
    };
    struct Vertex {
        float x, y, z;
        DWORD colour;
        float u, v;
    };
    // A quad over the whole view in a vertex and an index buffer.
    struct Quad {
        IDirect3DVertexBuffer8 *vertices = nullptr;
        IDirect3DIndexBuffer8 *indices = nullptr;
    };
    auto quad = [&](DWORD colour) {
        const Vertex v[4] = {{-10, 10, 10, colour, 0, 0},
                             {10, 10, 10, colour, 0, 0},
                             {-10, -10, 10, colour, 0, 0},
                             {10, -10, 10, colour, 0, 0}};
        const WORD i[6] = {0, 1, 2, 2, 1, 3};
        Quad q;
        BYTE *data = nullptr;
        EXPECT_EQ(m_device->CreateVertexBuffer(sizeof v, 0, 0, D3DPOOL_MANAGED, &q.vertices), S_OK);
        EXPECT_EQ(q.vertices->Lock(0, 0, &data, 0), S_OK);
        std::memcpy(data, v, sizeof v);
        EXPECT_EQ(q.vertices->Unlock(), S_OK);
        EXPECT_EQ(
            m_device->CreateIndexBuffer(sizeof i, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &q.indices),
            S_OK);
        EXPECT_EQ(q.indices->Lock(0, 0, &data, 0), S_OK);
        std::memcpy(data, i, sizeof i);
        EXPECT_EQ(q.indices->Unlock(), S_OK);
        m_device->SetStreamSource(0, q.vertices, sizeof(Vertex));
        m_device->SetIndices(q.indices, 0);
        return q;
    };
    m_device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    IDirect3DTexture8 *first = texture(0xFFFF0000);
    m_device->SetTexture(1, first);
    Quad firstQuad = quad(0xFFFFFFFF);
    Begin();
    ASSERT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), S_OK);
    ASSERT_EQ(m_device->EndScene(), S_OK);
    first->Release(); // all three while still bound
    firstQuad.vertices->Release();
    firstQuad.indices->Release();

    IDirect3DTexture8 *second = texture(0xFF00FF00);
    m_device->SetTexture(1, second);
    Quad secondQuad = quad(0xFF808080);
    Begin();
    ASSERT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), S_OK);
    End("tracking_recreated_resources");
    EXPECT_TRUE(Near(At(32, 32), {0, 128, 0}, 1));
    second->Release();
    secondQuad.vertices->Release();
    secondQuad.indices->Release();
}

TEST_F(StateTrackingTest, IndexRangesAreCheckedAgainOnceTheIndicesChange) {
    const ScreenVertex v[3] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                               {8, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                               {0, 8, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    IDirect3DVertexBuffer8 *vb = nullptr;
    IDirect3DIndexBuffer8 *ib = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(sizeof v, 0, kScreenFvf, D3DPOOL_MANAGED, &vb), S_OK);
    ASSERT_EQ(m_device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), S_OK);
    BYTE *data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), S_OK);
    std::memcpy(data, v, sizeof v);
    ASSERT_EQ(vb->Unlock(), S_OK);
    auto write = [&](WORD last) {
        const WORD indices[3] = {0, 1, last};
        ASSERT_EQ(ib->Lock(0, 0, &data, 0), S_OK);
        std::memcpy(data, indices, sizeof indices);
        ASSERT_EQ(ib->Unlock(), S_OK);
    };
    m_device->SetVertexShader(kScreenFvf);
    m_device->SetStreamSource(0, vb, sizeof(ScreenVertex));
    m_device->SetIndices(ib, 0);
    Begin();
    write(2);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1), S_OK);
    write(3); // one past the last vertex
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1), D3DERR_INVALIDCALL);
    write(2);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1), S_OK);
    EXPECT_EQ(m_device->EndScene(), S_OK);
    ib->Release();
    vb->Release();
}
