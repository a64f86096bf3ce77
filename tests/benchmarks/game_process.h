// What the benchmarks of the whole game application share: a headless process that reads the
// generated media and keeps its settings in a scratch store, the game started in a window and
// closed again, and the empty frame they measure it against.
#pragma once

#include "game/asteroid_game.h"
#include "platform/test_seams.h"
#include "platform/win32/entry/heap_policy.h"
#include "tests/scratch_settings.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

namespace game_bench {

// The game reads its media from the working folder and keeps its settings in a scratch store; the
// heap behaves as it does in the game's own process.
inline void PrepareProcess() {
    static const bool prepared = [] {
        win32::KeepFreedMemoryForReuse();
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        std::filesystem::current_path(TARVOS_MEDIA_DIR);
        static test_support::ScratchSettingsStore settings;
        settings.Use("bench");
        seams::CaptureDebugOutput(true);
        return true;
    }();
    (void)prepared;
}

// The game started in a window of `width` x `height` (after PrepareProcess); null when start-up
// failed.
inline std::unique_ptr<CMyD3DApplication> StartGame(DWORD width, DWORD height) {
    auto app = std::make_unique<CMyD3DApplication>();
    app->m_bWantedWindowed = true;
    app->m_dwCreationWidth = width;
    app->m_dwCreationHeight = height;
    if (FAILED(app->Startup(GetModuleHandleA(nullptr))))
        return nullptr;
    return app;
}

inline void CloseGame(std::unique_ptr<CMyD3DApplication> &app) {
    if (app && IsWindow(app->m_hWnd))
        SendMessageA(app->m_hWnd, WM_CLOSE, 0, 0);
    app.reset();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// The floor of every frame: both buffers cleared, an empty scene, presented.
inline void PresentEmptyFrame(IDirect3DDevice8 *device) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->BeginScene();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

} // namespace game_bench
