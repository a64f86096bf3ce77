// The health gauge in the top-left corner of the play screen: the current health over a lagging
// average of the last 50 updates, and a blinking warning at low health.
#pragma once

#include "platform/d3dx/d3dx8.h"

class ShipHealth {
public:
    static constexpr int kSamples = 50;

    ShipHealth();
    virtual ~ShipHealth();

    ShipHealth(const ShipHealth &) = delete;
    ShipHealth &operator=(const ShipHealth &) = delete;

    void LoadResources(float backBufferWidth, float backBufferHeight);
    void ReleaseResources();
    void Update(float elapsed, float health);
    void Render();

    D3DXMATRIX scaling;
    D3DXMATRIX translation;
    D3DXMATRIX textureMatrix;
    IDirect3DDevice8 *device = nullptr; // not owned: the owner sets it before each load
    ID3DXBuffer *materialsBuffer = nullptr;
    IDirect3DTexture8 *frameTexture = nullptr;
    IDirect3DTexture8 *fullTexture = nullptr;
    IDirect3DTexture8 *loseTexture = nullptr;
    ID3DXMesh *mesh = nullptr;
    float samples[kSamples]; // oldest first; full health until play updates them
    float average;
    float blinkTimer = 0.0f;

private:
    // The gauge quad at full width and `heightShare` of its height, with `texture`.
    void DrawQuad(float heightShare, IDirect3DTexture8 *texture);
    // One bar: the bottom `share` of `texture` at `share` of the gauge's height.
    void DrawBar(float share, IDirect3DTexture8 *texture);
};
