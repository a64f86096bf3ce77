// Asteroid bodies and the debris chip: subdivided icospheres displaced by noise and craters, with
// spherical UVs into equirectangular rock textures baked from the same shape functions.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/noise.h"
#include "tools/mediagen/rng.h"

#include <cmath>
#include <map>
#include <string>

namespace mediagen {

namespace {

struct RockShape {
    std::uint32_t seed;
    Vec3 stretch;
    float lumps;  // amplitude of the large-scale noise
    float ridges; // amplitude of the ridged relief
    int craters;  // number of bowls
    float craterDepth;
    int facets; // fracture planes cutting flat faces into the body
};

// Chunky, elongated, lumpy and cratered: every one broken by flat fracture faces.
const RockShape kShapes[4] = {
    {301, {1.0f, 0.94f, 1.04f}, 0.08f, 0.06f, 3, 0.05f, 11},
    {302, {0.93f, 0.88f, 1.1f}, 0.06f, 0.06f, 2, 0.04f, 9},
    {303, {1.04f, 0.9f, 0.97f}, 0.14f, 0.08f, 2, 0.04f, 7},
    {304, {1.0f, 0.92f, 1.0f}, 0.06f, 0.05f, 12, 0.1f, 6},
};

struct Crater {
    Vec3 centre;
    float radius; // angular, as a chord length on the unit sphere
};

struct Facet {
    Vec3 normal;
    float distance; // of the cutting plane from the centre, before the final scaling
};

class RockField {
public:
    explicit RockField(const RockShape &s) : m_shape(s), m_noise(s.seed), m_detail(s.seed + 77) {
        Rng rng(s.seed * 13);
        for (int i = 0; i < s.craters; ++i) {
            Vec3 d{rng.signedUnit(), rng.signedUnit(), rng.signedUnit()};
            m_craters.push_back({normalize(d), rng.range(0.18f, 0.45f) * (i == 0 ? 1.4f : 1.0f)});
        }
        for (int i = 0; i < s.facets; ++i) {
            Vec3 d{rng.signedUnit(), rng.signedUnit(), rng.signedUnit()};
            m_facets.push_back({normalize(d), rng.range(0.83f, 0.92f)});
        }
    }

    // Unscaled radius along unit direction d, before the final normalisation: a stretched lumpy
    // body with ridges and craters, then cut flat wherever a fracture plane passes inside it.
    float radius(Vec3 d) const {
        float r = 1.0f + m_shape.lumps * m_noise.fbm(d * 1.4f, 4) +
                  m_shape.ridges * (m_noise.ridged(d * 2.6f + Vec3{4, 2, 7}, 4) - 0.5f) +
                  0.015f * m_detail.fbm(d * 6.0f, 3);
        r -= m_shape.craterDepth * craterTerm(d);
        r /=
            length(Vec3{d.x / m_shape.stretch.x, d.y / m_shape.stretch.y, d.z / m_shape.stretch.z});
        for (const Facet &f : m_facets) {
            float c = dot(d, f.normal);
            if (c > 0.05f) {
                r = std::min(r, f.distance / c);
            }
        }
        return r;
    }

    // Bowl (positive) with a raised rim (negative) summed over craters.
    float craterTerm(Vec3 d) const {
        float t = 0;
        for (const Crater &c : m_craters) {
            float x = length(d - c.centre) / c.radius;
            if (x < 1.0f) {
                t += (1.0f - x * x) * c.radius * 1.8f;
            } else if (x < 1.5f) {
                float k = (x - 1.0f) / 0.5f;
                t -= 0.35f * c.radius * std::sin(k * kPi) * (1 - k);
            }
        }
        return t;
    }

    // Rock albedo with the relief baked in, so the shape still reads under the dim fill light
    // alone: hollows and cracks dark, edges and ridges worn lighter, a fine mineral grain.
    Color albedo(Vec3 d, float cavity) const {
        float tone = m_detail.fbm(d * 2.2f + Vec3{9, 1, 4}, 3);
        float strata = std::sin(dot(d, normalize(Vec3{0.3f, 1.0f, 0.2f})) * 17.0f +
                                2.5f * m_noise.fbm(d * 2.0f, 2));
        float grain = m_detail.fbm(d * 26.0f, 2);
        Color a = hex(0x5a5148), b = hex(0xa89a87);
        Color c = mix(a, b, clamp01(0.55f + 0.45f * tone + 0.08f * strata));
        c = scale(c, 0.86f + 0.22f * grain);
        // Cracks: thin dark lines where ridged noise peaks.
        float crack = std::pow(m_noise.ridged(d * 4.5f + Vec3{2, 8, 1}, 2), 9.0f);
        c = scale(c, 1.0f - 0.55f * crack);
        float crater = craterTerm(d);
        c = scale(c, 1.0f - 0.4f * clamp01(crater * 2.2f) - 0.6f * clamp01(cavity * 9.0f));
        c = scale(c, 1.0f + 0.3f * clamp01(-crater * 4.0f) + 0.45f * clamp01(-cavity * 12.0f));
        // Small craters too fine for the mesh live only in the texture: a dark bowl with a
        // bright rim, placed by cell noise.
        float f1, f2;
        m_detail.worley(d * 7.0f, f1, f2);
        float size = 0.1f + 0.2f * m_noise.gradient(d * 3.0f + Vec3{7, 7, 7});
        if (f1 < size) {
            float x = f1 / size;
            c = scale(c, 0.62f + 0.38f * x * x);
        } else if (f1 < size * 1.35f) {
            float x = (f1 - size) / (size * 0.35f);
            c = scale(c, 1.0f + 0.25f * std::sin(x * kPi));
        }
        return c;
    }

private:
    RockShape m_shape;
    Noise m_noise, m_detail;
    std::vector<Crater> m_craters;
    std::vector<Facet> m_facets;
};

// Icosphere as unit directions and triangles wound outward.
void icosphere(int subdivisions, std::vector<Vec3> &pts,
               std::vector<std::array<std::uint32_t, 3>> &tris) {
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    pts = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
           {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (auto &p : pts) {
        p = normalize(p);
    }
    tris = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
            {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
            {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int s = 0; s < subdivisions; ++s) {
        std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> mid;
        auto midpoint = [&](std::uint32_t a, std::uint32_t b) {
            auto key = std::minmax(a, b);
            auto it = mid.find(key);
            if (it != mid.end()) {
                return it->second;
            }
            pts.push_back(normalize(pts[a] + pts[b]));
            auto idx = static_cast<std::uint32_t>(pts.size() - 1);
            mid[key] = idx;
            return idx;
        };
        std::vector<std::array<std::uint32_t, 3>> next;
        for (auto f : tris) {
            auto a = midpoint(f[0], f[1]), b = midpoint(f[1], f[2]), c = midpoint(f[2], f[0]);
            next.push_back({f[0], a, c});
            next.push_back({f[1], b, a});
            next.push_back({f[2], c, b});
            next.push_back({a, b, c});
        }
        tris = std::move(next);
    }
    // Make every face point outward under this tree's winding rule.
    for (auto &f : tris) {
        Vec3 n = cross(pts[f[1]] - pts[f[0]], pts[f[2]] - pts[f[0]]);
        if (dot(n, pts[f[0]]) < 0) {
            std::swap(f[1], f[2]);
        }
    }
}

float uOf(Vec3 d) {
    return 0.5f + std::atan2(d.x, d.z) / (2 * kPi);
}
float vOf(Vec3 d) {
    return std::acos(std::clamp(d.y, -1.0f, 1.0f)) / kPi;
}

// Displaced sphere with spherical UVs: seam vertices duplicated so u never wraps inside a face,
// pole vertices duplicated per face so each takes its face's u.
Mesh displacedSphere(int subdivisions, const std::function<float(Vec3)> &radius, float targetMax,
                     float targetMean, float floorFraction, const std::string &texture) {
    std::vector<Vec3> dirs;
    std::vector<std::array<std::uint32_t, 3>> tris;
    icosphere(subdivisions, dirs, tris);
    std::vector<float> r(dirs.size());
    float maxR = 0, sum = 0;
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        r[i] = radius(dirs[i]);
        maxR = std::max(maxR, r[i]);
        sum += r[i];
    }
    float mean = sum / dirs.size();
    // Scale toward the target mean, but never past the largest allowed radius; then pull the
    // deepest points up so the surface stays within the band the collision sphere allows.
    float k = std::min(targetMean / mean, targetMax / maxR);
    float hi = 0, lo = 1e9f;
    for (auto &v : r) {
        v *= k;
        hi = std::max(hi, v);
        lo = std::min(lo, v);
    }
    const float floor = targetMax * floorFraction;
    float squeeze = lo < floor ? (hi - floor) / (hi - lo) : 1.0f;
    for (auto &v : r) {
        v = hi - (hi - v) * squeeze;
    }
    k = 1.0f;
    Mesh m;
    m.hasNormals = true;
    m.materials.push_back({1.0f, texture});
    Mesh smooth;
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        smooth.addVertex(dirs[i] * (r[i] * k), 0, 0);
    }
    for (auto f : tris) {
        smooth.addTriangle(f[0], f[1], f[2], 0);
    }
    smooth.computeSmoothNormals();
    std::map<std::pair<std::uint32_t, int>, std::uint32_t> copies;
    for (auto f : tris) {
        float us[3];
        for (int c = 0; c < 3; ++c) {
            us[c] = uOf(dirs[f[c]]);
        }
        float maxU = std::max({us[0], us[1], us[2]}), minU = std::min({us[0], us[1], us[2]});
        bool wraps = maxU - minU > 0.5f;
        std::array<std::uint32_t, 3> idx{};
        float avgU = 0;
        int nonPole = 0;
        for (int c = 0; c < 3; ++c) {
            float u = us[c];
            if (wraps && u < 0.5f) {
                u += 1.0f;
            }
            if (std::fabs(dirs[f[c]].y) < 0.9999f) {
                avgU += u;
                ++nonPole;
            }
            us[c] = u;
        }
        avgU = nonPole ? avgU / nonPole : 0.5f;
        for (int c = 0; c < 3; ++c) {
            bool pole = std::fabs(dirs[f[c]].y) >= 0.9999f;
            float u = pole ? avgU : us[c];
            int variant = pole ? 1000 + static_cast<int>(avgU * 997) : (u >= 1.0f ? 1 : 0);
            auto key = std::make_pair(f[c], variant);
            auto it = copies.find(key);
            if (it == copies.end()) {
                Vertex v = smooth.vertices[f[c]];
                v.u = v.u2 = u;
                v.v = v.v2 = vOf(dirs[f[c]]);
                it = copies.emplace(key, m.addVertex(v)).first;
            }
            idx[c] = it->second;
        }
        m.addTriangle(idx[0], idx[1], idx[2], 0);
    }
    // Flat fracture faces meet at hard edges; the rest of the surface stays smooth.
    m.computeNormals(28.0f);
    return m;
}

Canvas rockTexture(const RockField &field) {
    const int w = 512, h = 256;
    Canvas c(w, h, {0, 0, 0, 1});
    c.shade([&](float x, float y) {
        float theta = (x / w - 0.5f) * 2 * kPi;
        float phi = y / h * kPi;
        Vec3 d{std::sin(phi) * std::sin(theta), std::cos(phi), std::sin(phi) * std::cos(theta)};
        float r = field.radius(d);
        // Cavity: how far the surface here lies below the surface points around it, measured
        // along the direction, so a flat fracture face counts as flat and a hollow as a hollow.
        Vec3 t1 = normalize(cross(d, std::fabs(d.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0}));
        Vec3 t2 = cross(d, t1);
        Vec3 around{};
        for (int k = 0; k < 6; ++k) {
            float a = k * kPi / 3;
            Vec3 dn = normalize(d + (t1 * std::cos(a) + t2 * std::sin(a)) * 0.12f);
            around = around + dn * (field.radius(dn) / 6);
        }
        // A sphere counts as slightly convex everywhere; only real hollows and edges stand out.
        float cavity = dot(around, d) - r + 0.007f * r;
        return field.albedo(d, cavity);
    });
    return c;
}

} // namespace

Mesh BuildRock(int index) {
    RockField field(kShapes[index]);
    return displacedSphere(
        3, [&](Vec3 d) { return field.radius(d); }, 1.03f, 0.95f, 0.8f,
        "rock" + std::to_string(index + 1) + ".jpg");
}

Mesh BuildDebris() {
    // A long, thin, broken chip: an icosahedron stretched hard, its corners jittered and cut by
    // fracture planes so neighbouring faces fall into a few flat facets.
    RockShape shape{399, {1.5f, 0.6f, 0.95f}, 0.35f, 0.15f, 0, 0, 4};
    RockField field(shape);
    Mesh m = displacedSphere(
        0, [&](Vec3 d) { return field.radius(d); }, 0.25f, 0.18f, 0.4f, "rock1.jpg");
    m.computeNormals(1.0f);
    return m;
}

void MakeRocks(Output &out) {
    for (int i = 0; i < 4; ++i) {
        out.mesh("asteroid" + std::to_string(i + 1) + ".x", BuildRock(i));
        out.jpeg("rock" + std::to_string(i + 1) + ".jpg", rockTexture(RockField(kShapes[i])));
    }
    out.mesh("debris.x", BuildDebris());
}

} // namespace mediagen
