// Every laser shot in flight, the player's and the enemies', in one pool, with a firing gate and
// alternating muzzle sides per gun. Gun 0 is the player's ship, gun i + 1 enemy ship i.
#pragma once

#include "platform/d3dx/d3dx8.h"

struct LaserShot {
    D3DXVECTOR3 position;
    D3DXVECTOR3 velocity; // units per second
    float travelled;
    float speed;
    INT gun;
    BYTE active;
};

class Laser {
public:
    static constexpr DWORD kMaxShots = 256;
    static constexpr int kGuns = 16;

    Laser();
    virtual ~Laser();

    Laser(const Laser &) = delete;
    Laser &operator=(const Laser &) = delete;

    bool Fire(float x, float y, float z, const D3DXMATRIX *shooterRotation, float shooterSpeed,
              INT gun);
    void Update(float elapsed);
    void Render(const D3DXMATRIX *viewProjection, const D3DXMATRIX *orientation);
    void Clear();
    void LoadResources();
    void ReleaseResources();
    DWORD GetMaxShots() const { return kMaxShots; }
    // The velocity, in units per second, of a shot fired along `forward` by a shooter flying at
    // `shooterSpeed` units per update; lead aiming uses it to meet a target.
    static D3DXVECTOR3 ShotVelocity(const D3DXVECTOR3 &forward, float shooterSpeed);

    DWORD index = 0;
    INT muzzleSide[kGuns];
    D3DXMATRIX translation, scaling;
    IDirect3DDevice8 *device = nullptr;
    ID3DXBuffer *materialsBuffer = nullptr;
    D3DXMATERIAL *materials = nullptr;
    IDirect3DTexture8 *playerTexture = nullptr;
    IDirect3DTexture8 *marsTexture = nullptr;
    ID3DXMesh *mesh = nullptr;
    float timeSinceShot[kGuns];
    LaserShot shots[kMaxShots];
};
