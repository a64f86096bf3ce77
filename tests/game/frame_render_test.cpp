// The picture of every game state as the render step draws it with the state members set directly;
// each frame is kept under test-frames/ (app-*.png) for review, and the coarse facts a player
// would notice first are checked here.
#include "game/asteroid_field.h"
#include "game/camera.h"
#include "game/cockpit.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/meshobj.h"
#include "game/satellite.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "game/text_asset.h"
#include "tests/game/app_fixture.h"

#include <functional>

namespace {

class FrameTest : public game_test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        seams::SetRandomState(1);
        for (int row = 0; row < kHallOfFameRows; ++row)
            m_rows[row] = {{'?', '?', '?', 0}, DWORD(100000 - 10000 * row)};
        std::memcpy(app->m_hallOfFame, m_rows, sizeof(m_rows));
    }

    void Menu(GameState state, std::vector<const char *> items, INT cursor) {
        app->m_gameState = state;
        app->m_nItemCount = static_cast<INT>(items.size());
        for (size_t i = 0; i < items.size(); ++i)
            app->m_menuItems[i] = items[i];
        app->m_nMainMenuCursor = app->m_nOptionsCursor = cursor;
    }

    // A wave in progress: the ship at rest at the origin facing +z among a few bodies, two
    // satellites, a blast, shots and smoke ahead.
    void Play(GameState state, INT view) {
        app->m_gameState = state;
        app->m_nViewMode = view;
        Spaceship &ship = *app->m_pSpaceship;
        ship.SetPosition(0.0f, 0.0f, 0.0f);
        ship.SetOrientation(D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f));
        ship.speed = 0.6f;
        ship.health = 0.7f;
        D3DXMatrixIdentity(&app->m_matShipRotation);
        app->m_pCamera->ResetTrail(ship.GetPosition(), &app->m_matShipRotation);
        app->m_pAsteroidField->InitField(4);
        app->m_pAsteroidField->AddBody(-7.0f, 2.0f, 30.0f, 1);
        app->m_pAsteroidField->AddBody(9.0f, -3.0f, 45.0f, 2);
        app->m_pSatellite->Spawn(2);
        app->m_pSatellite->positions[0] = D3DXVECTOR3(6.0f, 4.0f, 40.0f);
        app->m_pExplosion->Add(-12.0f, -4.0f, 60.0f, 1, true);
        app->m_pExplosion->Update(0.3f);
        app->m_pLaser->Fire(0.0f, 0.0f, 0.0f, &app->m_matShipRotation, ship.speed, 0);
        app->m_pLaser->Update(0.2f);
        app->m_pSmoke->Add(3.0f, -1.0f, 12.0f, &app->m_matShipRotation, 0.5f);
        app->m_nWave = 5;
        app->m_nLives = 2;
        app->m_dwTotalScore = 1200;
        app->m_dwWaveScore = 34;
        app->m_fTimeLeft = 75.9f;
        // The play scene culls with the previous frame's camera: draw once to have one.
        Draw();
    }

    // The captions the last frame drew, in order.
    std::vector<CaptionId> Captions() const {
        std::vector<CaptionId> drawn;
        for (const std::string &call : m_calls)
            for (int id = 0; id < TextAsset::kCaptionCount; ++id) {
                const void *texture = app->m_pTextAsset->textures[id];
                if (texture && call == "SetTexture(0, " + d3d8::LogArgument(texture) + ")")
                    drawn.push_back(static_cast<CaptionId>(id));
            }
        return drawn;
    }
    using Ids = std::vector<CaptionId>;

    HallOfFameEntry m_rows[kHallOfFameRows];
};

TEST_F(FrameTest, QuitFlagFailsTheFrameEvenWhenTheSceneCannotBegin) {
    for (bool quit : {false, true})
        for (bool beginFails : {false, true}) {
            app->m_bQuit = quit;
            if (beginFails)
                seams::InjectFailure("BeginScene");
            EXPECT_EQ(app->RenderFrame(), quit ? E_FAIL : 0) << quit << beginFails;
        }
}

TEST_F(FrameTest, StatesWithoutAPictureOnlyClearTheDepthAndBeginAndEndTheScene) {
    for (INT state : {13, 15, -1}) {
        app->m_gameState = static_cast<GameState>(state);
        seams::StartDeviceCallLog();
        EXPECT_EQ(app->RenderFrame(), 0);
        seams::StopDeviceCallLog();
        const std::vector<std::string> calls = seams::DeviceCallTexts();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front().rfind("Clear(0, 2, 0, 1.0, 0", 0), 0u) << calls.front();
        EXPECT_EQ(calls.back(), "EndScene()");
        for (const std::string &call : calls)
            EXPECT_TRUE(call.rfind("Draw", 0) && call.rfind("SetTexture(", 0)) << call;
    }
}

TEST_F(FrameTest, IntroShowsTheBannerThenTheTitle) {
    // Where the fly-by has taken the ship by then.
    struct Moment {
        float t, shipZ;
        const char *name;
        std::vector<CaptionId> captions;
    } moments[] = {{2, 2, "intro-02s", {}},
                   {12, 0, "intro-12s", {CaptionId::ZelGame}},
                   {22, 0, "intro-22s", {}},
                   {30, -6, "intro-30s", {CaptionId::Title}}};
    for (const Moment &m : moments) {
        app->m_fStateTimer = m.t;
        app->m_pSpaceship->SetPosition(0.0f, 1.5f * (m.shipZ >= 0), m.shipZ);
        Draw(m.name);
        EXPECT_EQ(Captions(), m.captions) << m.name;
    }
}

TEST_F(FrameTest, MenusListTheirItemsFromTheCentredFirstRowWithTheSelectedOneHighlighted) {
    Menu(GameState::MainMenu,
         {"RESUME GAME", "NEW GAME", "OPTIONS", "HALL OF FAME", "CREDITS", "EXIT"}, 1);
    Draw("main-menu");
    EXPECT_EQ(Captions(), (Ids{CaptionId::Title, CaptionId::ZelGame}));
    // Six rows on 480 lines start at line 150, 30 apart, in the column from W/2 - 170.
    EXPECT_LT(MeanBrightness(150, 110, 450, 148), 40);
    for (int row = 0; row < 6; ++row) {
        int peak = 0;
        MeanBrightness(150, 150 + 30 * row, 450, 166 + 30 * row, &peak);
        EXPECT_GT(peak, 200) << row;
    }
    Menu(GameState::DifficultyMenu, {"VERY EASY", "EASY", "NORMAL", "HARD", "SUICIDE"}, 2);
    Draw("difficulty-menu");
    char *slider = app->MakeSliderText(5, 0, 10);
    std::string sensitivity = std::string("SENSITIVITY{") + slider + "}";
    delete[] slider;
    Menu(GameState::OptionsMenu,
         {"MODE 640X480X16 ", ")INVERT PITCH", ")HEADLIGHT", "(REFLECTIONS", ")BRISA VENNER",
          sensitivity.c_str(), "DONE"},
         5);
    Draw("options-menu");
    EXPECT_EQ(Captions(), (Ids{CaptionId::Title, CaptionId::ZelGame, CaptionId::Options}));
}

TEST_F(FrameTest, PagesOverTheTurningSky) {
    app->m_fRunningTime = 40.0f;
    std::memcpy(app->m_initials, "AB", 3);
    app->m_nInitialsCount = 2;
    app->m_fStateTimer = 0.2f;
    const Ids hallOfFame = {CaptionId::Title, CaptionId::HallOfFame};
    struct Page {
        GameState state;
        const char *name;
        Ids captions;
    } pages[] = {{GameState::InitialsEntry, "initials-entry", hallOfFame},
                 {GameState::HallOfFame, "hall-of-fame", hallOfFame},
                 {GameState::Credits, "credits", {CaptionId::Credits}},
                 {GameState::GetReady, "get-ready", {CaptionId::Briefing}}};
    for (const Page &page : pages) {
        app->m_gameState = page.state;
        Draw(page.name);
        EXPECT_EQ(Captions(), page.captions) << page.name;
    }
}

TEST_F(FrameTest, TitleCardsFadeInAndOutOnBlack) {
    app->m_nWave = 3;
    app->m_nLives = 2;
    app->m_gameState = GameState::WaveIntro;
    for (float t : {1.0f, 2.5f, 4.5f}) {
        app->m_fStateTimer = t;
        Draw(t == 2.5f ? "wave-intro-2_5s" : "");
        EXPECT_EQ(Captions(), (Ids{CaptionId::Wave3, CaptionId::Lives2}));
        int peak = 0;
        MeanBrightness(0, 0, 640, 480, &peak);
        EXPECT_EQ(peak > 150, t == 2.5f) << t;
    }
    app->m_nWave = 9;
    app->m_nLives = -1;
    Draw();
    EXPECT_EQ(Captions(), Ids{});

    app->m_gameState = GameState::StationSequence;
    app->m_fStateTimer = 2.5f;
    Draw("station-2_5s");
    EXPECT_EQ(Captions(), Ids{CaptionId::Intermission});
    app->m_pSpaceship->SetPosition(0.0f, -0.1f, 6.0f);
    app->m_pSpaceship->SetOrientation(D3DXQUATERNION(-1.0f, 0.0f, 0.0f, 0.0f));
    app->m_fStateTimer = 12.0f;
    Draw("station-12s");
    EXPECT_EQ(Captions(), Ids{});
    EXPECT_TRUE(Bound(app->m_pStation->textures[0]));
}

TEST_F(FrameTest, PlaySceneInBothViewsWithHudAndOverlays) {
    const Ids hud = {CaptionId::Lives2, CaptionId::Score, CaptionId::TimeRemaining};
    Play(GameState::Playing, 0);
    Draw("play-chase");
    EXPECT_EQ(Captions(), hud);
    EXPECT_FALSE(Bound(app->m_pCockpit->textures[2]));
    const double playing = MeanBrightness(0, 120, 640, 400);
    Play(GameState::Paused, 0);
    Draw("paused");
    EXPECT_EQ(Captions(), (Ids{hud[0], hud[1], hud[2], CaptionId::Paused}));
    EXPECT_LT(MeanBrightness(0, 120, 640, 400), playing * 0.8);

    Play(GameState::Playing, 1);
    app->m_fTimeLeft = -666.0f;
    app->m_nCheatCounter = 10;
    Draw("play-cockpit");
    EXPECT_EQ(Captions(), (Ids{hud[0], hud[1], CaptionId::TehSuck}));
    EXPECT_TRUE(Bound(app->m_pCockpit->textures[2]));
    const double cockpit = MeanBrightness(0, 120, 640, 400);

    // A destroyed ship is seen from the chase camera whatever the view: no cockpit, no ship,
    // the keepsake picture flying off the wreck.
    Play(GameState::LifeLost, 1);
    app->m_nLifeLossCause = 1;
    app->m_fStateTimer = 3.0f;
    Draw("life-lost-ship-destroyed");
    EXPECT_EQ(Captions(), Ids{CaptionId::SpaceJunk});
    EXPECT_TRUE(Bound(app->m_pPhoto->textures[0]));
    EXPECT_FALSE(Bound(app->m_pCockpit->textures[2]));
    EXPECT_FALSE(Bound(app->m_pSpaceship->cubeTexture));
    app->m_bBrisaVenner = false;
    Draw();
    EXPECT_FALSE(Bound(app->m_pPhoto->textures[0]));
    app->m_nLifeLossCause = 2;
    Draw();
    EXPECT_EQ(Captions(), Ids{CaptionId::WaveFailed});
    app->m_nLives = -1;
    Draw("life-lost-game-over");
    EXPECT_EQ(Captions(), Ids{CaptionId::GameOver});
    EXPECT_LT(MeanBrightness(0, 120, 640, 400), cockpit * 0.8) << "the cockpit view darkens too";

    Play(GameState::WaveCleared, 0);
    app->m_pSpaceship->health = 1.0f;
    Draw("wave-cleared");
    EXPECT_EQ(Captions(), (Ids{CaptionId::WaveCleared, CaptionId::NoDamage}));
    EXPECT_TRUE(Bound(app->m_pSpaceship->cubeTexture));
}

} // namespace
