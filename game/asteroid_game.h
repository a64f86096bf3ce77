// The game's application class: every piece of game state (menus, waves, lives, scores, options,
// timers), the input, sound and music objects, the fonts, the hall of fame, the wave table and the
// world and HUD objects, filling in the framework's virtual steps.
#pragma once

#include "framework/d3d_app.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/dinput/dinput.h"
#include "platform/dmusic/dmusic.h"

class Camera;
class Skybox;
class Spaceship;
class Cockpit;
class Radar;
class ShipHealth;
class Explosion;
class Laser;
class MarsShip;
class Satellite;
class AsteroidField;
class Debris;
class Smoke;
class TextAsset;
class MeshObj;
class dhFastFont;
class SoundManager;
class CSound;

// The game's states; the value is what the update and render steps switch on.
enum class GameState : INT {
    Intro = 0,
    MainMenu = 1,
    DifficultyMenu = 2,
    InitialsEntry = 3,
    OptionsMenu = 4,
    HallOfFame = 5,
    Credits = 6,
    GetReady = 7,
    WaveIntro = 8,
    Playing = 9,
    Paused = 10,
    LifeLost = 11,
    WaveCleared = 12,
    Reserved = 13, // never entered
    StationSequence = 14,
};
static_assert(sizeof(GameState) == 4);

// The keyboard as read this frame and the action flags made from it (levels, not edges).
struct InputState {
    BYTE keys[256]; // by key code; bit 0x80 = down
    DWORD bUp;
    DWORD bDown;
    DWORD bLeft;
    DWORD bRight;
    DWORD bRollLeft;
    DWORD bRollRight;
    DWORD bFire;
    DWORD bFineControl;
    DWORD bSelfDestruct;
    DWORD bThrust;
    DWORD bView;
    DWORD bPause;
    DWORD bEscape;
    DWORD bEnter;
    DWORD bBrake;
    DWORD bBackspace;
    DWORD bLetterTyped;
    char cLetter; // keeps its last value while no letter is down
};

// One row of the hall of fame; row 0 is the best.
struct HallOfFameEntry {
    char initials[4]; // three letters and a terminating zero
    DWORD score;
};

// One wave of the game.
struct WaveEntry {
    INT nAsteroidBodies;
    INT nMarsShips;
    INT nSatellites;
    INT nTimeLimit; // whole seconds, 0 = no limit
};

constexpr int kHallOfFameRows = 10;
constexpr int kWaveCount = 8;
constexpr int kMaxMenuItems = 7;
constexpr int kSoundCount = 17;

class CMyD3DApplication : public CD3DApplication {
public:
    CMyD3DApplication();
    // Frees the world and HUD objects, their meshes and the bitmap font, which live as long as the
    // application object.
    ~CMyD3DApplication() override;

    HRESULT OnStartupComplete() override;
    HRESULT AcceptDeviceCaps(const D3DCAPS8 *caps, DWORD behavior,
                             D3DFORMAT backBufferFormat) override;
    HRESULT InitOnce() override;
    HRESULT PrepareDeviceResources() override;
    HRESULT LoadDeviceResources() override;
    HRESULT UpdateFrame() override;
    HRESULT RenderFrame() override;
    HRESULT ReleaseDeviceResources() override;
    // The step of the load that hands the device to every world and HUD object, in load order.
    void LoadObjectResources();
    HRESULT DestroyDeviceResources() override;
    HRESULT FinalShutdown() override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Settings and hall of fame in the registry (game_settings.cpp).
    LONG LoadSettings();
    LONG SaveSettings();

    // Input (game_input.cpp).
    HRESULT InitInput(HWND window);
    HRESULT ReadInput(InputState *input);
    void ReleaseInput();

    // Sound table and music (game_sounds.cpp); every music call is skipped without a performance.
    HRESULT InitSound(HWND window);
    void StartMusic();
    void StopMusic();
    // The sound steps of the final clean-up: first the loops (engine, rumble, Mars-ship engine,
    // briefing loop) are stopped; later every sound, the sound manager and the music objects are
    // deleted or released, each only when present, and COM is ended.
    void StopSoundLoops();
    void ReleaseSound();

    // The state dispatcher and the states outside play (game_flow.cpp, menu_states.cpp).
    void UpdateIntro();
    void UpdateMainMenu();
    void UpdateDifficultyMenu();
    void UpdateInitialsEntry();
    void UpdateHallOfFame();
    void UpdateCredits();
    // Moves into a menu state and runs the whole update once more, so the new menu's items exist
    // before the frame is drawn.
    void EnterMenuState(GameState state);

    // The options menu and the display-mode change (options_menu.cpp); both return 0 or the
    // failure that ends the program.
    HRESULT UpdateOptionsMenu();
    HRESULT ChangeDisplayMode();
    // The phases of the options menu's frame: its items, Enter, Left or Right, and the flip of
    // one of the four switches (items 1 to 4).
    void BuildOptionsItems(const DeviceRecord &device);
    HRESULT TakeOptionsEnter();
    void TakeOptionsLeftOrRight(const DeviceRecord &device);
    void FlipOption(INT item);

    // Play: waves, lives and scoring (play_states.cpp).
    void BuildWaveTable();
    void StartNewGame(float difficultyFactor);
    void UpdateGetReady();
    void UpdateWaveIntro();
    void StartWave();
    // One frame of play, in this order: the world, the wave's end, the play keys, the steering,
    // the ship's laser and a life lost by the ship's destruction or the time running out.
    void UpdatePlaying();
    void EndWaveWhenCleared();
    void TakePlayKeys();
    void SteerShip();
    void FireShipLaser();
    void LoseLifeWhenDue();
    void UpdatePaused();
    void UpdateLifeLost();
    void UpdateWaveCleared();
    void UpdateStationSequence();
    void EndGame();

    // The world update and the collision pass (world_update.cpp, collisions.cpp).
    void UpdateWorld();
    void DetectCollisions();

    // Frame rendering and the cameras (frame_render.cpp, views.cpp).
    void SetMenuCamera();
    void ApplyCameraView();
    void ApplyShipView();
    void SetOverlayProjection();

    // Menu and overlay drawing (menu_drawing.cpp).
    void DrawMenu(INT cursor, INT x);
    void DrawHallOfFame();
    void DrawInitialsEntry();
    char *MakeSliderText(INT value, INT minimum, INT maximum);
    void DrawFullScreenBlack(DWORD which);
    void DrawOutlinedText(const char *text, INT x, INT y, INT width, INT unused, DWORD format);
    HRESULT DrawFrameStats();

    // The radar's dots (radar_dots.cpp).
    void DrawRadarDots();

    // Text fonts and the bitmap font.
    ID3DXFont *m_pLargeFont;
    ID3DXFont *m_pSmallFont;
    dhFastFont *m_pBitmapFont;

    // Input.
    IDirectInput8A *m_pDirectInput;
    IDirectInputDevice8A *m_pKeyboard;
    IDirectInputDevice8A *m_pMouse;
    IDirectInputDevice8A *m_pController; // null when no game controller is attached
    InputState m_input;
    DIMOUSESTATE2 m_mouseState;
    DIJOYSTATE2 m_controllerState;

    // Music; the performance stays null when the music set-up fails.
    IDirectMusicLoader8 *m_pMusicLoader;
    IDirectMusicPerformance8 *m_pMusicPerformance;
    IDirectMusicSegment8 *m_pMusicSegment;

    // Sound.
    SoundManager *m_pSoundManager;
    CSound *m_pEngineSound;
    CSound *m_pMarsShipEngineSound;
    CSound *m_pMarsShipLaserSound;
    CSound *m_pEngineStartSound;
    CSound *m_pRumbleSound;
    CSound *m_pExplosion1Sound;
    CSound *m_pExplosion2Sound;
    CSound *m_pLaserSound;
    CSound *m_pDangerSound;
    CSound *m_pWinSound;
    CSound *m_pLoseSound;
    CSound *m_pMenuLoop2Sound;
    CSound *m_pHitSound;
    CSound *m_pMenuSelectSound;
    CSound *m_pMenuBackSound;
    CSound *m_pSpringSound;
    CSound *m_pStationOrderSound;

    // World and HUD objects.
    Camera *m_pCamera;
    Skybox *m_pSkybox;
    Spaceship *m_pSpaceship;
    Cockpit *m_pCockpit;
    Radar *m_pRadar;
    ShipHealth *m_pShipHealth;
    Explosion *m_pExplosion;
    Laser *m_pLaser;
    MarsShip *m_pMarsShip;
    Satellite *m_pSatellite;
    AsteroidField *m_pAsteroidField;
    Debris *m_pDebris;
    Smoke *m_pSmoke;
    TextAsset *m_pTextAsset;
    MeshObj *m_pBlack;   // "black.x"
    MeshObj *m_pBlack2;  // "black2.x"
    MeshObj *m_pPhoto;   // "photo.x"
    MeshObj *m_pStation; // "station.x"

    // Records.
    HallOfFameEntry m_hallOfFame[kHallOfFameRows];
    WaveEntry m_waves[kWaveCount];

    // Menu on screen.
    const char *m_menuItems[kMaxMenuItems];
    char m_menuTexts[kMaxMenuItems][80]; // the options menu's item texts, rebuilt every frame
    INT m_nMainMenuCursor;
    INT m_nOptionsCursor;
    INT m_nItemCount;

    // Game.
    GameState m_gameState;
    INT m_nWave;
    INT m_nLives;
    DWORD m_dwOptionsModeIndex;
    DWORD m_dwWaveScore;
    DWORD m_dwTotalScore;
    INT m_nShotCounter;
    bool m_bExitChosen;
    bool m_bQuit;
    char m_initials[4];
    INT m_nInitialsCount;
    INT m_nCheatCounter;
    bool m_bGameInProgress;
    INT m_nLifeLossCause; // kLifeLostSatellite, kLifeLostShipDestroyed or kLifeLostTimeOut

    // Options.
    DWORD m_dwSteeringSensitivity;
    bool m_bHeadlight;
    bool m_bReflection;
    bool m_bBrisaVenner;
    bool m_bInvertPitch;

    // View: 0 chase camera, 1 cockpit.
    INT m_nViewMode;

    // Timers, in seconds.
    float m_fKeyRepeatTimer;
    float m_fStateTimer;
    float m_fTimeLeft; // kNoTimeLimit when the wave has none
    float m_fSteeringFactor;
    float m_fDifficultyFactor;
    float m_fRunningTime;
    bool m_bTargetsRemain;

    // Transforms of the render step; the ship rotation matrix is rebuilt by the world update.
    D3DXMATRIX m_matViewProj;
    D3DXMATRIX m_matProj;
    D3DXMATRIX m_matShipRotation;

    // Meshes handed to other objects: the ship's engine flame and the Mars ships' flame, target
    // mark and lead mark.
    MeshObj *m_pShipFlameMesh;
    MeshObj *m_pMarsFlameMesh;
    MeshObj *m_pMarsTargetMarkMesh;
    MeshObj *m_pMarsLeadMarkMesh;
};

// A new copy of `text` (at most 79 characters) with A to Z in lower case; the caller frees it with
// delete[].
char *ToLowerCopy(const char *text);

// DirectInput enumeration callbacks of the input set-up.
BOOL EnumControllersCallback(const DIDEVICEINSTANCEA *instance, void *context);
BOOL EnumControllerAxesCallback(const DIDEVICEOBJECTINSTANCEA *object, void *context);
