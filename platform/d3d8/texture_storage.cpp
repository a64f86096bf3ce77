// A texture's levels. OpenGL holds the texels: LockRect hands out a memory copy of the locked
// rectangle in the level's Direct3D format (read back from OpenGL, or zeros for a level never
// written) and UnlockRect sends that rectangle into the OpenGL texture, letting OpenGL convert the
// packed 16-bit formats, and frees it. A second copy of every texture in memory would double what
// textures cost, and a program locks a texture to fill it, rarely again.
//
// The lock flags, as Direct3D 8 gives them to textures:
//   D3DLOCK_READONLY         nothing is sent at the unlock.
//   D3DLOCK_DISCARD          on a dynamic texture, the rectangle is not read back: its caller
//                            overwrites it. Direct3D 8 allows it on no other texture; there it is
//                            ignored and the rectangle read back as for a plain lock.
//   D3DLOCK_NOSYSLOCK        nothing to do: a lock never holds anything but the level.
//   D3DLOCK_NO_DIRTY_UPDATE  not implemented: a level has no second copy to bring up to date
//                            later, so the unlock sends the texels all the same, and AddDirtyRect
//                            has nothing to add.
//   D3DLOCK_NOOVERWRITE      a buffer flag; ignored.
#include "platform/d3d8/texture.h"

#include "platform/d3d8/device.h"
#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/pipeline.h"
#include "platform/d3d8/seams.h"
#include "platform/d3d8/trace.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace d3d8 {
namespace {

bool &poisonNewStorage() {
    static bool on = false;
    static std::once_flag registered;
    std::call_once(registered, [] { seams::RegisterReset([] { on = false; }); });
    return on;
}

bool contains(const RECT &outer, const RECT &inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT wholeLevel(const LevelStore &store) {
    return RECT{0, 0, static_cast<LONG>(store.width), static_cast<LONG>(store.height)};
}

std::size_t rectBytes(const RECT &rect, D3DFORMAT format) {
    return static_cast<std::size_t>(rect.right - rect.left) *
           static_cast<std::size_t>(rect.bottom - rect.top) * TextureFormatBytes(format);
}

} // namespace

bool RectInLevel(const RECT &rect, UINT width, UINT height) {
    return rect.left >= 0 && rect.top >= 0 && rect.right > rect.left && rect.bottom > rect.top &&
           static_cast<UINT>(rect.right) <= width && static_cast<UINT>(rect.bottom) <= height;
}

TextureStorage::TextureStorage(Device *device, UINT width, UINT height, UINT levels, int faces,
                               DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_device(device), m_levels(levels), m_faces(faces), m_usage(usage), m_format(format),
      m_pool(pool) {
    m_device->AddRef();
    ++LiveObjectCount();
    if (m_pool == D3DPOOL_DEFAULT)
        m_device->AddDefaultPoolResource(1);
    m_store.reserve(static_cast<std::size_t>(faces) * levels);
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
    CountUnwrittenLevels();
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
    const GlTexelFormat f = GlTexelFormatOf(m_format);
    gl.GenTextures(1, &m_name);
    ++LiveGlCount();
    gl.ActiveTexture(GL_TEXTURE0);
    gl.BindTexture(target, m_name);
    gl.TexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0);
    gl.TexParameteri(target, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(m_levels - 1));
    if (f.opaque)
        gl.TexParameteri(target, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    // Storage only: the texels come with each level's first unlock, so nothing is sent twice.
    // Under the test seam it holds a pattern instead, so that a level left undefined shows.
    std::vector<std::uint8_t> poison;
    if (poisonNewStorage())
        poison.assign(rectBytes(wholeLevel(m_store.front()), m_format), 0xA5);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (int face = 0; face < m_faces; ++face)
        for (UINT level = 0; level < m_levels; ++level) {
            const LevelStore &store = *Level(face, level);
            gl.TexImage2D(Region(face, level, wholeLevel(store), store.width).FaceTarget(),
                          static_cast<GLint>(level), static_cast<GLint>(f.internal),
                          static_cast<GLsizei>(store.width), static_cast<GLsizei>(store.height), 0,
                          f.format, f.type, poison.empty() ? nullptr : poison.data());
        }
    m_device->GetPipeline().TouchTextureUnit(0);
}

void TextureStorage::DefineUnwrittenLevels() {
    if (!m_unwrittenLevels || !m_name || !m_device->MakeContextCurrent())
        return;
    std::vector<std::uint8_t> zeros;
    for (int face = 0; face < m_faces; ++face)
        for (UINT level = 0; level < m_levels; ++level) {
            LevelStore &store = *Level(face, level);
            // What a lock wrote goes in, never zeros over it.
            if (!store.unsent.Empty()) {
                Send(face, level, store.unsent);
                continue;
            }
            if (store.inGl)
                continue;
            if (zeros.empty())
                zeros.assign(rectBytes(wholeLevel(m_store.front()), m_format), 0);
            m_device->SendTexels(Region(face, level, wholeLevel(store), store.width), zeros.data());
            store.inGl = true;
        }
    CountUnwrittenLevels();
}

void TextureStorage::CountUnwrittenLevels() {
    m_unwrittenLevels = static_cast<UINT>(
        std::count_if(m_store.begin(), m_store.end(), [](const LevelStore &store) {
            return !store.inGl || !store.unsent.Empty();
        }));
}

LevelStore *TextureStorage::Level(int face, UINT level) {
    return &m_store[static_cast<size_t>(face) * m_levels + level];
}

TexelRegion TextureStorage::Region(int face, UINT level, const RECT &rect, UINT rowTexels) const {
    return TexelRegion{m_name, m_faces, face, level, rect, rowTexels, m_format};
}

LevelCopy TextureStorage::NewCopy(const RECT &area) {
    LevelCopy copy;
    copy.rect = area;
    copy.block = m_device->TakeStaging(rectBytes(area, m_format));
    return copy;
}

bool TextureStorage::Send(int face, UINT level, LevelCopy &copy) {
    if (!m_name || !m_device->MakeContextCurrent())
        return false;
    LevelStore &store = *Level(face, level);
    m_device->SendTexels(Region(face, level, copy.rect, copy.RowTexels()), copy.block.bytes.get());
    // A level OpenGL lacks is only ever copied whole, so this defines it.
    if (contains(copy.rect, wholeLevel(store)))
        store.inGl = true;
    m_device->GiveBackStaging(std::move(copy.block));
    copy = {};
    return true;
}

HRESULT TextureStorage::CopyForLock(int face, UINT level, const RECT &area, DWORD flags) {
    LevelStore &store = *Level(face, level);
    store.lockCopyUnsent = false;
    if (!store.unsent.Empty()) {
        if (contains(store.unsent.rect, area)) {
            store.lockCopy = std::move(store.unsent);
            store.unsent = {};
            store.lockCopyUnsent = true;
            return S_OK;
        }
        // Sent first, or the read-back below would miss it.
        if (!Send(face, level, store.unsent))
            return D3DERR_INVALIDCALL;
    }
    const bool discard = (flags & D3DLOCK_DISCARD) && (m_usage & D3DUSAGE_DYNAMIC);
    const RECT whole = wholeLevel(store);
    if (!store.inGl) {
        // Nothing to read back: the copy covers the whole level, so its unlock defines it.
        store.lockCopy = NewCopy(whole);
        if (!discard || !contains(area, whole))
            std::memset(store.lockCopy.block.bytes.get(), 0, rectBytes(whole, m_format));
        return S_OK;
    }
    store.lockCopy = NewCopy(area);
    if (discard)
        return S_OK;
    if (!m_device->MakeContextCurrent() ||
        !m_device->ReadTexels(Region(face, level, area, store.lockCopy.RowTexels()),
                              store.lockCopy.block.bytes.get())) {
        // Handing out anything else would send it over the level's texels at the unlock.
        Trace("a texture level could not be read back to be locked");
        m_device->GiveBackStaging(std::move(store.lockCopy.block));
        store.lockCopy = {};
        return D3DERR_INVALIDCALL;
    }
    return S_OK;
}

HRESULT TextureStorage::Lock(int face, UINT level, D3DLOCKED_RECT *locked, const RECT *rect,
                             DWORD flags) {
    if (!locked)
        return D3DERR_INVALIDCALL;
    locked->Pitch = 0;
    locked->pBits = nullptr;
    if (level >= m_levels)
        return D3DERR_INVALIDCALL;
    LevelStore &store = *Level(face, level);
    if (store.locked || (rect && !RectInLevel(*rect, store.width, store.height)))
        return D3DERR_INVALIDCALL;
    const RECT area = rect ? *rect : wholeLevel(store);
    const HRESULT hr = CopyForLock(face, level, area, flags);
    CountUnwrittenLevels();
    if (FAILED(hr))
        return hr;
    store.locked = true;
    store.lockFlags = flags;
    const LevelCopy &copy = store.lockCopy;
    const std::size_t bpp = TextureFormatBytes(m_format);
    locked->Pitch = static_cast<INT>(copy.RowTexels() * bpp);
    locked->pBits = copy.block.bytes.get() +
                    (static_cast<std::size_t>(area.top - copy.rect.top) * copy.RowTexels() +
                     static_cast<std::size_t>(area.left - copy.rect.left)) *
                        bpp;
    return S_OK;
}

HRESULT TextureStorage::Unlock(int face, UINT level) {
    if (level >= m_levels || !Level(face, level)->locked)
        return D3DERR_INVALIDCALL;
    LevelStore &store = *Level(face, level);
    store.locked = false;
    LevelCopy copy = std::move(store.lockCopy);
    store.lockCopy = {};
    if (!(store.lockFlags & D3DLOCK_READONLY)) {
        // Without a context the texels wait in memory for the next use, never lost.
        if (!Send(face, level, copy))
            store.unsent = std::move(copy);
    } else if (store.lockCopyUnsent) {
        store.unsent = std::move(copy);
    } else {
        m_device->GiveBackStaging(std::move(copy.block));
    }
    CountUnwrittenLevels();
    return S_OK;
}

} // namespace d3d8

void seams::PoisonNewTextureStorage(bool on) {
    d3d8::poisonNewStorage() = on;
}
