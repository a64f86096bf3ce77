// Test seams of windows and messages: scripted message queues and injected input.
#pragma once

#include "platform/win32/types.h"

#include <cstddef>
#include <functional>

union SDL_Event;

namespace seams {

// Scripted messages: while on, no event from SDL reaches a message queue (pending SDL events are
// drained and dropped), so the program sees only what the test injects or the program posts and
// sends itself. A headless run must not see spontaneous paints or focus changes.
void ScriptMessages(bool on);
bool MessagesScripted();

// Queues a message at the back of the window's thread queue, as input from the desktop would be.
// FALSE when the window does not exist.
BOOL InjectMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the key message a key press or release makes (WM_SYSKEY* with Alt held, as the desktop
// would send it).
BOOL InjectKey(HWND window, BYTE virtualKey, bool down, bool altHeld);
// Translates an SDL event exactly as a pumped one, scripted or not (window events need the SDL
// window id of a live window: SDL_GetWindowID(win32::SdlWindowOf(hwnd))).
void InjectSdlEvent(const SDL_Event &event);

// While scripted, called each time PeekMessageA or GetMessageA finds the queue empty, so a test
// can feed the next step of its script (it may post or inject messages). When GetMessageA still
// finds nothing afterwards it would block for ever; it returns WM_QUIT with this exit code instead.
void OnMessageQueueEmpty(std::function<void()> handler);
constexpr int kScriptEndedExitCode = 0x5EED;

// Messages waiting in the calling thread's queue (posted, quit request and paints).
std::size_t QueuedMessageCount();

} // namespace seams
