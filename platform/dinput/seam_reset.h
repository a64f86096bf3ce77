// How the input devices return to their real behaviour between tests (seams::ResetAll): virtual
// controllers detached, every key and button up. Internal to the input layer.
#pragma once

namespace dinput {

void RegisterSeamReset();

} // namespace dinput
