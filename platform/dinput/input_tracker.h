// The keyboard and mouse as the devices see them: which keys and buttons are held and how far the
// mouse has moved in all, kept from every SDL event as it enters SDL's queue (real input gathered
// by the message pump and events a program pushes alike), so no device depends on who reads
// SDL's queue or on SDL's own keyboard state, which pushed events never change.
#pragma once

#include "platform/dinput/dinput.h"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <mutex>

namespace dinput {

class InputTracker {
public:
    static InputTracker &Instance();

    // Starts (or, after SDL was shut down and started again, restarts) watching SDL's events.
    void Watch();

    // The mouse's total movement so far; a device keeps the totals of its last read.
    struct MouseTotals {
        std::int64_t x = 0;
        std::int64_t y = 0;
        std::int64_t z = 0;
    };
    MouseTotals MouseTotalsNow();

    void ReadKeys(BYTE keys[256]);
    // The movement since `mark` (which then moves to now) and the buttons held.
    void ReadMouse(MouseTotals &mark, DIMOUSESTATE2 *state);
    bool KeyDown(BYTE dik);
    bool MouseButtonDown(int button);

    // What an event of the device would do: a key or button goes down or up, the mouse moves.
    void SetKey(BYTE dik, bool down);
    void SetMouseButton(int button, bool down);
    void MoveMouse(LONG dx, LONG dy, LONG dz);
    // Every key and button up.
    void ReleaseAll();

    void Observe(const SDL_Event &event);

private:
    InputTracker() = default;

    std::mutex m_lock; // events may be pushed from any thread
    std::array<BYTE, 256> m_keys{};
    std::array<BYTE, 8> m_buttons{};
    MouseTotals m_mouse;
};

// The DirectInput number of an SDL mouse button (0 left, 1 right, 2 middle, then the extra
// buttons), or -1 past the eighth; and back.
int MouseButtonOfSdl(Uint8 sdlButton);
Uint8 SdlOfMouseButton(int button);

// One wheel notch of the mouse's z axis.
constexpr LONG kWheelDelta = 120;

} // namespace dinput
