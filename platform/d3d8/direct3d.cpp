// The Direct3D object: answers the adapter, mode, format and capability queries from the snapshot
// it took at creation, and creates devices.
#include "platform/d3d8/direct3d.h"

#include "platform/d3d8/device.h"
#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/trace.h"
#include "platform/seams/failure_injection.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace d3d8 {
namespace {

bool contains(const std::vector<D3DFORMAT> &formats, D3DFORMAT format) {
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

void copyText(char (&dest)[MAX_DEVICE_IDENTIFIER_STRING], const std::string &text) {
    std::snprintf(dest, sizeof dest, "%s", text.c_str());
}

} // namespace

Direct3D::Direct3D(std::vector<AdapterInfo> adapters) : m_adapters(std::move(adapters)) {
    ++LiveObjectCount();
}

Direct3D::~Direct3D() {
    --LiveObjectCount();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

HRESULT Direct3D::QueryInterface(REFIID, void **object) {
    if (object)
        *object = nullptr;
    return E_NOINTERFACE;
}

const AdapterInfo *Direct3D::Adapter(UINT adapter) const {
    return adapter < m_adapters.size() ? &m_adapters[adapter] : nullptr;
}

const DeviceTypeInfo *Direct3D::TypeInfo(UINT adapter, D3DDEVTYPE type) const {
    const AdapterInfo *info = Adapter(adapter);
    if (!info)
        return nullptr;
    const DeviceTypeInfo *typeInfo = info->Type(type);
    return typeInfo && typeInfo->available ? typeInfo : nullptr;
}

UINT Direct3D::GetAdapterCount() {
    return static_cast<UINT>(m_adapters.size());
}

HRESULT Direct3D::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8 *identifier) {
    const AdapterInfo *info = Adapter(adapter);
    if (!info || !identifier)
        return D3DERR_INVALIDCALL;
    std::memset(identifier, 0, sizeof *identifier);
    copyText(identifier->Driver, info->driver);
    copyText(identifier->Description, info->description);
    identifier->DeviceId = adapter;
    return S_OK;
}

UINT Direct3D::GetAdapterModeCount(UINT adapter) {
    const AdapterInfo *info = Adapter(adapter);
    return info ? static_cast<UINT>(info->modes.size()) : 0;
}

HRESULT Direct3D::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE *out) {
    const AdapterInfo *info = Adapter(adapter);
    if (!info || !out || mode >= info->modes.size())
        return D3DERR_INVALIDCALL;
    *out = info->modes[mode];
    return S_OK;
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE *mode) {
    const AdapterInfo *info = Adapter(adapter);
    if (!info || !mode)
        return D3DERR_INVALIDCALL;
    *mode = info->desktop;
    return S_OK;
}

HRESULT Direct3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                  D3DFORMAT backBufferFormat, BOOL windowed) {
    const AdapterInfo *info = Adapter(adapter);
    if (!info)
        return D3DERR_INVALIDCALL;
    const DeviceTypeInfo *typeInfo = TypeInfo(adapter, type);
    if (!typeInfo)
        return D3DERR_NOTAVAILABLE;
    // A window shares the desktop: only the desktop's own format can be shown in one.
    if (windowed && displayFormat != info->desktop.Format)
        return D3DERR_NOTAVAILABLE;
    if (!contains(typeInfo->displayFormats, displayFormat))
        return D3DERR_NOTAVAILABLE;
    const bool sameFormat = backBufferFormat == displayFormat;
    const bool alphaOfSame =
        displayFormat == D3DFMT_X8R8G8B8 && backBufferFormat == D3DFMT_A8R8G8B8;
    return sameFormat || alphaOfSame ? S_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    if (!Adapter(adapter))
        return D3DERR_INVALIDCALL;
    const DeviceTypeInfo *typeInfo = TypeInfo(adapter, type);
    if (!typeInfo)
        return D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_DEPTHSTENCIL) {
        return resourceType == D3DRTYPE_SURFACE && contains(typeInfo->depthFormats, checkFormat)
                   ? S_OK
                   : D3DERR_NOTAVAILABLE;
    }
    // Colour resources: every 16- and 32-bit RGB format is stored as 8-bit RGBA inside.
    return D3DColorFormatBits(checkFormat) == 16 || D3DColorFormatBits(checkFormat) == 32
               ? S_OK
               : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT, BOOL,
                                             D3DMULTISAMPLE_TYPE multiSample) {
    if (!Adapter(adapter))
        return D3DERR_INVALIDCALL;
    if (!TypeInfo(adapter, type))
        return D3DERR_NOTAVAILABLE;
    return multiSample == D3DMULTISAMPLE_NONE ? S_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                         D3DFORMAT renderTargetFormat,
                                         D3DFORMAT depthStencilFormat) {
    const AdapterInfo *info = Adapter(adapter);
    if (!info)
        return D3DERR_INVALIDCALL;
    const DeviceTypeInfo *typeInfo = TypeInfo(adapter, type);
    if (!typeInfo)
        return D3DERR_NOTAVAILABLE;
    const bool adapterOk =
        contains(typeInfo->displayFormats, adapterFormat) || adapterFormat == info->desktop.Format;
    const bool targetOk = D3DColorFormatBits(renderTargetFormat) >= 16;
    return adapterOk && targetOk && contains(typeInfo->depthFormats, depthStencilFormat)
               ? S_OK
               : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8 *caps) {
    if (!caps)
        return D3DERR_INVALIDCALL;
    std::memset(caps, 0, sizeof *caps);
    if (!Adapter(adapter))
        return D3DERR_INVALIDCALL;
    const DeviceTypeInfo *typeInfo = TypeInfo(adapter, type);
    if (!typeInfo)
        return D3DERR_NOTAVAILABLE;
    *caps = typeInfo->caps;
    caps->DeviceType = type;
    caps->AdapterOrdinal = adapter;
    return S_OK;
}

bool Direct3D::ValidPresentation(UINT adapter, D3DDEVTYPE type,
                                 const D3DPRESENT_PARAMETERS &pp) const {
    const AdapterInfo *info = Adapter(adapter);
    const DeviceTypeInfo *typeInfo = TypeInfo(adapter, type);
    if (!info || !typeInfo) {
        Trace("no such adapter or device type");
        return false;
    }
    if (pp.BackBufferCount > 1 || pp.MultiSampleType != D3DMULTISAMPLE_NONE ||
        pp.SwapEffect < D3DSWAPEFFECT_DISCARD || pp.SwapEffect > D3DSWAPEFFECT_COPY_VSYNC) {
        Trace("unsupported back-buffer count, multisampling or swap effect");
        return false;
    }
    if (pp.EnableAutoDepthStencil && !contains(typeInfo->depthFormats, pp.AutoDepthStencilFormat)) {
        Trace("unsupported depth-stencil format");
        return false;
    }
    if (pp.Windowed) {
        const bool desktopFormat =
            pp.BackBufferFormat == info->desktop.Format ||
            (info->desktop.Format == D3DFMT_X8R8G8B8 && pp.BackBufferFormat == D3DFMT_A8R8G8B8);
        if (!desktopFormat) {
            Trace("a windowed back buffer must have the desktop's format");
            return false;
        }
        // Any size: a user may drag or maximise a window past the display it started on, and
        // its back buffer follows the client area (the device bounds it by what GL can make).
        return true;
    }
    for (const D3DDISPLAYMODE &mode : info->modes) {
        if (mode.Width == pp.BackBufferWidth && mode.Height == pp.BackBufferHeight &&
            mode.Format == pp.BackBufferFormat && contains(typeInfo->displayFormats, mode.Format))
            return true;
    }
    Trace("full-screen back buffer is not one of the adapter's display modes");
    return false;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviour,
                               D3DPRESENT_PARAMETERS *parameters, IDirect3DDevice8 **device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (!parameters)
        return D3DERR_INVALIDCALL;
    HRESULT injected = S_OK;
    if (seams::ShouldFail("CreateDevice", &injected))
        return injected;
    const DeviceTypeInfo *typeInfo = TypeInfo(adapter, type);
    if (!Adapter(adapter))
        return D3DERR_INVALIDCALL;
    if (!typeInfo)
        return D3DERR_NOTAVAILABLE;

    const DWORD processing =
        behaviour & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                     D3DCREATE_MIXED_VERTEXPROCESSING);
    const bool oneProcessing = processing == D3DCREATE_SOFTWARE_VERTEXPROCESSING ||
                               processing == D3DCREATE_HARDWARE_VERTEXPROCESSING ||
                               processing == D3DCREATE_MIXED_VERTEXPROCESSING;
    const bool hardwareTnl = typeInfo->caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    if (!oneProcessing || (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && !hardwareTnl) ||
        ((behaviour & D3DCREATE_PUREDEVICE) && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING)) {
        Trace("CreateDevice: invalid vertex-processing flags");
        return D3DERR_INVALIDCALL;
    }
    if (!ValidPresentation(adapter, type, *parameters))
        return D3DERR_INVALIDCALL;
    return Device::Create(this, adapter, type, focusWindow, behaviour, *parameters, device);
}

} // namespace d3d8

IDirect3D8 *Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    if (seams::ShouldFail("Direct3DCreate8"))
        return nullptr;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        d3d8::Trace(std::string("no video system: ") + SDL_GetError());
        return nullptr;
    }
    return new d3d8::Direct3D(d3d8::CurrentAdapters());
}
