// What the play states, the world update and the collision pass share: the cheat's completed
// value, float values truncated into integer ranges (volumes, frequencies) and the points of a
// scoring hit.
#pragma once

#include "platform/win32/types.h"

// The cheat counter once the seven letters were typed: the ship then takes no damage.
constexpr INT kCheatComplete = 10;

// The value truncated toward zero and limited to low..high. The limits apply before the
// conversion, so no value can overflow it; NaN gives low.
LONG TruncateInto(float value, LONG low, LONG high);

// The engine's playback frequency for a ship speed is game/sound_actions.h's EngineFrequency.

// The volume (hundredths of a decibel) of a sound that fades with distance at `perUnit` hundredths
// per world unit: full next to the source, silent far away.
LONG DistanceVolume(float distance, float perUnit);

// The points of one scoring hit: `points` divided by the shots fired since the last scoring hit
// (counted as 1 when none were), times the difficulty factor, truncated. The shot counter starts
// again from 0.
DWORD TakeHitScore(INT &shotCounter, INT points, float difficultyFactor);
