// The device's hardware cursor: the image given to SetCursorProperties, shown as an SDL colour
// cursor in place of the system pointer while the device shows its cursor.
#pragma once

#include "platform/d3d8/d3d8.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace d3d8 {

class DeviceCursor {
public:
    DeviceCursor() = default;
    ~DeviceCursor();
    DeviceCursor(const DeviceCursor &) = delete;
    DeviceCursor &operator=(const DeviceCursor &) = delete;

    // Copies an A8R8G8B8 surface as the cursor image, the hot spot inside it.
    HRESULT SetImage(UINT hotSpotX, UINT hotSpotY, IDirect3DSurface8 *image);
    // Shows the image as the pointer, or gives the pointer back to the system.
    void Show(bool show);

    UINT Width() const { return m_width; }
    UINT Height() const { return m_height; }
    POINT HotSpot() const { return m_hotSpot; }
    // Texels as 0xAARRGGBB, rows top first; empty before an image is set.
    const std::vector<std::uint32_t> &Texels() const { return m_texels; }

private:
    void Apply();

    std::vector<std::uint32_t> m_texels;
    UINT m_width = 0;
    UINT m_height = 0;
    POINT m_hotSpot{0, 0};
    bool m_shown = false;
    SDL_Cursor *m_sdlCursor = nullptr; // null where the display offers no colour cursors
};

} // namespace d3d8
