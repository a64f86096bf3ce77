// The world update: Mars-ship kills and their points, and the sounds that follow the world.
#include "game/play_rules.h"
#include "game/sound_actions.h"
#include "tests/game/play_fixture.h"

namespace {

using WorldUpdate = play_test::PlayTest;

TEST(PlayRules, HitScoresAreIntegerQuotientsScaledInSinglePrecision) {
    const struct {
        INT points, counter;
        float factor;
        DWORD score;
    } cases[] = {{5000, 0, 1.0f, 5000}, {5000, 3, 1.4f, 2332}, {5000, 7, 0.4f, 285},
                 {5000, 1, 1.4f, 7000}, {4000, 1, 0.8f, 3200}, {0, 2, 1.0f, 0}};
    for (const auto &c : cases) {
        INT counter = c.counter;
        EXPECT_EQ(TakeHitScore(counter, c.points, c.factor), c.score)
            << c.points << "/" << c.counter;
        EXPECT_EQ(counter, 0);
    }
    EXPECT_EQ(EngineFrequency(0.0f), 4000u);
    EXPECT_EQ(EngineFrequency(0.5f), 26050u);
    EXPECT_EQ(EngineFrequency(3.0f), 44100u);
    EXPECT_EQ(EngineFrequency(-0.5f), 4000u);
    EXPECT_EQ(DistanceVolume(12.34f, 10.0f), -123);
    EXPECT_EQ(DistanceVolume(10000.0f, 10.0f), -10000);
    EXPECT_EQ(TruncateInto(std::numeric_limits<float>::quiet_NaN(), -5, 5), -5);
}

TEST_F(WorldUpdate, MarsShipsOutOfHealthDieScoringWithTheCounterAsItStood) {
    LoadSounds();
    m_app->m_gameState = GameState::Playing;
    m_app->m_fDifficultyFactor = 1.4f;
    m_app->m_nShotCounter = 3;
    Mars(1, {10, 0, 0}).health = 0.0f;
    Mars(4, {0, 10, 0}).health = -0.3f;
    m_app->m_fElapsedTime = 0.02f;
    m_app->UpdateWorld();
    EXPECT_EQ(m_app->m_dwWaveScore, 2332u + 7000u);
    EXPECT_FALSE(m_app->m_pMarsShip->records[1].active || m_app->m_pMarsShip->records[4].active);
    int kills = 0;
    for (const ExplosionRecord &blast : m_app->m_pExplosion->explosions)
        kills += blast.active && blast.sizeClass == 4 && blast.shockWave;
    EXPECT_EQ(kills, 2);
    // Each blast 10 units away takes (1 / 4) x (54 / 64) x 0.5 of the ship's health.
    EXPECT_NEAR(m_app->m_pSpaceship->health, 1.0f - 2 * 0.10546875f, 1e-5f);
    EXPECT_TRUE(Playing(m_app->m_pHitSound));
    EXPECT_TRUE(Playing(m_app->m_pExplosion1Sound));

    EmptyWorld();
    StopAll(Sounds());
    m_app->m_nCheatCounter = kCheatComplete;
    Mars(0, {10, 0, 0}).health = 0.0f;
    m_app->UpdateWorld();
    EXPECT_EQ(m_app->m_pSpaceship->health, 1.0f);
    EXPECT_FALSE(Playing(m_app->m_pHitSound));
    EXPECT_TRUE(Playing(m_app->m_pExplosion1Sound));
}

TEST_F(WorldUpdate, EngineRumbleDroneAndAlarmFollowTheWorld) {
    LoadSounds();
    m_app->m_gameState = GameState::Playing;
    m_app->m_fElapsedTime = 0.0f; // nothing moves, so the figures are exact
    m_app->m_pSpaceship->speed = 0.5f;
    Body(0, {0, 12.34f, 0}, 2);
    Mars(0, {0, 0, 100});
    m_app->UpdateWorld();
    EXPECT_EQ(Frequency(m_app->m_pEngineSound), 26050u);
    EXPECT_EQ(Volume(m_app->m_pRumbleSound), -123);
    EXPECT_TRUE(m_app->m_bTargetsRemain);

    EmptyWorld();
    m_app->UpdateWorld();
    EXPECT_EQ(Volume(m_app->m_pRumbleSound), -10000);
    EXPECT_EQ(Volume(m_app->m_pMarsShipEngineSound), -10000);
    EXPECT_FALSE(m_app->m_bTargetsRemain);

    const struct {
        GameState state;
        float health;
        bool before, after;
    } alarms[] = {
        {GameState::Playing, 0.1f, false, true},      {GameState::Playing, 0.2f, true, false},
        {GameState::WaveCleared, 0.1f, false, false}, {GameState::LifeLost, 0.1f, true, true},
        {GameState::Playing, -0.1f, true, false},
    };
    for (const auto &alarm : alarms) {
        StopAll(Sounds());
        if (alarm.before)
            m_app->m_pDangerSound->Play(0, DSBPLAY_LOOPING);
        m_app->m_gameState = alarm.state;
        m_app->m_pSpaceship->health = alarm.health;
        m_app->UpdateWorld();
        EXPECT_EQ(Playing(m_app->m_pDangerSound), alarm.after)
            << static_cast<int>(alarm.state) << " at " << alarm.health;
    }
}

TEST_F(WorldUpdate, ADamagedShipSmokesAndSparksOnlyOnItsOwnDraws) {
    m_app->m_fElapsedTime = 0.0f;
    m_app->m_pSpaceship->health = 0.5f;
    seams::SetRandomState(17);
    m_app->UpdateWorld();
    EXPECT_EQ(seams::RandomState(), 17u) << "exactly 0.5 makes no smoke draw";
    m_app->m_pSpaceship->health = 0.1f;
    for (int frame = 0; frame < 200; ++frame)
        m_app->UpdateWorld();
    int puffs = 0;
    for (const SmokePuff &puff : m_app->m_pSmoke->puffs)
        puffs += puff.active;
    EXPECT_GT(puffs, 5);
    EXPECT_GT(LiveExplosions(), 1);
}

} // namespace
