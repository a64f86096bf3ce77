// ID3DXMesh over device vertex and index buffers. The buffers keep their bytes in memory, so a
// clone, an optimisation or a normal pass reads them back through a lock.
#include "platform/d3dx/mesh.h"

#include "platform/d3d8/vertex_format.h"
#include "platform/d3dx/mesh_vertices.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <numeric>
#include <tuple>

namespace d3dx {

namespace {

constexpr DWORD kNoFace = 0xFFFFFFFF;

D3DPOOL vertexPool(DWORD options) {
    if (options & D3DXMESH_VB_SYSTEMMEM)
        return D3DPOOL_SYSTEMMEM;
    return (options & D3DXMESH_VB_MANAGED) ? D3DPOOL_MANAGED : D3DPOOL_DEFAULT;
}

D3DPOOL indexPool(DWORD options) {
    if (options & D3DXMESH_IB_SYSTEMMEM)
        return D3DPOOL_SYSTEMMEM;
    return (options & D3DXMESH_IB_MANAGED) ? D3DPOOL_MANAGED : D3DPOOL_DEFAULT;
}

// Copies each element both formats carry; elements only the target has are zero, colours white.
std::vector<std::uint8_t> convertVertices(const std::vector<std::uint8_t> &source, DWORD count,
                                          const d3d8::VertexLayout &from,
                                          const d3d8::VertexLayout &to) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(count) * to.size, 0);
    const DWORD white = 0xFFFFFFFF;
    for (DWORD i = 0; i < count; ++i) {
        const std::uint8_t *s = source.data() + static_cast<std::size_t>(i) * from.size;
        std::uint8_t *d = out.data() + static_cast<std::size_t>(i) * to.size;
        std::memcpy(d + to.positionOffset, s + from.positionOffset,
                    (from.pretransformed && to.pretransformed) ? 16 : 12);
        if (to.normalOffset >= 0 && from.normalOffset >= 0)
            std::memcpy(d + to.normalOffset, s + from.normalOffset, 12);
        if (to.diffuseOffset >= 0)
            std::memcpy(d + to.diffuseOffset,
                        from.diffuseOffset >= 0 ? s + from.diffuseOffset
                                                : reinterpret_cast<const std::uint8_t *>(&white),
                        4);
        if (to.specularOffset >= 0 && from.specularOffset >= 0)
            std::memcpy(d + to.specularOffset, s + from.specularOffset, 4);
        for (int set = 0; set < to.texSets && set < from.texSets; ++set)
            std::memcpy(d + to.texOffset[set], s + from.texOffset[set],
                        4u * std::min(to.texDims[set], from.texDims[set]));
    }
    return out;
}

class Mesh final : public RefCounted<ID3DXMesh> {
public:
    Mesh(IDirect3DDevice8 *device, DWORD options, DWORD fvf, DWORD vertexCount, DWORD faceCount)
        : m_device(device), m_options(options), m_fvf(fvf), m_layout(d3d8::LayoutOf(fvf)),
          m_vertexCount(vertexCount), m_faceCount(faceCount), m_attributes(faceCount, 0) {
        m_device->AddRef();
    }
    ~Mesh() override {
        if (m_vertices)
            m_vertices->Release();
        if (m_indices)
            m_indices->Release();
        m_device->Release();
    }

    HRESULT Fill(const std::vector<std::uint8_t> &vertices,
                 const std::vector<std::uint32_t> &indices,
                 const std::vector<std::uint32_t> &attributes) {
        if (m_vertices) {
            m_vertices->Release();
            m_vertices = nullptr;
        }
        if (m_indices) {
            m_indices->Release();
            m_indices = nullptr;
        }
        const bool wide = m_options & D3DXMESH_32BIT;
        HRESULT hr = m_device->CreateVertexBuffer(std::max<UINT>(1, vertices.size()), 0, m_fvf,
                                                  vertexPool(m_options), &m_vertices);
        if (FAILED(hr))
            return hr;
        hr = m_device->CreateIndexBuffer(std::max<UINT>(1, indices.size() * (wide ? 4 : 2)), 0,
                                         wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                         indexPool(m_options), &m_indices);
        if (FAILED(hr))
            return hr;
        BYTE *data = nullptr;
        if (FAILED(hr = m_vertices->Lock(0, 0, &data, 0)))
            return hr;
        if (!vertices.empty())
            std::memcpy(data, vertices.data(), vertices.size());
        m_vertices->Unlock();
        if (FAILED(hr = m_indices->Lock(0, 0, &data, 0)))
            return hr;
        for (std::size_t i = 0; i < indices.size(); ++i) {
            if (wide) {
                std::memcpy(data + i * 4, &indices[i], 4);
            } else {
                const std::uint16_t narrow = static_cast<std::uint16_t>(indices[i]);
                std::memcpy(data + i * 2, &narrow, 2);
            }
        }
        m_indices->Unlock();
        m_attributes = attributes;
        m_table = AttributeRuns(indices, attributes);
        return S_OK;
    }

    HRESULT QueryInterface(REFIID iid, void **out) override {
        return AnswerQuery(iid, {IID_ID3DXBaseMesh, IID_ID3DXMesh}, out);
    }

    HRESULT DrawSubset(DWORD attributeId) override {
        // A subset that does not exist draws nothing.
        bool boundBuffers = false;
        for (const D3DXATTRIBUTERANGE &range : m_table) {
            if (range.AttribId != attributeId || range.FaceCount == 0)
                continue;
            if (!boundBuffers) {
                m_device->SetVertexShader(m_fvf);
                m_device->SetStreamSource(0, m_vertices, m_layout.size);
                m_device->SetIndices(m_indices, 0);
                boundBuffers = true;
            }
            const HRESULT hr = m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, range.VertexStart,
                                                              range.VertexCount,
                                                              range.FaceStart * 3, range.FaceCount);
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    }

    DWORD GetNumFaces() override { return m_faceCount; }
    DWORD GetNumVertices() override { return m_vertexCount; }
    DWORD GetFVF() override { return m_fvf; }
    DWORD GetOptions() override { return m_options; }
    HRESULT GetDevice(IDirect3DDevice8 **device) override {
        if (!device)
            return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *device = m_device;
        return S_OK;
    }

    HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice8 *device,
                         ID3DXMesh **clone) override {
        if (!clone)
            return D3DERR_INVALIDCALL;
        *clone = nullptr;
        const d3d8::VertexLayout to = d3d8::LayoutOf(fvf);
        if (!device || !to.valid)
            return D3DERR_INVALIDCALL;
        const std::vector<std::uint8_t> vertices =
            convertVertices(ReadVertices(), m_vertexCount, m_layout, to);
        return CreateMesh(device, options, fvf, m_vertexCount, vertices, ReadIndices(),
                          m_attributes, clone);
    }

    HRESULT GetVertexBuffer(IDirect3DVertexBuffer8 **buffer) override {
        if (!buffer)
            return D3DERR_INVALIDCALL;
        m_vertices->AddRef();
        *buffer = m_vertices;
        return S_OK;
    }
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer8 **buffer) override {
        if (!buffer)
            return D3DERR_INVALIDCALL;
        m_indices->AddRef();
        *buffer = m_indices;
        return S_OK;
    }
    HRESULT LockVertexBuffer(DWORD flags, BYTE **data) override {
        return m_vertices->Lock(0, 0, data, flags);
    }
    HRESULT UnlockVertexBuffer() override { return m_vertices->Unlock(); }
    HRESULT LockIndexBuffer(DWORD flags, BYTE **data) override {
        return m_indices->Lock(0, 0, data, flags);
    }
    HRESULT UnlockIndexBuffer() override { return m_indices->Unlock(); }

    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE *table, DWORD *size) override {
        if (!size)
            return D3DERR_INVALIDCALL;
        if (table)
            std::copy_n(m_table.begin(), std::min<std::size_t>(*size, m_table.size()), table);
        *size = static_cast<DWORD>(m_table.size());
        return S_OK;
    }

    HRESULT LockAttributeBuffer(DWORD, DWORD **data) override {
        if (!data)
            return D3DERR_INVALIDCALL;
        *data = m_attributes.empty() ? nullptr : m_attributes.data();
        return S_OK;
    }
    HRESULT UnlockAttributeBuffer() override {
        m_table = AttributeRuns(ReadIndices(), m_attributes);
        return S_OK;
    }

    HRESULT OptimizeInplace(DWORD flags, const DWORD *adjacencyIn, DWORD *adjacencyOut,
                            DWORD *faceRemap, ID3DXBuffer **vertexRemap) override;

    std::vector<std::uint8_t> ReadVertices() {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(m_vertexCount) * m_layout.size);
        BYTE *data = nullptr;
        if (!bytes.empty() && SUCCEEDED(m_vertices->Lock(0, 0, &data, D3DLOCK_READONLY))) {
            std::memcpy(bytes.data(), data, bytes.size());
            m_vertices->Unlock();
        }
        return bytes;
    }

    std::vector<std::uint32_t> ReadIndices() {
        std::vector<std::uint32_t> out(static_cast<std::size_t>(m_faceCount) * 3);
        BYTE *data = nullptr;
        if (out.empty() || FAILED(m_indices->Lock(0, 0, &data, D3DLOCK_READONLY)))
            return out;
        const bool wide = m_options & D3DXMESH_32BIT;
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (wide) {
                std::memcpy(&out[i], data + i * 4, 4);
            } else {
                std::uint16_t narrow;
                std::memcpy(&narrow, data + i * 2, 2);
                out[i] = narrow;
            }
        }
        m_indices->Unlock();
        return out;
    }

private:
    IDirect3DDevice8 *m_device;
    DWORD m_options;
    DWORD m_fvf;
    d3d8::VertexLayout m_layout;
    DWORD m_vertexCount;
    DWORD m_faceCount;
    IDirect3DVertexBuffer8 *m_vertices = nullptr;
    IDirect3DIndexBuffer8 *m_indices = nullptr;
    std::vector<std::uint32_t> m_attributes;
    std::vector<D3DXATTRIBUTERANGE> m_table;
};

// Attribute sort keeps the faces of one attribute in their order; compaction keeps only used
// vertices, in the order faces first use them. Vertex-cache and strip reordering keep the order.
HRESULT Mesh::OptimizeInplace(DWORD flags, const DWORD *adjacencyIn, DWORD *adjacencyOut,
                              DWORD *faceRemap, ID3DXBuffer **vertexRemap) {
    if (vertexRemap)
        *vertexRemap = nullptr;
    const std::vector<std::uint32_t> indices = ReadIndices();
    const std::vector<std::uint8_t> vertices = ReadVertices();
    for (std::uint32_t index : indices)
        if (index >= m_vertexCount)
            return D3DXERR_INVALIDMESH;

    std::vector<DWORD> order(m_faceCount);
    std::iota(order.begin(), order.end(), 0);
    if (flags & (D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_STRIPREORDER))
        std::stable_sort(order.begin(), order.end(),
                         [&](DWORD a, DWORD b) { return m_attributes[a] < m_attributes[b]; });
    std::vector<DWORD> newFaceOf(m_faceCount);
    for (DWORD i = 0; i < m_faceCount; ++i)
        newFaceOf[order[i]] = i;

    std::vector<std::uint32_t> sortedIndices(indices.size());
    std::vector<std::uint32_t> sortedAttributes(m_faceCount);
    for (DWORD i = 0; i < m_faceCount; ++i) {
        std::copy_n(&indices[order[i] * 3], 3, &sortedIndices[i * 3]);
        sortedAttributes[i] = m_attributes[order[i]];
    }

    // vertexOrder[new] = old.
    std::vector<DWORD> vertexOrder;
    if (flags & D3DXMESHOPT_COMPACT) {
        std::vector<DWORD> newIndexOf(m_vertexCount, kNoFace);
        for (std::uint32_t &index : sortedIndices) {
            if (newIndexOf[index] == kNoFace) {
                newIndexOf[index] = static_cast<DWORD>(vertexOrder.size());
                vertexOrder.push_back(index);
            }
            index = newIndexOf[index];
        }
    } else {
        vertexOrder.resize(m_vertexCount);
        std::iota(vertexOrder.begin(), vertexOrder.end(), 0);
    }
    std::vector<std::uint8_t> newVertices(vertexOrder.size() * m_layout.size);
    for (std::size_t i = 0; i < vertexOrder.size(); ++i)
        std::memcpy(&newVertices[i * m_layout.size], &vertices[vertexOrder[i] * m_layout.size],
                    m_layout.size);

    if (vertexRemap) {
        ID3DXBuffer *remap = nullptr;
        if (FAILED(
                D3DXCreateBuffer(static_cast<DWORD>(vertexOrder.size() * sizeof(DWORD)), &remap)))
            return E_OUTOFMEMORY;
        if (!vertexOrder.empty())
            std::memcpy(remap->GetBufferPointer(), vertexOrder.data(),
                        vertexOrder.size() * sizeof(DWORD));
        *vertexRemap = remap;
    }
    if (faceRemap)
        std::copy(order.begin(), order.end(), faceRemap);
    if (adjacencyOut) {
        std::vector<DWORD> adjacency(m_faceCount * 3, kNoFace);
        if (adjacencyIn) {
            for (DWORD i = 0; i < m_faceCount; ++i)
                for (int e = 0; e < 3; ++e) {
                    const DWORD neighbour = adjacencyIn[order[i] * 3 + e];
                    adjacency[i * 3 + e] = neighbour < m_faceCount ? newFaceOf[neighbour] : kNoFace;
                }
        }
        std::copy(adjacency.begin(), adjacency.end(), adjacencyOut);
    }
    m_vertexCount = static_cast<DWORD>(vertexOrder.size());
    return Fill(newVertices, sortedIndices, sortedAttributes);
}

} // namespace

std::vector<D3DXATTRIBUTERANGE> AttributeRuns(const std::vector<std::uint32_t> &indices,
                                              const std::vector<std::uint32_t> &attributes) {
    std::vector<D3DXATTRIBUTERANGE> table;
    for (std::size_t face = 0; face < attributes.size(); ++face) {
        if (table.empty() || table.back().AttribId != attributes[face] ||
            table.back().FaceStart + table.back().FaceCount != face)
            table.push_back({attributes[face], static_cast<DWORD>(face), 0, 0, 0});
        table.back().FaceCount++;
    }
    for (D3DXATTRIBUTERANGE &range : table) {
        std::uint32_t low = 0xFFFFFFFF, high = 0;
        for (DWORD i = range.FaceStart * 3; i < (range.FaceStart + range.FaceCount) * 3; ++i) {
            if (i >= indices.size())
                break;
            low = std::min(low, indices[i]);
            high = std::max(high, indices[i]);
        }
        range.VertexStart = low <= high ? low : 0;
        range.VertexCount = low <= high ? high - low + 1 : 0;
    }
    return table;
}

std::vector<DWORD> FaceAdjacency(const std::vector<std::uint8_t> &vertices, DWORD stride,
                                 const std::vector<std::uint32_t> &indices) {
    // One representative per distinct position, so split vertices still join their faces.
    using Position = std::tuple<float, float, float>;
    std::map<Position, std::uint32_t> first;
    std::vector<std::uint32_t> rep(stride ? vertices.size() / stride : 0);
    for (std::uint32_t i = 0; i < rep.size(); ++i) {
        float p[3];
        std::memcpy(p, &vertices[static_cast<std::size_t>(i) * stride], sizeof p);
        rep[i] = first.emplace(Position{p[0], p[1], p[2]}, i).first->second;
    }
    const std::size_t faces = indices.size() / 3;
    std::vector<DWORD> adjacency(faces * 3, kNoFace);
    std::map<std::pair<std::uint32_t, std::uint32_t>, DWORD> edges; // directed edge -> face
    auto at = [&](std::size_t i) { return indices[i] < rep.size() ? rep[indices[i]] : indices[i]; };
    for (std::size_t f = 0; f < faces; ++f)
        for (int e = 0; e < 3; ++e)
            edges.emplace(std::pair{at(f * 3 + e), at(f * 3 + (e + 1) % 3)}, static_cast<DWORD>(f));
    for (std::size_t f = 0; f < faces; ++f)
        for (int e = 0; e < 3; ++e) {
            const auto other = edges.find({at(f * 3 + (e + 1) % 3), at(f * 3 + e)});
            if (other != edges.end() && other->second != f)
                adjacency[f * 3 + e] = other->second;
        }
    return adjacency;
}

HRESULT CreateMesh(IDirect3DDevice8 *device, DWORD options, DWORD fvf, DWORD vertexCount,
                   const std::vector<std::uint8_t> &vertices,
                   const std::vector<std::uint32_t> &indices,
                   const std::vector<std::uint32_t> &attributes, ID3DXMesh **mesh) {
    if (!mesh)
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    const d3d8::VertexLayout layout = d3d8::LayoutOf(fvf);
    if (!device || !layout.valid || indices.size() != attributes.size() * 3 ||
        vertices.size() != static_cast<std::size_t>(vertexCount) * layout.size)
        return D3DERR_INVALIDCALL;
    // Sixteen-bit indices reach 65 535 vertices at most.
    if (!(options & D3DXMESH_32BIT) && vertexCount > 0xFFFF)
        return D3DXERR_INVALIDDATA;
    for (std::uint32_t index : indices)
        if (index >= vertexCount)
            return D3DXERR_INVALIDDATA;
    Mesh *made = new (std::nothrow)
        Mesh(device, options, fvf, vertexCount, static_cast<DWORD>(attributes.size()));
    if (!made)
        return E_OUTOFMEMORY;
    const HRESULT hr = made->Fill(vertices, indices, attributes);
    if (FAILED(hr)) {
        made->Release();
        return hr;
    }
    *mesh = made;
    return S_OK;
}

HRESULT CreateMeshFromData(const xfile::MeshData &data, DWORD options, IDirect3DDevice8 *device,
                           ID3DXMesh **mesh) {
    const xfile::VertexLayout layout = xfile::LayoutOf(data);
    DWORD fvf = D3DFVF_XYZ | (layout.normal ? D3DFVF_NORMAL : 0) |
                (layout.diffuse ? D3DFVF_DIFFUSE : 0) |
                (layout.textureSets << D3DFVF_TEXCOUNT_SHIFT);
    return CreateMesh(device, options, fvf, static_cast<DWORD>(data.vertices.size()),
                      xfile::PackVertices(data, layout), data.indices, data.attributes, mesh);
}

} // namespace d3dx
