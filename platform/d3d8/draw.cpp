// The device's resource creation, bindings and draws. Draws check their ranges against the bound
// buffers before anything reaches OpenGL, so a bad count can never read outside a buffer.
#include "platform/d3d8/buffers.h"
#include "platform/d3d8/call_log.h"
#include "platform/d3d8/device.h"
#include "platform/d3d8/pipeline.h"
#include "platform/d3d8/seams.h"
#include "platform/d3d8/texture.h"
#include "platform/d3d8/trace.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace d3d8 {
namespace {

struct Primitive {
    GLenum mode = 0;
    UINT vertices = 0; // vertices (or indices) the primitives use
};

// Largest primitive count a draw may ask for, as the device reports.
constexpr UINT kMaxPrimitives = 0xFFFFF;

bool primitiveOf(D3DPRIMITIVETYPE type, UINT count, Primitive &out) {
    if (count > kMaxPrimitives)
        return false;
    switch (type) {
    case D3DPT_POINTLIST:
        out = {GL_POINTS, count};
        return true;
    case D3DPT_LINELIST:
        out = {GL_LINES, count * 2};
        return true;
    case D3DPT_LINESTRIP:
        out = {GL_LINE_STRIP, count + 1};
        return true;
    case D3DPT_TRIANGLELIST:
        out = {GL_TRIANGLES, count * 3};
        return true;
    case D3DPT_TRIANGLESTRIP:
        out = {GL_TRIANGLE_STRIP, count + 2};
        return true;
    case D3DPT_TRIANGLEFAN:
        out = {GL_TRIANGLE_FAN, count + 2};
        return true;
    default:
        return false;
    }
}

} // namespace

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer8 **buffer) {
    LogCall("CreateVertexBuffer", length, usage, fvf, pool);
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || length > (256u << 20) ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM) ||
        (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC)) ||
        (fvf != 0 && (!LayoutOf(fvf).valid || length < LayoutOf(fvf).size)) || !MakeCurrent()) {
        Trace("CreateVertexBuffer: invalid arguments");
        return D3DERR_INVALIDCALL;
    }
    *buffer = new VertexBuffer(this, length, usage, fvf, pool);
    return S_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer8 **buffer) {
    LogCall("CreateIndexBuffer", length, usage, format, pool);
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || length > (256u << 20) ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM) ||
        (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC)) || !MakeCurrent()) {
        Trace("CreateIndexBuffer: invalid arguments");
        return D3DERR_INVALIDCALL;
    }
    *buffer = new IndexBuffer(this, length, usage, format, pool);
    return S_OK;
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DTexture8 **texture) {
    LogCall("CreateTexture", width, height, levels, usage, format, pool);
    return CreateTexture2D(this, width, height, levels, usage, format, pool, texture);
}

HRESULT Device::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool, IDirect3DCubeTexture8 **texture) {
    LogCall("CreateCubeTexture", edge, levels, usage, format, pool);
    return d3d8::CreateCubeTexture(this, edge, levels, usage, format, pool, texture);
}

HRESULT Device::CreateImageSurface(UINT width, UINT height, D3DFORMAT format,
                                   IDirect3DSurface8 **surface) {
    LogCall("CreateImageSurface", width, height, format);
    return CreateMemorySurface(this, width, height, format, surface);
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture8 *texture) {
    LogCall("SetTexture", stage, static_cast<const void *>(texture));
    if (stage >= static_cast<DWORD>(kMaxStages))
        return D3DERR_INVALIDCALL;
    TextureStorage *storage = nullptr;
    if (texture) {
        storage = dynamic_cast<TextureStorage *>(texture);
        if (!storage || storage->Owner() != this)
            return D3DERR_INVALIDCALL;
    }
    // Sampler objects belong to the stage, so a new texture keeps its stage's sampler.
    m_pipeline->SetTexture(stage, storage);
    return S_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer8 *buffer, UINT stride) {
    LogCall("SetStreamSource", stream, static_cast<const void *>(buffer), stride);
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    auto *ours = buffer ? dynamic_cast<VertexBuffer *>(buffer) : nullptr;
    if (buffer && (!ours || ours->Store().Owner() != this || stride == 0))
        return D3DERR_INVALIDCALL;
    m_pipeline->SetStream(ours, stride);
    return S_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer8 *buffer, UINT baseVertex) {
    LogCall("SetIndices", static_cast<const void *>(buffer), baseVertex);
    auto *ours = buffer ? dynamic_cast<IndexBuffer *>(buffer) : nullptr;
    if (buffer && (!ours || ours->Store().Owner() != this))
        return D3DERR_INVALIDCALL;
    m_pipeline->SetIndices(ours, baseVertex);
    return S_OK;
}

HRESULT Device::CreateVertexShader(const DWORD *, const DWORD *, DWORD *handle, DWORD) {
    // Programmable vertex shaders are not offered (the caps report version 0).
    if (handle)
        *handle = 0;
    return D3DERR_INVALIDCALL;
}

HRESULT Device::SetVertexShader(DWORD handle) {
    LogCall("SetVertexShader", handle);
    // Without programmable shaders every handle is a flexible vertex format code.
    const VertexLayout layout = LayoutOf(handle);
    if (!layout.valid) {
        Trace("SetVertexShader: " + std::to_string(handle) + " is not a vertex format");
        return D3DERR_INVALIDCALL;
    }
    m_pipeline->SetVertexFormat(handle, layout);
    return S_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    LogCall("DrawPrimitive", type, startVertex, primitiveCount);
    Primitive p;
    const PipelineState &s = m_pipeline->State();
    if (!primitiveOf(type, primitiveCount, p) || !m_inScene || !s.layout.valid || !s.stream)
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return S_OK;
    const BufferStore &store = s.stream->Store();
    const std::uint64_t end =
        (static_cast<std::uint64_t>(startVertex) + p.vertices - 1) * s.stride + s.layout.size;
    if (store.Locked() || end > store.Length() || !MakeCurrent()) {
        Trace("DrawPrimitive: vertices outside the stream or stream locked");
        return D3DERR_INVALIDCALL;
    }
    DrawCall call;
    call.mode = p.mode;
    call.count = static_cast<GLsizei>(p.vertices);
    call.vertices = store.Name();
    call.stride = s.stride;
    call.first = static_cast<GLint>(startVertex);
    return m_pipeline->Draw(call);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                     UINT startIndex, UINT primitiveCount) {
    LogCall("DrawIndexedPrimitive", type, minIndex, vertexCount, startIndex, primitiveCount);
    Primitive p;
    const PipelineState &s = m_pipeline->State();
    if (!primitiveOf(type, primitiveCount, p) || !m_inScene || !s.layout.valid || !s.stream ||
        !s.indices)
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return S_OK;
    const BufferStore &vertices = s.stream->Store();
    const BufferStore &indices = s.indices->Store();
    const UINT indexSize = s.indices->IndexSize();
    if (vertices.Locked() || indices.Locked() ||
        (static_cast<std::uint64_t>(startIndex) + p.vertices) * indexSize > indices.Length() ||
        !MakeCurrent()) {
        Trace("DrawIndexedPrimitive: indices outside the index buffer or a buffer locked");
        return D3DERR_INVALIDCALL;
    }
    const UINT largest = s.indices->LargestIndex(startIndex, p.vertices);
    const std::uint64_t end =
        (static_cast<std::uint64_t>(largest) + s.baseVertex) * s.stride + s.layout.size;
    if (end > vertices.Length()) {
        Trace("DrawIndexedPrimitive: an index reaches past the vertex stream");
        return D3DERR_INVALIDCALL;
    }
    DrawCall call;
    call.mode = p.mode;
    call.count = static_cast<GLsizei>(p.vertices);
    call.vertices = vertices.Name();
    call.stride = s.stride;
    call.indices = indices.Name();
    call.indexOffset = static_cast<size_t>(startIndex) * indexSize;
    call.indexSize = indexSize;
    call.baseVertex = static_cast<GLint>(s.baseVertex);
    return m_pipeline->Draw(call);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void *vertices,
                                UINT stride) {
    LogCall("DrawPrimitiveUP", type, primitiveCount, vertices, stride);
    Primitive p;
    const PipelineState &s = m_pipeline->State();
    if (!primitiveOf(type, primitiveCount, p) || !m_inScene || !s.layout.valid || !vertices ||
        stride < s.layout.size || !MakeCurrent())
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return S_OK;
    // Direct3D 8 unbinds stream 0 after a user-memory draw.
    m_pipeline->SetStream(nullptr, 0);
    DrawCall call;
    call.mode = p.mode;
    call.count = static_cast<GLsizei>(p.vertices);
    call.vertices = m_pipeline->StreamVertices(vertices, static_cast<size_t>(p.vertices) * stride);
    call.stride = stride;
    return m_pipeline->Draw(call);
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                       UINT primitiveCount, const void *indices,
                                       D3DFORMAT indexFormat, const void *vertices, UINT stride) {
    LogCall("DrawIndexedPrimitiveUP", type, minIndex, vertexCount, primitiveCount, indices,
            indexFormat, vertices, stride);
    Primitive p;
    const PipelineState &s = m_pipeline->State();
    if (!primitiveOf(type, primitiveCount, p) || !m_inScene || !s.layout.valid || !vertices ||
        !indices || stride < s.layout.size ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32) || !MakeCurrent())
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return S_OK;
    const UINT indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    const UINT largest =
        LargestIndex(static_cast<const std::uint8_t *>(indices), p.vertices, indexSize);
    // The caller vouches for minIndex + vertexCount vertices; no index may go past them.
    if (static_cast<std::uint64_t>(largest) >= static_cast<std::uint64_t>(minIndex) + vertexCount) {
        Trace("DrawIndexedPrimitiveUP: an index reaches past the vertices given");
        return D3DERR_INVALIDCALL;
    }
    m_pipeline->SetStream(nullptr, 0);
    m_pipeline->SetIndices(nullptr, 0);
    DrawCall call;
    call.mode = p.mode;
    call.count = static_cast<GLsizei>(p.vertices);
    call.vertices =
        m_pipeline->StreamVertices(vertices, (static_cast<size_t>(largest) + 1) * stride);
    call.stride = stride;
    call.indices = m_pipeline->StreamIndices(indices, static_cast<size_t>(p.vertices) * indexSize);
    call.indexSize = indexSize;
    return m_pipeline->Draw(call);
}

} // namespace d3d8

std::size_t seams::D3D8ProgramCount(IDirect3DDevice8 *device) {
    auto *ours = dynamic_cast<d3d8::Device *>(device);
    return ours ? ours->GetPipeline().ProgramCount() : 0;
}
