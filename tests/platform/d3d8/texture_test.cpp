// Textures through the stage combiner on a real device: every stored format read back as the
// colour it encodes, levels and locks, two stages with the texture factor, opaque white for stages
// without a texture, and texture transforms with Direct3D's 2-D convention.
#include "pipeline_fixture.h"

#include <cstring>
#include <functional>

using namespace pipeline_test;

namespace {

struct TexturedVertex {
    float x, y, z;
    float u, v;
};
constexpr DWORD kTexturedFvf = D3DFVF_XYZ | D3DFVF_TEX1;

// The whole view at depth 10 with (u, v) from (0, 0) top-left to (1, 1) bottom-right.
const TexturedVertex kScreenQuad[6] = {{-10, 10, 10, 0, 0},  {10, 10, 10, 1, 0},
                                       {-10, -10, 10, 0, 1}, {-10, -10, 10, 0, 1},
                                       {10, 10, 10, 1, 0},   {10, -10, 10, 1, 1}};

// Fills level 0 with `texel(x, y)` written as `bytes` little-endian bytes per texel.
void fill(IDirect3DTexture8 *texture, UINT bytes, const std::function<DWORD(UINT, UINT)> &texel) {
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), S_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    for (UINT y = 0; y < desc.Height; ++y)
        for (UINT x = 0; x < desc.Width; ++x) {
            const DWORD value = texel(x, y);
            std::memcpy(static_cast<BYTE *>(locked.pBits) + y * locked.Pitch + x * bytes, &value,
                        bytes);
        }
    ASSERT_EQ(texture->UnlockRect(0), S_OK);
}

IDirect3DTexture8 *solid(IDirect3DDevice8 *device, D3DFORMAT format, UINT bytes, DWORD value) {
    IDirect3DTexture8 *texture = nullptr;
    EXPECT_EQ(device->CreateTexture(2, 2, 1, 0, format, D3DPOOL_MANAGED, &texture), S_OK);
    fill(texture, bytes, [&](UINT, UINT) { return value; });
    return texture;
}

class TextureTest : public PipelineTest {
protected:
    void SetUp() override {
        PipelineTest::SetUp();
        LookAlongZ();
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetVertexShader(kTexturedFvf);
    }
    void DrawQuad() {
        ASSERT_EQ(
            m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, kScreenQuad, sizeof(TexturedVertex)),
            S_OK);
    }
};

} // namespace

TEST_F(TextureTest, EveryFormatReadsAsTheColourItEncodes) {
    struct Case {
        D3DFORMAT format;
        UINT bytes;
        DWORD value;
        Rgb expected;
        const char *name;
    };
    const Case cases[] = {
        {D3DFMT_A8R8G8B8, 4, 0xFF336699, {0x33, 0x66, 0x99}, "a8r8g8b8"},
        {D3DFMT_X8R8G8B8, 4, 0x00336699, {0x33, 0x66, 0x99}, "x8r8g8b8"},
        {D3DFMT_R8G8B8, 3, 0x336699, {0x33, 0x66, 0x99}, "r8g8b8"},
        {D3DFMT_R5G6B5, 2, 0xF800 | (0x20 << 5), {255, 130, 0}, "r5g6b5"},
        {D3DFMT_X1R5G5B5, 2, 0x001F | (0x10 << 5), {0, 132, 255}, "x1r5g5b5"},
        {D3DFMT_A1R5G5B5, 2, 0x8000 | (0x1F << 10), {255, 0, 0}, "a1r5g5b5"},
        {D3DFMT_A4R4G4B4, 2, 0xF0F8, {0, 255, 136}, "a4r4g4b4"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DTexture8 *texture = solid(m_device, c.format, c.bytes, c.value);
        // Alpha picks between black and the texture colour, so an X format must read opaque.
        m_device->SetTexture(0, texture);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_BLENDTEXTUREALPHA);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
        m_device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x00000000);
        Begin();
        DrawQuad();
        End(std::string("format_") + c.name);
        EXPECT_TRUE(Near(At(32, 32), c.expected, 1));
        texture->Release();
    }
    IDirect3DTexture8 *texture = reinterpret_cast<IDirect3DTexture8 *>(1);
    EXPECT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(m_device->CreateTexture(0, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
}

TEST_F(TextureTest, LevelsLocksAndDescriptions) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(64, 16, 0, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture),
              S_OK);
    EXPECT_EQ(texture->GetLevelCount(), 7u); // 64x16 down to 1x1
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(5, &desc), S_OK);
    EXPECT_EQ(desc.Width, 2u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(texture->GetLevelDesc(7, &desc), D3DERR_INVALIDCALL);

    D3DLOCKED_RECT whole{}, part{};
    ASSERT_EQ(texture->LockRect(1, &whole, nullptr, 0), S_OK);
    EXPECT_EQ(whole.Pitch, 64);
    static_cast<BYTE *>(whole.pBits)[3 * 64 + 5 * 2] = 0xAB;
    EXPECT_EQ(texture->LockRect(1, &part, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    ASSERT_EQ(texture->UnlockRect(1), S_OK);
    const RECT rect{5, 3, 7, 4};
    ASSERT_EQ(texture->LockRect(1, &part, &rect, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(static_cast<BYTE *>(part.pBits)[0], 0xAB); // the rectangle's first texel
    ASSERT_EQ(texture->UnlockRect(1), S_OK);
    const RECT outside{0, 0, 33, 1};
    EXPECT_EQ(texture->LockRect(1, &part, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(part.pBits, nullptr);
    EXPECT_EQ(texture->UnlockRect(2), D3DERR_INVALIDCALL);

    IDirect3DCubeTexture8 *cube = nullptr;
    ASSERT_EQ(m_device->CreateCubeTexture(8, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &cube), S_OK);
    IDirect3DSurface8 *face = nullptr;
    ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Z, 0, &face), S_OK);
    ASSERT_EQ(face->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Width, 8u);
    face->Release();
    EXPECT_EQ(cube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(6), 0, &face),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(face, nullptr);
    EXPECT_EQ(cube->GetType(), D3DRTYPE_CUBETEXTURE);
    cube->Release();
    texture->Release();
}

// The device holds a level's texels only in OpenGL once it is unlocked, so every lock after the
// first must read back exactly what was written, in every format, on every face and level.
TEST_F(TextureTest, ALockReadsBackTheTexelsTheLevelHolds) {
    const struct {
        D3DFORMAT format;
        UINT bytes;
    } formats[] = {{D3DFMT_A8R8G8B8, 4}, {D3DFMT_X8R8G8B8, 4}, {D3DFMT_R8G8B8, 3},
                   {D3DFMT_R5G6B5, 2},   {D3DFMT_X1R5G5B5, 2}, {D3DFMT_A1R5G5B5, 2},
                   {D3DFMT_A4R4G4B4, 2}};
    const auto pattern = [](UINT level, UINT i) {
        return static_cast<BYTE>(level * 61 + i * 7 + 3);
    };
    for (const auto &f : formats) {
        SCOPED_TRACE(static_cast<int>(f.format));
        IDirect3DCubeTexture8 *cube = nullptr;
        ASSERT_EQ(m_device->CreateCubeTexture(4, 0, 0, f.format, D3DPOOL_MANAGED, &cube), S_OK);
        for (UINT level = 0; level < 3; ++level) {
            D3DLOCKED_RECT locked{};
            ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACE_POSITIVE_Y, level, &locked, nullptr, 0), S_OK);
            const UINT side = 4 >> level;
            for (UINT i = 0; i < side * side * f.bytes; ++i)
                EXPECT_EQ(static_cast<BYTE *>(locked.pBits)[i], 0) << "a new level reads as zeros";
            for (UINT i = 0; i < side * side * f.bytes; ++i)
                static_cast<BYTE *>(locked.pBits)[i] = pattern(level, i);
            ASSERT_EQ(cube->UnlockRect(D3DCUBEMAP_FACE_POSITIVE_Y, level), S_OK);
        }
        for (UINT level = 0; level < 3; ++level) {
            D3DLOCKED_RECT locked{};
            const RECT lastRow{0, static_cast<LONG>((4 >> level) - 1),
                               static_cast<LONG>(4 >> level), static_cast<LONG>(4 >> level)};
            ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACE_POSITIVE_Y, level, &locked, &lastRow,
                                     D3DLOCK_READONLY),
                      S_OK);
            const UINT side = 4 >> level, rowBytes = side * f.bytes;
            for (UINT i = 0; i < rowBytes; ++i)
                EXPECT_EQ(static_cast<BYTE *>(locked.pBits)[i],
                          pattern(level, (side - 1) * rowBytes + i));
            ASSERT_EQ(cube->UnlockRect(D3DCUBEMAP_FACE_POSITIVE_Y, level), S_OK);
        }
        D3DLOCKED_RECT other{};
        ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACE_NEGATIVE_X, 0, &other, nullptr, 0), S_OK);
        EXPECT_EQ(static_cast<BYTE *>(other.pBits)[0], 0) << "another face is untouched";
        ASSERT_EQ(cube->UnlockRect(D3DCUBEMAP_FACE_NEGATIVE_X, 0), S_OK);
        cube->Release();
    }
}

// A texture drawn before anything was written to it samples transparent black, not whatever
// OpenGL's fresh storage holds (which the seam makes other than zeros).
TEST_F(TextureTest, ANeverWrittenTextureSamplesAsTransparentBlack) {
    seams::PoisonNewTextureStorage(true);
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    m_device->SetTexture(0, texture);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_BLENDTEXTUREALPHA);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    m_device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x00FFFFFF);
    Begin();
    DrawQuad();
    End("never_written");
    EXPECT_TRUE(Near(At(32, 32), {255, 255, 255}, 1)); // alpha 0 picks the factor
    texture->Release();
}

TEST_F(TextureTest, TwoStagesCombineWithTheTextureFactor) {
    IDirect3DTexture8 *base = solid(m_device, D3DFMT_X8R8G8B8, 4, 0xFFC86432);  // 200, 100, 50
    IDirect3DTexture8 *light = solid(m_device, D3DFMT_X8R8G8B8, 4, 0xFF141E28); // 20, 30, 40
    m_device->SetTexture(0, base);
    m_device->SetTexture(1, light);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    m_device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x0080FF40); // 128, 255, 64; alpha 0
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    m_device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    // Stage 1 asks for coordinate set 1; the vertex has one set, which it reads instead.
    Begin();
    DrawQuad();
    End("two_stages");
    // 200 * 128/255 + 20, 100 + 30, 50 * 64/255 + 40
    EXPECT_TRUE(Near(At(32, 32), {120, 130, 53}, 2));

    // Without a texture a stage reads opaque white: the factor alone, then plus white.
    m_device->SetTexture(0, nullptr);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    Begin();
    DrawQuad();
    End("stage_without_texture");
    EXPECT_TRUE(Near(At(32, 32), {128, 255, 64}, 1));

    // SELECTARG1 of the diffuse colour (opaque white when unlit) and DISABLE ending the chain.
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_device->SetTexture(1, nullptr);
    Begin();
    DrawQuad();
    End("diffuse_only");
    EXPECT_TRUE(Near(At(32, 32), {255, 255, 255}, 0));
    light->Release();
    base->Release();
}

TEST_F(TextureTest, TextureTransformFeedsUVOneSoTheThirdRowTranslates) {
    // Four rows: three red, the bottom one green.
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(1, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    fill(texture, 4, [](UINT, UINT y) { return y == 3 ? 0xFF00FF00u : 0xFFFF0000u; });
    m_device->SetTexture(0, texture);
    m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    Begin();
    DrawQuad();
    End("texture_transform_identity");
    EXPECT_TRUE(Near(At(32, 8), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(32, 56), {0, 255, 0}, 0));

    // A gauge at a quarter: _22 = k, _32 = -k maps v to k (v - 1), which wraps onto the bottom
    // quarter of the texture: the quad shows only the green row.
    D3DMATRIX cut = Identity();
    cut._22 = 0.25f;
    cut._32 = -0.25f;
    ASSERT_EQ(m_device->SetTransform(D3DTS_TEXTURE0, &cut), S_OK);
    Begin();
    DrawQuad();
    End("texture_transform_cut");
    EXPECT_TRUE(Near(At(32, 8), {0, 255, 0}, 0));
    EXPECT_TRUE(Near(At(32, 40), {0, 255, 0}, 0));

    // With the transform off, the matrix is ignored.
    m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    Begin();
    DrawQuad();
    End("texture_transform_off");
    EXPECT_TRUE(Near(At(32, 8), {255, 0, 0}, 0));
    texture->Release();
}

TEST_F(TextureTest, AddressingAndFilteringAreStageStates) {
    // Two texels, black then white, stretched over the quad three times.
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(2, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    fill(texture, 4, [](UINT x, UINT) { return x ? 0xFFFFFFFFu : 0xFF000000u; });
    m_device->SetTexture(0, texture);
    m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    D3DMATRIX stretch = Identity();
    stretch._11 = 3.0f;
    m_device->SetTransform(D3DTS_TEXTURE0, &stretch);
    m_device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    Begin();
    DrawQuad();
    End("address_clamp");
    EXPECT_TRUE(Near(At(2, 32), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(At(40, 32), {255, 255, 255}, 0)); // clamped to the last texel
    m_device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    Begin();
    DrawQuad();
    End("address_wrap");
    EXPECT_TRUE(Near(At(25, 32), {0, 0, 0}, 0)); // u = 1.17: the second repeat's black texel
    // Linear filtering blends the two texels between their centres.
    m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    m_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    m_device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    Begin();
    DrawQuad();
    End("filter_linear");
    const Rgb middle = At(10, 32); // u = 0.5: halfway between the texel centres
    EXPECT_GT(middle.r, 90);
    EXPECT_LT(middle.r, 170);
    texture->Release();
}
