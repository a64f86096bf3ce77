// The message queue of one thread: posted and input messages in order, the quit request and the
// windows waiting to be painted. Internal to the window layer.
#pragma once

#include "platform/win32/messages.h"

#include <array>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace win32::detail {

class MessageQueue {
public:
    void Post(const MSG &msg);
    // Wraps the window's newest queued WM_SIZE in WM_ENTERSIZEMOVE / WM_EXITSIZEMOVE. A drag
    // reports many sizes: while the previous wrapped size is still waiting, it is replaced, so the
    // window sees one size-move pair with the latest size.
    void WrapNewestSize(HWND window, const MSG &enter, const MSG &exit);
    bool HasQueued(HWND window, UINT message);
    void PostQuit(int exitCode);
    void Invalidate(HWND window);
    // Takes the next message in Windows order: posted and input messages first, then the quit
    // request, then paint requests. A NULL filter window matches every message of the thread.
    bool Take(MSG *out, HWND window, UINT filterMin, UINT filterMax, bool remove);
    // Drops everything addressed to a window that is being destroyed.
    void Purge(HWND window);
    void Clear();
    std::size_t Size();

    // Key state as of the last key message fetched from this queue, indexed by virtual key. Losing
    // the focus forgets it: the releases of keys held then go to another program.
    void NoteFetched(const MSG &msg);
    bool KeyDown(BYTE virtualKey);

private:
    std::mutex m_lock;
    std::deque<MSG> m_messages;
    std::vector<HWND> m_paint;
    bool m_quit = false;
    int m_quitCode = 0;
    std::array<bool, 256> m_keys{};
};

// The queue of the calling thread; windows keep a reference to the queue of the thread that
// created them.
std::shared_ptr<MessageQueue> ThisThreadQueue();

// Fills the time and cursor position of a message that is about to be queued.
MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace win32::detail
