// Window classes and windows over SDL windows: registration, creation and destruction, styles,
// rectangles and placement. Handles are numbers never reused, so a stale handle finds nothing.
#include "platform/win32/window.h"

#include "platform/win32/activation.h"
#include "platform/win32/debug_output.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/messages.h"
#include "platform/win32/window_internal.h"
#include "platform/win32/window_placement.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <string>

namespace {

struct WindowClass {
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
};

struct WindowRecord {
    SDL_Window *sdl = nullptr;
    WNDPROC proc = nullptr;
    std::shared_ptr<win32::detail::MessageQueue> queue;
    DWORD style = 0;
    DWORD exStyle = 0;
    HICON classIcon = nullptr;
    HCURSOR classCursor = nullptr;
    bool destroying = false;
    int expectedWidth = -1;
    int expectedHeight = -1;
    // Where the layer last put the client area, while the desktop's answer may still come: it
    // comes in the first event round after the placement, or not at all.
    bool placing = false;
    POINT placedAt{};
    std::uint64_t placedInRound = 0;
    // Where the client area last stood as far as the layer knows: a move report that finds it
    // there still moved nothing.
    POINT knownAt{};
    // A window manager drew a frame around the window: it frames it anew when its style changes.
    bool framedByDesktop = false;
};

struct WindowTable {
    std::mutex lock;
    std::map<std::string, WindowClass> classes;
    std::map<HWND, WindowRecord> windows; // ordered by handle, so by age
    std::uintptr_t nextHandle = 0x10000;
    ATOM nextAtom = 0xC000;
    std::uint64_t eventRound = 0;
};

WindowTable &table() {
    static WindowTable t;
    return t;
}

std::string classKey(LPCSTR name) {
    std::string key;
    if (IS_INTRESOURCE(name)) {
        // Built front to back, as a literal prepended to a temporary draws overlap warnings
        // from optimised builds.
        key = '#';
        key += std::to_string(reinterpret_cast<std::uintptr_t>(name));
    } else {
        for (const char *p = name; *p; ++p)
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    }
    return key;
}

void trace(const std::string &line) {
    OutputDebugStringA((line + "\n").c_str());
}

// Frame thicknesses of the layer's own window frame: a sizing border, a dialog frame or a thin
// border, and a caption bar.
constexpr LONG kSizingBorder = 4;
constexpr LONG kDialogFrame = 3;
constexpr LONG kThinBorder = 1;
constexpr LONG kCaptionHeight = 19;

bool hasDecorations(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

void applyMinimumSize(HWND window, SDL_Window *sdl, DWORD style) {
    // The window procedure may ask for a minimum tracking size; SDL takes it as a client size.
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(0, &desktop);
    MINMAXINFO info{};
    info.ptMaxSize = {desktop.w, desktop.h};
    info.ptMaxTrackSize = {desktop.w, desktop.h};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    const RECT inset = win32::detail::FrameInsets(style);
    const int minWidth = std::max<LONG>(1, info.ptMinTrackSize.x - inset.left - inset.right);
    const int minHeight = std::max<LONG>(1, info.ptMinTrackSize.y - inset.top - inset.bottom);
    if (win32::SdlWindowOf(window) == sdl)
        SDL_SetWindowMinimumSize(sdl, minWidth, minHeight);
}

// The display stays open from the first window to the end of the process, as the desktop does:
// closing and reopening the connection for every window is slow and, on a busy X server, fails.
bool holdVideo() {
    static std::mutex lock;
    static bool held = false;
    std::lock_guard guard(lock);
    // Someone may have shut SDL down altogether since (SDL_Quit): then open it again.
    if (!held || !SDL_WasInit(SDL_INIT_VIDEO)) {
        held = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        // Likewise the GL library every window is made for: loaded once, not once per window.
        if (held && SDL_GL_LoadLibrary(nullptr) != 0)
            trace(std::string("CreateWindowExA: no GL library: ") + SDL_GetError());
    }
    return held;
}

bool framedByDesktop(HWND window) {
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.windows.find(window);
    return it != t.windows.end() && it->second.framedByDesktop;
}

// Waits, for a moment at most, until SDL has heard whether the window manager draws a frame
// around `sdl` now. A window manager frames a window anew on its own time, keeping the frame's
// corner where it was (openbox does), so the client area shifts by the frame's thickness; a
// placement asked before SDL knows the new frame would land that far off.
void awaitDesktopFrame(SDL_Window *sdl, bool framed) {
    constexpr Uint64 kLongestWaitMs = 250;
    const Uint64 end = SDL_GetTicks64() + kLongestWaitMs;
    int top = 0, left = 0, bottom = 0, right = 0;
    do {
        SDL_PumpEvents(); // the events stay queued for the message loop
        if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) != 0 ||
            (top > 0 || left > 0) == framed)
            return;
        SDL_Delay(1);
    } while (SDL_GetTicks64() < end);
}

void applyStyle(HWND window, SDL_Window *sdl, DWORD style) {
    const bool framed = hasDecorations(style);
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    const bool reframed =
        framed == ((flags & SDL_WINDOW_BORDERLESS) != 0) &&
        !(flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
    SDL_SetWindowBordered(sdl, framed ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(sdl, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
    if (reframed && framedByDesktop(window))
        awaitDesktopFrame(sdl, framed);
}

// The window rectangle in the layer's frame for `style`, from the SDL window's client area.
RECT outerOf(SDL_Window *sdl, DWORD style) {
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    SDL_GetWindowSize(sdl, &w, &h);
    const RECT inset = win32::detail::FrameInsets(style);
    return RECT{x - inset.left, y - inset.top, x + w + inset.right, y + h + inset.bottom};
}

// The client rectangle the window would have with `inset` around it, where the window procedure
// asked for `outer` (in the layer's frame for `style`): the caller's client size, moved and cut
// down so that the client area with `inset` around it lies inside the work area.
RECT placedClient(const RECT &outer, DWORD style, const RECT &inset) {
    const RECT layer = win32::detail::FrameInsets(style);
    const RECT grown{outer.left + layer.left - inset.left, outer.top + layer.top - inset.top,
                     outer.right - layer.right + inset.right,
                     outer.bottom - layer.bottom + inset.bottom};
    const RECT fitted = win32::detail::FitIntoWorkArea(grown, win32::detail::WorkAreaFor(grown));
    const LONG left = fitted.left + inset.left;
    const LONG top = fitted.top + inset.top;
    return RECT{left, top, std::max(left + 1, fitted.right - inset.right),
                std::max(top + 1, fitted.bottom - inset.bottom)};
}

void markPlacement(WindowRecord &record, POINT clientAt, std::uint64_t round) {
    record.placing = true;
    record.placedAt = record.knownAt = clientAt;
    record.placedInRound = round;
}

// Gives the SDL window the client rectangle `client`, moving only a window that stands elsewhere
// (the desktop answers nothing to a move that moves nothing, and a placement waiting for that
// answer would take the user's next move for it) and sizing what changes or what the caller
// asked for; a size the layer gives is remembered, so its echo is no user's resize.
void placeClient(HWND window, SDL_Window *sdl, const RECT &client, bool size) {
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    SDL_GetWindowSize(sdl, &w, &h);
    if (x != client.left || y != client.top) {
        {
            WindowTable &t = table();
            std::lock_guard guard(t.lock);
            if (const auto it = t.windows.find(window); it != t.windows.end())
                markPlacement(it->second, POINT{client.left, client.top}, t.eventRound);
        }
        SDL_SetWindowPosition(sdl, client.left, client.top);
    }
    if (!size && w == client.right - client.left && h == client.bottom - client.top)
        return;
    SDL_SetWindowSize(sdl, client.right - client.left, client.bottom - client.top);
    // SDL may hold the size to the minimum; the echo to expect is the size it really took.
    int takenWidth = 0;
    int takenHeight = 0;
    SDL_GetWindowSize(sdl, &takenWidth, &takenHeight);
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.windows.find(window);
    if (it != t.windows.end()) {
        it->second.expectedWidth = takenWidth;
        it->second.expectedHeight = takenHeight;
    }
}

// The desktop frames a shown window as it maps it. Placed again once SDL has heard of that frame,
// the new window fits `outer`, the place it was given in the layer's frame, frame and all: a frame
// thicker than the layer's would leave a desktop-sized window hanging off the screen.
void fitDesktopFrame(HWND window, SDL_Window *sdl, DWORD style, const RECT &outer) {
    SDL_PumpEvents(); // the events stay queued for the message loop
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) == 0 && (top || left)) {
        WindowTable &t = table();
        std::lock_guard guard(t.lock);
        if (const auto it = t.windows.find(window); it != t.windows.end())
            it->second.framedByDesktop = true;
    }
    placeClient(window, sdl, placedClient(outer, style, win32::detail::PlacementInsets(sdl, style)),
                false);
}

} // namespace

namespace win32::detail {

RECT FrameInsets(DWORD style) {
    LONG frame = 0;
    if (style & WS_THICKFRAME)
        frame = kSizingBorder;
    else if (style & WS_DLGFRAME)
        frame = kDialogFrame;
    else if (style & WS_BORDER)
        frame = kThinBorder;
    const LONG caption = hasDecorations(style) ? kCaptionHeight : 0;
    return RECT{frame, frame + caption, frame, frame};
}

std::optional<WindowInfo> Lookup(HWND window) {
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.windows.find(window);
    if (it == t.windows.end())
        return std::nullopt;
    const WindowRecord &r = it->second;
    return WindowInfo{r.proc, r.sdl, r.queue, r.style, r.classCursor, r.classIcon};
}

HWND WindowOfSdlId(Uint32 sdlWindowId) {
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    for (const auto &[handle, record] : t.windows)
        if (record.sdl && SDL_GetWindowID(record.sdl) == sdlWindowId)
            return handle;
    return nullptr;
}

HWND MainWindow() {
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    for (const auto &[handle, record] : t.windows)
        if (!record.destroying)
            return handle;
    return nullptr;
}

bool NoteWindowMoved(HWND window) {
    // A full-screen or minimised window is the device's or the task bar's to move.
    SDL_Window *sdl = SdlWindowOf(window);
    if (!sdl || (SDL_GetWindowFlags(sdl) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED)))
        return false;
    int x = 0, y = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    // A window placed before its window manager had framed it lands with the frame's corner, not
    // the client area's, where the client area was meant to go: window managers that honour the
    // north-west gravity X gives a window by default (openbox among them) do so. The client area
    // then stands exactly one frame's thickness right and down, out of the work area. Once the
    // frame is known, SDL allows for it, so the same place asked again is where the layer meant.
    int top = 0, left = 0, bottom = 0, right = 0;
    const bool framed =
        SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) == 0 && (top || left);
    bool cornerPlaced = false, moved = false;
    POINT placedAt{};
    {
        WindowTable &t = table();
        std::lock_guard guard(t.lock);
        const auto it = t.windows.find(window);
        if (it == t.windows.end())
            return false;
        WindowRecord &r = it->second;
        placedAt = r.placedAt;
        cornerPlaced = r.placing && framed && x == placedAt.x + left && y == placedAt.y + top;
        moved = x != r.knownAt.x || y != r.knownAt.y;
        r.placing = false;
        r.knownAt = cornerPlaced ? placedAt : POINT{x, y};
    }
    if (cornerPlaced)
        SDL_SetWindowPosition(sdl, placedAt.x, placedAt.y);
    // Any other landing is the desktop's or the user's doing, and stays.
    return moved && !cornerPlaced;
}

void StartEventRound() {
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    ++t.eventRound;
    // Placements made before the round that just ended have had their answer.
    for (auto &[handle, record] : t.windows)
        if (record.placing && record.placedInRound + 1 < t.eventRound)
            record.placing = false;
}

bool ConsumeExpectedSize(HWND window, int width, int height) {
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.windows.find(window);
    if (it == t.windows.end())
        return false;
    WindowRecord &r = it->second;
    const bool expected = r.expectedWidth == width && r.expectedHeight == height;
    r.expectedWidth = r.expectedHeight = -1;
    return expected;
}

} // namespace win32::detail

namespace win32 {

SDL_Window *SdlWindowOf(HWND window) {
    const auto info = detail::Lookup(window);
    return info ? info->sdl : nullptr;
}

HWND HwndOf(SDL_Window *window) {
    if (!window)
        return nullptr;
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    for (const auto &[handle, record] : t.windows)
        if (record.sdl == window)
            return handle;
    return nullptr;
}

void RestoreFrame(HWND window) {
    const auto info = detail::Lookup(window);
    if (!info || (SDL_GetWindowFlags(info->sdl) & SDL_WINDOW_FULLSCREEN))
        return;
    applyStyle(window, info->sdl, info->style);
    if (!(SDL_GetWindowFlags(info->sdl) & SDL_WINDOW_MINIMIZED))
        placeClient(window, info->sdl,
                    placedClient(outerOf(info->sdl, info->style), info->style,
                                 detail::PlacementInsets(info->sdl, info->style)),
                    false);
}

} // namespace win32

ATOM RegisterClassA(const WNDCLASSA *windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) {
        trace("RegisterClassA: a class needs a name and a window procedure");
        return 0;
    }
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    const auto [it, added] = t.classes.try_emplace(classKey(windowClass->lpszClassName));
    if (!added)
        return 0; // already registered: the first registration stands, as on Windows
    it->second = WindowClass{windowClass->lpfnWndProc, windowClass->hIcon, windowClass->hCursor};
    return t.nextAtom++;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    if (!className) {
        trace("CreateWindowExA: no class name");
        return nullptr;
    }
    WindowClass cls;
    {
        WindowTable &t = table();
        std::lock_guard guard(t.lock);
        const auto it = t.classes.find(classKey(className));
        if (it == t.classes.end()) {
            trace("CreateWindowExA: window class is not registered");
            return nullptr;
        }
        cls = it->second;
    }
    if (!holdVideo()) {
        trace(std::string("CreateWindowExA: no video: ") + SDL_GetError());
        return nullptr;
    }

    const RECT inset = win32::detail::FrameInsets(style);
    if (width == CW_USEDEFAULT || height == CW_USEDEFAULT) {
        width = 800;
        height = 600;
    }
    // The whole window, frame included, goes inside the work area: a window that asks for no
    // place of its own in the middle of the first display's.
    RECT outer;
    if (x == CW_USEDEFAULT) {
        outer = win32::detail::CentreInWorkArea(width, height, win32::detail::PrimaryWorkArea());
    } else {
        const RECT wanted{x, y, x + width, y + height};
        outer = win32::detail::FitIntoWorkArea(wanted, win32::detail::WorkAreaFor(wanted));
    }
    const int clientWidth = std::max<int>(1, outer.right - outer.left - inset.left - inset.right);
    const int clientHeight = std::max<int>(1, outer.bottom - outer.top - inset.top - inset.bottom);
    const int clientX = outer.left + inset.left;
    const int clientY = outer.top + inset.top;

    Uint32 flags = SDL_WINDOW_OPENGL;
    flags |= (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (!hasDecorations(style))
        flags |= SDL_WINDOW_BORDERLESS;
    if (style & WS_THICKFRAME)
        flags |= SDL_WINDOW_RESIZABLE;
    if (style & WS_MINIMIZE)
        flags |= SDL_WINDOW_MINIMIZED;
    SDL_Window *sdl = SDL_CreateWindow(windowName ? windowName : "", clientX, clientY, clientWidth,
                                       clientHeight, flags);
    if (!sdl) {
        trace(std::string("CreateWindowExA: SDL_CreateWindow failed: ") + SDL_GetError());
        return nullptr;
    }

    if (win32::detail::IsProgramIcon(cls.icon)) {
        if (SDL_Surface *icon = SDL_CreateRGBSurfaceWithFormatFrom(
                const_cast<std::uint32_t *>(win32::detail::ProgramIconPixels()), 32, 32, 32, 32 * 4,
                SDL_PIXELFORMAT_RGBA32)) {
            SDL_SetWindowIcon(sdl, icon);
            SDL_FreeSurface(icon);
        }
    }

    HWND handle;
    {
        WindowTable &t = table();
        std::lock_guard guard(t.lock);
        handle = reinterpret_cast<HWND>(t.nextHandle);
        t.nextHandle += 4;
        WindowRecord &r = t.windows[handle];
        r.sdl = sdl;
        r.proc = cls.proc;
        r.queue = win32::detail::ThisThreadQueue();
        r.style = style;
        r.exStyle = exStyle;
        r.classIcon = cls.icon;
        r.classCursor = cls.cursor;
        markPlacement(r, POINT{clientX, clientY}, t.eventRound);
    }
    applyMinimumSize(handle, sdl, style);
    if ((style & WS_VISIBLE) && !(style & WS_MINIMIZE) && hasDecorations(style))
        fitDesktopFrame(handle, sdl, style, outer);
    // A top-level window that starts out shown comes to the front, as on the desktop.
    if ((style & WS_VISIBLE) && !(style & (WS_MINIMIZE | WS_CHILD)))
        win32::detail::Activate(handle);
    return handle;
}

BOOL DestroyWindow(HWND window) {
    SDL_Window *sdl = nullptr;
    std::shared_ptr<win32::detail::MessageQueue> queue;
    {
        WindowTable &t = table();
        std::lock_guard guard(t.lock);
        const auto it = t.windows.find(window);
        if (it == t.windows.end())
            return FALSE;
        if (it->second.destroying)
            return TRUE; // a destroy from inside WM_DESTROY: the outer call finishes the job
        it->second.destroying = true;
    }
    win32::detail::Deactivate(window);
    SendMessageA(window, WM_DESTROY, 0, 0);
    {
        WindowTable &t = table();
        std::lock_guard guard(t.lock);
        const auto it = t.windows.find(window);
        sdl = it->second.sdl;
        queue = it->second.queue;
        t.windows.erase(it);
    }
    queue->Purge(window);
    SDL_DestroyWindow(sdl);
    return TRUE;
}

BOOL IsWindow(HWND window) {
    return win32::detail::Lookup(window) ? TRUE : FALSE;
}

LONG GetWindowLongA(HWND window, int index) {
    WindowTable &t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.windows.find(window);
    if (it == t.windows.end())
        return 0;
    if (index == GWL_STYLE)
        return static_cast<LONG>(it->second.style);
    if (index == GWL_EXSTYLE)
        return static_cast<LONG>(it->second.exStyle);
    return 0;
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    SDL_Window *sdl = nullptr;
    DWORD previous = 0;
    const DWORD style = static_cast<DWORD>(value);
    {
        WindowTable &t = table();
        std::lock_guard guard(t.lock);
        const auto it = t.windows.find(window);
        if (it == t.windows.end())
            return 0;
        if (index == GWL_EXSTYLE) {
            previous = it->second.exStyle;
            it->second.exStyle = style;
            return static_cast<LONG>(previous);
        }
        if (index != GWL_STYLE)
            return 0;
        previous = it->second.style;
        it->second.style = style;
        sdl = it->second.sdl;
    }
    // The client area keeps its size; the frame around it follows the new style. Full screen is
    // the device's business: it switches the SDL window itself.
    applyStyle(window, sdl, style);
    applyMinimumSize(window, sdl, style);
    // A frame that grows around a window as large as the work area would push it out: the window
    // is fitted again. A full-screen window is the device's, which gives it back to the desktop
    // where the program placed it.
    if (!(SDL_GetWindowFlags(sdl) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED)))
        placeClient(
            window, sdl,
            placedClient(outerOf(sdl, style), style, win32::detail::PlacementInsets(sdl, style)),
            false);
    return static_cast<LONG>(previous);
}

DWORD GetClassLongA(HWND window, int index) {
    const auto info = win32::detail::Lookup(window);
    if (!info)
        return 0;
    if (index == GCL_HCURSOR)
        return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(info->classCursor));
    if (index == GCL_HICON)
        return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(info->classIcon));
    return 0;
}

BOOL AdjustWindowRect(RECT *rect, DWORD style, BOOL) {
    if (!rect)
        return FALSE;
    const RECT inset = win32::detail::FrameInsets(style);
    rect->left -= inset.left;
    rect->top -= inset.top;
    rect->right += inset.right;
    rect->bottom += inset.bottom;
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT *rect) {
    if (!rect)
        return FALSE;
    const auto info = win32::detail::Lookup(window);
    if (!info)
        return FALSE;
    int width = 0;
    int height = 0;
    // A minimised window has no client area.
    if (!(SDL_GetWindowFlags(info->sdl) & SDL_WINDOW_MINIMIZED))
        SDL_GetWindowSize(info->sdl, &width, &height);
    *rect = RECT{0, 0, width, height};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT *rect) {
    if (!rect)
        return FALSE;
    const auto info = win32::detail::Lookup(window);
    if (!info)
        return FALSE;
    *rect = outerOf(info->sdl, info->style);
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    const auto info = win32::detail::Lookup(window);
    if (!info)
        return FALSE;
    const bool move = !(flags & SWP_NOMOVE);
    const bool size = !(flags & SWP_NOSIZE);
    if (move || size) {
        RECT outer = outerOf(info->sdl, info->style);
        if (move)
            outer = RECT{x, y, x + outer.right - outer.left, y + outer.bottom - outer.top};
        if (size)
            outer = RECT{outer.left, outer.top, outer.left + width, outer.top + height};
        const RECT client = placedClient(outer, info->style,
                                         win32::detail::PlacementInsets(info->sdl, info->style));
        placeClient(window, info->sdl, client, size);
    }
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST)
            SDL_SetWindowAlwaysOnTop(info->sdl, SDL_TRUE);
        else if (insertAfter == HWND_NOTOPMOST)
            SDL_SetWindowAlwaysOnTop(info->sdl, SDL_FALSE);
    }
    if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
        const bool show = (flags & SWP_SHOWWINDOW) != 0;
        bool wasVisible = false;
        {
            WindowTable &t = table();
            std::lock_guard guard(t.lock);
            const auto it = t.windows.find(window);
            if (it != t.windows.end()) {
                wasVisible = (it->second.style & WS_VISIBLE) != 0;
                it->second.style =
                    show ? (it->second.style | WS_VISIBLE) : (it->second.style & ~WS_VISIBLE);
            }
        }
        if (show)
            SDL_ShowWindow(info->sdl);
        else
            SDL_HideWindow(info->sdl);
        // Showing a hidden window brings it to the front; hiding one takes it away.
        if (!show)
            win32::detail::Deactivate(window);
        else if (!wasVisible && !(flags & SWP_NOACTIVATE))
            win32::detail::Activate(window);
    }
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT *point) {
    if (!point)
        return FALSE;
    const auto info = win32::detail::Lookup(window);
    if (!info)
        return FALSE;
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(info->sdl, &x, &y);
    point->x -= x;
    point->y -= y;
    return TRUE;
}

HMENU GetMenu(HWND) {
    return nullptr;
}

// No menu is ever created, so there is nothing to destroy; DestroyMenu(NULL) fails harmlessly.
BOOL DestroyMenu(HMENU) {
    return FALSE;
}
