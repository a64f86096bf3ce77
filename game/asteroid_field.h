// Every asteroid body of the game in one pool: filled for a wave or for the attract fly-by,
// spinning, drifting and kept around the player's ship, drawn with target and lead marks.
#pragma once

#include "game/meshobj.h"

struct AsteroidBody {
    D3DXVECTOR3 position;
    D3DXVECTOR3 velocity; // units per second, whole numbers
    D3DXVECTOR3 rotationAxis;
    float angle;
    float spin;      // radians per update
    DWORD sizeClass; // 1 is the largest; drawn at scale 4 / size class
    INT mesh;        // which of the four body meshes
    BYTE active;
};

class AsteroidField {
public:
    static constexpr DWORD kMaxBodies = 256;

    AsteroidField();
    virtual ~AsteroidField();

    AsteroidField(const AsteroidField &) = delete;
    AsteroidField &operator=(const AsteroidField &) = delete;

    void LoadMeshes();
    void ReleaseMeshes();

    void AddBody(float x, float y, float z, DWORD sizeClass);
    void InitField(DWORD count);
    void InitAttractField();
    bool Update(float elapsed, float shipX, float shipY, float shipZ);
    void Render(const D3DXMATRIX *viewProjection);
    void RenderTargetMarks(const D3DXMATRIX *viewProjection, float elapsed, float shipX,
                           float shipY, float shipZ, const D3DXMATRIX *shipRotation,
                           float shipSpeed);
    float GetNearestDistance(float x, float y, float z);
    DWORD GetMaxBodies() const { return kMaxBodies; }

    DWORD index = 0;
    D3DXMATRIX translation, scaling, rotation;
    D3DXVECTOR3 markOffset;
    float markDistance = 0.0f;
    IDirect3DDevice8 *device = nullptr;
    MeshObj *targetMark = nullptr;
    MeshObj *leadMark = nullptr;
    MeshObj *bodyMeshes[4] = {};
    AsteroidBody bodies[kMaxBodies];

private:
    // The random properties every filling operation draws after the position.
    void DrawVelocity(AsteroidBody &body);
    void DrawShape(AsteroidBody &body, bool attractSizeClass, DWORD sizeClass);
};
