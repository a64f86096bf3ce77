// The radar's dots: one per active asteroid body, satellite and Mars ship, in the ship's frame.
#include "game/asteroid_game.h"

#include "game/asteroid_field.h"
#include "game/mars_ship.h"
#include "game/radar.h"
#include "game/satellite.h"
#include "game/spaceship.h"

namespace {

constexpr float kRadarScale = 0.24f; // radar pixels per world unit
constexpr float kCornerInset = 72.0f;
constexpr D3DCOLOR kAheadColour = D3DCOLOR_ARGB(0, 255, 255, 255);
constexpr D3DCOLOR kBehindColour = D3DCOLOR_ARGB(0, 64, 64, 64);

enum DotKind : DWORD { kBodyDot = 0, kSatelliteDot = 1, kMarsShipDot = 2 };

// Places and draws the dot of one object at `position`: its offset from the ship, seen in the
// ship's frame and scaled down to the radar, around the radar's centre; bright when the object lies
// ahead of the ship or beside it, dim when behind.
struct DotPass {
    IDirect3DDevice8 *device;
    Radar *radar;
    D3DXMATRIX shipRotation, radarScaling, inverseRotation, radarOrigin;
    D3DXVECTOR3 ship, forward;

    void Draw(const D3DXVECTOR3 &position, float dotScale) const {
        const D3DXVECTOR3 offset = position - ship;
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
        device->SetRenderState(D3DRS_TEXTUREFACTOR, D3DXVec3Dot(&forward, &offset) >= 0.0f
                                                        ? kAheadColour
                                                        : kBehindColour);
        D3DXMATRIX size, place;
        D3DXMatrixScaling(&size, dotScale, dotScale, dotScale);
        D3DXMatrixTranslation(&place, offset.x, offset.y, offset.z);
        const D3DXMATRIX world =
            shipRotation * size * place * radarScaling * inverseRotation * radarOrigin;
        device->SetTransform(D3DTS_WORLD, &world);
        radar->DrawDot();
    }
};

} // namespace

void CMyD3DApplication::DrawRadarDots() {
    if (!m_pRadar || !m_pSpaceship || !m_pDevice)
        return;
    DotPass pass{m_pDevice, m_pRadar, m_matShipRotation,           {},
                 {},        {},       m_pSpaceship->GetPosition(), {}};
    const D3DXVECTOR3 nose(0.0f, 0.0f, 1.0f);
    D3DXVec3TransformCoord(&pass.forward, &nose, &m_matShipRotation);
    // The ship's rotation is always invertible; should it not be, the dots keep the world's axes.
    if (!D3DXMatrixInverse(&pass.inverseRotation, nullptr, &m_matShipRotation))
        D3DXMatrixIdentity(&pass.inverseRotation);
    D3DXMatrixScaling(&pass.radarScaling, kRadarScale, kRadarScale, kRadarScale);
    D3DXMatrixTranslation(&pass.radarOrigin,
                          static_cast<float>(m_backBufferDesc.Width) / 2.0f - kCornerInset,
                          static_cast<float>(m_backBufferDesc.Height) / 2.0f - kCornerInset, 0.0f);

    if (m_pAsteroidField) {
        m_pRadar->SetDotTexture(kBodyDot);
        for (DWORD i = 0; i < m_pAsteroidField->GetMaxBodies(); ++i) {
            const AsteroidBody &body = m_pAsteroidField->bodies[i];
            if (!body.active)
                continue;
            // The largest bodies (size class 1) get the largest dots; a class of 0 counts as 1.
            const DWORD sizeClass = body.sizeClass == 0 ? 1 : body.sizeClass;
            pass.Draw(body.position, 20.0f / static_cast<float>(sizeClass));
        }
    }
    if (m_pSatellite) {
        m_pRadar->SetDotTexture(kSatelliteDot);
        for (DWORD i = 0; i < m_pSatellite->GetMax(); ++i) {
            if (m_pSatellite->active[i])
                pass.Draw(m_pSatellite->positions[i], 20.0f);
        }
    }
    if (m_pMarsShip) {
        m_pRadar->SetDotTexture(kMarsShipDot);
        for (const MarsShipRecord &ship : m_pMarsShip->records) {
            if (ship.active)
                pass.Draw(ship.position, 15.0f);
        }
    }
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}
