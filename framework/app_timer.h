// The process-wide stopwatch: application time, elapsed time between queries and absolute time,
// in seconds, driven by command codes.
#pragma once

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

// Applies `command` and returns its time in seconds; -1.0 for a code outside the set.
FLOAT AppTimer(TimerCommand command);

// For tests only: returns the timer to its state at program start (uninitialised, stopped), so
// that the next call chooses its time source again.
void ResetAppTimerForTests();
