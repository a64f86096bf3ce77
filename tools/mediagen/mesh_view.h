// Draws the generated mesh files for the contact sheet through our own Direct3D layer: each file
// loaded with the game's mesh loader and its material textures, drawn headless on a hidden
// window's device and read back, so the sheet shows what the game's device will draw.
#pragma once

#include "tools/mediagen/canvas.h"
#include "tools/mediagen/vec.h"

#include <memory>
#include <string>

namespace mediagen {

struct View {
    float yaw = 0.6f;   // radians about y
    float pitch = 0.4f; // radians above the horizon
    float distance = 3; // from `target`, looking at it
    Vec3 target{};
    float fov = 0.8f; // vertical, radians
    bool lit = true;  // false for meshes the game draws unlit (sky, station)
};

class MeshViewer {
public:
    // A device with a `width` x `height` back buffer; ok() tells whether it could be made.
    MeshViewer(const std::string &folder, int width, int height);
    ~MeshViewer();
    MeshViewer(const MeshViewer &) = delete;
    MeshViewer &operator=(const MeshViewer &) = delete;

    bool ok() const;
    // The mesh file `name` of the folder seen from `view` in a `width` x `height` picture (at most
    // the back buffer's size). A file that does not load gives an empty canvas and a message.
    Canvas Render(const std::string &name, int width, int height, const View &view);

private:
    struct Device;
    std::unique_ptr<Device> m_device;
    std::string m_folder;
};

} // namespace mediagen
