// One thread's message queue, kept in Windows order: posted and input messages first in first
// out, then the quit request, then paint requests (one per window however often it was exposed).
#include "platform/win32/message_queue.h"

#include "platform/win32/clock.h"
#include "platform/win32/window.h"
#include "platform/win32/window_internal.h"

#include <algorithm>

namespace win32::detail {

namespace {

bool matches(const MSG &msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window && msg.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

} // namespace

void MessageQueue::Post(const MSG &msg) {
    std::lock_guard guard(m_lock);
    m_messages.push_back(msg);
}

void MessageQueue::WrapNewestSize(HWND window, const MSG &enter, const MSG &exit) {
    std::lock_guard guard(m_lock);
    // The window's own messages, newest first.
    std::vector<std::size_t> mine;
    for (std::size_t i = m_messages.size(); i-- > 0 && mine.size() < 4;)
        if (m_messages[i].hwnd == window)
            mine.push_back(i);
    auto is = [&](std::size_t k, UINT message) {
        return k < mine.size() && m_messages[mine[k]].message == message;
    };
    if (!is(0, WM_SIZE)) {
        m_messages.push_back(enter);
        m_messages.push_back(exit);
        return;
    }
    if (is(1, WM_EXITSIZEMOVE) && is(2, WM_SIZE) && is(3, WM_ENTERSIZEMOVE)) {
        // ENTER, SIZE(old), EXIT, SIZE(new) becomes ENTER, SIZE(new), EXIT.
        m_messages.erase(m_messages.begin() + static_cast<std::ptrdiff_t>(mine[1]));
        m_messages.erase(m_messages.begin() + static_cast<std::ptrdiff_t>(mine[2]));
    } else {
        m_messages.insert(m_messages.begin() + static_cast<std::ptrdiff_t>(mine[0]), enter);
    }
    m_messages.push_back(exit);
}

bool MessageQueue::HasQueued(HWND window, UINT message) {
    std::lock_guard guard(m_lock);
    return std::any_of(m_messages.begin(), m_messages.end(),
                       [&](const MSG &m) { return m.hwnd == window && m.message == message; });
}

void MessageQueue::PostQuit(int exitCode) {
    std::lock_guard guard(m_lock);
    m_quit = true;
    m_quitCode = exitCode;
}

void MessageQueue::Invalidate(HWND window) {
    std::lock_guard guard(m_lock);
    if (std::find(m_paint.begin(), m_paint.end(), window) == m_paint.end())
        m_paint.push_back(window);
}

bool MessageQueue::Take(MSG *out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    std::lock_guard guard(m_lock);
    for (auto it = m_messages.begin(); it != m_messages.end(); ++it) {
        if (matches(*it, window, filterMin, filterMax)) {
            *out = *it;
            if (remove)
                m_messages.erase(it);
            return true;
        }
    }
    // The quit request is fetched whatever the filter, once nothing else is waiting.
    if (m_quit) {
        *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0);
        if (remove)
            m_quit = false;
        return true;
    }
    for (auto it = m_paint.begin(); it != m_paint.end(); ++it) {
        const MSG paint = MakeMessage(*it, WM_PAINT, 0, 0);
        if (matches(paint, window, filterMin, filterMax)) {
            *out = paint;
            if (remove)
                m_paint.erase(it);
            return true;
        }
    }
    return false;
}

void MessageQueue::Purge(HWND window) {
    std::lock_guard guard(m_lock);
    std::erase_if(m_messages, [&](const MSG &m) { return m.hwnd == window; });
    std::erase(m_paint, window);
}

void MessageQueue::Clear() {
    std::lock_guard guard(m_lock);
    m_messages.clear();
    m_paint.clear();
    m_quit = false;
    m_quitCode = 0;
    m_keys.fill(false);
}

std::size_t MessageQueue::Size() {
    std::lock_guard guard(m_lock);
    return m_messages.size() + m_paint.size() + (m_quit ? 1 : 0);
}

void MessageQueue::NoteFetched(const MSG &msg) {
    if (msg.message == WM_ACTIVATEAPP && !msg.wParam) {
        std::lock_guard guard(m_lock);
        m_keys.fill(false);
        return;
    }
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    if (!down && !up)
        return;
    std::lock_guard guard(m_lock);
    m_keys[msg.wParam & 0xFF] = down;
}

bool MessageQueue::KeyDown(BYTE virtualKey) {
    std::lock_guard guard(m_lock);
    return m_keys[virtualKey];
}

namespace {

// Set, never cleared, once this thread's queue holder is destroyed. A thread's objects go before
// the process's static ones, so a static object that closes its window at exit still pumps
// messages; it must not reach the holder then. A bool has no destructor, so it stays readable.
thread_local bool t_queueGone = false;

struct QueueHolder {
    std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
    ~QueueHolder() { t_queueGone = true; }
};

} // namespace

std::shared_ptr<MessageQueue> ThisThreadQueue() {
    // After the holder is gone every call gets an empty queue of its own: what is posted then is
    // for a thread that takes no more messages.
    if (t_queueGone)
        return std::make_shared<MessageQueue>();
    thread_local QueueHolder holder;
    return holder.queue;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    msg.pt = LastCursorPosition();
    return msg;
}

} // namespace win32::detail
