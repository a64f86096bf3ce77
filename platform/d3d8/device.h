// The device: an OpenGL 3.3 core context on the device window, a back buffer that is an
// off-screen framebuffer of the presentation size and format, and the device's life: loss of a
// full-screen device when its window loses the focus or is minimised, Reset, Present with the
// back buffer scaled into the window with its aspect kept.
//
// Orientation: row 0 of the back-buffer framebuffer is the top row of the picture (Direct3D's
// screen convention), so pixel rectangles map to the framebuffer without flipping; Present flips
// when it copies into the window, and the drawing pipeline flips clip-space y (which also reverses
// the winding it sees).
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/device_cursor.h"
#include "platform/d3d8/gl_functions.h"
#include "platform/d3d8/texel_transfer.h"

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace d3d8 {

class Direct3D;
class BackBufferSurface;
class Pipeline;

// Where Present puts a picture in a window: scaled to fit with its shape kept, centred, and the
// bars left beside or above and below it; in window pixels counted from the bottom-left, as
// OpenGL counts them.
struct PresentArea {
    RECT picture{};
    std::vector<RECT> bars;
};
PresentArea FitPicture(UINT pictureWidth, UINT pictureHeight, UINT windowWidth, UINT windowHeight);

class Device final : public RefCounted<IDirect3DDevice8> {
public:
    static HRESULT Create(Direct3D *owner, UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                          DWORD behaviour, const D3DPRESENT_PARAMETERS &parameters,
                          IDirect3DDevice8 **out);

    HRESULT QueryInterface(REFIID iid, void **object) override;
    ULONG Release() override;

    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS *parameters) override;
    HRESULT Present(const RECT *source, const RECT *dest, HWND overrideWindow,
                    const void *dirtyRegion) override;
    HRESULT GetDeviceCaps(D3DCAPS8 *caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE *mode) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface8 **surface) override;
    UINT GetAvailableTextureMem() override;

    HRESULT Clear(DWORD count, const D3DRECT *rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;

    void SetCursorPosition(int x, int y, DWORD flags) override;
    BOOL ShowCursor(BOOL show) override;
    HRESULT SetCursorProperties(UINT hotSpotX, UINT hotSpotY, IDirect3DSurface8 *image) override;
    const DeviceCursor &Cursor() const { return m_deviceCursor; }

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD *value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8 *texture) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX *matrix) override;
    HRESULT SetMaterial(const D3DMATERIAL8 *material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT8 *light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetViewport(const D3DVIEWPORT8 *viewport) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8 **buffer) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer8 **buffer) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture8 **texture) override;
    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture8 **texture) override;
    HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format,
                               IDirect3DSurface8 **surface) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8 *buffer, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8 *buffer, UINT baseVertex) override;
    HRESULT CreateVertexShader(const DWORD *declaration, const DWORD *function, DWORD *handle,
                               DWORD usage) override;
    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void *vertices,
                            UINT stride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                   UINT primitiveCount, const void *indices, D3DFORMAT indexFormat,
                                   const void *vertices, UINT stride) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD *value) override;
    HRESULT GetMaterial(D3DMATERIAL8 *material) override;
    HRESULT GetLight(DWORD index, D3DLIGHT8 *light) override;
    HRESULT GetLightEnable(DWORD index, BOOL *enable) override;
    HRESULT GetViewport(D3DVIEWPORT8 *viewport) override;

    // For the device's resources: its GL functions and context, and the drawing pipeline.
    const gl::Functions &GL() const { return m_gl; }
    bool MakeContextCurrent();
    Pipeline &GetPipeline() { return *m_pipeline; }

    // For the layer: the presentation in force, the back buffer read back (rows top to bottom,
    // RGBA8), and the count of default-pool resources alive (Reset refuses while it is not 0).
    const D3DPRESENT_PARAMETERS &Presentation() const { return m_pp; }
    bool ReadBackBuffer(std::uint32_t &width, std::uint32_t &height,
                        std::vector<std::uint8_t> &rgba);
    void AddDefaultPoolResource(int delta) { m_defaultPoolResources += delta; }
    void InjectLoss(int lostChecks);

    // Memory for the copy of a locked resource, its bytes undefined, and its return at the unlock.
    // One block, the largest returned, is kept for the next lock: a program filling resource after
    // resource then works in warm memory instead of faulting fresh pages in for each.
    StagingBlock TakeStaging(std::size_t bytes);
    void GiveBackStaging(StagingBlock &&block);

    // Texels between a texture level in OpenGL and memory (texel_transfer.cpp). Both expect the
    // context current; the call log records them as ReadTexels and SendTexels.
    bool ReadTexels(const TexelRegion &region, std::uint8_t *out);
    void SendTexels(const TexelRegion &region, const std::uint8_t *in);

private:
    Device(Direct3D *owner, UINT adapter, D3DDEVTYPE type, HWND window, SDL_Window *sdlWindow,
           DWORD behaviour);
    ~Device() override;

    bool WindowAlive() const;
    bool MakeCurrent();
    HRESULT ApplyPresentation(const D3DPRESENT_PARAMETERS &parameters);
    bool CreateBackBuffer();
    void DestroyBackBuffer();
    void SetFullScreen(bool fullScreen);
    void ResetStateToDefaults();
    static int WatchWindowEvents(void *self, SDL_Event *event);

    Direct3D *m_owner;
    UINT m_adapter;
    D3DDEVTYPE m_type;
    HWND m_window;
    SDL_Window *m_sdlWindow;
    Uint32 m_windowId = 0;
    DWORD m_behaviour;
    SDL_GLContext m_context = nullptr;
    gl::Functions m_gl;
    D3DPRESENT_PARAMETERS m_pp{};
    BackBufferSurface *m_backBuffer = nullptr;
    std::unique_ptr<Pipeline> m_pipeline; // states, bindings and programs of the drawing pipeline

    // Back buffer: framebuffer with a colour and an optional depth-stencil renderbuffer.
    GLuint m_framebuffer = 0;
    GLuint m_colour = 0;
    GLuint m_depth = 0;
    bool m_hasStencil = false;
    bool m_fullScreen = false;

    // Device life.
    bool m_inScene = false;
    bool m_inReset = false;
    bool m_lostByWindow = false; // a full-screen window lost the focus or was minimised
    bool m_needsReset = false;   // lost, now restorable: only Reset helps
    bool m_windowFocused = true;
    bool m_windowMinimised = false;
    int m_injectedLostChecks = 0;
    int m_defaultPoolResources = 0;
    StagingBlock m_spareStaging;
    GLuint m_texelFramebuffer = 0; // where a texture level is attached to be read back

    // Cursor.
    BOOL m_cursorShown = FALSE;
    POINT m_cursor{0, 0};
    DeviceCursor m_deviceCursor;
};

} // namespace d3d8
