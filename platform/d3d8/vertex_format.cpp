// Flexible vertex formats: the elements appear in a fixed order (position, blend weights, normal,
// point size, diffuse, specular, texture coordinate sets), each present only when its bit is set.
#include "platform/d3d8/vertex_format.h"

#include "platform/d3d8/render_states.h"

namespace d3d8 {

VertexLayout LayoutOf(DWORD fvf) {
    VertexLayout layout;
    const DWORD known = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE |
                        D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK | D3DFVF_LASTBETA_UBYTE4 |
                        0xFFFF0000u;
    if (fvf & ~known)
        return layout;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    const int texSets = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    if (position == 0 || texSets > 8)
        return layout;
    // Size bits above the sets in use are meaningless and refused, as a stray bit is a caller bug.
    if (texSets < 8 && (fvf >> (16 + 2 * texSets)) != 0)
        return layout;

    int offset = 0;
    switch (position) {
    case D3DFVF_XYZ:
        offset = 12;
        break;
    case D3DFVF_XYZRHW:
        offset = 16;
        layout.pretransformed = true;
        break;
    default: // XYZ followed by 1 to 5 blend weights (the last may be packed indices, same size)
        offset = 12 + 4 * static_cast<int>((position - D3DFVF_XYZB1) / 2 + 1);
        break;
    }
    if (fvf & D3DFVF_NORMAL) {
        if (layout.pretransformed)
            return layout;
        layout.normalOffset = offset;
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE)
        offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuseOffset = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specularOffset = offset;
        offset += 4;
    }
    layout.texSets = texSets;
    for (int set = 0; set < texSets; ++set) {
        static constexpr std::uint8_t kDims[4] = {2, 3, 4, 1};
        const std::uint8_t dims = kDims[(fvf >> (16 + 2 * set)) & 3];
        layout.texOffset[set] = offset;
        layout.texDims[set] = dims;
        offset += 4 * dims;
    }
    layout.size = static_cast<UINT>(offset);
    layout.valid = true;
    return layout;
}

} // namespace d3d8
