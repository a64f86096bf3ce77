// The collision pass: every contact of the frame between the ship, the Mars ships, the satellites,
// the shots and the asteroid bodies, with its explosions, damage, sounds and points.
#include "game/asteroid_game.h"

#include "game/asteroid_field.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/play_rules.h"
#include "game/satellite.h"
#include "game/sound_actions.h"
#include "game/spaceship.h"

namespace {

// Contact distances between centres; a body's own reach (4 / size class) comes on top of the
// figures marked "+ body".
constexpr float kShipMarsShip = 1.95f;
constexpr float kShipSatellite = 4.55f;
constexpr float kShipShot = 1.25f;
constexpr float kShipBody = 0.95f; // + body
constexpr float kMarsShipMarsShip = 2.0f;
constexpr float kMarsShipSatellite = 4.6f;
constexpr float kMarsShipShot = 1.3f;
constexpr float kMarsShipBody = 1.0f; // + body
constexpr float kSatelliteShot = 3.9f;
constexpr float kSatelliteBody = 3.6f; // + body
constexpr float kShotBody = 0.3f;      // + body

constexpr INT kBlastSize = 1;
constexpr INT kShotBlastSize = 20;
constexpr INT kMarsShipShotPoints = 500;
constexpr DWORD kMarsShipShotDivisor = 4;
constexpr DWORD kLargestBodyMakesThree = 1;
constexpr DWORD kSmallestBreakingBody = 2;

bool Touch(const D3DXVECTOR3 &a, const D3DXVECTOR3 &b, float reach) {
    const D3DXVECTOR3 offset = a - b;
    return D3DXVec3Length(&offset) < reach;
}

float BodyReach(const AsteroidBody &body) {
    return 4.0f / static_cast<float>(body.sizeClass);
}

// One frame's collision pass over the application's world. Each family of pairs is one method,
// run in a fixed order; a change is seen at once by the later tests, so an object destroyed early
// takes part in no later test, and a piece added by a split can be hit later in the same pass.
class CollisionPass {
public:
    explicit CollisionPass(CMyD3DApplication &game)
        : app(game), ship(*game.m_pSpaceship), mars(game.m_pMarsShip->records),
          satellites(game.m_pSatellite->positions), satelliteActive(game.m_pSatellite->active),
          shots(game.m_pLaser->shots), bodies(game.m_pAsteroidField->bodies),
          cheat(game.m_nCheatCounter == kCheatComplete) {}

    void Run() {
        // The player's ship against everything; a destroyed ship no longer collides.
        ShipWithMarsShips();
        ShipWithSatellites();
        ShipWithEnemyShots();
        ShipWithBodies();
        // Each Mars ship against the other Mars ships, the satellites, the shots and the bodies.
        for (DWORD i = 0; i < MarsShip::kMaxShips; ++i) {
            MarsShipWithMarsShips(i);
            MarsShipWithSatellites(i);
            MarsShipWithShots(i);
            MarsShipWithBodies(i);
        }
        // Each satellite against every shot, whoever fired it, and every body.
        for (DWORD k = 0; k < Satellite::kMax; ++k) {
            SatelliteWithShots(k);
            SatelliteWithBodies(k);
        }
        ShotsWithBodies();
    }

private:
    bool ShipAlive() const { return ship.health > 0.0f; }

    void BlastSound() { PlaySoundOnce(app.m_pExplosion1Sound); }
    void BodySound(const AsteroidBody &body) {
        PlaySoundOnce(body.sizeClass == 1 ? app.m_pExplosion1Sound : app.m_pExplosion2Sound);
    }
    void HitSound() { PlaySoundIfIdle(app.m_pHitSound); }
    void ShipBlast(const D3DXVECTOR3 &at, DWORD divisor) {
        if (!cheat && ship.Damage(at, divisor))
            HitSound();
    }
    void Explode(const D3DXVECTOR3 &at, INT size, bool shockWave) {
        app.m_pExplosion->Add(at.x, at.y, at.z, size, shockWave);
    }
    // The pieces are added while the body is still live, so they take other slots.
    void Split(const AsteroidBody &body) {
        if (body.sizeClass > kSmallestBreakingBody)
            return;
        const int pieces =
            body.sizeClass == kLargestBodyMakesThree && app.m_fDifficultyFactor >= 1.0f ? 3 : 2;
        const D3DXVECTOR3 at = body.position;
        const DWORD size = body.sizeClass + 1;
        for (int i = 0; i < pieces; ++i)
            app.m_pAsteroidField->AddBody(at.x, at.y, at.z, size);
    }
    void SatelliteLost() {
        if (app.m_gameState != GameState::Playing)
            return;
        RewindAndPlaySound(app.m_pLoseSound);
        --app.m_nLives;
        app.m_fStateTimer = 0.0f;
        app.m_gameState = GameState::LifeLost;
        app.m_nLifeLossCause = kLifeLostSatellite;
    }
    void Score(INT points) {
        app.m_dwWaveScore += TakeHitScore(app.m_nShotCounter, points, app.m_fDifficultyFactor);
    }

    void ShipWithMarsShips() {
        for (DWORD i = 0; i < MarsShip::kMaxShips && ShipAlive(); ++i) {
            if (mars[i].active && Touch(ship.GetPosition(), mars[i].position, kShipMarsShip)) {
                mars[i].active = 0;
                BlastSound();
                Explode(mars[i].position, kBlastSize, true);
                ShipBlast(mars[i].position, 1);
            }
        }
    }

    void ShipWithSatellites() {
        for (DWORD i = 0; i < Satellite::kMax && ShipAlive(); ++i) {
            if (satelliteActive[i] && Touch(ship.GetPosition(), satellites[i], kShipSatellite)) {
                satelliteActive[i] = false;
                BlastSound();
                Explode(satellites[i], kBlastSize, true);
                ShipBlast(satellites[i], 1);
                SatelliteLost();
            }
        }
    }

    // Only the Mars ships' shots hit the player's ship.
    void ShipWithEnemyShots() {
        // Harder levels make the Mars ships' shots hurt more: divisors 10, 6, 5, 4, 2.
        const DWORD shotDivisor = static_cast<DWORD>(
            TruncateInto(10.0f / (app.m_fDifficultyFactor * 2.5f), 1, 0x7FFFFFFF));
        for (DWORD s = 0; s < Laser::kMaxShots && ShipAlive(); ++s) {
            LaserShot &shot = shots[s];
            if (shot.active && shot.gun != 0 &&
                Touch(ship.GetPosition(), shot.position, kShipShot)) {
                shot.active = 0;
                Explode(shot.position, kShotBlastSize, false);
                if (!cheat && ship.Damage(shot.position, shotDivisor))
                    RestartSound(app.m_pHitSound);
            }
        }
    }

    void ShipWithBodies() {
        for (DWORD b = 0; b < AsteroidField::kMaxBodies && ShipAlive(); ++b) {
            AsteroidBody &body = bodies[b];
            if (body.active &&
                Touch(ship.GetPosition(), body.position, BodyReach(body) + kShipBody)) {
                BodySound(body);
                Split(body);
                body.active = 0;
                Explode(body.position, static_cast<INT>(body.sizeClass), true);
                ShipBlast(body.position, body.sizeClass);
            }
        }
    }

    void MarsShipWithMarsShips(DWORD i) {
        MarsShipRecord &self = mars[i];
        for (DWORD j = 0; j < MarsShip::kMaxShips && self.active; ++j) {
            if (j != i && mars[j].active &&
                Touch(self.position, mars[j].position, kMarsShipMarsShip)) {
                self.active = 0;
                mars[j].active = 0;
                BlastSound();
                Explode(mars[j].position, 1, true);
                Explode(self.position, 2, true);
            }
        }
    }

    void MarsShipWithSatellites(DWORD i) {
        MarsShipRecord &self = mars[i];
        for (DWORD k = 0; k < Satellite::kMax && self.active; ++k) {
            if (satelliteActive[k] && Touch(self.position, satellites[k], kMarsShipSatellite)) {
                satelliteActive[k] = false;
                BlastSound();
                Explode(satellites[k], kBlastSize, true);
                if (app.m_pMarsShip->Damage(i, satellites[k], 1))
                    HitSound();
                SatelliteLost();
            }
        }
    }

    // Any shot but its own: the player's and the other Mars ships' score for the player.
    void MarsShipWithShots(DWORD i) {
        MarsShipRecord &self = mars[i];
        for (DWORD s = 0; s < Laser::kMaxShots && self.active; ++s) {
            LaserShot &shot = shots[s];
            if (shot.active && shot.gun != static_cast<INT>(i) + 1 &&
                Touch(self.position, shot.position, kMarsShipShot)) {
                shot.active = 0;
                Explode(shot.position, kShotBlastSize, false);
                Score(kMarsShipShotPoints);
                if (app.m_pMarsShip->Damage(i, shot.position, kMarsShipShotDivisor))
                    RestartSound(app.m_pHitSound);
            }
        }
    }

    void MarsShipWithBodies(DWORD i) {
        MarsShipRecord &self = mars[i];
        for (DWORD b = 0; b < AsteroidField::kMaxBodies && self.active; ++b) {
            AsteroidBody &body = bodies[b];
            if (body.active &&
                Touch(self.position, body.position, BodyReach(body) + kMarsShipBody)) {
                BodySound(body);
                Split(body);
                body.active = 0;
                Explode(body.position, static_cast<INT>(body.sizeClass), true);
                if (app.m_pMarsShip->Damage(i, body.position, body.sizeClass))
                    HitSound();
            }
        }
    }

    void SatelliteWithShots(DWORD k) {
        for (DWORD s = 0; s < Laser::kMaxShots && satelliteActive[k]; ++s) {
            LaserShot &shot = shots[s];
            if (shot.active && Touch(satellites[k], shot.position, kSatelliteShot)) {
                shot.active = 0;
                satelliteActive[k] = false;
                BlastSound();
                Explode(satellites[k], kBlastSize, true);
                SatelliteLost();
            }
        }
    }

    void SatelliteWithBodies(DWORD k) {
        for (DWORD b = 0; b < AsteroidField::kMaxBodies && satelliteActive[k]; ++b) {
            AsteroidBody &body = bodies[b];
            if (body.active &&
                Touch(satellites[k], body.position, BodyReach(body) + kSatelliteBody)) {
                BodySound(body);
                Split(body);
                body.active = 0;
                satelliteActive[k] = false;
                Explode(body.position, static_cast<INT>(body.sizeClass), true);
                Explode(satellites[k], kBlastSize, true);
                SatelliteLost();
            }
        }
    }

    // Every shot against every body: whoever fired it, the player scores.
    void ShotsWithBodies() {
        for (DWORD s = 0; s < Laser::kMaxShots; ++s) {
            LaserShot &shot = shots[s];
            for (DWORD b = 0; b < AsteroidField::kMaxBodies && shot.active; ++b) {
                AsteroidBody &body = bodies[b];
                if (body.active &&
                    Touch(shot.position, body.position, BodyReach(body) + kShotBody)) {
                    Score(body.sizeClass < 5 ? static_cast<INT>(5 - body.sizeClass) * 1000 : 0);
                    BodySound(body);
                    Split(body);
                    body.active = 0;
                    shot.active = 0;
                    Explode(body.position, static_cast<INT>(body.sizeClass), true);
                    ShipBlast(body.position, body.sizeClass);
                }
            }
        }
    }

    CMyD3DApplication &app;
    Spaceship &ship;
    MarsShipRecord *const mars;
    D3DXVECTOR3 *const satellites;
    bool *const satelliteActive;
    LaserShot *const shots;
    AsteroidBody *const bodies;
    const bool cheat;
};

} // namespace

void CMyD3DApplication::DetectCollisions() {
    CollisionPass(*this).Run();
}
