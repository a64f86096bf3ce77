// The render step: the picture of every game state, from the fly-by and the menus over the turning
// sky to the play scene with its HUD and overlays.
#include "game/asteroid_game.h"

#include "game/asteroid_field.h"
#include "game/camera.h"
#include "game/cockpit.h"
#include "game/debris.h"
#include "game/dh_fast_font.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/play_rules.h"
#include "game/radar.h"
#include "game/satellite.h"
#include "game/screen_texts.h"
#include "game/ship_health.h"
#include "game/skybox.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "game/text_asset.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;

// Blend pairs of the render step.
void SetBlend(IDirect3DDevice8 *device, DWORD source, DWORD destination) {
    device->SetRenderState(D3DRS_SRCBLEND, source);
    device->SetRenderState(D3DRS_DESTBLEND, destination);
}
void AdditiveColour(IDirect3DDevice8 *device) {
    SetBlend(device, D3DBLEND_SRCCOLOR, D3DBLEND_ONE);
}
void AdditiveAlpha(IDirect3DDevice8 *device) {
    SetBlend(device, D3DBLEND_SRCALPHA, D3DBLEND_ONE);
}
void Translucent(IDirect3DDevice8 *device) {
    SetBlend(device, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
}
void Darken(IDirect3DDevice8 *device) {
    SetBlend(device, D3DBLEND_ZERO, D3DBLEND_INVSRCALPHA);
}

// The font leaves its own alpha operation on stage 0; what is drawn after it takes the texture's.
void RestoreTextureAlpha(IDirect3DDevice8 *device) {
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
}

// Brightness of a title card at `t` seconds: black until 1 s, full at 2.5 s, black again from 4 s.
float TitleCardFade(float t) {
    float a = (t - 1.0f) / 1.5f;
    if (a < 0.0f)
        a = 0.0f;
    if (a > 1.0f && a < 2.0f)
        a = 2.0f - a;
    if (a > 2.0f)
        a = 0.0f;
    return a;
}

D3DXMATRIX PerspectiveProjection(float fieldOfView, const D3DSURFACE_DESC &backBuffer,
                                 float nearPlane) {
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, fieldOfView,
                               static_cast<float>(backBuffer.Width) /
                                   static_cast<float>(backBuffer.Height),
                               nearPlane, 512.0f);
    return projection;
}

D3DXMATRIX RotationOf(const Spaceship &ship) {
    const D3DXQUATERNION orientation = ship.GetOrientation();
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &orientation);
    return rotation;
}

} // namespace

void FormatScoreText(char (&out)[16], DWORD totalScore, DWORD waveScore) {
    std::snprintf(out, sizeof(out), "%08d", static_cast<INT>(totalScore + waveScore));
}

void FormatTimeLeftText(char (&out)[16], float timeLeft) {
    const INT minutes = static_cast<INT>(timeLeft / 60.0f);
    const INT seconds = static_cast<INT>(timeLeft) % 60;
    std::snprintf(out, sizeof(out), "%d:%02d", minutes, seconds);
}

namespace {

// The drawing of one frame, state by state, for the application that owns it.
class FramePainter {
public:
    explicit FramePainter(CMyD3DApplication &game)
        : app(game), device(game.m_pDevice), width(game.m_backBufferDesc.Width),
          height(game.m_backBufferDesc.Height), halfWidth(width / 2.0f), halfHeight(height / 2.0f) {
    }

    void Draw() {
        switch (app.m_gameState) {
        case GameState::Intro:
            Intro();
            break;
        case GameState::MainMenu:
        case GameState::DifficultyMenu:
        case GameState::OptionsMenu:
            MenuBackdrop();
            Menu();
            break;
        case GameState::InitialsEntry:
            MenuBackdrop();
            app.DrawInitialsEntry();
            HallOfFameCaptions();
            break;
        case GameState::HallOfFame:
            MenuBackdrop();
            app.DrawHallOfFame();
            HallOfFameCaptions();
            break;
        case GameState::Credits:
            MenuBackdrop();
            Caption(CaptionId::Credits, 0.0f, 0.0f, 640.0f, 480.0f);
            break;
        case GameState::GetReady:
            MenuBackdrop();
            Caption(CaptionId::Briefing, 0.0f, 0.0f, 640.0f, 480.0f);
            break;
        case GameState::WaveIntro:
            WaveIntro();
            break;
        case GameState::Playing:
        case GameState::Paused:
        case GameState::LifeLost:
        case GameState::WaveCleared:
            PlayScene();
            break;
        case GameState::StationSequence:
            StationSequence();
            break;
        default: // Reserved, and anything outside the table, draws nothing
            break;
        }
    }

private:
    void Caption(CaptionId id, float x, float y, float w, float h, float alpha = 1.0f) {
        app.m_pTextAsset->Render(id, x, y, w, h, alpha);
    }

    void Intro() {
        const float t = app.m_fStateTimer;
        app.m_matShipRotation = RotationOf(*app.m_pSpaceship);

        const D3DXVECTOR3 eye(0.0f, 0.0f, 0.5f), up(0.0f, 1.0f, 0.0f);
        D3DXVECTOR3 target(0.0f, 0.0f, -1.0f);
        if (t < 20.0f)
            target.y = 5.0f;
        else if (t > 20.0f && t < 30.0f)
            target.y = 2.5f * std::cos(D3DX_PI * (t - 20.0f) / 10.0f) + 2.5f;
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &target, &up);
        app.m_matProj = PerspectiveProjection(D3DX_PI / 4.0f, app.m_backBufferDesc, 1.0f);
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_PROJECTION, &app.m_matProj);

        app.m_pSkybox->Render(eye);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);

        const D3DXMATRIX viewProjection = view * app.m_matProj;
        app.m_pAsteroidField->Render(&viewProjection);
        app.m_pSpaceship->Render(&view, &app.m_matProj, &app.m_matShipRotation, app.m_bReflection);

        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        AdditiveColour(device);
        device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        app.m_pExplosion->Render(&viewProjection, &app.m_matShipRotation);
        app.m_pLaser->Render(&viewProjection, &app.m_matShipRotation);

        app.SetOverlayProjection();
        Translucent(device);
        if (t > 5.0f && t < 20.0f)
            Caption(CaptionId::ZelGame, 0.0f, 0.0f, 512.0f, 32.0f);
        if (t > 25.0f && t < 40.0f)
            Caption(CaptionId::Title, 0.0f, 0.0f, 512.0f, 64.0f);
    }

    // The sky turning behind a darkened screen, under every menu and full page.
    void MenuBackdrop() {
        app.SetMenuCamera();
        app.m_pSkybox->Render(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
        app.SetOverlayProjection();
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        Translucent(device);
        app.DrawFullScreenBlack(1);
    }

    void Menu() {
        Caption(CaptionId::Title, 0.0f, halfHeight - 40.0f, 512.0f, 64.0f);
        Caption(CaptionId::ZelGame, 0.0f, -halfHeight + 24.0f, 512.0f, 32.0f);
        const INT halfW = static_cast<INT>(width / 2);
        switch (app.m_gameState) {
        case GameState::MainMenu:
            app.DrawMenu(app.m_nMainMenuCursor, halfW - 170);
            break;
        case GameState::DifficultyMenu:
            app.DrawMenu(app.m_nMainMenuCursor, halfW - 140);
            break;
        default:
            Caption(CaptionId::Options, 0.0f, halfHeight - 80.0f, 256.0f, 32.0f);
            app.DrawMenu(app.m_nOptionsCursor, halfW - 260);
            break;
        }
    }

    void HallOfFameCaptions() {
        Caption(CaptionId::Title, 0.0f, halfHeight - 40.0f, 512.0f, 64.0f);
        Caption(CaptionId::HallOfFame, 0.0f, halfHeight - 80.0f, 256.0f, 32.0f);
    }

    // A card faded in and out on a black screen.
    void BlackCardScreen() {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        app.SetOverlayProjection();
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        Translucent(device);
    }

    void WaveIntro() {
        const float a = TitleCardFade(app.m_fStateTimer);
        BlackCardScreen();
        if (app.m_nWave >= 1 && app.m_nWave <= kWaveCount)
            Caption(static_cast<CaptionId>(static_cast<INT>(CaptionId::Wave1) + app.m_nWave - 1),
                    0.0f, 8.0f, 256.0f, 32.0f, a);
        if (app.m_nLives >= 0 && app.m_nLives <= 3)
            Caption(static_cast<CaptionId>(static_cast<INT>(CaptionId::Lives0) + app.m_nLives),
                    0.0f, -8.0f, 128.0f, 16.0f, a);
    }

    void StationSequence() {
        const float t = app.m_fStateTimer;
        app.m_matShipRotation = RotationOf(*app.m_pSpaceship);
        if (t < 5.0f) {
            BlackCardScreen();
            Caption(CaptionId::Intermission, 0.0f, 0.0f, 256.0f, 32.0f, TitleCardFade(t));
            return;
        }
        const float s = (t - 5.0f) / 20.0f;
        const D3DXVECTOR3 eye =
            s * D3DXVECTOR3(-1.5f, 0.3f, -2.6f) + (1.0f - s) * D3DXVECTOR3(-2.1f, 0.2f, 2.7f);
        const D3DXVECTOR3 ship = app.m_pSpaceship->GetPosition(), up(0.0f, 1.0f, 0.0f);
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &ship, &up);
        app.m_matProj = PerspectiveProjection(D3DX_PI / 3.0f, app.m_backBufferDesc, 0.01f);
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_PROJECTION, &app.m_matProj);

        device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        app.m_pSkybox->Render(eye);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        app.m_pStation->Render();
        app.m_pSpaceship->Render(&view, &app.m_matProj, &app.m_matShipRotation, app.m_bReflection);
    }

    void PlayScene() {
        const GameState state = app.m_gameState;
        // Once the ship is destroyed the chase view shows the wreck, whatever the view setting.
        const bool wrecked =
            state == GameState::LifeLost && app.m_nLifeLossCause == kLifeLostShipDestroyed;
        PlayCameraAndSky(state, wrecked);
        PlayWorld(wrecked);
        PlayEffects();
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
        if (app.m_nViewMode == 1 && !wrecked)
            CockpitView();
        if (state == GameState::Playing || state == GameState::Paused)
            Hud();
        PlayOverlay(state);
    }

    // A paused frame leaves the chase trail where it was.
    void PlayCameraAndSky(GameState state, bool wrecked) {
        Spaceship &ship = *app.m_pSpaceship;
        app.m_matShipRotation = RotationOf(ship);
        if (state != GameState::Paused)
            app.m_pCamera->FollowShip(ship.GetPosition(), &app.m_matShipRotation);
        if (app.m_nViewMode == 0 || wrecked) {
            app.ApplyCameraView();
            app.m_pSkybox->Render(app.m_pCamera->GetTrailEye());
        } else if (app.m_nViewMode == 1) {
            app.ApplyShipView();
            app.m_pSkybox->Render(ship.GetPosition());
        }
    }

    // The lit, depth-written objects; the ship itself only from the chase camera.
    void PlayWorld(bool wrecked) {
        const D3DXMATRIX *viewProjection = &app.m_matViewProj;
        device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        app.m_pDebris->Render(viewProjection);
        app.m_pAsteroidField->Render(viewProjection);
        app.m_pSatellite->Render(viewProjection);
        app.m_pMarsShip->Render(viewProjection);
        if (app.m_nViewMode == 0 && !wrecked) {
            const D3DXMATRIX view = app.m_pCamera->GetViewMatrix();
            app.m_pSpaceship->Render(&view, &app.m_matProj, &app.m_matShipRotation,
                                     app.m_bReflection);
        }
        if (wrecked && app.m_bBrisaVenner)
            Photo();
    }

    // Explosions, lasers and smoke, blended over the world without writing depth.
    void PlayEffects() {
        const D3DXMATRIX *viewProjection = &app.m_matViewProj;
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        AdditiveColour(device);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        app.m_pExplosion->Render(viewProjection, &app.m_matShipRotation);
        app.m_pLaser->Render(viewProjection, &app.m_matShipRotation);
        AdditiveAlpha(device);
        app.m_pSmoke->Render(viewProjection, &app.m_matShipRotation);
    }

    // The target marks, then the cockpit around them.
    void CockpitView() {
        const D3DXMATRIX *viewProjection = &app.m_matViewProj;
        Spaceship &ship = *app.m_pSpaceship;
        const D3DXVECTOR3 position = ship.GetPosition();
        app.m_pAsteroidField->RenderTargetMarks(viewProjection, app.m_fElapsedTime, position.x,
                                                position.y, position.z, &app.m_matShipRotation,
                                                ship.speed);
        app.m_pMarsShip->RenderTargetMarks(viewProjection, app.m_fElapsedTime, position,
                                           &app.m_matShipRotation, ship.speed);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        const D3DXVECTOR3 shaken = ship.GetShakeOffset();
        app.m_pCockpit->Render(shaken.x, shaken.y, shaken.z, &app.m_matShipRotation, ship.health,
                               ship.speed, app.m_nWave > 4, app.m_bBrisaVenner);
    }

    // The darkened scene and its caption in the paused, lost and cleared states.
    void PlayOverlay(GameState state) {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        Darken(device);
        switch (state) {
        case GameState::Paused:
            DarkenedScene();
            Caption(CaptionId::Paused, 0.0f, 0.0f, 256.0f, 32.0f);
            break;
        case GameState::WaveCleared:
            DarkenedScene();
            Caption(CaptionId::WaveCleared, 0.0f, 0.0f, 256.0f, 32.0f);
            if (app.m_pSpaceship->health == 1.0f)
                Caption(CaptionId::NoDamage, 0.0f, -16.0f, 256.0f, 16.0f);
            break;
        case GameState::LifeLost:
            DarkenedScene();
            if (app.m_nLives < 0)
                Caption(CaptionId::GameOver, 0.0f, 0.0f, 256.0f, 32.0f);
            else if (app.m_nLifeLossCause == kLifeLostShipDestroyed)
                Caption(CaptionId::SpaceJunk, 0.0f, 0.0f, 256.0f, 32.0f);
            else
                Caption(CaptionId::WaveFailed, 0.0f, 0.0f, 256.0f, 32.0f);
            break;
        default:
            break;
        }
    }

    // The picture of the "Brisa Venner" option leaves the wreck and flies spinning toward the
    // chase camera over the six seconds of a lost life.
    void Photo() {
        const float t = app.m_fStateTimer;
        const D3DXVECTOR3 p = app.m_pSpaceship->GetPosition();
        const D3DXVECTOR3 e = app.m_pCamera->GetTrailEye();
        D3DXMATRIX atWreck, atCamera, spin;
        D3DXMatrixTranslation(&atWreck, p.x, p.y, p.z);
        D3DXMatrixTranslation(&atCamera, e.x + 0.02f, e.y + 0.1f, e.z + 0.03f);
        const D3DXVECTOR3 vertical(0.0f, 1.0f, 0.0f);
        D3DXMatrixRotationAxis(&spin, &vertical, 4.0f * t);
        const D3DXMATRIX blend = ((6.0f - t) / 6.0f) * atWreck + (t / 6.0f) * atCamera;
        const D3DXMATRIX world = spin * blend;
        device->SetTransform(D3DTS_WORLD, &world);
        app.m_pPhoto->Render();
    }

    // The play scene under the black quad, ready for a translucent caption on top. The quad is
    // depth-tested as the scene left it: after the cockpit, whose panels lie nearer than the quad,
    // the cockpit stays bright over the darkened view beyond it.
    void DarkenedScene() {
        app.SetOverlayProjection();
        app.DrawFullScreenBlack(0);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    }

    void Hud() {
        app.SetOverlayProjection();
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        Translucent(device);
        app.m_pRadar->Render();
        app.m_pShipHealth->Render();
        if (app.m_nLives >= 0 && app.m_nLives <= 3)
            Caption(static_cast<CaptionId>(static_cast<INT>(CaptionId::Lives0) + app.m_nLives),
                    -halfWidth + 72.0f, halfHeight - 12.0f, 128.0f, 16.0f);
        Caption(CaptionId::Score, halfWidth - 36.0f, -halfHeight + 40.0f, 128.0f, 16.0f);

        char text[16];
        FormatScoreText(text, app.m_dwTotalScore, app.m_dwWaveScore);
        DrawText(text, static_cast<float>(width) - 248.0f, static_cast<float>(height) - 38.0f);
        RestoreTextureAlpha(device);
        if (app.m_fTimeLeft != kNoTimeLimit) {
            Caption(CaptionId::TimeRemaining, -halfWidth + 78.0f, -halfHeight + 40.0f, 256.0f,
                    16.0f);
            FormatTimeLeftText(text, app.m_fTimeLeft);
            DrawText(text, 6.0f, static_cast<float>(height) - 38.0f);
            RestoreTextureAlpha(device);
        }
        if (app.m_nCheatCounter == kCheatComplete)
            Caption(CaptionId::TehSuck, 0.0f, -halfHeight + 20.0f, 256.0f, 32.0f);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        app.DrawRadarDots();
    }

    void DrawText(const char *text, float x, float y) {
        if (app.m_pBitmapFont)
            app.m_pBitmapFont->drawText(text, x, y, kOpaqueWhite);
    }

    CMyD3DApplication &app;
    IDirect3DDevice8 *device;
    const DWORD width;
    const DWORD height;
    const float halfWidth;
    const float halfHeight;
};

} // namespace

HRESULT CMyD3DApplication::RenderFrame() {
    IDirect3DDevice8 *device = m_pDevice;
    if (device && m_pCamera) {
        device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        // One frame old by design: the camera and the projection as the previous frame left them.
        m_matViewProj = m_pCamera->GetViewMatrix() * m_matProj;
        if (SUCCEEDED(device->BeginScene())) {
            device->SetRenderState(D3DRS_LIGHTING, FALSE);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
            device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
            device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            FramePainter(*this).Draw();
            device->EndScene();
        }
    }
    return m_bQuit ? E_FAIL : 0;
}
