// The framework's stopwatch as the application class uses it.
#pragma once

#if __has_include("framework/app_timer.h")
#include "framework/app_timer.h"
#else
#include "platform/win32/types.h"
enum class TimerCommand : INT {
    Reset = 0,
    Start = 1,
    Stop = 2,
    Advance = 3,
    AbsoluteTime = 4,
    AppTime = 5,
    ElapsedTime = 6,
};
FLOAT AppTimer(TimerCommand command);
#endif
