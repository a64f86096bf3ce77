// Device utilities: materials and lights filled in place, colour keys per texture format, the
// cube-face views, the trackball on a window without area, and file loads through the device.
#include "framework/d3d_util.h"
#include "tests/platform/d3dx/device_fixture.h"

#include <cmath>
#include <cstring>

namespace {

TEST(InitMaterial, DiffuseAndAmbientTakeTheColourEverythingElseZero) {
    D3DMATERIAL8 mtrl;
    std::memset(&mtrl, 0x7F, sizeof mtrl);
    InitMaterial(mtrl, 1.0f, 0.5f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(mtrl.Diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(mtrl.Ambient.r, 1.0f);
    EXPECT_FLOAT_EQ(mtrl.Ambient.a, 1.0f);
    EXPECT_FLOAT_EQ(mtrl.Specular.r, 0.0f);
    EXPECT_FLOAT_EQ(mtrl.Emissive.b, 0.0f);
    EXPECT_FLOAT_EQ(mtrl.Power, 0.0f);
}

TEST(InitLight, PositionAndNormalisedDirectionFromOnePoint) {
    D3DLIGHT8 light;
    std::memset(&light, 0x7F, sizeof light);
    InitLight(light, D3DLIGHT_DIRECTIONAL, 0.0f, -10.0f, 0.0f);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(light.Direction.y, -1.0f);
    EXPECT_FLOAT_EQ(light.Position.y, -10.0f);
    EXPECT_FLOAT_EQ(light.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(light.Diffuse.a, 0.0f);
    EXPECT_FLOAT_EQ(light.Range, 1000.0f);
    EXPECT_FLOAT_EQ(light.Attenuation0, 0.0f);
    EXPECT_FLOAT_EQ(light.Phi, 0.0f);
    InitLight(light, D3DLIGHT_POINT, 0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(std::isnan(light.Direction.x)) << "the origin gives a zero direction";
}

TEST(CubeFaceViewMatrix, EachFaceLooksAlongItsAxis) {
    const D3DXVECTOR3 looks[6] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                  {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    for (DWORD face = 0; face < 6; ++face) {
        const D3DXMATRIX view = CubeFaceViewMatrix(face);
        D3DXVECTOR3 eyeSpace;
        D3DXVec3TransformCoord(&eyeSpace, &looks[face], &view);
        EXPECT_NEAR(eyeSpace.x, 0.0f, 1e-6) << face;
        EXPECT_NEAR(eyeSpace.y, 0.0f, 1e-6) << face;
        EXPECT_NEAR(eyeSpace.z, 1.0f, 1e-6) << face;
    }
    // +Y looks up with -z as up: eye-space y of -z is 1.
    const D3DXMATRIX up = CubeFaceViewMatrix(D3DCUBEMAP_FACE_POSITIVE_Y);
    D3DXVECTOR3 minusZ(0, 0, -1), eyeSpace;
    D3DXVec3TransformCoord(&eyeSpace, &minusZ, &up);
    EXPECT_NEAR(eyeSpace.y, 1.0f, 1e-6);
}

class DeviceUtilities : public d3dx_test::DeviceTest {};

TEST_F(DeviceUtilities, ColourKeyClearsMatchingTexelsOfKeyedFormatsOnly) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_A1R5G5B5, D3DPOOL_MANAGED, &texture),
              S_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    auto *row = static_cast<WORD *>(locked.pBits);
    row[0] = 0xFC1F; // the key: red 255, green 0, blue 255
    row[1] = 0xFC1E;
    texture->UnlockRect(0);
    EXPECT_EQ(ApplyColorKey(texture, 0x00FF00FF), S_OK);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    row = static_cast<WORD *>(locked.pBits);
    EXPECT_EQ(row[0], 0u);
    EXPECT_EQ(row[1], 0xFC1Eu);
    texture->UnlockRect(0);
    texture->Release();

    ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    static_cast<DWORD *>(locked.pBits)[0] = 0x00FF00FF;
    texture->UnlockRect(0);
    EXPECT_EQ(ApplyColorKey(texture, 0x00FF00FF), E_FAIL);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(static_cast<DWORD *>(locked.pBits)[0], 0x00FF00FFu) << "left unchanged";
    texture->UnlockRect(0);
    texture->Release();

    // A8R8G8B8 compares all 32 bits, alpha included.
    ASSERT_EQ(m_device->CreateTexture(2, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              S_OK);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    static_cast<DWORD *>(locked.pBits)[0] = 0xFF102030;
    static_cast<DWORD *>(locked.pBits)[1] = 0x80102030;
    texture->UnlockRect(0);
    EXPECT_EQ(ApplyColorKey(texture, 0xFF102030), S_OK);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(static_cast<DWORD *>(locked.pBits)[0], 0u);
    EXPECT_EQ(static_cast<DWORD *>(locked.pBits)[1], 0x80102030u);
    texture->UnlockRect(0);
    texture->Release();
}

TEST_F(DeviceUtilities, TextureFileInTheAskedFormatAndShadersUnavailable) {
    const std::string file =
        WritePng("util.png", Picture(4, 2, [](int, int) { return 0xFFFFFFFFu; }));
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(LoadTextureFile(m_device, file.c_str(), &texture, D3DFMT_A4R4G4B4), S_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    texture->Release();
    texture = reinterpret_cast<IDirect3DTexture8 *>(0x1);
    EXPECT_LT(LoadTextureFile(m_device, "no-such-texture.png", &texture, D3DFMT_A8R8G8B8), 0);
    EXPECT_EQ(texture, nullptr);

    const DWORD declaration[] = {0xFFFFFFFF};
    DWORD shader = 0;
    EXPECT_LT(LoadVertexShaderFile(m_device, "shader.vsh", declaration, &shader), 0);
}

TEST_F(DeviceUtilities, DeviceCursorReportsTheDevicesAnswer) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    // The black-and-white arrow (mask 32 x 64) becomes a 32 x 32 device cursor.
    EXPECT_EQ(SetDeviceCursor(m_device, arrow, FALSE), S_OK);
    image::Rgba8Image cursor;
    POINT hotSpot{};
    ASSERT_TRUE(seams::DeviceCursorImage(m_device, cursor, hotSpot));
    EXPECT_EQ(cursor.width, 32u);
    EXPECT_EQ(cursor.height, 32u);
    EXPECT_EQ(cursor.pixels[3], 255) << "without the watermark the tip is plain black";
    EXPECT_EQ(cursor.pixels[0], 0);
    EXPECT_EQ(SetDeviceCursor(m_device, nullptr, FALSE), E_FAIL);
}

TEST_F(DeviceUtilities, TrackballGivesAUnitRotationWhereverTheCursorIs) {
    // The cursor is wherever the machine has it: inside or outside the sphere, the rotation is
    // a finite unit quaternion.
    const D3DXQUATERNION q = TrackballRotation(m_window, 0.85f);
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    EXPECT_NEAR(length, 1.0f, 1e-5);
    // No window, no client area: no division by a zero size, just no rotation.
    const D3DXQUATERNION none = TrackballRotation(nullptr, 0.85f);
    EXPECT_FLOAT_EQ(none.x, 0.0f);
    EXPECT_FLOAT_EQ(none.y, 0.0f);
    EXPECT_FLOAT_EQ(none.z, 0.0f);
    EXPECT_FLOAT_EQ(none.w, 1.0f);
}

} // namespace
