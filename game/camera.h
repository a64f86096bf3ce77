// The chase camera: a ten-step trail behind the player's ship, and the lag-free close view.
#pragma once

#include "platform/d3dx/d3dx8.h"

class Camera {
public:
    static constexpr int kTrailLength = 10;

    Camera();
    virtual ~Camera() = default;

    // One trail step for the ship's present pose, then the view from the oldest trail entry.
    void FollowShip(D3DXVECTOR3 position, const D3DXMATRIX *rotation);
    // Fills the whole trail for a ship at rest at this pose.
    void ResetTrail(D3DXVECTOR3 position, const D3DXMATRIX *rotation);
    // The view from just behind and above the ship's centre; stored as the view as well.
    D3DXMATRIX SetBehindShip(D3DXVECTOR3 position, const D3DXMATRIX *rotation);

    D3DXMATRIX GetViewMatrix() const { return view; }
    D3DXVECTOR3 GetTrailEye() const { return trailEye[0]; }
    D3DXVECTOR3 GetTrailTarget() const { return trailTarget[0]; }

    D3DXMATRIX view;
    D3DXVECTOR3 trailEye[kTrailLength];    // index 0 the oldest
    D3DXVECTOR3 trailTarget[kTrailLength]; // same order
};
