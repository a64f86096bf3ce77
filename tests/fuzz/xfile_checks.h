// What both X-file fuzz targets do with a whole file: the mesh loader's path (parse, build the
// mesh data, pack, normals, adjacency, compaction) and the frame loader's path (the DirectX file
// interfaces enumerated to the leaves, each mesh object built on its own). A crash, or a result
// that breaks what the next step relies on, is a finding.
#pragma once

#include "platform/d3dx/dxfile.h"
#include "platform/d3dx/mesh_data.h"
#include "platform/d3dx/mesh_topology.h"
#include "platform/d3dx/mesh_vertices.h"
#include "platform/test_seams.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fuzzing {

inline void CheckMesh(xfile::MeshData &mesh) {
    for (std::uint32_t index : mesh.indices)
        if (index >= mesh.vertices.size())
            __builtin_trap();
    if (mesh.subsets.size() != mesh.materials.size() || mesh.indices.size() != 3 * mesh.FaceCount())
        __builtin_trap();
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

// One data object as the frame loader reads it: type, name, data, then its children in order.
// References are resolved but not followed, since files may refer to their own ancestors.
inline void WalkData(IDirectXFileData *data) {
    const GUID *type = nullptr;
    DWORD size = 0;
    void *bytes = nullptr;
    if (FAILED(data->GetType(&type)) || !type || FAILED(data->GetName(nullptr, &size)) ||
        FAILED(data->GetData(nullptr, &size, &bytes)) || (size > 0) != (bytes != nullptr))
        __builtin_trap();
    if (*type == TID_D3DRMMesh) {
        xfile::MeshData mesh;
        std::string error;
        if (xfile::BuildMeshData(*dxfile::DataObjectOf(data), mesh, error))
            CheckMesh(mesh);
    }
    IDirectXFileObject *child = nullptr;
    while (SUCCEEDED(data->GetNextObject(&child))) {
        IDirectXFileData *childData = nullptr;
        IDirectXFileDataReference *reference = nullptr;
        if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData,
                                            reinterpret_cast<void **>(&childData)))) {
            WalkData(childData);
            childData->Release();
        } else if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileDataReference,
                                                   reinterpret_cast<void **>(&reference)))) {
            IDirectXFileData *target = nullptr;
            if (FAILED(reference->Resolve(&target)) || FAILED(target->GetType(&type)))
                __builtin_trap();
            target->Release();
            reference->Release();
        } else {
            __builtin_trap();
        }
        child->Release();
    }
}

inline void CheckXFile(std::span<const std::uint8_t> file) {
    xfile::Document doc;
    std::string error;
    if (!xfile::ParseXFile(file, doc, error)) {
        if (error.empty())
            __builtin_trap();
        return;
    }
    xfile::MeshData mesh;
    if (xfile::BuildMeshDataFromDocument(doc, mesh, error))
        CheckMesh(mesh);

    IDirectXFile *dx = nullptr;
    if (FAILED(DirectXFileCreate(&dx)))
        __builtin_trap();
    DXFILELOADMEMORY memory{const_cast<std::uint8_t *>(file.data()),
                            static_cast<DWORD>(file.size())};
    IDirectXFileEnumObject *objects = nullptr;
    if (FAILED(dx->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &objects)))
        __builtin_trap(); // the same bytes parsed above
    IDirectXFileData *data = nullptr;
    while (SUCCEEDED(objects->GetNextDataObject(&data))) {
        WalkData(data);
        data->Release();
    }
    objects->Release();
    dx->Release();
}

} // namespace fuzzing
