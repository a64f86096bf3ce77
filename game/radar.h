// The radar disc in the top-right corner of the play screen; the application draws one dot per
// active asteroid body, satellite and Mars ship on it with the disc's own mesh.
#pragma once

#include "platform/d3dx/d3dx8.h"

class Radar {
public:
    static constexpr int kDotKinds = 4; // 0 bodies, 1 satellites, 2 Mars ships, 3 unused

    Radar();
    virtual ~Radar();

    Radar(const Radar &) = delete;
    Radar &operator=(const Radar &) = delete;

    void LoadResources(float backBufferWidth, float backBufferHeight);
    void ReleaseResources();
    void Render();
    void SetDotTexture(DWORD kind);
    void DrawDot();

    D3DXMATRIX world;
    D3DXMATRIX scaling;
    D3DXMATRIX translation;
    IDirect3DDevice8 *device = nullptr; // not owned: the owner sets it before each load
    ID3DXBuffer *materialsBuffer = nullptr;
    IDirect3DTexture8 *radarTexture = nullptr;
    IDirect3DTexture8 *dotTextures[kDotKinds] = {};
    ID3DXMesh *mesh = nullptr;
};
