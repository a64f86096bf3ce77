// Tests stand in for the window system: a focus or show change of one window, queued in SDL as
// the real system would queue it.
#pragma once

#include "platform/win32/win32.h"

#include <SDL.h>

namespace test_events {

inline void PushWindowEvent(HWND target, Uint8 kind) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(win32::SdlWindowOf(target));
    event.window.event = kind;
    SDL_PushEvent(&event);
}

} // namespace test_events
