// Events as a flag under a mutex with a condition variable; SetEvent never allocates, so the
// audio thread may call it.
#include "platform/win32/events.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

struct Event final : win32::KernelObject {
    Event(bool manual, bool initial) : manualReset(manual), signalled(initial) {}

    std::mutex lock;
    std::condition_variable changed;
    const bool manualReset;
    bool signalled;
};

} // namespace

HANDLE CreateEventA(const void *, BOOL manualReset, BOOL initialState, LPCSTR) {
    return win32::MakeHandle(new Event(manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE handle) {
    Event *event = win32::ObjectFromHandle<Event>(handle);
    if (!event)
        return FALSE;
    {
        std::lock_guard guard(event->lock);
        event->signalled = true;
    }
    if (event->manualReset)
        event->changed.notify_all();
    else
        event->changed.notify_one();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
    Event *event = win32::ObjectFromHandle<Event>(handle);
    if (!event)
        return FALSE;
    std::lock_guard guard(event->lock);
    event->signalled = false;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    Event *event = win32::ObjectFromHandle<Event>(handle);
    if (!event)
        return WAIT_FAILED;
    std::unique_lock guard(event->lock);
    auto isSignalled = [event] { return event->signalled; };
    if (milliseconds == INFINITE)
        event->changed.wait(guard, isSignalled);
    else if (!event->changed.wait_for(guard, std::chrono::milliseconds(milliseconds), isSignalled))
        return WAIT_TIMEOUT;
    if (!event->manualReset)
        event->signalled = false;
    return WAIT_OBJECT_0;
}
