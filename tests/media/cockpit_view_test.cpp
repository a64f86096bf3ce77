// The cockpit as the pilot sees it: where its faces land on the screen under the cockpit view's
// projection, at every back-buffer size and every sway of the shake, against the HUD drawn over it.
#include "tests/media/media_loaders.h"

#include <algorithm>

using namespace mediatest;

namespace {

// Where a cockpit point shows on a W x H back buffer (pixels from the top left) when the cockpit
// sways by `shake` against the eye at (0, 0.4, -0.3), under the cockpit view's projection.
struct Pixel {
    float x, y;
};
Pixel OnScreen(V3 p, V3 shake, float w, float h) {
    const float t = std::tan(3.14159265f / 8);
    float d = p.z + shake.z + 0.3f;
    return {(1 + (p.x + shake.x) / (d * t * w / h)) / 2 * w,
            (1 - (p.y + shake.y - 0.4f) / (d * t)) / 2 * h};
}

struct Rect {
    float x0, y0, x1, y1;
};

// Separating axes: the rectangle's two and the triangle's three edge normals.
bool Overlaps(const Pixel (&t)[3], const Rect &r) {
    auto apart = [&](float ax, float ay) {
        float tMin = 1e30f, tMax = -1e30f, rMin = 1e30f, rMax = -1e30f;
        for (const Pixel &p : t) {
            tMin = std::min(tMin, p.x * ax + p.y * ay), tMax = std::max(tMax, p.x * ax + p.y * ay);
        }
        for (float x : {r.x0, r.x1}) {
            for (float y : {r.y0, r.y1}) {
                rMin = std::min(rMin, x * ax + y * ay), rMax = std::max(rMax, x * ax + y * ay);
            }
        }
        return tMax <= rMin || rMax <= tMin;
    };
    if (apart(1, 0) || apart(0, 1)) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        const Pixel &a = t[i], &b = t[(i + 1) % 3];
        if (apart(b.y - a.y, a.x - b.x)) {
            return false;
        }
    }
    return true;
}

bool Overlaps(const Pixel (&t)[3], Pixel centre, float radius) {
    // Inside, or within the radius of an edge.
    float sign[3];
    for (int i = 0; i < 3; ++i) {
        const Pixel &a = t[i], &b = t[(i + 1) % 3];
        sign[i] = (b.x - a.x) * (centre.y - a.y) - (b.y - a.y) * (centre.x - a.x);
        float ex = b.x - a.x, ey = b.y - a.y;
        float k = std::clamp(((centre.x - a.x) * ex + (centre.y - a.y) * ey) /
                                 std::max(1e-9f, ex * ex + ey * ey),
                             0.0f, 1.0f);
        if (std::hypot(a.x + k * ex - centre.x, a.y + k * ey - centre.y) < radius) {
            return true;
        }
    }
    return (sign[0] >= 0 && sign[1] >= 0 && sign[2] >= 0) ||
           (sign[0] <= 0 && sign[1] <= 0 && sign[2] <= 0);
}

// The shake sways the cockpit by up to 0.05 along each world axis: any way up to 0.087 in the
// ship's frame. At rest, and that far toward each of the 26 neighbours of a cube's centre.
std::vector<V3> Shakes() {
    std::vector<V3> shakes{{0, 0, 0}};
    for (int i = 0; i < 27; ++i) {
        V3 d{float(i % 3 - 1), float(i / 3 % 3 - 1), float(i / 9 - 1)};
        float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        if (length > 0) {
            float k = 0.0866f / length;
            shakes.push_back({d.x * k, d.y * k, d.z * k});
        }
    }
    return shakes;
}

// Back-buffer sizes from 16:10 at 640 x 400 to 21:9.
const float kSizes[][2] = {{640, 480},  {640, 400},   {800, 600},  {1280, 1024},
                           {1280, 720}, {1920, 1080}, {2560, 1080}};

} // namespace

TEST(Meshes, CockpitLeavesTheHudFreeAndHoldsStillAtTheScreenEdges) {
    Mesh m = LoadMesh("cockpit.x");
    const std::vector<V3> shakes = Shakes();
    for (const auto &size : kSizes) {
        const float w = size[0], h = size[1];
        // Health gauge and lives; time; score; the cheat label; the radar disc.
        const Rect hud[] = {{8, 4, 136, 76},
                            {6, h - 48, 206, h - 22},
                            {w - 248, h - 48, w - 4, h - 22},
                            {w / 2 - 70, h - 36, w / 2 + 70, h - 4}};
        const Pixel radar{w - 72, 72};
        for (V3 shake : shakes) {
            for (std::size_t f = 0; f < m.faces.size(); ++f) {
                Pixel t[3];
                for (int c = 0; c < 3; ++c) {
                    t[c] = OnScreen(m.positions[m.faces[f][c]], shake, w, h);
                }
                bool hidden = Overlaps(t, radar, 64);
                for (const Rect &r : hud) {
                    hidden = hidden || Overlaps(t, r);
                }
                ASSERT_FALSE(hidden) << "face " << f << " (subset " << m.faceMaterial[f] << ") at "
                                     << w << " x " << h;
            }
        }
        // No corner comes into view or leaves it as the cockpit sways: what meets an edge of
        // the screen runs past it at every shake.
        for (std::size_t v = 0; v < m.positions.size(); ++v) {
            int seen = 0;
            for (V3 shake : shakes) {
                Pixel p = OnScreen(m.positions[v], shake, w, h);
                seen += p.x >= 0 && p.x <= w && p.y >= 0 && p.y <= h;
            }
            EXPECT_TRUE(seen == 0 || seen == int(shakes.size()))
                << "vertex " << v << " at " << w << " x " << h;
        }
    }
}
