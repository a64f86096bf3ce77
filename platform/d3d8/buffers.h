// Vertex and index buffers: their bytes kept in memory (readable, lockable) and mirrored in an
// OpenGL buffer on Unlock.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/gl_functions.h"

#include <cstdint>
#include <vector>

namespace d3d8 {

class Device;

// The memory, lock and OpenGL copy both buffer kinds share.
class BufferStore {
public:
    // `owner` is the buffer object, unbound from the device when the store goes.
    BufferStore(Device *device, const void *owner, UINT length, DWORD usage, D3DPOOL pool);
    ~BufferStore();
    BufferStore(const BufferStore &) = delete;
    BufferStore &operator=(const BufferStore &) = delete;

    HRESULT Lock(UINT offset, UINT size, BYTE **data, DWORD flags);
    HRESULT Unlock();
    GLuint Name() const { return m_name; }
    UINT Length() const { return static_cast<UINT>(m_bytes.size()); }
    const std::uint8_t *Bytes() const { return m_bytes.data(); }
    bool Locked() const { return m_locked; }
    Device *Owner() const { return m_device; }
    DWORD Usage() const { return m_usage; }
    D3DPOOL Pool() const { return m_pool; }

private:
    Device *m_device;
    const void *m_owner;
    std::vector<std::uint8_t> m_bytes;
    DWORD m_usage;
    D3DPOOL m_pool;
    GLuint m_name = 0;
    bool m_locked = false;
    bool m_discard = false;
    UINT m_lockOffset = 0;
    UINT m_lockSize = 0;
};

class VertexBuffer final : public RefCounted<IDirect3DVertexBuffer8> {
public:
    VertexBuffer(Device *device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~VertexBuffer() override;

    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT GetDevice(IDirect3DDevice8 **device) override;
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE **data, DWORD flags) override {
        return m_store.Lock(offset, size, data, flags);
    }
    HRESULT Unlock() override { return m_store.Unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC *desc) override;

    const BufferStore &Store() const { return m_store; }

private:
    BufferStore m_store;
    DWORD m_fvf;
};

class IndexBuffer final : public RefCounted<IDirect3DIndexBuffer8> {
public:
    IndexBuffer(Device *device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~IndexBuffer() override;

    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT GetDevice(IDirect3DDevice8 **device) override;
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE **data, DWORD flags) override {
        m_largest.count = 0; // the indices may change
        return m_store.Lock(offset, size, data, flags);
    }
    HRESULT Unlock() override { return m_store.Unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC *desc) override;

    const BufferStore &Store() const { return m_store; }
    UINT IndexSize() const { return m_format == D3DFMT_INDEX32 ? 4 : 2; }
    // The largest of `count` indices from index `start` (which must lie in the buffer), worked
    // out once while the buffer stays unlocked: meshes draw the same ranges frame after frame.
    UINT LargestIndex(UINT start, UINT count);

private:
    BufferStore m_store;
    D3DFORMAT m_format;
    struct {
        UINT start = 0, count = 0, largest = 0;
    } m_largest;
};

// The largest of `count` indices of `size` bytes at `data`.
UINT LargestIndex(const std::uint8_t *data, UINT count, UINT size);

} // namespace d3d8
