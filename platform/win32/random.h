// The program's one random generator, shared by every part that draws: a 32-bit linear
// congruential state starting at 1 and never reseeded, so the order of draws is behaviour.
#pragma once

namespace crt {

constexpr int RAND_MAX_VALUE = 0x7FFF;

// Advances the state (state * 214013 + 2531011) and returns bits 16..30: 0 to 32767.
int rand();

} // namespace crt
