// Packs mesh vertices into interleaved buffers and computes normals from faces.
#include "platform/d3dx/mesh_vertices.h"

#include "platform/d3dx/math.h"

#include <cstring>

namespace xfile {

VertexLayout LayoutOf(const MeshData &mesh) {
    VertexLayout layout;
    layout.normal = mesh.hasNormals;
    layout.diffuse = mesh.hasColors;
    layout.textureSets = mesh.hasTexCoords1 ? 2 : mesh.hasTexCoords ? 1 : 0;
    return layout;
}

std::vector<std::uint8_t> PackVertices(const MeshData &mesh, const VertexLayout &layout) {
    const std::uint32_t stride = layout.Stride();
    std::vector<std::uint8_t> out(mesh.vertices.size() * stride);
    std::uint8_t *p = out.data();
    auto put = [&p](const void *data, std::size_t size) {
        std::memcpy(p, data, size);
        p += size;
    };
    for (const MeshVertex &v : mesh.vertices) {
        put(&v.position, 12);
        if (layout.normal)
            put(&v.normal, 12);
        if (layout.diffuse) {
            const D3DCOLOR color = mesh.hasColors ? v.color : 0xFFFFFFFF;
            put(&color, 4);
        }
        for (std::uint32_t set = 0; set < layout.textureSets; ++set) {
            const bool second = set == 1 && mesh.hasTexCoords1;
            const float uv[2] = {second ? v.u1 : v.u, second ? v.v1 : v.v};
            put(uv, 8);
        }
    }
    return out;
}

void ComputeNormals(MeshData &mesh) {
    std::vector<D3DXVECTOR3> sums(mesh.vertices.size(), D3DXVECTOR3(0, 0, 0));
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const std::uint32_t i[3] = {mesh.indices[t], mesh.indices[t + 1], mesh.indices[t + 2]};
        const D3DXVECTOR3 a(mesh.vertices[i[0]].position), b(mesh.vertices[i[1]].position),
            c(mesh.vertices[i[2]].position);
        const D3DXVECTOR3 e1 = b - a, e2 = c - a;
        // Clockwise front faces in left-handed axes: this cross product points out of the front.
        D3DXVECTOR3 n;
        D3DXVec3Cross(&n, &e1, &e2);
        for (std::uint32_t k : i)
            sums[k] += n;
    }
    for (std::size_t k = 0; k < sums.size(); ++k) {
        D3DXVECTOR3 n;
        D3DXVec3Normalize(&n, &sums[k]);
        mesh.vertices[k].normal = n;
    }
    mesh.hasNormals = true;
}

} // namespace xfile
