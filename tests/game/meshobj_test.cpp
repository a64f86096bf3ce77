#include "game/meshobj.h"

#include "world_device_fixture.h"

#include <algorithm>

namespace {

using world_test::WorldDeviceTest;

class MeshObjTest : public WorldDeviceTest {};

std::vector<std::string> CallsNamed(const std::vector<std::string> &calls,
                                    std::initializer_list<const char *> prefixes) {
    std::vector<std::string> out;
    for (const std::string &c : calls)
        for (const char *p : prefixes)
            if (c.rfind(p, 0) == 0) {
                out.push_back(c.substr(0, c.find('(')));
                break;
            }
    return out;
}

TEST_F(MeshObjTest, LoadsMaterialsAndLeavesMissingTexturesEmpty) {
    MeshObj obj(m_device);
    EXPECT_EQ(obj.device, m_device);
    const std::string box = (world_test::SourceDir() / "tests/fixtures/xfile/box.x").string();
    ASSERT_EQ(obj.Load(box.c_str()), S_OK);
    ASSERT_NE(obj.mesh, nullptr);
    ASSERT_EQ(obj.materialCount, 2u);
    ASSERT_NE(obj.materials, nullptr);
    EXPECT_FLOAT_EQ(obj.materials[0].MatD3D.Diffuse.r, 1.0f);
    // "red.png" is not in the working folder and the second material names no texture.
    ASSERT_NE(obj.textures, nullptr);
    EXPECT_EQ(obj.textures[0], nullptr);
    EXPECT_EQ(obj.textures[1], nullptr);

    seams::StartDeviceCallLog();
    obj.Render();
    const auto calls = CallsNamed(seams::DeviceCallTexts(),
                                  {"SetMaterial", "SetTexture(", "DrawIndexedPrimitive"});
    const std::vector<std::string> expected = {"SetMaterial", "SetTexture", "DrawIndexedPrimitive",
                                               "SetMaterial", "SetTexture", "DrawIndexedPrimitive"};
    EXPECT_EQ(calls, expected);
    for (const std::string &c : seams::DeviceCallTexts()) {
        if (c.rfind("SetTexture(", 0) == 0) {
            EXPECT_EQ(c, "SetTexture(0, NULL)");
        }
    }

    obj.ReleaseResources();
    EXPECT_EQ(obj.mesh, nullptr);
    EXPECT_EQ(obj.materialsBuffer, nullptr);
    EXPECT_EQ(obj.materials, nullptr);
    EXPECT_EQ(obj.textures, nullptr);
    EXPECT_EQ(obj.materialCount, 0u);
    obj.ReleaseResources(); // a second release finds nothing to give back
    EXPECT_EQ(obj.mesh, nullptr);
}

TEST_F(MeshObjTest, MaterialTexturesLoadFromTheWorkingFolder) {
    MeshObj obj;
    obj.device = m_device;
    ASSERT_EQ(obj.Load("asteroid1.x"), S_OK);
    ASSERT_GE(obj.materialCount, 1u);
    EXPECT_NE(obj.textures[0], nullptr);
    seams::StartDeviceCallLog();
    obj.Render();
    const auto calls = seams::DeviceCallTexts();
    const auto draws = std::count_if(calls.begin(), calls.end(), [](const std::string &c) {
        return c.rfind("DrawIndexedPrimitive", 0) == 0;
    });
    EXPECT_EQ(draws, static_cast<long>(obj.materialCount));
    obj.ReleaseResources();
}

TEST_F(MeshObjTest, FailedLoadIsTracedAndLeavesTheObjectEmpty) {
    seams::CaptureDebugOutput(true);
    seams::CaptureMessageBoxes(true);
    MeshObj obj(m_device);
    const HRESULT hr = obj.Load("no-such-mesh.x");
    EXPECT_TRUE(FAILED(hr));
    const std::string trace = seams::TakeDebugOutput();
    EXPECT_NE(trace.find("meshobj"), std::string::npos) << trace;
    EXPECT_NE(trace.find("D3DXLoadMeshFromX"), std::string::npos) << trace;
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
    EXPECT_EQ(obj.mesh, nullptr);
    EXPECT_EQ(obj.materialsBuffer, nullptr);
    EXPECT_EQ(obj.textures, nullptr);
    EXPECT_EQ(obj.materialCount, 0u);

    seams::StartDeviceCallLog();
    obj.Render();
    EXPECT_TRUE(seams::DeviceCallTexts().empty());
    obj.ReleaseResources();
    obj.ReleaseResources();
    EXPECT_EQ(obj.mesh, nullptr);
}

TEST_F(MeshObjTest, DrawsTheRockWhereItIsPlaced) {
    MeshObj obj(m_device);
    ASSERT_EQ(obj.Load("asteroid2.x"), S_OK);
    LookAlongZ();
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0, 0, 4);
    m_device->SetTransform(D3DTS_WORLD, &world);
    Begin();
    obj.Render();
    End("meshobj_rock");
    obj.ReleaseResources();

    const auto lit = LitPixels();
    // Radius 1 at distance 4 with a 90-degree view: about a quarter of the half-height (15 px).
    ASSERT_GT(lit.count, 300);
    const int cx = (lit.left + lit.right) / 2, cy = (lit.top + lit.bottom) / 2;
    EXPECT_NEAR(cx, int(kWidth) / 2, 4);
    EXPECT_NEAR(cy, int(kHeight) / 2, 4);
    EXPECT_NEAR(lit.bottom - lit.top, 30, 8);
    EXPECT_GE(lit.left, 50);
    EXPECT_LE(lit.right, 110);
}

} // namespace
