// The rules both kinds of ship fly by, the player's and the enemies': a random starting
// orientation, the move along the nose, turns about the ship's own axes, the damping that follows,
// blast damage and the shake of the hull; and the flickering engine flames both draw.
#pragma once

#include "platform/d3dx/d3dx8.h"

// Four draws of the shared generator (w, z, y, x), each -1, 0 or 1, normalised; all four 0 has no
// direction and gives (x 0, y 0, z 1, w 0) instead.
D3DXQUATERNION DrawStartOrientation();

// Moves `position` along the nose by the per-update speed, then the acceleration acts on the speed.
void AdvanceAlongNose(D3DXVECTOR3 &position, const D3DXVECTOR3 &forward, float &speed,
                      float acceleration);

// One turn step about one of the ship's own axes: `rotate` (D3DXMatrixRotationX, Y or Z) builds
// the step as a matrix, which is kept with its quaternion, and the step is composed on the ship's
// side of `orientation`. The orientation is not renormalised.
void TurnAboutOwnAxis(D3DXMATRIX *(*rotate)(D3DXMATRIX *, float), float angle,
                      D3DXMATRIX &stepMatrix, D3DXQUATERNION &stepRotation,
                      D3DXQUATERNION &orientation);

// The turn rates fade by `rateDamping`, the acceleration and speed by `speedDamping`.
void DampFlight(float rateDamping, float speedDamping, float &yawRate, float &pitchRate,
                float &rollRate, float &acceleration, float &speed);

// A blast at `blastPoint` hurts a ship at `shipPosition` within 64 units, less with distance and
// with the divisor (0 counts as 1); true when the share exceeded 0.05. Health is not clamped.
bool ApplyBlastDamage(float &health, const D3DXVECTOR3 &shipPosition, const D3DXVECTOR3 &blastPoint,
                      DWORD divisor);

// `position` plus the small periodic shake of a hull that has flown for `runningTime` seconds.
D3DXVECTOR3 ShakeOffset(const D3DXVECTOR3 &position, float runningTime);

// The random part of an engine flame's size: one draw of the shared generator, so that the flame
// is a little longer or shorter every frame.
float FlameFlicker(float speed);
// The size of the unit flame quad of an engine at `speed` with this frame's flicker.
float FlameSize(float speed, float flicker);
// Flames glow: unlit, added to the colour behind, drawn over the hull without writing depth.
void SetFlameStates(IDirect3DDevice8 *device);
