// The meshes loaded as the game loads them (X-file reader, then the mesh builder): structure,
// subsets, winding, sizes and the positions the game's code relies on.
#include "tests/media/media_loaders.h"

#include <algorithm>
#include <map>

using namespace mediatest;

namespace {

V3 Sub(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 Cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
float Len(V3 a) {
    return std::sqrt(Dot(a, a));
}

V3 FaceNormal(const Mesh &m, std::size_t f) {
    const auto &i = m.faces[f];
    return Cross(Sub(m.positions[i[1]], m.positions[i[0]]),
                 Sub(m.positions[i[2]], m.positions[i[0]]));
}

V3 Centroid(const Mesh &m, std::size_t f) {
    const auto &i = m.faces[f];
    V3 a = m.positions[i[0]], b = m.positions[i[1]], c = m.positions[i[2]];
    return {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
}

float SignedVolume(const Mesh &m) {
    double v = 0;
    for (const auto &f : m.faces) {
        v += Dot(m.positions[f[0]], Cross(m.positions[f[1]], m.positions[f[2]]));
    }
    return static_cast<float>(v / 6);
}

float MaxRadius(const Mesh &m) {
    float r = 0;
    for (auto p : m.positions) {
        r = std::max(r, Len(p));
    }
    return r;
}

struct Box {
    V3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
};

Box Bounds(const Mesh &m, int subset = -1) {
    Box b;
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        if (subset >= 0 && static_cast<int>(m.faceMaterial[f]) != subset) {
            continue;
        }
        for (auto i : m.faces[f]) {
            V3 p = m.positions[i];
            b.lo = {std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z)};
            b.hi = {std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z)};
        }
    }
    return b;
}

// Every face has a coincident face of opposite winding (a sprite seen from both sides).
bool DoubleSided(const Mesh &m) {
    std::map<std::array<long, 9>, int> count;
    auto key = [&](std::size_t f, bool reversed) {
        std::array<V3, 3> p = {m.positions[m.faces[f][0]], m.positions[m.faces[f][1]],
                               m.positions[m.faces[f][2]]};
        if (reversed) {
            std::swap(p[1], p[2]);
        }
        // Rotate so the smallest corner leads: the same face starting elsewhere compares equal.
        auto less = [](V3 a, V3 b) { return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z); };
        int first = less(p[1], p[0]) ? (less(p[2], p[1]) ? 2 : 1) : (less(p[2], p[0]) ? 2 : 0);
        std::array<long, 9> k{};
        for (int c = 0; c < 3; ++c) {
            V3 q = p[(first + c) % 3];
            k[c * 3] = std::lround(q.x * 1e4), k[c * 3 + 1] = std::lround(q.y * 1e4),
                  k[c * 3 + 2] = std::lround(q.z * 1e4);
        }
        return k;
    };
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        ++count[key(f, false)];
    }
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        if (!count.count(key(f, true))) {
            return false;
        }
    }
    return true;
}

const char *const kAllMeshes[] = {
    "asteroid1.x", "asteroid2.x", "asteroid3.x", "asteroid4.x", "black.x",      "black2.x",
    "cockpit.x",   "debris.x",    "explosion.x", "flare.x",     "flare2.x",     "marsship.x",
    "photo.x",     "radar.x",     "satellite.x", "ship.x",      "ShipHealth.x", "skybox.x",
    "station.x",   "targ2.x",     "targt.x",     "textasset.x"};

} // namespace

TEST(Meshes, FilesAreWellFormedWithOneSubsetPerMaterial) {
    for (const char *name : kAllMeshes) {
        SCOPED_TRACE(name);
        Mesh m = LoadMesh(name);
        ASSERT_TRUE(m.ok);
        EXPECT_EQ(m.header, "xof 0303txt 0032");
        EXPECT_EQ(m.topLevel, 1u);
        EXPECT_EQ(m.topLevelType, "Mesh");
        EXPECT_LE(m.positions.size(), 65535u); // 16-bit indices
        EXPECT_TRUE(m.data.hasTexCoords);
        EXPECT_FALSE(m.data.hasColors); // unlit draws rely on the default white
        // Triangles only: no face was fanned into more.
        EXPECT_EQ(m.fileFaces, m.data.FaceCount());
        // One normal per vertex: no vertex had to be split for a second normal.
        EXPECT_EQ(m.fileVertices, m.positions.size());
        ASSERT_EQ(m.faceMaterial.size(), m.faces.size());
        ASSERT_FALSE(m.materials.empty());
        // Subset i is exactly the faces of material i, and none is empty.
        ASSERT_EQ(m.data.subsets.size(), m.materials.size());
        std::uint32_t next = 0;
        for (std::size_t s = 0; s < m.data.subsets.size(); ++s) {
            const auto &range = m.data.subsets[s];
            EXPECT_EQ(range.attributeId, s);
            EXPECT_EQ(range.faceStart, next);
            EXPECT_GT(range.faceCount, 0u) << "empty subset " << s;
            for (std::uint32_t f = range.faceStart; f < range.faceStart + range.faceCount; ++f) {
                ASSERT_EQ(m.faceMaterial[f], s);
            }
            next = range.faceStart + range.faceCount;
        }
        EXPECT_EQ(next, m.data.FaceCount());
        for (std::size_t f = 0; f < m.faces.size(); ++f) {
            for (auto i : m.faces[f]) {
                ASSERT_LT(i, m.positions.size());
            }
            EXPECT_GT(Len(FaceNormal(m, f)), 1e-7f) << "degenerate face " << f;
        }
        for (auto n : m.normals) {
            EXPECT_NEAR(Len(n), 1.0f, 1e-3f);
        }
    }
}

TEST(Meshes, SubsetCountsAndTexturesMatchWhatTheCodeDraws) {
    const std::map<std::string, std::size_t> subsets = {
        {"cockpit.x", 11},   {"explosion.x", 2}, {"flare.x", 1},     {"flare2.x", 1},
        {"ship.x", 1},       {"skybox.x", 6},    {"photo.x", 3},     {"radar.x", 1},
        {"ShipHealth.x", 1}, {"textasset.x", 1}, {"targt.x", 1},     {"targ2.x", 1},
        {"black.x", 1},      {"black2.x", 1},    {"asteroid1.x", 1}, {"debris.x", 1}};
    for (const auto &[name, count] : subsets) {
        EXPECT_EQ(LoadMesh(name).materials.size(), count) << name;
    }
    // Classes that bind their own textures get none from the file; every other material names one.
    for (const char *name : kAllMeshes) {
        std::string n = name;
        bool ownTextures =
            n == "explosion.x" || n == "radar.x" || n == "ShipHealth.x" || n == "textasset.x";
        for (const auto &mat : LoadMesh(name).materials) {
            EXPECT_EQ(mat.hasTexture, !ownTextures) << name;
            EXPECT_EQ(mat.textureFilename.empty(), ownTextures) << name;
        }
    }
    auto sky = LoadMesh("skybox.x");
    std::vector<std::string> faces;
    for (const auto &mat : sky.materials) {
        faces.push_back(mat.textureFilename);
    }
    EXPECT_EQ(faces, (std::vector<std::string>{"sky_px.jpg", "sky_nx.jpg", "sky_py.jpg",
                                               "sky_ny.jpg", "sky_pz.jpg", "sky_nz.jpg"}));
}

// A few draws use whatever material was set last, so every material is the same neutral one.
// The photo's two faces glow more (they must read as they turn from the lights), and its last
// subset sets the neutral material again, so no draw after the photo borrows the glow.
TEST(Meshes, EveryMaterialIsNeutralSoBorrowedMaterialsLookTheSame) {
    for (const char *name : kAllMeshes) {
        const auto materials = LoadMesh(name).materials;
        for (std::size_t i = 0; i < materials.size(); ++i) {
            const auto &mat = materials[i];
            SCOPED_TRACE(name);
            EXPECT_FLOAT_EQ(mat.diffuse.r, 1.0f);
            EXPECT_FLOAT_EQ(mat.diffuse.g, 1.0f);
            EXPECT_FLOAT_EQ(mat.diffuse.b, 1.0f);
            EXPECT_FLOAT_EQ(mat.emissive.g, mat.emissive.r);
            EXPECT_FLOAT_EQ(mat.emissive.b, mat.emissive.r);
            const bool photoFace = std::string(name) == "photo.x" && i + 1 < materials.size();
            if (!photoFace) {
                EXPECT_FLOAT_EQ(mat.emissive.r, 0.25f) << "material " << i;
            }
            EXPECT_FLOAT_EQ(mat.specular.r, 0.0f);
            // The file has no ambient colour: only the emissive fills in unlit sides.
            EXPECT_FLOAT_EQ(mat.ambient.r, 0.0f);
            EXPECT_FLOAT_EQ(mat.power, 0.0f);
        }
    }
    EXPECT_NEAR(LoadMesh("black.x").materials[0].diffuse.a, 128 / 255.0f, 1e-4f);
    EXPECT_NEAR(LoadMesh("black2.x").materials[0].diffuse.a, 140 / 255.0f, 1e-4f);
}

TEST(Meshes, LitMeshesCarryNormals) {
    for (const char *name : {"asteroid1.x", "asteroid2.x", "asteroid3.x", "asteroid4.x", "debris.x",
                             "ship.x", "marsship.x", "satellite.x", "photo.x", "cockpit.x"}) {
        EXPECT_TRUE(LoadMesh(name).data.hasNormals) << name;
    }
}

TEST(Meshes, RocksAreClosedOutwardAndSizedToTheirCollisionSphere) {
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        Mesh m = LoadMesh("asteroid" + std::to_string(i) + ".x");
        EXPECT_GE(m.faces.size(), 500u);
        EXPECT_LE(m.faces.size(), 1300u);
        float sum = 0, lo = 9, hi = 0;
        for (auto p : m.positions) {
            float r = Len(p);
            sum += r;
            lo = std::min(lo, r);
            hi = std::max(hi, r);
        }
        EXPECT_GE(lo, 0.80f);
        EXPECT_LE(hi, 1.05f);
        EXPECT_NEAR(sum / m.positions.size(), 0.95f, 0.05f);
        // Outward winding: the volume is positive and roughly a sphere's.
        EXPECT_GT(SignedVolume(m), 2.5f);
        for (std::size_t f = 0; f < m.faces.size(); ++f) {
            EXPECT_GT(Dot(FaceNormal(m, f), Centroid(m, f)), 0.0f) << "face " << f;
        }
    }
    Mesh d = LoadMesh("debris.x");
    EXPECT_GT(SignedVolume(d), 0.0f);
    EXPECT_NEAR(MaxRadius(d), 0.22f, 0.06f);
    EXPECT_GE(d.faces.size(), 20u);
    EXPECT_LE(d.faces.size(), 60u);
}

TEST(Meshes, FourRockShapesDiffer) {
    std::vector<Box> boxes;
    for (int i = 1; i <= 4; ++i) {
        boxes.push_back(Bounds(LoadMesh("asteroid" + std::to_string(i) + ".x")));
    }
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) {
            float d = std::fabs(boxes[a].hi.x - boxes[b].hi.x) +
                      std::fabs(boxes[a].hi.y - boxes[b].hi.y) +
                      std::fabs(boxes[a].hi.z - boxes[b].hi.z) +
                      std::fabs(boxes[a].lo.x - boxes[b].lo.x) +
                      std::fabs(boxes[a].lo.y - boxes[b].lo.y) +
                      std::fabs(boxes[a].lo.z - boxes[b].lo.z);
            EXPECT_GT(d, 0.05f) << a + 1 << " vs " << b + 1;
        }
    }
}

TEST(Meshes, ShipsFitTheirCollisionSpheresWithEnginesWhereTheFlamesAttach) {
    Mesh ship = LoadMesh("ship.x");
    EXPECT_LE(MaxRadius(ship), 0.95f);
    Box b = Bounds(ship);
    EXPECT_LT(b.hi.z, 1.0f); // shots appear just ahead of the nose
    EXPECT_GT(b.hi.z, 0.75f);
    EXPECT_NEAR(b.lo.z, -0.6f, 0.01f);
    EXPECT_NEAR(b.hi.x, 0.75f, 0.05f);
    EXPECT_NEAR(b.lo.x, -b.hi.x, 1e-4f);
    // A nozzle cap centred on each flame position.
    for (float x : {0.35f, -0.35f}) {
        bool found = false;
        for (auto p : ship.positions) {
            found |= std::fabs(p.x - x) < 1e-3f && std::fabs(p.y) < 1e-3f &&
                     std::fabs(p.z + 0.6f) < 1e-3f;
        }
        EXPECT_TRUE(found) << x;
    }
    Mesh mars = LoadMesh("marsship.x");
    EXPECT_LE(MaxRadius(mars), 1.0f);
    Box mb = Bounds(mars);
    EXPECT_NEAR(mb.lo.z, -0.55f, 0.01f);
    EXPECT_GT(mb.hi.z - mb.lo.z, 1.3f);
    bool nozzle = false;
    for (auto p : mars.positions) {
        nozzle |= Len(Sub(p, {0, 0, -0.55f})) < 1e-3f;
    }
    EXPECT_TRUE(nozzle);
    Mesh sat = LoadMesh("satellite.x");
    EXPECT_LE(MaxRadius(sat), 3.7f);
    EXPECT_GT(Bounds(sat).hi.x, 3.3f);
}

TEST(Meshes, ShipHullMarkingsReadFromAboveAndBelowAndOnlyTheNozzlesShowTheNozzleCorner) {
    Mesh m = LoadMesh("ship.x");
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        const auto &i = m.faces[f];
        V3 p[3] = {m.positions[i[0]], m.positions[i[1]], m.positions[i[2]]};
        float u[3] = {m.uvs[i[0]][0], m.uvs[i[1]][0], m.uvs[i[2]][0]};
        float v = (m.uvs[i[0]][1] + m.uvs[i[1]][1] + m.uvs[i[2]][1]) / 3;
        V3 n = FaceNormal(m, f), c = Centroid(m, f);
        float k = 1 / Len(n);
        n = {n.x * k, n.y * k, n.z * k};
        // The nozzle corner of the atlas belongs to the engines' rear ends alone.
        float uc = (u[0] + u[1] + u[2]) / 3;
        if (uc > 0.7f && uc < 0.85f && v > 0.85f) {
            EXPECT_TRUE(n.z < -0.7f && c.z < -0.55f && std::fabs(std::fabs(c.x) - 0.35f) < 0.1f)
                << "face " << f;
        }
        // Faces mapped to the top view (the upper half), seen from above or below: the texture's
        // u runs with x on top and against it underneath, so painted text never shows mirrored.
        if (std::fabs(n.y) > 0.9f && v < 0.5f) {
            float dx1 = p[1].x - p[0].x, dz1 = p[1].z - p[0].z, dx2 = p[2].x - p[0].x,
                  dz2 = p[2].z - p[0].z, du1 = u[1] - u[0], du2 = u[2] - u[0];
            float det = dx1 * dz2 - dx2 * dz1;
            if (std::fabs(det) > 1e-6f) {
                float dudx = (du1 * dz2 - du2 * dz1) / det;
                EXPECT_GT(dudx * n.y, 0.0f) << "face " << f;
            }
        }
    }
}

TEST(Meshes, HullsFaceOutward) {
    for (const char *name : {"ship.x", "marsship.x", "satellite.x"}) {
        EXPECT_GT(SignedVolume(LoadMesh(name)), 0.0f) << name;
    }
}

TEST(Meshes, FlatQuadsHaveTheSizesTheCodeScales) {
    auto quad = [](const char *name, float hw, float hh) {
        SCOPED_TRACE(name);
        Mesh m = LoadMesh(name);
        Box b = Bounds(m);
        EXPECT_FLOAT_EQ(b.lo.x, -hw);
        EXPECT_FLOAT_EQ(b.hi.x, hw);
        EXPECT_FLOAT_EQ(b.lo.y, -hh);
        EXPECT_FLOAT_EQ(b.hi.y, hh);
        EXPECT_FLOAT_EQ(b.lo.z, 0.0f);
        EXPECT_FLOAT_EQ(b.hi.z, 0.0f);
        return m;
    };
    // Caption and darkening quads: single-sided, front toward -z, texture over the whole face.
    for (const char *name : {"textasset.x", "black.x", "black2.x"}) {
        Mesh m = quad(name, 0.5f, 0.5f);
        EXPECT_EQ(m.faces.size(), 2u);
        for (std::size_t f = 0; f < m.faces.size(); ++f) {
            EXPECT_LT(FaceNormal(m, f).z, 0.0f) << name;
        }
        for (std::size_t i = 0; i < m.positions.size(); ++i) {
            EXPECT_FLOAT_EQ(m.uvs[i][0], m.positions[i].x + 0.5f);
            EXPECT_FLOAT_EQ(m.uvs[i][1], 0.5f - m.positions[i].y); // v = 0 at the top
        }
    }
    EXPECT_FALSE(LoadMesh("textasset.x").data.hasNormals);
    for (const char *name : {"flare.x", "flare2.x"}) {
        EXPECT_TRUE(DoubleSided(quad(name, 0.5f, 0.5f))) << name;
    }
    EXPECT_TRUE(DoubleSided(quad("targt.x", 4, 4)));
    EXPECT_TRUE(DoubleSided(quad("targ2.x", 2, 2)));
}

TEST(Meshes, ExplosionHasASpriteQuadAndARingSquareInTheXzPlane) {
    Mesh m = LoadMesh("explosion.x");
    EXPECT_TRUE(DoubleSided(m));
    Box sprite = Bounds(m, 0), ring = Bounds(m, 1);
    EXPECT_FLOAT_EQ(sprite.hi.x, 0.5f);
    EXPECT_FLOAT_EQ(sprite.hi.y, 0.5f);
    EXPECT_FLOAT_EQ(sprite.hi.z, 0.0f);
    EXPECT_FLOAT_EQ(ring.lo.x, -1.0f);
    EXPECT_FLOAT_EQ(ring.hi.z, 1.0f);
    EXPECT_FLOAT_EQ(ring.lo.y, 0.0f);
    EXPECT_FLOAT_EQ(ring.hi.y, 0.0f);
}

TEST(Meshes, RadarDiscAndGaugeQuadMatchTheHudLayout) {
    Mesh disc = LoadMesh("radar.x");
    EXPECT_NEAR(MaxRadius(disc), 0.5f, 1e-5f);
    EXPECT_GE(disc.faces.size(), 32u);
    for (std::size_t f = 0; f < disc.faces.size(); ++f) {
        EXPECT_LT(FaceNormal(disc, f).z, 0.0f);
    }
    for (std::size_t i = 0; i < disc.positions.size(); ++i) {
        EXPECT_NEAR(disc.uvs[i][0], disc.positions[i].x + 0.5f, 1e-5f);
        EXPECT_NEAR(disc.uvs[i][1], 0.5f - disc.positions[i].y, 1e-5f);
    }
    // The gauge grows upward from its bottom edge, which must be the origin; it shows the
    // pictures' rows 10-63 (above them lies the lives caption) at one texel a pixel.
    Mesh g = LoadMesh("ShipHealth.x");
    Box b = Bounds(g);
    EXPECT_FLOAT_EQ(b.lo.y, 0.0f);
    EXPECT_FLOAT_EQ(b.hi.y, 54.0f / 64.0f);
    EXPECT_FLOAT_EQ(b.lo.x, -0.5f);
    EXPECT_FLOAT_EQ(b.hi.x, 0.5f);
    for (std::size_t i = 0; i < g.positions.size(); ++i) {
        EXPECT_FLOAT_EQ(g.uvs[i][0], g.positions[i].x + 0.5f);
        EXPECT_FLOAT_EQ(g.uvs[i][1], 1.0f - g.positions[i].y);
    }
    for (std::size_t f = 0; f < g.faces.size(); ++f) {
        EXPECT_LT(FaceNormal(g, f).z, 0.0f);
    }
}

TEST(Meshes, SkyIsACubeSeenFromInside) {
    Mesh m = LoadMesh("skybox.x");
    for (auto p : m.positions) {
        EXPECT_FLOAT_EQ(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 5.0f);
    }
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        EXPECT_LT(Dot(FaceNormal(m, f), Centroid(m, f)), 0.0f) << "face " << f;
    }
    EXPECT_LT(SignedVolume(m), 0.0f);
}

TEST(Meshes, PhotoIsAnUprightCardWithAFrontABackAndAnEdge) {
    Mesh m = LoadMesh("photo.x");
    Box b = Bounds(m);
    EXPECT_NEAR(b.hi.x - b.lo.x, 0.6f, 0.05f);
    EXPECT_NEAR(b.hi.y - b.lo.y, 0.45f, 0.05f);
    EXPECT_LT(b.hi.z - b.lo.z, 0.01f);
    EXPECT_NEAR(b.hi.z + b.lo.z, 0.0f, 1e-4f);
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        V3 n = FaceNormal(m, f);
        switch (m.faceMaterial[f]) {
        case 0:
            EXPECT_LT(n.z, 0) << "face " << f;
            break;
        case 1:
            EXPECT_GT(n.z, 0) << "face " << f;
            break;
        default:
            // The edge faces outward from the card's middle.
            EXPECT_NEAR(n.z, 0.0f, 1e-6f) << "face " << f;
            EXPECT_GT(Dot(n, Centroid(m, f)), 0) << "face " << f;
        }
    }
}

// The photo spins about the vertical through the lit scene as it flies to the camera. The two
// world lights, white and directional, travel along (0.1, 0.2, -1) and (-0.1, -0.2, -1): a face
// turned toward them shows its picture in full, one turned away only as much as its material's
// emissive part lets it. Each face must read at every turn of the spin: its picture's mean
// brightness under the weakest light of the turn stays above a third of full scale.
TEST(Meshes, PhotoReadsOnBothFacesAllRoundItsSpin) {
    Mesh m = LoadMesh("photo.x");
    ASSERT_GE(m.materials.size(), 2u);
    const V3 lights[2] = {{0.1f, 0.2f, -1.0f}, {-0.1f, -0.2f, -1.0f}};
    for (std::uint32_t subset : {0u, 1u}) {
        SCOPED_TRACE(subset);
        const auto &material = m.materials[subset];
        auto picture = LoadPicture(material.textureFilename);
        double sum = 0;
        const auto &texels = picture.Texels();
        for (std::size_t i = 0; i < texels.size(); i += 4) {
            sum += texels[i] + texels[i + 1] + texels[i + 2];
        }
        const float mean = static_cast<float>(sum / (texels.size() / 4 * 3 * 255.0));
        auto face = std::find(m.faceMaterial.begin(), m.faceMaterial.end(), subset);
        ASSERT_NE(face, m.faceMaterial.end());
        const V3 n = m.normals[m.faces[face - m.faceMaterial.begin()][0]];
        float weakest = 1.0f;
        for (int step = 0; step < 72; ++step) {
            const float a = 6.2831853f * step / 72, c = std::cos(a), s = std::sin(a);
            const V3 turned{n.x * c + n.z * s, n.y, n.z * c - n.x * s};
            float light = material.emissive.r;
            for (V3 d : lights) {
                light += std::max(0.0f, -Dot(turned, d) / Len(d));
            }
            weakest = std::min(weakest, light);
        }
        EXPECT_GE(mean * weakest, 0.33f) << "picture " << mean << ", light " << weakest;
    }
}

TEST(Meshes, CockpitPanelsFaceThePilotInDrawingOrderSafePlaces) {
    Mesh m = LoadMesh("cockpit.x");
    ASSERT_EQ(m.materials.size(), 11u);
    ASSERT_TRUE(m.data.hasTexCoords1);
    ASSERT_EQ(m.uvs2.size(), m.positions.size());
    const V3 eye{0, 0.4f, -0.3f};
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        EXPECT_LT(Dot(FaceNormal(m, f), Sub(Centroid(m, f), eye)), 0.0f) << "face " << f;
    }
    for (auto p : m.positions) {
        EXPECT_GE(p.z, 0.8f);
    }
    // The speed bar is scaled about x = 0: it must be symmetric.
    Box bar = Bounds(m, 10);
    EXPECT_FLOAT_EQ(bar.lo.x, -bar.hi.x);
    // The sight sits at the screen centre.
    Box sight = Bounds(m, 9);
    EXPECT_NEAR((sight.lo.y + sight.hi.y) / 2, 0.4f, 0.01f);
    EXPECT_NEAR((sight.lo.x + sight.hi.x) / 2, 0.0f, 0.01f);
    // Subsets drawn after the bar and the sight keep clear of them.
    for (int s : {4, 5, 6, 7, 8, 1}) {
        Box o = Bounds(m, s);
        for (const Box &keep : {bar, sight}) {
            bool overlap = o.lo.x < keep.hi.x && o.hi.x > keep.lo.x && o.lo.y < keep.hi.y &&
                           o.hi.y > keep.lo.y;
            EXPECT_FALSE(overlap) << "subset " << s;
        }
    }
}

TEST(Meshes, StationTubeLeavesTheShipsPathClear) {
    Mesh m = LoadMesh("station.x");
    Box b = Bounds(m);
    EXPECT_LE(b.lo.z, -59.0f);
    EXPECT_GE(b.hi.z, 8.0f);
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        // No face comes within 1.5 of the z axis between the mouths.
        V3 c = Centroid(m, f);
        EXPECT_GT(std::hypot(c.x, c.y), 1.5f) << "face " << f;
    }
    // The camera at (-2.1, 0.2, 2.7) is inside: walls around it face it.
    const V3 camera{-2.1f, 0.2f, 2.7f};
    int facing = 0, total = 0;
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        V3 c = Centroid(m, f);
        if (std::fabs(c.z - camera.z) < 3 && m.faceMaterial[f] < 2) { // walls and floors
            ++total;
            facing += Dot(FaceNormal(m, f), Sub(c, camera)) < 0;
        }
    }
    EXPECT_GT(total, 8);
    EXPECT_EQ(facing, total);
}
