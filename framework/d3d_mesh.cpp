// CD3DMesh: one mesh from an X file (or a file data object) kept in system memory with its
// materials and textures, and the device copy drawn in an opaque and an alpha pass.
#include "framework/d3d_file.h"

#include "framework/utilities.h"

#include <cstring>
#include <new>

CD3DMesh::CD3DMesh(const char *strName)
    : m_pSysMemMesh(nullptr), m_pLocalMesh(nullptr), m_dwNumMaterials(0), m_pMaterials(nullptr),
      m_pTextures(nullptr), m_bUseMaterials(TRUE) {
    std::strncpy(m_strName, strName ? strName : "", sizeof(m_strName) - 1);
    m_strName[sizeof(m_strName) - 1] = '\0';
}

CD3DMesh::~CD3DMesh() {
    Destroy();
}

HRESULT CD3DMesh::CreateFromFile(LPDIRECT3DDEVICE8 pd3dDevice, const char *strFilename) {
    char strPath[MAX_PATH];
    char strPathAnsi[MAX_PATH];
    FindMediaFile(strPath, strFilename);
    ConvertTCharToAnsi(strPathAnsi, strPath, MAX_PATH);

    LPD3DXBUFFER pAdjacencyBuffer = nullptr;
    LPD3DXBUFFER pMtrlBuffer = nullptr;
    HRESULT hr = D3DXLoadMeshFromX(strPathAnsi, D3DXMESH_SYSTEMMEM, pd3dDevice, &pAdjacencyBuffer,
                                   &pMtrlBuffer, &m_dwNumMaterials, &m_pSysMemMesh);
    if (FAILED(hr))
        return hr;
    return FinishLoad(pd3dDevice, pAdjacencyBuffer, pMtrlBuffer);
}

HRESULT CD3DMesh::CreateFromFileData(LPDIRECT3DDEVICE8 pd3dDevice, LPDIRECTXFILEDATA pFileData) {
    LPD3DXBUFFER pAdjacencyBuffer = nullptr;
    LPD3DXBUFFER pMtrlBuffer = nullptr;
    HRESULT hr = D3DXLoadMeshFromXof(pFileData, D3DXMESH_SYSTEMMEM, pd3dDevice, &pAdjacencyBuffer,
                                     &pMtrlBuffer, &m_dwNumMaterials, &m_pSysMemMesh);
    if (FAILED(hr))
        return hr;
    return FinishLoad(pd3dDevice, pAdjacencyBuffer, pMtrlBuffer);
}

// Both loaders end alike: the fresh system-memory mesh is optimised with the file's adjacency, its
// materials are taken, and the two buffers the load handed out are given back.
HRESULT CD3DMesh::FinishLoad(LPDIRECT3DDEVICE8 pd3dDevice, LPD3DXBUFFER pAdjacencyBuffer,
                             LPD3DXBUFFER pMtrlBuffer) {
    HRESULT hr = m_pSysMemMesh->OptimizeInplace(
        D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE,
        static_cast<DWORD *>(pAdjacencyBuffer->GetBufferPointer()), nullptr, nullptr, nullptr);
    if (SUCCEEDED(hr))
        hr = LoadMaterials(pd3dDevice, pMtrlBuffer);
    if (pAdjacencyBuffer)
        pAdjacencyBuffer->Release();
    if (pMtrlBuffer)
        pMtrlBuffer->Release();
    return hr;
}

// Copies the file's materials (Ambient taken from Diffuse) and loads the textures they name; a
// texture that fails to load leaves its slot empty.
HRESULT CD3DMesh::LoadMaterials(LPDIRECT3DDEVICE8 pd3dDevice, LPD3DXBUFFER pMtrlBuffer) {
    if (!pMtrlBuffer || m_dwNumMaterials == 0)
        return S_OK;
    const auto *d3dxMtrls = static_cast<const D3DXMATERIAL *>(pMtrlBuffer->GetBufferPointer());
    m_pMaterials = new (std::nothrow) D3DMATERIAL8[m_dwNumMaterials];
    m_pTextures = new (std::nothrow) LPDIRECT3DTEXTURE8[m_dwNumMaterials];
    if (!m_pMaterials || !m_pTextures) {
        delete[] m_pMaterials;
        delete[] m_pTextures;
        m_pMaterials = nullptr;
        m_pTextures = nullptr;
        return E_OUTOFMEMORY;
    }
    for (DWORD i = 0; i < m_dwNumMaterials; ++i) {
        m_pMaterials[i] = d3dxMtrls[i].MatD3D;
        m_pMaterials[i].Ambient = m_pMaterials[i].Diffuse;
        m_pTextures[i] = nullptr;
        if (d3dxMtrls[i].pTextureFilename) {
            char strTexture[MAX_PATH];
            char strTexturePath[MAX_PATH];
            ConvertAnsiToTChar(strTexture, d3dxMtrls[i].pTextureFilename, MAX_PATH);
            FindMediaFile(strTexturePath, strTexture);
            if (FAILED(D3DXCreateTextureFromFileA(pd3dDevice, strTexturePath, &m_pTextures[i])))
                m_pTextures[i] = nullptr;
        }
    }
    return S_OK;
}

HRESULT CD3DMesh::SetVertexFormat(LPDIRECT3DDEVICE8 pd3dDevice, DWORD dwFVF) {
    LPD3DXMESH pTempSysMemMesh = nullptr;
    LPD3DXMESH pTempLocalMesh = nullptr;
    if (m_pSysMemMesh && FAILED(m_pSysMemMesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, dwFVF, pd3dDevice,
                                                            &pTempSysMemMesh)))
        return E_FAIL;
    if (m_pLocalMesh && FAILED(m_pLocalMesh->CloneMeshFVF(0, dwFVF, pd3dDevice, &pTempLocalMesh))) {
        if (pTempSysMemMesh)
            pTempSysMemMesh->Release();
        return E_FAIL;
    }
    if (m_pSysMemMesh)
        m_pSysMemMesh->Release();
    if (m_pLocalMesh)
        m_pLocalMesh->Release();
    m_pSysMemMesh = pTempSysMemMesh;
    m_pLocalMesh = pTempLocalMesh;
    if (m_pSysMemMesh)
        D3DXComputeNormals(m_pSysMemMesh, nullptr);
    if (m_pLocalMesh)
        D3DXComputeNormals(m_pLocalMesh, nullptr);
    return S_OK;
}

HRESULT CD3DMesh::CreateDeviceMesh(LPDIRECT3DDEVICE8 pd3dDevice) {
    if (!m_pSysMemMesh)
        return E_FAIL;
    if (FAILED(m_pSysMemMesh->CloneMeshFVF(0, m_pSysMemMesh->GetFVF(), pd3dDevice, &m_pLocalMesh)))
        return E_FAIL;
    return S_OK;
}

HRESULT CD3DMesh::ReleaseDeviceMesh() {
    if (m_pLocalMesh) {
        m_pLocalMesh->Release();
        m_pLocalMesh = nullptr;
    }
    return S_OK;
}

HRESULT CD3DMesh::Destroy() {
    ReleaseDeviceMesh();
    for (DWORD i = 0; m_pTextures && i < m_dwNumMaterials; ++i) {
        if (m_pTextures[i]) {
            m_pTextures[i]->Release();
            m_pTextures[i] = nullptr;
        }
    }
    delete[] m_pTextures;
    delete[] m_pMaterials;
    m_pTextures = nullptr;
    m_pMaterials = nullptr;
    if (m_pSysMemMesh) {
        m_pSysMemMesh->Release();
        m_pSysMemMesh = nullptr;
    }
    m_dwNumMaterials = 0;
    return S_OK;
}

HRESULT CD3DMesh::Render(LPDIRECT3DDEVICE8 pd3dDevice, bool bDrawOpaqueSubsets,
                         bool bDrawAlphaSubsets) {
    if (!m_pLocalMesh)
        return E_FAIL;
    // Without the materials array (a mesh whose file had none) there is nothing to set.
    const bool bMaterials = m_bUseMaterials && m_pMaterials;
    if (bDrawOpaqueSubsets) {
        for (DWORD i = 0; i < m_dwNumMaterials; ++i) {
            if (bMaterials) {
                if (m_pMaterials[i].Diffuse.a < 1.0f)
                    continue;
                pd3dDevice->SetMaterial(&m_pMaterials[i]);
                pd3dDevice->SetTexture(0, m_pTextures[i]);
            }
            m_pLocalMesh->DrawSubset(i);
        }
    }
    if (bDrawAlphaSubsets && bMaterials) {
        for (DWORD i = 0; i < m_dwNumMaterials; ++i) {
            if (m_pMaterials[i].Diffuse.a == 1.0f)
                continue;
            pd3dDevice->SetMaterial(&m_pMaterials[i]);
            pd3dDevice->SetTexture(0, m_pTextures[i]);
            m_pLocalMesh->DrawSubset(i);
        }
    }
    return S_OK;
}
