// One mesh from an X file with its materials and a texture per material, drawn subset by subset.
// The base of every mesh-backed world object and the type of the plain meshes of other classes.
#pragma once

#include "platform/d3dx/d3dx8.h"

class MeshObj {
public:
    MeshObj();
    explicit MeshObj(IDirect3DDevice8 *device);
    virtual ~MeshObj();

    MeshObj(const MeshObj &) = delete;
    MeshObj &operator=(const MeshObj &) = delete;

    // Loads the mesh, its materials and their textures on `device`. A texture that cannot be
    // created leaves its slot null; a mesh that cannot be loaded is traced and leaves the object
    // empty.
    HRESULT Load(const char *fileName);
    // Draws every subset with its material and texture under the caller's transform and states.
    void Render();
    // Gives back what the last load obtained; harmless on an empty object.
    void ReleaseResources();

    // Not owned: the owner writes the device before each load.
    IDirect3DDevice8 *device = nullptr;
    ID3DXMesh *mesh = nullptr;
    DWORD materialCount = 0;
    ID3DXBuffer *materialsBuffer = nullptr;
    D3DXMATERIAL *materials = nullptr;
    IDirect3DTexture8 **textures = nullptr;
};
