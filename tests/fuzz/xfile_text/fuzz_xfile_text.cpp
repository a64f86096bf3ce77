// Feeds arbitrary text after an X-file text header to the reader, then builds mesh data from
// whatever it accepts.
#include "platform/d3dx/mesh_data.h"

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
    }
    return 0;
}
