// Face adjacency across shared edges (split seams included) and removal of unused vertices.
#include "platform/d3dx/mesh_topology.h"

#include "fixture_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace testing_xfile;
using xfile::kNoNeighbour;

xfile::MeshData Load(const std::string &text) {
    xfile::Document doc;
    xfile::MeshData mesh;
    std::string error;
    EXPECT_TRUE(xfile::ParseXFile(Bytes(text), doc, error) &&
                xfile::BuildMeshDataFromDocument(doc, mesh, error))
        << error;
    return mesh;
}

TEST(MeshTopology, AdjacencyJoinsTrianglesAcrossSharedEdges) {
    const auto quad = ReadFixture("xfile/quad.x");
    const xfile::MeshData mesh = Load(std::string(quad.begin(), quad.end()));
    // Triangles (0, 1, 2) and (0, 2, 3) share the diagonal 2-0 / 0-2.
    EXPECT_EQ(
        xfile::ComputeAdjacency(mesh),
        (std::vector<std::uint32_t>{kNoNeighbour, kNoNeighbour, 1, 0, kNoNeighbour, kNoNeighbour}));

    // The box is closed: with its corners split three ways for the normals, every edge still
    // finds its neighbour, and neighbourhood is mutual.
    const auto boxBytes = ReadFixture("xfile/box.x");
    const xfile::MeshData box = Load(std::string(boxBytes.begin(), boxBytes.end()));
    const auto adjacency = xfile::ComputeAdjacency(box);
    ASSERT_EQ(adjacency.size(), 36u);
    for (std::uint32_t f = 0; f < 12; ++f)
        for (std::uint32_t k = 0; k < 3; ++k) {
            const std::uint32_t other = adjacency[f * 3 + k];
            ASSERT_NE(other, kNoNeighbour) << f << "/" << k;
            EXPECT_NE(other, f);
            const auto begin = adjacency.begin() + other * 3;
            EXPECT_NE(std::find(begin, begin + 3, f), begin + 3) << f << " and " << other;
        }
}

TEST(MeshTopology, CompactionDropsUnusedVerticesAndRenumbers) {
    xfile::MeshData mesh = Load(R"(xof 0303txt 0032
Mesh {
 6;
 9.0;9.0;9.0;, 0.0;0.0;0.0;, 1.0;0.0;0.0;, 8.0;8.0;8.0;, 0.0;1.0;0.0;, 1.0;1.0;0.0;;
 2;
 3;1,4,2;, 3;4,5,2;;
})");
    ASSERT_EQ(mesh.vertices.size(), 6u);
    EXPECT_EQ(xfile::CompactVertices(mesh), 2u);
    ASSERT_EQ(mesh.vertices.size(), 4u);
    EXPECT_EQ(mesh.vertices[0].position.x, 0.0f);
    EXPECT_EQ(mesh.vertices[3].position.y, 1.0f);
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 2, 1, 2, 3, 1}));
    EXPECT_EQ(mesh.subsets[0].vertexStart, 0u);
    EXPECT_EQ(mesh.subsets[0].vertexCount, 4u);
    EXPECT_EQ(xfile::CompactVertices(mesh), 0u);
}

} // namespace
