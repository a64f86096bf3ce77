// Until the framework's own stopwatch is part of this build, the application tests run on this
// stand-in with the same commands over the performance counter (and so the virtual clock).
#include "framework/d3d_app_timer.h"

#if !__has_include("framework/app_timer.h")
#include "platform/win32/clock.h"

FLOAT AppTimer(TimerCommand command) {
    static bool initialised = false;
    static LONGLONG ticksPerSecond = 1;
    static LONGLONG stopTime = 0, lastElapsed = 0, baseTime = 0;
    static bool stopped = true;
    if (!initialised) {
        initialised = true;
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        ticksPerSecond = f.QuadPart > 0 ? f.QuadPart : 1;
    }
    LARGE_INTEGER live;
    QueryPerformanceCounter(&live);
    const bool live_now = command == TimerCommand::Start || command == TimerCommand::AbsoluteTime;
    const LONGLONG now = (stopTime != 0 && !live_now) ? stopTime : live.QuadPart;
    const double perSecond = static_cast<double>(ticksPerSecond);
    switch (command) {
    case TimerCommand::ElapsedTime: {
        const double elapsed = (now - lastElapsed) / perSecond;
        lastElapsed = now;
        return static_cast<FLOAT>(elapsed);
    }
    case TimerCommand::AppTime:
        return static_cast<FLOAT>((now - baseTime) / perSecond);
    case TimerCommand::Reset:
        baseTime = lastElapsed = now;
        stopTime = 0;
        stopped = false;
        return 0.0f;
    case TimerCommand::Start:
        if (stopped)
            baseTime += now - stopTime;
        stopTime = 0;
        lastElapsed = now;
        stopped = false;
        return 0.0f;
    case TimerCommand::Stop:
        stopTime = now;
        lastElapsed = now;
        stopped = true;
        return 0.0f;
    case TimerCommand::Advance:
        stopTime += ticksPerSecond / 10;
        return 0.0f;
    case TimerCommand::AbsoluteTime:
        return static_cast<FLOAT>(now / perSecond);
    }
    return -1.0f;
}
#endif
