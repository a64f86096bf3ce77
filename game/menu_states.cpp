// The states outside play: the attract fly-by, the main and difficulty menus, the initials entry,
// the hall of fame and the credits.
#include "game/asteroid_game.h"

void CMyD3DApplication::UpdateIntro() {}
void CMyD3DApplication::UpdateMainMenu() {}
void CMyD3DApplication::UpdateDifficultyMenu() {}
void CMyD3DApplication::UpdateInitialsEntry() {}
void CMyD3DApplication::UpdateHallOfFame() {}
void CMyD3DApplication::UpdateCredits() {}
