// Time to load media through a real (headless) device: a typical mesh file with its material
// texture, and PNG and JPEG textures alone. The program loads about 180 files at every device
// creation, so these figures times their counts give its start-up cost.
#include "platform/d3dx/d3dx8.h"
#include "platform/image/image.h"
#include "platform/win32/entry/heap_policy.h"
#include "platform/win32/win32.h"
#include "tests/platform/d3d8/headless_device.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "tarvos-d3dx-load-bench";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

void WritePicture(const std::string &name, int size, bool jpeg) {
    image::Rgba8Image picture;
    picture.width = picture.height = static_cast<std::uint32_t>(size);
    picture.hasAlpha = !jpeg;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            picture.pixels.insert(picture.pixels.end(),
                                  {std::uint8_t(x * 7), std::uint8_t(y * 3), std::uint8_t(x ^ y),
                                   std::uint8_t(200 + (x & 31))});
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (jpeg)
        image::EncodeJpeg(picture, 90, bytes, error);
    else
        image::EncodePng(picture, true, bytes, error);
    image::WriteFileBytes((Folder() / name).string(), bytes, error);
}

// A lit, textured sphere of about a thousand vertices and two thousand faces in two subsets,
// the size of the program's rocks and ships.
void WriteSphere(const std::string &name, const std::string &texture) {
    const int rings = 24, segments = 40;
    std::string vertices, normals, uvs, faces, attributes;
    int vertexCount = 0, faceCount = 0;
    char line[160];
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s <= segments; ++s, ++vertexCount) {
            const double theta = M_PI * r / rings, phi = 2 * M_PI * s / segments;
            const double x = std::sin(theta) * std::cos(phi), y = std::cos(theta),
                         z = std::sin(theta) * std::sin(phi);
            std::snprintf(line, sizeof line, "%s%f;%f;%f;", vertexCount ? ",\n" : "", x, y, z);
            vertices += line;
            normals += line;
            std::snprintf(line, sizeof line, "%s%f;%f;", vertexCount ? ",\n" : "",
                          double(s) / segments, double(r) / rings);
            uvs += line;
        }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const int a = r * (segments + 1) + s, b = a + segments + 1;
            const int triangles[2][3] = {{a, b, a + 1}, {a + 1, b, b + 1}};
            for (const int *tri : triangles) {
                std::snprintf(line, sizeof line, "%s3;%d,%d,%d;", faceCount ? ",\n" : "", tri[0],
                              tri[1], tri[2]);
                faces += line;
                attributes += (faceCount ? ",\n" : "") + std::to_string(r < rings / 2 ? 0 : 1);
                ++faceCount;
            }
        }
    const std::string count = std::to_string(vertexCount) + ";\n";
    const std::string text =
        "xof 0303txt 0032\nMesh Sphere {\n" + count + vertices + ";\n" + std::to_string(faceCount) +
        ";\n" + faces + ";\nMeshNormals {\n" + count + normals + ";\n" + std::to_string(faceCount) +
        ";\n" + faces + ";\n}\nMeshTextureCoords {\n" + count + uvs +
        ";\n}\nMeshMaterialList {\n2;\n" + std::to_string(faceCount) + ";\n" + attributes +
        ";\nMaterial { 1.0;1.0;1.0;1.0;; 8.0; 0.5;0.5;0.5;; 0.1;0.1;0.1;; TextureFilename { \"" +
        (Folder() / texture).string() +
        "\"; } }\nMaterial { 0.5;0.5;0.5;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n}\n}\n";
    std::string error;
    image::WriteFileBytes((Folder() / name).string(),
                          std::vector<std::uint8_t>(text.begin(), text.end()), error);
}

struct Device {
    HWND window = nullptr;
    IDirect3D8 *d3d = nullptr;
    IDirect3DDevice8 *device = nullptr;

    Device() {
        win32::KeepFreedMemoryForReuse(); // the heap as the game's process keeps it
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        window = headless::OpenWindow("d3dx load bench", 64, 64, WS_CAPTION);
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        // No depth buffer: the loads never draw.
        D3DPRESENT_PARAMETERS pp =
            headless::WindowedPresentation(window, 64, 64, D3DFMT_X8R8G8B8, false);
        if (d3d)
            d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                              &device);
    }
    ~Device() {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        DestroyWindow(window);
    }
};

Device &Shared() {
    static Device device;
    return device;
}

void BM_MeshWithTexture(benchmark::State &state) {
    WritePicture("hull.png", 256, false);
    WriteSphere("sphere.x", "hull.png");
    IDirect3DDevice8 *device = Shared().device;
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    const std::string file = (Folder() / "sphere.x").string();
    for (auto _ : state) {
        ID3DXBuffer *materials = nullptr;
        DWORD count = 0;
        ID3DXMesh *mesh = nullptr;
        if (FAILED(
                D3DXLoadMeshFromX(file.c_str(), 0, device, nullptr, &materials, &count, &mesh))) {
            state.SkipWithError("load failed");
            return;
        }
        const auto *records = static_cast<const D3DXMATERIAL *>(materials->GetBufferPointer());
        for (DWORD i = 0; i < count; ++i) {
            IDirect3DTexture8 *texture = nullptr;
            if (records[i].pTextureFilename && SUCCEEDED(D3DXCreateTextureFromFileA(
                                                   device, records[i].pTextureFilename, &texture)))
                texture->Release();
        }
        materials->Release();
        mesh->Release();
    }
}
BENCHMARK(BM_MeshWithTexture)->Unit(benchmark::kMillisecond);

void BM_Texture(benchmark::State &state, bool jpeg) {
    const std::string name = jpeg ? "picture.jpg" : "picture.png";
    WritePicture(name, static_cast<int>(state.range(0)), jpeg);
    IDirect3DDevice8 *device = Shared().device;
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    const std::string file = (Folder() / name).string();
    for (auto _ : state) {
        IDirect3DTexture8 *texture = nullptr;
        if (FAILED(D3DXCreateTextureFromFileA(device, file.c_str(), &texture))) {
            state.SkipWithError("load failed");
            return;
        }
        texture->Release();
    }
}
BENCHMARK_CAPTURE(BM_Texture, png, false)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Texture, jpeg, true)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
