#include "game/asteroid_field.h"

#include "game/is_in_view.h"
#include "game/laser.h"
#include "game/spaceship.h"
#include "platform/win32/random.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kWrapRadius = 256.0f;
constexpr float kWrapFactor = -0.98f;
constexpr float kNoMarksWithin = 32.0f;
constexpr float kMarkRadius = 8.0f;
constexpr float kFarAway = 10000.0f;
constexpr const char *kBodyMeshFiles[4] = {"asteroid1.x", "asteroid2.x", "asteroid3.x",
                                           "asteroid4.x"};

// A fresh draw of the shared generator, reduced modulo n.
int Draw(int n) {
    return crt::rand() % n;
}

} // namespace

AsteroidField::AsteroidField() {
    for (MeshObj *&mesh : bodyMeshes)
        mesh = new MeshObj();
    targetMark = new MeshObj();
    leadMark = new MeshObj();
    for (AsteroidBody &body : bodies)
        body = AsteroidBody{};
}

AsteroidField::~AsteroidField() {
    for (MeshObj *mesh : bodyMeshes)
        delete mesh;
    delete targetMark;
    delete leadMark;
}

void AsteroidField::LoadMeshes() {
    for (MeshObj *mesh : bodyMeshes)
        mesh->device = device;
    targetMark->device = device;
    leadMark->device = device;
    for (index = 0; index < 4; ++index)
        bodyMeshes[index]->Load(kBodyMeshFiles[index]);
    targetMark->Load("targt.x");
    leadMark->Load("targ2.x");
}

void AsteroidField::ReleaseMeshes() {
    for (index = 0; index < 4; ++index)
        bodyMeshes[index]->ReleaseResources();
    targetMark->ReleaseResources();
    leadMark->ReleaseResources();
}

void AsteroidField::DrawVelocity(AsteroidBody &body) {
    body.velocity.z = static_cast<float>(Draw(50) - 25);
    body.velocity.y = static_cast<float>(Draw(50) - 25);
    body.velocity.x = static_cast<float>(Draw(50) - 25);
}

void AsteroidField::DrawShape(AsteroidBody &body, bool attractSizeClass, DWORD sizeClass) {
    body.rotationAxis.z = static_cast<float>((Draw(100) - 50) / 200.0);
    body.rotationAxis.y = static_cast<float>((Draw(100) - 50) / 200.0);
    body.rotationAxis.x = static_cast<float>((Draw(100) - 50) / 200.0);
    body.active = 1;
    body.mesh = Draw(4);
    body.sizeClass = attractSizeClass ? static_cast<DWORD>(Draw(5) + 1) : sizeClass;
    body.angle = static_cast<float>(Draw(6));
    body.spin = static_cast<float>((Draw(100) - 50) / 300.0);
}

void AsteroidField::AddBody(float x, float y, float z, DWORD sizeClass) {
    for (index = 0; index < kMaxBodies; ++index) {
        if (bodies[index].active == 0)
            break;
    }
    if (index == kMaxBodies)
        return; // the piece is lost; nothing is drawn from the generator
    AsteroidBody &body = bodies[index];
    body.position = D3DXVECTOR3(x, y, z);
    DrawVelocity(body);
    DrawShape(body, false, sizeClass);
}

void AsteroidField::InitField(DWORD count) {
    for (index = 0; index < kMaxBodies; ++index)
        bodies[index].active = 0;
    // The wave table asks for a handful; never more than the pool holds.
    if (count > kMaxBodies)
        count = kMaxBodies;
    for (index = 0; index < count; ++index) {
        AsteroidBody &body = bodies[index];
        D3DXVECTOR3 direction;
        direction.z = static_cast<float>((Draw(256) - 128) / 128.0);
        direction.y = static_cast<float>((Draw(256) - 128) / 128.0);
        direction.x = static_cast<float>((Draw(256) - 128) / 128.0);
        D3DXVec3Normalize(&body.position, &direction);
        body.position *= 128.0f;
        DrawVelocity(body);
        DrawShape(body, false, 1);
    }
}

void AsteroidField::InitAttractField() {
    for (index = 0; index < kMaxBodies; ++index)
        bodies[index].active = 0;
    for (index = 0; index < 64; ++index) {
        AsteroidBody &body = bodies[index];
        body.position.z = static_cast<float>(Draw(256) + 64);
        body.position.y = static_cast<float>(Draw(64) - 32);
        body.position.x = static_cast<float>(Draw(64) - 32);
        body.velocity = D3DXVECTOR3(0.0f, 0.0f, static_cast<float>(-(Draw(50) + 20)));
        DrawShape(body, true, 0);
    }
}

bool AsteroidField::Update(float elapsed, float shipX, float shipY, float shipZ) {
    const D3DXVECTOR3 ship(shipX, shipY, shipZ);
    bool anyLive = false;
    for (index = 0; index < kMaxBodies; ++index) {
        AsteroidBody &body = bodies[index];
        if (!body.active)
            continue;
        anyLive = true;
        body.angle += body.spin;
        if (body.angle > kTwoPi)
            body.angle -= kTwoPi;
        else if (body.angle < 0.0f)
            body.angle += kTwoPi;
        body.position += body.velocity * elapsed;
        const D3DXVECTOR3 offset = body.position - ship;
        if (D3DXVec3Length(&offset) > kWrapRadius)
            body.position = ship + offset * kWrapFactor;
    }
    return anyLive;
}

void AsteroidField::Render(const D3DXMATRIX *viewProjection) {
    for (index = 0; index < kMaxBodies; ++index) {
        AsteroidBody &body = bodies[index];
        if (!body.active)
            continue;
        const float k = 4.0f / static_cast<float>(body.sizeClass);
        if (!IsInView(&body.position, viewProjection, k))
            continue;
        D3DXMatrixRotationAxis(&rotation, &body.rotationAxis, body.angle);
        D3DXMatrixScaling(&scaling, k, k, k);
        D3DXMatrixTranslation(&translation, body.position.x, body.position.y, body.position.z);
        const D3DXMATRIX world = rotation * scaling * translation;
        device->SetTransform(D3DTS_WORLD, &world);
        // Bodies come from the filling operations with mesh 0..3; the collision pass may write
        // any value, so an unknown index draws nothing rather than reading past the table.
        if (body.mesh >= 0 && body.mesh < 4)
            bodyMeshes[body.mesh]->Render();
    }
}

void AsteroidField::RenderTargetMarks(const D3DXMATRIX *viewProjection, float /*elapsed*/,
                                      float shipX, float shipY, float shipZ,
                                      const D3DXMATRIX *shipRotation, float shipSpeed) {
    const D3DXVECTOR3 ship(shipX, shipY, shipZ);
    for (index = 0; index < kMaxBodies; ++index) {
        AsteroidBody &body = bodies[index];
        if (!body.active)
            continue;
        markOffset = body.position - ship;
        markDistance = D3DXVec3Length(&markOffset);
        if (markDistance < kNoMarksWithin)
            continue;
        if (IsInView(&body.position, viewProjection, kMarkRadius)) {
            D3DXMatrixTranslation(&translation, body.position.x, body.position.y, body.position.z);
            const D3DXMATRIX world = *shipRotation * translation;
            device->SetTransform(D3DTS_WORLD, &world);
            targetMark->Render();
        }
        const D3DXVECTOR3 nose(0.0f, 0.0f, 1.0f);
        D3DXVECTOR3 forward;
        D3DXVec3TransformCoord(&forward, &nose, shipRotation);
        const D3DXVECTOR3 shotVelocity = Laser::ShotVelocity(forward, shipSpeed);
        const D3DXVECTOR3 lead =
            ComputeInterceptPoint(ship, shotVelocity, body.position, body.velocity, 6);
        if (IsInView(&lead, viewProjection, kMarkRadius)) {
            D3DXMatrixTranslation(&translation, lead.x, lead.y, lead.z);
            const D3DXMATRIX world = *shipRotation * translation;
            device->SetTransform(D3DTS_WORLD, &world);
            leadMark->Render();
        }
    }
}

float AsteroidField::GetNearestDistance(float x, float y, float z) {
    const D3DXVECTOR3 from(x, y, z);
    float nearest = kFarAway;
    for (index = 0; index < kMaxBodies; ++index) {
        if (!bodies[index].active)
            continue;
        const D3DXVECTOR3 offset = bodies[index].position - from;
        const float distance = D3DXVec3Length(&offset);
        if (distance < nearest)
            nearest = distance;
    }
    return nearest;
}
