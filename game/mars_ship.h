// The enemy Mars ships: up to eight pilots with the player's kind of flight model, steered by a
// small rule-based pilot that aims, fires, chases a point behind the player and breaks off before
// ramming; drawn with engine flames and, in the cockpit view, target and lead marks.
#pragma once

#include "game/meshobj.h"

class Laser;
class CSound;

struct MarsShipRecord {
    D3DXVECTOR3 position;
    D3DXQUATERNION orientation;
    float health;
    float rollRate;     // radians per update
    float pitchRate;    // radians per update
    float yawRate;      // radians per update
    float acceleration; // added to the speed once per update
    float speed;        // distance along the nose per update
    BYTE active;
};

class MarsShip : public MeshObj {
public:
    static constexpr DWORD kMaxShips = 8;

    MarsShip();
    ~MarsShip() override;

    void Spawn(DWORD count);
    void Update(float elapsed, D3DXVECTOR3 playerPosition, const D3DXMATRIX *playerRotation,
                Laser *lasers, CSound *laserSound, float playerSpeed, float skill,
                bool playerAlive);
    void Steer(DWORD ship, D3DXVECTOR3 playerPosition, const D3DXMATRIX *playerRotation,
               float playerSpeed, float skill, bool playerAlive);
    void SlowDown(DWORD ship);
    bool Damage(DWORD ship, D3DXVECTOR3 blastPoint, DWORD divisor);
    float GetNearestDistance(D3DXVECTOR3 point);
    void Render(const D3DXMATRIX *viewProjection);
    void RenderTargetMarks(const D3DXMATRIX *viewProjection, float elapsed,
                           D3DXVECTOR3 playerPosition, const D3DXMATRIX *playerRotation,
                           float playerSpeed);
    D3DXVECTOR3 GetPosition(DWORD ship) const;
    D3DXQUATERNION GetOrientation(DWORD ship) const;
    void SetPosition(DWORD ship, float x, float y, float z);
    void SetOrientation(DWORD ship, D3DXQUATERNION orientation);
    D3DXVECTOR3 GetShakeOffset(DWORD ship) const;

    DWORD shipIndex = 0;
    DWORD materialIndex = 0; // the hull draws through MeshObj::Render, which counts its own
    D3DXMATRIX markScaling;
    D3DXMATRIX translationMatrix;
    D3DXMATRIX flameOffset;
    D3DXMATRIX rotationMatrix;
    D3DXVECTOR3 relativePosition;
    D3DXVECTOR3 markForward;
    D3DXMATRIX steerMatrix;
    D3DXVECTOR3 forward;
    D3DXMATRIX yawMatrix;
    D3DXQUATERNION yawRotation;
    D3DXMATRIX pitchMatrix;
    D3DXQUATERNION pitchRotation;
    D3DXMATRIX rollMatrix;
    D3DXQUATERNION rollRotation;
    D3DXVECTOR3 wrapOffset;
    float rateDamping = 0.0f;
    float speedDamping = 0.0f;
    float flameSize = 0.0f;
    float markDistance = 0.0f;
    bool yawLeft = false;
    bool yawRight = false;
    bool pitchUp = false;
    bool pitchDown = false;
    bool rollRight = false;
    bool rollLeft = false;
    bool thrust = false;
    bool fire = false;
    MarsShipRecord records[kMaxShips] = {};
    D3DXVECTOR3 wobble{0.0f, 0.0f, 0.0f};
    MeshObj *flameMesh = nullptr;      // "flare2.x"; not owned
    MeshObj *targetMarkMesh = nullptr; // "targt.x"; not owned
    MeshObj *leadMarkMesh = nullptr;   // "targ2.x"; not owned
    float runningTime = 0.0f;
};
