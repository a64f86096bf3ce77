// The output folder: every asset family writes its files through this, which encodes images with
// the shared codecs, writes meshes, sounds and raw bytes, and remembers what it wrote.
#pragma once

#include "tools/mediagen/mesh.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mediagen {

class Canvas;
struct Sound;

class Output {
public:
    explicit Output(std::string folder) : m_folder(std::move(folder)) {}

    void png(const std::string &name, const Canvas &canvas);
    // Quality 92 by default; smooth dark gradients need more to keep the blocks from showing.
    void jpeg(const std::string &name, const Canvas &canvas, int quality = 92);
    void mesh(const std::string &name, const Mesh &mesh);
    void wav(const std::string &name, const Sound &sound);
    void bytes(const std::string &name, std::span<const std::uint8_t> data);

    const std::vector<std::string> &written() const { return m_written; }
    bool ok() const { return m_ok; }

private:
    void store(const std::string &name, std::span<const std::uint8_t> data);

    std::string m_folder;
    std::vector<std::string> m_written;
    bool m_ok = true;
};

// Text of a mesh in the text X encoding the game's loader reads.
std::string WriteXText(const Mesh &mesh, const std::string &name);

} // namespace mediagen
