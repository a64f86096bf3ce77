// Cost of the game's per-frame input read (keyboard, mouse and a controller into the input
// record), side by side with its floors in the same run: one bare device read, and a bare
// SDL_PumpEvents. Each benchmark reports its time per iteration in microseconds; the full read
// also reports both floors and its ratio to each.
#include "game/asteroid_game.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "tests/scratch_settings.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

// One window, one game with its input set up and a controller attached, for the whole run.
struct Bench {
    HWND window = nullptr;
    std::unique_ptr<CMyD3DApplication> app;
};

Bench &bench() {
    static Bench b = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        static test_support::ScratchSettingsStore settings;
        settings.Use("input-benchmark");
        Bench made;
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "input benchmark";
        RegisterClassA(&wc);
        made.window = CreateWindowExA(0, "input benchmark", "Tarvos", WS_VISIBLE | WS_CAPTION, 0, 0,
                                      640, 480, nullptr, nullptr, nullptr, nullptr);
        const int pad = seams::AttachVirtualController("Motion Controller", 4, 12, 1);
        made.app = std::make_unique<CMyD3DApplication>();
        made.app->InitInput(made.window);
        // Something held on every device, and one read so that the mouse is acquired.
        seams::PushKeyEvent(DIK_LCONTROL, true);
        seams::PushKeyEvent(DIK_Q, true);
        seams::PushMouseButton(1, true);
        seams::SetVirtualControllerAxis(pad, 0, 12000);
        made.app->ReadInput(&made.app->m_input);
        return made;
    }();
    return b;
}

template <class Step> double microsecondsPer(Step step, int iterations) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < iterations; ++i)
        step();
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    return spent.count() / iterations;
}

void bareKeyboardRead() {
    BYTE keys[256];
    benchmark::DoNotOptimize(bench().app->m_pKeyboard->GetDeviceState(sizeof keys, keys));
}

void barePump() {
    SDL_PumpEvents();
}

void fullRead() {
    CMyD3DApplication &app = *bench().app;
    benchmark::DoNotOptimize(app.ReadInput(&app.m_input));
}

void ReadInputOfAFrame(benchmark::State &state) {
    bench();
    constexpr int kFloorRuns = 20000;
    const double readFloor = microsecondsPer(bareKeyboardRead, kFloorRuns);
    const double pumpFloor = microsecondsPer(barePump, kFloorRuns);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        fullRead();
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    const double perRead = spent.count() / static_cast<double>(state.iterations());
    state.counters["read_us"] = perRead;
    state.counters["device_read_floor_us"] = readFloor;
    state.counters["pump_floor_us"] = pumpFloor;
    state.counters["ratio_to_device_read"] = perRead / readFloor;
    state.counters["ratio_to_pump"] = perRead / pumpFloor;
}
BENCHMARK(ReadInputOfAFrame);

void FloorOneDeviceRead(benchmark::State &state) {
    bench();
    for (auto _ : state)
        bareKeyboardRead();
}
BENCHMARK(FloorOneDeviceRead);

void FloorSdlPumpEvents(benchmark::State &state) {
    bench();
    for (auto _ : state)
        barePump();
}
BENCHMARK(FloorSdlPumpEvents);

} // namespace
