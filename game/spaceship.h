// The player's ship: a simple damped flight model, blast damage, a headlight that follows the
// nose, two flickering engine flames and an optional chrome look through a cube texture. Also the
// lead-aiming calculation that the target marks and the enemy aim share.
#pragma once

#include "game/meshobj.h"

class Spaceship : public MeshObj {
public:
    Spaceship();
    ~Spaceship() override;

    void Reset();
    void Update(float elapsed, bool invertPitch, float sensitivity, bool headlightOn);
    void SetHeadlight(bool on);
    void SlowDown();
    bool Damage(D3DXVECTOR3 blastPoint, DWORD divisor);
    D3DXVECTOR3 GetPosition() const;
    D3DXVECTOR3 GetShakeOffset() const;
    D3DXQUATERNION GetOrientation() const;
    void SetPosition(float x, float y, float z);
    void SetOrientation(D3DXQUATERNION q);
    void LoadReflection(const D3DSURFACE_DESC *backBuffer);
    void ReleaseReflection();
    void Render(const D3DXMATRIX *view, const D3DXMATRIX *projection,
                const D3DXMATRIX *shipRotation, bool reflection);

    D3DXVECTOR3 wobble{0.0f, 0.0f, 0.0f}; // zero until the first update: drawing may come first
    D3DXVECTOR3 position;
    D3DXMATRIX forwardMatrix;
    D3DXMATRIX yawMatrix;
    D3DXQUATERNION yawRotation;
    D3DXMATRIX pitchMatrix;
    D3DXQUATERNION pitchRotation;
    D3DXMATRIX rollMatrix;
    D3DXQUATERNION rollRotation;
    float rateDamping;
    float damagedRateDamping;
    float speedDamping;
    D3DXQUATERNION orientation;
    D3DLIGHT8 headlight;
    D3DXMATRIX worldMatrix;
    D3DXMATRIX flameScaling;
    D3DXMATRIX translationMatrix;
    D3DXMATRIX flameOffset;
    D3DXMATRIX rotationMatrix;
    ID3DXMesh *reflectionMesh = nullptr;
    IDirect3DCubeTexture8 *cubeTexture = nullptr;
    ID3DXEffect *effect = nullptr;
    MeshObj *flameMesh = nullptr;

    float health = 1.0f;
    float rollRate = 0.0f;
    float pitchRate = 0.0f;
    float yawRate = 0.0f;
    float acceleration = 0.0f;
    float speed = 0.0f;

private:
    float runningTime = 0.0f;

    D3DXVECTOR3 Forward();
    void PointHeadlight(const D3DXVECTOR3 &forward);
    void DrawFlame(float side, const D3DXMATRIX &rotation);
    void DrawReflective(const D3DXMATRIX *view, const D3DXMATRIX *projection);
};

// Where a shot fired from `shooter` with velocity `shotVelocity` meets a target moving with
// `targetVelocity`, refined `iterations` times; the target's position when no shot can fly.
D3DXVECTOR3 ComputeInterceptPoint(D3DXVECTOR3 shooter, D3DXVECTOR3 shotVelocity, D3DXVECTOR3 target,
                                  D3DXVECTOR3 targetVelocity, DWORD iterations);
