// Options, display mode and hall of fame in the settings store.
#include "game/asteroid_game.h"

LONG CMyD3DApplication::LoadSettings() {
    return 0;
}

LONG CMyD3DApplication::SaveSettings() {
    return 0;
}
