#include "game/mars_ship.h"

#include "game/flight_model.h"
#include "game/is_in_view.h"
#include "game/laser.h"
#include "game/sound_actions.h"
#include "game/spaceship.h"
#include "platform/win32/random.h"

#include <cmath>

namespace {

constexpr float kSpawnRadius = 240.0f;
constexpr float kWrapRadius = 256.0f;
constexpr float kWrapFactor = -0.98f;
constexpr float kStationBehind = 64.0f; // the chased point lies this far behind the player
constexpr float kAimedClosely = 0.995f; // cosine of the widest angle a ship fires at
constexpr float kRamDistance = 24.0f;
constexpr float kRamCone = 0.5f; // cosine of 60 degrees
constexpr float kViewRadius = 1.5f;
constexpr float kMarkRadius = 8.0f;
constexpr float kNoMarksWithin = 16.0f;
constexpr float kMarkScale = 0.25f;
constexpr float kFarAway = 10000.0f;
// Ship speeds are per update; shots and intercepts work in units per second.
constexpr float kUpdatesPerSecond = 50.0f;

D3DXVECTOR3 Transformed(const D3DXVECTOR3 &v, const D3DXMATRIX &m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

float Distance(const D3DXVECTOR3 &a, const D3DXVECTOR3 &b) {
    const D3DXVECTOR3 d = a - b;
    return D3DXVec3Length(&d);
}

// Whether the trial point, one step from the ship, is nearer the goal (+1) than the ship's
// `distance`, farther from it (-1) or neither (0).
int StepTowardGoal(const D3DXVECTOR3 &trialPoint, const D3DXVECTOR3 &goal, float distance) {
    const float trial = Distance(trialPoint, goal);
    return trial < distance ? 1 : trial > distance ? -1 : 0;
}

// Sets `closer` when the trial step gains on the goal, `farther` when it loses.
void SteerPair(int judgement, bool &closer, bool &farther) {
    if (judgement > 0)
        closer = true;
    else if (judgement < 0)
        farther = true;
}

// Sets one flag of a pair and clears the other when `length` is above or below `d`.
void OverridePair(float length, float d, bool &above, bool &below) {
    if (length > d) {
        above = true;
        below = false;
    } else if (length < d) {
        below = true;
        above = false;
    }
}

DWORD AimIterations(float skill) {
    const float iterations = skill * 6.0f;
    return iterations > 0.0f ? static_cast<DWORD>(iterations) : 0;
}

} // namespace

MarsShip::MarsShip() {
    // Nothing flies before the first spawn; the flame sits where the spawn puts it.
    D3DXMatrixTranslation(&flameOffset, 0.0f, 0.0f, -0.55f);
}

// The game never deletes its Mars ships; device resources are released by their own pair.
MarsShip::~MarsShip() = default;

void MarsShip::Spawn(DWORD count) {
    runningTime = 0.0f;
    for (shipIndex = 0; shipIndex < kMaxShips; ++shipIndex) {
        MarsShipRecord &ship = records[shipIndex];
        ship.rollRate = ship.pitchRate = ship.yawRate = ship.acceleration = ship.speed = 0.0f;
        ship.health = 1.0f;
        ship.active = 0;
    }
    // The wave table asks for at most six; never more than there are records.
    if (count > kMaxShips)
        count = kMaxShips;
    for (shipIndex = 0; shipIndex < count; ++shipIndex) {
        MarsShipRecord &ship = records[shipIndex];
        D3DXVECTOR3 direction;
        direction.z = static_cast<float>(crt::rand() % 50 - 25);
        direction.y = static_cast<float>(crt::rand() % 50 - 25);
        direction.x = static_cast<float>(crt::rand() % 50 - 25);
        D3DXVec3Normalize(&ship.position, &direction);
        ship.position *= kSpawnRadius;
        ship.orientation = DrawStartOrientation();
        ship.rollRate = ship.pitchRate = ship.yawRate = ship.acceleration = ship.speed = 0.0f;
        ship.health = 1.0f;
        ship.active = 1;
    }
    D3DXMatrixTranslation(&flameOffset, 0.0f, 0.0f, -0.55f);
}

void MarsShip::Update(float elapsed, D3DXVECTOR3 playerPosition, const D3DXMATRIX *playerRotation,
                      Laser *lasers, CSound *laserSound, float playerSpeed, float skill,
                      bool playerAlive) {
    runningTime += elapsed;
    const float t = runningTime;
    wobble = D3DXVECTOR3(std::cos(1.45f * t) / 60.0f, std::sin(2.03f * t) / 60.0f,
                         std::cos(1.78f * t) / 60.0f);

    for (shipIndex = 0; shipIndex < kMaxShips; ++shipIndex) {
        MarsShipRecord &ship = records[shipIndex];
        if (!ship.active)
            continue;
        D3DXMatrixRotationQuaternion(&steerMatrix, &ship.orientation);
        Steer(shipIndex, playerPosition, playerRotation, playerSpeed, skill, playerAlive);

        if (yawLeft)
            ship.yawRate += elapsed / 12.0f;
        if (yawRight)
            ship.yawRate -= elapsed / 12.0f;
        if (rollLeft)
            ship.rollRate -= elapsed / 10.0f;
        if (rollRight)
            ship.rollRate += elapsed / 10.0f;
        if (pitchUp)
            ship.pitchRate -= elapsed / 12.0f;
        if (pitchDown)
            ship.pitchRate += elapsed / 12.0f;
        if (thrust)
            ship.acceleration += elapsed * skill / 40.0f;

        if (fire && lasers &&
            lasers->Fire(ship.position.x, ship.position.y, ship.position.z, &steerMatrix,
                         ship.speed, static_cast<INT>(shipIndex) + 1)) {
            RestartSound(laserSound);
            SlowDown(shipIndex);
        }

        forward = Transformed(D3DXVECTOR3(0.0f, 0.0f, 1.0f), steerMatrix);
        AdvanceAlongNose(ship.position, forward, ship.speed, ship.acceleration);
        TurnAboutOwnAxis(D3DXMatrixRotationY, -ship.yawRate, yawMatrix, yawRotation,
                         ship.orientation);
        TurnAboutOwnAxis(D3DXMatrixRotationX, ship.pitchRate, pitchMatrix, pitchRotation,
                         ship.orientation);
        TurnAboutOwnAxis(D3DXMatrixRotationZ, -ship.rollRate, rollMatrix, rollRotation,
                         ship.orientation);
        rateDamping = 1.0f - 4.5f * elapsed;
        speedDamping = 1.0f - elapsed;
        DampFlight(rateDamping, speedDamping, ship.yawRate, ship.pitchRate, ship.rollRate,
                   ship.acceleration, ship.speed);

        // Never leave the player: reappear on the far side, just inside the limit.
        wrapOffset = ship.position - playerPosition;
        if (D3DXVec3Length(&wrapOffset) > kWrapRadius) {
            wrapOffset *= kWrapFactor;
            ship.position = playerPosition + wrapOffset;
        }
    }
}

void MarsShip::Steer(DWORD ship, D3DXVECTOR3 playerPosition, const D3DXMATRIX *playerRotation,
                     float playerSpeed, float skill, bool playerAlive) {
    yawLeft = yawRight = pitchUp = pitchDown = rollRight = rollLeft = thrust = fire = false;
    if (ship >= kMaxShips)
        return;
    const MarsShipRecord &self = records[ship];

    const D3DXVECTOR3 targetOffset =
        Transformed(D3DXVECTOR3(0.0f, 0.0f, -kStationBehind), *playerRotation);
    const D3DXVECTOR3 targetAxis = Transformed(D3DXVECTOR3(0.0f, 0.0f, 1.0f), *playerRotation);
    const D3DXVECTOR3 moveX = Transformed(D3DXVECTOR3(1.0f, 0.0f, 0.0f), steerMatrix);
    const D3DXVECTOR3 moveY = Transformed(D3DXVECTOR3(0.0f, 1.0f, 0.0f), steerMatrix);
    const D3DXVECTOR3 moveZ = Transformed(D3DXVECTOR3(0.0f, 0.0f, 1.0f), steerMatrix);

    // Aim where this ship's shot would meet the player, as well as the pilot's skill allows.
    // The velocity its shot would leave with, nose x (2 + speed) x 50, as the enemy reckons it.
    const D3DXVECTOR3 shotVelocity = moveZ * (2.0f + self.speed) * kUpdatesPerSecond;
    const D3DXVECTOR3 playerVelocity = targetAxis * playerSpeed * kUpdatesPerSecond;
    D3DXVECTOR3 goalDestination = ComputeInterceptPoint(self.position, shotVelocity, playerPosition,
                                                        playerVelocity, AimIterations(skill));
    const D3DXVECTOR3 shipHeading = moveZ;
    const D3DXVECTOR3 toGoal = goalDestination - self.position;
    D3DXVECTOR3 targetHeading;
    D3DXVec3Normalize(&targetHeading, &toGoal);
    if (D3DXVec3Dot(&targetHeading, &shipHeading) > kAimedClosely && playerAlive)
        fire = true;

    goalDestination = playerPosition + targetOffset;
    float distance = Distance(goalDestination, self.position);
    if (distance < kStationBehind) {
        // On station behind the player: turn to face the intercept point, no roll, no thrust.
        goalDestination =
            ComputeInterceptPoint(self.position, shotVelocity, playerPosition, playerVelocity, 6);
        distance = Distance(goalDestination, self.position);
    } else {
        const float trial = Distance(self.position + moveZ, goalDestination);
        if (trial < distance && trial > kStationBehind)
            thrust = true;
        // Stepped right, then up: the two steps are added to the position one after the other.
        SteerPair(StepTowardGoal(self.position + moveX + moveY, goalDestination, distance),
                  rollRight, rollLeft);
    }
    SteerPair(StepTowardGoal(self.position + moveX, goalDestination, distance), yawRight, yawLeft);
    SteerPair(StepTowardGoal(self.position + moveY, goalDestination, distance), pitchUp, pitchDown);

    // About to ram the player ahead: break off whatever was decided above. The sums are compared
    // with the distance before it was normalised, as the pilot always has.
    D3DXVECTOR3 toPlayer = playerPosition - self.position;
    const float d = D3DXVec3Length(&toPlayer);
    if (d < kRamDistance) {
        D3DXVec3Normalize(&toPlayer, &toPlayer);
        if (D3DXVec3Dot(&toPlayer, &shipHeading) > kRamCone) {
            const D3DXVECTOR3 rollSum = toPlayer + moveX + moveY;
            const D3DXVECTOR3 yawSum = toPlayer + moveX;
            const D3DXVECTOR3 pitchSum = toPlayer + moveY;
            OverridePair(D3DXVec3Length(&rollSum), d, rollRight, rollLeft);
            OverridePair(D3DXVec3Length(&yawSum), d, yawRight, yawLeft);
            OverridePair(D3DXVec3Length(&pitchSum), d, pitchUp, pitchDown);
        }
    }
}

void MarsShip::SlowDown(DWORD ship) {
    if (ship < kMaxShips)
        records[ship].speed -= 0.01f;
}

bool MarsShip::Damage(DWORD ship, D3DXVECTOR3 blastPoint, DWORD divisor) {
    if (ship >= kMaxShips)
        return false;
    return ApplyBlastDamage(records[ship].health, records[ship].position, blastPoint, divisor);
}

float MarsShip::GetNearestDistance(D3DXVECTOR3 point) {
    float nearest = kFarAway;
    for (shipIndex = 0; shipIndex < kMaxShips; ++shipIndex) {
        if (!records[shipIndex].active)
            continue;
        const float distance = Distance(records[shipIndex].position, point);
        if (distance < nearest)
            nearest = distance;
    }
    return nearest;
}

void MarsShip::Render(const D3DXMATRIX *viewProjection) {
    if (!device)
        return;
    for (shipIndex = 0; shipIndex < kMaxShips; ++shipIndex) {
        const MarsShipRecord &ship = records[shipIndex];
        if (!ship.active || !IsInView(&ship.position, viewProjection, kViewRadius))
            continue;
        const D3DXVECTOR3 drawn = ship.position + wobble;
        D3DXMatrixTranslation(&translationMatrix, drawn.x, drawn.y, drawn.z);
        D3DXMatrixRotationQuaternion(&rotationMatrix, &ship.orientation);
        D3DXMATRIX world = rotationMatrix * translationMatrix;
        device->SetTransform(D3DTS_WORLD, &world);
        MeshObj::Render();

        SetFlameStates(device);
        // The flicker is drawn whether or not the flame mesh loaded, so that the generator's
        // sequence does not depend on the media.
        flameSize = FlameFlicker(ship.speed);
        const float size = FlameSize(ship.speed, flameSize);
        D3DXMatrixScaling(&markScaling, size, size, size);
        world = markScaling * flameOffset * rotationMatrix * translationMatrix;
        device->SetTransform(D3DTS_WORLD, &world);
        if (flameMesh)
            flameMesh->Render();
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        device->SetRenderState(D3DRS_ZBIAS, 0);
    }
}

void MarsShip::RenderTargetMarks(const D3DXMATRIX *viewProjection, float /*elapsed*/,
                                 D3DXVECTOR3 playerPosition, const D3DXMATRIX *playerRotation,
                                 float playerSpeed) {
    if (!device)
        return;
    const D3DXVECTOR3 playerNose = Transformed(D3DXVECTOR3(0.0f, 0.0f, 1.0f), *playerRotation);
    for (shipIndex = 0; shipIndex < kMaxShips; ++shipIndex) {
        const MarsShipRecord &ship = records[shipIndex];
        if (!ship.active)
            continue;
        relativePosition = ship.position - playerPosition;
        markDistance = D3DXVec3Length(&relativePosition);
        if (markDistance < kNoMarksWithin)
            continue;
        D3DXMatrixRotationQuaternion(&rotationMatrix, &ship.orientation);
        markForward = Transformed(D3DXVECTOR3(0.0f, 0.0f, 1.0f), rotationMatrix);
        D3DXMatrixTranslation(&translationMatrix, ship.position.x, ship.position.y,
                              ship.position.z);
        D3DXMatrixScaling(&markScaling, kMarkScale, kMarkScale, kMarkScale);
        // Both marks face the way the player's ship faces.
        if (IsInView(&ship.position, viewProjection, kMarkRadius)) {
            const D3DXMATRIX world = markScaling * *playerRotation * translationMatrix;
            device->SetTransform(D3DTS_WORLD, &world);
            if (targetMarkMesh)
                targetMarkMesh->Render();
        }
        const D3DXVECTOR3 lead = ComputeInterceptPoint(
            playerPosition, playerNose * (2.0f + playerSpeed) * kUpdatesPerSecond, ship.position,
            markForward * ship.speed * kUpdatesPerSecond, 6);
        if (IsInView(&lead, viewProjection, kMarkRadius)) {
            D3DXMatrixTranslation(&translationMatrix, lead.x, lead.y, lead.z);
            const D3DXMATRIX world = markScaling * *playerRotation * translationMatrix;
            device->SetTransform(D3DTS_WORLD, &world);
            if (leadMarkMesh)
                leadMarkMesh->Render();
        }
    }
}

D3DXVECTOR3 MarsShip::GetPosition(DWORD ship) const {
    return ship < kMaxShips ? records[ship].position : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

D3DXQUATERNION MarsShip::GetOrientation(DWORD ship) const {
    return ship < kMaxShips ? records[ship].orientation : D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
}

void MarsShip::SetPosition(DWORD ship, float x, float y, float z) {
    if (ship < kMaxShips)
        records[ship].position = D3DXVECTOR3(x, y, z);
}

void MarsShip::SetOrientation(DWORD ship, D3DXQUATERNION orientation) {
    if (ship < kMaxShips)
        records[ship].orientation = orientation;
}

D3DXVECTOR3 MarsShip::GetShakeOffset(DWORD ship) const {
    return ShakeOffset(GetPosition(ship), runningTime);
}
