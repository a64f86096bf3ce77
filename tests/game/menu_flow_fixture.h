// The application object headless with its world objects but no device, input or sound: tests
// hold keys in the input record and run the game's update step frame by frame.
#pragma once

#include "game/asteroid_field.h"
#include "game/asteroid_game.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/satellite.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "platform/test_seams.h"
#include "tests/scratch_settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <unistd.h>

// The world objects the states outside play update, made without a device; the application
// object deletes them.
inline void MakeFlowObjects(CMyD3DApplication &app) {
    app.m_pSpaceship = new Spaceship;
    app.m_pLaser = new Laser;
    app.m_pExplosion = new Explosion;
    app.m_pAsteroidField = new AsteroidField;
    app.m_pMarsShip = new MarsShip;
    app.m_pSatellite = new Satellite;
    app.m_pSmoke = new Smoke;
}

class MenuFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::ResetAll();
        m_settings.Use("menus");
        app = std::make_unique<CMyD3DApplication>();
        MakeFlowObjects(*app);
        // One full-screen device with three modes, as the options menu walks them.
        DeviceRecord &device = app->m_adapters[0].devices[0];
        device.dwModeCount = 3;
        device.modes[0] = {640, 480, D3DFMT_X8R8G8B8, 0, D3DFMT_UNKNOWN};
        device.modes[1] = {800, 600, D3DFMT_R5G6B5, 0, D3DFMT_UNKNOWN};
        device.modes[2] = {1024, 768, D3DFMT_R8G8B8, 0, D3DFMT_UNKNOWN};
        app->m_dwAdapterCount = 1;
        app->m_adapters[0].dwDeviceCount = 1;
        app->m_fElapsedTime = kStep;
    }
    void TearDown() override {
        app.reset();
        seams::ResetAll();
        m_settings.Remove();
    }

    // Runs `frames` updates with the keys of the input record as they stand.
    void Run(int frames = 1) {
        for (int i = 0; i < frames; ++i)
            ASSERT_EQ(app->UpdateFrame(), 0);
    }
    // Holds a key for a single update. Without devices the input read keeps the key bytes as
    // they stand and makes the game's flags from them.
    void Press(BYTE key) {
        Hold(key, true);
        Run();
        Hold(key, false);
    }
    void Hold(BYTE key, bool down) { app->m_input.keys[key] = down ? 0x80 : 0; }
    // Waits without keys until the state timer has passed the key delay.
    void Settle() { Run(10); }
    void Enter(GameState state) {
        app->m_gameState = state;
        app->m_fStateTimer = 0.0f;
        Run();
        Settle();
    }

    static constexpr float kStep = 0.02f;
    std::unique_ptr<CMyD3DApplication> app;

private:
    test_support::ScratchSettingsStore m_settings;
};
