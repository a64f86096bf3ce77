// Time: the performance counter on the monotonic clock, millisecond time and sleeping.
#pragma once

#include "platform/win32/types.h"

BOOL QueryPerformanceFrequency(LARGE_INTEGER *frequency);
BOOL QueryPerformanceCounter(LARGE_INTEGER *count);
DWORD timeGetTime();
void Sleep(DWORD milliseconds);
