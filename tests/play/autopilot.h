// A pilot for whole-game tests: from the game's own state it chooses which play keys to hold, to
// turn the nose onto where a shot would meet a chosen target and fire once it is on it, or to ram
// it. It only reads the application object.
#pragma once

#include "game/asteroid_field.h"
#include "game/asteroid_game.h"
#include "game/laser.h"
#include "game/satellite.h"
#include "game/spaceship.h"

#include <cmath>
#include <optional>

namespace play_test {

struct PlayKeys {
    bool left = false, right = false, up = false, down = false, fire = false, thrust = false,
         fine = false;
};

struct Target {
    D3DXVECTOR3 position, velocity;
    float reach; // how near a shot's centre must pass to hit it
};

enum class Aim { Bodies, Satellites };

// The nearest active asteroid body (or satellite), if there is one.
inline std::optional<Target> NearestTarget(const CMyD3DApplication &app, Aim aim) {
    const D3DXVECTOR3 ship = app.m_pSpaceship->GetPosition();
    std::optional<Target> best;
    float nearest = 1e30f;
    const auto consider = [&](const Target &target) {
        const D3DXVECTOR3 offset = target.position - ship;
        const float d = D3DXVec3Length(&offset);
        if (d < nearest)
            nearest = d, best = target;
    };
    if (aim == Aim::Bodies) {
        for (const AsteroidBody &body : app.m_pAsteroidField->bodies)
            if (body.active)
                consider({body.position, body.velocity, 4.0f / body.sizeClass + 0.3f});
    } else {
        for (DWORD i = 0; i < Satellite::kMax; ++i)
            if (app.m_pSatellite->active[i])
                consider({app.m_pSatellite->positions[i], D3DXVECTOR3(0, 0, 0), 3.9f});
    }
    return best;
}

// Which of (no key, +step, -step) brings the rate nearest to `want` after this update's damping:
// 0, +1 or -1.
inline int RateKey(float rate, float want, float step, float damping) {
    const float none = std::fabs(rate * damping - want);
    const float more = std::fabs((rate + step) * damping - want);
    const float less = std::fabs((rate - step) * damping - want);
    if (more < none && more <= less)
        return 1;
    if (less < none)
        return -1;
    return 0;
}

// Keys that turn the nose toward the target's lead point (or the target itself when ramming) with
// turn rates that ease off as the nose closes in, and fire once it points there.
inline PlayKeys SteerAtTarget(const CMyD3DApplication &app, Aim aim, bool ram) {
    PlayKeys keys;
    const auto target = NearestTarget(app, aim);
    if (!target)
        return keys;
    const Spaceship &ship = *app.m_pSpaceship;
    D3DXMATRIX r;
    const D3DXQUATERNION q = ship.GetOrientation();
    D3DXMatrixRotationQuaternion(&r, &q);
    const D3DXVECTOR3 right(r._11, r._12, r._13), up(r._21, r._22, r._23),
        forward(r._31, r._32, r._33);
    const D3DXVECTOR3 position = ship.GetPosition();
    const D3DXVECTOR3 aimAt =
        ram ? target->position
            : ComputeInterceptPoint(position, forward * ((2.0f + ship.speed) * 50.0f),
                                    target->position, target->velocity, 6);
    const D3DXVECTOR3 offset = aimAt - position;
    const float x = D3DXVec3Dot(&offset, &right), y = D3DXVec3Dot(&offset, &up),
                z = D3DXVec3Dot(&offset, &forward);
    const float yawError = std::atan2(x, z);   // positive: the target is to the right
    const float pitchError = std::atan2(y, z); // positive: the target is above
    const float sensitivity = static_cast<float>(app.m_dwSteeringSensitivity) / 10.0f + 0.5f;
    const float dt = app.m_fElapsedTime > 0.0f ? app.m_fElapsedTime : 0.02f;
    // Close in, fine control: a quarter of the turn a key adds.
    keys.fine = std::fmax(std::fabs(yawError), std::fabs(pitchError)) < 0.05f;
    const float step = (keys.fine ? 0.25f : 1.0f) * dt / 12.0f * sensitivity;
    const float damping = 1.0f - 4.5f * dt;
    // A turn rate left to itself still turns the nose by about rate / (4.5 dt): aim for the rate
    // that would stop on the target.
    const float gain = 4.5f * dt;
    // Turn per update: to the right, and nose up.
    const float turnRight = -ship.yawRate * sensitivity;
    const float noseUp = (app.m_bInvertPitch ? ship.pitchRate : -ship.pitchRate) * sensitivity;
    // The aim point drifts across the view as the target flies: follow that drift as well.
    const D3DXVECTOR3 next = offset + (target->velocity * dt - forward * ship.speed);
    const float yawDrift =
        std::atan2(D3DXVec3Dot(&next, &right), D3DXVec3Dot(&next, &forward)) - yawError;
    const float pitchDrift =
        std::atan2(D3DXVec3Dot(&next, &up), D3DXVec3Dot(&next, &forward)) - pitchError;
    const int yaw = RateKey(turnRight, yawDrift + gain * yawError, step, damping);
    const int pitch = RateKey(noseUp, pitchDrift + gain * pitchError, step, damping);
    keys.right = yaw > 0;
    keys.left = yaw < 0;
    // With inverted pitch the down key turns the nose up.
    keys.down = app.m_bInvertPitch ? pitch > 0 : pitch < 0;
    keys.up = app.m_bInvertPitch ? pitch < 0 : pitch > 0;
    const float distance = D3DXVec3Length(&offset);
    const float onTarget = std::atan2(std::fmax(target->reach - 0.6f, 0.3f), distance);
    // One shot in flight at a time: every shot fired before a hit divides its points.
    bool inFlight = false;
    for (const LaserShot &shot : app.m_pLaser->shots)
        inFlight = inFlight || (shot.active && shot.gun == 0);
    keys.fire = !ram && !inFlight && z > 0.0f && std::fabs(yawError) < onTarget &&
                std::fabs(pitchError) < onTarget && distance < 300.0f;
    keys.thrust = ram && z > 0.0f && std::fabs(yawError) < 0.3f && std::fabs(pitchError) < 0.3f;
    return keys;
}

} // namespace play_test
