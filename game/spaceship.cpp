#include "game/spaceship.h"
#include "game/flight_model.h"
#include "game/release_interface.h"

#include <cmath>
#include <cstring>

namespace {

constexpr DWORD kHeadlightIndex = 2;
constexpr float kBadlyDamaged = 0.2f;
constexpr DWORD kReflectionFvf = D3DFVF_XYZ | D3DFVF_NORMAL;
constexpr UINT kReflectionStride = 24;

// The chrome look: only the cube texture, looked up by the camera-space reflection vector.
constexpr char kReflectionEffect[] = "texture texCubeMap;\n"
                                     "matrix matWorld;\n"
                                     "matrix matView;\n"
                                     "matrix matProject;\n"
                                     "technique Cube\n"
                                     "{\n"
                                     "pass P0\n"
                                     "{\n"
                                     "ZFunc = LessEqual;\n"
                                     "ZWriteEnable = true;\n"
                                     "VertexShader = xyz | normal;\n"
                                     "WorldTransform[0] = <matWorld>;\n"
                                     "ViewTransform = <matView>;\n"
                                     "ProjectionTransform = <matProject>;\n"
                                     "Texture[0] = <texCubeMap>;\n"
                                     "MinFilter[0] = Linear;\n"
                                     "MagFilter[0] = Linear;\n"
                                     "AddressU[0] = Clamp;\n"
                                     "AddressV[0] = Clamp;\n"
                                     "AddressW[0] = Clamp;\n"
                                     "ColorOp[0] = SelectArg1;\n"
                                     "ColorArg1[0] = Texture;\n"
                                     "TexCoordIndex[0] = CameraSpaceReflectionVector;\n"
                                     "TextureTransformFlags[0] = Count3;\n"
                                     "}\n"
                                     "}\n";
constexpr UINT kReflectionEffectLength = sizeof(kReflectionEffect) - 1;
static_assert(kReflectionEffectLength == 535);

} // namespace

Spaceship::Spaceship() = default;

// The game never deletes its ship; device resources are released by their own pair.
Spaceship::~Spaceship() = default;

void Spaceship::Reset() {
    position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    orientation = DrawStartOrientation();
    acceleration = yawRate = pitchRate = rollRate = speed = runningTime = 0.0f;
    health = 1.0f;
    std::memset(&headlight, 0, sizeof headlight);
}

D3DXVECTOR3 Spaceship::Forward() {
    D3DXMatrixRotationQuaternion(&forwardMatrix, &orientation);
    const D3DXVECTOR3 nose(0.0f, 0.0f, 1.0f);
    D3DXVECTOR3 forward;
    D3DXVec3TransformCoord(&forward, &nose, &forwardMatrix);
    return forward;
}

void Spaceship::PointHeadlight(const D3DXVECTOR3 &forward) {
    headlight.Type = D3DLIGHT_SPOT;
    headlight.Position = position + forward;
    headlight.Direction = forward;
    if (device)
        device->SetLight(kHeadlightIndex, &headlight);
}

void Spaceship::Update(float elapsed, bool invertPitch, float sensitivity, bool headlightOn) {
    runningTime += elapsed;
    const float t = runningTime;
    wobble = D3DXVECTOR3(std::sin(1.23f * t) / 60.0f, std::sin(1.55f * t) / 60.0f,
                         std::sin(2.19f * t) / 60.0f);
    const D3DXVECTOR3 forward = Forward();
    AdvanceAlongNose(position, forward, speed, acceleration);

    TurnAboutOwnAxis(D3DXMatrixRotationY, -yawRate * sensitivity, yawMatrix, yawRotation,
                     orientation);
    const float pitch = invertPitch ? -pitchRate * sensitivity : pitchRate * sensitivity;
    TurnAboutOwnAxis(D3DXMatrixRotationX, pitch, pitchMatrix, pitchRotation, orientation);
    TurnAboutOwnAxis(D3DXMatrixRotationZ, -rollRate * sensitivity, rollMatrix, rollRotation,
                     orientation);

    rateDamping = 1.0f - 4.5f * elapsed;
    damagedRateDamping = 1.0f - 0.5f * elapsed;
    speedDamping = 1.0f - elapsed;
    // A badly damaged ship keeps turning much longer.
    const float damping = health <= kBadlyDamaged ? damagedRateDamping : rateDamping;
    DampFlight(damping, speedDamping, yawRate, pitchRate, rollRate, acceleration, speed);

    if (headlightOn)
        PointHeadlight(forward);
}

void Spaceship::SetHeadlight(bool on) {
    if (!device)
        return;
    if (!on) {
        device->LightEnable(kHeadlightIndex, FALSE);
        return;
    }
    std::memset(&headlight, 0, sizeof headlight);
    headlight.Diffuse = headlight.Specular = headlight.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    headlight.Range = 256.0f;
    headlight.Falloff = 7.0f;
    headlight.Attenuation0 = 0.0f;
    headlight.Attenuation1 = 0.01f;
    headlight.Attenuation2 = 0.0f;
    headlight.Theta = 0.01f;
    headlight.Phi = 0.7f;
    PointHeadlight(Forward());
    device->LightEnable(kHeadlightIndex, TRUE);
}

void Spaceship::SlowDown() {
    speed -= 0.01f;
}

bool Spaceship::Damage(D3DXVECTOR3 blastPoint, DWORD divisor) {
    return ApplyBlastDamage(health, position, blastPoint, divisor);
}

D3DXVECTOR3 Spaceship::GetPosition() const {
    return position;
}

D3DXVECTOR3 Spaceship::GetShakeOffset() const {
    return ShakeOffset(position, runningTime);
}

D3DXQUATERNION Spaceship::GetOrientation() const {
    return orientation;
}

void Spaceship::SetPosition(float x, float y, float z) {
    position = D3DXVECTOR3(x, y, z);
}

void Spaceship::SetOrientation(D3DXQUATERNION q) {
    orientation = q;
}

void Spaceship::LoadReflection(const D3DSURFACE_DESC * /*backBuffer*/) {
    D3DCAPS8 caps{};
    device->GetDeviceCaps(&caps);
    if (caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP) {
        if (FAILED(D3DXCreateCubeTextureFromFileA(device, "cubemap.dds", &cubeTexture)))
            cubeTexture = nullptr;
    }
    if (FAILED(
            D3DXCreateEffect(device, kReflectionEffect, kReflectionEffectLength, &effect, nullptr)))
        effect = nullptr;
    if (effect)
        effect->SetTexture("texCubeMap", cubeTexture);
    if (mesh &&
        FAILED(mesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, kReflectionFvf, device, &reflectionMesh)))
        reflectionMesh = nullptr;
}

void Spaceship::ReleaseReflection() {
    ReleaseInterface(effect);
    ReleaseInterface(reflectionMesh);
    ReleaseInterface(cubeTexture);
}

void Spaceship::DrawReflective(const D3DXMATRIX *view, const D3DXMATRIX *projection) {
    effect->SetMatrix("matWorld", &worldMatrix);
    effect->SetMatrix("matView", view);
    effect->SetMatrix("matProject", projection);
    IDirect3DVertexBuffer8 *pVB = nullptr;
    IDirect3DIndexBuffer8 *pIB = nullptr;
    reflectionMesh->GetVertexBuffer(&pVB);
    reflectionMesh->GetIndexBuffer(&pIB);
    device->SetStreamSource(0, pVB, kReflectionStride);
    device->SetIndices(pIB, 0);
    device->SetTransform(D3DTS_TEXTURE0, &rotationMatrix);
    UINT uPasses = 0;
    if (SUCCEEDED(effect->Begin(&uPasses, 0))) {
        for (UINT pass = 0; pass < uPasses; ++pass) {
            effect->Pass(pass);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, reflectionMesh->GetNumVertices(), 0,
                                         reflectionMesh->GetNumFaces());
        }
        effect->End();
    }
    if (pVB)
        pVB->Release();
    if (pIB)
        pIB->Release();
    D3DXMATRIX matIdentity;
    D3DXMatrixIdentity(&matIdentity);
    device->SetTransform(D3DTS_TEXTURE0, &matIdentity);
}

void Spaceship::DrawFlame(float side, const D3DXMATRIX &rotation) {
    const float size = FlameSize(speed, FlameFlicker(speed));
    D3DXMatrixScaling(&flameScaling, size, size, size);
    D3DXMatrixTranslation(&flameOffset, side, 0.0f, -0.6f);
    worldMatrix = flameScaling * flameOffset * rotation * translationMatrix;
    device->SetTransform(D3DTS_WORLD, &worldMatrix);
    if (flameMesh)
        flameMesh->Render();
}

void Spaceship::Render(const D3DXMATRIX *view, const D3DXMATRIX *projection,
                       const D3DXMATRIX *shipRotation, bool reflection) {
    const D3DXVECTOR3 drawn = position + wobble;
    D3DXMatrixTranslation(&translationMatrix, drawn.x, drawn.y, drawn.z);
    D3DXMatrixRotationQuaternion(&rotationMatrix, &orientation);
    worldMatrix = rotationMatrix * translationMatrix;
    device->SetTransform(D3DTS_WORLD, &worldMatrix);

    // The chrome look needs the cube texture, the effect and the position-and-normal copy; a
    // missing one falls back to the plain look.
    if (reflection && cubeTexture && effect && reflectionMesh) {
        DrawReflective(view, projection);
    } else if (mesh) {
        device->SetTexture(0, textures && materialCount > 0 ? textures[0] : nullptr);
        mesh->DrawSubset(0);
    }

    SetFlameStates(device);
    DrawFlame(-0.35f, *shipRotation);
    DrawFlame(0.35f, rotationMatrix);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ZBIAS, 0);
}

D3DXVECTOR3 ComputeInterceptPoint(D3DXVECTOR3 shooter, D3DXVECTOR3 shotVelocity, D3DXVECTOR3 target,
                                  D3DXVECTOR3 targetVelocity, DWORD iterations) {
    D3DXVECTOR3 solution = target;
    const float shotSpeed = D3DXVec3Length(&shotVelocity);
    while (iterations > 0) {
        if (shotSpeed == 0.0f)
            return target;
        const D3DXVECTOR3 toSolution = solution - shooter;
        const float time = D3DXVec3Length(&toSolution) / shotSpeed;
        solution = target + targetVelocity * time;
        --iterations;
    }
    return solution;
}
