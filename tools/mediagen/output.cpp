// Writes each asset through the shared image codecs or the small writers of this tool.
#include "tools/mediagen/output.h"

#include "tools/mediagen/audio.h"
#include "tools/mediagen/canvas.h"

#include "platform/image/image.h"

#include <cstdio>
#include <functional>

namespace mediagen {

namespace {

// Dither seed from the file name, so each sound's noise floor is fixed but distinct.
std::uint64_t nameSeed(const std::string &name) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : name) {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

} // namespace

void Output::store(const std::string &name, std::span<const std::uint8_t> data) {
    std::string error;
    if (!image::WriteFileBytes(m_folder + "/" + name, data, error)) {
        std::fprintf(stderr, "mediagen: cannot write %s: %s\n", name.c_str(), error.c_str());
        m_ok = false;
        return;
    }
    m_written.push_back(name);
}

void Output::png(const std::string &name, const Canvas &canvas) {
    std::vector<std::uint8_t> data;
    std::string error;
    if (!image::EncodePng(canvas.toImage(), true, data, error)) {
        std::fprintf(stderr, "mediagen: cannot encode %s: %s\n", name.c_str(), error.c_str());
        m_ok = false;
        return;
    }
    store(name, data);
}

void Output::jpeg(const std::string &name, const Canvas &canvas, int quality) {
    std::vector<std::uint8_t> data;
    std::string error;
    if (!image::EncodeJpeg(canvas.toImage(), quality, data, error)) {
        std::fprintf(stderr, "mediagen: cannot encode %s: %s\n", name.c_str(), error.c_str());
        m_ok = false;
        return;
    }
    store(name, data);
}

void Output::mesh(const std::string &name, const Mesh &mesh) {
    std::string stem = name.substr(0, name.find('.'));
    std::string text = WriteXText(mesh, stem);
    store(name, std::span(reinterpret_cast<const std::uint8_t *>(text.data()), text.size()));
}

void Output::wav(const std::string &name, const Sound &sound) {
    store(name, EncodeWav(sound, nameSeed(name)));
}

void Output::bytes(const std::string &name, std::span<const std::uint8_t> data) {
    store(name, data);
}

} // namespace mediagen
