// Debug output to standard error, or into the test capture when a test has turned it on.
#include "platform/win32/debug_output.h"

#include "platform/win32/seams.h"

#include <cstdio>
#include <mutex>

namespace {

struct Capture {
    std::mutex lock;
    bool active = false;
    std::string text;
};

Capture &capture() {
    static Capture c;
    return c;
}

} // namespace

void OutputDebugStringA(LPCSTR text) {
    if (!text)
        return;
    Capture &c = capture();
    {
        std::lock_guard guard(c.lock);
        if (c.active) {
            c.text += text;
            return;
        }
    }
    std::fputs(text, stderr);
    std::fflush(stderr);
}

namespace seams {

void CaptureDebugOutput(bool on) {
    Capture &c = capture();
    std::lock_guard guard(c.lock);
    c.active = on;
    c.text.clear();
}

std::string TakeDebugOutput() {
    Capture &c = capture();
    std::lock_guard guard(c.lock);
    std::string out;
    out.swap(c.text);
    return out;
}

} // namespace seams
