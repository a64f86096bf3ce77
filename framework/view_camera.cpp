// The view camera: every setter recomputes the matrices that depend on what it changed.
#include "framework/view_camera.h"

ViewCamera::ViewCamera() {
    // A camera whose first view cannot be inverted keeps an identity billboard, never garbage.
    D3DXMatrixIdentity(&m_matBillboard);
    const D3DXVECTOR3 vEye(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 vLookAt(0.0f, 0.0f, 1.0f);
    const D3DXVECTOR3 vUp(0.0f, 1.0f, 0.0f);
    SetView(&vEye, &vLookAt, &vUp);
    SetProjection(0.7853982f, 1.0f, 1.0f, 1000.0f);
}

void ViewCamera::SetView(const D3DXVECTOR3 *pvEye, const D3DXVECTOR3 *pvLookAt,
                         const D3DXVECTOR3 *pvUp) {
    m_vEyePt = *pvEye;
    m_vLookAtPt = *pvLookAt;
    m_vUpVec = *pvUp;

    const D3DXVECTOR3 vDir = m_vLookAtPt - m_vEyePt;
    D3DXVec3Normalize(&m_vView, &vDir);
    D3DXVec3Cross(&m_vCross, &m_vView, &m_vUpVec);

    D3DXMatrixLookAtLH(&m_matView, &m_vEyePt, &m_vLookAtPt, &m_vUpVec);
    // A view that cannot be inverted (eye on the look-at point, up along the view) leaves the
    // last billboard in place.
    D3DXMATRIX matInverse;
    if (D3DXMatrixInverse(&matInverse, nullptr, &m_matView)) {
        m_matBillboard = matInverse;
        m_matBillboard._41 = 0.0f;
        m_matBillboard._42 = 0.0f;
        m_matBillboard._43 = 0.0f;
    }
}

void ViewCamera::SetProjection(FLOAT fFOV, FLOAT fAspect, FLOAT fNearPlane, FLOAT fFarPlane) {
    m_fFOV = fFOV;
    m_fAspect = fAspect;
    m_fNearPlane = fNearPlane;
    m_fFarPlane = fFarPlane;
    D3DXMatrixPerspectiveFovLH(&m_matProj, m_fFOV, m_fAspect, m_fNearPlane, m_fFarPlane);
}
