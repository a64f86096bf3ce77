// The texture and surface interfaces over the texture storage (texture_storage.cpp), and the
// memory-only image surfaces.
#include "platform/d3d8/texture.h"

#include "platform/d3d8/device.h"
#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/pipeline.h"
#include "platform/d3d8/trace.h"

#include <algorithm>
#include <string>

namespace d3d8 {
namespace {

UINT fullChain(UINT width, UINT height) {
    UINT levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(width / 2, 1u);
        height = std::max(height / 2, 1u);
        ++levels;
    }
    return levels;
}

// Shared by both texture interfaces: resource and base-texture methods.
template <class Interface>
class TextureObject : public RefCounted<Interface>, public TextureStorage {
public:
    using TextureStorage::TextureStorage;

    HRESULT QueryInterface(REFIID, void **object) override {
        if (object)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT GetDevice(IDirect3DDevice8 **device) override {
        if (!device)
            return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *device = m_device;
        return S_OK;
    }
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    DWORD SetLOD(DWORD lod) override {
        const DWORD previous = m_lod;
        if (m_pool == D3DPOOL_MANAGED)
            m_lod = std::min(lod, m_levels - 1);
        return previous;
    }
    DWORD GetLOD() override { return m_lod; }
    DWORD GetLevelCount() override { return m_levels; }
};

class Texture2D final : public TextureObject<IDirect3DTexture8> {
public:
    using TextureObject::TextureObject;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC *desc) override {
        return LevelDesc(level, desc);
    }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8 **surface) override {
        return Surface(0, level, this, surface);
    }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags) override {
        return Lock(0, level, locked, rect, flags);
    }
    HRESULT UnlockRect(UINT level) override { return Unlock(0, level); }
    HRESULT AddDirtyRect(const RECT *) override { return S_OK; }
};

class CubeTexture final : public TextureObject<IDirect3DCubeTexture8> {
public:
    using TextureObject::TextureObject;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC *desc) override {
        return LevelDesc(level, desc);
    }
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level,
                              IDirect3DSurface8 **surface) override {
        if (face < 0 || face > 5) {
            if (surface)
                *surface = nullptr;
            return D3DERR_INVALIDCALL;
        }
        return Surface(face, level, this, surface);
    }
    HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT *locked, const RECT *rect,
                     DWORD flags) override {
        if (face < 0 || face > 5)
            return D3DERR_INVALIDCALL;
        return Lock(face, level, locked, rect, flags);
    }
    HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override {
        if (face < 0 || face > 5)
            return D3DERR_INVALIDCALL;
        return Unlock(face, level);
    }
    HRESULT AddDirtyRect(D3DCUBEMAP_FACES, const RECT *) override { return S_OK; }
};

void describe(D3DSURFACE_DESC *desc, UINT width, UINT height, D3DFORMAT format, DWORD usage,
              D3DPOOL pool) {
    desc->Format = format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = usage;
    desc->Pool = pool;
    desc->Size = width * height * TextureFormatBytes(format);
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = width;
    desc->Height = height;
}

} // namespace

// A level of a texture seen as a surface; it keeps its texture alive while it is held.
class LevelSurface final : public RefCounted<IDirect3DSurface8> {
public:
    LevelSurface(TextureStorage *storage, IUnknown *container, int face, UINT level)
        : m_storage(storage), m_container(container), m_face(face), m_level(level) {
        m_container->AddRef();
        ++LiveObjectCount();
    }
    ~LevelSurface() override {
        --LiveObjectCount();
        m_container->Release();
    }
    HRESULT QueryInterface(REFIID, void **object) override {
        if (object)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT GetDevice(IDirect3DDevice8 **device) override {
        if (!device)
            return D3DERR_INVALIDCALL;
        m_storage->m_device->AddRef();
        *device = m_storage->m_device;
        return S_OK;
    }
    HRESULT GetDesc(D3DSURFACE_DESC *desc) override {
        if (!desc)
            return D3DERR_INVALIDCALL;
        const LevelStore &store = *m_storage->Level(m_face, m_level);
        describe(desc, store.width, store.height, m_storage->m_format, m_storage->m_usage,
                 m_storage->m_pool);
        return S_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags) override {
        return m_storage->Lock(m_face, m_level, locked, rect, flags);
    }
    HRESULT UnlockRect() override { return m_storage->Unlock(m_face, m_level); }

private:
    TextureStorage *m_storage;
    IUnknown *m_container;
    int m_face;
    UINT m_level;
};

namespace {

// An image surface: memory only, lockable, never drawn from.
class MemorySurface final : public RefCounted<IDirect3DSurface8> {
public:
    MemorySurface(Device *device, UINT width, UINT height, D3DFORMAT format)
        : m_device(device), m_format(format), m_width(width), m_height(height),
          m_bytes(static_cast<size_t>(width) * height * TextureFormatBytes(format), 0) {
        m_device->AddRef();
        ++LiveObjectCount();
    }
    ~MemorySurface() override {
        --LiveObjectCount();
        m_device->Release();
    }
    HRESULT QueryInterface(REFIID, void **object) override {
        if (object)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT GetDevice(IDirect3DDevice8 **device) override {
        if (!device)
            return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *device = m_device;
        return S_OK;
    }
    HRESULT GetDesc(D3DSURFACE_DESC *desc) override {
        if (!desc)
            return D3DERR_INVALIDCALL;
        describe(desc, m_width, m_height, m_format, 0, D3DPOOL_SYSTEMMEM);
        return S_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT *locked, const RECT *rect, DWORD) override {
        if (!locked)
            return D3DERR_INVALIDCALL;
        locked->Pitch = 0;
        locked->pBits = nullptr;
        if (m_locked || (rect && !RectInLevel(*rect, m_width, m_height)))
            return D3DERR_INVALIDCALL;
        const std::size_t bpp = TextureFormatBytes(m_format), pitch = m_width * bpp;
        m_locked = true;
        locked->Pitch = static_cast<INT>(pitch);
        locked->pBits = m_bytes.data() + (rect ? static_cast<std::size_t>(rect->top) * pitch +
                                                     static_cast<std::size_t>(rect->left) * bpp
                                               : 0);
        return S_OK;
    }
    HRESULT UnlockRect() override {
        if (!m_locked)
            return D3DERR_INVALIDCALL;
        m_locked = false;
        return S_OK;
    }

private:
    Device *m_device;
    D3DFORMAT m_format;
    UINT m_width, m_height;
    std::vector<std::uint8_t> m_bytes;
    bool m_locked = false;
};

} // namespace

UINT TextureFormatBytes(D3DFORMAT format) {
    return D3DColorFormatBits(format) / 8;
}

HRESULT TextureStorage::LevelDesc(UINT level, D3DSURFACE_DESC *desc) const {
    if (!desc || level >= m_levels)
        return D3DERR_INVALIDCALL;
    describe(desc, m_store[level].width, m_store[level].height, m_format, m_usage, m_pool);
    return S_OK;
}

HRESULT TextureStorage::Surface(int face, UINT level, IUnknown *container,
                                IDirect3DSurface8 **out) {
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (level >= m_levels)
        return D3DERR_INVALIDCALL;
    *out = new LevelSurface(this, container, face, level);
    return S_OK;
}

namespace {

HRESULT checkTexture(UINT width, UINT height, UINT &levels, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool) {
    if (width == 0 || height == 0 || width > 4096 || height > 4096) {
        Trace("texture size out of range");
        return D3DERR_INVALIDCALL;
    }
    if (TextureFormatBytes(format) == 0) {
        Trace("texture format " + std::to_string(format) + " is not supported");
        return D3DERR_INVALIDCALL;
    }
    if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM)
        return D3DERR_INVALIDCALL;
    if (usage & ~(D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC))
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT)
        return D3DERR_INVALIDCALL;
    const UINT chain = fullChain(width, height);
    if (levels == 0)
        levels = chain;
    if (levels > chain)
        return D3DERR_INVALIDCALL;
    return S_OK;
}

} // namespace

HRESULT CreateTexture2D(Device *device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8 **out) {
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    const HRESULT hr = checkTexture(width, height, levels, usage, format, pool);
    if (FAILED(hr))
        return hr;
    auto *texture = new Texture2D(device, width, height, levels, 1, usage, format, pool);
    texture->CreateGlTexture();
    *out = texture;
    return S_OK;
}

HRESULT CreateCubeTexture(Device *device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DCubeTexture8 **out) {
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    const HRESULT hr = checkTexture(edge, edge, levels, usage, format, pool);
    if (FAILED(hr))
        return hr;
    auto *texture = new CubeTexture(device, edge, edge, levels, 6, usage, format, pool);
    texture->CreateGlTexture();
    *out = texture;
    return S_OK;
}

HRESULT CreateMemorySurface(Device *device, UINT width, UINT height, D3DFORMAT format,
                            IDirect3DSurface8 **out) {
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (width == 0 || height == 0 || width > 4096 || height > 4096 ||
        TextureFormatBytes(format) == 0)
        return D3DERR_INVALIDCALL;
    *out = new MemorySurface(device, width, height, format);
    return S_OK;
}

} // namespace d3d8
