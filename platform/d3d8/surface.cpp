// The back-buffer surface: its description follows the device's presentation, and it cannot be
// locked (back buffers are created without the lockable flag).
#include "platform/d3d8/surface.h"

#include "platform/d3d8/device.h"
#include "platform/d3d8/live_objects.h"

namespace d3d8 {

BackBufferSurface::BackBufferSurface(Device *device) : m_device(device) {
    ++LiveObjectCount();
}

BackBufferSurface::~BackBufferSurface() {
    --LiveObjectCount();
}

HRESULT BackBufferSurface::QueryInterface(REFIID, void **object) {
    if (object)
        *object = nullptr;
    return E_NOINTERFACE;
}

ULONG BackBufferSurface::AddRef() {
    if (m_refs++ == 0) {
        m_device->AddRef();
        m_device->AddDefaultPoolResource(1);
    }
    return m_refs;
}

ULONG BackBufferSurface::Release() {
    if (m_refs == 0)
        return 0;
    const ULONG left = --m_refs;
    if (left == 0) {
        m_device->AddDefaultPoolResource(-1);
        m_device->Release(); // may free the device and, with it, this surface
    }
    return left;
}

HRESULT BackBufferSurface::GetDevice(IDirect3DDevice8 **device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return S_OK;
}

HRESULT BackBufferSurface::GetDesc(D3DSURFACE_DESC *desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    const D3DPRESENT_PARAMETERS &pp = m_device->Presentation();
    desc->Format = pp.BackBufferFormat;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = D3DUSAGE_RENDERTARGET;
    desc->Pool = D3DPOOL_DEFAULT;
    desc->Size =
        pp.BackBufferWidth * pp.BackBufferHeight * (D3DColorFormatBits(pp.BackBufferFormat) / 8);
    desc->MultiSampleType = pp.MultiSampleType;
    desc->Width = pp.BackBufferWidth;
    desc->Height = pp.BackBufferHeight;
    return S_OK;
}

HRESULT BackBufferSurface::LockRect(D3DLOCKED_RECT *locked, const RECT *, DWORD) {
    if (locked) {
        locked->Pitch = 0;
        locked->pBits = nullptr;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT BackBufferSurface::UnlockRect() {
    return D3DERR_INVALIDCALL;
}

} // namespace d3d8
