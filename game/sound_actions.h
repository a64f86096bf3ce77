// The few things the game does to a sound, each a no-op on an absent (null) sound, so that a
// missing WAV file silences only itself.
#pragma once

#include "platform/win32/types.h"

class CSound;

// Play once on a free buffer (priority 0, no flags).
void PlaySoundOnce(CSound *sound);
// Play looping on a free buffer.
void PlaySoundLooping(CSound *sound);
// Stop every buffer, rewind them, then play once: the sound starts over from its beginning.
void RestartSound(CSound *sound);
// Rewind every buffer, then play once.
void RewindAndPlaySound(CSound *sound);
void StopSound(CSound *sound);
void StopSoundIfPlaying(CSound *sound);
// An absent sound never plays.
bool IsSoundPlaying(CSound *sound);
// Volume of the first buffer in hundredths of a decibel, clamped to -10000..0 before it is set.
void SetSoundVolume(CSound *sound, LONG volume);
// Frequency of the first buffer in Hz; the caller clamps it into the range its use needs.
void SetSoundFrequency(CSound *sound, DWORD frequency);
