// Message boxes over SDL's simple message box. Without a display (offscreen or dummy video, no X or
// Wayland display) the box is written to standard error instead, so a headless run never blocks.
#include "platform/win32/message_box.h"

#include "platform/win32/seams.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct Capture {
    std::mutex lock;
    bool active = false;
    std::vector<seams::MessageBoxRecord> boxes;
};

Capture &capture() {
    static Capture c;
    return c;
}

bool isHeadlessDriver(const char *driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
                      std::strcmp(driver, "evdev") == 0);
}

bool displayAvailable() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return !isHeadlessDriver(SDL_GetCurrentVideoDriver());
    if (isHeadlessDriver(std::getenv("SDL_VIDEODRIVER")))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

} // namespace

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    const char *body = text ? text : "";
    const char *title = caption ? caption : "Error";
    {
        Capture &c = capture();
        std::lock_guard guard(c.lock);
        if (c.active) {
            c.boxes.push_back({body, title, type});
            return IDOK;
        }
    }
    if (displayAvailable()) {
        Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
        if ((type & 0xF0) == MB_ICONHAND)
            flags = SDL_MESSAGEBOX_ERROR;
        else if ((type & 0xF0) == MB_ICONEXCLAMATION)
            flags = SDL_MESSAGEBOX_WARNING;
        if (SDL_ShowSimpleMessageBox(flags, title, body, nullptr) == 0)
            return IDOK;
    }
    std::fprintf(stderr, "[%s] %s\n", title, body);
    std::fflush(stderr);
    return IDOK;
}

namespace seams {

void CaptureMessageBoxes(bool on) {
    Capture &c = capture();
    std::lock_guard guard(c.lock);
    c.active = on;
    c.boxes.clear();
}

std::vector<MessageBoxRecord> TakeMessageBoxes() {
    Capture &c = capture();
    std::lock_guard guard(c.lock);
    std::vector<MessageBoxRecord> out;
    out.swap(c.boxes);
    return out;
}

} // namespace seams
