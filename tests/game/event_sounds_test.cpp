// Each sound and the music heard through the mixer when the game's own update meets the event that
// starts it, with the pitch or loudness the game gives it, and silent while the event is not met.
// Each case keeps only its own file, so the mix is that sound alone; the same cases run once more
// with every file absent, where the events take their course in silence.
#include "game/camera.h"
#include "game/debris.h"
#include "game/play_rules.h"
#include "game/ship_health.h"
#include "game_sound_fixture.h"
#include "menu_flow_fixture.h"

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using audio_test::Rms;

constexpr float kFrame = 0.02f;
constexpr double kHeard = 0.001;
constexpr double kSilent = 1e-4;

constexpr const char *kFiles[] = {"spring.wav",        "engine.wav",       "marsshipengine.wav",
                                  "marsshiplaser.wav", "enginestart.wav",  "rumble.wav",
                                  "explosion1.wav",    "explosion2.wav",   "laser.wav",
                                  "danger.wav",        "win.wav",          "lose.wav",
                                  "hit.wav",           "menuloop2.wav",    "menuselect.wav",
                                  "menuback.wav",      "stationorder.wav", "menuloop.wav"};

class EventSounds;
struct EventCase {
    const char *file; // the one file there
    void (*run)(EventSounds &);
};

void PrintTo(const EventCase &c, std::ostream *os) {
    *os << c.file;
}

class EventSounds : public game_test::GameSoundTest,
                    public ::testing::WithParamInterface<std::tuple<EventCase, bool>> {
public:
    void SetUp() override {
        for (const char *name : kFiles)
            if (!Present() || name != std::string(std::get<0>(GetParam()).file))
                m_missing.push_back(name);
        GameSoundTest::SetUp();
        MakeFlowObjects(*m_app);
        m_app->m_pCamera = new Camera;
        m_app->m_pShipHealth = new ShipHealth;
        m_app->m_pDebris = new Debris;
        m_app->m_fElapsedTime = kFrame;
    }

    CMyD3DApplication &App() { return *m_app; }
    bool Present() const { return std::get<1>(GetParam()); }

    // Runs the update frame by frame for `seconds` (`eachFrame` before each) and returns the mix.
    std::vector<double> Play(double seconds, const std::function<void()> &eachFrame = {}) {
        std::vector<double> mixed;
        for (int i = 0; i < static_cast<int>(seconds / kFrame + 0.5); ++i) {
            if (eachFrame)
                eachFrame();
            m_app->UpdateFrame();
            const std::vector<double> frame = Run(kFrame);
            mixed.insert(mixed.end(), frame.begin(), frame.end());
        }
        return mixed;
    }
    double Level(double seconds) { return Rms(Play(seconds)); }
    // Holds `key` for the first frame only; the loudness of the whole stretch.
    double Press(BYTE key, double seconds) {
        m_app->m_input.keys[key] = 0x80; // kept as it stands: no keyboard device is made here
        std::vector<double> mixed = Play(kFrame);
        m_app->m_input.keys[key] = 0;
        const std::vector<double> rest = Play(seconds - kFrame);
        mixed.insert(mixed.end(), rest.begin(), rest.end());
        return Rms(mixed);
    }

    // The event's sound: heard when its file is there, silence when it is absent.
    void Heard(double level, const char *what) {
        EXPECT_TRUE(Present() ? level > kHeard : level < kSilent) << what << ": " << level;
    }
    void Silent(double level, const char *what) { EXPECT_LT(level, kSilent) << what; }
    void Greater(double more, double less, double factor, const char *what) {
        EXPECT_TRUE(!Present() || more > less * factor) << what << ": " << more << ", " << less;
    }

    // A new game at difficulty 1.0 whose first wave starts in the next frame, then a world with
    // nothing in it but one body well away, so the wave goes on.
    void StartPlaying() {
        m_app->StartNewGame(1.0f);
        m_app->m_gameState = GameState::WaveIntro;
        m_app->m_fStateTimer = 5.0f;
        Play(kFrame);
        ASSERT_EQ(m_app->m_gameState, GameState::Playing);
        EmptyWorld();
    }
    void EmptyWorld() {
        for (AsteroidBody &body : m_app->m_pAsteroidField->bodies)
            body.active = 0;
        for (MarsShipRecord &mars : m_app->m_pMarsShip->records)
            mars.active = 0;
        m_app->m_pSatellite->Clear();
        m_app->m_pLaser->Clear();
        Body(0, {0.0f, 240.0f, 0.0f}, 3);
    }
    // Bodies and shots at rest.
    AsteroidBody &Body(DWORD slot, D3DXVECTOR3 at, DWORD sizeClass) {
        return m_app->m_pAsteroidField->bodies[slot] = {at, {}, {}, 0.0f, 0.0f, sizeClass, 0, 1};
    }
    void Shot(D3DXVECTOR3 at, INT gun) { m_app->m_pLaser->shots[0] = {at, {}, 0.0f, 0.0f, gun, 1}; }
    MarsShipRecord &Mars(D3DXVECTOR3 at) {
        return m_app->m_pMarsShip->records[0] = {at, {0.0f, 0.0f, 0.0f, 1.0f}, 1.0f, 0, 0, 0, 0, 0,
                                                 1};
    }

    // A player's shot breaks a body of each of the two largest size classes: only `soundingClass`
    // makes this case's explosion sound.
    void ShotBreaksBodies(DWORD soundingClass) {
        StartPlaying();
        for (DWORD sizeClass : {3 - soundingClass, soundingClass}) {
            EmptyWorld();
            const AsteroidBody &body = Body(1, {100.0f, 0.0f, 0.0f}, sizeClass);
            Shot(body.position, 0);
            const double level = Level(0.3);
            EXPECT_FALSE(body.active);
            if (sizeClass == soundingClass)
                Heard(level, "the body of this sound breaks");
            else
                Silent(level, "the other size class breaks");
        }
    }
};

const EventCase kCases[] = {
    {"engine.wav",
     [](EventSounds &t) {
         CMyD3DApplication &a = t.App();
         a.StartNewGame(1.0f);
         a.m_gameState = GameState::WaveIntro;
         a.m_fStateTimer = 4.8f;
         t.Silent(t.Level(0.1), "wave intro");
         t.Heard(t.Level(0.2), "from the wave's start");
         ASSERT_EQ(a.m_gameState, GameState::Playing);
         t.EmptyWorld();
         // The pitch follows the ship's speed (held each frame): the mix crosses zero faster.
         double crossings[2];
         for (int i = 0; i < 2; ++i)
             crossings[i] = audio_test::ZeroCrossingFrequency(
                 t.Play(0.5, [&] { a.m_pSpaceship->speed = 0.4f * static_cast<float>(i); }), 1.0);
         t.Greater(crossings[1], crossings[0], 3.0, "pitch at speed 0.4 over idle");
         a.m_pSpaceship->health = 0.0f;
         t.Silent(t.Level(0.2), "the ship destroyed");
         EXPECT_EQ(a.m_gameState, GameState::LifeLost);
     }},
    {"marsshipengine.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         t.Silent(t.Level(0.2), "no Mars ship");
         MarsShipRecord &mars = t.Mars({0.0f, 0.0f, 20.0f});
         const double near = t.Level(0.2);
         mars.position = {0.0f, 0.0f, 150.0f};
         const double far = t.Level(0.2);
         t.Heard(near, "a Mars ship near");
         t.Greater(near, far, 10.0, "near over far");
     }},
    {"marsshiplaser.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         t.Silent(t.Level(0.3), "no Mars ship");
         t.Mars({0.0f, 0.0f, -30.0f}); // its nose toward the player's ship at the origin
         t.Heard(t.Level(0.3), "the Mars ship fires");
     }},
    {"enginestart.wav",
     [](EventSounds &t) {
         t.App().StartNewGame(1.0f);
         t.Silent(t.Level(0.2), "get-ready card");
         t.Heard(t.Press(DIK_RETURN, 1.0), "wave intro");
         EXPECT_EQ(t.App().m_gameState, GameState::WaveIntro);
         t.Silent(t.Press(DIK_RETURN, 0.2), "Enter skips the intro");
         EXPECT_EQ(t.App().m_gameState, GameState::Playing);
     }},
    {"rumble.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         AsteroidBody &body = t.Body(1, {0.0f, 0.0f, 5.0f}, 3);
         const double near = t.Level(0.5);
         body.position = {0.0f, 0.0f, 250.0f};
         const double far = t.Level(0.5);
         t.Heard(near, "a body near");
         t.Greater(near, far, 5.0, "near over far");
         body.active = t.App().m_pAsteroidField->bodies[0].active = 0;
         t.Silent(t.Level(0.2), "no body left");
         EXPECT_EQ(t.App().m_gameState, GameState::WaveCleared);
     }},
    {"explosion1.wav", [](EventSounds &t) { t.ShotBreaksBodies(1); }},
    {"explosion2.wav", [](EventSounds &t) { t.ShotBreaksBodies(2); }},
    {"laser.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         t.Silent(t.Level(0.3), "not firing");
         t.Heard(t.Press(DIK_LCONTROL, 0.1), "the ship fires");
         EXPECT_EQ(t.App().m_nShotCounter, 1);
     }},
    {"danger.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         float &health = t.App().m_pSpaceship->health;
         health = 0.5f;
         t.Silent(t.Level(0.3), "health 0.5");
         health = 0.1f;
         t.Heard(t.Level(0.5), "health 0.1");
         health = 0.5f;
         t.Silent(t.Level(0.3), "health back at 0.5");
     }},
    {"win.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         t.Silent(t.Level(0.2), "a body left");
         t.App().m_pAsteroidField->bodies[0].active = 0;
         t.Heard(t.Level(0.5), "the last body gone");
         EXPECT_EQ(t.App().m_gameState, GameState::WaveCleared);
         t.Silent(t.Press(DIK_RETURN, 0.2), "Enter ends the caption");
         EXPECT_EQ(t.App().m_nWave, 2);
     }},
    {"lose.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         t.Silent(t.Level(0.3), "in play");
         t.Heard(t.Press(DIK_F12, 0.5), "self-destruct");
         EXPECT_EQ(t.App().m_gameState, GameState::LifeLost);
         EXPECT_EQ(t.App().m_nLives, 2);
         t.Silent(t.Press(DIK_RETURN, 0.2), "Enter ends the caption");
         EXPECT_EQ(t.App().m_gameState, GameState::WaveIntro);
     }},
    {"menuloop2.wav",
     [](EventSounds &t) {
         t.App().m_gameState = GameState::DifficultyMenu;
         t.Silent(t.Level(0.2), "difficulty menu");
         t.Heard(t.Press(DIK_RETURN, 0.2), "a new game set up");
         t.Press(DIK_RETURN, kFrame);
         ASSERT_EQ(t.App().m_gameState, GameState::WaveIntro);
         // Faded by 50 dB a second: heard at the card's start, some 60 dB down after a second.
         const double start = t.Level(0.2);
         t.Play(0.8);
         const double second = t.Level(0.4);
         t.Heard(start, "the card's start");
         t.Greater(start, second, 30.0, "the fade");
         t.Play(0.8);
         t.Silent(t.Level(0.4), "after two seconds");
     }},
    {"hit.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         Spaceship &ship = *t.App().m_pSpaceship;
         t.App().m_nCheatCounter = kCheatComplete;
         t.Shot(ship.GetPosition(), 1);
         t.Silent(t.Level(0.3), "a Mars shot with the ship indestructible");
         EXPECT_EQ(ship.health, 1.0f);
         t.App().m_nCheatCounter = 0;
         t.Shot(ship.GetPosition(), 1);
         t.Heard(t.Level(0.3), "a Mars shot hits the ship");
         EXPECT_LT(ship.health, 1.0f);
     }},
    {"spring.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         t.Silent(t.Level(0.2), "in play");
         t.App().m_nCheatCounter = 7; // every letter of the sequence typed
         t.Heard(t.Level(0.3), "the sequence completed");
         EXPECT_EQ(t.App().m_nCheatCounter, kCheatComplete);
     }},
    {"stationorder.wav",
     [](EventSounds &t) {
         t.App().m_gameState = GameState::StationSequence;
         t.App().m_fStateTimer = 11.5f;
         t.Silent(t.Level(0.4), "before 12 s");
         t.Heard(t.Level(1.0), "from 12 s");
     }},
    {"menuloop.wav",
     [](EventSounds &t) {
         t.StartPlaying();
         t.Silent(t.Level(0.3), "in play");
         t.Heard(t.Press(DIK_ESCAPE, 0.5), "Esc leaves play for the menu");
         EXPECT_EQ(t.App().m_gameState, GameState::MainMenu);
         t.Silent(t.Press(DIK_ESCAPE, 0.3), "Esc in the menu resumes the game");
         EXPECT_EQ(t.App().m_gameState, GameState::Playing);
     }},
};

TEST_P(EventSounds, HeardThroughTheMixerWhenItsEventFires) {
    std::get<0>(GetParam()).run(*this);
}

INSTANTIATE_TEST_SUITE_P(Each, EventSounds,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<EventSounds::ParamType> &info) {
                             const std::string file = std::get<0>(info.param).file;
                             return file.substr(0, file.find('.')) +
                                    (std::get<1>(info.param) ? "" : "_absent");
                         });

} // namespace
