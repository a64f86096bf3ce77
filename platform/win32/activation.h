// Which window is active (in front and receiving the keyboard). The window layer keeps this
// itself, from window creation and showing, focus events, minimising and destruction, so that it
// holds without a desktop too: a window shown headless stays active until something takes it away.
#pragma once

#include "platform/win32/types.h"

namespace win32 {

// The active window, or NULL when none of the program's windows is in front.
HWND ActiveWindow();

// Told after each change: the window that stopped being active (or NULL) and the one that became
// active (or NULL). Runs on the thread that made the change, outside the layer's locks.
using ActivationObserver = void (*)(HWND deactivated, HWND activated);
void AddActivationObserver(ActivationObserver observer);

namespace detail {
// Makes `window` the active window.
void Activate(HWND window);
// `window` is no longer active (when it was).
void Deactivate(HWND window);
} // namespace detail

} // namespace win32
