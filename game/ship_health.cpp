#include "game/ship_health.h"

#include "game/release_interface.h"

#include <algorithm>

namespace {

constexpr float kGaugeWidth = 128.0f;
constexpr float kGaugeHeight = 64.0f;
constexpr float kLeftInset = 72.0f; // the gauge's origin from the left edge
constexpr float kTopInset = 76.0f;  // and from the top edge, at the bottom of the quad
constexpr float kWarningHealth = 0.2f;
constexpr float kBlinkPeriod = 0.5f;
constexpr float kBlinkOn = 0.25f; // the warning shows for the second half of each period

void LoadTexture(IDirect3DDevice8 *device, const char *name, IDirect3DTexture8 *&texture) {
    if (FAILED(D3DXCreateTextureFromFileA(device, name, &texture)))
        texture = nullptr;
}

} // namespace

ShipHealth::ShipHealth() {
    D3DXMatrixIdentity(&scaling);
    D3DXMatrixIdentity(&translation);
    D3DXMatrixIdentity(&textureMatrix);
    // A fresh ship shows a full gauge, with nothing lagging behind it.
    std::fill(std::begin(samples), std::end(samples), 1.0f);
    average = 1.0f;
}

ShipHealth::~ShipHealth() = default;

void ShipHealth::LoadResources(float backBufferWidth, float backBufferHeight) {
    // A second load without a release in between must not leak what the first one holds.
    ReleaseResources();
    if (FAILED(D3DXLoadMeshFromX("ShipHealth.x", 0, device, nullptr, &materialsBuffer, nullptr,
                                 &mesh))) {
        ReleaseInterface(materialsBuffer);
        mesh = nullptr;
    }
    LoadTexture(device, "shiph.png", frameTexture);
    LoadTexture(device, "health-full.png", fullTexture);
    LoadTexture(device, "health-lose.png", loseTexture);
    blinkTimer = 0.0f;
    D3DXMatrixScaling(&scaling, kGaugeWidth, kGaugeHeight, 1.0f);
    D3DXMatrixTranslation(&translation, kLeftInset - backBufferWidth / 2.0f,
                          backBufferHeight / 2.0f - kTopInset, 0.0f);
}

void ShipHealth::ReleaseResources() {
    ReleaseInterface(mesh);
    ReleaseInterface(materialsBuffer);
    ReleaseInterface(frameTexture);
    ReleaseInterface(fullTexture);
    ReleaseInterface(loseTexture);
}

void ShipHealth::Update(float elapsed, float health) {
    float sum = 0.0f;
    for (int i = 0; i < kSamples - 1; ++i) {
        samples[i] = samples[i + 1];
        sum += samples[i];
    }
    // A wreck shows an empty gauge; health above full is shown as it is.
    const float newest = health < 0.0f ? 0.0f : health;
    samples[kSamples - 1] = newest;
    sum += newest;
    average = sum / static_cast<float>(kSamples);
    blinkTimer += elapsed;
    if (blinkTimer > kBlinkPeriod)
        blinkTimer -= kBlinkPeriod;
}

void ShipHealth::DrawQuad(float heightShare, IDirect3DTexture8 *texture) {
    D3DXMatrixScaling(&scaling, kGaugeWidth, kGaugeHeight * heightShare, 1.0f);
    const D3DXMATRIX world = scaling * translation;
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTexture(0, texture);
    mesh->DrawSubset(0);
}

void ShipHealth::DrawBar(float share, IDirect3DTexture8 *texture) {
    // The texture is cut to the bar's height rather than squeezed into it: the bar shows the
    // bottom `share` of the picture.
    D3DXMatrixIdentity(&textureMatrix);
    textureMatrix._22 = share;
    textureMatrix._32 = -share;
    device->SetTransform(D3DTS_TEXTURE0, &textureMatrix);
    DrawQuad(share, texture);
}

void ShipHealth::Render() {
    if (!mesh)
        return;
    const float health = samples[kSamples - 1];
    DrawQuad(1.0f, frameTexture);
    if (health <= kWarningHealth) {
        if (health > 0.0f && blinkTimer > kBlinkOn)
            DrawQuad(1.0f, loseTexture);
        return;
    }
    DrawBar(average, loseTexture);
    DrawBar(health, fullTexture);
    D3DXMatrixIdentity(&textureMatrix);
    device->SetTransform(D3DTS_TEXTURE0, &textureMatrix);
}
