// Textures made from PNG, JPEG and DDS files: sizes, formats, texels, mip levels, colour keys,
// resizing, cube maps, and failures that leave the out-pointer empty.
#include "tests/platform/d3dx/dds_writer.h"
#include "tests/platform/d3dx/device_fixture.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

using d3dx_test::DeviceTest;

std::uint32_t Texel32(IDirect3DTexture8 *texture, UINT level, int x, int y) {
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    std::uint32_t value = 0;
    std::memcpy(&value, static_cast<std::uint8_t *>(locked.pBits) + y * locked.Pitch + x * 4, 4);
    texture->UnlockRect(level);
    return value;
}

std::uint16_t Texel16(IDirect3DTexture8 *texture, int x, int y) {
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    std::uint16_t value = 0;
    std::memcpy(&value, static_cast<std::uint8_t *>(locked.pBits) + y * locked.Pitch + x * 2, 2);
    texture->UnlockRect(0);
    return value;
}

class TextureFromFile : public DeviceTest {};

TEST_F(TextureFromFile, PngKeepsSizeAlphaAndGetsAFullBoxFilteredChain) {
    // 6 x 3 (not powers of two): the size is kept, as the font cells depend on it.
    const std::string file = WritePng("alpha.png", Picture(6, 3, [](int x, int y) {
                                          return x < 2 && y < 2 ? 0x80FF0000u : 0xFF00FF00u;
                                      }));
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(m_device, file.c_str(), &texture), S_OK);
    ASSERT_NE(texture, nullptr);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Width, 6u);
    EXPECT_EQ(desc.Height, 3u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(texture->GetLevelCount(), 3u); // 6x3, 3x1, 1x1
    EXPECT_EQ(Texel32(texture, 0, 0, 0), 0x80FF0000u);
    EXPECT_EQ(Texel32(texture, 0, 5, 2), 0xFF00FF00u);
    // Level 1, texel (0, 0) averages the translucent red block.
    EXPECT_EQ(Texel32(texture, 1, 0, 0), 0x80FF0000u);
    ASSERT_EQ(texture->GetLevelDesc(2, &desc), S_OK);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    texture->Release();
}

TEST_F(TextureFromFile, JpegIsOpaque) {
    image::Rgba8Image picture = Picture(8, 8, [](int, int) { return 0x204080C0u; });
    std::vector<std::uint8_t> jpeg;
    std::string error;
    ASSERT_TRUE(image::EncodeJpeg(picture, 95, jpeg, error)) << error;
    const std::string file = Write("opaque.JPG", jpeg);
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(m_device, file.c_str(), &texture), S_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(texture->GetLevelCount(), 4u);
    const std::uint32_t texel = Texel32(texture, 0, 3, 3);
    EXPECT_EQ(texel >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((texel >> 16) & 0xFF), 0x40, 3);
    EXPECT_NEAR(static_cast<int>(texel & 0xFF), 0xC0, 3);
    texture->Release();
}

TEST_F(TextureFromFile, ExtendedFormOneLevelKeyResizeAndSixteenBitFormats) {
    const std::string file = WritePng(
        "key.png", Picture(4, 4, [](int x, int) { return x == 0 ? 0xFFFF00FFu : 0xFF0000FFu; }));
    D3DXIMAGE_INFO info{};
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(m_device, file.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                           D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                           D3DX_DEFAULT, 0xFFFF00FF, &info, nullptr, &texture),
              S_OK);
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.Height, 4u);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_EQ(Texel32(texture, 0, 0, 2), 0x00000000u) << "the colour key clears its texels";
    EXPECT_EQ(Texel32(texture, 0, 1, 2), 0xFF0000FFu);
    texture->Release();

    // An asked size resamples; a point filter keeps texels exact.
    ASSERT_EQ(D3DXCreateTextureFromFileExA(m_device, file.c_str(), 8, 2, 2, 0, D3DFMT_A4R4G4B4,
                                           D3DPOOL_MANAGED, D3DX_FILTER_POINT, D3DX_FILTER_POINT, 0,
                                           nullptr, nullptr, &texture),
              S_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
    EXPECT_EQ(texture->GetLevelCount(), 2u);
    EXPECT_EQ(Texel16(texture, 0, 0), 0xFF0Fu);
    EXPECT_EQ(Texel16(texture, 1, 1), 0xFF0Fu);
    EXPECT_EQ(Texel16(texture, 2, 0), 0xF00Fu);
    texture->Release();
}

TEST_F(TextureFromFile, NamesMatchWithoutRegardToCaseAndWithBackslashes) {
    WritePng("Radar.PNG", Picture(2, 2, [](int, int) { return 0xFF00FF00u; }));
    std::string name = Path("radar.png");
    std::replace(name.begin(), name.end(), '/', '\\');
    name[0] = '/'; // the root stays a root
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(m_device, name.c_str(), &texture), S_OK) << name;
    texture->Release();
}

TEST_F(TextureFromFile, FailuresLeaveNoTexture) {
    IDirect3DTexture8 *texture = reinterpret_cast<IDirect3DTexture8 *>(0x1);
    seams::CaptureDebugOutput(true);
    EXPECT_LT(D3DXCreateTextureFromFileA(m_device, Path("missing.png").c_str(), &texture), 0);
    EXPECT_EQ(texture, nullptr);
    // A file that cannot be read is traced with the system's reason.
    std::filesystem::create_directories(Path("folder.png"));
    EXPECT_LT(D3DXCreateTextureFromFileA(m_device, Path("folder.png").c_str(), &texture), 0);
    const std::string traces = seams::TakeDebugOutput();
    seams::CaptureDebugOutput(false);
    EXPECT_NE(traces.find("missing.png\": cannot open " + Path("missing.png") +
                          ": No such file or directory\n"),
              std::string::npos)
        << traces;
    EXPECT_NE(traces.find("folder.png\": cannot read " + Path("folder.png") + ": Is a directory\n"),
              std::string::npos)
        << traces;
    texture = reinterpret_cast<IDirect3DTexture8 *>(0x1);
    EXPECT_LT(D3DXCreateTextureFromFileA(m_device, nullptr, &texture), 0);
    EXPECT_EQ(texture, nullptr);
    const std::string junk = WriteText("junk.png", "not a picture at all");
    texture = reinterpret_cast<IDirect3DTexture8 *>(0x1);
    EXPECT_LT(D3DXCreateTextureFromFileA(m_device, junk.c_str(), &texture), 0);
    EXPECT_EQ(texture, nullptr);
    const std::string good = WritePng("good.png", Picture(2, 2, [](int, int) { return ~0u; }));
    texture = reinterpret_cast<IDirect3DTexture8 *>(0x1);
    EXPECT_LT(D3DXCreateTextureFromFileExA(m_device, good.c_str(), 0, 0, 1, 0, D3DFMT_D16,
                                           D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                           nullptr, &texture),
              0);
    EXPECT_EQ(texture, nullptr);
    // A cube map is not a 2-D texture, nor a picture a cube map.
    const std::string cube =
        Write("cube.dds", testing_dds::DdsWriter::Write(
                              2, 2, 1, true, {}, [](int, int, int, int) { return 0xFF000000u; }));
    texture = reinterpret_cast<IDirect3DTexture8 *>(0x1);
    EXPECT_LT(D3DXCreateTextureFromFileA(m_device, cube.c_str(), &texture), 0);
    EXPECT_EQ(texture, nullptr);
    IDirect3DCubeTexture8 *cubeTexture = reinterpret_cast<IDirect3DCubeTexture8 *>(0x1);
    EXPECT_LT(D3DXCreateCubeTextureFromFileA(m_device, good.c_str(), &cubeTexture), 0);
    EXPECT_EQ(cubeTexture, nullptr);
}

TEST_F(TextureFromFile, DdsTextureKeepsTheFileLevels) {
    // Each level of the file has its own colour, which a made-up chain would not have.
    const std::string file =
        Write("levels.dds",
              testing_dds::DdsWriter::Write(4, 4, 3, false, {}, [](int, int level, int, int) {
                  return 0xFF000000u | (0x40u << (8 * level));
              }));
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(m_device, file.c_str(), &texture), S_OK);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    EXPECT_EQ(Texel32(texture, 0, 1, 1), 0xFF000040u);
    EXPECT_EQ(Texel32(texture, 1, 1, 1), 0xFF004000u);
    EXPECT_EQ(Texel32(texture, 2, 0, 0), 0xFF400000u);
    texture->Release();
}

TEST_F(TextureFromFile, CubeMapFacesAndLevelsInFileOrder) {
    const std::string file =
        Write("sky.dds",
              testing_dds::DdsWriter::Write(4, 4, 3, true, {}, [](int face, int level, int x, int) {
                  return 0xFF000000u | face << 16 | level << 8 | x;
              }));
    IDirect3DCubeTexture8 *cube = nullptr;
    ASSERT_EQ(D3DXCreateCubeTextureFromFileA(m_device, file.c_str(), &cube), S_OK);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->GetLevelCount(), 3u);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(cube->GetLevelDesc(1, &desc), S_OK);
    EXPECT_EQ(desc.Width, 2u);
    for (int face = 0; face < 6; ++face) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(cube->LockRect(static_cast<D3DCUBEMAP_FACES>(face), 1, &locked, nullptr, 0),
                  S_OK);
        std::uint32_t texel;
        std::memcpy(&texel, static_cast<std::uint8_t *>(locked.pBits) + 4, 4);
        EXPECT_EQ(texel, 0xFF000000u | face << 16 | 1u << 8 | 1u) << "face " << face;
        cube->UnlockRect(static_cast<D3DCUBEMAP_FACES>(face), 1);
    }
    cube->Release();
}

TEST_F(TextureFromFile, PicturesLargerThanTheDeviceTakesAreRefusedFromTheirHeaders) {
    // Headers of 8192-texel sides whose pixels are cut off or damaged: only a check made before
    // decoding names the size rather than the damage.
    std::vector<std::uint8_t> dds =
        testing_dds::DdsWriter::Write(2, 2, 1, false, {}, [](int, int, int, int) { return 0u; });
    std::vector<std::uint8_t> cube =
        testing_dds::DdsWriter::Write(2, 2, 1, true, {}, [](int, int, int, int) { return 0u; });
    for (auto *file : {&dds, &cube})
        for (std::size_t at : {12u, 16u}) { // height, width
            (*file)[at] = 0;
            (*file)[at + 1] = 0x20;
        }
    std::vector<std::uint8_t> png;
    std::string error;
    ASSERT_TRUE(image::EncodePng(Picture(8192, 1, [](int x, int) { return 0xFF000000u | x; }), true,
                                 png, error));
    png[png.size() - 20] ^= 0x55; // inside the compressed rows
    seams::CaptureDebugOutput(true);
    IDirect3DTexture8 *texture = reinterpret_cast<IDirect3DTexture8 *>(0x1);
    EXPECT_LT(D3DXCreateTextureFromFileA(m_device, Write("wide.png", png).c_str(), &texture), 0);
    EXPECT_EQ(texture, nullptr);
    EXPECT_LT(D3DXCreateTextureFromFileA(m_device, Write("huge.dds", dds).c_str(), &texture), 0);
    IDirect3DCubeTexture8 *cubeTexture = nullptr;
    EXPECT_LT(
        D3DXCreateCubeTextureFromFileA(m_device, Write("sky.dds", cube).c_str(), &cubeTexture), 0);
    EXPECT_EQ(cubeTexture, nullptr);
    // An asked size past the limit is refused before the file is even read.
    EXPECT_LT(D3DXCreateTextureFromFileExA(m_device, Path("absent.png").c_str(), 8192, 8192, 1, 0,
                                           D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                           D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              0);
    const std::string traces = seams::TakeDebugOutput();
    seams::CaptureDebugOutput(false);
    const std::string limit = " is larger than the largest side allowed, 4096\n";
    EXPECT_EQ(traces, "D3DX: cannot load texture \"" + Path("wide.png") + "\": 8192 x 1" + limit +
                          "D3DX: cannot load texture \"" + Path("huge.dds") + "\": 8192 x 8192" +
                          limit + "D3DX: cannot load texture \"" + Path("sky.dds") +
                          "\": 8192 x 8192" + limit + "D3DX: cannot load texture \"" +
                          Path("absent.png") + "\": 8192 x 8192" + limit);
}

} // namespace
