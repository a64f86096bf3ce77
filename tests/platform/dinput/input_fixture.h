// A shown window, the DirectInput object and helpers to make devices and pump SDL's events into
// window messages as the program's message loop does.
#pragma once

#include "platform/dinput/dinput.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "tests/platform/win32/window_event.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace input_test {

inline HWND OpenWindow(const char *title) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Input Test Window";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "Input Test Window", title, 0x10CE0000, CW_USEDEFAULT, CW_USEDEFAULT,
                           648, 507, nullptr, nullptr, wc.hInstance, nullptr);
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        window = OpenWindow("input");
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION,
                                     IID_IDirectInput8A, reinterpret_cast<void **>(&input),
                                     nullptr),
                  DI_OK);
        Pump();
    }

    void TearDown() override {
        for (IDirectInputDevice8A *device : devices)
            EXPECT_EQ(device->Release(), 0u);
        EXPECT_EQ(input->Release(), 0u);
        DestroyWindow(window);
        Pump();
        seams::ResetAll();
    }

    // A device with its format and level set, acquired when `acquire` says so.
    IDirectInputDevice8A *Make(REFGUID guid, const DIDATAFORMAT &format, DWORD level,
                               bool acquire = true) {
        IDirectInputDevice8A *device = nullptr;
        EXPECT_EQ(input->CreateDevice(guid, &device, nullptr), DI_OK);
        if (!device)
            return nullptr;
        devices.push_back(device);
        EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(window, level), DI_OK);
        if (acquire) {
            EXPECT_EQ(device->Acquire(), DI_OK);
        }
        return device;
    }

    // The message loop's part: SDL's queue into window messages, dispatched.
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    void PushWindowEvent(HWND target, Uint8 kind) {
        test_events::PushWindowEvent(target, kind);
        Pump();
    }

    HWND window = nullptr;
    IDirectInput8A *input = nullptr;
    std::vector<IDirectInputDevice8A *> devices;
};

constexpr DWORD kKeyboardLevel = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY;
constexpr DWORD kExclusiveLevel = DISCL_EXCLUSIVE | DISCL_FOREGROUND;

} // namespace input_test
