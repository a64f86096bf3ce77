#include "game/flight_model.h"

#include "platform/win32/random.h"

#include <cmath>

namespace {

constexpr float kBlastReach = 64.0f;

} // namespace

D3DXQUATERNION DrawStartOrientation() {
    D3DXQUATERNION orientation;
    orientation.w = static_cast<float>(crt::rand() % 3 - 1);
    orientation.z = static_cast<float>(crt::rand() % 3 - 1);
    orientation.y = static_cast<float>(crt::rand() % 3 - 1);
    orientation.x = static_cast<float>(crt::rand() % 3 - 1);
    D3DXQuaternionNormalize(&orientation, &orientation);
    if (D3DXQuaternionLength(&orientation) == 0.0f)
        orientation = D3DXQUATERNION(0.0f, 0.0f, 1.0f, 0.0f);
    return orientation;
}

void AdvanceAlongNose(D3DXVECTOR3 &position, const D3DXVECTOR3 &forward, float &speed,
                      float acceleration) {
    position += forward * speed;
    speed += acceleration;
}

void TurnAboutOwnAxis(D3DXMATRIX *(*rotate)(D3DXMATRIX *, float), float angle,
                      D3DXMATRIX &stepMatrix, D3DXQUATERNION &stepRotation,
                      D3DXQUATERNION &orientation) {
    rotate(&stepMatrix, angle);
    D3DXQuaternionRotationMatrix(&stepRotation, &stepMatrix);
    D3DXQuaternionMultiply(&orientation, &stepRotation, &orientation);
}

void DampFlight(float rateDamping, float speedDamping, float &yawRate, float &pitchRate,
                float &rollRate, float &acceleration, float &speed) {
    yawRate *= rateDamping;
    pitchRate *= rateDamping;
    rollRate *= rateDamping;
    acceleration *= speedDamping;
    speed *= speedDamping;
}

bool ApplyBlastDamage(float &health, const D3DXVECTOR3 &shipPosition, const D3DXVECTOR3 &blastPoint,
                      DWORD divisor) {
    const D3DXVECTOR3 offset = blastPoint - shipPosition;
    const float distance = D3DXVec3Length(&offset);
    // Callers pass 1 or more; a zero divisor would make the damage infinite.
    const float share = 1.0f / static_cast<float>(divisor == 0 ? 1 : divisor);
    const float amount = share * ((kBlastReach - distance) / kBlastReach) * 0.5f;
    if (distance < kBlastReach)
        health -= amount;
    return amount > 0.05f;
}

D3DXVECTOR3 ShakeOffset(const D3DXVECTOR3 &position, float runningTime) {
    const float t = runningTime;
    return position + D3DXVECTOR3(std::sin(1.23f * t) / 20.0f, std::sin(1.55f * t) / 20.0f,
                                  std::sin(2.19f * t) / 20.0f);
}

float FlameFlicker(float speed) {
    return static_cast<float>(crt::rand() % 20) / 40.0f * speed;
}

float FlameSize(float speed, float flicker) {
    return 2.0f * speed + flicker;
}

void SetFlameStates(IDirect3DDevice8 *device) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_ZBIAS, 16);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
}
