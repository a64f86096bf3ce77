// The coarse visibility test of world objects.
#include "game/is_in_view.h"

bool IsInView(const D3DXVECTOR3 *position, const D3DXMATRIX *viewProjection, float radius) {
    D3DXVECTOR3 p;
    D3DXVec3TransformCoord(&p, position, viewProjection);
    const float margin = (1.0f - p.z) * 3.0f * radius;
    // Every comparison is strict and false for NaN, so a degenerate point never shows.
    return p.z > 0.0f && p.x > -1.0f - margin && p.x < 1.0f + margin && p.y > -1.0f - margin &&
           p.y < 1.0f + margin;
}
