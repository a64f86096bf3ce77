// The scene the draw benchmark draws, described once so that the device and the raw OpenGL floor
// draw exactly the same thing: a small sphere mesh, two checker textures, a camera, a directional
// light and a spot light, and each mesh's place, material, texture, blending and colour source.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace draw_scene {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kTextureSize = 64;

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};

// A unit sphere of 8 x 6 segments: 63 vertices, 96 triangles.
struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<std::uint16_t> indices;
};

inline Mesh Sphere() {
    const int slices = 8, stacks = 6;
    Mesh mesh;
    for (int j = 0; j <= stacks; ++j)
        for (int i = 0; i <= slices; ++i) {
            const float theta = 3.14159265f * j / stacks, phi = 6.2831853f * i / slices;
            const float nx = std::sin(theta) * std::cos(phi), ny = std::cos(theta),
                        nz = std::sin(theta) * std::sin(phi);
            mesh.vertices.push_back({nx, ny, nz, nx, ny, nz, static_cast<float>(i) / slices,
                                     static_cast<float>(j) / stacks});
        }
    for (int j = 0; j < stacks; ++j)
        for (int i = 0; i < slices; ++i) {
            const auto a = static_cast<std::uint16_t>(j * (slices + 1) + i);
            const auto b = static_cast<std::uint16_t>(a + slices + 1);
            mesh.indices.insert(mesh.indices.end(), {a, static_cast<std::uint16_t>(a + 1), b, b,
                                                     static_cast<std::uint16_t>(a + 1),
                                                     static_cast<std::uint16_t>(b + 1)});
        }
    return mesh;
}

// Texel `i` (row-major) of every mip level of texture `t`, as a 0xAARRGGBB word.
inline std::uint32_t Texel(int t, unsigned i) {
    return ((i ^ (i >> 3)) & 1) ? 0xFFFFFFFFu : (t ? 0xFF4080C0u : 0xFF804020u);
}

// Camera at the origin looking along +z (view = identity); this projection is in row-vector form.
constexpr float kProjection[4][4] = {
    {0.75f, 0, 0, 0}, {0, 1.0f, 0, 0}, {0, 0, 100.0f / 99.0f, 1.0f}, {0, 0, -100.0f / 99.0f, 0}};
constexpr std::uint32_t kAmbient = 0x000F0F0F;

// Light 0: white, directional.
constexpr float kSunDirection[3] = {0.1f, 0.2f, 1.0f};
// Light 2: white spot light at the camera, looking along +z.
constexpr float kSpotRange = 256.0f, kSpotFalloff = 7.0f, kSpotAttenuation1 = 0.01f;
constexpr float kSpotTheta = 0.01f, kSpotPhi = 0.7f;

// Mesh i of a frame: scaled to 0.4 on a 40 x 30 grid at depth 30.
struct Placement {
    float scale, x, y, z;
};
inline Placement PlaceOf(int i) {
    return {0.4f, static_cast<float>(i % 40) - 20.0f, static_cast<float>((i / 40) % 30) - 15.0f,
            30.0f};
}

// With state changes, mesh i also changes material, texture, blending and colour source.
struct Look {
    float diffuse[4];
    int texture;    // 0 or 1
    bool blend;     // blending on with the default factors (one, zero)
    bool useFactor; // texture times the texture factor (white) instead of the lit colour
};
inline Look LookOf(int i, bool changeStates) {
    if (!changeStates)
        return {{1, 1, 1, 1}, 0, false, false};
    return {{0.5f + 0.5f * static_cast<float>(i & 1), 0.7f, 0.9f, 1.0f},
            i & 1,
            (i & 2) != 0,
            (i & 4) != 0};
}

} // namespace draw_scene
