#include "game/skybox.h"

Skybox::Skybox() = default;

Skybox::~Skybox() = default;

void Skybox::Render(D3DXVECTOR3 centre) {
    D3DXMatrixTranslation(&translation, centre.x, centre.y, centre.z);
    D3DXMatrixScaling(&scaling, 10.0f, 10.0f, 10.0f);
    const D3DXMATRIX world = scaling * translation;
    device->SetTransform(D3DTS_WORLD, &world);
    // Mirrored addressing hides the seams where the faces meet.
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
    device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_MIRROR);
    device->SetTextureStageState(0, D3DTSS_ADDRESSW, D3DTADDRESS_MIRROR);
    MeshObj::Render();
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    device->SetTextureStageState(0, D3DTSS_ADDRESSW, D3DTADDRESS_WRAP);
}
