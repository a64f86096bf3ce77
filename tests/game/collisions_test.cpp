// The collision pass: every contact's reach on both sides, who may hit whom, the points, the
// pieces, the explosions and the random draws they take, in order.
#include "game/play_rules.h"
#include "tests/game/play_fixture.h"

#include <functional>

namespace {

using Collisions = play_test::PlayTest;

struct Contact {
    const char *name;
    float reach;
    std::function<void(float)> place; // the pair `distance` apart
    std::function<bool()> touched;
};

TEST_F(Collisions, EveryContactHappensJustInsideItsReachAndNotJustOutside) {
    const D3DXVECTOR3 far(100.0f, 0.0f, 0.0f); // beyond the ship's blasts
    const auto at = [far](float d) { return far + D3DXVECTOR3(d, 0.0f, 0.0f); };
    const auto x = [](float d) { return D3DXVECTOR3(d, 0.0f, 0.0f); };
    auto &app = m_app;
    const Contact contacts[] = {
        {"ship/Mars ship", 1.95f, [&](float d) { Mars(0, x(d)); },
         [&] { return !app->m_pMarsShip->records[0].active; }},
        {"ship/satellite", 4.55f, [&](float d) { Sat(0, x(d)); },
         [&] { return !app->m_pSatellite->active[0]; }},
        {"ship/Mars shot", 1.25f, [&](float d) { Shot(0, x(d), 3); },
         [&] { return !app->m_pLaser->shots[0].active; }},
        {"ship/body 1", 4.95f, [&](float d) { Body(0, x(d), 1); },
         [&] { return !app->m_pAsteroidField->bodies[0].active; }},
        {"Mars/Mars", 2.0f,
         [&](float d) {
             Mars(0, far);
             Mars(5, at(d));
         },
         [&] { return !app->m_pMarsShip->records[5].active; }},
        {"Mars/satellite", 4.6f,
         [&](float d) {
             Mars(0, far);
             Sat(0, at(d));
         },
         [&] { return !app->m_pSatellite->active[0]; }},
        {"Mars/shot", 1.3f,
         [&](float d) {
             Mars(0, far);
             Shot(0, at(d), 0);
         },
         [&] { return !app->m_pLaser->shots[0].active; }},
        {"Mars/body 2", 3.0f,
         [&](float d) {
             Mars(0, far);
             Body(0, at(d), 2);
         },
         [&] { return !app->m_pAsteroidField->bodies[0].active; }},
        {"satellite/shot", 3.9f,
         [&](float d) {
             Sat(0, far);
             Shot(0, at(d), 4);
         },
         [&] { return !app->m_pSatellite->active[0]; }},
        {"satellite/body 3", 4.0f / 3.0f + 3.6f,
         [&](float d) {
             Sat(0, far);
             Body(0, at(d), 3);
         },
         [&] { return !app->m_pSatellite->active[0]; }},
        {"shot/body 1", 4.3f,
         [&](float d) {
             Shot(0, far, 0);
             Body(0, at(d), 1);
         },
         [&] { return !app->m_pLaser->shots[0].active; }},
        {"shot/body 2", 2.3f,
         [&](float d) {
             Shot(0, far, 0);
             Body(0, at(d), 2);
         },
         [&] { return !app->m_pLaser->shots[0].active; }},
        {"shot/body 3", 4.0f / 3.0f + 0.3f,
         [&](float d) {
             Shot(0, far, 0);
             Body(0, at(d), 3);
         },
         [&] { return !app->m_pLaser->shots[0].active; }},
    };
    for (const Contact &contact : contacts) {
        for (float d : {contact.reach - 0.01f, contact.reach + 0.01f}) {
            EmptyWorld();
            contact.place(d);
            app->DetectCollisions();
            EXPECT_EQ(contact.touched(), d < contact.reach) << contact.name << " at " << d;
        }
    }
}

TEST_F(Collisions, ShotsSpareTheirOwnerAndADestroyedShipCollidesWithNothing) {
    Shot(0, {0, 0, 0}, 0); // the player's own shot at the ship
    Mars(2, {100, 0, 0});
    Shot(1, {100, 0, 0}, 3); // Mars ship 2's own shot
    m_app->DetectCollisions();
    EXPECT_TRUE(m_app->m_pLaser->shots[0].active && m_app->m_pLaser->shots[1].active);
    EXPECT_TRUE(m_app->m_pMarsShip->records[2].active);

    EmptyWorld();
    m_app->m_pSpaceship->health = 0.0f;
    Body(0, {0, 0, 0}, 1);
    Shot(0, {0, 0, 30}, 0);
    Body(1, {0, 0, 30}, 3);
    m_app->DetectCollisions();
    EXPECT_TRUE(m_app->m_pAsteroidField->bodies[0].active) << "the wreck passes through";
    EXPECT_FALSE(m_app->m_pAsteroidField->bodies[1].active) << "shots still break bodies";
}

TEST_F(Collisions, ABrokenBodyScoresSplitsAndExplodesWithItsDrawsInOrder) {
    LoadSounds();
    const struct {
        DWORD sizeClass;
        float factor;
        INT counter;
        DWORD points;
        int pieces;
        CSound *CMyD3DApplication::*sound;
    } cases[] = {
        {1, 0.8f, 1, 3200, 2, &CMyD3DApplication::m_pExplosion1Sound},
        {1, 1.0f, 0, 4000, 3, &CMyD3DApplication::m_pExplosion1Sound},
        {1, 1.4f, 3, 1866, 3, &CMyD3DApplication::m_pExplosion1Sound},
        {2, 0.4f, 2, 600, 2, &CMyD3DApplication::m_pExplosion2Sound},
        {3, 1.4f, 2, 1400, 0, &CMyD3DApplication::m_pExplosion2Sound},
    };
    for (const auto &c : cases) {
        EmptyWorld();
        StopAll(Sounds());
        m_app->m_fDifficultyFactor = c.factor;
        m_app->m_nShotCounter = c.counter;
        m_app->m_dwWaveScore = 10;
        Shot(7, {0, 0, 100}, 0);
        Body(0, {0, 0, 100}, c.sizeClass);
        seams::SetRandomState(99);
        m_app->DetectCollisions();
        EXPECT_EQ(m_app->m_dwWaveScore, 10 + c.points) << c.sizeClass << " at " << c.factor;
        EXPECT_EQ(m_app->m_nShotCounter, 0);
        EXPECT_EQ(LiveBodies(), c.pieces);
        for (int i = 1; i <= c.pieces; ++i)
            EXPECT_EQ(m_app->m_pAsteroidField->bodies[i].sizeClass, c.sizeClass + 1);
        EXPECT_FALSE(m_app->m_pLaser->shots[7].active);
        EXPECT_EQ(m_app->m_pExplosion->explosions[0].sizeClass, static_cast<INT>(c.sizeClass));
        EXPECT_TRUE(m_app->m_pExplosion->explosions[0].shockWave);
        EXPECT_EQ(seams::RandomState(), AfterDraws(99, 9 * c.pieces + 1));
        EXPECT_TRUE(Playing((*m_app).*c.sound));
        EXPECT_EQ(m_app->m_pSpaceship->health, 1.0f) << "100 units away is beyond the blast";
    }
}

TEST_F(Collisions, PiecesOfASplitCanBeHitLaterInTheSamePass) {
    Shot(0, {0, 0, 100}, 0);
    Shot(1, {0, 0, 100}, 0);
    Body(0, {0, 0, 100}, 1);
    m_app->m_nShotCounter = 0;
    seams::SetRandomState(5);
    m_app->DetectCollisions();
    // Shot 0 breaks the body into three pieces (slots 1 to 3); shot 1 breaks the first piece.
    EXPECT_EQ(m_app->m_dwWaveScore, 4000u + 3000u);
    EXPECT_EQ(LiveBodies(), 2 + 2);
    EXPECT_FALSE(m_app->m_pAsteroidField->bodies[1].active);
    EXPECT_EQ(m_app->m_pAsteroidField->bodies[4].sizeClass, 3u);
    EXPECT_EQ(seams::RandomState(), AfterDraws(5, 3 * 9 + 1 + 2 * 9 + 1));
}

TEST_F(Collisions, ShotsOnMarsShipsScoreForThePlayerWhoeverFired) {
    Mars(0, {100, 0, 0});
    Shot(0, {100, 0, 0}, 0); // the player's
    Shot(1, {100, 0, 0}, 2); // Mars ship 1's
    m_app->m_nShotCounter = 4;
    m_app->m_fDifficultyFactor = 0.6f;
    m_app->DetectCollisions();
    EXPECT_EQ(m_app->m_dwWaveScore, 75u + 300u); // 500 / 4 x 0.6, then 500 / 1 x 0.6
    EXPECT_EQ(LiveExplosions(), 2);
    EXPECT_EQ(m_app->m_pExplosion->explosions[1].sizeClass, 20);
    EXPECT_FALSE(m_app->m_pExplosion->explosions[1].shockWave);
}

TEST_F(Collisions, TwoMarsShipsCollidingBothVanishWithoutPoints) {
    Mars(3, {100, 0, 0});
    Mars(6, {101, 0, 0});
    m_app->DetectCollisions();
    EXPECT_FALSE(m_app->m_pMarsShip->records[3].active || m_app->m_pMarsShip->records[6].active);
    const ExplosionRecord *blasts = m_app->m_pExplosion->explosions;
    EXPECT_EQ(blasts[0].position.x, 101.0f);
    EXPECT_EQ(blasts[0].sizeClass, 1);
    EXPECT_EQ(blasts[1].position.x, 100.0f);
    EXPECT_EQ(blasts[1].sizeClass, 2);
    EXPECT_EQ(m_app->m_dwWaveScore, 0u);
}

TEST_F(Collisions, MarsShotsHurtMoreOnHarderLevelsAndNotAtAllWithTheCheat) {
    LoadSounds();
    const struct {
        float factor;
        DWORD divisor;
    } levels[] = {{0.4f, 10}, {0.6f, 6}, {0.8f, 5}, {1.0f, 4}, {1.4f, 2}};
    for (const auto &level : levels) {
        EmptyWorld();
        StopAll(Sounds());
        m_app->m_fDifficultyFactor = level.factor;
        Shot(0, {0, 0, 0}, 1);
        m_app->DetectCollisions();
        EXPECT_FLOAT_EQ(m_app->m_pSpaceship->health, 1.0f - 0.5f / level.divisor) << level.factor;
        EXPECT_EQ(Playing(m_app->m_pHitSound), 0.5f / level.divisor > 0.05f) << level.factor;
    }
    EmptyWorld();
    StopAll(Sounds());
    m_app->m_nCheatCounter = kCheatComplete;
    Shot(0, {0, 0, 0}, 1);
    Body(0, {0, 0, 3}, 1);
    m_app->DetectCollisions();
    EXPECT_EQ(m_app->m_pSpaceship->health, 1.0f);
    EXPECT_FALSE(Playing(m_app->m_pHitSound));
    EXPECT_FALSE(m_app->m_pLaser->shots[0].active || m_app->m_pAsteroidField->bodies[0].active);
}

TEST_F(Collisions, ASatelliteLostInPlayCostsOneLifeEvenWhenTwoGo) {
    LoadSounds();
    PlayWave(4);
    Sat(0, {0, 0, 50});
    Sat(1, {0, 0, -50});
    Shot(0, {0, 0, 50}, 0);
    Body(0, {0, 0, -50}, 2);
    m_app->m_fStateTimer = 3.0f;
    m_app->DetectCollisions();
    EXPECT_FALSE(m_app->m_pSatellite->active[0] || m_app->m_pSatellite->active[1]);
    EXPECT_EQ(m_app->m_gameState, GameState::LifeLost);
    EXPECT_EQ(m_app->m_nLives, 2);
    EXPECT_EQ(m_app->m_nLifeLossCause, 0);
    EXPECT_EQ(m_app->m_fStateTimer, 0.0f);
    EXPECT_TRUE(Playing(m_app->m_pLoseSound));

    m_app->m_gameState = GameState::WaveCleared;
    Sat(2, {0, 0, 50});
    Shot(1, {0, 0, 50}, 0);
    m_app->DetectCollisions();
    EXPECT_FALSE(m_app->m_pSatellite->active[2]);
    EXPECT_EQ(m_app->m_nLives, 2) << "only play costs a life";
}

} // namespace
