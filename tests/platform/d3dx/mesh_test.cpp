// Device meshes from X files: counts, layout, materials and texture names, attribute table,
// DrawSubset's bindings and pixels, system-memory clones drawn by hand, optimisation, normals,
// adjacency, and failures that leave every out-pointer empty.
#include "tests/platform/d3dx/device_fixture.h"

#include <cstring>

namespace {

using d3dx_test::DeviceTest;
using pipeline_test::Near;
using pipeline_test::Rgb;

// A quad in front of the camera (z = 5) split down the middle into two subsets: the left
// triangle pair has material 0 (with a texture name), the right pair material 1.
const char *kTwoSubsetQuad = R"(xof 0303txt 0032
Mesh Halves {
 6;
 -4.0;-4.0;5.0;, -4.0;4.0;5.0;, 0.0;4.0;5.0;, 0.0;-4.0;5.0;, 4.0;4.0;5.0;, 4.0;-4.0;5.0;;
 4;
 3;0,1,2;, 3;3,2,4;, 3;0,2,3;, 3;3,4,5;;
 MeshNormals { 1; 0.0;0.0;-1.0;; 4; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;, 3;0,0,0;; }
 MeshTextureCoords { 6; 0.0;1.0;, 0.0;0.0;, 0.5;0.0;, 0.5;1.0;, 1.0;0.0;, 1.0;1.0;; }
 MeshMaterialList {
  2; 4; 0, 1, 0, 1;;
  Material { 1.0;0.0;0.0;1.0;; 8.0; 0.5;0.5;0.5;; 0.25;0.0;0.0;; TextureFilename { "hull.png"; } }
  Material { 0.0;1.0;0.0;0.5;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
 }
}
)";

D3DMATERIAL8 Emissive(float r, float g, float b) {
    D3DMATERIAL8 m{};
    m.Emissive = {r, g, b, 1};
    m.Diffuse = {0, 0, 0, 1};
    return m;
}

class MeshTest : public DeviceTest {
protected:
    ID3DXMesh *Load(const char *text, DWORD options = 0, ID3DXBuffer **materials = nullptr,
                    DWORD *count = nullptr, ID3DXBuffer **adjacency = nullptr) {
        const std::string file = WriteText("mesh.x", text);
        ID3DXMesh *mesh = nullptr;
        EXPECT_EQ(
            D3DXLoadMeshFromX(file.c_str(), options, m_device, adjacency, materials, count, &mesh),
            S_OK);
        return mesh;
    }

    // Draws both subsets lit only by their emissive colours: left red, right green.
    void DrawHalves(ID3DXMesh *mesh, const std::string &frame) {
        LookAlongZ();
        Begin();
        m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        D3DMATERIAL8 red = Emissive(1, 0, 0), green = Emissive(0, 1, 0);
        m_device->SetMaterial(&red);
        ASSERT_EQ(mesh->DrawSubset(0), S_OK);
        m_device->SetMaterial(&green);
        ASSERT_EQ(mesh->DrawSubset(1), S_OK);
        EXPECT_EQ(mesh->DrawSubset(7), S_OK) << "a subset that does not exist draws nothing";
        End(frame);
    }
};

TEST_F(MeshTest, LoadGivesCountsLayoutMaterialsAndSubsets) {
    ID3DXBuffer *materials = nullptr;
    DWORD count = 0;
    ID3DXMesh *mesh = Load(kTwoSubsetQuad, 0, &materials, &count);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumFaces(), 4u);
    EXPECT_EQ(mesh->GetNumVertices(), 6u);
    EXPECT_EQ(mesh->GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);

    ASSERT_EQ(count, 2u);
    ASSERT_NE(materials, nullptr);
    const auto *records = static_cast<const D3DXMATERIAL *>(materials->GetBufferPointer());
    EXPECT_FLOAT_EQ(records[0].MatD3D.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(records[0].MatD3D.Power, 8.0f);
    EXPECT_FLOAT_EQ(records[0].MatD3D.Specular.g, 0.5f);
    EXPECT_FLOAT_EQ(records[0].MatD3D.Emissive.r, 0.25f);
    EXPECT_FLOAT_EQ(records[0].MatD3D.Ambient.r, 0.0f) << "the file has no ambient colour";
    ASSERT_NE(records[0].pTextureFilename, nullptr);
    EXPECT_STREQ(records[0].pTextureFilename, "hull.png");
    EXPECT_FLOAT_EQ(records[1].MatD3D.Diffuse.a, 0.5f);
    EXPECT_EQ(records[1].pTextureFilename, nullptr);
    materials->Release();

    DWORD entries = 0;
    ASSERT_EQ(mesh->GetAttributeTable(nullptr, &entries), S_OK);
    ASSERT_EQ(entries, 2u);
    D3DXATTRIBUTERANGE table[2]{};
    ASSERT_EQ(mesh->GetAttributeTable(table, &entries), S_OK);
    EXPECT_EQ(table[0].AttribId, 0u);
    EXPECT_EQ(table[0].FaceCount, 2u);
    EXPECT_EQ(table[1].AttribId, 1u);
    EXPECT_EQ(table[1].FaceStart, 2u);
    EXPECT_EQ(table[1].FaceCount, 2u);

    // Buffers come with a reference of their own; 16-bit indices, 32-byte vertices.
    IDirect3DVertexBuffer8 *vb = nullptr;
    IDirect3DIndexBuffer8 *ib = nullptr;
    ASSERT_EQ(mesh->GetVertexBuffer(&vb), S_OK);
    ASSERT_EQ(mesh->GetIndexBuffer(&ib), S_OK);
    D3DVERTEXBUFFER_DESC vdesc{};
    D3DINDEXBUFFER_DESC idesc{};
    vb->GetDesc(&vdesc);
    ib->GetDesc(&idesc);
    EXPECT_EQ(vdesc.Size, 6u * 32u);
    EXPECT_EQ(idesc.Format, D3DFMT_INDEX16);
    EXPECT_EQ(idesc.Size, 12u * 2u);
    EXPECT_EQ(vb->Release(), 1u);
    EXPECT_EQ(ib->Release(), 1u);

    BYTE *vertices = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices), S_OK);
    float first[8];
    std::memcpy(first, vertices, sizeof first);
    mesh->UnlockVertexBuffer();
    EXPECT_FLOAT_EQ(first[5], -1.0f) << "normal z";
    EXPECT_EQ(mesh->Release(), 0u);
}

TEST_F(MeshTest, DrawSubsetBindsItsBuffersAndDrawsOnlyThatSubset) {
    ID3DXMesh *mesh = Load(kTwoSubsetQuad);
    ASSERT_NE(mesh, nullptr);
    seams::StartDeviceCallLog();
    DrawHalves(mesh, "d3dx-mesh-subsets");
    const std::vector<std::string> calls = seams::DeviceCallTexts();
    int draws = 0;
    bool boundFvf = false;
    for (const std::string &call : calls) {
        draws += call.rfind("DrawIndexedPrimitive(", 0) == 0;
        boundFvf |= call == "SetVertexShader(274)"; // XYZ | NORMAL | TEX1
    }
    EXPECT_EQ(draws, 2);
    EXPECT_TRUE(boundFvf);
    EXPECT_TRUE(Near(At(16, 32), Rgb{255, 0, 0}, 8)) << "left half is subset 0";
    EXPECT_TRUE(Near(At(48, 32), Rgb{0, 255, 0}, 8)) << "right half is subset 1";
    mesh->Release();
}

TEST_F(MeshTest, SystemMemoryCloneWithPositionAndNormalDrawsByHand) {
    ID3DXMesh *mesh = Load(kTwoSubsetQuad);
    ASSERT_NE(mesh, nullptr);
    ID3DXMesh *clone = nullptr;
    ASSERT_EQ(mesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, D3DFVF_XYZ | D3DFVF_NORMAL, m_device, &clone),
              S_OK);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetFVF(), 0x12u);
    EXPECT_EQ(clone->GetNumVertices(), mesh->GetNumVertices());
    EXPECT_EQ(clone->GetNumFaces(), mesh->GetNumFaces());
    mesh->Release();

    IDirect3DVertexBuffer8 *vb = nullptr;
    IDirect3DIndexBuffer8 *ib = nullptr;
    ASSERT_EQ(clone->GetVertexBuffer(&vb), S_OK);
    ASSERT_EQ(clone->GetIndexBuffer(&ib), S_OK);
    D3DVERTEXBUFFER_DESC desc{};
    vb->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 6u * 24u);
    EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
    BYTE *data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_READONLY), S_OK);
    float vertex[6];
    std::memcpy(vertex, data + 24 * 4, sizeof vertex); // vertex 4: (4, 4, 5), normal (0, 0, -1)
    vb->Unlock();
    EXPECT_FLOAT_EQ(vertex[0], 4.0f);
    EXPECT_FLOAT_EQ(vertex[2], 5.0f);
    EXPECT_FLOAT_EQ(vertex[5], -1.0f);

    LookAlongZ();
    Begin();
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DMATERIAL8 blue = Emissive(0, 0, 1);
    m_device->SetMaterial(&blue);
    m_device->SetVertexShader(clone->GetFVF());
    m_device->SetStreamSource(0, vb, 24);
    m_device->SetIndices(ib, 0);
    ASSERT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, clone->GetNumVertices(), 0,
                                             clone->GetNumFaces()),
              S_OK);
    End("d3dx-mesh-clone");
    EXPECT_TRUE(Near(At(16, 32), Rgb{0, 0, 255}, 8));
    EXPECT_TRUE(Near(At(48, 32), Rgb{0, 0, 255}, 8));
    vb->Release();
    ib->Release();
    clone->Release();
}

TEST_F(MeshTest, OptimizeSortsByAttributeCompactsAndRemapsAdjacency) {
    ID3DXBuffer *adjacency = nullptr;
    // Vertex 6 is on no face: compaction drops it.
    std::string text = kTwoSubsetQuad;
    text.replace(text.find(" 6;\n"), 4, " 7;\n");
    text.replace(text.find("5.0;;\n 4;"), 9, "5.0;, 9.0;9.0;9.0;;\n 4;");
    text.replace(text.find("MeshNormals"), text.find("MeshMaterialList") - text.find("MeshNormals"),
                 "");
    ID3DXMesh *mesh = Load(text.c_str(), D3DXMESH_SYSTEMMEM, nullptr, nullptr, &adjacency);
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(adjacency, nullptr);
    EXPECT_EQ(mesh->GetNumVertices(), 7u);
    ASSERT_EQ(adjacency->GetBufferSize(), 4u * 3u * sizeof(DWORD));
    const DWORD *before = static_cast<const DWORD *>(adjacency->GetBufferPointer());

    DWORD *attributes = nullptr;
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributes), S_OK);
    // Interleave the subsets: faces 0..3 get attributes 1, 0, 1, 0.
    attributes[0] = 1;
    attributes[1] = 0;
    attributes[2] = 1;
    attributes[3] = 0;
    mesh->UnlockAttributeBuffer();
    DWORD entries = 0;
    mesh->GetAttributeTable(nullptr, &entries);
    EXPECT_EQ(entries, 4u) << "unsorted faces make one run each";

    DWORD after[12];
    DWORD faceRemap[4];
    ID3DXBuffer *vertexRemap = nullptr;
    ASSERT_EQ(
        mesh->OptimizeInplace(D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE,
                              before, after, faceRemap, &vertexRemap),
        S_OK);
    mesh->GetAttributeTable(nullptr, &entries);
    EXPECT_EQ(entries, 2u);
    EXPECT_EQ(mesh->GetNumVertices(), 6u);
    EXPECT_EQ(mesh->GetNumFaces(), 4u);
    EXPECT_EQ(faceRemap[0], 1u);
    EXPECT_EQ(faceRemap[1], 3u);
    EXPECT_EQ(faceRemap[2], 0u);
    EXPECT_EQ(faceRemap[3], 2u);
    ASSERT_NE(vertexRemap, nullptr);
    EXPECT_EQ(vertexRemap->GetBufferSize(), 6u * sizeof(DWORD));
    // Adjacency follows the faces: new face i's neighbours are the old neighbours renumbered.
    const DWORD newOf[4] = {2, 0, 3, 1};
    for (int face = 0; face < 4; ++face)
        for (int edge = 0; edge < 3; ++edge) {
            const DWORD old = before[faceRemap[face] * 3 + edge];
            EXPECT_EQ(after[face * 3 + edge], old == 0xFFFFFFFF ? old : newOf[old]);
        }
    // Loading sorted the faces by material: faces 0 (0,1,2) and 1 (0,2,3) share the edge 0-2.
    EXPECT_EQ(before[0 * 3 + 2], 1u);
    vertexRemap->Release();
    adjacency->Release();
    mesh->Release();
}

TEST_F(MeshTest, ComputeNormalsFacesTheCameraAndLayoutsWithoutNormalsAreRefused) {
    ID3DXMesh *mesh = Load(kTwoSubsetQuad);
    ASSERT_NE(mesh, nullptr);
    BYTE *data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &data), S_OK);
    for (int i = 0; i < 6; ++i)
        std::memset(data + i * 32 + 12, 0, 12);
    mesh->UnlockVertexBuffer();
    ASSERT_EQ(D3DXComputeNormals(mesh, nullptr), S_OK);
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), S_OK);
    for (int i = 0; i < 6; ++i) {
        float normal[3];
        std::memcpy(normal, data + i * 32 + 12, sizeof normal);
        EXPECT_NEAR(normal[2], -1.0f, 1e-5) << "vertex " << i;
    }
    mesh->UnlockVertexBuffer();
    ID3DXMesh *positions = nullptr;
    ASSERT_EQ(mesh->CloneMeshFVF(0, D3DFVF_XYZ, m_device, &positions), S_OK);
    EXPECT_LT(D3DXComputeNormals(positions, nullptr), 0);
    positions->Release();
    mesh->Release();
}

TEST_F(MeshTest, FailuresLeaveEveryOutputEmpty) {
    ID3DXBuffer *materials = reinterpret_cast<ID3DXBuffer *>(0x1);
    ID3DXBuffer *adjacency = reinterpret_cast<ID3DXBuffer *>(0x1);
    DWORD count = 9;
    ID3DXMesh *mesh = reinterpret_cast<ID3DXMesh *>(0x1);
    EXPECT_LT(D3DXLoadMeshFromX(Path("none.x").c_str(), 0, m_device, &adjacency, &materials, &count,
                                &mesh),
              0);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(materials, nullptr);
    EXPECT_EQ(adjacency, nullptr);
    EXPECT_EQ(count, 0u);
    mesh = reinterpret_cast<ID3DXMesh *>(0x1);
    EXPECT_LT(D3DXLoadMeshFromX(nullptr, 0, m_device, nullptr, nullptr, nullptr, &mesh), 0);
    EXPECT_EQ(mesh, nullptr);
    const std::string broken = WriteText("broken.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;,");
    mesh = reinterpret_cast<ID3DXMesh *>(0x1);
    EXPECT_LT(D3DXLoadMeshFromX(broken.c_str(), 0, m_device, nullptr, nullptr, nullptr, &mesh), 0);
    EXPECT_EQ(mesh, nullptr);
    // A face naming a vertex that is not there.
    const std::string outOfRange = WriteText(
        "range.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,7;; }\n");
    mesh = reinterpret_cast<ID3DXMesh *>(0x1);
    EXPECT_LT(D3DXLoadMeshFromX(outOfRange.c_str(), 0, m_device, nullptr, nullptr, nullptr, &mesh),
              0);
    EXPECT_EQ(mesh, nullptr);
}

TEST_F(MeshTest, IndexWidthFollowsTheOptionsAndSixteenBitsRefuseLargeMeshes) {
    ID3DXMesh *mesh = Load(kTwoSubsetQuad, D3DXMESH_32BIT | D3DXMESH_MANAGED);
    ASSERT_NE(mesh, nullptr);
    IDirect3DIndexBuffer8 *ib = nullptr;
    mesh->GetIndexBuffer(&ib);
    D3DINDEXBUFFER_DESC desc{};
    ib->GetDesc(&desc);
    EXPECT_EQ(desc.Format, D3DFMT_INDEX32);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(desc.Size, 12u * 4u);
    ib->Release();
    mesh->Release();

    // 65 536 vertices cannot be named by 16-bit indices.
    const int count = 65536;
    std::string text = "xof 0303txt 0032\nMesh Big {\n" + std::to_string(count) + ";\n";
    for (int i = 0; i < count; ++i)
        text += std::to_string(i % 7) + ";" + std::to_string(i / 7) + ";1;" +
                (i + 1 < count ? ",\n" : ";\n");
    text += "1;\n3;0,1," + std::to_string(count - 1) + ";;\n}\n";
    const std::string file = WriteText("big.x", text);
    mesh = reinterpret_cast<ID3DXMesh *>(0x1);
    EXPECT_LT(D3DXLoadMeshFromX(file.c_str(), 0, m_device, nullptr, nullptr, nullptr, &mesh), 0);
    EXPECT_EQ(mesh, nullptr);
    ASSERT_EQ(
        D3DXLoadMeshFromX(file.c_str(), D3DXMESH_32BIT, m_device, nullptr, nullptr, nullptr, &mesh),
        S_OK);
    EXPECT_EQ(mesh->GetNumVertices(), static_cast<DWORD>(count));
    mesh->Release();
}

TEST_F(MeshTest, FileWithoutMaterialsHasOneWhiteMaterialAndNoCountIsNeeded) {
    ID3DXBuffer *materials = nullptr;
    const std::string file = WriteText(
        "plain.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n");
    ID3DXMesh *mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromX(file.c_str(), 0, m_device, nullptr, &materials, nullptr, &mesh),
              S_OK);
    ASSERT_NE(materials, nullptr);
    ASSERT_EQ(materials->GetBufferSize(), sizeof(D3DXMATERIAL));
    const auto *record = static_cast<const D3DXMATERIAL *>(materials->GetBufferPointer());
    EXPECT_FLOAT_EQ(record->MatD3D.Diffuse.g, 1.0f);
    EXPECT_EQ(record->pTextureFilename, nullptr);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ));
    materials->Release();
    mesh->Release();
}

} // namespace
