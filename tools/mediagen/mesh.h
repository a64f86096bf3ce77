// Triangle meshes as the game loads them: positions, optional normals, one or two UV sets, one
// material per face. Builders below make the hard-surface parts and sprite quads from primitives.
#pragma once

#include "tools/mediagen/vec.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mediagen {

struct Vertex {
    Vec3 p;
    Vec3 n;
    float u = 0, v = 0;
    float u2 = 0, v2 = 0;
};

struct Material {
    float alpha = 1.0f;  // diffuse alpha; colour is always neutral white
    std::string texture; // empty: no TextureFilename
    // Grey emissive part, all a lit face turned from the lights shows. Some draws borrow the
    // material set before them, so a mesh that strays from 0.25 sets a 0.25 one last.
    float emissive = 0.25f;
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<std::array<std::uint32_t, 3>> faces;
    std::vector<int> faceMaterial;
    std::vector<Material> materials;
    bool hasNormals = false;
    bool hasUv = true;
    bool hasUv2 = false;

    std::uint32_t addVertex(const Vertex &v);
    std::uint32_t addVertex(Vec3 p, float u, float v);
    // Front face is the side from which a, b, c run clockwise on screen.
    void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, int material);
    void addQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, int material);
    // Appends another mesh; its material indices are offset by `materialOffset`.
    void append(const Mesh &other, int materialOffset = 0);
    void transform(const std::function<Vec3(Vec3)> &f);
    // Reverses every face (after a transform that mirrors, or for surfaces seen from inside).
    void flipWinding();
    // Adds the x-mirrored copy of every face (winding reversed so it still faces outward).
    void mirrorX();
    // Adds, for every face, a coincident face of opposite winding (sprites seen from both sides).
    void makeDoubleSided();
    // Normals averaged over faces sharing a position whose normals lie within `creaseDegrees`;
    // vertices are split at harder creases and welded where position, UV and normal agree.
    void computeNormals(float creaseDegrees);
    // Normals averaged over faces that share a vertex index (smooth closed surfaces).
    void computeSmoothNormals();
    // Faces sorted by material so subset i is one contiguous run.
    void sortByMaterial();

    Vec3 faceNormal(std::size_t face) const;                // (b - a) x (c - a), not normalised
    float cornerWeight(std::size_t face, int corner) const; // the face's angle at that corner
    float signedVolume() const;                             // > 0 when every face points outward
};

// Primitives, wound outward.
// The unit quad in the xy plane, front toward -z, UVs over the whole face.
Mesh UnitQuad(float halfWidth = 0.5f, float halfHeight = 0.5f, int material = 0);
// Axis-aligned box from `lo` to `hi`, one material, UVs from `uv(p, normal)`.
Mesh Box(Vec3 lo, Vec3 hi, int material,
         const std::function<void(Vec3, Vec3, float &, float &)> &uv);
// A loft through cross-section rings along z: ring k is `points` scaled per ring and centred.
struct LoftRing {
    float z;
    float cx, cy; // centre offset
    float sx, sy; // scale of the profile
};
Mesh Loft(const std::vector<std::array<float, 2>> &profile, const std::vector<LoftRing> &rings,
          bool capStart, bool capEnd, int material,
          const std::function<void(Vec3, Vec3, float &, float &)> &uv);
// An outline in the xz plane (clockwise seen from above) extruded between y0 and y1.
Mesh ExtrudeXZ(const std::vector<std::array<float, 2>> &outline, float y0, float y1, int material,
               const std::function<void(Vec3, Vec3, float &, float &)> &uv);
// A cylinder along +z from z0 to z1 with radii r0, r1 (a cone when one is 0).
Mesh Cylinder(float r0, float r1, float z0, float z1, int segments, bool caps, int material,
              const std::function<void(Vec3, Vec3, float &, float &)> &uv);

} // namespace mediagen
