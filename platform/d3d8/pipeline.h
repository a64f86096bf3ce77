// The drawing pipeline's side of a device: the Direct3D states as recorded (applied only when
// drawing), the weak bindings of textures and buffers, and the OpenGL objects that draws use.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/gl_functions.h"
#include "platform/d3d8/program_key.h"
#include "platform/d3d8/shader_cache.h"
#include "platform/d3d8/vertex_format.h"

#include <array>
#include <cstdint>
#include <map>

namespace d3d8 {

class Device;
class TextureStorage;
class VertexBuffer;
class IndexBuffer;

constexpr int kRenderStateCount = 256;
constexpr int kStageStateCount = 32;

struct LightSlot {
    D3DLIGHT8 light{};
    bool enabled = false;
};

struct PipelineState {
    std::array<DWORD, kRenderStateCount> render{};
    std::array<std::array<DWORD, kStageStateCount>, kMaxStages> stage{};
    D3DMATRIX world{}, view{}, projection{};
    std::array<D3DMATRIX, 3> blendWorld{}; // world matrices 1..3, kept for GetTransform
    std::array<D3DMATRIX, kMaxStages> texture{};
    D3DMATERIAL8 material{};
    std::map<DWORD, LightSlot> lights;
    D3DVIEWPORT8 viewport{};
    DWORD fvf = 0;
    VertexLayout layout;
    // Bindings do not hold references: a resource the program releases unbinds itself, so
    // bindings never keep a resource (and through it the device) alive.
    std::array<TextureStorage *, kMaxStages> textures{};
    VertexBuffer *stream = nullptr;
    UINT stride = 0;
    IndexBuffer *indices = nullptr;
    UINT baseVertex = 0;
};

// What a draw hands the pipeline: `count` vertices (or indices) of `mode` from `vertices` with
// `stride`, starting at vertex `first`; or, with an index buffer (GL name, 0 for none), `count`
// indices of `indexSize` bytes from `indexOffset`, added to `baseVertex`.
struct DrawCall {
    GLenum mode = 0;
    GLsizei count = 0;
    GLuint vertices = 0;
    UINT stride = 0;
    GLint first = 0;
    GLuint indices = 0;
    std::size_t indexOffset = 0;
    UINT indexSize = 0;
    GLint baseVertex = 0;
};

// The fixed-function OpenGL state the pipeline sets, as OpenGL holds it. A value OpenGL may no
// longer hold is unknown (a NaN or an impossible value) and is sent again.
struct GlFixedState {
    GLint viewport[4];
    float depthRange[2];
    int depthTest, depthMask, cull, polygonOffset, blend, dither;
    GLenum depthFunc, cullFace, polygonMode, blendSource, blendDestination, blendEquation;
    float offsetFactor, offsetUnits;
    int colourMask;
    void Forget();
};

class Pipeline {
public:
    Pipeline(Device &device, const gl::Functions &gl);
    ~Pipeline(); // the device's context must be current, unless abandoned
    // The context is gone with its window: forget the GL objects instead of deleting them.
    void Abandon();
    Pipeline(const Pipeline &) = delete;
    Pipeline &operator=(const Pipeline &) = delete;

    // Every state, light, transform and binding back to Direct3D's defaults for a target of
    // this size.
    void ResetToDefaults(UINT width, UINT height, bool hasDepth);
    // A resource going away: drop every binding to it and whatever GL held of its name.
    void ForgetTexture(const void *texture, GLuint name);
    void ForgetBuffer(const void *buffer, GLuint name);

    // The states as recorded. They change only through the setters below, each of which marks
    // what the change reaches (uniforms, the program choice, the fixed GL state, samplers), so
    // that no change goes unnoticed by the next draw. The device has checked the values.
    const PipelineState &State() const { return m_state; }
    void SetRenderState(D3DRENDERSTATETYPE type, DWORD value);
    void SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    // False when Direct3D has no such transform.
    bool SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX &matrix);
    void SetMaterial(const D3DMATERIAL8 &material);
    // Setting a light never changes whether it is on.
    void SetLight(DWORD index, const D3DLIGHT8 &light);
    // False when turning it on would make more than kMaxLights lights on.
    bool EnableLight(DWORD index, bool on);
    void SetViewport(const D3DVIEWPORT8 &viewport);
    void SetVertexFormat(DWORD fvf, const VertexLayout &layout);
    void SetTexture(DWORD stage, TextureStorage *texture);
    void SetStream(VertexBuffer *buffer, UINT stride);
    void SetIndices(IndexBuffer *buffer, UINT baseVertex);
    // The device set colour and depth write masks itself (clears, presents).
    void ForgetWriteMasks() {
        m_held.depthMask = -1;
        m_held.colourMask = -1;
        m_fixedDirty = true;
    }
    // Something rebound texture unit `unit` behind the pipeline's back.
    void TouchTextureUnit(int unit) { m_boundTextures[unit] = 0; }

    HRESULT Draw(const DrawCall &call);
    // A scratch buffer for the user-memory draws, filled with `bytes`.
    GLuint StreamVertices(const void *data, std::size_t bytes);
    GLuint StreamIndices(const void *data, std::size_t bytes);

    const gl::Functions &gl;

    std::size_t ProgramCount() const { return m_cache.Size(); }

private:
    // What a recorded state change reaches: the uniforms of a group, the program choice, the
    // fixed GL state; render and stage states sort out which of these they reach.
    void UniformsChanged(UniformGroup group) { m_changed[static_cast<int>(group)] = ++m_clock; }
    void KeyChanged() { m_keyDirty = true; }
    void FixedStateChanged() { m_fixedDirty = true; }
    void RenderStateChanged(D3DRENDERSTATETYPE state);
    void TextureStageStateChanged(DWORD stage, D3DTEXTURESTAGESTATETYPE type);

    ProgramKey BuildKey() const;
    void ApplyFixedState();
    void ApplySamplers();
    void ApplyAttributes(const DrawCall &call);
    void Upload(Program &program);
    void ComputeLights();
    void ForgetEverything();

    PipelineState m_state;
    Device &m_device;
    ShaderCache m_cache;
    GLuint m_vao = 0;
    GLuint m_streamVertices = 0;
    GLuint m_streamIndices = 0;
    std::array<GLuint, kMaxStages> m_samplers{};
    std::array<bool, kMaxStages> m_samplerDirty{};
    std::array<GLuint, kMaxStages> m_boundTextures{};
    bool m_abandoned = false;

    // The program for the current states, found again only when a state it depends on changed.
    bool m_keyDirty = true;
    Program *m_program = nullptr;
    GLuint m_currentProgram = 0;

    // Change stamps of the uniform groups (never repeating), and the lights in camera space,
    // worked out once per change of the lights or the view rather than once per program.
    std::uint64_t m_clock = 0;
    std::array<std::uint64_t, kUniformGroupCount> m_changed{};
    std::uint64_t m_lightsComputed = 0;
    int m_lightCount = 0;
    float m_lightDiffuse[kMaxLights * 4] = {}, m_lightSpecular[kMaxLights * 4] = {},
                                      m_lightAmbient[kMaxLights * 4] = {},
                                      m_lightRange[kMaxLights * 4] = {};
    float m_lightPosition[kMaxLights * 3] = {}, m_lightDirection[kMaxLights * 3] = {},
                                       m_lightAttenuation[kMaxLights * 3] = {};

    bool m_fixedDirty = true;
    GlFixedState m_held{};

    // The vertex array's set-up: which buffer, stride and format its arrays point into, and its
    // index buffer. A buffer with no name (0) means nothing is known.
    GLuint m_attributeBuffer = 0;
    UINT m_attributeStride = 0;
    DWORD m_attributeFvf = 0;
    GLuint m_elementBuffer = 0;
    std::array<GLint, 12> m_attributeOn{}; // which vertex arrays are enabled
};

} // namespace d3d8
