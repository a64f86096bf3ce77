// The chase camera's trail and view matrices.
#include "game/camera.h"

Camera::Camera() : trailEye{}, trailTarget{} {
    // The renderer forms a view-projection from this matrix every frame, possibly before the
    // first pose arrives: start from the identity rather than from whatever memory held.
    D3DXMatrixIdentity(&view);
}

void Camera::FollowShip(D3DXVECTOR3 position, const D3DXMATRIX *rotation) {
    const D3DXVECTOR3 localForward(0.0f, 0.0f, 1.0f);
    const D3DXVECTOR3 localUp(0.0f, 1.0f, 0.0f);
    D3DXVECTOR3 forward;
    D3DXVec3TransformCoord(&forward, &localForward, rotation);
    for (int i = 0; i < kTrailLength - 1; ++i) {
        trailEye[i] = trailEye[i + 1];
        trailTarget[i] = trailTarget[i + 1];
    }
    D3DXVECTOR3 up;
    D3DXVec3TransformCoord(&up, &localUp, rotation);
    trailEye[kTrailLength - 1] = position + up * 1.0f;
    trailEye[kTrailLength - 1] -= forward * 4.0f;
    trailTarget[kTrailLength - 1] = position + up * 1.0f;
    D3DXMatrixLookAtLH(&view, &trailEye[0], &trailTarget[0], &up);
}

void Camera::ResetTrail(D3DXVECTOR3 position, const D3DXMATRIX *rotation) {
    for (int i = 0; i < kTrailLength; ++i)
        FollowShip(position, rotation);
}

D3DXMATRIX Camera::SetBehindShip(D3DXVECTOR3 position, const D3DXMATRIX *rotation) {
    const D3DXVECTOR3 localForward(0.0f, 0.0f, 1.0f);
    const D3DXVECTOR3 localUp(0.0f, 1.0f, 0.0f);
    D3DXVECTOR3 forward;
    D3DXVECTOR3 up;
    D3DXVec3TransformCoord(&forward, &localForward, rotation);
    D3DXVec3TransformCoord(&up, &localUp, rotation);
    const D3DXVECTOR3 at = position + forward + up * 0.4f;
    const D3DXVECTOR3 eye = position - forward * 0.3f + up * 0.4f;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    return view;
}
