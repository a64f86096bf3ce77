// The adapters this layer offers: one per machine, drawing with OpenGL, whose desktop mode is the
// desktop's and whose full-screen modes are the usual 4:3 sizes up to the desktop's size plus the
// desktop's own size, each in a 16-bit and a 32-bit format. Full screen is a desktop-sized window
// with the back buffer scaled into it, so every mode works without touching the real desktop.
#include "platform/d3d8/adapters.h"

#include "platform/d3d8/seams.h"

#include <SDL.h>

#include <algorithm>
#include <mutex>
#include <optional>

namespace d3d8 {
namespace {

struct OverrideState {
    std::mutex lock;
    std::optional<std::vector<AdapterInfo>> adapters;
};

OverrideState &overrides() {
    static OverrideState state;
    static const bool registered = [] {
        seams::RegisterReset([] { seams::ClearD3D8AdapterOverride(); });
        return true;
    }();
    (void)registered;
    return state;
}

constexpr struct {
    UINT width;
    UINT height;
} kStandardSizes[] = {{640, 480},   {800, 600},   {1024, 768},  {1152, 864},
                      {1280, 960},  {1400, 1050}, {1600, 1200}, {1920, 1440},
                      {2048, 1536}, {2560, 1920}, {3200, 2400}, {4096, 3072}};

constexpr D3DFORMAT kModeFormats[] = {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8};

} // namespace

D3DCAPS8 OpenGlDeviceCaps(UINT adapter) {
    D3DCAPS8 caps{};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.AdapterOrdinal = adapter;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.PresentationIntervals = 0x80000001u; // immediate and one
    caps.CursorCaps = D3DCURSORCAPS_COLOR;
    caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    caps.TextureCaps = D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_CUBEMAP;
    caps.MaxTextureWidth = 4096;
    caps.MaxTextureHeight = 4096;
    caps.MaxTextureRepeat = 8192;
    caps.MaxTextureAspectRatio = 4096;
    caps.MaxAnisotropy = 1;
    caps.MaxVertexW = 1.0e10f;
    caps.GuardBandLeft = -8192.0f;
    caps.GuardBandTop = -8192.0f;
    caps.GuardBandRight = 8192.0f;
    caps.GuardBandBottom = 8192.0f;
    caps.MaxTextureBlendStages = 8;
    caps.MaxSimultaneousTextures = 2;
    caps.MaxActiveLights = 8;
    caps.MaxPointSize = 1.0f;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFF;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 256;
    return caps;
}

AdapterInfo DescribeDisplay(int desktopWidth, int desktopHeight, int refreshRate) {
    AdapterInfo info;
    info.description = "Tarvos OpenGL 3.3 device";
    info.driver = "tarvos_d3d8";
    const UINT width = desktopWidth > 0 ? static_cast<UINT>(desktopWidth) : 640u;
    const UINT height = desktopHeight > 0 ? static_cast<UINT>(desktopHeight) : 480u;
    const UINT refresh = refreshRate > 0 ? static_cast<UINT>(refreshRate) : 60u;
    info.desktop = {width, height, refresh, D3DFMT_X8R8G8B8};

    for (D3DFORMAT format : kModeFormats) {
        bool desktopListed = false;
        for (auto size : kStandardSizes) {
            // 640 x 480 is always offered: a desktop smaller than that still shows it scaled.
            if ((size.width > width || size.height > height) && size.width != 640)
                continue;
            info.modes.push_back({size.width, size.height, refresh, format});
            desktopListed = desktopListed || (size.width == width && size.height == height);
        }
        if (!desktopListed)
            info.modes.push_back({width, height, refresh, format});
    }

    info.hal.available = true;
    info.hal.caps = OpenGlDeviceCaps(0);
    info.hal.displayFormats = {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8};
    info.hal.depthFormats = {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8};
    // No reference rasteriser: the REF type reports itself unavailable, as on most machines.
    info.ref.available = false;
    return info;
}

std::vector<AdapterInfo> CurrentAdapters() {
    {
        OverrideState &state = overrides();
        std::lock_guard guard(state.lock);
        if (state.adapters)
            return *state.adapters;
    }
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        desktop = SDL_DisplayMode{SDL_PIXELFORMAT_RGB888, 1024, 768, 60, nullptr};
    return {DescribeDisplay(desktop.w, desktop.h, desktop.refresh_rate)};
}

} // namespace d3d8

namespace seams {

void OverrideD3D8Adapters(std::vector<d3d8::AdapterInfo> adapters) {
    auto &state = d3d8::overrides();
    std::lock_guard guard(state.lock);
    for (size_t i = 0; i < adapters.size(); ++i) {
        adapters[i].hal.caps.AdapterOrdinal = static_cast<UINT>(i);
        adapters[i].ref.caps.AdapterOrdinal = static_cast<UINT>(i);
    }
    state.adapters = std::move(adapters);
}

void ClearD3D8AdapterOverride() {
    auto &state = d3d8::overrides();
    std::lock_guard guard(state.lock);
    state.adapters.reset();
}

d3d8::AdapterInfo StandardD3D8Adapter(int desktopWidth, int desktopHeight) {
    return d3d8::DescribeDisplay(desktopWidth, desktopHeight, 60);
}

} // namespace seams
