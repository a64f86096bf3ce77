// Texels on their way between a texture level in OpenGL and memory in the level's Direct3D format:
// the memory a lock hands out, the OpenGL format that reads it, and the part of a level moved.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/gl_functions.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace d3d8 {

// Memory whose bytes start undefined: a lock that reads texels back, or whose caller overwrites
// them, would only pay for zeros it never sees.
struct StagingBlock {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t capacity = 0;
};

// How OpenGL reads and writes a Direct3D format; every format is held as RGBA8.
struct GlTexelFormat {
    GLenum internal, format, type;
    bool opaque; // alpha reads as 1
};
GlTexelFormat GlTexelFormatOf(D3DFORMAT format);

// A rectangle of one level of one face, and the memory side's row length in texels.
struct TexelRegion {
    GLuint texture = 0;
    int faces = 1; // 1, or 6 for a cube texture
    int face = 0;
    UINT level = 0;
    RECT rect{};
    UINT rowTexels = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;

    GLenum BindTarget() const { return faces == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D; }
    GLenum FaceTarget() const {
        return faces == 6 ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face)
                          : GL_TEXTURE_2D;
    }
};

} // namespace d3d8
