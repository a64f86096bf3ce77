// The framework's device utilities: materials and lights filled in place, textures and vertex
// shaders loaded from media files, colour keys, cube-face views, the trackball rotation under the
// cursor and the device's hardware cursor made from a Windows cursor.
#pragma once

#include "platform/d3dx/d3dx8.h"
#include "platform/win32/types.h"

void InitMaterial(D3DMATERIAL8 &mtrl, FLOAT r = 0.0f, FLOAT g = 0.0f, FLOAT b = 0.0f,
                  FLOAT a = 1.0f);
void InitLight(D3DLIGHT8 &light, D3DLIGHTTYPE ltType, FLOAT x = 0.0f, FLOAT y = 0.0f,
               FLOAT z = 0.0f);
HRESULT LoadTextureFile(LPDIRECT3DDEVICE8 pd3dDevice, const char *strTexture,
                        LPDIRECT3DTEXTURE8 *ppTexture, D3DFORMAT d3dFormat = D3DFMT_UNKNOWN);
HRESULT ApplyColorKey(LPDIRECT3DTEXTURE8 pTexture, DWORD dwColorKey);
HRESULT LoadVertexShaderFile(LPDIRECT3DDEVICE8 pd3dDevice, const char *strFilename,
                             const DWORD *pdwVertexDecl, DWORD *pdwVertexShader);
D3DXMATRIX CubeFaceViewMatrix(DWORD dwFace);
D3DXQUATERNION TrackballRotation(HWND hWnd, FLOAT fTrackBallRadius);
HRESULT SetDeviceCursor(LPDIRECT3DDEVICE8 pd3dDevice, HCURSOR hCursor, BOOL bAddWatermark);
