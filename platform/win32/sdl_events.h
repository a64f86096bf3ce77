// SDL events to window messages. Internal to the window layer.
#pragma once

#include <SDL.h>

namespace win32::detail {

// Moves every pending SDL event into the message queues; while messages are scripted the events
// are dropped instead.
void PumpSdlEvents(bool scripted);
// Queues the messages one SDL event stands for.
void TranslateSdlEvent(const SDL_Event &event);
// Forgets which mouse buttons are held (tests start from none).
void ForgetMouseButtons();

} // namespace win32::detail
