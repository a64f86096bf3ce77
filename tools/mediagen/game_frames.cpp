// Review aid, not shipped with the game: the media as the game draws them. The scenes a player
// sees most (chase and cockpit views with the HUD, the fly-by, the station's first shot, smoke,
// explosions, the chrome environment, the menu font) drawn at 800 x 600, headless, by the game's
// own objects with the game's lights, cameras and blend states, each kept as a PNG.
//
// tarvos_game_frames <media folder> <output folder>
#include "game/asteroid_field.h"
#include "game/camera.h"
#include "game/cockpit.h"
#include "game/debris.h"
#include "game/dh_fast_font.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/radar.h"
#include "game/ship_health.h"
#include "game/skybox.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "game/text_asset.h"

#include "platform/d3d8/seams.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/image/image.h"
#include "platform/win32/win32.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kStep = 1.0f / 30.0f;
constexpr UINT kWidth = 800, kHeight = 600;

// The ship's nose along +z (toward the sun) or along -z, level.
const D3DXQUATERNION kSunward(0, 0, 0, 1);
const D3DXQUATERNION kAway(0, 1, 0, 0);
// The intro's and the station's pose: a half turn about x, nose along -z, upside down.
const D3DXQUATERNION kInverted(1, 0, 0, 0);

class GameFrames {
public:
    static constexpr float W = static_cast<float>(kWidth), H = static_cast<float>(kHeight);

    explicit GameFrames(std::string output) : m_output(std::move(output)) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "game frames";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(0, "game frames", "game frames", WS_CAPTION, 0, 0, kWidth,
                                   kHeight, nullptr, nullptr, nullptr, nullptr);
        m_d3d = m_window ? Direct3DCreate8(D3D_SDK_VERSION) : nullptr;
        if (!m_d3d)
            return;
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = kWidth;
        pp.BackBufferHeight = kHeight;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = m_window;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        // The format the framework picks first.
        pp.AutoDepthStencilFormat = D3DFMT_D16;
        if (FAILED(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window,
                                       D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_device))) {
            m_device = nullptr;
            return;
        }
        Load();
    }

    ~GameFrames() {
        if (m_device) {
            delete font;
            radar.ReleaseResources();
            gauge.ReleaseResources();
            captions.ReleaseResources();
            smoke.ReleaseResources();
            lasers.ReleaseResources();
            explosions.ReleaseResources();
            for (MeshObj *m : {static_cast<MeshObj *>(&sky), static_cast<MeshObj *>(&debris),
                               static_cast<MeshObj *>(&ship), &flame, &station})
                m->ReleaseResources();
            cockpit.ReleaseResources();
            ship.ReleaseReflection();
            field.ReleaseMeshes();
            m_device->Release();
        }
        if (m_d3d)
            m_d3d->Release();
        if (m_window)
            DestroyWindow(m_window);
    }

    bool ok() const { return m_device != nullptr; }
    int written() const { return m_written; }

    void All() {
        ChaseView();
        CockpitViewWithHud();
        IntroFlyBy();
        StationFirstShot();
        SmokeTrail();
        Explosions();
        ChromeBalls();
        MenusAndHallOfFame();
    }

private:
    void Load() {
        DeviceStates();
        for (MeshObj *m :
             {static_cast<MeshObj *>(&sky), static_cast<MeshObj *>(&debris),
              static_cast<MeshObj *>(&cockpit), static_cast<MeshObj *>(&ship), &flame, &station})
            m->device = m_device;
        radar.device = gauge.device = m_device;
        field.device = explosions.device = lasers.device = smoke.device = captions.device =
            m_device;
        field.LoadMeshes();
        sky.Load("skybox.x");
        debris.Load("debris.x");
        cockpit.Load("cockpit.x");
        cockpit.LoadLightsTexture();
        ship.Load("ship.x");
        D3DSURFACE_DESC desc{};
        ship.LoadReflection(&desc);
        flame.Load("flare.x");
        ship.flameMesh = &flame;
        station.Load("station.x");
        radar.LoadResources(W, H);
        gauge.LoadResources(W, H);
        explosions.LoadResources();
        lasers.LoadResources();
        smoke.LoadResources();
        captions.LoadResources();
        font = new dhFastFont(m_device, "font.png", "font.dat");
        debris.Scatter();
    }

    // What the game's device-resource load leaves behind: the red material, trilinear filtering,
    // the dim ambient and the two white lights travelling toward -z.
    void DeviceStates() {
        D3DMATERIAL8 red{};
        red.Diffuse = red.Ambient = {1, 0, 0, 1};
        m_device->SetMaterial(&red);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        for (DWORD stage : {0u, 1u})
            for (auto state : {D3DTSS_MINFILTER, D3DTSS_MIPFILTER, D3DTSS_MAGFILTER})
                m_device->SetTextureStageState(stage, state, D3DTEXF_LINEAR);
        m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        m_device->SetRenderState(D3DRS_DITHERENABLE, FALSE);
        m_device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
        m_device->SetRenderState(D3DRS_ZENABLE, TRUE);
        m_device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_ARGB(0, 15, 15, 15));
        const D3DXVECTOR3 directions[2] = {{0.1f, 0.2f, -1.0f}, {-0.1f, -0.2f, -1.0f}};
        for (DWORD i = 0; i < 2; ++i) {
            D3DLIGHT8 light{};
            light.Type = D3DLIGHT_DIRECTIONAL;
            light.Diffuse = {1, 1, 1, 1};
            D3DXVec3Normalize(reinterpret_cast<D3DXVECTOR3 *>(&light.Direction), &directions[i]);
            light.Range = 1000.0f;
            m_device->SetLight(i, &light);
            m_device->LightEnable(i, TRUE);
        }
    }

    // The frame prologue of every state: depth cleared, the baseline states.
    void Prologue(bool clearColour = true) {
        m_device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | (clearColour ? D3DCLEAR_TARGET : 0),
                        0xFF000000, 1.0f, 0);
        m_device->BeginScene();
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    }

    void Blend(D3DBLEND src, D3DBLEND dst) {
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, src);
        m_device->SetRenderState(D3DRS_DESTBLEND, dst);
    }

    void Perspective(float fov, float nearPlane) {
        D3DXMatrixPerspectiveFovLH(&m_projection, fov, W / H, nearPlane, 512.0f);
        m_device->SetTransform(D3DTS_PROJECTION, &m_projection);
    }

    void Overlay() {
        D3DXMATRIX ortho, identity;
        D3DXMatrixOrthoLH(&ortho, W, H, -100, 100);
        D3DXMatrixIdentity(&identity);
        m_device->SetTransform(D3DTS_PROJECTION, &ortho);
        m_device->SetTransform(D3DTS_WORLD, &identity);
        m_device->SetTransform(D3DTS_VIEW, &identity);
    }

    void Pose(D3DXQUATERNION q, D3DXVECTOR3 at = {0, 0, 0}) {
        ship.SetOrientation(q);
        ship.SetPosition(at.x, at.y, at.z);
        D3DXMatrixRotationQuaternion(&m_shipWorld, &q);
    }

    // The ship flies on for a while, firing and, when damaged, trailing smoke, while blasts go
    // off ahead; then the pools hold shots, puffs and explosions of every age.
    void Fly(int updates, bool firing, bool smoking, bool blasts) {
        for (int i = 0; i < updates; ++i) {
            ship.speed = 0.35f;
            ship.Update(kStep, false, 1.0f, false);
            const D3DXVECTOR3 at = ship.GetPosition();
            D3DXMatrixRotationQuaternion(&m_shipWorld, &ship.orientation);
            const D3DXVECTOR3 forward(m_shipWorld._31, m_shipWorld._32, m_shipWorld._33);
            if (firing && i % 3 == 0)
                lasers.Fire(at.x, at.y, at.z, &m_shipWorld, ship.speed, 0);
            // A damaged ship puffs one frame in ten on average, the puff keeping the ship's pace.
            if (smoking && i % 10 == 0)
                smoke.Add(at.x, at.y, at.z, &m_shipWorld, ship.speed);
            if (blasts && i % 12 == 0) {
                const D3DXVECTOR3 p = at + forward * 70.0f +
                                      D3DXVECTOR3(float(i % 5) * 6 - 12, float(i % 3) * 5 - 5, 0);
                explosions.Add(p.x, p.y, p.z, 1 + i % 3, i % 36 == 0);
            }
            lasers.Update(kStep);
            smoke.Update(kStep);
            explosions.Update(kStep);
        }
    }

    // A few bodies placed around a point ahead, of every size.
    void Rocks(D3DXVECTOR3 centre) {
        const float spots[][4] = {{-9, 3, 10, 1},  {8, -2, 0, 2},  {2, 6, 25, 1},
                                  {-3, -5, -6, 3}, {14, 7, 30, 2}, {-16, -8, 20, 1}};
        for (const auto &s : spots)
            field.AddBody(centre.x + s[0], centre.y + s[1], centre.z + s[2], DWORD(s[3]));
    }

    // The play scene of the chase or the cockpit view, as the render step draws it.
    void PlayScene(bool inCockpit, bool reflection, float health = 1.0f) {
        const D3DXVECTOR3 at = ship.GetPosition();
        D3DXMATRIX view;
        Perspective(kPi / 4, 1.0f);
        if (inCockpit) {
            view = camera.SetBehindShip(at, &m_shipWorld);
            m_device->SetTransform(D3DTS_VIEW, &view);
            sky.Render(at);
        } else {
            camera.ResetTrail(at, &m_shipWorld);
            view = camera.GetViewMatrix();
            m_device->SetTransform(D3DTS_VIEW, &view);
            sky.Render(camera.GetTrailEye());
        }
        const D3DXMATRIX vp = view * m_projection;
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
        debris.Render(&vp);
        field.Render(&vp);
        if (!inCockpit)
            ship.Render(&view, &m_projection, &m_shipWorld, reflection);
        Blend(D3DBLEND_SRCCOLOR, D3DBLEND_ONE);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        explosions.Render(&vp, &m_shipWorld);
        lasers.Render(&vp, &m_shipWorld);
        Blend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
        smoke.Render(&vp, &m_shipWorld);
        m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
        if (inCockpit) {
            m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
            m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
            const D3DXVECTOR3 shaken = at + m_shake;
            cockpit.Render(shaken.x, shaken.y, shaken.z, &m_shipWorld, health, ship.speed, true,
                           true);
        }
    }

    // The HUD of the play states, every element at its place for the back-buffer size.
    void Hud(float health) {
        Overlay();
        m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        for (int i = 0; i < ShipHealth::kSamples; ++i)
            gauge.Update(kStep, i < 30 ? 1.0f : health);
        radar.Render();
        gauge.Render();
        captions.Render(CaptionId::Lives3, -W / 2 + 72, H / 2 - 12, 128, 16, 1.0f);
        captions.Render(CaptionId::Score, W / 2 - 36, -H / 2 + 40, 128, 16, 1.0f);
        font->drawText("00123450", W - 248, H - 38, 0xFFFFFFFF);
        RestoreAlphaStates();
        captions.Render(CaptionId::TimeRemaining, -W / 2 + 78, -H / 2 + 40, 256, 16, 1.0f);
        font->drawText("1:15", 6, H - 38, 0xFFFFFFFF);
        RestoreAlphaStates();
        captions.Render(CaptionId::TehSuck, 0, -H / 2 + 20, 256, 32, 1.0f);
        // A few bodies' dots, each at the radar's centre plus its offset.
        Blend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
        radar.SetDotTexture(0);
        for (int i = 0; i < 5; ++i) {
            D3DXMATRIX s, t, world;
            D3DXMatrixScaling(&s, 4.8f, 4.8f, 4.8f);
            D3DXMatrixTranslation(&t, W / 2 - 72 + 11.0f * i - 22, H / 2 - 72 + 7.0f * (i % 3), 0);
            world = s * t;
            m_device->SetTransform(D3DTS_WORLD, &world);
            radar.DrawDot();
        }
    }

    void RestoreAlphaStates() {
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    }

    // Ends the frame and keeps it as <output>/<name>.png.
    void Keep(const std::string &name) {
        m_device->SetTexture(0, nullptr);
        m_device->EndScene();
        image::Rgba8Image frame;
        std::vector<std::uint8_t> png;
        std::string error;
        if (!seams::ReadBackBuffer(m_device, frame) ||
            !image::EncodePng(frame, false, png, error) ||
            !image::WriteFileBytes(m_output + "/" + name + ".png", png, error)) {
            std::fprintf(stderr, "game frames: %s: %s\n", name.c_str(), error.c_str());
            return;
        }
        ++m_written;
    }

    void ChaseView() {
        for (bool sunward : {true, false}) {
            for (bool reflection : {true, false}) {
                field.InitField(0);
                Pose(sunward ? kSunward : kAway);
                Rocks(D3DXVECTOR3(0, 0, sunward ? 40.0f : -40.0f));
                Fly(24, true, false, true);
                Prologue();
                PlayScene(false, reflection);
                Keep(std::string("chase_") + (sunward ? "sunward" : "away") +
                     (reflection ? "_chrome" : "_plain"));
            }
        }
    }

    void CockpitViewWithHud() {
        // The shake's extremes along each screen axis, and the ship facing the sun and away from
        // it.
        const D3DXVECTOR3 shakes[] = {{0, 0, 0}, {0.05f, 0.05f, 0.05f}, {-0.05f, -0.05f, -0.05f}};
        int n = 0;
        for (bool sunward : {true, false}) {
            for (const D3DXVECTOR3 &shake : shakes) {
                field.InitField(0);
                Pose(sunward ? kSunward : kAway);
                Rocks(D3DXVECTOR3(0, 0, sunward ? 40.0f : -40.0f));
                Fly(10, true, false, false);
                m_shake = shake;
                Prologue();
                PlayScene(true, true);
                Hud(0.7f);
                Keep("cockpit_" + std::string(sunward ? "sunward_" : "away_") +
                     std::to_string(n++ % 3));
            }
        }
    }

    void IntroFlyBy() {
        // The fly-by's own script up to the moment the camera has swung down to the ship.
        field.InitAttractField();
        Pose(kInverted, D3DXVECTOR3(0, 1.5f, 2.0f));
        float t = 0;
        while (t < 31.0f) {
            t += kStep;
            if (t > 10 && t < 15)
                ship.position.z *= 0.97f;
            if (t > 25 && t < 35) {
                D3DXMatrixRotationQuaternion(&m_shipWorld, &ship.orientation);
                ship.acceleration += kStep / 150;
                ship.pitchRate -= kStep / 50;
                ship.rollRate += kStep / 6;
                const D3DXVECTOR3 from = ship.GetShakeOffset();
                if (lasers.Fire(from.x, from.y, from.z, &m_shipWorld, ship.speed, 0))
                    ship.SlowDown();
            }
            ship.Update(kStep, false, 1.0f, true);
            if (t > 5)
                field.Update(kStep, 0, 0, 0);
            lasers.Update(kStep);
        }
        D3DXMatrixRotationQuaternion(&m_shipWorld, &ship.orientation);
        Prologue();
        const D3DXVECTOR3 eye(0, 0, 0.5f),
            target(0, 2.5f * std::cos(kPi * (t - 20) / 10) + 2.5f, -1), up(0, 1, 0);
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &target, &up);
        Perspective(kPi / 4, 1.0f);
        m_device->SetTransform(D3DTS_VIEW, &view);
        sky.Render(eye);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        m_device->SetTransform(D3DTS_WORLD, &identity);
        m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        const D3DXMATRIX vp = view * m_projection;
        field.Render(&vp);
        ship.Render(&view, &m_projection, &m_shipWorld, true);
        Blend(D3DBLEND_SRCCOLOR, D3DBLEND_ONE);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        explosions.Render(&vp, &m_shipWorld);
        lasers.Render(&vp, &m_shipWorld);
        Overlay();
        Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        captions.Render(CaptionId::Title, 0, 0, 512, 64, 1.0f);
        Keep("intro");
    }

    void StationFirstShot() {
        // Five seconds in: the camera by the clamps, the ship just arriving at the far mouth.
        Pose(kInverted, D3DXVECTOR3(0, -0.1f, 40.0f));
        D3DXMatrixRotationQuaternion(&m_shipWorld, &ship.orientation);
        Prologue();
        const D3DXVECTOR3 eye(-2.1f, 0.2f, 2.7f), target = ship.GetPosition(), up(0, 1, 0);
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &target, &up);
        Perspective(kPi / 3, 0.01f);
        m_device->SetTransform(D3DTS_VIEW, &view);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        sky.Render(eye);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        m_device->SetTransform(D3DTS_WORLD, &identity);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        station.Render();
        ship.Render(&view, &m_projection, &m_shipWorld, true);
        Keep("station");
    }

    void SmokeTrail() {
        for (bool reflection : {true, false}) {
            field.InitField(0);
            Pose(kSunward);
            smoke.Clear();
            Fly(75, false, true, false);
            Prologue();
            PlayScene(false, reflection, 0.3f);
            Keep(std::string("smoke_") + (reflection ? "chrome" : "plain"));
        }
    }

    void Explosions() {
        // One blast of each age from the flash to the last frame, side by side across the view.
        field.InitField(0);
        Pose(kSunward);
        const int ages = 10;
        for (int i = 0; i < ages; ++i)
            explosions.Add(-20.0f + 10.0f * (i % 5), i < 5 ? 7.0f : -1.0f, 50.0f, 3, i == 2);
        for (int i = 0; i < ages; ++i)
            explosions.explosions[i].age = 0.05f + 1.93f * i / (ages - 1);
        Prologue();
        PlayScene(false, true);
        Keep("explosions");
    }

    void ChromeBalls() {
        // The reflection environment on mirror balls, as the chrome hull samples it: camera-space
        // reflection vectors turned by a rotation, trilinear filtering over the file's mip levels.
        IDirect3DCubeTexture8 *cube = nullptr;
        if (FAILED(D3DXCreateCubeTextureFromFileA(m_device, "cubemap.dds", &cube)))
            return;
        std::vector<float> sphere;
        const int rings = 32, segments = 64;
        auto point = [&](int i, int j) {
            float a = kPi * i / rings, b = 2 * kPi * j / segments;
            float n[3] = {std::sin(a) * std::cos(b), std::cos(a), std::sin(a) * std::sin(b)};
            for (float v : n)
                sphere.push_back(v);
            for (float v : n)
                sphere.push_back(v);
        };
        for (int i = 0; i < rings; ++i)
            for (int j = 0; j < segments; ++j) {
                point(i, j), point(i, j + 1), point(i + 1, j);
                point(i + 1, j), point(i, j + 1), point(i + 1, j + 1);
            }
        Prologue();
        Perspective(kPi / 4, 1.0f);
        D3DXMATRIX view;
        const D3DXVECTOR3 eye(0, 0, -9), at(0, 0, 0), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        m_device->SetTransform(D3DTS_VIEW, &view);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        m_device->SetTexture(0, cube);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX,
                                       D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
        m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
        for (auto a : {D3DTSS_ADDRESSU, D3DTSS_ADDRESSV, D3DTSS_ADDRESSW})
            m_device->SetTextureStageState(0, a, D3DTADDRESS_CLAMP);
        m_device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
        const float turns[3][2] = {{0, 0}, {kPi, 0}, {0, kPi / 2}};
        for (int k = 0; k < 3; ++k) {
            D3DXMATRIX world, turn, turnX;
            D3DXMatrixTranslation(&world, -2.6f + 2.6f * k, 0, 0);
            D3DXMatrixRotationY(&turn, turns[k][0]);
            D3DXMatrixRotationX(&turnX, turns[k][1]);
            turn = turn * turnX;
            m_device->SetTransform(D3DTS_WORLD, &world);
            m_device->SetTransform(D3DTS_TEXTURE0, &turn);
            m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(sphere.size() / 18), sphere.data(),
                                      24);
        }
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        m_device->SetTransform(D3DTS_TEXTURE0, &identity);
        m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        Keep("chrome_balls");
        cube->Release();
    }

    void MenusAndHallOfFame() {
        Prologue();
        Overlay();
        Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        const char *lines[] = {")INVERT PITCH",
                               ")headlight",
                               "(REFLECTIONS",
                               "(BRISA VENNER",
                               "SENSITIVITY{<=====?=====>}",
                               "SENSITIVITY <=?=?==?=?==>",
                               "1  ???  00100000",
                               "2  ABC  00090000",
                               "MODE{800X600X32}"};
        float y = 60;
        for (const char *line : lines) {
            font->drawText(line, 80, y, 0xFFFFFFFF);
            y += 30;
        }

        Keep("menu_font");
    }

    Skybox sky;
    AsteroidField field;
    Debris debris;
    Cockpit cockpit;
    Spaceship ship;
    MeshObj flame, station;
    Radar radar;
    ShipHealth gauge;
    Explosion explosions;
    Laser lasers;
    Smoke smoke;
    TextAsset captions;
    Camera camera;
    dhFastFont *font = nullptr;
    D3DXMATRIX m_projection, m_shipWorld;
    D3DXVECTOR3 m_shake{0, 0, 0};
    std::string m_output;
    HWND m_window = nullptr;
    IDirect3D8 *m_d3d = nullptr;
    IDirect3DDevice8 *m_device = nullptr;
    int m_written = 0;
};

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <media folder> <output folder>\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    const std::filesystem::path output = std::filesystem::absolute(argv[2], ec);
    std::filesystem::create_directories(output, ec);
    // The game opens its files by bare name in its working folder.
    std::filesystem::current_path(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "game frames: %s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    GameFrames frames(output.string());
    if (!frames.ok()) {
        std::fprintf(stderr, "game frames: no Direct3D device to draw with\n");
        return 1;
    }
    frames.All();
    std::printf("game frames: %d frames -> %s\n", frames.written(), output.string().c_str());
    return 0;
}
