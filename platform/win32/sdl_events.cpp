// SDL events to the window messages a Windows program receives: closing, sizing and moving (with
// the size-move pair around a resize or a move by the user), activation, painting, keys,
// characters and the mouse. Focus and minimising also move the layer's active window.
#include "platform/win32/sdl_events.h"

#include "platform/win32/activation.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/messages.h"
#include "platform/win32/virtual_keys.h"
#include "platform/win32/window_internal.h"

#include <cstring>
#include <mutex>

namespace win32::detail {

namespace {

struct MouseButtons {
    std::mutex lock;
    WPARAM held = 0;
};

MouseButtons &buttons() {
    static MouseButtons b;
    return b;
}

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto info = Lookup(window))
        info->queue->Post(MakeMessage(window, message, wParam, lParam));
}

HWND targetOf(Uint32 sdlWindowId) {
    if (HWND window = WindowOfSdlId(sdlWindowId))
        return window;
    // Keyboard events of a window without focus carry no id: they belong to the main window.
    return sdlWindowId == 0 ? MainWindow() : nullptr;
}

LPARAM clientSize(int width, int height) {
    return MAKELPARAM(width, height);
}

bool resizedByUser(HWND window, const WindowInfo &info, int width, int height) {
    // A resize of a windowed frame that the layer did not ask for itself; full-screen switches
    // and the program's own SetWindowPos only report their new size.
    if (ConsumeExpectedSize(window, width, height))
        return false;
    if (!(info.style & WS_THICKFRAME))
        return false;
    return !(SDL_GetWindowFlags(info.sdl) & SDL_WINDOW_FULLSCREEN);
}

void translateWindowEvent(const SDL_WindowEvent &event) {
    HWND window = WindowOfSdlId(event.windowID);
    const auto info = Lookup(window);
    if (!info)
        return;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        if (!info->queue->HasQueued(window, WM_CLOSE))
            post(window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        Deactivate(window);
        post(window, WM_SIZE, SIZE_MINIMIZED, 0);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED: {
        // Bringing a window back from the task bar brings it to the front.
        Activate(window);
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(info->sdl, &width, &height);
        post(window, WM_SIZE,
             event.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED,
             clientSize(width, height));
        break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // Every size change reports the new client size; a change the user made is also wrapped
        // in a size-move pair when its resized event follows.
        post(window, WM_SIZE, SIZE_RESTORED, clientSize(event.data1, event.data2));
        break;
    case SDL_WINDOWEVENT_RESIZED:
        if (resizedByUser(window, *info, event.data1, event.data2)) {
            info->queue->WrapNewestSize(window, MakeMessage(window, WM_ENTERSIZEMOVE, 0, 0),
                                        MakeMessage(window, WM_EXITSIZEMOVE, 0, 0));
        }
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Activate(window);
        post(window, WM_ACTIVATEAPP, TRUE, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Deactivate(window);
        post(window, WM_ACTIVATEAPP, FALSE, 0);
        break;
    case SDL_WINDOWEVENT_MOVED:
        // The user's drag of a window is a size-move too: the program reads its new place at
        // the end of it. The steps of one drag still waiting in the queue make one pair.
        if (NoteWindowMoved(window) && (info->style & WS_CAPTION) == WS_CAPTION &&
            !info->queue->HasQueued(window, WM_EXITSIZEMOVE)) {
            post(window, WM_ENTERSIZEMOVE, 0, 0);
            post(window, WM_EXITSIZEMOVE, 0, 0);
        }
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        info->queue->Invalidate(window);
        break;
    default:
        break;
    }
}

void translateKey(const SDL_KeyboardEvent &event) {
    HWND window = targetOf(event.windowID);
    if (!window)
        return;
    const KeyCode key = KeyCodeOfSdlScancode(event.keysym.scancode);
    if (!key.virtualKey)
        return;
    const bool down = event.type == SDL_KEYDOWN;
    const bool alt = (event.keysym.mod & KMOD_ALT) != 0;
    // Alt combinations, Alt itself and F10 are system keys.
    const bool system = alt || key.virtualKey == VK_MENU || key.virtualKey == VK_F10;
    const UINT message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1 | (static_cast<LPARAM>(key.scanCode) << 16);
    if (key.extended)
        lParam |= KF_EXTENDED_BIT;
    if (alt)
        lParam |= KF_ALTDOWN_BIT;
    if (!down || event.repeat)
        lParam |= KF_REPEAT_BIT;
    if (!down)
        lParam |= KF_UP_BIT;
    post(window, message, key.virtualKey, lParam);

    // Keys that make control characters, which SDL's text input leaves out.
    const bool control = (event.keysym.mod & KMOD_CTRL) != 0;
    if (down && !alt && !control) {
        const BYTE vk = key.virtualKey;
        if (vk == VK_RETURN || vk == VK_BACK || vk == VK_TAB || vk == VK_ESCAPE)
            post(window, WM_CHAR, vk == VK_RETURN ? '\r' : vk, lParam);
    }
}

void translateText(const SDL_TextInputEvent &event) {
    HWND window = targetOf(event.windowID);
    if (!window)
        return;
    // UTF-8 to the single-byte characters of WM_CHAR; characters beyond Latin-1 become '?'.
    // The text is bounded by its buffer even if an injected event forgot the terminator.
    const auto *p = reinterpret_cast<const unsigned char *>(event.text);
    const auto *end = p + strnlen(event.text, sizeof event.text);
    while (p < end) {
        unsigned codePoint = *p;
        int extra = 0;
        if (codePoint >= 0xF0) {
            codePoint &= 0x07;
            extra = 3;
        } else if (codePoint >= 0xE0) {
            codePoint &= 0x0F;
            extra = 2;
        } else if (codePoint >= 0xC0) {
            codePoint &= 0x1F;
            extra = 1;
        }
        ++p;
        for (; extra > 0 && p < end && (*p & 0xC0) == 0x80; --extra, ++p)
            codePoint = (codePoint << 6) | (*p & 0x3F);
        post(window, WM_CHAR, codePoint <= 0xFF ? codePoint : '?', 1);
    }
}

WPARAM modifierFlags() {
    const SDL_Keymod mod = SDL_GetModState();
    WPARAM flags = 0;
    if (mod & KMOD_SHIFT)
        flags |= MK_SHIFT;
    if (mod & KMOD_CTRL)
        flags |= MK_CONTROL;
    return flags;
}

void translateMotion(const SDL_MouseMotionEvent &event) {
    HWND window = WindowOfSdlId(event.windowID);
    if (!window)
        return;
    NoteCursorPosition(window, event.x, event.y);
    WPARAM held;
    {
        MouseButtons &b = buttons();
        std::lock_guard guard(b.lock);
        held = b.held;
    }
    // The desktop asks the window which cursor to show before it reports the move.
    post(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    post(window, WM_MOUSEMOVE, held | modifierFlags(), MAKELPARAM(event.x, event.y));
}

void translateButton(const SDL_MouseButtonEvent &event) {
    HWND window = WindowOfSdlId(event.windowID);
    if (!window)
        return;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    UINT message;
    WPARAM flag;
    switch (event.button) {
    case SDL_BUTTON_LEFT:
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        flag = MK_LBUTTON;
        break;
    case SDL_BUTTON_RIGHT:
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        flag = MK_RBUTTON;
        break;
    case SDL_BUTTON_MIDDLE:
        message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        flag = MK_MBUTTON;
        break;
    default:
        return;
    }
    NoteCursorPosition(window, event.x, event.y);
    WPARAM held;
    {
        MouseButtons &b = buttons();
        std::lock_guard guard(b.lock);
        b.held = down ? (b.held | flag) : (b.held & ~flag);
        held = b.held;
    }
    post(window, message, held | modifierFlags(), MAKELPARAM(event.x, event.y));
}

} // namespace

void TranslateSdlEvent(const SDL_Event &event) {
    switch (event.type) {
    case SDL_QUIT:
        // The desktop asks the program to end (last window closed, a signal): close the main
        // window once.
        if (HWND window = MainWindow()) {
            if (const auto info = Lookup(window); info && !info->queue->HasQueued(window, WM_CLOSE))
                post(window, WM_CLOSE, 0, 0);
        }
        break;
    case SDL_WINDOWEVENT:
        translateWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        translateKey(event.key);
        break;
    case SDL_TEXTINPUT:
        translateText(event.text);
        break;
    case SDL_MOUSEMOTION:
        translateMotion(event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        translateButton(event.button);
        break;
    default:
        break;
    }
}

void ForgetMouseButtons() {
    MouseButtons &b = buttons();
    std::lock_guard guard(b.lock);
    b.held = 0;
}

void PumpSdlEvents(bool scripted) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    StartEventRound();
    SDL_PumpEvents();
    if (scripted) {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        return;
    }
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        TranslateSdlEvent(event);
}

} // namespace win32::detail
