// How every menu page takes its keys, shared by the main, difficulty and options menus.
#pragma once

#include "game/asteroid_game.h"

// A menu key acts only once the state has lasted this long since the last accepted key, so a key
// held down steps through a menu at a readable pace.
constexpr float kMenuKeyDelay = 0.15f;
// Seconds without an accepted key before the attract cycle moves on to the next page.
constexpr float kIdleTimeout = 20.0f;

// Down and up move the cursor one item, wrapping round the `count` items, each with the select
// click; an accepted key restarts the state timer.
void StepMenuCursor(const InputState &input, CSound *selectSound, float &stateTimer, INT &cursor,
                    INT count);
