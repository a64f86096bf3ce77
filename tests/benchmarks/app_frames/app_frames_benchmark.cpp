// Cost of the game application's start-up and of a menu frame on the real device (offscreen),
// each beside its floor: start-up to the first presented frame beside a bare device creation and
// first present, and a menu frame beside an empty frame (clear and present); and a menu frame
// whose text brings characters its font has not drawn yet beside the same frame whose text is
// all drawn before.
#include "tests/benchmarks/game_process.h"
#include "tests/platform/d3d8/headless_device.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using game_bench::CloseGame;
using game_bench::PrepareProcess;

void StartupToFirstPresentedFrame(benchmark::State &state) {
    PrepareProcess();
    for (auto _ : state) {
        auto app = game_bench::StartGame(640, 480);
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

void ShowMainMenu(CMyD3DApplication &app) {
    static const char *const items[] = {"RESUME GAME",  "NEW GAME", "OPTIONS",
                                        "HALL OF FAME", "CREDITS",  "EXIT"};
    app.m_gameState = GameState::MainMenu;
    app.m_nItemCount = 6;
    for (int i = 0; i < 6; ++i)
        app.m_menuItems[i] = items[i];
}

// The game started at 640 x 480 and showing its main menu, or null with the benchmark marked
// failed.
std::unique_ptr<CMyD3DApplication> StartMenuGame(benchmark::State &state) {
    PrepareProcess();
    auto app = game_bench::StartGame(640, 480);
    if (!app)
        state.SkipWithError("start-up failed");
    else
        ShowMainMenu(*app);
    return app;
}

// One picture of the main menu over the turning sky, as the render step draws it, presented.
void MenuFrame(benchmark::State &state) {
    auto app = StartMenuGame(state);
    if (!app)
        return;
    for (auto _ : state) {
        app->m_fRunningTime += 1.0f / 60.0f;
        app->RenderFrame();
        app->m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }
    CloseGame(app);
}
BENCHMARK(MenuFrame)->Unit(benchmark::kMicrosecond);

// The menu frame with two outlined lines of the large text font, the second made of `second`.
void DrawMenuFrameWithText(CMyD3DApplication &app, const char *second) {
    app.m_fRunningTime += 1.0f / 60.0f;
    app.RenderFrame();
    app.m_pDevice->BeginScene();
    app.DrawOutlinedText("PRESS RETURN TO PLAY", 320, 400, 600, 0, DT_CENTER);
    app.DrawOutlinedText(second, 320, 430, 600, 0, DT_CENTER);
    app.m_pDevice->EndScene();
    app.m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

// A large text font as the game makes it, its atlas holding the first line's characters.
void RenewLargeFont(CMyD3DApplication &app) {
    if (app.m_pLargeFont)
        app.m_pLargeFont->Release();
    app.m_pLargeFont = nullptr;
    HFONT font = CreateFontA(20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, 4, 0, "Arial");
    D3DXCreateFont(app.m_pDevice, font, &app.m_pLargeFont);
    DeleteObject(font);
    DrawMenuFrameWithText(app, "PRESS RETURN TO PLAY");
}

constexpr const char *kNewCharacters = "wave 7: 0123456789";

// The menu frame with text whose second line is drawn before, or new to the font in every frame
// measured.
void MenuFrameWithText(benchmark::State &state, bool newCharacters) {
    auto app = StartMenuGame(state);
    if (!app)
        return;
    RenewLargeFont(*app);
    DrawMenuFrameWithText(*app, kNewCharacters);
    for (auto _ : state) {
        if (newCharacters) {
            state.PauseTiming();
            RenewLargeFont(*app);
            state.ResumeTiming();
        }
        DrawMenuFrameWithText(*app, kNewCharacters);
    }
    CloseGame(app);
}
BENCHMARK_CAPTURE(MenuFrameWithText, drawn_before, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MenuFrameWithText, new_characters, true)->Unit(benchmark::kMicrosecond);

// The floor: the same device clearing both buffers and presenting.
void EmptyFrame(benchmark::State &state) {
    auto app = StartMenuGame(state);
    if (!app)
        return;
    for (auto _ : state)
        game_bench::PresentEmptyFrame(app->m_pDevice);
    CloseGame(app);
}
BENCHMARK(EmptyFrame)->Unit(benchmark::kMicrosecond);

} // namespace
