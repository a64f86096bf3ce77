// The cost of one world update with every pool busy: a full field of 256 bodies, 256 shots in
// flight, 32 blasts and 128 smoke puffs; of eight Mars ships flying and firing among a full field;
// and of the view test every drawn object makes.
#include "game/asteroid_field.h"
#include "game/explosion.h"
#include "game/is_in_view.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/smoke.h"
#include "platform/test_seams.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr float kStep = 1.0f / 30.0f;
// Shots at 100 units per second expire after 384 units, blasts after two seconds: refilling
// every 50 updates keeps every pool full for the whole run.
constexpr int kRefillEvery = 50;

struct World {
    AsteroidField field;
    Laser lasers;
    Explosion explosions;
    Smoke smoke;

    void Fill() {
        for (DWORD i = 0; i < Laser::kMaxShots; ++i) {
            LaserShot &s = lasers.shots[i];
            s.position = D3DXVECTOR3(float(i % 16), float(i / 16), 0.0f);
            s.velocity = D3DXVECTOR3(0.0f, 0.0f, 100.0f);
            s.speed = 100.0f;
            s.travelled = 0.0f;
            s.gun = int(i % Laser::kGuns);
            s.active = 1;
        }
        explosions.Clear();
        for (DWORD i = 0; i < Explosion::kMaxExplosions; ++i)
            explosions.Add(float(i), 0.0f, 50.0f, 1 + int(i % 3), i % 2 == 0);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        smoke.Clear();
        for (DWORD i = 0; i < Smoke::kMaxPuffs; ++i)
            smoke.Add(0.0f, 0.0f, float(i), &identity, 1.0f);
    }
};

void BM_WorldUpdateFullPools(benchmark::State &state) {
    seams::SetRandomState(1);
    auto world = std::make_unique<World>();
    world->field.InitField(AsteroidField::kMaxBodies);
    world->Fill();
    int updates = 0;
    float shipZ = 0.0f;
    for (auto _ : state) {
        if (++updates % kRefillEvery == 0) {
            state.PauseTiming();
            world->Fill();
            state.ResumeTiming();
        }
        shipZ += 0.5f;
        benchmark::DoNotOptimize(world->field.Update(kStep, 0.0f, 0.0f, shipZ));
        world->lasers.Update(kStep);
        world->explosions.Update(kStep);
        world->smoke.Update(kStep);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WorldUpdateFullPools)->Unit(benchmark::kMicrosecond);

// The field alone, to tell its share of the update from the pools'.
void BM_FieldUpdate256(benchmark::State &state) {
    seams::SetRandomState(1);
    auto field = std::make_unique<AsteroidField>();
    field->InitField(AsteroidField::kMaxBodies);
    float shipZ = 0.0f;
    for (auto _ : state) {
        shipZ += 0.5f;
        benchmark::DoNotOptimize(field->Update(kStep, 0.0f, 0.0f, shipZ));
    }
    state.SetItemsProcessed(state.iterations() * AsteroidField::kMaxBodies);
}
BENCHMARK(BM_FieldUpdate256)->Unit(benchmark::kMicrosecond);

// A full field with the most Mars ships there can be, each steering, aiming and firing through the
// shared laser pool at a player flying straight on as in the field-only case above.
void BM_FieldWithEightMarsShips(benchmark::State &state) {
    seams::SetRandomState(1);
    auto field = std::make_unique<AsteroidField>();
    auto ships = std::make_unique<MarsShip>();
    auto lasers = std::make_unique<Laser>();
    field->InitField(AsteroidField::kMaxBodies);
    ships->Spawn(MarsShip::kMaxShips);
    lasers->Update(1.0f); // every gun ready
    D3DXMATRIX playerRotation;
    D3DXMatrixIdentity(&playerRotation);
    float shipZ = 0.0f;
    long shots = 0;
    for (auto _ : state) {
        shipZ += 0.5f;
        benchmark::DoNotOptimize(field->Update(kStep, 0.0f, 0.0f, shipZ));
        ships->Update(kStep, D3DXVECTOR3(0.0f, 0.0f, shipZ), &playerRotation, lasers.get(), nullptr,
                      0.5f, 1.0f, true);
        for (int gun = 1; gun <= int(MarsShip::kMaxShips); ++gun)
            shots += lasers->timeSinceShot[gun] == 0.0f; // fired in this update
        lasers->Update(kStep);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["shots"] = benchmark::Counter(double(shots) / double(state.iterations()));
}
BENCHMARK(BM_FieldWithEightMarsShips)->Unit(benchmark::kMicrosecond);

// The view test alone, over the field's 256 body positions seen from a chase-like camera.
void BM_IsInView(benchmark::State &state) {
    seams::SetRandomState(1);
    auto field = std::make_unique<AsteroidField>();
    field->InitField(AsteroidField::kMaxBodies);
    D3DXMATRIX view, projection, viewProjection;
    const D3DXVECTOR3 eye(0, 1, -5), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 4, 4.0f / 3.0f, 1.0f, 512.0f);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    int visible = 0;
    for (auto _ : state) {
        for (const AsteroidBody &body : field->bodies)
            visible += IsInView(&body.position, &viewProjection, 4.0f);
        benchmark::DoNotOptimize(visible);
    }
    state.SetItemsProcessed(state.iterations() * AsteroidField::kMaxBodies);
    state.counters["visible"] = benchmark::Counter(double(visible) / double(state.iterations()));
}
BENCHMARK(BM_IsInView)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
