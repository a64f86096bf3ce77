// A user's hand on an X desktop with a window manager: moves and resizes asked of the X server as a
// user's tools ask them, where a window and its frame really stand, and waits for the desktop.
#pragma once

#include "platform/win32/win32.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <functional>

namespace test_support {

struct XWindowRef {
    Display *display = nullptr;
    Window window = 0;
};

inline XWindowRef XWindowOf(SDL_Window *sdl) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!sdl || !SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    return {info.info.x11.display, info.info.x11.window};
}

// Whether the window is on an X display where a window manager runs.
inline bool UnderWindowManager(SDL_Window *sdl) {
    const XWindowRef x = XWindowOf(sdl);
    if (!x.display)
        return false;
    const Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const bool found =
        XGetWindowProperty(x.display, DefaultRootWindow(x.display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data)
        XFree(data);
    return found;
}

inline void UserMoves(SDL_Window *sdl, int x, int y) {
    const XWindowRef w = XWindowOf(sdl);
    XMoveWindow(w.display, w.window, x, y);
    XFlush(w.display);
}

inline void UserResizes(SDL_Window *sdl, int width, int height) {
    const XWindowRef w = XWindowOf(sdl);
    XResizeWindow(w.display, w.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(w.display);
}

// Where the client area's corner stands on the screen, as the X server says.
inline POINT ClientOnScreen(SDL_Window *sdl) {
    const XWindowRef w = XWindowOf(sdl);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(w.display, w.window, DefaultRootWindow(w.display), 0, 0, &x, &y, &child);
    return POINT{x, y};
}

// The frame the window manager put around the window: its outermost window below the root.
inline RECT FrameOnScreen(SDL_Window *sdl) {
    const XWindowRef w = XWindowOf(sdl);
    Window frame = w.window, root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    while (XQueryTree(w.display, frame, &root, &parent, &children, &count)) {
        if (children)
            XFree(children);
        if (parent == root)
            break;
        frame = parent;
    }
    XWindowAttributes a{};
    XGetWindowAttributes(w.display, frame, &a);
    const int border = 2 * a.border_width;
    return RECT{a.x, a.y, a.x + a.width + border, a.y + a.height + border};
}

// Waits up to 20 s for `done`, running this thread's messages meanwhile when `pump`.
inline bool WaitFor(const std::function<bool()> &done, bool pump = true) {
    const Uint64 end = SDL_GetTicks64() + 20000;
    while (!done()) {
        if (SDL_GetTicks64() > end)
            return false;
        MSG msg;
        while (pump && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        SDL_Delay(5);
    }
    return true;
}

// The window manager has framed the window and SDL knows the frame and where the window stands.
inline bool Settled(SDL_Window *sdl) {
    return WaitFor([sdl] {
        int top = 0, left = 0, bottom = 0, right = 0, x = 0, y = 0;
        SDL_GetWindowPosition(sdl, &x, &y);
        const POINT real = ClientOnScreen(sdl);
        return SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) == 0 && top > 0 &&
               real.x == x && real.y == y;
    });
}

} // namespace test_support
