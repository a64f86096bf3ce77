// The game's device resources: fixed states, lights, fonts and every object's meshes and textures,
// loaded after each device creation or reset and released before each reset or teardown.
#include "game/asteroid_game.h"

#include "framework/d3d_util.h"
#include "game/asteroid_field.h"
#include "game/cockpit.h"
#include "game/debris.h"
#include "game/dh_fast_font.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/radar.h"
#include "game/release_interface.h"
#include "game/satellite.h"
#include "game/ship_health.h"
#include "game/skybox.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "game/text_asset.h"
#include "platform/win32/dxtrace.h"
#include "platform/win32/gdi.h"

namespace {

// The two GDI descriptions the text fonts are made from: bold, anti-aliased Arial.
HFONT CreateBoldArial(int height) {
    return CreateFontA(height, 0, 0, 0, 700, FALSE, FALSE, FALSE, 0, 0, 0, 4, 0, "Arial");
}

// Gives `mesh` the device and loads `file` into it; a failure is traced by the load itself.
void LoadMesh(MeshObj *mesh, IDirect3DDevice8 *device, const char *file) {
    mesh->device = device;
    mesh->Load(file);
}

// The material, texture-stage states, render states, world transform and lights every load sets.
void SetFixedStates(IDirect3DDevice8 *device) {
    D3DMATERIAL8 material;
    InitMaterial(material, 1.0f, 0.0f, 0.0f, 1.0f);
    device->SetMaterial(&material);

    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(1, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(1, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(1, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);

    device->SetRenderState(D3DRS_DITHERENABLE, FALSE);
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_RGBA(15, 15, 15, 0));

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);

    D3DLIGHT8 light;
    InitLight(light, D3DLIGHT_DIRECTIONAL, 0.1f, 0.2f, -1.0f);
    device->SetLight(0, &light);
    InitLight(light, D3DLIGHT_DIRECTIONAL, -0.1f, -0.2f, -1.0f);
    device->SetLight(1, &light);
    device->LightEnable(0, TRUE);
    device->LightEnable(1, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
}

// The large and small text fonts; the first failure is traced and returned.
HRESULT CreateTextFonts(IDirect3DDevice8 *device, ID3DXFont **largeTextFont,
                        ID3DXFont **smallTextFont) {
    HFONT largeFont = CreateBoldArial(20);
    HFONT smallFont = CreateBoldArial(12);
    HRESULT hr = D3DXCreateFont(device, largeFont, largeTextFont);
    if (FAILED(hr)) {
        DXTraceA("asteroid game", __LINE__, hr, "D3DXCreateFont", FALSE);
        DeleteObject(largeFont);
        DeleteObject(smallFont);
        return hr;
    }
    hr = D3DXCreateFont(device, smallFont, smallTextFont);
    DeleteObject(largeFont);
    DeleteObject(smallFont);
    if (FAILED(hr)) {
        DXTraceA("asteroid game", __LINE__, hr, "D3DXCreateFont2", FALSE);
        return hr;
    }
    return 0;
}

} // namespace

HRESULT CMyD3DApplication::LoadDeviceResources() {
    IDirect3DDevice8 *device = m_pDevice;
    SetFixedStates(device);
    if (const HRESULT hr = CreateTextFonts(device, &m_pLargeFont, &m_pSmallFont); FAILED(hr))
        return hr;
    LoadObjectResources();

    // Each load makes a new bitmap font; the one the previous load made goes with it.
    delete m_pBitmapFont;
    m_pBitmapFont = new dhFastFont(device, "font.png", "font.dat");
    return 0;
}

void CMyD3DApplication::LoadObjectResources() {
    IDirect3DDevice8 *device = m_pDevice;
    // What fails to load below is traced or left empty by the object itself and drawn without it.
    const float width = static_cast<float>(m_backBufferDesc.Width);
    const float height = static_cast<float>(m_backBufferDesc.Height);
    m_pAsteroidField->device = device;
    m_pAsteroidField->LoadMeshes();
    LoadMesh(m_pSatellite, device, "satellite.x");
    m_pRadar->device = device;
    m_pRadar->LoadResources(width, height);
    m_pShipHealth->device = device;
    m_pShipHealth->LoadResources(width, height);
    LoadMesh(m_pSkybox, device, "skybox.x");
    LoadMesh(m_pDebris, device, "debris.x");
    LoadMesh(m_pCockpit, device, "cockpit.x");
    m_pCockpit->LoadLightsTexture();
    LoadMesh(m_pSpaceship, device, "ship.x");
    LoadMesh(m_pMarsShip, device, "marsship.x");
    LoadMesh(m_pMarsFlameMesh, device, "flare2.x");
    LoadMesh(m_pMarsTargetMarkMesh, device, "targt.x");
    LoadMesh(m_pMarsLeadMarkMesh, device, "targ2.x");
    m_pSpaceship->LoadReflection(&m_backBufferDesc);
    LoadMesh(m_pShipFlameMesh, device, "flare.x");
    LoadMesh(m_pPhoto, device, "photo.x");
    LoadMesh(m_pStation, device, "station.x");
    LoadMesh(m_pBlack, device, "black.x");
    LoadMesh(m_pBlack2, device, "black2.x");
    m_pExplosion->device = device;
    m_pExplosion->LoadResources();
    m_pLaser->device = device;
    m_pLaser->LoadResources();
    m_pSmoke->device = device;
    m_pSmoke->LoadResources();
    m_pTextAsset->device = device;
    m_pTextAsset->LoadResources();
}

// Not the load order reversed, nor the load order: each step is written out in its own order.
HRESULT CMyD3DApplication::ReleaseDeviceResources() {
    ReleaseInterface(m_pLargeFont);
    ReleaseInterface(m_pSmallFont);
    if (m_pBitmapFont)
        m_pBitmapFont->release();

    m_pRadar->ReleaseResources();
    m_pShipHealth->ReleaseResources();

    m_pSkybox->ReleaseResources();
    m_pCockpit->ReleaseResources();
    m_pBlack->ReleaseResources();
    m_pBlack2->ReleaseResources();
    m_pMarsFlameMesh->ReleaseResources();
    m_pMarsTargetMarkMesh->ReleaseResources();
    m_pMarsLeadMarkMesh->ReleaseResources();
    m_pMarsShip->ReleaseResources();
    m_pShipFlameMesh->ReleaseResources();
    m_pSpaceship->ReleaseResources();
    m_pSpaceship->ReleaseReflection();
    m_pPhoto->ReleaseResources();
    m_pStation->ReleaseResources();

    m_pAsteroidField->ReleaseMeshes();
    m_pSatellite->ReleaseResources();
    m_pDebris->ReleaseResources();

    m_pSmoke->ReleaseResources();
    m_pExplosion->ReleaseResources();
    m_pLaser->ReleaseResources();
    m_pTextAsset->ReleaseResources();
    return 0;
}

HRESULT CMyD3DApplication::DestroyDeviceResources() {
    // The mode the next start asks for: in a window, the desktop's.
    m_pDevice->GetDisplayMode(&m_wantedFullScreenMode);
    return 0;
}
