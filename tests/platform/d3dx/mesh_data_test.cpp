// Mesh data built from X files: vertex splitting by normal, fans, subsets in material order,
// materials and texture names, the second texture set, frame flattening and refusals.
#include "platform/d3dx/mesh_data.h"

#include "binary_xfile.h"
#include "fixture_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using namespace testing_xfile;
using xfile::MeshData;

bool Build(const std::vector<std::uint8_t> &bytes, MeshData &mesh, std::string &error) {
    xfile::Document doc;
    return xfile::ParseXFile(bytes, doc, error) &&
           xfile::BuildMeshDataFromDocument(doc, mesh, error);
}

MeshData BuildOk(const std::vector<std::uint8_t> &bytes) {
    MeshData mesh;
    std::string error;
    EXPECT_TRUE(Build(bytes, mesh, error)) << error;
    return mesh;
}

bool Same(const D3DVECTOR &a, const D3DVECTOR &b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

const char *kQuadHead = R"(xof 0303txt 0032
Mesh {
 4;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
 2;
 3;0,1,2;, 3;0,2,3;;
)";

TEST(MeshData, UnitQuadKeepsItsVerticesAndOneSubset) {
    const MeshData mesh = BuildOk(ReadFixture("xfile/quad.x"));
    ASSERT_EQ(mesh.vertices.size(), 4u);
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(mesh.FaceCount(), 2u);
    EXPECT_TRUE(mesh.hasNormals && mesh.hasTexCoords);
    EXPECT_FALSE(mesh.hasColors || mesh.hasTexCoords1);
    EXPECT_TRUE(Same(mesh.vertices[2].position, {0.5f, -0.5f, 0}));
    EXPECT_TRUE(Same(mesh.vertices[2].normal, {0, 0, -1}));
    EXPECT_EQ(mesh.vertices[2].u, 1.0f);
    EXPECT_EQ(mesh.vertices[2].v, 1.0f);
    EXPECT_EQ(mesh.vertices[2].color, 0xFFFFFFFFu);

    ASSERT_EQ(mesh.materials.size(), 1u);
    const xfile::MeshMaterial &m = mesh.materials[0];
    EXPECT_EQ(m.diffuse.r, 1.0f);
    EXPECT_EQ(m.diffuse.a, 1.0f);
    EXPECT_EQ(m.emissive.g, 0.25f);
    EXPECT_EQ(m.ambient.r, 0.0f); // no ambient in the file
    EXPECT_TRUE(m.hasTexture);
    EXPECT_EQ(m.textureFilename, "caption.png");

    ASSERT_EQ(mesh.subsets.size(), 1u);
    EXPECT_EQ(mesh.subsets[0].faceStart, 0u);
    EXPECT_EQ(mesh.subsets[0].faceCount, 2u);
    EXPECT_EQ(mesh.subsets[0].vertexStart, 0u);
    EXPECT_EQ(mesh.subsets[0].vertexCount, 4u);
}

TEST(MeshData, TextAndBinaryEncodingsGiveTheSameMesh) {
    const MeshData text = BuildOk(ReadFixture("xfile/quad.x"));
    BinaryXFile f;
    f.Open("Mesh", "unitQuad").Integers({4});
    f.Floats({-0.5f, 0.5f, 0, 0.5f, 0.5f, 0, 0.5f, -0.5f, 0, -0.5f, -0.5f, 0});
    f.Integers({2, 3, 0, 1, 2, 3, 0, 2, 3});
    f.Open("MeshNormals").Integers({4}).Floats({0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1});
    f.Integers({2, 3, 0, 1, 2, 3, 0, 2, 3}).Close();
    f.Open("MeshTextureCoords").Integers({4}).Floats({0, 0, 1, 0, 1, 1, 0, 1}).Close();
    f.Open("MeshMaterialList").Integers({1, 2, 0, 0});
    f.Open("Material").Floats({1, 1, 1, 1, 0, 0, 0, 0, 0.25f, 0.25f, 0.25f});
    f.Open("TextureFilename").String("caption.png").Close();
    f.Close().Close().Close();
    const MeshData binary = BuildOk(f.Bytes());

    ASSERT_EQ(binary.vertices.size(), text.vertices.size());
    EXPECT_EQ(std::memcmp(binary.vertices.data(), text.vertices.data(),
                          text.vertices.size() * sizeof(xfile::MeshVertex)),
              0);
    EXPECT_EQ(binary.indices, text.indices);
    EXPECT_EQ(binary.attributes, text.attributes);
    ASSERT_EQ(binary.materials.size(), 1u);
    EXPECT_EQ(binary.materials[0].textureFilename, text.materials[0].textureFilename);
    EXPECT_EQ(binary.materials[0].emissive.b, text.materials[0].emissive.b);
}

TEST(MeshData, BoxSplitsVerticesByNormalAndGroupsFacesByMaterial) {
    const MeshData mesh = BuildOk(ReadFixture("xfile/box.x"));
    // Eight corners, each on three faces with three different normals.
    EXPECT_EQ(mesh.vertices.size(), 24u);
    ASSERT_EQ(mesh.FaceCount(), 12u);

    // Every triangle's corners carry the face's normal, and the winding agrees with it
    // (clockwise seen from outside in left-handed axes, so the right-handed cross product of the
    // edges points outward).
    for (std::uint32_t t = 0; t < mesh.FaceCount(); ++t) {
        const auto &a = mesh.vertices[mesh.indices[3 * t]];
        const auto &b = mesh.vertices[mesh.indices[3 * t + 1]];
        const auto &c = mesh.vertices[mesh.indices[3 * t + 2]];
        EXPECT_TRUE(Same(a.normal, b.normal) && Same(a.normal, c.normal)) << "triangle " << t;
        const float e1[3] = {b.position.x - a.position.x, b.position.y - a.position.y,
                             b.position.z - a.position.z};
        const float e2[3] = {c.position.x - a.position.x, c.position.y - a.position.y,
                             c.position.z - a.position.z};
        const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
        const float dot = cross[0] * a.normal.x + cross[1] * a.normal.y + cross[2] * a.normal.z;
        EXPECT_GT(dot, 0.0f) << "triangle " << t;
    }

    // Faces 0, 1, 4 use material 0 and come first; file order is kept inside a subset.
    ASSERT_EQ(mesh.subsets.size(), 2u);
    EXPECT_EQ(mesh.subsets[0].faceStart, 0u);
    EXPECT_EQ(mesh.subsets[0].faceCount, 6u);
    EXPECT_EQ(mesh.subsets[1].faceStart, 6u);
    EXPECT_EQ(mesh.subsets[1].faceCount, 6u);
    for (std::uint32_t t = 0; t < 12; ++t)
        EXPECT_EQ(mesh.attributes[t], t < 6 ? 0u : 1u);
    // The first triangle is the front quad (0, 3, 2, 1) fanned: corners 0, 3, 2.
    EXPECT_TRUE(Same(mesh.vertices[mesh.indices[1]].position, {-1, 1, -1}));
    EXPECT_TRUE(Same(mesh.vertices[mesh.indices[2]].position, {1, 1, -1}));
    EXPECT_TRUE(Same(mesh.vertices[mesh.indices[5]].position, {1, -1, -1}));

    // Materials: the referenced one first, then the inline one.
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].diffuse.r, 1.0f);
    EXPECT_EQ(mesh.materials[0].power, 8.0f);
    EXPECT_EQ(mesh.materials[0].specular.g, 0.5f);
    EXPECT_EQ(mesh.materials[0].textureFilename, "red.png");
    EXPECT_EQ(mesh.materials[1].diffuse.a, 0.5f);
    EXPECT_EQ(mesh.materials[1].textureFilename, "textures\\\\blue.jpg");

    // Vertex colours follow their position into every split copy; unlisted ones stay white.
    ASSERT_TRUE(mesh.hasColors);
    int red = 0, blue = 0;
    for (const auto &v : mesh.vertices) {
        if (Same(v.position, {-1, -1, -1})) {
            EXPECT_EQ(v.color, 0xFFFF0000u);
            ++red;
        } else if (Same(v.position, {1, 1, 1})) {
            EXPECT_EQ(v.color, 0x800000FFu);
            ++blue;
        } else {
            EXPECT_EQ(v.color, 0xFFFFFFFFu);
        }
    }
    EXPECT_EQ(red, 3);
    EXPECT_EQ(blue, 3);
}

TEST(MeshData, NGonsFanAndFacesPastTheListKeepTheLastMaterial) {
    const MeshData mesh = BuildOk(Bytes(R"(xof 0303txt 0032
Mesh {
 5;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 2.0;1.0;0.0;, 1.0;2.0;0.0;, 0.0;1.0;0.0;;
 2;
 5;0,1,2,3,4;, 3;0,2,4;;
 MeshMaterialList {
  2; 1; 1;;
  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  Material { 0.5;0.5;0.5;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
 }
})"));
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 2, 4}));
    ASSERT_EQ(mesh.subsets.size(), 2u);
    EXPECT_EQ(mesh.subsets[0].faceCount, 0u); // a material no face uses is an empty subset
    EXPECT_EQ(mesh.subsets[1].faceCount, 4u);
    EXPECT_FALSE(mesh.hasNormals);
    // Without a material list the whole mesh is one white subset.
    const MeshData plain = BuildOk(Bytes(std::string(kQuadHead) + "}"));
    ASSERT_EQ(plain.materials.size(), 1u);
    EXPECT_EQ(plain.materials[0].diffuse.g, 1.0f);
    EXPECT_FALSE(plain.materials[0].hasTexture);
    EXPECT_EQ(plain.subsets[0].faceCount, 2u);
}

TEST(MeshData, TheFirstChildOfEachKindCounts) {
    const MeshData mesh = BuildOk(Bytes(std::string(kQuadHead) +
                                        " MeshTextureCoords { 4; 0.5;0.5;, 1.0;0.0;, 1.0;1.0;, "
                                        "0.0;1.0;; } MeshTextureCoords { 1; 9.0;9.0;; } }"));
    EXPECT_EQ(mesh.vertices[0].u, 0.5f);
}

TEST(MeshData, FvfDataAddsASecondTextureSet) {
    auto bits = [](float f) {
        std::uint32_t b;
        std::memcpy(&b, &f, 4);
        return std::to_string(b);
    };
    std::string text = std::string(kQuadHead) + " FVFData { 256; 8; ";
    const float uv[8] = {0.5f, 0.25f, 1, 0, 1, 1, 0, 1};
    for (int i = 0; i < 8; ++i)
        text += bits(uv[i]) + (i < 7 ? "," : ";");
    const MeshData mesh = BuildOk(Bytes(text + " } }"));
    ASSERT_TRUE(mesh.hasTexCoords1);
    EXPECT_EQ(mesh.vertices[0].u1, 0.5f);
    EXPECT_EQ(mesh.vertices[0].v1, 0.25f);
    EXPECT_EQ(mesh.vertices[3].v1, 1.0f);

    // Other vertex layouts are ignored; a short pair list is refused.
    EXPECT_FALSE(BuildOk(Bytes(std::string(kQuadHead) + " FVFData { 2; 1; 7; } }")).hasTexCoords1);
    MeshData bad;
    std::string error;
    EXPECT_FALSE(Build(Bytes(std::string(kQuadHead) + " FVFData { 256; 2; 1,2; } }"), bad, error));
    EXPECT_NE(error.find("FVFData"), std::string::npos);
}

TEST(MeshData, FramesAreFlattenedWithTheirTransforms) {
    const MeshData mesh = BuildOk(ReadFixture("xfile/frames.x"));
    ASSERT_EQ(mesh.vertices.size(), 6u);
    // Child scale 2, then the root's move by 10 along x.
    EXPECT_TRUE(Same(mesh.vertices[1].position, {12, 0, 0}));
    EXPECT_TRUE(Same(mesh.vertices[2].position, {10, 2, 0}));
    EXPECT_NEAR(mesh.vertices[0].normal.z, -1.0f, 1e-6f); // renormalised after the scale
    EXPECT_TRUE(Same(mesh.vertices[4].position, {1, 0, 5}));
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[1].diffuse.g, 1.0f);
    EXPECT_EQ(mesh.attributes, (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 2, 1, 3, 5, 4}));
}

TEST(MeshData, RefusesInconsistentMeshes) {
    const std::string material =
        " MeshMaterialList { 1; 2; 0,0;; Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; "
        "0.0;0.0;0.0;; } }";
    struct Case {
        const char *what;
        std::string text;
        const char *reason;
    } cases[] = {
        {"face index past the vertices",
         "xof 0303txt 0032 Mesh { 3; 0.0;0.0;0.0;,1.0;0.0;0.0;,0.0;1.0;0.0;; 1; 3;0,1,3;; }",
         "face index"},
        {"normal faces differ",
         std::string(kQuadHead) + " MeshNormals { 1; 0.0;0.0;1.0;; 1; 3;0,0,0;; } }",
         "MeshNormals"},
        {"normal index out of range",
         std::string(kQuadHead) + " MeshNormals { 1; 0.0;0.0;1.0;; 2; 3;0,0,0;, 3;0,1,0;; } }",
         "normal index"},
        {"too few texture coordinates",
         std::string(kQuadHead) + " MeshTextureCoords { 2; 0.0;0.0;, 1.0;1.0;; } }",
         "every vertex"},
        {"material index out of range",
         std::string(kQuadHead) +
             " MeshMaterialList { 1; 2; 0,1;; Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; "
             "0.0;0.0;0.0;; } } }",
         "material index"},
        {"fewer materials than named", std::string(kQuadHead) + " MeshMaterialList { 3; 1; 0;; } }",
         "fewer materials"},
        {"colour index out of range",
         std::string(kQuadHead) + " MeshVertexColors { 1; 9;1.0;1.0;1.0;1.0;;; } }",
         "colour index"},
        {"own Mesh template with another layout",
         "xof 0303txt 0032 template Mesh { <3D82AB44-62DA-11CF-AB39-0020AF71E433> DWORD n; } "
         "Mesh { 1; }",
         "layout"},
        {"no mesh at all", "xof 0303txt 0032 Frame { }", "no mesh"},
    };
    for (const Case &c : cases) {
        MeshData mesh;
        std::string error;
        EXPECT_FALSE(Build(Bytes(c.text), mesh, error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(mesh.vertices.empty()) << c.what;
    }
    // The same quad with a consistent material list is fine.
    MeshData ok;
    std::string error;
    EXPECT_TRUE(Build(Bytes(std::string(kQuadHead) + material + " }"), ok, error)) << error;
}

TEST(MeshData, DegenerateFacesAndSurplusFaceMaterialsAreRefusedWhereTheyStand) {
    MeshData mesh;
    std::string error;
    EXPECT_FALSE(Build(Bytes(R"(xof 0303txt 0032
Mesh {
 3;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;
 2;
 3;0,1,2;,
 2;0,1;;
})"),
                       mesh, error));
    EXPECT_EQ(error, "line 7: Mesh face 1 has 2 corners, fewer than a triangle");
    EXPECT_FALSE(Build(Bytes(std::string(kQuadHead) + R"( MeshMaterialList {
  1;
  3; 0,0,0;;
  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
 }
})"),
                       mesh, error));
    EXPECT_EQ(error, "line 9: MeshMaterialList gives 3 face materials for 2 faces");

    // Binary files name the byte offset of the value: face 1's corner count.
    BinaryXFile f;
    f.Open("Mesh").Integers({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
    const std::size_t faces = f.Bytes().size() + 6; // after the list's code and count
    f.Integers({2, 3, 0, 1, 2, 1, 0}).Close();
    EXPECT_FALSE(Build(f.Bytes(), mesh, error));
    EXPECT_EQ(error, "byte " + std::to_string(faces + 5 * 4) +
                         ": Mesh face 1 has 1 corners, fewer than a triangle");
}

TEST(MeshData, ObjectsOfTemplatesTheFileDeclaresOrNobodyDeclaresAreSkipped) {
    const std::string note =
        "template Note { <8A1F3C52-0D4E-4B6A-9C71-2E5B7D90A1F4> STRING text; }";
    const MeshData mesh = BuildOk(Bytes("xof 0303txt 0032 " + note + R"(
Note { "made by hand"; }
Frame {
 Note { "inside a frame"; }
)" + std::string(kQuadHead).substr(17) + R"( Note { "inside the mesh"; } }
})"));
    EXPECT_EQ(mesh.FaceCount(), 2u);

    // Undeclared, an object is passed over whatever it holds (nested objects, references, a
    // GUID, strings with braces), and so is every reference to it: the mesh beside it loads.
    const MeshData beside =
        BuildOk(Bytes(R"(xof 0303txt 0032
UnknownThing made { <11111111-2222-3333-4444-555555555555> 1; "}{"; Inner { 2.5; { made } } }
Frame { { made } { <11111111-2222-3333-4444-555555555555> } )" +
                      std::string(kQuadHead).substr(17) + " UnknownThing { } } }"));
    EXPECT_EQ(beside.FaceCount(), 2u);

    BinaryXFile f;
    f.Open("UnknownThing", "made").Integers({1, 2}).Open("Inner").Floats({2.5f}).Close().Close();
    f.Open("Mesh").Integers({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Integers({1, 3, 0, 1, 2});
    f.Reference("made").Open("UnknownThing").String("x").Close().Close();
    EXPECT_EQ(BuildOk(f.Bytes()).FaceCount(), 1u);

    // An unknown object that is never closed is still a damaged file.
    MeshData refused;
    std::string error;
    EXPECT_FALSE(Build(Bytes("xof 0303txt 0032 Note { \"made by hand\"; " +
                             std::string(kQuadHead).substr(17) + "}"),
                       refused, error));
    EXPECT_NE(error.find("unknown template"), std::string::npos) << error;
}

} // namespace
