// Textures from PNG, JPEG and DDS files: the picture decoded, colour-keyed, resized when a size is
// asked for, given its mip chain with the chosen filter and stored in the texture's format.
#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/texel_formats.h"
#include "platform/d3dx/texture_image.h"
#include "platform/image/image.h"
#include "platform/win32/debug_output.h"
#include "platform/win32/files.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

void trace(LPCSTR file, const std::string &why) {
    const std::string line = std::string("D3DX: cannot load texture \"") +
                             (file ? file : "(null)") + "\": " + why + "\n";
    OutputDebugStringA(line.c_str());
}

// The largest side a texture of the device may have; pictures larger than that are refused from
// their headers rather than decoded whole only for the device to refuse them.
std::uint32_t deviceMaxSide(IDirect3DDevice8 *device) {
    D3DCAPS8 caps{};
    if (FAILED(device->GetDeviceCaps(&caps)) || caps.MaxTextureWidth == 0 ||
        caps.MaxTextureHeight == 0)
        return dds::kMaxDimension;
    return std::min(caps.MaxTextureWidth, caps.MaxTextureHeight);
}

// Reads the file and decodes it with `load`; false after a trace line on any failure.
template <class LoadFn> bool readImage(LPCSTR file, LoadFn load) {
    if (!file || !*file) {
        trace(file, "no file name");
        return false;
    }
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!image::ReadFileBytes(win32::ResolveFileName(file), bytes, error) || !load(bytes, error)) {
        trace(file, error);
        return false;
    }
    return true;
}

// Texels equal to the key (alpha included) become transparent black.
void applyColorKey(dds::Surface &surface, D3DCOLOR key) {
    for (std::size_t i = 0; i + 3 < surface.texels.size(); i += 4) {
        std::uint8_t *t = &surface.texels[i];
        const D3DCOLOR value = (D3DCOLOR(t[3]) << 24) | (D3DCOLOR(t[2]) << 16) |
                               (D3DCOLOR(t[1]) << 8) | D3DCOLOR(t[0]);
        if (value == key)
            std::memset(t, 0, 4);
    }
}

bool pointFilter(DWORD filter) {
    const DWORD kind = filter & 0xFF;
    return kind == D3DX_FILTER_NONE || kind == D3DX_FILTER_POINT;
}

// Resamples to a new size: nearest texel for point filters, else bilinear between texel centres.
dds::Surface resize(const dds::Surface &source, UINT width, UINT height, DWORD filter) {
    dds::Surface out;
    out.width = width;
    out.height = height;
    out.texels.resize(static_cast<std::size_t>(width) * height * 4);
    const bool point = pointFilter(filter);
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            const float sx = (x + 0.5f) * source.width / width - 0.5f;
            const float sy = (y + 0.5f) * source.height / height - 0.5f;
            std::uint8_t *dest = &out.texels[(static_cast<std::size_t>(y) * width + x) * 4];
            auto at = [&](long tx, long ty) {
                tx = std::clamp<long>(tx, 0, long(source.width) - 1);
                ty = std::clamp<long>(ty, 0, long(source.height) - 1);
                return &source.texels[(static_cast<std::size_t>(ty) * source.width + tx) * 4];
            };
            if (point) {
                std::memcpy(dest, at(long(sx + 0.5f), long(sy + 0.5f)), 4);
                continue;
            }
            const long x0 = long(std::floor(sx)), y0 = long(std::floor(sy));
            const float fx = sx - x0, fy = sy - y0;
            for (int c = 0; c < 4; ++c) {
                const float top = at(x0, y0)[c] * (1 - fx) + at(x0 + 1, y0)[c] * fx;
                const float bottom = at(x0, y0 + 1)[c] * (1 - fx) + at(x0 + 1, y0 + 1)[c] * fx;
                dest[c] = static_cast<std::uint8_t>(top * (1 - fy) + bottom * fy + 0.5f);
            }
        }
    }
    return out;
}

// The next level: point filters keep every other texel, the others average 2 x 2 blocks.
dds::Surface nextLevel(const dds::Surface &source, DWORD mipFilter) {
    if (!pointFilter(mipFilter))
        return texture_image::HalveSurface(source);
    const UINT width = std::max(1u, source.width / 2), height = std::max(1u, source.height / 2);
    return resize(source, width, height, D3DX_FILTER_POINT);
}

UINT chosenLevels(UINT asked, UINT width, UINT height) {
    const UINT full = texture_image::FullChainLength(width, height);
    if (asked == 0 || asked == D3DX_DEFAULT)
        return full;
    return std::min(asked, full);
}

// Copies every level of one face into a locked texture level by level.
template <class LockFn, class UnlockFn>
HRESULT upload(const std::vector<dds::Surface> &levels, D3DFORMAT format, LockFn lock,
               UnlockFn unlock) {
    for (UINT level = 0; level < levels.size(); ++level) {
        D3DLOCKED_RECT locked{};
        HRESULT hr = lock(level, &locked);
        if (FAILED(hr))
            return hr;
        texels::StoreLevel(levels[level], format, static_cast<std::uint8_t *>(locked.pBits),
                           static_cast<std::size_t>(locked.Pitch));
        unlock(level);
    }
    return S_OK;
}

} // namespace

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8 *device, LPCSTR file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO *sourceInfo, PALETTEENTRY *,
                                     IDirect3DTexture8 **texture) {
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device)
        return D3DERR_INVALIDCALL;

    // The file's own levels (a DDS chain, or a box-filtered chain of a picture) serve as they
    // are unless the texels change first or another mip filter is asked for.
    const bool ownLevels = colorKey == 0 && (width == 0 || width == D3DX_DEFAULT) &&
                           (height == 0 || height == D3DX_DEFAULT) &&
                           (mipFilter == D3DX_DEFAULT || (mipFilter & 0xFF) == D3DX_FILTER_BOX);
    // The texture takes the picture's size unless one is asked for, so the device's limit bounds
    // the picture; an asked size is checked here, before the picture is decoded for nothing.
    const bool ownSize =
        (width == 0 || width == D3DX_DEFAULT) && (height == 0 || height == D3DX_DEFAULT);
    const std::uint32_t maxSide = deviceMaxSide(device);
    if (!ownSize && ((width != 0 && width != D3DX_DEFAULT && width > maxSide) ||
                     (height != 0 && height != D3DX_DEFAULT && height > maxSide))) {
        trace(file, image::SizeLimitError(width, height, maxSide));
        return D3DERR_INVALIDCALL;
    }
    texture_image::Image picture;
    const UINT levelsToRead =
        ownLevels && mipLevels != D3DX_DEFAULT ? mipLevels : (ownLevels ? 0 : 1);
    if (!readImage(file, [&](std::span<const std::uint8_t> bytes, std::string &error) {
            return texture_image::Load(bytes, levelsToRead, picture, error,
                                       ownSize ? maxSide : dds::kMaxDimension);
        }))
        return D3DXERR_INVALIDDATA;
    if (picture.cubeMap) {
        trace(file, "a cube map is not a 2-D texture");
        return D3DXERR_INVALIDDATA;
    }
    if (sourceInfo) {
        sourceInfo->Width = picture.width;
        sourceInfo->Height = picture.height;
        sourceInfo->Depth = 1;
        sourceInfo->MipLevels = picture.levels;
        sourceInfo->Format = picture.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    }
    if (filter == D3DX_DEFAULT)
        filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;
    if (mipFilter == D3DX_DEFAULT)
        mipFilter = D3DX_FILTER_BOX;
    // The device takes any size, so the default keeps the file's own (cell sizes and caption
    // pixel sizes are read back from it).
    if (width == 0 || width == D3DX_DEFAULT)
        width = picture.width;
    if (height == 0 || height == D3DX_DEFAULT)
        height = picture.height;
    if (format == D3DFMT_UNKNOWN || format == static_cast<D3DFORMAT>(D3DX_DEFAULT))
        format = picture.hasAlpha || colorKey ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (!texels::Storable(format)) {
        trace(file, "texture format " + std::to_string(static_cast<int>(format)) +
                        " is not one a texture can hold");
        return D3DERR_INVALIDCALL;
    }

    std::vector<dds::Surface> levels;
    if (ownLevels) {
        levels = std::move(picture.surfaces);
    } else {
        dds::Surface top = std::move(picture.surfaces.front());
        if (colorKey)
            applyColorKey(top, colorKey);
        if (top.width != width || top.height != height)
            top = resize(top, width, height, filter);
        levels.push_back(std::move(top));
        const UINT wanted = chosenLevels(mipLevels, width, height);
        while (levels.size() < wanted)
            levels.push_back(nextLevel(levels.back(), mipFilter));
    }
    const UINT count = static_cast<UINT>(levels.size());

    IDirect3DTexture8 *made = nullptr;
    HRESULT hr = device->CreateTexture(width, height, count, usage, format, pool, &made);
    if (FAILED(hr)) {
        trace(file, "the device refused the texture");
        return hr;
    }
    hr = upload(
        levels, format,
        [&](UINT level, D3DLOCKED_RECT *locked) {
            return made->LockRect(level, locked, nullptr, 0);
        },
        [&](UINT level) { made->UnlockRect(level); });
    if (FAILED(hr)) {
        made->Release();
        return hr;
    }
    *texture = made;
    return S_OK;
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8 *device, LPCSTR file,
                                   IDirect3DTexture8 **texture) {
    return D3DXCreateTextureFromFileExA(device, file, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                                        0, nullptr, nullptr, texture);
}

HRESULT D3DXCreateCubeTextureFromFileA(IDirect3DDevice8 *device, LPCSTR file,
                                       IDirect3DCubeTexture8 **texture) {
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device)
        return D3DERR_INVALIDCALL;
    texture_image::Image cube;
    if (!readImage(file, [&](std::span<const std::uint8_t> bytes, std::string &error) {
            return texture_image::LoadCubeMap(bytes, cube, error, deviceMaxSide(device));
        }))
        return D3DXERR_INVALIDDATA;
    const D3DFORMAT format = cube.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    IDirect3DCubeTexture8 *made = nullptr;
    HRESULT hr =
        device->CreateCubeTexture(cube.width, cube.levels, 0, format, D3DPOOL_MANAGED, &made);
    if (FAILED(hr)) {
        trace(file, "the device refused the cube texture");
        return hr;
    }
    for (UINT face = 0; face < 6 && SUCCEEDED(hr); ++face) {
        const auto first = cube.surfaces.begin() + face * cube.levels;
        const std::vector<dds::Surface> levels(first, first + cube.levels);
        const auto which = static_cast<D3DCUBEMAP_FACES>(face);
        hr = upload(
            levels, format,
            [&](UINT level, D3DLOCKED_RECT *locked) {
                return made->LockRect(which, level, locked, nullptr, 0);
            },
            [&](UINT level) { made->UnlockRect(which, level); });
    }
    if (FAILED(hr)) {
        made->Release();
        return hr;
    }
    *texture = made;
    return S_OK;
}
