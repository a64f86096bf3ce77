// SDL audio output with a fallback to the dummy driver, which consumes samples in real time
// without a sound card.
#include "platform/dsound/audio_device.h"

#include "platform/win32/debug_output.h"

#include <SDL.h>

#include <string>

namespace dsound {

namespace {

// Set once no real output could be opened: later opens (a new output format) go straight to the
// silent output instead of failing and reporting again.
bool g_silentOutput = false;

std::uint32_t openWithDriver(const char *driver, int rate, int channels, AudioCallback callback,
                             void *userData) {
    if (driver)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    const int initialised = SDL_InitSubSystem(SDL_INIT_AUDIO);
    if (driver)
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (initialised != 0)
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
    if (!g_silentOutput)
        if (std::uint32_t device = openWithDriver(nullptr, rate, channels, callback, userData))
            return device;
    if (!g_silentOutput) {
        const std::string line =
            std::string("dsound: no sound device (") + SDL_GetError() + "), output is silent\n";
        OutputDebugStringA(line.c_str());
        g_silentOutput = true;
    }
    return openWithDriver("dummy", rate, channels, callback, userData);
}

void CloseAudioDevice(std::uint32_t device) {
    if (device == 0)
        return;
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace dsound
