// Builds device-free meshes from X-file Mesh objects.
#include "platform/d3dx/mesh_data.h"

#include "platform/d3dx/math.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace xfile {

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// The object is of the standard template `name`; a file may declare its own template under a
// standard name, which we only read when its members are laid out as ours.
bool IsKind(const DataObject &object, const char *name, bool &layoutMismatch) {
    if (object.type->name != name)
        return false;
    const Template *standard = FindStandardTemplate(name);
    if (object.type != standard && !object.type->SameLayoutAs(*standard)) {
        layoutMismatch = true;
        return false;
    }
    return true;
}

D3DCOLORVALUE ReadColor(DataCursor &c, bool withAlpha) {
    D3DCOLORVALUE color;
    color.r = c.Float();
    color.g = c.Float();
    color.b = c.Float();
    color.a = withAlpha ? c.Float() : 1.0f;
    return color;
}

std::uint32_t ToByte(float v) {
    const float clamped = std::clamp(std::isnan(v) ? 0.0f : v, 0.0f, 1.0f);
    return static_cast<std::uint32_t>(clamped * 255.0f + 0.5f);
}

// Faces as read: corner counts and a flat run of indices.
struct FaceList {
    std::vector<std::uint32_t> starts; // one per face, plus the end
    std::vector<std::uint32_t> corners;
};

// Reads `count` faces; a face needs three corners to have an area. False with `error` set to
// what is wrong (and where, for a face too small) otherwise.
bool ReadFaces(const DataObject &object, DataCursor &c, std::uint32_t count, FaceList &faces,
               std::string &error) {
    // Each face takes at least its corner count: a larger count cannot be in the data.
    if (count > c.Remaining() / 4)
        return false;
    faces.starts.reserve(count + 1);
    faces.starts.push_back(0);
    for (std::uint32_t f = 0; f < count; ++f) {
        const std::size_t at = c.Offset();
        const std::uint32_t n = c.DWord();
        if (!c.Ok() || n > c.Remaining() / 4)
            return false;
        if (n < 3) {
            error = object.Where(at) + ": " + object.type->name + " face " + std::to_string(f) +
                    " has " + std::to_string(n) + " corners, fewer than a triangle";
            return false;
        }
        for (std::uint32_t k = 0; k < n; ++k)
            faces.corners.push_back(c.DWord());
        faces.starts.push_back(static_cast<std::uint32_t>(faces.corners.size()));
    }
    return c.Ok();
}

bool ReadVectors(DataCursor &c, std::vector<D3DVECTOR> &out) {
    const std::uint32_t count = c.DWord();
    if (!c.Ok() || count > c.Remaining() / 12)
        return false;
    out.resize(count);
    for (auto &v : out) {
        v.x = c.Float();
        v.y = c.Float();
        v.z = c.Float();
    }
    return c.Ok();
}

const DataObject *FindTexture(const DataObject &material, bool &layoutMismatch) {
    for (const Child &child : material.children)
        if (child.object && IsKind(*child.object, "TextureFilename", layoutMismatch))
            return child.object;
    return nullptr;
}

bool ReadMaterial(const DataObject &object, MeshMaterial &out, std::string &error) {
    DataCursor c(object);
    out.diffuse = ReadColor(c, true);
    out.power = c.Float();
    out.specular = ReadColor(c, false);
    out.emissive = ReadColor(c, false);
    out.ambient = {0, 0, 0, 0};
    bool mismatch = false;
    if (const DataObject *texture = FindTexture(object, mismatch)) {
        DataCursor t(*texture);
        const char *name = t.String();
        if (t.Ok() && name) {
            out.hasTexture = true;
            out.textureFilename = name;
        }
    }
    if (mismatch || !c.Ok()) {
        error = "malformed Material";
        return false;
    }
    return true;
}

// Sorts triangles by attribute (keeping file order within one) and builds one subset per
// material.
void FinishSubsets(MeshData &mesh) {
    const std::uint32_t faceCount = mesh.FaceCount();
    std::vector<std::uint32_t> order(faceCount);
    for (std::uint32_t i = 0; i < faceCount; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return mesh.attributes[a] < mesh.attributes[b];
    });
    std::vector<std::uint32_t> indices(mesh.indices.size()), attributes(faceCount);
    for (std::uint32_t i = 0; i < faceCount; ++i) {
        attributes[i] = mesh.attributes[order[i]];
        std::memcpy(&indices[i * 3], &mesh.indices[order[i] * 3], 3 * sizeof(std::uint32_t));
    }
    mesh.indices = std::move(indices);
    mesh.attributes = std::move(attributes);

    mesh.subsets.assign(mesh.materials.size(), AttributeRange{});
    std::uint32_t face = 0;
    for (std::uint32_t id = 0; id < mesh.subsets.size(); ++id) {
        AttributeRange &range = mesh.subsets[id];
        range.attributeId = id;
        range.faceStart = face;
        std::uint32_t lo = kNone, hi = 0;
        while (face < faceCount && mesh.attributes[face] == id) {
            for (int k = 0; k < 3; ++k) {
                lo = std::min(lo, mesh.indices[face * 3 + k]);
                hi = std::max(hi, mesh.indices[face * 3 + k]);
            }
            ++face;
        }
        range.faceCount = face - range.faceStart;
        range.vertexStart = range.faceCount ? lo : 0;
        range.vertexCount = range.faceCount ? hi - lo + 1 : 0;
    }
}

// The positions and faces at the head of a Mesh object, every corner a valid position.
bool ReadMeshGeometry(const DataObject &object, std::vector<D3DVECTOR> &positions, FaceList &faces,
                      std::string &error) {
    DataCursor c(object);
    if (!ReadVectors(c, positions)) {
        error = "malformed Mesh vertices";
        return false;
    }
    if (!ReadFaces(object, c, c.DWord(), faces, error)) {
        if (error.empty())
            error = "malformed Mesh faces";
        return false;
    }
    for (std::uint32_t index : faces.corners)
        if (index >= positions.size()) {
            error = "face index out of range";
            return false;
        }
    return true;
}

// What the children of a Mesh object add to it.
struct MeshChildren {
    std::vector<D3DVECTOR> normals;
    FaceList normalFaces;
    std::vector<float> texCoords, texCoords1;
    std::vector<D3DCOLOR> colors;
    const DataObject *materialList = nullptr;
};

// Normals with faces of their own, which must match the mesh's faces corner for corner.
bool ReadMeshNormals(const DataObject &sub, const FaceList &faces, MeshChildren &children,
                     std::string &error) {
    DataCursor n(sub);
    if (!ReadVectors(n, children.normals) ||
        !ReadFaces(sub, n, n.DWord(), children.normalFaces, error)) {
        if (error.empty())
            error = "malformed MeshNormals";
        return false;
    }
    if (children.normalFaces.starts != faces.starts) {
        error = "MeshNormals faces do not match the mesh faces";
        return false;
    }
    for (std::uint32_t index : children.normalFaces.corners)
        if (index >= children.normals.size()) {
            error = "normal index out of range";
            return false;
        }
    return true;
}

bool ReadTextureCoords(const DataObject &sub, std::uint32_t vertexCount, std::vector<float> &out,
                       std::string &error) {
    DataCursor t(sub);
    const std::uint32_t count = t.DWord();
    if (!t.Ok() || count > t.Remaining() / 8 || count < vertexCount) {
        error = "MeshTextureCoords does not cover every vertex";
        return false;
    }
    out.resize(2 * std::size_t{vertexCount});
    for (float &value : out)
        value = t.Float();
    return true;
}

// Colours of some vertices; the others stay white.
bool ReadVertexColors(const DataObject &sub, std::uint32_t vertexCount, std::vector<D3DCOLOR> &out,
                      std::string &error) {
    DataCursor v(sub);
    const std::uint32_t count = v.DWord();
    if (!v.Ok() || count > v.Remaining() / 20) {
        error = "malformed MeshVertexColors";
        return false;
    }
    out.assign(vertexCount, 0xFFFFFFFF);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t index = v.DWord();
        const D3DCOLORVALUE cv = ReadColor(v, true);
        if (index >= vertexCount) {
            error = "vertex colour index out of range";
            return false;
        }
        out[index] = D3DCOLOR_ARGB(ToByte(cv.a), ToByte(cv.r), ToByte(cv.g), ToByte(cv.b));
    }
    return true;
}

enum class FvfRead { Read, Skipped, Failed };

// The second texture set; other layouts carry nothing we draw and are skipped.
FvfRead ReadFvfData(const DataObject &sub, std::uint32_t vertexCount, std::vector<float> &out,
                    std::string &error) {
    DataCursor d(sub);
    const std::uint32_t fvf = d.DWord();
    const std::uint32_t count = d.DWord();
    if (fvf != kFvfDataOneExtraTexCoordSet)
        return FvfRead::Skipped;
    if (!d.Ok() || count != 2 * std::uint64_t{vertexCount} || count > d.Remaining() / 4) {
        error = "FVFData does not hold one texture pair per vertex";
        return FvfRead::Failed;
    }
    out.resize(count);
    for (float &value : out) {
        const std::uint32_t bits = d.DWord();
        std::memcpy(&value, &bits, sizeof value);
    }
    return FvfRead::Read;
}

// The optional children; the first child of each kind counts, repeats are ignored rather than
// read again. Sets the mesh's has-flags for what was found.
bool ReadMeshChildren(const DataObject &object, std::uint32_t vertexCount, const FaceList &faces,
                      MeshData &out, MeshChildren &children, std::string &error) {
    bool mismatch = false;
    for (const Child &child : object.children) {
        if (child.reference || !child.object)
            continue;
        const DataObject &sub = *child.object;
        if (!out.hasNormals && IsKind(sub, "MeshNormals", mismatch)) {
            if (!ReadMeshNormals(sub, faces, children, error))
                return false;
            out.hasNormals = true;
        } else if (!out.hasTexCoords && IsKind(sub, "MeshTextureCoords", mismatch)) {
            if (!ReadTextureCoords(sub, vertexCount, children.texCoords, error))
                return false;
            out.hasTexCoords = true;
        } else if (!out.hasColors && IsKind(sub, "MeshVertexColors", mismatch)) {
            if (!ReadVertexColors(sub, vertexCount, children.colors, error))
                return false;
            out.hasColors = true;
        } else if (!out.hasTexCoords1 && IsKind(sub, "FVFData", mismatch)) {
            const FvfRead read = ReadFvfData(sub, vertexCount, children.texCoords1, error);
            if (read == FvfRead::Failed)
                return false;
            if (read == FvfRead::Skipped)
                continue;
            out.hasTexCoords1 = true;
        } else if (!children.materialList && IsKind(sub, "MeshMaterialList", mismatch)) {
            children.materialList = &sub;
        }
        if (mismatch) {
            error = "template '" + sub.type->name + "' has an unexpected layout";
            return false;
        }
    }
    return true;
}

// The materials and the material of each face; without a material list, one white material
// for every face.
bool ReadFaceMaterials(const DataObject *materialList, std::uint32_t faceCount, MeshData &out,
                       std::vector<std::uint32_t> &faceMaterials, std::string &error) {
    faceMaterials.assign(faceCount, 0);
    if (!materialList) {
        MeshMaterial white;
        white.diffuse = {1, 1, 1, 1};
        white.specular = {0, 0, 0, 1};
        white.emissive = {0, 0, 0, 1};
        out.materials.push_back(white);
        return true;
    }
    DataCursor m(*materialList);
    const std::uint32_t materialCount = m.DWord();
    const std::size_t indexCountAt = m.Offset();
    const std::uint32_t indexCount = m.DWord();
    if (!m.Ok() || indexCount > m.Remaining() / 4) {
        error = "malformed MeshMaterialList";
        return false;
    }
    // Fewer indices than faces is the usual shorthand; more names faces that do not exist.
    if (indexCount > faceCount) {
        error = materialList->Where(indexCountAt) + ": MeshMaterialList gives " +
                std::to_string(indexCount) + " face materials for " + std::to_string(faceCount) +
                " faces";
        return false;
    }
    std::vector<std::uint32_t> indexes(indexCount);
    for (auto &index : indexes)
        index = m.DWord();
    bool mismatch = false;
    for (const Child &child : materialList->children) {
        if (out.materials.size() == materialCount)
            break;
        if (!child.object || !IsKind(*child.object, "Material", mismatch))
            continue;
        MeshMaterial material;
        if (!ReadMaterial(*child.object, material, error))
            return false;
        out.materials.push_back(std::move(material));
    }
    if (mismatch || out.materials.size() != materialCount) {
        error = "MeshMaterialList holds fewer materials than it names";
        return false;
    }
    // Faces past the list keep the last listed material.
    for (std::uint32_t f = 0; f < faceCount && !indexes.empty(); ++f)
        faceMaterials[f] = indexes[std::min<std::size_t>(f, indexes.size() - 1)];
    for (std::uint32_t id : faceMaterials)
        if (id >= std::max<std::uint32_t>(materialCount, 1) ||
            (materialCount == 0 && faceCount > 0)) {
            error = "face material index out of range";
            return false;
        }
    return true;
}

// The mesh's vertices: one per position, plus one more for each further normal a position is
// used with. Returns the vertex of each face corner.
std::vector<std::uint32_t> SplitVertices(const std::vector<D3DVECTOR> &positions,
                                         const MeshChildren &children, const FaceList &faces,
                                         MeshData &out) {
    auto makeVertex = [&](std::uint32_t position, std::uint32_t normal) {
        MeshVertex v;
        v.position = positions[position];
        if (normal != kNone)
            v.normal = children.normals[normal];
        if (out.hasTexCoords) {
            v.u = children.texCoords[2 * position];
            v.v = children.texCoords[2 * position + 1];
        }
        if (out.hasTexCoords1) {
            v.u1 = children.texCoords1[2 * position];
            v.v1 = children.texCoords1[2 * position + 1];
        }
        if (out.hasColors)
            v.color = children.colors[position];
        return v;
    };
    const auto vertexCount = static_cast<std::uint32_t>(positions.size());
    std::vector<std::uint32_t> firstNormal(vertexCount, kNone);
    std::vector<bool> used(vertexCount, false);
    std::unordered_map<std::uint64_t, std::uint32_t> splits;
    out.vertices.reserve(vertexCount);
    for (std::uint32_t i = 0; i < vertexCount; ++i)
        out.vertices.push_back(makeVertex(i, kNone));
    std::vector<std::uint32_t> cornerVertex(faces.corners.size());
    for (std::size_t k = 0; k < faces.corners.size(); ++k) {
        const std::uint32_t position = faces.corners[k];
        const std::uint32_t normal = out.hasNormals ? children.normalFaces.corners[k] : kNone;
        if (!used[position]) {
            used[position] = true;
            firstNormal[position] = normal;
            out.vertices[position] = makeVertex(position, normal);
            cornerVertex[k] = position;
        } else if (firstNormal[position] == normal) {
            cornerVertex[k] = position;
        } else {
            const std::uint64_t key = (std::uint64_t{position} << 32) | normal;
            auto [it, added] =
                splits.try_emplace(key, static_cast<std::uint32_t>(out.vertices.size()));
            if (added)
                out.vertices.push_back(makeVertex(position, normal));
            cornerVertex[k] = it->second;
        }
    }
    return cornerVertex;
}

// Triangles: each n-gon becomes a fan around its first corner.
void FanTriangles(const FaceList &faces, const std::vector<std::uint32_t> &cornerVertex,
                  const std::vector<std::uint32_t> &faceMaterials, MeshData &out) {
    const auto faceCount = static_cast<std::uint32_t>(faces.starts.size() - 1);
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        const std::uint32_t start = faces.starts[f];
        const std::uint32_t n = faces.starts[f + 1] - start;
        for (std::uint32_t k = 1; k + 1 < n; ++k) {
            out.indices.push_back(cornerVertex[start]);
            out.indices.push_back(cornerVertex[start + k]);
            out.indices.push_back(cornerVertex[start + k + 1]);
            out.attributes.push_back(faceMaterials[f]);
        }
    }
}

} // namespace

bool BuildMeshData(const DataObject &object, MeshData &out, std::string &error) {
    out = MeshData{};
    error.clear();
    bool mismatch = false;
    if (!IsKind(object, "Mesh", mismatch)) {
        error = mismatch ? "Mesh template has an unexpected layout" : "not a Mesh object";
        return false;
    }
    std::vector<D3DVECTOR> positions;
    FaceList faces;
    MeshChildren children;
    std::vector<std::uint32_t> faceMaterials;
    if (!ReadMeshGeometry(object, positions, faces, error) ||
        !ReadMeshChildren(object, static_cast<std::uint32_t>(positions.size()), faces, out,
                          children, error) ||
        !ReadFaceMaterials(children.materialList,
                           static_cast<std::uint32_t>(faces.starts.size() - 1), out, faceMaterials,
                           error))
        return false;
    const std::vector<std::uint32_t> cornerVertex = SplitVertices(positions, children, faces, out);
    FanTriangles(faces, cornerVertex, faceMaterials, out);
    FinishSubsets(out);
    return true;
}

namespace {

bool Append(MeshData &into, MeshData &&part, const D3DXMATRIX &world, bool identity) {
    const std::uint32_t base = static_cast<std::uint32_t>(into.vertices.size());
    const std::uint32_t materialBase = static_cast<std::uint32_t>(into.materials.size());
    D3DXMATRIX normalMatrix;
    if (!identity) {
        // Normals go through the inverse transpose so that scaled frames keep them perpendicular.
        D3DXMATRIX inverse;
        if (!D3DXMatrixInverse(&inverse, nullptr, &world))
            D3DXMatrixIdentity(&inverse);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                normalMatrix.m[r][c] = inverse.m[c][r];
    }
    for (MeshVertex &v : part.vertices) {
        if (!identity) {
            D3DXVECTOR3 p(v.position), n(v.normal), out;
            D3DXVec3TransformCoord(&out, &p, &world);
            v.position = out;
            out = D3DXVECTOR3(
                n.x * normalMatrix._11 + n.y * normalMatrix._21 + n.z * normalMatrix._31,
                n.x * normalMatrix._12 + n.y * normalMatrix._22 + n.z * normalMatrix._32,
                n.x * normalMatrix._13 + n.y * normalMatrix._23 + n.z * normalMatrix._33);
            D3DXVec3Normalize(&out, &out);
            v.normal = out;
        }
        into.vertices.push_back(v);
    }
    for (std::uint32_t index : part.indices)
        into.indices.push_back(base + index);
    for (std::uint32_t id : part.attributes)
        into.attributes.push_back(materialBase + id);
    for (MeshMaterial &m : part.materials)
        into.materials.push_back(std::move(m));
    into.hasNormals |= part.hasNormals;
    into.hasTexCoords |= part.hasTexCoords;
    into.hasTexCoords1 |= part.hasTexCoords1;
    into.hasColors |= part.hasColors;
    return true;
}

bool CollectMeshes(const DataObject &object, const D3DXMATRIX &parent, bool parentIdentity,
                   MeshData &into, int &found, std::string &error) {
    bool mismatch = false;
    if (IsKind(object, "Mesh", mismatch)) {
        MeshData part;
        if (!BuildMeshData(object, part, error))
            return false;
        ++found;
        return Append(into, std::move(part), parent, parentIdentity);
    }
    if (!IsKind(object, "Frame", mismatch))
        return !mismatch || (error = "Frame template has an unexpected layout", false);

    // The frame's own transform applies before its parent's.
    D3DXMATRIX world = parent;
    bool identity = parentIdentity;
    for (const Child &child : object.children) {
        if (child.reference || !child.object ||
            !IsKind(*child.object, "FrameTransformMatrix", mismatch))
            continue;
        DataCursor c(*child.object);
        D3DXMATRIX local;
        for (int i = 0; i < 16; ++i)
            (&local._11)[i] = c.Float();
        if (!c.Ok()) {
            error = "malformed FrameTransformMatrix";
            return false;
        }
        D3DXMatrixMultiply(&world, &local, &parent);
        identity = false;
        break;
    }
    for (const Child &child : object.children)
        if (!child.reference && child.object &&
            !CollectMeshes(*child.object, world, identity, into, found, error))
            return false;
    return true;
}

} // namespace

bool BuildMeshDataFromDocument(const Document &document, MeshData &out, std::string &error) {
    out = MeshData{};
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    int found = 0;
    for (const DataObject *object : document.topLevel)
        if (!CollectMeshes(*object, identity, true, out, found, error)) {
            out = MeshData{};
            return false;
        }
    if (found == 0) {
        error = "no mesh in the file";
        return false;
    }
    FinishSubsets(out);
    return true;
}

} // namespace xfile
