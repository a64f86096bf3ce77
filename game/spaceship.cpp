#include "game/spaceship.h"

D3DXVECTOR3 ComputeInterceptPoint(D3DXVECTOR3 shooter, D3DXVECTOR3 shotVelocity,
                                  D3DXVECTOR3 target, D3DXVECTOR3 targetVelocity,
                                  DWORD iterations) {
    D3DXVECTOR3 solution = target;
    const float shotSpeed = D3DXVec3Length(&shotVelocity);
    while (iterations > 0) {
        if (shotSpeed == 0.0f)
            return target;
        const D3DXVECTOR3 toSolution = solution - shooter;
        const float time = D3DXVec3Length(&toSolution) / shotSpeed;
        solution = target + targetVelocity * time;
        --iterations;
    }
    return solution;
}
