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
    // A resource going away: drop every binding to it.
    void Forget(const void *resource);

    // Marks that a state reaching uniforms or fixed GL state changed.
    void Touch() {
        ++m_generation;
        m_glStateDirty = true;
    }
    // The device changed fixed GL state itself (clears, presents): set it again before drawing.
    void ForgetGlState() { m_glStateDirty = true; }
    void TouchSampler(DWORD stage) { m_samplerDirty[stage] = true; }
    // Something rebound texture unit `unit` behind the pipeline's back.
    void TouchTextureUnit(int unit) { m_boundTextures[unit] = 0; }

    // Draws `count` vertices (or indices) of `type` with vertex data in `vertexBuffer` at
    // `vertexOffset` with `stride`; `indexBuffer` (GL name, 0 for none) holds indices of
    // `indexSize` bytes from `indexOffset`, added to `baseVertex`.
    HRESULT Draw(GLenum mode, GLsizei count, GLuint vertexBuffer, std::size_t vertexOffset,
                 UINT stride, GLuint indexBuffer, std::size_t indexOffset, UINT indexSize,
                 GLint baseVertex);
    // A scratch buffer for the user-memory draws, filled with `bytes`.
    GLuint StreamVertices(const void *data, std::size_t bytes);
    GLuint StreamIndices(const void *data, std::size_t bytes);

    PipelineState state;
    const gl::Functions &gl;

    std::size_t ProgramCount() const { return m_cache.Size(); }

private:
    ProgramKey BuildKey() const;
    void ApplyFixedState();
    void ApplySamplers();
    void Upload(Program &program);

    Device &m_device;
    ShaderCache m_cache;
    GLuint m_vao = 0;
    GLuint m_streamVertices = 0;
    GLuint m_streamIndices = 0;
    std::array<GLuint, kMaxStages> m_samplers{};
    std::array<bool, kMaxStages> m_samplerDirty{};
    std::array<GLuint, kMaxStages> m_boundTextures{};
    std::uint64_t m_generation = 0;
    bool m_glStateDirty = true;
    bool m_abandoned = false;
    GLuint m_currentProgram = 0;
    std::array<GLint, 12> m_attributeOn{}; // which vertex arrays are enabled
};

} // namespace d3d8
