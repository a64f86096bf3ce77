// Where the layer puts the windows it creates, moves and sizes: always wholly inside the desktop's
// work area, never larger than it. Internal to the window layer.
#pragma once

#include "platform/win32/types.h"

struct SDL_Window;

namespace win32::detail {

// The first display's work area, where windows go that ask for no place of their own.
RECT PrimaryWorkArea();

// The work area (the display less its panels and task bars), in screen coordinates, of the display
// that holds the centre of `window`; the first display's when none does.
RECT WorkAreaFor(const RECT &window);

// `window` (its frame included) cut down to the work area's width and height, then moved, keeping
// its size, just as far as it takes to lie wholly inside `workArea`.
RECT FitIntoWorkArea(const RECT &window, const RECT &workArea);

// A window of `width` x `height` (frame included, cut down as above) in the middle of `workArea`.
RECT CentreInWorkArea(LONG width, LONG height, const RECT &workArea);

// The frame to keep inside the work area around the client area of `sdl`: the layer's own frame
// for `style`, or on any side where the desktop draws a thicker one, the desktop's.
RECT PlacementInsets(SDL_Window *sdl, DWORD style);

} // namespace win32::detail
