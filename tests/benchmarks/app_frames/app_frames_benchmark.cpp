// Cost of the game application's start-up and of a menu frame on the real device (offscreen),
// each beside its floor: start-up to the first presented frame beside a bare device creation and
// first present, and a menu frame beside an empty frame (clear and present).
#include "game/asteroid_game.h"
#include "platform/test_seams.h"
#include "tests/platform/d3d8/headless_device.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include <unistd.h>

namespace {

// The game reads its media from the working folder and keeps its settings in a scratch store.
void PrepareProcess() {
    static const bool prepared = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        std::filesystem::current_path(TARVOS_MEDIA_DIR);
        const auto settings =
            std::filesystem::temp_directory_path() / ("tarvos-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(settings);
        seams::UseRegistryRoot(settings.string());
        seams::CaptureDebugOutput(true);
        return true;
    }();
    (void)prepared;
}

std::unique_ptr<CMyD3DApplication> StartGame() {
    auto app = std::make_unique<CMyD3DApplication>();
    app->m_bWantedWindowed = true;
    app->m_dwCreationWidth = 640;
    app->m_dwCreationHeight = 480;
    if (FAILED(app->Startup(GetModuleHandleA(nullptr))))
        return nullptr;
    return app;
}

void CloseGame(std::unique_ptr<CMyD3DApplication> &app) {
    if (app && IsWindow(app->m_hWnd))
        SendMessageA(app->m_hWnd, WM_CLOSE, 0, 0);
    app.reset();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void StartupToFirstPresentedFrame(benchmark::State &state) {
    PrepareProcess();
    for (auto _ : state) {
        auto app = StartGame();
        if (!app) {
            state.SkipWithError("start-up failed");
            break;
        }
        // The loop's frames until one is presented (a frame with no elapsed time draws nothing).
        const unsigned presented = seams::PresentCount();
        while (seams::PresentCount() == presented)
            app->AdvanceFrame();
        state.PauseTiming();
        CloseGame(app);
        state.ResumeTiming();
    }
}
BENCHMARK(StartupToFirstPresentedFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

// The floor: a window, the Direct3D object and a device with a depth buffer, one clear and one
// present, then everything given back.
void BareDeviceToFirstPresent(benchmark::State &state) {
    PrepareProcess();
    for (auto _ : state) {
        HWND window = headless::OpenWindow("bare device benchmark", 640, 480, 0x10CE0000);
        IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
        IDirect3DDevice8 *device = nullptr;
        if (!d3d || FAILED(headless::CreateWindowedDevice(d3d, window, 640, 480, &device))) {
            state.SkipWithError("device creation failed");
            break;
        }
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        device->Present(nullptr, nullptr, nullptr, nullptr);
        state.PauseTiming();
        device->Release();
        d3d->Release();
        DestroyWindow(window);
        state.ResumeTiming();
    }
}
BENCHMARK(BareDeviceToFirstPresent)->Unit(benchmark::kMillisecond)->Iterations(10);

// One picture of the main menu over the turning sky, as the render step draws it, presented.
void MenuFrame(benchmark::State &state) {
    PrepareProcess();
    auto app = StartGame();
    if (!app) {
        state.SkipWithError("start-up failed");
        return;
    }
    static const char *const items[] = {"RESUME GAME",  "NEW GAME", "OPTIONS",
                                        "HALL OF FAME", "CREDITS",  "EXIT"};
    app->m_gameState = GameState::MainMenu;
    app->m_nItemCount = 6;
    for (int i = 0; i < 6; ++i)
        app->m_menuItems[i] = items[i];
    for (auto _ : state) {
        app->m_fRunningTime += 1.0f / 60.0f;
        app->RenderFrame();
        app->m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }
    CloseGame(app);
}
BENCHMARK(MenuFrame)->Unit(benchmark::kMicrosecond);

// The floor: the same device clearing both buffers and presenting.
void EmptyFrame(benchmark::State &state) {
    PrepareProcess();
    auto app = StartGame();
    if (!app) {
        state.SkipWithError("start-up failed");
        return;
    }
    IDirect3DDevice8 *device = app->m_pDevice;
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        device->BeginScene();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    CloseGame(app);
}
BENCHMARK(EmptyFrame)->Unit(benchmark::kMicrosecond);

} // namespace
