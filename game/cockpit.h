// The cockpit around the player in the cockpit view: a canopy with a light map that flickers when
// the ship is badly damaged, a speed bar, panels from the later waves and an optional picture.
#pragma once

#include "game/meshobj.h"

class Cockpit : public MeshObj {
public:
    Cockpit();
    ~Cockpit() override;

    void LoadLightsTexture();
    void Render(float x, float y, float z, const D3DXMATRIX *rotation, float health, float gauge,
                bool waveFlag, bool optionFlag);
    void ReleaseResources();

    D3DXMATRIX translation;
    D3DXMATRIX gaugeScaling;
    IDirect3DTexture8 *lightsTexture = nullptr;

private:
    // Material i, texture i, subset i; skipped when the mesh has no such subset.
    void DrawPart(DWORD subset);
};
