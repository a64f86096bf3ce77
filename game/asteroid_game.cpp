// The game application's life: construction, the one-time set-up of every world and HUD object,
// the attract-mode start, and the final clean-up of input, sound and music.
#include "game/asteroid_game.h"

#include "game/asteroid_field.h"
#include "game/camera.h"
#include "game/cockpit.h"
#include "game/debris.h"
#include "game/dh_fast_font.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/play_rules.h"
#include "game/radar.h"
#include "game/satellite.h"
#include "game/ship_health.h"
#include "game/skybox.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "game/text_asset.h"

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
      m_pPhoto(nullptr),
      m_pStation(nullptr), m_hallOfFame{}, m_waves{}, m_menuItems{}, m_menuTexts{},
      m_nMainMenuCursor(0), m_nOptionsCursor(0), m_nItemCount(0), m_gameState(GameState::Intro),
      m_nWave(1), m_nLives(3), m_dwOptionsModeIndex(0), m_dwWaveScore(0), m_dwTotalScore(0),
      m_nShotCounter(0), m_bExitChosen(false), m_bQuit(false), m_initials{}, m_nInitialsCount(0),
      m_nCheatCounter(0), m_bGameInProgress(false), m_nLifeLossCause(kLifeLostSatellite),
      m_dwSteeringSensitivity(5), m_bHeadlight(true), m_bReflection(true), m_bBrisaVenner(true),
      m_bInvertPitch(true), m_nViewMode(1), m_fKeyRepeatTimer(0.0f), m_fStateTimer(0.0f),
      m_fTimeLeft(kNoTimeLimit), m_fSteeringFactor(1.0f), m_fDifficultyFactor(1.0f),
      m_fRunningTime(0.0f), m_bTargetsRemain(true), m_pShipFlameMesh(nullptr),
      m_pMarsFlameMesh(nullptr), m_pMarsTargetMarkMesh(nullptr), m_pMarsLeadMarkMesh(nullptr) {
    m_dwCreationWidth = 640;
    m_dwCreationHeight = 480;
    m_strWindowTitle = "Tarvos";
    m_bUseDepthBuffer = TRUE;
    // The input record is zero-filled in all of its bytes, padding included.
    std::memset(&m_input, 0, sizeof(m_input));
    // The render step forms a view-projection from the projection of the previous frame; give the
    // very first frame a defined one.
    D3DXMatrixIdentity(&m_matViewProj);
    D3DXMatrixIdentity(&m_matProj);
    D3DXMatrixIdentity(&m_matShipRotation);
    LoadSettings();
}

CMyD3DApplication::~CMyD3DApplication() {
    delete m_pBitmapFont;
    MeshObj *meshes[] = {m_pShipFlameMesh,
                         m_pMarsFlameMesh,
                         m_pMarsTargetMarkMesh,
                         m_pMarsLeadMarkMesh,
                         m_pBlack,
                         m_pBlack2,
                         m_pPhoto,
                         m_pStation};
    for (MeshObj *mesh : meshes)
        delete mesh;
    delete m_pCamera;
    delete m_pRadar;
    delete m_pShipHealth;
    delete m_pSkybox;
    delete m_pCockpit;
    delete m_pDebris;
    delete m_pAsteroidField;
    delete m_pSatellite;
    delete m_pSpaceship;
    delete m_pMarsShip;
    delete m_pTextAsset;
    delete m_pExplosion;
    delete m_pLaser;
    delete m_pSmoke;
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

HRESULT CMyD3DApplication::InitOnce() {
    SendMessageA(m_hWnd, WM_PAINT, 0, 0);
    // Missing input devices, sounds or music stay null and are skipped by every user.
    InitInput(m_hWnd);
    InitSound(m_hWnd);

    m_pCamera = new Camera();
    m_pRadar = new Radar();
    m_pShipHealth = new ShipHealth();
    m_pSkybox = new Skybox();
    m_pCockpit = new Cockpit();
    m_pDebris = new Debris();
    m_pAsteroidField = new AsteroidField();
    m_pSatellite = new Satellite();
    m_pSpaceship = new Spaceship();
    m_pSpaceship->Reset();
    m_pMarsShip = new MarsShip();
    m_pShipFlameMesh = new MeshObj();
    m_pSpaceship->flameMesh = m_pShipFlameMesh;
    m_pMarsFlameMesh = new MeshObj();
    m_pMarsTargetMarkMesh = new MeshObj();
    m_pMarsLeadMarkMesh = new MeshObj();
    m_pMarsShip->flameMesh = m_pMarsFlameMesh;
    m_pMarsShip->targetMarkMesh = m_pMarsTargetMarkMesh;
    m_pMarsShip->leadMarkMesh = m_pMarsLeadMarkMesh;
    m_pTextAsset = new TextAsset();
    m_pBlack = new MeshObj();
    m_pBlack2 = new MeshObj();
    m_pExplosion = new Explosion();
    m_pLaser = new Laser();
    m_pSmoke = new Smoke();
    m_pPhoto = new MeshObj();
    m_pStation = new MeshObj();

    m_nInitialsCount = 0;
    m_bGameInProgress = false;
    m_nWave = 1;
    m_nViewMode = 1;
    m_nLives = 3;
    m_bExitChosen = false;
    m_bQuit = false;
    m_bTargetsRemain = true;
    m_nMainMenuCursor = 0;
    m_nItemCount = 0;

    m_pSpaceship->SetPosition(0.0f, 1.5f, 2.0f);
    m_pSpaceship->SetOrientation(D3DXQUATERNION(1.0f, 0.0f, 0.0f, 0.0f));
    m_pSpaceship->speed = 0.0f;
    m_pSpaceship->acceleration = 0.0f;

    m_pDebris->Scatter();
    m_pSatellite->Clear();
    return 0;
}

HRESULT CMyD3DApplication::OnStartupComplete() {
    m_gameState = GameState::Intro;
    m_fKeyRepeatTimer = 0.0f;
    m_fStateTimer = 0.0f;
    m_fRunningTime = 0.0f;
    m_pMarsShip->Spawn(0);
    m_pSatellite->Spawn(0);
    m_pAsteroidField->InitAttractField();
    m_fDifficultyFactor = 1.0f;
    BuildWaveTable();
    StartMusic();
    return 0;
}

HRESULT CMyD3DApplication::FinalShutdown() {
    StopSoundLoops();
    ReleaseInput();
    ReleaseSound();
    // The only place the settings and the hall of fame are written.
    SaveSettings();
    return 0;
}
