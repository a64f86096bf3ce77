// What the message and cursor code of the window layer needs to know about live windows.
// Internal to the window layer.
#pragma once

#include "platform/win32/window.h"

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace win32::detail {

class MessageQueue;

// A copy of what a caller needs, taken under the window table's lock; the window may be destroyed
// as soon as the window procedure runs, so no reference into the table is ever handed out.
struct WindowInfo {
    WNDPROC proc = nullptr;
    SDL_Window *sdl = nullptr;
    std::shared_ptr<MessageQueue> queue;
    DWORD style = 0;
    HCURSOR classCursor = nullptr;
    HICON classIcon = nullptr;
};

std::optional<WindowInfo> Lookup(HWND window);
HWND WindowOfSdlId(Uint32 sdlWindowId);
// The oldest live window, the one a quit request from the desktop closes.
HWND MainWindow();
// Forgets the client size the layer itself last gave the window; returns whether `width` x
// `height` was that size (so a resize event is only the echo of the layer's own change).
bool ConsumeExpectedSize(HWND window, int width, int height);
// The desktop reported the window moved: the answer to the layer's own last placement, which is
// asked once more when the window did not land where it was put, or a move by the user (true).
bool NoteWindowMoved(HWND window);
// An event round is one pass over what the desktop reported. The answer to a placement comes in
// the first round after it or never: a placement still unanswered when that round ends has
// landed, and whatever moves the window later is the user's doing.
void StartEventRound();

// Frame thickness the layer gives a style (left, top, right, bottom).
RECT FrameInsets(DWORD style);

// The last mouse position seen in any window, in screen coordinates.
void NoteCursorPosition(HWND window, int clientX, int clientY);
void ForgetCursorPosition();
// That position without asking the desktop (safe from any thread); (0, 0) before the first.
POINT LastCursorPosition();

// The program icon as 32 x 32 RGBA pixels, rows top to bottom.
const std::uint32_t *ProgramIconPixels();

// Resource handles are small tagged numbers so that they survive a round trip through a DWORD
// (GetClassLongA returns the class cursor that way).
HICON ProgramIconHandle();
HICON SystemIconHandle();
HCURSOR ArrowCursorHandle();
bool IsProgramIcon(HICON icon);

} // namespace win32::detail
