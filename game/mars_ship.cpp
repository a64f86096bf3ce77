#include "game/mars_ship.h"

MarsShip::MarsShip() = default;
MarsShip::~MarsShip() = default;
void MarsShip::Spawn(DWORD) {}
void MarsShip::Update(float, D3DXVECTOR3, const D3DXMATRIX *, Laser *, CSound *, float, float,
                      bool) {}
void MarsShip::Steer(DWORD, D3DXVECTOR3, const D3DXMATRIX *, float, float, bool) {}
void MarsShip::SlowDown(DWORD) {}
bool MarsShip::Damage(DWORD, D3DXVECTOR3, DWORD) {
    return false;
}
float MarsShip::GetNearestDistance(D3DXVECTOR3) {
    return 10000.0f;
}
void MarsShip::Render(const D3DXMATRIX *) {}
void MarsShip::RenderTargetMarks(const D3DXMATRIX *, float, D3DXVECTOR3, const D3DXMATRIX *,
                                 float) {}
D3DXVECTOR3 MarsShip::GetPosition(DWORD) const {
    return {};
}
D3DXQUATERNION MarsShip::GetOrientation(DWORD) const {
    return {};
}
void MarsShip::SetPosition(DWORD, float, float, float) {}
void MarsShip::SetOrientation(DWORD, D3DXQUATERNION) {}
D3DXVECTOR3 MarsShip::GetShakeOffset(DWORD) const {
    return {};
}
