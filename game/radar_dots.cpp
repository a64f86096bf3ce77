// The radar's dots: one per active asteroid body, satellite and Mars ship, in the ship's frame.
#include "game/asteroid_game.h"

void CMyD3DApplication::DrawRadarDots() {}
