// The device's hardware cursor over SDL colour cursors.
#include "platform/d3d8/device_cursor.h"

#include "platform/d3d8/call_log.h"
#include "platform/d3d8/device.h"
#include "platform/d3d8/seams.h"
#include "platform/d3d8/trace.h"

#include <cstring>

namespace d3d8 {

DeviceCursor::~DeviceCursor() {
    // Freeing the cursor in use gives the pointer back to the system's.
    if (m_sdlCursor)
        SDL_FreeCursor(m_sdlCursor);
}

HRESULT DeviceCursor::SetImage(UINT hotSpotX, UINT hotSpotY, IDirect3DSurface8 *image) {
    D3DSURFACE_DESC desc{};
    if (!image || FAILED(image->GetDesc(&desc)) || desc.Format != D3DFMT_A8R8G8B8 ||
        hotSpotX >= desc.Width || hotSpotY >= desc.Height) {
        Trace("SetCursorProperties: the image must be A8R8G8B8 with the hot spot inside it");
        return D3DERR_INVALIDCALL;
    }
    D3DLOCKED_RECT locked{};
    if (FAILED(image->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return D3DERR_INVALIDCALL;
    std::vector<std::uint32_t> texels(std::size_t{desc.Width} * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y)
        std::memcpy(&texels[std::size_t{y} * desc.Width],
                    static_cast<const std::uint8_t *>(locked.pBits) + std::size_t{y} * locked.Pitch,
                    std::size_t{desc.Width} * 4);
    image->UnlockRect();

    SDL_Cursor *made = nullptr;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        // A8R8G8B8 texels are 0xAARRGGBB words, which is SDL's ARGB8888.
        SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormatFrom(
            texels.data(), static_cast<int>(desc.Width), static_cast<int>(desc.Height), 32,
            static_cast<int>(desc.Width * 4), SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            made = SDL_CreateColorCursor(surface, static_cast<int>(hotSpotX),
                                         static_cast<int>(hotSpotY));
            SDL_FreeSurface(surface);
        }
    }
    if (m_sdlCursor)
        SDL_FreeCursor(m_sdlCursor);
    m_sdlCursor = made;
    m_texels = std::move(texels);
    m_width = desc.Width;
    m_height = desc.Height;
    m_hotSpot = {static_cast<LONG>(hotSpotX), static_cast<LONG>(hotSpotY)};
    Apply();
    return S_OK;
}

void DeviceCursor::Show(bool show) {
    m_shown = show;
    Apply();
}

void DeviceCursor::Apply() {
    if (!m_sdlCursor)
        return;
    if (m_shown) {
        SDL_SetCursor(m_sdlCursor);
        SDL_ShowCursor(SDL_ENABLE);
    } else if (SDL_GetCursor() == m_sdlCursor) {
        SDL_SetCursor(SDL_GetDefaultCursor());
    }
}

HRESULT Device::SetCursorProperties(UINT hotSpotX, UINT hotSpotY, IDirect3DSurface8 *image) {
    LogCall("SetCursorProperties", hotSpotX, hotSpotY, static_cast<const void *>(image));
    return m_deviceCursor.SetImage(hotSpotX, hotSpotY, image);
}

} // namespace d3d8

bool seams::DeviceCursorImage(IDirect3DDevice8 *device, image::Rgba8Image &out, POINT &hotSpot) {
    auto *ours = dynamic_cast<d3d8::Device *>(device);
    if (!ours || ours->Cursor().Texels().empty())
        return false;
    const d3d8::DeviceCursor &cursor = ours->Cursor();
    out.width = cursor.Width();
    out.height = cursor.Height();
    out.hasAlpha = true;
    out.pixels.clear();
    for (std::uint32_t argb : cursor.Texels())
        out.pixels.insert(out.pixels.end(),
                          {static_cast<std::uint8_t>(argb >> 16),
                           static_cast<std::uint8_t>(argb >> 8), static_cast<std::uint8_t>(argb),
                           static_cast<std::uint8_t>(argb >> 24)});
    hotSpot = cursor.HotSpot();
    return true;
}
