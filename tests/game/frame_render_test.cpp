// The picture of every game state as the render step draws it with the state members set directly.
// Each frame is kept as test-frames/app-*.png for review; the captions drawn, what the camera
// shows and the darkening are checked here.
#include "game/asteroid_field.h"
#include "game/camera.h"
#include "game/cockpit.h"
#include "game/explosion.h"
#include "game/mars_ship.h"
#include "game/satellite.h"
#include "game/spaceship.h"
#include "game/text_asset.h"
#include "tests/game/app_fixture.h"

namespace {

using Ids = std::vector<CaptionId>;

class FrameTest : public game_test::AppTest {
protected:
    // Draws the state at `t` seconds and answers the captions it drew, in order.
    Ids Captions(GameState state, float t, const std::string &name = "") {
        app->m_gameState = state;
        app->m_fStateTimer = t;
        Draw(name);
        Ids drawn;
        for (const std::string &call : m_calls)
            for (int id = 0; id < TextAsset::kCaptionCount; ++id)
                if (const void *texture = app->m_pTextAsset->textures[id];
                    texture && call == "SetTexture(0, " + d3d8::LogArgument(texture) + ")")
                    drawn.push_back(static_cast<CaptionId>(id));
        return drawn;
    }

    void Menu(std::vector<const char *> items, INT cursor) {
        app->m_nItemCount = static_cast<INT>(items.size());
        std::copy(items.begin(), items.end(), app->m_menuItems);
        app->m_nMainMenuCursor = app->m_nOptionsCursor = cursor;
    }

    // A wave in progress: the ship at the origin facing +z among bodies, a satellite, a Mars ship
    // and a blast; drawn once so that the scene has the previous frame's camera to cull with.
    void Play(GameState state, INT view) {
        seams::SetRandomState(1);
        app->m_nViewMode = view;
        Spaceship &ship = *app->m_pSpaceship;
        ship.SetPosition(0.0f, 0.0f, 0.0f);
        ship.SetOrientation(D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f));
        ship.speed = 0.6f;
        D3DXMatrixIdentity(&app->m_matShipRotation);
        app->m_pCamera->ResetTrail(ship.GetPosition(), &app->m_matShipRotation);
        app->m_pAsteroidField->InitField(4);
        app->m_pAsteroidField->AddBody(-7.0f, 2.0f, 30.0f, 1);
        app->m_pAsteroidField->AddBody(9.0f, -3.0f, 45.0f, 2);
        app->m_pSatellite->Spawn(1);
        app->m_pSatellite->positions[0] = D3DXVECTOR3(6.0f, 4.0f, 40.0f);
        app->m_pMarsShip->Spawn(1);
        app->m_pMarsShip->SetPosition(0, 3.0f, 1.0f, 20.0f);
        app->m_pExplosion->Add(-12.0f, -4.0f, 60.0f, 1, true);
        app->m_pExplosion->Update(0.3f);
        app->m_nWave = 5;
        app->m_nLives = 2;
        app->m_dwTotalScore = 1200;
        app->m_dwWaveScore = 34;
        app->m_fTimeLeft = 75.9f;
        Captions(state, 3.0f);
    }
};

TEST_F(FrameTest, QuitEndsTheProgramAndStatesWithoutAPictureDrawNothing) {
    for (bool quit : {false, true}) {
        app->m_bQuit = quit;
        EXPECT_EQ(app->RenderFrame(), quit ? E_FAIL : 0);
        seams::InjectFailure("BeginScene");
        EXPECT_EQ(app->RenderFrame(), quit ? E_FAIL : 0) << "without a scene";
    }
    app->m_bQuit = false;
    for (INT state : {13, 15, -1}) {
        EXPECT_EQ(Captions(static_cast<GameState>(state), 0.0f), Ids{});
        EXPECT_EQ(m_calls.front() + m_calls[1] + m_calls.back(),
                  "Clear(0, 2, 0, 1.0, 0)BeginScene()EndScene()");
        EXPECT_TRUE(std::none_of(m_calls.begin(), m_calls.end(),
                                 [](auto &call) { return call.rfind("Draw", 0) == 0; }));
    }
}

TEST_F(FrameTest, IntroMenusAndPagesShowTheirCaptions) {
    using enum CaptionId;
    Spaceship &ship = *app->m_pSpaceship; // placed where the fly-by has taken it by then
    EXPECT_EQ(Captions(GameState::Intro, 2, "intro-02s"), Ids{});
    ship.SetPosition(0.0f, 1.5f, 0.0f);
    EXPECT_EQ(Captions(GameState::Intro, 12, "intro-12s"), Ids{ZelGame});
    ship.SetPosition(0.0f, 0.0f, -6.0f);
    EXPECT_EQ(Captions(GameState::Intro, 30, "intro-30s"), Ids{Title});

    for (int row = 0; row < kHallOfFameRows; ++row)
        app->m_hallOfFame[row] = {{'?', '?', '?', 0}, DWORD(100000 - 10000 * row)};
    std::memcpy(app->m_initials, "AB", 3);
    app->m_nInitialsCount = 2;
    EXPECT_EQ(Captions(GameState::InitialsEntry, 0.2f, "initials-entry"), (Ids{Title, HallOfFame}));
    EXPECT_EQ(Captions(GameState::HallOfFame, 0, "hall-of-fame"), (Ids{Title, HallOfFame}));
    EXPECT_EQ(Captions(GameState::Credits, 0, "credits"), Ids{Credits});
    EXPECT_EQ(Captions(GameState::GetReady, 0, "get-ready"), Ids{Briefing});

    Menu({"RESUME GAME", "NEW GAME", "OPTIONS", "HALL OF FAME", "CREDITS", "EXIT"}, 1);
    EXPECT_EQ(Captions(GameState::MainMenu, 0, "main-menu"), (Ids{Title, ZelGame}));
    // Six rows on 480 lines start at line 150, 30 apart.
    EXPECT_LT(Brightness(110, 148), 30);
    for (int row = 0, peak = 0; row < 6; ++row, peak = 0) {
        Brightness(150 + 30 * row, 166 + 30 * row, &peak);
        EXPECT_GT(peak, 200) << row;
    }
    Menu({"VERY EASY", "EASY", "NORMAL", "HARD", "SUICIDE"}, 2);
    Captions(GameState::DifficultyMenu, 0, "difficulty-menu");
    std::unique_ptr<char[]> slider(app->MakeSliderText(5, 0, 10));
    const std::string sensitivity = std::string("SENSITIVITY{") + slider.get() + "}";
    Menu({"MODE 640X480X16 ", ")INVERT PITCH", ")HEADLIGHT", "(REFLECTIONS", ")BRISA VENNER",
          sensitivity.c_str(), "DONE"},
         5);
    EXPECT_EQ(Captions(GameState::OptionsMenu, 0, "options-menu"), (Ids{Title, ZelGame, Options}));
}

TEST_F(FrameTest, TitleCardsFadeInAndOutOnBlack) {
    app->m_nWave = 3;
    app->m_nLives = 2;
    for (float t : {1.0f, 2.5f, 4.5f}) {
        EXPECT_EQ(Captions(GameState::WaveIntro, t, t == 2.5f ? "wave-intro-2_5s" : ""),
                  (Ids{CaptionId::Wave3, CaptionId::Lives2}));
        int peak = 0;
        Brightness(0, 480, &peak);
        EXPECT_EQ(peak > 150, t == 2.5f) << t;
    }
    app->m_nWave = 9;
    app->m_nLives = -1;
    EXPECT_EQ(Captions(GameState::WaveIntro, 2.5f), Ids{});

    EXPECT_EQ(Captions(GameState::StationSequence, 2.5f, "station-2_5s"),
              Ids{CaptionId::Intermission});
    app->m_pSpaceship->SetPosition(0.0f, -0.1f, 6.0f);
    app->m_pSpaceship->SetOrientation(D3DXQUATERNION(-1.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(Captions(GameState::StationSequence, 12.0f, "station-12s"), Ids{});
    EXPECT_TRUE(Bound(app->m_pStation->textures[0]));
}

TEST_F(FrameTest, PlaySceneInBothViewsWithHudAndOverlays) {
    using enum CaptionId;
    Play(GameState::Playing, 0);
    EXPECT_EQ(Captions(GameState::Playing, 0, "play-chase"), (Ids{Lives2, Score, TimeRemaining}));
    EXPECT_TRUE(Bound(app->m_pSpaceship->cubeTexture) && !Bound(app->m_pCockpit->textures[2]));
    const double chase = Brightness(120, 400);
    Play(GameState::Paused, 0);
    EXPECT_EQ(Captions(GameState::Paused, 0, "paused"),
              (Ids{Lives2, Score, TimeRemaining, Paused}));
    EXPECT_LT(Brightness(120, 400), chase * 0.8);

    Play(GameState::Playing, 1);
    app->m_fTimeLeft = -666.0f;
    app->m_nCheatCounter = 10;
    EXPECT_EQ(Captions(GameState::Playing, 0, "play-cockpit"), (Ids{Lives2, Score, TehSuck}));
    EXPECT_TRUE(Bound(app->m_pCockpit->textures[2]) && !Bound(app->m_pSpaceship->cubeTexture));
    const double panels = Brightness(280, 330), skyBeside = Brightness(140, 200);

    // A destroyed ship is seen from the chase camera whatever the view: no cockpit, no ship, the
    // keepsake picture flying off the wreck.
    Play(GameState::LifeLost, 1);
    app->m_nLifeLossCause = 1;
    EXPECT_EQ(Captions(GameState::LifeLost, 3, "life-lost-ship-destroyed"), Ids{SpaceJunk});
    EXPECT_TRUE(Bound(app->m_pPhoto->textures[0]));
    EXPECT_FALSE(Bound(app->m_pCockpit->textures[2]) || Bound(app->m_pSpaceship->cubeTexture));
    app->m_nLifeLossCause = 2;
    EXPECT_EQ(Captions(GameState::LifeLost, 3), Ids{WaveFailed});
    app->m_nLives = -1;
    EXPECT_EQ(Captions(GameState::LifeLost, 3, "life-lost-game-over"), Ids{GameOver});
    // The black quad is depth-tested behind the cockpit: the sky beside the windscreen darkens,
    // the panels (and the view through the glass) stay as bright.
    EXPECT_LT(Brightness(140, 200), skyBeside * 0.9);
    EXPECT_GT(Brightness(280, 330), panels * 0.95);

    Play(GameState::WaveCleared, 0);
    app->m_pSpaceship->health = 1.0f;
    EXPECT_EQ(Captions(GameState::WaveCleared, 0, "wave-cleared"), (Ids{WaveCleared, NoDamage}));
}

} // namespace
