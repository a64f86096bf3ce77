// Cost of mixing the game's worst case, 17 sounds of 5 buffers all playing, each resampled from
// its own rate, for one second of 22050 Hz stereo output. The time per iteration over one second
// is the share of a core the mixer takes.
#include "platform/dsound/dsound.h"
#include "platform/test_seams.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

void MixEightyFiveBuffers(benchmark::State &state) {
    seams::UseVirtualClock(1'000'000);
    IDirectSound8 *ds = nullptr;
    DirectSoundCreate8(nullptr, &ds, nullptr);
    ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    DSBUFFERDESC primaryDesc{};
    primaryDesc.dwSize = sizeof(primaryDesc);
    primaryDesc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer *primary = nullptr;
    ds->CreateSoundBuffer(&primaryDesc, &primary, nullptr);
    WAVEFORMATEX output{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    primary->SetFormat(&output);
    primary->Release();

    std::vector<IDirectSoundBuffer *> buffers;
    for (int sound = 0; sound < 17; ++sound) {
        const bool stereo = sound % 4 == 3;
        const WORD channels = stereo ? 2 : 1;
        WAVEFORMATEX format{WAVE_FORMAT_PCM,
                            channels,
                            22050,
                            22050u * 2 * channels,
                            static_cast<WORD>(2 * channels),
                            16,
                            0};
        std::vector<std::int16_t> samples(22050 * channels);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>(3000 * std::sin(0.01 * (sound + 1) * i));
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLVOLUME;
        desc.dwBufferBytes = static_cast<DWORD>(samples.size() * 2);
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer *first = nullptr;
        ds->CreateSoundBuffer(&desc, &first, nullptr);
        void *p1 = nullptr;
        DWORD n1 = 0;
        first->Lock(0, desc.dwBufferBytes, &p1, &n1, nullptr, nullptr, 0);
        std::memcpy(p1, samples.data(), n1);
        first->Unlock(p1, n1, nullptr, 0);
        buffers.push_back(first);
        for (int copy = 1; copy < 5; ++copy) {
            IDirectSoundBuffer *duplicate = nullptr;
            ds->DuplicateSoundBuffer(first, &duplicate);
            buffers.push_back(duplicate);
        }
    }
    for (std::size_t i = 0; i < buffers.size(); ++i) {
        buffers[i]->SetFrequency(static_cast<DWORD>(4000 + 457 * i));
        buffers[i]->SetVolume(-static_cast<LONG>(i * 10));
        buffers[i]->Play(0, 0, DSBPLAY_LOOPING);
    }

    for (auto _ : state) {
        seams::AdvanceVirtualClock(1.0);
        seams::SyncSoundMixer();
    }
    state.SetLabel("one second of output per iteration");

    for (IDirectSoundBuffer *buffer : buffers)
        buffer->Release();
    ds->Release();
    seams::UseRealClock();
}
BENCHMARK(MixEightyFiveBuffers)->Unit(benchmark::kMillisecond);

} // namespace
