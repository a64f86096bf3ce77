// CD3DFrame: a named transform with an optional mesh, a first child and a next sibling; every
// walk visits the frame, then its child sub-tree, then the siblings after it.
#include "framework/d3d_file.h"

#include "platform/win32/files.h"

#include <cstring>

CD3DFrame::CD3DFrame(const char *strName) : m_pMesh(nullptr), m_pNext(nullptr), m_pChild(nullptr) {
    std::strncpy(m_strName, strName ? strName : "", sizeof(m_strName) - 1);
    m_strName[sizeof(m_strName) - 1] = '\0';
    D3DXMatrixIdentity(&m_mat);
}

CD3DFrame::~CD3DFrame() {
    delete m_pChild;
    m_pChild = nullptr;
    delete m_pNext;
    m_pNext = nullptr;
}

void CD3DFrame::SetMatrix(const D3DXMATRIX *pmat) {
    m_mat = *pmat;
}

bool CD3DFrame::EnumMeshes(bool (*EnumMeshCB)(CD3DMesh *, void *), void *pContext) {
    if (m_pMesh)
        EnumMeshCB(m_pMesh, pContext);
    if (m_pChild)
        m_pChild->EnumMeshes(EnumMeshCB, pContext);
    if (m_pNext)
        m_pNext->EnumMeshes(EnumMeshCB, pContext);
    return true;
}

CD3DMesh *CD3DFrame::FindMesh(const char *strMeshName) {
    CD3DMesh *pMesh;
    if (m_pMesh && !lstrcmpiA(m_pMesh->m_strName, strMeshName))
        return m_pMesh;
    if (m_pChild && (pMesh = m_pChild->FindMesh(strMeshName)) != nullptr)
        return pMesh;
    if (m_pNext && (pMesh = m_pNext->FindMesh(strMeshName)) != nullptr)
        return pMesh;
    return nullptr;
}

CD3DFrame *CD3DFrame::FindFrame(const char *strFrameName) {
    CD3DFrame *pFrame;
    if (!lstrcmpiA(m_strName, strFrameName))
        return this;
    if (m_pChild && (pFrame = m_pChild->FindFrame(strFrameName)) != nullptr)
        return pFrame;
    if (m_pNext && (pFrame = m_pNext->FindFrame(strFrameName)) != nullptr)
        return pFrame;
    return nullptr;
}

HRESULT CD3DFrame::Destroy() {
    if (m_pMesh)
        m_pMesh->Destroy();
    if (m_pChild)
        m_pChild->Destroy();
    if (m_pNext)
        m_pNext->Destroy();
    delete m_pMesh;
    m_pMesh = nullptr;
    delete m_pNext;
    m_pNext = nullptr;
    delete m_pChild;
    m_pChild = nullptr;
    return S_OK;
}

HRESULT CD3DFrame::CreateDeviceMeshes(LPDIRECT3DDEVICE8 pd3dDevice) {
    if (m_pMesh)
        m_pMesh->CreateDeviceMesh(pd3dDevice);
    if (m_pChild)
        m_pChild->CreateDeviceMeshes(pd3dDevice);
    if (m_pNext)
        m_pNext->CreateDeviceMeshes(pd3dDevice);
    return S_OK;
}

HRESULT CD3DFrame::ReleaseDeviceMeshes() {
    if (m_pMesh)
        m_pMesh->ReleaseDeviceMesh();
    if (m_pChild)
        m_pChild->ReleaseDeviceMeshes();
    if (m_pNext)
        m_pNext->ReleaseDeviceMeshes();
    return S_OK;
}

HRESULT CD3DFrame::Render(LPDIRECT3DDEVICE8 pd3dDevice, bool bDrawOpaqueSubsets,
                          bool bDrawAlphaSubsets, const D3DXMATRIX *pmatWorldMatrix) {
    D3DXMATRIX matSavedWorld, matWorld;
    if (pmatWorldMatrix)
        matSavedWorld = *pmatWorldMatrix;
    else
        pd3dDevice->GetTransform(D3DTS_WORLD, &matSavedWorld);
    D3DXMatrixMultiply(&matWorld, &m_mat, &matSavedWorld);
    pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);
    if (m_pMesh)
        m_pMesh->Render(pd3dDevice, bDrawOpaqueSubsets, bDrawAlphaSubsets);
    if (m_pChild)
        m_pChild->Render(pd3dDevice, bDrawOpaqueSubsets, bDrawAlphaSubsets, &matWorld);
    pd3dDevice->SetTransform(D3DTS_WORLD, &matSavedWorld);
    if (m_pNext)
        m_pNext->Render(pd3dDevice, bDrawOpaqueSubsets, bDrawAlphaSubsets, &matSavedWorld);
    return S_OK;
}
