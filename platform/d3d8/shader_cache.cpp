// Builds the fixed-function programs on first use. Failures go to standard error once, with the
// driver's log and the source, and the draws that need the program are skipped.
#include "platform/d3d8/shader_cache.h"

#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/shader_source.h"
#include "platform/seams/failure_injection.h"
#include <algorithm>

#include <cstdio>
#include <string>
#include <vector>

namespace d3d8 {
namespace {

std::string shaderLog(const gl::Functions &gl, GLuint shader) {
    GLint length = 0;
    gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> text(static_cast<size_t>(std::max(length, 1)), '\0');
    gl.GetShaderInfoLog(shader, static_cast<GLsizei>(text.size()), nullptr, text.data());
    return text.data();
}

std::string programLog(const gl::Functions &gl, GLuint program) {
    GLint length = 0;
    gl.GetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> text(static_cast<size_t>(std::max(length, 1)), '\0');
    gl.GetProgramInfoLog(program, static_cast<GLsizei>(text.size()), nullptr, text.data());
    return text.data();
}

GLuint compile(const gl::Functions &gl, GLenum type, const std::string &source, bool sabotage) {
    GLuint shader = gl.CreateShader(type);
    // A test can make the compiler see broken code, to check how failures are handled.
    const std::string text = sabotage ? source + "\nthis is not GLSL\n" : source;
    const char *sources[] = {text.c_str()};
    gl.ShaderSource(shader, 1, sources, nullptr);
    gl.CompileShader(shader);
    GLint ok = GL_FALSE;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        std::fprintf(stderr, "d3d8: %s shader failed to compile:\n%s\n--- source ---\n%s\n",
                     type == GL_VERTEX_SHADER ? "vertex" : "fragment",
                     shaderLog(gl, shader).c_str(), text.c_str());
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

Program &ShaderCache::Get(const ProgramKey &key) {
    auto found = m_programs.find(key);
    if (found != m_programs.end())
        return found->second;
    return m_programs.emplace(key, Build(key)).first->second;
}

Program ShaderCache::Build(const ProgramKey &key) {
    Program program;
    const bool sabotage = seams::ShouldFail("CompileProgram");
    GLuint vs = compile(m_gl, GL_VERTEX_SHADER, VertexShaderSource(key), sabotage);
    GLuint fs = vs ? compile(m_gl, GL_FRAGMENT_SHADER, FragmentShaderSource(key), false) : 0;
    if (!vs || !fs) {
        if (vs)
            m_gl.DeleteShader(vs);
        return program;
    }
    GLuint id = m_gl.CreateProgram();
    m_gl.AttachShader(id, vs);
    m_gl.AttachShader(id, fs);
    m_gl.LinkProgram(id);
    m_gl.DeleteShader(vs);
    m_gl.DeleteShader(fs);
    GLint linked = GL_FALSE;
    m_gl.GetProgramiv(id, GL_LINK_STATUS, &linked);
    if (!linked) {
        std::fprintf(stderr, "d3d8: program failed to link:\n%s\n", programLog(m_gl, id).c_str());
        m_gl.DeleteProgram(id);
        return program;
    }
    ++LiveGlCount();
    program.id = id;
    auto at = [&](const char *name) { return m_gl.GetUniformLocation(id, name); };
    program.worldView = at("uWorldView");
    program.projection = at("uProjection");
    program.normalMatrix = at("uNormalMatrix");
    program.screen = at("uScreen");
    program.texMatrix = at("uTexMatrix");
    program.matDiffuse = at("uMatDiffuse");
    program.matAmbient = at("uMatAmbient");
    program.matSpecular = at("uMatSpecular");
    program.matEmissive = at("uMatEmissive");
    program.matPower = at("uMatPower");
    program.globalAmbient = at("uGlobalAmbient");
    program.lightDiffuse = at("uLightDiffuse");
    program.lightSpecular = at("uLightSpecular");
    program.lightAmbient = at("uLightAmbient");
    program.lightPosition = at("uLightPosition");
    program.lightDirection = at("uLightDirection");
    program.lightAttenuation = at("uLightAttenuation");
    program.lightRange = at("uLightRange");
    program.lightCount = key.lighting ? key.lightCount : 0;
    program.textureFactor = at("uTextureFactor");
    program.alphaReference = at("uAlphaReference");
    m_gl.UseProgram(id);
    for (int stage = 0; stage < kMaxStages; ++stage) {
        const GLint sampler = at(("uSampler" + std::to_string(stage)).c_str());
        if (sampler >= 0)
            m_gl.Uniform1i(sampler, stage);
    }
    return program;
}

void ShaderCache::Abandon() {
    for (auto &[key, program] : m_programs)
        if (program.id)
            --LiveGlCount();
    m_programs.clear();
}

void ShaderCache::Clear() {
    for (auto &[key, program] : m_programs) {
        if (program.id) {
            m_gl.DeleteProgram(program.id);
            --LiveGlCount();
        }
    }
    m_programs.clear();
}

} // namespace d3d8
