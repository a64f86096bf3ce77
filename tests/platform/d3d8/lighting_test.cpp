// Direct3D's lighting equations checked against values worked out by hand: a lit sphere under a
// directional light and a spot light, the spot's cone, range and attenuation, normals that are
// not renormalised unless asked, and vertex colours as material sources.
#include "pipeline_fixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace pipeline_test;

namespace {

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

struct LitColourVertex {
    float x, y, z;
    float nx, ny, nz;
    DWORD colour;
};

// A square facing the camera (normal towards -z) of half-size h at depth z, clockwise on screen.
std::vector<LitVertex> facingSquare(float h, float z) {
    return {{-h, h, z, 0, 0, -1},  {h, h, z, 0, 0, -1}, {-h, -h, z, 0, 0, -1},
            {-h, -h, z, 0, 0, -1}, {h, h, z, 0, 0, -1}, {h, -h, z, 0, 0, -1}};
}

// A sphere of radius r at (0, 0, z) with its poles on the z axis, as a triangle list.
std::vector<LitVertex> sphere(float r, float z, int slices, int stacks) {
    std::vector<LitVertex> v;
    auto point = [&](int i, int j) {
        const float theta = 3.14159265f * static_cast<float>(j) / static_cast<float>(stacks);
        const float phi = 2.0f * 3.14159265f * static_cast<float>(i) / static_cast<float>(slices);
        const float nx = std::sin(theta) * std::cos(phi), ny = std::sin(theta) * std::sin(phi),
                    nz = -std::cos(theta);
        return LitVertex{r * nx, r * ny, z + r * nz, nx, ny, nz};
    };
    for (int j = 0; j < stacks; ++j)
        for (int i = 0; i < slices; ++i) {
            const LitVertex a = point(i, j), b = point(i + 1, j), c = point(i, j + 1),
                            d = point(i + 1, j + 1);
            v.insert(v.end(), {a, b, c, c, b, d});
        }
    return v;
}

int byte(float value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255));
}

class LightingTest : public PipelineTest {
protected:
    void SetUp() override {
        PipelineTest::SetUp();
        LookAlongZ();
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetRenderState(D3DRS_AMBIENT, 0x000F0F0F);
        D3DMATERIAL8 material{};
        material.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
        material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
        ASSERT_EQ(m_device->SetMaterial(&material), S_OK);
        ASSERT_EQ(m_device->SetVertexShader(kLitFvf), S_OK);
    }
    void Directional(DWORD index, D3DVECTOR direction) {
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 0};
        light.Direction = direction;
        light.Range = 1000;
        ASSERT_EQ(m_device->SetLight(index, &light), S_OK);
        ASSERT_EQ(m_device->LightEnable(index, TRUE), S_OK);
    }
    void Draw(const std::vector<LitVertex> &v) {
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(v.size() / 3),
                                            v.data(), sizeof(LitVertex)),
                  S_OK);
    }
};

constexpr float kAmbient = 15.0f / 255.0f;

} // namespace

TEST_F(LightingTest, DirectionalLightGivesAmbientPlusDiffuseTimesNDotL) {
    Directional(0, {0.0f, -0.6f, 0.8f}); // N.L = 0.8 for a face towards the camera
    Begin();
    Draw(facingSquare(20, 10));
    End("directional");
    EXPECT_TRUE(
        Near(At(32, 32), {byte(kAmbient + 0.8f), byte(kAmbient + 0.4f), byte(kAmbient + 0.2f)}, 1));
}

TEST_F(LightingTest, NormalsAreNotRenormalisedUnlessAsked) {
    Directional(0, {0.0f, 0.0f, 1.0f});
    // Scaled by 2, the normal comes out of the inverse transpose at half length: half the light.
    D3DMATRIX world = Identity();
    world._11 = world._22 = world._33 = 2.0f;
    m_device->SetTransform(D3DTS_WORLD, &world);
    Begin();
    Draw(facingSquare(10, 5));
    End("scaled_normals");
    EXPECT_TRUE(Near(At(32, 32),
                     {byte(kAmbient + 0.5f), byte(kAmbient + 0.25f), byte(kAmbient + 0.125f)}, 1));
    m_device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    Begin();
    Draw(facingSquare(10, 5));
    End("normalised_normals");
    EXPECT_TRUE(Near(At(32, 32),
                     {byte(kAmbient + 1.0f), byte(kAmbient + 0.5f), byte(kAmbient + 0.25f)}, 1));
}

TEST_F(LightingTest, SpotLightConeRangeAndAttenuation) {
    D3DLIGHT8 spot{};
    spot.Type = D3DLIGHT_SPOT;
    spot.Diffuse = {1, 1, 1, 1};
    spot.Position = {0, 0, 0};
    spot.Direction = {0, 0, 1};
    spot.Range = 256;
    spot.Falloff = 2.0f;
    spot.Attenuation1 = 0.1f;
    spot.Theta = 0.2f;
    spot.Phi = 1.0f;
    ASSERT_EQ(m_device->SetLight(2, &spot), S_OK);
    ASSERT_EQ(m_device->LightEnable(2, TRUE), S_OK);
    // The four corners of a square centred on the axis are lit alike, so the square is flat.
    Begin();
    Draw(facingSquare(3, 10));
    End("spot_falloff");
    const float d = std::sqrt(118.0f), rho = 10.0f / d;
    const float cosTheta = std::cos(0.1f), cosPhi = std::cos(0.5f);
    const float spotFactor = std::pow((rho - cosPhi) / (cosTheta - cosPhi), 2.0f);
    const float lit = rho /* N.L */ * (1.0f / (0.1f * d)) * spotFactor;
    EXPECT_TRUE(
        Near(At(32, 32),
             {byte(kAmbient + lit), byte(kAmbient + 0.5f * lit), byte(kAmbient + 0.25f * lit)}, 1));

    // Outside the cone and beyond the range the light gives nothing.
    Begin();
    Draw(facingSquare(30, 10)); // corners far outside phi
    End("spot_outside_cone");
    EXPECT_TRUE(Near(At(1, 1), {15, 15, 15}, 1));
    spot.Range = 9.0f;
    m_device->SetLight(2, &spot);
    Begin();
    Draw(facingSquare(3, 10));
    End("spot_out_of_range");
    EXPECT_TRUE(Near(At(32, 32), {15, 15, 15}, 1));
}

TEST_F(LightingTest, LitSphereUnderADirectionalAndASpotLight) {
    Directional(0, {0.0f, 0.0f, 1.0f});
    D3DLIGHT8 spot{};
    spot.Type = D3DLIGHT_SPOT;
    spot.Diffuse = {0, 0, 4, 1}; // strong enough to show through the material's 0.25 blue
    spot.Position = {-20, 0, 10};
    spot.Direction = {1, 0, 0};
    spot.Range = 256;
    spot.Falloff = 1.0f;
    spot.Attenuation0 = 1.0f;
    spot.Theta = 0.01f;
    spot.Phi = 1.2f;
    m_device->SetLight(1, &spot);
    m_device->LightEnable(1, TRUE);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    Begin();
    Draw(sphere(6, 10, 64, 32));
    End("lit_sphere");
    // Each pixel checked against Direct3D's equations at the sphere point seen through it (the
    // sphere is finely tessellated, so Gouraud shading stays close to the exact value).
    auto expected = [&](int px) {
        const float ndc = (static_cast<float>(px) + 0.5f) / 32.0f - 1.0f;
        const float len = std::sqrt(ndc * ndc + 1.0f);
        const float dx = ndc / len, dz = 1.0f / len;
        const float along = dz * 10.0f;
        const float t = along - std::sqrt(along * along - 64.0f);
        const float p[3] = {t * dx, 0.0f, t * dz};
        const float n[3] = {p[0] / 6.0f, 0.0f, (p[2] - 10.0f) / 6.0f};
        const float directional = std::max(0.0f, -n[2]); // light along +z
        float toLight[3] = {-20.0f - p[0], 0.0f, 10.0f - p[2]};
        const float dist = std::sqrt(toLight[0] * toLight[0] + toLight[2] * toLight[2]);
        toLight[0] /= dist;
        toLight[2] /= dist;
        const float rho = -toLight[0]; // -L . (1, 0, 0)
        const float cone =
            std::clamp((rho - std::cos(0.6f)) / (std::cos(0.005f) - std::cos(0.6f)), 0.0f, 1.0f);
        const float spotNDotL = std::max(0.0f, n[0] * toLight[0] + n[2] * toLight[2]);
        const float blueLight = directional + 4.0f * spotNDotL * cone;
        return Rgb{byte(kAmbient + directional), byte(kAmbient + 0.5f * directional),
                   byte(kAmbient + 0.25f * blueLight)};
    };
    for (int px : {10, 12, 20, 32, 44, 54}) {
        SCOPED_TRACE(px);
        EXPECT_TRUE(Near(At(px, 32), expected(px), 5));
    }
    EXPECT_GT(At(10, 32).b, At(54, 32).b + 40); // the blue spot light from the left
    EXPECT_TRUE(Near(At(1, 1), {0, 0, 0}, 0));
}

TEST_F(LightingTest, VertexColoursReplaceTheMaterialDiffuseByDefault) {
    Directional(0, {0.0f, 0.0f, 1.0f});
    const DWORD green = 0xFF00FF00;
    const LitColourVertex v[6] = {{-20, 20, 10, 0, 0, -1, green},  {20, 20, 10, 0, 0, -1, green},
                                  {-20, -20, 10, 0, 0, -1, green}, {-20, -20, 10, 0, 0, -1, green},
                                  {20, 20, 10, 0, 0, -1, green},   {20, -20, 10, 0, 0, -1, green}};
    m_device->SetVertexShader(kLitFvf | D3DFVF_DIFFUSE);
    Begin();
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(LitColourVertex));
    End("vertex_colour_source");
    EXPECT_TRUE(Near(At(32, 32), {15, 255, 15}, 1));
    // With colour vertex off, the material is used again.
    m_device->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    Begin();
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(LitColourVertex));
    End("material_source");
    EXPECT_TRUE(Near(At(32, 32), {255, byte(kAmbient + 0.5f), byte(kAmbient + 0.25f)}, 1));
}

TEST_F(LightingTest, SpecularAddsTheHalfwayHighlightOnlyWhenEnabled) {
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Specular = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    light.Range = 1000;
    m_device->SetLight(0, &light);
    m_device->LightEnable(0, TRUE);
    D3DMATERIAL8 material{};
    material.Specular = {0.0f, 0.5f, 1.0f, 1.0f};
    material.Power = 4.0f;
    m_device->SetMaterial(&material);
    m_device->SetRenderState(D3DRS_AMBIENT, 0);
    Begin();
    Draw(facingSquare(3, 10));
    End("specular_off");
    EXPECT_TRUE(Near(At(32, 32), {0, 0, 0}, 0));

    m_device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    Begin();
    Draw(facingSquare(3, 10));
    End("specular_on");
    // At each corner the viewer lies along -P, the light along -z: N.H with H halfway between.
    const float len = std::sqrt(118.0f);
    const float vz = -10.0f / len, vx = -3.0f / len;
    const float hLength = std::sqrt(2 * vx * vx + (vz - 1.0f) * (vz - 1.0f));
    const float highlight = std::pow((1.0f - vz) / hLength, 4.0f);
    EXPECT_TRUE(Near(At(32, 32), {0, byte(0.5f * highlight), byte(highlight)}, 1));
}
