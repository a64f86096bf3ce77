// The rules the game's states, the world update, the collision pass and the render step share:
// the menu key delay, the no-time-limit value, the cheat's completed value, the causes of a lost
// life, float values truncated into integer ranges and the points of a scoring hit.
#pragma once

#include "platform/win32/types.h"

// A menu key acts only once the state has lasted this long since the last accepted key, so a key
// held down steps through a menu at a readable pace, and a key still down from the previous
// screen does not act at once.
constexpr float kMenuKeyDelay = 0.15f;

// The time left of a wave without a time limit.
constexpr float kNoTimeLimit = -666.0f;

// The cheat counter once the seven letters were typed: the ship then takes no damage.
constexpr INT kCheatComplete = 10;

// Why the last life was lost: the captions of the lost life tell them apart.
constexpr INT kLifeLostSatellite = 0;
constexpr INT kLifeLostShipDestroyed = 1;
constexpr INT kLifeLostTimeOut = 2;

// The value truncated toward zero and limited to low..high. The limits apply before the
// conversion, so no value can overflow it; NaN gives low.
LONG TruncateInto(float value, LONG low, LONG high);

// The points of one scoring hit: `points` divided by the shots fired since the last scoring hit
// (counted as 1 when none were), times the difficulty factor, truncated. The shot counter starts
// again from 0.
DWORD TakeHitScore(INT &shotCounter, INT points, float difficultyFactor);
