// The cameras of the render step: the drifting menu view, the chase view, the close view behind
// the ship and the overlay's pixel space.
#include "game/asteroid_game.h"

#include "game/camera.h"
#include "game/spaceship.h"

#include <cmath>

namespace {

float AspectRatio(const D3DSURFACE_DESC &backBuffer) {
    return static_cast<float>(backBuffer.Width) / static_cast<float>(backBuffer.Height);
}

} // namespace

void CMyD3DApplication::SetMenuCamera() {
    // Three unrelated periods keep the sky behind the menus turning without ever repeating soon.
    const float t = m_fRunningTime;
    D3DXQUATERNION q(-2.0f * std::cos(t / 3.32f) - 1.0f, -2.0f * std::sin(t / 11.13f) - 1.0f,
                     2.0f * std::cos(t / 16.65f) - 1.0f, 1.0f);
    D3DXQuaternionNormalize(&q, &q);
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &q);

    const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f), up(0.0f, 1.0f, 0.0f);
    D3DXVECTOR3 forward, upward;
    D3DXVec3TransformCoord(&forward, &ahead, &rotation);
    D3DXVec3TransformCoord(&upward, &up, &rotation);
    const D3DXVECTOR3 eye = 0.3f * forward + 0.4f * upward;
    const D3DXVECTOR3 at = forward + 0.4f * upward;
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &upward);

    D3DXMatrixPerspectiveFovLH(&m_matProj, D3DX_PI / 4.0f, AspectRatio(m_backBufferDesc), 0.1f,
                               512.0f);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &m_matProj);
    m_pDevice->SetTransform(D3DTS_VIEW, &view);
}

void CMyD3DApplication::ApplyCameraView() {
    D3DXMatrixPerspectiveFovLH(&m_matProj, D3DX_PI / 4.0f, AspectRatio(m_backBufferDesc), 1.0f,
                               512.0f);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &m_matProj);
    const D3DXMATRIX view = m_pCamera->GetViewMatrix();
    m_pDevice->SetTransform(D3DTS_VIEW, &view);
}

void CMyD3DApplication::ApplyShipView() {
    D3DXMatrixPerspectiveFovLH(&m_matProj, D3DX_PI / 4.0f, AspectRatio(m_backBufferDesc), 1.0f,
                               512.0f);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &m_matProj);
    const D3DXMATRIX view =
        m_pCamera->SetBehindShip(m_pSpaceship->GetPosition(), &m_matShipRotation);
    m_pDevice->SetTransform(D3DTS_VIEW, &view);
}

void CMyD3DApplication::SetOverlayProjection() {
    D3DXMATRIX projection, identity;
    D3DXMatrixOrthoLH(&projection, static_cast<float>(m_backBufferDesc.Width),
                      static_cast<float>(m_backBufferDesc.Height), -100.0f, 100.0f);
    D3DXMatrixIdentity(&identity);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    m_pDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pDevice->SetTransform(D3DTS_VIEW, &identity);
}
