// Cost of drawing through the fixed-function pipeline on the real device (offscreen), side by side
// with its floor, the same scene drawn by a plain OpenGL program: frames of thousands of small lit,
// textured meshes with and without state changes between them, and the empty frame. The summary
// after the table gives each case's device time over the floor's.
//
// Noise from other processes is best evened out with repetitions in random order, e.g.
//   bench_draw --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
#include "draw_scene.h"
#include "raw_gl_floor.h"

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/seams.h"
#include "platform/win32/entry/heap_policy.h"
#include "platform/win32/win32.h"
#include "tests/platform/d3d8/headless_device.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr int kMeshes = 2000;

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// The scene on one device: two textures and the sphere mesh in managed buffers.
struct DeviceScene {
    HWND window = nullptr;
    IDirect3D8 *d3d = nullptr;
    IDirect3DDevice8 *device = nullptr;
    IDirect3DTexture8 *textures[2] = {};
    IDirect3DVertexBuffer8 *vertices = nullptr;
    IDirect3DIndexBuffer8 *indices = nullptr;
    UINT vertexCount = 0, triangleCount = 0;

    DeviceScene() {
        using namespace draw_scene;
        window = headless::OpenWindow("draw benchmark", kWidth, kHeight, WS_VISIBLE);
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        if (!d3d || FAILED(headless::CreateWindowedDevice(d3d, window, kWidth, kHeight, &device)))
            return;
        for (int t = 0; t < 2; ++t) {
            device->CreateTexture(kTextureSize, kTextureSize, 0, 0, D3DFMT_X8R8G8B8,
                                  D3DPOOL_MANAGED, &textures[t]);
            for (UINT level = 0; level < textures[t]->GetLevelCount(); ++level) {
                D3DSURFACE_DESC desc{};
                textures[t]->GetLevelDesc(level, &desc);
                D3DLOCKED_RECT locked{};
                textures[t]->LockRect(level, &locked, nullptr, 0);
                for (UINT i = 0; i < desc.Width * desc.Height; ++i) {
                    const std::uint32_t c = Texel(t, i);
                    std::memcpy(static_cast<BYTE *>(locked.pBits) + 4 * i, &c, 4);
                }
                textures[t]->UnlockRect(level);
            }
        }
        const Mesh mesh = Sphere();
        vertexCount = static_cast<UINT>(mesh.vertices.size());
        triangleCount = static_cast<UINT>(mesh.indices.size() / 3);
        BYTE *data = nullptr;
        device->CreateVertexBuffer(static_cast<UINT>(mesh.vertices.size() * sizeof(Vertex)),
                                   D3DUSAGE_WRITEONLY, kFvf, D3DPOOL_MANAGED, &vertices);
        vertices->Lock(0, 0, &data, 0);
        std::memcpy(data, mesh.vertices.data(), mesh.vertices.size() * sizeof(Vertex));
        vertices->Unlock();
        device->CreateIndexBuffer(static_cast<UINT>(mesh.indices.size() * 2), D3DUSAGE_WRITEONLY,
                                  D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices);
        indices->Lock(0, 0, &data, 0);
        std::memcpy(data, mesh.indices.data(), mesh.indices.size() * 2);
        indices->Unlock();

        D3DMATRIX proj{};
        std::memcpy(&proj, kProjection, sizeof proj);
        const D3DMATRIX id = identity();
        device->SetTransform(D3DTS_PROJECTION, &proj);
        device->SetTransform(D3DTS_VIEW, &id);
        device->SetRenderState(D3DRS_AMBIENT, kAmbient);
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 0};
        light.Direction = {kSunDirection[0], kSunDirection[1], kSunDirection[2]};
        light.Range = 1000;
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        light.Type = D3DLIGHT_SPOT;
        light.Position = {0, 0, 0};
        light.Direction = {0, 0, 1};
        light.Range = kSpotRange;
        light.Falloff = kSpotFalloff;
        light.Attenuation1 = kSpotAttenuation1;
        light.Theta = kSpotTheta;
        light.Phi = kSpotPhi;
        device->SetLight(2, &light);
        device->LightEnable(2, TRUE);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
        device->SetVertexShader(kFvf);
        device->SetStreamSource(0, vertices, sizeof(Vertex));
        device->SetIndices(indices, 0);
    }
    ~DeviceScene() {
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

    void DrawMesh(int i, bool changeStates) {
        const draw_scene::Placement p = draw_scene::PlaceOf(i);
        D3DMATRIX world = identity();
        world._11 = world._22 = world._33 = p.scale;
        world._41 = p.x;
        world._42 = p.y;
        world._43 = p.z;
        device->SetTransform(D3DTS_WORLD, &world);
        if (changeStates) {
            const draw_scene::Look look = draw_scene::LookOf(i, true);
            D3DMATERIAL8 material{};
            material.Diffuse = {look.diffuse[0], look.diffuse[1], look.diffuse[2], look.diffuse[3]};
            material.Ambient = {1, 1, 1, 1};
            device->SetMaterial(&material);
            device->SetTexture(0, textures[look.texture]);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, look.blend ? TRUE : FALSE);
            device->SetTextureStageState(0, D3DTSS_COLORARG2,
                                         look.useFactor ? D3DTA_TFACTOR : D3DTA_DIFFUSE);
        }
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vertexCount, 0, triangleCount);
    }

    void Frame(int meshes, bool changeStates) {
        if (!changeStates) {
            D3DMATERIAL8 material{};
            material.Diffuse = material.Ambient = {1, 1, 1, 1};
            device->SetMaterial(&material);
            device->SetTexture(0, textures[0]);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        }
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        device->BeginScene();
        for (int i = 0; i < meshes; ++i)
            DrawMesh(i, changeStates);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    void EmptyFrame() {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
};

// Both sides live for the whole run. The device comes first, so that whatever it sets up for the
// process (allocator settings included) holds for the floor too and the ratio is the draw path's.
struct Sides {
    std::unique_ptr<DeviceScene> device;
    std::unique_ptr<RawGlFloor> floor;
};
Sides &sides() {
    static Sides instance = [] {
        // The heap as the game's process keeps it, for the device and the floor alike.
        win32::KeepFreedMemoryForReuse();
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        Sides s;
        s.device = std::make_unique<DeviceScene>();
        s.floor = std::make_unique<RawGlFloor>();
        return s;
    }();
    return instance;
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

template <class Draw> void runFrames(benchmark::State &state, int meshes, Draw draw) {
    const long faultsBefore = minorFaults();
    for (auto _ : state)
        draw();
    state.counters["page_faults_per_frame"] = benchmark::Counter(
        static_cast<double>(minorFaults() - faultsBefore), benchmark::Counter::kAvgIterations);
    if (meshes > 0)
        state.counters["draws_per_second"] = benchmark::Counter(
            static_cast<double>(meshes), benchmark::Counter::kIsIterationInvariantRate);
}

void deviceFrames(benchmark::State &state, int meshes, bool changeStates) {
    DeviceScene *scene = sides().device.get();
    if (!scene->device) {
        state.SkipWithError("no device");
        return;
    }
    if (meshes == 0)
        runFrames(state, 0, [&] { scene->EmptyFrame(); });
    else
        runFrames(state, meshes, [&] { scene->Frame(meshes, changeStates); });
}

void floorFrames(benchmark::State &state, int meshes, bool changeStates) {
    RawGlFloor *floor = sides().floor.get();
    if (!floor->Ready()) {
        state.SkipWithError("no OpenGL 3.3 context for the floor");
        return;
    }
    if (meshes == 0)
        runFrames(state, 0, [&] { floor->EmptyFrame(); });
    else
        runFrames(state, meshes, [&] { floor->Frame(meshes, changeStates); });
}

// How far the floor's picture is from the device's for the frame with state changes: the floor
// only counts if it draws the same thing.
void comparePictures() {
    Sides &s = sides();
    if (!s.device->device || !s.floor->Ready())
        return;
    s.device->Frame(kMeshes, true);
    image::Rgba8Image layer;
    seams::ReadBackBuffer(s.device->device, layer);
    s.floor->Frame(kMeshes, true);
    std::vector<std::uint8_t> floor;
    s.floor->Read(floor);
    if (layer.pixels.size() != floor.size())
        return;
    size_t differing = 0;
    int largest = 0;
    for (size_t p = 0; p < floor.size(); p += 4) {
        int worst = 0;
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(layer.pixels[p + c] - floor[p + c]));
        differing += worst > 0 ? 1 : 0;
        largest = std::max(largest, worst);
    }
    std::printf("Floor picture against the device's: %zu of %zu pixels differ, by at most %d\n",
                differing, floor.size() / 4, largest);
}

// Prints the normal table, then each case's device time over the floor's, in real time and in
// processor time of all threads (the rasteriser's included), which other load on the machine
// disturbs less. Medians when the run has repetitions, else the single run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            Entry &entry = m_times[run.run_name.function_name];
            if (median && !entry.fromMedian)
                entry = Entry{{}, {}, true};
            if (median || !entry.fromMedian) {
                entry.real.push_back(run.GetAdjustedRealTime());
                entry.cpu.push_back(run.GetAdjustedCPUTime());
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-26s %12s %12s %7s %12s %12s %7s\n", "case", "device real", "floor real",
                    "ratio", "device cpu", "floor cpu", "ratio");
        for (const char *c : {"EmptyFrame", "FrameWithStateChanges", "FrameWithoutStateChanges"}) {
            const auto device = m_times.find(std::string("Device/") + c);
            const auto floor = m_times.find(std::string("RawGL/") + c);
            if (device == m_times.end() || floor == m_times.end())
                continue;
            const double dr = middle(device->second.real), fr = middle(floor->second.real);
            const double dc = middle(device->second.cpu), fc = middle(floor->second.cpu);
            std::printf("%-26s %12.3f %12.3f %6.2fx %12.3f %12.3f %6.2fx\n", c, dr, fr, dr / fr, dc,
                        fc, dc / fc);
        }
    }

private:
    struct Entry {
        std::vector<double> real, cpu;
        bool fromMedian = false;
    };
    static double middle(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0.0 : values[values.size() / 2];
    }
    std::map<std::string, Entry> m_times;
};

void registerCase(const char *name, int meshes, bool changeStates, benchmark::TimeUnit unit) {
    benchmark::RegisterBenchmark(
        (std::string("Device/") + name).c_str(),
        [=](benchmark::State &s) { deviceFrames(s, meshes, changeStates); })
        ->Unit(unit)
        ->UseRealTime()
        ->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark((std::string("RawGL/") + name).c_str(),
                                 [=](benchmark::State &s) { floorFrames(s, meshes, changeStates); })
        ->Unit(unit)
        ->UseRealTime()
        ->MeasureProcessCPUTime();
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerCase("EmptyFrame", 0, false, benchmark::kMicrosecond);
    registerCase("FrameWithStateChanges", kMeshes, true, benchmark::kMillisecond);
    registerCase("FrameWithoutStateChanges", kMeshes, false, benchmark::kMillisecond);
    comparePictures();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    sides() = Sides{};
    return 0;
}
