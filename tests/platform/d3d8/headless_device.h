// The window, presentation and device creation every headless drawing test and benchmark starts
// from: a plain window, a windowed back buffer of its size with a 16-bit depth buffer, and a
// hardware device on it.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/win32/win32.h"

namespace headless {

// Registers a window class named `name` (again is harmless) and opens a window of it.
inline HWND OpenWindow(const char *name, UINT width, UINT height,
                       DWORD style = WS_VISIBLE | WS_CAPTION) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
    return CreateWindowExA(0, name, name, style, 0, 0, static_cast<int>(width),
                           static_cast<int>(height), nullptr, nullptr, nullptr, nullptr);
}

// One windowed back buffer of `width` x `height`, discarded on present, with a 16-bit depth buffer
// unless `depth` is false.
inline D3DPRESENT_PARAMETERS WindowedPresentation(HWND window, UINT width, UINT height,
                                                  D3DFORMAT format = D3DFMT_X8R8G8B8,
                                                  bool depth = true) {
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = format;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = depth ? TRUE : FALSE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    return pp;
}

// A hardware device on `window` with a windowed presentation of `width` x `height`.
inline HRESULT CreateWindowedDevice(IDirect3D8 *d3d, HWND window, UINT width, UINT height,
                                    IDirect3DDevice8 **device, D3DFORMAT format = D3DFMT_X8R8G8B8) {
    D3DPRESENT_PARAMETERS pp = WindowedPresentation(window, width, height, format);
    return d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                             device);
}

} // namespace headless
