// The whole play scene at once: the attract field under the sky, the player's ship seen from the
// chase camera, blasts, shots, smoke, satellites, debris and a caption, updated and drawn for a few
// hundred fixed steps. Every object shares one device here, so this is where state left behind by
// one object can spoil another's draw, and where a resource one of them forgets shows as a leak.
#include "game/asteroid_field.h"
#include "game/camera.h"
#include "game/debris.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/satellite.h"
#include "game/skybox.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "game/text_asset.h"
#include "platform/win32/random.h"
#include "render_fixture.h"

#include <SDL.h>

#include <string>

namespace {

using GetErrorFn = unsigned (*)();

class SceneTest : public game_test::RenderTest {
protected:
    static constexpr float kStep = 1.0f / 30.0f;
    static constexpr int kFrames = 300;
    static constexpr float kPi = 3.14159265f;

    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure())
            return;
        seams::CaptureDebugOutput(true);
        m_glGetError = reinterpret_cast<GetErrorFn>(SDL_GL_GetProcAddress("glGetError"));
        ASSERT_NE(m_glGetError, nullptr);
        LightTheWorld();
        LoadAll();
    }

    void TearDown() override {
        if (m_device) {
            captions.ReleaseResources();
            smoke.ReleaseResources();
            lasers.ReleaseResources();
            explosions.ReleaseResources();
            flame.ReleaseResources();
            ship.ReleaseResources();
            ship.ReleaseReflection();
            satellites.ReleaseResources();
            debris.ReleaseResources();
            field.ReleaseMeshes();
            sky.ReleaseResources();
        }
        RenderTest::TearDown();
        seams::CaptureDebugOutput(false);
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
        EXPECT_EQ(seams::LiveGlObjects(), 0);
    }

    // What the game's one-time device set-up gives every frame: a dim ambient and two white
    // directional lights, so that lit meshes are not black.
    void LightTheWorld() {
        m_device->SetRenderState(D3DRS_DITHERENABLE, FALSE);
        m_device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
        m_device->SetRenderState(D3DRS_ZENABLE, TRUE);
        m_device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_ARGB(0, 15, 15, 15));
        const D3DXVECTOR3 directions[2] = {{0.1f, 0.2f, -1.0f}, {-0.1f, -0.2f, -1.0f}};
        for (DWORD i = 0; i < 2; ++i) {
            D3DLIGHT8 light{};
            light.Type = D3DLIGHT_DIRECTIONAL;
            light.Diffuse = {1, 1, 1, 1};
            D3DXVECTOR3 d;
            D3DXVec3Normalize(&d, &directions[i]);
            light.Direction = d;
            light.Range = 1000.0f;
            m_device->SetLight(i, &light);
            m_device->LightEnable(i, TRUE);
        }
        m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    }

    void LoadAll() {
        sky.device = m_device;
        ASSERT_EQ(sky.Load("skybox.x"), S_OK);
        field.device = m_device;
        field.LoadMeshes();
        debris.device = m_device;
        ASSERT_EQ(debris.Load("debris.x"), S_OK);
        satellites.device = m_device;
        ASSERT_EQ(satellites.Load("satellite.x"), S_OK);
        ship.device = m_device;
        ship.Reset();
        ASSERT_EQ(ship.Load("ship.x"), S_OK);
        D3DSURFACE_DESC desc{};
        desc.Width = kWidth;
        desc.Height = kHeight;
        ship.LoadReflection(&desc);
        flame.device = m_device;
        ASSERT_EQ(flame.Load("flare.x"), S_OK);
        ship.flameMesh = &flame;
        explosions.device = m_device;
        explosions.LoadResources();
        lasers.device = m_device;
        lasers.LoadResources();
        smoke.device = m_device;
        smoke.LoadResources();
        captions.device = m_device;
        captions.LoadResources();
    }

    // One fixed update of everything, driven the way the world update drives it: the ship flies
    // and turns gently, fires now and then, trails smoke, and blasts go off among the bodies.
    void Update(int frame) {
        ship.speed = 0.4f;
        ship.yawRate = 0.01f;
        ship.pitchRate = 0.004f;
        ship.Update(kStep, false, 1.0f, true);
        const D3DXVECTOR3 at = ship.GetPosition();
        const D3DXQUATERNION q = ship.GetOrientation();
        D3DXMatrixRotationQuaternion(&m_shipWorld, &q);
        field.Update(kStep, at.x, at.y, at.z);
        satellites.Update(at);
        debris.Update(at);
        if (frame % 6 == 0)
            lasers.Fire(at.x, at.y, at.z, &m_shipWorld, ship.speed, 0);
        lasers.Update(kStep);
        if (frame % 20 == 0) {
            // A blast on a body in front of the ship, or just ahead when none is active.
            const D3DXVECTOR3 ahead =
                at + D3DXVECTOR3(m_shipWorld._31, m_shipWorld._32, m_shipWorld._33) * 60.0f;
            const AsteroidBody &body = field.bodies[crt::rand() % AsteroidField::kMaxBodies];
            const D3DXVECTOR3 p = body.active ? body.position : ahead;
            explosions.Add(p.x, p.y, p.z, 1 + frame % 3, frame % 40 == 0);
            explosions.Add(ahead.x, ahead.y, ahead.z, 2, false);
        }
        explosions.Update(kStep);
        if (frame % 2 == 0)
            smoke.Add(at.x, at.y, at.z, &m_shipWorld, ship.speed);
        smoke.Update(kStep);
    }

    void SetBaselineStates() {
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

    void OverlayProjection() {
        D3DXMATRIX projection, identity;
        D3DXMatrixOrthoLH(&projection, float(kWidth), float(kHeight), -100.0f, 100.0f);
        D3DXMatrixIdentity(&identity);
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
        m_device->SetTransform(D3DTS_WORLD, &identity);
        m_device->SetTransform(D3DTS_VIEW, &identity);
    }

    // One frame of the chase view, in the order the play scene draws; the view-projection the
    // objects get is the one the previous frame left, as in the game.
    void Draw() {
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0),
                  S_OK);
        D3DXMATRIX vp = camera.GetViewMatrix() * m_projection;
        ASSERT_EQ(m_device->BeginScene(), S_OK);
        SetBaselineStates();

        camera.FollowShip(ship.GetPosition(), &m_shipWorld);
        D3DXMatrixPerspectiveFovLH(&m_projection, kPi / 4, float(kWidth) / float(kHeight), 1.0f,
                                   512.0f);
        m_device->SetTransform(D3DTS_PROJECTION, &m_projection);
        D3DXMATRIX view = camera.GetViewMatrix();
        m_device->SetTransform(D3DTS_VIEW, &view);
        sky.Render(camera.GetTrailEye());

        m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
        debris.Render(&vp);
        field.Render(&vp);
        satellites.Render(&vp);
        ship.Render(&view, &m_projection, &m_shipWorld, false);

        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR);
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        explosions.Render(&vp, &m_shipWorld);
        lasers.Render(&vp, &m_shipWorld);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        smoke.Render(&vp, &m_shipWorld);
        m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);

        OverlayProjection();
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        captions.Render(CaptionId::ZelGame, 0.0f, -float(kHeight) / 2 + 24, 256.0f, 16.0f, 1.0f);
    }

    // Pixels in [x0, x1) x [y0, y1) whose brightest channel exceeds `brightest` and whose darkest
    // exceeds `darkest` (a high `darkest` asks for near-white).
    int CountPixels(int x0, int y0, int x1, int y1, int brightest, int darkest) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t *p = At(x, y);
                n += std::max({p[0], p[1], p[2]}) > brightest &&
                     std::min({p[0], p[1], p[2]}) > darkest;
            }
        return n;
    }

    int CountBluish(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t *p = At(x, y);
                n += p[2] > p[0] + 30 && p[2] > 100;
            }
        return n;
    }

    int DrawCallsLogged() const {
        int n = 0;
        for (const std::string &call : seams::DeviceCallTexts())
            n += call.rfind("DrawIndexedPrimitive", 0) == 0 || call.rfind("DrawPrimitive", 0) == 0;
        return n;
    }

    GetErrorFn m_glGetError = nullptr;
    D3DXMATRIX m_shipWorld;
    D3DXMATRIX m_projection;
    Skybox sky;
    AsteroidField field;
    Satellite satellites;
    Debris debris;
    Spaceship ship;
    MeshObj flame;
    Explosion explosions;
    Laser lasers;
    Smoke smoke;
    TextAsset captions;
    Camera camera;
};

TEST_F(SceneTest, EverythingDrawsTogetherWithoutErrorsOrLeaks) {
    field.InitAttractField();
    satellites.Spawn(4);
    debris.Scatter();
    ship.SetPosition(0, 0, 0);
    ship.SetOrientation(D3DXQUATERNION(0, 0, 0, 1));
    D3DXMatrixIdentity(&m_shipWorld);
    camera.ResetTrail(ship.GetPosition(), &m_shipWorld);
    D3DXMatrixPerspectiveFovLH(&m_projection, kPi / 4, float(kWidth) / float(kHeight), 1.0f,
                               512.0f);
    while (m_glGetError() != 0) {
    }

    int shotsSeen = 0, blastsSeen = 0, puffsSeen = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        Update(frame);
        seams::StartDeviceCallLog();
        Draw();
        if (HasFatalFailure())
            return;
        const int draws = DrawCallsLogged();
        seams::StopDeviceCallLog();
        // Sky, ship hull and caption at the least; the field adds many more.
        ASSERT_GE(draws, 3) << "frame " << frame;
        const std::string name = "scene-" + std::to_string(frame);
        if (frame == 30 || frame == 150 || frame == kFrames - 1) {
            End(name);
            if (HasFatalFailure())
                return;
            // The sky alone fills the screen; effects add bright pixels on top.
            const game_test::BrightArea lit = Bright(20);
            EXPECT_GT(lit.count, int(kWidth * kHeight) / 20) << name;
            // The chase camera keeps the ship just below the centre of the screen: its blue-lit
            // hull and flames, which neither the blasts nor the smoke nor the sky there give.
            EXPECT_GT(CountBluish(130, 145, 190, 172), 100) << name;
            // The caption's white letters along the bottom edge.
            EXPECT_GT(CountPixels(60, 208, 260, 224, 180, 180), 60) << name;
        } else {
            ASSERT_EQ(m_device->EndScene(), S_OK);
        }
        m_device->Present(nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(m_glGetError(), 0u) << "GL error after frame " << frame;

        for (const LaserShot &s : lasers.shots)
            shotsSeen += s.active;
        for (const ExplosionRecord &e : explosions.explosions)
            blastsSeen += e.active;
        for (const SmokePuff &p : smoke.puffs)
            puffsSeen += p.active;
    }
    // The effects were really in the scene, not dropped before they could be drawn.
    EXPECT_GT(shotsSeen, kFrames);
    EXPECT_GT(blastsSeen, kFrames);
    EXPECT_GT(puffsSeen, kFrames);
    const std::string traces = seams::TakeDebugOutput();
    EXPECT_TRUE(traces.empty()) << traces;
}

} // namespace
