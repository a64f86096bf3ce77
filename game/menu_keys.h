// How every menu page takes its keys, shared by the main, difficulty and options menus.
#pragma once

#include "game/asteroid_game.h"
#include "game/play_rules.h"

// Seconds without an accepted key before the attract cycle moves on to the next page.
constexpr float kIdleTimeout = 20.0f;

// Down and up move the cursor one item, wrapping round the `count` items, each with the select
// click; an accepted key restarts the state timer.
void StepMenuCursor(const InputState &input, CSound *selectSound, float &stateTimer, INT &cursor,
                    INT count);
