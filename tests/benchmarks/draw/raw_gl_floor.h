// The floor of the draw benchmark: the same scene drawn by a plain OpenGL 3.3 program written for
// it, with nothing of the Direct3D layer in between. One window and context, the same off-screen
// framebuffer, blit and swap as the device, one vertex array, one program with uniforms, and GL
// calls only for what really changes between draws.
#pragma once

#include "platform/d3d8/gl_functions.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

class RawGlFloor {
public:
    RawGlFloor();
    ~RawGlFloor();
    RawGlFloor(const RawGlFloor &) = delete;
    RawGlFloor &operator=(const RawGlFloor &) = delete;

    bool Ready() const { return m_ready; }
    // Clears, draws `meshes` meshes (with or without the per-mesh state changes) and presents.
    void Frame(int meshes, bool changeStates);
    // Clears and presents.
    void EmptyFrame();
    // The off-screen picture as it stands, rows top to bottom, RGBA.
    void Read(std::vector<std::uint8_t> &rgba);

private:
    void MakeCurrent();
    void Clear();
    void Present();

    SDL_Window *m_window = nullptr;
    SDL_GLContext m_context = nullptr;
    d3d8::gl::Functions m_gl;
    PFNGLDRAWELEMENTSPROC m_drawElements = nullptr;
    bool m_ready = false;
    GLuint m_framebuffer = 0, m_colour = 0, m_depth = 0;
    GLuint m_program = 0, m_vao = 0, m_vertices = 0, m_indices = 0;
    GLuint m_textures[2] = {};
    GLsizei m_indexCount = 0;
    GLint m_worldView = -1, m_normalMatrix = -1, m_diffuse = -1, m_useFactor = -1;
    // What GL holds, so that only changes are sent.
    int m_boundTexture = -1;
    int m_blend = -1;
    int m_factor = -1;
    float m_lastDiffuse[4] = {-1, -1, -1, -1};
};
