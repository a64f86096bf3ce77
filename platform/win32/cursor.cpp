// The mouse cursor: which cursor is set (NULL hides it), the display count of ShowCursor, the
// pointer position and confinement to a rectangle.
#include "platform/win32/window.h"
#include "platform/win32/window_internal.h"

#include <SDL.h>

#include <mutex>

namespace {

struct CursorState {
    std::mutex lock;
    HCURSOR current = nullptr;
    bool currentSet = false;
    int displayCount = 0;
    bool positionKnown = false;
    POINT position{0, 0};
};

CursorState &state() {
    static CursorState s;
    return s;
}

// The pointer is visible when a cursor is set and the display count is not negative.
void applyVisibility(const CursorState &s) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    const bool visible = (!s.currentSet || s.current) && s.displayCount >= 0;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

} // namespace

namespace win32::detail {

void NoteCursorPosition(HWND window, int clientX, int clientY) {
    const auto info = Lookup(window);
    if (!info)
        return;
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(info->sdl, &x, &y);
    CursorState &s = state();
    std::lock_guard guard(s.lock);
    s.position = {x + clientX, y + clientY};
    s.positionKnown = true;
}

POINT LastCursorPosition() {
    CursorState &s = state();
    std::lock_guard guard(s.lock);
    return s.positionKnown ? s.position : POINT{0, 0};
}

void ForgetCursorPosition() {
    CursorState &s = state();
    std::lock_guard guard(s.lock);
    s.positionKnown = false;
}

} // namespace win32::detail

HCURSOR SetCursor(HCURSOR cursor) {
    CursorState &s = state();
    std::lock_guard guard(s.lock);
    const HCURSOR previous = s.current;
    s.current = cursor;
    s.currentSet = true;
    applyVisibility(s);
    return previous;
}

int ShowCursor(BOOL show) {
    CursorState &s = state();
    std::lock_guard guard(s.lock);
    s.displayCount += show ? 1 : -1;
    applyVisibility(s);
    return s.displayCount;
}

BOOL GetCursorPos(POINT *point) {
    if (!point)
        return FALSE;
    CursorState &s = state();
    {
        std::lock_guard guard(s.lock);
        if (s.positionKnown) {
            *point = s.position;
            return TRUE;
        }
    }
    // No mouse message seen yet: ask the desktop.
    int x = 0;
    int y = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_GetGlobalMouseState(&x, &y);
    *point = {x, y};
    return TRUE;
}

BOOL ClipCursor(const RECT *rect) {
    HWND window = win32::detail::MainWindow();
    const auto info = win32::detail::Lookup(window);
    if (!info)
        return rect ? FALSE : TRUE;
    if (!rect) {
        SDL_SetWindowMouseRect(info->sdl, nullptr);
        return TRUE;
    }
    // SDL confines to a rectangle of the window's client area.
    POINT topLeft{rect->left, rect->top};
    ScreenToClient(window, &topLeft);
    const SDL_Rect area{topLeft.x, topLeft.y, rect->right - rect->left, rect->bottom - rect->top};
    return SDL_SetWindowMouseRect(info->sdl, &area) == 0 ? TRUE : FALSE;
}
