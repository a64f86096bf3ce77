// The explosion pool, its ageing and its drawing.
#include "game/explosion.h"

#include "game/age_grey.h"
#include "game/is_in_view.h"
#include "game/release_interface.h"
#include "platform/win32/random.h"

#include <cstdio>

Explosion::Explosion() : explosions{} {
    D3DXMatrixIdentity(&rotation);
    D3DXMatrixIdentity(&translation);
    D3DXMatrixIdentity(&scaling);
}

void Explosion::Add(float x, float y, float z, INT sizeClass, bool shockWave) {
    for (index = 0; index < kMaxExplosions; ++index) {
        ExplosionRecord &slot = explosions[index];
        if (slot.active == 1)
            continue;
        slot.active = 1;
        slot.shockWave = shockWave;
        slot.age = 0.0f;
        slot.position = D3DXVECTOR3(x, y, z);
        slot.sizeClass = sizeClass;
        slot.rotation = static_cast<float>(crt::rand() % 6);
        return;
    }
}

void Explosion::Update(float elapsed) {
    for (index = 0; index < kMaxExplosions; ++index) {
        ExplosionRecord &slot = explosions[index];
        if (slot.active != 1)
            continue;
        slot.age += elapsed;
        if (slot.age > kLifetime)
            slot.active = 0;
    }
}

int Explosion::FrameForAge(float age) {
    const float scaled = age * 30.0f;
    // Limit before converting so that a huge or NaN age cannot overflow the conversion.
    if (!(scaled >= 0.0f))
        return 0;
    if (scaled >= static_cast<float>(kFrameCount - 1))
        return kFrameCount - 1;
    return static_cast<int>(scaled);
}

void Explosion::Render(const D3DXMATRIX *viewProjection, const D3DXMATRIX *orientation) {
    if (!device || !mesh)
        return;
    for (index = 0; index < kMaxExplosions; ++index) {
        const ExplosionRecord &slot = explosions[index];
        if (slot.active != 1)
            continue;
        // Callers pass 1 or more; a smaller class would divide by zero or turn the blast inside
        // out, so it is drawn as the largest.
        const float divisor = static_cast<float>(slot.sizeClass >= 1 ? slot.sizeClass : 1);
        const float k = 4.0f / divisor;

        if (IsInView(&slot.position, viewProjection, 10.0f / divisor)) {
            frame = FrameForAge(slot.age);
            device->SetTexture(0, frameTextures ? frameTextures[frame] : nullptr);
            D3DXMatrixRotationZ(&rotation, slot.rotation);
            D3DXMatrixTranslation(&translation, slot.position.x, slot.position.y, slot.position.z);
            D3DXMatrixScaling(&scaling, 8.0f * k, 6.0f * k, 6.0f * k);
            D3DXMATRIX world = scaling * rotation * *orientation * translation;
            device->SetTransform(D3DTS_WORLD, &world);
            mesh->DrawSubset(0);
        }

        if (slot.shockWave) {
            const float radius = slot.age * 40.0f * k;
            if (IsInView(&slot.position, viewProjection, radius)) {
                // The ring takes its own blast's position, never a translation left over from
                // another slot's sprite.
                D3DXMatrixScaling(&scaling, radius, radius, radius);
                D3DXMatrixTranslation(&translation, slot.position.x, slot.position.y,
                                      slot.position.z);
                D3DXMATRIX world = scaling * translation;
                device->SetTransform(D3DTS_WORLD, &world);
                grey = GreyForAge(slot.age);
                const DWORD g = static_cast<DWORD>(grey);
                device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
                device->SetRenderState(D3DRS_TEXTUREFACTOR, (g << 16) | (g << 8) | g);
                device->SetTexture(0, shockWaveTexture);
                mesh->DrawSubset(1);
                device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
            }
        }
    }
}

void Explosion::Clear() {
    for (index = 0; index < kMaxExplosions; ++index)
        explosions[index].active = 0;
}

void Explosion::LoadResources() {
    if (!device)
        return;
    ReleaseResources();
    frameTextures = new IDirect3DTexture8 *[kFrameCount]();
    if (SUCCEEDED(D3DXLoadMeshFromX("explosion.x", 0, device, nullptr, &materialsBuffer, nullptr,
                                    &mesh)) &&
        materialsBuffer)
        materials = static_cast<D3DXMATERIAL *>(materialsBuffer->GetBufferPointer());
    for (int i = 0; i < kFrameCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "explosion%d.jpg", i + 1);
        if (FAILED(D3DXCreateTextureFromFileA(device, name, &frameTextures[i])))
            frameTextures[i] = nullptr;
    }
    if (FAILED(D3DXCreateTextureFromFileA(device, "shockwave.jpg", &shockWaveTexture)))
        shockWaveTexture = nullptr;
}

void Explosion::ReleaseResources() {
    ReleaseInterface(mesh);
    // The materials serve no drawing; give them back with the mesh so that no reset leaks them.
    ReleaseInterface(materialsBuffer);
    materials = nullptr;
    if (frameTextures) {
        for (int i = 0; i < kFrameCount; ++i)
            ReleaseInterface(frameTextures[i]);
        delete[] frameTextures;
        frameTextures = nullptr;
    }
    ReleaseInterface(shockWaveTexture);
}
