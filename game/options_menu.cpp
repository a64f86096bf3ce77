// The options menu: four switches, the steering sensitivity and the full-screen display mode.
#include "game/asteroid_game.h"

HRESULT CMyD3DApplication::UpdateOptionsMenu() {
    return 0;
}

HRESULT CMyD3DApplication::ChangeDisplayMode() {
    return 0;
}
