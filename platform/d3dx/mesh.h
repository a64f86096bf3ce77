// The mesh object behind ID3DXMesh: vertices and 16- or 32-bit indices in device buffers of the
// pool the options choose, one attribute per face, and the attribute table DrawSubset draws from.
#pragma once

#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/mesh_data.h"

#include <cstdint>
#include <vector>

namespace d3dx {

// A mesh from device-free data, packed in the layout that holds everything the data carries.
HRESULT CreateMeshFromData(const xfile::MeshData &data, DWORD options, IDirect3DDevice8 *device,
                           ID3DXMesh **mesh);

// A mesh from raw parts: `vertices` packed in `fvf`, three indices per face.
HRESULT CreateMesh(IDirect3DDevice8 *device, DWORD options, DWORD fvf, DWORD vertexCount,
                   const std::vector<std::uint8_t> &vertices,
                   const std::vector<std::uint32_t> &indices,
                   const std::vector<std::uint32_t> &attributes, ID3DXMesh **mesh);

// Runs of faces with one attribute, with the range of vertices they use.
std::vector<D3DXATTRIBUTERANGE> AttributeRuns(const std::vector<std::uint32_t> &indices,
                                              const std::vector<std::uint32_t> &attributes);

// For each face edge, the face sharing it (vertices matched by position), else 0xFFFFFFFF.
std::vector<DWORD> FaceAdjacency(const std::vector<std::uint8_t> &vertices, DWORD stride,
                                 const std::vector<std::uint32_t> &indices);

} // namespace d3dx
