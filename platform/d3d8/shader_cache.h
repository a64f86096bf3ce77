// Compiled fixed-function programs, one per state key, with their uniform locations. A program
// that fails to compile or link is reported once and remembered as failed.
#pragma once

#include "platform/d3d8/gl_functions.h"
#include "platform/d3d8/program_key.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace d3d8 {

// Groups of uniforms that change together. Each program remembers which change of each group it
// last received, so a draw sends only what changed since that program last drew.
enum class UniformGroup : int {
    Transforms, // world and view: the world-view and normal matrices
    Projection,
    Viewport, // the screen mapping of pretransformed vertices
    TextureMatrices,
    Material,
    Ambient,
    TextureFactor,
    AlphaReference,
    Lights, // the lights, in camera space: they follow the view too
    Count
};
constexpr int kUniformGroupCount = static_cast<int>(UniformGroup::Count);

struct Program {
    GLuint id = 0; // 0 when the program failed
    // The change of each uniform group this program last received.
    std::array<std::uint64_t, kUniformGroupCount> received{};
    GLint worldView = -1, projection = -1, normalMatrix = -1, screen = -1, texMatrix = -1;
    GLint matDiffuse = -1, matAmbient = -1, matSpecular = -1, matEmissive = -1, matPower = -1;
    GLint globalAmbient = -1;
    GLint lightDiffuse = -1, lightSpecular = -1, lightAmbient = -1, lightPosition = -1,
          lightDirection = -1, lightAttenuation = -1, lightRange = -1;
    int lightCount = 0; // lights the program was written for
    GLint textureFactor = -1, alphaReference = -1;
};

class ShaderCache {
public:
    explicit ShaderCache(const gl::Functions &gl) : m_gl(gl) {}
    ~ShaderCache() { Clear(); }
    ShaderCache(const ShaderCache &) = delete;
    ShaderCache &operator=(const ShaderCache &) = delete;

    // The program of `key`, built on first use; its id is 0 when it cannot be built.
    Program &Get(const ProgramKey &key);
    // Deletes every program (the context must be current).
    void Clear();
    // Forgets every program without deleting it (the context is gone).
    void Abandon();
    std::size_t Size() const { return m_programs.size(); }

private:
    Program Build(const ProgramKey &key);

    const gl::Functions &m_gl;
    std::unordered_map<ProgramKey, Program, ProgramKeyHash> m_programs;
};

} // namespace d3d8
