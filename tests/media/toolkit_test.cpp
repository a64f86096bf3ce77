// The generator's own building blocks: winding-preserving mesh edits, crease normals, the text X
// writer's layout, transparent-texel bleeding and loop-safe audio helpers.
#include "tools/mediagen/audio.h"
#include "tools/mediagen/canvas.h"
#include "tools/mediagen/mesh.h"
#include "tools/mediagen/output.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mediagen;

TEST(MeshTools, MirrorAndPrimitivesKeepOutwardWinding) {
    auto uv = [](Vec3, Vec3, float &u, float &v) { u = v = 0; };
    Mesh box = Box({0.1f, -0.2f, -0.3f}, {0.5f, 0.2f, 0.3f}, 0, uv);
    float volume = box.signedVolume();
    EXPECT_NEAR(volume, 0.4f * 0.4f * 0.6f, 1e-5f);
    box.mirrorX();
    EXPECT_NEAR(box.signedVolume(), 2 * volume, 1e-5f);
    Mesh cyl = Cylinder(0.2f, 0.1f, -0.5f, 0.5f, 16, true, 0, uv);
    EXPECT_GT(cyl.signedVolume(), 0.0f);
    Mesh wing = ExtrudeXZ({{0, 0}, {0, 1}, {1, 1}, {1, 0}}, 0, 0.1f, 0, uv);
    EXPECT_NEAR(wing.signedVolume(), 0.1f, 1e-5f);
    Mesh reversed = ExtrudeXZ({{1, 0}, {1, 1}, {0, 1}, {0, 0}}, 0, 0.1f, 0, uv);
    EXPECT_NEAR(reversed.signedVolume(), 0.1f, 1e-5f);
}

TEST(MeshTools, UnitQuadFacesMinusZAndDoubleSidingAddsTheBack) {
    Mesh q = UnitQuad();
    for (std::size_t f = 0; f < q.faces.size(); ++f) {
        EXPECT_LT(q.faceNormal(f).z, 0.0f);
    }
    q.makeDoubleSided();
    ASSERT_EQ(q.faces.size(), 4u);
    EXPECT_GT(q.faceNormal(2).z, 0.0f);
    EXPECT_GT(q.faceNormal(3).z, 0.0f);
}

TEST(MeshTools, CreaseAngleSplitsHardEdgesAndSmoothsSoftOnes) {
    auto uv = [](Vec3, Vec3, float &u, float &v) { u = v = 0; };
    Mesh box = Box({-1, -1, -1}, {1, 1, 1}, 0, uv);
    box.computeNormals(35);
    // Every corner is split three ways: normals stay on the face axes.
    EXPECT_EQ(box.vertices.size(), 24u);
    for (const auto &v : box.vertices) {
        EXPECT_NEAR(std::fabs(v.n.x) + std::fabs(v.n.y) + std::fabs(v.n.z), 1.0f, 1e-5f);
    }
    Mesh soft = Box({-1, -1, -1}, {1, 1, 1}, 0, uv);
    soft.computeNormals(100);
    EXPECT_EQ(soft.vertices.size(), 8u);
    for (const auto &v : soft.vertices) {
        EXPECT_NEAR(std::fabs(v.n.x), 1 / std::sqrt(3.0f), 1e-4f);
    }
}

TEST(MeshTools, WriterGroupsFacesBySubsetAndWritesEverySection) {
    Mesh m = UnitQuad(0.5f, 0.5f, 1);
    m.append(UnitQuad(0.25f, 0.25f, 0));
    m.materials = {{1.0f, "a.png"}, {0.5f, ""}};
    m.hasUv2 = true;
    m.computeSmoothNormals();
    std::string x = WriteXText(m, "test");
    EXPECT_EQ(x.rfind("xof 0303txt 0032\nMesh test {\n", 0), 0u);
    // Material 0's faces come first.
    auto list = x.find("MeshMaterialList {\n  2;\n  4;\n  0,\n  0,\n  1,\n  1;\n");
    EXPECT_NE(list, std::string::npos) << x;
    EXPECT_NE(x.find("TextureFilename {\n    \"a.png\";"), std::string::npos);
    EXPECT_NE(x.find("1.000000;1.000000;1.000000;0.500000;;"), std::string::npos);
    EXPECT_NE(x.find("MeshNormals {"), std::string::npos);
    EXPECT_NE(x.find("FVFData {\n  256;\n  16;"), std::string::npos);
    EXPECT_EQ(x.find("-0.000000"), std::string::npos);
}

TEST(CanvasTools, TransparentTexelsTakeTheirNeighboursColour) {
    Canvas c(8, 8);
    c.fillRect(0, 0, 4, 8, rgb(1, 0, 0));
    auto img = c.toImage();
    const std::uint8_t *clear = &img.pixels[(3 * 8 + 6) * 4];
    EXPECT_EQ(clear[3], 0);
    EXPECT_EQ(clear[0], 255); // red bled in, so filtering at the edge shows no dark fringe
    const std::uint8_t *solid = &img.pixels[(3 * 8 + 1) * 4];
    EXPECT_EQ(solid[3], 255);
}

TEST(CanvasTools, PolygonCoverageIsExactOnPixelEdges) {
    Canvas c(4, 4);
    c.fillRect(1, 1, 3, 2.5f, rgb(1, 1, 1));
    auto img = c.toImage();
    EXPECT_EQ(img.pixels[(1 * 4 + 1) * 4 + 3], 255);
    EXPECT_EQ(img.pixels[(2 * 4 + 1) * 4 + 3], 128);
    EXPECT_EQ(img.pixels[(1 * 4 + 0) * 4 + 3], 0);
}

TEST(AudioTools, LoopFrequenciesCompleteWholeCycles) {
    double f = LoopFrequency(221.7, 1.0);
    EXPECT_DOUBLE_EQ(f, 222.0);
    EXPECT_NEAR(std::fmod(LoopFrequency(83.3, 2.5) * 2.5, 1.0), 0.0, 1e-9);
    EXPECT_GE(LoopFrequency(0.01, 1.0), 1.0);
}

TEST(AudioTools, WavHeaderDescribesItsData) {
    Sound s;
    s.channels = 2;
    s.samples = {0.0f, 0.5f, -0.5f, 1.5f}; // out of range clamps
    auto b = EncodeWav(s, 1);
    ASSERT_EQ(b.size(), 44u + 8u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(b[4] | (b[5] << 8), 44);
    EXPECT_EQ(b[22], 2);
    EXPECT_EQ(b[24] | (b[25] << 8), 22050);
    auto sample = [&](int i) {
        return static_cast<std::int16_t>(b[44 + 2 * i] | (b[45 + 2 * i] << 8));
    };
    EXPECT_NEAR(sample(1), 16384, 2);
    EXPECT_EQ(sample(3), 32767);
    EXPECT_EQ(EncodeWav(s, 1), b); // same seed, same dither
}

TEST(AudioTools, RmsNormalisationNeverClips) {
    Sound s;
    for (int i = 0; i < 22050; ++i) {
        s.samples.push_back(i % 100 == 0 ? 1.0f : 0.01f * std::sin(i * 0.1f));
    }
    NormalizeRms(s, -6);
    for (float v : s.samples) {
        EXPECT_LT(std::fabs(v), 0.95f);
    }
}
