// The sky: a cube seen from inside, drawn scaled by 10 around the viewpoint.
#pragma once

#include "game/meshobj.h"

class Skybox : public MeshObj {
public:
    Skybox();
    ~Skybox() override;

    void Render(D3DXVECTOR3 centre);

    D3DXMATRIX translation;
    D3DXMATRIX scaling;
};
