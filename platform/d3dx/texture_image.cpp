// Loads PNG, JPEG and DDS files into faces and mip levels of 32-bit texels.
#include "platform/d3dx/texture_image.h"

#include "platform/image/image.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace texture_image {

namespace {

enum class FileKind { Png, Jpeg, Dds, Unknown };

FileKind Sniff(std::span<const std::uint8_t> file) {
    static const std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() >= sizeof kPng && std::memcmp(file.data(), kPng, sizeof kPng) == 0)
        return FileKind::Png;
    if (file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF)
        return FileKind::Jpeg;
    if (file.size() >= 4 && std::memcmp(file.data(), "DDS ", 4) == 0)
        return FileKind::Dds;
    return FileKind::Unknown;
}

// One face from a picture decoded as B, G, R, A texels (255 alpha when it has none): its pixels
// become the face's texels as they are.
dds::Surface FromPicture(image::Rgba8Image &picture) {
    dds::Surface s;
    s.width = picture.width;
    s.height = picture.height;
    s.texels = std::move(picture.pixels);
    return s;
}

} // namespace

std::uint32_t FullChainLength(std::uint32_t width, std::uint32_t height) {
    return static_cast<std::uint32_t>(std::bit_width(std::max(std::max(width, height), 1u)));
}

dds::Surface HalveSurface(const dds::Surface &source) {
    dds::Surface out;
    out.width = std::max(1u, source.width / 2);
    out.height = std::max(1u, source.height / 2);
    out.texels.resize(std::size_t{out.width} * out.height * 4);
    for (std::uint32_t y = 0; y < out.height; ++y)
        for (std::uint32_t x = 0; x < out.width; ++x) {
            // The 2 x 2 block above, fewer texels where the source side is 1 or odd at the edge.
            const std::uint32_t x0 = std::min(2 * x, source.width - 1);
            const std::uint32_t x1 = std::min(2 * x + 1, source.width - 1);
            const std::uint32_t y0 = std::min(2 * y, source.height - 1);
            const std::uint32_t y1 = std::min(2 * y + 1, source.height - 1);
            const std::uint8_t *a = &source.texels[(std::size_t{y0} * source.width + x0) * 4];
            const std::uint8_t *b = &source.texels[(std::size_t{y0} * source.width + x1) * 4];
            const std::uint8_t *c = &source.texels[(std::size_t{y1} * source.width + x0) * 4];
            const std::uint8_t *d = &source.texels[(std::size_t{y1} * source.width + x1) * 4];
            std::uint8_t *t = &out.texels[(std::size_t{y} * out.width + x) * 4];
            for (int k = 0; k < 4; ++k)
                t[k] = static_cast<std::uint8_t>((a[k] + b[k] + c[k] + d[k] + 2) / 4);
        }
    return out;
}

bool Load(std::span<const std::uint8_t> file, std::uint32_t levels, Image &out, std::string &error,
          std::uint32_t maxSide) {
    out = Image{};
    std::uint32_t fileLevels = 1;
    switch (Sniff(file)) {
    case FileKind::Dds:
        if (!dds::Decode(file, out, error, maxSide))
            return false;
        fileLevels = out.levels;
        break;
    case FileKind::Png:
    case FileKind::Jpeg: {
        image::Rgba8Image picture;
        const bool ok =
            Sniff(file) == FileKind::Png
                ? image::DecodePng(file, picture, error, maxSide, image::ChannelOrder::Bgra)
                : image::DecodeJpeg(file, picture, error, maxSide, image::ChannelOrder::Bgra);
        if (!ok)
            return false;
        out.width = picture.width;
        out.height = picture.height;
        out.levels = 1;
        out.faces = 1;
        out.hasAlpha = picture.hasAlpha;
        out.surfaces.push_back(FromPicture(picture));
        levels = levels == 0 ? FullChainLength(out.width, out.height) : levels;
        break;
    }
    case FileKind::Unknown:
        error = "unknown image format";
        return false;
    }

    const std::uint32_t wanted =
        std::min(levels == 0 ? fileLevels : levels, FullChainLength(out.width, out.height));
    if (wanted == out.levels)
        return true;
    // Re-lay the faces with the new level count, keeping or making each level.
    std::vector<dds::Surface> surfaces;
    surfaces.reserve(std::size_t{out.faces} * wanted);
    for (std::uint32_t face = 0; face < out.faces; ++face)
        for (std::uint32_t level = 0; level < wanted; ++level) {
            if (level < out.levels)
                surfaces.push_back(std::move(out.surfaces[face * out.levels + level]));
            else
                surfaces.push_back(HalveSurface(surfaces.back()));
        }
    out.surfaces = std::move(surfaces);
    out.levels = wanted;
    return true;
}

bool LoadCubeMap(std::span<const std::uint8_t> file, Image &out, std::string &error,
                 std::uint32_t maxSide) {
    if (!Load(file, 0, out, error, maxSide))
        return false;
    if (!out.cubeMap || out.faces != 6 || out.width != out.height) {
        out = Image{};
        error = "not a cube map with six square faces";
        return false;
    }
    return true;
}

} // namespace texture_image
