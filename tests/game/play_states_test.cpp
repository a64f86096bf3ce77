// The play states: the wave table, a new game through to play, lives lost three ways, waves
// cleared, the station scene, the end of a game, pause, escape, the cheat, steering and input a
// player can throw at it.
#include "game/play_rules.h"
#include "platform/win32/win32.h"
#include "tests/game/play_fixture.h"
#include "tests/platform/d3d8/headless_device.h"
#include "tests/platform/win32/window_event.h"

#include <SDL.h>

#include <cmath>

namespace {

using PlayStates = play_test::PlayTest;

TEST_F(PlayStates, CountersReadBeforeAnyGameStartAtRest) {
    const CMyD3DApplication &a = *m_app;
    EXPECT_EQ(a.m_dwWaveScore, 0u);
    EXPECT_EQ(a.m_dwTotalScore, 0u);
    EXPECT_EQ(a.m_nShotCounter, 0);
    EXPECT_EQ(a.m_nCheatCounter, 0);
    EXPECT_EQ(a.m_fTimeLeft, -666.0f);
    EXPECT_EQ(a.m_nLifeLossCause, 0);
    EXPECT_EQ(a.m_fSteeringFactor, 1.0f);
    EXPECT_EQ(a.m_fDifficultyFactor, 1.0f);
    EXPECT_EQ(a.m_fKeyRepeatTimer, 0.0f);
}

TEST_F(PlayStates, WaveTableLimitsAreTruncatedSinglePrecisionQuotients) {
    const struct {
        float factor;
        INT limits[4]; // waves 2, 6, 7, 8
    } levels[] = {{0.4f, {150, 187, 225, 375}},
                  {0.6f, {100, 125, 150, 250}},
                  {0.8f, {75, 93, 112, 187}},
                  {1.0f, {60, 75, 90, 150}},
                  {1.4f, {42, 53, 64, 107}}};
    for (const auto &level : levels) {
        m_app->m_fDifficultyFactor = level.factor;
        m_app->BuildWaveTable();
        const WaveEntry *w = m_app->m_waves;
        EXPECT_EQ(w[1].nTimeLimit, level.limits[0]) << level.factor;
        EXPECT_EQ(w[5].nTimeLimit, level.limits[1]) << level.factor;
        EXPECT_EQ(w[6].nTimeLimit, level.limits[2]) << level.factor;
        EXPECT_EQ(w[7].nTimeLimit, level.limits[3]) << level.factor;
        EXPECT_EQ(w[0].nTimeLimit + w[2].nTimeLimit + w[3].nTimeLimit + w[4].nTimeLimit, 0);
    }
    const WaveEntry w7 = m_app->m_waves[6];
    EXPECT_EQ(w7.nAsteroidBodies * 100 + w7.nMarsShips * 10 + w7.nSatellites, 462);
}

TEST_F(PlayStates, NewGameLeadsThroughTheCardsIntoTheWave) {
    LoadSounds();
    m_app->m_dwTotalScore = 99;
    m_app->StartNewGame(0.6f);
    EXPECT_EQ(m_app->m_gameState, GameState::GetReady);
    EXPECT_TRUE(m_app->m_bGameInProgress);
    EXPECT_EQ(m_app->m_nLives, 3);
    EXPECT_EQ(m_app->m_waves[1].nTimeLimit, 100);
    EXPECT_TRUE(Playing(m_app->m_pMenuLoop2Sound) && Playing(m_app->m_pMenuBackSound));

    m_app->m_input.bEnter = 1; // held from the menu: acts only after 0.15 s
    Frame(0.1f);
    EXPECT_EQ(m_app->m_gameState, GameState::GetReady);
    Frame(0.1f);
    EXPECT_EQ(m_app->m_gameState, GameState::WaveIntro);
    EXPECT_EQ(m_app->m_dwTotalScore, 0u);

    m_app->m_input.bEnter = 0;
    Frame(1.0f);
    EXPECT_EQ(Volume(m_app->m_pMenuLoop2Sound), -5000);
    EXPECT_TRUE(Playing(m_app->m_pEngineStartSound));
    m_app->m_nWave = 2;
    m_app->m_input.bEnter = 1;
    seams::SetRandomState(7);
    Frame(0.02f); // Enter skips the rest of the card and starts the wave in this frame
    EXPECT_EQ(m_app->m_gameState, GameState::Playing);
    EXPECT_EQ(m_app->m_fTimeLeft, 100.0f);
    EXPECT_EQ(LiveBodies(), 2);
    // Two bodies (12 draws each), the debris (48) and the ship (4), in that order.
    EXPECT_EQ(seams::RandomState(), AfterDraws(7, 2 * 12 + 48 + 4));
    EXPECT_FALSE(Playing(m_app->m_pEngineStartSound) || Playing(m_app->m_pMenuLoop2Sound));
    EXPECT_TRUE(Playing(m_app->m_pEngineSound) && Playing(m_app->m_pRumbleSound));
    EXPECT_EQ(Frequency(m_app->m_pEngineSound), 4000u);
    EXPECT_EQ(Volume(m_app->m_pMarsShipEngineSound), -10000);
    EXPECT_EQ(m_app->m_fStateTimer, 0.0f);
}

TEST_F(PlayStates, ALifeIsLostThreeWaysAndTheWaveStartsAgain) {
    LoadSounds();
    // Time out: only a wave with a limit counts down.
    PlayWave(1);
    Body(0, {0, 0, 200}, 1);
    Frame(5.0f);
    EXPECT_EQ(m_app->m_fTimeLeft, -666.0f);
    PlayWave(2);
    Body(0, {0, 0, 200}, 1);
    m_app->m_fTimeLeft = 0.01f;
    m_app->m_dwWaveScore = 500;
    Frame(0.02f);
    EXPECT_EQ(m_app->m_gameState, GameState::LifeLost);
    EXPECT_EQ(m_app->m_nLifeLossCause, 2);
    EXPECT_EQ(m_app->m_nLives, 2);
    EXPECT_EQ(m_app->m_dwWaveScore, 0u);
    EXPECT_TRUE(Playing(m_app->m_pLoseSound));

    // Rammed: the last body goes in the frame the ship dies, so the wave is not cleared.
    PlayWave(3);
    m_app->m_pSpaceship->health = 0.1f;
    Body(0, {0, 0, 1}, 3);
    Frame();
    EXPECT_EQ(m_app->m_gameState, GameState::LifeLost);
    EXPECT_EQ(m_app->m_nLifeLossCause, 1);
    EXPECT_FALSE(Playing(m_app->m_pEngineSound));

    // Self-destruct: one explosion from the key and one from the loss.
    PlayWave(3);
    Body(0, {0, 0, 200}, 1);
    m_app->m_input.bSelfDestruct = 1;
    Frame();
    EXPECT_EQ(m_app->m_nLifeLossCause, 1);
    EXPECT_EQ(m_app->m_nLives, 2);
    EXPECT_EQ(LiveExplosions(), 2);
    EXPECT_EQ(m_app->m_pExplosion->explosions[1].sizeClass, 3);

    m_app->m_input = InputState{};
    Frames(295, 0.02f);
    EXPECT_EQ(m_app->m_gameState, GameState::LifeLost) << "six seconds of captions";
    Frames(10, 0.02f);
    EXPECT_EQ(m_app->m_gameState, GameState::WaveIntro);
    EXPECT_EQ(m_app->m_nWave, 3);
}

TEST_F(PlayStates, AClearedWaveBanksItsScoreWithTheNoDamageBonus) {
    LoadSounds();
    for (float health : {1.0f, 0.99f}) {
        PlayWave(2);
        m_app->m_dwTotalScore = 10;
        m_app->m_dwWaveScore = 1001;
        m_app->m_pSpaceship->health = health;
        Frame(0.0f);
        EXPECT_EQ(m_app->m_gameState, GameState::WaveCleared);
        EXPECT_EQ(m_app->m_dwTotalScore, health == 1.0f ? 1511u : 1011u);
        EXPECT_EQ(m_app->m_dwWaveScore, 0u);
        EXPECT_TRUE(Playing(m_app->m_pWinSound));
    }
    Frames(95, 0.02f);
    EXPECT_EQ(m_app->m_gameState, GameState::WaveCleared);
    Frames(10, 0.02f);
    EXPECT_EQ(m_app->m_gameState, GameState::WaveIntro);
    EXPECT_EQ(m_app->m_nWave, 3);
}

TEST_F(PlayStates, ClearingWaveFourPlaysTheStationSceneThenWaveFive) {
    LoadSounds();
    PlayWave(4);
    Frame(0.0f);
    ASSERT_EQ(m_app->m_gameState, GameState::WaveCleared);
    m_app->m_input.bEnter = 1;
    Frame();
    ASSERT_EQ(m_app->m_gameState, GameState::StationSequence);
    EXPECT_EQ(m_app->m_pSpaceship->GetPosition(), D3DXVECTOR3(0.0f, -0.1f, 40.0f));
    m_app->m_input.bEnter = 0;
    Frame(3.5f);
    EXPECT_EQ(Volume(m_app->m_pEngineSound), -5000);
    Frames(9, 1.0f); // 12.5 s
    EXPECT_TRUE(Playing(m_app->m_pStationOrderSound));
    EXPECT_LT(D3DXVec3Length(&m_app->m_pSpaceship->position), 1.0f) << "drifted to the station";
    Frames(12, 1.0f);
    EXPECT_EQ(m_app->m_gameState, GameState::StationSequence);
    Frame(1.0f);
    EXPECT_EQ(m_app->m_gameState, GameState::WaveIntro);
    EXPECT_EQ(m_app->m_nWave, 5);
    EXPECT_FALSE(Playing(m_app->m_pEngineSound));
}

TEST_F(PlayStates, AGameEndsIntoInitialsOnlyAboveTheTenthScore) {
    for (DWORD extra : {0u, 1u}) {
        m_app->m_hallOfFame[9].score = 5000;
        PlayWave(8);
        Body(0, {0, 0, 200}, 1);
        m_app->m_nLives = 0;
        m_app->m_dwTotalScore = 5000 + extra;
        m_app->m_input.bSelfDestruct = 1;
        Frame();
        EXPECT_EQ(m_app->m_nLives, -1);
        m_app->m_input = InputState{};
        m_app->m_input.bEnter = 1;
        Frame();
        EXPECT_EQ(m_app->m_gameState, extra ? GameState::InitialsEntry : GameState::HallOfFame);
        EXPECT_FALSE(m_app->m_bGameInProgress);
    }
    PlayWave(8);
    m_app->m_dwTotalScore = 1;
    Frame(0.0f);
    Frame(2.5f);
    EXPECT_EQ(m_app->m_nWave, 9);
    EXPECT_EQ(m_app->m_gameState, GameState::HallOfFame) << "wave 8 was the last";
}

TEST_F(PlayStates, PauseFreezesTheWorldAndTheClockUntilResumed) {
    LoadSounds();
    PlayWave(2);
    AsteroidBody &body = Body(0, {0, 0, 200}, 1);
    body.velocity = {0, 0, 10};
    m_app->m_fTimeLeft = 30.0f;
    m_app->m_input.bPause = 1;
    m_app->m_input.bFire = 1;
    Frame(0.1f);
    EXPECT_EQ(m_app->m_gameState, GameState::Paused);
    EXPECT_EQ(m_app->m_nShotCounter, 1) << "the frame's shot still leaves";
    EXPECT_FALSE(Playing(m_app->m_pEngineSound));
    const D3DXVECTOR3 frozen = body.position;
    Frames(10, 0.015f); // pause still held, under 0.2 s
    EXPECT_EQ(m_app->m_gameState, GameState::Paused);
    EXPECT_EQ(body.position, frozen);
    EXPECT_FLOAT_EQ(m_app->m_fTimeLeft, 29.9f);
    Frame(0.1f);
    EXPECT_EQ(m_app->m_gameState, GameState::Playing);
    EXPECT_TRUE(Playing(m_app->m_pEngineSound) && Playing(m_app->m_pDangerSound));
    m_app->m_input = InputState{};
    Frame(0.02f);
    EXPECT_FALSE(Playing(m_app->m_pDangerSound)) << "full health silences the alarm again";
}

TEST_F(PlayStates, EscapeKeepsTheGameForResumeAndStartsTheMenuMusic) {
    LoadSounds();
    PlayWave(3);
    Body(0, {0, 0, 200}, 1);
    m_app->m_nMainMenuCursor = 3;
    m_app->m_input.bEscape = 1;
    Frame();
    EXPECT_EQ(m_app->m_gameState, GameState::MainMenu);
    EXPECT_EQ(m_app->m_nMainMenuCursor, 0);
    EXPECT_TRUE(m_app->m_bGameInProgress);
    EXPECT_EQ(m_app->m_nWave, 3);
    EXPECT_EQ(LiveBodies(), 1);
    EXPECT_FALSE(Playing(m_app->m_pEngineSound) || Playing(m_app->m_pRumbleSound));
}

TEST_F(PlayStates, TheSevenLettersInARowMakeTheShipWhole) {
    LoadSounds();
    PlayWave(3);
    Body(0, {0, 0, 200}, 1);
    m_app->m_pSpaceship->health = 0.4f;
    const auto type = [&](const char *letters) {
        for (const char *c = letters; *c; ++c) {
            m_app->m_input.bLetterTyped = 1;
            m_app->m_input.cLetter = *c;
            Frame(0.25f);
        }
        m_app->m_input.bLetterTyped = 0;
    };
    type("QUINTXAR");
    EXPECT_EQ(m_app->m_nCheatCounter, 0);
    type("QUINTA");
    EXPECT_EQ(m_app->m_nCheatCounter, 6);
    type("R");
    EXPECT_EQ(m_app->m_nCheatCounter, 10);
    EXPECT_EQ(m_app->m_pSpaceship->health, 1.0f);
    EXPECT_TRUE(Playing(m_app->m_pSpringSound));
    type("ZQ");
    EXPECT_EQ(m_app->m_nCheatCounter, 10) << "complete stays complete";
}

TEST_F(PlayStates, SteeringTakesKeysMouseAndAControllerOnlyWhenOneIsThere) {
    PlayWave(1);
    Body(0, {0, 0, 200}, 1);
    Spaceship &ship = *m_app->m_pSpaceship;
    m_app->m_fElapsedTime = 0.48f;
    m_app->m_mouseState.lX = 40; // counts as 10
    m_app->m_mouseState.lY = -3;
    m_app->m_input.bLeft = 1;
    m_app->m_input.bRollRight = 1;
    m_app->m_input.bFineControl = 1;
    m_app->m_controllerState.lX = 600;
    m_app->m_controllerState.rgbButtons[1] = 0x80;
    m_app->SteerShip();
    EXPECT_EQ(m_app->m_fSteeringFactor, 0.25f);
    EXPECT_FLOAT_EQ(ship.yawRate, -10 * 0.25f * 0.01f + 0.25f * 0.04f);
    EXPECT_FLOAT_EQ(ship.pitchRate, -3 * 0.25f * 0.01f);
    EXPECT_FLOAT_EQ(ship.rollRate, 0.25f * 0.048f);
    EXPECT_EQ(ship.acceleration, 0.0f) << "no controller attached";

    m_app->m_pController = reinterpret_cast<IDirectInputDevice8A *>(1); // read only as present
    m_app->m_input = InputState{};
    m_app->m_mouseState = DIMOUSESTATE2{};
    ship.yawRate = ship.pitchRate = ship.rollRate = 0.0f;
    ship.speed = 0.5f;
    m_app->m_input.bBrake = 1;
    m_app->SteerShip();
    m_app->m_pController = nullptr;
    EXPECT_FLOAT_EQ(ship.yawRate, -2.0f * 0.01f);
    EXPECT_FLOAT_EQ(ship.rollRate, 0.048f * 1.0f);
    EXPECT_FLOAT_EQ(ship.acceleration, 0.012f);
    EXPECT_FLOAT_EQ(ship.speed, 0.5f * (1 - 0.96f));
}

TEST_F(PlayStates, HeldKeysAllKeysAtOnceAndStrangeFrameTimesLeaveAPlayableGame) {
    LoadSounds();
    PlayWave(7, 1.4f);
    seams::SetRandomState(3);
    m_app->StartWave(); // wave 7's real field
    // Every key held from the wave's first frame: nothing acts in the first 0.2 s.
    InputState all{};
    for (DWORD *flag = &all.bUp; flag <= &all.bLetterTyped; ++flag)
        *flag = 1;
    all.cLetter = 'Q';
    m_app->m_input = all;
    Frames(9, 0.02f);
    EXPECT_EQ(m_app->m_gameState, GameState::Playing);
    EXPECT_EQ(m_app->m_nViewMode, 1);
    // Then frames of nothing, a multi-second stall and ordinary frames, with everything held.
    for (float dt : {0.0f, 0.0f, 5.0f, 0.02f, 3.0f, 0.0f, 0.02f}) {
        Frame(dt);
        const D3DXVECTOR3 p = m_app->m_pSpaceship->GetPosition();
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << dt;
        for (const AsteroidBody &body : m_app->m_pAsteroidField->bodies) {
            if (body.active) {
                ASSERT_TRUE(std::isfinite(body.position.x + body.position.y + body.position.z));
            }
        }
    }
    const GameState state = m_app->m_gameState;
    EXPECT_TRUE(state == GameState::Playing || state == GameState::Paused ||
                state == GameState::LifeLost)
        << static_cast<int>(state);
}

// Play with the real input devices of a window: the message pump and the input read before each
// frame, as the update step does them.
class PlayInput : public play_test::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        m_window = headless::OpenWindow("play input test", 640, 480);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override {
        m_app->ReleaseInput();
        DestroyWindow(m_window);
        ReadFrame(0.0f);
        PlayTest::TearDown();
    }
    void ReadFrame(float dt = 0.02f) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        m_app->ReadInput(&m_app->m_input);
        Frame(dt);
    }
    void Focus(Uint8 kind) { test_events::PushWindowEvent(m_window, kind); }
    HWND m_window = nullptr;
};

TEST_F(PlayInput, AnUnpluggedControllerOrALostFocusMidWaveLeavesTheGameToResume) {
    const int pad = seams::AttachVirtualController("Pad", 2, 2, 0);
    ASSERT_EQ(m_app->InitInput(m_window), S_OK);
    PlayWave(3);
    Body(0, {0, 0, 200}, 1);
    Spaceship &ship = *m_app->m_pSpaceship;
    seams::SetVirtualControllerAxis(pad, 0, 32767);
    seams::SetVirtualControllerButton(pad, 0, true);
    Frames(1);
    for (int i = 0; i < 20; ++i)
        ReadFrame();
    EXPECT_LT(ship.yawRate, -0.005f) << "the stick turns the nose right";
    EXPECT_GT(m_app->m_nShotCounter, 0);

    seams::DetachVirtualController(pad);
    for (int i = 0; i < 60; ++i)
        ReadFrame();
    const float *sinceShot = m_app->m_pLaser->timeSinceShot;
    EXPECT_NEAR(ship.yawRate, 0.0f, 1e-4f) << "a stick that is gone rests";
    EXPECT_GT(sinceShot[0], 0.5f) << "and its fire button is up";
    seams::PushKeyEvent(DIK_LCONTROL, true);
    for (int i = 0; i < 20; ++i)
        ReadFrame();
    EXPECT_LT(sinceShot[0], 0.1f) << "the keyboard still fires";

    Focus(SDL_WINDOWEVENT_FOCUS_LOST);
    for (int i = 0; i < 30; ++i)
        ReadFrame();
    EXPECT_GT(sinceShot[0], 0.5f) << "no key is held while away";
    EXPECT_EQ(m_app->m_gameState, GameState::Playing);
    EXPECT_EQ(m_app->m_nWave, 3);
    Focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    for (int i = 0; i < 20; ++i)
        ReadFrame();
    EXPECT_LT(sinceShot[0], 0.1f) << "the held key fires again once back";
}

} // namespace
