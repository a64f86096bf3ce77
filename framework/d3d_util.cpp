// Device utilities that fill structures, load files found by the media search, clear colour
// keys and build view and trackball rotations. They keep no state.
#include "framework/d3d_util.h"

#include "framework/utilities.h"
#include "platform/win32/window.h"

#include <cmath>
#include <cstring>

void InitMaterial(D3DMATERIAL8 &mtrl, FLOAT r, FLOAT g, FLOAT b, FLOAT a) {
    std::memset(&mtrl, 0, sizeof(mtrl));
    mtrl.Diffuse = {r, g, b, a};
    mtrl.Ambient = {r, g, b, a};
}

void InitLight(D3DLIGHT8 &light, D3DLIGHTTYPE ltType, FLOAT x, FLOAT y, FLOAT z) {
    std::memset(&light, 0, sizeof(light));
    light.Type = ltType;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    const D3DXVECTOR3 position(x, y, z);
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &position);
    light.Position = position;
    light.Direction = direction;
    light.Range = 1000.0f;
}

HRESULT LoadTextureFile(LPDIRECT3DDEVICE8 pd3dDevice, const char *strTexture,
                        LPDIRECT3DTEXTURE8 *ppTexture, D3DFORMAT d3dFormat) {
    char strPath[MAX_PATH];
    FindMediaFile(strPath, strTexture);
    return D3DXCreateTextureFromFileExA(
        pd3dDevice, strPath, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, d3dFormat,
        D3DPOOL_MANAGED, D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR,
        D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR, 0, nullptr, nullptr, ppTexture);
}

namespace {

template <class Texel>
void clearTexels(const D3DLOCKED_RECT &locked, UINT width, UINT height, Texel value) {
    for (UINT y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<Texel *>(static_cast<BYTE *>(locked.pBits) + y * locked.Pitch);
        for (UINT x = 0; x < width; ++x)
            if (row[x] == value)
                row[x] = 0;
    }
}

} // namespace

HRESULT ApplyColorKey(LPDIRECT3DTEXTURE8 pTexture, DWORD dwColorKey) {
    const DWORD r = (dwColorKey >> 16) & 0xFF, g = (dwColorKey >> 8) & 0xFF, b = dwColorKey & 0xFF;
    D3DSURFACE_DESC desc;
    if (!pTexture || FAILED(pTexture->GetLevelDesc(0, &desc)))
        return E_FAIL;
    DWORD value;
    switch (desc.Format) {
    case D3DFMT_A4R4G4B4:
        value = 0xF000 + ((r >> 4) << 8) + ((g >> 4) << 4) + (b >> 4);
        break;
    case D3DFMT_A1R5G5B5:
        value = 0x8000 + ((r >> 3) << 10) + ((g >> 3) << 5) + (b >> 3);
        break;
    case D3DFMT_A8R8G8B8:
        value = dwColorKey;
        break;
    default:
        return E_FAIL;
    }
    D3DLOCKED_RECT locked;
    if (FAILED(pTexture->LockRect(0, &locked, nullptr, 0)))
        return E_FAIL;
    if (desc.Format == D3DFMT_A8R8G8B8)
        clearTexels<DWORD>(locked, desc.Width, desc.Height, value);
    else
        clearTexels<WORD>(locked, desc.Width, desc.Height, static_cast<WORD>(value));
    pTexture->UnlockRect(0);
    return S_OK;
}

HRESULT LoadVertexShaderFile(LPDIRECT3DDEVICE8 pd3dDevice, const char *strFilename,
                             const DWORD *pdwVertexDecl, DWORD *pdwVertexShader) {
    char strPath[MAX_PATH];
    FindMediaFile(strPath, strFilename);
    LPD3DXBUFFER pCode = nullptr;
    HRESULT hr = D3DXAssembleShaderFromFileA(strPath, 0, nullptr, &pCode, nullptr);
    if (FAILED(hr))
        return hr;
    hr = pd3dDevice->CreateVertexShader(
        pdwVertexDecl, static_cast<const DWORD *>(pCode->GetBufferPointer()), pdwVertexShader, 0);
    pCode->Release();
    return hr;
}

D3DXMATRIX CubeFaceViewMatrix(DWORD dwFace) {
    const D3DXVECTOR3 vEyePt(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 vLookDir, vUpDir;
    switch (dwFace) {
    case D3DCUBEMAP_FACE_POSITIVE_X:
        vLookDir = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
        vUpDir = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        break;
    case D3DCUBEMAP_FACE_NEGATIVE_X:
        vLookDir = D3DXVECTOR3(-1.0f, 0.0f, 0.0f);
        vUpDir = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        break;
    case D3DCUBEMAP_FACE_POSITIVE_Y:
        vLookDir = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        vUpDir = D3DXVECTOR3(0.0f, 0.0f, -1.0f);
        break;
    case D3DCUBEMAP_FACE_NEGATIVE_Y:
        vLookDir = D3DXVECTOR3(0.0f, -1.0f, 0.0f);
        vUpDir = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
        break;
    case D3DCUBEMAP_FACE_POSITIVE_Z:
        vLookDir = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
        vUpDir = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        break;
    case D3DCUBEMAP_FACE_NEGATIVE_Z:
        vLookDir = D3DXVECTOR3(0.0f, 0.0f, -1.0f);
        vUpDir = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        break;
    default: {
        // No face: no view to make.
        D3DXMATRIX matIdentity;
        D3DXMatrixIdentity(&matIdentity);
        return matIdentity;
    }
    }
    D3DXMATRIX matView;
    D3DXMatrixLookAtLH(&matView, &vEyePt, &vLookDir, &vUpDir);
    return matView;
}

D3DXQUATERNION TrackballRotation(HWND hWnd, FLOAT fTrackBallRadius) {
    POINT ptCursor = {0, 0};
    RECT rc = {0, 0, 0, 0};
    GetCursorPos(&ptCursor);
    GetClientRect(hWnd, &rc);
    ScreenToClient(hWnd, &ptCursor);
    const D3DXQUATERNION qIdentity(0.0f, 0.0f, 0.0f, 1.0f);
    const FLOAT fWidth = static_cast<FLOAT>(rc.right - rc.left);
    const FLOAT fHeight = static_cast<FLOAT>(rc.bottom - rc.top);
    // A window with no client area has no sphere to map onto.
    if (fWidth <= 0.0f || fHeight <= 0.0f)
        return qIdentity;
    const FLOAT sx = 2.0f * ptCursor.x / fWidth - 1.0f;
    const FLOAT sy = 2.0f * ptCursor.y / fHeight - 1.0f;
    if (sx == 0.0f && sy == 0.0f)
        return qIdentity;
    const FLOAT r = fTrackBallRadius;
    const FLOAT d = std::sqrt(sx * sx + sy * sy);
    const FLOAT z = (r * 0.70710678f <= d) ? r * r / (2.0f * d) : std::sqrt(r * r - d * d);
    const D3DXVECTOR3 p1(sx, sy, z), p2(0.0f, 0.0f, r);
    D3DXVECTOR3 vAxis;
    D3DXVec3Cross(&vAxis, &p1, &p2);
    const D3DXVECTOR3 vDiff = p2 - p1;
    FLOAT t = D3DXVec3Length(&vDiff) / (2.0f * r);
    if (t > 1.0f)
        t = 1.0f;
    if (t < -1.0f)
        t = -1.0f;
    D3DXQUATERNION quat;
    D3DXQuaternionRotationAxis(&quat, &vAxis, 2.0f * std::asin(t));
    return quat;
}
