// SDL audio output with a fallback to the dummy driver, which consumes samples in real time
// without a sound card.
#include "platform/dsound/audio_device.h"

#include "platform/win32/debug_output.h"

#include <SDL.h>

#include <string>

namespace dsound {

namespace {

std::uint32_t openWithCurrentDriver(int rate, int channels, AudioCallback callback,
                                    void *userData) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 0;
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(channels);
    wanted.samples = 512;
    wanted.callback = callback;
    wanted.userdata = userData;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware takes, so the mixer always
    // produces exactly the format the program set.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    SDL_PauseAudioDevice(device, 0);
    return device;
}

} // namespace

std::uint32_t OpenAudioDevice(int rate, int channels, AudioCallback callback, void *userData) {
    if (std::uint32_t device = openWithCurrentDriver(rate, channels, callback, userData))
        return device;
    const std::string reason = SDL_GetError();
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    const std::uint32_t device = openWithCurrentDriver(rate, channels, callback, userData);
    const std::string line = "dsound: no sound device (" + reason + "), sound output is silent\n";
    OutputDebugStringA(line.c_str());
    return device;
}

void CloseAudioDevice(std::uint32_t device) {
    if (device == 0)
        return;
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace dsound
