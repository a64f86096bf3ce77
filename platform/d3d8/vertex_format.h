// Flexible vertex formats: where each element of a vertex lies, worked out once per format code.
#pragma once

#include "platform/win32/types.h"

#include <array>
#include <cstdint>

namespace d3d8 {

struct VertexLayout {
    bool valid = false;
    bool pretransformed = false; // XYZRHW: screen pixels, no transform or lighting
    int positionOffset = 0;
    int normalOffset = -1;
    int diffuseOffset = -1;
    int specularOffset = -1;
    int texSets = 0;
    std::array<int, 8> texOffset{};
    std::array<std::uint8_t, 8> texDims{}; // 1..4 floats per set
    UINT size = 0;                         // bytes per vertex
};

// The layout of a format code; `valid` is false for codes Direct3D 8 does not define.
VertexLayout LayoutOf(DWORD fvf);

} // namespace d3d8
