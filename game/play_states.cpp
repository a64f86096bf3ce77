// Play: the wave table, a new game, and the states from the briefing to the end of a game.
#include "game/asteroid_game.h"

#include "game/asteroid_field.h"
#include "game/camera.h"
#include "game/debris.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/play_rules.h"
#include "game/satellite.h"
#include "game/smoke.h"
#include "game/sound_actions.h"
#include "game/spaceship.h"

#include <algorithm>
#include <array>

namespace {

// Play keys act at most once per this many seconds.
constexpr float kKeyRepeat = 0.2f;
constexpr float kWaveIntroLength = 5.0f;
constexpr float kLifeLostLength = 6.0f;
constexpr float kWaveClearedLength = 2.0f;
constexpr INT kStationAfterWave = 4;

// Bodies, Mars ships, satellites and the time limit in seconds at difficulty 1.0 (0: none).
constexpr WaveEntry kBaseWaves[kWaveCount] = {
    {1, 0, 0, 0}, {2, 0, 0, 60}, {2, 1, 0, 0},  {3, 2, 2, 0},
    {4, 0, 8, 0}, {3, 4, 0, 75}, {4, 6, 2, 90}, {8, 2, 0, 150},
};

// The seven letters that, typed in order during play, make the ship indestructible.
constexpr char kCheatSequence[] = "QUINTAR";
constexpr INT kCheatLength = 7;
static_assert(sizeof(kCheatSequence) - 1 == kCheatLength);

// The loops of play: the engine, the rumble, the Mars ships' drone and the danger alarm.
std::array<CSound *, 4> PlayLoops(const CMyD3DApplication &app) {
    return {app.m_pEngineSound, app.m_pRumbleSound, app.m_pMarsShipEngineSound, app.m_pDangerSound};
}

} // namespace

void CMyD3DApplication::BuildWaveTable() {
    for (int i = 0; i < kWaveCount; ++i) {
        m_waves[i] = kBaseWaves[i];
        // In single precision (1 / 0.4) x 60 is exactly 150; the limit shrinks as the factor grows.
        const float limit =
            (1.0f / m_fDifficultyFactor) * 1.0f * static_cast<float>(kBaseWaves[i].nTimeLimit);
        m_waves[i].nTimeLimit = TruncateInto(limit, 0, 0x7FFFFFFF);
    }
}

void CMyD3DApplication::StartNewGame(float difficultyFactor) {
    m_fStateTimer = 0.0f;
    m_fKeyRepeatTimer = 0.0f;
    m_nWave = 1;
    m_nViewMode = 1;
    m_nLives = 3;
    m_bTargetsRemain = true;
    StopMusic();
    if (m_pMenuLoop2Sound) {
        LoopSoundIfIdle(m_pMenuLoop2Sound);
        SetSoundVolume(m_pMenuLoop2Sound, 0);
    }
    m_nCheatCounter = 0;
    m_bGameInProgress = true;
    m_gameState = GameState::GetReady;
    PlaySoundOnce(m_pMenuBackSound);
    m_fDifficultyFactor = difficultyFactor;
    BuildWaveTable();
}

void CMyD3DApplication::UpdateGetReady() {
    m_fStateTimer += m_fElapsedTime;
    if (m_fStateTimer > kMenuKeyDelay && m_input.bEnter) {
        PlaySoundOnce(m_pMenuBackSound);
        m_fStateTimer = 0.0f;
        m_dwTotalScore = 0;
        m_gameState = GameState::WaveIntro;
    }
}

void CMyD3DApplication::UpdateWaveIntro() {
    m_fStateTimer += m_fElapsedTime;
    // The engine start sounds again whenever it ends while the card is up.
    if (m_pEngineStartSound && !IsSoundPlaying(m_pEngineStartSound))
        RewindAndPlaySound(m_pEngineStartSound);
    // The briefing loop fades to silence over the first two seconds.
    SetSoundVolume(m_pMenuLoop2Sound, -10000.0f * m_fStateTimer * 0.5f);
    if (m_fStateTimer > kMenuKeyDelay && m_input.bEnter) {
        StopSound(m_pEngineStartSound);
        m_fStateTimer = kWaveIntroLength + 1.0f; // starts the wave below, in this frame
    }
    if (m_fStateTimer > kWaveIntroLength)
        StartWave();
}

void CMyD3DApplication::StartWave() {
    const WaveEntry &row = m_waves[std::clamp(m_nWave, 1, kWaveCount) - 1];
    m_fStateTimer = 0.0f;

    SetSoundFrequency(m_pEngineSound, 4000);
    SetSoundVolume(m_pEngineSound, 0);
    PlaySoundLooping(m_pEngineSound);
    SetSoundVolume(m_pRumbleSound, -10000);
    PlaySoundLooping(m_pRumbleSound);
    SetSoundVolume(m_pMarsShipEngineSound, -10000);
    PlaySoundLooping(m_pMarsShipEngineSound);
    StopSound(m_pMenuLoop2Sound);

    // This order fixes the order of the random draws.
    m_pAsteroidField->InitField(static_cast<DWORD>(std::max(row.nAsteroidBodies, 0)));
    m_pSatellite->Spawn(row.nSatellites);
    m_pMarsShip->Spawn(static_cast<DWORD>(std::max(row.nMarsShips, 0)));

    m_fTimeLeft = row.nTimeLimit != 0 ? static_cast<float>(row.nTimeLimit) : kNoTimeLimit;

    m_pExplosion->Clear();
    m_pSmoke->Clear();
    m_pLaser->Clear();
    m_pDebris->Scatter();
    m_pSpaceship->Reset();

    const D3DXQUATERNION orientation = m_pSpaceship->GetOrientation();
    D3DXMatrixRotationQuaternion(&m_matShipRotation, &orientation);
    m_pCamera->ResetTrail(m_pSpaceship->GetPosition(), &m_matShipRotation);

    m_nShotCounter = 0;
    m_fKeyRepeatTimer = 0.0f;
    m_dwWaveScore = 0;
    m_pSpaceship->SetHeadlight(m_bHeadlight);
    m_gameState = GameState::Playing;
}

void CMyD3DApplication::UpdatePlaying() {
    const float dt = m_fElapsedTime;
    m_fKeyRepeatTimer += dt;
    if (m_fTimeLeft != kNoTimeLimit)
        m_fTimeLeft -= dt;

    UpdateWorld();
    EndWaveWhenCleared();
    TakePlayKeys();
    SteerShip();
    FireShipLaser();
    LoseLifeWhenDue();
}

void CMyD3DApplication::EndWaveWhenCleared() {
    if (!m_bTargetsRemain && m_gameState == GameState::Playing && m_pSpaceship->health > 0.0f) {
        m_gameState = GameState::WaveCleared;
        m_fStateTimer = 0.0f;
        if (m_pSpaceship->health == 1.0f) // the no-damage bonus
            m_dwWaveScore = static_cast<DWORD>(
                TruncateInto(static_cast<float>(m_dwWaveScore) * 1.5f, 0, 0x7FFFFFFF));
        m_dwTotalScore += m_dwWaveScore;
        m_dwWaveScore = 0;
        StopSound(m_pDangerSound);
        RewindAndPlaySound(m_pWinSound);
    }
}

void CMyD3DApplication::TakePlayKeys() {
    // The keys below act even when an earlier one changed the state in this frame; each one
    // that restarts the key clock keeps the later ones from acting until it runs again.
    const auto accepted = [this](DWORD flag) {
        return flag != 0 && m_fKeyRepeatTimer > kKeyRepeat;
    };

    if (accepted(m_input.bPause)) {
        for (CSound *loop : PlayLoops(*this))
            StopSound(loop);
        m_fKeyRepeatTimer = 0.0f;
        PlaySoundOnce(m_pMenuBackSound);
        m_gameState = GameState::Paused;
    }

    if (accepted(m_input.bLetterTyped)) {
        m_fKeyRepeatTimer = 0.0f;
        if (m_nCheatCounter >= 0 && m_nCheatCounter < kCheatLength &&
            m_input.cLetter == kCheatSequence[m_nCheatCounter])
            ++m_nCheatCounter;
        else if (m_nCheatCounter != kCheatComplete)
            m_nCheatCounter = 0;
    }
    if (m_nCheatCounter == kCheatLength) {
        PlaySoundOnce(m_pSpringSound);
        m_nCheatCounter = kCheatComplete;
        m_pSpaceship->health = 1.0f;
    }

    if (accepted(m_input.bView)) {
        m_fKeyRepeatTimer = 0.0f;
        if (++m_nViewMode > 1)
            m_nViewMode = 0;
    }

    if (accepted(m_input.bSelfDestruct)) {
        // The key clock keeps running: LoseLifeWhenDue ends the life in this same frame.
        m_pSpaceship->health = 0.0f;
        const D3DXVECTOR3 at = m_pSpaceship->GetPosition();
        m_pExplosion->Add(at.x, at.y, at.z, 3, true);
        PlaySoundOnce(m_pMenuBackSound);
        PlaySoundOnce(m_pExplosion1Sound);
    }

    if (accepted(m_input.bEscape)) {
        for (CSound *loop : PlayLoops(*this))
            StopSound(loop);
        m_fKeyRepeatTimer = 0.0f;
        PlaySoundOnce(m_pMenuBackSound);
        m_nMainMenuCursor = 0; // "RESUME GAME"
        StartMusic();
        EnterMenuState(GameState::MainMenu);
    }
}

void CMyD3DApplication::FireShipLaser() {
    const bool controllerFires = m_pController && m_controllerState.rgbButtons[0] != 0;
    if (m_input.bFire || controllerFires) {
        const D3DXVECTOR3 muzzle = m_pSpaceship->GetShakeOffset();
        if (m_pLaser->Fire(muzzle.x, muzzle.y, muzzle.z, &m_matShipRotation, m_pSpaceship->speed,
                           0)) {
            ++m_nShotCounter;
            RestartSound(m_pLaserSound);
            m_pSpaceship->SlowDown();
        }
    }
}

void CMyD3DApplication::LoseLifeWhenDue() {
    if (m_pSpaceship->health <= 0.0f && m_gameState == GameState::Playing) {
        RewindAndPlaySound(m_pLoseSound);
        const D3DXVECTOR3 at = m_pSpaceship->GetPosition();
        m_pExplosion->Add(at.x, at.y, at.z, 3, true);
        --m_nLives;
        m_fStateTimer = 0.0f;
        m_dwWaveScore = 0;
        StopSound(m_pDangerSound);
        StopSound(m_pEngineSound);
        m_nLifeLossCause = kLifeLostShipDestroyed;
        m_gameState = GameState::LifeLost;
    }

    if (m_fTimeLeft != kNoTimeLimit && m_fTimeLeft <= 0.0f && m_gameState == GameState::Playing) {
        RewindAndPlaySound(m_pLoseSound);
        --m_nLives;
        m_fStateTimer = 0.0f;
        m_dwWaveScore = 0;
        StopSound(m_pDangerSound);
        m_nLifeLossCause = kLifeLostTimeOut;
        m_gameState = GameState::LifeLost;
    }
}

void CMyD3DApplication::SteerShip() {
    const float dt = m_fElapsedTime;
    const float k = m_input.bFineControl ? 0.25f : 1.0f;
    m_fSteeringFactor = k;
    Spaceship &ship = *m_pSpaceship;

    // The mouse moves at most ten counts a frame; the stick is used as it reads.
    const LONG dx = std::clamp<LONG>(m_mouseState.lX, -10, 10);
    const LONG dy = std::clamp<LONG>(m_mouseState.lY, -10, 10);
    const LONG jx = m_pController ? m_controllerState.lX : 0;
    const LONG jy = m_pController ? m_controllerState.lY : 0;

    if (m_mouseState.lX != 0 || jx != 0)
        ship.yawRate -= (static_cast<float>(jx) / 300.0f + static_cast<float>(dx)) * k * dt / 48.0f;
    if (m_mouseState.lY != 0 || jy != 0)
        ship.pitchRate +=
            (static_cast<float>(jy) / 250.0f + static_cast<float>(dy)) * k * dt / 48.0f;
    if (m_input.bRight)
        ship.yawRate -= k * dt / 12.0f;
    if (m_input.bLeft)
        ship.yawRate += k * dt / 12.0f;
    if (m_input.bRollLeft)
        ship.rollRate -= k * dt / 10.0f;
    if (m_input.bRollRight)
        ship.rollRate += k * dt / 10.0f;
    if (jx != 0)
        ship.rollRate += (static_cast<float>(jx) * k / 600.0f) * dt / 10.0f;
    if (m_input.bUp)
        ship.pitchRate -= k * dt / 12.0f;
    if (m_input.bDown)
        ship.pitchRate += k * dt / 12.0f;
    if (m_input.bBrake)
        ship.speed *= 1.0f - 2.0f * dt;
    if (m_input.bThrust || (m_pController && m_controllerState.rgbButtons[1] != 0))
        ship.acceleration += dt / 40.0f;
}

void CMyD3DApplication::UpdatePaused() {
    m_fKeyRepeatTimer += m_fElapsedTime;
    if ((m_input.bPause || m_input.bEnter) && m_fKeyRepeatTimer > kKeyRepeat) {
        PlaySoundOnce(m_pMenuBackSound);
        m_fKeyRepeatTimer = 0.0f;
        // The danger loop comes back too; the next world update stops it unless health is low.
        for (CSound *loop : PlayLoops(*this))
            LoopSoundIfIdle(loop);
        m_gameState = GameState::Playing;
    }
}

void CMyD3DApplication::UpdateLifeLost() {
    m_fStateTimer += m_fElapsedTime;
    if (m_input.bEnter)
        StopSound(m_pLoseSound);
    if (m_fStateTimer > kLifeLostLength || m_input.bEnter) {
        m_fStateTimer = 0.0f;
        for (CSound *loop : PlayLoops(*this))
            StopSoundIfPlaying(loop);
        m_fKeyRepeatTimer = 0.0f;
        if (m_nLives < 0) {
            m_nInitialsCount = 0;
            EndGame();
        } else {
            m_gameState = GameState::WaveIntro; // the same wave again
        }
    }
    UpdateWorld(); // the world goes on behind the captions
}

void CMyD3DApplication::UpdateWaveCleared() {
    m_fStateTimer += m_fElapsedTime;
    UpdateWorld();
    if (m_input.bEnter)
        StopSoundIfPlaying(m_pWinSound);
    if (m_fStateTimer > kWaveClearedLength || m_input.bEnter) {
        m_fStateTimer = 0.0f;
        ++m_nWave;
        for (CSound *loop : PlayLoops(*this))
            StopSoundIfPlaying(loop);
        if (m_nWave == kStationAfterWave + 1) {
            // The ship waits in front of the station, nose toward it.
            m_pSpaceship->SetPosition(0.0f, -0.1f, 40.0f);
            m_pSpaceship->SetOrientation(D3DXQUATERNION(-1.0f, 0.0f, 0.0f, 0.0f));
            m_pSpaceship->speed = 0.0f;
            m_pSpaceship->acceleration = 0.0f;
            m_gameState = GameState::StationSequence;
        } else if (m_nWave <= kWaveCount) {
            m_fKeyRepeatTimer = 0.0f;
            m_gameState = GameState::WaveIntro;
        } else {
            EndGame();
        }
    }
}

void CMyD3DApplication::UpdateStationSequence() {
    const float dt = m_fElapsedTime;
    m_fStateTimer += dt;
    const float t = m_fStateTimer;

    LoopSoundIfIdle(m_pEngineSound);
    // The engine fades in over the first 7 s and out from 22 s to 25 s.
    if (t < 7.0f)
        SetSoundVolume(m_pEngineSound, -10000.0f * (1.0f - t / 7.0f));
    if (t > 22.0f)
        SetSoundVolume(m_pEngineSound, -10000.0f * (t - 22.0f) / 3.0f);

    if (t > 5.0f && t < 18.0f) {
        const D3DXVECTOR3 drifted = m_pSpaceship->GetPosition() * (1.0f - dt);
        m_pSpaceship->SetPosition(drifted.x, drifted.y, drifted.z);
    }
    m_pSpaceship->Update(dt, m_bInvertPitch,
                         static_cast<float>(m_dwSteeringSensitivity) / 10.0f + 0.5f, m_bHeadlight);
    if (t > 20.0f) {
        m_pSpaceship->acceleration += dt / 300.0f;
        m_pSpaceship->pitchRate += dt / 300.0f;
        m_pSpaceship->rollRate += dt / 120.0f;
    }
    if (t > 12.0f && t < 13.0f)
        PlaySoundIfIdle(m_pStationOrderSound);

    if (t > 25.0f || (t > 5.0f && m_input.bEnter)) {
        m_fStateTimer = 0.0f;
        m_fKeyRepeatTimer = 0.0f;
        StopSound(m_pEngineSound);
        m_gameState = GameState::WaveIntro;
    }
}

void CMyD3DApplication::EndGame() {
    StartMusic();
    m_nMainMenuCursor = 0;
    m_bGameInProgress = false;
    if (m_dwTotalScore > m_hallOfFame[kHallOfFameRows - 1].score) {
        m_nInitialsCount = 0;
        m_gameState = GameState::InitialsEntry;
    } else {
        m_gameState = GameState::HallOfFame;
    }
}
