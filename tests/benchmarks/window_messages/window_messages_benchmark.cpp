// Cost of the message path a frame of the application takes: an empty look at the queue (the
// loop's per-frame PeekMessageA, which also pumps SDL), a posted message fetched and dispatched,
// and a message sent straight to the window procedure.
#include "platform/test_seams.h"
#include "platform/win32/win32.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

LRESULT CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER)
        return static_cast<LRESULT>(wParam + 1);
    return DefWindowProcA(window, message, wParam, lParam);
}

// One window for the whole run; the benchmark program runs headless unless told otherwise.
HWND benchWindow() {
    static HWND window = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Bench Window";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "Bench Window", "bench", 0x10CE0000, 0, 0, 656, 507, nullptr,
                               nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

void EmptyPeekWithSdlPump(benchmark::State &state) {
    benchWindow();
    seams::ScriptMessages(false);
    MSG msg{};
    for (auto _ : state)
        benchmark::DoNotOptimize(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}
BENCHMARK(EmptyPeekWithSdlPump);

void PostFetchDispatch(benchmark::State &state) {
    HWND window = benchWindow();
    seams::ScriptMessages(true);
    MSG msg{};
    for (auto _ : state) {
        PostMessageA(window, WM_USER, 1, 0);
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        benchmark::DoNotOptimize(DispatchMessageA(&msg));
    }
}
BENCHMARK(PostFetchDispatch);

void SendToWindowProcedure(benchmark::State &state) {
    HWND window = benchWindow();
    for (auto _ : state)
        benchmark::DoNotOptimize(SendMessageA(window, WM_USER, 1, 0));
}
BENCHMARK(SendToWindowProcedure);

} // namespace
