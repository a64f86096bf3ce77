// Fuzz targets feed the loaders bad files by the million: the traces each refusal writes are
// captured once, for the whole run, instead of flooding the fuzzer's output.
#pragma once

#include "platform/test_seams.h"

namespace fuzzing {

inline void QuietTraces() {
    static const bool quiet = [] {
        seams::CaptureDebugOutput(true);
        return true;
    }();
    (void)quiet;
}

} // namespace fuzzing
