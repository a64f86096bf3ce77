// Textures: 2-D and cube textures held in an OpenGL texture, their levels lockable in their
// Direct3D format through a memory copy that lives only while the level is locked, their levels as
// surfaces, and the memory-only image surfaces.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/gl_functions.h"
#include "platform/d3d8/program_key.h"

#include <cstdint>
#include <vector>

namespace d3d8 {

class Device;

// One level of one face in its Direct3D format, rows top to bottom. A texture level's bytes exist
// only while it is locked (or while there is no OpenGL texture to hold them); `inGl` says whether
// the OpenGL texture holds the level's texels yet (a level never unlocked reads as zeros).
struct LevelStore {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint8_t> bytes;
    bool locked = false;
    bool inGl = false;
};

// Bytes per pixel of the texture formats this layer stores, 0 for the others.
UINT TextureFormatBytes(D3DFORMAT format);

// What every texture shares; the device binds textures through this type.
class TextureStorage {
public:
    TextureKind Kind() const { return m_faces == 6 ? TextureKind::Cube : TextureKind::Flat; }
    GLuint Name() const { return m_name; }
    const Device *Owner() const { return m_device; }

    TextureStorage(Device *device, UINT width, UINT height, UINT levels, int faces, DWORD usage,
                   D3DFORMAT format, D3DPOOL pool);
    virtual ~TextureStorage();
    TextureStorage(const TextureStorage &) = delete;
    TextureStorage &operator=(const TextureStorage &) = delete;

    void CreateGlTexture();
    // True while some level has never been given texels; DefineUnwrittenLevels gives them zeros,
    // which is what a new texture samples as. The pipeline calls it before binding the texture.
    bool HasUnwrittenLevels() const { return m_unwrittenLevels > 0; }
    void DefineUnwrittenLevels();

protected:
    HRESULT LevelDesc(UINT level, D3DSURFACE_DESC *desc) const;
    HRESULT Lock(int face, UINT level, D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags);
    HRESULT Unlock(int face, UINT level);
    HRESULT Surface(int face, UINT level, IUnknown *container, IDirect3DSurface8 **out);
    LevelStore *Level(int face, UINT level);
    UINT LevelBytes(const LevelStore &store) const;
    // Gives a level about to be locked its bytes: read back from OpenGL, or zeros.
    void MakeLevelBytes(int face, UINT level);

    Device *m_device;
    GLuint m_name = 0;
    UINT m_levels;
    int m_faces;
    DWORD m_usage;
    D3DFORMAT m_format;
    D3DPOOL m_pool;
    DWORD m_lod = 0;
    UINT m_unwrittenLevels = 0;
    std::vector<LevelStore> m_store; // face-major: face * levels + level

    friend class LevelSurface;
};

// Creates a texture; the out-pointer is NULL on failure.
HRESULT CreateTexture2D(Device *device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8 **out);
HRESULT CreateCubeTexture(Device *device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DCubeTexture8 **out);
HRESULT CreateMemorySurface(Device *device, UINT width, UINT height, D3DFORMAT format,
                            IDirect3DSurface8 **out);

} // namespace d3d8
