// The game's input through the whole real path: SDL events pushed as a player's devices make
// them, the window's message pump, DirectInput and the input record the game reads each frame.
#include "game/asteroid_game.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "tests/platform/d3d8/headless_device.h"
#include "tests/platform/win32/window_event.h"
#include "tests/scratch_settings.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

class GameInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        m_settings.Use("game-input-test");
        seams::CaptureDebugOutput(true);
        m_window = headless::OpenWindow("game input test", 640, 480);
        ASSERT_NE(m_window, nullptr);
        m_app = std::make_unique<CMyD3DApplication>();
    }

    void TearDown() override {
        m_app->ReleaseInput();
        m_app.reset();
        DestroyWindow(m_window);
        Pump();
        seams::ResetAll();
    }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    // One frame's input: the message loop runs, then the update step reads the devices.
    const InputState &Frame() {
        Pump();
        m_app->ReadInput(&m_app->m_input);
        return m_app->m_input;
    }

    void Focus(Uint8 kind) { test_events::PushWindowEvent(m_window, kind); }

    HWND m_window = nullptr;
    test_support::ScratchSettingsStore m_settings;
    std::unique_ptr<CMyD3DApplication> m_app;
};

using Flag = DWORD InputState::*;
constexpr Flag kFlags[] = {
    &InputState::bUp,        &InputState::bDown,        &InputState::bLeft,
    &InputState::bRight,     &InputState::bRollLeft,    &InputState::bRollRight,
    &InputState::bFire,      &InputState::bFineControl, &InputState::bSelfDestruct,
    &InputState::bThrust,    &InputState::bView,        &InputState::bPause,
    &InputState::bEscape,    &InputState::bEnter,       &InputState::bBrake,
    &InputState::bBackspace, &InputState::bLetterTyped,
};

// The flags that are set, as their positions in kFlags.
std::vector<int> FlagsSet(const InputState &input) {
    std::vector<int> set;
    for (int i = 0; i < static_cast<int>(std::size(kFlags)); ++i) {
        EXPECT_LE(input.*kFlags[i], 1u);
        if (input.*kFlags[i])
            set.push_back(i);
    }
    return set;
}

int IndexOf(Flag flag) {
    for (int i = 0; i < static_cast<int>(std::size(kFlags)); ++i)
        if (kFlags[i] == flag)
            return i;
    return -1;
}

TEST_F(GameInputTest, EachKeyAndMouseButtonSetsItsOwnFlag) {
    ASSERT_EQ(m_app->InitInput(m_window), S_OK);
    EXPECT_EQ(m_app->m_pController, nullptr);
    Frame(); // the mouse is acquired by its first read
    const std::pair<BYTE, Flag> keys[] = {
        {DIK_UP, &InputState::bUp},
        {DIK_DOWN, &InputState::bDown},
        {DIK_LEFT, &InputState::bLeft},
        {DIK_RIGHT, &InputState::bRight},
        {DIK_LCONTROL, &InputState::bFire},
        {DIK_NUMPAD0, &InputState::bFineControl},
        {DIK_F12, &InputState::bSelfDestruct},
        {DIK_LSHIFT, &InputState::bThrust},
        {DIK_F1, &InputState::bView},
        {DIK_PAUSE, &InputState::bPause},
        {DIK_ESCAPE, &InputState::bEscape},
        {DIK_RETURN, &InputState::bEnter},
        {DIK_SPACE, &InputState::bBrake},
        {DIK_BACK, &InputState::bBackspace},
    };
    for (const auto &[key, flag] : keys) {
        seams::PushKeyEvent(key, true);
        EXPECT_EQ(FlagsSet(Frame()), std::vector<int>{IndexOf(flag)}) << int(key);
        EXPECT_EQ(m_app->m_input.keys[key], 0x80);
        seams::PushKeyEvent(key, false);
        EXPECT_TRUE(FlagsSet(Frame()).empty()) << int(key);
    }
    // The right-hand Ctrl and Shift are not the left-hand ones.
    for (BYTE key : {DIK_RCONTROL, DIK_RSHIFT}) {
        seams::PushKeyEvent(key, true);
        EXPECT_TRUE(FlagsSet(Frame()).empty()) << int(key);
        seams::PushKeyEvent(key, false);
    }
    const std::pair<int, Flag> buttons[] = {
        {0, &InputState::bFire}, {1, &InputState::bThrust}, {2, &InputState::bFineControl}};
    for (const auto &[button, flag] : buttons) {
        seams::PushMouseButton(button, true);
        EXPECT_EQ(FlagsSet(Frame()), std::vector<int>{IndexOf(flag)}) << button;
        seams::PushMouseButton(button, false);
        EXPECT_TRUE(FlagsSet(Frame()).empty()) << button;
    }
    seams::PushMouseMotion(12, -5);
    Frame();
    EXPECT_EQ(m_app->m_mouseState.lX, 12);
    EXPECT_EQ(m_app->m_mouseState.lY, -5);
}

TEST_F(GameInputTest, LettersAreTypedInAlphabeticalOrderAndTheLastOneStays) {
    ASSERT_EQ(m_app->InitInput(m_window), S_OK);
    Frame();
    seams::PushKeyEvent(DIK_B, true);
    seams::PushKeyEvent(DIK_A, true);
    EXPECT_EQ(Frame().cLetter, 'A');
    seams::PushKeyEvent(DIK_A, false);
    EXPECT_EQ(Frame().cLetter, 'B');
    seams::PushKeyEvent(DIK_B, false);

    // Z and X steer and type at once.
    seams::PushKeyEvent(DIK_Z, true);
    EXPECT_EQ(FlagsSet(Frame()), (std::vector<int>{IndexOf(&InputState::bRollLeft),
                                                   IndexOf(&InputState::bLetterTyped)}));
    EXPECT_EQ(m_app->m_input.cLetter, 'Z');
    seams::PushKeyEvent(DIK_X, true);
    EXPECT_EQ(Frame().cLetter, 'X');
    EXPECT_EQ(m_app->m_input.bRollLeft + m_app->m_input.bRollRight, 2u);
    seams::PushKeyEvent(DIK_X, false);
    seams::PushKeyEvent(DIK_Z, false);
    EXPECT_TRUE(FlagsSet(Frame()).empty());
    EXPECT_EQ(m_app->m_input.cLetter, 'X');
}

TEST_F(GameInputTest, TheMotionControllerWinsElseTheLastOfferedAndItsAxesRunTo2047) {
    const int first = seams::AttachVirtualController("Pad One", 2, 2, 0);
    const int second = seams::AttachVirtualController("Pad Two", 2, 2, 0);
    ASSERT_EQ(m_app->InitInput(m_window), S_OK);
    ASSERT_NE(m_app->m_pController, nullptr);
    seams::SetVirtualControllerAxis(first, 0, 32767);
    seams::SetVirtualControllerAxis(second, 0, -32768);
    seams::SetVirtualControllerAxis(second, 1, 32767);
    seams::SetVirtualControllerButton(second, 1, true);
    Frame();
    EXPECT_EQ(m_app->m_controllerState.lX, -2048);
    EXPECT_EQ(m_app->m_controllerState.lY, 2047);
    EXPECT_EQ(m_app->m_controllerState.rgbButtons[1], 0x80);
    m_app->ReleaseInput();

    // A "Motion Controller" offered first stops the search there.
    seams::DetachVirtualController(first);
    seams::DetachVirtualController(second);
    const int motion = seams::AttachVirtualController("Motion Controller", 2, 2, 0);
    const int later = seams::AttachVirtualController("Pad Three", 2, 2, 0);
    ASSERT_EQ(m_app->InitInput(m_window), S_OK);
    seams::SetVirtualControllerAxis(motion, 1, 0);
    seams::SetVirtualControllerAxis(later, 1, 32767);
    Frame();
    EXPECT_EQ(m_app->m_controllerState.lY, 0);
}

TEST_F(GameInputTest, FocusLossReleasesEveryInputUntilTheWindowIsBack) {
    const int pad = seams::AttachVirtualController("Pad", 2, 2, 0);
    ASSERT_EQ(m_app->InitInput(m_window), S_OK);
    Frame();
    seams::PushKeyEvent(DIK_LCONTROL, true);
    seams::SetVirtualControllerButton(pad, 0, true);
    seams::SetVirtualControllerAxis(pad, 0, 32767);
    seams::PushMouseMotion(7, -3);
    Frame();
    ASSERT_EQ(m_app->m_input.bFire, 1u);
    ASSERT_EQ(m_app->m_mouseState.lX, 7);
    ASSERT_EQ(m_app->m_controllerState.rgbButtons[0], 0x80);

    Focus(SDL_WINDOWEVENT_FOCUS_LOST); // Alt+Tab away with the key and the button held
    for (int frame = 0; frame < 3; ++frame) {
        Frame();
        EXPECT_EQ(m_app->m_input.bFire, 0u);
        EXPECT_EQ(m_app->m_mouseState.lX, 0); // the last movement does not go on steering
        EXPECT_EQ(m_app->m_mouseState.lY, 0);
        EXPECT_EQ(m_app->m_controllerState.rgbButtons[0], 0);
        EXPECT_EQ(m_app->m_controllerState.lX, 0);
    }

    Focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    // The keyboard's read fails once more and acquires it, then the mouse's does the same.
    for (int frame = 0; frame < 3; ++frame)
        Frame();
    EXPECT_EQ(m_app->m_input.bFire, 1u);
    EXPECT_EQ(m_app->m_controllerState.rgbButtons[0], 0x80);
    EXPECT_EQ(m_app->m_controllerState.lX, 2047);
}

TEST_F(GameInputTest, AnUnpluggedControllerLeavesKeyboardAndMouseWorking) {
    const int pad = seams::AttachVirtualController("Pad", 2, 2, 0);
    ASSERT_EQ(m_app->InitInput(m_window), S_OK);
    seams::SetVirtualControllerButton(pad, 1, true);
    Frame();
    seams::DetachVirtualController(pad);
    seams::PushKeyEvent(DIK_SPACE, true);
    seams::PushMouseButton(1, true);
    for (int frame = 0; frame < 2; ++frame) {
        const InputState &input = Frame();
        EXPECT_EQ(input.bBrake, 1u);
        EXPECT_EQ(input.bThrust, 1u);
        EXPECT_EQ(m_app->m_controllerState.rgbButtons[1], 0);
    }
    m_app->ReleaseInput();
    EXPECT_EQ(m_app->m_pDirectInput, nullptr);
    EXPECT_EQ(m_app->m_pController, nullptr);
}

TEST_F(GameInputTest, SetUpFailuresAreTracedAndLeaveTheLaterDevicesOut) {
    const std::pair<const char *, const char *> failures[] = {
        {"DirectInput8Create", "DirectInput8Create"},
        {"DirectInput.CreateDevice", "CreateDevice"},
        {"Keyboard.SetDataFormat", "SetDataFormat"},
        {"Keyboard.SetCooperativeLevel", "SetCooperativeLevel"},
        {"Mouse.SetCooperativeLevel", "SetCooperativeLevelMouse"},
    };
    seams::AttachVirtualController("Pad", 2, 2, 0);
    for (const auto &[point, call] : failures) {
        seams::InjectFailure(point);
        seams::TakeDebugOutput();
        EXPECT_EQ(m_app->InitInput(m_window), E_FAIL) << point;
        const std::string trace = seams::TakeDebugOutput();
        const std::string ending = std::string("): ") + call + " hr=0x80004005\n";
        EXPECT_EQ(trace.rfind("asteroid game(", 0), 0u) << trace;
        EXPECT_TRUE(trace.ends_with(ending)) << trace;
        EXPECT_EQ(trace.find('\n'), trace.size() - 1) << trace;
        EXPECT_EQ(m_app->m_pController, nullptr);
        seams::PushKeyEvent(DIK_ESCAPE, true);
        Frame(); // whatever is missing, reading does not fail
        seams::PushKeyEvent(DIK_ESCAPE, false);
        m_app->ReleaseInput();
        seams::ClearFailures();
    }
}

} // namespace
