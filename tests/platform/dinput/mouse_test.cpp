// The mouse device fed by SDL mouse events: movement since the previous read, the wheel, buttons
// in DirectInput's order.
#include "input_fixture.h"

namespace {

using namespace input_test;

DIMOUSESTATE2 Read(IDirectInputDevice8A *mouse) {
    DIMOUSESTATE2 state{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    return state;
}

TEST_F(InputTest, MouseReportsMovementSinceThePreviousReadAndTheWheelInNotches) {
    // Movement before the mouse is acquired is nobody's.
    seams::PushMouseMotion(50, 50);
    IDirectInputDevice8A *mouse = Make(GUID_SysMouse, c_dfDIMouse2, kExclusiveLevel);
    seams::PushMouseMotion(3, -2);
    seams::PushMouseMotion(4, 1);
    seams::PushMouseWheel(2);
    Pump();
    DIMOUSESTATE2 state = Read(mouse);
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, -1);
    EXPECT_EQ(state.lZ, 240);
    state = Read(mouse);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.lZ, 0);
}

TEST_F(InputTest, MouseButtonsComeInDirectInputOrder) {
    IDirectInputDevice8A *mouse = Make(GUID_SysMouse, c_dfDIMouse2, kExclusiveLevel);
    // SDL numbers left 1, middle 2, right 3, then the side buttons; the device left 0, right 1,
    // middle 2.
    const std::pair<Uint8, int> buttons[] = {{SDL_BUTTON_LEFT, 0},
                                             {SDL_BUTTON_RIGHT, 1},
                                             {SDL_BUTTON_MIDDLE, 2},
                                             {SDL_BUTTON_X1, 3},
                                             {SDL_BUTTON_X2, 4}};
    for (const auto &[sdlButton, expected] : buttons) {
        SDL_Event event{};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = sdlButton;
        event.button.state = SDL_PRESSED;
        SDL_PushEvent(&event);
        const DIMOUSESTATE2 state = Read(mouse);
        for (int b = 0; b < 8; ++b)
            EXPECT_EQ(state.rgbButtons[b], b == expected ? 0x80 : 0) << int(sdlButton);
        event.type = SDL_MOUSEBUTTONUP;
        event.button.state = SDL_RELEASED;
        SDL_PushEvent(&event);
    }
    seams::PushMouseButton(1, true);
    Pump();
    EXPECT_EQ(Read(mouse).rgbButtons[1], 0x80);
}

} // namespace

namespace {

using namespace input_test;

TEST_F(InputTest, ExclusiveMouseHoldsThePointerOnlyWhileAcquired) {
    IDirectInputDevice8A *mouse = Make(GUID_SysMouse, c_dfDIMouse2, kExclusiveLevel);
    // Drivers without a pointer (offscreen) cannot hold one; then there is nothing to give back.
    const bool held = SDL_GetRelativeMouseMode() == SDL_TRUE;
    PushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(SDL_GetRelativeMouseMode(), SDL_FALSE);
    PushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(SDL_GetRelativeMouseMode(), held ? SDL_TRUE : SDL_FALSE);
    EXPECT_EQ(mouse->Unacquire(), DI_OK);
    EXPECT_EQ(SDL_GetRelativeMouseMode(), SDL_FALSE);
}

} // namespace
