// Named failure injection: tests arm a named point of the platform layer to fail the next N times.
// Only the layer's own points exist: naming any other ends the program with a message.
// Unarmed points cost one relaxed atomic load, so the real program pays nothing for them.
#pragma once

#include "platform/win32/results.h"

#include <functional>
#include <string_view>

namespace seams {

constexpr int kFailAlways = -1;

// Arms `point` so that its next `count` calls fail with `code` (kFailAlways: every call).
void InjectFailure(std::string_view point, int count = 1, HRESULT code = E_FAIL);
// Disarms every point.
void ClearFailures();
// The layer asks this at each injection point; true means "fail now", with the code to return.
bool ShouldFail(std::string_view point, HRESULT *code = nullptr);
// How many times an armed or unarmed point has been asked since the last ClearFailures.
int TimesAsked(std::string_view point);

// Each area of the layer registers how to return its seams to the real behaviour; ResetAll runs
// them all (tests call it between cases).
void RegisterReset(std::function<void()> reset);
void ResetAll();

} // namespace seams
