// The render step: the picture of every game state.
#include "game/asteroid_game.h"

HRESULT CMyD3DApplication::RenderFrame() {
    return m_bQuit ? E_FAIL : 0;
}
