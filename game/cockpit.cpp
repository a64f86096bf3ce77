#include "game/cockpit.h"
#include "game/release_interface.h"

#include "platform/win32/random.h"

namespace {

constexpr float kLightsFailBelow = 0.2f;

} // namespace

Cockpit::Cockpit() = default;

Cockpit::~Cockpit() = default;

void Cockpit::LoadLightsTexture() {
    if (FAILED(D3DXCreateTextureFromFileA(device, "cockpit-lights.jpg", &lightsTexture)))
        lightsTexture = nullptr;
}

void Cockpit::ReleaseResources() {
    MeshObj::ReleaseResources();
    ReleaseInterface(lightsTexture);
}

void Cockpit::DrawPart(DWORD subset) {
    if (!mesh || subset >= materialCount)
        return;
    device->SetMaterial(&materials[subset].MatD3D);
    device->SetTexture(0, textures[subset]);
    mesh->DrawSubset(subset);
}

void Cockpit::Render(float x, float y, float z, const D3DXMATRIX *rotation, float health,
                     float gauge, bool waveFlag, bool optionFlag) {
    D3DXMatrixTranslation(&translation, x, y, z);
    D3DXMATRIX world = *rotation * translation;
    device->SetTransform(D3DTS_WORLD, &world);

    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);

    // A badly damaged ship's panel lights flicker: on one frame in five.
    bool lightsOn = false;
    if (health > kLightsFailBelow)
        lightsOn = true;
    else if (health > 0.0f && health < kLightsFailBelow)
        lightsOn = crt::rand() % 5 == 0;
    if (lightsOn) {
        device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
        device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    } else {
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    }
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);

    // The canopy frame takes the device's current material and the light map on stage 1.
    if (mesh && materialCount > 2) {
        device->SetTexture(0, textures[2]);
        device->SetTexture(1, lightsTexture);
        mesh->DrawSubset(2);
        if (materialCount > 3)
            mesh->DrawSubset(3);
    }
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTexture(1, nullptr);

    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCCOLOR);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    DrawPart(0);
    DrawPart(9);

    float g = gauge;
    if (g < 0.0f)
        g = 0.0f;
    else if (g > 1.0f)
        g = 1.0f;
    D3DXMatrixScaling(&gaugeScaling, g, 1.0f, 1.0f);
    world = gaugeScaling * *rotation * translation;
    device->SetTransform(D3DTS_WORLD, &world);
    DrawPart(10);

    world = *rotation * translation;
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    DrawPart(4);
    DrawPart(5);
    if (waveFlag) {
        DrawPart(6);
        DrawPart(8);
        DrawPart(7);
    }
    if (optionFlag)
        DrawPart(1);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
}
