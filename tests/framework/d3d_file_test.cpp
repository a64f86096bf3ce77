// The mesh-file classes over a headless device: a multi-frame X file loads into the frame tree
// (second-read frame first, names found without regard to case), draws an opaque and an alpha
// pass, and malformed trees fail as the loader promises.
#include "framework/d3d_file.h"
#include "tests/platform/d3dx/device_fixture.h"

#include <algorithm>

namespace {

using pipeline_test::Near;
using pipeline_test::Rgb;

std::string Quad(const char *name, float z, const char *material) {
    const std::string zs = std::to_string(z);
    return std::string(" Mesh ") + name + " {\n 4;\n -2.0;-2.0;" + zs + ";, -2.0;2.0;" + zs +
           ";, 2.0;2.0;" + zs + ";, 2.0;-2.0;" + zs +
           ";;\n 2;\n 3;0,1,2;, 3;0,2,3;;\n"
           " MeshNormals { 1; 0.0;0.0;-1.0;; 2; 3;0,0,0;, 3;0,0,0;; }\n"
           " MeshMaterialList { 1; 2; 0, 0;; " +
           material + " }\n }\n";
}

// Red opaque quad at z 6 moved left; a half-transparent blue quad at z 5, one frame deeper,
// moved right: they overlap in the middle of the picture.
std::string SceneFile() {
    return std::string("xof 0303txt 0032\n") + "Frame Red {\n FrameTransformMatrix { " +
           "1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, -1.5,0.0,0.0,1.0;; }\n" +
           Quad("RedQuad", 6.0f,
                "Material { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 1.0;0.0;0.0;; }") +
           "}\n" + "Frame Glass {\n FrameTransformMatrix { " +
           "1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 1.5,0.0,0.0,1.0;; }\n" +
           " Frame Inner {\n" +
           Quad("BlueQuad", 5.0f,
                "Material { 0.0;0.0;1.0;0.5;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;1.0;; }") +
           " }\n}\n";
}

class FrameFileTest : public d3dx_test::DeviceTest {};

bool CountMesh(CD3DMesh *, void *context) {
    ++*static_cast<int *>(context);
    return true;
}

TEST_F(FrameFileTest, TwoTopLevelFramesBuildTheTreeAndDrawOpaqueThenAlpha) {
    const std::string file = WriteText("scene.x", SceneFile());
    CD3DFrameFile scene;
    ASSERT_EQ(scene.CreateFromFile(m_device, file.c_str()), S_OK);
    ASSERT_NE(scene.m_pChild, nullptr);
    EXPECT_STREQ(scene.m_pChild->m_strName, "Glass") << "the second-read frame comes first";
    ASSERT_NE(scene.m_pChild->m_pNext, nullptr);
    EXPECT_STREQ(scene.m_pChild->m_pNext->m_strName, "Red");
    EXPECT_FLOAT_EQ(scene.m_pChild->m_mat._41, 1.5f);
    CD3DFrame *inner = scene.FindFrame("iNNER");
    ASSERT_NE(inner, nullptr);
    EXPECT_STREQ(inner->m_strName, "Inner");
    CD3DMesh *blue = scene.FindMesh("bluequad");
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(blue, inner->m_pMesh);
    EXPECT_EQ(scene.FindMesh("nothing"), nullptr);
    ASSERT_EQ(blue->m_dwNumMaterials, 1u);
    EXPECT_FLOAT_EQ(blue->m_pMaterials[0].Ambient.b, 1.0f) << "ambient copied from diffuse";
    int meshes = 0;
    EXPECT_TRUE(scene.EnumMeshes(CountMesh, &meshes));
    EXPECT_EQ(meshes, 2);

    EXPECT_EQ(blue->Render(m_device), E_FAIL) << "no device mesh yet";
    ASSERT_EQ(scene.CreateDeviceMeshes(m_device), S_OK);
    ASSERT_NE(blue->m_pLocalMesh, nullptr);

    LookAlongZ();
    Begin();
    m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    // No textures: alpha comes from the lit diffuse (the material's alpha).
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    seams::StartDeviceCallLog();
    ASSERT_EQ(scene.Render(m_device), S_OK);
    End("framework-frame-file");
    const std::vector<std::string> calls = seams::DeviceCallTexts();
    EXPECT_EQ(std::count_if(
                  calls.begin(), calls.end(),
                  [](const std::string &c) { return c.rfind("DrawIndexedPrimitive(", 0) == 0; }),
              2)
        << "each subset drawn once: the red one opaque, the blue one in the alpha pass";
    DWORD blend = TRUE;
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, static_cast<DWORD>(FALSE));
    D3DMATRIX world{};
    m_device->GetTransform(D3DTS_WORLD, &world);
    EXPECT_FLOAT_EQ(world._41, 0.0f) << "the world transform is put back";

    EXPECT_TRUE(Near(At(4, 32), Rgb{0, 0, 0}, 4));
    EXPECT_TRUE(Near(At(20, 32), Rgb{255, 0, 0}, 8)) << "red alone";
    EXPECT_TRUE(Near(At(45, 32), Rgb{0, 0, 128}, 8)) << "half blue over black";
    EXPECT_TRUE(Near(At(31, 32), Rgb{128, 0, 128}, 8)) << "half blue over red";

    scene.ReleaseDeviceMeshes();
    EXPECT_EQ(blue->m_pLocalMesh, nullptr);
    scene.Destroy();
    EXPECT_EQ(scene.m_pChild, nullptr);
}

TEST_F(FrameFileTest, OpaqueAndAlphaPassesPickSubsetsByMaterialAlpha) {
    const std::string file = WriteText(
        "two.x",
        "xof 0303txt 0032\nMesh Pair {\n 6;\n 0;0;5;, 0;1;5;, 1;1;5;, 2;0;5;, 2;1;5;, 3;1;5;;\n"
        " 2; 3;0,1,2;, 3;3,4,5;;\n MeshMaterialList { 2; 2; 0, 1;;\n"
        "  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n"
        "  Material { 1.0;1.0;1.0;0.5;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n }\n}\n");
    CD3DMesh mesh("pair");
    ASSERT_EQ(mesh.CreateFromFile(m_device, file.c_str()), S_OK);
    ASSERT_EQ(mesh.m_dwNumMaterials, 2u);
    ASSERT_EQ(mesh.CreateDeviceMesh(m_device), S_OK);
    auto drawsOf = [&](bool opaque, bool alpha) {
        seams::StartDeviceCallLog();
        EXPECT_EQ(mesh.Render(m_device, opaque, alpha), S_OK);
        std::vector<std::string> draws;
        for (const std::string &call : seams::DeviceCallTexts())
            if (call.rfind("DrawIndexedPrimitive(", 0) == 0)
                draws.push_back(call);
        seams::StopDeviceCallLog();
        return draws;
    };
    const std::vector<std::string> opaque = drawsOf(true, false);
    const std::vector<std::string> alpha = drawsOf(false, true);
    ASSERT_EQ(opaque.size(), 1u);
    ASSERT_EQ(alpha.size(), 1u);
    EXPECT_NE(opaque[0], alpha[0]) << "different subsets";
    mesh.m_bUseMaterials = FALSE;
    EXPECT_EQ(drawsOf(true, true).size(), 2u) << "without materials the opaque pass draws all";

    // A new vertex format for both copies, with normals computed.
    ASSERT_EQ(mesh.SetVertexFormat(m_device, D3DFVF_XYZ | D3DFVF_NORMAL), S_OK);
    EXPECT_EQ(mesh.m_pSysMemMesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
    EXPECT_EQ(mesh.m_pLocalMesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
    mesh.Destroy();
    EXPECT_EQ(mesh.m_dwNumMaterials, 0u);
    EXPECT_EQ(mesh.m_pSysMemMesh, nullptr);
}

TEST_F(FrameFileTest, SecondMeshInAFrameFailsTheFileAndMissingFilesFail) {
    const std::string file = WriteText(
        "double.x",
        "xof 0303txt 0032\nFrame Twice {\n" +
            Quad("One", 5.0f, "Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }") +
            Quad("Two", 5.0f, "Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }") +
            "}\n");
    CD3DFrameFile scene;
    EXPECT_EQ(scene.CreateFromFile(m_device, file.c_str()), E_FAIL);
    ASSERT_NE(scene.m_pChild, nullptr);
    ASSERT_NE(scene.m_pChild->m_pMesh, nullptr);
    EXPECT_STREQ(scene.m_pChild->m_pMesh->m_strName, "One");
    scene.Destroy();

    CD3DFrameFile missing;
    EXPECT_LT(missing.CreateFromFile(m_device, Path("absent.x").c_str()), 0);
    EXPECT_EQ(missing.m_pChild, nullptr);
    CD3DMesh mesh;
    EXPECT_LT(mesh.CreateFromFile(m_device, Path("absent.x").c_str()), 0);
    EXPECT_EQ(mesh.m_pSysMemMesh, nullptr);
    EXPECT_EQ(mesh.CreateDeviceMesh(m_device), E_FAIL);
}

TEST_F(FrameFileTest, LongFrameAndMeshNamesAreCutTo511Characters) {
    const std::string frameName(600, 'F');
    const std::string meshName = std::string(511, 'm') + "tail";
    const std::string file = WriteText(
        "long.x", "xof 0303txt 0032\nFrame " + frameName + " {\n" +
                      Quad(meshName.c_str(), 5.0f,
                           "Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }") +
                      "}\n");
    CD3DFrameFile scene;
    ASSERT_EQ(scene.CreateFromFile(m_device, file.c_str()), S_OK);
    ASSERT_NE(scene.m_pChild, nullptr);
    EXPECT_EQ(std::string(scene.m_pChild->m_strName), frameName.substr(0, 511));
    ASSERT_NE(scene.m_pChild->m_pMesh, nullptr);
    EXPECT_EQ(std::string(scene.m_pChild->m_pMesh->m_strName), std::string(511, 'm'));
    scene.Destroy();
}

TEST_F(FrameFileTest, MaterialTexturesLoadAndMissingOnesLeaveEmptySlots) {
    WritePng("skin.png", Picture(2, 2, [](int, int) { return 0xFF336699u; }));
    const std::string file = WriteText(
        "skinned.x",
        "xof 0303txt 0032\nMesh Skinned {\n 3;\n 0;0;5;, 0;1;5;, 1;1;5;;\n 2; 3;0,1,2;, 3;0,2,1;;\n"
        " MeshTextureCoords { 3; 0;0;, 0;1;, 1;1;; }\n MeshMaterialList { 2; 2; 0, 1;;\n"
        "  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { \"" +
            Path("skin.png") +
            "\"; } }\n"
            "  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "
            "\"gone.png\"; } }\n }\n}\n");
    CD3DMesh mesh;
    ASSERT_EQ(mesh.CreateFromFile(m_device, file.c_str()), S_OK);
    ASSERT_EQ(mesh.m_dwNumMaterials, 2u);
    ASSERT_NE(mesh.m_pTextures[0], nullptr);
    D3DSURFACE_DESC desc{};
    mesh.m_pTextures[0]->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 2u);
    EXPECT_EQ(mesh.m_pTextures[1], nullptr);
    mesh.Destroy();
}

} // namespace
