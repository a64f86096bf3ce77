#include "platform/seams/frame_clock.h"

#include "platform/seams/failure_injection.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace seams {
namespace {

struct FrameClock {
    std::mutex lock;
    std::atomic<long> frame{-1};
    std::atomic<bool> ended{false};
    std::atomic<bool> captureByFrame{false};
    std::vector<std::function<void(long)>> onBegin;
    std::vector<std::function<void(long)>> onEnd;
};

FrameClock &clock() {
    static FrameClock c;
    static const bool registered = [] {
        RegisterReset([] {
            FrameClock &r = clock();
            std::lock_guard guard(r.lock);
            r.onBegin.clear();
            r.onEnd.clear();
            r.frame = -1;
            r.ended = false;
            r.captureByFrame = false;
        });
        return true;
    }();
    (void)registered;
    return c;
}

// Copies taken under the lock, so a listener may add listeners or ask for the frame number.
std::vector<std::function<void(long)>> listenersOf(bool begin) {
    FrameClock &c = clock();
    std::lock_guard guard(c.lock);
    return begin ? c.onBegin : c.onEnd;
}

} // namespace

void NoteFrameBegins() {
    FrameClock &c = clock();
    const long frame = ++c.frame;
    for (const auto &listener : listenersOf(true))
        listener(frame);
}

void NoteWindowClosing() {
    FrameClock &c = clock();
    if (c.frame < 0 || c.ended.exchange(true))
        return;
    for (const auto &listener : listenersOf(false))
        listener(c.frame);
}

long CurrentFrame() {
    return clock().frame;
}

void OnFrameBegin(std::function<void(long)> listener) {
    FrameClock &c = clock();
    std::lock_guard guard(c.lock);
    c.onBegin.push_back(std::move(listener));
}

void OnFramesEnd(std::function<void(long)> listener) {
    FrameClock &c = clock();
    std::lock_guard guard(c.lock);
    c.onEnd.push_back(std::move(listener));
}

void NumberCapturesByFrame(bool on) {
    clock().captureByFrame = on;
}

bool CapturesNumberedByFrame() {
    return clock().captureByFrame;
}

} // namespace seams
