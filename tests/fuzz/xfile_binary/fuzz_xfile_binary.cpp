// Feeds arbitrary binary tokens to the X-file reader (the first input byte chooses 32- or 64-bit
// floats), then builds mesh data from whatever it accepts.
#include "platform/d3dx/mesh_data.h"
#include "platform/d3dx/mesh_topology.h"
#include "platform/d3dx/mesh_vertices.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const char *header = (data[0] & 1) ? "xof 0303bin 0064" : "xof 0303bin 0032";
    std::vector<std::uint8_t> file(header, header + 16);
    file.insert(file.end(), data + 1, data + size);
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
