// SetDeviceCursor: a Windows cursor (colour, or black-and-white with its AND mask above its XOR
// mask) copied into an A8R8G8B8 surface that becomes the device's hardware cursor.
#include "framework/d3d_util.h"

#include "platform/win32/gdi.h"

#include <vector>

namespace {

// Reads a bitmap as 32-bit bottom-up rows through a memory DC; false when no DC can be made.
bool readBitmap(HDC hdcScreen, HBITMAP hbm, LONG width, LONG height, std::vector<DWORD> &bits) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bits.assign(static_cast<size_t>(width) * height, 0);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    if (!hdcMem)
        return false;
    HGDIOBJ hOld = SelectObject(hdcMem, hbm);
    GetDIBits(hdcMem, hbm, 0, static_cast<UINT>(height), bits.data(), &bmi, DIB_RGB_COLORS);
    SelectObject(hdcMem, hOld);
    DeleteDC(hdcMem);
    return true;
}

} // namespace

HRESULT SetDeviceCursor(LPDIRECT3DDEVICE8 pd3dDevice, HCURSOR hCursor, BOOL bAddWatermark) {
    HRESULT hr = E_FAIL;
    ICONINFO iconinfo{};
    if (!GetIconInfo(hCursor, &iconinfo))
        return E_FAIL;
    LPDIRECT3DSURFACE8 pCursorSurface = nullptr;
    HDC hdcScreen = nullptr;
    std::vector<DWORD> mask, colour;
    BITMAP bm{};
    const BOOL bBWCursor = iconinfo.hbmColor == nullptr;
    DWORD dwWidth = 0, dwHeightDest = 0, dwHeightSrc = 0;

    auto cleanup = [&]() {
        if (iconinfo.hbmMask)
            DeleteObject(iconinfo.hbmMask);
        if (iconinfo.hbmColor)
            DeleteObject(iconinfo.hbmColor);
        if (hdcScreen)
            ReleaseDC(nullptr, hdcScreen);
        if (pCursorSurface)
            pCursorSurface->Release();
    };

    if (!GetObjectA(iconinfo.hbmMask, sizeof(BITMAP), &bm)) {
        cleanup();
        return E_FAIL;
    }
    dwWidth = static_cast<DWORD>(bm.bmWidth);
    dwHeightSrc = static_cast<DWORD>(bm.bmHeight);
    dwHeightDest = bBWCursor ? dwHeightSrc / 2 : dwHeightSrc;

    hr = pd3dDevice->CreateImageSurface(dwWidth, dwHeightDest, D3DFMT_A8R8G8B8, &pCursorSurface);
    if (FAILED(hr)) {
        cleanup();
        return hr;
    }
    hdcScreen = GetDC(nullptr);
    if (!readBitmap(hdcScreen, iconinfo.hbmMask, bm.bmWidth, bm.bmHeight, mask) ||
        (!bBWCursor && !readBitmap(hdcScreen, iconinfo.hbmColor, bm.bmWidth,
                                   static_cast<LONG>(dwHeightDest), colour))) {
        cleanup();
        return E_FAIL;
    }

    D3DLOCKED_RECT lr;
    hr = pCursorSurface->LockRect(&lr, nullptr, 0);
    if (FAILED(hr)) {
        cleanup();
        return hr;
    }
    static const WORD wMask[5] = {0xCCC0, 0xA2A0, 0xA4A0, 0xA2A0, 0xCCC0};
    // DIB row r of a bitmap of h rows is image row h - 1 - r.
    auto at = [&](const std::vector<DWORD> &bits, DWORD rows, DWORD x, DWORD imageRow) {
        return bits[(rows - 1 - imageRow) * dwWidth + x];
    };
    for (DWORD y = 0; y < dwHeightDest; ++y) {
        auto *pBitmap = reinterpret_cast<DWORD *>(static_cast<BYTE *>(lr.pBits) + y * lr.Pitch);
        for (DWORD x = 0; x < dwWidth; ++x) {
            DWORD crColor, crMask;
            if (bBWCursor) {
                crColor = at(mask, dwHeightSrc, x, dwHeightDest + y);
                crMask = at(mask, dwHeightSrc, x, y);
            } else {
                crColor = at(colour, dwHeightDest, x, y);
                crMask = at(mask, dwHeightSrc, x, y);
            }
            pBitmap[x] = crMask == 0 ? (0xFF000000 | crColor) : 0x00000000;
            if (bAddWatermark && x < 12 && y < 5 && (wMask[y] & (1 << (15 - x))))
                pBitmap[x] |= 0xFF808080;
        }
    }
    pCursorSurface->UnlockRect();
    hr = pd3dDevice->SetCursorProperties(iconinfo.xHotspot, iconinfo.yHotspot, pCursorSurface);
    cleanup();
    return FAILED(hr) ? hr : S_OK;
}
