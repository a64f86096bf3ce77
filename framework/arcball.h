// Mouse drags turned into a rotation on a virtual sphere (left button), a pan (right button) and a
// dolly along z (middle button), kept as matrices a viewer can read; and the quaternion that turns
// one direction into another.
#pragma once

#include "platform/d3dx/math.h"
#include "platform/win32/types.h"

// The rotation (x, y, z) = from x to, w = from . to; both directions of unit length.
D3DXQUATERNION *QuaternionFromUnitAxes(D3DXQUATERNION *pOut, const D3DXVECTOR3 *pvFrom,
                                       const D3DXVECTOR3 *pvTo);

// The rotation that turns `pvFrom` toward `pvTo`; neither needs to be of unit length.
D3DXQUATERNION *QuaternionFromAxes(D3DXQUATERNION *pOut, const D3DXVECTOR3 *pvFrom,
                                   const D3DXVECTOR3 *pvTo);

class ArcBall {
public:
    ArcBall();

    void SetWindow(INT iWidth, INT iHeight, FLOAT fRadius);
    void SetTranslationRadius(FLOAT fRadiusTranslation);

    // The point of the sphere under the client point (x, y); x grows to the left, y downward.
    D3DXVECTOR3 ScreenToVector(INT iScreenX, INT iScreenY) const;

    // True when the message is a mouse message the arc-ball follows.
    BOOL HandleMouseMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    const D3DXMATRIX *GetRotationMatrix() const { return &m_matRotation; }
    const D3DXMATRIX *GetRotationDeltaMatrix() const { return &m_matRotationDelta; }
    const D3DXMATRIX *GetTranslationMatrix() const { return &m_matTranslation; }
    const D3DXMATRIX *GetTranslationDeltaMatrix() const { return &m_matTranslationDelta; }
    BOOL IsBeingDragged() const { return m_bDrag; }

private:
    BOOL HasWindow() const;

    INT m_iWidth = 0;
    INT m_iHeight = 0;
    FLOAT m_fRadius = 0.0f;
    FLOAT m_fRadiusTranslation = 1.0f;
    D3DXQUATERNION m_qDown;
    D3DXQUATERNION m_qNow;
    D3DXMATRIX m_matRotation;
    D3DXMATRIX m_matRotationDelta;
    D3DXMATRIX m_matTranslation;
    D3DXMATRIX m_matTranslationDelta;
    BOOL m_bDrag = FALSE;
    BOOL m_bFlip = FALSE;
};
