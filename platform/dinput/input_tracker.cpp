// Key, button and movement state from SDL's events.
#include "platform/dinput/input_tracker.h"

#include "platform/dinput/key_codes.h"

#include <algorithm>
#include <limits>

namespace dinput {

namespace {

constexpr BYTE kDown = 0x80;

int watchEvents(void *, SDL_Event *event) {
    InputTracker::Instance().Observe(*event);
    return 0;
}

LONG clampToLong(std::int64_t value) {
    return static_cast<LONG>(std::clamp<std::int64_t>(value, std::numeric_limits<LONG>::min(),
                                                      std::numeric_limits<LONG>::max()));
}

} // namespace

int MouseButtonOfSdl(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return 0;
    case SDL_BUTTON_RIGHT:
        return 1;
    case SDL_BUTTON_MIDDLE:
        return 2;
    default:
        // X1, X2 and the buttons beyond keep SDL's order.
        return sdlButton >= SDL_BUTTON_X1 && sdlButton < SDL_BUTTON_X1 + 5 ? sdlButton - 1 : -1;
    }
}

Uint8 SdlOfMouseButton(int button) {
    switch (button) {
    case 0:
        return SDL_BUTTON_LEFT;
    case 1:
        return SDL_BUTTON_RIGHT;
    case 2:
        return SDL_BUTTON_MIDDLE;
    default:
        return button >= 3 && button < 8 ? static_cast<Uint8>(button + 1) : 0;
    }
}

InputTracker &InputTracker::Instance() {
    static InputTracker tracker;
    return tracker;
}

void InputTracker::Watch() {
    if (!SDL_WasInit(SDL_INIT_EVENTS))
        SDL_InitSubSystem(SDL_INIT_EVENTS);
    // Removing first makes this safe to repeat: the watch is there exactly once afterwards.
    SDL_DelEventWatch(watchEvents, nullptr);
    SDL_AddEventWatch(watchEvents, nullptr);
}

InputTracker::MouseTotals InputTracker::MouseTotalsNow() {
    std::lock_guard guard(m_lock);
    return m_mouse;
}

void InputTracker::ReadKeys(BYTE keys[256]) {
    std::lock_guard guard(m_lock);
    std::copy(m_keys.begin(), m_keys.end(), keys);
}

void InputTracker::ReadMouse(MouseTotals &mark, DIMOUSESTATE2 *state) {
    std::lock_guard guard(m_lock);
    state->lX = clampToLong(m_mouse.x - mark.x);
    state->lY = clampToLong(m_mouse.y - mark.y);
    state->lZ = clampToLong(m_mouse.z - mark.z);
    std::copy(m_buttons.begin(), m_buttons.end(), state->rgbButtons);
    mark = m_mouse;
}

bool InputTracker::KeyDown(BYTE dik) {
    std::lock_guard guard(m_lock);
    return m_keys[dik] != 0;
}

bool InputTracker::MouseButtonDown(int button) {
    std::lock_guard guard(m_lock);
    return button >= 0 && button < 8 && m_buttons[static_cast<std::size_t>(button)] != 0;
}

void InputTracker::SetKey(BYTE dik, bool down) {
    std::lock_guard guard(m_lock);
    m_keys[dik] = down ? kDown : 0;
}

void InputTracker::SetMouseButton(int button, bool down) {
    if (button < 0 || button >= 8)
        return;
    std::lock_guard guard(m_lock);
    m_buttons[static_cast<std::size_t>(button)] = down ? kDown : 0;
}

void InputTracker::MoveMouse(LONG dx, LONG dy, LONG dz) {
    std::lock_guard guard(m_lock);
    m_mouse.x += dx;
    m_mouse.y += dy;
    m_mouse.z += dz;
}

void InputTracker::ReleaseAll() {
    std::lock_guard guard(m_lock);
    m_keys.fill(0);
    m_buttons.fill(0);
}

void InputTracker::Observe(const SDL_Event &event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (const BYTE dik = DikOfScancode(event.key.keysym.scancode))
            SetKey(dik, event.type == SDL_KEYDOWN);
        break;
    case SDL_MOUSEMOTION:
        MoveMouse(event.motion.xrel, event.motion.yrel, 0);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        SetMouseButton(MouseButtonOfSdl(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEWHEEL: {
        // Away from the user is positive, whichever way the desktop turns the wheel.
        const LONG notches =
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        MoveMouse(0, 0, notches * kWheelDelta);
        break;
    }
    default:
        break;
    }
}

} // namespace dinput
