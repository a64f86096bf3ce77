// Cost of bringing a text atlas texture up to date with one new character in the middle of a
// frame that already drew with it, on the real device (offscreen): the character's rectangle
// locked (read back, then sent), the same rectangle of a dynamic texture locked with discard
// (sent only: what a font holding its own copy of the texels would do), and the whole atlas
// locked, side by side with the floor, the same frame without a lock.
#include "platform/d3d8/d3d8.h"
#include "platform/win32/entry/heap_policy.h"
#include "platform/win32/win32.h"
#include "tests/platform/d3d8/headless_device.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    DWORD colour;
    float u, v;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr UINT kAtlasWidth = 512, kAtlasHeight = 128;

enum class Update { None, Rectangle, DiscardRectangle, WholeAtlas };

void drawAtlas(IDirect3DDevice8 *device, float x) {
    const ScreenVertex quad[6] = {{x, 0, 0, 1, ~0u, 0, 0},       {x + 512, 0, 0, 1, ~0u, 1, 0},
                                  {x, 128, 0, 1, ~0u, 0, 1},     {x, 128, 0, 1, ~0u, 0, 1},
                                  {x + 512, 0, 0, 1, ~0u, 1, 0}, {x + 512, 128, 0, 1, ~0u, 1, 1}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, sizeof(ScreenVertex));
}

void atlasFrames(benchmark::State &state, Update update) {
    static const bool prepared = [] {
        win32::KeepFreedMemoryForReuse();
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        return true;
    }();
    (void)prepared;
    HWND window = headless::OpenWindow("texture lock benchmark", 640, 480, WS_VISIBLE);
    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    IDirect3DDevice8 *device = nullptr;
    IDirect3DTexture8 *atlas = nullptr;
    const bool dynamic = update == Update::DiscardRectangle;
    if (!d3d || FAILED(headless::CreateWindowedDevice(d3d, window, 640, 480, &device)) ||
        FAILED(device->CreateTexture(kAtlasWidth, kAtlasHeight, 1, dynamic ? D3DUSAGE_DYNAMIC : 0,
                                     D3DFMT_A8R8G8B8, dynamic ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED,
                                     &atlas))) {
        state.SkipWithError("device or texture creation failed");
        return;
    }
    D3DLOCKED_RECT locked{};
    atlas->LockRect(0, &locked, nullptr, 0);
    std::memset(locked.pBits, 0x80, static_cast<std::size_t>(locked.Pitch) * kAtlasHeight);
    atlas->UnlockRect(0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetVertexShader(kScreenFvf);
    device->SetTexture(0, atlas);
    LONG x = 0;
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->BeginScene();
        drawAtlas(device, 0);
        // A character's cell, moving along its shelf as characters are added.
        x = (x + 20) % (kAtlasWidth - 20);
        const RECT cell{x, 40, x + 16, 62};
        if (update != Update::None) {
            const RECT *rect = update == Update::WholeAtlas ? nullptr : &cell;
            atlas->LockRect(0, &locked, rect, dynamic ? D3DLOCK_DISCARD : 0);
            auto *bits = static_cast<BYTE *>(locked.pBits);
            if (update == Update::WholeAtlas)
                bits += cell.top * locked.Pitch + cell.left * 4;
            for (LONG row = 0; row < cell.bottom - cell.top; ++row)
                std::memset(bits + row * locked.Pitch, 0xFF, 16 * 4);
            atlas->UnlockRect(0);
        }
        drawAtlas(device, 100);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    device->SetTexture(0, nullptr);
    atlas->Release();
    device->Release();
    d3d->Release();
    DestroyWindow(window);
}

void FrameWithoutLock(benchmark::State &state) {
    atlasFrames(state, Update::None);
}
void FrameLockingTheCharacter(benchmark::State &state) {
    atlasFrames(state, Update::Rectangle);
}
void FrameDiscardingTheCharacter(benchmark::State &state) {
    atlasFrames(state, Update::DiscardRectangle);
}
void FrameLockingTheWholeAtlas(benchmark::State &state) {
    atlasFrames(state, Update::WholeAtlas);
}
BENCHMARK(FrameWithoutLock)->Unit(benchmark::kMicrosecond);
BENCHMARK(FrameLockingTheCharacter)->Unit(benchmark::kMicrosecond);
BENCHMARK(FrameDiscardingTheCharacter)->Unit(benchmark::kMicrosecond);
BENCHMARK(FrameLockingTheWholeAtlas)->Unit(benchmark::kMicrosecond);

} // namespace
