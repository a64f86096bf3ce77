// The game application in play without a device: the world objects the one-time set-up makes, an
// empty world to place things in, the generated sounds under the virtual clock, and frames run
// through the play states' own handlers.
#pragma once

#include "game/asteroid_field.h"
#include "game/asteroid_game.h"
#include "game/camera.h"
#include "game/debris.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/satellite.h"
#include "game/ship_health.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "platform/test_seams.h"
#include "platform/win32/random.h"
#include "sound/sound.h"
#include "tests/build_folder.h"
#include "tests/scratch_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace play_test {

class PlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        seams::UseVirtualClock();
        seams::CaptureDebugOutput(true);
        seams::CaptureMessageBoxes(true);
        m_settings.Use("play");
        m_app = std::make_unique<CMyD3DApplication>();
        CMyD3DApplication &a = *m_app;
        a.m_pCamera = new Camera();
        a.m_pShipHealth = new ShipHealth();
        a.m_pDebris = new Debris();
        a.m_pAsteroidField = new AsteroidField();
        a.m_pSatellite = new Satellite();
        a.m_pSpaceship = new Spaceship();
        a.m_pMarsShip = new MarsShip();
        a.m_pExplosion = new Explosion();
        a.m_pLaser = new Laser();
        a.m_pSmoke = new Smoke();
        a.m_pSpaceship->Reset();
        a.m_pDebris->Scatter();
        a.m_pSatellite->Clear();
        EmptyWorld();
    }

    void TearDown() override {
        CMyD3DApplication &a = *m_app;
        a.ReleaseSound();
        m_app.reset(); // the application deletes its world objects itself
        seams::ResetAll();
        seams::TakeDebugOutput();
        seams::TakeMessageBoxes();
        seams::CaptureDebugOutput(false);
        seams::CaptureMessageBoxes(false);
        seams::UseRealClock();
        m_settings.Remove();
    }

    // The game's sounds and music, made from the generated media as the one-time set-up makes them.
    void LoadSounds() {
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(test_support::BinaryDir() / "media");
        m_app->InitSound(nullptr);
        std::filesystem::current_path(previous);
        ASSERT_NE(m_app->m_pStationOrderSound, nullptr);
    }

    std::array<CSound **, kSoundCount> Sounds() {
        CMyD3DApplication &a = *m_app;
        return {&a.m_pEngineSound,      &a.m_pMarsShipEngineSound, &a.m_pMarsShipLaserSound,
                &a.m_pEngineStartSound, &a.m_pRumbleSound,         &a.m_pExplosion1Sound,
                &a.m_pExplosion2Sound,  &a.m_pLaserSound,          &a.m_pDangerSound,
                &a.m_pWinSound,         &a.m_pLoseSound,           &a.m_pMenuLoop2Sound,
                &a.m_pHitSound,         &a.m_pMenuSelectSound,     &a.m_pMenuBackSound,
                &a.m_pSpringSound,      &a.m_pStationOrderSound};
    }

    static bool Playing(CSound *sound) { return sound && sound->IsPlaying(); }
    static void StopAll(std::array<CSound **, kSoundCount> sounds) {
        for (CSound **sound : sounds)
            if (*sound)
                (*sound)->Stop();
    }
    static LONG Volume(CSound *sound) {
        LONG volume = 1;
        sound->GetBuffer(0)->GetVolume(&volume);
        return volume;
    }
    static DWORD Frequency(CSound *sound) {
        DWORD frequency = 0;
        sound->GetBuffer(0)->GetFrequency(&frequency);
        return frequency;
    }

    // Nothing in the world but the ship at the origin, at rest and at full health.
    void EmptyWorld() {
        CMyD3DApplication &a = *m_app;
        for (AsteroidBody &body : a.m_pAsteroidField->bodies)
            body.active = 0;
        for (MarsShipRecord &mars : a.m_pMarsShip->records)
            mars = MarsShipRecord{{}, {0.0f, 0.0f, 0.0f, 1.0f}, 1.0f, 0, 0, 0, 0, 0, 0};
        a.m_pSatellite->Clear();
        a.m_pLaser->Clear();
        a.m_pExplosion->Clear();
        a.m_pSmoke->Clear();
        Spaceship &ship = *a.m_pSpaceship;
        ship.SetPosition(0.0f, 0.0f, 0.0f);
        ship.SetOrientation(D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f));
        ship.health = 1.0f;
        ship.speed = ship.acceleration = ship.yawRate = ship.pitchRate = ship.rollRate = 0.0f;
        D3DXMatrixIdentity(&a.m_matShipRotation);
    }

    AsteroidBody &Body(DWORD slot, D3DXVECTOR3 at, DWORD sizeClass) {
        AsteroidBody &body = m_app->m_pAsteroidField->bodies[slot];
        body = AsteroidBody{};
        body.position = at;
        body.sizeClass = sizeClass;
        body.active = 1;
        return body;
    }
    LaserShot &Shot(DWORD slot, D3DXVECTOR3 at, INT gun) {
        LaserShot &shot = m_app->m_pLaser->shots[slot];
        shot = LaserShot{};
        shot.position = at;
        shot.gun = gun;
        shot.active = 1;
        return shot;
    }
    MarsShipRecord &Mars(DWORD slot, D3DXVECTOR3 at) {
        MarsShipRecord &mars = m_app->m_pMarsShip->records[slot];
        mars.position = at;
        mars.health = 1.0f;
        mars.active = 1;
        return mars;
    }
    void Sat(DWORD slot, D3DXVECTOR3 at) {
        m_app->m_pSatellite->positions[slot] = at;
        m_app->m_pSatellite->active[slot] = true;
    }
    int LiveBodies() const {
        int n = 0;
        for (const AsteroidBody &body : m_app->m_pAsteroidField->bodies)
            n += body.active;
        return n;
    }
    int LiveExplosions() const {
        int n = 0;
        for (const ExplosionRecord &blast : m_app->m_pExplosion->explosions)
            n += blast.active;
        return n;
    }

    // The game in the middle of `wave` at `factor`, the wave's objects replaced by an empty world.
    void PlayWave(INT wave, float factor = 1.0f) {
        CMyD3DApplication &a = *m_app;
        a.StartNewGame(factor);
        a.m_nWave = wave;
        a.StartWave();
        EmptyWorld();
        a.m_fKeyRepeatTimer = 1.0f;
        a.m_input = InputState{};
    }

    // One frame of `dt` seconds through the current state's handler (the input record as set).
    void Frame(float dt = 0.02f) {
        CMyD3DApplication &a = *m_app;
        a.m_fElapsedTime = dt;
        a.m_fRunningTime += dt;
        switch (a.m_gameState) {
        case GameState::GetReady:
            return a.UpdateGetReady();
        case GameState::WaveIntro:
            return a.UpdateWaveIntro();
        case GameState::Playing:
            return a.UpdatePlaying();
        case GameState::Paused:
            return a.UpdatePaused();
        case GameState::LifeLost:
            return a.UpdateLifeLost();
        case GameState::WaveCleared:
            return a.UpdateWaveCleared();
        case GameState::StationSequence:
            return a.UpdateStationSequence();
        default:
            return;
        }
    }
    void Frames(int count, float dt = 0.02f) {
        for (int i = 0; i < count; ++i)
            Frame(dt);
    }

    // The generator's state after `count` draws from `state`.
    static std::uint32_t AfterDraws(std::uint32_t state, int count) {
        const std::uint32_t saved = seams::RandomState();
        seams::SetRandomState(state);
        for (int i = 0; i < count; ++i)
            crt::rand();
        const std::uint32_t after = seams::RandomState();
        seams::SetRandomState(saved);
        return after;
    }

    test_support::ScratchSettingsStore m_settings;
    std::unique_ptr<CMyD3DApplication> m_app;
};

} // namespace play_test
