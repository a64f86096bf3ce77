// The Direct3D object: a snapshot of the adapters taken at creation, the format checks against
// it, and device creation.
#pragma once

#include "platform/d3d8/adapters.h"
#include "platform/d3d8/d3d8.h"

#include <vector>

namespace d3d8 {

class Direct3D final : public RefCounted<IDirect3D8> {
public:
    explicit Direct3D(std::vector<AdapterInfo> adapters);

    HRESULT QueryInterface(REFIID iid, void **object) override;
    UINT GetAdapterCount() override;
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                                 D3DADAPTER_IDENTIFIER8 *identifier) override;
    UINT GetAdapterModeCount(UINT adapter) override;
    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE *out) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE *mode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                            D3DFORMAT backBufferFormat, BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat,
                                       BOOL windowed, D3DMULTISAMPLE_TYPE multiSample) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat,
                                   D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8 *caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviour,
                         D3DPRESENT_PARAMETERS *parameters, IDirect3DDevice8 **device) override;

    // The device type's description, or nullptr when the adapter or type is not available.
    const DeviceTypeInfo *TypeInfo(UINT adapter, D3DDEVTYPE type) const;
    const AdapterInfo *Adapter(UINT adapter) const;
    // Whether `parameters` describe a back buffer this device type can have; the reason goes to
    // the debug output when not.
    bool ValidPresentation(UINT adapter, D3DDEVTYPE type,
                           const D3DPRESENT_PARAMETERS &parameters) const;

private:
    ~Direct3D() override;

    std::vector<AdapterInfo> m_adapters;
};

} // namespace d3d8
