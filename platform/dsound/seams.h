// Test seams of the sound buffers. Nothing here changes behaviour until a test uses it.
//
// Stepping: while the virtual clock is on (seams::UseVirtualClock), the mixer no longer runs on
// the audio thread; every sound call first mixes exactly the output frames that the virtual clock
// has moved since the last one, so when a one-shot ends is a function of virtual time alone.
//
// Failure points for seams::InjectFailure: "DirectSoundCreate8", "SetCooperativeLevel",
// "CreateSoundBuffer", "DuplicateSoundBuffer", "SetFormat" (primary buffer), "GetStatus" and
// "Restore" (pass DSERR_BUFFERLOST to make a restore fail that many times).
#pragma once

#include "platform/dsound/dsound.h"

#include <cstdint>
#include <vector>

namespace seams {

// Mixes up to the virtual clock now (sound calls do this themselves).
void SyncSoundMixer();

struct MixedSound {
    DWORD rate = 0;
    WORD channels = 0;
    std::vector<std::int16_t> samples; // interleaved
};
// While on, everything the mixer produces is kept; taking it empties the capture.
void CaptureSoundOutput(bool on);
MixedSound TakeSoundOutput();

// Loses every secondary buffer as a focus change would: stopped, its (shared) memory silent,
// DSBSTATUS_BUFFERLOST until restored.
void LoseSoundBuffers();

} // namespace seams
