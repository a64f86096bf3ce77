// Sixteen small rock chips that always surround the player's ship, giving a sense of motion.
#pragma once

#include "game/meshobj.h"

class Debris : public MeshObj {
public:
    static constexpr DWORD kPieces = 16;

    Debris();
    ~Debris() override;

    void Scatter();
    void Update(D3DXVECTOR3 shipPosition);
    void Render(const D3DXMATRIX *viewProjection);

    DWORD pieceIndex = 0;
    D3DXMATRIX world;
    D3DXVECTOR3 pieces[kPieces];
};
