// The Direct3D layer's trace line: one line on the debug output, marked as the layer's own.
#pragma once

#include "platform/win32/debug_output.h"

#include <string>

namespace d3d8 {

inline void Trace(const std::string &text) {
    OutputDebugStringA(("d3d8: " + text + "\n").c_str());
}

} // namespace d3d8
