// The player's ship, and the lead-aiming calculation that the target marks and the enemy aim share.
#pragma once

#include "game/meshobj.h"

// Where a shot fired from `shooter` with velocity `shotVelocity` meets a target moving with
// `targetVelocity`, refined `iterations` times; the target's position when no shot can fly.
D3DXVECTOR3 ComputeInterceptPoint(D3DXVECTOR3 shooter, D3DXVECTOR3 shotVelocity,
                                  D3DXVECTOR3 target, D3DXVECTOR3 targetVelocity,
                                  DWORD iterations);
