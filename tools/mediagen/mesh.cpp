// Mesh editing: faces, mirroring, double-siding, crease-aware normals and the basic primitives.
#include "tools/mediagen/mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace mediagen {

std::uint32_t Mesh::addVertex(const Vertex &v) {
    vertices.push_back(v);
    return static_cast<std::uint32_t>(vertices.size() - 1);
}

std::uint32_t Mesh::addVertex(Vec3 p, float u, float v) {
    Vertex vx;
    vx.p = p;
    vx.u = vx.u2 = u;
    vx.v = vx.v2 = v;
    return addVertex(vx);
}

void Mesh::addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, int material) {
    faces.push_back({a, b, c});
    faceMaterial.push_back(material);
}

void Mesh::addQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                   int material) {
    addTriangle(a, b, c, material);
    addTriangle(a, c, d, material);
}

void Mesh::append(const Mesh &other, int materialOffset) {
    auto base = static_cast<std::uint32_t>(vertices.size());
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    for (std::size_t i = 0; i < other.faces.size(); ++i) {
        const auto &f = other.faces[i];
        addTriangle(f[0] + base, f[1] + base, f[2] + base, other.faceMaterial[i] + materialOffset);
    }
}

void Mesh::transform(const std::function<Vec3(Vec3)> &f) {
    for (auto &v : vertices) {
        v.p = f(v.p);
    }
}

void Mesh::flipWinding() {
    for (auto &f : faces) {
        std::swap(f[1], f[2]);
    }
}

void Mesh::mirrorX() {
    Mesh copy = *this;
    for (auto &v : copy.vertices) {
        v.p.x = -v.p.x;
        v.n.x = -v.n.x;
    }
    for (auto &f : copy.faces) {
        std::swap(f[1], f[2]);
    }
    append(copy);
}

void Mesh::makeDoubleSided() {
    std::size_t count = faces.size();
    for (std::size_t i = 0; i < count; ++i) {
        auto f = faces[i];
        addTriangle(f[0], f[2], f[1], faceMaterial[i]);
    }
}

namespace {

// Angle of a face at one of its corners: weighting normals by it makes the result independent of
// how a flat panel happens to be split into triangles.
float cornerAngle(Vec3 at, Vec3 a, Vec3 b) {
    Vec3 u = normalize(a - at), v = normalize(b - at);
    return std::acos(std::clamp(dot(u, v), -1.0f, 1.0f));
}

} // namespace

float Mesh::cornerWeight(std::size_t face, int corner) const {
    const auto &f = faces[face];
    return cornerAngle(vertices[f[corner]].p, vertices[f[(corner + 1) % 3]].p,
                       vertices[f[(corner + 2) % 3]].p);
}

Vec3 Mesh::faceNormal(std::size_t face) const {
    const auto &f = faces[face];
    Vec3 a = vertices[f[0]].p, b = vertices[f[1]].p, c = vertices[f[2]].p;
    return cross(b - a, c - a);
}

void Mesh::computeSmoothNormals() {
    for (auto &v : vertices) {
        v.n = {};
    }
    for (std::size_t i = 0; i < faces.size(); ++i) {
        Vec3 n = normalize(faceNormal(i));
        for (int k = 0; k < 3; ++k) {
            auto idx = faces[i][k];
            vertices[idx].n = vertices[idx].n + n * cornerWeight(i, k);
        }
    }
    for (auto &v : vertices) {
        v.n = normalize(v.n);
    }
    hasNormals = true;
}

void Mesh::computeNormals(float creaseDegrees) {
    const float cosLimit = std::cos(creaseDegrees * kPi / 180.0f);
    auto key = [](Vec3 p) {
        return std::make_tuple(std::lround(p.x * 1e4f), std::lround(p.y * 1e4f),
                               std::lround(p.z * 1e4f));
    };
    std::vector<Vec3> faceNormals(faces.size());
    // For each position: the faces touching it and the angle each makes there.
    std::map<std::tuple<long, long, long>, std::vector<std::pair<std::size_t, float>>> facesAt;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        faceNormals[i] = normalize(faceNormal(i));
        for (int k = 0; k < 3; ++k) {
            facesAt[key(vertices[faces[i][k]].p)].push_back({i, cornerWeight(i, k)});
        }
    }
    Mesh out;
    out.materials = materials;
    out.hasUv = hasUv;
    out.hasUv2 = hasUv2;
    out.hasNormals = true;
    std::map<std::tuple<long, long, long, long, long, long, long, long, long, long>, std::uint32_t>
        welded;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        Vec3 own = normalize(faceNormals[i]);
        std::array<std::uint32_t, 3> corner{};
        for (int k = 0; k < 3; ++k) {
            Vertex v = vertices[faces[i][k]];
            Vec3 sum{};
            for (const auto &[other, weight] : facesAt[key(v.p)]) {
                if (dot(faceNormals[other], own) >= cosLimit) {
                    sum = sum + faceNormals[other] * weight;
                }
            }
            v.n = normalize(sum);
            if (length(v.n) < 0.5f) {
                v.n = own;
            }
            auto q = [](float f) { return std::lround(f * 1e4f); };
            auto k2 = std::make_tuple(q(v.p.x), q(v.p.y), q(v.p.z), q(v.n.x * 10), q(v.n.y * 10),
                                      q(v.n.z * 10), q(v.u), q(v.v), q(v.u2), q(v.v2));
            auto it = welded.find(k2);
            if (it == welded.end()) {
                it = welded.emplace(k2, out.addVertex(v)).first;
            }
            corner[k] = it->second;
        }
        out.addTriangle(corner[0], corner[1], corner[2], faceMaterial[i]);
    }
    *this = std::move(out);
}

void Mesh::sortByMaterial() {
    std::vector<std::size_t> order(faces.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return faceMaterial[a] < faceMaterial[b];
    });
    std::vector<std::array<std::uint32_t, 3>> f;
    std::vector<int> m;
    for (auto i : order) {
        f.push_back(faces[i]);
        m.push_back(faceMaterial[i]);
    }
    faces = std::move(f);
    faceMaterial = std::move(m);
}

float Mesh::signedVolume() const {
    double sum = 0;
    for (const auto &f : faces) {
        Vec3 a = vertices[f[0]].p, b = vertices[f[1]].p, c = vertices[f[2]].p;
        sum += dot(a, cross(b, c));
    }
    return static_cast<float>(sum / 6.0);
}

Mesh UnitQuad(float hw, float hh, int material) {
    Mesh m;
    auto a = m.addVertex({-hw, hh, 0}, 0, 0);
    auto b = m.addVertex({hw, hh, 0}, 1, 0);
    auto c = m.addVertex({hw, -hh, 0}, 1, 1);
    auto d = m.addVertex({-hw, -hh, 0}, 0, 1);
    m.addQuad(a, b, c, d, material);
    return m;
}

Mesh Box(Vec3 lo, Vec3 hi, int material,
         const std::function<void(Vec3, Vec3, float &, float &)> &uv) {
    Mesh m;
    // Each face: outward normal and its four corners clockwise seen from outside.
    struct FaceDef {
        Vec3 n;
        Vec3 c[4];
    };
    const FaceDef defs[6] = {
        {{0, 0, -1},
         {{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}}},
        {{0, 0, 1},
         {{hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}}},
        {{-1, 0, 0},
         {{lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}}},
        {{1, 0, 0},
         {{hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}}},
        {{0, 1, 0},
         {{lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}}},
        {{0, -1, 0},
         {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}}},
    };
    for (const auto &d : defs) {
        std::uint32_t idx[4];
        for (int k = 0; k < 4; ++k) {
            float u, v;
            uv(d.c[k], d.n, u, v);
            idx[k] = m.addVertex(d.c[k], u, v);
        }
        m.addQuad(idx[0], idx[1], idx[2], idx[3], material);
    }
    return m;
}

namespace {

// Fan cap over a ring of vertex positions; `facingPlusZ` picks the winding.
void capRing(Mesh &m, const std::vector<Vec3> &ring, bool facingPlusZ, int material,
             const std::function<void(Vec3, Vec3, float &, float &)> &uv) {
    Vec3 centre{};
    for (auto p : ring) {
        centre = centre + p;
    }
    centre = centre * (1.0f / ring.size());
    Vec3 n{0, 0, facingPlusZ ? 1.0f : -1.0f};
    float u, v;
    uv(centre, n, u, v);
    auto c = m.addVertex(centre, u, v);
    std::vector<std::uint32_t> idx;
    for (auto p : ring) {
        uv(p, n, u, v);
        idx.push_back(m.addVertex(p, u, v));
    }
    for (std::size_t i = 0; i < ring.size(); ++i) {
        std::size_t j = (i + 1) % ring.size();
        Vec3 a = centre, b = ring[i], cc = ring[j];
        bool plus = cross(b - a, cc - a).z > 0;
        if (plus == facingPlusZ) {
            m.addTriangle(c, idx[i], idx[j], material);
        } else {
            m.addTriangle(c, idx[j], idx[i], material);
        }
    }
}

} // namespace

Mesh Loft(const std::vector<std::array<float, 2>> &profile, const std::vector<LoftRing> &rings,
          bool capStart, bool capEnd, int material,
          const std::function<void(Vec3, Vec3, float &, float &)> &uv) {
    Mesh m;
    const std::size_t n = profile.size();
    std::vector<std::vector<Vec3>> pts;
    for (const auto &r : rings) {
        std::vector<Vec3> ring;
        for (const auto &p : profile) {
            ring.push_back({r.cx + p[0] * r.sx, r.cy + p[1] * r.sy, r.z});
        }
        pts.push_back(ring);
    }
    // Side quads, each with its own corners so the crease pass decides the smoothing.
    for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
        for (std::size_t i = 0; i < n; ++i) {
            std::size_t j = (i + 1) % n;
            Vec3 q[4] = {pts[k][i], pts[k][j], pts[k + 1][j], pts[k + 1][i]};
            Vec3 nn = cross(q[1] - q[0], q[2] - q[0]);
            if (length(nn) < 1e-9f) {
                nn = cross(q[2] - q[0], q[3] - q[0]);
            }
            std::uint32_t idx[4];
            for (int c = 0; c < 4; ++c) {
                float u, v;
                uv(q[c], normalize(nn), u, v);
                idx[c] = m.addVertex(q[c], u, v);
            }
            m.addQuad(idx[0], idx[1], idx[2], idx[3], material);
        }
    }
    // Orient the sides outward: the profile may be given either way round.
    Vec3 centre{};
    for (const auto &ring : pts) {
        for (auto p : ring) {
            centre = centre + p;
        }
    }
    centre = centre * (1.0f / (pts.size() * n));
    float outward = 0;
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        Vec3 a = m.vertices[m.faces[f][0]].p;
        Vec3 axis{centre.x, centre.y, a.z};
        outward += dot(m.faceNormal(f), a - axis);
    }
    if (outward < 0) {
        for (auto &f : m.faces) {
            std::swap(f[1], f[2]);
        }
    }
    if (capStart) {
        capRing(m, pts.front(), rings.front().z > rings.back().z, material, uv);
    }
    if (capEnd) {
        capRing(m, pts.back(), rings.back().z > rings.front().z, material, uv);
    }
    // Drop degenerate triangles (rings shrunk to a point).
    Mesh clean = m;
    clean.faces.clear();
    clean.faceMaterial.clear();
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        if (length(m.faceNormal(f)) > 1e-9f) {
            clean.addTriangle(m.faces[f][0], m.faces[f][1], m.faces[f][2], m.faceMaterial[f]);
        }
    }
    return clean;
}

Mesh ExtrudeXZ(const std::vector<std::array<float, 2>> &outline, float y0, float y1, int material,
               const std::function<void(Vec3, Vec3, float &, float &)> &uv) {
    Mesh m;
    const std::size_t n = outline.size();
    // Signed area in the xz plane decides which way the outline runs.
    float area = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto &a = outline[i];
        const auto &b = outline[(i + 1) % n];
        area += a[0] * b[1] - b[0] * a[1];
    }
    auto add = [&](Vec3 p, Vec3 nrm) {
        float u, v;
        uv(p, nrm, u, v);
        return m.addVertex(p, u, v);
    };
    // Top and bottom as fans from the first vertex (outlines here are convex).
    for (int side = 0; side < 2; ++side) {
        float y = side == 0 ? y1 : y0;
        Vec3 nrm{0, side == 0 ? 1.0f : -1.0f, 0};
        std::vector<std::uint32_t> idx;
        for (const auto &p : outline) {
            idx.push_back(add({p[0], y, p[1]}, nrm));
        }
        for (std::size_t i = 1; i + 1 < n; ++i) {
            std::uint32_t a = idx[0], b = idx[i], c = idx[i + 1];
            Vec3 fn = cross(m.vertices[b].p - m.vertices[a].p, m.vertices[c].p - m.vertices[a].p);
            if (dot(fn, nrm) < 0) {
                std::swap(b, c);
            }
            m.addTriangle(a, b, c, material);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto &a = outline[i];
        const auto &b = outline[(i + 1) % n];
        Vec3 edge{b[0] - a[0], 0, b[1] - a[1]};
        Vec3 nrm = normalize(area > 0 ? Vec3{edge.z, 0, -edge.x} : Vec3{-edge.z, 0, edge.x});
        Vec3 q[4] = {{a[0], y1, a[1]}, {b[0], y1, b[1]}, {b[0], y0, b[1]}, {a[0], y0, a[1]}};
        std::uint32_t idx[4];
        for (int c = 0; c < 4; ++c) {
            idx[c] = add(q[c], nrm);
        }
        Vec3 fn = cross(q[1] - q[0], q[2] - q[0]);
        if (dot(fn, nrm) >= 0) {
            m.addQuad(idx[0], idx[1], idx[2], idx[3], material);
        } else {
            m.addQuad(idx[0], idx[3], idx[2], idx[1], material);
        }
    }
    return m;
}

Mesh Cylinder(float r0, float r1, float z0, float z1, int segments, bool caps, int material,
              const std::function<void(Vec3, Vec3, float &, float &)> &uv) {
    std::vector<std::array<float, 2>> circle;
    for (int i = 0; i < segments; ++i) {
        float a = 2 * kPi * i / segments;
        circle.push_back({std::cos(a), std::sin(a)});
    }
    std::vector<LoftRing> rings = {{z0, 0, 0, r0, r0}, {z1, 0, 0, r1, r1}};
    return Loft(circle, rings, caps && r0 > 0, caps && r1 > 0, material, uv);
}

} // namespace mediagen
