// The arc-ball: left drags rotate on a sphere, right drags pan, middle drags dolly.
#include "framework/arcball.h"

#include "platform/win32/messages.h"

#include <cmath>

namespace {

// One pointer, one set of last positions: these belong to the program, not to an arc-ball.
INT s_iLastMouseX = 0;
INT s_iLastMouseY = 0;
D3DXVECTOR3 s_vDown(0.0f, 0.0f, 1.0f);

} // namespace

D3DXQUATERNION *QuaternionFromUnitAxes(D3DXQUATERNION *pOut, const D3DXVECTOR3 *pvFrom,
                                       const D3DXVECTOR3 *pvTo) {
    D3DXVECTOR3 vAxis;
    D3DXVec3Cross(&vAxis, pvFrom, pvTo);
    pOut->x = vAxis.x;
    pOut->y = vAxis.y;
    pOut->z = vAxis.z;
    pOut->w = D3DXVec3Dot(pvFrom, pvTo);
    return pOut;
}

D3DXQUATERNION *QuaternionFromAxes(D3DXQUATERNION *pOut, const D3DXVECTOR3 *pvFrom,
                                   const D3DXVECTOR3 *pvTo) {
    D3DXVECTOR3 vFrom, vTo, vHalf;
    D3DXVec3Normalize(&vFrom, pvFrom);
    D3DXVec3Normalize(&vTo, pvTo);
    const D3DXVECTOR3 vSum = vFrom + vTo;
    D3DXVec3Normalize(&vHalf, &vSum);
    if (vHalf == D3DXVECTOR3(0.0f, 0.0f, 0.0f) && vFrom != vHalf) {
        // Opposite directions have no half-way direction: any one at right angles to them makes
        // the half turn. Without it the result is the zero quaternion, and an arc-ball that once
        // multiplied it in would never turn again.
        const D3DXVECTOR3 vOther = std::fabs(vFrom.x) < 0.5f ? D3DXVECTOR3(1.0f, 0.0f, 0.0f)
                                                             : D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        D3DXVec3Cross(&vHalf, &vFrom, &vOther);
        D3DXVec3Normalize(&vHalf, &vHalf);
    }
    return QuaternionFromUnitAxes(pOut, &vFrom, &vHalf);
}

ArcBall::ArcBall() : m_qDown(0.0f, 0.0f, 0.0f, 1.0f), m_qNow(0.0f, 0.0f, 0.0f, 1.0f) {
    D3DXMatrixIdentity(&m_matRotation);
    D3DXMatrixIdentity(&m_matRotationDelta);
    D3DXMatrixIdentity(&m_matTranslation);
    D3DXMatrixIdentity(&m_matTranslationDelta);
}

void ArcBall::SetWindow(INT iWidth, INT iHeight, FLOAT fRadius) {
    m_iWidth = iWidth;
    m_iHeight = iHeight;
    m_fRadius = fRadius;
}

void ArcBall::SetTranslationRadius(FLOAT fRadiusTranslation) {
    m_fRadiusTranslation = fRadiusTranslation;
}

// Before SetWindow, or with an empty window, every mapping would divide by zero and leave NaN in
// the matrices for good; such an arc-ball stays where it is instead.
BOOL ArcBall::HasWindow() const {
    return m_iWidth > 0 && m_iHeight > 0 && m_fRadius > 0.0f;
}

D3DXVECTOR3 ArcBall::ScreenToVector(INT iScreenX, INT iScreenY) const {
    if (!HasWindow())
        return D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    FLOAT x = static_cast<FLOAT>(m_iWidth / 2 - iScreenX) / (m_iWidth * m_fRadius / 2);
    FLOAT y = static_cast<FLOAT>(iScreenY - m_iHeight / 2) / (m_iHeight * m_fRadius / 2);
    if (m_bFlip) {
        x = -x;
        y = -y;
    }
    FLOAT z = 0.0f;
    const FLOAT fMag = x * x + y * y;
    if (fMag > 1.0f) {
        const FLOAT fScale = 1.0f / std::sqrt(fMag);
        x *= fScale;
        y *= fScale;
    } else {
        z = std::sqrt(1.0f - fMag);
    }
    return D3DXVECTOR3(x, y, z);
}

BOOL ArcBall::HandleMouseMessage(HWND, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    // Signed: while a button is held the pointer is captured and may leave the client area to the
    // left or above, and such a point must not read as one far to the right or below.
    const INT iMouseX = GET_X_LPARAM(lParam);
    const INT iMouseY = GET_Y_LPARAM(lParam);

    switch (uMsg) {
    case WM_LBUTTONDOWN:
        m_bDrag = TRUE;
        s_vDown = ScreenToVector(iMouseX, iMouseY);
        m_qDown = m_qNow;
        return TRUE;

    case WM_LBUTTONUP:
        m_bDrag = FALSE;
        return TRUE;

    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        s_iLastMouseX = iMouseX;
        s_iLastMouseY = iMouseY;
        return TRUE;

    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON) {
            if (m_bDrag) {
                const D3DXVECTOR3 vCur = ScreenToVector(iMouseX, iMouseY);
                D3DXQUATERNION qAxisToAxis;
                QuaternionFromAxes(&qAxisToAxis, &s_vDown, &vCur);
                D3DXQuaternionMultiply(&m_qNow, &m_qDown, &qAxisToAxis);
                D3DXMatrixRotationQuaternion(&m_matRotationDelta, &qAxisToAxis);
            } else {
                D3DXMatrixIdentity(&m_matRotationDelta);
            }
            D3DXMatrixRotationQuaternion(&m_matRotation, &m_qNow);
            m_bDrag = TRUE;
        } else if (wParam & (MK_RBUTTON | MK_MBUTTON)) {
            if (HasWindow()) {
                const FLOAT fDeltaX =
                    (s_iLastMouseX - iMouseX) * m_fRadiusTranslation / static_cast<FLOAT>(m_iWidth);
                const FLOAT fDeltaY = (s_iLastMouseY - iMouseY) * m_fRadiusTranslation /
                                      static_cast<FLOAT>(m_iHeight);
                if (wParam & MK_RBUTTON)
                    D3DXMatrixTranslation(&m_matTranslationDelta, -2.0f * fDeltaX, 2.0f * fDeltaY,
                                          0.0f);
                else
                    D3DXMatrixTranslation(&m_matTranslationDelta, 0.0f, 0.0f, 5.0f * fDeltaY);
                D3DXMatrixMultiply(&m_matTranslation, &m_matTranslation, &m_matTranslationDelta);
            }
            s_iLastMouseX = iMouseX;
            s_iLastMouseY = iMouseY;
        }
        return TRUE;

    default:
        return FALSE;
    }
}
