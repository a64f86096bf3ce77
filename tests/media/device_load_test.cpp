// The media loaded on a headless device with the calls and arguments the game uses: meshes with
// D3DXLoadMeshFromX (options 0, so 16-bit indices) and their material textures, the font texture
// as one A8R8G8B8 level, the cube map with the file's levels. The device-free checks elsewhere
// look inside the files; these prove the device-side loaders accept them as they stand.
#include "tests/media/media_loaders.h"

#include "platform/d3dx/d3dx8.h"
#include "tests/platform/d3d8/pipeline_fixture.h"

#include <set>

using namespace mediatest;

namespace {

class MediaOnDevice : public pipeline_test::PipelineTest {};

} // namespace

TEST_F(MediaOnDevice, EveryMeshLoadsWithItsSubsetsAndMaterialTextures) {
    std::set<std::string> textures;
    for (const auto &name : FixedNames()) {
        if (!name.ends_with(".x")) {
            continue;
        }
        SCOPED_TRACE(name);
        Mesh expected = LoadMesh(name);
        ASSERT_TRUE(expected.ok);
        ID3DXBuffer *materials = nullptr;
        DWORD count = 0;
        ID3DXMesh *mesh = nullptr;
        ASSERT_EQ(D3DXLoadMeshFromX(MediaPath(name).c_str(), 0, m_device, nullptr, &materials,
                                    &count, &mesh),
                  S_OK);
        EXPECT_EQ(mesh->GetOptions() & D3DXMESH_32BIT, 0u);
        EXPECT_EQ(mesh->GetNumFaces(), expected.data.FaceCount());
        EXPECT_EQ(mesh->GetNumVertices(), expected.positions.size());
        EXPECT_EQ((mesh->GetFVF() & D3DFVF_NORMAL) != 0, expected.data.hasNormals);
        EXPECT_EQ(count, expected.materials.size());
        DWORD ranges = 0;
        EXPECT_EQ(mesh->GetAttributeTable(nullptr, &ranges), S_OK);
        EXPECT_EQ(ranges, count);
        const auto *list = static_cast<const D3DXMATERIAL *>(materials->GetBufferPointer());
        for (DWORD i = 0; i < count && i < expected.materials.size(); ++i) {
            const bool named = list[i].pTextureFilename && *list[i].pTextureFilename;
            EXPECT_EQ(named, expected.materials[i].hasTexture) << "material " << i;
            if (named) {
                EXPECT_EQ(std::string(list[i].pTextureFilename),
                          expected.materials[i].textureFilename);
                textures.insert(list[i].pTextureFilename);
            }
            EXPECT_FLOAT_EQ(list[i].MatD3D.Emissive.r, expected.materials[i].emissive.r);
        }
        materials->Release();
        mesh->Release();
    }
    EXPECT_EQ(textures.size(), 31u);
    for (const auto &name : textures) {
        SCOPED_TRACE(name);
        IDirect3DTexture8 *texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileA(m_device, MediaPath(name).c_str(), &texture), S_OK);
        Picture picture = LoadPicture(name);
        D3DSURFACE_DESC desc{};
        EXPECT_EQ(texture->GetLevelDesc(0, &desc), S_OK);
        EXPECT_EQ(desc.Width, picture.width);
        EXPECT_EQ(desc.Height, picture.height);
        EXPECT_EQ(texture->GetLevelCount(), picture.image.levels); // the full chain
        texture->Release();
    }
}

TEST_F(MediaOnDevice, FontAndCubeMapLoadAsTheirClassesAskForThem) {
    IDirect3DTexture8 *font = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(m_device, MediaPath("font.png").c_str(), D3DX_DEFAULT,
                                           D3DX_DEFAULT, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                           D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &font),
              S_OK);
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(font->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Width, 256u);
    EXPECT_EQ(desc.Height, 256u);
    EXPECT_EQ(font->GetLevelCount(), 1u);
    font->Release();

    IDirect3DCubeTexture8 *cube = nullptr;
    ASSERT_EQ(D3DXCreateCubeTextureFromFileA(m_device, MediaPath("cubemap.dds").c_str(), &cube),
              S_OK);
    EXPECT_EQ(cube->GetLevelCount(), 8u);
    EXPECT_EQ(cube->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Width, 128u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    cube->Release();
}
