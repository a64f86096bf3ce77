// Test seams of the Windows core layer. Declared for tests only; the program never calls them.
#pragma once

#include "platform/win32/types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace seams {

// Virtual clock behind QueryPerformanceCounter and timeGetTime. While it is on, time moves only
// when a test advances it (Sleep advances it by the time slept).
void UseVirtualClock(LONGLONG frequency = 1'000'000, LONGLONG startTicks = 0,
                     DWORD startMilliseconds = 0);
void UseRealClock();
bool VirtualClockActive();
// The counts per second of the virtual clock (asked without touching the frequency query's
// failure injection).
LONGLONG VirtualClockFrequency();
void AdvanceVirtualClockTicks(LONGLONG ticks);
void AdvanceVirtualClock(double seconds);
void SetVirtualTimeGetTime(DWORD milliseconds);
// A failing frequency query: InjectFailure("QueryPerformanceFrequency", kFailAlways).

// Message boxes: while captured they are recorded and return at once.
struct MessageBoxRecord {
    std::string text;
    std::string caption;
    UINT type;
};
void CaptureMessageBoxes(bool on);
std::vector<MessageBoxRecord> TakeMessageBoxes();

// Debug output (trace lines): while captured it is collected instead of written to stderr.
void CaptureDebugOutput(bool on);
std::string TakeDebugOutput();

// The program's random generator.
void SetRandomState(std::uint32_t state);
std::uint32_t RandomState();
// How many numbers the generator has produced since the process started.
std::uint64_t RandomDraws();

} // namespace seams

#if __has_include("platform/win32/registry_seams.h")
#include "platform/win32/registry_seams.h"
#endif
#if __has_include("platform/win32/window_seams.h")
#include "platform/win32/window_seams.h"
#endif
#if __has_include("platform/win32/resource_seams.h")
#include "platform/win32/resource_seams.h"
#endif
