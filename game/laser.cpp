#include "game/laser.h"

#include "game/is_in_view.h"
#include "game/release_interface.h"

namespace {

constexpr float kGunCoolDown = 0.1f;
constexpr float kShotRange = 384.0f;
constexpr float kMuzzleOffset = 0.4f;

} // namespace

Laser::Laser() {
    for (int gun = 0; gun < kGuns; ++gun) {
        muzzleSide[gun] = 1;
        timeSinceShot[gun] = 0.0f;
    }
    for (LaserShot &shot : shots)
        shot = LaserShot{};
}

Laser::~Laser() = default;

bool Laser::Fire(float x, float y, float z, const D3DXMATRIX *shooterRotation, float shooterSpeed,
                 INT gun) {
    // Guns are 0..15; any other number has no gate to fire through.
    if (gun < 0 || gun >= kGuns)
        return false;
    if (timeSinceShot[gun] < kGunCoolDown)
        return false;
    timeSinceShot[gun] = 0.0f;

    const D3DXVECTOR3 nose(0.0f, 0.0f, 1.0f), right(kMuzzleOffset, 0.0f, 0.0f);
    D3DXVECTOR3 forward, side;
    D3DXVec3TransformCoord(&forward, &nose, shooterRotation);
    D3DXVec3TransformCoord(&side, &right, shooterRotation);

    for (index = 0; index < kMaxShots; ++index) {
        if (shots[index].active != 1)
            break;
    }
    if (index == kMaxShots) {
        // Full: the shot that has flown farthest gives way, the lowest slot among equals.
        DWORD farthest = 0;
        for (index = 1; index < kMaxShots; ++index) {
            if (shots[index].travelled > shots[farthest].travelled)
                farthest = index;
        }
        index = farthest;
    }

    LaserShot &shot = shots[index];
    shot.active = 1;
    shot.gun = gun;
    shot.position = D3DXVECTOR3(x, y, z) + forward + side * static_cast<float>(muzzleSide[gun]);
    shot.velocity = ShotVelocity(forward, shooterSpeed);
    shot.speed = D3DXVec3Length(&shot.velocity);
    shot.travelled = 0.0f;
    muzzleSide[gun] = -muzzleSide[gun];
    return true;
}

D3DXVECTOR3 Laser::ShotVelocity(const D3DXVECTOR3 &forward, float shooterSpeed) {
    return (forward * 2.0f + forward * shooterSpeed) * 50.0f;
}

void Laser::Update(float elapsed) {
    for (int gun = 0; gun < kGuns; ++gun)
        timeSinceShot[gun] += elapsed;
    for (index = 0; index < kMaxShots; ++index) {
        LaserShot &shot = shots[index];
        if (!shot.active)
            continue;
        // Expiry is judged before the move: a shot passing the range stays one more update.
        if (shot.travelled > kShotRange) {
            shot.active = 0;
            continue;
        }
        shot.position += shot.velocity * elapsed;
        shot.travelled += shot.speed * elapsed;
    }
}

void Laser::Render(const D3DXMATRIX *viewProjection, const D3DXMATRIX *orientation) {
    if (!mesh)
        return;
    for (index = 0; index < kMaxShots; ++index) {
        const LaserShot &shot = shots[index];
        if (!shot.active || !IsInView(&shot.position, viewProjection, 1.0f))
            continue;
        device->SetTexture(0, shot.gun == 0 ? playerTexture : marsTexture);
        D3DXMatrixScaling(&scaling, 2.0f, 2.0f, 2.0f);
        D3DXMatrixTranslation(&translation, shot.position.x, shot.position.y, shot.position.z);
        const D3DXMATRIX world = scaling * *orientation * translation;
        device->SetTransform(D3DTS_WORLD, &world);
        mesh->DrawSubset(0);
    }
}

void Laser::Clear() {
    for (index = 0; index < kMaxShots; ++index)
        shots[index].active = 0;
}

void Laser::LoadResources() {
    for (int gun = 0; gun < kGuns; ++gun) {
        timeSinceShot[gun] = 0.0f;
        muzzleSide[gun] = 1;
    }
    // A second load without a release in between must not leak what the first one holds.
    ReleaseResources();
    if (SUCCEEDED(
            D3DXLoadMeshFromX("flare.x", 0, device, nullptr, &materialsBuffer, nullptr, &mesh)) &&
        materialsBuffer)
        materials = static_cast<D3DXMATERIAL *>(materialsBuffer->GetBufferPointer());
    if (FAILED(D3DXCreateTextureFromFileA(device, "laser.jpg", &playerTexture)))
        playerTexture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileA(device, "marslaser.jpg", &marsTexture)))
        marsTexture = nullptr;
}

void Laser::ReleaseResources() {
    ReleaseInterface(mesh);
    // The materials serve no drawing; giving the buffer back keeps each load from leaking one.
    ReleaseInterface(materialsBuffer);
    materials = nullptr;
    ReleaseInterface(playerTexture);
    ReleaseInterface(marsTexture);
}
