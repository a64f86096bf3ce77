// CD3DFrameFile: an X file (from a file or from a resource of the program) read through the
// DirectX file interfaces into a tree of frames and meshes under this root, and drawn with an
// opaque pass followed by an alpha-blended pass.
#include "framework/d3d_file.h"

#include "framework/utilities.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

// The object's name cut to the 511 characters a frame or mesh name holds; an unnamed object, or
// one whose name cannot be read, gets the empty name.
void objectName(LPDIRECTXFILEDATA pFileData, char *strName) {
    char strAnsiName[512] = "";
    DWORD dwNameLength = 0;
    if (SUCCEEDED(pFileData->GetName(nullptr, &dwNameLength)) && dwNameLength > 0) {
        std::vector<char> whole(dwNameLength, '\0');
        if (SUCCEEDED(pFileData->GetName(whole.data(), &dwNameLength))) {
            whole.back() = '\0';
            std::strncpy(strAnsiName, whole.data(), sizeof(strAnsiName) - 1);
        }
    }
    ConvertAnsiToTChar(strName, strAnsiName, 512);
}

} // namespace

HRESULT CD3DFrameFile::LoadMesh(LPDIRECT3DDEVICE8 pd3dDevice, LPDIRECTXFILEDATA pFileData,
                                CD3DFrame *pParentFrame) {
    if (pParentFrame->m_pMesh)
        return E_FAIL;
    char strName[512];
    objectName(pFileData, strName);
    pParentFrame->m_pMesh = new (std::nothrow) CD3DMesh(strName);
    if (!pParentFrame->m_pMesh)
        return E_OUTOFMEMORY;
    // A mesh whose data fails to load stays attached, empty.
    pParentFrame->m_pMesh->CreateFromFileData(pd3dDevice, pFileData);
    return S_OK;
}

HRESULT CD3DFrameFile::LoadFrame(LPDIRECT3DDEVICE8 pd3dDevice, LPDIRECTXFILEDATA pFileData,
                                 CD3DFrame *pParentFrame) {
    const GUID *pGUID = nullptr;
    HRESULT hr = pFileData->GetType(&pGUID);
    if (FAILED(hr))
        return hr;

    if (*pGUID == TID_D3DRMMesh)
        return LoadMesh(pd3dDevice, pFileData, pParentFrame);

    if (*pGUID == TID_D3DRMFrameTransformMatrix) {
        DWORD cbSize = 0;
        void *pData = nullptr;
        hr = pFileData->GetData(nullptr, &cbSize, &pData);
        if (FAILED(hr))
            return hr;
        // Sixteen floats or the data is not a matrix: never read past what the object holds.
        if (!pData || cbSize < sizeof(D3DXMATRIX))
            return E_FAIL;
        pParentFrame->SetMatrix(static_cast<const D3DXMATRIX *>(pData));
        return S_OK;
    }

    if (*pGUID == TID_D3DRMFrame) {
        char strName[512];
        objectName(pFileData, strName);
        CD3DFrame *pFrame = new (std::nothrow) CD3DFrame(strName);
        if (!pFrame)
            return E_OUTOFMEMORY;
        pFrame->m_pNext = pParentFrame->m_pChild;
        pParentFrame->m_pChild = pFrame;

        LPDIRECTXFILEOBJECT pChildObj = nullptr;
        while (SUCCEEDED(pFileData->GetNextObject(&pChildObj))) {
            LPDIRECTXFILEDATA pChildData = nullptr;
            hr = pChildObj->QueryInterface(IID_IDirectXFileData,
                                           reinterpret_cast<void **>(&pChildData));
            if (SUCCEEDED(hr)) {
                hr = LoadFrame(pd3dDevice, pChildData, pFrame);
                pChildData->Release();
            }
            pChildObj->Release();
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}

HRESULT CD3DFrameFile::LoadFromSource(LPDIRECT3DDEVICE8 pd3dDevice, LPVOID pvSource,
                                      DWORD dwLoadOptions) {
    LPDIRECTXFILE pDXFile = nullptr;
    if (FAILED(DirectXFileCreate(&pDXFile)))
        return E_FAIL;
    if (FAILED(pDXFile->RegisterTemplates(const_cast<unsigned char *>(D3DRM_XTEMPLATES),
                                          D3DRM_XTEMPLATE_BYTES))) {
        pDXFile->Release();
        return E_FAIL;
    }
    LPDIRECTXFILEENUMOBJECT pEnumObj = nullptr;
    HRESULT hr = pDXFile->CreateEnumObject(pvSource, dwLoadOptions, &pEnumObj);
    if (FAILED(hr)) {
        pDXFile->Release();
        return hr;
    }
    LPDIRECTXFILEDATA pFileData = nullptr;
    while (SUCCEEDED(pEnumObj->GetNextDataObject(&pFileData))) {
        hr = LoadFrame(pd3dDevice, pFileData, this);
        pFileData->Release();
        if (FAILED(hr)) {
            pEnumObj->Release();
            pDXFile->Release();
            return E_FAIL;
        }
    }
    pEnumObj->Release();
    pDXFile->Release();
    return S_OK;
}

HRESULT CD3DFrameFile::CreateFromFile(LPDIRECT3DDEVICE8 pd3dDevice, const char *strFilename) {
    char strPath[MAX_PATH];
    char strPathANSI[MAX_PATH];
    FindMediaFile(strPath, strFilename);
    ConvertTCharToAnsi(strPathANSI, strPath, MAX_PATH);
    return LoadFromSource(pd3dDevice, strPathANSI, DXFILELOAD_FROMFILE);
}

HRESULT CD3DFrameFile::CreateFromResource(LPDIRECT3DDEVICE8 pd3dDevice, const char *strResource,
                                          const char *strType) {
    char strTypeANSI[MAX_PATH];
    ConvertTCharToAnsi(strTypeANSI, strType, MAX_PATH);
    DXFILELOADRESOURCE dxlr;
    dxlr.hModule = nullptr;
    dxlr.lpName = strResource;
    dxlr.lpType = strTypeANSI;
    return LoadFromSource(pd3dDevice, &dxlr, DXFILELOAD_FROMRESOURCE);
}

HRESULT CD3DFrameFile::Render(LPDIRECT3DDEVICE8 pd3dDevice, const D3DXMATRIX *pmatWorldMatrix) {
    D3DXMATRIX matSavedWorld, matWorld;
    if (pmatWorldMatrix)
        matSavedWorld = *pmatWorldMatrix;
    else
        pd3dDevice->GetTransform(D3DTS_WORLD, &matSavedWorld);
    D3DXMatrixMultiply(&matWorld, &matSavedWorld, &m_mat);
    pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);

    if (m_pChild)
        m_pChild->Render(pd3dDevice, true, false, &matWorld);

    pd3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    pd3dDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    pd3dDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (m_pChild)
        m_pChild->Render(pd3dDevice, false, true, &matWorld);
    pd3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

    pd3dDevice->SetTransform(D3DTS_WORLD, &matSavedWorld);
    return S_OK;
}
