// The utility library's device-side services: textures from files, meshes over device buffers,
// the data buffer, the effect, text fonts and the shader assembler, with the math they share.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx/math.h"
#include "platform/win32/com.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

// Image filters for resizing and mip levels (the low byte) and their modifiers.
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x00010000;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x00020000;
constexpr DWORD D3DX_FILTER_MIRROR_W = 0x00040000;
constexpr DWORD D3DX_FILTER_MIRROR = 0x00070000;
constexpr DWORD D3DX_FILTER_DITHER = 0x00080000;

// Mesh creation options.
constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_VB_SYSTEMMEM = 0x010;
constexpr DWORD D3DXMESH_VB_MANAGED = 0x020;
constexpr DWORD D3DXMESH_IB_SYSTEMMEM = 0x100;
constexpr DWORD D3DXMESH_IB_MANAGED = 0x200;
constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;
constexpr DWORD D3DXMESH_MANAGED = 0x220;

// Mesh optimisation flags.
constexpr DWORD D3DXMESHOPT_COMPACT = 0x01000000;
constexpr DWORD D3DXMESHOPT_ATTRSORT = 0x02000000;
constexpr DWORD D3DXMESHOPT_VERTEXCACHE = 0x04000000;
constexpr DWORD D3DXMESHOPT_STRIPREORDER = 0x08000000;

constexpr HRESULT D3DXERR_INVALIDMESH = MakeResult(0x88760B54);
constexpr HRESULT D3DXERR_CANNOTATTRSORT = MakeResult(0x88760B55);
constexpr HRESULT D3DXERR_INVALIDDATA = MakeResult(0x88760B59);

struct D3DXMATERIAL {
    D3DMATERIAL8 MatD3D;
    LPSTR pTextureFilename;
};

struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

// Interface identifiers of the library's objects (our own values).
inline constexpr IID IID_ID3DXBuffer = {
    0x54415256, 0x0003, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr IID IID_ID3DXBaseMesh = {
    0x54415256, 0x0003, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02}};
inline constexpr IID IID_ID3DXMesh = {
    0x54415256, 0x0003, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}};
inline constexpr IID IID_ID3DXEffect = {
    0x54415256, 0x0003, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04}};
inline constexpr IID IID_ID3DXFont = {
    0x54415256, 0x0003, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05}};

struct ID3DXBuffer : IUnknown {
    virtual LPVOID GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

struct ID3DXMesh;

struct ID3DXBaseMesh : IUnknown {
    // Sets the vertex format, stream 0 and the indices, then draws the faces of one attribute.
    virtual HRESULT DrawSubset(DWORD attributeId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(IDirect3DDevice8 **device) = 0;
    virtual HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice8 *device,
                                 ID3DXMesh **clone) = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer8 **buffer) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer8 **buffer) = 0;
    virtual HRESULT LockVertexBuffer(DWORD flags, BYTE **data) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD flags, BYTE **data) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    // With a null table, only the entry count.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE *table, DWORD *size) = 0;
};

struct ID3DXMesh : ID3DXBaseMesh {
    virtual HRESULT LockAttributeBuffer(DWORD flags, DWORD **data) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
    virtual HRESULT OptimizeInplace(DWORD flags, const DWORD *adjacencyIn, DWORD *adjacencyOut,
                                    DWORD *faceRemap, ID3DXBuffer **vertexRemap) = 0;
};

using D3DXHANDLE = LPCSTR;

struct ID3DXEffect : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice8 **device) = 0;
    virtual HRESULT SetTexture(D3DXHANDLE name, IDirect3DBaseTexture8 *texture) = 0;
    virtual HRESULT SetMatrix(D3DXHANDLE name, const D3DXMATRIX *matrix) = 0;
    // Saves the states the technique sets (unless flags say otherwise) and gives its pass count.
    virtual HRESULT Begin(UINT *passes, DWORD flags) = 0;
    virtual HRESULT Pass(UINT pass) = 0;
    virtual HRESULT End() = 0;
};

// ID3DXEffect::Begin flags.
constexpr DWORD D3DXFX_DONOTSAVESTATE = 1;

struct ID3DXFont : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice8 **device) = 0;
    virtual HRESULT Begin() = 0;
    // The text's height in pixels, 0 when nothing was drawn.
    virtual INT DrawTextA(LPCSTR text, INT count, RECT *rect, DWORD format, D3DCOLOR color) = 0;
    virtual HRESULT End() = 0;
};

using LPD3DXBUFFER = ID3DXBuffer *;
using LPD3DXBASEMESH = ID3DXBaseMesh *;
using LPD3DXMESH = ID3DXMesh *;
using LPD3DXEFFECT = ID3DXEffect *;
using LPD3DXFONT = ID3DXFont *;

HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer **buffer);

// Textures from PNG, JPEG or DDS files.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8 *device, LPCSTR file,
                                   IDirect3DTexture8 **texture);
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8 *device, LPCSTR file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO *sourceInfo, PALETTEENTRY *palette,
                                     IDirect3DTexture8 **texture);
HRESULT D3DXCreateCubeTextureFromFileA(IDirect3DDevice8 *device, LPCSTR file,
                                       IDirect3DCubeTexture8 **texture);

// Meshes from X files.
struct IDirectXFileData;
HRESULT D3DXLoadMeshFromX(LPCSTR file, DWORD options, IDirect3DDevice8 *device,
                          ID3DXBuffer **adjacency, ID3DXBuffer **materials, DWORD *materialCount,
                          ID3DXMesh **mesh);
HRESULT D3DXLoadMeshFromXof(IDirectXFileData *data, DWORD options, IDirect3DDevice8 *device,
                            ID3DXBuffer **adjacency, ID3DXBuffer **materials, DWORD *materialCount,
                            ID3DXMesh **mesh);
// Recomputes the vertex normals of a mesh with normals from its faces.
HRESULT D3DXComputeNormals(ID3DXBaseMesh *mesh, const DWORD *adjacency);

// The effect from its text.
HRESULT D3DXCreateEffect(IDirect3DDevice8 *device, LPCVOID data, UINT length, ID3DXEffect **effect,
                         ID3DXBuffer **compilationErrors);

// A text font drawing with a GDI font's face and size.
HRESULT D3DXCreateFont(IDirect3DDevice8 *device, HFONT font, ID3DXFont **out);

// Vertex shader assembly: programmable shaders are not offered by this device.
HRESULT D3DXAssembleShaderFromFileA(LPCSTR file, DWORD flags, ID3DXBuffer **constants,
                                    ID3DXBuffer **code, ID3DXBuffer **errors);
