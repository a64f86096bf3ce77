// Acquisition follows the active window: lost when the window goes to the background, reported
// once, refused until the window is back in front; and the checks of formats, levels and sizes.
#include "input_fixture.h"

#include "platform/win32/activation.h"

namespace {

using namespace input_test;

TEST_F(InputTest, FocusLossLosesForegroundDevicesUntilTheWindowIsBack) {
    IDirectInputDevice8A *keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, kKeyboardLevel);
    IDirectInputDevice8A *mouse = Make(GUID_SysMouse, c_dfDIMouse2, kExclusiveLevel);
    IDirectInputDevice8A *background =
        Make(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    BYTE keys[256];
    DIMOUSESTATE2 moved{};

    for (int round = 0; round < 2; ++round) { // Alt+Tab away and back, twice
        PushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
        EXPECT_EQ(win32::ActiveWindow(), nullptr);
        EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
        EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
        EXPECT_EQ(mouse->GetDeviceState(sizeof moved, &moved), DIERR_INPUTLOST);
        EXPECT_EQ(background->GetDeviceState(sizeof keys, keys), DI_OK);
        // Never "input lost" from Acquire: the program retries for as long as it sees that.
        EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
        EXPECT_EQ(mouse->Acquire(), DIERR_OTHERAPPHASPRIO);
        seams::PushMouseMotion(9, 9); // elsewhere on the desktop

        PushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
        EXPECT_EQ(keyboard->Acquire(), DI_OK);
        EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
        EXPECT_EQ(mouse->Acquire(), DI_OK);
        seams::PushKeyEvent(DIK_ESCAPE, true);
        EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
        EXPECT_EQ(keys[DIK_ESCAPE], 0x80);
        EXPECT_EQ(mouse->GetDeviceState(sizeof moved, &moved), DI_OK);
        EXPECT_EQ(moved.lX, 0);
        seams::PushKeyEvent(DIK_ESCAPE, false);
    }

    // Minimising does the same; a second window shown in front takes the keyboard too.
    PushWindowEvent(window, SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
    PushWindowEvent(window, SDL_WINDOWEVENT_RESTORED);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    HWND other = OpenWindow("other");
    EXPECT_EQ(win32::ActiveWindow(), other);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
    DestroyWindow(other);
}

TEST_F(InputTest, DevicesCheckFormatsLevelsAndSizes) {
    IDirectInputDevice8A *keyboard = nullptr;
    ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    devices.push_back(keyboard);
    BYTE keys[256];
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM); // no format yet
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse2), DIERR_INVALIDPARAM);
    DIDATAFORMAT copy = c_dfDIKeyboard; // an equal format is as good as the predefined one
    EXPECT_EQ(keyboard->SetDataFormat(&copy), DI_OK);
    EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_FOREGROUND), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, kKeyboardLevel), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(window, kKeyboardLevel), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    EXPECT_EQ(keyboard->GetDeviceState(100, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->Unacquire(), DI_OK);
    EXPECT_EQ(keyboard->Unacquire(), DI_NOEFFECT);
}

TEST_F(InputTest, InjectedFailuresReachTheNamedDeviceOnly) {
    IDirectInputDevice8A *keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, kKeyboardLevel);
    IDirectInputDevice8A *mouse = Make(GUID_SysMouse, c_dfDIMouse2, kExclusiveLevel);
    seams::InjectFailure("Mouse.GetDeviceState", 1, DIERR_INPUTLOST);
    BYTE keys[256];
    DIMOUSESTATE2 state{};
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
}

} // namespace
