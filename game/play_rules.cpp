#include "game/play_rules.h"

LONG TruncateInto(float value, LONG low, LONG high) {
    if (!(value > static_cast<float>(low)))
        return low;
    if (value >= static_cast<float>(high))
        return high;
    return static_cast<LONG>(value);
}

LONG DistanceVolume(float distance, float perUnit) {
    return TruncateInto(-distance * perUnit, -10000, 0);
}

DWORD TakeHitScore(INT &shotCounter, INT points, float difficultyFactor) {
    if (shotCounter == 0)
        shotCounter = 1;
    const INT quotient = points / shotCounter;
    shotCounter = 0;
    // Single precision on purpose: 5000 x 1.4 must come out as 7000, not 6999.
    const float scaled = static_cast<float>(quotient) * difficultyFactor;
    return static_cast<DWORD>(TruncateInto(scaled, 0, 0x7FFFFFFF));
}
