// The stopwatch keeps three marks (base, last elapsed, stop) either in performance-counter ticks
// or, when the counter's frequency cannot be read, in seconds of the millisecond clock. A non-zero
// stop mark freezes "now" for every command but Start and AbsoluteTime.
#include "framework/app_timer.h"

#include "platform/win32/clock.h"

namespace {

struct TimerState {
    bool initialised = false;
    BOOL usingPerformanceCounter = FALSE;
    LONGLONG ticksPerSecond = 0;
    LONGLONG stopTicks = 0;
    LONGLONG lastElapsedTicks = 0;
    LONGLONG baseTicks = 0;
    double lastElapsedSeconds = 0.0;
    double baseSeconds = 0.0;
    double stopSeconds = 0.0;
    bool stopped = true;
};

TimerState g_timer;

LONGLONG liveTicks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double liveSeconds() {
    return static_cast<double>(timeGetTime()) * 0.001;
}

bool freezesNow(TimerCommand command) {
    return command != TimerCommand::Start && command != TimerCommand::AbsoluteTime;
}

FLOAT counterPath(TimerState &t, TimerCommand command) {
    const LONGLONG now = (t.stopTicks != 0 && freezesNow(command)) ? t.stopTicks : liveTicks();
    const auto seconds = [&](LONGLONG ticks) {
        return static_cast<FLOAT>(static_cast<double>(ticks) /
                                  static_cast<double>(t.ticksPerSecond));
    };
    switch (command) {
    case TimerCommand::ElapsedTime: {
        const LONGLONG elapsed = now - t.lastElapsedTicks;
        t.lastElapsedTicks = now;
        return seconds(elapsed);
    }
    case TimerCommand::AppTime:
        return seconds(now - t.baseTicks);
    case TimerCommand::Reset:
        t.baseTicks = now;
        t.lastElapsedTicks = now;
        t.stopTicks = 0;
        t.stopped = false;
        return 0.0f;
    case TimerCommand::Start:
        if (t.stopped)
            t.baseTicks += now - t.stopTicks;
        t.stopTicks = 0;
        t.lastElapsedTicks = now;
        t.stopped = false;
        return 0.0f;
    case TimerCommand::Stop:
        t.stopTicks = now;
        t.lastElapsedTicks = now;
        t.stopped = true;
        return 0.0f;
    case TimerCommand::Advance:
        t.stopTicks += t.ticksPerSecond / 10;
        return 0.0f;
    case TimerCommand::AbsoluteTime:
        return seconds(now);
    }
    return -1.0f;
}

FLOAT fallBackPath(TimerState &t, TimerCommand command) {
    const double now =
        (t.stopSeconds != 0.0 && freezesNow(command)) ? t.stopSeconds : liveSeconds();
    switch (command) {
    case TimerCommand::ElapsedTime: {
        const double elapsed = now - t.lastElapsedSeconds;
        t.lastElapsedSeconds = now;
        return static_cast<FLOAT>(elapsed);
    }
    case TimerCommand::AppTime:
        return static_cast<FLOAT>(now - t.baseSeconds);
    case TimerCommand::Reset:
        t.baseSeconds = now;
        t.lastElapsedSeconds = now;
        t.stopSeconds = 0.0;
        t.stopped = false;
        return 0.0f;
    case TimerCommand::Start:
        if (t.stopped)
            t.baseSeconds += now - t.stopSeconds;
        t.stopSeconds = 0.0;
        t.lastElapsedSeconds = now;
        t.stopped = false;
        return 0.0f;
    case TimerCommand::Stop:
        t.stopSeconds = now;
        t.lastElapsedSeconds = now;
        t.stopped = true;
        return 0.0f;
    case TimerCommand::Advance:
        // The single-precision tenth of a second, widened.
        t.stopSeconds += static_cast<double>(0.1f);
        return 0.0f;
    case TimerCommand::AbsoluteTime:
        return static_cast<FLOAT>(now);
    }
    return -1.0f;
}

bool knownCommand(TimerCommand command) {
    const auto code = static_cast<INT>(command);
    return code >= static_cast<INT>(TimerCommand::Reset) &&
           code <= static_cast<INT>(TimerCommand::ElapsedTime);
}

} // namespace

FLOAT AppTimer(TimerCommand command) {
    TimerState &t = g_timer;
    if (!t.initialised) {
        t.initialised = true;
        LARGE_INTEGER frequency;
        t.usingPerformanceCounter = QueryPerformanceFrequency(&frequency);
        if (t.usingPerformanceCounter)
            t.ticksPerSecond = frequency.QuadPart;
    }
    // An unknown code changes nothing and reads no clock.
    if (!knownCommand(command))
        return -1.0f;
    return t.usingPerformanceCounter ? counterPath(t, command) : fallBackPath(t, command);
}

void ResetAppTimerForTests() {
    g_timer = TimerState{};
}
