// The generator's state lives here alone; only the test seam may look at or restart it.
#include "platform/win32/random.h"

#include "platform/win32/seams.h"

#include <cstdint>

namespace {
std::uint32_t g_state = 1;
std::uint64_t g_draws = 0; // since the process started; restarting the state does not clear it
} // namespace

namespace crt {

int rand() {
    ++g_draws;
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

} // namespace crt

namespace seams {

void SetRandomState(std::uint32_t state) {
    g_state = state;
}
std::uint32_t RandomState() {
    return g_state;
}
std::uint64_t RandomDraws() {
    return g_draws;
}

} // namespace seams
