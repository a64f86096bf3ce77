// The back-buffer surface. The device owns the object; while the program holds references to it,
// it holds one reference on the device, so a device is never freed under a surface in use.
#pragma once

#include "platform/d3d8/d3d8.h"

namespace d3d8 {

class Device;

class BackBufferSurface final : public IDirect3DSurface8 {
public:
    explicit BackBufferSurface(Device *device);
    ~BackBufferSurface() override;

    HRESULT QueryInterface(REFIID iid, void **object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8 **device) override;
    HRESULT GetDesc(D3DSURFACE_DESC *desc) override;
    HRESULT LockRect(D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags) override;
    HRESULT UnlockRect() override;

private:
    Device *m_device;
    ULONG m_refs = 0;
};

} // namespace d3d8
