// The smoke pool: adding, drifting, ageing and drawing puffs.
#include "game/smoke.h"

#include "game/age_grey.h"
#include "game/is_in_view.h"
#include "game/release_interface.h"
#include "platform/win32/random.h"

Smoke::Smoke() : puffs{} {
    D3DXMatrixIdentity(&rotation);
    D3DXMatrixIdentity(&translation);
    D3DXMatrixIdentity(&scaling);
}

void Smoke::LoadResources() {
    if (!device)
        return;
    ReleaseResources();
    if (SUCCEEDED(
            D3DXLoadMeshFromX("flare.x", 0, device, nullptr, &materialsBuffer, nullptr, &mesh)) &&
        materialsBuffer)
        materials = static_cast<D3DXMATERIAL *>(materialsBuffer->GetBufferPointer());
    if (FAILED(D3DXCreateTextureFromFileA(device, "smoke.png", &texture)))
        texture = nullptr;
}

void Smoke::ReleaseResources() {
    ReleaseInterface(mesh);
    // The materials come with every load; giving them back here keeps resets from leaking them.
    ReleaseInterface(materialsBuffer);
    materials = nullptr;
    ReleaseInterface(texture);
}

void Smoke::Clear() {
    for (index = 0; index < kMaxPuffs; ++index)
        puffs[index].active = 0;
}

void Smoke::Add(float x, float y, float z, const D3DXMATRIX *emitter, float speed) {
    const D3DXVECTOR3 localForward(0.0f, 0.0f, 1.0f);
    D3DXVECTOR3 direction;
    D3DXVec3TransformCoord(&direction, &localForward, emitter);
    for (index = 0; index < kMaxPuffs; ++index) {
        SmokePuff &puff = puffs[index];
        if (puff.active)
            continue;
        puff.active = 1;
        puff.age = 0.0f;
        puff.rotation = static_cast<float>(crt::rand() % 31) / 5.0f;
        puff.position = D3DXVECTOR3(x, y, z);
        puff.velocity = direction * speed;
        return;
    }
}

void Smoke::Update(float elapsed) {
    for (index = 0; index < kMaxPuffs; ++index) {
        SmokePuff &puff = puffs[index];
        puff.position += puff.velocity;
        puff.age += elapsed;
        if (puff.age > kLifetime)
            puff.active = 0;
        if (puff.active)
            puff.velocity *= 0.995f;
    }
}

void Smoke::Render(const D3DXMATRIX *viewProjection, const D3DXMATRIX *orientation) {
    if (!device || !mesh)
        return;
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    device->SetTexture(0, texture);
    for (index = 0; index < kMaxPuffs; ++index) {
        const SmokePuff &puff = puffs[index];
        if (!puff.active)
            continue;
        const float size = 2.0f * puff.age + 0.5f;
        if (!IsInView(&puff.position, viewProjection, size))
            continue;
        const DWORD grey = static_cast<DWORD>(GreyForAge(puff.age));
        device->SetRenderState(D3DRS_TEXTUREFACTOR, (grey << 16) | (grey << 8) | grey);
        D3DXMatrixScaling(&scaling, size, size, size);
        D3DXMatrixRotationZ(&rotation, puff.rotation);
        D3DXMatrixTranslation(&translation, puff.position.x, puff.position.y, puff.position.z);
        const D3DXMATRIX world = scaling * rotation * *orientation * translation;
        device->SetTransform(D3DTS_WORLD, &world);
        mesh->DrawSubset(0);
    }
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}
