// Face adjacency and vertex compaction of mesh data, for loaders that hand out adjacency and for
// in-place optimisation.
#pragma once

#include "platform/d3dx/mesh_data.h"

#include <cstdint>
#include <vector>

namespace xfile {

constexpr std::uint32_t kNoNeighbour = 0xFFFFFFFF;

// Three entries per triangle: the triangle across edge (corner k, corner k + 1), or kNoNeighbour.
// Corners at the same position count as one point, so seams where vertices were split for their
// normals or texture coordinates stay connected.
std::vector<std::uint32_t> ComputeAdjacency(const MeshData &mesh);

// Drops vertices no triangle uses, keeping the order of the rest, and renumbers the indices and
// the subsets' vertex ranges. Returns how many vertices were dropped.
std::uint32_t CompactVertices(MeshData &mesh);

} // namespace xfile
