// The cameras of the render step: the drifting menu view, the chase view, the close view behind
// the ship and the overlay's pixel space.
#include "game/asteroid_game.h"

void CMyD3DApplication::SetMenuCamera() {}
void CMyD3DApplication::ApplyCameraView() {}
void CMyD3DApplication::ApplyShipView() {}
void CMyD3DApplication::SetOverlayProjection() {}
