#include "game/meshobj.h"
#include "game/release_interface.h"

#include "platform/win32/dxtrace.h"

MeshObj::MeshObj() = default;

MeshObj::MeshObj(IDirect3DDevice8 *dev) : device(dev) {}

// Owners release before the object goes; the game never deletes its world objects.
MeshObj::~MeshObj() = default;

HRESULT MeshObj::Load(const char *fileName) {
    HRESULT hr =
        D3DXLoadMeshFromX(fileName, 0, device, nullptr, &materialsBuffer, &materialCount, &mesh);
    if (FAILED(hr)) {
        // The loader leaves its outputs empty on failure; make sure the object is.
        ReleaseInterface(materialsBuffer);
        ReleaseInterface(mesh);
        materialCount = 0;
        DXTraceA("meshobj", 43, hr, "D3DXLoadMeshFromX", FALSE);
        return hr;
    }
    materials = static_cast<D3DXMATERIAL *>(materialsBuffer->GetBufferPointer());
    textures = new IDirect3DTexture8 *[materialCount];
    for (DWORD i = 0; i < materialCount; ++i) {
        textures[i] = nullptr;
        // A material without a file name draws untextured; the loader is not asked for it.
        if (!materials[i].pTextureFilename)
            continue;
        if (FAILED(D3DXCreateTextureFromFileA(device, materials[i].pTextureFilename, &textures[i])))
            textures[i] = nullptr;
    }
    return hr;
}

void MeshObj::Render() {
    if (!mesh)
        return;
    for (DWORD i = 0; i < materialCount; ++i) {
        device->SetMaterial(&materials[i].MatD3D);
        device->SetTexture(0, textures[i]);
        mesh->DrawSubset(i);
    }
}

void MeshObj::ReleaseResources() {
    ReleaseInterface(mesh);
    if (textures) {
        for (DWORD i = 0; i < materialCount; ++i) {
            if (textures[i])
                textures[i]->Release();
        }
        delete[] textures;
        textures = nullptr;
    }
    ReleaseInterface(materialsBuffer);
    materials = nullptr;
    materialCount = 0;
}
