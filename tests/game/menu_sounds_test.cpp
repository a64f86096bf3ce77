// What the states outside play make the mixer put out, with the generated sounds, frame by frame
// through the game's update step: the intro's engine and its fade, the fly-by's laser, and the
// menu keys' sounds.
#include "game_sound_fixture.h"
#include "menu_flow_fixture.h"

#include <string>
#include <vector>

namespace {

using audio_test::Rms;

constexpr double kFrame = 0.02;

// Every sound file but `keep`.
std::vector<std::string> AllSoundsBut(std::vector<std::string> keep) {
    std::vector<std::string> missing;
    for (const char *name :
         {"spring.wav", "engine.wav", "marsshipengine.wav", "marsshiplaser.wav", "enginestart.wav",
          "rumble.wav", "explosion1.wav", "explosion2.wav", "laser.wav", "danger.wav", "win.wav",
          "lose.wav", "hit.wav", "menuloop2.wav", "menuselect.wav", "menuback.wav",
          "stationorder.wav", "menuloop.wav"})
        if (std::ranges::count(keep, std::string(name)) == 0)
            missing.push_back(name);
    return missing;
}

class MenuSoundTest : public game_test::GameSoundTest {
protected:
    void SetUp() override {
        GameSoundTest::SetUp();
        MakeFlowObjects(*m_app);
        m_app->m_fElapsedTime = static_cast<float>(kFrame);
    }
    // Runs the update for `seconds` of frames and returns the loudness of what was mixed.
    double Play(double seconds) {
        std::vector<double> mixed;
        for (int i = 0; i < static_cast<int>(seconds / kFrame + 0.5); ++i) {
            m_app->UpdateFrame();
            const std::vector<double> frame = Run(kFrame);
            mixed.insert(mixed.end(), frame.begin(), frame.end());
        }
        return Rms(mixed);
    }
};

class IntroEngineTest : public MenuSoundTest {
public:
    IntroEngineTest() { m_missing = AllSoundsBut({"engine.wav"}); }
};

class IntroLaserTest : public MenuSoundTest {
public:
    IntroLaserTest() { m_missing = AllSoundsBut({"laser.wav"}); }
};

class MenuKeySoundTest : public MenuSoundTest {
public:
    MenuKeySoundTest() { m_missing = AllSoundsBut({"menuselect.wav", "menuback.wav"}); }
};

} // namespace

TEST_F(IntroEngineTest, EngineLoopsThroughTheIntroFadesOutAndStopsWithIt) {
    const double early = Play(30.0);
    EXPECT_GT(early, 0.01);
    EXPECT_EQ(PlayingSounds(), std::vector<std::string>{"engine.wav"});
    Play(13.0);
    const double fading = Play(1.5); // 43 to 44.5 s: about a tenth of the way up from silence
    EXPECT_LT(fading, early / 5);
    Play(1.0);
    EXPECT_EQ(m_app->m_gameState, GameState::MainMenu);
    EXPECT_TRUE(PlayingSounds().empty());
    EXPECT_LT(Play(0.5), 1e-4);
}

TEST_F(IntroLaserTest, LaserSoundsOnlyWhileTheShipFires) {
    EXPECT_LT(Play(24.9), 1e-4);
    const double firing = Play(10.0);
    EXPECT_GT(firing, 0.01);
    Play(2.0);
    EXPECT_LT(Play(5.0), 1e-4);
}

TEST_F(MenuKeySoundTest, CursorKeysSelectAndEnterGoesBack) {
    m_app->m_gameState = GameState::MainMenu;
    Play(0.5);
    EXPECT_LT(Play(0.1), 1e-4);
    m_app->m_input.keys[DIK_DOWN] = 0x80; // read as held: no keyboard device is made here
    m_app->UpdateFrame();
    m_app->m_input.keys[DIK_DOWN] = 0;
    EXPECT_EQ(PlayingSounds(), std::vector<std::string>{"menuselect.wav"});
    EXPECT_GT(Play(0.1), 0.001);
    Play(1.0);
    m_app->m_input.keys[DIK_RETURN] = 0x80; // on OPTIONS
    m_app->UpdateFrame();
    m_app->m_input.keys[DIK_RETURN] = 0;
    EXPECT_EQ(m_app->m_gameState, GameState::OptionsMenu);
    EXPECT_EQ(PlayingSounds(), std::vector<std::string>{"menuback.wav"});
    EXPECT_GT(Play(0.1), 0.001);
}
