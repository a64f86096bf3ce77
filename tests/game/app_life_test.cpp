// The game application's life on a real headless device: the one-time set-up and attract start,
// device resources loaded and released in pairs, Alt+Enter and device resets, and a start without
// any media.
#include "game/asteroid_field.h"
#include "game/dh_fast_font.h"
#include "game/satellite.h"
#include "game/spaceship.h"
#include "tests/game/app_fixture.h"

#include <cstdlib>

namespace {

using game_test::AppTest;

TEST_F(AppTest, StartsInTheFlyByWithAFreshGame) {
    EXPECT_EQ(app->m_gameState, GameState::Intro);
    EXPECT_EQ(app->m_nWave, 1);
    EXPECT_EQ(app->m_nLives, 3);
    EXPECT_EQ(app->m_nViewMode, 1);
    EXPECT_EQ(app->m_nInitialsCount, 0);
    EXPECT_EQ(app->m_nItemCount, 0);
    EXPECT_EQ(app->m_nMainMenuCursor, 0);
    EXPECT_FALSE(app->m_bQuit);
    EXPECT_FALSE(app->m_bExitChosen);
    EXPECT_FALSE(app->m_bGameInProgress);
    EXPECT_TRUE(app->m_bTargetsRemain);
    EXPECT_EQ(app->m_fStateTimer, 0.0f);
    EXPECT_EQ(app->m_fRunningTime, 0.0f);
    EXPECT_EQ(app->m_fDifficultyFactor, 1.0f);
    const D3DXVECTOR3 position = app->m_pSpaceship->GetPosition();
    EXPECT_EQ(position, D3DXVECTOR3(0.0f, 1.5f, 2.0f));
    EXPECT_EQ(app->m_pSpaceship->speed, 0.0f);
    EXPECT_EQ(app->m_pSpaceship->flameMesh, app->m_pShipFlameMesh);
    // The attract field holds asteroid bodies only.
    int bodies = 0;
    for (const AsteroidBody &body : app->m_pAsteroidField->bodies)
        bodies += body.active;
    EXPECT_GT(bodies, 0);
    for (bool active : app->m_pSatellite->active)
        EXPECT_FALSE(active);
    EXPECT_TRUE(app->m_pBitmapFont && app->m_pBitmapFont->ready);
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

TEST_F(AppTest, ReleaseThenLoadLeavesOneSetOfFontsAndNoExtraDeviceObjects) {
    const ULONG loaded = DeviceReferences();
    ASSERT_NE(app->m_pLargeFont, nullptr);
    ASSERT_NE(app->m_pSmallFont, nullptr);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(app->ReleaseDeviceResources(), 0);
        EXPECT_EQ(app->m_pLargeFont, nullptr);
        EXPECT_EQ(app->m_pSmallFont, nullptr);
        EXPECT_FALSE(app->m_pBitmapFont->ready);
        EXPECT_EQ(app->LoadDeviceResources(), 0);
        EXPECT_EQ(DeviceReferences(), loaded) << "round " << round;
        EXPECT_NE(app->m_pLargeFont, nullptr);
        EXPECT_TRUE(app->m_pBitmapFont->ready);
    }
}

TEST_F(AppTest, AltEnterAndDeviceResetsRoundTripWithoutLeaks) {
    // Two hundred round trips where a leak hunt asks for it; a handful in every ordinary run.
    const char *wanted = std::getenv("TARVOS_ROUND_TRIPS");
    const int trips = wanted ? std::atoi(wanted) : 5;
    const ULONG loaded = DeviceReferences();
    app->m_gameState = GameState::MainMenu;
    for (int trip = 0; trip < trips; ++trip) {
        for (BOOL windowed : {FALSE, TRUE}) {
            ASSERT_EQ(SendMessageA(app->m_hWnd, WM_COMMAND, kToggleWindowedCommand, 0), 0);
            ASSERT_EQ(app->m_bWindowed, windowed);
            ASSERT_TRUE(app->m_bReady);
            ASSERT_EQ(Draw(), 0);
        }
        seams::InjectDeviceLoss(1);
        for (int frame = 0; frame < 3; ++frame) {
            seams::AdvanceVirtualClock(1.0 / 60.0);
            ASSERT_EQ(app->AdvanceFrame(), 0);
        }
        ASSERT_EQ(DeviceReferences(), loaded) << "trip " << trip;
    }
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

class AppWithoutMediaTest : public AppTest {
protected:
    void SetUp() override {
        m_empty = std::filesystem::temp_directory_path() /
                  ("tarvos-no-media-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_empty);
        StartIn(m_empty);
    }
    void TearDown() override {
        AppTest::TearDown();
        std::filesystem::remove_all(m_empty);
    }
    std::filesystem::path m_empty;
};

TEST_F(AppWithoutMediaTest, StartsAndDrawsEveryStateWithTracesOnly) {
    EXPECT_NE(seams::TakeDebugOutput().find("D3DXLoadMeshFromX"), std::string::npos);
    EXPECT_FALSE(app->m_pBitmapFont->ready);
    app->m_nItemCount = 0;
    for (int state = 0; state <= 14; ++state) {
        app->m_gameState = static_cast<GameState>(state);
        app->m_fStateTimer = 6.0f;
        EXPECT_EQ(Draw(), 0) << "state " << state;
    }
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

} // namespace
