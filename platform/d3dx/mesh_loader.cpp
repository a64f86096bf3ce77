// Meshes from X files: the file's meshes merged into one device mesh, its materials in a buffer
// of D3DXMATERIAL records followed by their texture file names, and face adjacency on request.
#include "platform/d3d8/vertex_format.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/dxfile.h"
#include "platform/d3dx/mesh.h"
#include "platform/d3dx/mesh_data.h"
#include "platform/d3dx/mesh_vertices.h"
#include "platform/image/image.h"
#include "platform/win32/debug_output.h"
#include "platform/win32/files.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

void trace(const std::string &what, const std::string &why) {
    OutputDebugStringA(("D3DX: cannot load mesh " + what + ": " + why + "\n").c_str());
}

D3DMATERIAL8 materialOf(const xfile::MeshMaterial &source) {
    D3DMATERIAL8 out{};
    out.Diffuse = source.diffuse;
    out.Ambient = source.ambient;
    out.Specular = source.specular;
    out.Emissive = source.emissive;
    out.Power = source.power;
    return out;
}

// One buffer: the records, then each texture name with its terminator.
HRESULT materialBuffer(const std::vector<xfile::MeshMaterial> &materials, ID3DXBuffer **out) {
    std::size_t size = materials.size() * sizeof(D3DXMATERIAL);
    for (const xfile::MeshMaterial &m : materials)
        if (m.hasTexture)
            size += m.textureFilename.size() + 1;
    ID3DXBuffer *buffer = nullptr;
    HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(size), &buffer);
    if (FAILED(hr))
        return hr;
    auto *records = static_cast<D3DXMATERIAL *>(buffer->GetBufferPointer());
    char *names = reinterpret_cast<char *>(records + materials.size());
    for (std::size_t i = 0; i < materials.size(); ++i) {
        records[i].MatD3D = materialOf(materials[i]);
        records[i].pTextureFilename = nullptr;
        if (materials[i].hasTexture) {
            const std::string &name = materials[i].textureFilename;
            std::memcpy(names, name.c_str(), name.size() + 1);
            records[i].pTextureFilename = names;
            names += name.size() + 1;
        }
    }
    *out = buffer;
    return S_OK;
}

HRESULT finish(xfile::MeshData &data, DWORD options, IDirect3DDevice8 *device,
               ID3DXBuffer **adjacency, ID3DXBuffer **materials, DWORD *materialCount,
               ID3DXMesh **mesh, const std::string &what) {
    // A file without materials still has its faces in subset 0: give that subset a white one.
    if (data.materials.empty()) {
        xfile::MeshMaterial white;
        white.diffuse = {1, 1, 1, 1};
        data.materials.push_back(white);
    }
    ID3DXMesh *made = nullptr;
    HRESULT hr = d3dx::CreateMeshFromData(data, options, device, &made);
    if (FAILED(hr)) {
        trace(what, "the device mesh could not be made");
        return hr;
    }
    ID3DXBuffer *materialData = nullptr;
    ID3DXBuffer *adjacencyData = nullptr;
    if (materials && FAILED(hr = materialBuffer(data.materials, &materialData))) {
        made->Release();
        return hr;
    }
    if (adjacency) {
        const xfile::VertexLayout layout = xfile::LayoutOf(data);
        const std::vector<DWORD> faces =
            d3dx::FaceAdjacency(xfile::PackVertices(data, layout), layout.Stride(), data.indices);
        if (FAILED(hr = D3DXCreateBuffer(static_cast<DWORD>(faces.size() * sizeof(DWORD)),
                                         &adjacencyData))) {
            if (materialData)
                materialData->Release();
            made->Release();
            return hr;
        }
        if (!faces.empty())
            std::memcpy(adjacencyData->GetBufferPointer(), faces.data(),
                        faces.size() * sizeof(DWORD));
    }
    if (materials)
        *materials = materialData;
    if (adjacency)
        *adjacency = adjacencyData;
    if (materialCount)
        *materialCount = static_cast<DWORD>(data.materials.size());
    *mesh = made;
    return S_OK;
}

void clearOutputs(ID3DXBuffer **adjacency, ID3DXBuffer **materials, DWORD *materialCount,
                  ID3DXMesh **mesh) {
    if (adjacency)
        *adjacency = nullptr;
    if (materials)
        *materials = nullptr;
    if (materialCount)
        *materialCount = 0;
    if (mesh)
        *mesh = nullptr;
}

} // namespace

HRESULT D3DXLoadMeshFromX(LPCSTR file, DWORD options, IDirect3DDevice8 *device,
                          ID3DXBuffer **adjacency, ID3DXBuffer **materials, DWORD *materialCount,
                          ID3DXMesh **mesh) {
    clearOutputs(adjacency, materials, materialCount, mesh);
    if (!mesh || !device)
        return D3DERR_INVALIDCALL;
    const std::string what = std::string("\"") + (file ? file : "(null)") + "\"";
    if (!file || !*file) {
        trace(what, "no file name");
        return D3DERR_INVALIDCALL;
    }
    std::vector<std::uint8_t> bytes;
    std::string error;
    xfile::Document document;
    xfile::MeshData data;
    if (!image::ReadFileBytes(win32::ResolveFileName(file), bytes, error) ||
        !xfile::ParseXFile(bytes, document, error) ||
        !xfile::BuildMeshDataFromDocument(document, data, error)) {
        trace(what, error);
        return D3DXERR_INVALIDDATA;
    }
    return finish(data, options, device, adjacency, materials, materialCount, mesh, what);
}

HRESULT D3DXLoadMeshFromXof(IDirectXFileData *object, DWORD options, IDirect3DDevice8 *device,
                            ID3DXBuffer **adjacency, ID3DXBuffer **materials, DWORD *materialCount,
                            ID3DXMesh **mesh) {
    clearOutputs(adjacency, materials, materialCount, mesh);
    if (!mesh || !device || !object)
        return D3DERR_INVALIDCALL;
    const xfile::DataObject *source = dxfile::DataObjectOf(object);
    xfile::MeshData data;
    std::string error = "not a data object of this library";
    if (!source || !xfile::BuildMeshData(*source, data, error)) {
        trace("from a file data object", error);
        return D3DXERR_INVALIDDATA;
    }
    return finish(data, options, device, adjacency, materials, materialCount, mesh,
                  "\"" + source->name + "\"");
}

HRESULT D3DXComputeNormals(ID3DXBaseMesh *mesh, const DWORD *) {
    if (!mesh)
        return D3DERR_INVALIDCALL;
    const d3d8::VertexLayout layout = d3d8::LayoutOf(mesh->GetFVF());
    if (layout.normalOffset < 0 || layout.pretransformed)
        return D3DERR_INVALIDCALL;
    // The device-free mesh computes the normals from positions and faces.
    xfile::MeshData data;
    data.vertices.resize(mesh->GetNumVertices());
    BYTE *vertices = nullptr;
    BYTE *indices = nullptr;
    HRESULT hr = mesh->LockVertexBuffer(0, &vertices);
    if (FAILED(hr))
        return hr;
    if (FAILED(hr = mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices))) {
        mesh->UnlockVertexBuffer();
        return hr;
    }
    const bool wide = mesh->GetOptions() & D3DXMESH_32BIT;
    for (std::size_t i = 0; i < data.vertices.size(); ++i)
        std::memcpy(&data.vertices[i].position, vertices + i * layout.size + layout.positionOffset,
                    12);
    data.indices.resize(static_cast<std::size_t>(mesh->GetNumFaces()) * 3);
    for (std::size_t i = 0; i < data.indices.size(); ++i) {
        if (wide) {
            std::memcpy(&data.indices[i], indices + i * 4, 4);
        } else {
            std::uint16_t narrow;
            std::memcpy(&narrow, indices + i * 2, 2);
            data.indices[i] = narrow;
        }
    }
    data.attributes.assign(mesh->GetNumFaces(), 0);
    for (std::uint32_t index : data.indices) {
        if (index >= data.vertices.size()) {
            mesh->UnlockIndexBuffer();
            mesh->UnlockVertexBuffer();
            return D3DXERR_INVALIDMESH;
        }
    }
    xfile::ComputeNormals(data);
    for (std::size_t i = 0; i < data.vertices.size(); ++i)
        std::memcpy(vertices + i * layout.size + layout.normalOffset, &data.vertices[i].normal, 12);
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    return S_OK;
}
