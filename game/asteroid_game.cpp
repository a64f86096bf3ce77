// The game application's construction and the steps that need no game flow.
#include "game/asteroid_game.h"

#include <cstring>

CMyD3DApplication::CMyD3DApplication()
    : m_pLargeFont(nullptr), m_pSmallFont(nullptr), m_pBitmapFont(nullptr), m_pDirectInput(nullptr),
      m_pKeyboard(nullptr), m_pMouse(nullptr),
      m_pController(nullptr), m_input{}, m_mouseState{}, m_controllerState{},
      m_pMusicLoader(nullptr), m_pMusicPerformance(nullptr), m_pMusicSegment(nullptr),
      m_pSoundManager(nullptr), m_pEngineSound(nullptr), m_pMarsShipEngineSound(nullptr),
      m_pMarsShipLaserSound(nullptr), m_pEngineStartSound(nullptr), m_pRumbleSound(nullptr),
      m_pExplosion1Sound(nullptr), m_pExplosion2Sound(nullptr), m_pLaserSound(nullptr),
      m_pDangerSound(nullptr), m_pWinSound(nullptr), m_pLoseSound(nullptr),
      m_pMenuLoop2Sound(nullptr), m_pHitSound(nullptr), m_pMenuSelectSound(nullptr),
      m_pMenuBackSound(nullptr), m_pSpringSound(nullptr), m_pStationOrderSound(nullptr),
      m_pCamera(nullptr), m_pSkybox(nullptr), m_pSpaceship(nullptr), m_pCockpit(nullptr),
      m_pRadar(nullptr), m_pShipHealth(nullptr), m_pExplosion(nullptr), m_pLaser(nullptr),
      m_pMarsShip(nullptr), m_pSatellite(nullptr), m_pAsteroidField(nullptr), m_pDebris(nullptr),
      m_pSmoke(nullptr), m_pTextAsset(nullptr), m_pBlack(nullptr), m_pBlack2(nullptr),
      m_pPhoto(nullptr), m_pStation(nullptr), m_hallOfFame{}, m_waves{}, m_menuItems{}, m_menuTexts{},
      m_nMainMenuCursor(0), m_nOptionsCursor(0), m_nItemCount(0), m_gameState(GameState::Intro),
      m_nWave(1), m_nLives(3), m_dwOptionsModeIndex(0), m_dwWaveScore(0), m_dwTotalScore(0),
      m_nShotCounter(0), m_bExitChosen(false), m_bQuit(false), m_initials{}, m_nInitialsCount(0),
      m_nCheatCounter(0), m_bGameInProgress(false), m_nLifeLossCause(0), m_dwSteeringSensitivity(5),
      m_bHeadlight(true), m_bReflection(true), m_bBrisaVenner(true), m_bInvertPitch(true),
      m_nViewMode(1), m_fKeyRepeatTimer(0.0f), m_fStateTimer(0.0f), m_fTimeLeft(-666.0f),
      m_fSteeringFactor(1.0f), m_fDifficultyFactor(1.0f), m_fRunningTime(0.0f),
      m_bTargetsRemain(true), m_pShipFlameMesh(nullptr), m_pMarsFlameMesh(nullptr),
      m_pMarsTargetMarkMesh(nullptr), m_pMarsLeadMarkMesh(nullptr) {
    m_dwCreationWidth = 640;
    m_dwCreationHeight = 480;
    m_strWindowTitle = "Tarvos";
    m_bUseDepthBuffer = TRUE;
    // The input record is zero-filled in all of its bytes, padding included.
    std::memset(&m_input, 0, sizeof(m_input));
    LoadSettings();
}

HRESULT CMyD3DApplication::AcceptDeviceCaps(const D3DCAPS8 *, DWORD, D3DFORMAT) {
    // Every device, format and vertex-processing mode will do.
    return 0;
}

HRESULT CMyD3DApplication::PrepareDeviceResources() {
    return 0;
}

LRESULT CMyD3DApplication::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CD3DApplication::HandleMessage(window, message, wParam, lParam);
}

// Filled in by the one-time set-up, the attract start and the final clean-up.
HRESULT CMyD3DApplication::OnStartupComplete() {
    return 0;
}
HRESULT CMyD3DApplication::InitOnce() {
    return 0;
}
HRESULT CMyD3DApplication::FinalShutdown() {
    return 0;
}
