// The one software mixer: every playing secondary buffer is resampled to the output rate, scaled
// by its volume and pan and summed with saturation. It runs in the audio device's callback, or,
// while the virtual clock is on, on the caller's thread exactly as far as that clock has moved.
#pragma once

#include "platform/dsound/voice.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace dsound {

struct OutputFormat {
    DWORD rate = 22050;
    WORD channels = 2;
};

class Mixer {
public:
    static Mixer &Instance();

    // Every call of the sound API goes through this lock. Under the virtual clock it first mixes
    // up to the clock's present, so the state the caller sees is the state at that time.
    std::unique_lock<std::mutex> Enter();

    // The device stays open while any sound object lives. Every OpenOutput, even a failed one
    // (no device at all), is balanced by a CloseOutput.
    HRESULT OpenOutput();
    void CloseOutput();
    // Reopens the device with the primary buffer's new rate and channel count.
    void SetOutputFormat(DWORD rate, WORD channels);

    // The following need the lock held.
    OutputFormat Format() const { return m_format; }
    void Attach(Voice *voice);
    void Detach(Voice *voice);
    void UpdateStep(Voice &voice) const;
    // Takes a voice's memory away as a focus change would: stopped, silent, lost until restored.
    void LoseVoice(Voice &voice);
    void LoseAllVoices();
    // Stops a voice and signals its stop notifications.
    void StopVoice(Voice &voice);
    // Mixes `frames` output frames into `out` (interleaved 16-bit) and advances every voice.
    void Mix(std::int16_t *out, std::size_t frames);

    // Test capture of everything mixed, in the output format.
    void SetCapture(bool on);
    std::vector<std::int16_t> TakeCapture();
    // Mixes up to the virtual clock (nothing when it is off).
    void CatchUp();

    static void AudioCallback(void *mixer, std::uint8_t *stream, int length);

private:
    static constexpr std::size_t kBlockFrames = 256;

    Mixer() = default;
    void MixBlock(std::int16_t *out, std::size_t frames);
    void MixVoice(Voice &voice, float *accumulator, std::size_t frames);
    void Notify(const Voice &voice, DWORD fromFrame, DWORD toFrame, unsigned wraps, bool ended);
    void RebaseClock();

    std::mutex m_lock;
    OutputFormat m_format;
    std::vector<Voice *> m_voices;
    std::array<float, kBlockFrames * 2> m_accumulator{};
    std::array<std::int16_t, kBlockFrames * 2> m_scratch{};

    bool m_capturing = false;
    std::vector<std::int16_t> m_capture;

    // Stepping by the virtual clock: frames mixed since the tick count the stepping started at.
    bool m_stepping = false;
    LONGLONG m_baseTicks = 0;
    LONGLONG m_baseFrequency = 0;
    std::uint64_t m_framesSinceBase = 0;

    std::mutex m_deviceLock; // device open/close, never held by the callback
    int m_users = 0;
    std::uint32_t m_device = 0;
};

} // namespace dsound
