// Feeds arbitrary bytes to the DDS reader and checks the shape of what it accepts, then takes the
// texture loaders' paths: a 2-D texture with one more level than the file has (which makes the
// missing level), and a cube map as the game's sky loads it, through the cube checks and into
// the texel format the cube texture stores.
#include "platform/d3dx/dds_reader.h"
#include "platform/d3dx/texel_formats.h"
#include "platform/d3dx/texture_image.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// The largest side the device's textures take.
constexpr std::uint32_t kDeviceMaxSide = 4096;

void CheckShape(const dds::Image &image) {
    if (image.surfaces.size() != std::size_t{image.faces} * image.levels)
        __builtin_trap();
    for (const dds::Surface &s : image.surfaces)
        if (s.texels.size() != std::size_t{s.width} * s.height * 4)
            __builtin_trap();
}

void CheckCubeMap(std::span<const std::uint8_t> file) {
    texture_image::Image cube;
    std::string error;
    if (!texture_image::LoadCubeMap(file, cube, error, kDeviceMaxSide)) {
        if (error.empty() || !cube.surfaces.empty())
            __builtin_trap();
        return;
    }
    CheckShape(cube);
    if (cube.faces != 6 || cube.width != cube.height || cube.width > kDeviceMaxSide)
        __builtin_trap();
    const D3DFORMAT format = cube.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    std::vector<std::uint8_t> level;
    for (std::uint32_t face = 0; face < 6; ++face)
        for (std::uint32_t l = 0; l < cube.levels; ++l) {
            const dds::Surface &s = cube.At(face, l);
            if (s.width != std::max(1u, cube.width >> l) || s.width != s.height)
                __builtin_trap();
            level.assign(std::size_t{s.width} * s.height * 4, 0);
            texels::StoreLevel(s, format, level.data(), std::size_t{s.width} * 4);
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    dds::Image image;
    std::string error;
    if (dds::Decode({data, size}, image, error)) {
        CheckShape(image);
        texture_image::Image more;
        if (!texture_image::Load({data, size}, image.levels + 1, more, error) ||
            more.levels > texture_image::FullChainLength(image.width, image.height))
            __builtin_trap();
        CheckShape(more);
    }
    CheckCubeMap({data, size});
    return 0;
}
