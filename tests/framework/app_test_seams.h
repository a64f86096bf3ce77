// Where every test of a running application starts: the platform's real behaviour, with message
// boxes and debug output captured, a virtual clock and only the messages the test itself sends.
#pragma once

#include "framework/app_timer.h"
#include "platform/test_seams.h"

namespace test_support {

inline void UseApplicationTestSeams() {
    seams::ResetAll();
    seams::CaptureMessageBoxes(true);
    seams::CaptureDebugOutput(true);
    // A counter that starts well above zero, as a real one does: a stop time of zero means
    // "running" to the timer.
    seams::UseVirtualClock(1'000'000, 1'000'000'000'000LL);
    ResetAppTimerForTests();
    // Only what a test sends or posts reaches the window: no spontaneous desktop messages.
    seams::ScriptMessages(true);
}

} // namespace test_support
