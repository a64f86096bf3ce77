// One frame of the world in play: every object moves, the collision pass runs, damaged ships smoke
// and spark, destroyed Mars ships score, and the world's sounds follow.
#include "game/asteroid_game.h"

#include "game/asteroid_field.h"
#include "game/debris.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/play_rules.h"
#include "game/satellite.h"
#include "game/ship_health.h"
#include "game/smoke.h"
#include "game/sound_actions.h"
#include "game/spaceship.h"

#include "platform/win32/random.h"

namespace {

// A ship below this health trails smoke, one puff in ten updates on average.
constexpr float kSmokingHealth = 0.5f;
// A ship below this health throws sparks (one small blast in 25 updates) and sounds the alarm.
constexpr float kBurningHealth = 0.2f;
constexpr INT kSparkSize = 20;
constexpr INT kMarsKillPoints = 5000;
constexpr INT kMarsKillBlastSize = 4;
constexpr DWORD kMarsKillBlastDivisor = 4;

} // namespace

void CMyD3DApplication::UpdateWorld() {
    const float dt = m_fElapsedTime;
    Spaceship &ship = *m_pSpaceship;

    const D3DXQUATERNION orientation = ship.GetOrientation();
    D3DXMatrixRotationQuaternion(&m_matShipRotation, &orientation);
    m_pDebris->Update(ship.GetPosition());
    const bool alive = ship.health > 0.0f;
    m_pMarsShip->Update(dt, ship.GetPosition(), &m_matShipRotation, m_pLaser, m_pMarsShipLaserSound,
                        ship.speed, m_fDifficultyFactor, alive);
    ship.Update(dt, m_bInvertPitch, static_cast<float>(m_dwSteeringSensitivity) / 10.0f + 0.5f,
                m_bHeadlight);
    {
        const D3DXVECTOR3 p = ship.GetPosition();
        m_bTargetsRemain = m_pAsteroidField->Update(dt, p.x, p.y, p.z);
    }
    m_pSatellite->Update(ship.GetPosition());
    m_pLaser->Update(dt);
    m_pSmoke->Update(dt);
    m_pExplosion->Update(dt);
    m_pShipHealth->Update(dt, ship.health);

    DetectCollisions();

    // Damage shows: smoke, then sparks, each drawn only when the health calls for it, after every
    // draw of the collision pass.
    if (ship.health < kSmokingHealth && crt::rand() % 10 == 0) {
        const D3DXVECTOR3 p = ship.GetPosition();
        m_pSmoke->Add(p.x, p.y, p.z, &m_matShipRotation, ship.speed);
    }
    if (ship.health < kBurningHealth && crt::rand() % 25 == 0) {
        const D3DXVECTOR3 p = ship.GetPosition();
        m_pExplosion->Add(p.x, p.y, p.z, kSparkSize, false);
    }

    for (DWORD i = 0; i < MarsShip::kMaxShips; ++i) {
        MarsShipRecord &mars = m_pMarsShip->records[i];
        if (!mars.active)
            continue;
        D3DXMATRIX rotation;
        D3DXMatrixRotationQuaternion(&rotation, &mars.orientation);
        const D3DXVECTOR3 at = mars.position;
        if (mars.health < kSmokingHealth && crt::rand() % 10 == 0)
            m_pSmoke->Add(at.x, at.y, at.z, &rotation, mars.speed);
        if (mars.health < kBurningHealth && crt::rand() % 25 == 0)
            m_pExplosion->Add(at.x, at.y, at.z, kSparkSize, false);
        if (mars.health <= 0.0f) {
            mars.active = 0;
            m_dwWaveScore += TakeHitScore(m_nShotCounter, kMarsKillPoints, m_fDifficultyFactor);
            m_pExplosion->Add(at.x, at.y, at.z, kMarsKillBlastSize, true);
            if (m_nCheatCounter != kCheatComplete && ship.Damage(at, kMarsKillBlastDivisor) &&
                !IsSoundPlaying(m_pHitSound))
                PlaySoundOnce(m_pHitSound);
            PlaySoundOnce(m_pExplosion1Sound);
        }
    }

    SetSoundFrequency(m_pEngineSound, EngineFrequency(ship.speed));

    if (m_pDangerSound) {
        if (ship.health < kBurningHealth && m_gameState == GameState::Playing &&
            !IsSoundPlaying(m_pDangerSound))
            PlaySoundLooping(m_pDangerSound);
        if (ship.health >= kBurningHealth)
            StopSound(m_pDangerSound);
        else if (ship.health <= 0.0f)
            StopSoundIfPlaying(m_pDangerSound);
    }

    {
        const D3DXVECTOR3 p = ship.GetPosition();
        SetSoundVolume(m_pRumbleSound,
                       DistanceVolume(m_pAsteroidField->GetNearestDistance(p.x, p.y, p.z), 10.0f));
    }
    SetSoundVolume(m_pMarsShipEngineSound,
                   DistanceVolume(m_pMarsShip->GetNearestDistance(ship.GetPosition()), 30.0f));
}
