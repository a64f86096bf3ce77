// Blending with every factor pair the game uses, and the depth states: comparison, writes and the
// depth bias that lets coplanar geometry win.
#include "pipeline_fixture.h"

#include <vector>

using namespace pipeline_test;

namespace {

std::vector<ColourVertex> square(float h, float z, DWORD c) {
    return {{-h, h, z, c},  {h, h, z, c}, {-h, -h, z, c},
            {-h, -h, z, c}, {h, h, z, c}, {h, -h, z, c}};
}

class BlendDepthTest : public PipelineTest {
protected:
    void SetUp() override {
        PipelineTest::SetUp();
        LookAlongZ();
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetVertexShader(kColourFvf);
        // The vertex colour's alpha is what blending sees.
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    }
    void Draw(const std::vector<ColourVertex> &v) {
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(v.size() / 3),
                                            v.data(), sizeof(ColourVertex)),
                  S_OK);
    }
    // Draws `colour` over a background of `background` with the blend pair, and reads the result.
    Rgb Blend(D3DBLEND src, D3DBLEND dst, D3DCOLOR background, D3DCOLOR colour,
              const std::string &name) {
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, src);
        m_device->SetRenderState(D3DRS_DESTBLEND, dst);
        Begin(background);
        Draw(square(20, 10, colour));
        End(name);
        return At(32, 32);
    }
};

// a * b / 255 as the blender computes it.
int mul(int a, int b) {
    return (a * b + 127) / 255;
}

} // namespace

TEST_F(BlendDepthTest, EveryBlendPairTheGameUses) {
    const D3DCOLOR background = 0xFF643200; // 100, 50, 0
    // Additive colour: src * src + dst.
    EXPECT_TRUE(Near(
        Blend(D3DBLEND_SRCCOLOR, D3DBLEND_ONE, background, 0xFF646464, "blend_additive_colour"),
        {mul(100, 100) + 100, mul(100, 100) + 50, mul(100, 100)}, 2));
    // Additive alpha: src * a + dst.
    EXPECT_TRUE(
        Near(Blend(D3DBLEND_SRCALPHA, D3DBLEND_ONE, background, 0x80646464, "blend_additive_alpha"),
             {mul(100, 128) + 100, mul(100, 128) + 50, mul(100, 128)}, 2));
    // Translucent: src * a + dst * (1 - a).
    EXPECT_TRUE(Near(
        Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, background, 0x40FFFFFF, "blend_translucent"),
        {mul(255, 64) + mul(100, 191), mul(255, 64) + mul(50, 191), mul(255, 64)}, 2));
    // Darken: dst * (1 - a).
    EXPECT_TRUE(
        Near(Blend(D3DBLEND_ZERO, D3DBLEND_INVSRCALPHA, background, 0xC0FFFFFF, "blend_darken"),
             {mul(100, 63), mul(50, 63), 0}, 2));
    // Cockpit: src + dst * (1 - src).
    EXPECT_TRUE(
        Near(Blend(D3DBLEND_ONE, D3DBLEND_INVSRCCOLOR, background, 0xFF408000, "blend_cockpit"),
             {64 + mul(100, 191), 128 + mul(50, 127), 0}, 2));
    // Blending off writes the colour as it is.
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Begin(background);
    Draw(square(20, 10, 0x10204080));
    End("blend_off");
    EXPECT_TRUE(Near(At(32, 32), {0x20, 0x40, 0x80}, 0));
}

TEST_F(BlendDepthTest, DepthFunctionAndWrites) {
    Begin();
    Draw(square(20, 5, 0xFF0000FF));  // near blue
    Draw(square(20, 10, 0xFFFF0000)); // far red: hidden
    End("depth_lessequal");
    EXPECT_TRUE(Near(At(32, 32), {0, 0, 255}, 0));

    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Begin();
    Draw(square(20, 5, 0xFF0000FF));
    Draw(square(20, 10, 0xFFFF0000)); // drawn over, but leaves the depth alone
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    Draw(square(20, 20, 0xFF00FF00)); // farther than nothing written: passes
    End("depth_always_no_writes");
    EXPECT_TRUE(Near(At(32, 32), {0, 255, 0}, 0));
}

TEST_F(BlendDepthTest, SixteenBitDepthKeepsCloseSurfacesApartWithTheNearPlaneAtTheEye) {
    // Near plane 0.01, far 512: two surfaces 3 cm apart 8 units away fall on one 16-bit depth
    // value, so the farther one drawn second would show through.
    const float zn = 0.01f, zf = 512.0f;
    D3DMATRIX proj{};
    proj._11 = proj._22 = 1.0f;
    proj._33 = zf / (zf - zn);
    proj._34 = 1.0f;
    proj._43 = -zn * zf / (zf - zn);
    m_device->SetTransform(D3DTS_PROJECTION, &proj);
    Begin();
    Draw(square(20, 7.97f, 0xFF0000FF));
    Draw(square(20, 8.0f, 0xFFFF0000));
    End("depth_near_plane_precision");
    EXPECT_TRUE(Near(At(32, 32), {0, 0, 255}, 0));
}

TEST_F(BlendDepthTest, DepthBiasWinsOverCoplanarGeometryOnly) {
    // The ship, then its flame in the same plane with a stricter test: without bias it loses.
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    Begin();
    Draw(square(20, 10, 0xFFFF0000));
    Draw(square(20, 10, 0xFF00FF00));
    End("bias_none");
    EXPECT_TRUE(Near(At(32, 32), {255, 0, 0}, 0));

    Begin();
    Draw(square(20, 10, 0xFFFF0000));
    m_device->SetRenderState(D3DRS_ZBIAS, 16);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Draw(square(20, 10, 0xFF00FF00));
    // Tilted coplanar geometry too.
    const std::vector<ColourVertex> tiltedRed = {
        {-20, 20, 5, 0xFFFF0000}, {20, 20, 25, 0xFFFF0000}, {-20, -20, 5, 0xFFFF0000}};
    std::vector<ColourVertex> tiltedGreen = tiltedRed;
    for (ColourVertex &v : tiltedGreen)
        v.colour = 0xFF00FF00;
    m_device->SetRenderState(D3DRS_ZBIAS, 0);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    Draw(tiltedRed);
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    m_device->SetRenderState(D3DRS_ZBIAS, 16);
    Draw(tiltedGreen);
    End("bias_coplanar");
    EXPECT_TRUE(Near(At(40, 40), {0, 255, 0}, 0));
    EXPECT_TRUE(Near(At(10, 10), {0, 255, 0}, 0));

    // A surface clearly in front stays in front of a biased one behind it.
    m_device->SetRenderState(D3DRS_ZBIAS, 0);
    Begin();
    Draw(square(20, 9, 0xFF0000FF));
    m_device->SetRenderState(D3DRS_ZBIAS, 16);
    Draw(square(20, 10, 0xFF00FF00));
    End("bias_behind");
    EXPECT_TRUE(Near(At(32, 32), {0, 0, 255}, 0));
}
