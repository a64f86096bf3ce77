// Windows placed by the layer stay inside the work area: a size stored by a larger desktop, or a
// rectangle read while the window filled the screen, must not leave the title bar out of reach.
#include "platform/win32/window_placement.h"

#include "platform/win32/window_internal.h"

#include <SDL.h>

#include <algorithm>

namespace win32::detail {

namespace {

RECT toRect(const SDL_Rect &r) {
    return RECT{r.x, r.y, r.x + r.w, r.y + r.h};
}

// Moves [low, high) as far as it takes to lie inside [first, last), keeping its length (which is
// at most last - first).
void slideInto(LONG &low, LONG &high, LONG first, LONG last) {
    const LONG length = high - low;
    if (high > last) {
        high = last;
        low = last - length;
    }
    if (low < first) {
        low = first;
        high = first + length;
    }
}

} // namespace

RECT PrimaryWorkArea() {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0)
        return toRect(usable);
    // No display to ask: the smallest desktop the layer offers.
    return RECT{0, 0, 640, 480};
}

RECT WorkAreaFor(const RECT &window) {
    const LONG centreX = window.left + (window.right - window.left) / 2;
    const LONG centreY = window.top + (window.bottom - window.top) / 2;
    const int displays = SDL_GetNumVideoDisplays();
    for (int i = 0; i < displays; ++i) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(i, &bounds) != 0)
            continue;
        if (centreX < bounds.x || centreX >= bounds.x + bounds.w || centreY < bounds.y ||
            centreY >= bounds.y + bounds.h)
            continue;
        SDL_Rect usable{};
        return toRect(SDL_GetDisplayUsableBounds(i, &usable) == 0 ? usable : bounds);
    }
    return PrimaryWorkArea();
}

RECT FitIntoWorkArea(const RECT &window, const RECT &workArea) {
    RECT fitted = window;
    fitted.right =
        fitted.left + std::min(window.right - window.left, workArea.right - workArea.left);
    fitted.bottom =
        fitted.top + std::min(window.bottom - window.top, workArea.bottom - workArea.top);
    slideInto(fitted.left, fitted.right, workArea.left, workArea.right);
    slideInto(fitted.top, fitted.bottom, workArea.top, workArea.bottom);
    return fitted;
}

RECT CentreInWorkArea(LONG width, LONG height, const RECT &workArea) {
    width = std::min(width, workArea.right - workArea.left);
    height = std::min(height, workArea.bottom - workArea.top);
    const LONG left = workArea.left + (workArea.right - workArea.left - width) / 2;
    const LONG top = workArea.top + (workArea.bottom - workArea.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

RECT PlacementInsets(SDL_Window *sdl, DWORD style) {
    RECT inset = FrameInsets(style);
    int top = 0, left = 0, bottom = 0, right = 0;
    // The desktop's frame is known once its window manager has framed the window.
    if (sdl && (style & WS_CAPTION) == WS_CAPTION &&
        !(SDL_GetWindowFlags(sdl) & SDL_WINDOW_BORDERLESS) &&
        SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) == 0) {
        inset.left = std::max<LONG>(inset.left, left);
        inset.top = std::max<LONG>(inset.top, top);
        inset.right = std::max<LONG>(inset.right, right);
        inset.bottom = std::max<LONG>(inset.bottom, bottom);
    }
    return inset;
}

} // namespace win32::detail
