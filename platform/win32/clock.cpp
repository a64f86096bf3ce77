// The real clock is the monotonic clock in nanoseconds; tests may replace it with a virtual clock
// that only moves when they advance it, and may make the frequency query fail.
#include "platform/win32/clock.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/seams.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr LONGLONG kRealFrequency = 1'000'000'000;

struct VirtualClock {
    std::atomic<bool> active{false};
    std::atomic<LONGLONG> frequency{kRealFrequency};
    std::atomic<LONGLONG> ticks{0};
    std::atomic<DWORD> milliseconds{0};
    std::atomic<bool> sleepAdvances{true};
};

VirtualClock &clockState() {
    static VirtualClock c;
    return c;
}

LONGLONG monotonicNanoseconds() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

BOOL QueryPerformanceFrequency(LARGE_INTEGER *frequency) {
    if (!frequency)
        return FALSE;
    if (seams::ShouldFail("QueryPerformanceFrequency")) {
        frequency->QuadPart = 0;
        return FALSE;
    }
    VirtualClock &c = clockState();
    frequency->QuadPart = c.active ? c.frequency.load() : kRealFrequency;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER *count) {
    if (!count)
        return FALSE;
    VirtualClock &c = clockState();
    count->QuadPart = c.active ? c.ticks.load() : monotonicNanoseconds();
    return TRUE;
}

DWORD timeGetTime() {
    VirtualClock &c = clockState();
    if (c.active)
        return c.milliseconds;
    // Wraps after 49.7 days, as a 32-bit millisecond count does.
    return static_cast<DWORD>(static_cast<std::uint64_t>(monotonicNanoseconds()) / 1'000'000u);
}

void Sleep(DWORD milliseconds) {
    VirtualClock &c = clockState();
    if (c.active) {
        if (c.sleepAdvances)
            seams::AdvanceVirtualClock(milliseconds / 1000.0);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace seams {

void UseVirtualClock(LONGLONG frequency, LONGLONG startTicks, DWORD startMilliseconds) {
    VirtualClock &c = clockState();
    c.frequency = frequency;
    c.ticks = startTicks;
    c.milliseconds = startMilliseconds;
    c.sleepAdvances = true;
    c.active = true;
}

void UseRealClock() {
    clockState().active = false;
}

bool VirtualClockActive() {
    return clockState().active;
}

LONGLONG VirtualClockFrequency() {
    return clockState().frequency;
}

void AdvanceVirtualClockTicks(LONGLONG ticks) {
    clockState().ticks += ticks;
}

void AdvanceVirtualClock(double seconds) {
    VirtualClock &c = clockState();
    c.ticks += static_cast<LONGLONG>(seconds * static_cast<double>(c.frequency.load()));
    c.milliseconds += static_cast<DWORD>(seconds * 1000.0);
}

void SetVirtualTimeGetTime(DWORD milliseconds) {
    clockState().milliseconds = milliseconds;
}

} // namespace seams
