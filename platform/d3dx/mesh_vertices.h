// Vertex buffers from mesh data: the interleaved layout a device mesh uses (position, then normal,
// colour and texture sets when present), packing in that layout, and normals computed from the
// faces for meshes that lack them.
#pragma once

#include "platform/d3dx/mesh_data.h"

#include <cstdint>
#include <vector>

namespace xfile {

struct VertexLayout {
    bool normal = false;
    bool diffuse = false;          // a packed 32-bit colour
    std::uint32_t textureSets = 0; // two floats each

    std::uint32_t Stride() const {
        return 12 + (normal ? 12 : 0) + (diffuse ? 4 : 0) + 8 * textureSets;
    }
    bool operator==(const VertexLayout &) const = default;
};

// The layout that holds everything the mesh carries.
VertexLayout LayoutOf(const MeshData &mesh);

// Interleaves the vertices in `layout`. Parts the mesh lacks are zero normals, opaque white and,
// for texture sets past those present, the coordinates of set 0 (a second stage that samples set
// 1 then lines up with the first).
std::vector<std::uint8_t> PackVertices(const MeshData &mesh, const VertexLayout &layout);

// Per-vertex normals as the normalised sum of the normals of the triangles around each vertex,
// weighted by their areas; vertices on no triangle keep a zero normal.
void ComputeNormals(MeshData &mesh);

} // namespace xfile
