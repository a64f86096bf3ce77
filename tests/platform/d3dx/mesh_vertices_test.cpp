// Interleaved vertex packing for device meshes and normals computed from faces.
#include "platform/d3dx/mesh_vertices.h"

#include "fixture_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace testing_xfile;

xfile::MeshData Load(const std::string &fixture) {
    xfile::Document doc;
    xfile::MeshData mesh;
    std::string error;
    EXPECT_TRUE(xfile::ParseXFile(ReadFixture(fixture), doc, error) &&
                xfile::BuildMeshDataFromDocument(doc, mesh, error))
        << error;
    return mesh;
}

template <class T> T At(const std::vector<std::uint8_t> &bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST(MeshVertices, PacksTheMeshsOwnLayoutAndNarrowerOnes) {
    const xfile::MeshData quad = Load("xfile/quad.x");
    const xfile::VertexLayout own = xfile::LayoutOf(quad);
    EXPECT_EQ(own, (xfile::VertexLayout{true, false, 1}));
    ASSERT_EQ(own.Stride(), 32u);
    const auto bytes = xfile::PackVertices(quad, own);
    ASSERT_EQ(bytes.size(), 4u * 32);
    // Vertex 2: position (0.5, -0.5, 0), normal (0, 0, -1), texture (1, 1).
    EXPECT_EQ(At<float>(bytes, 64), 0.5f);
    EXPECT_EQ(At<float>(bytes, 68), -0.5f);
    EXPECT_EQ(At<float>(bytes, 64 + 20), -1.0f);
    EXPECT_EQ(At<float>(bytes, 64 + 24), 1.0f);
    EXPECT_EQ(At<float>(bytes, 64 + 28), 1.0f);

    // Position and normal only: the 24-byte vertices of the reflection clone.
    const auto narrow = xfile::PackVertices(quad, {true, false, 0});
    ASSERT_EQ(narrow.size(), 4u * 24);
    EXPECT_EQ(At<float>(narrow, 48 + 20), -1.0f);

    // A wider layout than the mesh: white colour, set 1 repeats set 0.
    const xfile::VertexLayout wide{true, true, 2};
    const auto widened = xfile::PackVertices(quad, wide);
    ASSERT_EQ(widened.size(), 4u * 44);
    EXPECT_EQ(At<std::uint32_t>(widened, 2 * 44 + 24), 0xFFFFFFFFu);
    EXPECT_EQ(At<float>(widened, 2 * 44 + 36), 1.0f);
    EXPECT_EQ(At<float>(widened, 2 * 44 + 40), 1.0f);
}

TEST(MeshVertices, PacksColoursAndTheSecondTextureSet) {
    xfile::MeshData box = Load("xfile/box.x");
    const xfile::VertexLayout layout = xfile::LayoutOf(box);
    EXPECT_EQ(layout, (xfile::VertexLayout{true, true, 1}));
    box.hasTexCoords1 = true;
    box.vertices[0].u1 = 0.75f;
    const auto bytes = xfile::PackVertices(box, {false, true, 2});
    ASSERT_EQ(bytes.size(), box.vertices.size() * 32);
    EXPECT_EQ(At<std::uint32_t>(bytes, 12), 0xFFFF0000u); // vertex 0 is the red corner
    EXPECT_EQ(At<float>(bytes, 24), 0.75f);
}

TEST(MeshVertices, ComputedNormalsMatchTheBoxFaces) {
    const xfile::MeshData original = Load("xfile/box.x");
    xfile::MeshData computed = original;
    for (auto &v : computed.vertices)
        v.normal = {0, 0, 0};
    xfile::ComputeNormals(computed);
    ASSERT_TRUE(computed.hasNormals);
    for (std::size_t i = 0; i < original.vertices.size(); ++i) {
        EXPECT_NEAR(computed.vertices[i].normal.x, original.vertices[i].normal.x, 1e-6f) << i;
        EXPECT_NEAR(computed.vertices[i].normal.y, original.vertices[i].normal.y, 1e-6f) << i;
        EXPECT_NEAR(computed.vertices[i].normal.z, original.vertices[i].normal.z, 1e-6f) << i;
    }

    // Shared corners average their faces; an unused vertex stays zero rather than NaN.
    xfile::MeshData tent;
    tent.vertices.resize(5);
    tent.vertices[0].position = {0, 0, 0};
    tent.vertices[1].position = {0, 1, 0};
    tent.vertices[2].position = {1, 0, 0};
    tent.vertices[3].position = {0, 0, 1};
    tent.indices = {0, 1, 2, 0, 3, 1};
    xfile::ComputeNormals(tent);
    EXPECT_NEAR(tent.vertices[0].normal.x, -0.70710677f, 1e-6f);
    EXPECT_NEAR(tent.vertices[0].normal.z, -0.70710677f, 1e-6f);
    EXPECT_EQ(tent.vertices[4].normal.x, 0.0f);
    EXPECT_EQ(tent.vertices[4].normal.y, 0.0f);
}

} // namespace
