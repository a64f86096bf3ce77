// Texture locks by their flags and rectangles: what each lock reads back from OpenGL and sends to
// it (the transfers the call log records), and the texels the level holds afterwards.
#include "pipeline_fixture.h"

#include <cstring>

using namespace pipeline_test;

namespace {

constexpr DWORD kRed = 0xFFFF0000;

class TextureLock : public PipelineTest {
protected:
    // A 16 x 8 texture of one level whose texel i holds the value i + seed.
    IDirect3DTexture8 *Numbered(DWORD seed, DWORD usage = 0, D3DPOOL pool = D3DPOOL_MANAGED) {
        IDirect3DTexture8 *texture = nullptr;
        EXPECT_EQ(m_device->CreateTexture(16, 8, 1, usage, D3DFMT_A8R8G8B8, pool, &texture), S_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
        for (DWORD i = 0; i < 16 * 8; ++i)
            static_cast<DWORD *>(locked.pBits)[i] = i + seed;
        EXPECT_EQ(texture->UnlockRect(0), S_OK);
        return texture;
    }

    // Level 0 as the device reads it back, texel by texel.
    static std::vector<DWORD> Texels(IDirect3DTexture8 *texture) {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
        const auto *first = static_cast<const DWORD *>(locked.pBits);
        std::vector<DWORD> texels(first, first + 16 * 8);
        EXPECT_EQ(texture->UnlockRect(0), S_OK);
        return texels;
    }

    // Locks `rect` with `flags`, writes `value` over it and unlocks, logging the transfers.
    static std::vector<std::string> WriteRect(IDirect3DTexture8 *texture, RECT rect, DWORD flags,
                                              DWORD value) {
        seams::StartDeviceCallLog();
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, &rect, flags), S_OK);
        for (LONG y = rect.top; y < rect.bottom; ++y)
            for (LONG x = rect.left; x < rect.right; ++x)
                std::memcpy(static_cast<BYTE *>(locked.pBits) + (y - rect.top) * locked.Pitch +
                                (x - rect.left) * 4,
                            &value, 4);
        EXPECT_EQ(texture->UnlockRect(0), S_OK);
        seams::StopDeviceCallLog();
        return seams::DeviceCallTexts();
    }

    // Draws `texture` over the whole back buffer, modulated by white.
    void DrawTextured(IDirect3DTexture8 *texture, const std::string &name) {
        const ScreenVertex quad[6] = {
            {0, 0, 0, 1, 0xFFFFFFFF, 0, 0},  {64, 0, 0, 1, 0xFFFFFFFF, 1, 0},
            {0, 64, 0, 1, 0xFFFFFFFF, 0, 1}, {0, 64, 0, 1, 0xFFFFFFFF, 0, 1},
            {64, 0, 0, 1, 0xFFFFFFFF, 1, 0}, {64, 64, 0, 1, 0xFFFFFFFF, 1, 1}};
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetVertexShader(kScreenFvf);
        m_device->SetTexture(0, texture);
        Begin();
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, sizeof(ScreenVertex)),
                  S_OK);
        End(name);
        m_device->SetTexture(0, nullptr);
    }
};

using Calls = std::vector<std::string>;

TEST_F(TextureLock, ReadOnlyAndRectangleLocksMoveOnlyWhatTheyNeed) {
    IDirect3DTexture8 *texture = Numbered(100);
    // Read-only: the rectangle read back, nothing sent, so what the caller scribbled is not kept.
    EXPECT_EQ(WriteRect(texture, {2, 1, 5, 3}, D3DLOCK_READONLY, 7),
              (Calls{"ReadTexels(0, 0, 2, 1, 5, 3)"}));
    std::vector<DWORD> texels = Texels(texture);
    for (DWORD i = 0; i < 16 * 8; ++i)
        ASSERT_EQ(texels[i], i + 100) << i;

    // A plain lock of a rectangle reads and sends that rectangle and nothing else.
    D3DLOCKED_RECT locked{};
    const RECT rect{3, 2, 7, 5};
    ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), S_OK);
    EXPECT_EQ(static_cast<DWORD *>(locked.pBits)[0], 2 * 16 + 3 + 100u) << "read back";
    ASSERT_EQ(texture->UnlockRect(0), S_OK);
    EXPECT_EQ(WriteRect(texture, rect, 0, 7),
              (Calls{"ReadTexels(0, 0, 3, 2, 7, 5)", "SendTexels(0, 0, 3, 2, 7, 5)"}));
    texels = Texels(texture);
    for (DWORD y = 0; y < 8; ++y)
        for (DWORD x = 0; x < 16; ++x)
            ASSERT_EQ(texels[y * 16 + x], x >= 3 && x < 7 && y >= 2 && y < 5 ? 7 : y * 16 + x + 100)
                << x << ", " << y;
    texture->Release();
}

TEST_F(TextureLock, DiscardReadsNothingBackOnADynamicTextureOnly) {
    IDirect3DTexture8 *dynamic = Numbered(0, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    EXPECT_EQ(WriteRect(dynamic, {0, 4, 16, 8}, D3DLOCK_DISCARD, kRed),
              (Calls{"SendTexels(0, 0, 0, 4, 16, 8)"}));
    EXPECT_EQ(Texels(dynamic)[4 * 16], kRed);
    EXPECT_EQ(Texels(dynamic)[3 * 16], 3 * 16u) << "outside the rectangle, kept";
    dynamic->Release();
    // Direct3D 8 allows no discard of a managed texture: the lock reads back as usual.
    IDirect3DTexture8 *managed = Numbered(0);
    EXPECT_EQ(WriteRect(managed, {0, 4, 16, 8}, D3DLOCK_DISCARD, kRed),
              (Calls{"ReadTexels(0, 0, 0, 4, 16, 8)", "SendTexels(0, 0, 0, 4, 16, 8)"}));
    managed->Release();
}

TEST_F(TextureLock, ANeverWrittenLevelReadsNothingBackAndItsUnlockDefinesItWhole) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(16, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    EXPECT_EQ(WriteRect(texture, {4, 4, 8, 6}, 0, kRed), (Calls{"SendTexels(0, 0, 0, 0, 16, 8)"}));
    const std::vector<DWORD> texels = Texels(texture);
    EXPECT_EQ(texels[4 * 16 + 4], kRed);
    EXPECT_EQ(texels[0], 0u) << "the rest of a new level is zeros";
    texture->Release();
}

// Texels whose unlock could not reach OpenGL wait in memory: the first draw sends them rather
// than zeros over them, and a lock elsewhere sends them before it reads back.
TEST_F(TextureLock, TexelsAnUnlockCouldNotSendAreNeverLost) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    for (int i = 0; i < 4; ++i)
        static_cast<DWORD *>(locked.pBits)[i] = kRed;
    seams::InjectFailure("MakeContextCurrent");
    ASSERT_EQ(texture->UnlockRect(0), S_OK);
    DrawTextured(texture, "texels_kept_without_context");
    EXPECT_TRUE(Near(At(32, 32), {255, 0, 0}, 0));
    texture->Release();

    IDirect3DTexture8 *numbered = Numbered(0);
    const RECT corner{0, 0, 2, 2};
    ASSERT_EQ(numbered->LockRect(0, &locked, &corner, 0), S_OK);
    static_cast<DWORD *>(locked.pBits)[1] = 7;
    seams::InjectFailure("MakeContextCurrent");
    ASSERT_EQ(numbered->UnlockRect(0), S_OK);
    // Without a context, a lock that must read back fails rather than hand out anything else.
    seams::InjectFailure("MakeContextCurrent");
    const RECT other{8, 4, 10, 6};
    EXPECT_EQ(numbered->LockRect(0, &locked, &other, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(WriteRect(numbered, other, 0, 9),
              (Calls{"SendTexels(0, 0, 0, 0, 2, 2)", "ReadTexels(0, 0, 8, 4, 10, 6)",
                     "SendTexels(0, 0, 8, 4, 10, 6)"}));
    const std::vector<DWORD> texels = Texels(numbered);
    EXPECT_EQ(texels[1], 7u);
    EXPECT_EQ(texels[5 * 16 + 9], 9u);
    EXPECT_EQ(texels[2], 2u);
    numbered->Release();
}

} // namespace
