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

} // namespace

void CMyD3DApplication::DetectCollisions() {
    Spaceship &ship = *m_pSpaceship;
    MarsShipRecord *const mars = m_pMarsShip->records;
    D3DXVECTOR3 *const satellites = m_pSatellite->positions;
    bool *const satelliteActive = m_pSatellite->active;
    LaserShot *const shots = m_pLaser->shots;
    AsteroidBody *const bodies = m_pAsteroidField->bodies;
    const bool cheat = m_nCheatCounter == kCheatComplete;

    const auto blastSound = [this] { PlaySoundOnce(m_pExplosion1Sound); };
    const auto bodySound = [this](const AsteroidBody &body) {
        PlaySoundOnce(body.sizeClass == 1 ? m_pExplosion1Sound : m_pExplosion2Sound);
    };
    const auto hitSound = [this] { PlaySoundIfIdle(m_pHitSound); };
    const auto shipBlast = [&](const D3DXVECTOR3 &at, DWORD divisor) {
        if (!cheat && ship.Damage(at, divisor))
            hitSound();
    };
    const auto explode = [this](const D3DXVECTOR3 &at, INT size, bool shockWave) {
        m_pExplosion->Add(at.x, at.y, at.z, size, shockWave);
    };
    // The pieces are added while the body is still live, so they take other slots.
    const auto split = [this](const AsteroidBody &body) {
        if (body.sizeClass > kSmallestBreakingBody)
            return;
        const int pieces =
            body.sizeClass == kLargestBodyMakesThree && m_fDifficultyFactor >= 1.0f ? 3 : 2;
        const D3DXVECTOR3 at = body.position;
        const DWORD size = body.sizeClass + 1;
        for (int i = 0; i < pieces; ++i)
            m_pAsteroidField->AddBody(at.x, at.y, at.z, size);
    };
    const auto satelliteLost = [this] {
        if (m_gameState != GameState::Playing)
            return;
        RewindAndPlaySound(m_pLoseSound);
        --m_nLives;
        m_fStateTimer = 0.0f;
        m_gameState = GameState::LifeLost;
        m_nLifeLossCause = kLifeLostSatellite;
    };
    const auto score = [this](INT points) {
        m_dwWaveScore += TakeHitScore(m_nShotCounter, points, m_fDifficultyFactor);
    };
    const auto shipAlive = [&ship] { return ship.health > 0.0f; };

    // The player's ship against everything; a destroyed ship no longer collides.
    for (DWORD i = 0; i < MarsShip::kMaxShips && shipAlive(); ++i) {
        if (mars[i].active && Touch(ship.GetPosition(), mars[i].position, kShipMarsShip)) {
            mars[i].active = 0;
            blastSound();
            explode(mars[i].position, kBlastSize, true);
            shipBlast(mars[i].position, 1);
        }
    }
    for (DWORD i = 0; i < Satellite::kMax && shipAlive(); ++i) {
        if (satelliteActive[i] && Touch(ship.GetPosition(), satellites[i], kShipSatellite)) {
            satelliteActive[i] = false;
            blastSound();
            explode(satellites[i], kBlastSize, true);
            shipBlast(satellites[i], 1);
            satelliteLost();
        }
    }
    // Harder levels make the Mars ships' shots hurt more: divisors 10, 6, 5, 4, 2.
    const DWORD shotDivisor =
        static_cast<DWORD>(TruncateInto(10.0f / (m_fDifficultyFactor * 2.5f), 1, 0x7FFFFFFF));
    for (DWORD s = 0; s < Laser::kMaxShots && shipAlive(); ++s) {
        LaserShot &shot = shots[s];
        if (shot.active && shot.gun != 0 && Touch(ship.GetPosition(), shot.position, kShipShot)) {
            shot.active = 0;
            explode(shot.position, kShotBlastSize, false);
            if (!cheat && ship.Damage(shot.position, shotDivisor))
                RestartSound(m_pHitSound);
        }
    }
    for (DWORD b = 0; b < AsteroidField::kMaxBodies && shipAlive(); ++b) {
        AsteroidBody &body = bodies[b];
        if (body.active && Touch(ship.GetPosition(), body.position, BodyReach(body) + kShipBody)) {
            bodySound(body);
            split(body);
            body.active = 0;
            explode(body.position, static_cast<INT>(body.sizeClass), true);
            shipBlast(body.position, body.sizeClass);
        }
    }

    // Each Mars ship against the other Mars ships, the satellites, the shots and the bodies.
    for (DWORD i = 0; i < MarsShip::kMaxShips; ++i) {
        MarsShipRecord &self = mars[i];
        for (DWORD j = 0; j < MarsShip::kMaxShips && self.active; ++j) {
            if (j != i && mars[j].active &&
                Touch(self.position, mars[j].position, kMarsShipMarsShip)) {
                self.active = 0;
                mars[j].active = 0;
                blastSound();
                explode(mars[j].position, 1, true);
                explode(self.position, 2, true);
            }
        }
        for (DWORD k = 0; k < Satellite::kMax && self.active; ++k) {
            if (satelliteActive[k] && Touch(self.position, satellites[k], kMarsShipSatellite)) {
                satelliteActive[k] = false;
                blastSound();
                explode(satellites[k], kBlastSize, true);
                if (m_pMarsShip->Damage(i, satellites[k], 1))
                    hitSound();
                satelliteLost();
            }
        }
        // Any shot but its own: the player's and the other Mars ships' score for the player.
        for (DWORD s = 0; s < Laser::kMaxShots && self.active; ++s) {
            LaserShot &shot = shots[s];
            if (shot.active && shot.gun != static_cast<INT>(i) + 1 &&
                Touch(self.position, shot.position, kMarsShipShot)) {
                shot.active = 0;
                explode(shot.position, kShotBlastSize, false);
                score(kMarsShipShotPoints);
                if (m_pMarsShip->Damage(i, shot.position, kMarsShipShotDivisor))
                    RestartSound(m_pHitSound);
            }
        }
        for (DWORD b = 0; b < AsteroidField::kMaxBodies && self.active; ++b) {
            AsteroidBody &body = bodies[b];
            if (body.active &&
                Touch(self.position, body.position, BodyReach(body) + kMarsShipBody)) {
                bodySound(body);
                split(body);
                body.active = 0;
                explode(body.position, static_cast<INT>(body.sizeClass), true);
                if (m_pMarsShip->Damage(i, body.position, body.sizeClass))
                    hitSound();
            }
        }
    }

    // Each satellite against every shot, whoever fired it, and every body.
    for (DWORD k = 0; k < Satellite::kMax; ++k) {
        for (DWORD s = 0; s < Laser::kMaxShots && satelliteActive[k]; ++s) {
            LaserShot &shot = shots[s];
            if (shot.active && Touch(satellites[k], shot.position, kSatelliteShot)) {
                shot.active = 0;
                satelliteActive[k] = false;
                blastSound();
                explode(satellites[k], kBlastSize, true);
                satelliteLost();
            }
        }
        for (DWORD b = 0; b < AsteroidField::kMaxBodies && satelliteActive[k]; ++b) {
            AsteroidBody &body = bodies[b];
            if (body.active &&
                Touch(satellites[k], body.position, BodyReach(body) + kSatelliteBody)) {
                bodySound(body);
                split(body);
                body.active = 0;
                satelliteActive[k] = false;
                explode(body.position, static_cast<INT>(body.sizeClass), true);
                explode(satellites[k], kBlastSize, true);
                satelliteLost();
            }
        }
    }

    // Every shot against every body: whoever fired it, the player scores.
    for (DWORD s = 0; s < Laser::kMaxShots; ++s) {
        LaserShot &shot = shots[s];
        for (DWORD b = 0; b < AsteroidField::kMaxBodies && shot.active; ++b) {
            AsteroidBody &body = bodies[b];
            if (body.active && Touch(shot.position, body.position, BodyReach(body) + kShotBody)) {
                score(body.sizeClass < 5 ? static_cast<INT>(5 - body.sizeClass) * 1000 : 0);
                bodySound(body);
                split(body);
                body.active = 0;
                shot.active = 0;
                explode(body.position, static_cast<INT>(body.sizeClass), true);
                shipBlast(body.position, body.sizeClass);
            }
        }
    }
}
