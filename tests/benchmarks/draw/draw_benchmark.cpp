// Cost of drawing through the fixed-function pipeline on the real device (offscreen): frames of
// thousands of small lit, textured meshes with state changes between them, the same draws with
// and without state changes (the difference is the cost of applying states), and the empty frame.
#include "platform/d3d8/d3d8.h"
#include "platform/win32/win32.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};
constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// One device, two textures and a small sphere mesh (8 x 6 segments: 96 triangles) for the run.
struct Scene {
    HWND window = nullptr;
    IDirect3D8 *d3d = nullptr;
    IDirect3DDevice8 *device = nullptr;
    IDirect3DTexture8 *textures[2] = {};
    IDirect3DVertexBuffer8 *vertices = nullptr;
    IDirect3DIndexBuffer8 *indices = nullptr;
    UINT vertexCount = 0, triangleCount = 0;

    Scene() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "draw benchmark";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "draw benchmark", "draw benchmark", WS_VISIBLE, 0, 0, 640, 480,
                                 nullptr, nullptr, nullptr, nullptr);
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 640;
        pp.BackBufferHeight = 480;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = window;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D16;
        if (!d3d || FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window,
                                             D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device)))
            return;
        for (int t = 0; t < 2; ++t) {
            device->CreateTexture(64, 64, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &textures[t]);
            for (UINT level = 0; level < textures[t]->GetLevelCount(); ++level) {
                D3DSURFACE_DESC desc{};
                textures[t]->GetLevelDesc(level, &desc);
                D3DLOCKED_RECT locked{};
                textures[t]->LockRect(level, &locked, nullptr, 0);
                for (UINT i = 0; i < desc.Width * desc.Height; ++i) {
                    const DWORD c =
                        ((i ^ (i >> 3)) & 1) ? 0xFFFFFFFF : (t ? 0xFF4080C0 : 0xFF804020);
                    std::memcpy(static_cast<BYTE *>(locked.pBits) + 4 * i, &c, 4);
                }
                textures[t]->UnlockRect(level);
            }
        }
        const int slices = 8, stacks = 6;
        std::vector<Vertex> v;
        for (int j = 0; j <= stacks; ++j)
            for (int i = 0; i <= slices; ++i) {
                const float theta = 3.14159265f * j / stacks, phi = 6.2831853f * i / slices;
                const float nx = std::sin(theta) * std::cos(phi), ny = std::cos(theta),
                            nz = std::sin(theta) * std::sin(phi);
                v.push_back({nx, ny, nz, nx, ny, nz, static_cast<float>(i) / slices,
                             static_cast<float>(j) / stacks});
            }
        std::vector<std::uint16_t> idx;
        for (int j = 0; j < stacks; ++j)
            for (int i = 0; i < slices; ++i) {
                const std::uint16_t a = static_cast<std::uint16_t>(j * (slices + 1) + i);
                const std::uint16_t b = static_cast<std::uint16_t>(a + slices + 1);
                idx.insert(idx.end(),
                           {a, static_cast<std::uint16_t>(a + 1), b, b,
                            static_cast<std::uint16_t>(a + 1), static_cast<std::uint16_t>(b + 1)});
            }
        vertexCount = static_cast<UINT>(v.size());
        triangleCount = static_cast<UINT>(idx.size() / 3);
        BYTE *data = nullptr;
        device->CreateVertexBuffer(static_cast<UINT>(v.size() * sizeof(Vertex)), D3DUSAGE_WRITEONLY,
                                   kFvf, D3DPOOL_MANAGED, &vertices);
        vertices->Lock(0, 0, &data, 0);
        std::memcpy(data, v.data(), v.size() * sizeof(Vertex));
        vertices->Unlock();
        device->CreateIndexBuffer(static_cast<UINT>(idx.size() * 2), D3DUSAGE_WRITEONLY,
                                  D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices);
        indices->Lock(0, 0, &data, 0);
        std::memcpy(data, idx.data(), idx.size() * 2);
        indices->Unlock();

        D3DMATRIX proj{};
        proj._11 = 0.75f;
        proj._22 = 1.0f;
        proj._33 = 100.0f / 99.0f;
        proj._34 = 1.0f;
        proj._43 = -100.0f / 99.0f;
        const D3DMATRIX id = identity();
        device->SetTransform(D3DTS_PROJECTION, &proj);
        device->SetTransform(D3DTS_VIEW, &id);
        device->SetRenderState(D3DRS_AMBIENT, 0x000F0F0F);
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 0};
        light.Direction = {0.1f, 0.2f, 1.0f};
        light.Range = 1000;
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        light.Type = D3DLIGHT_SPOT;
        light.Position = {0, 0, 0};
        light.Direction = {0, 0, 1};
        light.Range = 256;
        light.Falloff = 7;
        light.Attenuation1 = 0.01f;
        light.Theta = 0.01f;
        light.Phi = 0.7f;
        device->SetLight(2, &light);
        device->LightEnable(2, TRUE);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
        device->SetVertexShader(kFvf);
        device->SetStreamSource(0, vertices, sizeof(Vertex));
        device->SetIndices(indices, 0);
    }
    ~Scene() {
        if (indices)
            indices->Release();
        if (vertices)
            vertices->Release();
        for (IDirect3DTexture8 *t : textures)
            if (t)
                t->Release();
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        if (window)
            DestroyWindow(window);
    }

    // Mesh i of a frame: its own place, material and (every other one) texture and blending.
    void DrawMesh(int i, bool changeStates) {
        D3DMATRIX world = identity();
        world._11 = world._22 = world._33 = 0.4f;
        world._41 = static_cast<float>(i % 40) - 20.0f;
        world._42 = static_cast<float>((i / 40) % 30) - 15.0f;
        world._43 = 30.0f;
        device->SetTransform(D3DTS_WORLD, &world);
        if (changeStates) {
            D3DMATERIAL8 material{};
            material.Diffuse = {0.5f + 0.5f * static_cast<float>(i & 1), 0.7f, 0.9f, 1.0f};
            material.Ambient = {1, 1, 1, 1};
            device->SetMaterial(&material);
            device->SetTexture(0, textures[i & 1]);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, (i & 2) ? TRUE : FALSE);
            device->SetTextureStageState(0, D3DTSS_COLORARG2,
                                         (i & 4) ? D3DTA_TFACTOR : D3DTA_DIFFUSE);
        }
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vertexCount, 0, triangleCount);
    }
};

Scene &scene() {
    static Scene instance;
    return instance;
}

void frameOfMeshes(benchmark::State &state, bool changeStates) {
    Scene &s = scene();
    if (!s.device) {
        state.SkipWithError("no device");
        return;
    }
    const int meshes = static_cast<int>(state.range(0));
    if (!changeStates) {
        D3DMATERIAL8 material{};
        material.Diffuse = material.Ambient = {1, 1, 1, 1};
        s.device->SetMaterial(&material);
        s.device->SetTexture(0, s.textures[0]);
        s.device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        s.device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    }
    for (auto _ : state) {
        s.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        s.device->BeginScene();
        for (int i = 0; i < meshes; ++i)
            s.DrawMesh(i, changeStates);
        s.device->EndScene();
        s.device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    state.counters["draws_per_second"] = benchmark::Counter(
        static_cast<double>(meshes), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["triangles_per_second"] =
        benchmark::Counter(static_cast<double>(meshes) * s.triangleCount,
                           benchmark::Counter::kIsIterationInvariantRate);
}

void BM_FrameOfLitTexturedMeshesWithStateChanges(benchmark::State &state) {
    frameOfMeshes(state, true);
}
void BM_FrameOfLitTexturedMeshesWithoutStateChanges(benchmark::State &state) {
    frameOfMeshes(state, false);
}

void BM_EmptyFrame(benchmark::State &state) {
    Scene &s = scene();
    if (!s.device) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state) {
        s.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        s.device->Present(nullptr, nullptr, nullptr, nullptr);
    }
}

} // namespace

BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameOfLitTexturedMeshesWithStateChanges)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameOfLitTexturedMeshesWithoutStateChanges)->Arg(2000)->Unit(benchmark::kMillisecond);
