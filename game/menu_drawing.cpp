// The menu list, the hall of fame, the initials screen, the darkening quads and the menu texts.
#include "game/asteroid_game.h"

void CMyD3DApplication::DrawMenu(INT, INT) {}
char *ToLowerCopy(const char *) {
    return nullptr;
}
void CMyD3DApplication::DrawHallOfFame() {}
void CMyD3DApplication::DrawInitialsEntry() {}
char *CMyD3DApplication::MakeSliderText(INT, INT, INT) {
    return nullptr;
}
void CMyD3DApplication::DrawFullScreenBlack(DWORD) {}
void CMyD3DApplication::DrawOutlinedText(const char *, INT, INT, INT, INT, DWORD) {}
HRESULT CMyD3DApplication::DrawFrameStats() {
    return 0;
}
