// Cube maps sampled with camera-space reflection vectors through a three-coordinate texture
// transform, as a reflective hull is drawn: the face seen follows the reflection and the matrix.
#include "pipeline_fixture.h"

#include <cmath>
#include <cstring>

using namespace pipeline_test;

namespace {

// +x, -x, +y, -y, +z, -z faces in distinct colours.
constexpr D3DCOLOR kFaceColours[6] = {0xFFFF0000, 0xFF00FFFF, 0xFF00FF00,
                                      0xFFFF00FF, 0xFF0000FF, 0xFFFFFF00};

class ReflectionTest : public PipelineTest {
protected:
    void SetUp() override {
        PipelineTest::SetUp();
        ASSERT_EQ(m_device->CreateCubeTexture(4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &m_cube),
                  S_OK);
        for (int face = 0; face < 6; ++face) {
            D3DLOCKED_RECT locked{};
            const auto f = static_cast<D3DCUBEMAP_FACES>(face);
            ASSERT_EQ(m_cube->LockRect(f, 0, &locked, nullptr, 0), S_OK);
            for (int i = 0; i < 16; ++i)
                std::memcpy(static_cast<BYTE *>(locked.pBits) + 4 * i, &kFaceColours[face], 4);
            ASSERT_EQ(m_cube->UnlockRect(f, 0), S_OK);
        }
        LookAlongZ();
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetTexture(0, m_cube);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX,
                                       D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
        m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
        m_device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
        m_device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
        m_device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
    }
    void TearDown() override {
        if (m_cube)
            m_cube->Release();
        PipelineTest::TearDown();
    }
    // A small square facing the camera, or tilted 45 degrees about y when `tilted`.
    void DrawSquare(bool tilted) {
        const float n = tilted ? std::sqrt(0.5f) : 0.0f, nz = tilted ? -std::sqrt(0.5f) : -1.0f;
        const float v[6][6] = {{-2, 2, 10, n, 0, nz},  {2, 2, 10, n, 0, nz}, {-2, -2, 10, n, 0, nz},
                               {-2, -2, 10, n, 0, nz}, {2, 2, 10, n, 0, nz}, {2, -2, 10, n, 0, nz}};
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, 24), S_OK);
    }
    IDirect3DCubeTexture8 *m_cube = nullptr;
};

Rgb rgbOf(D3DCOLOR c) {
    return {static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF),
            static_cast<int>(c & 0xFF)};
}

} // namespace

TEST_F(ReflectionTest, ReflectionVectorPicksTheFaceBehindTheViewer) {
    // Looking along +z at a face turned to the camera, the eye ray comes straight back: -z.
    Begin();
    DrawSquare(false);
    End("reflection_facing");
    EXPECT_TRUE(Near(At(32, 32), rgbOf(kFaceColours[5]), 0));

    // A face turned 45 degrees (normal towards +x and the camera) sends the ray off along +x.
    Begin();
    DrawSquare(true);
    End("reflection_tilted");
    EXPECT_TRUE(Near(At(32, 32), rgbOf(kFaceColours[0]), 0));
}

TEST_F(ReflectionTest, TextureMatrixRotatesTheReflection) {
    // A quarter turn about y as a row-vector matrix: (0, 0, -1) becomes (-1, 0, 0).
    D3DMATRIX rotation = Identity();
    rotation._11 = 0.0f;
    rotation._13 = -1.0f;
    rotation._31 = 1.0f;
    rotation._33 = 0.0f;
    ASSERT_EQ(m_device->SetTransform(D3DTS_TEXTURE0, &rotation), S_OK);
    Begin();
    DrawSquare(false);
    End("reflection_rotated");
    EXPECT_TRUE(Near(At(32, 32), rgbOf(kFaceColours[1]), 0));
}
