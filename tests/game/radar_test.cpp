// The play screen's two instruments: the radar with its dots, and the health gauge.
#include "game/asteroid_field.h"
#include "game/asteroid_game.h"
#include "game/mars_ship.h"
#include "game/radar.h"
#include "game/satellite.h"
#include "game/ship_health.h"
#include "game/skybox.h"
#include "game/spaceship.h"
#include "render_fixture.h"
#include "world_calls.h"

#include <string>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

// The matrices SetTransform was given for one transform type, in order.
std::vector<D3DXMATRIX> Transforms(D3DTRANSFORMSTATETYPE type) {
    std::vector<D3DXMATRIX> out;
    for (const d3d8::DeviceCall &call : seams::DeviceCalls()) {
        if (call.method != "SetTransform" || call.arguments.size() != 17 ||
            call.arguments[0] != std::to_string(type))
            continue;
        out.emplace_back();
        for (int i = 0; i < 16; ++i)
            out.back().m[i / 4][i % 4] = std::stof(call.arguments[1 + i]);
    }
    return out;
}

TEST(HudPlacement, FollowsTheBackBufferSize) {
    Radar radar;
    ShipHealth health;
    for (float width : {640.0f, 800.0f}) {
        const float height = width * 0.75f;
        radar.LoadResources(width, height); // without a device nothing loads, or draws
        health.LoadResources(width, height);
        EXPECT_EQ(radar.world, D3DXMATRIX(128, 0, 0, 0, 0, 128, 0, 0, 0, 0, 128, 0, width / 2 - 72,
                                          height / 2 - 72, 0, 1));
        EXPECT_EQ(health.translation._41, 72 - width / 2);
        EXPECT_EQ(health.translation._42, height / 2 - 76);
        radar.Render();
        health.Render();
    }
}

TEST(HealthGauge, StartsFullLagsFiftyUpdatesAndBlinksWithinHalfASecond) {
    ShipHealth health;
    EXPECT_EQ(health.average, 1.0f);
    for (int i = 1; i < 50; ++i)
        health.Update(0.02f, 0.5f);
    EXPECT_FLOAT_EQ(health.average, 0.51f);
    health.Update(0.02f, 0.5f);
    EXPECT_EQ(health.average, 0.5f);
    health.Update(0.02f, -3.0f);
    EXPECT_EQ(health.samples[ShipHealth::kSamples - 1], 0.0f);
    for (int i = 0; i < 1000; ++i) {
        health.Update(float(i * 7919 % 501) / 1000.0f, 1.0f);
        ASSERT_TRUE(health.blinkTimer >= 0.0f && health.blinkTimer <= 0.5f);
    }
}

// The ship at `eye` flies along +x (its right is -z, its up +y), with the sky ahead of it and the
// instruments over the sky.
class HudTest : public game_test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        radar.device = health.device = sky.device = app.m_pDevice = m_device;
        radar.LoadResources(float(kWidth), float(kHeight));
        health.LoadResources(float(kWidth), float(kHeight));
        ASSERT_EQ(sky.Load("skybox.x"), S_OK);
        const D3DXVECTOR3 vertical(0, 1, 0);
        D3DXQUATERNION q;
        ship.SetOrientation(*D3DXQuaternionRotationAxis(&q, &vertical, kPi / 2));
        ship.SetPosition(eye.x, eye.y, eye.z);
        D3DXMatrixRotationQuaternion(&app.m_matShipRotation, &q);
        app.m_backBufferDesc.Width = kWidth;
        app.m_backBufferDesc.Height = kHeight;
        app.m_pRadar = &radar;
        app.m_pSpaceship = &ship;
        app.m_pAsteroidField = &field;
        app.m_pSatellite = &satellites;
        app.m_pMarsShip = &mars;
        satellites.Clear();
    }
    void TearDown() override {
        radar.ReleaseResources();
        health.ReleaseResources();
        sky.ReleaseResources();
        // The objects are the test's own: the application object must not delete them.
        app.m_pRadar = nullptr;
        app.m_pSpaceship = nullptr;
        app.m_pAsteroidField = nullptr;
        app.m_pSatellite = nullptr;
        app.m_pMarsShip = nullptr;
        RenderTest::TearDown();
    }
    // The play screen's overlay: pixels from the centre, y up, depth -100..100, translucent,
    // then the dots added.
    void DrawFrame(bool dots, image::Rgba8Image &out) {
        Begin();
        D3DXMATRIX view, projection;
        const D3DXVECTOR3 at = eye + D3DXVECTOR3(1, 0, 0), up(0, 1, 0);
        m_device->SetTransform(D3DTS_VIEW, D3DXMatrixLookAtLH(&view, &eye, &at, &up));
        D3DXMatrixPerspectiveFovLH(&projection, kPi / 4, 4.0f / 3.0f, 1.0f, 512.0f);
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        sky.Render(eye);
        D3DXMatrixOrthoLH(&projection, float(kWidth), float(kHeight), -100.0f, 100.0f);
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
        m_device->SetTransform(D3DTS_VIEW, D3DXMatrixIdentity(&view));
        m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        seams::StartDeviceCallLog();
        radar.Render();
        health.Render();
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        if (dots)
            app.DrawRadarDots();
        End(dots ? "radar_gauge_hud" : "radar_gauge_hud_no_dots");
        out = m_frame;
    }
    const D3DXVECTOR3 eye{10, 20, 30};
    CMyD3DApplication app;
    Radar radar;
    ShipHealth health;
    Skybox sky;
    Spaceship ship;
    AsteroidField field;
    Satellite satellites;
    MarsShip mars;
};

TEST_F(HudTest, DotsSitInTheShipsFrameAndTheGaugeBarsLag) {
    // Offsets from the ship in the world, and where the dot goes: 0.24 px per unit from the
    // radar's centre, 72 px in from the right and top edges at (88, 48), 0.24 x 20 / size class
    // across (Mars ships 15); bright ahead or abeam, dim behind.
    const struct {
        D3DXVECTOR3 offset;
        float x, y, size;
        DWORD colour;
    } dots[6] = {{{100, 0, 0}, 88, 48, 4.8f, 0xFFFFFF},    // body ahead, class 1
                 {{-100, 0, 100}, 64, 48, 4.8f, 0x404040}, // body behind, to the left
                 {{10, 0, -100}, 112, 48, 2.4f, 0xFFFFFF}, // body right, class 2
                 {{50, 0, -50}, 100, 48, 0.96f, 0xFFFFFF}, // body class 5
                 {{0, 100, 0}, 88, 72, 4.8f, 0xFFFFFF},    // satellite above, abeam
                 {{0, -100, 0}, 88, 24, 3.6f, 0xFFFFFF}};  // Mars ship below
    const DWORD classes[4] = {1, 1, 2, 5};
    for (int i = 0; i < 4; ++i)
        field.bodies[i] = {eye + dots[i].offset, {}, {}, 0, 0, classes[i], 0, 1};
    satellites.active[3] = true;
    satellites.positions[3] = eye + dots[4].offset;
    mars.records[6] = {eye + dots[5].offset, {0, 0, 0, 1}, 1, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 40; ++i)
        health.Update(0.02f, 0.5f); // the average, 0.6, lags behind
    image::Rgba8Image plain, dotted;
    DrawFrame(false, plain);
    DrawFrame(true, dotted);

    // In numbers: the disc, the gauge's frame and its two bars cut to their heights, the dots.
    const std::vector<D3DXMATRIX> world = Transforms(D3DTS_WORLD),
                                  bars = Transforms(D3DTS_TEXTURE0);
    ASSERT_EQ(world.size(), 10u);
    EXPECT_FLOAT_EQ(world[2]._22, 64.0f * 0.6f);
    EXPECT_FLOAT_EQ(world[3]._22, 32.0f);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0], D3DXMATRIX(1, 0, 0, 0, 0, 0.6f, 0, 0, 0, -0.6f, 1, 0, 0, 0, 0, 1));
    EXPECT_FLOAT_EQ(bars[1]._22, 0.5f);
    EXPECT_EQ(bars[2], D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    std::vector<DWORD> colours;
    for (const d3d8::DeviceCall &call : seams::DeviceCalls())
        if (call.method == "SetRenderState" && call.arguments[0] == "60") // the texture factor
            colours.push_back(DWORD(std::stoul(call.arguments[1])));
    ASSERT_EQ(colours.size(), 6u);
    EXPECT_TRUE(world_test::Logged("SetTextureStageState(0, 3, 0)")) << "diffuse again";

    // On the frame: how much the dots brightened the brightest pixel within two of (x, y).
    auto gain = [&](int x, int y) {
        int best = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const std::uint8_t *a = &dotted.pixels[(size_t(y + dy) * kWidth + x + dx) * 4];
                const std::uint8_t *b = &plain.pixels[(size_t(y + dy) * kWidth + x + dx) * 4];
                best = std::max(best, a[0] + a[1] + a[2] - b[0] - b[1] - b[2]);
            }
        return best;
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(world[4 + i]._41, dots[i].x, 1e-3f) << "dot " << i;
        EXPECT_NEAR(world[4 + i]._42, dots[i].y, 1e-3f) << "dot " << i;
        EXPECT_NEAR(world[4 + i]._22, dots[i].size, 1e-4f) << "dot " << i;
        EXPECT_EQ(colours[i], dots[i].colour) << "dot " << i;
        if (dots[i].size > 2) { // a dot under two pixels may fall between them
            EXPECT_GT(gain(int(kWidth / 2 + dots[i].x), int(kHeight / 2 - dots[i].y)),
                      dots[i].colour == 0xFFFFFF ? 100 : 10)
                << "dot " << i;
        }
    }
    EXPECT_LT(gain(224, 72), gain(248, 72) / 2) << "dim behind";
    EXPECT_EQ(gain(200, 120), 0) << "nothing away from the dots";
}

TEST_F(HudTest, ADotsPlacementIsTheProductTakenInItsOrder) {
    // A tilted ship: the dot's world is the dot's own rotation, size and offset, then the radar's
    // scale, the inverse rotation and the radar's centre, multiplied one after the other.
    const D3DXVECTOR3 axis(0.3f, 0.8f, -0.5f), offset(37.3f, -12.9f, 88.1f);
    D3DXQUATERNION q;
    D3DXMatrixRotationQuaternion(&app.m_matShipRotation,
                                 D3DXQuaternionRotationAxis(&q, &axis, 0.7f));
    mars.records[0] = {eye + offset, {0, 0, 0, 1}, 1, 0, 0, 0, 0, 0, 1};
    app.DrawRadarDots();

    const D3DXVECTOR3 seen = eye + offset - eye;
    D3DXMATRIX inverse, size, place, scale, centre, drawn;
    D3DXMatrixInverse(&inverse, nullptr, &app.m_matShipRotation);
    D3DXMatrixScaling(&size, 15, 15, 15);
    D3DXMatrixTranslation(&place, seen.x, seen.y, seen.z);
    D3DXMatrixScaling(&scale, 0.24f, 0.24f, 0.24f);
    D3DXMatrixTranslation(&centre, kWidth / 2.0f - 72, kHeight / 2.0f - 72, 0);
    m_device->GetTransform(D3DTS_WORLD, &drawn);
    EXPECT_EQ(drawn, app.m_matShipRotation * size * place * scale * inverse * centre);
}

TEST_F(HudTest, GaugeWarningBlinksInTheSecondHalfOfEachHalfSecond) {
    auto draws = [&](float shipHealth, float blinkTimer) {
        health.Update(0.0f, shipHealth);
        health.blinkTimer = blinkTimer;
        seams::StartDeviceCallLog();
        health.Render();
        return world_test::CountCalls("DrawIndexedPrimitive");
    };
    EXPECT_EQ(draws(0.2f, 0.3f), 2) << "frame and warning";
    EXPECT_EQ(draws(0.2f, 0.25f), 1) << "warning off";
    EXPECT_EQ(draws(0.0f, 0.3f), 1) << "a wreck shows only the frame";
    EXPECT_EQ(draws(0.21f, 0.3f), 3) << "frame and two bars";
}

} // namespace
