// Feeds arbitrary text after an X-file text header to the reader, then builds mesh data from
// whatever it accepts.
#include "platform/d3dx/mesh_data.h"
#include "platform/d3dx/mesh_topology.h"
#include "platform/d3dx/mesh_vertices.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const char kHeader[] = "xof 0303txt 0032";
    std::vector<std::uint8_t> file(kHeader, kHeader + 16);
    file.insert(file.end(), data, data + size);
    xfile::Document doc;
    std::string error;
    if (!xfile::ParseXFile(file, doc, error))
        return 0;
    xfile::MeshData mesh;
    if (xfile::BuildMeshDataFromDocument(doc, mesh, error)) {
        for (std::uint32_t index : mesh.indices)
            if (index >= mesh.vertices.size())
                __builtin_trap();
        if (mesh.subsets.size() != mesh.materials.size())
            __builtin_trap();
        // What a mesh creator does next: pack, compute normals, adjacency and compaction.
        const auto packed = xfile::PackVertices(mesh, xfile::LayoutOf(mesh));
        if (packed.size() != mesh.vertices.size() * xfile::LayoutOf(mesh).Stride())
            __builtin_trap();
        xfile::ComputeNormals(mesh);
        for (std::uint32_t neighbour : xfile::ComputeAdjacency(mesh))
            if (neighbour != xfile::kNoNeighbour && neighbour >= mesh.FaceCount())
                __builtin_trap();
        xfile::CompactVertices(mesh);
        for (std::uint32_t index : mesh.indices)
            if (index >= mesh.vertices.size())
                __builtin_trap();
    }
    return 0;
}
