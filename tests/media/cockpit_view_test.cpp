// The cockpit as the pilot sees it: where its faces land on the screen under the cockpit view's
// projection, at every back-buffer size and every sway of the shake, against the HUD drawn over it.
#include "tests/media/media_loaders.h"

#include <algorithm>
#include <iterator>
#include <span>

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
    std::vector<V3> shakes;
    for (int i = 0; i < 27; ++i) {
        V3 d{float(i % 3 - 1), float(i / 3 % 3 - 1), float(i / 9 - 1)};
        float k = i == 13 ? 0 : 0.0866f / std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        shakes.push_back({d.x * k, d.y * k, d.z * k});
    }
    return shakes;
}

// Back-buffer sizes from 16:10 at 640 x 400 to 21:9.
const float kSizes[][2] = {{640, 480},  {640, 400},   {800, 600},  {1280, 1024},
                           {1280, 720}, {1920, 1080}, {2560, 1080}};

// The cockpit's subsets in the order the game draws them (within a subset the faces go in file
// order), and those it always draws opaque.
const int kDrawOrder[] = {2, 3, 0, 9, 10, 4, 5, 6, 8, 7, 1};
const int kAlwaysOpaque[] = {2, 3, 4, 5};

// The faces of `subsets` on one screen at one sway, in drawing order.
struct OnScreenFace {
    std::size_t face;
    Pixel corner[3];
};
using Projected = std::vector<OnScreenFace>;
Projected Project(const Mesh &m, std::span<const int> subsets, V3 shake, float w, float h) {
    Projected faces;
    for (int s : subsets) {
        for (std::size_t f = 0; f < m.faces.size(); ++f) {
            if (static_cast<int>(m.faceMaterial[f]) == s) {
                const auto &i = m.faces[f];
                faces.push_back({f,
                                 {OnScreen(m.positions[i[0]], shake, w, h),
                                  OnScreen(m.positions[i[1]], shake, w, h),
                                  OnScreen(m.positions[i[2]], shake, w, h)}});
            }
        }
    }
    return faces;
}

// Those of `faces` that reach within `margin` of the row y.
Projected Crossing(const Projected &faces, float y, float margin = 0) {
    Projected row;
    std::copy_if(faces.begin(), faces.end(), std::back_inserter(row), [&](const OnScreenFace &f) {
        auto [y0, y1] = std::minmax({f.corner[0].y, f.corner[1].y, f.corner[2].y});
        return y >= y0 - margin && y <= y1 + margin;
    });
    return row;
}

// The face drawn last over a pixel (-1 for none) and the weights of its corners there.
struct Seen {
    long face = -1;
    float weight[3]{};
};
Seen TopAt(const Projected &faces, Pixel at) {
    Seen seen;
    for (const OnScreenFace &face : faces) {
        const Pixel *t = face.corner;
        auto cross = [&](Pixel p, Pixel q) {
            return (p.x - t[0].x) * (q.y - t[0].y) - (p.y - t[0].y) * (q.x - t[0].x);
        };
        float area = cross(t[1], t[2]), w1 = cross(at, t[2]) / area, w2 = cross(t[1], at) / area;
        if (w1 >= 0 && w2 >= 0 && w1 + w2 <= 1) {
            seen = {static_cast<long>(face.face), {1 - w1 - w2, w1, w2}};
        }
    }
    return seen;
}

} // namespace

TEST(CockpitView, LeavesTheTopHudCornersFreeAndHoldsStillAtTheScreenEdges) {
    Mesh m = LoadMesh("cockpit.x");
    const std::vector<V3> shakes = Shakes();
    for (const auto &[w, h] : kSizes) {
        // Health gauge and lives; the radar disc.
        const Rect gauge{8, 4, 136, 76};
        const Pixel radar{w - 72, 72};
        for (V3 shake : shakes) {
            for (std::size_t f = 0; f < m.faces.size(); ++f) {
                Pixel t[3];
                for (int c = 0; c < 3; ++c) {
                    t[c] = OnScreen(m.positions[m.faces[f][c]], shake, w, h);
                }
                bool hidden = Overlaps(t, radar, 64) || Overlaps(t, gauge);
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

// Up to the side panels the screen shows cockpit, with no crack where two of its parts meet, and
// under the time, the score and the cheat label that cockpit is dark and plain.
TEST(CockpitView, FillsTheScreenUpToTheSidePanelsDarkAndPlainUnderTheHudAtEverySway) {
    Mesh m = LoadMesh("cockpit.x");
    // The frame and the dashboard are drawn with texture 2 and the light map added through the
    // second set; the two ledges with their own.
    ASSERT_EQ(m.materials[4].textureFilename, m.materials[5].textureFilename);
    const Picture body = LoadPicture(m.materials[2].textureFilename),
                  lights = LoadPicture("cockpit-lights.jpg"),
                  ledges = LoadPicture(m.materials[4].textureFilename);
    auto level = [&](const Picture &p, const std::vector<std::array<float, 2>> &uvs, Seen s) {
        float u = 0, v = 0;
        for (int c = 0; c < 3; ++c) {
            u += s.weight[c] * uvs[m.faces[s.face][c]][0];
            v += s.weight[c] * uvs[m.faces[s.face][c]][1];
        }
        const std::uint32_t x = std::uint32_t(u * p.width), y = std::uint32_t(v * p.height);
        return p.At(x % p.width, y % p.height).Sum() / 3.0f;
    };
    const int glass[] = {0};
    for (const auto &[w, h] : kSizes) {
        // Swayed down, the side panels' top edge comes to y = 0.27 on the plane z = 1.
        const float top = (0.9385f - 0.25f) / 1.077f * h, step = h / 240;
        const Rect hud[] = {{6, h - 48, 206, h - 22},
                            {w - 248, h - 48, w - 4, h - 22},
                            {w / 2 - 70, h - 36, w / 2 + 70, h - 4}};
        float brightest = 0, busiest = 0;
        for (V3 shake : Shakes()) {
            Projected opaque = Project(m, kAlwaysOpaque, shake, w, h);
            Projected window = Project(m, glass, shake, w, h);
            for (float y = h - 0.5f; y > top; y -= step) {
                const Projected row = Crossing(opaque, y), glassRow = Crossing(window, y, h / 50);
                for (float x = 0.5f; x < w; x += step) {
                    // The glass lies behind the window's frame: next to it is the view.
                    auto nearGlass = [&](const OnScreenFace &f) {
                        return Overlaps(f.corner, {x, y}, h / 50);
                    };
                    ASSERT_TRUE(TopAt(row, {x, y}).face >= 0 ||
                                std::any_of(glassRow.begin(), glassRow.end(), nearGlass))
                        << "open at (" << x << ", " << y << ") of " << w << " x " << h
                        << " swayed by (" << shake.x << ", " << shake.y << ", " << shake.z << ")";
                }
            }
            Projected faces = Project(m, kDrawOrder, shake, w, h);
            for (const Rect &r : hud) {
                float n = 0, sum = 0, squares = 0;
                for (float y = r.y0 + 0.5f; y < r.y1; y += 3) {
                    for (float x = std::max(0.5f, r.x0 + 0.5f); x < r.x1; x += 3) {
                        Seen s = TopAt(faces, {x, y});
                        const int subset = s.face < 0 ? -1 : int(m.faceMaterial[s.face]);
                        ASSERT_TRUE(subset >= 2 && subset <= 5)
                            << "subset " << subset << " under the HUD at " << w << " x " << h;
                        float l = subset > 3 ? level(ledges, m.uvs, s)
                                             : std::min(255.0f, level(body, m.uvs, s) +
                                                                    level(lights, m.uvs2, s));
                        n += 1, sum += l, squares += l * l;
                        brightest = std::max(brightest, l);
                    }
                }
                busiest = std::max(busiest, std::sqrt(squares / n - sum * sum / (n * n)));
            }
        }
        // Fully sunlit, with the lights on: dark enough for white text, and no detail to read
        // through it.
        EXPECT_LE(brightest, 100.0f) << w << " x " << h;
        EXPECT_LE(busiest, 10.0f) << w << " x " << h;
    }
}
