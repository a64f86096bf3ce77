// The game application's life on a real headless device: the one-time set-up and attract start,
// device resources loaded and released in pairs, Alt+Enter and device resets, and a start without
// any media.
#include "game/asteroid_field.h"
#include "game/dh_fast_font.h"
#include "game/radar.h"
#include "game/satellite.h"
#include "game/ship_health.h"
#include "game/spaceship.h"
#include "tests/game/app_fixture.h"

#include <cstdlib>

namespace {

using game_test::AppTest;

TEST_F(AppTest, StartsInTheFlyByWithAFreshGame) {
    CMyD3DApplication &a = *app;
    EXPECT_EQ(a.m_gameState, GameState::Intro);
    EXPECT_EQ(std::vector<INT>({a.m_nWave, a.m_nLives, a.m_nViewMode, a.m_nInitialsCount,
                                a.m_nItemCount, a.m_nMainMenuCursor}),
              std::vector<INT>({1, 3, 1, 0, 0, 0}));
    EXPECT_TRUE(!a.m_bQuit && !a.m_bExitChosen && !a.m_bGameInProgress && a.m_bTargetsRemain);
    EXPECT_EQ(a.m_fStateTimer + a.m_fRunningTime + a.m_fKeyRepeatTimer, 0.0f);
    EXPECT_EQ(a.m_fDifficultyFactor + a.m_pSpaceship->speed, 1.0f);
    EXPECT_EQ(a.m_pSpaceship->GetPosition(), D3DXVECTOR3(0.0f, 1.5f, 2.0f));
    // The attract field holds asteroid bodies only.
    EXPECT_TRUE(a.m_pAsteroidField->bodies[0].active && !a.m_pSatellite->active[0]);
    EXPECT_TRUE(a.m_pBitmapFont && a.m_pBitmapFont->ready);
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

// Every switch and reset releases and loads the device resources again: the device must hold no
// more objects afterwards than after the first load, with one set of fonts.
TEST_F(AppTest, AltEnterAndDeviceResetsRoundTripWithoutLeaks) {
    // Two hundred round trips where a leak hunt asks for them; a few in every ordinary run.
    const char *wanted = std::getenv("TARVOS_ROUND_TRIPS");
    const int trips = wanted ? std::atoi(wanted) : 3;
    const ULONG loaded = DeviceReferences();
    app->m_gameState = GameState::MainMenu;
    for (int trip = 0; trip < trips; ++trip) {
        for (BOOL windowed : {FALSE, TRUE}) {
            ASSERT_EQ(SendMessageA(app->m_hWnd, WM_COMMAND, kToggleWindowedCommand, 0), 0);
            ASSERT_TRUE(app->m_bWindowed == windowed && app->m_bReady);
            ASSERT_EQ(Draw(), 0);
        }
        seams::InjectDeviceLoss(1);
        for (int frame = 0; frame < 3; ++frame) { // lost, reset, drawn
            seams::AdvanceVirtualClock(1.0 / 60.0);
            ASSERT_EQ(app->AdvanceFrame(), 0);
        }
        ASSERT_EQ(DeviceReferences(), loaded) << "trip " << trip;
    }
    EXPECT_TRUE(app->m_pLargeFont && app->m_pSmallFont && app->m_pBitmapFont->ready);
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

TEST_F(AppTest, HudFollowsTheBackBufferAndClosingInPlaySavesTheSettings) {
    app->m_presentParams.BackBufferWidth = 800;
    app->m_presentParams.BackBufferHeight = 600;
    ASSERT_EQ(app->ResetDevice(), 0);
    EXPECT_EQ(D3DXVECTOR2(app->m_pRadar->translation._41, app->m_pRadar->translation._42),
              D3DXVECTOR2(328.0f, 228.0f));
    EXPECT_EQ(D3DXVECTOR2(app->m_pShipHealth->translation._41, app->m_pShipHealth->translation._42),
              D3DXVECTOR2(-328.0f, 224.0f));

    app->m_gameState = GameState::Playing;
    app->m_bHeadlight = false;
    app->m_hallOfFame[0].score = 123456;
    SendMessageA(app->m_hWnd, WM_CLOSE, 0, 0);
    seams::ReloadRegistry();
    CMyD3DApplication next;
    EXPECT_FALSE(next.m_bHeadlight);
    EXPECT_EQ(next.m_hallOfFame[0].score, 123456u);
}

class AppWithoutMediaTest : public AppTest {
    std::filesystem::path Folder() override { return m_scratch / "empty"; }
};

TEST_F(AppWithoutMediaTest, StartsAndDrawsEveryStateWithTracesOnly) {
    EXPECT_NE(seams::TakeDebugOutput().find("D3DXLoadMeshFromX"), std::string::npos);
    for (int state = 0; state <= 14; ++state) {
        app->m_gameState = static_cast<GameState>(state);
        app->m_fStateTimer = 6.0f;
        EXPECT_EQ(Draw(), 0) << "state " << state;
    }
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

} // namespace
