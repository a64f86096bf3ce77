// The few things the game does to a sound, each a no-op on an absent (null) sound, so that a
// missing WAV file silences only itself.
#pragma once

#include "platform/win32/types.h"

class CSound;

// Play once on a free buffer (priority 0, no flags).
void PlaySoundOnce(CSound *sound);
// Play looping on a free buffer.
void PlaySoundLooping(CSound *sound);
// Play once, or loop, only when no buffer of the sound is playing.
void PlaySoundIfIdle(CSound *sound);
void LoopSoundIfIdle(CSound *sound);
// Stop every buffer, rewind them, then play once: the sound starts over from its beginning.
void RestartSound(CSound *sound);
// Rewind every buffer, then play once.
void RewindAndPlaySound(CSound *sound);
void StopSound(CSound *sound);
void StopSoundIfPlaying(CSound *sound);
// An absent sound never plays.
bool IsSoundPlaying(CSound *sound);
// Volume of the first buffer in hundredths of a decibel (0 full, -10000 silent). The value is
// clamped to -10000..0 before it is truncated toward zero, so a fade or distance computed far out
// of range (or not a number, which is taken as silence) never overflows the conversion.
void SetSoundVolume(CSound *sound, float volume);
// Frequency of the first buffer in Hz; the caller clamps it into the range its use needs.
void SetSoundFrequency(CSound *sound, DWORD frequency);
// The engine's pitch for a ship speed: speed x 44100 truncated toward zero, plus 4000, held to
// 4000..44100 Hz (4000 at rest, the top at full speed; a negative speed idles).
DWORD EngineFrequency(float speed);
