// The draw benchmark's floor: the scene of draw_scene.h written directly against OpenGL 3.3, the
// way a program made for this one scene would draw it. Its shader lights with exactly the two
// lights the scene has; its matrices are worked out on the CPU per mesh.
#include "raw_gl_floor.h"

#include "draw_scene.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

const char *const kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uWorldView;
uniform mat3 uNormalMatrix;
uniform mat4 uProjection;
uniform vec4 uDiffuse;
uniform vec3 uAmbient;        // scene ambient times the material's
uniform vec3 uSunDirection;   // towards the sun, camera space
uniform vec3 uSpotPosition;   // camera space
uniform vec3 uSpotDirection;  // camera space, unit length
uniform vec4 uSpotCone;       // range, falloff, cos(theta / 2), cos(phi / 2)
uniform vec3 uSpotAttenuation;
out vec4 vColour;
out vec2 vTexCoord;
void main() {
    vec3 P = (uWorldView * vec4(aPosition, 1.0)).xyz;
    gl_Position = uProjection * vec4(P, 1.0);
    vec3 N = uNormalMatrix * aNormal;
    vec3 diffuse = vec3(0.0);
    float sun = dot(N, uSunDirection);
    if (sun > 0.0)
        diffuse += vec3(sun);
    vec3 toLight = uSpotPosition - P;
    float d = length(toLight);
    if (d <= uSpotCone.x) {
        vec3 L = d > 0.0 ? toLight / d : vec3(0.0, 0.0, -1.0);
        float a = uSpotAttenuation.x + uSpotAttenuation.y * d + uSpotAttenuation.z * d * d;
        float scale = a > 0.0 ? 1.0 / a : 1.0;
        float rho = dot(-L, uSpotDirection);
        if (rho <= uSpotCone.w)
            scale = 0.0;
        else if (rho <= uSpotCone.z)
            scale *= pow((rho - uSpotCone.w) / (uSpotCone.z - uSpotCone.w), uSpotCone.y);
        float spot = dot(N, L);
        if (spot > 0.0)
            diffuse += vec3(spot) * scale;
    }
    vColour = vec4(clamp(uAmbient + uDiffuse.rgb * diffuse, 0.0, 1.0), uDiffuse.a);
    vTexCoord = aTexCoord;
}
)";

const char *const kFragmentShader = R"(#version 330 core
uniform sampler2D uTexture;
uniform bool uUseFactor;
uniform vec3 uFactor;
in vec4 vColour;
in vec2 vTexCoord;
out vec4 fragColour;
void main() {
    vec4 t = texture(uTexture, vTexCoord);
    fragColour = vec4(t.rgb * (uUseFactor ? uFactor : vColour.rgb), t.a);
}
)";

GLuint compile(const d3d8::gl::Functions &gl, GLenum type, const char *source) {
    const GLuint shader = gl.CreateShader(type);
    gl.ShaderSource(shader, 1, &source, nullptr);
    gl.CompileShader(shader);
    GLint ok = GL_FALSE;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "floor: shader does not compile: %s\n", log);
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

// Column-major 4 x 4 and 3 x 3 matrices, as GL takes them.
struct Mat4 {
    float m[16];
};

// The world-view matrix of a mesh (the view is the identity) and its normal matrix, the inverse
// transpose of its upper 3 x 3.
void matricesOf(const draw_scene::Placement &p, Mat4 &worldView, float normal[9]) {
    worldView = {{p.scale, 0, 0, 0, 0, p.scale, 0, 0, 0, 0, p.scale, 0, p.x, p.y, p.z, 1}};
    const float *w = worldView.m;
    const float a = w[0], b = w[4], c = w[8], d = w[1], e = w[5], f = w[9], g = w[2], h = w[6],
                i = w[10];
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    const float s = 1.0f / det;
    // Rows of the inverse transpose, stored column by column.
    const float rows[3][3] = {{(e * i - f * h) * s, -(d * i - f * g) * s, (d * h - e * g) * s},
                              {-(b * i - c * h) * s, (a * i - c * g) * s, -(a * h - b * g) * s},
                              {(b * f - c * e) * s, -(a * f - c * d) * s, (a * e - b * d) * s}};
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col)
            normal[col * 3 + r] = rows[r][col];
}

} // namespace

RawGlFloor::RawGlFloor() {
    using namespace draw_scene;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    m_window = SDL_CreateWindow("draw floor", 0, 0, kWidth, kHeight,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_BORDERLESS);
    if (!m_window)
        return;
    m_context = SDL_GL_CreateContext(m_window);
    if (!m_context || SDL_GL_MakeCurrent(m_window, m_context) != 0 ||
        !d3d8::gl::LoadFunctions(m_gl))
        return;
    const d3d8::gl::Functions &gl = m_gl;
    auto drawElements =
        reinterpret_cast<PFNGLDRAWELEMENTSPROC>(SDL_GL_GetProcAddress("glDrawElements"));
    if (!drawElements)
        return;
    m_drawElements = drawElements;

    // The same off-screen back buffer as the device gives a 16-bit depth format: colour and
    // 24-bit depth.
    gl.GenFramebuffers(1, &m_framebuffer);
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    gl.GenRenderbuffers(1, &m_colour);
    gl.BindRenderbuffer(GL_RENDERBUFFER, m_colour);
    gl.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);
    gl.GenRenderbuffers(1, &m_depth);
    gl.BindRenderbuffer(GL_RENDERBUFFER, m_depth);
    gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kWidth, kHeight);
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
    if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return;

    const GLuint vs = compile(gl, GL_VERTEX_SHADER, kVertexShader);
    const GLuint fs = compile(gl, GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vs || !fs)
        return;
    m_program = gl.CreateProgram();
    gl.AttachShader(m_program, vs);
    gl.AttachShader(m_program, fs);
    gl.LinkProgram(m_program);
    gl.DeleteShader(vs);
    gl.DeleteShader(fs);
    GLint linked = GL_FALSE;
    gl.GetProgramiv(m_program, GL_LINK_STATUS, &linked);
    if (!linked)
        return;
    gl.UseProgram(m_program);
    auto at = [&](const char *name) { return gl.GetUniformLocation(m_program, name); };
    m_worldView = at("uWorldView");
    m_normalMatrix = at("uNormalMatrix");
    m_diffuse = at("uDiffuse");
    m_useFactor = at("uUseFactor");

    // The camera, the lights and the ambient never change: set once.
    Mat4 projection{};
    // Direct3D's projection turned into GL clip space: y flipped onto the top-down back buffer
    // and depth from 0..1 to -1..1.
    for (int col = 0; col < 4; ++col) {
        const float x = kProjection[col][0], y = kProjection[col][1], z = kProjection[col][2],
                    w = kProjection[col][3];
        projection.m[col * 4 + 0] = x;
        projection.m[col * 4 + 1] = -y;
        projection.m[col * 4 + 2] = 2.0f * z - w;
        projection.m[col * 4 + 3] = w;
    }
    gl.UniformMatrix4fv(at("uProjection"), 1, GL_FALSE, projection.m);
    const float ambient = static_cast<float>(kAmbient & 0xFF) / 255.0f;
    const float ambientColour[3] = {ambient, ambient, ambient};
    gl.Uniform3fv(at("uAmbient"), 1, ambientColour);
    const float sunLength =
        std::sqrt(kSunDirection[0] * kSunDirection[0] + kSunDirection[1] * kSunDirection[1] +
                  kSunDirection[2] * kSunDirection[2]);
    const float towardsSun[3] = {-kSunDirection[0] / sunLength, -kSunDirection[1] / sunLength,
                                 -kSunDirection[2] / sunLength};
    gl.Uniform3fv(at("uSunDirection"), 1, towardsSun);
    const float spotPosition[3] = {0, 0, 0}, spotDirection[3] = {0, 0, 1};
    gl.Uniform3fv(at("uSpotPosition"), 1, spotPosition);
    gl.Uniform3fv(at("uSpotDirection"), 1, spotDirection);
    const float cone[4] = {kSpotRange, kSpotFalloff, std::cos(kSpotTheta / 2.0f),
                           std::cos(kSpotPhi / 2.0f)};
    gl.Uniform4fv(at("uSpotCone"), 1, cone);
    const float attenuation[3] = {0.0f, kSpotAttenuation1, 0.0f};
    gl.Uniform3fv(at("uSpotAttenuation"), 1, attenuation);
    const float white[3] = {1, 1, 1};
    gl.Uniform3fv(at("uFactor"), 1, white);
    gl.Uniform1i(at("uTexture"), 0);

    // The mesh, in one vertex array.
    const Mesh mesh = Sphere();
    gl.GenVertexArrays(1, &m_vao);
    gl.BindVertexArray(m_vao);
    gl.GenBuffers(1, &m_vertices);
    gl.BindBuffer(GL_ARRAY_BUFFER, m_vertices);
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(Vertex)),
                  mesh.vertices.data(), GL_STATIC_DRAW);
    gl.GenBuffers(1, &m_indices);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indices);
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * 2),
                  mesh.indices.data(), GL_STATIC_DRAW);
    m_indexCount = static_cast<GLsizei>(mesh.indices.size());
    gl.VertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                           reinterpret_cast<const void *>(offsetof(Vertex, x)));
    gl.VertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                           reinterpret_cast<const void *>(offsetof(Vertex, nx)));
    gl.VertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                           reinterpret_cast<const void *>(offsetof(Vertex, u)));
    for (GLuint a = 0; a < 3; ++a)
        gl.EnableVertexAttribArray(a);

    // Two mipmapped checker textures, every level filled with the same pattern.
    gl.GenTextures(2, m_textures);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int t = 0; t < 2; ++t) {
        gl.BindTexture(GL_TEXTURE_2D, m_textures[t]);
        int level = 0;
        for (int size = kTextureSize; size >= 1; size /= 2, ++level) {
            std::vector<std::uint32_t> texels(static_cast<size_t>(size) * size);
            for (unsigned i = 0; i < texels.size(); ++i)
                texels[i] = Texel(t, i);
            gl.TexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, size, size, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                          texels.data());
        }
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, level - 1);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    m_boundTexture = 1;

    // Direct3D's fixed state for this scene: depth test less-or-equal, clockwise faces culled
    // (counter-clockwise once y is flipped), no dithering.
    gl.Enable(GL_DEPTH_TEST);
    gl.DepthFunc(GL_LEQUAL);
    gl.Enable(GL_CULL_FACE);
    gl.CullFace(GL_BACK);
    gl.Disable(GL_DITHER);
    gl.Viewport(0, 0, kWidth, kHeight);
    m_blend = 0;
    m_ready = true;
}

RawGlFloor::~RawGlFloor() {
    if (m_context) {
        MakeCurrent();
        const d3d8::gl::Functions &gl = m_gl;
        if (gl.DeleteTextures) {
            gl.DeleteTextures(2, m_textures);
            gl.DeleteBuffers(1, &m_indices);
            gl.DeleteBuffers(1, &m_vertices);
            gl.DeleteVertexArrays(1, &m_vao);
            gl.DeleteProgram(m_program);
            gl.DeleteRenderbuffers(1, &m_depth);
            gl.DeleteRenderbuffers(1, &m_colour);
            gl.DeleteFramebuffers(1, &m_framebuffer);
        }
        SDL_GL_MakeCurrent(m_window, nullptr);
        SDL_GL_DeleteContext(m_context);
    }
    if (m_window)
        SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void RawGlFloor::MakeCurrent() {
    if (SDL_GL_GetCurrentContext() != m_context)
        SDL_GL_MakeCurrent(m_window, m_context);
}

void RawGlFloor::Clear() {
    const d3d8::gl::Functions &gl = m_gl;
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    gl.ClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RawGlFloor::Present() {
    const d3d8::gl::Functions &gl = m_gl;
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    // Row 0 of the back buffer is the picture's top: flipped into the window.
    gl.BlitFramebuffer(0, 0, draw_scene::kWidth, draw_scene::kHeight, 0, draw_scene::kHeight,
                       draw_scene::kWidth, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    SDL_GL_SwapWindow(m_window);
}

void RawGlFloor::EmptyFrame() {
    MakeCurrent();
    Clear();
    Present();
}

void RawGlFloor::Frame(int meshes, bool changeStates) {
    MakeCurrent();
    const d3d8::gl::Functions &gl = m_gl;
    Clear();
    for (int i = 0; i < meshes; ++i) {
        const draw_scene::Look look = draw_scene::LookOf(i, changeStates);
        if (look.texture != m_boundTexture) {
            gl.BindTexture(GL_TEXTURE_2D, m_textures[look.texture]);
            m_boundTexture = look.texture;
        }
        if (static_cast<int>(look.blend) != m_blend) {
            if (look.blend)
                gl.Enable(GL_BLEND);
            else
                gl.Disable(GL_BLEND);
            m_blend = look.blend;
        }
        if (static_cast<int>(look.useFactor) != m_factor) {
            gl.Uniform1i(m_useFactor, look.useFactor);
            m_factor = look.useFactor;
        }
        if (std::memcmp(look.diffuse, m_lastDiffuse, sizeof m_lastDiffuse) != 0) {
            gl.Uniform4fv(m_diffuse, 1, look.diffuse);
            std::memcpy(m_lastDiffuse, look.diffuse, sizeof m_lastDiffuse);
        }
        Mat4 worldView;
        float normal[9];
        matricesOf(draw_scene::PlaceOf(i), worldView, normal);
        gl.UniformMatrix4fv(m_worldView, 1, GL_FALSE, worldView.m);
        gl.UniformMatrix3fv(m_normalMatrix, 1, GL_FALSE, normal);
        m_drawElements(GL_TRIANGLES, m_indexCount, GL_UNSIGNED_SHORT, nullptr);
    }
    Present();
}

void RawGlFloor::Read(std::vector<std::uint8_t> &rgba) {
    MakeCurrent();
    const d3d8::gl::Functions &gl = m_gl;
    rgba.assign(static_cast<size_t>(draw_scene::kWidth) * draw_scene::kHeight * 4, 0);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.ReadPixels(0, 0, draw_scene::kWidth, draw_scene::kHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                  rgba.data());
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
}
