// The active window and the observers of its changes.
#include "platform/win32/activation.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

struct Activation {
    std::mutex lock; // serialises changes; readers use the atomic alone
    std::atomic<HWND> active{nullptr};
    std::vector<win32::ActivationObserver> observers;
};

Activation &activation() {
    static Activation a;
    return a;
}

// Moves activation from `from` to `to` when `from` is still the active window.
void change(HWND from, HWND to) {
    std::vector<win32::ActivationObserver> observers;
    {
        Activation &a = activation();
        std::lock_guard guard(a.lock);
        if (a.active.load() != from || from == to)
            return;
        a.active.store(to);
        observers = a.observers;
    }
    for (win32::ActivationObserver observer : observers)
        observer(from, to);
}

} // namespace

namespace win32 {

HWND ActiveWindow() {
    return activation().active.load();
}

void AddActivationObserver(ActivationObserver observer) {
    Activation &a = activation();
    std::lock_guard guard(a.lock);
    if (observer &&
        std::find(a.observers.begin(), a.observers.end(), observer) == a.observers.end())
        a.observers.push_back(observer);
}

namespace detail {

void Activate(HWND window) {
    // Whichever window was in front gives way; a race with another change simply loses to it.
    change(ActiveWindow(), window);
}

void Deactivate(HWND window) {
    if (window)
        change(window, nullptr);
}

} // namespace detail

} // namespace win32
