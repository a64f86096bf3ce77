// The smoke puffs a damaged ship leaves behind: a pool of 128 growing, fading quads.
#pragma once

#include "platform/d3dx/d3dx8.h"

struct SmokePuff {
    D3DXVECTOR3 position;
    D3DXVECTOR3 velocity; // world units per update, not per second
    float age;            // seconds
    float rotation;       // radians about the quad's own z axis
    BYTE active;
};

class Smoke {
public:
    static constexpr DWORD kMaxPuffs = 128;
    static constexpr float kLifetime = 2.0f;

    Smoke();
    virtual ~Smoke() = default;

    Smoke(const Smoke &) = delete;
    Smoke &operator=(const Smoke &) = delete;

    void LoadResources();
    void ReleaseResources();
    void Clear();
    // Adds a puff at (x, y, z) moving along the emitter's forward axis; a full pool drops it
    // without drawing a random number.
    void Add(float x, float y, float z, const D3DXMATRIX *rotation, float speed);
    void Update(float elapsed);
    // Draws every live puff; the caller sets additive alpha blending.
    void Render(const D3DXMATRIX *viewProjection, const D3DXMATRIX *orientation);
    DWORD GetMax() const { return kMaxPuffs; }

    DWORD index = 0;
    D3DXMATRIX rotation, translation, scaling;
    IDirect3DDevice8 *device = nullptr; // not owned: the owner sets it before each load
    ID3DXBuffer *materialsBuffer = nullptr;
    D3DXMATERIAL *materials = nullptr;
    IDirect3DTexture8 *texture = nullptr;
    ID3DXMesh *mesh = nullptr;
    SmokePuff puffs[kMaxPuffs];
};
