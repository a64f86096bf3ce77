// The contact sheet's mesh views: a hidden window and device, the game's mesh and texture loaders,
// fixed-function lighting like the game's lit models, and the back buffer read back into a canvas.
#include "tools/mediagen/mesh_view.h"

#include "platform/d3d8/seams.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/win32/win32.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace mediagen {

struct MeshViewer::Device {
    HWND window = nullptr;
    IDirect3D8 *d3d = nullptr;
    IDirect3DDevice8 *device = nullptr;
    int width = 0, height = 0;

    ~Device() {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        if (window)
            DestroyWindow(window);
    }
};

namespace {

template <typename T> void release(T *&object) {
    if (object)
        object->Release();
    object = nullptr;
}

D3DCOLORVALUE colour(float r, float g, float b) {
    return {r, g, b, 1.0f};
}

} // namespace

MeshViewer::MeshViewer(const std::string &folder, int width, int height)
    : m_device(std::make_unique<Device>()), m_folder(folder) {
    // Headless unless the caller chose a video driver.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "contact sheet";
    RegisterClassA(&wc);
    Device &d = *m_device;
    d.width = width;
    d.height = height;
    d.window = CreateWindowExA(0, "contact sheet", "contact sheet", WS_CAPTION, 0, 0, width, height,
                               nullptr, nullptr, nullptr, nullptr);
    d.d3d = d.window ? Direct3DCreate8(D3D_SDK_VERSION) : nullptr;
    if (!d.d3d)
        return;
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = static_cast<UINT>(width);
    pp.BackBufferHeight = static_cast<UINT>(height);
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = d.window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    if (FAILED(d.d3d->CreateDevice(0, D3DDEVTYPE_HAL, d.window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                   &pp, &d.device)))
        d.device = nullptr;
}

MeshViewer::~MeshViewer() = default;

bool MeshViewer::ok() const {
    return m_device->device != nullptr;
}

Canvas MeshViewer::Render(const std::string &name, int width, int height, const View &view) {
    Canvas out(width, height, hex(0x20242a));
    IDirect3DDevice8 *device = m_device->device;
    if (!device || width > m_device->width || height > m_device->height)
        return out;

    const std::string path = m_folder + "/" + name;
    ID3DXBuffer *materialBuffer = nullptr;
    DWORD materialCount = 0;
    ID3DXMesh *mesh = nullptr;
    if (FAILED(D3DXLoadMeshFromX(path.c_str(), 0, device, nullptr, &materialBuffer, &materialCount,
                                 &mesh))) {
        std::fprintf(stderr, "contact sheet: %s does not load\n", name.c_str());
        return out;
    }
    const auto *materials = static_cast<const D3DXMATERIAL *>(materialBuffer->GetBufferPointer());
    std::vector<D3DMATERIAL8> looks(materialCount);
    std::vector<IDirect3DTexture8 *> textures(materialCount, nullptr);
    for (DWORD i = 0; i < materialCount; ++i) {
        looks[i] = materials[i].MatD3D;
        // Textures sit beside the meshes, named bare as the game opens them.
        if (materials[i].pTextureFilename && *materials[i].pTextureFilename) {
            const std::string texture = m_folder + "/" + materials[i].pTextureFilename;
            if (FAILED(D3DXCreateTextureFromFileA(device, texture.c_str(), &textures[i])))
                std::fprintf(stderr, "contact sheet: %s does not load\n", texture.c_str());
        }
    }
    release(materialBuffer);

    Vec3 eye = view.target + Vec3{std::sin(view.yaw) * std::cos(view.pitch), std::sin(view.pitch),
                                  -std::cos(view.yaw) * std::cos(view.pitch)} *
                                 view.distance;
    D3DXVECTOR3 from(eye.x, eye.y, eye.z), at(view.target.x, view.target.y, view.target.z),
        up(0, 1, 0);
    D3DXMATRIX world, camera, projection;
    D3DXMatrixIdentity(&world);
    D3DXMatrixLookAtLH(&camera, &from, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, view.fov, static_cast<float>(width) / height, 0.02f,
                               500.0f);
    D3DVIEWPORT8 viewport{0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 1};
    // One white light from above, in front and to the right.
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = colour(1, 1, 1);
    Vec3 toLight = normalize(Vec3{0.4f, 0.7f, -0.6f});
    light.Direction = {-toLight.x, -toLight.y, -toLight.z};

    device->SetViewport(&viewport);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF20242A, 1.0f, 0);
    if (SUCCEEDED(device->BeginScene())) {
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetTransform(D3DTS_VIEW, &camera);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        // Lit as the game lights its models: the file's emissive fill plus one light. Meshes
        // without normals are ones the game draws unlit.
        const bool lit = view.lit && (mesh->GetFVF() & D3DFVF_NORMAL) != 0;
        device->SetRenderState(D3DRS_LIGHTING, lit ? TRUE : FALSE);
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
        for (DWORD i = 0; i < materialCount; ++i) {
            device->SetMaterial(&looks[i]);
            device->SetTexture(0, textures[i]);
            mesh->DrawSubset(i);
        }
        device->SetTexture(0, nullptr);
        device->EndScene();
        image::Rgba8Image frame;
        if (seams::ReadBackBuffer(device, frame)) {
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const std::uint8_t *p =
                        &frame.pixels[(static_cast<std::size_t>(y) * frame.width + x) * 4];
                    out.set(x, y, rgb(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f));
                }
        }
    }
    for (auto *texture : textures)
        release(texture);
    release(mesh);
    return out;
}

} // namespace mediagen
