// The state the mixer reads for each secondary buffer: shared sample memory and one play state.
#pragma once

#include "platform/dsound/dsound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace dsound {

// Sample memory, shared by a buffer and its duplicates. Written only under the mixer's lock.
struct SampleData {
    SampleData(const WAVEFORMATEX &fmt, DWORD size) : format(fmt), bytes(size, SilenceByte(fmt)) {}

    static BYTE SilenceByte(const WAVEFORMATEX &fmt) { return fmt.wBitsPerSample == 8 ? 128 : 0; }
    void FillWithSilence() { std::fill(bytes.begin(), bytes.end(), SilenceByte(format)); }
    DWORD Frames() const { return static_cast<DWORD>(bytes.size() / format.nBlockAlign); }

    WAVEFORMATEX format;
    std::vector<BYTE> bytes;
    // Memory lent by another owner (a music segment's samples): a loss takes it from the buffers
    // that play it, which get silence of their own, and leaves the owner's samples as they are.
    bool lent = false;
};

struct NotifyPoint {
    DWORD offset;
    HANDLE event;
};

// Positions are in source frames as 32.32 fixed point, so resampling keeps the fraction between
// output frames. Every field is guarded by the mixer's lock.
struct Voice {
    std::shared_ptr<SampleData> data;
    bool playing = false;
    bool looping = false;
    bool lost = false;
    std::uint64_t position = 0;
    std::uint64_t step = std::uint64_t{1} << 32; // source frames per output frame
    DWORD frequency = 0;
    LONG volume = 0;
    LONG pan = 0;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    std::vector<NotifyPoint> notifications;

    DWORD PlayFrame() const { return static_cast<DWORD>(position >> 32); }

    // Volume and pan are attenuations in hundredths of a decibel: gain = 10^(v / 2000). Pan
    // attenuates only the opposite channel.
    void UpdateGains() {
        const float gain = std::pow(10.0f, static_cast<float>(volume) / 2000.0f);
        gainLeft = gain * (pan > 0 ? std::pow(10.0f, static_cast<float>(-pan) / 2000.0f) : 1.0f);
        gainRight = gain * (pan < 0 ? std::pow(10.0f, static_cast<float>(pan) / 2000.0f) : 1.0f);
    }
};

} // namespace dsound
