// Review aid, not shipped with the game: one PNG showing every generated picture with its name and
// every mesh file drawn with its textures by our own Direct3D layer.
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/mesh_view.h"
#include "tools/mediagen/text.h"

#include "platform/image/image.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <tuple>

using namespace mediagen;

namespace {

Canvas fromImage(const image::Rgba8Image &img) {
    Canvas c(static_cast<int>(img.width), static_cast<int>(img.height));
    for (std::uint32_t y = 0; y < img.height; ++y) {
        for (std::uint32_t x = 0; x < img.width; ++x) {
            const std::uint8_t *p = &img.pixels[(static_cast<std::size_t>(y) * img.width + x) * 4];
            c.set(static_cast<int>(x), static_cast<int>(y),
                  rgb(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f));
        }
    }
    return c;
}

// A checkerboard behind each tile shows transparency.
Canvas checker(int w, int h) {
    Canvas c(w, h, {0, 0, 0, 1});
    c.shade([](float x, float y) {
        bool odd = (static_cast<int>(x) / 8 + static_cast<int>(y) / 8) % 2;
        return odd ? hex(0x3a3f46) : hex(0x2a2e33);
    });
    return c;
}

// Every picture file in the folder, in natural order so numbered frames follow one another.
std::vector<std::string> pictureNames(const std::string &folder) {
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(folder)) {
        std::string n = e.path().filename().string();
        if (n.ends_with(".png") || n.ends_with(".jpg")) {
            names.push_back(n);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        auto split = [](const std::string &s) {
            std::size_t i = s.find_first_of("0123456789");
            std::size_t j =
                s.find_first_not_of("0123456789", i == std::string::npos ? s.size() : i);
            int n = i == std::string::npos ? -1 : std::stoi(s.substr(i, j - i));
            return std::make_tuple(s.substr(0, i), n, s);
        };
        return split(a) < split(b);
    });
    return names;
}

// The pictures that decode; the others are named on standard error and left out.
std::map<std::string, image::Rgba8Image> loadPictures(const std::string &folder,
                                                      const std::vector<std::string> &names) {
    std::map<std::string, image::Rgba8Image> pictures;
    for (const auto &n : names) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        image::Rgba8Image img;
        if (!image::ReadFileBytes(folder + "/" + n, bytes, error) ||
            !(n.ends_with(".png") ? image::DecodePng(bytes, img, error)
                                  : image::DecodeJpeg(bytes, img, error))) {
            std::fprintf(stderr, "contact sheet: %s: %s\n", n.c_str(), error.c_str());
            continue;
        }
        pictures[n] = std::move(img);
    }
    return pictures;
}

struct MeshEntry {
    const char *label;
    const char *file;
    float distance;
    float yaw, pitch;
    Vec3 target;
    float fov = 0;    // 0: the default for the view
    float aspect = 1; // width over height
};

// Every mesh file the game loads; the ships also from behind, the hollow ones from inside.
const std::vector<MeshEntry> &meshEntries() {
    static const std::vector<MeshEntry> meshes = {
        {"asteroid1", "asteroid1.x", 3.2f, 0.6f, 0.4f, {}},
        {"asteroid2", "asteroid2.x", 3.2f, 0.6f, 0.4f, {}},
        {"asteroid3", "asteroid3.x", 3.2f, 0.6f, 0.4f, {}},
        {"asteroid4", "asteroid4.x", 3.2f, 0.6f, 0.4f, {}},
        {"debris", "debris.x", 0.7f, 0.6f, 0.4f, {}},
        {"ship", "ship.x", 2.6f, 2.4f, 0.5f, {}},
        {"ship (rear)", "ship.x", 2.6f, 0.5f, 0.3f, {}},
        {"ship (above)", "ship.x", 2.2f, 0.0f, 1.45f, {}},
        {"ship (below)", "ship.x", 2.2f, 0.0f, -1.45f, {}},
        {"marsship", "marsship.x", 2.8f, 2.4f, 0.5f, {}},
        {"marsship (rear)", "marsship.x", 2.8f, 0.5f, 0.3f, {}},
        {"satellite", "satellite.x", 9.0f, 0.5f, 0.5f, {}},
        {"station (inside)", "station.x", 0.01f, 3.0f, 0.0f, {-2.1f, 0.2f, 2.7f}},
        {"station (arrival)", "station.x", 45.0f, 3.0f, 0.1f, {}},
        {"cockpit (game view)",
         "cockpit.x",
         0.01f,
         0.0f,
         0.0f,
         {0, 0.4f, -0.3f},
         kPi / 4,
         4.0f / 3},
        {"sky (inside)", "skybox.x", 0.01f, 0.3f, 0.1f, {}},
        {"photo", "photo.x", 1.0f, 0.3f, 0.2f, {}},
        {"photo (back)", "photo.x", 1.0f, 3.4f, 0.2f, {}},
        {"explosion", "explosion.x", 3.0f, 0.4f, 0.5f, {}},
        {"flare", "flare.x", 1.6f, 0.3f, 0.2f, {}},
        {"flare2", "flare2.x", 1.6f, 0.3f, 0.2f, {}},
        {"targt", "targt.x", 12.0f, 0.3f, 0.2f, {}},
        {"targ2", "targ2.x", 6.0f, 0.3f, 0.2f, {}},
        {"radar", "radar.x", 1.6f, 0.0f, 0.0f, {}},
        {"ShipHealth", "ShipHealth.x", 1.8f, 0.0f, 0.0f, {0, 0.5f, 0}},
        {"textasset", "textasset.x", 1.6f, 0.3f, 0.2f, {}},
        {"black", "black.x", 1.6f, 0.3f, 0.2f, {}},
        {"black2", "black2.x", 1.6f, 0.3f, 0.2f, {}},
    };
    return meshes;
}

// The camera for one entry; the station, the sky and the cockpit are seen from inside, and the
// hollow, unlit station and sky without lights.
View viewOf(const MeshEntry &e) {
    View v;
    v.distance = e.distance;
    v.yaw = e.yaw;
    v.pitch = e.pitch;
    v.target = e.target;
    if (e.distance < 0.1f) {
        // Inside views: the eye sits at the target, looking along the yaw direction.
        v.target = e.target + Vec3{std::sin(e.yaw), e.pitch, std::cos(e.yaw)};
        v.distance = 1.0f;
        v.yaw = -e.yaw;
        v.pitch = -e.pitch;
        v.fov = 1.3f;
    }
    std::string name = e.label;
    v.lit = name.rfind("station", 0) != 0 && name.rfind("sky", 0) != 0;
    if (e.fov > 0) {
        v.fov = e.fov;
    }
    return v;
}

// The sheet: tiles in rows of `kColumns`, each a thumbnail over a checkerboard with its name below.
class Sheet {
public:
    static constexpr int kTile = 192, kLabel = 18, kColumns = 8;

    Sheet(int tiles, const TextRenderer &text)
        : m_canvas(kColumns * kTile, rowsFor(tiles) * (kTile + kLabel), hex(0x101214)),
          m_text(text) {}

    static int rowsFor(int tiles) { return (tiles + kColumns - 1) / kColumns; }

    void place(const Canvas &pic, const std::string &name) {
        int x = (m_index % kColumns) * kTile, y = (m_index / kColumns) * (kTile + kLabel);
        ++m_index;
        float k = std::min(1.0f, std::min(static_cast<float>(kTile - 8) / pic.width(),
                                          static_cast<float>(kTile - 8) / pic.height()));
        int w = std::max(1, static_cast<int>(pic.width() * k)),
            h = std::max(1, static_cast<int>(pic.height() * k));
        Canvas thumb = checker(w, h);
        thumb.composite(pic.resized(w, h), 0, 0);
        m_canvas.composite(thumb, x + (kTile - w) / 2, y + (kTile - h) / 2);
        Mask m(kTile, kLabel);
        m_text.draw(m, FontFace::Sans, name, 11, 4, 13);
        m_canvas.drawMask(m, x, y + kTile, hex(0xd0d8e0));
    }

    // The next tile starts a new row.
    void endRow() { m_index = rowsFor(m_index) * kColumns; }

    bool write(const std::string &path) const {
        std::vector<std::uint8_t> png;
        std::string error;
        if (!image::EncodePng(m_canvas.toImage(), false, png, error) ||
            !image::WriteFileBytes(path, png, error)) {
            std::fprintf(stderr, "contact sheet: %s\n", error.c_str());
            return false;
        }
        return true;
    }

private:
    Canvas m_canvas;
    const TextRenderer &m_text;
    int m_index = 0;
};

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <media folder> <sheet.png>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<std::string> names = pictureNames(folder);
    const auto pictures = loadPictures(folder, names);
    const auto &meshes = meshEntries();
    TextRenderer text;
    if (!text.ok()) {
        return 1;
    }
    const int pictureTiles = Sheet::rowsFor(static_cast<int>(pictures.size())) * Sheet::kColumns;
    Sheet sheet(pictureTiles + static_cast<int>(meshes.size()), text);
    for (const auto &name : names) {
        auto it = pictures.find(name);
        if (it != pictures.end()) {
            sheet.place(fromImage(it->second), name);
        }
    }
    sheet.endRow();
    const int size = Sheet::kTile - 8;
    MeshViewer viewer(folder, size, size);
    if (!viewer.ok()) {
        std::fprintf(stderr, "contact sheet: no Direct3D device to draw the meshes\n");
        return 1;
    }
    for (const auto &e : meshes) {
        sheet.place(viewer.Render(e.file, size, static_cast<int>(size / e.aspect), viewOf(e)),
                    e.label);
    }
    if (!sheet.write(argv[2])) {
        return 1;
    }
    std::printf("contact sheet: %zu pictures, %zu meshes -> %s\n", pictures.size(), meshes.size(),
                argv[2]);
    return 0;
}
