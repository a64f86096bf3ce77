#include "game/satellite.h"

#include "game/is_in_view.h"
#include "platform/win32/random.h"

namespace {

constexpr float kSpawnRadius = 64.0f;
constexpr float kWrapRadius = 256.0f;
constexpr float kWrapFactor = -0.98f;
constexpr float kViewRadius = 10.0f;

float UnitDraw() {
    return static_cast<float>((crt::rand() % 256 - 128) / 128.0);
}

} // namespace

Satellite::Satellite() = default;

Satellite::~Satellite() = default;

void Satellite::Clear() {
    for (satelliteIndex = 0; satelliteIndex < kMax; ++satelliteIndex)
        active[satelliteIndex] = false;
}

void Satellite::Spawn(INT count) {
    Clear();
    if (count > static_cast<INT>(kMax))
        count = kMax;
    for (satelliteIndex = 0; static_cast<INT>(satelliteIndex) < count; ++satelliteIndex) {
        D3DXVECTOR3 direction;
        direction.z = UnitDraw();
        direction.y = UnitDraw();
        direction.x = UnitDraw();
        D3DXVECTOR3 &position = positions[satelliteIndex];
        D3DXVec3Normalize(&position, &direction);
        position *= kSpawnRadius;
        active[satelliteIndex] = true;
    }
}

void Satellite::Update(D3DXVECTOR3 playerPosition) {
    // Every slot follows the player, in use or not.
    for (satelliteIndex = 0; satelliteIndex < kMax; ++satelliteIndex) {
        D3DXVECTOR3 &position = positions[satelliteIndex];
        const D3DXVECTOR3 offset = position - playerPosition;
        if (D3DXVec3Length(&offset) > kWrapRadius)
            position = playerPosition + offset * kWrapFactor;
    }
}

void Satellite::Render(const D3DXMATRIX *viewProjection) {
    for (satelliteIndex = 0; satelliteIndex < kMax; ++satelliteIndex) {
        const D3DXVECTOR3 &position = positions[satelliteIndex];
        if (!active[satelliteIndex] || !IsInView(&position, viewProjection, kViewRadius))
            continue;
        D3DXMatrixTranslation(&translationMatrix, position.x, position.y, position.z);
        device->SetTransform(D3DTS_WORLD, &translationMatrix);
        MeshObj::Render();
    }
}
