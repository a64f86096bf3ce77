// Perspective triangle rasteriser with near-plane clipping and barycentric interpolation; front
// faces run clockwise on screen, as in the game.
#include "tools/mediagen/raster.h"

#include <cmath>
#include <limits>

namespace mediagen {

namespace {

constexpr float kNear = 0.02f;

struct CameraVertex {
    Vec3 c; // camera space: x right, y up, z forward
    float u, v;
};

struct ScreenVertex {
    float x, y, z, u, v;
};

// Keeps the part of a convex polygon in front of the near plane.
std::vector<CameraVertex> clipNear(const std::vector<CameraVertex> &in) {
    std::vector<CameraVertex> out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const CameraVertex &a = in[i], &b = in[(i + 1) % in.size()];
        bool aIn = a.c.z >= kNear, bIn = b.c.z >= kNear;
        if (aIn) {
            out.push_back(a);
        }
        if (aIn != bIn) {
            float t = (kNear - a.c.z) / (b.c.z - a.c.z);
            out.push_back({lerp(a.c, b.c, t), mix(a.u, b.u, t), mix(a.v, b.v, t)});
        }
    }
    return out;
}

} // namespace

Canvas RenderMesh(const Mesh &mesh, const std::map<std::string, image::Rgba8Image> &textures, int w,
                  int h, const View &view) {
    Canvas out(w, h, hex(0x20242a));
    std::vector<float> depth(static_cast<std::size_t>(w) * h, std::numeric_limits<float>::max());
    Vec3 eye = view.target + Vec3{std::sin(view.yaw) * std::cos(view.pitch), std::sin(view.pitch),
                                  -std::cos(view.yaw) * std::cos(view.pitch)} *
                                 view.distance;
    Vec3 forward = normalize(view.target - eye);
    Vec3 right = normalize(cross(Vec3{0, 1, 0}, forward));
    Vec3 up = cross(forward, right);
    float f = 0.5f * h / std::tan(view.fov * 0.5f);
    Vec3 light = normalize(Vec3{0.4f, 0.7f, -0.6f});

    auto drawTriangle = [&](const ScreenVertex *p[3], const image::Rgba8Image *tex, float shade) {
        float area =
            (p[1]->x - p[0]->x) * (p[2]->y - p[0]->y) - (p[2]->x - p[0]->x) * (p[1]->y - p[0]->y);
        if (area <= 0) {
            return; // counter-clockwise on screen: culled, as the game's device does
        }
        int x0 = std::max(0, static_cast<int>(std::floor(std::min({p[0]->x, p[1]->x, p[2]->x}))));
        int x1 =
            std::min(w - 1, static_cast<int>(std::ceil(std::max({p[0]->x, p[1]->x, p[2]->x}))));
        int y0 = std::max(0, static_cast<int>(std::floor(std::min({p[0]->y, p[1]->y, p[2]->y}))));
        int y1 =
            std::min(h - 1, static_cast<int>(std::ceil(std::max({p[0]->y, p[1]->y, p[2]->y}))));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                float px = x + 0.5f, py = y + 0.5f;
                float b0 =
                    ((p[1]->x - px) * (p[2]->y - py) - (p[2]->x - px) * (p[1]->y - py)) / area;
                float b1 =
                    ((p[2]->x - px) * (p[0]->y - py) - (p[0]->x - px) * (p[2]->y - py)) / area;
                float b2 = 1 - b0 - b1;
                if (b0 < 0 || b1 < 0 || b2 < 0) {
                    continue;
                }
                // Perspective-correct weights.
                float q0 = b0 / p[0]->z, q1 = b1 / p[1]->z, q2 = b2 / p[2]->z, qs = q0 + q1 + q2;
                float z = 1.0f / qs;
                std::size_t di = static_cast<std::size_t>(y) * w + x;
                if (z >= depth[di]) {
                    continue;
                }
                depth[di] = z;
                Color c = rgb(0.8f, 0.8f, 0.8f);
                if (tex) {
                    float u = (q0 * p[0]->u + q1 * p[1]->u + q2 * p[2]->u) / qs;
                    float vv = (q0 * p[0]->v + q1 * p[1]->v + q2 * p[2]->v) / qs;
                    u -= std::floor(u);
                    vv -= std::floor(vv);
                    int tx = std::min<int>(tex->width - 1, static_cast<int>(u * tex->width));
                    int ty = std::min<int>(tex->height - 1, static_cast<int>(vv * tex->height));
                    const std::uint8_t *t =
                        &tex->pixels[(static_cast<std::size_t>(ty) * tex->width + tx) * 4];
                    c = rgb(t[0] / 255.0f, t[1] / 255.0f, t[2] / 255.0f);
                }
                out.set(x, y, rgb(c.r * shade, c.g * shade, c.b * shade));
            }
        }
    };

    for (std::size_t i = 0; i < mesh.faces.size(); ++i) {
        std::vector<CameraVertex> poly;
        for (auto idx : mesh.faces[i]) {
            const Vertex &v = mesh.vertices[idx];
            Vec3 d = v.p - eye;
            poly.push_back({{dot(d, right), dot(d, up), dot(d, forward)}, v.u, v.v});
        }
        poly = clipNear(poly);
        if (poly.size() < 3) {
            continue;
        }
        std::vector<ScreenVertex> screen;
        for (const auto &cv : poly) {
            screen.push_back({w * 0.5f + cv.c.x / cv.c.z * f, h * 0.5f - cv.c.y / cv.c.z * f,
                              cv.c.z, cv.u, cv.v});
        }
        const image::Rgba8Image *tex = nullptr;
        int mat = mesh.faceMaterial[i];
        if (mat >= 0 && mat < static_cast<int>(mesh.materials.size())) {
            auto it = textures.find(mesh.materials[mat].texture);
            if (it != textures.end()) {
                tex = &it->second;
            }
        }
        float shade =
            view.lit ? 0.35f + 0.75f * std::max(0.0f, dot(normalize(mesh.faceNormal(i)), light))
                     : 1.0f;
        for (std::size_t k = 1; k + 1 < screen.size(); ++k) {
            const ScreenVertex *tri[3] = {&screen[0], &screen[k], &screen[k + 1]};
            drawTriangle(tri, tex, shade);
        }
    }
    return out;
}

} // namespace mediagen
