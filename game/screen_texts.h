// The texts the HUD, the hall of fame and the initials screen draw with the bitmap font, built
// apart from the drawing so that what the player reads can be checked on its own.
#pragma once

#include "platform/win32/types.h"

// The score of the game so far, eight digits with leading zeros.
void FormatScoreText(char (&out)[16], DWORD totalScore, DWORD waveScore);
// The time left as minutes and two-digit seconds, each truncated toward zero.
void FormatTimeLeftText(char (&out)[16], float timeLeft);
// A hall-of-fame score right-aligned in eight characters.
void FormatHallOfFameScore(char (&out)[16], DWORD score);
// The initials typed so far followed by the cursor, a bar for the first half of every second in
// the state and a space for the second; false (and an empty text) before the first letter.
bool MakeInitialsLine(char (&out)[8], const char *initials, INT count, float stateTimer);
