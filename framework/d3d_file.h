// The framework's mesh-file classes: a mesh kept in system memory with its materials and textures
// and a device copy made on demand; frames holding a transform, an optional mesh, a first child
// and a next sibling; and the frame that loads a whole X file into such a tree and draws it.
#pragma once

#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/dxfile.h"

class CD3DMesh {
public:
    char m_strName[512];
    LPD3DXMESH m_pSysMemMesh; // system-memory vertex and index buffers
    LPD3DXMESH m_pLocalMesh;  // the device's copy
    DWORD m_dwNumMaterials;
    D3DMATERIAL8 *m_pMaterials;
    LPDIRECT3DTEXTURE8 *m_pTextures;
    BOOL m_bUseMaterials;

    HRESULT Render(LPDIRECT3DDEVICE8 pd3dDevice, bool bDrawOpaqueSubsets = true,
                   bool bDrawAlphaSubsets = true);

    HRESULT SetVertexFormat(LPDIRECT3DDEVICE8 pd3dDevice, DWORD dwFVF);
    HRESULT CreateDeviceMesh(LPDIRECT3DDEVICE8 pd3dDevice);
    HRESULT ReleaseDeviceMesh();
    HRESULT Destroy();
    HRESULT CreateFromFile(LPDIRECT3DDEVICE8 pd3dDevice, const char *strFilename);
    HRESULT CreateFromFileData(LPDIRECT3DDEVICE8 pd3dDevice, LPDIRECTXFILEDATA pFileData);

    explicit CD3DMesh(const char *strName = "CD3DFile_Mesh");
    virtual ~CD3DMesh();
    CD3DMesh(const CD3DMesh &) = delete;
    CD3DMesh &operator=(const CD3DMesh &) = delete;

private:
    HRESULT FinishLoad(LPDIRECT3DDEVICE8 pd3dDevice, LPD3DXBUFFER pAdjacencyBuffer,
                       LPD3DXBUFFER pMtrlBuffer);
    HRESULT LoadMaterials(LPDIRECT3DDEVICE8 pd3dDevice, LPD3DXBUFFER pMtrlBuffer);
};

class CD3DFrame {
public:
    char m_strName[512];
    D3DXMATRIX m_mat;
    CD3DMesh *m_pMesh;
    CD3DFrame *m_pNext;
    CD3DFrame *m_pChild;

    void SetMatrix(const D3DXMATRIX *pmat);

    bool EnumMeshes(bool (*EnumMeshCB)(CD3DMesh *, void *), void *pContext);
    CD3DMesh *FindMesh(const char *strMeshName);
    CD3DFrame *FindFrame(const char *strFrameName);
    HRESULT Destroy();
    HRESULT CreateDeviceMeshes(LPDIRECT3DDEVICE8 pd3dDevice);
    HRESULT ReleaseDeviceMeshes();
    HRESULT Render(LPDIRECT3DDEVICE8 pd3dDevice, bool bDrawOpaqueSubsets = true,
                   bool bDrawAlphaSubsets = true, const D3DXMATRIX *pmatWorldMartix = nullptr);

    explicit CD3DFrame(const char *strName = "CD3DFile_Frame");
    virtual ~CD3DFrame();
    CD3DFrame(const CD3DFrame &) = delete;
    CD3DFrame &operator=(const CD3DFrame &) = delete;
};

class CD3DFrameFile : public CD3DFrame {
public:
    HRESULT CreateFromFile(LPDIRECT3DDEVICE8 pd3dDevice, const char *strFilename);
    HRESULT CreateFromResource(LPDIRECT3DDEVICE8 pd3dDevice, const char *strResource,
                               const char *strType);
    HRESULT Render(LPDIRECT3DDEVICE8 pd3dDevice, const D3DXMATRIX *pmatWorldMatrix = nullptr);

    CD3DFrameFile() : CD3DFrame("CD3DFile_Root") {}

protected:
    HRESULT LoadMesh(LPDIRECT3DDEVICE8 pd3dDevice, LPDIRECTXFILEDATA pFileData,
                     CD3DFrame *pParentFrame);
    HRESULT LoadFrame(LPDIRECT3DDEVICE8 pd3dDevice, LPDIRECTXFILEDATA pFileData,
                      CD3DFrame *pParentFrame);

private:
    HRESULT LoadFromSource(LPDIRECT3DDEVICE8 pd3dDevice, LPVOID pvSource, DWORD dwLoadOptions);
};
