// A tiny software rasteriser for the contact sheet: textured, lambert-lit, depth-buffered, with
// back faces culled by the game's winding rule, so shapes and windings can be checked by eye.
#pragma once

#include "tools/mediagen/canvas.h"
#include "tools/mediagen/mesh.h"

#include <map>
#include <string>

namespace mediagen {

struct View {
    float yaw = 0.6f;   // radians about y
    float pitch = 0.4f; // radians above the horizon
    float distance = 3; // from the origin, looking at `target`
    Vec3 target{};
    float fov = 0.8f;
    bool lit = true; // false for meshes the game draws unlit (sky, station)
};

Canvas RenderMesh(const Mesh &mesh, const std::map<std::string, image::Rgba8Image> &textures,
                  int width, int height, const View &view);

} // namespace mediagen
