// Vertex and index buffers. A buffer holds one device reference while it lives and binds weakly:
// when the program releases it, it unbinds itself so nothing keeps it (or the device) alive.
#include "platform/d3d8/buffers.h"

#include "platform/d3d8/device.h"
#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/pipeline.h"

#include <algorithm>
#include <cstring>

namespace d3d8 {

BufferStore::BufferStore(Device *device, const void *owner, UINT length, DWORD usage, D3DPOOL pool)
    : m_device(device), m_owner(owner), m_bytes(length, 0), m_usage(usage), m_pool(pool) {
    m_device->AddRef();
    ++LiveObjectCount();
    if (m_pool == D3DPOOL_DEFAULT)
        m_device->AddDefaultPoolResource(1);
    if (m_device->MakeContextCurrent()) {
        const gl::Functions &gl = m_device->GL();
        gl.GenBuffers(1, &m_name);
        ++LiveGlCount();
        gl.BindBuffer(GL_ARRAY_BUFFER, m_name);
        gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(length), m_bytes.data(),
                      (usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    }
}

BufferStore::~BufferStore() {
    m_device->GetPipeline().ForgetBuffer(m_owner, m_name);
    if (m_name && m_device->MakeContextCurrent()) {
        m_device->GL().DeleteBuffers(1, &m_name);
        --LiveGlCount();
    }
    if (m_pool == D3DPOOL_DEFAULT)
        m_device->AddDefaultPoolResource(-1);
    --LiveObjectCount();
    m_device->Release(); // last: it may free the device
}

HRESULT BufferStore::Lock(UINT offset, UINT size, BYTE **data, DWORD flags) {
    if (!data)
        return D3DERR_INVALIDCALL;
    *data = nullptr;
    const UINT length = Length();
    if (m_locked || offset > length || (size != 0 && size > length - offset))
        return D3DERR_INVALIDCALL;
    // Size 0 locks from the offset to the end.
    m_lockOffset = offset;
    m_lockSize = size == 0 ? length - offset : size;
    m_discard = (flags & D3DLOCK_DISCARD) != 0;
    m_locked = true;
    *data = m_bytes.data() + offset;
    return S_OK;
}

HRESULT BufferStore::Unlock() {
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    if (!m_name || !m_device->MakeContextCurrent())
        return S_OK;
    const gl::Functions &gl = m_device->GL();
    gl.BindBuffer(GL_ARRAY_BUFFER, m_name);
    if (m_discard || (m_lockOffset == 0 && m_lockSize == Length())) {
        // Discarding gives the driver fresh storage instead of waiting on draws still reading.
        gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(Length()), m_bytes.data(),
                      (m_usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    } else if (m_lockSize > 0) {
        gl.BufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(m_lockOffset),
                         static_cast<GLsizeiptr>(m_lockSize), m_bytes.data() + m_lockOffset);
    }
    return S_OK;
}

VertexBuffer::VertexBuffer(Device *device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : m_store(device, this, length, usage, pool), m_fvf(fvf) {}

VertexBuffer::~VertexBuffer() = default;

HRESULT VertexBuffer::QueryInterface(REFIID, void **object) {
    if (object)
        *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT VertexBuffer::GetDevice(IDirect3DDevice8 **device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    m_store.Owner()->AddRef();
    *device = m_store.Owner();
    return S_OK;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC *desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = static_cast<D3DFORMAT>(100); // the vertex-data format
    desc->Type = D3DRTYPE_VERTEXBUFFER;
    desc->Usage = m_store.Usage();
    desc->Pool = m_store.Pool();
    desc->Size = m_store.Length();
    desc->FVF = m_fvf;
    return S_OK;
}

IndexBuffer::IndexBuffer(Device *device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_store(device, this, length, usage, pool), m_format(format) {}

IndexBuffer::~IndexBuffer() = default;

HRESULT IndexBuffer::QueryInterface(REFIID, void **object) {
    if (object)
        *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT IndexBuffer::GetDevice(IDirect3DDevice8 **device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    m_store.Owner()->AddRef();
    *device = m_store.Owner();
    return S_OK;
}

UINT IndexBuffer::LargestIndex(UINT start, UINT count) {
    if (m_largest.count != count || m_largest.start != start) {
        const UINT size = IndexSize();
        m_largest.largest =
            d3d8::LargestIndex(m_store.Bytes() + static_cast<size_t>(start) * size, count, size);
        m_largest.start = start;
        m_largest.count = count;
    }
    return m_largest.largest;
}

UINT LargestIndex(const std::uint8_t *data, UINT count, UINT size) {
    UINT largest = 0;
    if (size == 2) {
        for (UINT i = 0; i < count; ++i) {
            std::uint16_t v;
            std::memcpy(&v, data + 2 * static_cast<size_t>(i), 2);
            largest = std::max<UINT>(largest, v);
        }
    } else {
        for (UINT i = 0; i < count; ++i) {
            std::uint32_t v;
            std::memcpy(&v, data + 4 * static_cast<size_t>(i), 4);
            largest = std::max<UINT>(largest, v);
        }
    }
    return largest;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC *desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = m_format;
    desc->Type = D3DRTYPE_INDEXBUFFER;
    desc->Usage = m_store.Usage();
    desc->Pool = m_store.Pool();
    desc->Size = m_store.Length();
    return S_OK;
}

} // namespace d3d8
