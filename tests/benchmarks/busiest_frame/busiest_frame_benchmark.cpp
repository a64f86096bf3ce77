// The busiest frame of play: wave 7 with a broken-up field, its six Mars ships (damaged, so they
// smoke) and two satellites, a sky full of shots, explosions and smoke, on the real device at
// 1024 x 768 (offscreen). The world update with its collision pass, and the whole frame (update,
// render, present), each beside an empty frame (clear and present) of the same device in the same
// run. Every iteration starts from the same busy world.
#include "game/asteroid_field.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/satellite.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "platform/win32/random.h"
#include "tests/benchmarks/game_process.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;
constexpr float kFrameTime = 1.0f / 60.0f;

float Spread(float range) {
    return static_cast<float>(crt::rand() % 2001 - 1000) / 1000.0f * range;
}

// Everything of the world a frame changes, to put back before the next one.
struct World {
    AsteroidBody bodies[AsteroidField::kMaxBodies];
    MarsShipRecord mars[MarsShip::kMaxShips];
    D3DXVECTOR3 satellites[Satellite::kMax];
    bool satelliteActive[Satellite::kMax];
    LaserShot shots[Laser::kMaxShots];
    float gates[Laser::kGuns];
    ExplosionRecord explosions[Explosion::kMaxExplosions];
    SmokePuff puffs[Smoke::kMaxPuffs];
    D3DXVECTOR3 shipPosition;
    D3DXQUATERNION shipOrientation;
    float shipHealth, shipSpeed;
    DWORD waveScore;
    INT shotCounter, lives;
    float timeLeft;

    void Take(const CMyD3DApplication &app) {
        std::copy(std::begin(app.m_pAsteroidField->bodies), std::end(app.m_pAsteroidField->bodies),
                  bodies);
        std::copy(std::begin(app.m_pMarsShip->records), std::end(app.m_pMarsShip->records), mars);
        std::copy(std::begin(app.m_pSatellite->positions), std::end(app.m_pSatellite->positions),
                  satellites);
        std::copy(std::begin(app.m_pSatellite->active), std::end(app.m_pSatellite->active),
                  satelliteActive);
        std::copy(std::begin(app.m_pLaser->shots), std::end(app.m_pLaser->shots), shots);
        std::copy(std::begin(app.m_pLaser->timeSinceShot), std::end(app.m_pLaser->timeSinceShot),
                  gates);
        std::copy(std::begin(app.m_pExplosion->explosions), std::end(app.m_pExplosion->explosions),
                  explosions);
        std::copy(std::begin(app.m_pSmoke->puffs), std::end(app.m_pSmoke->puffs), puffs);
        shipPosition = app.m_pSpaceship->GetPosition();
        shipOrientation = app.m_pSpaceship->GetOrientation();
        shipHealth = app.m_pSpaceship->health;
        shipSpeed = app.m_pSpaceship->speed;
        waveScore = app.m_dwWaveScore;
        shotCounter = app.m_nShotCounter;
        lives = app.m_nLives;
        timeLeft = app.m_fTimeLeft;
    }

    void Restore(CMyD3DApplication &app) const {
        std::copy(std::begin(bodies), std::end(bodies), app.m_pAsteroidField->bodies);
        std::copy(std::begin(mars), std::end(mars), app.m_pMarsShip->records);
        std::copy(std::begin(satellites), std::end(satellites), app.m_pSatellite->positions);
        std::copy(std::begin(satelliteActive), std::end(satelliteActive), app.m_pSatellite->active);
        std::copy(std::begin(shots), std::end(shots), app.m_pLaser->shots);
        std::copy(std::begin(gates), std::end(gates), app.m_pLaser->timeSinceShot);
        std::copy(std::begin(explosions), std::end(explosions), app.m_pExplosion->explosions);
        std::copy(std::begin(puffs), std::end(puffs), app.m_pSmoke->puffs);
        app.m_pSpaceship->SetPosition(shipPosition.x, shipPosition.y, shipPosition.z);
        app.m_pSpaceship->SetOrientation(shipOrientation);
        app.m_pSpaceship->health = shipHealth;
        app.m_pSpaceship->speed = shipSpeed;
        app.m_pSpaceship->yawRate = app.m_pSpaceship->pitchRate = app.m_pSpaceship->rollRate =
            app.m_pSpaceship->acceleration = 0.0f;
        app.m_dwWaveScore = waveScore;
        app.m_nShotCounter = shotCounter;
        app.m_nLives = lives;
        app.m_fTimeLeft = timeLeft;
        app.m_gameState = GameState::Playing;
        app.m_fElapsedTime = kFrameTime;
    }
};

struct Game {
    std::unique_ptr<CMyD3DApplication> app;
    World busy;

    Game() {
        game_bench::PrepareProcess();
        app = game_bench::StartGame(1024, 768);
        if (!app)
            return;
        CMyD3DApplication &a = *app;
        a.m_fElapsedTime = kFrameTime;
        a.StartNewGame(1.0f);
        a.m_nWave = 7;
        a.StartWave();
        a.m_nViewMode = 0; // the chase view draws the ship as well
        // The field broken up: its four bodies with twelve and twenty-four pieces around them.
        for (int i = 0; i < 36; ++i)
            a.m_pAsteroidField->AddBody(Spread(150.0f), Spread(150.0f), 60.0f + Spread(50.0f),
                                        i < 12 ? 2 : 3);
        // Mars ships close by, damaged enough to smoke.
        for (DWORD i = 0; i < 6; ++i) {
            MarsShipRecord &mars = a.m_pMarsShip->records[i];
            mars.position = D3DXVECTOR3(Spread(40.0f), Spread(30.0f), 30.0f + Spread(20.0f));
            mars.health = 0.4f;
        }
        for (LaserShot &shot : a.m_pLaser->shots) {
            if (&shot - a.m_pLaser->shots >= 160)
                break;
            shot.active = 1;
            shot.gun = static_cast<INT>(crt::rand() % 7);
            shot.position = D3DXVECTOR3(Spread(60.0f), Spread(60.0f), 20.0f + Spread(15.0f));
            shot.velocity = D3DXVECTOR3(Spread(1.0f), Spread(1.0f), 1.0f) * 100.0f;
            shot.speed = D3DXVec3Length(&shot.velocity);
            shot.travelled = 100.0f;
        }
        for (DWORD i = 0; i < Explosion::kMaxExplosions; ++i)
            a.m_pExplosion->Add(Spread(50.0f), Spread(40.0f), 40.0f + Spread(20.0f),
                                1 + static_cast<INT>(i % 4), i % 2 == 0);
        for (int i = 0; i < 200; ++i) {
            D3DXMATRIX rotation;
            D3DXMatrixRotationY(&rotation, Spread(3.0f));
            a.m_pSmoke->Add(Spread(40.0f), Spread(30.0f), 30.0f + Spread(20.0f), &rotation, 0.3f);
        }
        // Ages spread over the pools' lives, so every animation frame shows.
        for (DWORD i = 0; i < Explosion::kMaxExplosions; ++i)
            a.m_pExplosion->explosions[i].age = 1.9f * static_cast<float>(i) / 32.0f;
        for (DWORD i = 0; i < Smoke::kMaxPuffs; ++i)
            a.m_pSmoke->puffs[i].age = 1.9f * static_cast<float>(i) / 128.0f;
        a.m_nCheatCounter = 10; // the ship lives through it all
        busy.Take(a);
    }

    ~Game() { game_bench::CloseGame(app); }

    // Microseconds of a clear-and-present frame on this device, averaged over many.
    double EmptyFrameMicroseconds() {
        IDirect3DDevice8 *device = app->m_pDevice;
        const auto once = [device] { game_bench::PresentEmptyFrame(device); };
        for (int i = 0; i < 20; ++i)
            once();
        const int count = 200;
        const auto start = Clock::now();
        for (int i = 0; i < count; ++i)
            once();
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
    }
};

Game &TheGame() {
    static Game game;
    return game;
}

// Runs `step` once per iteration from the busy world and reports its mean time beside the empty
// frame's.
template <typename Step> void Measure(benchmark::State &state, Step step) {
    Game &game = TheGame();
    if (!game.app) {
        state.SkipWithError("start-up failed");
        return;
    }
    const double empty = game.EmptyFrameMicroseconds();
    double spent = 0.0;
    long runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        game.busy.Restore(*game.app);
        state.ResumeTiming();
        const auto start = Clock::now();
        step(*game.app);
        spent += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        ++runs;
    }
    const double mean = runs ? spent / static_cast<double>(runs) : 0.0;
    state.counters["mean_us"] = mean;
    state.counters["empty_frame_us"] = empty;
    state.counters["ratio_to_empty"] = empty > 0.0 ? mean / empty : 0.0;
}

void WorldUpdateAndCollisions(benchmark::State &state) {
    Measure(state, [](CMyD3DApplication &app) { app.UpdateWorld(); });
}
BENCHMARK(WorldUpdateAndCollisions)->Unit(benchmark::kMicrosecond);

void CollisionPassAlone(benchmark::State &state) {
    Measure(state, [](CMyD3DApplication &app) { app.DetectCollisions(); });
}
BENCHMARK(CollisionPassAlone)->Unit(benchmark::kMicrosecond);

void WholeFrame(benchmark::State &state) {
    Measure(state, [](CMyD3DApplication &app) {
        app.UpdateFrame();
        app.RenderFrame();
        app.m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    });
}
BENCHMARK(WholeFrame)->Unit(benchmark::kMillisecond);

void EmptyFrame(benchmark::State &state) {
    Measure(state, [](CMyD3DApplication &app) { game_bench::PresentEmptyFrame(app.m_pDevice); });
}
BENCHMARK(EmptyFrame)->Unit(benchmark::kMillisecond);

} // namespace
