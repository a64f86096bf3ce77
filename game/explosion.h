// Every blast of the game: a pool of 32 animated sprites facing the viewer, each with an optional
// expanding shock-wave ring that fades out.
#pragma once

#include "platform/d3dx/d3dx8.h"

struct ExplosionRecord {
    D3DXVECTOR3 position;
    float age;      // seconds since the blast started
    INT sizeClass;  // divisor of the size: 1 is the largest
    BYTE active;    // 1 while live
    bool shockWave; // draw the ring as well
    float rotation; // radians about the sprite's own axis, a whole number 0 to 5
};

class Explosion {
public:
    static constexpr DWORD kMaxExplosions = 32;
    static constexpr int kFrameCount = 60;
    static constexpr float kLifetime = 2.0f;

    Explosion();
    // Device resources are given back by ReleaseResources while the device lives, never here.
    virtual ~Explosion() = default;

    Explosion(const Explosion &) = delete;
    Explosion &operator=(const Explosion &) = delete;

    // Starts a blast in the lowest free slot; a full pool drops it without drawing a random number.
    void Add(float x, float y, float z, INT sizeClass, bool shockWave);
    // Ages every live blast; one older than two seconds frees its slot.
    void Update(float elapsed);
    // Draws every live blast; the caller has set additive blending and turned depth writes off.
    void Render(const D3DXMATRIX *viewProjection, const D3DXMATRIX *orientation);
    void Clear();
    void LoadResources();
    void ReleaseResources();

    // The animation frame of a blast of this age.
    static int FrameForAge(float age);

    DWORD index = 0;
    INT frame = 0;
    INT grey = 0;
    D3DXMATRIX rotation, translation, scaling;
    IDirect3DDevice8 *device = nullptr; // not owned: the owner sets it before each load
    ID3DXBuffer *materialsBuffer = nullptr;
    D3DXMATERIAL *materials = nullptr;
    IDirect3DTexture8 **frameTextures = nullptr; // kFrameCount entries while loaded
    IDirect3DTexture8 *shockWaveTexture = nullptr;
    ID3DXMesh *mesh = nullptr; // subset 0 the sprite, subset 1 the ring
    ExplosionRecord explosions[kMaxExplosions];
};
