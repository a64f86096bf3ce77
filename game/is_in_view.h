// The coarse visibility test every world object makes before it draws.
#pragma once

#include "platform/d3dx/d3dx8.h"

// True when a sphere of `radius` around `position` may show: the point lies in front of the viewer
// and within the clip square widened by a margin that grows toward the viewer. NaN gives false.
bool IsInView(const D3DXVECTOR3 *position, const D3DXMATRIX *viewProjection, float radius);
