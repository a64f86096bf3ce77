// The cockpit seen from the pilot's eye at (0, 0.4, -0.3): a windscreen frame (two pillars rising
// from a coaming, closed by a roof bar above the view), the lower dashboard under the coaming, side
// instrument panels and console ledges along it, the glass, gun sight, speed bar, the station's
// overhead display and the pinned photo. Subset numbers are fixed by the drawing order.
//
// Everything is authored where it appears on the reference plane z = 1 (cockpit_layout.h) and
// placed along the eye's rays at its own depth. The game sways the whole cockpit by up to 0.087
// against the eye and draws its HUD over it: the health gauge, lives and radar in the top corners,
// which the cockpit keeps clear of at every back-buffer size and sway, and the time, the score and
// the cheat label along the bottom, where the dashboard is dark and plain. Nothing of the cockpit
// comes into or goes out of view with the sway: whatever meets a screen edge runs far past it.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/cockpit_layout.h"
#include "tools/mediagen/cockpit_paint.h"

#include <cmath>

namespace mediagen {

namespace {

using namespace cockpit;

enum Subset {
    kGlass,
    kPhoto,
    kFrame,
    kDash,
    kConsoleL,
    kConsoleR,
    kHousing,
    kBracket,
    kScreen,
    kSight,
    kSpeed
};

// A point seen at (x, y) on the reference plane, placed at depth z on the same ray from the eye.
Vec3 onRay(float x, float y, float z) {
    float k = (z - kEyeZ) / kPlaneDistance;
    return {x * k, kEyeY + (y - kEyeY) * k, z};
}

struct UvRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

struct Part {
    int subset;
    std::function<float(float, float)> depth;
    std::function<Point(float, float)> uv;
    Vec3 normal{0, 0, -1};
    // Set for parts whose normal depends on where the point is.
    std::function<Vec3(float, float)> normalAt;
};

// UVs spread over the bounding box of the outline, into `rect`.
std::function<Point(float, float)> boxUv(const std::vector<Point> &pts, UvRect rect) {
    float minX = pts[0][0], maxX = minX, minY = pts[0][1], maxY = minY;
    for (const Point &p : pts) {
        minX = std::min(minX, p[0]), maxX = std::max(maxX, p[0]);
        minY = std::min(minY, p[1]), maxY = std::max(maxY, p[1]);
    }
    return [=](float x, float y) -> Point {
        return {rect.u0 + (x - minX) / (maxX - minX) * (rect.u1 - rect.u0),
                rect.v0 + (maxY - y) / (maxY - minY) * (rect.v1 - rect.v0)};
    };
}

std::function<float(float, float)> at(float z) {
    return [z](float, float) { return z; };
}

Vertex vertexAt(const Part &part, Point p) {
    Vertex v;
    v.p = onRay(p[0], p[1], part.depth(p[0], p[1]));
    Point uv = part.uv(p[0], p[1]);
    v.u = v.u2 = uv[0];
    v.v = v.v2 = uv[1];
    v.n = normalize(part.normalAt ? part.normalAt(p[0], p[1]) : part.normal);
    return v;
}

// A triangle wound clockwise as the pilot sees it; one with no area is left out.
void facingEye(Mesh &m, std::uint32_t a, std::uint32_t b, std::uint32_t c, int subset) {
    const Vec3 eye{0, kEyeY, kEyeZ};
    Vec3 pa = m.vertices[a].p, pb = m.vertices[b].p, pc = m.vertices[c].p;
    Vec3 n = cross(pb - pa, pc - pa);
    if (length(n) < 1e-7f) {
        return;
    }
    if (dot(n, (pa + pb + pc) * (1.0f / 3) - eye) > 0) {
        std::swap(b, c);
    }
    m.addTriangle(a, b, c, subset);
}

// A convex outline; points on a straight run between their neighbours are left out.
void polygon(Mesh &m, const std::vector<Point> &pts, const Part &part) {
    std::vector<std::uint32_t> idx;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Point &a = pts[(i + pts.size() - 1) % pts.size()], &p = pts[i],
                    &b = pts[(i + 1) % pts.size()];
        if (std::fabs((p[0] - a[0]) * (b[1] - a[1]) - (p[1] - a[1]) * (b[0] - a[0])) > 1e-9f) {
            idx.push_back(m.addVertex(vertexAt(part, p)));
        }
    }
    for (std::size_t i = 1; i + 1 < idx.size(); ++i) {
        facingEye(m, idx[0], idx[i], idx[i + 1], part.subset);
    }
}

void rectPolygon(Mesh &m, const std::vector<Point> &pts, int subset, float z, UvRect rect,
                 Vec3 normal = {0, 0, -1}) {
    polygon(m, pts, {subset, at(z), boxUv(pts, rect), normal, {}});
}

// A closed band between two loops of matched points: neighbouring quads share their vertices, so
// it has no cracks however it is moved.
void band(Mesh &m, const std::vector<Point> &inner, const std::vector<Point> &outer,
          const Part &part) {
    std::vector<std::uint32_t> in, out;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        in.push_back(m.addVertex(vertexAt(part, inner[i])));
        out.push_back(m.addVertex(vertexAt(part, outer[i])));
    }
    for (std::size_t i = 0; i < inner.size(); ++i) {
        std::size_t j = (i + 1) % inner.size();
        facingEye(m, in[i], in[j], out[j], part.subset);
        facingEye(m, in[i], out[j], out[i], part.subset);
    }
}

// Quads between the columns `xs` and the rows `ys` (top first), sharing their corners.
void grid(Mesh &m, const std::vector<float> &xs, const std::vector<float> &ys, const Part &part) {
    std::vector<std::uint32_t> idx;
    for (float y : ys) {
        for (float x : xs) {
            idx.push_back(m.addVertex(vertexAt(part, {x, y})));
        }
    }
    const std::size_t n = xs.size();
    for (std::size_t r = 0; r + 1 < ys.size(); ++r) {
        for (std::size_t c = 0; c + 1 < n; ++c) {
            std::uint32_t a = idx[r * n + c], b = idx[r * n + c + 1], d = idx[(r + 1) * n + c],
                          e = idx[(r + 1) * n + c + 1];
            facingEye(m, a, b, e, part.subset);
            facingEye(m, a, e, d, part.subset);
        }
    }
}

// The window opening, clockwise from the coaming's left end, and for each of its points the point
// of the frame's outer edge across from it.
void windscreenLoops(std::vector<Point> &inner, std::vector<Point> &outer) {
    const int filletSteps = 5;
    const float cornerY = kSillTop + kFillet;
    const float cornerX = pillarInner(cornerY) - kFillet;
    const Point outerFoot{pillarOuter(kSillBottom), kSillBottom};
    for (float x : {-cornerX, 0.0f, cornerX}) {
        inner.push_back({x, kSillTop});
        outer.push_back({x, kSillBottom});
    }
    // The fillet up into the right pillar, all of it across from the frame's outer corner.
    for (int i = 1; i < filletSteps; ++i) {
        float a = -kPi / 2 + kPi / 2 * i / filletSteps;
        inner.push_back({cornerX + kFillet * std::cos(a), cornerY + kFillet * std::sin(a)});
        outer.push_back(outerFoot);
    }
    // Pillar points stay clear of the screen's top edge, so none of them shows or hides with the
    // sway.
    for (float y : {cornerY, 0.5f, 0.8f, kRoofBottom}) {
        inner.push_back({pillarInner(y), y});
        outer.push_back(y == kRoofBottom ? Point{pillarOuter(kRoofTop), kRoofTop}
                                         : Point{pillarOuter(y), y});
    }
    // The roof bar back to the left, the left pillar down and its fillet: the mirror image.
    for (std::size_t i = inner.size(); i-- > 3;) {
        inner.push_back({-inner[i][0], inner[i][1]});
        outer.push_back({-outer[i][0], outer[i][1]});
    }
}

float frameDepth(float, float y) {
    return 1.0f + 0.1f * (y - 0.1f);
}

float panelDepth(float x, float) {
    return 0.92f + 0.06f * (std::fabs(x) - 0.3f);
}

// The lower dashboard leans back from the coaming's lower edge, where it meets the frame.
float dashDepth(float, float y) {
    return frameDepth(0, kSillBottom) + 0.3f * (y - kSillBottom);
}

void addMaterials(Mesh &m) {
    const char *textures[11] = {"cockpit-glass.jpg",   "photo.jpg",           "cockpit-body.jpg",
                                "cockpit-body.jpg",    "cockpit-console.jpg", "cockpit-console.jpg",
                                "cockpit-upgrade.jpg", "cockpit-upgrade.jpg", "cockpit-upgrade.jpg",
                                "cockpit-sight.jpg",   "cockpit-speed.jpg"};
    for (auto *t : textures) {
        m.materials.push_back({1.0f, t});
    }
}

// One closed band, the coaming facing up, the pillars toward the window. Returns the window
// opening, which the glass fills.
std::vector<Point> addWindscreenFrame(Mesh &m) {
    std::vector<Point> inner, outer;
    windscreenLoops(inner, outer);
    band(m, inner, outer,
         {kFrame,
          frameDepth,
          [](float x, float y) { return kFrameRegion.uv(x, y); },
          {},
          [](float x, float y) {
              if (y < kSillTop + kFillet * 0.5f) {
                  return Vec3{0, 0.55f, -1};
              }
              return Vec3{x > 0 ? -0.4f : 0.4f, 0, -1};
          }});
    return inner;
}

// Each side panel stands nearer the eye than its pillar, so the sway moves it up to 0.008 across
// the pillar's outer edge: it overlaps that edge by more.
constexpr float kPanelOverlap = 0.01f;

// The lower dashboard: across the screen from the coaming's lower edge, sharing its corners
// there, to below the screen's bottom; beside the pillars it rises behind the side panels and the
// ledges, which are drawn over it. Mirrored in its texture about x = 0.
void addLowerDashboard(Mesh &m) {
    const float foot = pillarOuter(kSillBottom);
    const float cornerX = pillarInner(kSillTop + kFillet) - kFillet;
    Part dash{kDash,
              dashDepth,
              [](float x, float y) { return kDashRegion.uv(std::min(std::fabs(x), kDashSeen), y); },
              {0, 0.33f, -0.94f},
              {}};
    grid(m, {-kFar, -kDashSeen, -foot, -cornerX, 0, cornerX, foot, kDashSeen, kFar},
         {kSillBottom, kDashBottom}, dash);
    // Beside the pillars its inner edge leans in under each pillar's outer edge, which the side
    // panel covers, so no sliver opens between them as the pillar leans away.
    for (float side : {-1.0f, 1.0f}) {
        polygon(m,
                {{side * foot, kSillBottom},
                 {side * kDashSeen, kSillBottom},
                 {side * kDashSeen, kDashSideTop},
                 {side * (pillarOuter(kDashSideTop) - kPanelOverlap / 2), kDashSideTop}},
                dash);
        grid(m, {side * kDashSeen, side * kFar}, {kDashSideTop, kSillBottom}, dash);
    }
}

// Side panels from the pillars outward. The instruments are near the pillar, plain plating beyond.
void addSidePanels(Mesh &m) {
    for (float side : {-1.0f, 1.0f}) {
        const Region &detail = side < 0 ? kLeftRegion : kRightRegion;
        const Vec3 facing{-0.45f * side, 0.15f, -1};
        Part near{
            kDash, panelDepth, [&detail](float x, float y) { return detail.uv(x, y); }, facing, {}};
        Part far{kDash,
                 panelDepth,
                 [](float x, float y) { return kOuterRegion.uv(std::fabs(x), y); },
                 facing,
                 {}};
        float innerBottom = pillarOuter(kSillBottom) - kPanelOverlap,
              innerTop = pillarOuter(kPanelTop) - kPanelOverlap;
        polygon(m,
                {{side * innerBottom, kSillBottom},
                 {side * kDetailEdge, kSillBottom},
                 {side * kDetailEdge, kPanelTop - 0.008f},
                 {side * innerTop, kPanelTop}},
                near);
        polygon(m,
                {{side * kDetailEdge, kSillBottom},
                 {side * kFar, kSillBottom},
                 {side * kFar, kPanelOuterTop},
                 {side * kDetailEdge, kPanelTop - 0.008f}},
                far);
    }
}

// Gun sight at the screen centre and the speed bar in its slot, symmetric about x = 0.
void addSightAndSpeedBar(Mesh &m) {
    rectPolygon(m, {{-0.05f, 0.45f}, {0.05f, 0.45f}, {0.05f, 0.35f}, {-0.05f, 0.35f}}, kSight, 1.0f,
                {});
    rectPolygon(m,
                {{-kBarHalf, kBarTop},
                 {kBarHalf, kBarTop},
                 {kBarHalf, kBarBottom},
                 {-kBarHalf, kBarBottom}},
                kSpeed, 0.97f, {});
}

// Console ledges along the coaming outside the pillars: switches where they are seen.
void addConsoleLedges(Mesh &m) {
    for (float side : {-1.0f, 1.0f}) {
        int subset = side < 0 ? kConsoleL : kConsoleR;
        const Vec3 up{0, 0.6f, -0.8f};
        std::vector<Point> near = {{side * kLedgeInner, kLedgeTop},
                                   {side * kDetailEdge, kLedgeTop},
                                   {side * kDetailEdge, kSillBottom},
                                   {side * kLedgeInner, kSillBottom}};
        rectPolygon(m, near, subset, 0.88f, {0, 0, 1, 0.5f}, up);
        rectPolygon(m,
                    {{side * kDetailEdge, kLedgeTop},
                     {side * kFar, kLedgeTop},
                     {side * kFar, kSillBottom},
                     {side * kDetailEdge, kSillBottom}},
                    subset, 0.88f, {0, 0.5f, 1, 1}, up);
    }
}

// The station's add-on: an overhead display hanging from the roof bar on a bracket.
void addStationDisplay(Mesh &m) {
    rectPolygon(m, {{-0.115f, 0.828f}, {0.115f, 0.828f}, {0.115f, 0.715f}, {-0.115f, 0.715f}},
                kHousing, 0.93f, {0, 0, 0.5f, 1});
    rectPolygon(m, {{-0.1f, 0.815f}, {0.1f, 0.815f}, {0.1f, 0.728f}, {-0.1f, 0.728f}}, kScreen,
                0.925f, {0.5f, 0, 1, 0.5f});
    rectPolygon(m, {{-0.03f, 1.2f}, {0.03f, 1.2f}, {0.03f, 0.822f}, {-0.03f, 0.822f}}, kBracket,
                0.935f, {0.5f, 0.5f, 1, 1});
}

// The photo, pinned askew to the right pillar.
void addPhoto(Mesh &m) {
    float cx = 0.31f, cy = 0.5f, hw = 0.062f, hh = 0.047f, a = -0.14f;
    auto rot = [&](float x, float y) -> Point {
        return {cx + x * std::cos(a) - y * std::sin(a), cy + x * std::sin(a) + y * std::cos(a)};
    };
    std::vector<Point> card = {rot(-hw, hh), rot(hw, hh), rot(hw, -hh), rot(-hw, -hh)};
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    int k = 0;
    polygon(m, card,
            {kPhoto,
             at(0.95f),
             [&](float, float) -> Point {
                 // The card's own axes, corner by corner in the order given.
                 Point p{uv[k][0], uv[k][1]};
                 k = (k + 1) % 4;
                 return p;
             },
             {0, 0, -1},
             {}});
}

} // namespace

// Parts are added in the order their faces are drawn within each subset: what covers comes later.
Mesh BuildCockpit() {
    Mesh m;
    m.hasUv2 = true;
    m.hasNormals = true;
    addMaterials(m);
    std::vector<Point> window = addWindscreenFrame(m);
    addLowerDashboard(m);
    addSidePanels(m);
    rectPolygon(m, window, kGlass, 1.18f, {});
    addSightAndSpeedBar(m);
    addConsoleLedges(m);
    addStationDisplay(m);
    addPhoto(m);
    return m;
}

void MakeCockpit(Output &out) {
    out.mesh("cockpit.x", BuildCockpit());
    out.jpeg("cockpit-body.jpg", cockpit::BodyTexture());
    out.jpeg("cockpit-lights.jpg", cockpit::LightsTexture());
    out.jpeg("cockpit-glass.jpg", cockpit::GlassTexture());
    out.jpeg("cockpit-console.jpg", cockpit::ConsoleTexture());
    out.jpeg("cockpit-upgrade.jpg", cockpit::UpgradeTexture());
    out.jpeg("cockpit-sight.jpg", cockpit::SightTexture());
    out.jpeg("cockpit-speed.jpg", cockpit::SpeedTexture());
}

} // namespace mediagen
