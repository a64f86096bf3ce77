// The cockpit as the pilot sees it: where its faces land on the screen under the cockpit view's
// projection, at every back-buffer size and every sway of the shake, against the HUD drawn over it.
#include "tests/media/media_loaders.h"

#include <algorithm>
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

// The cockpit's subsets in the order the game draws them; within a subset, faces in file order.
// The first four are always drawn, opaque.
const int kDrawOrder[] = {2, 3, 4, 5, 0, 9, 10, 6, 8, 7, 1};

// The cockpit's faces on one screen at one sway, in drawing order.
struct Screen {
    struct Face {
        Pixel corner[3];
        std::size_t index;
        float x0, y0, x1, y1; // bounds
    };
    std::vector<Face> faces;

    // The face drawn last over `at` (null when none is) and the weights of its corners there.
    const Face *Top(Pixel at, float (&weight)[3]) const {
        const Face *top = nullptr;
        for (const Face &f : faces) {
            if (at.x < f.x0 || at.x > f.x1 || at.y < f.y0 || at.y > f.y1) {
                continue;
            }
            const Pixel &a = f.corner[0], &b = f.corner[1], &c = f.corner[2];
            float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
            float w1 = ((at.x - a.x) * (c.y - a.y) - (at.y - a.y) * (c.x - a.x)) / area;
            float w2 = ((b.x - a.x) * (at.y - a.y) - (b.y - a.y) * (at.x - a.x)) / area;
            if (w1 >= 0 && w2 >= 0 && w1 + w2 <= 1) {
                top = &f;
                weight[0] = 1 - w1 - w2, weight[1] = w1, weight[2] = w2;
            }
        }
        return top;
    }
};

Screen Project(const Mesh &m, std::span<const int> subsets, V3 shake, float w, float h) {
    Screen screen;
    for (int s : subsets) {
        for (std::size_t f = 0; f < m.faces.size(); ++f) {
            if (static_cast<int>(m.faceMaterial[f]) != s) {
                continue;
            }
            Screen::Face face{{}, f, 1e30f, 1e30f, -1e30f, -1e30f};
            for (int c = 0; c < 3; ++c) {
                Pixel p = OnScreen(m.positions[m.faces[f][c]], shake, w, h);
                face.corner[c] = p;
                face.x0 = std::min(face.x0, p.x), face.x1 = std::max(face.x1, p.x);
                face.y0 = std::min(face.y0, p.y), face.y1 = std::max(face.y1, p.y);
            }
            screen.faces.push_back(face);
        }
    }
    return screen;
}

} // namespace

TEST(CockpitView, LeavesTheTopHudCornersFreeAndHoldsStillAtTheScreenEdges) {
    Mesh m = LoadMesh("cockpit.x");
    const std::vector<V3> shakes = Shakes();
    for (const auto &size : kSizes) {
        const float w = size[0], h = size[1];
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

TEST(CockpitView, CoversTheBottomFifthAndTheSideEdgesAtEverySway) {
    Mesh m = LoadMesh("cockpit.x");
    for (const auto &size : kSizes) {
        const float w = size[0], h = size[1];
        // The side panels' top edge sways down to about y = 0.27 on the plane z = 1 at the
        // screen's sides; up to 0.2 the sides must be cockpit.
        const float sidesFrom = (0.9385f - 0.2f) / 1.077f * h;
        std::vector<Pixel> samples;
        for (float y = h - 0.5f; y > 0.8f * h; y -= 5) {
            for (float x = 0.5f; x < w; x += 5) {
                samples.push_back({x, y});
            }
        }
        for (float y = h - 0.5f; y > sidesFrom; y -= 5) {
            samples.push_back({0.5f, y});
            samples.push_back({w - 0.5f, y});
        }
        int open = 0;
        for (V3 shake : Shakes()) {
            Screen screen = Project(m, std::span(kDrawOrder).first(4), shake, w, h);
            for (Pixel p : samples) {
                float weight[3];
                if (!screen.Top(p, weight) && open++ == 0) {
                    ADD_FAILURE() << "open space at (" << p.x << ", " << p.y << ") of " << w
                                  << " x " << h << " swayed by (" << shake.x << ", " << shake.y
                                  << ", " << shake.z << ")";
                }
            }
        }
    }
}

// A texel of a picture at texture coordinates, wrapped, nearest.
Texel Sample(const Picture &p, const std::array<float, 2> &uv) {
    auto wrap = [](float t, std::uint32_t size) {
        long i = std::lround(std::floor((t - std::floor(t)) * size));
        return static_cast<std::uint32_t>(std::clamp(i, 0L, long(size) - 1));
    };
    return p.At(wrap(uv[0], p.width), wrap(uv[1], p.height));
}

TEST(CockpitView, IsDarkAndPlainUnderTheTimeTheScoreAndTheCheatLabel) {
    Mesh m = LoadMesh("cockpit.x");
    // The frame and the dashboard are drawn with texture 2 and the light map added through the
    // second set; the two ledges share their own texture.
    ASSERT_EQ(m.materials[4].textureFilename, m.materials[5].textureFilename);
    Picture body = LoadPicture(m.materials[2].textureFilename);
    Picture lights = LoadPicture("cockpit-lights.jpg");
    Picture ledges = LoadPicture(m.materials[4].textureFilename);
    for (const auto &size : kSizes) {
        const float w = size[0], h = size[1];
        const Rect hud[] = {{6, h - 48, 206, h - 22},
                            {w - 248, h - 48, w - 4, h - 22},
                            {w / 2 - 70, h - 36, w / 2 + 70, h - 4}};
        float brightest = 0, busiest = 0;
        for (V3 shake : Shakes()) {
            Screen screen = Project(m, kDrawOrder, shake, w, h);
            for (const Rect &r : hud) {
                float n = 0, sum = 0, squares = 0;
                for (float y = r.y0 + 0.5f; y < r.y1; y += 3) {
                    for (float x = std::max(0.5f, r.x0 + 0.5f); x < r.x1; x += 3) {
                        float weight[3];
                        const Screen::Face *f = screen.Top({x, y}, weight);
                        if (!f) {
                            continue;
                        }
                        const int subset = static_cast<int>(m.faceMaterial[f->index]);
                        ASSERT_TRUE(subset >= 2 && subset <= 5)
                            << "subset " << subset << " under the HUD at " << w << " x " << h;
                        std::array<float, 2> uv{}, uv2{};
                        for (int c = 0; c < 3; ++c) {
                            const std::uint32_t v = m.faces[f->index][c];
                            uv[0] += weight[c] * m.uvs[v][0], uv[1] += weight[c] * m.uvs[v][1];
                            uv2[0] += weight[c] * m.uvs2[v][0], uv2[1] += weight[c] * m.uvs2[v][1];
                        }
                        float level = Sample(subset <= 3 ? body : ledges, uv).Sum() / 3.0f;
                        level = std::min(
                            255.0f, level + (subset <= 3 ? Sample(lights, uv2).Sum() / 3.0f : 0));
                        n += 1, sum += level, squares += level * level;
                        brightest = std::max(brightest, level);
                    }
                }
                if (n > 0) {
                    busiest = std::max(busiest, std::sqrt(squares / n - (sum / n) * (sum / n)));
                }
            }
        }
        // Fully sunlit, with the lights on: dark enough for white text, and no detail to read
        // through it.
        EXPECT_LE(brightest, 100.0f) << w << " x " << h;
        EXPECT_LE(busiest, 10.0f) << w << " x " << h;
    }
}
