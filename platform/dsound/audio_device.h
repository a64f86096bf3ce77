// The audio device under the mixer: SDL's default output, or its silent dummy output when no
// sound card can be opened, so that the program always starts.
#pragma once

#include <cstdint>

namespace dsound {

using AudioCallback = void (*)(void *userData, std::uint8_t *stream, int length);

// Opens and starts a 16-bit output with the given rate and channels; 0 when even the silent
// output cannot be opened.
std::uint32_t OpenAudioDevice(int rate, int channels, AudioCallback callback, void *userData);
// Stops the callback (waiting for a running one to return) and closes the device.
void CloseAudioDevice(std::uint32_t device);

} // namespace dsound
