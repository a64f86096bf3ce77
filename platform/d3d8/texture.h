// Textures: 2-D and cube textures held in an OpenGL texture, their levels lockable in their
// Direct3D format through a memory copy of the locked rectangle that lives only while it is locked,
// their levels as surfaces, and the memory-only image surfaces.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/gl_functions.h"
#include "platform/d3d8/program_key.h"
#include "platform/d3d8/texel_transfer.h"

#include <cstdint>
#include <vector>

namespace d3d8 {

class Device;

// Memory in a level's Direct3D format covering `rect` of the level, rows top to bottom, each as
// long as the rectangle is wide.
struct LevelCopy {
    StagingBlock block;
    RECT rect{};

    bool Empty() const { return !block.bytes; }
    UINT RowTexels() const { return static_cast<UINT>(rect.right - rect.left); }
};

// One level of one face. OpenGL holds its texels once it is defined (`inGl`); memory holds only
// the copy a lock hands out, and texels a lock wrote that could not be sent yet (`unsent`: the
// whole level while OpenGL holds none of it).
struct LevelStore {
    UINT width = 0;
    UINT height = 0;
    bool inGl = false;
    LevelCopy unsent;
    // While locked: the copy handed out, and how it was locked.
    bool locked = false;
    LevelCopy lockCopy;
    DWORD lockFlags = 0;
    bool lockCopyUnsent = false; // the copy holds texels OpenGL lacks
};

// Bytes per pixel of the texture formats this layer stores, 0 for the others.
UINT TextureFormatBytes(D3DFORMAT format);
// Whether a lock's rectangle is a non-empty part of a level of that size.
bool RectInLevel(const RECT &rect, UINT width, UINT height);

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
    // True while OpenGL lacks some level's texels: a level never written, or one whose lock could
    // not send what it wrote. DefineUnwrittenLevels sends those texels, and zeros (what a new
    // texture samples as) for levels never written. The pipeline calls it before binding.
    bool HasUnwrittenLevels() const { return m_unwrittenLevels > 0; }
    void DefineUnwrittenLevels();

protected:
    HRESULT LevelDesc(UINT level, D3DSURFACE_DESC *desc) const;
    HRESULT Lock(int face, UINT level, D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags);
    HRESULT Unlock(int face, UINT level);
    HRESULT Surface(int face, UINT level, IUnknown *container, IDirect3DSurface8 **out);
    LevelStore *Level(int face, UINT level);

    Device *m_device;
    GLuint m_name = 0;
    UINT m_levels;
    int m_faces;
    DWORD m_usage;
    D3DFORMAT m_format;
    D3DPOOL m_pool;
    DWORD m_lod = 0;
    std::vector<LevelStore> m_store; // face-major: face * levels + level

    friend class LevelSurface;

private:
    // The copy a lock of `area` hands out: the unsent texels, the area read back, or zeros.
    HRESULT CopyForLock(int face, UINT level, const RECT &area, DWORD flags);
    LevelCopy NewCopy(const RECT &area);
    // Sends a copy to OpenGL and gives its memory back; false (the copy kept) without a context.
    bool Send(int face, UINT level, LevelCopy &copy);
    TexelRegion Region(int face, UINT level, const RECT &rect, UINT rowTexels) const;
    void CountUnwrittenLevels();

    UINT m_unwrittenLevels = 0;
};

// Creates a texture; the out-pointer is NULL on failure.
HRESULT CreateTexture2D(Device *device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8 **out);
HRESULT CreateCubeTexture(Device *device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DCubeTexture8 **out);
HRESULT CreateMemorySurface(Device *device, UINT width, UINT height, D3DFORMAT format,
                            IDirect3DSurface8 **out);

} // namespace d3d8
