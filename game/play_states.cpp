// Play: the wave table, a new game, and the states from the briefing to the end of a game.
#include "game/asteroid_game.h"

void CMyD3DApplication::BuildWaveTable() {}
void CMyD3DApplication::StartNewGame(float) {}
void CMyD3DApplication::UpdateGetReady() {}
void CMyD3DApplication::UpdateWaveIntro() {}
void CMyD3DApplication::StartWave() {}
void CMyD3DApplication::UpdatePlaying() {}
void CMyD3DApplication::SteerShip() {}
void CMyD3DApplication::UpdatePaused() {}
void CMyD3DApplication::UpdateLifeLost() {}
void CMyD3DApplication::UpdateWaveCleared() {}
void CMyD3DApplication::UpdateStationSequence() {}
void CMyD3DApplication::EndGame() {}
