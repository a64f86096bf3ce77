// The satellites the player must protect: positions on a sphere about the origin, kept near the
// player by the wrap-around, drawn without rotation.
#pragma once

#include "game/meshobj.h"

class Satellite : public MeshObj {
public:
    static constexpr DWORD kMax = 8;

    Satellite();
    ~Satellite() override;

    void Clear();
    void Spawn(INT count);
    void Update(D3DXVECTOR3 playerPosition);
    void Render(const D3DXMATRIX *viewProjection);
    DWORD GetMax() const { return kMax; }

    DWORD satelliteIndex = 0;
    D3DXMATRIX translationMatrix;
    D3DXVECTOR3 positions[kMax];
    bool active[kMax] = {};
};
