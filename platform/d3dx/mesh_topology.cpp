// Adjacency by shared edges between point representatives, and removal of unused vertices.
#include "platform/d3dx/mesh_topology.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace xfile {

namespace {

// One representative vertex per distinct position (the first vertex found there).
std::vector<std::uint32_t> PointRepresentatives(const MeshData &mesh) {
    std::unordered_map<std::string_view, std::uint32_t> first;
    std::vector<std::uint32_t> reps(mesh.vertices.size());
    for (std::uint32_t i = 0; i < mesh.vertices.size(); ++i) {
        const auto *bytes = reinterpret_cast<const char *>(&mesh.vertices[i].position);
        reps[i] = first.emplace(std::string_view(bytes, sizeof(D3DVECTOR)), i).first->second;
    }
    return reps;
}

std::uint64_t EdgeKey(std::uint32_t a, std::uint32_t b) {
    return (std::uint64_t{std::min(a, b)} << 32) | std::max(a, b);
}

} // namespace

std::vector<std::uint32_t> ComputeAdjacency(const MeshData &mesh) {
    const std::vector<std::uint32_t> reps = PointRepresentatives(mesh);
    const std::uint32_t faces = mesh.FaceCount();
    std::vector<std::uint32_t> adjacency(std::size_t{faces} * 3, kNoNeighbour);
    // Each edge remembers the first triangle side that used it, waiting for its partner.
    std::unordered_map<std::uint64_t, std::uint32_t> open;
    for (std::uint32_t f = 0; f < faces; ++f)
        for (std::uint32_t k = 0; k < 3; ++k) {
            const std::uint32_t a = reps[mesh.indices[f * 3 + k]];
            const std::uint32_t b = reps[mesh.indices[f * 3 + (k + 1) % 3]];
            if (a == b)
                continue; // a collapsed edge joins nothing
            const auto [it, added] = open.try_emplace(EdgeKey(a, b), f * 3 + k);
            if (added)
                continue;
            const std::uint32_t side = it->second;
            adjacency[side] = f;
            adjacency[f * 3 + k] = side / 3;
            // An edge shared by more than two triangles pairs them two by two.
            open.erase(it);
        }
    return adjacency;
}

std::uint32_t CompactVertices(MeshData &mesh) {
    std::vector<std::uint32_t> remap(mesh.vertices.size(), kNoNeighbour);
    for (std::uint32_t index : mesh.indices)
        remap[index] = 0;
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < mesh.vertices.size(); ++i)
        if (remap[i] == 0) {
            remap[i] = kept;
            mesh.vertices[kept++] = mesh.vertices[i];
        }
    const auto dropped = static_cast<std::uint32_t>(mesh.vertices.size() - kept);
    mesh.vertices.resize(kept);
    for (std::uint32_t &index : mesh.indices)
        index = remap[index];
    for (AttributeRange &range : mesh.subsets) {
        if (range.faceCount == 0)
            continue;
        std::uint32_t lo = kNoNeighbour, hi = 0;
        for (std::uint32_t i = range.faceStart * 3; i < (range.faceStart + range.faceCount) * 3;
             ++i) {
            lo = std::min(lo, mesh.indices[i]);
            hi = std::max(hi, mesh.indices[i]);
        }
        range.vertexStart = lo;
        range.vertexCount = hi - lo + 1;
    }
    return dropped;
}

} // namespace xfile
