// The game's device resources: fixed states, lights, fonts and every object's meshes and textures,
// loaded after each device creation or reset and released before each reset or teardown.
#include "game/asteroid_game.h"

HRESULT CMyD3DApplication::LoadDeviceResources() {
    return 0;
}

HRESULT CMyD3DApplication::ReleaseDeviceResources() {
    return 0;
}

HRESULT CMyD3DApplication::DestroyDeviceResources() {
    return 0;
}
