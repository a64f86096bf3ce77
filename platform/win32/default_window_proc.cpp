// The default handling of window messages that window procedures pass on: closing destroys the
// window, the system menu's commands act on the SDL window, and Alt+F4 closes.
#include "platform/win32/messages.h"
#include "platform/win32/virtual_keys.h"
#include "platform/win32/window.h"
#include "platform/win32/window_internal.h"

#include <SDL.h>

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND: {
        const auto info = win32::detail::Lookup(window);
        if (!info)
            return 0;
        // The low four bits of a system command are the system's own.
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(window, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            SDL_MinimizeWindow(info->sdl);
            break;
        case SC_MAXIMIZE:
            SDL_MaximizeWindow(info->sdl);
            break;
        case SC_RESTORE:
            SDL_RestoreWindow(info->sdl);
            break;
        default:
            break;
        }
        return 0;
    }
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & KF_ALTDOWN_BIT))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_SETCURSOR:
        // In the client area the class cursor is shown.
        if (static_cast<LRESULT>(LOWORD(lParam)) == HTCLIENT) {
            const auto info = win32::detail::Lookup(window);
            if (info && info->classCursor) {
                SetCursor(info->classCursor);
                return TRUE;
            }
        }
        return FALSE;
    case WM_ERASEBKGND:
        return 1;
    case WM_POWERBROADCAST:
        return TRUE;
    default:
        return 0;
    }
}
