// A device-free mesh built from an X-file Mesh object: vertices split where a corner's normal
// differs, n-gon faces fanned into triangles, triangles grouped by material into subsets, and the
// materials with their texture file names. Creating device meshes is a copy of this.
#pragma once

#include "platform/d3d8/math_types.h"
#include "platform/d3dx/xfile_reader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace xfile {

struct MeshVertex {
    D3DVECTOR position{};
    D3DVECTOR normal{};
    float u = 0, v = 0;   // texture set 0
    float u1 = 0, v1 = 0; // texture set 1 (from FVFData)
    D3DCOLOR color = 0xFFFFFFFF;
};

struct MeshMaterial {
    D3DCOLORVALUE diffuse{};
    D3DCOLORVALUE ambient{}; // the file has no ambient colour: always zero
    D3DCOLORVALUE specular{};
    D3DCOLORVALUE emissive{};
    float power = 0;
    bool hasTexture = false;
    std::string textureFilename;
};

// One subset: triangles [faceStart, faceStart + faceCount) of attribute `attributeId`, using
// vertices [vertexStart, vertexStart + vertexCount).
struct AttributeRange {
    std::uint32_t attributeId = 0;
    std::uint32_t faceStart = 0;
    std::uint32_t faceCount = 0;
    std::uint32_t vertexStart = 0;
    std::uint32_t vertexCount = 0;
};

struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;    // three per triangle, triangles sorted by attribute
    std::vector<std::uint32_t> attributes; // one per triangle
    std::vector<AttributeRange> subsets;   // one per material, in material order
    std::vector<MeshMaterial> materials;
    bool hasNormals = false;
    bool hasTexCoords = false;
    bool hasTexCoords1 = false;
    bool hasColors = false;

    std::uint32_t FaceCount() const { return static_cast<std::uint32_t>(attributes.size()); }
};

// The dwFVF value of an FVFData block holding one extra two-component texture set.
constexpr std::uint32_t kFvfDataOneExtraTexCoordSet = 256;

// Builds the mesh of one Mesh data object. False with a reason on inconsistent data (indices out
// of range, lists that do not match the vertex or face count).
bool BuildMeshData(const DataObject &mesh, MeshData &out, std::string &error);

// The mesh of a whole file: its Mesh objects, at the top level or inside frames (whose transforms
// are applied), merged into one with their materials in file order.
bool BuildMeshDataFromDocument(const Document &document, MeshData &out, std::string &error);

} // namespace xfile
