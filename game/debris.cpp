#include "game/debris.h"

#include "game/is_in_view.h"
#include "platform/win32/random.h"

namespace {

constexpr float kReach = 64.0f;
constexpr float kWrapFactor = -0.98f;
constexpr float kViewRadius = 8.0f;

float Coordinate() {
    return static_cast<float>(crt::rand() % 64 - 32);
}

} // namespace

Debris::Debris() = default;

Debris::~Debris() = default;

void Debris::Scatter() {
    for (pieceIndex = 0; pieceIndex < kPieces; ++pieceIndex) {
        D3DXVECTOR3 &piece = pieces[pieceIndex];
        piece.x = Coordinate();
        piece.y = Coordinate();
        piece.z = Coordinate();
    }
}

void Debris::Update(D3DXVECTOR3 shipPosition) {
    for (pieceIndex = 0; pieceIndex < kPieces; ++pieceIndex) {
        D3DXVECTOR3 &piece = pieces[pieceIndex];
        const D3DXVECTOR3 offset = piece - shipPosition;
        if (D3DXVec3Length(&offset) > kReach)
            piece = shipPosition + offset * kWrapFactor;
    }
}

void Debris::Render(const D3DXMATRIX *viewProjection) {
    if (!mesh || materialCount == 0)
        return;
    for (pieceIndex = 0; pieceIndex < kPieces; ++pieceIndex) {
        const D3DXVECTOR3 &piece = pieces[pieceIndex];
        if (!IsInView(&piece, viewProjection, kViewRadius))
            continue;
        D3DXMatrixTranslation(&world, piece.x, piece.y, piece.z);
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetMaterial(&materials[0].MatD3D);
        device->SetTexture(0, textures[0]);
        for (DWORD subset = 0; subset < materialCount; ++subset)
            mesh->DrawSubset(subset);
    }
}
