// DDS cube writer: 124-byte header, A8R8G8B8 texels stored B, G, R, A, each face followed by its
// box-filtered smaller levels down to 1 x 1.
#include "tools/mediagen/dds_writer.h"

namespace mediagen {

std::vector<std::uint8_t> EncodeDdsCube(const std::array<Canvas, 6> &faces) {
    const std::uint32_t size = static_cast<std::uint32_t>(faces[0].width());
    std::uint32_t levels = 1;
    while ((size >> (levels - 1)) > 1) {
        ++levels;
    }
    std::vector<std::uint8_t> out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    };
    for (char c : {'D', 'D', 'S', ' '}) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
    u32(124);
    u32(0x1 | 0x2 | 0x4 | 0x8 | 0x1000 |
        0x20000); // CAPS HEIGHT WIDTH PITCH PIXELFORMAT MIPMAPCOUNT
    u32(size);
    u32(size);
    u32(size * 4); // pitch
    u32(0);        // depth
    u32(levels);
    for (int i = 0; i < 11; ++i) {
        u32(0);
    }
    // Pixel format: RGB with alpha, 32 bits.
    u32(32);
    u32(0x1 | 0x40);
    u32(0);
    u32(32);
    u32(0x00FF0000);
    u32(0x0000FF00);
    u32(0x000000FF);
    u32(0xFF000000);
    u32(0x8 | 0x1000 | 0x400000); // COMPLEX TEXTURE MIPMAP
    u32(0x200 | 0xFE00);          // CUBEMAP and all six faces
    u32(0);
    u32(0);
    u32(0);
    for (const Canvas &face : faces) {
        Canvas level = face;
        for (std::uint32_t l = 0; l < levels; ++l) {
            std::uint32_t s = size >> l;
            if (l > 0) {
                level = level.resized(static_cast<int>(s), static_cast<int>(s));
            }
            image::Rgba8Image img = level.toImage();
            for (std::size_t i = 0; i < static_cast<std::size_t>(s) * s; ++i) {
                out.push_back(img.pixels[i * 4 + 2]);
                out.push_back(img.pixels[i * 4 + 1]);
                out.push_back(img.pixels[i * 4 + 0]);
                out.push_back(255);
            }
        }
    }
    return out;
}

} // namespace mediagen
