// Textures and their surfaces. OpenGL holds the texels: LockRect hands out a memory copy of the
// level in its Direct3D format (read back from OpenGL, or zeros for a level never written) and
// UnlockRect copies it into the OpenGL texture, letting OpenGL convert the packed 16-bit formats,
// and frees it. A second copy of every texture in memory would double what textures cost, and a
// program locks a texture to fill it, rarely again.
#include "platform/d3d8/texture.h"

#include "platform/d3d8/device.h"
#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/pipeline.h"
#include "platform/d3d8/trace.h"

#include <algorithm>
#include <string>

namespace d3d8 {
namespace {

struct GlFormat {
    GLenum internal, format, type;
    bool opaque; // alpha reads as 1
};

GlFormat glFormatOf(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false};
    case D3DFMT_X8R8G8B8:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, true};
    case D3DFMT_R8G8B8:
        return {GL_RGBA8, GL_BGR, GL_UNSIGNED_BYTE, true};
    case D3DFMT_R5G6B5:
        return {GL_RGBA8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, true};
    case D3DFMT_X1R5G5B5:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true};
    case D3DFMT_A1R5G5B5:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false};
    case D3DFMT_A4R4G4B4:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, false};
    default:
        return {0, 0, 0, true};
    }
}

UINT fullChain(UINT width, UINT height) {
    UINT levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(width / 2, 1u);
        height = std::max(height / 2, 1u);
        ++levels;
    }
    return levels;
}

GLenum faceTarget(int faces, int face) {
    return faces == 6 ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face) : GL_TEXTURE_2D;
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

HRESULT lockStore(LevelStore &store, D3DFORMAT format, D3DLOCKED_RECT *locked, const RECT *rect) {
    if (!locked)
        return D3DERR_INVALIDCALL;
    locked->Pitch = 0;
    locked->pBits = nullptr;
    if (store.locked)
        return D3DERR_INVALIDCALL;
    const UINT bpp = TextureFormatBytes(format);
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right <= rect->left ||
            rect->bottom <= rect->top || static_cast<UINT>(rect->right) > store.width ||
            static_cast<UINT>(rect->bottom) > store.height)
            return D3DERR_INVALIDCALL;
        offset = static_cast<size_t>(rect->top) * store.width * bpp +
                 static_cast<size_t>(rect->left) * bpp;
    }
    store.locked = true;
    locked->Pitch = static_cast<INT>(store.width * bpp);
    locked->pBits = store.bytes.data() + offset;
    return S_OK;
}

void describe(D3DSURFACE_DESC *desc, const LevelStore &store, D3DFORMAT format, DWORD usage,
              D3DPOOL pool) {
    desc->Format = format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = usage;
    desc->Pool = pool;
    desc->Size = store.width * store.height * TextureFormatBytes(format);
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = store.width;
    desc->Height = store.height;
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
        describe(desc, *m_storage->Level(m_face, m_level), m_storage->m_format, m_storage->m_usage,
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
        : m_device(device), m_format(format) {
        m_store.width = width;
        m_store.height = height;
        m_store.bytes.assign(static_cast<size_t>(width) * height * TextureFormatBytes(format), 0);
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
        describe(desc, m_store, m_format, 0, D3DPOOL_SYSTEMMEM);
        return S_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT *locked, const RECT *rect, DWORD) override {
        return lockStore(m_store, m_format, locked, rect);
    }
    HRESULT UnlockRect() override {
        if (!m_store.locked)
            return D3DERR_INVALIDCALL;
        m_store.locked = false;
        return S_OK;
    }

private:
    Device *m_device;
    D3DFORMAT m_format;
    LevelStore m_store;
};

} // namespace

UINT TextureFormatBytes(D3DFORMAT format) {
    return D3DColorFormatBits(format) / 8;
}

TextureStorage::TextureStorage(Device *device, UINT width, UINT height, UINT levels, int faces,
                               DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_device(device), m_levels(levels), m_faces(faces), m_usage(usage), m_format(format),
      m_pool(pool) {
    m_device->AddRef();
    ++LiveObjectCount();
    if (m_pool == D3DPOOL_DEFAULT)
        m_device->AddDefaultPoolResource(1);
    for (int face = 0; face < faces; ++face) {
        UINT w = width, h = height;
        for (UINT level = 0; level < levels; ++level) {
            LevelStore store;
            store.width = w;
            store.height = h;
            m_store.push_back(std::move(store));
            w = std::max(w / 2, 1u);
            h = std::max(h / 2, 1u);
        }
    }
}

TextureStorage::~TextureStorage() {
    Device *device = m_device;
    // Unbound even without a context, so no binding is left pointing at freed storage.
    device->GetPipeline().ForgetTexture(this, m_name);
    if (device->MakeContextCurrent()) {
        if (m_name) {
            device->GL().DeleteTextures(1, &m_name);
            --LiveGlCount();
        }
    }
    if (m_pool == D3DPOOL_DEFAULT)
        device->AddDefaultPoolResource(-1);
    --LiveObjectCount();
    device->Release(); // last: it may free the device
}

void TextureStorage::CreateGlTexture() {
    if (!m_device->MakeContextCurrent())
        return;
    const gl::Functions &gl = m_device->GL();
    const GLenum target = m_faces == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
    const GlFormat f = glFormatOf(m_format);
    gl.GenTextures(1, &m_name);
    ++LiveGlCount();
    gl.ActiveTexture(GL_TEXTURE0);
    gl.BindTexture(target, m_name);
    gl.TexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0);
    gl.TexParameteri(target, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(m_levels - 1));
    if (f.opaque)
        gl.TexParameteri(target, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    // Storage only: the texels come with each level's first unlock, so nothing is sent twice.
    for (int face = 0; face < m_faces; ++face)
        for (UINT level = 0; level < m_levels; ++level) {
            const LevelStore &store = *Level(face, level);
            gl.TexImage2D(faceTarget(m_faces, face), static_cast<GLint>(level),
                          static_cast<GLint>(f.internal), static_cast<GLsizei>(store.width),
                          static_cast<GLsizei>(store.height), 0, f.format, f.type, nullptr);
        }
    m_unwrittenLevels = static_cast<UINT>(m_store.size());
    m_device->GetPipeline().TouchTextureUnit(0);
}

void TextureStorage::DefineUnwrittenLevels() {
    if (!m_unwrittenLevels || !m_name || !m_device->MakeContextCurrent())
        return;
    const gl::Functions &gl = m_device->GL();
    const GlFormat f = glFormatOf(m_format);
    const std::vector<std::uint8_t> zeros(LevelBytes(m_store.front()), 0);
    gl.ActiveTexture(GL_TEXTURE0);
    gl.BindTexture(m_faces == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, m_name);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int face = 0; face < m_faces; ++face)
        for (UINT level = 0; level < m_levels; ++level) {
            LevelStore &store = *Level(face, level);
            if (store.inGl)
                continue;
            gl.TexSubImage2D(faceTarget(m_faces, face), static_cast<GLint>(level), 0, 0,
                             static_cast<GLsizei>(store.width), static_cast<GLsizei>(store.height),
                             f.format, f.type, zeros.data());
            store.inGl = true;
        }
    m_unwrittenLevels = 0;
    m_device->GetPipeline().TouchTextureUnit(0);
}

UINT TextureStorage::LevelBytes(const LevelStore &store) const {
    return store.width * store.height * TextureFormatBytes(m_format);
}

void TextureStorage::MakeLevelBytes(int face, UINT level) {
    LevelStore &store = *Level(face, level);
    store.bytes = m_device->TakeStaging(LevelBytes(store));
    if (!store.inGl || !m_name || !m_device->MakeContextCurrent())
        return;
    const gl::Functions &gl = m_device->GL();
    const GlFormat f = glFormatOf(m_format);
    gl.ActiveTexture(GL_TEXTURE0);
    gl.BindTexture(m_faces == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, m_name);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.GetTexImage(faceTarget(m_faces, face), static_cast<GLint>(level), f.format, f.type,
                   store.bytes.data());
    m_device->GetPipeline().TouchTextureUnit(0);
}

LevelStore *TextureStorage::Level(int face, UINT level) {
    return &m_store[static_cast<size_t>(face) * m_levels + level];
}

HRESULT TextureStorage::LevelDesc(UINT level, D3DSURFACE_DESC *desc) const {
    if (!desc || level >= m_levels)
        return D3DERR_INVALIDCALL;
    describe(desc, m_store[level], m_format, m_usage, m_pool);
    return S_OK;
}

HRESULT TextureStorage::Lock(int face, UINT level, D3DLOCKED_RECT *locked, const RECT *rect,
                             DWORD) {
    if (level >= m_levels) {
        if (locked) {
            locked->Pitch = 0;
            locked->pBits = nullptr;
        }
        return D3DERR_INVALIDCALL;
    }
    LevelStore &store = *Level(face, level);
    const bool made = !store.locked && store.bytes.empty();
    if (made)
        MakeLevelBytes(face, level);
    const HRESULT hr = lockStore(store, m_format, locked, rect);
    if (FAILED(hr) && made && m_name)
        m_device->GiveBackStaging(std::move(store.bytes));
    return hr;
}

HRESULT TextureStorage::Unlock(int face, UINT level) {
    if (level >= m_levels || !Level(face, level)->locked)
        return D3DERR_INVALIDCALL;
    LevelStore &store = *Level(face, level);
    store.locked = false;
    if (m_name && m_device->MakeContextCurrent()) {
        const gl::Functions &gl = m_device->GL();
        const GlFormat f = glFormatOf(m_format);
        gl.ActiveTexture(GL_TEXTURE0);
        gl.BindTexture(m_faces == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, m_name);
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl.TexSubImage2D(faceTarget(m_faces, face), static_cast<GLint>(level), 0, 0,
                         static_cast<GLsizei>(store.width), static_cast<GLsizei>(store.height),
                         f.format, f.type, store.bytes.data());
        m_device->GetPipeline().TouchTextureUnit(0);
        if (!store.inGl) {
            store.inGl = true;
            --m_unwrittenLevels;
        }
        // OpenGL holds the level now; the next lock reads it back.
        m_device->GiveBackStaging(std::move(store.bytes));
    }
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
