// Fetching, dispatching, posting and sending window messages over the per-thread queues.
#include "platform/win32/messages.h"

#include "platform/seams/failure_injection.h"
#include "platform/seams/frame_clock.h"
#include "platform/win32/debug_output.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/sdl_events.h"
#include "platform/win32/window.h"
#include "platform/win32/window_internal.h"
#include "platform/win32/window_seams.h"

#include <SDL.h>

#include <atomic>
#include <mutex>

namespace {

struct ScriptState {
    std::atomic<bool> scripted{false};
    std::mutex lock;
    std::function<void()> onEmpty;
    bool inHandler = false;
};

ScriptState &script() {
    static ScriptState s;
    return s;
}

void registerSeamReset() {
    static std::once_flag once;
    std::call_once(once, [] {
        seams::RegisterReset([] {
            seams::ScriptMessages(false);
            seams::OnMessageQueueEmpty(nullptr);
            win32::detail::ThisThreadQueue()->Clear();
            win32::detail::ForgetCursorPosition();
            win32::detail::ForgetMouseButtons();
        });
    });
}

// Runs the test's handler for an empty scripted queue; false when there is none to run.
bool runEmptyQueueHandler() {
    ScriptState &s = script();
    std::function<void()> handler;
    {
        std::lock_guard guard(s.lock);
        if (!s.onEmpty || s.inHandler)
            return false;
        handler = s.onEmpty;
        s.inHandler = true;
    }
    handler();
    std::lock_guard guard(s.lock);
    s.inHandler = false;
    return true;
}

bool takeMessage(MSG *msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    registerSeamReset();
    const auto queue = win32::detail::ThisThreadQueue();
    const bool scripted = script().scripted;
    win32::detail::PumpSdlEvents(scripted);
    bool found = queue->Take(msg, window, filterMin, filterMax, remove);
    if (!found && scripted && runEmptyQueueHandler())
        found = queue->Take(msg, window, filterMin, filterMax, remove);
    if (found && remove)
        queue->NoteFetched(*msg);
    return found;
}

void waitForEvents() {
    // Posts from other threads do not wake SDL, so the wait is bounded.
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_WaitEventTimeout(nullptr, 20);
    else
        SDL_Delay(5);
}

} // namespace

BOOL PeekMessageA(MSG *msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg)
        return FALSE;
    return takeMessage(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE
                                                                                          : FALSE;
}

BOOL GetMessageA(MSG *msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg)
        return -1;
    for (;;) {
        if (takeMessage(msg, window, filterMin, filterMax, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        if (script().scripted) {
            // Nothing can arrive any more: end the loop instead of hanging the test.
            OutputDebugStringA("GetMessageA: the scripted message queue is empty\n");
            *msg = win32::detail::MakeMessage(nullptr, WM_QUIT, seams::kScriptEndedExitCode, 0);
            return FALSE;
        }
        waitForEvents();
    }
}

BOOL TranslateMessage(const MSG *msg) {
    // Characters come from SDL's text input, already queued behind their key message. Key
    // messages count as translated whether or not they make a character.
    if (!msg)
        return FALSE;
    switch (msg->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT DispatchMessageA(const MSG *msg) {
    if (!msg || !msg->hwnd)
        return 0;
    const auto info = win32::detail::Lookup(msg->hwnd);
    if (!info || !info->proc)
        return 0;
    if (msg->message == WM_CLOSE)
        seams::NoteWindowClosing();
    return info->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    registerSeamReset();
    if (!window) {
        win32::detail::ThisThreadQueue()->Post(
            win32::detail::MakeMessage(nullptr, message, wParam, lParam));
        return TRUE;
    }
    const auto info = win32::detail::Lookup(window);
    if (!info)
        return FALSE;
    info->queue->Post(win32::detail::MakeMessage(window, message, wParam, lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    registerSeamReset();
    win32::detail::ThisThreadQueue()->PostQuit(exitCode);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto info = win32::detail::Lookup(window);
    if (!info || !info->proc)
        return 0;
    if (message == WM_CLOSE)
        seams::NoteWindowClosing();
    return info->proc(window, message, wParam, lParam);
}

namespace seams {

void ScriptMessages(bool on) {
    registerSeamReset();
    script().scripted = on;
}

bool MessagesScripted() {
    return script().scripted;
}

BOOL InjectMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window)
        return FALSE;
    return PostMessageA(window, message, wParam, lParam);
}

BOOL InjectKey(HWND window, BYTE virtualKey, bool down, bool altHeld) {
    const bool system = altHeld || virtualKey == VK_MENU || virtualKey == VK_F10;
    const UINT message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1;
    if (altHeld)
        lParam |= KF_ALTDOWN_BIT;
    if (!down)
        lParam |= KF_REPEAT_BIT | KF_UP_BIT;
    return InjectMessage(window, message, virtualKey, lParam);
}

void InjectSdlEvent(const SDL_Event &event) {
    registerSeamReset();
    win32::detail::TranslateSdlEvent(event);
}

void OnMessageQueueEmpty(std::function<void()> handler) {
    registerSeamReset();
    ScriptState &s = script();
    std::lock_guard guard(s.lock);
    s.onEmpty = std::move(handler);
}

std::size_t QueuedMessageCount() {
    return win32::detail::ThisThreadQueue()->Size();
}

} // namespace seams
