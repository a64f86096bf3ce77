// The game's per-frame update: the input read, the running time, then the current state's handler.
#include "game/asteroid_game.h"

HRESULT CMyD3DApplication::UpdateFrame() {
    ReadInput(&m_input);
    m_fRunningTime += m_fElapsedTime;
    switch (m_gameState) {
    case GameState::Intro:
        UpdateIntro();
        break;
    case GameState::MainMenu:
        UpdateMainMenu();
        break;
    case GameState::DifficultyMenu:
        UpdateDifficultyMenu();
        break;
    case GameState::InitialsEntry:
        UpdateInitialsEntry();
        break;
    case GameState::OptionsMenu:
        return UpdateOptionsMenu();
    case GameState::HallOfFame:
        UpdateHallOfFame();
        break;
    case GameState::Credits:
        UpdateCredits();
        break;
    case GameState::GetReady:
        UpdateGetReady();
        break;
    case GameState::WaveIntro:
        UpdateWaveIntro();
        break;
    case GameState::Playing:
        UpdatePlaying();
        break;
    case GameState::Paused:
        UpdatePaused();
        break;
    case GameState::LifeLost:
        UpdateLifeLost();
        break;
    case GameState::WaveCleared:
        UpdateWaveCleared();
        break;
    case GameState::StationSequence:
        UpdateStationSequence();
        break;
    default: // Reserved, and anything outside the table, has no handler
        break;
    }
    return 0;
}

void CMyD3DApplication::EnterMenuState(GameState state) {
    m_gameState = state;
    m_fStateTimer = 0.0f;
    UpdateFrame();
    m_fStateTimer = 0.0f;
}
