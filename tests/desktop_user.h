// A user's hand on an X desktop with a window manager (scripts/with_desktop.sh): moves and resizes
// asked of the X server as a user's tools ask them, and waits for the desktop to answer.
#pragma once

#include "platform/win32/win32.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <utility>

namespace test_support {

// The X window of `sdl` when it is on a desktop with a window manager; a null display otherwise.
inline std::pair<Display *, Window> XWindowOf(SDL_Window *sdl) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_getenv("TARVOS_WINDOW_MANAGER") || !SDL_GetWindowWMInfo(sdl, &info) ||
        info.subsystem != SDL_SYSWM_X11)
        return {nullptr, 0};
    return {info.info.x11.display, info.info.x11.window};
}

// A move to (a, b) with CWX | CWY, or a resize to a x b with CWWidth | CWHeight, asked of the X
// server for the window manager to carry out.
inline void UserConfigures(SDL_Window *sdl, unsigned mask, int a, int b) {
    const auto [display, window] = XWindowOf(sdl);
    XWindowChanges changes{};
    changes.x = changes.width = a;
    changes.y = changes.height = b;
    XConfigureWindow(display, window, mask, &changes);
    XFlush(display);
}

// Runs this thread's messages, for up to 20 s, until the window manager has framed the window and
// SDL knows the frame and where the window stands, other than `notAt`; whether that came.
inline bool Settled(SDL_Window *sdl, POINT notAt = {-1 << 20, 0}) {
    const auto settled = [=] {
        const auto [d, w] = XWindowOf(sdl);
        int top = 0, x = 0, y = 0, realX = 0, realY = 0;
        Window child = 0;
        XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &realX, &realY, &child);
        SDL_GetWindowBordersSize(sdl, &top, nullptr, nullptr, nullptr);
        SDL_GetWindowPosition(sdl, &x, &y);
        return top > 0 && realX == x && realY == y && (x != notAt.x || y != notAt.y);
    };
    const Uint64 end = SDL_GetTicks64() + 20000;
    for (MSG msg; !settled() && SDL_GetTicks64() < end; SDL_Delay(5)) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return settled();
}

} // namespace test_support
