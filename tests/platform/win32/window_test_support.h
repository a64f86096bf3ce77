// A window whose procedure records every message it receives, for the window and message tests.
#pragma once

#include "platform/test_seams.h"
#include "platform/win32/win32.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace window_test {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the recording procedure saw, and an optional hook that decides the result (the hook
// returns true when it handled the message and set the result).
struct Recorder {
    std::vector<Received> messages;
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> hook;

    std::vector<UINT> Codes() const {
        std::vector<UINT> out;
        for (const Received &r : messages)
            out.push_back(r.message);
        return out;
    }
    // Only the codes of the messages a test cares about, in order.
    std::vector<UINT> CodesAmong(std::initializer_list<UINT> wanted) const {
        std::vector<UINT> out;
        for (const Received &r : messages)
            for (UINT w : wanted)
                if (r.message == w)
                    out.push_back(r.message);
        return out;
    }
};

inline Recorder &recorder() {
    static Recorder r;
    return r;
}

inline LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    recorder().messages.push_back({hwnd, message, wParam, lParam});
    if (recorder().hook) {
        LRESULT result = 0;
        if (recorder().hook(hwnd, message, wParam, lParam, &result))
            return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

constexpr DWORD kWindowedStyle = 0x10CE0000;
constexpr DWORD kFullScreenStyle = 0x90080000;

// Registers the class the way the application does and opens one window with a 640 x 480 client
// area; messages are scripted so only what a test makes happens.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        recorder() = Recorder{};
        seams::ScriptMessages(true);
        seams::CaptureDebugOutput(true);
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCE(101));
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = "D3D Window";
        RegisterClassA(&wc);
        RECT rc{0, 0, 640, 480};
        AdjustWindowRect(&rc, kWindowedStyle, FALSE);
        window = CreateWindowExA(0, "D3D Window", "Tarvos", kWindowedStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr) << seams::TakeDebugOutput();
        recorder().messages.clear();
    }
    void TearDown() override {
        recorder().hook = nullptr;
        if (IsWindow(window))
            DestroyWindow(window);
        seams::ResetAll();
        seams::CaptureDebugOutput(false);
    }

    // Fetches and dispatches everything queued, as a message loop does.
    void DrainQueue() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // Everything queued, removed without dispatching.
    std::vector<MSG> TakeQueued() {
        std::vector<MSG> out;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            out.push_back(msg);
        return out;
    }

    Uint32 SdlId() const { return SDL_GetWindowID(win32::SdlWindowOf(window)); }

    void InjectWindowEvent(Uint8 kind, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SdlId();
        e.window.event = kind;
        e.window.data1 = data1;
        e.window.data2 = data2;
        seams::InjectSdlEvent(e);
    }

    HWND window = nullptr;
};

// The offscreen driver cannot change a window's frame after creation; X11 can.
inline bool DriverChangesFrames() {
    const char *driver = SDL_GetCurrentVideoDriver();
    return driver && std::string(driver) != "offscreen";
}

inline std::vector<UINT> CodesOf(const std::vector<MSG> &messages) {
    std::vector<UINT> out;
    for (const MSG &m : messages)
        out.push_back(m.message);
    return out;
}

} // namespace window_test
