#include "game/radar.h"

#include "game/release_interface.h"

#include <cstdio>

namespace {

constexpr float kDiscSize = 128.0f;
constexpr float kCornerInset = 72.0f; // the disc's centre from the right and top edges

} // namespace

Radar::Radar() {
    D3DXMatrixIdentity(&world);
    D3DXMatrixIdentity(&scaling);
    D3DXMatrixIdentity(&translation);
}

Radar::~Radar() = default;

void Radar::LoadResources(float backBufferWidth, float backBufferHeight) {
    // A second load without a release in between must not leak what the first one holds.
    ReleaseResources();
    if (FAILED(
            D3DXLoadMeshFromX("radar.x", 0, device, nullptr, &materialsBuffer, nullptr, &mesh))) {
        ReleaseInterface(materialsBuffer);
        mesh = nullptr;
    }
    if (FAILED(D3DXCreateTextureFromFileA(device, "radar.png", &radarTexture)))
        radarTexture = nullptr;
    for (int kind = 0; kind < kDotKinds; ++kind) {
        char name[32];
        std::snprintf(name, sizeof name, "radardot%d.png", kind);
        if (FAILED(D3DXCreateTextureFromFileA(device, name, &dotTextures[kind])))
            dotTextures[kind] = nullptr;
    }
    D3DXMatrixScaling(&scaling, kDiscSize, kDiscSize, kDiscSize);
    D3DXMatrixTranslation(&translation, backBufferWidth / 2.0f - kCornerInset,
                          backBufferHeight / 2.0f - kCornerInset, 0.0f);
    world = scaling * translation;
}

void Radar::ReleaseResources() {
    ReleaseInterface(mesh);
    ReleaseInterface(materialsBuffer);
    ReleaseInterface(radarTexture);
    for (IDirect3DTexture8 *&texture : dotTextures)
        ReleaseInterface(texture);
}

void Radar::Render() {
    if (!mesh)
        return;
    device->SetTexture(0, radarTexture);
    device->SetTransform(D3DTS_WORLD, &world);
    mesh->DrawSubset(0);
}

void Radar::SetDotTexture(DWORD kind) {
    if (device && kind < static_cast<DWORD>(kDotKinds))
        device->SetTexture(0, dotTextures[kind]);
}

void Radar::DrawDot() {
    if (mesh)
        mesh->DrawSubset(0);
}
