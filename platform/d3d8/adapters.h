// What the Direct3D object reports about the machine: adapters, their desktop and full-screen
// modes, and per device type the capabilities and the formats the device accepts. Taken once when
// the Direct3D object is created, from SDL's displays or from a test's override.
#pragma once

#include "platform/d3d8/d3d8_types.h"

#include <string>
#include <vector>

namespace d3d8 {

struct DeviceTypeInfo {
    bool available = false;
    D3DCAPS8 caps{};
    std::vector<D3DFORMAT> displayFormats; // full-screen display / back-buffer formats
    std::vector<D3DFORMAT> depthFormats;   // depth-stencil formats usable with them
};

struct AdapterInfo {
    std::string description;
    std::string driver;
    D3DDISPLAYMODE desktop{};
    std::vector<D3DDISPLAYMODE> modes;
    DeviceTypeInfo hal;
    DeviceTypeInfo ref;

    const DeviceTypeInfo *Type(D3DDEVTYPE type) const {
        if (type == D3DDEVTYPE_HAL)
            return &hal;
        if (type == D3DDEVTYPE_REF)
            return &ref;
        return nullptr;
    }
};

// The adapters as they stand now: the test override when one is set, else SDL's first display.
std::vector<AdapterInfo> CurrentAdapters();

// The machine's own adapter for an SDL display of the given desktop size and refresh rate.
AdapterInfo DescribeDisplay(int desktopWidth, int desktopHeight, int refreshRate);

// The capabilities of the OpenGL device of this layer.
D3DCAPS8 OpenGlDeviceCaps(UINT adapter);

} // namespace d3d8
